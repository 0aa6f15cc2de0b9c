// The score graph's pixels for a known list of scores: the areas on either side of the
// zero line, the curve, a gap for an unknown score, values past the edge, the shown ply
// and the marks; and the ply a click picks.
#include <gtest/gtest.h>

#include <QImage>

#include "board/score_graph.h"

namespace marovin::board {
namespace {

unsigned rgbAt(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFFu;
}

TEST(ScoreGraph, KnownScoresGiveKnownPixels)
{
    // 101 x 41: ply p at x = 20 p, value v at y = 20 - v / 50.
    QImage image(101, 41, QImage::Format_RGB32);
    ScoreGraphData data;
    data.values = {0, 500, -1000, 2000, std::nullopt, 0};
    data.marks = {model::MoveMark::None, model::MoveMark::Mistake, model::MoveMark::Blunder};
    data.shownPly = 2;
    paintScoreGraph(image, data);

    const struct {
        int x, y;
        unsigned rgb;
        const char* what;
    } pixels[] = {
        {10, 17, kGraphRedArea, "Red's area under +250"},
        {10, 15, kGraphCurve, "the curve at +250"},
        {10, 12, kGraphBackground, "above the curve"},
        {35, 25, kGraphBlackArea, "Black's area towards -1000"},
        {35, 19, kGraphBackground, "above the zero line where Black is better"},
        {60, 5, kGraphRedArea, "a mate at the top edge"},
        {70, 5, kGraphBackground, "no area beside an unknown score"},
        {70, 20, kGraphZeroLine, "the zero line runs on"},
        {40, 5, kGraphShownPly, "the shown ply"},
        {19, 9, kGraphMistake, "the mistake's mark"},
        {38, 39, kGraphBlunder, "the blunder's mark"},
    };
    for (const auto& p : pixels)
        EXPECT_EQ(rgbAt(image, p.x, p.y), p.rgb) << p.what << " at " << p.x << "," << p.y;
}

TEST(ScoreGraph, AClickPicksTheNearestPly)
{
    const ScoreGraphLayout layout{QRect(10, 0, 101, 41), 5};
    const struct {
        int x, ply;
    } cases[] = {{-50, 0}, {10, 0}, {39, 1}, {41, 2}, {110, 5}, {400, 5}};
    for (const auto& c : cases)
        EXPECT_EQ(layout.plyAt(c.x), c.ply) << c.x;
    EXPECT_EQ(layout.xOfPly(3), 70);
    EXPECT_EQ((ScoreGraphLayout{QRect(0, 0, 50, 20), 0}).plyAt(30), 0) << "a graph of the start alone";
}

} // namespace
} // namespace marovin::board
