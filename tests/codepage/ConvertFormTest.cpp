// Conversion of a whole form: what each interface mode changes, list views and selection panels,
// a Manager that fails half way, and the converter's message dialog.
#include "codepage/CodeConverter.h"

#include "codepage/CodePageSetup.h"
#include "codepage/TestConvertManager.h"
#include "controls/NuRadioGroup.h"
#include "controls/SelectPnl.h"
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"
#include "ui/TypInfo.h"
#include "uitest/UiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace nuv;
using nuv::test::CodePages;
using nuv::test::CodePageSetup;
using nuv::test::TestConvertManager;

namespace {

// A form with one component of each kind the conversion treats, Traditional captions and the
// dialog font, and a converter owned by the form (as the root form has it).
class ConvertFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (TFont* f : {Screen->HintFont(), Screen->IconFont(), Screen->MenuFont()}) {
            f->SetName("Tahoma");
            f->SetCharset(DEFAULT_CHARSET);
        }
    }
    void TearDown() override { nuv::test::FreeAllForms(); }

    // Builds the form on a machine with the code page acp and the interface code page ui.
    void Build(const std::string& acp, const std::string& ui) {
        setup.emplace(acp, CodePages{ui, "950"});
        form = CreateForm<TForm>(nullptr);
        form->SetCaption("報表選項");
        form->SetHint("請輸入條件");
        form->Font()->SetName("細明體");
        form->Font()->SetCharset(CHINESEBIG5_CHARSET);
        cv = new TCodeConverter(form);
        cv->SetName("NuConverter");
        cv->SetManager(TestConvertManager::Make(&manager));

        label = Make<TLabel>("lbl01");
        label->SetCaption("開始日期");
        button = Make<TButton>("btnOk");
        button->SetCaption("確定");
        button->SetHint("執行報表");
        cboSelected = Make<TComboBox>("cbo01");
        cboSelected->SetStyle(csDropDownList);
        for (const char* s : {"品號類別", "客戶類別", "區域類別"})
            cboSelected->Items()->Add(s);
        cboSelected->SetItemIndex(1);
        cboNone = Make<TComboBox>("cbo02");
        cboNone->Items()->Add("單號");
        cboNone->Items()->Add("日期");
        cboSimple = Make<TComboBox>("cbo03");
        cboSimple->SetStyle(csSimple);
        list = Make<TListBox>("lst01");
        list->Items()->Add("星期一");
        list->Items()->Add("週末");
        list->SetItemIndex(1);
        radios = Make<TNuRadioGroup>("rg01");
        radios->SetCaption("執行方式");
        for (const char* s : {"即時產生", "置入佇列"})
            radios->Items()->Add(s);
        radios->SetItemIndex(1);
        memo = Make<TMemo>("mm01");
        memo->Lines()->Add("註記一");
        memo->Lines()->Add("備註二");
        status = Make<TStatusBar>("sb01");
        status->Panels()->Add()->SetText("狀態");
        status->Panels()->Add()->SetText("");
        popup = new TPopupMenu(form);
        popup->SetName("pm01");
        mainMenu = new TMainMenu(form);
        mainMenu->SetName("mm02");
    }

    template <class T> T* Make(const std::string& name) {
        auto* c = new T(form);
        c->SetName(name);
        c->SetParent(form);
        return c;
    }

    // Every text and font of the form and its components, by component name.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> s;
        auto add = [&](TComponent* c, const std::string& name) {
            std::string v;
            for (const char* p : {"Caption", "Hint"})
                if (GetPropInfo(c, p) && GetPropInfo(c, p)->Kind == TTypeKind::String)
                    v += std::string(p) + "=" + GetStrPropByName(c, p) + ";";
            for (const char* p : {"Items", "Lines"})
                if (auto* l = dynamic_cast<TStrings*>(GetObjectPropByName(c, p)))
                    v += std::string(p) + "=" + l->Text() + ";";
            if (auto* f = dynamic_cast<TFont*>(GetObjectPropByName(c, "Font")))
                v += "Font=" + f->Name() + "/" + std::to_string(f->Charset()) + ";";
            if (HasProperty(c, "Style"))
                v += "Style=" + std::to_string(GetOrdPropByName(c, "Style")) + ";";
            if (auto* cb = dynamic_cast<TCustomComboBox*>(c))
                v += "Index=" + std::to_string(cb->ItemIndex()) + ";";
            if (auto* sb = dynamic_cast<TStatusBar*>(c))
                for (int i = 0; i < sb->Panels()->Count(); ++i)
                    v += "Panel=" + sb->Panels()->Items(i)->Text() + ";";
            if (auto* lv = dynamic_cast<TCustomListView*>(c))
                v += ListViewTexts(lv);
            if (auto* m = dynamic_cast<TMenu*>(c))
                v += std::string("OwnerDraw=") + (m->OwnerDraw() ? "1" : "0");
            s[name] = v;
        };
        add(form, "(form)");
        for (int i = 0; i < form->ComponentCount(); ++i)
            add(form->Components(i), form->Components(i)->Name());
        for (TFont* f : {Screen->HintFont(), Screen->IconFont(), Screen->MenuFont()})
            s["(screen)"] += f->Name() + "/" + std::to_string(f->Charset()) + ";";
        return s;
    }

    static std::string ListViewTexts(TCustomListView* lv) {
        std::string v;
        for (int c = 0; c < lv->Columns()->Count(); ++c)
            v += "Col=" + lv->Column(c)->Caption() + ";";
        for (int r = 0; r < lv->Items()->Count(); ++r) {
            v += "Row=" + lv->Items()->Item(r)->Caption();
            for (int i = 0; i < lv->Items()->Item(r)->SubItems()->Count(); ++i)
                v += "|" + lv->Items()->Item(r)->SubItems()->Get(i);
            v += ";";
        }
        return v;
    }

    std::optional<CodePageSetup> setup;
    TForm* form = nullptr;
    TCodeConverter* cv = nullptr;
    TestConvertManager* manager = nullptr;
    TLabel* label = nullptr;
    TButton* button = nullptr;
    TComboBox *cboSelected = nullptr, *cboNone = nullptr, *cboSimple = nullptr;
    TListBox* list = nullptr;
    TNuRadioGroup* radios = nullptr;
    TMemo* memo = nullptr;
    TStatusBar* status = nullptr;
    TPopupMenu* popup = nullptr;
    TMainMenu* mainMenu = nullptr;
};

std::string FontOf(const TFont* f) {
    return f->Name() + "/" + std::to_string(f->Charset());
}

} // namespace

// A GB interface on a Big5 machine: every caption, hint and list of the components is converted
// to Simplified and their fonts become SimSun in the GB2312 character set. The form's own
// caption stays, as it is converted only on a GB machine.
TEST_F(ConvertFormTest, Mode1OnABig5MachineConvertsEveryComponent) {
    Build("950", "936");
    ASSERT_EQ(cv->UIConvertMode(), 1);
    cv->ConvertForm(form);

    EXPECT_EQ(form->Caption(), "報表選項");
    EXPECT_EQ(form->Hint(), "请输入条件");
    EXPECT_EQ(label->Caption(), "开始日期");
    EXPECT_EQ(button->Caption(), "确定");
    EXPECT_EQ(button->Hint(), "执行报表");
    EXPECT_EQ(cboSelected->Items()->Text(), "品号类别\r\n客户类别\r\n区域类别\r\n");
    EXPECT_EQ(list->Items()->Text(), "星期一\r\n周末\r\n");
    EXPECT_EQ(memo->Lines()->Text(), "注记一\r\n备注二\r\n");
    EXPECT_EQ(status->Panels()->Items(0)->Text(), "状态");
    EXPECT_EQ(status->Panels()->Items(1)->Text(), "");

    // Combo boxes keep their selection, or get the first item; drawn by the control.
    EXPECT_EQ(cboSelected->ItemIndex(), 1);
    EXPECT_EQ(cboSelected->Text(), "客户类别");
    EXPECT_EQ(cboSelected->Style(), csOwnerDrawFixed);
    EXPECT_EQ(cboNone->ItemIndex(), 0);
    EXPECT_EQ(cboNone->Style(), csOwnerDrawFixed);
    EXPECT_EQ(cboSimple->Style(), csSimple);
    EXPECT_EQ(cboSimple->ItemIndex(), -1);
    EXPECT_EQ(list->Style(), lbOwnerDrawFixed);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(radios->Caption(), "执行方式");
    EXPECT_EQ(radios->Items()->Text(), "即时产生\r\n置入伫列\r\n");
    EXPECT_EQ(radios->ItemIndex(), 1);
    EXPECT_TRUE(popup->OwnerDraw());
    EXPECT_TRUE(mainMenu->OwnerDraw());

    for (TControl* c : std::initializer_list<TControl*>{label, button, cboSelected, list, memo})
        EXPECT_EQ(FontOf(c->Font()), "SimSun/134") << c->Name();
    EXPECT_EQ(FontOf(Screen->HintFont()), "SimSun/134");
    EXPECT_EQ(FontOf(Screen->MenuFont()), "SimSun/134");
    EXPECT_TRUE(Application->ShowHint());
}

// A Big5 interface on a GB machine: texts stay Traditional except the form's caption, and every
// font becomes MingLiU in the Big5 character set.
TEST_F(ConvertFormTest, Mode3OnAGBMachineKeepsTextsAndSetsTraditionalFonts) {
    Build("936", "950");
    ASSERT_EQ(cv->UIConvertMode(), 3);
    cv->ConvertForm(form);

    EXPECT_EQ(form->Caption(), "报表选项");
    EXPECT_EQ(form->Hint(), "請輸入條件");
    EXPECT_EQ(label->Caption(), "開始日期");
    EXPECT_EQ(cboSelected->Items()->Text(), "品號類別\r\n客戶類別\r\n區域類別\r\n");
    EXPECT_EQ(status->Panels()->Items(0)->Text(), "狀態");
    EXPECT_EQ(manager->Arguments(), std::vector<std::string>{"報表選項"});
    for (TControl* c : std::initializer_list<TControl*>{label, button, cboSelected, list, memo})
        EXPECT_EQ(FontOf(c->Font()), "MingLiU/136") << c->Name();
    EXPECT_EQ(FontOf(Screen->IconFont()), "MingLiU/136");
    // The style steps run in every mode but 0; selecting the first item only in mode 1.
    EXPECT_EQ(cboSelected->Style(), csOwnerDrawFixed);
    EXPECT_EQ(cboSelected->ItemIndex(), 1);
    EXPECT_EQ(cboNone->Style(), csOwnerDrawVariable);
    EXPECT_EQ(cboNone->ItemIndex(), -1);
}

// Mode 0 converts no component; only the screen fonts become the Traditional font.
TEST_F(ConvertFormTest, Mode0SetsOnlyTheScreenFonts) {
    Build("950", "950");
    ASSERT_EQ(cv->UIConvertMode(), 0);
    auto before = Snapshot();
    cv->ConvertForm(form);
    auto after = Snapshot();
    EXPECT_EQ(after["(screen)"], "細明體/136;細明體/136;細明體/136;");
    after.erase("(screen)");
    before.erase("(screen)");
    EXPECT_EQ(after, before);
    EXPECT_TRUE(manager->Calls().empty());
}

TEST_F(ConvertFormTest, WithoutAManagerNothingChanges) {
    Build("950", "936");
    cv->SetManager(Variant());
    auto before = Snapshot();
    cv->ConvertForm(form);
    EXPECT_EQ(Snapshot(), before);
}

// Each column caption goes to the Manager exactly once, with rows and without; every row's
// caption and sub-items are converted.
TEST_F(ConvertFormTest, ListViewColumnCaptionsAreConvertedOnce) {
    for (bool rows : {false, true}) {
        SCOPED_TRACE(rows ? "with rows" : "without rows");
        Build("950", "936");
        auto* lv = Make<TListView>(rows ? "lvRows" : "lvEmpty");
        lv->SetViewStyle(vsReport);
        for (const char* c : {"代號", "名稱", "類別"})
            lv->Columns()->Add()->SetCaption(c);
        if (rows) {
            for (auto [code, name, kind] :
                 {std::tuple{"A01", "總公司", "東區"}, {"B02", "分公司", "華區"}}) {
                TListItem* it = lv->Items()->Add();
                it->SetCaption(code);
                it->SubItems()->Add(name);
                it->SubItems()->Add(kind);
            }
        }
        cv->ConvertForm(form);
        auto args = manager->Arguments();
        for (const char* c : {"代號", "名稱", "類別"})
            EXPECT_EQ(std::count(args.begin(), args.end(), c), 1) << c;
        if (rows)
            EXPECT_EQ(ListViewTexts(lv),
                      "Col=代号;Col=名称;Col=类别;Row=A01|总公司|东区;Row=B02|分公司|华区;");
        else
            EXPECT_EQ(ListViewTexts(lv), "Col=代号;Col=名称;Col=类别;");
        nuv::test::FreeAllForms();
    }
}

// A row with fewer sub-items than the list has columns keeps its gap.
TEST_F(ConvertFormTest, ListViewRowWithMissingSubItems) {
    Build("950", "936");
    auto* lv = Make<TListView>("lv01");
    for (const char* c : {"代號", "名稱", "類別"})
        lv->Columns()->Add()->SetCaption(c);
    lv->Items()->Add()->SetCaption("總");
    TListItem* full = lv->Items()->Add();
    full->SetCaption("A");
    full->SubItems()->Add("東");
    full->SubItems()->Add("華");
    cv->ConvertForm(form);
    EXPECT_EQ(ListViewTexts(lv), "Col=代号;Col=名称;Col=类别;Row=总;Row=A|东|华;");
}

TEST_F(ConvertFormTest, SelectionPanelWordsHintsAndList) {
    Build("950", "936");
    auto* sp = Make<TSelectPanel>("sp01");
    sp->SetCaption("品號");
    TStringList words;
    words.Add("開始");
    words.Add("從");
    sp->SetBeginWords(&words);
    words.Clear();
    words.Add("結束");
    sp->SetFinalWords(&words);
    sp->SetHintWord("請選擇");
    words.Clear();
    words.Add("開始品號");
    words.Add("結束品號");
    sp->SetChildHints(&words);
    sp->Columns()->Add()->SetCaption("條件");
    TListItem* row = sp->Items()->Add();
    row->SetCaption("條件");
    cv->ConvertForm(form);

    EXPECT_EQ(sp->Caption(), "品号");
    EXPECT_EQ(sp->BeginWords()->Text(), "开始\r\n從\r\n");
    EXPECT_EQ(sp->FinalWords()->Text(), "结束\r\n");
    EXPECT_EQ(sp->HintWord(), "请选择");
    EXPECT_EQ(sp->ChildHints()->Text(), "开始品号\r\n结束品号\r\n");
    EXPECT_EQ(sp->Items()->Item(0)->Caption(), "条件");
    EXPECT_EQ(sp->Columns()->Items(0)->Caption(), "条件");
    EXPECT_EQ(FontOf(sp->Font()), "SimSun/134");
}

// A Manager that fails (or answers another kind of value) at any point leaves the form exactly
// as it was; the error reaches the caller.
TEST_F(ConvertFormTest, AManagerFailingHalfWayLeavesTheFormAsItWas) {
    struct Case {
        const char* label;
        std::optional<int> failAfter;
        std::optional<Variant> answer;
        bool convertError;
    };
    const Case cases[] = {
        {"first call fails", 0, std::nullopt, false},
        {"fourth call fails", 3, std::nullopt, false},
        {"last call fails", -1, std::nullopt, false},
        {"answers a number", std::nullopt, Variant(1), true},
    };
    auto build = [this] {
        Build("936", "936");
        auto* lv = Make<TListView>("lv01");
        lv->Columns()->Add()->SetCaption("代號");
        lv->Items()->Add()->SetCaption("總");
    };
    // The number of Manager calls of a whole conversion, the last one a list view's row.
    build();
    cv->ConvertForm(form);
    const int total = static_cast<int>(manager->Calls().size());
    EXPECT_EQ(manager->Arguments().back(), "總");
    nuv::test::FreeAllForms();

    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        build();
        auto before = Snapshot();
        if (c.failAfter)
            manager->FailAfter(*c.failAfter < 0 ? total - 1 : *c.failAfter);
        if (c.answer)
            manager->AnswerWith(*c.answer);
        if (c.convertError)
            EXPECT_THROW(cv->ConvertForm(form), EConvertError);
        else
            EXPECT_THROW(cv->ConvertForm(form), EOleError);
        EXPECT_EQ(Snapshot(), before);
        nuv::test::FreeAllForms();
    }
}

// --- message dialog ----------------------------------------------------------------------------

TEST_F(ConvertFormTest, MessageDialogFollowsTheCodePages) {
    struct Case {
        const char* label;
        const char* acp;
        const char* ui;
        const char* text;
        std::string shown;
        std::string font;
    };
    const Case cases[] = {
        {"Big5 throughout", "950", "950", "資料已送出", "資料已送出", "細明體/136"},
        {"GB interface", "950", "936", "資料已送出", "資料已送出      ", "SimSun/134"},
        {"GB machine", "936", "950", "資料已送出", "資料已送出      ", "MingLiU/136"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        nuv::test::ScriptedPresenter presenter;
        nuv::test::ScopedPresenter scoped(presenter);
        Build(c.acp, c.ui);
        form->Show();
        form->SetWindowState(wsMinimized);
        presenter.Answer(mrNo);
        EXPECT_EQ(cv->ShowMessageDlg(c.text, mtConfirmation, {mbYes, mbNo}), mrNo);
        ASSERT_EQ(presenter.Messages().size(), 1u);
        const auto& m = presenter.Messages()[0];
        EXPECT_EQ(m.Text, c.shown);
        EXPECT_EQ(m.Caption, form->Caption());
        EXPECT_EQ(m.Kind, mtConfirmation);
        EXPECT_TRUE(m.StayOnTop);
        EXPECT_EQ(m.FontName + "/" + std::to_string(m.FontCharset), c.font);
        EXPECT_EQ(form->WindowState(), wsNormal);
        EXPECT_TRUE(manager->Calls().empty());
        nuv::test::FreeAllForms();
    }
}

TEST_F(ConvertFormTest, EmptyMessageShowsNothing) {
    nuv::test::ScriptedPresenter presenter;
    nuv::test::ScopedPresenter scoped(presenter);
    Build("936", "936");
    EXPECT_EQ(cv->ShowMessageDlg("", mtError, {mbOK}), 0);
    EXPECT_TRUE(presenter.Messages().empty());
}
