// The combo box as a person and a form see it: its text, its item, its drop-down list and its
// font, whether the style was set before or after the box was first shown.
#include "ui/StdCtrls.h"
#include "ui/qt/QtBridge.h"

#include "UiFixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <functional>
#include <string>
#include <vector>

using namespace nuv;

namespace {

QComboBox* QtComboOf(TControl* c) {
    return WidgetOf(c)->findChild<QComboBox*>();
}

// The edit a person types into: the simple box's own edit, or the combo box's line edit.
QLineEdit* VisibleEditOf(TControl* c) {
    for (QLineEdit* e : WidgetOf(c)->findChildren<QLineEdit*>())
        if (e->isVisible())
            return e;
    return nullptr;
}

class ComboBoxTest : public UiTest {
protected:
    TComboBox* MakeCombo(TComboBoxStyle style) {
        auto* c = Make<TComboBox>(form, "cbo", 10, 10, 160, 21);
        c->SetStyle(style);
        for (const char* item : {"日", "週", "月"})
            c->Items()->Add(item);
        return c;
    }
};

TEST_F(ComboBoxTest, TextAndItemHoldBeforeAndAfterTheBoxIsShown) {
    struct Case {
        TComboBoxStyle style;
        const char* text;    // set through Text; nullptr: item 1 is chosen instead
        int index;           // ItemIndex afterwards
        const char* boxText; // Text afterwards
        bool edit;           // whether the person sees an edit holding that text
    };
    const Case cases[] = {
        {csDropDown, "自訂", -1, "自訂", true},    {csDropDown, nullptr, 1, "週", true},
        {csSimple, "自訂", -1, "自訂", true},      {csSimple, nullptr, 1, "週", true},
        {csDropDownList, "月", 2, "月", false},    {csDropDownList, "自訂", -1, "", false},
        {csDropDownList, nullptr, 1, "週", false},
    };
    for (bool showFirst : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(static_cast<int>(c.style)) + " " +
                         (c.text ? c.text : "item 1") + (showFirst ? " (shown first)" : ""));
            TComboBox* box = MakeCombo(c.style);
            if (showFirst) {
                form->Show();
                test::DrainEvents();
            }
            if (c.text != nullptr)
                box->SetText(c.text);
            else
                box->SetItemIndex(1);
            EXPECT_EQ(box->ItemIndex(), c.index);
            EXPECT_EQ(box->Text(), c.boxText);
            form->Show();
            test::DrainEvents();
            EXPECT_EQ(box->ItemIndex(), c.index);
            EXPECT_EQ(box->Text(), c.boxText);
            if (c.edit) {
                QLineEdit* edit = VisibleEditOf(box);
                ASSERT_NE(edit, nullptr);
                EXPECT_EQ(edit->text().toStdString(), c.boxText);
            } else {
                EXPECT_EQ(VisibleEditOf(box), nullptr);
                EXPECT_EQ(QtComboOf(box)->currentIndex(), c.index);
            }
            box->Free();
            form->Hide();
        }
    }
}

TEST_F(ComboBoxTest, ChangingTheStyleKeepsTheItemAndTheTypedText) {
    for (bool shown : {false, true}) {
        SCOPED_TRACE(shown ? "shown" : "hidden");
        TComboBox* box = MakeCombo(csDropDownList);
        if (shown) {
            form->Show();
            test::DrainEvents();
        }
        box->SetItemIndex(1);
        box->SetStyle(csSimple);
        EXPECT_EQ(box->ItemIndex(), 1);
        EXPECT_EQ(box->Text(), "週");
        box->SetText("其他");
        box->SetStyle(csDropDown);
        EXPECT_EQ(box->ItemIndex(), -1);
        EXPECT_EQ(box->Text(), "其他");
        box->SetStyle(csDropDownList);
        EXPECT_EQ(box->Text(), "");
        box->Free();
        form->Hide();
    }
}

// Every change of the items reaches the shown list, whichever rows it touches, and the chosen
// item stays chosen while it is still there.
TEST_F(ComboBoxTest, TheShownListFollowsEveryChangeOfTheItems) {
    const TComboBoxStyle styles[] = {csDropDownList, csDropDown, csSimple};
    for (TComboBoxStyle style : styles) {
        TComboBox* c = MakeCombo(style);
        c->SetItemIndex(1);
        auto shown = [&] {
            std::vector<std::string> r;
            QComboBox* box = QtComboOf(c);
            for (int i = 0; i < box->count(); ++i)
                r.push_back(box->itemText(i).toStdString());
            if (auto* list = WidgetOf(c)->findChild<QListWidget*>(); list && style == csSimple) {
                std::vector<std::string> rows;
                for (int i = 0; i < list->count(); ++i)
                    rows.push_back(list->item(i)->text().toStdString());
                EXPECT_EQ(rows, r) << "the simple box's list";
            }
            return r;
        };
        using Texts = std::vector<std::string>;
        const struct {
            const char* step;
            std::function<void(TStrings*)> change;
            Texts expected;
            int index;
        } steps[] = {
            {"add", [](TStrings* s) { s->Add("年"); }, {"日", "週", "月", "年"}, 1},
            {"insert after the chosen one",
             [](TStrings* s) { s->Insert(2, "時"); },
             {"日", "週", "時", "月", "年"},
             1},
            {"delete last", [](TStrings* s) { s->Delete(4); }, {"日", "週", "時", "月"}, 1},
            {"exchange", [](TStrings* s) { s->Exchange(2, 3); }, {"日", "週", "月", "時"}, 1},
            {"same text twice",
             [](TStrings* s) { s->Add("日"); },
             {"日", "週", "月", "時", "日"},
             1},
            {"clear", [](TStrings* s) { s->Clear(); }, {}, -1},
            {"refill",
             [](TStrings* s) {
                 s->Add("甲");
                 s->Add("乙");
             },
             {"甲", "乙"},
             -1},
            {"insert first", [](TStrings* s) { s->Insert(0, "丙"); }, {"丙", "甲", "乙"}, -1},
        };
        for (const auto& st : steps) {
            st.change(c->Items());
            EXPECT_EQ(shown(), st.expected)
                << st.step << " (style " << static_cast<int>(style) << ")";
            EXPECT_EQ(c->ItemIndex(), st.index)
                << st.step << " (style " << static_cast<int>(style) << ")";
        }
        c->Free();
    }
}

TEST_F(ComboBoxTest, TheDropDownListShowsTheItemsInTheBoxsFont) {
    TComboBox* box = MakeCombo(csDropDownList);
    box->Font()->SetHeight(-20);
    form->Show();
    test::DrainEvents();
    box->SetDroppedDown(true);
    test::DrainEvents();
    EXPECT_TRUE(box->DroppedDown());
    QAbstractItemView* list = QtComboOf(box)->view();
    EXPECT_EQ(list->model()->rowCount(), 3);
    EXPECT_EQ(list->window()->font().pixelSize(), 20);
    box->SetDroppedDown(false);
    test::DrainEvents();
    EXPECT_FALSE(box->DroppedDown());
}

TEST_F(ComboBoxTest, MaxLengthHoldsForTheEditWhateverTheOrder) {
    for (bool lengthFirst : {false, true}) {
        SCOPED_TRACE(lengthFirst ? "length first" : "style first");
        auto* box = Make<TComboBox>(form, "cbo", 10, 10, 160, 21);
        if (lengthFirst)
            box->SetMaxLength(3);
        box->SetStyle(csDropDown);
        if (!lengthFirst)
            box->SetMaxLength(3);
        form->Show();
        test::DrainEvents();
        QLineEdit* edit = VisibleEditOf(box);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->maxLength(), 3);
        box->Free();
        form->Hide();
    }
}

} // namespace
