// Arbitrary settings files loaded as the options record: any length and content loads,
// no text field is read past its end, and the list font built from any format is usable.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "options/options.h"
#include "support/fixed_text.h"
#include "testkit/fakes.h"
#include "testkit/fuzz_file.h"

namespace {

template <std::size_t N>
void checkField(const char (&field)[N])
{
    if (marovin::fieldText(field).size() > N)
        std::abort();
}

void checkFormat(const marovin::TextFormat& format)
{
    checkField(format.faceName);
    if (const auto fontSpec = marovin::listFontSpec(format))
        if (fontSpec->pixelHeight < 1 || fontSpec->pixelHeight > marovin::kMaxListFontPixels || fontSpec->faceName.empty() ||
            fontSpec->faceName.size() > sizeof format.faceName)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const marovin::testkit::FuzzFile file("options");
    file.write(data, size);

    marovin::testkit::FakeDesktop desktop;
    marovin::Options options;
    marovin::loadOptions(options, marovin::PlatformDefaults{}, file.path(), desktop);
    if (!desktop.fatalTexts.empty())
        std::abort();

    for (const auto* format : {&options.inputTextFormat, &options.outputTextFormat, &options.warningTextFormat,
                               &options.normalClientTextFormat, &options.typedTextFormat})
        checkFormat(*format);
    for (const auto& format : options.specialLineFormat)
        checkFormat(format);
    for (const auto& lead : options.specialLineLead)
        checkField(lead);
    for (const auto& server : options.servers) {
        checkField(server.host);
        for (const auto& login : server.logins) {
            checkField(login.name);
            checkField(login.password);
        }
    }
    checkField(options.customFont.faceName);
    checkField(options.boardBitmapPath);
    checkField(options.tellPlayerName);
    checkField(options.startupCommands);
    checkField(options.autoCommands);
    checkField(options.thanksText);
    checkField(options.seekText);
    for (const auto& text : options.fastKeyText)
        checkField(text);
    checkField(options.lastGameFilePath);
    return 0;
}
