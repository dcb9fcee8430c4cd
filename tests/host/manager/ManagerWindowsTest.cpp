// The Manager's windows, driven with keys as a user would: the look-up window of F2GetData,
// the phrase window and the help window.
#include "ManagerFixture.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTextBrowser>

#include <gmock/gmock.h>

namespace nuv::host::test {
namespace {

using ::testing::HasSubstr;

class ManagerWindowsTest : public ManagerFixture {
protected:
    // F2GetData with the twelve elements the dialog passes.
    Variant F2(const char* table, const char* key, Variant params, bool multi,
               const char* initial = "") {
        return OleCall(Service("Com_F2Window"), "F2GetData",
                       {Variant::ArrayOf({table, key, params, multi, initial, "NUV01", "DEMO", 0,
                                          Variant::MakeNull(), Variant::MakeNull(), true, true})});
    }
};

QLineEdit* SearchBox(QWidget* w) {
    return w->findChild<QLineEdit*>("edSearch");
}
int ShownRows(QWidget* w) {
    return w->findChild<QTableView*>("gridRows")->model()->rowCount();
}
QString Cell(QWidget* w, int row, int col) {
    QAbstractItemModel* m = w->findChild<QTableView*>("gridRows")->model();
    return m->index(row, col).data().toString();
}

TEST_F(ManagerWindowsTest, TypingNarrowsAndEnterChoosesTheCurrentRow) {
    int before = -1, after = -1;
    QString second;
    WhenModal([&](QWidget* w) {
        EXPECT_EQ(w->objectName(), "LookupWindow");
        EXPECT_EQ(QApplication::focusWidget(), SearchBox(w));
        before = ShownRows(w);
        TypeKeys(w, QStringLiteral("電源線"));
        after = ShownRows(w);
        second = Cell(w, 1, 0);
        PressKey(w, Qt::Key_Down);
        EXPECT_EQ(QApplication::focusWidget(), SearchBox(w)) << "typing stays in the box";
        PressKey(w, Qt::Key_Return);
    });
    Variant answer = F2("INVMB", "01", Variant::ArrayOf({""}), false);
    EXPECT_EQ(before, 300);
    EXPECT_EQ(after, 15);
    ASSERT_EQ(answer.ArrayCount(), 1);
    EXPECT_EQ(answer[0][0].ToString(), second.toStdString());
    EXPECT_THAT(answer[0][1].ToString(), HasSubstr("電源線"));
    EXPECT_EQ(answer[0].ArrayCount(), 4) << "the whole row: code, name, spec, unit";
}

TEST_F(ManagerWindowsTest, MultipleSelectionWithShiftAndCtrlSpace) {
    WhenModal([&](QWidget* w) {
        TypeKeys(w, QStringLiteral("台中"));
        EXPECT_EQ(ShownRows(w), 10);
        Screenshot(w, "manager-lookup-customers.png");
        PressKey(w, Qt::Key_Down, Qt::ShiftModifier); // rows 0 and 1
        PressKey(w, Qt::Key_Down, Qt::ControlModifier);
        PressKey(w, Qt::Key_Down, Qt::ControlModifier);
        PressKey(w, Qt::Key_Space, Qt::ControlModifier); // and row 3
        PressKey(w, Qt::Key_Enter);
    });
    Variant answer = F2("COPMA", "01", Variant::ArrayOf({""}), true);
    ASSERT_EQ(answer.ArrayCount(), 3);
    EXPECT_EQ(answer[0][0].ToString(), "C0041");
    EXPECT_EQ(answer[0][1].ToString(), "台中興業");
    EXPECT_EQ(answer[1][0].ToString(), "C0042");
    EXPECT_EQ(answer[2][0].ToString(), "C0044");
}

TEST_F(ManagerWindowsTest, InitialTextNarrowsAtOnceAndEscCancels) {
    int shown = -1;
    WhenModal([&](QWidget* w) {
        EXPECT_EQ(SearchBox(w)->text(), "C019");
        shown = ShownRows(w);
        PressKey(w, Qt::Key_Escape);
    });
    Variant answer = F2("COPMA", "01", Variant::ArrayOf({""}), false, "C019");
    EXPECT_EQ(shown, 10);
    EXPECT_TRUE(answer.IsEmpty());
}

// The search box matches text literally: wildcards, quotes and the like are characters.
TEST_F(ManagerWindowsTest, SearchBoxMatchesWildcardsAndQuotesLiterally) {
    Sql("INSERT INTO INVMB(MB001, MB002) VALUES ('50%_OFF', '折扣品'), ('O''BRIEN', '人名品')");
    struct Case {
        const char* typed;
        int rows;
    };
    const Case cases[] = {{"%", 1},           {"_", 1}, {"%_", 1},      {"'", 1},
                          {"' or '1'='1", 0}, {"*", 0}, {"b01-007", 1}, {"[a-z]", 0}};
    for (const Case& c : cases) {
        int shown = -1;
        WhenModal([&](QWidget* w) {
            TypeKeys(w, QString::fromUtf8(c.typed));
            shown = ShownRows(w);
            PressKey(w, Qt::Key_Escape);
        });
        F2("INVMB", "01", Variant::ArrayOf({""}), false);
        EXPECT_EQ(shown, c.rows) << c.typed;
    }
}

TEST_F(ManagerWindowsTest, CategoryLookupOfOneClassificationIsScreenshotted) {
    WhenModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "品號類別查詢");
        EXPECT_EQ(ShownRows(w), 6);
        Screenshot(w, "manager-lookup-categories.png");
        PressKey(w, Qt::Key_Down);
        PressKey(w, Qt::Key_Down);
        PressKey(w, Qt::Key_Return);
    });
    Variant answer = F2("INVMA", "02", Variant::ArrayOf({"1"}), false);
    ASSERT_EQ(answer.ArrayCount(), 1);
    EXPECT_EQ(answer[0][0].ToString(), "C");
    EXPECT_EQ(answer[0][1].ToString(), "成品");
}

TEST_F(ManagerWindowsTest, PhraseWindowOffersTheUsersAndSharedPhrases) {
    QStringList shown;
    WhenModal([&](QWidget* w) {
        for (int r = 0; r < ShownRows(w); ++r)
            shown << Cell(w, r, 1);
        Screenshot(w, "manager-phrases.png");
        PressKey(w, Qt::Key_Down);
        PressKey(w, Qt::Key_Return);
    });
    Variant user("MARY"), ds("DEMO");
    std::string phrase =
        OleCall(Service("Com_Phrase"), "GetPhrase", {Variant::ByRef(user), Variant::ByRef(ds), 0})
            .ToString();
    EXPECT_EQ(shown, QStringList({"mary@nuv-demo.example", "客戶急單，請優先處理",
                                  "sales@nuv-demo.example",
                                  "report@nuv-demo.example;manager@nuv-demo.example"}));
    EXPECT_EQ(phrase, "客戶急單，請優先處理");

    WhenModal([&](QWidget* w) { PressKey(w, Qt::Key_Escape); });
    EXPECT_EQ(
        OleCall(Service("Com_Phrase"), "GetPhrase", {Variant::ByRef(user), Variant::ByRef(ds), 0})
            .ToString(),
        "");
}

TEST_F(ManagerWindowsTest, HelpWindowShowsTheTopicOrSaysThereIsNone) {
    struct Case {
        const char* topic;
        const char* title;
        const char* body;
    };
    const Case cases[] = {
        {"KELT58", "客戶別品號出貨排程表", "排程起始日期不可早於今天"},
        {"NOPE", "找不到說明", "no help for topic NOPE"},
    };
    for (const Case& c : cases) {
        QString title, body;
        WhenModal([&](QWidget* w) {
            title = w->findChild<QLabel*>("lblTitle")->text();
            body = w->findChild<QTextBrowser*>("txtBody")->toPlainText();
            if (std::string(c.topic) == "KELT58")
                Screenshot(w, "manager-help.png");
            PressKey(w, Qt::Key_Escape);
        });
        OleCall(manager_, "CallHelp", {Variant::ArrayOf({"KEL", c.topic})});
        EXPECT_EQ(title.toStdString(), c.title);
        EXPECT_THAT(body.toStdString(), HasSubstr(c.body));
    }
}

} // namespace
} // namespace nuv::host::test
