// Arbitrary bytes as a board bitmap file: the checks never read past the bytes, a file
// they accept holds everything its headers promise within bounded sizes, and loading it
// through the options either hands over exactly those bytes or shows one of the loader's
// messages and switches the option off.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "board/bitmap_file.h"
#include "support/fixed_text.h"
#include "testkit/fakes.h"
#include "testkit/fuzz_file.h"

namespace {

using namespace marovin;
using namespace marovin::board;

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkLayout(const BitmapLayout& layout, std::size_t size)
{
    require(layout.usedBytes() <= size);
    require(layout.pixelOffset >= 26);
    require(layout.width > 0 && layout.height != 0);
    const std::uint64_t rows = layout.height < 0 ? -std::int64_t(layout.height) : layout.height;
    require(std::uint64_t(layout.width) * rows <= kMaxBitmapPixels);
}

// Reads every byte it is given, so that the sanitizer sees a read past the file.
struct TouchingSink : BitmapSink {
    void release() override { ++releases; }
    bool decode(std::span<const std::uint8_t> bytes, const BitmapLayout& layout) override
    {
        unsigned sum = 0;
        for (const std::uint8_t byte : bytes)
            sum += byte;
        require(bytes.size() == layout.usedBytes());
        handed = bytes.size();
        return sum % 3 != 0; // some images cannot be decoded
    }
    int releases = 0;
    std::size_t handed = 0;
};

bool isLoaderMessage(std::string_view text)
{
    for (const char* message : {"Can not open BMP file", "Can not read BMP file header", "Invalid bitmap file",
                                "Read BMP error"})
        if (text == message)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The checks alone, on exactly the bytes given.
    const auto copy = std::make_unique<std::uint8_t[]>(size ? size : 1);
    if (size)
        std::memcpy(copy.get(), data, size);
    const BitmapCheck check = checkBitmapFile({copy.get(), size});
    if (check.fault == BitmapFault::None)
        checkLayout(check.layout, size);

    // The whole load through a file.
    static const testkit::FuzzFile file("bitmap");
    file.write(data, size);
    static Options options;
    std::memset(&options, 0, sizeof options);
    options.useBitmapBoard = 1;
    copyBounded(options.boardBitmapPath, file.path());
    testkit::FakeDesktop desktop;
    TouchingSink sink;
    const bool loaded = loadBoardBitmap(options, desktop, sink);
    require(sink.releases == 1);
    if (loaded) {
        require(options.useBitmapBoard == 1 && desktop.boxes.empty());
        require(check.fault == BitmapFault::None && sink.handed == check.layout.usedBytes());
    } else {
        require(options.useBitmapBoard == 0 && desktop.boxes.size() == 1 && isLoaderMessage(desktop.boxes[0]));
        require(check.fault != BitmapFault::None || sink.handed == check.layout.usedBytes());
    }
    return 0;
}
