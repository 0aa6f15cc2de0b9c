#include "support/big5.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace marovin {
namespace {

struct IconvCloser {
    void operator()(void* cd) const
    {
        if (cd != reinterpret_cast<void*>(-1))
            iconv_close(static_cast<iconv_t>(cd));
    }
};
using Descriptor = std::unique_ptr<void, IconvCloser>;

// Opening a descriptor costs far more than a short conversion, so each thread keeps one
// per direction. The state is reset before every use, so this is a cache, not state.
iconv_t descriptor(bool toUtf8)
{
    thread_local Descriptor toUtf8Cd(iconv_open("UTF-8", "CP950"));
    thread_local Descriptor toBig5Cd(iconv_open("CP950", "UTF-8"));
    return static_cast<iconv_t>(toUtf8 ? toUtf8Cd.get() : toBig5Cd.get());
}

// Length of the UTF-8 sequence that starts with lead (1 for a stray byte).
std::size_t utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2)
        return 2;
    return 1;
}

std::string convert(std::string_view in, bool toUtf8, std::vector<std::string>* unconverted = nullptr)
{
    std::string out;
    if (in.empty())
        return out;
    const iconv_t cd = descriptor(toUtf8);
    const std::string_view replacement = toUtf8 ? std::string_view("\xEF\xBF\xBD") : std::string_view("?");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter on this system: keep ASCII, replace the rest.
        for (unsigned char c : in) {
            out += c < 0x80 ? std::string(1, static_cast<char>(c)) : std::string(replacement);
            if (c >= 0x80 && unconverted)
                unconverted->emplace_back(1, static_cast<char>(c));
        }
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    while (srcLeft > 0) {
        char* dst = out.data() + used;
        std::size_t dstLeft = out.size() - used;
        const std::size_t result = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (result != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL (a sequence cut short at the end): replace and go on.
        // A Big5 character that the table lacks is replaced whole, so that what is shown
        // keeps the characters that the byte parsers see.
        std::size_t skip = toUtf8 ? big5CharLength(std::string_view(src, srcLeft), 0) : 1;
        if (!toUtf8) {
            // Skip the whole character, but no byte that cannot continue it.
            const std::size_t length = std::min(srcLeft, utf8SequenceLength(static_cast<unsigned char>(*src)));
            while (skip < length && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80)
                ++skip;
        }
        if (unconverted)
            unconverted->emplace_back(src, skip);
        src += skip;
        srcLeft -= skip;
        if (out.size() - used < replacement.size())
            out.resize(out.size() * 2);
        out.replace(used, replacement.size(), replacement);
        used += replacement.size();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
}

} // namespace

std::string big5ToUtf8(std::string_view big5)
{
    return convert(big5, true);
}

std::string utf8ToBig5(std::string_view utf8)
{
    return convert(utf8, false);
}

std::string utf8ToBig5(std::string_view utf8, std::vector<std::string>& unencodable)
{
    return convert(utf8, false, &unencodable);
}

} // namespace marovin
