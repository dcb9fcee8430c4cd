#include "ui/Forms.h"

#include "ui/Dialogs.h"
#include "ui/Menus.h"
#include "ui/qt/QtBridge.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLinearGradient>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

#include <algorithm>

namespace nuv {

namespace {

class FormWidget : public TWidget<QWidget> {
public:
    explicit FormWidget(TControl* c) : TWidget<QWidget>(c, nullptr, Qt::Window) {
        setAutoFillBackground(true);
    }
    QMenuBar* menuBar = nullptr;

protected:
    // The window events of a form are routed in EventRouting.cpp; the menu bar spans the width.
    void resizeEvent(QResizeEvent* e) override {
        TWidget<QWidget>::resizeEvent(e);
        if (menuBar != nullptr)
            menuBar->setGeometry(0, 0, width(), menuBar->sizeHint().height());
    }
};

void HandleEventError(TObject* sender, const std::exception& e) {
    if (Application != nullptr)
        Application->HandleException(sender, e);
}

} // namespace

TControlWidget* FormWidgetFactory(TControl* c) {
    return new FormWidget(c);
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TCustomForm::StaticClassInfo() {
    static const TClassInfo info("TCustomForm", &TWinControl::StaticClassInfo());
    return info;
}

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner, &FormWidgetFactory) {
    SetComponentState(ComponentState() + TComponentState{csLoading, csReading});
    visible_ = false;
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                  csDoubleClicks});
    Screen->forms_.push_back(this);
    ApplyWindowFlags();
}

TCustomForm::~TCustomForm() {
    auto& forms = Screen->forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Screen->activeCustomForm_ == this)
        Screen->activeCustomForm_ = nullptr;
    if (Screen->activeControl_ != nullptr && ContainsControl(Screen->activeControl_))
        Screen->activeControl_ = nullptr;
    if (Application->MainForm() == this)
        Application->SetMainForm(nullptr);
}

void TCustomForm::AfterConstruction() {
    if (constructed_)
        return;
    constructed_ = true;
    // Loading ends for every component created during construction, the form first.
    std::vector<TComponentRef<TComponent>> loaded;
    // Room for all at once: a moved reference signs off from its target and on again.
    loaded.reserve(static_cast<std::size_t>(ComponentCount()) + 1);
    loaded.emplace_back(this);
    for (int i = 0; i < ComponentCount(); ++i)
        if (Components(i)->ComponentState().Contains(csLoading))
            loaded.emplace_back(Components(i));
    for (auto& c : loaded)
        if (c)
            c->SetComponentState(c->ComponentState() - TComponentState{csReading});
    for (auto& c : loaded)
        if (c && c->ComponentState().Contains(csLoading))
            c->Loaded();
    TComponentRef<TComponent> self(this);
    DoCreate();
    if (self && Visible() && !WidgetOf(this)->isVisible())
        Perform(CM_VISIBLECHANGED, 1, 0);
}

void TCustomForm::Loaded() {
    TWinControl::Loaded();
    Realign();
}

void TCustomForm::BeforeDestruction() {
    if (ComponentState().Contains(csDestroying))
        return;
    Destroying();
    if (Visible())
        Hide();
    DoDestroy();
}

void TCustomForm::DoCreate() {
    try {
        OnCreate(this);
    } catch (const Exception& e) {
        HandleEventError(this, e);
    }
}

void TCustomForm::DoDestroy() {
    try {
        OnDestroy(this);
    } catch (const Exception& e) {
        HandleEventError(this, e);
    }
}

void TCustomForm::DoShow() {
    try {
        OnShow(this);
    } catch (const Exception& e) {
        HandleEventError(this, e);
    }
}

void TCustomForm::DoHide() {
    try {
        OnHide(this);
    } catch (const Exception& e) {
        HandleEventError(this, e);
    }
}

void TCustomForm::DoClose(TCloseAction& action) {
    OnClose(this, action);
}

void TCustomForm::VisibleChanging() {
    if (modal_ && !Visible())
        return;
}

void TCustomForm::Show() {
    AfterConstruction();
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide() {
    SetVisible(false);
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (modal_) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    TComponentRef<TComponent> self(this);
    DoClose(action);
    if (!self || action == caNone)
        return;
    if (Application->MainForm() == this)
        Application->Terminate();
    if (action == caHide)
        Hide();
    else if (action == caMinimize)
        SetWindowState(wsMinimized);
    else
        Release();
}

void TCustomForm::Release() {
    if (releasing_)
        return;
    releasing_ = true;
    PostMessage(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::SetModalResult(TModalResult value) {
    modalResult_ = value;
}

void TCustomForm::CloseModal() {
    try {
        TCloseAction action = caNone;
        if (CloseQuery()) {
            action = caHide;
            DoClose(action);
        }
        if (action == caNone)
            modalResult_ = mrNone;
        else if (action == caFree)
            Release();
    } catch (const Exception& e) {
        modalResult_ = mrNone;
        HandleEventError(this, e);
    }
}

int TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || modal_)
        throw EInvalidOperation("Cannot make a visible window modal");
    AfterConstruction();
    TComponentRef<TCustomForm> self(this);
    // The window that was active before gets the activation back when this one closes, and
    // with it the focus on its active control.
    const QPointer<QWidget> previous = QApplication::activeWindow();
    modal_ = true;
    modalResult_ = mrNone;
    if (QWidget* w = WidgetOf(this))
        w->setWindowModality(Qt::ApplicationModal);
    Show();
    auto done = [this, &self] {
        if (!self)
            return true;
        if (Application->Terminated())
            modalResult_ = mrCancel;
        if (modalResult_ != mrNone) {
            CloseModal();
            if (!self)
                return true;
            return modalResult_ != mrNone;
        }
        return false;
    };
    if (self && !done())
        DialogPresenter().RunModal(*this, done);
    if (!self)
        return mrCancel;
    TModalResult result = modalResult_;
    modal_ = false;
    Hide();
    if (self)
        if (QWidget* w = WidgetOf(this))
            w->setWindowModality(Qt::NonModal);
    if (previous != nullptr && previous->isVisible() && !previous->isActiveWindow())
        previous->activateWindow();
    return result;
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (activeControl_.Get() == control && (control == nullptr || !active_ || control->Focused()))
        return;
    if (control != nullptr && !(control != this && GetParentForm(control) == this &&
                                (ComponentState().Contains(csLoading) || control->CanFocus())))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    activeControl_ = control;
    if (!ComponentState().Contains(csLoading) && control != nullptr) {
        if (QWidget* w = WidgetOf(control))
            w->setFocus(Qt::OtherFocusReason);
    }
}

void TCustomForm::FocusControl(TWinControl* control) {
    bool wasActive = active_;
    SetActiveControl(control);
    if (!wasActive)
        SetFocus();
}

bool TCustomForm::CanFocus() const {
    return Visible() && Enabled();
}

void TCustomForm::SetFocus() {
    if (!active_) {
        if (!(Visible() && Enabled()))
            throw EInvalidOperation("Cannot focus a disabled or invisible window");
        QWidget* w = WidgetOf(this);
        // While the form is being shown (its OnShow) the window is not up yet: activating it
        // now would let Qt move the focus on to the next widget. Show focuses the active
        // control once the window is there.
        if (w == nullptr || !w->isVisible())
            return;
        RaiseWindow(w);
        w->activateWindow();
        QApplication::setActiveWindow(w);
        if (activeControl_ != nullptr)
            if (QWidget* aw = WidgetOf(activeControl_))
                aw->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (activeControl_ != nullptr && !activeControl_->Focused())
        if (QWidget* aw = WidgetOf(activeControl_))
            aw->setFocus(Qt::OtherFocusReason);
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
    if (control == nullptr)
        return false;
    ++focusCount_;
    activeControl_ = control != this ? control : nullptr;
    bool formChanged = Screen->activeCustomForm_ != this;
    bool controlChanged = Screen->activeControl_ != control;
    Screen->activeControl_ = control;
    Screen->activeCustomForm_ = this;
    auto& forms = Screen->forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    forms.insert(forms.begin(), this);
    if (formChanged)
        Screen->OnActiveFormChange(Screen);
    if (controlChanged)
        Screen->OnActiveControlChange(Screen);
    if (control->ControlState().Contains(csFocusing))
        return false;
    TComponentRef<TWinControl> target(control);
    control->SetControlState(control->ControlState() + TControlState{csFocusing});
    auto finish = [&target](bool r) {
        if (target)
            target->SetControlState(target->ControlState() - TControlState{csFocusing});
        return r;
    };
    if (focusedControl_ == nullptr)
        focusedControl_ = this;
    if (focusedControl_.Get() == control)
        return finish(true);
    while (focusedControl_ != nullptr && target && !focusedControl_->ContainsControl(target)) {
        TWinControl* leaving = focusedControl_;
        focusedControl_ = leaving->Parent();
        int count = focusCount_;
        leaving->Perform(CM_EXIT, 0, 0);
        if (count != focusCount_)
            return finish(false);
    }
    while (target && focusedControl_.Get() != target.Get()) {
        TWinControl* t = target;
        while (t->Parent() != nullptr && t->Parent() != focusedControl_.Get())
            t = t->Parent();
        focusedControl_ = t;
        int count = focusCount_;
        t->Perform(CM_ENTER, 0, 0);
        if (count != focusCount_)
            return finish(false);
    }
    if (!target)
        return false;
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(target.Get()));
    return finish(true);
}

void TCustomForm::SetActive(bool active) {
    if (active_ == active)
        return;
    active_ = active;
    TComponentRef<TComponent> self(this);
    if (active) {
        Screen->activeCustomForm_ = this;
        if (activeControl_ == nullptr) {
            if (TWinControl* first = FindNextControl(nullptr, true, true, false))
                activeControl_ = first;
        }
        if (activeControl_ != nullptr && !activeControl_->Focused())
            if (QWidget* aw = WidgetOf(activeControl_))
                aw->setFocus(Qt::ActiveWindowFocusReason);
        if (self)
            OnActivate(this);
    } else {
        OnDeactivate(this);
    }
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
    borderIcons_ = icons;
    ApplyWindowFlags();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
    borderStyle_ = style;
    ApplyWindowFlags();
    ApplyGeometry();
}

void TCustomForm::SetPosition(TPosition position) {
    position_ = position;
}

void TCustomForm::SetFormStyle(TFormStyle style) {
    formStyle_ = style;
    ApplyWindowFlags();
}

void TCustomForm::ApplyWindowFlags() {
    QWidget* w = WidgetOf(this);
    if (w == nullptr)
        return;
    Qt::WindowFlags f = Qt::Window | Qt::CustomizeWindowHint;
    if (borderStyle_ != TBorderStyle::bsNone)
        f |= Qt::WindowTitleHint;
    else
        f |= Qt::FramelessWindowHint;
    if (borderIcons_.Contains(biSystemMenu))
        f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    bool resizable =
        borderStyle_ == TBorderStyle::bsSizeable || borderStyle_ == TBorderStyle::bsSizeToolWin;
    if (borderIcons_.Contains(biMinimize) && borderStyle_ != TBorderStyle::bsDialog)
        f |= Qt::WindowMinimizeButtonHint;
    if (borderIcons_.Contains(biMaximize) && resizable)
        f |= Qt::WindowMaximizeButtonHint;
    if (borderStyle_ == TBorderStyle::bsToolWindow || borderStyle_ == TBorderStyle::bsSizeToolWin)
        f |= Qt::Tool;
    if (formStyle_ == fsStayOnTop)
        f |= Qt::WindowStaysOnTopHint;
    if (w->windowFlags() == f)
        return;
    bool shown = w->isVisible();
    w->setWindowFlags(f);
    if (shown)
        w->show();
}

TWindowState TCustomForm::WindowState() const {
    QWidget* w = WidgetOf(this);
    if (w != nullptr && w->isVisible()) {
        if (w->windowState() & Qt::WindowMinimized)
            return wsMinimized;
        if (w->windowState() & Qt::WindowMaximized)
            return wsMaximized;
        return wsNormal;
    }
    return windowState_;
}

void TCustomForm::SetWindowState(TWindowState state) {
    windowState_ = state;
    QWidget* w = WidgetOf(this);
    if (w == nullptr || !w->isVisible())
        return;
    Qt::WindowStates s = w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == wsMinimized)
        s |= Qt::WindowMinimized;
    else if (state == wsMaximized)
        s |= Qt::WindowMaximized;
    w->setWindowState(s);
}

void TCustomForm::SetMenu(TMainMenu* menu) {
    menu_ = menu;
    auto* fw = static_cast<FormWidget*>(Impl()->hook);
    if (fw->menuBar != nullptr) {
        fw->menuBar->deleteLater();
        fw->menuBar = nullptr;
    }
    Impl()->childOffsetY = 0;
    if (menu != nullptr) {
        menu->FreeNotification(this);
        fw->menuBar = new QMenuBar(fw);
        fw->menuBar->setFont(ToQFont(*Screen->MenuFont()));
        TMenuItem* root = menu->Items();
        for (int i = 0; i < root->Count(); ++i) {
            TMenuItem* top = root->Items(i);
            if (!top->Visible())
                continue;
            if (top->Count() == 0) {
                QAction* a = fw->menuBar->addAction(ToQString(top->Caption()));
                TComponentRef<TMenuItem> ref(top);
                QObject::connect(a, &QAction::triggered, [ref] {
                    if (ref)
                        ref->Click();
                });
                continue;
            }
            QMenu* sub = fw->menuBar->addMenu(ToQString(top->Caption()));
            QObject::connect(sub, &QMenu::aboutToShow, [sub, ref = TComponentRef<TMenuItem>(top)] {
                sub->clear();
                if (!ref)
                    return;
                for (int j = 0; j < ref->Count(); ++j) {
                    TMenuItem* it = ref->Items(j);
                    if (!it->Visible())
                        continue;
                    QAction* a = sub->addAction(ToQString(it->Caption()));
                    a->setEnabled(it->Enabled());
                    QObject::connect(a, &QAction::triggered, [r = TComponentRef<TMenuItem>(it)] {
                        if (r)
                            r->Click();
                    });
                }
            });
        }
        int h = fw->menuBar->sizeHint().height();
        fw->menuBar->setGeometry(0, 0, fw->width(), h);
        fw->menuBar->show();
        Impl()->childOffsetY = h;
    }
    ApplyGeometry();
    for (int i = 0; i < ControlCount(); ++i)
        Controls(i)->SetBounds(Controls(i)->Left(), Controls(i)->Top(), Controls(i)->Width(),
                               Controls(i)->Height() + 0);
    Realign();
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component == menu_) {
        menu_ = nullptr;
        if (!ComponentState().Contains(csDestroying))
            SetMenu(nullptr);
    }
}

bool TCustomForm::IsShortCut(Word key, TShiftState shift) {
    return menu_ != nullptr && menu_->IsShortCut(key, shift);
}

TRect TCustomForm::ClientRect() const {
    int fw = borderStyle_ == TBorderStyle::bsNone ? 0 : FormFrameWidth;
    int fh = borderStyle_ == TBorderStyle::bsNone ? 0 : FormFrameHeight;
    return Rect(0, 0, std::max(0, Width() - fw), std::max(0, Height() - fh - Impl()->childOffsetY));
}

void TCustomForm::SetBounds(int left, int top, int width, int height) {
    TWinControl::SetBounds(left, top, width, height);
    if (QWidget* w = WidgetOf(this)) {
        TRect cr = ClientRect();
        w->setGeometry(left, top, std::max(1, cr.Width()),
                       std::max(1, cr.Height() + Impl()->childOffsetY));
    }
}

void TCustomForm::PlaceOnScreen() {
    if (placed_)
        return;
    placed_ = true;
    int sw = Screen->Width(), sh = Screen->Height();
    switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
        SetBounds((sw - Width()) / 2, (sh - Height()) / 2, Width(), Height());
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        auto* ref = dynamic_cast<TCustomForm*>(Owner());
        if (position_ == poMainFormCenter || ref == nullptr)
            ref = Application->MainForm();
        if (ref != nullptr && ref != this)
            SetBounds(ref->Left() + (ref->Width() - Width()) / 2,
                      ref->Top() + (ref->Height() - Height()) / 2, Width(), Height());
        else
            SetBounds((sw - Width()) / 2, (sh - Height()) / 2, Width(), Height());
        break;
    }
    default:
        break;
    }
}

void TCustomForm::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CM_VISIBLECHANGED: {
        QWidget* w = WidgetOf(this);
        TComponentRef<TComponent> self(this);
        if (Visible()) {
            if (!constructed_)
                return; // shown at the end of construction
            HandleNeeded();
            PlaceOnScreen();
            DoShow();
            if (!self || !Visible())
                return;
            ApplyWindowFlags();
            ApplyGeometry();
            w->setWindowTitle(ToQString(Caption()));
            if (activeControl_ == nullptr)
                if (TWinControl* first = FindNextControl(nullptr, true, true, false))
                    activeControl_ = first;
            if (activeControl_ != nullptr)
                if (QWidget* aw = WidgetOf(activeControl_))
                    aw->setFocus(Qt::OtherFocusReason);
            if (windowState_ == wsMinimized)
                w->showMinimized();
            else if (windowState_ == wsMaximized)
                w->showMaximized();
            else
                w->show();
            RaiseWindow(w);
            w->activateWindow();
            QApplication::setActiveWindow(w);
        } else {
            DoHide();
            if (!self)
                return;
            if (w != nullptr) {
                windowState_ = WindowState();
                w->hide();
            }
            if (active_)
                SetActive(false);
        }
        UpdateShowingChildren();
        return;
    }
    case CM_TEXTCHANGED:
        // The caption is the window's title on the desktop.
        if (QWidget* w = WidgetOf(this))
            w->setWindowTitle(ToQString(Caption()));
        TWinControl::WndProc(m);
        return;
    case CM_ACTIVATE:
        SetActive(true);
        return;
    case CM_DEACTIVATE:
        SetActive(false);
        return;
    case WM_CLOSE:
        Close();
        return;
    case CM_RELEASE:
        Free();
        return;
    case WM_NEXTDLGCTL:
        if (LoWord(static_cast<std::uintptr_t>(m.LParam)) != 0) {
            if (auto* c = FindControl(static_cast<HWND>(m.WParam)))
                c->SetFocus();
        } else {
            SelectNext(activeControl_, m.WParam == 0, true);
        }
        return;
    case CM_DIALOGKEY: {
        TShiftState shift = TShiftState::FromBits(static_cast<std::uint64_t>(m.LParam));
        if (!shift.Contains(ssAlt)) {
            if (m.WParam == VK_TAB && !shift.Contains(ssCtrl)) {
                SelectNext(activeControl_, !shift.Contains(ssShift), true);
                m.Result = 1;
                return;
            }
            if (m.WParam == VK_LEFT || m.WParam == VK_RIGHT || m.WParam == VK_UP ||
                m.WParam == VK_DOWN) {
                if (activeControl_ != nullptr && activeControl_->Parent() != nullptr) {
                    activeControl_->Parent()->SelectNext(
                        activeControl_, m.WParam == VK_RIGHT || m.WParam == VK_DOWN, false);
                    m.Result = 1;
                }
                return;
            }
        }
        TWinControl::WndProc(m);
        return;
    }
    case WM_PAINT:
        TWinControl::WndProc(m);
        OnPaint(this);
        return;
    default:
        TWinControl::WndProc(m);
    }
}

const TClassInfo& TForm::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TForm", &TCustomForm::StaticClassInfo())
            .Set<TCustomForm>("BorderIcons", "TBorderIcons", &TCustomForm::BorderIcons,
                              &TCustomForm::SetBorderIcons)
            .Enum<TCustomForm>(
                "BorderStyle", "TFormBorderStyle",
                {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
                &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle)
            .Str<TControl>("Caption", &TControl::Caption, &TControl::SetCaption, "TCaption")
            .Int<TControl>("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight)
            .Int<TControl>("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth)
            .Int<TControl>("Color", &TControl::Color, &TControl::SetColor, "TColor")
            .Bool<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled)
            .Object<TControl, TFont>("Font", "TFont", &TControl::Font, &TControl::SetFont)
            .Enum<TCustomForm>("FormStyle", "TFormStyle",
                               {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"},
                               &TCustomForm::FormStyle, &TCustomForm::SetFormStyle)
            .Int<TControl>("Height", &TControl::Height, &TControl::SetHeight)
            .Str<TControl>("Hint", &TControl::Hint, &TControl::SetHint)
            .Bool<TCustomForm>("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview)
            .Int<TControl>("Left", &TControl::Left, &TControl::SetLeft)
            .Bool<TControl>("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
            .Enum<TCustomForm>("Position", "TPosition",
                               {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                "poScreenCenter", "poDesktopCenter", "poMainFormCenter",
                                "poOwnerFormCenter"},
                               &TCustomForm::Position, &TCustomForm::SetPosition)
            .Bool<TCustomForm>("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled)
            .Bool<TControl>("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
            .Int<TControl>("Top", &TControl::Top, &TControl::SetTop)
            .Bool<TControl>("Visible", &TControl::Visible, &TControl::SetVisible)
            .Int<TControl>("Width", &TControl::Width, &TControl::SetWidth)
            .Enum<TCustomForm>("WindowState", "TWindowState",
                               {"wsNormal", "wsMinimized", "wsMaximized"},
                               &TCustomForm::WindowState, &TCustomForm::SetWindowState)
            .Event<TCustomForm>("OnActivate", "TNotifyEvent", &TCustomForm::OnActivate)
            .Event<TControl>("OnClick", "TNotifyEvent", &TControl::OnClick)
            .Event<TCustomForm>("OnClose", "TCloseEvent", &TCustomForm::OnClose)
            .Event<TCustomForm>("OnCloseQuery", "TCloseQueryEvent", &TCustomForm::OnCloseQuery)
            .Event<TCustomForm>("OnCreate", "TNotifyEvent", &TCustomForm::OnCreate)
            .Event<TControl>("OnDblClick", "TNotifyEvent", &TControl::OnDblClick)
            .Event<TCustomForm>("OnDeactivate", "TNotifyEvent", &TCustomForm::OnDeactivate)
            .Event<TCustomForm>("OnDestroy", "TNotifyEvent", &TCustomForm::OnDestroy)
            .Event<TCustomForm>("OnHide", "TNotifyEvent", &TCustomForm::OnHide)
            .Event<TWinControl>("OnKeyDown", "TKeyEvent", &TWinControl::OnKeyDown)
            .Event<TWinControl>("OnKeyPress", "TKeyPressEvent", &TWinControl::OnKeyPress)
            .Event<TWinControl>("OnKeyUp", "TKeyEvent", &TWinControl::OnKeyUp)
            .Event<TControl>("OnMouseDown", "TMouseEvent", &TControl::OnMouseDown)
            .Event<TControl>("OnMouseMove", "TMouseMoveEvent", &TControl::OnMouseMove)
            .Event<TControl>("OnMouseUp", "TMouseEvent", &TControl::OnMouseUp)
            .Event<TCustomForm>("OnPaint", "TNotifyEvent", &TCustomForm::OnPaint)
            .Event<TControl>("OnResize", "TNotifyEvent", &TControl::OnResize)
            .Event<TCustomForm>("OnShow", "TNotifyEvent", &TCustomForm::OnShow);
    return info;
}

TForm::TForm(TComponent* owner) : TCustomForm(owner) {}

// ---------------------------------------------------------------------------------------------
// Application and Screen

static TApplication* MakeApplication() {
    static TApplication app;
    return &app;
}
static TScreen* MakeScreen() {
    static TScreen screen;
    return &screen;
}
TScreen* Screen = MakeScreen();
TApplication* Application = MakeApplication();

const TClassInfo& TApplication::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TApplication", &TComponent::StaticClassInfo())
            .Int<TApplication>("HintPause", &TApplication::HintPause, &TApplication::SetHintPause)
            .Int<TApplication>("HintHidePause", &TApplication::HintHidePause,
                               &TApplication::SetHintHidePause)
            .Bool<TApplication>("ShowHint", &TApplication::ShowHint, &TApplication::SetShowHint)
            .Str<TApplication>(
                "Title", &TApplication::Title,
                static_cast<void (TApplication::*)(const std::string&)>(&TApplication::SetTitle));
    return info;
}

TApplication::TApplication() : TComponent(nullptr) {}
TApplication::~TApplication() = default;

static void RefreshHints(TControl* c) {
    // UpdateHint is protected: reached through a member pointer named in a derived scope, so
    // that no control is cast to a class it is not.
    struct Access : TControl {
        static void Refresh(TControl* c) { (c->*&Access::UpdateHint)(); }
    };
    Access::Refresh(c);
    if (auto* wc = c->AsWinControl())
        for (int i = 0; i < wc->ControlCount(); ++i)
            RefreshHints(wc->Controls(i));
}

static void RefreshAllHintsNow() {
    if (Screen == nullptr)
        return;
    for (int i = 0; i < Screen->FormCount(); ++i)
        RefreshHints(Screen->Forms(i));
}

// Brings every control's tool tip to the application's hint settings at the next turn of the
// event loop, once however often the settings moved before it: showing hints off and on again
// (how a converted form makes the hint window take its new font) then costs no walk of every
// control of every form. A control whose own hint changes meanwhile updates itself at once.
static void RefreshAllHints() {
    static bool pending = false;
    if (QCoreApplication::instance() == nullptr) {
        RefreshAllHintsNow();
        return;
    }
    if (pending)
        return;
    pending = true;
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        pending = false;
        RefreshAllHintsNow();
    });
}

void TApplication::SetHintPause(int ms) {
    hintPause_ = ms;
}

void TApplication::SetHintHidePause(int ms) {
    if (hintHidePause_ == ms)
        return;
    hintHidePause_ = ms;
    RefreshAllHints();
}

void TApplication::SetShowHint(bool value) {
    if (showHint_ == value)
        return;
    showHint_ = value;
    RefreshAllHints();
}

void TApplication::SetHintColor(TColor color) {
    hintColor_ = color;
    QPalette pal = QToolTip::palette();
    pal.setColor(QPalette::ToolTipBase, ToQColor(color));
    QToolTip::setPalette(pal);
}

void TApplication::BringToFront() {
    QWidget* last = nullptr;
    for (int i = Screen->FormCount() - 1; i >= 0; --i) {
        QWidget* w = WidgetOf(Screen->Forms(i));
        if (w != nullptr && w->isVisible()) {
            RaiseWindow(w);
            last = w;
        }
    }
    if (last != nullptr) {
        last->activateWindow();
        QApplication::setActiveWindow(last);
    }
}

void TApplication::Minimize() {
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (QWidget* w = WidgetOf(Screen->Forms(i)); w != nullptr && w->isVisible())
            w->showMinimized();
}

void TApplication::Restore() {
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (QWidget* w = WidgetOf(Screen->Forms(i)); w != nullptr && w->isVisible())
            w->showNormal();
}

namespace {
// The application a program of its own created through Initialize.
QApplication* g_ownApplication = nullptr;
} // namespace

void TApplication::Initialize(int& argc, char** argv) {
    if (QCoreApplication::instance() != nullptr)
        return;
    // Held until the process ends: forms freed late still need it.
    g_ownApplication = new QApplication(argc, argv);
}

void TApplication::Run() {
    TComponentRef<TCustomForm> main(mainForm_);
    if (main)
        main->Show();
    while (!terminated_ && main && main->Visible())
        HandleMessage();
}

void TApplication::ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TApplication::HandleMessage() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return DialogPresenter().MessageBox(text, caption, flags);
}

void TApplication::HandleException(TObject* sender, const std::exception& e) {
    if (OnException.Assigned()) {
        OnException(sender, e);
        return;
    }
    MessageBox(e.what(), title_, MB_OK | MB_ICONERROR);
}

const TClassInfo& TScreen::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TScreen", &TComponent::StaticClassInfo())
            .Object<TScreen, TFont>("HintFont", "TFont", &TScreen::HintFont, &TScreen::SetHintFont)
            .Object<TScreen, TFont>("IconFont", "TFont", &TScreen::IconFont, &TScreen::SetIconFont)
            .Object<TScreen, TFont>("MenuFont", "TFont", &TScreen::MenuFont, &TScreen::SetMenuFont);
    return info;
}

TScreen::TScreen()
    : TComponent(nullptr), hintFont_(std::make_unique<TFont>()),
      iconFont_(std::make_unique<TFont>()), menuFont_(std::make_unique<TFont>()) {
    for (TFont* f : {hintFont_.get(), iconFont_.get(), menuFont_.get()}) {
        f->SetName("Tahoma");
        f->SetHeight(-11);
        f->OnChange = TNotifyEvent([this](TObject*) { ApplyFonts(); });
    }
    hintFont_->SetColor(clInfoText);
}

TScreen::~TScreen() = default;

void TScreen::ApplyFonts() {
    if (QCoreApplication::instance() == nullptr)
        return;
    QToolTip::setFont(ToQFont(*hintFont_));
    QApplication::setFont(ToQFont(*menuFont_), "QMenu");
    QApplication::setFont(ToQFont(*menuFont_), "QMenuBar");
}

TForm* TScreen::ActiveForm() const {
    return dynamic_cast<TForm*>(activeCustomForm_);
}

int TScreen::Width() const {
    QScreen* s = QGuiApplication::primaryScreen();
    return s != nullptr ? s->geometry().width() : 1024;
}

int TScreen::Height() const {
    QScreen* s = QGuiApplication::primaryScreen();
    return s != nullptr ? s->geometry().height() : 768;
}

void TScreen::SetCursor(TCursor cursor) {
    if (cursor_ == cursor)
        return;
    if (cursor_ != crDefault)
        QApplication::restoreOverrideCursor();
    cursor_ = cursor;
    if (cursor == crHourGlass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (cursor != crDefault)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
}

// ---------------------------------------------------------------------------------------------

bool GrabForm(TCustomForm* form, const std::string& path) {
    if (form == nullptr)
        return false;
    QWidget* w = WidgetOf(form);
    if (w == nullptr)
        return false;
    QCoreApplication::processEvents();
    QPixmap client = w->grab();
    bool framed = form->BorderStyle() != TBorderStyle::bsNone;
    int fw = framed ? FormFrameWidth / 2 : 0;
    int title = framed ? FormFrameHeight - FormFrameWidth : 0;
    QImage img(client.width() + 2 * fw, client.height() + title + 2 * fw, QImage::Format_RGB32);
    img.fill(ToQColor(clBtnFace));
    QPainter p(&img);
    if (framed) {
        // A window frame like the one the dialog gets on the desktop: border and caption bar.
        p.setPen(ToQColor(clBtnShadow));
        p.drawRect(0, 0, img.width() - 1, img.height() - 1);
        QRect bar(fw, fw, img.width() - 2 * fw, title);
        QLinearGradient g(bar.topLeft(), bar.topRight());
        g.setColorAt(0, ToQColor(clActiveCaption));
        g.setColorAt(1, ToQColor(clGradientActiveCaption));
        p.fillRect(bar, g);
        TFont captionFont;
        captionFont.Assign(form->Font());
        captionFont.SetHeight(-12);
        captionFont.SetStyle({fsBold});
        p.setFont(ToQFont(captionFont));
        p.setPen(ToQColor(clCaptionText));
        p.drawText(bar.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   ToQString(form->Caption()));
    }
    p.drawPixmap(fw, fw + title, client);
    p.end();
    return img.save(ToQString(path), "PNG");
}

} // namespace nuv
