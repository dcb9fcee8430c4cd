// The request block: its shape, the three checks before it leaves, the base entry of the print
// date, selection-panel values, and host values put into controls by name.
#include "runtime/RequestBlock.h"

#include "RuntimeFixture.h"
#include "controls/SelectPnl.h"
#include "runtime/FieldWiring.h"
#include "ui/Buttons.h"
#include "ui/Mask.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <functional>

using namespace nuv;
using namespace nuv::test;

namespace {

// A dialog whose program level fills its conditions through a script.
class TProgramDialog : public TStateForm {
public:
    explicit TProgramDialog(TComponent* owner) : TStateForm(owner) {}

    std::function<bool(Variant&, int)> Header;
    std::function<bool(Variant&, int)> Texts;
    std::function<bool(Variant&, int)> Data;
    std::vector<int> counts;

    bool FillRequestHeader(Variant& H, std::int32_t Count) override {
        return TBaseGeneState::FillRequestHeader(H, Count) && (!Header || Header(H, Count));
    }
    bool CollectConditionText(Variant& T, std::int32_t Count) override {
        counts.push_back(Count);
        return TBaseGeneState::CollectConditionText(T, Count) && (!Texts || Texts(T, Count));
    }
    bool CollectConditionData(Variant& D, std::int32_t Count) override {
        return TBaseGeneState::CollectConditionData(D, Count) && (!Data || Data(D, Count));
    }
};

class RequestBlockTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        d = NewDialog();
        fakes.Host->Messages["I000003"] = "沒有條件%s";
        fakes.Host->Messages["W000002"] = "%s 應有 %s 個, 實有 %s";
        fakes.Host->Messages["W000003"] = "%s 共 %s 個, 第 %s 個未設定";
        lblToday = static_cast<TLabel*>(d->FindComponent("lblToday"));
        edPrintDate = static_cast<TMaskEdit*>(d->FindComponent("edPrintDate"));
        d->ProgramCode = "kelt58";
        d->ServerClassName = "KELT58S.Class1";
        d->CompanyCode = "SD";
        d->UserCode = "NU";
        d->DataSourceCode = "DS";
        d->ConditionCount = 1;
    }
    // A dialog with the base level's own components.
    TProgramDialog* NewDialog() {
        auto* x = CreateForm<TProgramDialog>(nullptr);
        x->Manager = fakes.NewManager();
        auto* label = new TLabel(x);
        label->SetName("lblToday");
        label->SetParent(x);
        label->SetCaption("製表日期");
        auto* edit = new TMaskEdit(x);
        edit->SetName("edPrintDate");
        edit->SetParent(x);
        edit->SetEditMask("9999/99/99;1; ");
        return x;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& m : presenter.Messages())
            t.push_back(m.Text);
        return t;
    }
    TProgramDialog* d = nullptr;
    TLabel* lblToday = nullptr;
    TMaskEdit* edPrintDate = nullptr;
};

} // namespace

TEST_F(RequestBlockTest, ShapeOfABaseRequest) {
    edPrintDate->SetText("2003/12/31");
    ASSERT_TRUE(BuildRequestBlock(*d));
    const Variant& r = d->Request;
    ASSERT_EQ(r.ArrayLowBound(), 0);
    ASSERT_EQ(r.ArrayHighBound(), 2);
    const Variant& header = r[0];
    EXPECT_EQ(header.ArrayLowBound(), 1);
    EXPECT_EQ(header.ArrayHighBound(), 9);
    EXPECT_EQ(header[1].ToString(), "KELT58");
    EXPECT_EQ(header[2].ToInt(), 9);
    EXPECT_EQ(header[3].ToInt(), 1);
    EXPECT_EQ(header[4].ToString(), "SD");
    EXPECT_EQ(header[5].ToString(), "NU");
    EXPECT_EQ(header[6].ToString(), "DS");
    EXPECT_EQ(header[7].Type(), VarType::Date);
    EXPECT_EQ(header[8].ToString(), "KELT58S.Class1");
    EXPECT_EQ(header[9].ToString(), "R");
    EXPECT_EQ(r[1].ArrayLowBound(), 1);
    EXPECT_EQ(r[1][1][0].ToString(), "製表日期");
    EXPECT_EQ(r[1][1][1].ToString(), "edPrintDate");
    EXPECT_EQ(r[2][1].ToString(), "20031231");
    EXPECT_EQ(d->counts, std::vector<int>{0});
}

TEST_F(RequestBlockTest, UnfilledPrintDateIsAnEmptyTextThatPasses) {
    for (const char* text : {"", "    /  /  ", "2003/  /  "}) {
        edPrintDate->SetText(text);
        ASSERT_TRUE(BuildRequestBlock(*d)) << text;
        EXPECT_EQ(d->Request[2][1].Type(), VarType::Text);
        EXPECT_EQ(d->Request[2][1].ToString(), "") << text;
    }
    EXPECT_TRUE(presenter.Messages().empty());
}

TEST_F(RequestBlockTest, NoConditionsWithAndWithoutAutoRun) {
    d->ConditionCount = 0;
    EXPECT_FALSE(BuildRequestBlock(*d));
    EXPECT_EQ(Texts(), std::vector<std::string>{"沒有條件"});
    EXPECT_EQ(presenter.Messages()[0].Kind, mtInformation);
    d->AutoRun = true;
    ASSERT_TRUE(BuildRequestBlock(*d));
    EXPECT_EQ(d->Request[1].ArrayCount(), 0);
    EXPECT_EQ(d->Request[2].ArrayCount(), 0);
    d->EnvironmentCount = 0;
    EXPECT_FALSE(BuildRequestBlock(*d)) << "no header even with AutoRun";
}

TEST_F(RequestBlockTest, TheThreeChecks) {
    struct Case {
        const char* name;
        std::function<void(TProgramDialog&)> arrange;
        const char* message;
    };
    const Case cases[] = {
        {"HeaderOfAnotherSize",
         [](TProgramDialog& x) {
             x.Header = [](Variant& h, int) {
                 h.ArrayRedim(10);
                 h[10] = "extra";
                 return true;
             };
         },
         "環境設定 應有 9 個, 實有 10"},
        {"HeaderElementLeftNull",
         [](TProgramDialog& x) {
             x.Header = [](Variant& h, int) {
                 h[6] = Variant::MakeNull();
                 return true;
             };
         },
         "環境設定 共 9 個, 第 6 個未設定"},
        {"ConditionTextLeftUnassigned",
         [](TProgramDialog& x) {
             x.ConditionCount = 3;
             x.Texts = [](Variant& t, int) {
                 t[1] = Variant::ArrayOf({"類別", "sp01"});
                 return true;
             };
             x.Data = [](Variant& v, int) {
                 v[1] = "A";
                 v[2] = "B";
                 return true;
             };
         },
         "選擇條件文字 共 3 個, 第 2 個未設定"},
        {"ConditionDataLeftUnassigned",
         [](TProgramDialog& x) {
             x.ConditionCount = 2;
             x.Texts = [](Variant& t, int) {
                 t[1] = "";
                 return true;
             };
         },
         "選擇條件資料 共 2 個, 第 1 個未設定"},
    };
    for (const Case& c : cases) {
        presenter.Clear();
        TProgramDialog* x = NewDialog();
        x->ConditionCount = 1;
        c.arrange(*x);
        EXPECT_FALSE(BuildRequestBlock(*x)) << c.name;
        ASSERT_EQ(presenter.Messages().size(), 1u) << c.name;
        EXPECT_EQ(presenter.Messages()[0].Text, c.message) << c.name;
        EXPECT_EQ(presenter.Messages()[0].Kind, mtWarning) << c.name;
        EXPECT_TRUE(x->Request.IsEmpty()) << c.name;
        x->Free();
    }
}

TEST_F(RequestBlockTest, AnEmptyTextElementPassesAndTheProgramFillsBeforeTheBase) {
    d->ConditionCount = 3;
    d->Texts = [](Variant& t, int n) {
        for (int i = 1; i <= n; ++i)
            t[i] = Variant::ArrayOf({"", "ed1" + std::to_string(i)});
        return true;
    };
    d->Data = [](Variant& v, int n) {
        for (int i = 1; i <= n; ++i)
            v[i] = "";
        return true;
    };
    ASSERT_TRUE(BuildRequestBlock(*d));
    EXPECT_EQ(d->counts, std::vector<int>{2});
    EXPECT_EQ(d->Request[1][3][1].ToString(), "edPrintDate");
}

TEST_F(RequestBlockTest, MissingPrintDateFailsWithItsReference) {
    edPrintDate->Free();
    fakes.Host->Messages["I000011"] = "製表日期";
    EXPECT_FALSE(BuildRequestBlock(*d));
    EXPECT_EQ(d->MessageRefs, "E;000030; ");
    lblToday->Free();
    d->MessageRefs.clear();
    EXPECT_FALSE(BuildRequestBlock(*d));
    EXPECT_EQ(d->MessageRefs, "E;000030;製表日期; ");
}

TEST_F(RequestBlockTest, ConditionCount) {
    d->BaseEntryCount = 1;
    d->ConditionCount = 0;
    SetConditionCount(*d, 0);
    EXPECT_EQ(d->ConditionCount, 1);
    SetConditionCount(*d, 4);
    EXPECT_EQ(d->ConditionCount, 5);
    d->BaseEntryCount = 6;
    d->ConditionCount = 0;
    SetConditionCount(*d, 3);
    EXPECT_EQ(d->ConditionCount, 9);
}

TEST_F(RequestBlockTest, SelectPanelValues) {
    auto* sp = new TSelectPanel(d);
    sp->SetParent(d);
    sp->edBegin->SetText("A001");
    sp->edFinal->SetText("A009");
    Variant data = Variant::CreateArray({{1, 2}});
    ASSERT_TRUE(AddSelectPanelData(sp, data, 1));
    EXPECT_TRUE(data[1].SameAs(Variant::ArrayOf({RangeMarker, "A001", "A009"})));

    sp->SetStyle(sp_UserChoice);
    sp->SetUserChoice(false);
    AddSelectPanelData(sp, data, 2);
    EXPECT_EQ(data[2].ArrayLowBound(), 0);
    EXPECT_EQ(data[2].ArrayHighBound(), 0) << "an empty list still holds its marker";
    EXPECT_EQ(data[2][0].ToString(), ListMarker);

    sp->ListBox->AddItem({"B01", "藍", "x"});
    sp->ListBox->AddItem({"B02"});
    Variant whole;
    AddSelectPanelData(sp, whole, -1);
    ASSERT_EQ(whole.ArrayHighBound(), 2);
    EXPECT_EQ(whole[1][0].ToString(), "B01");
    EXPECT_EQ(whole[1][1].ToString(), "藍");
    EXPECT_EQ(whole[2].ArrayHighBound(), 2) << "rows are padded to the same sub-items";
}

TEST_F(RequestBlockTest, HostValuesByName) {
    auto* ed11 = new TEdit(d);
    ed11->SetName("ed11");
    auto* chk = new TCheckBox(d);
    chk->SetName("chk05");
    auto* sp = new TSelectPanel(d);
    sp->SetName("sp01");
    sp->SetStyle(sp_UserChoice);
    d->DateLayout = 4;
    SetDateFields(*d, "edPrintDate");
    auto pairs =
        Variant::ArrayOf({Variant::ArrayOf({"", "ed11"}), Variant::ArrayOf({"", "chk05"}),
                          Variant::ArrayOf({"", "sp01"}), Variant::ArrayOf({"", "edPrintDate"})});
    auto values = Variant::ArrayOf(
        {"X1", "Y", Variant::ArrayOf({ListMarker, Variant::ArrayOf({"B01", "藍"})}), "20031201"});
    ASSERT_TRUE(ApplyValuesByName(*d, Variant::ArrayOf({pairs, values})));
    EXPECT_EQ(ed11->Text(), "X1");
    EXPECT_TRUE(chk->Checked());
    EXPECT_FALSE(sp->IsRangeActive());
    ASSERT_EQ(sp->Items()->Count(), 1);
    EXPECT_EQ(sp->Items()->Item(0)->Caption(), "B01");
    EXPECT_EQ(edPrintDate->Text(), "92/12/01") << "a stored date is shown in the layout";
}

// A toggle button (a speed button of a group that may be all up, as the periodic switch) takes
// "Y" and "N": it goes down or up and its click handler runs, as for a person's click; a value
// that leaves it as it is runs nothing.
TEST_F(RequestBlockTest, HostValuesSwitchAToggleButtonThroughItsClick) {
    struct Handler {
        std::vector<bool> seen;
        TSpeedButton* button = nullptr;
        void Click(TObject*) { seen.push_back(button->Down()); }
    } handler;
    auto* button = new TSpeedButton(d);
    button->SetName("btnPeriod");
    button->SetGroupIndex(2);
    button->SetAllowAllUp(true);
    handler.button = button;
    button->OnClick = TNotifyEvent(&handler, &Handler::Click);
    struct Case {
        const char* value;
        bool down;
        std::vector<bool> clicks;
    };
    const Case cases[] = {{"Y", true, {true}}, {"Y", true, {}}, {"n", false, {false}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        handler.seen.clear();
        ASSERT_TRUE(ApplyValuesByName(
            *d, Variant::ArrayOf({Variant::ArrayOf({Variant::ArrayOf({"", "btnPeriod"})}),
                                  Variant::ArrayOf({c.value})})));
        EXPECT_EQ(button->Down(), c.down);
        EXPECT_EQ(handler.seen, c.clicks);
    }
    EXPECT_FALSE(ApplyValuesByName(
        *d, Variant::ArrayOf({Variant::ArrayOf({Variant::ArrayOf({"", "btnPeriod"})}),
                              Variant::ArrayOf({"maybe"})})));
}

TEST_F(RequestBlockTest, UnknownNameOrValueTheControlCannotHoldChangesNothing) {
    auto* ed11 = new TEdit(d);
    ed11->SetName("ed11");
    ed11->SetText("before");
    auto* ed12 = new TEdit(d);
    ed12->SetName("ed12");
    ed12->SetMaxLength(4);
    SetDateFields(*d, "edPrintDate");
    struct Case {
        const char* name;
        Variant value;
    };
    const Case cases[] = {
        {"edNone", "x"},
        {"lblToday", "x"},
        {"ed11", Variant::ArrayOf({"x"})},
        // The edit would cut the text to its maximum length.
        {"ed12", "ABCDE"},
        {"ed12", "統一發票號"},
        // A date field takes the stored form of a real date; others would be cut by the mask.
        {"edPrintDate", "2003-12-01"},
        {"edPrintDate", "2003/12/01"},
        {"edPrintDate", "20031301"},
        {"edPrintDate", "200312"},
    };
    for (const Case& c : cases) {
        d->MessageRefs.clear();
        auto pairs =
            Variant::ArrayOf({Variant::ArrayOf({"", "ed11"}), Variant::ArrayOf({"", c.name})});
        auto values = Variant::ArrayOf({"after", c.value});
        EXPECT_FALSE(ApplyValuesByName(*d, Variant::ArrayOf({pairs, values}))) << c.name;
        EXPECT_EQ(ed11->Text(), "before") << c.name;
        EXPECT_EQ(d->MessageRefs, "W;000014;" + std::string(c.name) + "; ");
    }
    d->MessageRefs.clear();
    EXPECT_FALSE(ApplyValuesByName(*d, Variant("not an array")));
    EXPECT_EQ(d->MessageRefs, "W;000014; ");
}
