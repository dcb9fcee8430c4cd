// nuvhost run as its own process: the unattended run's exit codes and output, the screenshot,
// and the faults of the command line.
#include "HostFixture.h"
#include "HostOptions.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

using namespace nuv;
using nuv::test::TempDir;

namespace {

struct TRun {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

class CommandLineTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string registry = nuv::test::WriteRegistry(dir, NUVHOST_TEST_MANAGER);

    std::string Values(const std::string& json) { return dir.Write("values.json", json); }

    // Runs nuvhost with the test modules' folder and the identity, plus the arguments.
    TRun Run(QStringList args, bool identity = true) {
        QStringList all{QStringLiteral("--modules"), nuv::test::TestModules};
        if (identity)
            all << QStringLiteral("--user") << QStringLiteral("NU") << QStringLiteral("--company")
                << QStringLiteral("SDTest") << QStringLiteral("-d") << QStringLiteral("DS01");
        all << args;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("NUV_REGISTRY"), QString::fromStdString(registry));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(NUVHOST_PROGRAM), all);
        EXPECT_TRUE(p.waitForFinished(120000)) << "nuvhost did not end";
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << p.readAllStandardError().toStdString();
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
};

TEST_F(CommandLineTest, AnUnattendedRunExitsWithWhetherTheRequestWasAccepted) {
    const QString item = R"({"runMode": %1, "values": [{"name": "ed01", "value": "%2"}]})";
    struct Case {
        const char* label;
        QString json;
        int exitCode;
        QString out;
        const char* err;
    };
    const Case cases[] = {
        {"accepted", item.arg(2).arg("A001"), ExitAccepted,
         QStringLiteral("ResultCode=1\nResultValue=工作 17 已排入佇列：A001（版本類型 3）\n"), ""},
        {"refused by the server", item.arg(2).arg(""), ExitNotAccepted,
         QStringLiteral("ResultCode=0\nResultValue=\n"), ""},
        {"a control the dialog lacks", R"({"values": {"ed99": "A001"}})", ExitValuesRefused,
         QStringLiteral("ResultCode=0\nResultValue=\n"), "showed itself"},
        {"values the dialog cannot take", R"({"values": {"ed01": [1, 2]}})", ExitValuesRefused,
         QString(), "did not take the values"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Values(c.json.toStdString());
        const TRun r = Run({"--module", "TestRpt", "--values",
                            QString::fromStdString(dir / "values.json"), "--run"});
        EXPECT_EQ(r.ExitCode, c.exitCode) << r.Err.toStdString();
        EXPECT_EQ(r.Out, c.out);
        EXPECT_TRUE(r.Err.contains(QLatin1String(c.err))) << r.Err.toStdString();
    }
}

TEST_F(CommandLineTest, FaultsBeforeTheRunHaveTheirOwnExitCodes) {
    const QString good = QString::fromStdString(Values(R"({"values": {"ed01": "A001"}})"));
    const QString bad = QString::fromStdString(dir.Write("bad.json", R"({"values": [)"));
    struct Case {
        const char* label;
        QStringList args;
        bool identity;
        int exitCode;
        const char* err;
    };
    const Case cases[] = {
        {"unknown option", {"--colour"}, true, ExitUsage, "Unknown option"},
        {"run without values", {"-m", "TestRpt", "--run"}, true, ExitUsage, "--values"},
        {"run without module", {"--values", good, "--run"}, true, ExitUsage, "--module"},
        {"bad run mode",
         {"-m", "TestRpt", "--values", good, "--run-mode", "x", "--run"},
         true,
         ExitUsage,
         "--run-mode"},
        {"modal and modeless", {"--modal", "--modeless"}, true, ExitUsage, "exclude"},
        {"registry file missing",
         {"--registry", "/nonexistent.reg"},
         true,
         ExitUsage,
         "/nonexistent.reg does not exist"},
        {"values file missing",
         {"-m", "TestRpt", "--values", "/nonexistent.json", "--run"},
         true,
         ExitUsage,
         "/nonexistent.json"},
        {"values file broken",
         {"-m", "TestRpt", "--values", bad, "--run"},
         true,
         ExitUsage,
         "is not valid"},
        {"no such module",
         {"-m", "Kelt99C", "--values", good, "--run"},
         true,
         ExitNoModule,
         "does not exist"},
        {"not a report module",
         {"-m", NUVHOST_TEST_MANAGER, "--values", good, "--run"},
         true,
         ExitNoModule,
         "does not export GetController"},
        {"no company",
         {"-m", "TestRpt", "--values", good, "--run"},
         false,
         ExitNoDialog,
         "could not be initialised"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const TRun r = Run(c.args, c.identity);
        EXPECT_EQ(r.ExitCode, c.exitCode) << r.Err.toStdString();
        EXPECT_TRUE(r.Err.contains(QLatin1String(c.err))) << r.Err.toStdString();
        EXPECT_TRUE(r.Out.isEmpty()) << r.Out.toStdString();
    }
}

TEST_F(CommandLineTest, WithoutAManagerTheRunSaysSoAndGoesOn) {
    TempDir other;
    registry = nuv::test::WriteRegistry(dir, "");
    Values(R"({"values": {"ed01": "A001"}})");
    const TRun r =
        Run({"-m", "TestRpt", "--values", QString::fromStdString(dir / "values.json"), "--run"});
    EXPECT_EQ(r.ExitCode, ExitAccepted);
    EXPECT_TRUE(r.Err.contains(QStringLiteral("\"ProwenWorkCenter.Manager\" cannot be created")))
        << r.Err.toStdString();
    EXPECT_TRUE(r.Out.contains(QStringLiteral("（無管理員）"))) << r.Out.toStdString();

    // The registry file on the command line serves the whole process.
    const TRun given =
        Run({"-m", "TestRpt", "--values", QString::fromStdString(dir / "values.json"), "--run",
             "--registry",
             QString::fromStdString(nuv::test::WriteRegistry(other, NUVHOST_TEST_MANAGER))});
    EXPECT_EQ(given.ExitCode, ExitAccepted);
    EXPECT_FALSE(given.Err.contains(QStringLiteral("Manager"))) << given.Err.toStdString();
    EXPECT_TRUE(given.Out.contains(QStringLiteral("（版本類型 3）"))) << given.Out.toStdString();
}

TEST_F(CommandLineTest, TheScreenshotIsTheFilledInDialog) {
    const std::string png = dir / "dialog.png";
    Values(R"({"values": [{"name": "ed01", "value": "A001"}, {"name": "ed02", "value": "月報"}]})");
    const TRun r = Run({"-m", "TestRpt", "--values", QString::fromStdString(dir / "values.json"),
                        "--screenshot", QString::fromStdString(png)});
    ASSERT_EQ(r.ExitCode, ExitAccepted) << r.Err.toStdString();
    const QImage picture(QString::fromStdString(png));
    ASSERT_FALSE(picture.isNull());
    EXPECT_GE(picture.width(), 300);
    EXPECT_GE(picture.height(), 120);
    picture.save(QStringLiteral(NUV_TEST_OUTPUT_DIR "/nuvhost-screenshot.png"));

    const TRun hidden =
        Run({"-m", "TestRpt", "--values", QString::fromStdString(dir / "values.json"), "--run-mode",
             "2", "--screenshot", QString::fromStdString(png)});
    EXPECT_EQ(hidden.ExitCode, ExitUsage) << "a dialog that runs by itself shows nothing";
    const TRun unwritable = Run({"-m", "TestRpt", "--screenshot", "/dev/null/dialog.png"});
    EXPECT_EQ(unwritable.ExitCode, ExitNoScreenshot)
        << unwritable.Err.toStdString() << unwritable.Out.toStdString();
}

} // namespace
