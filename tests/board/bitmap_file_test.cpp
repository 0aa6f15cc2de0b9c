// The board bitmap file: its checks on any bytes, and the loading of the options' file
// with its messages and the option switched off on failure.

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/bitmap_file.h"
#include "support/fixed_text.h"
#include "testkit/fakes.h"
#include "testkit/temp_folder.h"

namespace marovin::board {
namespace {

void put16(std::string& bytes, std::size_t at, std::uint32_t value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8 & 0xFF);
}

void put32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    put16(bytes, at, value & 0xFFFF);
    put16(bytes, at + 2, value >> 16);
}

struct BmpShape {
    std::int32_t width = 3;
    std::int32_t height = 2;
    std::uint16_t bitCount = 24;
    std::uint32_t imageSize = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t tableBytes = 0;    // colour table bytes between header and pixels
    std::uint32_t pixelBytes = 24;   // pixel bytes actually present
    std::int64_t offsetShift = 0;    // added to the true pixel-data offset
    std::uint32_t headerSize = 40;
};

// A bitmap file with a 40-byte (or 12-byte core) information header.
std::string makeBmp(const BmpShape& shape)
{
    const std::uint32_t header = shape.headerSize;
    const std::uint32_t offset = 14 + header + shape.tableBytes;
    std::string bytes(offset + shape.pixelBytes, '\x55');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
    put32(bytes, 6, 0);
    put32(bytes, 10, static_cast<std::uint32_t>(offset + shape.offsetShift));
    put32(bytes, 14, header);
    if (header == 12) {
        put16(bytes, 18, static_cast<std::uint32_t>(shape.width));
        put16(bytes, 20, static_cast<std::uint32_t>(shape.height));
        put16(bytes, 22, 1);
        put16(bytes, 24, shape.bitCount);
    } else {
        std::memset(bytes.data() + 18, 0, header - 4);
        put32(bytes, 18, static_cast<std::uint32_t>(shape.width));
        put32(bytes, 22, static_cast<std::uint32_t>(shape.height));
        put16(bytes, 26, 1);
        put16(bytes, 28, shape.bitCount);
        put32(bytes, 34, shape.imageSize);
        put32(bytes, 46, shape.coloursUsed);
    }
    return bytes;
}

BitmapCheck check(const std::string& bytes)
{
    return checkBitmapFile({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

TEST(BitmapFile, ChecksAndSizes)
{
    const auto with = [](auto change) {
        BmpShape shape;
        change(shape);
        return makeBmp(shape);
    };
    const struct {
        const char* name;
        std::string bytes;
        BitmapFault fault;
        std::uint32_t colours;
        std::uint64_t pixelSize;
    } cases[] = {
        {"empty", "", BitmapFault::ShortHeader, 0, 0},
        {"13 bytes", makeBmp({}).substr(0, 13), BitmapFault::ShortHeader, 0, 0},
        {"other signature", "BX" + makeBmp({}).substr(2), BitmapFault::NotBitmap, 0, 0},
        {"14 bytes only", makeBmp({}).substr(0, 14), BitmapFault::ReadError, 0, 0},
        {"24 bits, no table", makeBmp({}), BitmapFault::None, 0, 24},
        {"32 bits", with([](BmpShape& s) { s.bitCount = 32; s.pixelBytes = 24; }), BitmapFault::None, 0, 24},
        {"16 bits", with([](BmpShape& s) { s.bitCount = 16; s.pixelBytes = 16; }), BitmapFault::None, 0, 16},
        {"8 bits", with([](BmpShape& s) { s.bitCount = 8; s.tableBytes = 1024; s.pixelBytes = 8; }),
         BitmapFault::None, 256, 8},
        {"4 bits", with([](BmpShape& s) { s.bitCount = 4; s.tableBytes = 64; s.pixelBytes = 8; }), BitmapFault::None,
         16, 8},
        {"1 bit", with([](BmpShape& s) { s.bitCount = 1; s.tableBytes = 8; s.pixelBytes = 8; }), BitmapFault::None, 2,
         8},
        {"colours used", with([](BmpShape& s) { s.bitCount = 8; s.coloursUsed = 5; s.tableBytes = 20; s.pixelBytes = 8; }),
         BitmapFault::None, 5, 8},
        {"image size given", with([](BmpShape& s) { s.imageSize = 10; s.pixelBytes = 10; }), BitmapFault::None, 0, 10},
        {"top-down rows", with([](BmpShape& s) { s.height = -2; }), BitmapFault::None, 0, 24},
        {"core header", with([](BmpShape& s) { s.headerSize = 12; s.bitCount = 8; s.tableBytes = 768; s.pixelBytes = 8; }),
         BitmapFault::None, 256, 8},
        {"pixel data one byte short", with([](BmpShape& s) { s.pixelBytes = 23; }), BitmapFault::ReadError, 0, 0},
        {"image size past the end", with([](BmpShape& s) { s.imageSize = 25; }), BitmapFault::ReadError, 0, 0},
        {"offset inside the header", with([](BmpShape& s) { s.offsetShift = -1; }), BitmapFault::ReadError, 0, 0},
        {"offset before the header", with([](BmpShape& s) { s.offsetShift = -50; }), BitmapFault::ReadError, 0, 0},
        {"offset past the end", with([](BmpShape& s) { s.offsetShift = 1000; }), BitmapFault::ReadError, 0, 0},
        {"unknown header size", with([](BmpShape& s) { s.headerSize = 20; }), BitmapFault::ReadError, 0, 0},
        {"header larger than offset", with([](BmpShape& s) { s.headerSize = 124; s.offsetShift = -10; }),
         BitmapFault::ReadError, 0, 0},
        {"absurd size", with([](BmpShape& s) { s.width = 0x7FFFFFFF; s.height = 0x7FFFFFFF; }), BitmapFault::ReadError,
         0, 0},
        {"absurd bit count", with([](BmpShape& s) { s.bitCount = 0xFFFF; }), BitmapFault::ReadError, 0, 0},
        {"zero width", with([](BmpShape& s) { s.width = 0; }), BitmapFault::ReadError, 0, 0},
        {"negative width", with([](BmpShape& s) { s.width = -3; }), BitmapFault::ReadError, 0, 0},
        {"zero height", with([](BmpShape& s) { s.height = 0; }), BitmapFault::ReadError, 0, 0},
    };
    for (const auto& c : cases) {
        const BitmapCheck result = check(c.bytes);
        EXPECT_EQ(result.fault, c.fault) << c.name;
        if (c.fault != BitmapFault::None)
            continue;
        EXPECT_EQ(result.layout.colourCount, c.colours) << c.name;
        EXPECT_EQ(result.layout.pixelDataSize, c.pixelSize) << c.name;
        EXPECT_LE(result.layout.usedBytes(), c.bytes.size()) << c.name;
    }
}

// Records what the loader asked of it; decodes whatever it is given unless told not to.
struct RecordingSink : BitmapSink {
    void release() override { calls.push_back("release"); }
    bool decode(std::span<const std::uint8_t> bytes, const BitmapLayout& layout) override
    {
        calls.push_back("decode");
        decoded.assign(bytes.begin(), bytes.end());
        this->layout = layout;
        return decodes;
    }
    std::vector<std::string> calls;
    std::vector<std::uint8_t> decoded;
    BitmapLayout layout;
    bool decodes = true;
};

struct BitmapLoading : ::testing::Test {
    BitmapLoading()
    {
        std::memset(&options, 0, sizeof options);
        options.useBitmapBoard = 1;
        options.stretchBitmap = 1;
    }
    bool load(const std::string& bytes)
    {
        const std::string path = folder.write("board.bmp", bytes);
        copyBounded(options.boardBitmapPath, path);
        return loadBoardBitmap(options, desktop, sink);
    }

    testkit::TempFolder folder;
    Options options;
    testkit::FakeDesktop desktop;
    RecordingSink sink;
};

TEST_F(BitmapLoading, GoodFileIsHandedOverWhole)
{
    std::string bytes = makeBmp({});
    bytes += "trailing bytes the headers do not mention";
    EXPECT_TRUE(load(bytes));
    EXPECT_EQ(options.useBitmapBoard, 1);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(sink.calls, (std::vector<std::string>{"release", "decode"}));
    EXPECT_EQ(sink.decoded.size(), 14u + 40u + 24u);
    EXPECT_EQ(std::string(sink.decoded.begin(), sink.decoded.end()), bytes.substr(0, 78));
    EXPECT_EQ(sink.layout.width, 3);
}

TEST_F(BitmapLoading, EachFailureShowsItsMessageAndSwitchesTheOptionOff)
{
    const struct {
        const char* name;
        std::string bytes;
        bool decodes;
        const char* message;
    } cases[] = {
        {"short", "BM12", true, "Can not read BMP file header"},
        {"not a bitmap", "GIF89a........", true, "Invalid bitmap file"},
        {"truncated pixels", makeBmp({}).substr(0, 70), true, "Read BMP error"},
        {"undecodable", makeBmp({}), false, "Read BMP error"},
    };
    for (const auto& c : cases) {
        options.useBitmapBoard = 1;
        desktop.boxes.clear();
        sink.calls.clear();
        sink.decodes = c.decodes;
        EXPECT_FALSE(load(c.bytes)) << c.name;
        EXPECT_EQ(options.useBitmapBoard, 0) << c.name;
        EXPECT_EQ(options.stretchBitmap, 1) << c.name;
        ASSERT_EQ(desktop.boxes, std::vector<std::string>{c.message}) << c.name;
        EXPECT_EQ(desktop.boxCaptions.back(), "") << c.name;
        // The previous bitmap is released before the file is read.
        ASSERT_FALSE(sink.calls.empty()) << c.name;
        EXPECT_EQ(sink.calls.front(), "release") << c.name;
    }
}

TEST_F(BitmapLoading, MissingFileNamesThePathAndKeepsThePreviousBitmap)
{
    const std::string path = folder.file("nowhere.bmp");
    copyBounded(options.boardBitmapPath, path);
    EXPECT_FALSE(loadBoardBitmap(options, desktop, sink));
    EXPECT_EQ(options.useBitmapBoard, 0);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0], "Fail to load BMP file:" + path);
    EXPECT_EQ(desktop.boxCaptions[0], "Program message...");
    EXPECT_TRUE(sink.calls.empty());
}

TEST_F(BitmapLoading, NothingHappensWhileTheOptionIsOff)
{
    options.useBitmapBoard = 0;
    copyBounded(options.boardBitmapPath, folder.file("nowhere.bmp"));
    EXPECT_FALSE(loadBoardBitmap(options, desktop, sink));
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_TRUE(sink.calls.empty());
}

TEST_F(BitmapLoading, UnreadableFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser reads any file";
    const std::string path = folder.write("locked.bmp", makeBmp({}));
    ::chmod(path.c_str(), 0);
    copyBounded(options.boardBitmapPath, path);
    EXPECT_FALSE(loadBoardBitmap(options, desktop, sink));
    EXPECT_EQ(desktop.boxes, std::vector<std::string>{"Can not open BMP file"});
}

} // namespace
} // namespace marovin::board
