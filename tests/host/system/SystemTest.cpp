// The whole road of a report request on the offscreen platform: nuvhost's session loads
// Kelt58C.so with the real Manager, a person's keys fill the dialog in (a date from the real
// calendar, an item from the real look-up window), OK sends the request over TCP to
// reportcounterd, the job runs and writes its output, and the controller reports 304 with
// ResultCode 1. The same installation gives the pictures of the dialog's pages.
#include "SystemFixture.h"

#include "MessageAnswerer.h"
#include "ReportModule.h"
#include "ReportSession.h"
#include "WorkCenter.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

using namespace nuv;
using nuv::test::TSystemInstallation;

namespace {

// Runs the event loop until done() is true or the time is up; answers done().
bool RunUntil(const std::function<bool()>& done, int milliseconds = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    return done();
}

QWidget* Child(QWidget* root, const char* name) {
    return root == nullptr ? nullptr : root->findChild<QWidget*>(QLatin1String(name));
}

QString TextOf(QWidget* w) {
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    return w == nullptr ? QString() : w->property("text").toString();
}

// The widget that takes the keys: the focus widget, inside the modal window when one is open.
QWidget* Focused() {
    QWidget* focus = QApplication::focusWidget();
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && (focus == nullptr || focus->window() != modal))
        focus = modal->focusWidget() != nullptr ? modal->focusWidget() : modal;
    return focus;
}

void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = Focused();
    ASSERT_NE(target, nullptr) << "no widget has the focus";
    QTest::keyClick(target, key, modifiers);
}

void Type(const QString& text) {
    QWidget* target = Focused();
    ASSERT_NE(target, nullptr) << "no widget has the focus";
    QTest::keyClicks(target, text);
}

// What a window manager does when a modal window closes: the window below becomes active again.
void ActivateAgain(QWidget* window) {
    if (!window->isActiveWindow()) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window, 5000));
    }
}

void ClickInto(QWidget* w) {
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString() << " is not visible";
    ActivateAgain(w->window());
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, w->height() / 2));
    QCoreApplication::processEvents();
}

// Plays a script on the next modal window once it shows (a look-up window, the calendar):
// the window's modal loop runs the script from its own event loop, as a person's keys would
// arrive.
class TOnModal {
public:
    explicit TOnModal(std::function<void(QWidget*)> script) : script_(std::move(script)) {
        before_ = QApplication::activeModalWidget();
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal == before_ || !modal->isVisible())
                return;
            timer_.stop();
            Name = modal->objectName().isEmpty()
                       ? QString::fromLatin1(modal->metaObject()->className())
                       : modal->objectName();
            modal->activateWindow();
            if (!QTest::qWaitForWindowActive(modal, 5000))
                ADD_FAILURE() << Name.toStdString() << " did not become the active window";
            script_(modal);
            Ran = true;
            // A window the script did not close would wait for a person: it is closed so that
            // the test fails instead of hanging.
            QTimer::singleShot(10000, modal, [this, modal] {
                if (modal->isVisible()) {
                    LeftOpen = true;
                    modal->close();
                }
            });
        });
        timer_.start(10);
    }
    bool Ran = false;
    bool LeftOpen = false;
    QString Name;

private:
    std::function<void(QWidget*)> script_;
    QWidget* before_ = nullptr;
    QTimer timer_;
};

class SystemTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { system_ = new TSystemInstallation; }
    static void TearDownTestSuite() {
        delete system_;
        system_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(system_->Problem().empty()) << system_->Problem();
        manager_ = ConnectManager();
        ASSERT_TRUE(manager_.Problem.isEmpty()) << manager_.Problem.toStdString();
    }

    // Opens the report dialog as the host does and shows it.
    QWidget* OpenDialog() {
        session_ = std::make_unique<TReportSession>(
            LoadReportModule(QStringLiteral("Kelt58C"), QStringLiteral(NUV_MODULES)),
            manager_.Manager);
        QObject::connect(session_.get(), &TReportSession::Notified,
                         [this](int code) { notifications_.push_back(code); });
        if (!session_->Open(
                {QStringLiteral("DS"), QStringLiteral("NUV01"), QStringLiteral("DEMO")}))
            return nullptr;
        session_->Show();
        QWidget* window = nullptr;
        RunUntil(
            [&] { return (window = session_->DialogWindow()) != nullptr && window->isVisible(); });
        if (window != nullptr) {
            window->activateWindow();
            QCoreApplication::processEvents();
        }
        return window;
    }

    void TearDown() override {
        if (session_)
            session_->FreeController();
        session_.reset();
        QCoreApplication::processEvents();
    }

    static TSystemInstallation* system_;
    TManagerConnection manager_;
    std::unique_ptr<TReportSession> session_;
    std::vector<int> notifications_;
};

TSystemInstallation* SystemTest::system_ = nullptr;

TEST_F(SystemTest, AReportRequestGoesFromThePersonsKeysToTheRunsOutput) {
    QString messages;
    QTextStream messageLog(&messages);
    const TMessageAnswerer answerer(messageLog);
    QWidget* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr) << messages.toStdString();

    // The start date: F2 opens the calendar on today, Page Down goes a month on, Enter takes it.
    QWidget* me01 = Child(dialog, "me01");
    ClickInto(me01);
    ASSERT_EQ(Focused(), me01);
    TOnModal calendar([](QWidget*) {
        Key(Qt::Key_PageDown);
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_F2);
    ASSERT_TRUE(RunUntil([&] { return calendar.Ran; })) << "no calendar opened";
    EXPECT_FALSE(calendar.LeftOpen) << "the calendar did not take the keys";
    ActivateAgain(dialog);
    const QDate start = QDate::currentDate().addMonths(1);
    EXPECT_EQ(TextOf(me01), start.toString(QStringLiteral("yyyy/MM/dd")));

    // The items: F2 in the range's first field opens the item look-up; typing narrows the rows,
    // Enter takes the first. The last item is typed.
    QWidget* sp04 = Child(dialog, "sp04");
    QWidget* itemFrom = Child(sp04, "edBegin");
    ASSERT_NE(itemFrom, nullptr);
    if (!itemFrom->isVisible()) {
        // The panel offers a list first: a click on its check box switches to the range.
        ClickInto(Child(sp04, "chkUserChoice"));
    }
    ClickInto(itemFrom);
    ASSERT_EQ(Focused(), itemFrom);
    TOnModal lookup([](QWidget*) {
        Type(QStringLiteral("B01-0"));
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_F2);
    ASSERT_TRUE(RunUntil([&] { return lookup.Ran; })) << "no look-up window opened";
    EXPECT_FALSE(lookup.LeftOpen) << "the look-up window did not take the keys";
    EXPECT_EQ(lookup.Name, QStringLiteral("LookupWindow"));
    // The dialog is active again with the focus in the field the look-up was for; Tab goes on.
    ASSERT_TRUE(RunUntil([&] { return dialog->isActiveWindow(); }));
    ASSERT_EQ(Focused(), itemFrom) << Focused()->objectName().toStdString();
    const QString firstItem = TextOf(itemFrom);
    EXPECT_TRUE(firstItem.startsWith(QStringLiteral("B01-0"))) << firstItem.toStdString();
    QWidget* itemTo = Child(sp04, "edFinal");
    Key(Qt::Key_Tab);
    ASSERT_EQ(Focused(), itemTo) << Focused()->objectName().toStdString();
    Type(QStringLiteral("B01-105"));

    // OK: the request goes to the daemon; the reply is shown and the dialog closes.
    auto* ok = qobject_cast<QAbstractButton*>(Child(dialog, "btnOk"));
    ASSERT_NE(ok, nullptr);
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_TRUE(RunUntil([&] { return !session_->HasDialog(); })) << messages.toStdString();
    EXPECT_EQ(notifications_.back(), ncDialogDestroy);
    EXPECT_EQ(session_->ResultCode(), 1) << messages.toStdString();
    const QString reply = QString::fromStdString(session_->ResultValue().ToString());
    const auto job = QRegularExpression(QStringLiteral("^Job ([0-9]+) accepted")).match(reply);
    ASSERT_TRUE(job.hasMatch()) << reply.toStdString();
    EXPECT_TRUE(messages.contains(reply)) << "the reply was not shown: " << messages.toStdString();

    // The daemon runs the queued job: its run is done and its output holds the conditions.
    QString run;
    const bool ran = RunUntil(
        [&] {
            const QStringList lines =
                system_->Daemon({QStringLiteral("runs"), QStringLiteral("--job"), job.captured(1)})
                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            run = lines.size() > 1 ? lines[1] : QString();
            return run.section(QLatin1Char('\t'), 2, 2) == QLatin1String("done");
        },
        60000);
    ASSERT_TRUE(ran) << "the job did not run: " << run.toStdString();
    QFile output(run.section(QLatin1Char('\t'), 6, 6));
    ASSERT_TRUE(output.open(QIODevice::ReadOnly)) << output.fileName().toStdString();
    const QString content = QString::fromUtf8(output.readAll());
    EXPECT_TRUE(content.contains(start.toString(QStringLiteral("yyyyMMdd"))))
        << content.toStdString();
    EXPECT_TRUE(content.contains(firstItem)) << content.toStdString();
    EXPECT_TRUE(content.contains(QStringLiteral("B01-105"))) << content.toStdString();
}

// Pictures of every page of the dialog as a person sees it (Ctrl+Right goes to the next page
// and from the last back to the first), with the periodic page that the toggle "週期性" shows,
// in Traditional Chinese, and the first page converted for a Simplified Chinese interface.
TEST_F(SystemTest, PicturesOfThePages) {
    const QString folder = QStringLiteral(NUV_TEST_OUTPUT_DIR);
    auto save = [&](QWidget* dialog, const char* codePage, const QString& page) {
        const QString file =
            QStringLiteral("%1/system-kelt58-%2-%3.png").arg(folder, QLatin1String(codePage), page);
        EXPECT_TRUE(dialog->grab().save(file)) << file.toStdString();
    };
    for (const char* codePage : {"950", "936"}) {
        SCOPED_TRACE(codePage);
        system_->SetInterfaceCodePage(codePage);
        QWidget* dialog = OpenDialog();
        ASSERT_NE(dialog, nullptr);
        ClickInto(Child(dialog, "me01"));
        const QImage first = dialog->grab().toImage();
        save(dialog, codePage, QStringLiteral("page1"));
        if (std::string(codePage) == "950") {
            for (int page = 2; page <= 6; ++page) {
                Key(Qt::Key_Right, Qt::ControlModifier);
                QCoreApplication::processEvents();
                if (dialog->grab().toImage() == first)
                    break;
                save(dialog, codePage, QStringLiteral("page%1").arg(page));
            }
            ClickInto(Child(dialog, "btnPeriod"));
            save(dialog, codePage, QStringLiteral("periodic"));
        }
        session_->FreeController();
        session_.reset();
    }
    system_->SetInterfaceCodePage("950");
}

} // namespace
