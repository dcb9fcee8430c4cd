#include "platform/CodePage.h"
#include <nuv/Exception.h>

#include "platform/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace nuv;
using nuv::test::ScopedEnv;

namespace {
// 中 (U+4E2D): Big5 A4 A4, GBK D6 D0. 文 (U+6587): Big5 A4 E5.
// 们 (U+4EEC) exists in GBK only; 😀 (U+1F600) in neither.
const std::string Zhong = "\xE4\xB8\xAD";
const std::string Wen = "\xE6\x96\x87";
const std::string Men = "\xE4\xBB\xAC";
const std::string Smile = "\xF0\x9F\x98\x80";
} // namespace

TEST(CodePage, DecodeAndEncodeRoundTrip) {
    struct Case {
        int cp;
        std::string bytes;
        std::string text;
    } cases[] = {
        {950, "A\xA4\xA4\xA4\xE5", "A" + Zhong + Wen},
        {936, "\xD6\xD0\xC3\xC7", Zhong + Men},
        {65001, Zhong, Zhong},
        {1252, "caf\xE9", "caf\xC3\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeBytes(c.bytes, c.cp), c.text) << c.cp;
        EXPECT_EQ(EncodeBytes(c.text, c.cp), c.bytes) << c.cp;
    }
}

TEST(CodePage, CodePageZeroIsTheSystemCodePage) {
    {
        ScopedEnv acp("NUV_ACP", "950");
        EXPECT_EQ(DecodeBytes("\xA4\xA4", 0), Zhong);
        EXPECT_EQ(EncodeBytes(Zhong, 0), "\xA4\xA4");
    }
    ScopedEnv acp("NUV_ACP", "936");
    EXPECT_EQ(DecodeBytes("\xD6\xD0", 0), Zhong);
}

TEST(CodePage, BadBytesAndMissingCharactersAreReplacedNotDropped) {
    EXPECT_EQ(DecodeBytes("a\xFF"
                          "b",
                          65001),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(DecodeBytes("\xA4", 950), "\xEF\xBF\xBD") << "half a Big5 character";
    EXPECT_EQ(EncodeBytes("x" + Men + "y", 950), "x?y");
}

TEST(CodePage, UnknownCodePageIsAnError) {
    EXPECT_FALSE(IsCodePageSupported(4242));
    EXPECT_TRUE(IsCodePageSupported(950));
    EXPECT_THROW(DecodeBytes("abc", 4242), Exception);
    EXPECT_THROW(EncodeBytes("abc", 4242), Exception);
}

TEST(CodePage, Cp950ByteLength) {
    const std::pair<std::string, int> cases[] = {
        {"", 0},
        {"abc", 3},
        {Zhong + Wen, 4},
        {"No." + Zhong, 5},
        {Men, 2},   // not in CP950: counted as a full-width character
        {Smile, 2}, // outside the Basic Multilingual Plane, still one character
        {"\xFF"
         "a",
         2}, // a stray byte counts as one
    };
    for (const auto& [text, len] : cases)
        EXPECT_EQ(Cp950ByteLength(text), len) << text;
}

TEST(CodePage, CompareCp950OrdersByBig5Bytes) {
    // 乙 (U+4E59, Big5 A4 41) sorts before 丁 (U+4E01, Big5 A4 42) in Big5, after it in Unicode.
    const std::string Ding = "\xE4\xB8\x81";
    const std::string Yi = "\xE4\xB9\x99";
    EXPECT_LT(CompareCp950(Yi, Ding), 0);
    EXPECT_GT(std::string(Yi).compare(Ding), 0) << "the UTF-8 order is the other way round";
    EXPECT_LT(CompareCp950("Z", Zhong), 0) << "bytes compare unsigned";
    EXPECT_LT(CompareCp950("ab", "abc"), 0);
    EXPECT_EQ(CompareCp950(Zhong, Zhong), 0);
    EXPECT_GT(CompareCp950("b", "a"), 0);
}

TEST(CodePage, CharactersOutsideCp950StayDistinctAndSortLast) {
    // Converted to '?' both would compare equal to each other and to a real '?'.
    EXPECT_NE(CompareCp950(Men, Smile), 0);
    EXPECT_NE(CompareCp950(Men, "?"), 0);
    EXPECT_GT(CompareCp950(Men, "\xE9\xBE\x98"), 0) << "after 龘, Big5 F9 D5";

    std::vector<std::string> v = {Smile, Wen, "a", Men, Zhong};
    std::sort(v.begin(), v.end(),
              [](const std::string& x, const std::string& y) { return CompareCp950(x, y) < 0; });
    EXPECT_EQ(v, (std::vector<std::string>{"a", Zhong, Wen, Men, Smile}));
}
