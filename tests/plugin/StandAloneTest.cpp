// Kelt58CE, the report dialog as a program of its own, started as a developer starts it: in
// the demo installation (tools/install-demo, the reference Manager over the demo database)
// on the offscreen platform, with no host. It finds its Manager, initialises itself with the
// test identity, shows the stand-alone notice in its caption and is grabbed to a picture.
#include "platform/TestFiles.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

using namespace nuv::test;

namespace {

// Runs the command line; its exit status and what it wrote to both outputs.
int RunCommand(const std::string& command, std::string& output) {
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (p == nullptr)
        return -1;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p))
        output += buf;
    const int st = ::pclose(p);
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

TEST(StandAlone, StartsWithoutAHostAndShowsItsNotice) {
    TempDir dir;
    std::string log;
    ASSERT_EQ(RunCommand("bash '" NUV_INSTALL_DEMO "' --modules '" NUV_MODULE_DIR "' '" +
                             dir / "demo" + "'",
                         log),
              0)
        << log;
    ScopedEnv registry("NUV_REGISTRY", dir / "demo/registry.reg");
    ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");

    const std::string picture = std::string(NUV_TEST_OUTPUT_DIR) + "/kelt58ce-standalone.png";
    std::string output;
    ASSERT_EQ(RunCommand("'" NUV_KELT58CE "' --screenshot '" + picture + "'", output), 0) << output;
    // The caption: the program's name from the demo database, the stand-alone notice, and the
    // company's caption tag.
    EXPECT_NE(output.find("客戶別品號出貨排程表[您現在執行的是Exe版本!]["), std::string::npos)
        << output;
    const QImage image(QString::fromStdString(picture));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 400);

    std::string usage;
    EXPECT_EQ(RunCommand("'" NUV_KELT58CE "' --bogus", usage), 2);
}

// Without an installation there is no server to configure: the dialog reports it and closes
// itself instead of waiting for a person.
TEST(StandAlone, WithoutAnInstallationTheDialogSaysWhyAndCloses) {
    TempDir dir;
    ScopedEnv registry("NUV_REGISTRY", dir / "none.reg");
    ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");
    std::string output;
    EXPECT_EQ(RunCommand("'" NUV_KELT58CE "' --screenshot '" + dir / "x.png" + "'", output), 1)
        << output;
    EXPECT_NE(output.find("000006"), std::string::npos) << output;
    EXPECT_NE(output.find("closed itself"), std::string::npos) << output;
}

} // namespace
