// The road from Qt events into the control layer. Every Qt event that a control sees enters
// here and becomes a window message for the control's WndProc (or a direct call where the VCL
// has no message); what a handler leaves alone ends in TControl::DefaultHandler, which lets the
// Qt event through to the widget.
//
//   Qt event / signal                  road                    message -> handler
//   ---------------------------------  ----------------------  ---------------------------------
//   mouse press/release/double click   application filter      WM_[LRM]BUTTON{DOWN,UP,DBLCLK}
//                                                              -> WndProc: Click, DblClick,
//                                                              MouseDown/Up, BeginDrag
//   mouse move                         application filter      WM_MOUSEMOVE -> MouseMove
//     ... while a drag is on           application filter      -> DragDock.cpp (DragOver, drop)
//   key press (the focused widget)     application filter      1. menu short-cuts of the control
//                                                                 chain and the form: IsShortCut
//                                                              2. Tab/arrows/Enter/Esc the
//                                                                 control does not want
//                                                                 (CM_WANTSPECIALKEY,
//                                                                 WM_GETDLGCODE): CM_DIALOGKEY to
//                                                                 the form (Tab order, arrows),
//                                                                 then to its children (default
//                                                                 and cancel buttons)
//                                                              3. Alt+character: CM_DIALOGCHAR
//                                                                 (accelerators)
//                                                              4. WM_KEYDOWN/WM_SYSKEYDOWN ->
//                                                                 KeyMessage: form KeyDown when
//                                                                 KeyPreview, then the control's
//                                                                 KeyDown (OnKeyDown)
//                                                              5. WM_CHAR -> KeyMessage: form
//                                                                 KeyPress, control KeyPress
//                                                              6. the key as the handlers left it
//                                                                 goes to the widget
//   key release                        application filter      WM_KEYUP -> KeyMessage: KeyUp
//   context menu                       application filter      OnContextPopup, then PopupMenu
//                                                              (up the parent chain)
//   paint                              TWidget::paintEvent     WM_PAINT -> Paint / OnPaint
//   Tab chain (focusNextPrevChild)     TWidget hook            the form's FindNextControl
//   enter / leave                      TWidget::event          CM_MOUSEENTER / CM_MOUSELEAVE
//   show / hide of a windowed control  TWidget::event          CM_SHOWINGCHANGED (children)
//   form: close box                    TWidget::event          WM_CLOSE -> Close (OnCloseQuery)
//   form: (de)activation               TWidget::event          CM_ACTIVATE / CM_DEACTIVATE
//   form: resized / moved by the user  TWidget::event          SetBounds (WM_SIZE, WM_MOVE)
//   focus change                       QApplication signal     SetFocusedControl: CM_EXIT and
//                                                              CM_ENTER -> DoExit/DoEnter
//   widget signals (text changed,      RouteSignal, only       CM_TEXTCHANGED / Change, button
//   button clicked, list selection,    while the control       CN_COMMAND BN_CLICKED -> Click,
//   combo activated, spin buttons)     lives                   OnSelect, UpClick/DownClick
//
// Not controls, so not on this road: menu actions (Forms.cpp, Menus.cpp: TMenuItem::Click), the
// buttons of a message box (Dialogs.cpp) and the list view's header and selection model
// (ListView.cpp, guarded by the list they show).
//
// A message that stands for a Qt event carries it (TMessage::Native): DefaultHandler then marks
// the event to be delivered, and the filter sends it on, with the key or character the handlers
// set. A message sent by code (Perform) carries none, and DefaultHandler synthesizes the Qt
// event instead (a click, a key, a character). Synthesized events pass the filter untouched.
#include "ui/qt/EventRouting.h"

#include "ui/Forms.h"
#include "ui/Menus.h"
#include "ui/qt/QtBridge.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <memory>

namespace nuv {

// ---------------------------------------------------------------------------------------------
// Messages that stand for a Qt event

// The Qt event behind a routed message. TControl::DefaultHandler marks it allowed when the
// message reaches it, that is when no handler kept the event from the widget.
struct TNativeEvent {
    const TMessage* message;
    bool allowed = false;
};

namespace {

// Sends a message that stands for a Qt event to the control; true when the event should go on
// to the widget.
bool DeliverRouted(TControl* c, TMessage& m) {
    TNativeEvent native{&m};
    m.Native = &native;
    c->WndProc(m);
    m.Native = nullptr;
    return native.allowed;
}

} // namespace

bool& Synthesizing() {
    static bool flag = false;
    return flag;
}

struct SynthesizeScope {
    bool saved;
    SynthesizeScope() : saved(Synthesizing()) { Synthesizing() = true; }
    ~SynthesizeScope() { Synthesizing() = saved; }
};

// A window of its own that no control owns (a look-up window the host opens over a form) is
// not a part of the form below it: its focus, keys and clicks are its own, and taking them for
// the form's would make the form forget its active control. Pop-ups (a combo box's drop-down
// list, a tip) stay parts of the control that opened them.
static bool IsForeignWindow(const QWidget* w) {
    return w->isWindow() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip;
}

TControl* ControlOfWidget(const QWidget* w) {
    for (; w != nullptr; w = w->parentWidget()) {
        auto* hook = dynamic_cast<const TControlWidget*>(w);
        if (hook != nullptr && hook->control != nullptr)
            return hook->control;
        if (IsForeignWindow(w))
            break;
    }
    return nullptr;
}

TWinControl* WinControlOfWidget(const QWidget* w) {
    for (; w != nullptr; w = w->parentWidget()) {
        auto* hook = dynamic_cast<const TControlWidget*>(w);
        if (hook != nullptr && hook->control != nullptr)
            if (auto* wc = hook->control->AsWinControl())
                return wc;
        if (IsForeignWindow(w))
            break;
    }
    return nullptr;
}

TShiftState ShiftFromQt(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
    TShiftState s;
    if (mods & Qt::ShiftModifier)
        s.Include(ssShift);
    if (mods & Qt::ControlModifier)
        s.Include(ssCtrl);
    if (mods & Qt::AltModifier)
        s.Include(ssAlt);
    if (buttons & Qt::LeftButton)
        s.Include(ssLeft);
    if (buttons & Qt::RightButton)
        s.Include(ssRight);
    if (buttons & Qt::MiddleButton)
        s.Include(ssMiddle);
    return s;
}

TShiftState KeyboardShiftState() {
    return ShiftFromQt(QGuiApplication::queryKeyboardModifiers(), QGuiApplication::mouseButtons());
}

static const std::pair<int, Word> kKeyMap[] = {
    {Qt::Key_Backspace, VK_BACK},  {Qt::Key_Tab, VK_TAB},       {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},   {Qt::Key_Enter, VK_RETURN},  {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},      {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_Escape, VK_ESCAPE},   {Qt::Key_Space, VK_SPACE},   {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},   {Qt::Key_End, VK_END},       {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},       {Qt::Key_Up, VK_UP},         {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},       {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE},
};

Word VirtualKeyFromQt(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<Word>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<Word>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return static_cast<Word>(VK_F1 + (key - Qt::Key_F1));
    for (auto& [q, vk] : kKeyMap)
        if (q == key)
            return vk;
    return 0;
}

int QtKeyFromVirtualKey(Word vk) {
    if (vk >= 'A' && vk <= 'Z')
        return Qt::Key_A + (vk - 'A');
    if (vk >= '0' && vk <= '9')
        return Qt::Key_0 + (vk - '0');
    if (vk >= VK_F1 && vk <= VK_F12)
        return Qt::Key_F1 + (vk - VK_F1);
    for (auto& [q, v] : kKeyMap)
        if (v == vk)
            return q;
    return 0;
}

std::vector<TCanvas*>& OpenCanvases() {
    static std::vector<TCanvas*> list;
    return list;
}

// ---------------------------------------------------------------------------------------------
// Hooks of a control's widget: paint, focus chain, enter/leave, show/hide, form window events

void RoutePaint(TControlWidget* w, QPaintEvent* e) {
    TControl* c = w->control;
    w->currentPaint = e;
    std::size_t mark = OpenCanvases().size();
    TMessage m{WM_PAINT, 0, 0, 0};
    Guarded([&] { c->WndProc(m); });
    auto& open = OpenCanvases();
    while (open.size() > mark) {
        TCanvas* canvas = open.back();
        open.pop_back();
        TCanvasImpl* ci = canvas->Impl();
        if (ci->owned)
            ci->owned->end();
        ci->owned.reset();
        EndCanvasPaint(*canvas);
    }
    w->currentPaint = nullptr;
}

bool RouteFocusNextPrev(TControlWidget* w, bool next) {
    auto* wc = w->control != nullptr ? w->control->AsWinControl() : nullptr;
    if (wc == nullptr)
        return false;
    TCustomForm* form = GetParentForm(wc);
    if (form == nullptr)
        return false;
    TWinControl* cur = form->ActiveControl();
    TWinControl* target = form->FindNextControl(cur, next, true, false);
    if (target != nullptr && target != cur) {
        if (QWidget* tw = WidgetOf(target))
            tw->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    }
    return true;
}

// The window events of a form: the close box asks the form (WM_CLOSE), activation becomes
// CM_ACTIVATE/CM_DEACTIVATE, and a size or place the window system gave is taken over into the
// form's bounds.
static bool RouteFormWindowEvent(TControlWidget* w, TCustomForm* form, QEvent* e) {
    switch (e->type()) {
    case QEvent::Close:
        e->ignore();
        if (e->spontaneous())
            Guarded([&] { form->Perform(WM_CLOSE, 0, 0); });
        return true;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        w->NativeEvent(e);
        if (w->control != nullptr)
            Guarded([&] {
                form->Perform(e->type() == QEvent::WindowActivate ? CM_ACTIVATE : CM_DEACTIVATE, 0,
                              0);
            });
        return true;
    case QEvent::Resize:
        w->NativeEvent(e);
        if (w->control != nullptr && e->spontaneous()) {
            QSize s = static_cast<QResizeEvent*>(e)->size();
            TRect cr = form->ClientRect();
            if (s.width() != cr.Width() || s.height() != cr.Height())
                Guarded([&] {
                    form->SetBounds(form->Left(), form->Top(),
                                    form->Width() + s.width() - cr.Width(),
                                    form->Height() + s.height() - cr.Height());
                });
        }
        return true;
    case QEvent::Move:
        w->NativeEvent(e);
        if (w->control != nullptr && e->spontaneous()) {
            QPoint p = static_cast<QMoveEvent*>(e)->pos();
            if (p.x() != form->Left() || p.y() != form->Top())
                Guarded([&] { form->SetBounds(p.x(), p.y(), form->Width(), form->Height()); });
        }
        return true;
    default:
        return false;
    }
}

bool RouteWidgetEvent(TControlWidget* w, QEvent* e) {
    TControl* c = w->control;
    switch (e->type()) {
    case QEvent::Enter:
        c->Impl()->mouseInside = true;
        Guarded([&] { c->Perform(CM_MOUSEENTER, 0, 0); });
        return false;
    case QEvent::Leave:
        c->Impl()->mouseInside = false;
        Guarded([&] { c->Perform(CM_MOUSELEAVE, 0, 0); });
        return false;
    case QEvent::Show:
    case QEvent::Hide:
        if (auto* wc = c->AsWinControl()) {
            w->NativeEvent(e);
            Guarded([&] { wc->UpdateShowingChildren(); });
            return true;
        }
        return false;
    case QEvent::Close:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::Resize:
    case QEvent::Move:
        if (auto* form = c->AsForm())
            return RouteFormWindowEvent(w, form, e);
        return false;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// The application filter: mouse, keys and context menus

// Application-wide filter: mouse, keys and context menus travel as messages to the control.
class TUiEventFilter : public QObject {
public:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    bool Mouse(QWidget* receiver, QMouseEvent* e);
    bool Key(QWidget* receiver, QKeyEvent* e);
    bool ContextMenu(QWidget* receiver, QContextMenuEvent* e);
    QEvent::Type lastType_ = QEvent::None;
    quint64 lastStamp_ = 0;
    QPointF lastGlobal_;
    QWidget* lastReceiverControl_ = nullptr;
};

void ReportEventException(const std::exception& e) {
    if (Application != nullptr)
        Application->HandleException(nullptr, e);
}

bool TUiEventFilter::eventFilter(QObject* obj, QEvent* e) {
    if (Synthesizing() || !obj->isWidgetType())
        return false;
    auto* receiver = static_cast<QWidget*>(obj);
    bool result = false;
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (!Guarded([&] { result = Mouse(receiver, static_cast<QMouseEvent*>(e)); }))
            return true;
        return result;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (!Guarded([&] { result = Key(receiver, static_cast<QKeyEvent*>(e)); }))
            return true;
        return result;
    case QEvent::ContextMenu:
        if (!Guarded([&] { result = ContextMenu(receiver, static_cast<QContextMenuEvent*>(e)); }))
            return true;
        return result;
    default:
        return false;
    }
}

bool TUiEventFilter::Mouse(QWidget* receiver, QMouseEvent* e) {
    // Drag in progress: the mouse belongs to the drag.
    if (bool consumed = false; RouteDragMouse(e, consumed))
        return consumed;
    // Qt hands an unhandled mouse event on to the parents; the control saw it already.
    if (e->type() == lastType_ && e->timestamp() == lastStamp_ &&
        e->globalPosition() == lastGlobal_ && receiver->isAncestorOf(lastReceiverControl_))
        return false;
    TControl* c = ControlOfWidget(receiver);
    if (c == nullptr)
        return false;
    QWidget* cw = WidgetOf(c);
    lastType_ = e->type();
    lastStamp_ = e->timestamp();
    lastGlobal_ = e->globalPosition();
    lastReceiverControl_ = receiver;
    QPoint pos = cw->mapFromGlobal(e->globalPosition().toPoint());
    UINT msg = 0;
    Qt::MouseButton b = e->button();
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        msg = b == Qt::LeftButton    ? WM_LBUTTONDOWN
              : b == Qt::RightButton ? WM_RBUTTONDOWN
                                     : WM_MBUTTONDOWN;
        break;
    case QEvent::MouseButtonDblClick:
        if (c->ControlStyle().Contains(csDoubleClicks))
            msg = b == Qt::LeftButton    ? WM_LBUTTONDBLCLK
                  : b == Qt::RightButton ? WM_RBUTTONDBLCLK
                                         : WM_MBUTTONDBLCLK;
        else
            msg = b == Qt::LeftButton    ? WM_LBUTTONDOWN
                  : b == Qt::RightButton ? WM_RBUTTONDOWN
                                         : WM_MBUTTONDOWN;
        break;
    case QEvent::MouseButtonRelease:
        msg = b == Qt::LeftButton    ? WM_LBUTTONUP
              : b == Qt::RightButton ? WM_RBUTTONUP
                                     : WM_MBUTTONUP;
        break;
    default:
        msg = WM_MOUSEMOVE;
        break;
    }
    WPARAM keys = 0;
    Qt::MouseButtons buttons = e->buttons();
    if (buttons & Qt::LeftButton)
        keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        keys |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        keys |= MK_MBUTTON;
    if (e->modifiers() & Qt::ShiftModifier)
        keys |= MK_SHIFT;
    if (e->modifiers() & Qt::ControlModifier)
        keys |= MK_CONTROL;
    TMessage m{msg, keys, MakeLParam(pos.x(), pos.y()), 0};
    if (DeliverRouted(c, m)) {
        std::unique_ptr<QEvent> copy(e->clone());
        SynthesizeScope s;
        QApplication::sendEvent(receiver, copy.get());
        e->setAccepted(copy->isAccepted());
    }
    return true;
}

static bool IsMenuKey(TWinControl* c, Word key, TShiftState shift) {
    for (TControl* p = c; p != nullptr; p = p->Parent())
        if (TPopupMenu* menu = p->PopupMenu(); menu != nullptr && menu->Owner() != nullptr)
            if (menu->IsShortCut(key, shift))
                return true;
    TCustomForm* form = GetParentForm(c);
    return form != nullptr && form->IsShortCut(key, shift);
}

bool TUiEventFilter::Key(QWidget* receiver, QKeyEvent* e) {
    if (receiver != QApplication::focusWidget())
        return false;
    TWinControl* c = WinControlOfWidget(receiver);
    if (c == nullptr)
        return false;
    TComponentRef<TWinControl> ctl(c);
    TShiftState shift = ShiftFromQt(e->modifiers(), Qt::NoButton);
    Word vk = VirtualKeyFromQt(e->key());
    if (e->key() == Qt::Key_Backtab)
        shift.Include(ssShift);
    LPARAM shiftBits = static_cast<LPARAM>(shift.Bits());
    if (e->type() == QEvent::KeyRelease) {
        if (vk == 0)
            return false;
        TMessage m{WM_KEYUP, vk, 0, 0};
        if (DeliverRouted(c, m)) {
            std::unique_ptr<QEvent> copy(e->clone());
            SynthesizeScope s;
            QApplication::sendEvent(receiver, copy.get());
        }
        return true;
    }
    // Menu short-cuts.
    if (vk != 0 && !shift.Empty() && IsMenuKey(c, vk, shift))
        return true;
    if (!ctl)
        return true;
    TCustomForm* form = GetParentForm(c);
    // Dialog keys that the control does not keep.
    LRESULT mask = 0;
    switch (vk) {
    case VK_TAB:
        mask = DLGC_WANTTAB;
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        mask = DLGC_WANTARROWS;
        break;
    case VK_RETURN:
    case VK_ESCAPE:
        mask = DLGC_WANTALLKEYS;
        break;
    default:
        break;
    }
    if (mask != 0 && form != nullptr && c->Perform(CM_WANTSPECIALKEY, vk, 0) == 0 &&
        (c->Perform(WM_GETDLGCODE, 0, 0) & mask) == 0 && ctl &&
        form->Perform(CM_DIALOGKEY, vk, shiftBits) != 0)
        return true;
    if (!ctl)
        return true;
    // Accelerators: Alt + character.
    QString text = e->text();
    char32_t ch = 0;
    if (!text.isEmpty())
        ch = text.toUcs4().value(0);
    if (ch == 0) {
        if (vk == VK_RETURN)
            ch = 13;
        else if (vk == VK_ESCAPE)
            ch = 27;
        else if (vk == VK_BACK)
            ch = 8;
        else if (vk == VK_TAB)
            ch = 9;
    }
    if (form != nullptr && shift.Contains(ssAlt) && !shift.Contains(ssCtrl) && ch >= ' ') {
        if (form->Perform(CM_DIALOGCHAR, ch, 0) != 0)
            return true;
        if (!ctl)
            return true;
    }
    bool keyAllowed = true;
    Word newKey = vk;
    if (vk != 0) {
        TMessage m{shift.Contains(ssAlt) ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, shiftBits, 0};
        keyAllowed = DeliverRouted(c, m);
        newKey = static_cast<Word>(m.WParam);
        if (!ctl)
            return true;
    }
    // Control characters of Ctrl+letter come as WM_CHAR too.
    bool charAllowed = true;
    char32_t newChar = ch;
    if (ch != 0 && !shift.Contains(ssAlt)) {
        TMessage m{WM_CHAR, ch, 0, 0};
        charAllowed = DeliverRouted(c, m);
        newChar = static_cast<char32_t>(m.WParam);
        if (!ctl)
            return true;
    }
    bool deliver = ch != 0 ? charAllowed : keyAllowed;
    if (!deliver)
        return true;
    SynthesizeScope s;
    if (newKey == vk && newChar == ch) {
        std::unique_ptr<QEvent> copy(e->clone());
        QApplication::sendEvent(receiver, copy.get());
        e->setAccepted(copy->isAccepted());
        return true;
    }
    int qtKey = e->key();
    QString newText = text;
    if (ch != 0 && newChar != ch) {
        newText = newChar == 13 ? QString("\r") : QString::fromUcs4(&newChar, 1);
        qtKey = newChar == 13
                    ? Qt::Key_Return
                    : (newChar < 128 && QChar(static_cast<char16_t>(newChar)).isLetter()
                           ? Qt::Key_A +
                                 (QChar(static_cast<char16_t>(newChar)).toUpper().unicode() - 'A')
                           : 0);
    } else if (newKey != vk) {
        qtKey = QtKeyFromVirtualKey(newKey);
        newText = QString();
    }
    QKeyEvent ke(QEvent::KeyPress, qtKey, e->modifiers(), newText);
    QApplication::sendEvent(receiver, &ke);
    return true;
}

bool TUiEventFilter::ContextMenu(QWidget* receiver, QContextMenuEvent* e) {
    TControl* c = ControlOfWidget(receiver);
    for (; c != nullptr; c = c->Parent()) {
        TComponentRef<TControl> self(c);
        bool handled = false;
        TPoint p = c->ScreenToClient({e->globalPos().x(), e->globalPos().y()});
        c->OnContextPopup(c, p, handled);
        if (handled || !self)
            return true;
        if (TPopupMenu* menu = c->PopupMenu(); menu != nullptr && menu->AutoPopup()) {
            menu->SetPopupComponent(c);
            menu->Popup(e->globalPos().x(), e->globalPos().y());
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Focus changes

// Focus changes from Qt become the VCL's exit and enter sequence on the form.
static void HandleQtFocusChange(QWidget*, QWidget* now) {
    if (now == nullptr)
        return;
    TWinControl* c = WinControlOfWidget(now);
    if (c == nullptr)
        return;
    TCustomForm* form = GetParentForm(c);
    if (form != nullptr)
        Guarded([&] { form->SetFocusedControl(c); });
}

void InstallEventRouting(QApplication* app) {
    auto* filter = new TUiEventFilter();
    filter->setParent(app);
    app->installEventFilter(filter);
    QObject::connect(app, &QApplication::focusChanged, app, &HandleQtFocusChange);
}

// ---------------------------------------------------------------------------------------------
// Key messages in the control: the parent form's key preview, then the control's own handler

template <class Key, class Step> bool TWinControl::WithKeyPreview(Key& key, Step step) {
    TCustomForm* form = GetParentForm(this);
    TComponentRef<TControl> self(this);
    if (form != nullptr && form != this && form->KeyPreview()) {
        step(form, key);
        if (key == 0 || !self)
            return true;
    }
    step(this, key);
    return key == 0 || !self;
}

bool TWinControl::DoKeyDown(Word& key, TShiftState shift) {
    return WithKeyPreview(key, [shift](TWinControl* c, Word& k) { c->KeyDown(k, shift); });
}

bool TWinControl::DoKeyUp(Word& key, TShiftState shift) {
    return WithKeyPreview(key, [shift](TWinControl* c, Word& k) { c->KeyUp(k, shift); });
}

bool TWinControl::DoKeyPress(TKeyChar& key) {
    return WithKeyPreview(key, [](TWinControl* c, TKeyChar& k) { c->KeyPress(k); });
}

// WM_KEYDOWN, WM_SYSKEYDOWN, WM_KEYUP, WM_SYSKEYUP and WM_CHAR: a consumed key ends here;
// otherwise the (possibly changed) key goes on to DefaultHandler.
void TWinControl::KeyMessage(TMessage& m) {
    TComponentRef<TControl> self(this);
    WPARAM key;
    bool consumed;
    if (m.Msg == WM_CHAR) {
        TKeyChar ch = static_cast<TKeyChar>(m.WParam);
        consumed = DoKeyPress(ch);
        key = ch;
    } else {
        Word vk = static_cast<Word>(m.WParam);
        TShiftState shift = ShiftFromQt(QGuiApplication::queryKeyboardModifiers(), Qt::NoButton);
        bool down = m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN;
        if (down && m.LParam != 0)
            shift = TShiftState::FromBits(static_cast<std::uint64_t>(m.LParam));
        consumed = down ? DoKeyDown(vk, shift) : DoKeyUp(vk, shift);
        key = vk;
    }
    if (consumed || !self)
        return;
    m.WParam = key;
    DefaultHandler(m);
}

// ---------------------------------------------------------------------------------------------
// DefaultHandler: the routed Qt event goes on to the widget, or a synthesized one does

static void SynthesizeMouse(QWidget* w, const TMessage& m) {
    QEvent::Type type;
    Qt::MouseButton button = Qt::NoButton;
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
        type = QEvent::MouseButtonPress;
        button = Qt::LeftButton;
        break;
    case WM_LBUTTONUP:
        type = QEvent::MouseButtonRelease;
        button = Qt::LeftButton;
        break;
    case WM_LBUTTONDBLCLK:
        type = QEvent::MouseButtonDblClick;
        button = Qt::LeftButton;
        break;
    case WM_RBUTTONDOWN:
        type = QEvent::MouseButtonPress;
        button = Qt::RightButton;
        break;
    case WM_RBUTTONUP:
        type = QEvent::MouseButtonRelease;
        button = Qt::RightButton;
        break;
    case WM_MOUSEMOVE:
        type = QEvent::MouseMove;
        break;
    default:
        return;
    }
    QPointF local(MessageX(m.LParam), MessageY(m.LParam));
    // A press is sent to the innermost child under the point (the viewport of a list).
    QWidget* target = w->childAt(local.toPoint());
    if (target == nullptr || ControlOfWidget(target) != ControlOfWidget(w))
        target = w;
    QPointF pos = target == w ? local : QPointF(target->mapFrom(w, local.toPoint()));
    Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, pos, QPointF(w->mapToGlobal(local.toPoint())), button, buttons,
                  QGuiApplication::queryKeyboardModifiers());
    SynthesizeScope scope;
    QApplication::sendEvent(target, &e);
}

static void SynthesizeKey(QWidget* w, int qtKey, const QString& text) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr || ControlOfWidget(target) != ControlOfWidget(w))
        target = w;
    QKeyEvent press(QEvent::KeyPress, qtKey, QGuiApplication::queryKeyboardModifiers(), text);
    QKeyEvent release(QEvent::KeyRelease, qtKey, QGuiApplication::queryKeyboardModifiers(), text);
    SynthesizeScope scope;
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

void TControl::DefaultHandler(TMessage& m) {
    // A message that stands for a routed Qt event: the widget gets that event.
    if (m.Native != nullptr && m.Native->message == &m) {
        m.Native->allowed = true;
        return;
    }
    // A message sent by code: the widget gets a synthesized Qt event.
    QWidget* w = impl_->widget;
    if (w == nullptr)
        return;
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE:
        SynthesizeMouse(w, m);
        break;
    case WM_CHAR: {
        char32_t ch = static_cast<char32_t>(m.WParam);
        int key = ch == 13   ? Qt::Key_Return
                  : ch == 8  ? Qt::Key_Backspace
                  : ch == 27 ? Qt::Key_Escape
                             : 0;
        QString text = ch == 8 || ch == 27 || ch == 13 ? QString(QChar(static_cast<char16_t>(ch)))
                                                       : QString::fromUcs4(&ch, 1);
        SynthesizeKey(w, key, text);
        break;
    }
    case WM_KEYDOWN: {
        int key = QtKeyFromVirtualKey(static_cast<Word>(m.WParam));
        if (key != 0 && !(m.WParam >= 'A' && m.WParam <= 'Z') &&
            !(m.WParam >= '0' && m.WParam <= '9') && m.WParam != VK_RETURN && m.WParam != VK_BACK &&
            m.WParam != VK_SPACE)
            SynthesizeKey(w, key, QString());
        break;
    }
    case WM_PAINT:
        if (impl_->hook != nullptr && impl_->hook->currentPaint != nullptr)
            impl_->hook->NativePaint(impl_->hook->currentPaint);
        break;
    default:
        break;
    }
}

} // namespace nuv
