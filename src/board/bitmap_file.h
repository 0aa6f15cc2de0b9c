#pragma once
// The board background's bitmap file: its checks and sizes, and the loading of the file
// named in the options, without decoding a pixel. Decoding is the caller's (Qt's BMP
// reader); it receives only bytes that these checks have bounded.
//
//   offset  size  field
//        0     2  "BM"
//        2     4  file size (not trusted)
//        6     4  reserved
//       10     4  pixel-data offset
//       14     4  information header size: 12 (core) or 40 and more
//       18        width, height (int16 in a core header, int32 otherwise), planes,
//                 bits per pixel, then (40 and more) compression, image size,
//                 resolutions, colours used, colours important
//       ..        colour table, up to the pixel-data offset
//   offset        pixel data: bottom-up rows padded to 4 bytes

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "options/options.h"
#include "support/ports.h"

namespace marovin::board {

// Why a bitmap file was refused, in the order the checks run.
enum class BitmapFault {
    None,
    Missing,      // "Fail to load BMP file:%s" (the file's status cannot be obtained)
    CannotOpen,   // "Can not open BMP file"
    ShortHeader,  // "Can not read BMP file header": fewer than 14 bytes
    NotBitmap,    // "Invalid bitmap file": no "BM" signature
    ReadError,    // "Read BMP error": the headers promise more than the file holds, or
                  // describe no usable image
};

// The user's message for a fault (the path goes into the Missing one).
std::string_view bitmapFaultText(BitmapFault fault);

// Limits beyond which a bitmap is refused as a read error: a board background needs no
// more, and decoding one must not take unbounded memory or time.
constexpr std::uint64_t kMaxBitmapFileBytes = 64u << 20;
constexpr std::uint64_t kMaxBitmapPixels = 16u << 20;

struct BitmapLayout {
    std::uint32_t pixelOffset = 0; // where the pixel data begins
    std::uint32_t headerSize = 0;  // of the information header
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: rows stored top-down
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    // Colours used when given, else 2, 16 or 256 for 1, 4 or 8 bits per pixel, else 0.
    std::uint32_t colourCount = 0;
    // The image size when given, else ceil(width * bitCount / 32) * 4 * |height|.
    std::uint64_t pixelDataSize = 0;

    // The bytes of the file that the bitmap uses: headers, colour table, pixel data.
    std::uint64_t usedBytes() const { return std::uint64_t(pixelOffset) + pixelDataSize; }
};

struct BitmapCheck {
    BitmapFault fault = BitmapFault::None;
    BitmapLayout layout;
};

// Checks a whole bitmap file's bytes. On success the layout's usedBytes() lie within
// file, the width is positive, the height not zero, and width * |height| is at most
// kMaxBitmapPixels.
BitmapCheck checkBitmapFile(std::span<const std::uint8_t> file);

// Where a loaded bitmap goes: the previous one is released before the new file is read,
// and the checked bytes are handed over to be decoded.
class BitmapSink {
public:
    virtual ~BitmapSink() = default;
    virtual void release() = 0;
    // bytes are the file from its start through the pixel data. False when no image
    // could be made of them.
    virtual bool decode(std::span<const std::uint8_t> bytes, const BitmapLayout& layout) = 0;
};

// Reads the file named by options.boardBitmapPath when options.useBitmapBoard is set
// (answers false at once otherwise). Each failure shows its message and switches
// useBitmapBoard off; the file's status is asked first, then the previous bitmap is
// released, then the file is opened, read and checked, then decoded.
bool loadBoardBitmap(Options& options, DesktopPort& desktop, BitmapSink& sink);

} // namespace marovin::board
