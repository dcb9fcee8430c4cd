// The quick-date picker as the report dialog uses it: created from its class name through the
// registry file, ShowInputDay called late-bound, and the calendar window found as the active
// modal window and driven with keys.
#include "platform/Automation.h"
#include "platform/TestFiles.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QDate>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

using namespace nuv;
using nuv::test::ScopedEnv;
using nuv::test::TempDir;

namespace {

struct TKey {
    Qt::Key key;
    Qt::KeyboardModifiers mods = Qt::NoModifier;
};

class InputDayTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedEnv registry{"NUV_REGISTRY",
                       dir.Write("registry.reg",
                                 "Windows Registry Editor Version 5.00\n\n"
                                 "[HKEY_CLASSES_ROOT\\InputDayC.Class1\\InprocServer32]\n"
                                 "@=\"" NUV_INPUTDAY_LIBRARY "\"\n")};
    DispatchPtr picker = CreateOleObject("InputDayC.Class1");

    // What the window showed while the keys were pressed.
    struct TSeen {
        bool modal = false;
        bool focusInCalendar = false;
        QString headerAtStart;
        QString headerAtEnd;
        bool leftOpen = false;
    };

    // Calls ShowInputDay and, once the window is up, presses the keys on the focused widget
    // and runs look (if any) before the last key.
    std::string Show(const Variant& args, const std::vector<TKey>& keys, TSeen* seen = nullptr,
                     const std::function<void(QWidget*)>& look = {}) {
        TSeen local;
        TSeen& s = seen ? *seen : local;
        int tries = 0;
        std::function<void()> drive = [&] {
            // The window is shown by the call; the keys go once it is active.
            QWidget* window = QApplication::activeModalWidget();
            if ((window == nullptr || QApplication::focusWidget() == nullptr) && ++tries < 100) {
                QTimer::singleShot(0, drive);
                return;
            }
            s.modal = window != nullptr && window == QApplication::activeWindow();
            if (window == nullptr || QApplication::focusWidget() == nullptr)
                return;
            auto* calendar = window->findChild<QCalendarWidget*>(QStringLiteral("calendar"));
            QWidget* focus = QApplication::focusWidget();
            s.focusInCalendar =
                calendar != nullptr && (focus == calendar || calendar->isAncestorOf(focus));
            auto* header = window->findChild<QLabel*>(QStringLiteral("header"));
            s.headerAtStart = header ? header->text() : QString();
            for (std::size_t i = 0; i < keys.size(); ++i) {
                if (i + 1 == keys.size()) {
                    s.headerAtEnd = header ? header->text() : QString();
                    if (look)
                        look(window);
                }
                QTest::keyClick(QApplication::focusWidget(), keys[i].key, keys[i].mods);
            }
            // A window that the keys did not close would wait forever: note it and cancel.
            if (QApplication::activeModalWidget() == window) {
                s.leftOpen = true;
                QTest::keyClick(window, Qt::Key_Escape);
            }
        };
        QTimer::singleShot(0, drive);
        return OleCall(picker, "ShowInputDay", {args}).ToString();
    }
};

const std::string Today = QDate::currentDate().toString("yyyyMMdd").toStdString();

// The keys that type the text, then the keys that follow.
std::vector<TKey> Typing(const char* text, std::vector<TKey> then) {
    std::vector<TKey> keys;
    for (const char* c = text; *c; ++c)
        keys.push_back({*c == '/' ? Qt::Key_Slash : static_cast<Qt::Key>(Qt::Key_0 + (*c - '0'))});
    keys.insert(keys.end(), then.begin(), then.end());
    return keys;
}

TEST_F(InputDayTest, KeysMoveTheDayAndEnterAnswersIt) {
    struct Case {
        const char* label;
        const char* start;
        std::vector<TKey> keys;
        std::string answer;
        bool minguo = false;
    };
    const Case cases[] = {
        {"Enter", "20261210", {{Qt::Key_Return}}, "20261210"},
        {"keypad Enter", "20261210", {{Qt::Key_Enter}}, "20261210"},
        {"next day", "20261210", {{Qt::Key_Right}, {Qt::Key_Return}}, "20261211"},
        {"across the year", "20261231", {{Qt::Key_Right}, {Qt::Key_Return}}, "20270101"},
        {"a week back", "20261210", {{Qt::Key_Up}, {Qt::Key_Return}}, "20261203"},
        {"next month", "20261210", {{Qt::Key_PageDown}, {Qt::Key_Return}}, "20270110"},
        {"a short month", "20260131", {{Qt::Key_PageDown}, {Qt::Key_Return}}, "20260228"},
        {"a year back",
         "20240229",
         {{Qt::Key_PageUp, Qt::ControlModifier}, {Qt::Key_Return}},
         "20230228"},
        {"first of the month", "20261210", {{Qt::Key_Home}, {Qt::Key_Return}}, "20261201"},
        {"last of the month", "20260210", {{Qt::Key_End}, {Qt::Key_Return}}, "20260228"},
        {"today", "19991231", {{Qt::Key_T}, {Qt::Key_Return}}, Today},
        {"Esc cancels", "20261210", {{Qt::Key_Right}, {Qt::Key_Escape}}, ""},
        {"no start date", "", {{Qt::Key_Return}}, Today},
        {"seven digits", "2026121", {{Qt::Key_Return}}, Today},
        {"no such day", "20261399", {{Qt::Key_Return}}, Today},
        {"not digits", "2026-1-1", {{Qt::Key_Return}}, Today},
        // Typing a date: digits on the calendar start the entry field.
        {"typed", "20261210", Typing("20270315", {{Qt::Key_Return}}), "20270315"},
        {"typed with slashes", "20261210", Typing("2027/3/5", {{Qt::Key_Return}}), "20270305"},
        {"typed Minguo", "20261210", Typing("1140102", {{Qt::Key_Return}}), "20250102", true},
        {"typed Minguo, two-digit year", "20261210", Typing("991231", {{Qt::Key_Return}}),
         "20101231", true},
        {"typed Minguo with slashes", "20261210", Typing("115/2/3", {{Qt::Key_Return}}), "20260203",
         true},
        {"a Minguo date typed on the Gregorian calendar", "20261210",
         Typing("1151210", {{Qt::Key_Return}, {Qt::Key_Escape}}), ""},
        {"no such typed day", "20261210", Typing("1151399", {{Qt::Key_Return}, {Qt::Key_Escape}}),
         "", true},
        {"typed, then cancelled", "20261210", Typing("20270315", {{Qt::Key_Escape}}), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TSeen seen;
        const std::string answer =
            Show(Variant::ArrayOf({c.minguo, c.start, "DS01"}), c.keys, &seen);
        EXPECT_TRUE(seen.modal) << "the calendar is the active modal window";
        EXPECT_TRUE(seen.focusInCalendar);
        EXPECT_FALSE(seen.leftOpen);
        EXPECT_EQ(answer, c.answer);
    }
}

TEST_F(InputDayTest, TheCalendarFlagShowsMinguoYears) {
    struct Case {
        bool minguo;
        const char* start;
        QString atStart;
        QString afterPageDown;
    };
    const Case cases[] = {
        {false, "20261210", QStringLiteral("2026年 12月"), QStringLiteral("2027年 1月")},
        {true, "20261210", QStringLiteral("民國115年 12月"), QStringLiteral("民國116年 1月")},
        {true, "19120115", QStringLiteral("民國1年 1月"), QStringLiteral("民國1年 2月")},
        {true, "19111215", QStringLiteral("民國前1年 12月"), QStringLiteral("民國1年 1月")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        TSeen seen;
        const std::string answer =
            Show(Variant::ArrayOf({c.minguo, c.start, "DS01"}),
                 {{Qt::Key_PageDown}, {Qt::Key_Return}}, &seen, [&](QWidget* window) {
                     if (c.minguo && std::string(c.start) == "20261210")
                         window->grab().save(NUV_TEST_OUTPUT_DIR "/inputday-minguo.png");
                     if (!c.minguo)
                         window->grab().save(NUV_TEST_OUTPUT_DIR "/inputday.png");
                 });
        EXPECT_EQ(seen.headerAtStart, c.atStart);
        EXPECT_EQ(seen.headerAtEnd, c.afterPageDown);
        EXPECT_EQ(answer.size(), 8u) << "the answer stays Gregorian";
        EXPECT_EQ(answer.substr(0, 2), c.start[0] == '2' ? "20" : "19");
    }
}

TEST_F(InputDayTest, BadArgumentsAreRefusedWithAReason) {
    struct Case {
        const char* label;
        std::vector<Variant> args;
        const char* reason;
    };
    const Case cases[] = {
        {"no argument", {}, "Wrong number of arguments"},
        {"two arguments", {false, "20261210"}, "Wrong number of arguments"},
        {"a text", {"20261210"}, "takes one array"},
        {"one element", {Variant::ArrayOf({false})}, "takes one array"},
        {"a flag that is no Boolean",
         {Variant::ArrayOf({"maybe", "20261210", "DS01"})},
         "Bad argument"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        try {
            OleCall(picker, "ShowInputDay", c.args);
            ADD_FAILURE() << "no error";
        } catch (const EOleError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no window for a bad call";
    }
}

} // namespace
