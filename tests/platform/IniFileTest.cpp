#include "platform/IniFile.h"
#include "platform/CodePage.h"

#include "platform/TestFiles.h"

#include <nuv/CodePageText.h>
#include <nuv/Variant.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

using namespace nuv;
using nuv::test::ScopedEnv;
using nuv::test::TempDir;

namespace {
const char* const Sample = "stray=before any section\r\n"
                           "[Server Information]\r\n"
                           "  ComputerName =  10.0.0.1;10.0.0.2;  \r\n"
                           "ServerPort=300\r\n"
                           "Empty=\r\n"
                           "; Commented=1\r\n"
                           "NoEquals\r\n"
                           "Quoted=\"  spaced  \"\r\n"
                           "Single='x'\r\n"
                           "Half=\"x\r\n"
                           "Hex=$1F\r\n"
                           "Bad=12a\r\n"
                           "ServerPort=999\r\n"
                           "[WorkDLLPath]\r\n"
                           "B=\\Sub\r\n"
                           "A=D:\\Pkg\r\n"
                           "[empty]\r\n"
                           "[SERVER INFORMATION]\r\n"
                           "Later=1\r\n"
                           "[CodePage]\r\n"
                           "UICodePage=936";
} // namespace

TEST(IniFile, ReadsWithWindowsProfileRules) {
    TempDir dir;
    TIniFile ini(dir.Write("TarvelC.ini", Sample));
    ASSERT_TRUE(ini.Loaded());
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"server information", "computername", "10.0.0.1;10.0.0.2;"}, // no case, trimmed
        {"Server Information", "ServerPort", "300"},                  // first key wins
        {"Server Information", "Empty", ""},                          // present but empty
        {"Server Information", "Quoted", "  spaced  "},               // quotes dropped
        {"Server Information", "Single", "x"},
        {"Server Information", "Half", "\"x"},          // unpaired quote kept
        {"Server Information", "; Commented", "<def>"}, // comment line
        {"Server Information", "NoEquals", "<def>"},
        {"Server Information", "Later", "<def>"}, // in a second section of the name
        {"Server Information", "stray", "<def>"},
        {"CodePage", "UICodePage", "936"}, // last line without line break
        {"Nowhere", "x", "<def>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<def>"), c.expected)
            << c.section << "/" << c.key;
}

TEST(IniFile, ReadIntegerFallsBackOnNonNumbers) {
    TempDir dir;
    TIniFile ini(dir.Write("a.ini", Sample));
    EXPECT_EQ(ini.ReadInteger("Server Information", "ServerPort", 211), 300);
    EXPECT_EQ(ini.ReadInteger("Server Information", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("Server Information", "Bad", 211), 211);
    EXPECT_EQ(ini.ReadInteger("Server Information", "Empty", 211), 211);
    EXPECT_EQ(ini.ReadInteger("Server Information", "Missing", 211), 211);
    EXPECT_TRUE(ini.ReadBool("SERVER INFORMATION", "Later", false) == false);
}

TEST(IniFile, WholeSectionsInFileOrder) {
    TempDir dir;
    TIniFile ini(dir.Write("a.ini", Sample));
    EXPECT_EQ(ini.ReadSectionValues("workdllpath"),
              (std::vector<std::string>{"B=\\Sub", "A=D:\\Pkg"}));
    EXPECT_EQ(ini.ReadSection("WorkDLLPath"), (std::vector<std::string>{"B", "A"}));
    EXPECT_TRUE(ini.ReadSectionValues("Missing").empty());
    EXPECT_TRUE(ini.SectionExists("WORKDLLPATH"));
    EXPECT_FALSE(ini.SectionExists("empty")) << "a section without keys counts as missing";
    EXPECT_FALSE(ini.SectionExists("Missing"));
    EXPECT_TRUE(ini.ValueExists("Server Information", "Empty"));
    EXPECT_FALSE(ini.ValueExists("Server Information", "Missing"));
    EXPECT_EQ(ini.ReadSections(),
              (std::vector<std::string>{"Server Information", "WorkDLLPath", "empty", "CodePage"}));
}

TEST(IniFile, MissingFileGivesTheDefaults) {
    TempDir dir;
    TIniFile ini(dir / "TarvelC.ini");
    EXPECT_FALSE(ini.Loaded());
    EXPECT_EQ(ini.ReadString("Server Information", "ComputerName", "127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(ini.ReadInteger("Server Information", "ServerPort", 211), 211);
    EXPECT_FALSE(ini.SectionExists("WorkDLLPath"));
}

TEST(IniFile, TextEncodings) {
    const std::string zhong = "\xE4\xB8\xAD"; // 中
    std::string utf16;
    detail::IconvConvert("[A]\r\nk=" + zhong + "\r\n", "UTF-8", "UTF-16LE", utf16, false);
    ScopedEnv acp("NUV_ACP", "65001");
    const std::pair<const char*, std::string> cases[] = {
        {"utf-8", "[A]\nk=" + zhong},
        {"utf-8 with mark", "\xEF\xBB\xBF[A]\nk=" + zhong},
        {"utf-16le with mark", "\xFF\xFE" + utf16},
        {"big5 on a utf-8 system", "[A]\nk=\xA4\xA4"},
    };
    TempDir dir;
    for (const auto& [label, bytes] : cases)
        EXPECT_EQ(TIniFile(dir.Write("e.ini", bytes)).ReadString("a", "K", "?"), zhong) << label;

    ScopedEnv gbk("NUV_ACP", "936");
    EXPECT_EQ(TIniFile::DecodeText("k=\xD6\xD0"), "k=" + zhong) << "system code page first";
}

// Bytes that only a lax check takes for UTF-8 (an overlong form, an encoded surrogate, a lead
// byte beyond F4) are read in the system code page, as any other text that is not UTF-8.
TEST(IniFile, OnlyWellFormedUtf8IsTakenAsUtf8) {
    ScopedEnv gbk("NUV_ACP", "936");
    for (const std::string bytes : {"k=\xC0\xAF", "k=\xED\xA0\x80", "k=\xF5\x80\x80\x80"}) {
        const std::string text = TIniFile::DecodeText(bytes);
        EXPECT_TRUE(IsValidUtf8(text)) << text;
        EXPECT_EQ(text, DecodeBytes(bytes, 936));
    }
}

TEST(IniFile, NumbersReadInTheVariantsGrammar) {
    TempDir dir;
    TIniFile ini(dir.Write("n.ini", "[N]\nhex=$FFFFFFFF\nbig=4294967295\nneg=-$10\nx=0x1p3\n"));
    EXPECT_EQ(ini.ReadInteger("N", "hex", 0), -1);
    EXPECT_EQ(ini.ReadInteger("N", "big", 5), 5);
    EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -16);
    EXPECT_EQ(ini.ReadInteger("N", "x", 3), 3);
    EXPECT_EQ(Variant("$FFFFFFFF").ToInt(), ini.ReadInteger("N", "hex", 0));
}

TEST(IniFile, ManySectionsListedOnceInFileOrder) {
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    text += "[s5]\nk=late\n[S1999]\n";
    TempDir dir;
    TIniFile ini(dir.Write("many.ini", text));
    const std::vector<std::string> names = ini.ReadSections();
    ASSERT_EQ(names.size(), 2000u);
    EXPECT_EQ(names.front(), "S0");
    EXPECT_EQ(names[5], "S5");
    EXPECT_EQ(names.back(), "S1999");
    EXPECT_EQ(ini.ReadString("S5", "K", "?"), "5") << "the first section of a name wins";
}

// A file read twice is read once and shared while it stays as it was; any change on disk (the
// same size rewritten in place, a file renamed over it, the file gone) is seen by the next
// reader. The file first settles, as an installed system's settings have.
TEST(IniFile, AKeptFileFollowsEveryChangeOnDisk) {
    TempDir dir;
    const std::string path = dir.Write("TarvelC.ini", "[CodePage]\nUICodePage=950\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(3100));
    auto page = [&] { return TIniFile(path).ReadString("CodePage", "UICodePage", "none"); };
    EXPECT_EQ(page(), "950");
    EXPECT_EQ(page(), "950");

    dir.Write("TarvelC.ini", "[CodePage]\nUICodePage=936\n"); // same size, in place
    EXPECT_EQ(page(), "936");

    const std::string other = dir.Write("new.ini", "[CodePage]\nUICodePage=437\n");
    ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
    EXPECT_EQ(page(), "437");

    ASSERT_EQ(std::remove(path.c_str()), 0);
    EXPECT_EQ(page(), "none");
    EXPECT_FALSE(TIniFile(path).Loaded());
}
