// Finding report modules: only libraries that export GetController are listed, damaged files
// are refused without a crash, and loading names the reason it fails.
#include "ReportModule.h"
#include "HostFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <filesystem>

using namespace nuv;
using nuv::test::TempDir;

namespace {

std::string Bytes(const QString& path) {
    return nuv::test::ReadFile(path.toStdString());
}

TEST(ReportModules, OnlyLibrariesExportingGetControllerAreModules) {
    TempDir dir;
    // Damaged libraries are cut from the glyph library (small; its section table is at its end).
    const std::string glyphs = Bytes(QStringLiteral(NUV_PEMTAL_LIBRARY));
    ASSERT_GT(glyphs.size(), 4096u);
    struct Case {
        const char* name;
        std::string bytes;
        bool module;
        const char* why;
    };
    const Case cases[] = {
        {"Pemtal.so", glyphs, false, "does not export"},
        {"Manager.so", Bytes(QStringLiteral(NUVHOST_TEST_MANAGER)), false, "does not export"},
        {"notes.so", "GetController GetController", false, "not an ELF file"},
        {"empty.so", "", false, "not an ELF file"},
        {"header-only.so", glyphs.substr(0, 64), false, "section table"},
        {"cut-in-half.so", glyphs.substr(0, glyphs.size() / 2), false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString why;
        const QString path = QString::fromStdString(dir.Write(c.name, c.bytes));
        EXPECT_EQ(ExportsGetController(path, &why), c.module) << why.toStdString();
        EXPECT_NE(why.toStdString().find(c.why), std::string::npos) << why.toStdString();
    }
    // The report module itself, linked in rather than copied (it is large).
    std::filesystem::create_symlink(nuv::test::TestModule.toStdString(), dir / "TestRpt.so");
    QString why;
    EXPECT_TRUE(ExportsGetController(QString::fromStdString(dir / "TestRpt.so"), &why))
        << why.toStdString();
    dir.Write("readme.txt", "not a library");
    EXPECT_EQ(ListReportModules(QString::fromStdString(dir.path())),
              QStringList{QString::fromStdString(dir / "TestRpt.so")});
}

TEST(ReportModules, LoadingNamesWhyItFails) {
    TempDir dir;
    dir.Write("notes.so", "text");
    const QString folder = QString::fromStdString(dir.path());
    struct Case {
        QString module;
        const char* why;
    };
    const Case cases[] = {
        {QStringLiteral("Missing"), "does not exist"},
        {QStringLiteral("notes"), "is not a report module: not an ELF file"},
        {QStringLiteral(NUV_PEMTAL_LIBRARY), "does not export GetController"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.module.toStdString());
        try {
            LoadReportModule(c.module, folder);
            ADD_FAILURE() << "loaded";
        } catch (const Exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.why), std::string::npos) << e.what();
        }
    }
}

TEST(ReportModules, ANameIsFoundInTheFolderWithOrWithoutItsSuffix) {
    for (const QString& name : {QStringLiteral("TestRpt"), QStringLiteral("TestRpt.so")}) {
        const TReportModule m = LoadReportModule(name, nuv::test::TestModules);
        EXPECT_EQ(m.Path, QDir(nuv::test::TestModules).absoluteFilePath("TestRpt.so"));
        EXPECT_NE(m.GetController, nullptr);
    }
}

} // namespace
