#include "platform/Registry.h"
#include <nuv/Exception.h>

#include "platform/TestFiles.h"

#include <nuv/CodePageText.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

using namespace nuv;
using nuv::test::ScopedEnv;
using nuv::test::TempDir;

namespace {

// One export exercising every kind of line, written as the registry editor writes it.
const char* const Export = R"(Windows Registry Editor Version 5.00

; a comment
[HKEY_LOCAL_MACHINE\SOFTWARE\NUV\Tarvel]
"ClientPath"="C:\\App\\"
"Quoted"="say \"hi\""
"Hand"="C:\App"
"ProfileType"=dword:00000001
"Big"=dword:ffffffff
@="the default"
"Name"="中文"
"Bin"=hex:01,02,\
  03,ff
"Expand"=hex(2):25,00,41,00,25,00,00,00
"Multi"=hex(7):61,00,00,00,62,00,00,00,00,00

[HKEY_CLASSES_ROOT\Test.Object\InprocServer32]
@="/opt/nuv/libtest.so"

[HKEY_CURRENT_USER\Software\Classes\Test.Object\InprocServer32]
@="/home/amy/libtest.so"

[HKEY_LOCAL_MACHINE\SOFTWARE\Gone]
"x"="1"
[-HKEY_LOCAL_MACHINE\SOFTWARE\Gone]
[HKEY_LOCAL_MACHINE\SOFTWARE\NUV\Tarvel]
"Removed"="1"
"Removed"=-
)";

std::string Utf16Le(const std::string& utf8) {
    std::string out;
    detail::IconvConvert(utf8, "UTF-8", "UTF-16LE", out, false);
    return "\xFF\xFE" + out;
}

std::string CrLf(std::string s) {
    std::string out;
    for (char c : s) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace

class RegistryFormats : public ::testing::TestWithParam<const char*> {};

// The same export in each encoding and line-ending the registry editor produces.
TEST_P(RegistryFormats, ReadsEveryKindOfValue) {
    TempDir dir;
    std::string kind = GetParam();
    std::string text = Export;
    if (kind == std::string("regedit4"))
        text.replace(0, text.find('\n'), "REGEDIT4");
    std::string bytes = kind == std::string("utf16")     ? Utf16Le(CrLf(text))
                        : kind == std::string("utf8bom") ? "\xEF\xBB\xBF" + text
                                                         : text;
    TRegistry reg(dir.Write("r.reg", bytes));
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("software\\nuv\\TARVEL")) << "keys match without case";
    EXPECT_EQ(reg.ReadString("clientpath"), "C:\\App\\") << "value names match without case";
    EXPECT_EQ(reg.ReadString("Quoted"), "say \"hi\"");
    EXPECT_EQ(reg.ReadString("Hand"), "C:\\App") << "an unknown escape stays as written";
    EXPECT_EQ(reg.ReadInteger("ProfileType"), 1);
    EXPECT_EQ(reg.ReadInteger("Big"), -1);
    EXPECT_EQ(reg.ReadString(""), "the default");
    EXPECT_EQ(reg.ReadString("Name"), "中文");
    EXPECT_EQ(reg.GetDataType("Bin"), TRegDataType::rdBinary);
    EXPECT_FALSE(reg.ValueExists("Removed"));
    EXPECT_TRUE(reg.ValueExists("Quoted"));
    if (kind != std::string("regedit4")) {
        EXPECT_EQ(reg.ReadString("Expand"), "%A%");
        EXPECT_EQ(reg.GetDataType("Expand"), TRegDataType::rdExpandString);
    }
    EXPECT_FALSE(reg.KeyExists("\\SOFTWARE\\Gone")) << "removed by [-...]";
}

INSTANTIATE_TEST_SUITE_P(Registry, RegistryFormats,
                         ::testing::Values("utf8", "utf8bom", "utf16", "regedit4"));

TEST(Registry, KeysOpenFromTheRootOrFromTheOpenKey) {
    TempDir dir;
    TRegistry reg(dir.Write("r.reg", Export));
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\NUV")) << "a parent exists implicitly";
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\NUV\\"));
    EXPECT_EQ(reg.GetKeyNames(), std::vector<std::string>{"Tarvel"});
    ASSERT_TRUE(reg.OpenKeyReadOnly("Tarvel")) << "relative to the open key";
    EXPECT_EQ(reg.CurrentPath(), "Software\\NUV\\Tarvel");
    EXPECT_FALSE(reg.OpenKeyReadOnly("\\Software\\Missing"));
    EXPECT_EQ(reg.CurrentPath(), "Software\\NUV\\Tarvel") << "a failed open keeps the key";
    reg.CloseKey();
    EXPECT_FALSE(reg.HasCurrentKey());
    EXPECT_EQ(reg.ReadString("ClientPath"), "") << "no key open: nothing to read";
    EXPECT_FALSE(reg.OpenKey("Software\\Created", true)) << "read-only: never created";
}

TEST(Registry, ClassesRootIsTheUsersClassesOverTheMachines) {
    TempDir dir;
    TRegistry reg(dir.Write("r.reg", Export));
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(reg.OpenKeyReadOnly("test.object\\InprocServer32"));
    EXPECT_EQ(reg.ReadString(""), "/home/amy/libtest.so");
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Classes\\Test.Object\\InprocServer32"));
    EXPECT_EQ(reg.ReadString(""), "/opt/nuv/libtest.so");
}

TEST(Registry, ValuesOfTheWrongKindOrMissingValues) {
    TempDir dir;
    TRegistry reg(dir.Write("r.reg", Export));
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\NUV\\Tarvel"));
    EXPECT_EQ(reg.ReadString("Nothing"), "");
    EXPECT_THROW(reg.ReadString("ProfileType"), Exception);
    try {
        reg.ReadInteger("Nothing");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("'Nothing' in HKEY_LOCAL_MACHINE\\Software\\NUV\\"
                                             "Tarvel"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_THROW(reg.ReadInteger("ClientPath"), Exception);
}

TEST(Registry, MissingFileIsAnEmptyRegistry) {
    TempDir dir;
    TRegistry reg(dir / "none.reg");
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\NUV\\Tarvel"));
    EXPECT_FALSE(reg.KeyExists("Software"));
}

TEST(Registry, FileComesFromNuvRegistryElseEtc) {
    {
        ScopedEnv env("NUV_REGISTRY", "/tmp/x.reg");
        EXPECT_EQ(RegistryFilePath(), "/tmp/x.reg");
        EXPECT_EQ(TRegistry().FileName(), "/tmp/x.reg");
    }
    ScopedEnv env("NUV_REGISTRY", std::nullopt);
    EXPECT_EQ(RegistryFilePath(), "/etc/nuv/registry.reg");
}

TEST(Registry, MalformedLinesNameTheFileAndLine) {
    struct Case {
        const char* label;
        std::string text;
        int line;
    } cases[] = {
        {"no header", "[HKEY_LOCAL_MACHINE\\A]\n", 1},
        {"value before key", "REGEDIT4\n\"a\"=\"b\"\n", 2},
        {"unknown root", "REGEDIT4\n[HKEY_NOWHERE\\A]\n", 2},
        {"unclosed key", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n", 2},
        {"unclosed string", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"C:\\App\\\"\n", 3},
        {"missing =", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\n\"a\" \"b\"\n", 4},
        {"bad dword", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=dword:12345678a\n", 3},
        {"bad hex", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex:1,02\n", 3},
        {"unknown data", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=42\n", 3},
        {"stray text", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\nClientPath=C:\\App\n", 3},
        {"text after string", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"b\" x\n", 3},
    };
    TempDir dir;
    for (const auto& c : cases) {
        std::string path = dir.Write("bad.reg", c.text);
        TRegistry reg(path);
        try {
            reg.KeyExists("A");
            ADD_FAILURE() << c.label << ": no error";
        } catch (const Exception& e) {
            std::string expected = "Registry file " + path + ", line " + std::to_string(c.line);
            EXPECT_EQ(std::string(e.what()).rfind(expected, 0), 0u) << c.label << ": " << e.what();
        }
    }
}

TEST(Registry, TextInAnotherEncodingIsRefused) {
    TempDir dir;
    // Big5 bytes without a byte-order mark are not UTF-8.
    TRegistry reg(dir.Write("big5.reg", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"\xA4\xA4\"\n"));
    EXPECT_THROW(reg.KeyExists("A"), Exception);
}

TEST(Registry, EmptyFileIsAnEmptyRegistryAsAMissingOneIs) {
    TempDir dir;
    for (const char* text : {"", "\n\r\n  \n", "\xEF\xBB\xBF"}) {
        TRegistry reg(dir.Write("empty.reg", text));
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        EXPECT_FALSE(reg.KeyExists("Software"));
        EXPECT_TRUE(reg.OpenKeyReadOnly("")) << "the root exists all the same";
    }
}

TEST(Registry, EveryRootExistsEvenWithoutKeysInTheFile) {
    auto file = RegistryFile::Parse("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n", "r.reg");
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                      HKEY_CURRENT_CONFIG})
        EXPECT_NE(file->FindKey(root, ""), nullptr) << RegistryFile::RootName(root);
    EXPECT_EQ(file->FindKey(HKEY_CLASSES_ROOT, "Nothing"), nullptr);
}

TEST(Registry, ClearMessagesForDataThatCannotBeRead) {
    struct Case {
        const char* label;
        std::string text;
        const char* says;
    } cases[] = {
        {"backslash before the closing quote",
         "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"Dir\"=\"D:\\Srv\\\"\n", "backslash"},
        {"key nested too deep",
         "REGEDIT4\n[HKEY_LOCAL_MACHINE" +
             [] {
                 std::string path;
                 for (int i = 0; i <= MaxRegistryKeyDepth; ++i)
                     path += "\\k";
                 return path;
             }() +
             "]\n",
         "at most 512 levels"},
        {"overlong UTF-8", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"\xC0\xAF\"\n", "UTF-8"},
        {"encoded surrogate", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"\xED\xA0\x80\"\n",
         "UTF-8"},
        {"hex type of nine digits", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex(100000000):00\n",
         "1 to 8 hexadecimal digits"},
    };
    for (const Case& c : cases) {
        try {
            RegistryFile::Parse(c.text, "r.reg");
            ADD_FAILURE() << c.label << ": no error";
        } catch (const Exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos)
                << c.label << ": " << e.what();
        }
    }
    // 512 levels are allowed.
    std::string path;
    for (int i = 0; i < MaxRegistryKeyDepth; ++i)
        path += "\\k";
    auto deep = RegistryFile::Parse("REGEDIT4\n[HKEY_LOCAL_MACHINE" + path + "]\n", "r.reg");
    EXPECT_NE(deep->FindKey(HKEY_LOCAL_MACHINE, path), nullptr);
}

TEST(Registry, AnyHexTypeNumberAndOldStyleStringData) {
    ScopedEnv acp("NUV_ACP", "950");
    auto file = RegistryFile::Parse("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n"
                                    "\"Top\"=hex(ffffffff):01,02\n"
                                    "\"Big5\"=hex(1):a4,a4,00\n"
                                    "\"Utf8\"=hex(2):e4,b8,ad,00\n"
                                    "\"Multi\"=hex(7):a4,e5,00,41,00,00\n",
                                    "r.reg");
    const RegistryFile::Key* key = file->FindKey(HKEY_LOCAL_MACHINE, "A");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->FindValue("Top")->type, TRegDataType::rdBinary);
    EXPECT_EQ(key->FindValue("Top")->bytes, "\x01\x02");
    // Big5 data of an old-style export is decoded, not passed on as ill-formed UTF-8.
    EXPECT_EQ(key->FindValue("Big5")->text, "\xE4\xB8\xAD");
    EXPECT_EQ(key->FindValue("Utf8")->text, "\xE4\xB8\xAD");
    EXPECT_EQ(key->FindValue("Multi")->strings, (std::vector<std::string>{"\xE6\x96\x87", "A"}));
}

TEST(Registry, KeysAndValuesAddedReplacedAndRemoved) {
    std::string text = "REGEDIT4\n";
    // Many keys made and removed, as an installer's export may do.
    for (int i = 0; i < 3000; ++i)
        text += "[HKEY_LOCAL_MACHINE\\P\\K" + std::to_string(i) + "\\Sub]\n\"v\"=\"" +
                std::to_string(i) + "\"\n";
    for (int i = 0; i < 3000; i += 2)
        text += "[-HKEY_LOCAL_MACHINE\\P\\K" + std::to_string(i) + "]\n";
    text += "[HKEY_LOCAL_MACHINE\\P\\K0]\n" // made again: comes last
            "\"a\"=\"1\"\n\"b\"=\"2\"\n\"A\"=\"3\"\n\"b\"=-\n\"c\"=\"4\"\n" // a replaced, b removed
            "[HKEY_LOCAL_MACHINE\\P\\K1]\n[-HKEY_LOCAL_MACHINE\\P\\K1\\Sub]\n";
    auto file = RegistryFile::Parse(text, "r.reg");
    const RegistryFile::Key* p = file->FindKey(HKEY_LOCAL_MACHINE, "P");
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->subKeys.size(), 1501u);
    EXPECT_EQ(p->subKeys.front(), "K1");
    EXPECT_EQ(p->subKeys.back(), "K0");
    EXPECT_EQ(file->FindKey(HKEY_LOCAL_MACHINE, "P\\K2\\Sub"), nullptr);
    EXPECT_EQ(file->FindKey(HKEY_LOCAL_MACHINE, "P\\K0\\Sub"), nullptr) << "not made again";
    EXPECT_EQ(file->FindKey(HKEY_LOCAL_MACHINE, "P\\K1\\Sub"), nullptr);
    EXPECT_EQ(file->FindKey(HKEY_LOCAL_MACHINE, "P\\K3\\Sub")->FindValue("V")->text, "3");
    const RegistryFile::Key* k0 = file->FindKey(HKEY_LOCAL_MACHINE, "p\\k0");
    ASSERT_NE(k0, nullptr);
    std::vector<std::string> names;
    for (const RegistryValue& v : k0->values)
        names.push_back(v.name + "=" + v.text);
    EXPECT_EQ(names, (std::vector<std::string>{"A=3", "c=4"}));
    EXPECT_EQ(k0->FindValue("b"), nullptr);
}

TEST(Registry, ValueContinuedOverManyLines) {
    std::string text = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"Bin\"=hex:";
    for (int i = 0; i < 5000; ++i)
        text += "00,01,\\\n  ";
    text += "ff\n";
    auto file = RegistryFile::Parse(text, "r.reg");
    const RegistryValue* v = file->FindKey(HKEY_LOCAL_MACHINE, "A")->FindValue("Bin");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->bytes.size(), 10001u);
    EXPECT_EQ(v->bytes.back(), '\xFF');
}

namespace {

// Sets a file's modification time the given number of seconds back from now.
void AgeFile(const std::string& path, int seconds) {
    timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::string ClientPath(const std::string& file) {
    TRegistry reg(file);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    return reg.OpenKeyReadOnly("SOFTWARE\\NUV\\Tarvel") ? reg.ReadString("ClientPath") : "?";
}

} // namespace

TEST(Registry, AChangedFileIsReadAgainEvenWithTheSameSize) {
    TempDir dir;
    auto text = [](const char* path) {
        return std::string("Windows Registry Editor Version 5.00\n\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NUV\\Tarvel]\n\"ClientPath\"=\"") +
               path + "\"\n";
    };
    // A file written long ago, read twice; then rewritten in place with another value of the
    // same length, twice in quick succession.
    const std::string file = dir.Write("r.reg", text("/opt/a"));
    AgeFile(file, 60);
    EXPECT_EQ(ClientPath(file), "/opt/a");
    EXPECT_EQ(ClientPath(file), "/opt/a");
    dir.Write("r.reg", text("/opt/b"));
    EXPECT_EQ(ClientPath(file), "/opt/b");
    dir.Write("r.reg", text("/opt/c"));
    EXPECT_EQ(ClientPath(file), "/opt/c");
    // Another file of the same name in another place is another registry.
    TempDir other;
    const std::string second = other.Write("r.reg", text("/opt/d"));
    AgeFile(second, 60);
    EXPECT_EQ(ClientPath(second), "/opt/d");
    EXPECT_EQ(ClientPath(file), "/opt/c");
}
