#include "support/TarvelINI.h"

#include "platform/SystemServices.h"
#include "platform/TestFiles.h"
#include <nuv/Exception.h>

#include <gtest/gtest.h>

#include <optional>

using namespace nuv;
using nuv::test::ScopedEnv;
using nuv::test::TempDir;

namespace {

// A temporary installation: a registry file named by $NUV_REGISTRY and an installation
// directory App/ for the INI files.
class Installation : public ::testing::Test {
protected:
    TempDir dir;
    std::optional<ScopedEnv> registry;
    ScopedEnv acp{"NUV_ACP", "950"};

    std::string Base() const { return dir / "App/"; }

    // Writes the registry with the given lines in the Tarvel key (none: no key at all) and any
    // further keys.
    void Registry(const std::optional<std::string>& tarvelValues, const std::string& more = "") {
        std::string text = "REGEDIT4\n\n";
        if (tarvelValues)
            text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NUV\\Tarvel]\n" + *tarvelValues + "\n";
        registry.emplace("NUV_REGISTRY", dir.Write("registry.reg", text + more));
    }
    // The usual registry: ClientPath and ServerPath both at App/.
    void Installed(const std::string& extraValues = "", const std::string& more = "") {
        Registry("\"ClientPath\"=\"" + dir / "App" + "\"\n\"ServerPath\"=\"" + dir / "App" +
                     "\"\n" + extraValues,
                 more);
    }
    void Ini(const std::string& relative, const std::string& text) {
        dir.Write("App/" + relative, text);
    }

    static std::vector<std::pair<std::string, int>> ServersOf(const TTarvelIniC& c) {
        std::vector<std::pair<std::string, int>> out;
        if (!c.ServerList.IsArray())
            return out;
        for (int i = c.ServerList.ArrayLowBound(2); i <= c.ServerList.ArrayHighBound(2); ++i)
            out.emplace_back(c.ServerList.Element(0, i).ToString(),
                             c.ServerList.Element(1, i).ToInt());
        return out;
    }
};

} // namespace

using Servers = std::vector<std::pair<std::string, int>>;

// --- client reader -------------------------------------------------------------------------

TEST_F(Installation, MissingRegistryKeyLeavesTheResetValues) {
    Registry(std::nullopt);
    TTarvelIniC c;
    EXPECT_FALSE(c.LoadResult());
    EXPECT_EQ(c.ErrorCode, "E;000015");
    EXPECT_EQ(c.BasePath, "");
    EXPECT_EQ(c.ProfileName, "Default");
    EXPECT_EQ(c.ProfileType, "0");
    EXPECT_EQ(c.UICodePage, "950");
    EXPECT_EQ(c.SystemCodePage, "950");
    EXPECT_EQ(c.IniFileName, "");
    EXPECT_TRUE(c.ServerList.IsEmpty());
    EXPECT_TRUE(c.WorkDLLPaths.empty());
}

TEST_F(Installation, EmptyClientPathFailsWithoutErrorCode) {
    Registry("\"ClientPath\"=\"\"\n\"ServerPath\"=\"" + dir / "App" + "\"");
    TTarvelIniC c;
    EXPECT_FALSE(c.LoadResult());
    EXPECT_EQ(c.ErrorCode, "");
    EXPECT_TRUE(TTarvelIniS().LoadResult()) << "the server reads ServerPath";
}

TEST_F(Installation, BasePathEndsWithOneSeparator) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\\\App", "C:/App/"},
        {"C:\\\\App\\\\", "C:/App/"},
        {"/opt/nuv", "/opt/nuv/"},
        {"/opt/nuv/", "/opt/nuv/"},
    };
    for (const auto& [stored, base] : cases) {
        Registry("\"ClientPath\"=\"" + stored + "\"");
        TTarvelIniC c;
        EXPECT_TRUE(c.LoadResult()) << stored;
        EXPECT_EQ(c.BasePath, base) << stored;
        EXPECT_EQ(c.IniFileName, base + "TarvelC.ini") << stored;
    }
}

TEST_F(Installation, MissingIniFileGivesTheDefaults) {
    Installed();
    TTarvelIniC c;
    EXPECT_TRUE(c.LoadResult());
    EXPECT_EQ(c.ErrorCode, "");
    EXPECT_EQ(c.BasePath, Base());
    EXPECT_EQ(c.ProfilePath, Base());
    EXPECT_EQ(c.IniFileName, Base() + "TarvelC.ini");
    EXPECT_EQ(c.LangType, "ENG");
    EXPECT_EQ(c.Version, "");
    EXPECT_EQ(c.UICodePage, "950");
    EXPECT_EQ(c.DBCodePage, "950");
    EXPECT_EQ(c.UIConvertMode, 0);
    EXPECT_EQ(c.DBConvertMode, 0);
    EXPECT_FALSE(c.SupportCallBack);
    EXPECT_EQ(ServersOf(c), (Servers{{"127.0.0.1", 211}}));
    EXPECT_EQ(c.WorkDLLPaths, std::vector<std::string>{Base() + "C_PKG/"});
    EXPECT_EQ(c.PDMCompany, "SmartTerm");
    EXPECT_EQ(c.PDMInstallPath, "");
    EXPECT_EQ(c.PDMDataPath, "");
}

TEST_F(Installation, ReadsTheClientFile) {
    Installed();
    Ini("TarvelC.ini", "[Client Components]\nLangType=CHT\n"
                       "[ProductVersion]\nVersion=7.1\n"
                       "[CodePage]\nUICodePage=936\nDBCodePage=950\n"
                       "[Server Information]\nSupportCallBack=yes\nComputerName=srv\n"
                       "ServerPort=300\n");
    TTarvelIniC c;
    ASSERT_TRUE(c.LoadResult());
    EXPECT_EQ(c.LangType, "CHT");
    EXPECT_EQ(c.Version, "7.1");
    EXPECT_EQ(c.UIConvertMode, 1);
    EXPECT_EQ(c.DBConvertMode, 1);
    EXPECT_TRUE(c.SupportCallBack);
    EXPECT_EQ(ServersOf(c), (Servers{{"srv", 300}}));
}

TEST_F(Installation, PerUserProfile) {
    Installed("\"ProfileType\"=\"1\"");
    SetUserNameOverride("amy");
    Ini("Profile/amy/TarvelC.ini", "[Client Components]\nLangType=AMY\n");
    Ini("TarvelC.ini", "[Client Components]\nLangType=SHARED\n");
    {
        TTarvelIniC c;
        EXPECT_EQ(c.LangType, "AMY");
        EXPECT_EQ(c.ProfilePath, Base() + "Profile/amy/");
        EXPECT_EQ(c.IniFileName, Base() + "Profile/amy/TarvelC.ini");
        EXPECT_EQ(c.ProfileName, "amy");
    }
    SetUserNameOverride("bo"); // no profile file of bo's
    {
        TTarvelIniC c;
        EXPECT_EQ(c.LangType, "SHARED");
        EXPECT_EQ(c.ProfilePath, Base());
        EXPECT_EQ(c.ProfileName, "bo");
    }
    SetUserNameOverride("");
}

TEST_F(Installation, LongUserNamesKeepTheirProfile) {
    // A login name longer than 31 characters is not cut off: it keeps its own profile file
    // instead of silently falling back to the shared one.
    const std::string user(40, 'u');
    Installed("\"ProfileType\"=dword:00000001");
    SetUserNameOverride(user);
    Ini("Profile/" + user + "/TarvelC.ini", "[Client Components]\nLangType=LONG\n");
    TTarvelIniC c;
    SetUserNameOverride("");
    EXPECT_EQ(c.ProfileName, user);
    EXPECT_EQ(c.LangType, "LONG");
}

TEST_F(Installation, ServerListFromComputerName) {
    struct Case {
        const char* line;
        Servers servers;
    } cases[] = {
        {"ComputerName= 10.0.0.1;10.0.0.2; ", {{"10.0.0.1", 300}, {"10.0.0.2", 300}}},
        {"ComputerName=a;;b", {{"a", 300}, {"", 300}, {"b", 300}}},
        {"ComputerName=a;;", {{"a", 300}, {"", 300}}}, // only one trailing ';' is dropped
        {"ComputerName=a; b", {{"a", 300}, {" b", 300}}},
    };
    Installed();
    for (const auto& c : cases) {
        Ini("TarvelC.ini", std::string("[Server Information]\nServerPort=300\n") + c.line);
        TTarvelIniC ini;
        EXPECT_TRUE(ini.LoadResult()) << c.line;
        EXPECT_EQ(ServersOf(ini), c.servers) << c.line;
        EXPECT_EQ(ini.ServerList.ArrayLowBound(1), 0);
        EXPECT_EQ(ini.ServerList.ArrayHighBound(1), 1);
    }
}

TEST_F(Installation, NoServerNamedKeepsWhatWasReadBefore) {
    Installed("", "[HKEY_LOCAL_MACHINE\\Software\\smarteam\\HomeDir]\n@=\"D:\\\\PDM\"\n");
    for (const char* names : {"", " ; "}) {
        Ini("TarvelC.ini", std::string("[CodePage]\nUICodePage=936\n[Server Information]\n"
                                       "ComputerName=") +
                               names);
        TTarvelIniC c;
        EXPECT_FALSE(c.LoadResult()) << "'" << names << "'";
        EXPECT_EQ(c.ErrorCode, "E;000016");
        EXPECT_EQ(c.UICodePage, "936");
        EXPECT_EQ(c.UIConvertMode, 1);
        EXPECT_EQ(c.PDMInstallPath, "D:/PDM");
        EXPECT_TRUE(c.ServerList.IsEmpty());
    }
}

TEST_F(Installation, SupportCallBackTruthValues) {
    const std::pair<const char*, bool> cases[] = {
        {"yes", true}, {"1", true},   {"Y", true}, {"True", true}, {"on", false},
        {"0", false},  {"no", false}, {"", false}, {"2", false},
    };
    Installed();
    for (const auto& [value, expected] : cases) {
        Ini("TarvelC.ini", std::string("[Server Information]\nSupportCallBack=") + value);
        EXPECT_EQ(TTarvelIniC().SupportCallBack, expected) << value;
        Ini("TarvelS.ini", std::string("[DBPasswordCtrl]\nSupportCallBack=") + value);
        EXPECT_EQ(TTarvelIniS().SupportCallBack, expected) << value;
    }
}

TEST_F(Installation, WorkPathsResolveAgainstTheBasePath) {
    Registry("\"ClientPath\"=\"C:\\\\App\"");
    // No INI at C:/App: the defaults hold.
    EXPECT_EQ(TTarvelIniC().WorkDLLPaths, std::vector<std::string>{"C:/App/C_PKG/"});

    Installed();
    Ini("TarvelC.ini",
        "[WorkDLLPath]\nA=D:\\Pkg\nB=\\Sub\nC=Rel\\\nD=/opt/pkg\nE=\\\\srv\\share\n");
    EXPECT_EQ(TTarvelIniC().WorkDLLPaths,
              (std::vector<std::string>{"D:/Pkg/", Base() + "Sub/", Base() + "Rel/", "/opt/pkg/",
                                        "//srv/share/"}));
}

TEST(TarvelINI, ResolveWorkPath) {
    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"D:\\Pkg\\", "D:/Pkg/"},
        {"d:rel", "d:rel"},
        {"\\\\srv\\pkg", "//srv/pkg"},
        {"/opt/pkg/", "/opt/pkg/"},
        {"\\Sub\\", "C:/App/Sub/"},
        {"Sub\\", "C:/App/Sub/"},
        {"", "C:/App/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveWorkPath(c.path, "C:\\App\\"), c.expected) << c.path;
}

TEST(TarvelINI, ConversionModes) {
    struct Case {
        const char *ui, *db, *sys;
        int uiMode, dbMode;
    } cases[] = {
        {"950", "950", "950", 0, 0},  {"950", "950", "936", 3, 0}, {"950", "936", "950", 0, 2},
        {"936", "950", "950", 1, 1},  {"936", "936", "936", 1, 0}, {"1252", "950", "1252", 1, 0},
        {"950 ", "936", "950", 1, 0}, // compared as exact texts
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UIConvertModeOf(c.ui, c.sys), c.uiMode) << c.ui << "/" << c.sys;
        EXPECT_EQ(DBConvertModeOf(c.ui, c.db), c.dbMode) << c.ui << "/" << c.db;
    }
}

TEST_F(Installation, SystemCodePageComesFromTheSystem) {
    Installed();
    ScopedEnv gbk("NUV_ACP", "936");
    TTarvelIniC c;
    EXPECT_EQ(c.SystemCodePage, "936");
    EXPECT_EQ(c.UIConvertMode, 3);
}

TEST_F(Installation, PdmSettingsFallBackToTheRegistry) {
    const std::string powerTech = "[HKEY_LOCAL_MACHINE\\Software\\PowerTech]\n"
                                  "\"EXE\"=\"E:\\\\PT\"\n\"ERPINTERFLOW\"=\"E:\\\\Flow\"\n";
    const std::string smarteam = "[HKEY_LOCAL_MACHINE\\Software\\smarteam\\HomeDir]\n"
                                 "@=\"S:\\\\Team\"\n";
    const std::string smarteam2 =
        "[HKEY_LOCAL_MACHINE\\Software\\smarteam solutions\\smarteam\\HomeDir]\n@=\"S:\\\\Two\"\n";
    struct Case {
        const char* label;
        std::string registry;
        std::string ini;
        const char* install;
        const char* data;
    } cases[] = {
        {"powertech", powerTech, "PDMCOMPANY=PowerTech", "E:/PT", "E:/Flow"},
        {"powertech keeps its data path", powerTech, "PDMCOMPANY=POWERTECH\nPDMDataPath=X:\\D",
         "E:/PT", "X:/D"},
        {"powertech without key", "", "PDMCOMPANY=powertech\nPDMDataPath=X:\\D", "", "X:/D"},
        {"smarteam", smarteam + smarteam2, "", "S:/Team", "S:/Team"},
        {"smarteam second place", smarteam2, "", "S:/Two", "S:/Two"},
        {"smarteam overwrites the data path", smarteam, "PDMDataPath=X:\\D", "S:/Team", "S:/Team"},
        {"smarteam without key", "", "PDMDataPath=X:\\D", "", ""},
        {"configured install path", powerTech,
         "PDMCOMPANY=PowerTech\nPDMInstallPath=I:\\\nPDMDataPath=X:\\D", "I:/", "X:/D"},
    };
    for (const auto& c : cases) {
        Installed("", c.registry);
        Ini("TarvelC.ini", "[Client Components]\n" + c.ini);
        TTarvelIniC ini;
        EXPECT_EQ(ini.PDMInstallPath, c.install) << c.label;
        EXPECT_EQ(ini.PDMDataPath, c.data) << c.label;
    }
}

TEST_F(Installation, MalformedRegistryFileRaisesFromTheConstructor) {
    registry.emplace("NUV_REGISTRY", dir.Write("registry.reg", "REGEDIT4\n[HKEY_LOCAL_MACHINE\n"));
    try {
        TTarvelIniC c;
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("registry.reg, line 2"), std::string::npos)
            << e.what();
    }
}

// --- server reader -------------------------------------------------------------------------

TEST_F(Installation, ServerDefaults) {
    Installed();
    TTarvelIniS s;
    ASSERT_TRUE(s.LoadResult());
    EXPECT_EQ(s.IniFileName, Base() + "TarvelS.ini");
    const Variant& d = s.DBSettings;
    ASSERT_EQ(d.ArrayHighBound(1), 4);
    ASSERT_EQ(d.ArrayHighBound(2), 6);
    struct Cell {
        int row, col;
        Variant value;
    } cells[] = {
        {0, 0, "Prowen"},
        {0, 1, "sa"},
        {0, 2, "NU_Say_Never_Has_Password"},
        {0, 3, "MSSQL"},
        {0, 4, ""},
        {0, 5, ""},
        {0, 6, 1},
        {1, 0, "ProwenTemp"},
        {1, 1, "sa"},
        {1, 2, ""},
        {1, 3, "PARADOX"},
        {1, 4, ""},
        {2, 0, ""},
        {2, 1, 211},
        {2, 2, 1024},
        {2, 3, "Chinese_Taiwan_Stroke_BIN"},
        {3, 0, "EDIDATA"},
        {3, 1, "sa"},
        {3, 2, ""},
        {4, 0, "S_DATA/NS"},
        {1, 5, Variant()},
        {4, 6, Variant()}, // unlisted cells stay unassigned
    };
    for (const auto& c : cells)
        EXPECT_TRUE(d.Element(c.row, c.col).SameAs(c.value))
            << "[" << c.row << "," << c.col << "] = " << d.Element(c.row, c.col).ToString();
    EXPECT_EQ(s.MainDBKind, 0);
    EXPECT_EQ(s.TempDBKind, "");
    EXPECT_EQ(s.WorkDLLPaths, std::vector<std::string>{Base() + "S_PKG/"});
    EXPECT_EQ(s.ErrorCode, "") << "the server has no server-list check";
}

TEST_F(Installation, ServerFileAndConnectionStrings) {
    Installed();
    Ini("TarvelS.ini", "[DBE Setting]\nMainUserName=erp\nXXXXXX=" + EncodeStoredPassword("s3cret") +
                           "\nMainDBType=oracle\nMainDBName=PROD\nMainServerName=db1\n"
                           "TempAlias=tmpdb\nTempDBName=TMP\nTempDBKind=1\n"
                           "[DBPasswordCtrl]\nComputerName=  app1  \nServerPort=300\n"
                           "[CodePage]\nDBCodePage=936\n");
    TTarvelIniS s;
    ASSERT_TRUE(s.LoadResult());
    EXPECT_EQ(s.DBSettings.Element(0, 2).ToString(), "s3cret");
    EXPECT_EQ(s.DBSettings.Element(2, 0).ToString(), "app1");
    EXPECT_EQ(s.DBSettings.Element(2, 1).ToInt(), 300);
    EXPECT_EQ(s.MainDBKind, 1);
    EXPECT_EQ(s.TempDBKind, "1");
    EXPECT_EQ(s.DBConvertMode, 2);
    EXPECT_EQ(s.MainConnectionString,
              "Provider=SQLOLEDB.1;Persist Security Info=True;Data Source=db1;User ID=erp;"
              "Password=s3cret;Initial Catalog=PROD;Application Name=NUVServer;"
              "Auto Translate=False");
    EXPECT_EQ(s.TempConnectionString,
              "Provider=SQLOLEDB.1;Persist Security Info=True;Data Source=tmpdb;User ID=erp;"
              "Password=s3cret;Initial Catalog=TMP;Application Name=NUVServer;"
              "Auto Translate=False");
}

TEST_F(Installation, MainDBKind) {
    const std::pair<const char*, int> cases[] = {
        {"ORACLE", 1}, {"Oracle", 1}, {"db2", 2}, {"MSSQL", 0}, {"ORACLE9", 0}};
    Installed();
    for (const auto& [type, kind] : cases) {
        Ini("TarvelS.ini", std::string("[DBE Setting]\nMainDBType=") + type);
        EXPECT_EQ(TTarvelIniS().MainDBKind, kind) << type;
    }
}

TEST_F(Installation, ConnectionValuesThatWouldBreakTheStringAreQuoted) {
    // A ';' in a password would otherwise end the value and let the rest be read as keywords
    // of its own (here a different data source).
    Installed();
    Ini("TarvelS.ini",
        "[DBE Setting]\nMainServerName=db1\nXXXXXX=" + EncodeStoredPassword("x;Data Source=evil") +
            "\nMainDBName=say \"hi\"\n");
    TTarvelIniS s;
    EXPECT_NE(s.MainConnectionString.find(";Password=\"x;Data Source=evil\";"), std::string::npos)
        << s.MainConnectionString;
    EXPECT_NE(s.MainConnectionString.find(";Initial Catalog=say \"hi\";"), std::string::npos)
        << "inner quotes alone need no quoting: " << s.MainConnectionString;
}

TEST_F(Installation, EmptyServerPathFails) {
    Registry("\"ClientPath\"=\"" + dir / "App" + "\"");
    TTarvelIniS s;
    EXPECT_FALSE(s.LoadResult());
    EXPECT_EQ(s.ErrorCode, "");
    EXPECT_TRUE(s.DBSettings.IsEmpty());
}

// --- stored passwords ----------------------------------------------------------------------

TEST(TarvelINI, StoredPasswordSentinels) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "NU_Say_Never_Has_Password"}, {"A", "NU_Say_Never_Has_Password"},
        {"ZZ", "NU_Say_Password_Error"},   {"1G", "NU_Say_Password_Error"},
        {"ABC", "NU_Say_Password_Error"}, // half a pair at the end
        {EncodeStoredPassword(""), ""},
    };
    for (const auto& [stored, clear] : cases)
        EXPECT_EQ(DecodeStoredPassword(stored), clear) << stored;
}

TEST(TarvelINI, StoredPasswordRoundTrip) {
    for (const std::string clear : {"a", "s3cret", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                                    "\xE5\xAF\x86\xE7\xA2\xBC", "with space; and \"quotes\""}) {
        const std::string stored = EncodeStoredPassword(clear);
        EXPECT_EQ(stored.size(), clear.size() * 2);
        EXPECT_EQ(stored.find_first_not_of("0123456789ABCDEF"), std::string::npos);
        EXPECT_EQ(DecodeStoredPassword(stored), clear);
        EXPECT_EQ(stored.find(clear), std::string::npos) << "not stored in the clear";
    }
    // Lower-case digits are read as well.
    std::string lower = EncodeStoredPassword("pw");
    for (char& ch : lower)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_EQ(DecodeStoredPassword(lower), "pw");
    // Equal characters do not give equal pairs.
    const std::string aaaa = EncodeStoredPassword("aaaa");
    EXPECT_NE(aaaa.substr(0, 2), aaaa.substr(2, 2));
}

TEST(TarvelINI, StoredPasswordSchemeIsStable) {
    // Files written by the configuration tool must keep decoding: pin one stored value.
    EXPECT_EQ(EncodeStoredPassword("sa"), "8182");
    EXPECT_EQ(DecodeStoredPassword("8182"), "sa");
    // Longer than the key, so the key wraps around.
    EXPECT_EQ(DecodeStoredPassword("797E9EA3F750599EDA086FB6CCF7153C55CC3089"),
              "Kelt58-password-1234");
}
