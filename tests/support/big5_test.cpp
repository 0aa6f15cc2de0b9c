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

// Code points in UTF-8 text.
std::size_t characterCount(const std::string& utf8)
{
    std::size_t count = 0;
    for (const char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// Over every pair of bytes: where the helper sees one two-byte character the converter
// shows one character, and where it sees two characters the converter shows two. So a
// parser that steps by the helper finds exactly the ASCII bytes that the user sees.
TEST(Big5, CharacterBoundariesAgreeWithTheConverterOverEveryBytePair)
{
    int wholeCharacters = 0;
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            const char bytes[] = {static_cast<char>(first), static_cast<char>(second)};
            const std::string_view pair(bytes, 2);
            const std::size_t length = big5CharLength(pair, 0);
            const bool expectedWhole = first >= 0x81 && first <= 0xFE &&
                                       ((second >= 0x40 && second <= 0x7E) || (second >= 0xA1 && second <= 0xFE));
            ASSERT_EQ(length == 2, expectedWhole) << std::hex << first << " " << second;
            ASSERT_EQ(characterCount(big5ToUtf8(pair)), length == 2 ? 1u : 2u) << std::hex << first << " " << second;
            wholeCharacters += length == 2;
        }
        const char lone[] = {static_cast<char>(first)};
        EXPECT_EQ(big5CharLength(std::string_view(lone, 1), 0), 1u) << "a byte at the end stands alone";
    }
    EXPECT_EQ(wholeCharacters, 126 * 157);
}

TEST(Big5, PrefixesEndBetweenCharactersWhateverTheTrailByte)
{
    EXPECT_EQ(big5PrefixLength("ab\xA4\x5D", 3), 2u); // 也 ends in "]"
    EXPECT_EQ(big5PrefixLength("ab\xA8\x7D}", 4), 4u); // 良 ends in "}"; the real brace follows it
    EXPECT_EQ(big5PrefixLength("a\xA4 b", 2), 2u);     // a lead byte before a blank stands alone
    EXPECT_EQ(big5ToUtf8("\xA8\x7D}\xA4\x5D]"), "良}也]");
}

} // namespace
} // namespace marovin
