#include "board/bitmap_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/fixed_text.h"

namespace marovin::board {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

std::uint16_t u16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t u32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 | std::uint32_t(bytes[at + 2]) << 16 |
           std::uint32_t(bytes[at + 3]) << 24;
}

std::int32_t i32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::int32_t>(u32(bytes, at));
}

std::uint32_t defaultColourCount(std::uint16_t bitCount)
{
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

// Reads the information header's fields into layout. False when the header is of no
// known size or does not fit before the pixel data.
bool readInfoHeader(std::span<const std::uint8_t> file, BitmapLayout& layout)
{
    if (file.size() < kFileHeaderSize + 4)
        return false;
    layout.headerSize = u32(file, kFileHeaderSize);
    const bool core = layout.headerSize == kCoreHeaderSize;
    if (!core && layout.headerSize < kInfoHeaderSize)
        return false;
    // The header must lie inside the bytes before the pixel data (and inside the file).
    if (layout.pixelOffset < kFileHeaderSize + std::uint64_t(core ? kCoreHeaderSize : kInfoHeaderSize) ||
        layout.pixelOffset > file.size() || kFileHeaderSize + std::uint64_t(layout.headerSize) > layout.pixelOffset)
        return false;
    if (core) {
        layout.width = u16(file, 18);
        layout.height = u16(file, 20);
        layout.bitCount = u16(file, 24);
        layout.colourCount = defaultColourCount(layout.bitCount);
        return true;
    }
    layout.width = i32(file, 18);
    layout.height = i32(file, 22);
    layout.bitCount = u16(file, 28);
    layout.compression = u32(file, 30);
    layout.pixelDataSize = u32(file, 34);
    const std::uint32_t coloursUsed = u32(file, 46);
    layout.colourCount = coloursUsed != 0 ? coloursUsed : defaultColourCount(layout.bitCount);
    return true;
}

// ceil(width * bitCount / 32) * 4 * rows, or nothing when it would not fit in 64 bits.
std::optional<std::uint64_t> computedPixelSize(std::uint64_t width, std::uint64_t bitCount, std::uint64_t rows)
{
    const std::uint64_t rowBytes = (width * bitCount + 31) / 32 * 4; // at most 2^31 * 2^16: no overflow
    if (rowBytes != 0 && rows > std::numeric_limits<std::uint64_t>::max() / rowBytes)
        return std::nullopt;
    return rowBytes * rows;
}

} // namespace

std::string_view bitmapFaultText(BitmapFault fault)
{
    switch (fault) {
    case BitmapFault::None: return {};
    case BitmapFault::Missing: return "Fail to load BMP file:%s";
    case BitmapFault::CannotOpen: return "Can not open BMP file";
    case BitmapFault::ShortHeader: return "Can not read BMP file header";
    case BitmapFault::NotBitmap: return "Invalid bitmap file";
    case BitmapFault::ReadError: return "Read BMP error";
    }
    return {};
}

BitmapCheck checkBitmapFile(std::span<const std::uint8_t> file)
{
    BitmapCheck check;
    if (file.size() < kFileHeaderSize) {
        check.fault = BitmapFault::ShortHeader;
        return check;
    }
    if (file[0] != 'B' || file[1] != 'M') {
        check.fault = BitmapFault::NotBitmap;
        return check;
    }
    check.fault = BitmapFault::ReadError;
    BitmapLayout& layout = check.layout;
    layout.pixelOffset = u32(file, 10);
    if (file.size() > kMaxBitmapFileBytes || !readInfoHeader(file, layout))
        return check;
    const std::int64_t rows = layout.height < 0 ? -std::int64_t(layout.height) : layout.height;
    if (layout.width <= 0 || rows == 0 || std::uint64_t(layout.width) * std::uint64_t(rows) > kMaxBitmapPixels)
        return check;
    if (layout.pixelDataSize == 0) {
        const auto size = computedPixelSize(std::uint64_t(layout.width), layout.bitCount, std::uint64_t(rows));
        if (!size)
            return check;
        layout.pixelDataSize = *size;
    }
    if (layout.usedBytes() > file.size())
        return check;
    check.fault = BitmapFault::None;
    return check;
}

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads up to limit bytes. False on a read error (not at the end of the file).
bool readAll(std::FILE* file, std::vector<std::uint8_t>& bytes, std::size_t limit)
{
    std::uint8_t buffer[65536];
    while (bytes.size() < limit) {
        const std::size_t want = std::min(sizeof buffer, limit - bytes.size());
        const std::size_t got = std::fread(buffer, 1, want, file);
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (got < want)
            return !std::ferror(file);
    }
    return true;
}

BitmapFault readAndDecode(const std::string& path, BitmapSink& sink)
{
    sink.release();
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return BitmapFault::CannotOpen;
    // One byte past the limit tells a file that is too large from one that just fits.
    std::vector<std::uint8_t> bytes;
    const bool readOk = readAll(file.get(), bytes, kMaxBitmapFileBytes + 1);
    if (!readOk)
        return bytes.size() < kFileHeaderSize ? BitmapFault::ShortHeader : BitmapFault::ReadError;
    const BitmapCheck check = checkBitmapFile(bytes);
    if (check.fault != BitmapFault::None)
        return check.fault;
    const std::span<const std::uint8_t> used(bytes.data(), static_cast<std::size_t>(check.layout.usedBytes()));
    return sink.decode(used, check.layout) ? BitmapFault::None : BitmapFault::ReadError;
}

} // namespace

bool loadBoardBitmap(Options& options, DesktopPort& desktop, BitmapSink& sink)
{
    if (options.useBitmapBoard == 0)
        return false;
    const std::string path(fieldText(options.boardBitmapPath));
    struct stat status {};
    const BitmapFault fault =
        ::stat(path.c_str(), &status) != 0 ? BitmapFault::Missing : readAndDecode(path, sink);
    if (fault == BitmapFault::None)
        return true;
    options.useBitmapBoard = 0;
    if (fault == BitmapFault::Missing)
        showProgramMessage(desktop, "Fail to load BMP file:%s", path.c_str());
    else
        desktop.messageBox(bitmapFaultText(fault));
    return false;
}

} // namespace marovin::board
