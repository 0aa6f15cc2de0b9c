// The board bitmap with Qt: the shipped paper decodes, a file that passes the checks but
// cannot be decoded is refused, and the file chooser starts at the current file and
// stores what the user picks.

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "board/board_bitmap.h"
#include "support/fixed_text.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "testkit/temp_folder.h"

namespace marovin::board {
namespace {

struct BoardBitmapTest : ::testing::Test {
    BoardBitmapTest()
    {
        testkit::qtApplication();
        options = std::make_unique<Options>();
        setDefaultOptions(*options, PlatformDefaults{});
        options->useBitmapBoard = 1;
    }
    // Runs the chooser, acting on its dialog once it is open.
    bool choose(const std::function<void(QFileDialog&)>& act)
    {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            act(*dialog);
        });
        return chooseBoardBitmap(*options, desktop);
    }

    std::unique_ptr<Options> options;
    testkit::FakeDesktop desktop;
    testkit::TempFolder folder;
    BoardBitmap bitmap;
};

TEST_F(BoardBitmapTest, ShippedPaperLoads)
{
    copyBounded(options->boardBitmapPath, std::string(MAROVIN_SOURCE_DIR) + "/assets/paper.bmp");
    ASSERT_TRUE(loadBoardBitmap(*options, desktop, bitmap));
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(bitmap.image().size(), QSize(256, 256));
    EXPECT_EQ(bitmap.layout().colourCount, 0u);
}

TEST_F(BoardBitmapTest, UndecodableBitmapIsAReadError)
{
    // A 2 x 1 bitmap whose headers hold together but whose compression is unknown.
    std::string bytes = "BM" + std::string(52, '\0') + std::string(8, '\x7f');
    const auto put32 = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
    };
    put32(2, static_cast<std::uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 1);
    bytes[26] = 1;
    bytes[28] = 24;
    put32(30, 99); // compression
    // Loaded over a good bitmap, which goes.
    copyBounded(options->boardBitmapPath, std::string(MAROVIN_SOURCE_DIR) + "/assets/paper.bmp");
    ASSERT_TRUE(loadBoardBitmap(*options, desktop, bitmap));
    copyBounded(options->boardBitmapPath, folder.write("odd.bmp", bytes));
    EXPECT_FALSE(loadBoardBitmap(*options, desktop, bitmap));
    EXPECT_EQ(desktop.boxes, std::vector<std::string>{"Read BMP error"});
    EXPECT_EQ(options->useBitmapBoard, 0);
    EXPECT_FALSE(bitmap.isLoaded());
}

TEST_F(BoardBitmapTest, ChooserStartsAtTheCurrentFileAndStoresTheChoice)
{
    const std::string current = folder.write("current.bmp", "x");
    const std::string other = folder.write("other.bmp", "y");
    copyBounded(options->boardBitmapPath, current);
    QString startFolder, filter;
    QStringList selected;
    EXPECT_TRUE(choose([&](QFileDialog& dialog) {
        startFolder = dialog.directory().absolutePath();
        filter = dialog.nameFilters().join(';');
        selected = dialog.selectedFiles();
        dialog.selectFile(QString::fromStdString(other));
        static_cast<QDialog&>(dialog).accept(); // QFileDialog hides it; its checks still run
    }));
    EXPECT_EQ(startFolder.toStdString(), std::filesystem::canonical(folder.path()).string());
    EXPECT_EQ(filter, "Bitmap Files (*.bmp)");
    ASSERT_EQ(selected.size(), 1);
    EXPECT_TRUE(selected[0].endsWith("current.bmp"));
    EXPECT_EQ(std::filesystem::canonical(std::string(fieldText(options->boardBitmapPath))),
              std::filesystem::canonical(other));
}

TEST_F(BoardBitmapTest, CancelOrAnOverlongPathKeepsThePath)
{
    const std::string current = folder.write("current.bmp", "x");
    copyBounded(options->boardBitmapPath, current);
    EXPECT_FALSE(choose([](QFileDialog& dialog) { dialog.reject(); }));
    EXPECT_EQ(fieldText(options->boardBitmapPath), current);

    std::string deep = folder.path() + "/" + std::string(200, 'a') + "/" + std::string(100, 'b');
    std::filesystem::create_directories(deep);
    const std::string overlong = deep + "/board.bmp";
    std::ofstream(overlong) << "z";
    EXPECT_FALSE(choose([&](QFileDialog& dialog) {
        dialog.selectFile(QString::fromStdString(overlong));
        static_cast<QDialog&>(dialog).accept(); // QFileDialog hides it; its checks still run
    }));
    EXPECT_EQ(fieldText(options->boardBitmapPath), current);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_NE(desktop.boxes[0].find(overlong), std::string::npos);
}

} // namespace
} // namespace marovin::board
