#include "ui/Controls.h"

#include "ui/Forms.h"
#include "ui/Menus.h"
#include "ui/qt/QtBridge.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>
#include <map>

namespace nuv {

using uitext::SameText;

// ---------------------------------------------------------------------------------------------
// Handles and the routing state

namespace {

std::map<HWND, TWinControl*>& HandleMap() {
    static std::map<HWND, TWinControl*> map;
    return map;
}
HWND g_nextHandle = 0x10000;

// The message that stands for a Qt event being routed: when it reaches DefaultHandler the
// native widget may handle the event.
struct NativeContext {
    TMessage* message = nullptr;
    bool allowed = false;
};
NativeContext* g_native = nullptr;

struct NativeScope {
    NativeContext ctx;
    NativeContext* saved;
    explicit NativeScope(TMessage* m) : saved(g_native) {
        ctx.message = m;
        g_native = &ctx;
    }
    ~NativeScope() { g_native = saved; }
};

// Canvases opened on a widget during the current paint; closed when the paint ends.
std::vector<TCanvas*>& OpenCanvases() {
    static std::vector<TCanvas*> list;
    return list;
}

TControlWidget* HookOf(const TControl* c) {
    return c != nullptr && c->Impl() ? c->Impl()->hook : nullptr;
}

QWidget* MakePlainWidget(TControl* c, bool windowed) {
    auto* w = new TWidget<QWidget>(c);
    w->setAttribute(Qt::WA_NoMousePropagation, false);
    if (windowed)
        w->setAutoFillBackground(true);
    return w;
}

TControlWidget* GraphicWidgetFactory(TControl* c) {
    return dynamic_cast<TControlWidget*>(MakePlainWidget(c, false));
}
TControlWidget* WindowedWidgetFactory(TControl* c) {
    return dynamic_cast<TControlWidget*>(MakePlainWidget(c, true));
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

TControl* ControlOfWidget(const QWidget* w) {
    for (; w != nullptr; w = w->parentWidget()) {
        auto* hook = dynamic_cast<const TControlWidget*>(w);
        if (hook != nullptr && hook->control != nullptr)
            return hook->control;
    }
    return nullptr;
}

static TWinControl* WinControlOfWidget(const QWidget* w) {
    for (; w != nullptr; w = w->parentWidget()) {
        auto* hook = dynamic_cast<const TControlWidget*>(w);
        if (hook != nullptr && hook->control != nullptr)
            if (auto* wc = dynamic_cast<TWinControl*>(hook->control))
                return wc;
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

// ---------------------------------------------------------------------------------------------
// TControlCanvas

void AttachControlCanvas(TControlCanvas& canvas, TControl* control) {
    TControlWidget* hook = HookOf(control);
    if (hook == nullptr || hook->currentPaint == nullptr)
        return;
    TCanvasImpl* ci = canvas.Impl();
    if (ci->painter != nullptr)
        return;
    QWidget* w = hook->Widget();
    ci->owned = std::make_unique<QPainter>(w);
    BeginCanvasPaint(canvas, ci->owned.get(), w);
    OpenCanvases().push_back(&canvas);
}

TControlCanvas::TControlCanvas(TControl* control) : control_(control) {
    Impl()->ensure = [this] { AttachControlCanvas(*this, control_); };
    if (control != nullptr)
        Font()->Assign(control->Font());
}

// ---------------------------------------------------------------------------------------------
// TControl

const TClassInfo& TControl::StaticClassInfo() {
    static const TClassInfo info("TControl", &TComponent::StaticClassInfo());
    return info;
}

TControl::TControl(TComponent* owner) : TControl(owner, nullptr) {}

TControl::TControl(TComponent* owner, TWidgetFactory factory)
    : TComponent(owner), impl_(std::make_unique<TControlImpl>()), font_(std::make_unique<TFont>()) {
    EnsureUiPlatform();
    font_->OnChange = TNotifyEvent(this, &TControl::FontOnChange);
    Init(factory != nullptr ? factory : &GraphicWidgetFactory);
    // Components created inside a form's construction are read as from the form's resource.
    if (owner != nullptr && owner->ComponentState().Contains(csReading)) {
        if (auto* form = dynamic_cast<TCustomForm*>(owner); form != nullptr && !form->Constructed())
            SetComponentState(ComponentState() + TComponentState{csLoading, csReading});
    }
}

void TControl::Init(TWidgetFactory factory) {
    impl_->hook = factory(this);
    impl_->widget = impl_->hook->Widget();
    QWidget* w = impl_->widget;
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->hide();
}

TControl::~TControl() {
    if (auto* form = GetParentForm(this))
        if (form != this) {
            if (form->activeControl_.Get() == this)
                form->activeControl_ = nullptr;
        }
    if (parent_ != nullptr)
        parent_->RemoveControl(this);
    if (impl_->hook != nullptr)
        impl_->hook->control = nullptr;
    if (QWidget* w = impl_->widget) {
        w->hide();
        w->setParent(nullptr);
        w->deleteLater();
    }
}

void TControl::BeforeDestruction() {
    TComponent::BeforeDestruction();
}

void TControl::SetParent(TWinControl* parent) {
    if (parent_ == parent)
        return;
    if (parent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_ != nullptr)
        parent_->RemoveControl(this);
    if (parent != nullptr)
        parent->InsertControl(this);
}

void TControl::ApplyGeometry() {
    QWidget* w = impl_->widget;
    if (w == nullptr)
        return;
    if (w->isWindow()) {
        TRect cr = ClientRect();
        w->setGeometry(left_, top_, std::max(1, cr.Width()), std::max(1, cr.Height()));
    } else {
        int dy = parent_ != nullptr ? parent_->Impl()->childOffsetY : 0;
        w->setGeometry(left_, top_ + dy, width_, height_);
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    bool sized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    ApplyGeometry();
    if (parent_ != nullptr && align_ != alNone)
        parent_->Realign();
    if (sized && !ComponentState().Contains(csLoading))
        Resize();
}

TRect TControl::ClientRect() const {
    return Rect(0, 0, width_, height_);
}

void TControl::SetClientWidth(int v) {
    SetWidth(v + (width_ - ClientWidth()));
}
void TControl::SetClientHeight(int v) {
    SetHeight(v + (height_ - ClientHeight()));
}

TPoint TControl::ClientToScreen(TPoint p) const {
    QWidget* w = impl_->widget;
    if (w == nullptr)
        return p;
    QPoint g = w->mapToGlobal(QPoint(p.X, p.Y));
    return {g.x(), g.y()};
}

TPoint TControl::ScreenToClient(TPoint p) const {
    QWidget* w = impl_->widget;
    if (w == nullptr)
        return p;
    QPoint l = w->mapFromGlobal(QPoint(p.X, p.Y));
    return {l.x(), l.y()};
}

void TControl::SetAlign(TAlign align) {
    if (align_ == align)
        return;
    align_ = align;
    if (parent_ != nullptr)
        parent_->Realign();
}

void TControl::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    VisibleChanging();
    visible_ = visible;
    QWidget* w = impl_->widget;
    if (w != nullptr && (parent_ != nullptr || dynamic_cast<TCustomForm*>(this) != nullptr)) {
        if (dynamic_cast<TCustomForm*>(this) == nullptr)
            w->setVisible(visible);
    }
    TComponentRef<TControl> self(this);
    Perform(CM_VISIBLECHANGED, visible ? 1 : 0, 0);
    if (!self)
        return;
    if (parent_ != nullptr) {
        if (align_ != alNone)
            parent_->Realign();
        if (auto* wc = dynamic_cast<TWinControl*>(this)) {
            if (visible && parent_->HandleAllocated())
                wc->HandleNeeded();
            wc->UpdateShowingChildren();
        }
    }
}

void TControl::Show() {
    SetVisible(true);
    BringToFront();
}

void TControl::Hide() {
    SetVisible(false);
}

void TControl::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    if (QWidget* w = impl_->widget)
        w->setEnabled(enabled);
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

std::string TControl::RealGetText() const {
    return text_;
}

void TControl::RealSetText(const std::string& text) {
    text_ = text;
    Invalidate();
}

void TControl::SetText(const std::string& text) {
    if (RealGetText() == text)
        return;
    RealSetText(text);
    Perform(CM_TEXTCHANGED, 0, 0);
}

std::string GetShortHint(const std::string& hint) {
    auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

bool TControl::EffectiveShowHint() const {
    return showHint_;
}

void TControl::UpdateHint() {
    QWidget* w = impl_->widget;
    if (w == nullptr)
        return;
    bool show = EffectiveShowHint() && (Application == nullptr || Application->ShowHint());
    w->setToolTip(show ? Qs(GetShortHint(hint_)) : QString());
    if (Application != nullptr)
        w->setToolTipDuration(Application->HintHidePause());
}

void TControl::SetHint(const std::string& hint) {
    if (hint_ == hint)
        return;
    hint_ = hint;
    UpdateHint();
}

void TControl::SetShowHint(bool value) {
    parentShowHint_ = false;
    if (showHint_ == value) {
        UpdateHint();
        return;
    }
    showHint_ = value;
    UpdateHint();
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool value) {
    if (parentShowHint_ == value)
        return;
    parentShowHint_ = value;
    if (value && parent_ != nullptr) {
        showHint_ = parent_->ShowHint();
        UpdateHint();
        Perform(CM_SHOWHINTCHANGED, 0, 0);
    }
}

void TControl::SetFont(TFont* font) {
    if (font != nullptr)
        font_->Assign(font);
}

void TControl::FontOnChange(TObject*) {
    if (!updatingFont_)
        parentFont_ = false;
    FontChanged();
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::FontChanged() {
    QWidget* w = impl_->widget;
    if (w == nullptr)
        return;
    w->setFont(ToQFont(*font_));
    QPalette pal = w->palette();
    QColor c = ToQColor(font_->Color());
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Text, c);
    pal.setColor(QPalette::ButtonText, c);
    w->setPalette(pal);
    if (impl_->canvas != nullptr)
        impl_->canvas->Font()->Assign(font_.get());
    w->update();
}

void TControl::SetParentFont(bool value) {
    if (parentFont_ == value)
        return;
    parentFont_ = value;
    if (value)
        ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || parent_ == nullptr)
        return;
    updatingFont_ = true;
    font_->Assign(parent_->Font());
    updatingFont_ = false;
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color_ == color)
        return;
    color_ = color;
    ColorChanged();
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::ColorChanged() {
    QWidget* w = impl_->widget;
    if (w == nullptr)
        return;
    QPalette pal = w->palette();
    QColor c = ToQColor(color_);
    pal.setColor(QPalette::Window, c);
    pal.setColor(QPalette::Base, c);
    w->setPalette(pal);
    w->update();
}

void TControl::SetParentColor(bool value) {
    if (parentColor_ == value)
        return;
    parentColor_ = value;
    if (value)
        ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || parent_ == nullptr)
        return;
    if (color_ != parent_->Color()) {
        color_ = parent_->Color();
        ColorChanged();
        Perform(CM_COLORCHANGED, 0, 0);
    }
}

void TControl::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    QWidget* w = impl_->widget;
    if (w == nullptr)
        return;
    switch (cursor) {
    case crHandPoint:
        w->setCursor(Qt::PointingHandCursor);
        break;
    case crIBeam:
        w->setCursor(Qt::IBeamCursor);
        break;
    case crCross:
        w->setCursor(Qt::CrossCursor);
        break;
    case crHourGlass:
        w->setCursor(Qt::WaitCursor);
        break;
    case crSizeAll:
        w->setCursor(Qt::SizeAllCursor);
        break;
    case crNone:
        w->setCursor(Qt::BlankCursor);
        break;
    default:
        w->unsetCursor();
        break;
    }
}

TPopupMenu* TControl::PopupMenu() const {
    return popupMenu_;
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (popupMenu_ == menu)
        return;
    if (popupMenu_ != nullptr)
        popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = menu;
    if (menu != nullptr)
        menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == popupMenu_)
        popupMenu_ = nullptr;
}

void TControl::BringToFront() {
    if (parent_ == nullptr) {
        if (QWidget* w = impl_->widget; w != nullptr && w->isWindow() && w->isVisible())
            RaiseWindow(w);
        return;
    }
    auto move = [this](auto& list) {
        auto it = std::find(list.begin(), list.end(), this);
        if (it != list.end()) {
            auto* p = *it;
            list.erase(it);
            list.push_back(p);
        }
    };
    if (auto* wc = dynamic_cast<TWinControl*>(this))
        move(parent_->winControls_), (void)wc;
    else
        move(parent_->controls_);
    parent_->RestackChildren();
}

void TControl::SendToBack() {
    if (parent_ == nullptr)
        return;
    auto move = [this](auto& list) {
        auto it = std::find(list.begin(), list.end(), this);
        if (it != list.end()) {
            auto* p = *it;
            list.erase(it);
            list.insert(list.begin(), p);
        }
    };
    if (dynamic_cast<TWinControl*>(this) != nullptr)
        move(parent_->winControls_);
    else
        move(parent_->controls_);
    parent_->RestackChildren();
}

void TControl::Invalidate() {
    if (QWidget* w = impl_->widget)
        w->update();
}

void TControl::Repaint() {
    if (QWidget* w = impl_->widget)
        w->repaint();
}

void TControl::Update() {
    if (QWidget* w = impl_->widget)
        w->repaint();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::Click() {
    OnClick(this);
}

void TControl::DblClick() {
    OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    OnMouseUp(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) {
    OnMouseMove(this, shift, x, y);
}
void TControl::Resize() {
    OnResize(this);
}

static TShiftState ShiftFromMessage(WPARAM w) {
    TShiftState s;
    if (w & MK_SHIFT)
        s.Include(ssShift);
    if (w & MK_CONTROL)
        s.Include(ssCtrl);
    if (w & MK_LBUTTON)
        s.Include(ssLeft);
    if (w & MK_RBUTTON)
        s.Include(ssRight);
    if (w & MK_MBUTTON)
        s.Include(ssMiddle);
    if (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier)
        s.Include(ssAlt);
    return s;
}

void TControl::DoMouseDown(TMessage& m, TMouseButton button) {
    TShiftState shift = ShiftFromMessage(m.WParam);
    if (m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK)
        shift.Include(ssDouble);
    MouseDown(button, shift, MessageX(m.LParam), MessageY(m.LParam));
}

void TControl::DoMouseUp(TMessage& m, TMouseButton button) {
    MouseUp(button, ShiftFromMessage(m.WParam), MessageX(m.LParam), MessageY(m.LParam));
}

void TControl::WndProc(TMessage& m) {
    TComponentRef<TControl> self(this);
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        DefaultHandler(m);
        if (!self)
            return;
        if (m.Msg == WM_LBUTTONDBLCLK) {
            if (controlStyle_.Contains(csClickEvents))
                DblClick();
        } else if (controlStyle_.Contains(csClickEvents)) {
            controlState_.Include(csClicked);
        }
        if (!self)
            return;
        if (dragMode_ == dmAutomatic && m.Msg == WM_LBUTTONDOWN) {
            BeginDrag(false);
            if (!self)
                return;
        }
        DoMouseDown(m, mbLeft);
        return;
    case WM_LBUTTONUP: {
        DefaultHandler(m);
        if (!self)
            return;
        bool clicked = controlState_.Contains(csClicked);
        controlState_.Exclude(csClicked);
        if (clicked && ClientRect().Contains({MessageX(m.LParam), MessageY(m.LParam)}))
            Click();
        if (!self)
            return;
        DoMouseUp(m, mbLeft);
        return;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        DefaultHandler(m);
        if (!self)
            return;
        DoMouseDown(m, (m.Msg == WM_RBUTTONDOWN || m.Msg == WM_RBUTTONDBLCLK) ? mbRight : mbMiddle);
        return;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        DefaultHandler(m);
        if (!self)
            return;
        DoMouseUp(m, m.Msg == WM_RBUTTONUP ? mbRight : mbMiddle);
        return;
    case WM_MOUSEMOVE:
        DefaultHandler(m);
        if (!self)
            return;
        MouseMove(ShiftFromMessage(m.WParam), MessageX(m.LParam), MessageY(m.LParam));
        return;
    case CM_PARENTFONTCHANGED:
        ParentFontChanged();
        return;
    case CM_PARENTCOLORCHANGED:
        ParentColorChanged();
        return;
    case CM_PARENTSHOWHINTCHANGED:
        if (parentShowHint_ && parent_ != nullptr && showHint_ != parent_->ShowHint()) {
            showHint_ = parent_->ShowHint();
            UpdateHint();
            Perform(CM_SHOWHINTCHANGED, 0, 0);
        }
        return;
    default:
        DefaultHandler(m);
    }
}

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
    if (g_native != nullptr && g_native->message == &m) {
        g_native->allowed = true;
        return;
    }
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

void TControl::Loaded() {
    TComponent::Loaded();
    SetControlState(ControlState() - TControlState{csReadingState});
}

void TControl::SendToSiblings(UINT msg, WPARAM w, LPARAM l) {
    if (parent_ == nullptr)
        return;
    for (int i = 0; i < parent_->ControlCount(); ++i) {
        TControl* c = parent_->Controls(i);
        if (c != this)
            c->Perform(msg, w, l);
    }
}

// ---------------------------------------------------------------------------------------------
// Dragging and docking

namespace {

struct DragManager {
    TComponentRef<TControl> source;
    TComponentRef<TControl> target;
    TDragObject* object = nullptr;
    bool ownsObject = false;
    bool started = false;
    bool dock = false;
    bool accepted = false;
    int threshold = 5;
    QPoint start;
};
DragManager g_drag;

TControl* ControlAtGlobal(QPoint global) {
    QWidget* w = QApplication::widgetAt(global);
    return ControlOfWidget(w);
}

void FinishDrag(bool drop, QPoint global);

void StartDrag();

} // namespace

struct TDragAccess {
    static void StartDrag(TControl* c, TDragObject*& o) { c->DoStartDrag(o); }
    static void StartDock(TControl* c, TDragDockObject*& o) { c->DoStartDock(o); }
    static void Over(TControl* c, TObject* src, int x, int y, TDragState st, bool& acc) {
        c->DragOver(src, x, y, st, acc);
    }
    static void Drop(TControl* c, TObject* src, int x, int y) { c->DragDrop(src, x, y); }
    static void End(TControl* c, TObject* t, int x, int y) { c->DoEndDrag(t, x, y); }
    static void EndDock(TControl* c, TObject* t, int x, int y) { c->DoEndDock(t, x, y); }
    static void DockOver(TWinControl* c, TDragDockObject* s, int x, int y, TDragState st,
                         bool& acc) {
        c->DockOver(s, x, y, st, acc);
    }
    static void DockDrop(TWinControl* c, TDragDockObject* s, int x, int y) { c->DockDrop(s, x, y); }
    static bool UnDock(TWinControl* c, TWinControl* t, TControl* client) {
        return c->DoUnDock(t, client);
    }
};

namespace {

void StartDrag() {
    TControl* src = g_drag.source;
    if (src == nullptr)
        return;
    g_drag.started = true;
    TDragObject* obj = nullptr;
    if (g_drag.dock) {
        TDragDockObject* dobj = nullptr;
        TDragAccess::StartDock(src, dobj);
        obj = dobj;
        if (obj == nullptr) {
            obj = new TDragDockObject();
            g_drag.ownsObject = true;
        }
    } else {
        TDragAccess::StartDrag(src, obj);
        if (obj == nullptr) {
            obj = new TDragObject();
            g_drag.ownsObject = true;
        }
    }
    obj->Control = g_drag.source;
    g_drag.object = obj;
    QApplication::setOverrideCursor(Qt::DragMoveCursor);
}

TControl* DockTargetAt(TControl* c) {
    for (; c != nullptr; c = c->Parent())
        if (auto* wc = dynamic_cast<TWinControl*>(c);
            wc != nullptr && wc->DockSite() && wc != g_drag.source.Get())
            return wc;
    return nullptr;
}

void MoveDrag(QPoint global) {
    if (!g_drag.started) {
        if ((global - g_drag.start).manhattanLength() < g_drag.threshold)
            return;
        StartDrag();
    }
    TControl* over = ControlAtGlobal(global);
    if (g_drag.dock)
        over = DockTargetAt(over);
    TControl* old = g_drag.target;
    if (old != over && old != nullptr) {
        TPoint p = old->ScreenToClient({global.x(), global.y()});
        bool acc = false;
        if (g_drag.dock)
            TDragAccess::DockOver(static_cast<TWinControl*>(old),
                                  static_cast<TDragDockObject*>(g_drag.object), p.X, p.Y,
                                  dsDragLeave, acc);
        else
            TDragAccess::Over(old, g_drag.object, p.X, p.Y, dsDragLeave, acc);
    }
    g_drag.target = over;
    g_drag.accepted = false;
    if (over != nullptr) {
        TPoint p = over->ScreenToClient({global.x(), global.y()});
        bool acc = false;
        TDragState st = old == over ? dsDragMove : dsDragEnter;
        if (g_drag.dock)
            TDragAccess::DockOver(static_cast<TWinControl*>(over),
                                  static_cast<TDragDockObject*>(g_drag.object), p.X, p.Y, st, acc);
        else
            TDragAccess::Over(over, g_drag.object, p.X, p.Y, st, acc);
        g_drag.accepted = acc;
    }
    QApplication::changeOverrideCursor(g_drag.accepted ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
}

void FinishDrag(bool drop, QPoint global) {
    TControl* src = g_drag.source;
    bool started = g_drag.started;
    TControl* target = drop && g_drag.accepted ? g_drag.target.Get() : nullptr;
    TDragObject* obj = g_drag.object;
    bool owns = g_drag.ownsObject;
    bool dock = g_drag.dock;
    g_drag = DragManager{};
    if (!started)
        return;
    QApplication::restoreOverrideCursor();
    int x = 0, y = 0;
    if (target != nullptr) {
        TPoint p = target->ScreenToClient({global.x(), global.y()});
        x = p.X;
        y = p.Y;
        obj->Dropped = true;
        if (dock) {
            auto* site = static_cast<TWinControl*>(target);
            auto* dobj = static_cast<TDragDockObject*>(obj);
            TWinControl* oldHost = src != nullptr ? src->HostDockSite() : nullptr;
            bool allow = oldHost == nullptr || TDragAccess::UnDock(oldHost, site, src);
            if (allow && src != nullptr) {
                src->ManualDock(site);
                TDragAccess::DockDrop(site, dobj, x, y);
            } else {
                target = nullptr;
            }
        } else {
            TDragAccess::Drop(target, obj, x, y);
        }
    }
    if (src != nullptr) {
        if (dock)
            TDragAccess::EndDock(src, target, x, y);
        else
            TDragAccess::End(src, target, x, y);
    }
    if (owns)
        delete obj;
}

} // namespace

void TControl::BeginDrag(bool immediate, int threshold) {
    if (g_drag.source != nullptr)
        return;
    g_drag.source = this;
    g_drag.dock = dragKind_ == dkDock;
    g_drag.threshold = threshold < 0 ? 5 : threshold;
    g_drag.start = QCursor::pos();
    if (immediate)
        StartDrag();
}

void TControl::EndDrag(bool drop) {
    if (g_drag.source.Get() == this)
        FinishDrag(drop, QCursor::pos());
}

bool TControl::Dragging() const {
    return g_drag.source.Get() == this && g_drag.started;
}

void TControl::ManualDock(TWinControl* site) {
    hostDockSite_ = site;
    SetParent(site);
    if (site != nullptr && align_ == alNone)
        SetAlign(alClient);
}

void TControl::DoStartDrag(TDragObject*& dragObject) {
    OnStartDrag(this, dragObject);
}
void TControl::DoEndDrag(TObject* target, int x, int y) {
    OnEndDrag(this, target, x, y);
}
void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    accept = OnDragOver.Assigned();
    OnDragOver(this, source, x, y, state, accept);
}
void TControl::DragDrop(TObject* source, int x, int y) {
    OnDragDrop(this, source, x, y);
}
void TControl::DoStartDock(TDragDockObject*& dragObject) {
    OnStartDock(this, dragObject);
}
void TControl::DoEndDock(TObject* target, int x, int y) {
    OnEndDock(this, target, x, y);
}

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
    if (auto* wc = dynamic_cast<TWinControl*>(c)) {
        winControls_.push_back(wc);
        tabList_.push_back(wc);
    } else {
        controls_.push_back(c);
    }
    QWidget* w = WidgetOf(c);
    if (w != nullptr) {
        w->setParent(WidgetOf(this));
        c->ApplyGeometry();
    }
    RestackChildren();
    if (c->parentFont_)
        c->ParentFontChanged();
    if (c->parentColor_)
        c->ParentColorChanged();
    if (c->parentShowHint_ && c->showHint_ != ShowHint()) {
        c->showHint_ = ShowHint();
        c->Perform(CM_SHOWHINTCHANGED, 0, 0);
    }
    c->UpdateHint();
    if (w != nullptr)
        w->setVisible(c->visible_);
    if (c->align_ != alNone)
        Realign();
    if (auto* wc = dynamic_cast<TWinControl*>(c)) {
        if (HandleAllocated() && wc->visible_)
            wc->HandleNeeded();
        wc->UpdateShowingChildren();
    }
}

void TWinControl::RemoveControl(TControl* c) {
    if (c == nullptr || c->parent_ != this)
        return;
    if (auto* form = GetParentForm(this)) {
        if (auto* wc = dynamic_cast<TWinControl*>(c)) {
            // The focus cannot stay inside a control that leaves the form.
            if (form->focusedControl_ != nullptr && wc->ContainsControl(form->focusedControl_))
                form->focusedControl_ = this;
            if (form->activeControl_ != nullptr && wc->ContainsControl(form->activeControl_))
                form->activeControl_ = nullptr;
        }
    }
    auto erase = [](auto& v, auto* p) { v.erase(std::remove(v.begin(), v.end(), p), v.end()); };
    if (auto* wc = dynamic_cast<TWinControl*>(c)) {
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
    if (dynamic_cast<const TCustomForm*>(this) != nullptr) {
        QWidget* w = WidgetOf(this);
        return w != nullptr && w->isVisible();
    }
    return false;
}

void TWinControl::UpdateShowingChildren() {
    bool now = Showing();
    if (now != Impl()->lastShowing) {
        Impl()->lastShowing = now;
        TComponentRef<TControl> self(this);
        Perform(CM_SHOWINGCHANGED, 0, 0);
        if (!self)
            return;
    }
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

bool TWinControl::DoKeyDown(Word& key, TShiftState shift) {
    TCustomForm* form = GetParentForm(this);
    TComponentRef<TControl> self(this);
    if (form != nullptr && form != this && form->KeyPreview()) {
        form->KeyDown(key, shift);
        if (key == 0 || !self)
            return true;
    }
    KeyDown(key, shift);
    return key == 0 || !self;
}

bool TWinControl::DoKeyUp(Word& key, TShiftState shift) {
    TCustomForm* form = GetParentForm(this);
    TComponentRef<TControl> self(this);
    if (form != nullptr && form != this && form->KeyPreview()) {
        form->KeyUp(key, shift);
        if (key == 0 || !self)
            return true;
    }
    KeyUp(key, shift);
    return key == 0 || !self;
}

bool TWinControl::DoKeyPress(TKeyChar& key) {
    TCustomForm* form = GetParentForm(this);
    TComponentRef<TControl> self(this);
    if (form != nullptr && form != this && form->KeyPreview()) {
        form->KeyPress(key);
        if (key == 0 || !self)
            return true;
    }
    KeyPress(key);
    return key == 0 || !self;
}

void TWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        Word key = static_cast<Word>(m.WParam);
        TShiftState shift = ShiftFromQt(QGuiApplication::queryKeyboardModifiers(), Qt::NoButton);
        if (m.LParam != 0)
            shift = TShiftState::FromBits(static_cast<std::uint64_t>(m.LParam));
        TComponentRef<TControl> self(this);
        if (DoKeyDown(key, shift) || !self)
            return;
        m.WParam = key;
        DefaultHandler(m);
        return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        Word key = static_cast<Word>(m.WParam);
        TShiftState shift = ShiftFromQt(QGuiApplication::queryKeyboardModifiers(), Qt::NoButton);
        TComponentRef<TControl> self(this);
        if (DoKeyUp(key, shift) || !self)
            return;
        m.WParam = key;
        DefaultHandler(m);
        return;
    }
    case WM_CHAR: {
        TKeyChar key = static_cast<TKeyChar>(m.WParam);
        TComponentRef<TControl> self(this);
        if (DoKeyPress(key) || !self)
            return;
        m.WParam = key;
        DefaultHandler(m);
        return;
    }
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
    : TWinControl(owner, factory), canvas_(std::make_unique<TControlCanvas>(this)) {
    Impl()->canvas = canvas_.get();
}

TCustomControl::~TCustomControl() {
    Impl()->canvas = nullptr;
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
    : TControl(owner, factory), canvas_(std::make_unique<TControlCanvas>(this)) {
    Impl()->canvas = canvas_.get();
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

// ---------------------------------------------------------------------------------------------
// Routing of Qt events

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
    auto* wc = dynamic_cast<TWinControl*>(w->control);
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
        if (auto* wc = dynamic_cast<TWinControl*>(c)) {
            w->NativeEvent(e);
            Guarded([&] { wc->UpdateShowingChildren(); });
            return true;
        }
        return false;
    default:
        return false;
    }
}

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
    if (g_drag.source != nullptr) {
        QPoint global = e->globalPosition().toPoint();
        if (e->type() == QEvent::MouseMove) {
            MoveDrag(global);
            return g_drag.started;
        }
        if (e->type() == QEvent::MouseButtonRelease) {
            bool started = g_drag.started;
            if (started) {
                FinishDrag(true, global);
                return true;
            }
            g_drag = DragManager{};
        }
    }
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
    bool allowed;
    {
        NativeScope scope(&m);
        c->WndProc(m);
        allowed = scope.ctx.allowed;
    }
    if (allowed) {
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
        bool allowed;
        {
            NativeScope scope(&m);
            c->WndProc(m);
            allowed = scope.ctx.allowed;
        }
        if (allowed) {
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
        NativeScope scope(&m);
        c->WndProc(m);
        keyAllowed = scope.ctx.allowed;
        newKey = static_cast<Word>(m.WParam);
        if (!ctl)
            return true;
    }
    // Control characters of Ctrl+letter come as WM_CHAR too.
    bool charAllowed = true;
    char32_t newChar = ch;
    if (ch != 0 && !shift.Contains(ssAlt)) {
        TMessage m{WM_CHAR, ch, 0, 0};
        NativeScope scope(&m);
        c->WndProc(m);
        charAllowed = scope.ctx.allowed;
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

QObject* CreateUiEventFilter() {
    auto* filter = new TUiEventFilter();
    filter->setParent(QCoreApplication::instance());
    return filter;
}

// Focus changes from Qt become the VCL's exit and enter sequence on the form.
void HandleQtFocusChange(QWidget*, QWidget* now) {
    if (now == nullptr)
        return;
    TWinControl* c = WinControlOfWidget(now);
    if (c == nullptr)
        return;
    TCustomForm* form = GetParentForm(c);
    if (form != nullptr)
        Guarded([&] { form->SetFocusedControl(c); });
}

// ---------------------------------------------------------------------------------------------
// Global helpers

TCustomForm* GetParentForm(const TControl* control) {
    const TControl* c = control;
    while (c != nullptr && c->Parent() != nullptr)
        c = c->Parent();
    return c == nullptr ? nullptr : dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

LRESULT SendMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* c = FindControl(handle);
    return c == nullptr ? 0 : c->Perform(msg, wParam, lParam);
}

bool PostMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (FindControl(handle) == nullptr || QCoreApplication::instance() == nullptr)
        return false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [handle, msg, wParam, lParam] {
            if (TWinControl* c = FindControl(handle))
                Guarded([&] { c->Perform(msg, wParam, lParam); });
        },
        Qt::QueuedConnection);
    return true;
}

void UpdateWindow(HWND handle) {
    if (TWinControl* c = FindControl(handle))
        c->Repaint();
}

bool SetForegroundWindow(HWND handle) {
    TWinControl* c = FindControl(handle);
    if (c == nullptr)
        return false;
    QWidget* w = WidgetOf(c);
    if (w == nullptr)
        return false;
    QWidget* win = w->window();
    RaiseWindow(win);
    win->activateWindow();
    if (win->isVisible())
        QApplication::setActiveWindow(win);
    return true;
}

} // namespace nuv
