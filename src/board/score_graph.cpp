#include "board/score_graph.h"

#include <algorithm>
#include <cmath>

#include "board/raster.h"

namespace marovin::board {

namespace {

constexpr int kMarkSize = 5;

raster::Pixel pixel(unsigned rgb) { return 0xFF000000u | rgb; }

int clampedValue(int value) { return std::clamp(value, -kGraphCap, kGraphCap); }

} // namespace

int ScoreGraphLayout::xOfPly(int ply) const
{
    if (plies <= 0)
        return area.left();
    return area.left() + static_cast<int>(std::lround(static_cast<double>(ply) * (area.width() - 1) / plies));
}

int ScoreGraphLayout::yOfValue(int value) const
{
    const double half = (area.height() - 1) / 2.0;
    const double y = area.top() + half - half * clampedValue(value) / kGraphCap;
    return static_cast<int>(std::lround(y));
}

int ScoreGraphLayout::plyAt(int x) const
{
    if (plies <= 0 || area.width() <= 1)
        return 0;
    const double ply = static_cast<double>(x - area.left()) * plies / (area.width() - 1);
    return std::clamp(static_cast<int>(std::lround(ply)), 0, plies);
}

void paintScoreGraph(QImage& image, const ScoreGraphData& data)
{
    const QRect area = image.rect();
    raster::fillRect(image, area, pixel(kGraphBackground));
    const ScoreGraphLayout layout{area, std::max(0, static_cast<int>(data.values.size()) - 1)};
    const int zero = layout.yOfValue(0);
    // The areas, one pixel column at a time, between each pair of known neighbours.
    for (int ply = 0; ply + 1 < static_cast<int>(data.values.size()); ++ply) {
        const auto& a = data.values[static_cast<std::size_t>(ply)];
        const auto& b = data.values[static_cast<std::size_t>(ply) + 1];
        if (!a || !b)
            continue;
        const int x0 = layout.xOfPly(ply), x1 = layout.xOfPly(ply + 1);
        for (int x = x0; x <= x1; ++x) {
            const double t = x1 == x0 ? 0.0 : static_cast<double>(x - x0) / (x1 - x0);
            const double value = clampedValue(*a) + t * (clampedValue(*b) - clampedValue(*a));
            const int y = layout.yOfValue(static_cast<int>(std::lround(value)));
            if (y < zero)
                raster::fillRect(image, QRect(x, y, 1, zero - y), pixel(kGraphRedArea));
            else if (y > zero)
                raster::fillRect(image, QRect(x, zero + 1, 1, y - zero), pixel(kGraphBlackArea));
        }
    }
    raster::line(image, area.left(), zero, area.right() + 1, zero, pixel(kGraphZeroLine), area);
    for (int ply = 0; ply + 1 < static_cast<int>(data.values.size()); ++ply) {
        const auto& a = data.values[static_cast<std::size_t>(ply)];
        const auto& b = data.values[static_cast<std::size_t>(ply) + 1];
        if (a && b)
            raster::line(image, layout.xOfPly(ply), layout.yOfValue(*a), layout.xOfPly(ply + 1),
                         layout.yOfValue(*b), pixel(kGraphCurve), area);
    }
    if (data.shownPly >= 0 && data.shownPly <= layout.plies) {
        const int x = layout.xOfPly(data.shownPly);
        raster::line(image, x, area.top(), x, area.bottom() + 1, pixel(kGraphShownPly), area);
    }
    for (int ply = 1; ply < static_cast<int>(data.marks.size()) && ply <= layout.plies; ++ply) {
        const model::MoveMark mark = data.marks[static_cast<std::size_t>(ply)];
        const auto& value = data.values[static_cast<std::size_t>(ply)];
        if (mark == model::MoveMark::None || !value)
            continue;
        const QRect square(layout.xOfPly(ply) - kMarkSize / 2, layout.yOfValue(*value) - kMarkSize / 2, kMarkSize,
                           kMarkSize);
        raster::fillRect(image, square,
                         pixel(mark == model::MoveMark::Blunder ? kGraphBlunder : kGraphMistake));
    }
}

} // namespace marovin::board
