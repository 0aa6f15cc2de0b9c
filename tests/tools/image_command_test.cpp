// marovin-tool image, run as a program: its PNG equals the board painter's full repaint
// of the same position, size, orientation and settings; bad arguments end with status 2.

#include <QImage>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/board_bitmap.h"
#include "board/board_painter.h"
#include "board/glyph_sets.h"
#include "support/fixed_text.h"
#include "testkit/board_pixels.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "tool_runner.h"

namespace marovin::tool {
namespace {

using testing::RunToolProgram;

// Red's cannon H2-E2 (square 70 to 67), Black's cannon H7-E7 (25 to 22).
const std::string kGame = "GAME\r\nRED     alice\r\nBLACK   bob\r\nSTART\r\nH2-E2\r\nH7-E7\r\n";

struct ImageCommand : ::testing::Test {
    ImageCommand()
    {
        testkit::qtApplication();
        options = std::make_unique<Options>();
        PlatformDefaults platform;
        platform.programDirectory = std::string(MAROVIN_SOURCE_DIR) + "/assets/";
        setDefaultOptions(*options, platform);
    }
    // What the painter draws for the scene at 355 x 445 (or grown at another size) with a
    // text height of 16.
    QImage expected(const board::BoardScene& scene, QSize size = QSize(355, 445), bool grows = false)
    {
        static const board::GlyphSets glyphs =
            board::GlyphSets::load(std::string(MAROVIN_SOURCE_DIR) + "/assets/");
        board::BoardBitmap bitmap;
        testkit::FakeDesktop desktop;
        board::loadBoardBitmap(*options, desktop, bitmap);
        board::BoardPainter painter(*options, bitmap, glyphs, 16);
        painter.setGrows(grows);
        EXPECT_TRUE(painter.layoutBoard(size.width(), size.height()));
        geometry = painter.geometry();
        QImage image;
        painter.fullRepaint(image, scene);
        return image;
    }
    // Runs the tool at 355 x 445 (unless the arguments give a size) with a text height of
    // 16 and reads its picture.
    QImage run(std::vector<std::string> arguments, bool sized = false)
    {
        const std::string out = folder.file("board.png");
        std::filesystem::remove(out);
        arguments.insert(arguments.begin(), "image");
        if (!sized)
            arguments.insert(arguments.end(), {"--size", "355x445"});
        for (const char* argument : {"--text-height", "16", "-o"})
            arguments.push_back(argument);
        arguments.push_back(out);
        const auto result = RunToolProgram(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        return QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
    }
    board::BoardScene afterMoves(int moves, bool normal) const
    {
        board::BoardScene scene;
        scene.board = model::kStandardOpening;
        scene.normalOrientation = normal;
        if (moves >= 1) {
            model::ApplyMove(scene.board, 70, 67);
            scene.lastMoveTo = 67;
        }
        if (moves >= 2) {
            model::ApplyMove(scene.board, 25, 22);
            scene.lastMoveTo = 22;
        }
        return scene;
    }

    testkit::TempFolder folder;
    std::unique_ptr<Options> options;
    board::BoardGeometry geometry; // of the last expected picture
};

TEST_F(ImageCommand, GameAfterSomeMovesOrAtItsEnd)
{
    const std::string game = folder.write("game.gam", kGame);
    EXPECT_EQ(run({game, "--ply", "1"}), expected(afterMoves(1, true)));
    EXPECT_EQ(run({game}), expected(afterMoves(2, true)));
    EXPECT_EQ(run({game, "--ply", "0", "--flip"}), expected(afterMoves(0, false)));
    EXPECT_EQ(run({game, "--flip"}), expected(afterMoves(2, false)));
}

TEST_F(ImageCommand, FenHasNoHighlight)
{
    board::BoardScene scene = afterMoves(1, true);
    scene.lastMoveTo = -1;
    EXPECT_EQ(run({"--fen", "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b"}), expected(scene));
    EXPECT_EQ(run({}), expected(afterMoves(0, true)));
}

TEST_F(ImageCommand, GrowDrawsTheBoardAsLargeAsTheSizeHoldsWithEveryPieceOnItsSquare)
{
    const std::string game = folder.write("game.gam", kGame);
    const QImage grown = run({game, "--grow", "900x1000"}, true);
    ASSERT_EQ(grown.size(), QSize(900, 1000));
    EXPECT_EQ(grown, expected(afterMoves(2, true), QSize(900, 1000), true)) << "what a grown window draws";
    EXPECT_EQ(geometry.pieceSize, std::min((900 - 73) / 9, (1000 - 43 - 35) / 10));
    // The board's default colours: 0x0000CCFF, red discs white, black discs black.
    const testkit::BoardColours colours{qRgb(0xFF, 0xCC, 0x00), qRgb(0xFF, 0xFF, 0xFF), qRgb(0, 0, 0)};
    board::BoardScene scene = afterMoves(2, true);
    // The last move's piece stands on the highlight, its disc drawn the same.
    const auto wrong = testkit::misplacedPieces(grown, geometry, scene.board, true, colours);
    EXPECT_TRUE(wrong.empty()) << wrong.front();
    EXPECT_FALSE(testkit::misplacedPieces(grown, geometry, scene.board, false, colours).empty())
        << "the turned board's squares do not match";
    EXPECT_FALSE(testkit::misplacedPieces(run({game, "--size", "900x1000"}, true), geometry, scene.board, true,
                                          colours)
                     .empty())
        << "without --grow the board keeps to d = 50";
}

TEST_F(ImageCommand, SettingsFileWithColoursAndABitmap)
{
    for (const int stretch : {0, 1}) {
        options->useBitmapBoard = 1;
        options->stretchBitmap = stretch;
        options->lineColour = 0x00FF0000;
        options->blackFaceColour = 0x00004080;
        const std::string settings = folder.write(
            "Marovin.dat", std::string(reinterpret_cast<const char*>(options.get()), sizeof(Options)));
        EXPECT_EQ(run({"--settings", settings}), expected(afterMoves(0, true))) << "stretch " << stretch;
    }
}

TEST_F(ImageCommand, BadInputEndsWithStatusTwo)
{
    const std::string game = folder.write("game.gam", kGame);
    const std::string notGame = folder.write("notes.txt", "just some words\r\n");
    const std::string out = folder.file("out.png");
    const std::vector<std::vector<std::string>> cases = {
        {"image", folder.file("missing.gam"), "-o", out},
        {"image", notGame, "-o", out},
        {"image", "--fen", "rnbakabnr/9/9 w", "-o", out},
        {"image", game, "--ply", "3", "-o", out},
        {"image", game, "--ply", "-1", "-o", out},
        {"image", "--size", "0x10", "-o", out},
        {"image", "--size", "400", "-o", out},
        {"image", "--size", "axb", "-o", out},
        {"image", "--size", "-5x10", "-o", out},
        {"image", "--size", "400x560x3", "-o", out},
        {"image", "--size", "100x100", "-o", out},
        {"image", "--grow", "0x10", "-o", out},
        {"image", "--grow", "100x100", "-o", out},
        {"image", "--text-height", "0", "-o", out},
        {"image", "--settings", folder.file("missing.dat"), "-o", out},
        {"image", game, "--fen", "9/9/9/9/9/9/9/9/9/4K4 w", "-o", out},
        {"image", game},
        {"image", game, "-o", folder.file("no/such/folder/out.png")},
        {"image", game, "--bogus", "-o", out},
    };
    for (const auto& arguments : cases) {
        const auto result = RunToolProgram(arguments);
        std::string shown;
        for (const auto& argument : arguments)
            shown += argument + " ";
        EXPECT_EQ(result.status, 2) << shown;
        EXPECT_NE(result.err, "") << shown;
        EXPECT_FALSE(std::filesystem::exists(out)) << shown;
    }
}

} // namespace
} // namespace marovin::tool
