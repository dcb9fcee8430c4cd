// The report dialog of module Kelt58 as the controller opens it: the real form, the host's
// objects doubled (FakeServices), a real client configuration in a temporary installation, an
// application server object in-process that records what reaches it, the scripted dialog
// presenter, and the clock standing on 10 December 2026.
#include "report/Kelt58CF.h"

#include "fakes/DialogScene.h"
#include "fakes/FakeServices.h"
#include "platform/Automation.h"
#include "platform/DateTime.h"
#include "platform/SystemServices.h"
#include "platform/TestFiles.h"
#include "plugin/DLLBaseCtrller.h"
#include "plugin/DLLRPCtrller.h"
#include "runtime/FieldChecks.h"
#include "runtime/RequestBlock.h"
#include "support/FakeAutomation.h"
#include "uitest/UiTestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace nuv;
using namespace nuv::test;

namespace {

using Settings = std::vector<std::pair<std::string, std::string>>;

// The host's option table: names in row 0, switches in row 1.
Variant HostOptionTable(const std::vector<std::pair<std::string, bool>>& options) {
    Variant table = Variant::CreateArray({{0, 1}, {0, static_cast<int>(options.size()) - 1}});
    for (std::size_t i = 0; i < options.size(); ++i) {
        table.Element(0, static_cast<int>(i)) = options[i].first;
        table.Element(1, static_cast<int>(i)) = options[i].second;
    }
    return table;
}

// A host value block by component name: [run mode, [True, [pairs, values]]].
Variant HostValues(int runMode, const std::vector<std::pair<std::string, Variant>>& values) {
    std::vector<Variant> pairs, data;
    for (const auto& [name, value] : values) {
        pairs.push_back(Variant::ArrayOf({"", name}));
        data.push_back(value);
    }
    return Variant::ArrayOf(
        {Variant(),
         Variant::ArrayOf(
             {Variant(runMode),
              Variant::ArrayOf({Variant(true), Variant::ArrayOf({Variant::ArrayOf(pairs),
                                                                 Variant::ArrayOf(data)})})})});
}

class Kelt58Test : public ::testing::Test, protected TDialogScene<TfrmKelt58> {
protected:
    void SetUp() override {
        fakes.Host->Validate = ProgramRowOnly([] {
            return Variant::ArrayOf({"排程客戶品號報表", "", "", "", "R"});
        });
        fakes.Host->Settings = {{"Sys001", "1"},      {"Sys002", "/"},      {"Sys007", "大分類"},
                                {"Sys008", "中分類"}, {"Sys009", "小分類"}, {"Sys010", "細分類"}};
        fakes.Host->Messages["W000014"] = "無法設定欄位 %s";
        WriteClientIni("[Server Information]\nComputerName=127.0.0.1\nServerPort=211\n");
        RegisterRecordingReportServer(server.log, Variant("JOB 7"));
    }
    void TearDown() override {
        Close();
        UnregisterOleFactory("ReportCounterS.dmReportCounter");
    }

    // Opens the dialog through the controller with the given host options.
    TfrmKelt58* Open(const Variant& hostOptions = HostOptionTable({{"FEP", true}})) {
        TfrmKelt58* d =
            OpenController(fakes.NewManager(),
                           Variant::ArrayOf({"NU", "SD01", "DS01", Variant(4711), hostOptions}));
        if (d != nullptr) {
            d->Show();
            DrainEvents();
        }
        return d;
    }
    bool Shown(const std::string& ref) const {
        return std::any_of(presenter.Messages().begin(), presenter.Messages().end(),
                           [&](const auto& m) { return m.Text.find(ref) != std::string::npos; });
    }
    // The requests that reached the application server.
    std::vector<Variant> Sent() const {
        std::vector<Variant> requests;
        for (const RecordedCall& c : *server.log)
            if (c.name == "Request")
                requests.push_back(c.args[0].value);
        return requests;
    }
    // The last F2 window call's argument array.
    Variant LastF2Args() const {
        const auto calls = fakes.CallsOf("F2GetData");
        return calls.empty() ? Variant() : calls.back().args[0].value;
    }
    // The names of PageEndControls, in order.
    static std::vector<std::string> PageEnds(TfrmKelt58* d) {
        std::vector<std::string> names;
        for (const auto& c : d->PageEndControls)
            names.push_back(c.Get() != nullptr ? c.Get()->Name() : "(freed)");
        return names;
    }
    static std::vector<std::string> Items(TComboBox* combo) {
        std::vector<std::string> items;
        for (int i = 0; i < combo->Items()->Count(); ++i)
            items.push_back(combo->Items()->Strings(i));
        return items;
    }
    // Chooses an item of a combo box as the user does: focus, then the arrow keys.
    static void Choose(TComboBox* combo, int item) {
        combo->SetFocus();
        DrainEvents();
        while (combo->ItemIndex() < item)
            PressKey(VK_DOWN);
        while (combo->ItemIndex() > item)
            PressKey(VK_UP);
        DrainEvents();
    }

    ScopedNow clock{EncodeDateTime({2026, 12, 10, 9, 30})};
    ScopedEnv acp{"NUV_ACP", "950"};
    FakeServices fakes;
    FakeObject server;
    ScriptedPresenter presenter;
    ScopedPresenter scoped{presenter};
};

} // namespace

// What a user finds on opening: today's date, the classifications, the customer selection on,
// the e-mail off with its method and address disabled, and the pages in their order.
TEST_F(Kelt58Test, OpensWithTheDefaultsOfItsPages) {
    TfrmKelt58* d = Open();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(presenter.Messages().empty());
    EXPECT_EQ(d->ProgramCode, "KELT58");
    EXPECT_EQ(d->ServiceFlags, 13);
    EXPECT_FALSE(d->F2Window.IsEmptyOrNull());
    EXPECT_FALSE(d->Phrase.IsEmptyOrNull());
    EXPECT_FALSE(d->Counter.IsEmptyOrNull());

    EXPECT_EQ(d->me01->Text(), "2026/12/10");
    EXPECT_EQ(Items(d->cbo02), (std::vector<std::string>{"大分類", "中分類", "小分類", "細分類"}));
    EXPECT_EQ(d->cbo02->ItemIndex(), 0);
    EXPECT_TRUE(d->chk05->Checked());
    EXPECT_TRUE(d->sp06->Enabled());
    EXPECT_FALSE(d->chk09->Checked());
    EXPECT_TRUE(d->chk09->Enabled());
    EXPECT_EQ(d->cbo10->ItemIndex(), 0);
    for (TControl* c :
         std::initializer_list<TControl*>{d->lbl10, d->cbo10, d->lbl11, d->ed11, d->btn11})
        EXPECT_FALSE(c->Enabled()) << c->Name();
    EXPECT_EQ(d->RequiredFields, "me01");
    EXPECT_NE(d->DateFieldList.find("me01"), std::string::npos);

    // The parts where F2 opens a window say which one.
    EXPECT_EQ(d->sp03->ListBox->Hint(), "[F2]品號類別查詢");
    EXPECT_EQ(d->sp04->edBegin->Hint(), "[F2]品號資料查詢");
    EXPECT_EQ(d->sp06->edFinal->Hint(), "[F2]客戶資料查詢");
    EXPECT_NE(d->sp06->chkUserChoice->Hint(), "[F2]客戶資料查詢");

    EXPECT_EQ(d->sp04->edBegin->MaxLength(), 40);
    EXPECT_EQ(d->sp04->edFinal->MaxLength(), 40);
    EXPECT_EQ(d->sp06->edBegin->MaxLength(), 10);
    EXPECT_EQ(d->sp06->edFinal->MaxLength(), 10);
    EXPECT_EQ(PageEnds(d), (std::vector<std::string>{"sp04", "chk09", "sp04", "cbo10"}));

    ASSERT_GE(d->pgOption->PageCount(), 3);
    EXPECT_EQ(d->pgOption->Pages(0), d->tsOption1);
    EXPECT_EQ(d->pgOption->Pages(1), d->TabSheet1);
    EXPECT_EQ(d->TabSheet1->Caption(), "進階選項");
    EXPECT_EQ(d->Width(), 579);
    EXPECT_FALSE(d->chk07->Visible());

    // The classification list follows the settings each time a dialog opens; a dialog that is
    // initialised again keeps what its user entered.
    d->me01->SetText("2027/01/05");
    EXPECT_EQ(ctl->OpenDialog(Variant::ArrayOf({"XX", "YY", "ZZ", Variant(1), Variant()})), -1);
    EXPECT_EQ(d->me01->Text(), "2027/01/05");
    EXPECT_EQ(d->cbo02->Items()->Count(), 4);
}

// The classification list skips settings without a value; the item's position (not the
// setting's number) is the classification number the category look-up receives.
TEST_F(Kelt58Test, ClassificationListFromTheSettingsThatHaveAValue) {
    struct Case {
        const char* name;
        Settings settings;
        std::vector<std::string> items;
        int choose;
        const char* lookupParam;
    };
    const Case cases[] = {
        {"all four",
         {{"Sys007", "甲"}, {"Sys008", "乙"}, {"Sys009", "丙"}, {"Sys010", "丁"}},
         {"甲", "乙", "丙", "丁"},
         3,
         "4"},
        {"only Sys008 and Sys010", {{"Sys008", "乙"}, {"Sys010", "丁"}}, {"乙", "丁"}, 1, "2"},
        {"empty values", {{"Sys007", ""}, {"Sys009", "丙"}, {"Sys010", ""}}, {"丙"}, 0, "1"},
        {"none", {}, {}, -1, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.Host->Settings = c.settings;
        TfrmKelt58* d = Open();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(Items(d->cbo02), c.items);
        EXPECT_EQ(d->cbo02->ItemIndex(), c.items.empty() ? -1 : 0);
        d->cbo02->SetItemIndex(c.choose);
        EXPECT_EQ(d->ClassificationNumber(), c.choose + 1);

        fakes.Host->F2Answer = Variant::ArrayOf({Variant::ArrayOf({"A01", "原料"})});
        d->Perform(WM_F2LOOKUP, 0, reinterpret_cast<LPARAM>(d->sp03->ListBox));
        const Variant args = LastF2Args();
        ASSERT_TRUE(args.IsArray());
        EXPECT_EQ(args[0].ToString(), "INVMA");
        EXPECT_EQ(args[1].ToString(), "02");
        EXPECT_TRUE(args[2].SameAs(Variant::ArrayOf({c.lookupParam})));

        Variant request;
        ASSERT_TRUE(d->PrepareRequest());
        const Variant& cls = d->Request[2][2];
        EXPECT_EQ(cls[0].ToInt(), c.choose + 1);
        EXPECT_EQ(cls[1].ToString(), c.choose < 0 ? "" : c.items[c.choose]);
        ctl.reset();
        FreeAllForms();
    }
}

// Every look-up of the dialog, row by row: which window opens with which table, key,
// parameters and initial text, and where the answer lands.
TEST_F(Kelt58Test, LookUpTableRowByRow) {
    TfrmKelt58* d = Open();
    ASSERT_NE(d, nullptr);
    d->cbo02->SetItemIndex(1);
    d->sp04->SetUserChoice(true);
    d->sp04->edBegin->SetText("P-1");
    d->sp06->SetUserChoice(true);
    d->sp06->edFinal->SetText("C9");
    const Variant codeAndName = Variant::ArrayOf({Variant::ArrayOf({"X100", "名稱"})});
    const Variant twoRows =
        Variant::ArrayOf({Variant::ArrayOf({"R1", "一"}), Variant::ArrayOf({"R2", "二"})});

    struct Case {
        const char* name;
        TControl* control;
        const char* table;
        const char* key;
        Variant params;
        const char* initialText;
        Variant answer;
        std::function<bool()> landed;
    };
    const Case cases[] = {
        {"sp03 list: categories of the chosen classification", d->sp03->ListBox, "INVMA", "02",
         Variant::ArrayOf({"2"}), "", twoRows, [&] { return d->sp03->Items()->Count() == 2; }},
        {"sp04 begin: items", d->sp04->edBegin, "INVMB", "01", Variant::ArrayOf({""}), "P-1",
         codeAndName, [&] { return d->sp04->edBegin->Text() == "X100"; }},
        {"sp04 end: items", d->sp04->edFinal, "INVMB", "01", Variant::ArrayOf({""}), "",
         codeAndName, [&] { return d->sp04->edFinal->Text() == "X100"; }},
        {"sp04 list: items", d->sp04->ListBox, "INVMB", "01", Variant::ArrayOf({""}), "", twoRows,
         [&] { return d->sp04->Items()->Count() == 2; }},
        {"sp06 begin: customers", d->sp06->edBegin, "COPMA", "01", Variant::ArrayOf({""}), "",
         codeAndName, [&] { return d->sp06->edBegin->Text() == "X100"; }},
        {"sp06 end: customers", d->sp06->edFinal, "COPMA", "01", Variant::ArrayOf({""}), "C9",
         codeAndName, [&] { return d->sp06->edFinal->Text() == "X100"; }},
        {"sp06 list: customers", d->sp06->ListBox, "COPMA", "01", Variant::ArrayOf({""}), "",
         twoRows, [&] { return d->sp06->Items()->Count() == 2; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.Host->F2Answer = c.answer;
        const auto before = fakes.CallsOf("F2GetData").size();
        d->Perform(WM_F2LOOKUP, 0, reinterpret_cast<LPARAM>(c.control));
        ASSERT_EQ(fakes.CallsOf("F2GetData").size(), before + 1);
        const Variant args = LastF2Args();
        EXPECT_EQ(args[0].ToString(), c.table);
        EXPECT_EQ(args[1].ToString(), c.key);
        EXPECT_TRUE(args[2].SameAs(c.params));
        EXPECT_EQ(args[4].ToString(), c.initialText);
        EXPECT_TRUE(c.landed());
    }

    // me01: the quick-date window; its date replaces the text.
    fakes.Host->InputDayAnswer = "20270315";
    d->Perform(WM_F2LOOKUP, 0, reinterpret_cast<LPARAM>(d->me01));
    ASSERT_EQ(fakes.CallsOf("ShowInputDay").size(), 1u);
    EXPECT_EQ(d->me01->Text(), "2027/03/15");

    // ed11: the phrase window; the chosen phrase replaces the text.
    fakes.Host->PhraseAnswer = "boss@example.com";
    d->Perform(WM_F2LOOKUP, 0, reinterpret_cast<LPARAM>(d->ed11));
    ASSERT_EQ(fakes.CallsOf("GetPhrase").size(), 1u);
    EXPECT_EQ(d->ed11->Text(), "boss@example.com");

    // Other controls open no window of the module.
    const auto f2Calls = fakes.CallsOf("F2GetData").size();
    d->Perform(WM_F2LOOKUP, 0, reinterpret_cast<LPARAM>(d->cbo02));
    d->Perform(WM_F2LOOKUP, 0, reinterpret_cast<LPARAM>(d->chk05));
    EXPECT_EQ(fakes.CallsOf("F2GetData").size(), f2Calls);
    EXPECT_EQ(fakes.CallsOf("GetPhrase").size(), 1u);
}

// Print by customer: unchecking empties and disables the customer selection, checking again
// leaves it empty; e-mail and its method follow.
TEST_F(Kelt58Test, PrintByCustomerGovernsCustomersAndEmail) {
    TfrmKelt58* d = Open();
    ASSERT_NE(d, nullptr);
    d->sp06->SetUserChoice(true);
    d->sp06->edBegin->SetText("C001");
    d->sp06->edFinal->SetText("C099");
    d->sp06->ListBox->AddItem({"C050", "客戶"});

    d->chk05->Click();
    EXPECT_FALSE(d->chk05->Checked());
    EXPECT_FALSE(d->sp06->Enabled());
    EXPECT_EQ(d->sp06->edBegin->Text(), "");
    EXPECT_EQ(d->sp06->edFinal->Text(), "");
    EXPECT_EQ(d->sp06->Items()->Count(), 0);
    EXPECT_FALSE(d->chk09->Enabled());
    EXPECT_FALSE(d->chk09->TabStop());
    EXPECT_FALSE(d->cbo10->TabStop());
    EXPECT_FALSE(d->ed11->TabStop());
    EXPECT_EQ(PageEnds(d), (std::vector<std::string>{"sp04", "edTemp"}));

    d->chk05->Click();
    EXPECT_TRUE(d->sp06->Enabled());
    EXPECT_EQ(d->sp06->edBegin->Text(), "");
    EXPECT_EQ(d->sp06->Items()->Count(), 0);
    EXPECT_TRUE(d->chk09->Enabled());
    EXPECT_TRUE(d->chk09->TabStop());
    EXPECT_EQ(PageEnds(d), (std::vector<std::string>{"sp04", "chk09"}));

    // Printing by customer again turns the e-mail off; an own address asked for before is no
    // longer required, since its field is disabled.
    d->pgOption->SetActivePage(d->TabSheet1);
    DrainEvents();
    d->chk09->Click();
    Choose(d->cbo10, 1);
    EXPECT_EQ(d->RequiredFields, "me01,ed11");
    d->pgOption->SetActivePage(d->tsOption1);
    DrainEvents();
    d->chk05->Click();
    EXPECT_FALSE(d->chk09->Checked());
    EXPECT_FALSE(d->ed11->Enabled());
    EXPECT_EQ(d->cbo10->ItemIndex(), 0);
    EXPECT_EQ(d->RequiredFields, "me01");
}

// E-mail and its sending method: which controls are enabled, which fields are required and
// where Enter leaves the page, through the user's clicks and choices.
TEST_F(Kelt58Test, EmailAndSendingMethodDependencies) {
    TfrmKelt58* d = Open();
    ASSERT_NE(d, nullptr);
    d->pgOption->SetActivePage(d->TabSheet1);
    DrainEvents();

    struct Step {
        const char* name;
        std::function<void()> act;
        bool method;  // lbl10, cbo10
        bool address; // lbl11, ed11, btn11
        const char* required;
        std::vector<std::string> pageEnds;
    };
    const Step steps[] = {
        {"e-mail on", [&] { d->chk09->Click(); }, true, false, "me01", {"sp04", "cbo10"}},
        {"own recipients", [&] { Choose(d->cbo10, 1); }, true, true, "me01,ed11", {"sp04", "ed11"}},
        {"e-mail off", [&] { d->chk09->Click(); }, false, false, "me01", {"sp04", "chk09"}},
        {"e-mail on again: back on the first method",
         [&] { d->chk09->Click(); },
         true,
         false,
         "me01",
         {"sp04", "cbo10"}},
        {"own recipients again",
         [&] { Choose(d->cbo10, 1); },
         true,
         true,
         "me01,ed11",
         {"sp04", "ed11"}},
        {"supplier or customer",
         [&] { Choose(d->cbo10, 0); },
         true,
         false,
         "me01",
         {"sp04", "cbo10"}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        EXPECT_EQ(d->lbl10->Enabled(), s.method);
        EXPECT_EQ(d->cbo10->Enabled(), s.method);
        EXPECT_EQ(d->lbl11->Enabled(), s.address);
        EXPECT_EQ(d->ed11->Enabled(), s.address);
        EXPECT_EQ(d->btn11->Enabled(), s.address);
        EXPECT_EQ(d->RequiredFields, s.required);
        EXPECT_EQ(PageEnds(d), s.pageEnds);
        if (s.address)
            d->ed11->SetText("boss@example.com");
    }
    EXPECT_EQ(d->ed11->Text(), "") << "the first method empties the own address";

    // An empty own address blocks OK through the required-field check.
    Choose(d->cbo10, 1);
    presenter.Clear();
    d->btnOk->Click();
    DrainEvents();
    EXPECT_TRUE(Shown("000037"));
    EXPECT_EQ(FocusedControl(), d->ed11);
}

// The host option "FEP" switches the e-mail options: off, the e-mail controls keep the state of
// the form and the request never asks for e-mail.
TEST_F(Kelt58Test, HostOptionFepOnAndOff) {
    struct Case {
        const char* name;
        Variant options;
        bool on;
    };
    const Case cases[] = {
        {"listed on", HostOptionTable({{"FEP", true}}), true},
        {"listed on, other case", HostOptionTable({{"fep", true}}), true},
        {"not listed", HostOptionTable({{"OTHER", false}}), true},
        {"listed off", HostOptionTable({{"OTHER", true}, {"FEP", false}}), false},
        {"unreadable table", Variant("FEP"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrmKelt58* d = Open(c.options);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->EmailOptionOn(), c.on);
        // Off: the method stays enabled as the form has it; on: it waits for the e-mail box.
        EXPECT_EQ(d->cbo10->Enabled(), !c.on);
        EXPECT_EQ(d->lbl10->Enabled(), !c.on);
        EXPECT_FALSE(d->ed11->Enabled());

        d->chk09->Click();
        ASSERT_TRUE(d->chk09->Checked());
        ASSERT_TRUE(d->PrepareRequest());
        EXPECT_EQ(d->Request[2][7].ToString(), c.on ? "Y" : "N");

        d->chk05->Click(); // print by customer off
        EXPECT_EQ(d->chk09->Enabled(), !c.on);
        EXPECT_EQ(d->chk09->Checked(), !c.on);
        ctl.reset();
        FreeAllForms();
    }
}

// The request: the module's nine conditions with their captions and values, before the
// entries of the report settings and the print date.
TEST_F(Kelt58Test, RequestCarriesTheNineConditions) {
    TfrmKelt58* d = Open();
    ASSERT_NE(d, nullptr);
    d->me01->SetText("2026/12/24");
    d->cbo02->SetItemIndex(1);
    d->sp03->ListBox->AddItem({"A01", "原料"});
    d->sp04->SetUserChoice(true);
    d->sp04->edBegin->SetText("ITEM-001");
    d->sp04->edFinal->SetText("ITEM-999");
    d->sp06->SetUserChoice(false);
    d->sp06->ListBox->AddItem({"C001", "客戶甲"});
    d->chk09->Click();
    d->cbo10->SetItemIndex(1);
    d->cbo10Change(d->cbo10);
    d->ed11->SetText("boss@example.com");

    const int conditions = d->ConditionCount;
    EXPECT_EQ(conditions, 9 + d->BaseEntryCount);
    d->btnOk->Click();
    DrainEvents();
    const std::vector<Variant> sent = Sent();
    ASSERT_EQ(sent.size(), 1u) << "OK sends the request";
    EXPECT_EQ(ctl->ResultCode, 1);
    const Variant& texts = sent[0][1];
    const Variant& data = sent[0][2];
    EXPECT_EQ(texts.ArrayLowBound(), 1);
    EXPECT_EQ(texts.ArrayHighBound(), conditions);

    const std::pair<const char*, const char*> captions[] = {
        {"輸入排程之起始日期", "me01"},
        {"分類方式", "cbo02"},
        {"類別", "sp03"},
        {"選擇品號", "sp04"},
        {"依客戶列印", "chk05"},
        {"選擇客戶", "sp06"},
        {"e-mail", "chk09"},
        {"e-mail Add1", "ed11"},
        {"e-mail Add2", "chk09"},
    };
    for (int i = 1; i <= 9; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(
            texts[i].SameAs(Variant::ArrayOf({captions[i - 1].first, captions[i - 1].second})));
    }
    EXPECT_EQ(data[1].ToString(), "20261224");
    EXPECT_TRUE(data[2].SameAs(Variant::ArrayOf({Variant(2), "中分類"})));
    EXPECT_TRUE(data[3].SameAs(Variant::ArrayOf({ListMarker, Variant::ArrayOf({"A01", "原料"})})));
    EXPECT_TRUE(data[4].SameAs(Variant::ArrayOf({RangeMarker, "ITEM-001", "ITEM-999"})));
    EXPECT_EQ(data[5].ToString(), "Y");
    EXPECT_TRUE(
        data[6].SameAs(Variant::ArrayOf({ListMarker, Variant::ArrayOf({"C001", "客戶甲"})})));
    EXPECT_EQ(data[7].ToString(), "Y");
    EXPECT_EQ(data[8].ToString(), "boss@example.com");
    EXPECT_TRUE(data[9].SameAs(Variant::ArrayOf({"TC004", "COPMA", "MA009"})));
}

// Unchecked boxes, the first sending method and an empty start date: "N", no address and an
// empty text.
TEST_F(Kelt58Test, RequestOfAnEmptyStartAndNoEmail) {
    TfrmKelt58* d = Open();
    ASSERT_NE(d, nullptr);
    d->cbo10->SetItemIndex(0);
    d->cbo10Change(d->cbo10);
    d->ed11->SetText("left over");
    d->me01->SetText(BlankDateText(*d));
    d->chk05->Click();
    ASSERT_TRUE(d->PrepareRequest());
    EXPECT_EQ(d->Request[2][1].ToString(), "");
    EXPECT_EQ(d->Request[2][5].ToString(), "N");
    EXPECT_EQ(d->Request[2][8].ToString(), "");
}

// A start date before today is refused when the field is left, in every date layout; today,
// later dates and an empty field pass.
TEST_F(Kelt58Test, StartDateBeforeTodayIsRefused) {
    struct Case {
        const char* layout;
        const char* text;
        bool refused;
    };
    const Case cases[] = {
        {"1", "2026/12/09", true},  {"1", "2026/12/10", false}, {"1", "2027/01/01", false},
        {"3", "09/12/2026", true},  {"3", "01/01/2027", false}, // later, though smaller as text
        {"2", "12/31/2026", false}, {"2", "01/15/2026", true},  {"5", "115/12/09", true},
        {"5", "116/01/01", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.layout) + " " + c.text);
        fakes.Host->Settings = {{"Sys001", c.layout}, {"Sys002", "/"}, {"Sys007", "大分類"}};
        TfrmKelt58* d = Open();
        ASSERT_NE(d, nullptr);
        d->me01->SetFocus();
        DrainEvents();
        d->me01->SetText(c.text);
        presenter.Clear();
        d->cbo02->SetFocus();
        DrainEvents();
        EXPECT_EQ(Shown("100062"), c.refused);
        EXPECT_EQ(FocusedControl(), c.refused ? static_cast<TWinControl*>(d->me01)
                                              : static_cast<TWinControl*>(d->cbo02));
        ctl.reset();
        FreeAllForms();
    }

    // An emptied field is not refused.
    TfrmKelt58* d = Open();
    ASSERT_NE(d, nullptr);
    d->me01->SetFocus();
    DrainEvents();
    d->me01->SetText(BlankDateText(*d));
    presenter.Clear();
    d->cbo02->SetFocus();
    DrainEvents();
    EXPECT_FALSE(Shown("100062"));
}

// Host values that the dialog cannot take: the message names the field, nothing is put in,
// and the request is neither built nor sent, also when the host asked for an unattended run.
TEST_F(Kelt58Test, BadHostValuesAreRefusedAndNothingIsSent) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, Variant>> values;
        const char* named;
    };
    const std::string longItem(41, 'X');
    const std::string longCustomer(11, 'C');
    const Case cases[] = {
        {"unknown name", {{"me01", "20261224"}, {"me99", "x"}}, "me99"},
        {"label takes no value", {{"lbl01", "x"}}, "lbl01"},
        {"date in the shown layout", {{"me01", "2026/12/24"}}, "me01"},
        {"date that does not exist", {{"me01", "20261332"}}, "me01"},
        {"text for a check box", {{"chk05", "maybe"}}, "chk05"},
        {"array for an edit", {{"ed11", Variant::ArrayOf({"a@b"})}}, "ed11"},
        {"item past the list", {{"cbo02", Variant::ArrayOf({Variant(9), "x"})}}, "cbo02"},
        {"range for a list-only panel",
         {{"sp03", Variant::ArrayOf({RangeMarker, "A", "B"})}},
         "sp03"},
        {"panel value without marker", {{"sp04", Variant::ArrayOf({"A", "B"})}}, "sp04"},
        {"item code longer than 40",
         {{"sp04", Variant::ArrayOf({RangeMarker, longItem, ""})}},
         "sp04"},
        {"customer code longer than 10",
         {{"sp06", Variant::ArrayOf({RangeMarker, "", longCustomer})}},
         "sp06"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrmKelt58* d = Open();
        ASSERT_NE(d, nullptr);
        presenter.Clear();
        EXPECT_EQ(ctl->ApplyValues(HostValues(2, c.values)), 0);
        ASSERT_EQ(presenter.Messages().size(), 1u) << "the host learns why";
        EXPECT_EQ(presenter.Messages().back().Text, std::string("無法設定欄位 ") + c.named);
        EXPECT_EQ(d->me01->Text(), "2026/12/10") << "nothing was put in";
        EXPECT_EQ(d->sp04->edBegin->Text(), d->sp04->BlankMaskText());
        EXPECT_FALSE(d->AutoRun);
        EXPECT_TRUE(d->Request.IsEmpty()) << "no request was built";
        EXPECT_TRUE(Sent().empty()) << "nothing reached the server";
        EXPECT_EQ(d->RequestAccepted, 0);
        ctl.reset();
        FreeAllForms();
    }

    // The same values in their proper form go in.
    TfrmKelt58* d = Open();
    ASSERT_NE(d, nullptr);
    presenter.Clear();
    EXPECT_EQ(ctl->ApplyValues(HostValues(
                  0, {{"me01", "20261224"},
                      {"cbo02", Variant::ArrayOf({Variant(2), "中分類"})},
                      {"sp04", Variant::ArrayOf({RangeMarker, std::string(40, 'X'), ""})},
                      {"chk05", "N"}})),
              0);
    EXPECT_TRUE(presenter.Messages().empty());
    EXPECT_EQ(d->me01->Text(), "2026/12/24");
    EXPECT_EQ(d->cbo02->ItemIndex(), 1);
    EXPECT_EQ(d->sp04->edBegin->Text(), std::string(40, 'X'));
    EXPECT_FALSE(d->chk05->Checked());
}

// Enter on the last control of a page goes on to the next page: the end of sp04 on the basic
// page, the last usable e-mail control on the advanced page.
TEST_F(Kelt58Test, EnterOnThePageEndsGoesToTheNextPage) {
    TfrmKelt58* d = Open();
    ASSERT_NE(d, nullptr);
    d->sp04->SetUserChoice(true);
    d->sp04->edBegin->SetFocus();
    DrainEvents();
    PressKey(VK_RETURN, {}, "\r");
    DrainEvents();
    EXPECT_EQ(d->pgOption->ActivePage(), d->tsOption1) << "the range's start is not its end";
    EXPECT_EQ(FocusedControl(), d->sp04->edFinal);
    PressKey(VK_RETURN, {}, "\r");
    DrainEvents();
    EXPECT_EQ(d->pgOption->ActivePage(), d->TabSheet1);

    d->chk09->Click();
    Choose(d->cbo10, 1);
    d->ed11->SetFocus();
    DrainEvents();
    PressKey(VK_RETURN, {}, "\r");
    DrainEvents();
    EXPECT_GT(d->pgOption->ActivePageIndex(), d->TabSheet1->PageIndex());
}

// Pictures of both pages of the dialog.
TEST_F(Kelt58Test, PicturesOfBothPages) {
    TfrmKelt58* d = Open();
    ASSERT_NE(d, nullptr);
    d->sp03->ListBox->AddItem({"A01", "原料"});
    d->sp03->ListBox->AddItem({"B02", "半成品"});
    d->sp04->SetUserChoice(true);
    d->sp04->edBegin->SetText("ITEM-001");
    d->sp04->edFinal->SetText("ITEM-999");
    d->Show();
    DrainEvents();
    for (auto [page, name] : {std::pair{d->tsOption1, "report-kelt58-page1.png"},
                              std::pair{d->TabSheet1, "report-kelt58-page2.png"}}) {
        d->pgOption->SetActivePage(page);
        DrainEvents();
        if (page == d->TabSheet1) {
            // Mailed to an address of one's own.
            d->chk09->Click();
            Choose(d->cbo10, 1);
            d->ed11->SetText("boss@example.com");
            DrainEvents();
        }
        const std::string path = std::string(NUV_TEST_OUTPUT_DIR) + "/" + name;
        EXPECT_TRUE(GrabForm(d, path));
        EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
    }
}
