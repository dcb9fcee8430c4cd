#include "ui/Buttons.h"
#include "ui/Dialogs.h"
#include "ui/StdCtrls.h"
#include "ui/qt/QtBridge.h"

#include "UiFixture.h"

using namespace nuv;

TEST_F(UiTest, ClosingWithTheFreeActionDestroysTheFormOnce) {
    int destroyed = 0, hidden = 0;
    auto* dialog = CreateForm<TForm>(nullptr);
    dialog->OnClose = TCloseEvent([](TObject*, TCloseAction& action) { action = caFree; });
    dialog->OnDestroy = TNotifyEvent([&](TObject*) { ++destroyed; });
    dialog->OnHide = TNotifyEvent([&](TObject*) { ++hidden; });
    dialog->Show();
    TComponentRef<TForm> ref(dialog);
    dialog->Close();
    EXPECT_TRUE(ref) << "released, not freed inside Close";
    test::DrainEvents();
    EXPECT_FALSE(ref);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(hidden, 1);
}

TEST_F(UiTest, TheCaptionIsTheWindowTitle) {
    auto* form = CreateForm<TForm>(nullptr);
    form->SetCaption("報表條件");
    form->Show();
    ASSERT_NE(WidgetOf(form), nullptr);
    EXPECT_EQ(WidgetOf(form)->windowTitle(), QStringLiteral("報表條件"));
    form->SetCaption("報表條件 (KELT58)");
    EXPECT_EQ(WidgetOf(form)->windowTitle(), QStringLiteral("報表條件 (KELT58)"));
    form->Free();
}

TEST_F(UiTest, PostedCloseAndLifecycleEvents) {
    std::vector<std::string> log;
    auto* dialog = CreateForm<TForm>(nullptr);
    dialog->OnShow = TNotifyEvent([&](TObject*) { log.push_back("show"); });
    dialog->OnHide = TNotifyEvent([&](TObject*) { log.push_back("hide"); });
    dialog->OnClose = TCloseEvent([&](TObject*, TCloseAction&) { log.push_back("close"); });
    dialog->Show();
    PostMessage(dialog->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"show"}))
        << "a posted message waits for the event loop";
    test::DrainEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"show", "close", "hide"}));
    EXPECT_FALSE(dialog->Visible());
    HWND h = dialog->Handle();
    dialog->Free();
    EXPECT_FALSE(PostMessage(h, WM_CLOSE, 0, 0)) << "no target any more";
}

TEST_F(UiTest, ConstructionLoadsComponentsBeforeOnCreate) {
    struct Dialog : TForm {
        TEdit* ed = nullptr;
        bool loadingDuringConstruction = false;
        std::vector<std::string> log;
        explicit Dialog(TComponent* owner) : TForm(owner) {
            ed = new TEdit(this);
            ed->SetName("ed01");
            ed->SetParent(this);
            loadingDuringConstruction = ed->ComponentState().Contains(csLoading) &&
                                        ed->ComponentState().Contains(csReading);
            OnCreate = TNotifyEvent([this](TObject*) {
                log.push_back(ed->ComponentState().Contains(csLoading) ? "create while loading"
                                                                       : "create");
            });
        }
    };
    auto* d = CreateForm<Dialog>(nullptr);
    EXPECT_TRUE(d->loadingDuringConstruction);
    EXPECT_EQ(d->log, (std::vector<std::string>{"create"}));
    EXPECT_TRUE(d->ed->ComponentState().Empty());
    d->Free();
}

TEST_F(UiTest, ModalFormFilledByAScript) {
    test::ScriptedPresenter presenter;
    test::ScopedPresenter scope(presenter);
    auto* dialog = CreateForm<TForm>(form);
    dialog->SetCaption("使用者自訂條件");
    auto* code = new TEdit(dialog);
    code->SetName("Usered01");
    code->SetParent(dialog);
    auto* ok = new TBitBtn(dialog);
    ok->SetParent(dialog);
    ok->SetKind(bkOK);
    std::string typed;
    ok->OnClick = TNotifyEvent([&](TObject*) { typed = code->Text(); });
    presenter.OnModalForm([](TCustomForm& f) {
        auto* edit = static_cast<TEdit*>(f.FindComponent("Usered01"));
        ASSERT_EQ(test::FocusedControl(), edit);
        test::TypeText("A01");
        test::PressKey(VK_RETURN); // the OK button is the default one
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(typed, "A01");
    EXPECT_FALSE(dialog->Visible());
    EXPECT_EQ(presenter.ModalForms(), (std::vector<std::string>{"TForm"}));
    EXPECT_EQ(presenter.UnansweredForms(), 0);
    // A script that leaves the form open gets it cancelled, without blocking.
    presenter.OnModalForm([](TCustomForm&) {});
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(presenter.UnansweredForms(), 1);
}

TEST_F(UiTest, MessageDialogsAreRecordedWithKindAndButtons) {
    test::ScriptedPresenter presenter;
    test::ScopedPresenter scope(presenter);
    presenter.Answer(mrNo);
    struct Case {
        TMsgDlgType kind;
        TMsgDlgButtons buttons;
        TModalResult answer;
    };
    const Case cases[] = {
        {mtWarning, {mbYes, mbNo, mbCancel}, mrNo}, // scripted answer
        {mtError, {mbOK}, mrOk},                    // default button
        {mtConfirmation, {mbOK, mbCancel}, mrOk},
        {mtInformation, {mbOK}, mrOk},
        {mtCustom, {mbYes, mbNo}, mrYes},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageDlg("訊息", c.kind, c.buttons), c.answer);
    ASSERT_EQ(presenter.Messages().size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(presenter.Messages()[i].Kind, cases[i].kind);
        EXPECT_EQ(presenter.Messages()[i].Buttons, cases[i].buttons);
        EXPECT_EQ(presenter.Messages()[i].Text, "訊息");
    }

    // A dialog built as a form, captioned and put on top before it is shown.
    TMessageForm* dlg =
        CreateMessageDialog("確定要刪除此筆條件設定？", mtConfirmation, {mbYes, mbNo});
    dlg->SetCaption("報表");
    dlg->SetFormStyle(fsStayOnTop);
    dlg->Font()->SetName("細明體");
    EXPECT_EQ(dlg->ShowModal(), mrYes);
    dlg->Free();
    const auto& last = presenter.Messages().back();
    EXPECT_EQ(last.Caption, "報表");
    EXPECT_TRUE(last.StayOnTop);
    EXPECT_EQ(last.FontName, "細明體");
    ShowMessage("done");
    EXPECT_EQ(presenter.Messages().back().Kind, mtCustom);
}

TEST_F(UiTest, ExceptionInAHandlerIsReportedNotPropagatedIntoQt) {
    test::ScriptedPresenter presenter;
    test::ScopedPresenter scope(presenter);
    auto* button = Make<TButton>(form, "btn", 8, 8, 75, 25);
    button->OnClick = TNotifyEvent([](TObject*) { throw Exception("broken handler"); });
    form->Show();
    test::ClickAt(button, 5, 5);
    ASSERT_EQ(presenter.Boxes().size(), 1u);
    EXPECT_EQ(presenter.Boxes()[0].Text, "broken handler");
}

namespace {
// A control that draws texts on its canvas when painted and keeps what DrawText answered.
class TTextPainter : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::function<void(TCanvas*)> draw;

protected:
    void Paint() override { draw(Canvas()); }
};
} // namespace

// While painting, DrawText answers the height of the text it drew: one line, a wrapped
// paragraph, an elided line; the same height that measuring the text (DT_CALCRECT) gives.
TEST_F(UiTest, DrawTextWhilePaintingAnswersTheHeightOfWhatItDrew) {
    const struct {
        const char* text;
        int width;
        unsigned flags;
    } cases[] = {
        {"報表條件", 200, DT_SINGLELINE | DT_VCENTER},
        {"起始日期 至 截止日期 之間的 所有 單據 都會 列入 報表 之中", 90, DT_WORDBREAK},
        {"一段比方框寬得多而要省略結尾的說明文字", 60, DT_SINGLELINE | DT_END_ELLIPSIS},
        {"&Ok", 200, DT_CENTER},
    };
    auto* form = CreateForm<TForm>(nullptr);
    form->SetBounds(100, 100, 320, 240);
    auto* painter = new TTextPainter(form);
    painter->SetParent(form);
    painter->SetBounds(0, 0, 300, 220);
    std::vector<int> drawn;
    painter->draw = [&](TCanvas* canvas) {
        drawn.clear();
        for (const auto& c : cases) {
            TRect r{0, 0, c.width, 200};
            drawn.push_back(canvas->DrawText(c.text, r, c.flags));
        }
    };
    form->Show();
    test::DrainEvents(); // the first paint

    ASSERT_EQ(drawn.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        TRect r{0, 0, cases[i].width, 0};
        const int measured =
            painter->Canvas()->DrawText(cases[i].text, r, cases[i].flags | DT_CALCRECT);
        EXPECT_EQ(drawn[i], measured) << cases[i].text;
        EXPECT_GT(drawn[i], 0) << cases[i].text;
    }
    EXPECT_GT(drawn[1], drawn[0]) << "the paragraph wraps to more than one line";
}
