#include "platform/UnicodeText.h"

#include <gtest/gtest.h>

#include <string>

using namespace nuv;

TEST(UnicodeText, WellFormedTextsRoundTripThroughUtf16AndUtf32) {
    const char* const texts[] = {"", "plain ASCII", "é版本 yyyy/mm/dd", "\xF0\x9F\x93\x84 report",
                                 "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF4\x8F\xBF\xBF"};
    for (std::string text : texts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
        EXPECT_EQ(Utf32ToUtf8(Utf8ToUtf32(text)), text);
    }
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x93\x84"), u"\U0001F4C4");
    EXPECT_EQ(Utf8ToUtf32("a版"), U"a版");
}

TEST(UnicodeText, IllFormedInputBecomesReplacementCharacters) {
    struct Case {
        const char* label;
        std::u32string decoded; // Utf8ToUtf32 of the bytes
        std::string bytes;
    };
    const Case cases[] = {
        {"stray continuation byte", U"a\uFFFDz", "a\x80z"},
        {"cut off at the end", U"a\uFFFD\uFFFD", "a\xE7\x89"},
        {"overlong form", U"\uFFFD\uFFFD", "\xC0\xAF"},
        {"encoded surrogate", U"\uFFFD\uFFFD\uFFFD", "\xED\xA0\x80"},
        {"beyond U+10FFFF", U"\uFFFD\uFFFD\uFFFD\uFFFD", "\xF4\x90\x80\x80"},
        {"bad byte keeps the text after it", U"\uFFFD版", "\xFF版"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8ToUtf32(c.bytes), c.decoded) << c.label;

    // Encoding: an unpaired surrogate or a value out of range is never written as such.
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xD800), u'b'}), "a\xEF\xBF\xBD"
                                                                         "b");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDC00)}), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf32ToUtf8(std::u32string{char32_t(0x110000), char32_t(0xDFFF)}),
              "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(UnicodeText, CountsCharactersAndTrimsBlanksAndControls) {
    EXPECT_EQ(CodePointCount(""), 0u);
    EXPECT_EQ(CodePointCount("ab版\xF0\x9F\x93\x84"), 4u);
    EXPECT_EQ(TrimText(" \t版 a\r\n"), "版 a");
    EXPECT_EQ(TrimText(" \x01 "), "");
}
