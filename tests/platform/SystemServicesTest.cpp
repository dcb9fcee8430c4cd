#include "platform/SystemServices.h"

#include "platform/TestFiles.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

using namespace nuv;
using nuv::test::ScopedEnv;

TEST(SystemServices, CodePageOfTheLocaleCharset) {
    const std::pair<const char*, int> cases[] = {
        {"BIG5", 950},
        {"big5-hkscs", 950},
        {"GBK", 936},
        {"GB2312", 936},
        {"GB18030", 936},
        {"UTF-8", 65001},
        {"utf8", 65001},
        {"ISO-8859-1", 1252},
        // The C locale's ASCII is handled as UTF-8 bytes, never narrowed.
        {"ANSI_X3.4-1968", 65001},
        {"KOI8-R", 65001},
    };
    for (const auto& [charset, cp] : cases)
        EXPECT_EQ(CodePageOfCharset(charset), cp) << charset;
}

TEST(SystemServices, GetACPFollowsTheLocaleUnlessNuvAcpOverrides) {
    {
        ScopedEnv acp("NUV_ACP", std::nullopt);
        ScopedEnv all("LC_ALL", "C.UTF-8");
        EXPECT_EQ(GetACP(), 65001);
    }
    {
        ScopedEnv acp("NUV_ACP", "936");
        EXPECT_EQ(GetACP(), 936);
    }
    {
        ScopedEnv all("LC_ALL", "C.UTF-8");
        ScopedEnv acp("NUV_ACP", "not a number");
        EXPECT_EQ(GetACP(), 65001) << "an unusable override is ignored";
    }
    {
        ScopedEnv acp("NUV_ACP", std::nullopt);
        ScopedEnv all("LC_ALL", "xx_NOWHERE.BIG5");
        EXPECT_EQ(GetACP(), 65001) << "a locale that is not installed reads as the C locale";
    }
}

TEST(SystemServices, UserNameIsTheEffectiveUsersLogin) {
    passwd* pw = getpwuid(geteuid());
    ASSERT_NE(pw, nullptr);
    EXPECT_EQ(GetUserName(), pw->pw_name);
    SetUserNameOverride("amy");
    EXPECT_EQ(GetUserName(), "amy");
    SetUserNameOverride("");
    EXPECT_EQ(GetUserName(), pw->pw_name);
}

TEST(SystemServices, ModuleFileNameIsTheFileHoldingTheCode) {
    // Linked statically into this test program, the module is the program itself.
    EXPECT_EQ(GetModuleFileName(), GetExecutablePath());
    EXPECT_NE(GetExecutablePath().find("platform_core_tests"), std::string::npos);
    SetModuleFileNameOverride("/opt/nuv/Kelt58C.so");
    EXPECT_EQ(GetModuleFileName(), "/opt/nuv/Kelt58C.so");
    SetModuleFileNameOverride("");
    EXPECT_EQ(GetModuleFileName(), GetExecutablePath());
}

TEST(SystemServices, DateSeparatorOfTheLocale) {
    ScopedEnv all("LC_ALL", "C.UTF-8");
    EXPECT_EQ(DateSeparator(), '/'); // "%m/%d/%y"
}
