// The piece glyphs carried with the program: every glyph of the small and the medium set
// keeps the strokes of the same character in the large set. A stroke lost between two
// pixel rows (or two strokes run together) changes how many strokes the lines through the
// character cross.

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "board/glyph_sets.h"
#include "testkit/qt_application.h"

namespace marovin::board {
namespace {

constexpr int kLargeSet = 2;

// What is compared of a glyph, across columns (horizontal strokes) and rows (vertical
// strokes): the most strokes one line crosses, and the strokes crossed on average over
// the character's width or height. Both are free of the glyph's scale.
struct StrokeCount {
    int most = 0;
    double mean = 0;
};
struct GlyphStrokes {
    StrokeCount horizontal, vertical;
};

// Only the character counts: the ring of the larger sets lies outside 0.37 of the side
// from the centre.
bool inkAt(const QImage& glyph, int x, int y)
{
    const double size = glyph.width(), dx = x + 0.5 - size / 2, dy = y + 0.5 - size / 2;
    const bool insideRing = glyph.width() <= kGlyphSetPixels[0] || dx * dx + dy * dy < 0.37 * 0.37 * size * size;
    return insideRing && (glyph.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu;
}

// The strokes that the lines of one direction cross; transposed: columns, not rows.
StrokeCount crossings(const QImage& glyph, bool transposed)
{
    const auto ink = [&](int line, int along) {
        return transposed ? inkAt(glyph, line, along) : inkAt(glyph, along, line);
    };
    StrokeCount count;
    int first = -1, last = -1, total = 0;
    for (int line = 0; line < glyph.width(); ++line) {
        int runs = 0;
        for (int along = 0; along < glyph.width(); ++along)
            runs += ink(line, along) && (along == 0 || !ink(line, along - 1));
        if (runs > 0) {
            first = first < 0 ? line : first;
            last = line;
        }
        total += runs;
        count.most = std::max(count.most, runs);
    }
    count.mean = first < 0 ? 0.0 : double(total) / (last - first + 1);
    return count;
}

GlyphStrokes strokesOf(const QImage& glyph)
{
    return {crossings(glyph, true), crossings(glyph, false)};
}

void expectSameStrokes(const StrokeCount& count, const StrokeCount& large, const std::string& what)
{
    // One stroke more or less at the busiest line is the pixel grid's play; a stroke lost
    // (or two merged) over a stretch moves the mean by a fifth or more.
    EXPECT_LE(std::abs(count.most - large.most), 1) << what << ": most strokes crossed";
    EXPECT_GT(count.mean, 0.85 * large.mean) << what << ": strokes crossed on average";
    EXPECT_LT(count.mean, 1.15 * large.mean) << what << ": strokes crossed on average";
}

TEST(GlyphSets, EverySetKeepsTheStrokesOfTheLargeSet)
{
    testkit::qtApplication();
    const GlyphSets sets = GlyphSets::load(std::string(MAROVIN_SOURCE_DIR) + "/assets/");
    ASSERT_TRUE(sets.missing().empty()) << sets.missing().front().toStdString();
    for (int type = 0; type < 14; ++type) {
        const GlyphStrokes large = strokesOf(sets.glyph(kLargeSet, type));
        ASSERT_GE(large.horizontal.most + large.vertical.most, 3) << glyphPath(kLargeSet, type).toStdString();
        for (int set = 0; set < kLargeSet; ++set) {
            const GlyphStrokes strokes = strokesOf(sets.glyph(set, type));
            const std::string name = glyphPath(set, type).toStdString();
            expectSameStrokes(strokes.horizontal, large.horizontal, name + " horizontal");
            expectSameStrokes(strokes.vertical, large.vertical, name + " vertical");
        }
    }
}

} // namespace
} // namespace marovin::board
