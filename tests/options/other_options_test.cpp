// The other options as plain values: minutes shown, seconds stored; the texts' limits and
// line ends.

#include <string>

#include <gtest/gtest.h>

#include "options/other_options.h"
#include "support/fixed_text.h"

namespace marovin {
namespace {

TEST(OtherOptions, TheIntervalIsEditedInMinutesAndStoredInSeconds)
{
    Options options{};
    OtherOptions values;
    const std::pair<std::string, int> cases[] = {{"5", 300}, {"0", 0}, {"", 0}, {"abc", 0}, {"12x", 720},
                                                 {"9999", 599940}, {"123456", 1234 * 60}};
    for (const auto& [typed, seconds] : cases) {
        values.intervalMinutes = typed;
        storeOtherOptions(options, values);
        EXPECT_EQ(+options.autoCommandInterval, seconds) << typed;
    }
    options.autoCommandInterval = 300;
    EXPECT_EQ(otherOptionsOf(options).intervalMinutes, "5");
    options.autoCommandInterval = 119;
    EXPECT_EQ(otherOptionsOf(options).intervalMinutes, "1") << "rounded down";
}

TEST(OtherOptions, TextsKeepTheirLimitsAndTheRecordsLineEnds)
{
    Options options{};
    OtherOptions values;
    values.thanksText = std::string(120, 't');
    values.seekText = std::string(119, 's') + "\xA4\xA4"; // the last character would end at 121
    values.startupCommands = "who -2\n# shout hi all\n";
    values.autoCommands = std::string(1999, 'a') + "\nb"; // the limit falls between CR and LF
    storeOtherOptions(options, values);
    EXPECT_EQ(fieldText(options.thanksText).size(), 120u) << "120 characters are kept whole";
    EXPECT_EQ(fieldText(options.seekText), std::string(119, 's'));
    EXPECT_EQ(fieldText(options.startupCommands), "who -2\r\n# shout hi all\r\n");
    EXPECT_EQ(fieldText(options.autoCommands), std::string(1999, 'a')) << "never half a line end";
    const OtherOptions shown = otherOptionsOf(options);
    EXPECT_EQ(shown.startupCommands, "who -2\n# shout hi all\n");
    EXPECT_EQ(storedLineEnds(shownLineEnds("a\r\nb\nc")), "a\r\nb\r\nc");
}

} // namespace
} // namespace marovin
