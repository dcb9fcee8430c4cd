#include "support/NUVLIB.h"

#include "platform/DateTime.h"
#include "platform/SystemServices.h"
#include "platform/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

using namespace nuv;
using nuv::test::ReadFile;
using nuv::test::ScopedEnv;
using nuv::test::TempDir;

namespace {

namespace fs = std::filesystem;

// An installation whose registry names App/ as the client directory, on 5 March 2004.
class AlertLog : public ::testing::Test {
protected:
    TempDir dir;
    std::optional<ScopedEnv> registry;
    ScopedEnv acp{"NUV_ACP", "65001"};
    ScopedNow clock{EncodeDate(2004, 3, 5) + EncodeTime(9, 8, 7, 65)};

    void SetUp() override { Paths("\"ClientPath\"=\"" + Base() + "\""); }
    void Paths(const std::string& values) {
        registry.emplace("NUV_REGISTRY",
                         dir.Write("registry.reg", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\NUV\\"
                                                   "Tarvel]\n" +
                                                       values + "\n"));
    }
    std::string Base() const { return dir / "App"; }
    std::string LogDir() const { return dir / "App/Log"; }
};

} // namespace

TEST_F(AlertLog, FileNamesByPeriod) {
    struct Case {
        const char* name;
        const char* period;
        const char* file;
    } cases[] = {
        {"libstrs", "D", "Alert_libstrs_20040305.log"},
        {"libstrs", "M", "Alert_libstrs_200403.log"},
        {"libstrs", "Y", "Alert_libstrs_2004.log"},
        {"libstrs", "W", "Alert_libstrs_20040305.log"},
        {"libstrs", "", "Alert_libstrs_20040305.log"},
        {"x.txt", "D", "Alert_x.txt_20040305"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteAlertLog(c.name, "line", c.period)) << c.name << " " << c.period;
        EXPECT_TRUE(fs::is_regular_file(LogDir() + "/" + c.file)) << c.file;
        EXPECT_EQ(AlertLogFileName(c.name, c.period), LogDir() + "/" + c.file);
    }
}

TEST_F(AlertLog, LinesAreAppendedWithTimeStampAndCrLf) {
    EXPECT_FALSE(fs::exists(LogDir())) << "the Log directory is made by the first write";
    ASSERT_TRUE(WriteAlertLog("libstrs", "first", "D"));
    {
        ScopedNow later(EncodeDate(2004, 3, 5) + EncodeTime(23, 59, 59, 999));
        ASSERT_TRUE(WriteAlertLog("libstrs", "second", "D"));
    }
    EXPECT_EQ(ReadFile(LogDir() + "/Alert_libstrs_20040305.log"),
              "[2004/03/05 09:08:07:065] first\r\n"
              "[2004/03/05 23:59:59:999] second\r\n");
}

TEST_F(AlertLog, BaseDirectoryFromTheRegistryElseTheExecutable) {
    struct Case {
        const char* label;
        std::string values;
        std::string logDir;
    } cases[] = {
        {"client path", "\"ClientPath\"=\"" + Base() + "\"\n\"ServerPath\"=\"" + dir / "Srv" + "\"",
         LogDir()},
        {"trailing separator", "\"ClientPath\"=\"" + Base() + "/\"", LogDir()},
        {"server path", "\"ClientPath\"=\"\"\n\"ServerPath\"=\"" + dir / "Srv" + "\"",
         dir / "Srv/Log"},
        {"deep, missing parents", "\"ServerPath\"=\"" + dir / "a/b/c" + "\"", dir / "a/b/c/Log"},
    };
    for (const auto& c : cases) {
        Paths(c.values);
        ASSERT_TRUE(WriteAlertLog("t", c.label, "D")) << c.label;
        EXPECT_NE(ReadFile(c.logDir + "/Alert_t_20040305.log").find(c.label), std::string::npos)
            << c.label;
    }
    // Neither value: the executable's directory (only asked, not written into).
    Paths("\"Other\"=\"x\"");
    EXPECT_EQ(AlertLogFileName("t", "D"),
              fs::path(GetExecutablePath()).parent_path().string() + "/Log/Alert_t_20040305.log");
}

TEST_F(AlertLog, UnwritableLogReturnsFalse) {
    // The process may run with rights that ignore permission bits, so the obstacles are of a
    // kind no rights get past: a file where the directory should be, a directory where the
    // file should be.
    dir.Write("App/Log", "not a directory");
    EXPECT_FALSE(WriteAlertLog("libstrs", "x", "D"));
    fs::remove(LogDir());
    fs::create_directories(LogDir() + "/Alert_libstrs_20040305.log");
    EXPECT_FALSE(WriteAlertLog("libstrs", "x", "D"));
}

TEST_F(AlertLog, BrokenRegistryFileReturnsFalse) {
    registry.emplace("NUV_REGISTRY", dir.Write("registry.reg", "not a registry file\n"));
    EXPECT_FALSE(WriteAlertLog("libstrs", "x", "D"));
}

TEST_F(AlertLog, NameCannotLeaveTheLogDirectory) {
    ASSERT_TRUE(WriteAlertLog("../../escape", "x", "D"));
    EXPECT_FALSE(fs::exists(dir / "escape_20040305"));
    EXPECT_TRUE(fs::is_regular_file(LogDir() + "/Alert_.._.._escape_20040305"));
    ASSERT_TRUE(WriteAlertLog("a\\b", "x", "D"));
    EXPECT_TRUE(fs::is_regular_file(LogDir() + "/Alert_a_b_20040305.log"));
}

TEST_F(AlertLog, TextIsWrittenInTheSystemCodePage) {
    const std::string zhong = "\xE4\xB8\xAD"; // 中
    ASSERT_TRUE(WriteAlertLog("u", zhong, "D"));
    EXPECT_EQ(ReadFile(LogDir() + "/Alert_u_20040305.log"),
              "[2004/03/05 09:08:07:065] " + zhong + "\r\n");
    ScopedEnv big5("NUV_ACP", "950");
    ASSERT_TRUE(WriteAlertLog("b", zhong, "D"));
    EXPECT_EQ(ReadFile(LogDir() + "/Alert_b_20040305.log"),
              "[2004/03/05 09:08:07:065] \xA4\xA4\r\n");
}
