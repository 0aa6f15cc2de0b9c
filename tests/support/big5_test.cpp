#include "support/big5.h"

#include <gtest/gtest.h>

namespace marovin {
namespace {

TEST(Big5, KnownCharactersConvertBothWays)
{
    struct Case {
        const char* big5;
        const char* utf8;
    };
    const Case cases[] = {
        {"\xB1\x4E", "將"},                 // a piece name
        {"\xAC\xB6", "炮"},
        {"\xA4\xA4\xA4\xE5 OMRA", "中文 OMRA"},
        {"\xA1\x40", "　"},                 // the ideographic space
        {"plain ASCII\r\n", "plain ASCII\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(big5ToUtf8(c.big5), c.utf8) << c.utf8;
        EXPECT_EQ(utf8ToBig5(c.utf8), c.big5) << c.utf8;
    }
}

TEST(Big5, MalformedInputIsReplacedNotLost)
{
    // A lone lead byte at the end, then one followed by a byte no trail may be.
    EXPECT_EQ(big5ToUtf8("ab\xB1"), "ab\xEF\xBF\xBD");
    EXPECT_EQ(big5ToUtf8("\xFF" "x"), "\xEF\xBF\xBD" "x");
    // A character Big5 lacks, and bytes that are not UTF-8.
    EXPECT_EQ(utf8ToBig5("a\xF0\x9F\x98\x80" "b"), "a?b");
    EXPECT_EQ(utf8ToBig5("a\xC3(b"), "a?(b");
    EXPECT_EQ(big5ToUtf8(""), "");
}

TEST(Big5, LongTextsGrowTheirOutput)
{
    std::string big5;
    std::string utf8;
    for (int i = 0; i < 5000; ++i) {
        big5 += "\xB1\x4E" "a";
        utf8 += "將a";
    }
    EXPECT_EQ(big5ToUtf8(big5), utf8);
    EXPECT_EQ(utf8ToBig5(utf8), big5);
}

} // namespace
} // namespace marovin
