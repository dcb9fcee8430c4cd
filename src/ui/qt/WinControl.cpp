// TWinControl (children, window handles, tab order, focus, alignment, docking sites) and the
// self-painting TCustomControl and TGraphicControl. Key messages are handled in
// EventRouting.cpp with the rest of the key path.
#include "ui/Controls.h"

#include "ui/Forms.h"
#include "ui/qt/QtBridge.h"

#include <QApplication>

#include <algorithm>
#include <map>

namespace nuv {

namespace {

std::map<HWND, TWinControl*>& HandleMap() {
    static std::map<HWND, TWinControl*> map;
    return map;
}
HWND g_nextHandle = 0x10000;

} // namespace

// ---------------------------------------------------------------------------------------------
// TWinControl

const TClassInfo& TWinControl::StaticClassInfo() {
    static const TClassInfo info("TWinControl", &TControl::StaticClassInfo());
    return info;
}

TWinControl::TWinControl(TComponent* owner) : TWinControl(owner, nullptr) {}

TWinControl::TWinControl(TComponent* owner, TWidgetFactory factory)
    : TControl(owner, factory != nullptr ? factory : &WindowedWidgetFactory) {
    ApplyFocusPolicy(this);
}

TWinControl::~TWinControl() {
    // Leave the parent while this is still a TWinControl: by the time ~TControl runs, the
    // parent could no longer tell it from a graphic control and would keep a dangling entry
    // in its list of windowed children.
    if (Parent() != nullptr)
        Parent()->RemoveControl(this);
    // A focused control that is freed is no longer the screen's active control.
    if (Screen != nullptr && Screen->activeControl_ == this)
        Screen->activeControl_ = nullptr;
    // The parent frees its child controls (they leave the owner's list as they go).
    while (!controls_.empty() || !winControls_.empty()) {
        TControl* c =
            !winControls_.empty() ? static_cast<TControl*>(winControls_.back()) : controls_.back();
        RemoveControl(c);
        c->Free();
    }
    if (handle_ != 0) {
        HandleMap().erase(handle_);
        handle_ = 0;
    }
}

TControl* TWinControl::Controls(int index) const {
    int n = static_cast<int>(controls_.size());
    if (index < 0 || index >= ControlCount())
        throw EInvalidOperation("Control index out of bounds (" + std::to_string(index) + ")");
    return index < n ? controls_[static_cast<std::size_t>(index)]
                     : winControls_[static_cast<std::size_t>(index - n)];
}

void TWinControl::InsertControl(TControl* c) {
    if (c == nullptr || c->parent_ == this)
        return;
    if (c->parent_ != nullptr)
        c->parent_->RemoveControl(c);
    c->parent_ = this;
    auto* const wc = c->AsWinControl();
    if (wc != nullptr) {
        winControls_.push_back(wc);
        tabList_.push_back(wc);
    } else {
        controls_.push_back(c);
    }
    QWidget* w = WidgetOf(c);
    if (w != nullptr) {
        // A widget made while its parent was the last one filled already sits there (see
        // TControl::Init); setting the same parent again would only resolve its fonts and
        // palette once more.
        if (w->parentWidget() != WidgetOf(this)) {
            KeepInsideColors(c); // what the widget inherits changes with its Qt parent
            w->setParent(WidgetOf(this));
        }
        LastInsertParent() = WidgetOf(this);
        c->ApplyGeometry();
        // The children were stacked in order (graphic controls below windowed ones), and the
        // new one comes last of its kind: it alone moves, instead of every child again.
        QWidget* firstWindowed = nullptr;
        if (wc == nullptr)
            for (TWinControl* other : winControls_)
                if ((firstWindowed = WidgetOf(other)) != nullptr)
                    break;
        if (firstWindowed != nullptr)
            w->stackUnder(firstWindowed);
        else
            w->raise();
    } else {
        RestackChildren();
    }
    if (c->parentFont_)
        c->ParentFontChanged();
    if (c->parentColor_)
        c->ParentColorChanged();
    // The colour is brought to the widget here, under its parent: a colour that was never set
    // (a control's default) or that showed through the old parent shows now.
    c->ColorChanged();
    if (c->parentShowHint_ && c->showHint_ != ShowHint()) {
        c->showHint_ = ShowHint();
        c->Perform(CM_SHOWHINTCHANGED, 0, 0);
    }
    c->UpdateHint();
    if (w != nullptr)
        w->setVisible(c->visible_);
    if (c->align_ != alNone)
        Realign();
    if (wc != nullptr) {
        if (HandleAllocated() && wc->visible_)
            wc->HandleNeeded();
        wc->UpdateShowingChildren();
    }
}

void TWinControl::RemoveControl(TControl* c) {
    if (c == nullptr || c->parent_ != this)
        return;
    if (auto* form = GetParentForm(this)) {
        if (auto* wc = c->AsWinControl()) {
            // The focus cannot stay inside a control that leaves the form.
            if (form->focusedControl_ != nullptr && wc->ContainsControl(form->focusedControl_))
                form->focusedControl_ = this;
            if (form->activeControl_ != nullptr && wc->ContainsControl(form->activeControl_))
                form->activeControl_ = nullptr;
        }
    }
    auto erase = [](auto& v, auto* p) { v.erase(std::remove(v.begin(), v.end(), p), v.end()); };
    if (auto* wc = c->AsWinControl()) {
        erase(winControls_, wc);
        erase(tabList_, wc);
    } else {
        erase(controls_, c);
    }
    c->parent_ = nullptr;
    if (QWidget* w = WidgetOf(c)) {
        w->hide();
        w->setParent(nullptr);
    }
    if (c->align_ != alNone)
        Realign();
}

bool TWinControl::ContainsControl(const TControl* c) const {
    for (; c != nullptr; c = c->Parent())
        if (c == this)
            return true;
    return false;
}

HWND TWinControl::Handle() {
    if (handle_ != 0)
        return handle_;
    if (Parent() != nullptr)
        Parent()->HandleNeeded();
    if (handle_ != 0)
        return handle_;
    handle_ = g_nextHandle;
    g_nextHandle += 4;
    HandleMap()[handle_] = this;
    TComponentRef<TControl> self(this);
    // A new window is told its size and position, as CreateWindowEx does.
    TRect cr = ClientRect();
    Perform(WM_SIZE, 0, MakeLParam(cr.Width(), cr.Height()));
    if (!self)
        return 0;
    Perform(WM_MOVE, 0, MakeLParam(Left(), Top()));
    if (!self)
        return 0;
    CreateWnd();
    std::vector<TWinControl*> children = winControls_;
    for (TWinControl* c : children)
        if (c->Visible() && c->handle_ == 0)
            c->HandleNeeded();
    return handle_;
}

TWinControl* FindControl(HWND handle) {
    auto it = HandleMap().find(handle);
    return it == HandleMap().end() ? nullptr : it->second;
}

bool TWinControl::Showing() const {
    if (!Visible())
        return false;
    if (Parent() != nullptr)
        return Parent()->Showing();
    if (AsForm() != nullptr) {
        QWidget* w = WidgetOf(this);
        return w != nullptr && w->isVisible();
    }
    return false;
}

void TWinControl::UpdateShowingChildren() {
    // A child shows when it is visible and its parent shows, and every change of a child's own
    // visibility or parent updates that child: so when this control's showing did not change,
    // neither did any control's inside it. (Qt's Show events reach every widget of a window
    // being shown; each of them stops here at once instead of walking its inside again.)
    bool now = Showing();
    if (now == Impl()->lastShowing)
        return;
    Impl()->lastShowing = now;
    TComponentRef<TControl> self(this);
    Perform(CM_SHOWINGCHANGED, 0, 0);
    if (!self || winControls_.empty())
        return;
    std::vector<TWinControl*> children = winControls_;
    for (TWinControl* c : children)
        c->UpdateShowingChildren();
}

int TWinControl::TabOrder() const {
    if (Parent() == nullptr)
        return -1;
    auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (Parent() == nullptr)
        return;
    auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end())
        return;
    list.erase(it);
    if (order < 0 || order > static_cast<int>(list.size()))
        order = static_cast<int>(list.size());
    list.insert(list.begin() + order, this);
}

void TWinControl::SetTabStop(bool value) {
    if (tabStop_ == value)
        return;
    tabStop_ = value;
    ApplyFocusPolicy(this);
}

void ApplyFocusPolicy(TWinControl* c) {
    QWidget* w = WidgetOf(c);
    if (w == nullptr)
        return;
    // Tab and arrow traversal is ours (SelectNext); Qt only decides whether a click focuses.
    if (w->focusPolicy() != Qt::NoFocus || c->TabStop())
        w->setFocusPolicy(c->TabStop() ? Qt::StrongFocus : w->focusPolicy());
}

bool TWinControl::CanFocus() const {
    const TCustomForm* form = GetParentForm(this);
    if (form == nullptr)
        return false;
    for (const TControl* c = this; c != form; c = c->Parent())
        if (c == nullptr || !c->Visible() || !c->Enabled())
            return false;
    return true;
}

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm(this);
    if (form == nullptr)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    form->FocusControl(this);
}

bool TWinControl::Focused() const {
    QWidget* f = QApplication::focusWidget();
    return f != nullptr && WinControlOfWidget(f) == this;
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    int count = static_cast<int>(list.size());
    int start = -1;
    for (int i = 0; i < count; ++i)
        if (list[static_cast<std::size_t>(i)] == current)
            start = i;
    if (start < 0)
        start = goForward ? count - 1 : 0;
    int i = start;
    do {
        if (goForward) {
            if (++i == count)
                i = 0;
        } else {
            if (i == 0)
                i = count;
            --i;
        }
        TWinControl* c = list[static_cast<std::size_t>(i)];
        if (c->CanFocus() && (!checkTabStop || c->TabStop()) &&
            (!checkParent || c->Parent() == this))
            return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop);
    if (next != nullptr)
        next->SetFocus();
}

void TWinControl::Broadcast(TMessage& message) {
    std::vector<TControl*> all;
    for (int i = 0; i < ControlCount(); ++i)
        all.push_back(Controls(i));
    for (TControl* c : all) {
        c->WndProc(message);
        if (message.Result != 0)
            return;
    }
}

int TWinControl::DockClientCount() const {
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->HostDockSite() == this)
            ++n;
    return n;
}

TControl* TWinControl::DockClients(int index) const {
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->HostDockSite() == this && index-- == 0)
            return Controls(i);
    return nullptr;
}

void TWinControl::DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept) {
    TRect influence = BoundsRect();
    bool canDock = true;
    OnGetSiteInfo(this, source != nullptr ? source->Control : nullptr, influence, TPoint{x, y},
                  canDock);
    accept = canDock;
    if (canDock)
        OnDockOver(this, source, x, y, state, accept);
}

void TWinControl::DockDrop(TDragDockObject* source, int x, int y) {
    OnDockDrop(this, source, x, y);
}

bool TWinControl::DoUnDock(TWinControl* newTarget, TControl* client) {
    bool allow = true;
    OnUnDock(this, client, newTarget, allow);
    return allow;
}

void TWinControl::RestackChildren() {
    for (TControl* c : controls_)
        if (QWidget* w = WidgetOf(c))
            w->raise();
    for (TWinControl* c : winControls_)
        if (QWidget* w = WidgetOf(c))
            w->raise();
}

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0)
        Realign();
}

void TWinControl::AdjustClientRect(TRect&) const {}

void TWinControl::Realign() {
    if (alignDisabled_ > 0 || aligning_)
        return;
    aligning_ = true;
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(nullptr, r);
    aligning_ = false;
}

void TWinControl::AlignControls(TControl*, TRect& rect) {
    std::vector<TControl*> all;
    for (int i = 0; i < ControlCount(); ++i)
        all.push_back(Controls(i));
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        for (TControl* c : all)
            if (c->Align() == a && c->Visible())
                list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
            switch (a) {
            case alTop:
                return x->Top() < y->Top();
            case alBottom:
                return x->Top() + x->Height() > y->Top() + y->Height();
            case alLeft:
                return x->Left() < y->Left();
            case alRight:
                return x->Left() + x->Width() > y->Left() + y->Width();
            default:
                return false;
            }
        });
        for (TControl* c : list) {
            switch (a) {
            case alTop:
                c->SetBounds(rect.Left, rect.Top, rect.Width(), c->Height());
                rect.Top += c->Height();
                break;
            case alBottom:
                c->SetBounds(rect.Left, rect.Bottom - c->Height(), rect.Width(), c->Height());
                rect.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(rect.Left, rect.Top, c->Width(), rect.Height());
                rect.Left += c->Width();
                break;
            case alRight:
                c->SetBounds(rect.Right - c->Width(), rect.Top, c->Width(), rect.Height());
                rect.Right -= c->Width();
                break;
            default:
                c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
                break;
            }
        }
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    bool moved = left != Left() || top != Top();
    bool sized = width != Width() || height != Height();
    if (!moved && !sized)
        return;
    TComponentRef<TControl> self(this);
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    ApplyGeometry();
    if (Parent() != nullptr && Align() != alNone)
        Parent()->Realign();
    if (!self)
        return;
    if (HandleAllocated()) {
        if (moved)
            Perform(WM_MOVE, 0, MakeLParam(left, top));
        if (!self)
            return;
        if (sized) {
            TRect cr = ClientRect();
            Perform(WM_SIZE, 0, MakeLParam(cr.Width(), cr.Height()));
        }
    } else if (sized) {
        Realign();
    }
}

void TWinControl::DoEnter() {
    OnEnter(this);
}
void TWinControl::DoExit() {
    OnExit(this);
}
void TWinControl::KeyDown(Word& key, TShiftState shift) {
    OnKeyDown(this, key, shift);
}
void TWinControl::KeyUp(Word& key, TShiftState shift) {
    OnKeyUp(this, key, shift);
}
void TWinControl::KeyPress(TKeyChar& key) {
    OnKeyPress(this, key);
}

void TWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
        KeyMessage(m);
        return;
    case WM_SIZE: {
        TComponentRef<TControl> self(this);
        DefaultHandler(m);
        Realign();
        if (self && !ComponentState().Contains(csLoading))
            Resize();
        return;
    }
    case CM_ENTER:
        DoEnter();
        return;
    case CM_EXIT:
        DoExit();
        return;
    case WM_GETDLGCODE:
        m.Result = DialogCode();
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
        Broadcast(m);
        return;
    case CM_ENABLEDCHANGED:
        TControl::WndProc(m);
        return;
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
    case CM_SHOWHINTCHANGED: {
        TControl::WndProc(m);
        UINT notify = m.Msg == CM_FONTCHANGED    ? CM_PARENTFONTCHANGED
                      : m.Msg == CM_COLORCHANGED ? CM_PARENTCOLORCHANGED
                                                 : CM_PARENTSHOWHINTCHANGED;
        std::vector<TControl*> children;
        for (int i = 0; i < ControlCount(); ++i)
            children.push_back(Controls(i));
        for (TControl* c : children)
            c->Perform(notify, 0, 0);
        return;
    }
    default:
        TControl::WndProc(m);
    }
}

void TWinControl::DefaultHandler(TMessage& m) {
    TControl::DefaultHandler(m);
}

// ---------------------------------------------------------------------------------------------
// TCustomControl and TGraphicControl

const TClassInfo& TCustomControl::StaticClassInfo() {
    static const TClassInfo info("TCustomControl", &TWinControl::StaticClassInfo());
    return info;
}

TCustomControl::TCustomControl(TComponent* owner) : TCustomControl(owner, nullptr) {}

TCustomControl::TCustomControl(TComponent* owner, TWidgetFactory factory)
    : TWinControl(owner, factory) {}

TCustomControl::~TCustomControl() {
    Impl()->canvas = nullptr;
}

namespace {
// The control's own canvas, made on the first call; the control's font changes reach it from
// then on (TControl::FontChanged).
TControlCanvas* OwnCanvas(std::unique_ptr<TControlCanvas>& canvas, const TControl* control) {
    if (canvas == nullptr) {
        canvas = std::make_unique<TControlCanvas>(const_cast<TControl*>(control));
        control->Impl()->canvas = canvas.get();
    }
    return canvas.get();
}
} // namespace

TCanvas* TCustomControl::Canvas() const {
    return OwnCanvas(canvas_, this);
}

void TCustomControl::ControlStyleChanged() {
    QWidget* w = WidgetOf(this);
    if (w == nullptr)
        return;
    const bool opaque = ControlStyle().Contains(csOpaque);
    w->setAttribute(Qt::WA_OpaquePaintEvent, opaque);
    w->setAutoFillBackground(!opaque);
}

void TCustomControl::WndProc(TMessage& m) {
    if (m.Msg == WM_PAINT) {
        TWinControl::WndProc(m);
        Paint();
        return;
    }
    TWinControl::WndProc(m);
}

const TClassInfo& TGraphicControl::StaticClassInfo() {
    static const TClassInfo info("TGraphicControl", &TControl::StaticClassInfo());
    return info;
}

TGraphicControl::TGraphicControl(TComponent* owner) : TGraphicControl(owner, nullptr) {}

TGraphicControl::TGraphicControl(TComponent* owner, TWidgetFactory factory)
    : TControl(owner, factory) {}

TCanvas* TGraphicControl::Canvas() const {
    return OwnCanvas(canvas_, this);
}

TGraphicControl::~TGraphicControl() {
    Impl()->canvas = nullptr;
}

void TGraphicControl::WndProc(TMessage& m) {
    if (m.Msg == WM_PAINT) {
        TControl::WndProc(m);
        Paint();
        return;
    }
    TControl::WndProc(m);
}

} // namespace nuv
