// Speed of the board drawing, offscreen, on this machine's figures for smooth use:
//  - FullRepaint: the whole view (background, lines, 32 pieces, highlight) at d = 50 and
//    d = 12, on the board colour and on the tiled paper bitmap;
//  - ShowMove: one move drawn (a capture, forward and back, so that the take-back puts the
//    captured piece back on a clean cell); reported per move;
//  - DragStep: the carried piece moved by a few pixels (the bounding-box path) and by a
//    long way (two squares); reported per step;
//  - BitmapPaint: the background of a whole view from the paper bitmap, tiled and stretched
//    (the stretched image is scaled once per client size; StretchRescale measures that).

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdlib>
#include <memory>

#include "board/board_bitmap.h"
#include "board/board_painter.h"
#include "board/glyph_sets.h"
#include "support/fixed_text.h"
#include "testkit/fakes.h"

namespace {

using namespace marovin;
using namespace marovin::board;

QGuiApplication& application()
{
    static QGuiApplication* app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "bench_board";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    return *app;
}

// Client sizes for the largest and the smallest piece with a text height of 16.
constexpr int kLargeWidth = 600, kLargeHeight = 640; // d = 50
constexpr int kSmallWidth = 200, kSmallHeight = 207; // d = 12

struct Rig {
    explicit Rig(int width, int height, bool paper = false)
    {
        application();
        options = std::make_unique<Options>();
        setDefaultOptions(*options, PlatformDefaults{});
        if (paper) {
            options->useBitmapBoard = 1;
            copyBounded(options->boardBitmapPath, std::string(MAROVIN_ASSETS) + "paper.bmp");
            testkit::FakeDesktop desktop;
            loadBoardBitmap(*options, desktop, bitmap);
        }
        painter = std::make_unique<BoardPainter>(*options, bitmap, glyphs(), 16);
        painter->layoutBoard(width, height);
        scene.board = model::kStandardOpening;
        model::ApplyMove(scene.board, 70, 67); // with a last move to highlight
        scene.lastMoveTo = 67;
        painter->fullRepaint(screen, scene);
    }
    static const GlyphSets& glyphs()
    {
        static const GlyphSets sets = GlyphSets::load(MAROVIN_ASSETS);
        return sets;
    }

    std::unique_ptr<Options> options;
    BoardBitmap bitmap;
    std::unique_ptr<BoardPainter> painter;
    BoardScene scene;
    QImage screen;
};

void FullRepaint(benchmark::State& state)
{
    const bool large = state.range(0) == 50;
    Rig rig(large ? kLargeWidth : kSmallWidth, large ? kLargeHeight : kSmallHeight, state.range(1) != 0);
    if (rig.painter->geometry().pieceSize != state.range(0))
        state.SkipWithError("wrong piece size");
    for (auto _ : state) {
        rig.painter->fullRepaint(rig.screen, rig.scene);
        benchmark::DoNotOptimize(rig.screen.constBits());
    }
}
BENCHMARK(FullRepaint)->ArgsProduct({{50, 12}, {0, 1}})->ArgNames({"d", "paper"})->Unit(benchmark::kMicrosecond);

void ShowMove(benchmark::State& state)
{
    Rig rig(kLargeWidth, kLargeHeight);
    model::ApplyMove(rig.scene.board, 67, 70); // back to the opening
    rig.scene.lastMoveTo = -1;
    rig.painter->fullRepaint(rig.screen, rig.scene);
    for (auto _ : state) {
        // H2-H9: the cannon takes the horse; then it is taken back.
        const model::PackedMove move = model::ApplyMove(rig.scene.board, 70, 7);
        rig.scene.lastMoveTo = 7;
        benchmark::DoNotOptimize(rig.painter->showMove(rig.screen, rig.scene, move, true, -1, 7));
        model::TakeBackMove(rig.scene.board, move);
        rig.scene.lastMoveTo = -1;
        benchmark::DoNotOptimize(rig.painter->showMove(rig.screen, rig.scene, move, false, 7, -1));
    }
    // Seconds per move drawn (two per iteration).
    state.counters["per_move"] =
        benchmark::Counter(2, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(ShowMove)->Unit(benchmark::kMicrosecond);

void DragStep(benchmark::State& state)
{
    Rig rig(kLargeWidth, kLargeHeight);
    const int step = static_cast<int>(state.range(0));
    const CellPoint origin = rig.painter->geometry().cellOrigin(70);
    rig.painter->redrawEmptySquare(rig.screen, 70);
    DragImage drag;
    rig.painter->liftPiece(rig.screen, drag, 26, QPoint(origin.x, origin.y));
    int x = origin.x;
    for (auto _ : state) {
        x = x == origin.x ? origin.x - step : origin.x;
        benchmark::DoNotOptimize(rig.painter->dragPiece(rig.screen, drag, 26, QPoint(x, origin.y), false));
    }
}
BENCHMARK(DragStep)->Arg(3)->Arg(150)->ArgName("pixels")->Unit(benchmark::kMicrosecond);

void BitmapPaint(benchmark::State& state)
{
    Rig rig(kLargeWidth, kLargeHeight, true);
    const bool stretch = state.range(0) != 0;
    QImage view(kLargeWidth, kLargeHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        rig.bitmap.paintBoardBitmap(view, view.rect(), false, kLargeWidth, kLargeHeight, stretch);
        benchmark::DoNotOptimize(view.constBits());
    }
}
BENCHMARK(BitmapPaint)->Arg(0)->Arg(1)->ArgName("stretch")->Unit(benchmark::kMicrosecond);

void StretchRescale(benchmark::State& state)
{
    Rig rig(kLargeWidth, kLargeHeight, true);
    QImage view(kLargeWidth, kLargeHeight, QImage::Format_RGB32);
    int height = kLargeHeight;
    for (auto _ : state) {
        height = height == kLargeHeight ? kLargeHeight - 1 : kLargeHeight; // a new size each time
        rig.bitmap.paintBoardBitmap(view, view.rect(), false, kLargeWidth, height, true);
        benchmark::DoNotOptimize(view.constBits());
    }
}
BENCHMARK(StretchRescale)->Unit(benchmark::kMicrosecond);

} // namespace
