// User-defined condition sets through the real dialog and the reference Manager: a report
// dialog with every kind of condition control is filled, saved as a set (the naming dialog
// answered by a script), cleared, recalled and compared control by control; sets of two users,
// shared and private; deletion rights; sets of an older layout of the dialog.
#include "forms/BaseGene.h"

#include "controls/BtChkBox.h"
#include "controls/NuCheckBox.h"
#include "controls/NuRadioButton.h"
#include "controls/NuRadioGroup.h"
#include "controls/NuSpin.h"
#include "controls/SelectPnl.h"
#include "forms/UserDefOptCF.h"
#include "platform/Automation.h"
#include "platform/SystemServices.h"
#include "platform/TestFiles.h"
#include "plugin/DLLBaseCtrller.h"
#include "plugin/DLLRPCtrller.h"
#include "report/Kelt58CF.h"
#include "runtime/FieldWiring.h"
#include "support/FakeAutomation.h"
#include "support/HostObjects.h"
#include "support/LibStrs.h"
#include "uitest/UiTestSupport.h"

#include <gtest/gtest.h>

#include <SQLiteCpp/Database.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace nuv;
using namespace nuv::test;

namespace {

// A report dialog of module KEL with one control of every kind that a set keeps, a group box
// holding one more, and a periodic page whose controls belong to no set.
class TfrmKelSets : public TfrmBaseGene {
public:
    explicit TfrmKelSets(TComponent* AOwner) : TfrmBaseGene(AOwner) {
        SetName("frmKelt58");
        SetBounds(Left(), Top(), 720, 520);
        int order = 0;
        auto place = [&](TWinControl* c, const char* name, TWinControl* parent, int x, int y, int w,
                         int h) {
            c->SetName(name);
            c->SetParent(parent);
            c->SetBounds(x, y, w, h);
            c->SetTabOrder(order++);
        };
        ed11 = new TEdit(this);
        place(ed11, "ed11", tsOption1, 8, 8, 150, 24);
        me01 = new TMaskEdit(this);
        place(me01, "me01", tsOption1, 166, 8, 110, 24);
        me02 = new TMaskEdit(this);
        place(me02, "me02", tsOption1, 284, 8, 80, 24);
        me03 = new TMaskEdit(this);
        place(me03, "me03", tsOption1, 372, 8, 80, 24);
        rg01 = new TNuRadioGroup(this);
        place(rg01, "rg01", tsOption1, 8, 40, 150, 80);
        for (const char* item : {"依品號", "依客戶", "依日期"})
            rg01->Items()->Add(item);
        rdo01 = new TNuRadioButton(this);
        place(rdo01, "rdo01", tsOption1, 166, 40, 90, 22);
        rdo01->SetCaption("明細");
        rdo02 = new TNuRadioButton(this);
        place(rdo02, "rdo02", tsOption1, 166, 66, 90, 22);
        rdo02->SetCaption("彙總");
        se01 = new TNuSpinEdit(this);
        place(se01, "se01", tsOption1, 166, 94, 70, 24);
        se01->SetMaxValue(999);
        cbo01 = new TComboBox(this);
        place(cbo01, "cbo01", tsOption1, 264, 40, 120, 24);
        cbo01->SetStyle(csDropDownList);
        for (const char* item : {"全部", "已出貨", "未出貨"})
            cbo01->Items()->Add(item);
        chk01 = new TBitCheckBox(this);
        place(chk01, "chk01", tsOption1, 264, 70, 120, 22);
        chk01->SetCaption("列印備註");
        chk02 = new TNuCheckBox(this);
        place(chk02, "chk02", tsOption1, 264, 96, 120, 22);
        chk02->SetCaption("含停用品號");
        sp01 = Panel("sp01", "品號", tsOption1, 8, 126, 330, 45);
        place(sp01, "sp01", tsOption1, 8, 126, 330, 45);
        sp02 = Panel("sp02", "出貨日期", tsOption1, 346, 126, 330, 45);
        place(sp02, "sp02", tsOption1, 346, 126, 330, 45);
        sp03 = Panel("sp03", "類別", tsOption1, 8, 178, 330, 110);
        sp03->SetStyle(sp_Discrete);
        place(sp03, "sp03", tsOption1, 8, 178, 330, 110);
        sp04 = Panel("sp04", "客戶", tsOption1, 346, 178, 330, 110);
        sp04->SetStyle(sp_UserChoice);
        place(sp04, "sp04", tsOption1, 346, 178, 330, 110);
        sp05 = Panel("sp05", "業務", tsOption1, 8, 296, 330, 110);
        sp05->SetStyle(sp_UserChoice);
        place(sp05, "sp05", tsOption1, 8, 296, 330, 110);
        gb01 = new TGroupBox(this);
        place(gb01, "gb01", tsOption1, 346, 296, 200, 60);
        gb01->SetCaption("備註");
        ed12 = new TEdit(this);
        ed12->SetName("ed12");
        ed12->SetParent(gb01);
        ed12->SetBounds(8, 20, 180, 24);

        tsPeriodOption = new TTabSheet(this);
        tsPeriodOption->SetName("tsPeriodOption");
        tsPeriodOption->SetPageControl(pgOption);
        tsPeriodOption->SetCaption("週期");
        ed21 = new TEdit(this);
        ed21->SetName("ed21");
        ed21->SetParent(tsPeriodOption);
        ed21->SetBounds(8, 8, 120, 24);
        pgOption->SetActivePage(tsOption1);
    }

    TSelectPanel* Panel(const char* name, const char* caption, TWinControl*, int, int, int, int) {
        auto* p = new TSelectPanel(this);
        p->SetName(name);
        p->SetCaption(caption);
        return p;
    }

    void DefineProgram() override {
        TfrmBaseGene::DefineProgram();
        SetDateFields("me01,sp02");
        SetYearMonthFields(*this, "me02");
        ServiceFlags |= sf_Counter;
    }

    TEdit *ed11, *ed12, *ed21;
    TMaskEdit *me01, *me02, *me03;
    TNuRadioGroup* rg01;
    TNuRadioButton *rdo01, *rdo02;
    TNuSpinEdit* se01;
    TComboBox* cbo01;
    TBitCheckBox* chk01;
    TNuCheckBox* chk02;
    TSelectPanel *sp01, *sp02, *sp03, *sp04, *sp05;
    TGroupBox* gb01;
    TTabSheet* tsPeriodOption;
};

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every value and state a user would see of the dialog's condition controls, by name.
using TSnapshot = std::map<std::string, std::string>;

std::string Rows(TSelectPanel* p) {
    std::string text;
    TListItems* items = p->ListBox->Items();
    for (int i = 0; i < items->Count(); ++i) {
        text += "[" + items->Item(i)->Caption();
        for (int j = 0; j < items->Item(i)->SubItems()->Count(); ++j)
            text += "|" + items->Item(i)->SubItems()->Strings(j);
        text += "]";
    }
    return text;
}

// The value and state of each named control: texts, item indexes, check marks, and of a
// selection panel its range, list rows, active part and whether it takes input.
TSnapshot Snapshot(TComponent* d, std::initializer_list<const char*> names) {
    TSnapshot s;
    auto yn = [](bool b) { return std::string(b ? "Y" : "N"); };
    for (const char* n : names) {
        TComponent* c = d->FindComponent(n);
        if (c == nullptr) {
            ADD_FAILURE() << "no control " << n;
            continue;
        }
        if (auto* p = dynamic_cast<TSelectPanel*>(c)) {
            s[std::string(n) + ".range"] = p->edBegin->Text() + "~" + p->edFinal->Text();
            s[std::string(n) + ".rows"] = Rows(p);
            s[std::string(n) + ".choice"] = p->IsRangeActive() ? "range" : "list";
            s[std::string(n) + ".enabled"] = yn(p->Enabled());
            continue;
        }
        std::string& v = s[n];
        if (auto* e = dynamic_cast<TCustomEdit*>(c))
            v = e->Text();
        else if (auto* rg = dynamic_cast<TNuRadioGroup*>(c))
            v = std::to_string(rg->ItemIndex());
        else if (auto* rb = dynamic_cast<TNuRadioButton*>(c))
            v = yn(rb->Checked());
        else if (auto* cb = dynamic_cast<TComboBox*>(c))
            v = std::to_string(cb->ItemIndex());
        else if (auto* bc = dynamic_cast<TBitCheckBox*>(c))
            v = yn(bc->Checked());
        else if (auto* nc = dynamic_cast<TNuCheckBox*>(c))
            v = yn(nc->Checked());
        if (auto* se = dynamic_cast<TNuSpinEdit*>(c))
            v = std::to_string(se->Value());
        if (auto* w = dynamic_cast<TControl*>(c); w != nullptr && !w->Enabled())
            v += " (disabled)";
    }
    return s;
}

TSnapshot Snapshot(TfrmKelSets* d) {
    return Snapshot(d, {"ed11", "ed12", "me01", "me02", "me03", "rg01", "rdo01", "rdo02", "se01",
                        "cbo01", "chk01", "chk02", "sp01", "sp02", "sp03", "sp04", "sp05"});
}

TSnapshot Snapshot(TfrmKelt58* d) {
    return Snapshot(d, {"me01", "cbo02", "sp03", "chk05", "sp06", "sp04", "edTemp", "chk09",
                        "cbo10", "ed11", "chk07"});
}

// What a user fills in; the texts of each code page hold field separators, quotes and
// Chinese punctuation.
struct TFilling {
    std::string Text;  // ed11
    std::string Note;  // ed12
    std::string Item1; // row names of sp03
    std::string Item2;
    std::string Customer; // a row name of sp04
};

struct TSetup {
    const char* Name;
    const char* CodePage; // the interface's; the database's is 950
    const char* Company;  // NUV01: yyyy/mm/dd; NUV02: Minguo yyy.mm.dd
    TFilling Fill;
};

const TSetup Setups[] = {
    {"Big5",
     "950",
     "NUV01",
     {"螺絲;M6,\"長\"~「特」", "備註：'月底'、結", "螺絲", "墊圈;\"x\"", "大同公司"}},
    {"GB",
     "936",
     "NUV02",
     {"螺丝;M6,\"长\"~「特」", "备注：'月底'、结", "螺丝", "垫圈;\"x\"", "大同公司"}},
};

class UserSetsTest : public ::testing::TestWithParam<TSetup> {
protected:
    static void SetUpTestSuite() { setenv("NUV_PEMTAL", NUV_PEMTAL_PATH, 0); }

    void SetUp() override {
        SetModuleFileNameOverride(dir / "Kelt58C.so");
        previous = frmBaseGeneClass;
        frmBaseGeneClass = DialogClassOf<TfrmKelSets>;
        const std::string db = dir / "NuvDemo.db";
        {
            SQLite::Database sql(db, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            sql.exec(ReadFile(std::filesystem::path(NUV_DEMO_SQL_DIR) / "schema.sql"));
            sql.exec(ReadFile(std::filesystem::path(NUV_DEMO_SQL_DIR) / "data.sql"));
        }
        registry.emplace(
            "NUV_REGISTRY",
            dir.Write("registry.reg",
                      "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\NUV\\Tarvel]\n"
                      "\"ClientPath\"=\"" +
                          dir / "App" + "\"\n\"DemoDatabase\"=\"" + db +
                          "\"\n\n[HKEY_CLASSES_ROOT\\ProwenWorkCenter.Manager\\InprocServer32]\n"
                          "@=\"" NUV_MANAGER_MODULE "\"\n"));
        dir.Write("App/TarvelC.ini", std::string("[Server Information]\nComputerName=127.0.0.1\n"
                                                 "[CodePage]\nUICodePage=") +
                                         GetParam().CodePage + "\nDBCodePage=950\n");
        manager = Variant(CreateOleObject("ProwenWorkCenter.Manager"));
        // The application server that the report dialog asks for the user's rights on opening.
        RegisterRecordingReportServer(serverCalls);
    }

    void TearDown() override {
        controllers.clear();
        FreeAllForms();
        DrainEvents();
        manager = Variant();
        UnregisterOleFactory("ReportCounterS.dmReportCounter");
        frmBaseGeneClass = previous;
        SetModuleFileNameOverride("");
    }

    // The dialog of a user, shown with its user-condition panel open.
    template <class TDialog = TfrmKelSets>
    TDialog* OpenAs(const std::string& user, const std::string& group) {
        frmBaseGeneClass = DialogClassOf<TDialog>;
        controllers.emplace_back(NewController());
        TDLLBaseController* ctl = controllers.back().get();
        ctl->Manager = manager;
        const int opened = ctl->OpenDialog(
            Variant::ArrayOf({user, GetParam().Company, "DEMO", Variant(0), Variant::MakeNull()}));
        std::string said;
        for (const auto& m : presenter.Messages())
            said += m.Text + "\n";
        EXPECT_EQ(opened, 0) << said;
        auto* d = dynamic_cast<TDialog*>(static_cast<TDLLRPCtrller*>(ctl)->Form);
        if (opened != 0 || d == nullptr)
            throw std::runtime_error("the dialog of " + user + " did not open");
        d->UserGroup = group;
        d->Show();
        DrainEvents();
        d->USERBTN01->Click();
        DrainEvents();
        return d;
    }

    // Saves the conditions under a code and name through the naming dialog.
    void Save(TfrmBaseGene* d, const std::string& code, const std::string& name, bool shared,
              int pick = 0) {
        presenter.OnModalForm([=](TCustomForm& f) {
            auto& form = dynamic_cast<TfrmUserDefOpt&>(f);
            if (pick > 0) {
                form.UserCbo01->SetItemIndex(pick);
                form.UserCbo01Change(form.UserCbo01);
            } else {
                form.Usered01->SetText(code);
            }
            form.Usered02->SetText(name);
            if (shared) {
                EXPECT_TRUE(form.UserChk01->Enabled());
                form.UserChk01->SetChecked(true);
            } else if (!form.UserChk01->Enabled()) {
                // a user outside the super-user group cannot share
                form.UserChk01->SetChecked(true);
                EXPECT_FALSE(form.UserChk01->Enabled());
                form.UserChk01->SetChecked(false);
            }
            form.UserbtnOk->Click();
        });
        d->USERF201->Click();
        DrainEvents();
    }

    // The rows of the set list as "code|name|shared|owner".
    static std::vector<std::string> Listed(TfrmBaseGene* d) {
        std::vector<std::string> rows;
        TListItems* items = d->USERLV01->Items();
        for (int i = 0; i < items->Count(); ++i) {
            std::string r = items->Item(i)->Caption();
            for (int j = 0; j < items->Item(i)->SubItems()->Count(); ++j)
                r += "|" + items->Item(i)->SubItems()->Strings(j);
            rows.push_back(r);
        }
        return rows;
    }

    static void Focus(TfrmBaseGene* d, const std::string& code, const std::string& owner) {
        TListItems* items = d->USERLV01->Items();
        for (int i = 0; i < items->Count(); ++i)
            if (items->Item(i)->Caption() == code &&
                items->Item(i)->SubItems()->Strings(2) == owner) {
                d->USERLV01->SetItemFocused(items->Item(i));
                return;
            }
        ADD_FAILURE() << "no set " << code << " of " << owner;
    }

    // A fixed text as the interface shows it.
    std::string Ui(const std::string& text) {
        if (GetParam().CodePage != std::string("936"))
            return text;
        return ManagerConvertElement(manager, TConvertCall::BIG5toGB, text).ToString();
    }

    // A date of the dialog's layout.
    static std::string Shown(TfrmBaseGene* d, const std::string& yyyymmdd) {
        return FormatDateByLayout(static_cast<TDateType>(d->DateLayout), d->DateSeparator,
                                  DateFromYYYYMMDD(yyyymmdd));
    }

    void Fill(TfrmKelSets* d) {
        const TFilling& f = GetParam().Fill;
        d->ed11->SetText(f.Text);
        d->ed12->SetText(f.Note);
        d->CheckDateField(d->me01, true);
        d->me01->SetText(Shown(d, "20261231"));
        d->CheckYearMonthField(d->me02, true);
        d->me02->SetText(FormatYearMonthByLayout(static_cast<TDateType>(d->DateLayout),
                                                 d->DateSeparator, DateFromYYYYMMDD("20261101")));
        d->me03->SetText("A-7");
        d->rg01->SetItemIndex(2);
        d->rdo02->SetChecked(true);
        d->se01->SetValue(42);
        d->cbo01->SetItemIndex(2);
        d->chk01->SetChecked(true);
        d->chk02->SetChecked(true);
        d->sp01->edBegin->SetText("A001");
        d->sp01->edFinal->SetText("A999");
        d->CheckDateField(d->sp02, true);
        d->sp02->edBegin->SetText(Shown(d, "20261201"));
        d->sp02->edFinal->SetText(Shown(d, "20261231"));
        d->sp03->ListBox->AddItem({"B02", "螺帽"});
        d->sp03->ListBox->AddItem({"A01", f.Item1});
        d->sp03->ListBox->AddItem({"C03", f.Item2});
        d->sp04->SetUserChoice(false);
        d->sp04->ListBox->AddItem({"C0001", f.Customer});
        d->sp05->SetUserChoice(true);
        d->sp05->edBegin->SetText("S01");
        d->ed21->SetText("週期不存");
    }

    // Changes what clearing leaves alone, so that the recall has to put it back.
    static void Disturb(TfrmKelSets* d) {
        d->cbo01->SetItemIndex(0);
        d->chk01->SetChecked(false);
        d->chk02->SetChecked(false);
        d->rdo01->SetChecked(true);
        d->sp04->SetUserChoice(true);
        d->sp05->SetUserChoice(false);
    }

    // Fills every condition control, saves, clears, recalls, and expects every value and state
    // back, in this dialog and in a second one of the same user. Returns what was filled.
    template <class TDialog> TSnapshot RoundTrip(TDialog* d) {
        Fill(d);
        const TSnapshot filled = Snapshot(d);
        Save(d, "W1", "出口", false);
        EXPECT_EQ(Listed(d), std::vector<std::string>{"W1|出口|N|MARY"});
        EXPECT_EQ(presenter.ModalForms(), std::vector<std::string>{"TfrmUserDefOpt"});

        d->USERF2004->Click();
        EXPECT_NE(Snapshot(d), filled);
        Disturb(d);
        Focus(d, "W1", "MARY");
        d->USERLV01DblClick(d->USERLV01);
        DrainEvents();
        EXPECT_EQ(Snapshot(d), filled);
        EXPECT_TRUE(presenter.Messages().empty()) << presenter.Messages().front().Text;

        // A second dialog of the same user lists the set and recalls it into fresh controls.
        auto* again = OpenAs<TDialog>("MARY", "001");
        EXPECT_EQ(Listed(again), std::vector<std::string>{"W1|出口|N|MARY"});
        Focus(again, "W1", "MARY");
        again->N1->Click();
        DrainEvents();
        EXPECT_EQ(Snapshot(again), filled);
        EXPECT_TRUE(presenter.Messages().empty()) << presenter.Messages().front().Text;
        return filled;
    }

    // The report dialog: a start date after today, the last classification, three categories,
    // customers as a list, items as a range, and mail to an address of one's own.
    void Fill(TfrmKelt58* d) {
        const TFilling& f = GetParam().Fill;
        d->me01->SetText(Shown(d, "20301231"));
        d->cbo02->SetItemIndex(d->cbo02->Items()->Count() - 1);
        d->sp03->ListBox->AddItem({"B02", "螺帽"});
        d->sp03->ListBox->AddItem({"A01", f.Item1});
        d->sp03->ListBox->AddItem({"C03", f.Item2});
        d->chk05->SetChecked(true);
        d->chk05Click(d->chk05);
        d->sp06->SetUserChoice(false);
        d->sp06->ListBox->AddItem({"C0001", f.Customer});
        d->sp04->SetUserChoice(true);
        d->sp04->edBegin->SetText("A001");
        d->sp04->edFinal->SetText(f.Item2);
        d->edTemp->SetText(f.Note);
        d->chk09->SetChecked(true);
        d->chk09Click(d->chk09);
        d->cbo10->SetItemIndex(1);
        d->cbo10Change(d->cbo10);
        d->ed11->SetText(f.Text);
    }

    static void Disturb(TfrmKelt58* d) {
        d->cbo02->SetItemIndex(0);
        d->sp04->SetUserChoice(false);
        d->sp06->SetUserChoice(true);
        d->cbo10->SetItemIndex(0);
        d->cbo10Change(d->cbo10);
    }

    TempDir dir;
    std::shared_ptr<CallLog> serverCalls = std::make_shared<CallLog>();
    std::optional<ScopedEnv> registry;
    ScopedEnv acp{"NUV_ACP", "950"};
    ScriptedPresenter presenter;
    ScopedPresenter scoped{presenter};
    TfrmBaseGeneClass previous = nullptr;
    Variant manager;
    std::vector<std::unique_ptr<TDLLBaseController>> controllers;
};

} // namespace

TEST_P(UserSetsTest, EveryConditionComesBackAsItWasSaved) {
    TfrmKelSets* d = OpenAs("MARY", "001");
    ASSERT_TRUE(d->USERPAN03->Visible());
    // The caption heads the panel, the button row follows it, the list fills the rest.
    EXPECT_LT(d->USERPAN01->Top(), d->USERPAN02->Top());
    EXPECT_EQ(d->USERPAN01->Top() + d->USERPAN01->Height(), d->USERPAN02->Top());
    EXPECT_EQ(d->USERPAN02->Top() + d->USERPAN02->Height(), d->USERLV01->Top());
    EXPECT_TRUE(d->USERBTN02->Visible());
    EXPECT_FALSE(d->USERBTN01->Visible());
    EXPECT_TRUE(Listed(d).empty());

    const TSnapshot filled = RoundTrip(d);

    // Clearing empties texts, ranges and lists and keeps combo and check boxes.
    d->USERF2004->Click();
    TSnapshot cleared = Snapshot(d);
    EXPECT_EQ(cleared["ed11"], "");
    EXPECT_EQ(cleared["ed12"], "");
    EXPECT_EQ(cleared["sp01.range"], "~");
    EXPECT_EQ(cleared["sp03.rows"], "");
    EXPECT_EQ(cleared["sp04.rows"], "");
    EXPECT_EQ(cleared["rg01"], "0");
    EXPECT_EQ(cleared["se01"], "0");
    EXPECT_EQ(cleared["cbo01"], filled.at("cbo01"));
    EXPECT_EQ(cleared["chk01"], "Y");
    // The periodic page is none of the set's business.
    EXPECT_EQ(d->ed21->Text(), "週期不存");
    d->ed21->SetText("");
    Focus(d, "W1", "MARY");
    d->USERLV01DblClick(d->USERLV01);
    EXPECT_EQ(d->ed21->Text(), "");
    // The recalled dates are in the dialog's own layout.
    EXPECT_EQ(d->sp02->edBegin->Text(), Shown(d, "20261201"));
}

TEST_P(UserSetsTest, EveryConditionOfTheReportDialogComesBackAsItWasSaved) {
    RoundTrip(OpenAs<TfrmKelt58>("MARY", "001"));
}

TEST_P(UserSetsTest, TextsAreStoredInTheDatabaseCodePageByteForByte) {
    TfrmKelSets* d = OpenAs("MARY", "001");
    Fill(d);
    Save(d, "碼", GetParam().Fill.Text, false);

    // What the Manager keeps is the Traditional text, byte for byte, whatever the interface.
    Variant counter = ManagerService(manager, TManagerService::Counter);
    Variant params = Variant::ArrayOf({"2", GetParam().Company, "MARY", "KELT58", "碼"});
    const Variant answer =
        CounterGetCounter(counter, "GetUserDEFOption", params, GetParam().Company, "DEMO");
    ASSERT_TRUE(answer.IsArray());
    std::map<std::string, Variant> lines;
    for (int i = 1; i <= answer[0].ToInt(); ++i)
        lines[answer[i][0].ToString()] = answer[i];
    EXPECT_EQ(lines.size(), 18u); // every condition control, and edPrintDate of the system page
    EXPECT_EQ(lines.count("ed21"), 0u);
    EXPECT_EQ(lines["ed11"][1].ToString(), Setups[0].Fill.Text);
    EXPECT_EQ(lines["ed12"][1].ToString(), Setups[0].Fill.Note);
    EXPECT_TRUE(lines["me01"].SameAs(Variant::ArrayOf({"me01", "20261231", "", ""})));
    EXPECT_TRUE(lines["me02"].SameAs(Variant::ArrayOf({"me02", "202611", "", ""})));
    EXPECT_TRUE(
        lines["sp02"].SameAs(Variant::ArrayOf({"sp02", "20261201~20261231", "sp_Range", ""})));
    EXPECT_TRUE(lines["sp05"].SameAs(Variant::ArrayOf({"sp05", "S01~", "sp_UserChoice", "Y"})));
    EXPECT_EQ(lines["sp04"][3].ToString(), "N");
    EXPECT_EQ(lines["sp03"][1].ArrayCount(), 3);
    EXPECT_TRUE(lines["rg01"].SameAs(Variant::ArrayOf({"rg01", "2", "", ""})));
    EXPECT_TRUE(lines["chk02"].SameAs(Variant::ArrayOf({"chk02", "Y", "", ""})));
    EXPECT_EQ(Listed(d).front(), "碼|" + GetParam().Fill.Text + "|N|MARY");
}

TEST_P(UserSetsTest, SharedSetsAreSeenByEveryUserPrivateOnesByTheirOwner) {
    TfrmKelSets* super = OpenAs("DS", "000000");
    Fill(super);
    Save(super, "S1", "共用", true);
    Save(super, "P1", "私人", false);
    TfrmKelSets* mary = OpenAs("MARY", "001");
    Save(mary, "S1", "MARY的", false);
    // The same code of another owner is a second row, not an overwrite.
    EXPECT_EQ(Listed(mary), (std::vector<std::string>{"S1|共用|Y|DS", "S1|MARY的|N|MARY"}));
    EXPECT_TRUE(presenter.Messages().empty());

    TfrmKelSets* john = OpenAs("JOHN", "001");
    EXPECT_EQ(Listed(john), std::vector<std::string>{"S1|共用|Y|DS"});
    // John recalls the shared set.
    Focus(john, "S1", "DS");
    john->USERLV01DblClick(john->USERLV01);
    EXPECT_EQ(john->ed11->Text(), GetParam().Fill.Text);

    // Saving again under one's own code asks first; No keeps the old set.
    presenter.Answer(mrNo);
    Save(mary, "S1", "改名", false, 2);
    ASSERT_EQ(presenter.Messages().size(), 1u);
    EXPECT_NE(presenter.Messages()[0].Text.find("S1"), std::string::npos);
    EXPECT_EQ(presenter.Messages()[0].Kind, mtConfirmation);
    EXPECT_EQ(Listed(mary)[1], "S1|MARY的|N|MARY");
    presenter.Answer(mrYes);
    Save(mary, "S1", "改名", false, 2);
    EXPECT_EQ(Listed(mary), (std::vector<std::string>{"S1|共用|Y|DS", "S1|改名|N|MARY"}));
    EXPECT_EQ(Listed(OpenAs("MARY", "001")), Listed(mary));
}

TEST_P(UserSetsTest, OnlyTheOwnerOrASuperUserDeletes) {
    TfrmKelSets* super = OpenAs("DS", "000000");
    Save(super, "S1", "共用", true);
    TfrmKelSets* mary = OpenAs("MARY", "001");
    Save(mary, "M1", "MARY的", false);
    ASSERT_EQ(Listed(mary).size(), 2u);

    // Mary may not delete the super user's set.
    Focus(mary, "S1", "DS");
    mary->USERF202->Click();
    ASSERT_EQ(presenter.Messages().size(), 1u);
    EXPECT_EQ(presenter.Messages()[0].Kind, mtError);
    EXPECT_NE(presenter.Messages()[0].Text.find(Ui("無法刪除")), std::string::npos);
    EXPECT_EQ(Listed(mary).size(), 2u);

    // Her own: asked, No keeps it, Yes deletes it (Ctrl+Del's pop-up item).
    presenter.Clear();
    Focus(mary, "M1", "MARY");
    presenter.Answer(mrNo);
    mary->N2->Click();
    EXPECT_EQ(Listed(mary).size(), 2u);
    presenter.Answer(mrYes);
    mary->N2->Click();
    EXPECT_EQ(Listed(mary), std::vector<std::string>{"S1|共用|Y|DS"});
    EXPECT_EQ(Listed(OpenAs("MARY", "001")), std::vector<std::string>{"S1|共用|Y|DS"});

    // A super user deletes the set of another.
    Save(OpenAs("ADMIN", "000000"), "A1", "另外", true);
    TfrmKelSets* super2 = OpenAs("DS", "000000");
    Focus(super2, "A1", "ADMIN");
    presenter.Answer(mrYes);
    super2->USERF202->Click();
    EXPECT_EQ(Listed(OpenAs("MARY", "001")), std::vector<std::string>{"S1|共用|Y|DS"});

    // Nothing focused, nothing done.
    presenter.Clear();
    super2->USERLV01->SetItemFocused(nullptr);
    super2->USERF202->Click();
    super2->USERLV01DblClick(super2->USERLV01);
    EXPECT_TRUE(presenter.Messages().empty());
}

TEST_P(UserSetsTest, ASetOfAnOlderLayoutAppliesWhatFitsAndNamesTheRest) {
    TfrmKelSets* d = OpenAs("MARY", "001");
    // A set stored by an older dialog, put straight into the Manager.
    auto line = [](std::initializer_list<Variant> e) { return Variant::ArrayOf(e); };
    Variant set = Variant::ArrayOf({
        line({"ed11", "舊值", "", ""}),
        line({"edGone", "x", "", ""}),         // a control that is gone
        line({"sp03", "A~B", "sp_Range", ""}), // a list-only panel stored as range
        line({"sp01", Variant::ArrayOf({Variant::ArrayOf({"A"})}), "sp_Discrete", ""}),
        line({"rg01", "七", "", ""}),                        // not a number
        line({"cbo01", "9", "", ""}),                        // no such item
        line({"me01", "2026133", "", ""}),                   // a date that does not read
        line({"sp02", "20261301~20261231", "sp_Range", ""}), // likewise, in a range
        line({"chk01", "maybe", "", ""}),
        line({"se01", "17", "", ""}),
        line({"sp05", "Q1~Q9", "sp_UserChoice", "Y"}),
        Variant("not a line"),
    });
    const std::string company = GetParam().Company;
    Variant params = Variant::ArrayOf({company, "MARY", "OLD", "舊版", "KELT58", set, "N"});
    CounterGetCounter(ManagerService(manager, TManagerService::Counter), "InsertUserDEFOption",
                      params, company, "DEMO");
    d->LoadConditionSets();
    d->sp03->ListBox->AddItem({"K1", "留著"});
    d->sp01->edBegin->SetText("keep");
    d->me01->SetText("");
    const TSnapshot before = Snapshot(d);

    Focus(d, "OLD", "MARY");
    d->USERLV01DblClick(d->USERLV01);
    TSnapshot after = Snapshot(d);
    EXPECT_EQ(after["ed11"], GetParam().CodePage == std::string("936") ? "旧值" : "舊值");
    EXPECT_EQ(after["se01"], "17");
    EXPECT_EQ(after["sp05.range"], "Q1~Q9");
    EXPECT_EQ(after["sp05.choice"], "range");
    // Everything else stayed as it was, whole.
    for (const char* unchanged :
         {"sp03.rows", "sp01.range", "sp01.rows", "rg01", "cbo01", "me01", "sp02.range", "chk01"})
        EXPECT_EQ(after[unchanged], before.at(unchanged)) << unchanged;

    ASSERT_EQ(presenter.Messages().size(), 1u);
    const std::string& text = presenter.Messages()[0].Text;
    EXPECT_EQ(presenter.Messages()[0].Kind, mtWarning);
    for (const char* skipped :
         {"edGone", "sp03", "sp01", "rg01", "cbo01", "me01", "sp02", "chk01", "#12"})
        EXPECT_NE(text.find(skipped), std::string::npos) << skipped << " in " << text;
    EXPECT_EQ(text.find("se01"), std::string::npos);
}

TEST_P(UserSetsTest, TheNamingDialogRefusesBlankAndOverlongEntries) {
    TfrmKelSets* d = OpenAs("MARY", "001");
    struct Case {
        std::string code, name, message;
    } cases[] = {
        {"  ", "名稱", Ui("[自訂代號] 欄位不可空白")},
        {"C1", " ", Ui("[自訂名稱] 欄位不可空白")},
        {std::string(21, 'X'), "名稱", "20"},
        {"C1", std::string(31, 'n'), "30"},
    };
    for (const Case& c : cases) {
        presenter.Clear();
        presenter.OnModalForm([&](TCustomForm& f) {
            auto& form = dynamic_cast<TfrmUserDefOpt&>(f);
            form.Usered01->SetMaxLength(0); // as if pasted past the limit
            form.Usered02->SetMaxLength(0);
            form.Usered01->SetText(c.code);
            form.Usered02->SetText(c.name);
            form.UserbtnOk->Click();
            EXPECT_TRUE(form.DialogResult.IsEmpty());
            form.UserbtnCancel->Click();
        });
        d->USERF201->Click();
        ASSERT_FALSE(presenter.Messages().empty()) << c.code;
        EXPECT_NE(presenter.Messages()[0].Text.find(c.message), std::string::npos)
            << presenter.Messages()[0].Text;
        EXPECT_TRUE(Listed(d).empty());
    }
    // The code and name fields stop at 20 and 30 characters.
    presenter.OnModalForm([&](TCustomForm& f) {
        auto& form = dynamic_cast<TfrmUserDefOpt&>(f);
        form.Usered01->SetText(std::string(25, 'X'));
        form.Usered02->SetText("名稱");
        EXPECT_EQ(form.Usered01->Text(), std::string(20, 'X'));
        form.UserbtnOk->Click();
    });
    d->USERF201->Click();
    EXPECT_EQ(Listed(d), std::vector<std::string>{std::string(20, 'X') + "|名稱|N|MARY"});
}

INSTANTIATE_TEST_SUITE_P(CodePages, UserSetsTest, ::testing::ValuesIn(Setups),
                         [](const auto& info) { return std::string(info.param.Name); });

// Pictures of the dialog with its user-condition panel open and of the naming dialog.
TEST_P(UserSetsTest, Screenshots) {
    const std::string out = std::string(NUV_TEST_OUTPUT_DIR) + "/usersets-";
    TfrmKelSets* d = OpenAs("DS", "000000");
    Fill(d);
    Save(d, "W1", "出口", true);
    Save(d, "M1", "月底", false);
    presenter.OnModalForm([&](TCustomForm& f) {
        auto& form = dynamic_cast<TfrmUserDefOpt&>(f);
        form.UserCbo01->SetItemIndex(1);
        form.UserCbo01Change(form.UserCbo01);
        DrainEvents();
        EXPECT_TRUE(GrabForm(&form, out + "naming-" + GetParam().Name + ".png"));
        form.UserbtnCancel->Click();
    });
    d->USERF201->Click();
    Focus(d, "W1", "DS");
    d->USERLV01->Items()->Item(0)->SetSelected(true);
    DrainEvents();
    EXPECT_TRUE(GrabForm(d, out + "panel-" + GetParam().Name + ".png"));
}
