// The root form: its converter and the code pages it reports, captions converted once, a
// failing Manager, the creation listener and the message dialog.
#include "forms/NuForm.h"

#include "codepage/CodePageSetup.h"
#include "codepage/TestConvertManager.h"
#include "ui/StdCtrls.h"
#include "uitest/UiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

using namespace nuv;
using nuv::test::CodePages;
using nuv::test::CodePageSetup;
using nuv::test::TestConvertManager;

namespace {

// A root-form descendant as the dialogs are: it converts its captions when it is shown.
class TfrmSample : public TNuForm {
public:
    explicit TfrmSample(TComponent* owner) : TNuForm(owner) {
        SetCaption("報表選項");
        lbl01 = new TLabel(this);
        lbl01->SetName("lbl01");
        lbl01->SetParent(this);
        lbl01->SetCaption("開始日期");
        OnShow = TNotifyEvent(this, &TfrmSample::FormShow);
    }
    void FormShow(TObject*) { ConvertCaptions(); }
    TLabel* lbl01;
};

class NuFormTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetFormCreationListener({});
        nuv::test::FreeAllForms();
    }
    nuv::test::ScriptedPresenter presenter;
    nuv::test::ScopedPresenter scoped{presenter};
};

} // namespace

// The form's converter reads the client configuration when the form is made; the form answers
// its code pages and mode and hands the Manager through.
TEST_F(NuFormTest, ReportsTheCodePagesOfItsConverter) {
    CodePageSetup setup("936", {"950", "936"});
    auto* form = CreateForm<TfrmSample>(nullptr);
    EXPECT_EQ(form->NuConverter->Owner(), form);
    EXPECT_EQ(form->FindComponent("NuConverter"), form->NuConverter);
    EXPECT_EQ(form->GetSystemCodePage(), "936");
    EXPECT_EQ(form->GetUICodePage(), "950");
    EXPECT_EQ(form->GetDisplayMode(), 3);
    EXPECT_EQ(form->NuConverter->DBConvertMode(), 2);
    EXPECT_FALSE(form->CaptionsConverted);

    EXPECT_FALSE(form->GetConverterManager().IsObject());
    Variant manager = TestConvertManager::Make();
    form->SetConverterManager(manager);
    EXPECT_TRUE(form->GetConverterManager().SameAs(manager));
    EXPECT_TRUE(form->NuConverter->Manager().SameAs(manager));
}

// Showing a dialog twice converts its captions once: a second conversion would convert text
// that is already converted.
TEST_F(NuFormTest, ShownTwiceConvertsOnce) {
    CodePageSetup setup("950", {"936", "950"});
    auto* form = CreateForm<TfrmSample>(nullptr);
    TestConvertManager* manager;
    form->SetConverterManager(TestConvertManager::Make(&manager));
    for (int i = 0; i < 2; ++i) {
        form->Show();
        form->Hide();
    }
    EXPECT_TRUE(form->CaptionsConverted);
    EXPECT_EQ(form->lbl01->Caption(), "开始日期");
    auto args = manager->Arguments();
    EXPECT_EQ(std::count(args.begin(), args.end(), "開始日期"), 1);
}

// A conversion before the Manager arrives converts nothing but still counts: the form is not
// converted again later (the dialogs hand their Manager over before they are shown).
TEST_F(NuFormTest, WithoutAManagerTheCaptionsStayAndCountAsConverted) {
    CodePageSetup setup("950", {"936", "950"});
    auto* form = CreateForm<TfrmSample>(nullptr);
    form->ConvertCaptions();
    EXPECT_TRUE(form->CaptionsConverted);
    EXPECT_EQ(form->lbl01->Caption(), "開始日期");
}

// A Manager that fails leaves the form as it was and not marked converted; the error reaches
// the caller, and the next attempt converts once.
TEST_F(NuFormTest, AFailingManagerLeavesTheFormUnconverted) {
    CodePageSetup setup("950", {"936", "950"});
    auto* form = CreateForm<TfrmSample>(nullptr);
    TestConvertManager* manager;
    form->SetConverterManager(TestConvertManager::Make(&manager));
    manager->FailAfter(0);
    EXPECT_THROW(form->ConvertCaptions(), EOleError);
    EXPECT_FALSE(form->CaptionsConverted);
    EXPECT_EQ(form->lbl01->Caption(), "開始日期");
    EXPECT_EQ(form->lbl01->Font()->Name(), "細明體");

    manager->Reset();
    form->ConvertCaptions();
    EXPECT_TRUE(form->CaptionsConverted);
    EXPECT_EQ(form->lbl01->Caption(), "开始日期");
    EXPECT_EQ(form->lbl01->Font()->Name(), "SimSun");
}

// Creation tells the listener; a listener's failure of the general class is shown and the form
// is still made, any other failure reaches the creator.
TEST_F(NuFormTest, CreationListener) {
    CodePageSetup setup("950", {"950", "950"});
    std::vector<TNuForm*> told;

    auto* silent = CreateForm<TfrmSample>(nullptr);
    EXPECT_TRUE(presenter.Boxes().empty());
    silent->Free();

    SetFormCreationListener([&](TNuForm* f) { told.push_back(f); });
    auto* seen = CreateForm<TfrmSample>(nullptr);
    EXPECT_EQ(told, std::vector<TNuForm*>{seen});

    SetFormCreationListener([](TNuForm*) { throw Exception("capture tool missing"); });
    auto* failed = CreateForm<TfrmSample>(nullptr);
    ASSERT_EQ(presenter.Boxes().size(), 1u);
    EXPECT_EQ(presenter.Boxes()[0].Text,
              std::string(FormCreationErrorPrefix) + "報表選項: capture tool missing");
    EXPECT_FALSE(failed->CaptionsConverted);

    SetFormCreationListener([](TNuForm*) { throw std::logic_error("broken"); });
    EXPECT_THROW(CreateForm<TfrmSample>(nullptr), std::logic_error);
    EXPECT_EQ(presenter.Boxes().size(), 1u);
}

TEST_F(NuFormTest, MessageDialogCarriesTheFormCaption) {
    CodePageSetup setup("950", {"950", "950"});
    auto* form = CreateForm<TfrmSample>(nullptr);
    presenter.Answer(mrOk);
    EXPECT_EQ(form->ShowMessageDlg("資料已送出", mtInformation, {mbOK}), mrOk);
    ASSERT_EQ(presenter.Messages().size(), 1u);
    EXPECT_EQ(presenter.Messages()[0].Caption, "報表選項");
    EXPECT_TRUE(presenter.Messages()[0].StayOnTop);
    EXPECT_EQ(form->ShowMessageDlg("", mtInformation, {mbOK}), 0);
    EXPECT_EQ(presenter.Messages().size(), 1u);
}
