// The work-center window driven as a person does: it lists the test module, opens its dialog
// through the controller (modeless and modal), shows the notifications and the result, opens
// the dialog again and frees the controller.
#include "WorkCenterWindow.h"
#include "HostFixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace nuv;
using nuv::test::ScopedEnv;
using nuv::test::TempDir;

namespace {

class WorkCenterWindowTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedEnv registry{"NUV_REGISTRY", nuv::test::WriteRegistry(dir, NUVHOST_TEST_MANAGER)};
    THostOptions options = [] {
        THostOptions o;
        o.ModulesFolder = nuv::test::TestModules;
        o.Identity = {QStringLiteral("NU"), QStringLiteral("SDTest"), QStringLiteral("DS01")};
        return o;
    }();

    template <class T> static T* Child(QWidget& window, const char* name) {
        T* w = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static QStringList Log(QWidget& window) {
        QStringList lines;
        auto* list = Child<QListWidget>(window, "notifications");
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text().mid(14); // without the time
        return lines;
    }
    // The notification codes in the log, in order.
    static std::vector<int> Codes(QWidget& window) {
        std::vector<int> codes;
        for (const QString& line : Log(window)) {
            bool ok = false;
            const int code = line.left(3).toInt(&ok);
            if (ok)
                codes.push_back(code);
        }
        return codes;
    }
    // Types the item into the dialog's first field and presses its OK button.
    static void FillAndConfirm(QWidget* dialog, const QString& item) {
        ASSERT_NE(dialog, nullptr);
        QList<QLineEdit*> edits = dialog->findChildren<QLineEdit*>();
        ASSERT_FALSE(edits.isEmpty());
        std::sort(edits.begin(), edits.end(), [](QLineEdit* a, QLineEdit* b) {
            return a->mapTo(a->window(), QPoint()).y() < b->mapTo(b->window(), QPoint()).y();
        });
        QTest::keyClicks(edits.front(), item);
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("確定")) {
                QTest::mouseClick(b, Qt::LeftButton);
                return;
            }
        FAIL() << "no OK button";
    }
    static void Save(QWidget* w, const char* name) {
        QApplication::processEvents();
        EXPECT_TRUE(w->grab().save(QStringLiteral(NUV_TEST_OUTPUT_DIR "/%1").arg(name)));
    }
};

TEST_F(WorkCenterWindowTest, OpensTheModuleShowsItsNotificationsAndResultAndOpensItAgain) {
    TWorkCenterWindow window(options, ConnectManager());
    window.show();
    auto* modules = Child<QListWidget>(window, "modules");
    ASSERT_EQ(modules->count(), 1) << "the manager library beside it is no report module";
    EXPECT_EQ(modules->item(0)->text(), QStringLiteral("TestRpt"));
    EXPECT_TRUE(Child<QLabel>(window, "managerState")->text().contains(QStringLiteral("已連線")));
    auto* open = Child<QPushButton>(window, "open");

    QTest::mouseClick(open, Qt::LeftButton);
    SettleEvents();
    ASSERT_NE(window.Session(), nullptr);
    EXPECT_EQ(Codes(window), (std::vector<int>{256, 272}));
    EXPECT_EQ(Child<QLabel>(window, "program")->text(),
              QStringLiteral("TESTRPT 測試報表（版本 870401-0.00.00）"));
    QWidget* dialog = window.Session()->DialogWindow();
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(dialog, &window);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("測試報表"));
    Save(dialog, "nuvhost-testdialog.png");

    FillAndConfirm(dialog, QStringLiteral("A001"));
    SettleEvents();
    EXPECT_EQ(Codes(window), (std::vector<int>{256, 272, 288, 304}));
    EXPECT_TRUE(window.Session()->HasController()) << "the host keeps the controller";
    EXPECT_FALSE(window.Session()->HasDialog());
    EXPECT_EQ(Child<QLabel>(window, "resultCode")->text(), QStringLiteral("1"));
    EXPECT_EQ(Child<QLabel>(window, "resultValue")->text(),
              QStringLiteral("工作 17 已排入佇列：A001（版本類型 3）"))
        << "the manager reached the dialog";
    EXPECT_EQ(open->text(), QStringLiteral("再次開啟對話框"));
    QTest::mouseClick(Child<QPushButton>(window, "notifyExtra"), Qt::LeftButton);
    EXPECT_EQ(Codes(window), (std::vector<int>{256, 272, 288, 304, 320}));
    Save(&window, "nuvhost-window.png");

    // Again, on the same controller: a new dialog.
    QTest::mouseClick(open, Qt::LeftButton);
    SettleEvents();
    EXPECT_EQ(Codes(window), (std::vector<int>{256, 272, 288, 304, 320, 256, 272}));
    ASSERT_NE(window.Session()->DialogWindow(), nullptr);
    EXPECT_EQ(open->text(), QStringLiteral("顯示對話框"));

    // Freeing the controller frees the open dialog first; it reports 304 with no request.
    QTest::mouseClick(Child<QPushButton>(window, "freeController"), Qt::LeftButton);
    SettleEvents();
    EXPECT_EQ(window.Session(), nullptr);
    EXPECT_EQ(Codes(window), (std::vector<int>{256, 272, 288, 304, 320, 256, 272, 288, 304}));
    EXPECT_EQ(Log(window).back(), QStringLiteral("控制器已釋放"));
    EXPECT_EQ(Child<QLabel>(window, "resultCode")->text(), QStringLiteral("0"));
    EXPECT_EQ(Child<QLabel>(window, "resultValue")->text(), QStringLiteral("（未指定）"));
    EXPECT_FALSE(Child<QPushButton>(window, "freeController")->isEnabled());
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_TRUE(w == &window || !w->isVisible()) << "a window outlived its dialog";
}

TEST_F(WorkCenterWindowTest, AModalDialogIsTheActiveModalWindowUntilItCloses) {
    TWorkCenterWindow window(options, ConnectManager());
    window.show();
    Child<QCheckBox>(window, "modal")->setChecked(true);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        seen = modal != nullptr && modal != &window;
        if (seen)
            FillAndConfirm(modal, QStringLiteral("B002"));
    });
    QTest::mouseClick(Child<QPushButton>(window, "open"), Qt::LeftButton);
    SettleEvents();
    EXPECT_TRUE(seen);
    EXPECT_EQ(Codes(window), (std::vector<int>{256, 272, 288, 304}));
    EXPECT_TRUE(Log(window).filter(QStringLiteral("ShowDialogModal")).size() == 1);
    EXPECT_EQ(Child<QLabel>(window, "resultCode")->text(), QStringLiteral("1"));
    EXPECT_TRUE(Child<QLabel>(window, "resultValue")->text().contains(QStringLiteral("B002")));
}

TEST_F(WorkCenterWindowTest, AValuesFileFillsTheDialogInOrRunsIt) {
    struct Case {
        int runMode;
        std::vector<int> codes;
        QString resultCode;
    };
    const Case cases[] = {
        {0, {256, 272}, QStringLiteral("—")},
        {2, {256, 304}, QStringLiteral("1")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.runMode);
        options.ValuesFile = QString::fromStdString(dir.Write(
            "values.json", QStringLiteral(R"({"runMode": %1, "values": {"ed01": "C003"}})")
                               .arg(c.runMode)
                               .toStdString()));
        TWorkCenterWindow window(options, ConnectManager());
        window.show();
        QTest::mouseClick(Child<QPushButton>(window, "open"), Qt::LeftButton);
        SettleEvents();
        EXPECT_EQ(Codes(window), c.codes);
        EXPECT_EQ(Child<QLabel>(window, "resultCode")->text(), c.resultCode);
        if (c.runMode == 0) {
            QWidget* dialog = window.Session()->DialogWindow();
            ASSERT_NE(dialog, nullptr);
            QStringList texts;
            for (QLineEdit* e : dialog->findChildren<QLineEdit*>())
                texts << e->text();
            EXPECT_TRUE(texts.contains(QStringLiteral("C003"))) << texts.join(',').toStdString();
        }
    }
}

TEST_F(WorkCenterWindowTest, ClosingTheWorkCenterClosesTheDialogToo) {
    TWorkCenterWindow window(options, ConnectManager());
    window.show();
    QTest::mouseClick(Child<QPushButton>(window, "open"), Qt::LeftButton);
    SettleEvents();
    ASSERT_NE(window.Session()->DialogWindow(), nullptr);
    window.close();
    SettleEvents();
    EXPECT_EQ(window.Session(), nullptr);
    EXPECT_EQ(Codes(window), (std::vector<int>{256, 272, 288, 304}));
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << "a window stayed open";
}

TEST_F(WorkCenterWindowTest, AFailedInitialisationIsReportedAndTheDialogFreed) {
    options.Identity.Company.clear();
    TWorkCenterWindow window(options, ConnectManager());
    window.show();
    QTest::mouseClick(Child<QPushButton>(window, "open"), Qt::LeftButton);
    SettleEvents();
    EXPECT_EQ(Codes(window), (std::vector<int>{256, 304}));
    EXPECT_EQ(Log(window).filter(QStringLiteral("OpenDialog 傳回 -1")).size(), 1);
    ASSERT_NE(window.Session(), nullptr);
    EXPECT_FALSE(window.Session()->HasDialog());
}

TEST(WorkCenterManager, TellsWhyThereIsNoManager) {
    TempDir dir;
    struct Case {
        const char* label;
        std::string library;
        bool failConnect;
        const char* problem;
    };
    const Case cases[] = {
        {"not registered", "", false, "cannot be created: Invalid class string"},
        {"library missing", dir / "nowhere.so", false, "cannot be created: Cannot load"},
        {"Connect fails", NUVHOST_TEST_MANAGER, true,
         "cannot connect: the demo database is locked"},
        {"connected", NUVHOST_TEST_MANAGER, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ScopedEnv registry("NUV_REGISTRY", nuv::test::WriteRegistry(dir, c.library));
        ScopedEnv fail("NUV_TEST_MANAGER_FAIL",
                       c.failConnect ? std::optional<std::string>("1") : std::nullopt);
        const TManagerConnection m = ConnectManager();
        EXPECT_EQ(m.Manager.IsObject(), *c.problem == '\0');
        EXPECT_TRUE(m.Problem.contains(QLatin1String(c.problem))) << m.Problem.toStdString();
        if (!m.Problem.isEmpty()) {
            EXPECT_TRUE(m.Problem.contains(QStringLiteral("\"ProwenWorkCenter.Manager\"")));
            THostOptions options;
            options.ModulesFolder = nuv::test::TestModules;
            TWorkCenterWindow window(options, m);
            EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("managerState"))->text(), m.Problem);
        }
    }
}

} // namespace
