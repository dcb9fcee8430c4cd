// TControl, its canvas and the message helpers (SendMessage, PostMessage, ...). The windowed
// control is in WinControl.cpp, dragging and docking in DragDock.cpp, and the road from Qt events
// to messages in EventRouting.cpp.
#include "ui/Controls.h"

#include "ui/Forms.h"
#include "ui/Menus.h"
#include "ui/qt/QtBridge.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QLineEdit>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace nuv {

using uitext::SameText;

namespace {

TControlWidget* HookOf(const TControl* c) {
    return c != nullptr && c->Impl() ? c->Impl()->hook : nullptr;
}

TWidget<QWidget>* MakePlainWidget(TControl* c, bool windowed) {
    auto* w = new TWidget<QWidget>(c);
    w->setAttribute(Qt::WA_NoMousePropagation, false);
    if (windowed)
        w->setAutoFillBackground(true);
    return w;
}

} // namespace

TControlWidget* GraphicWidgetFactory(TControl* c) {
    return MakePlainWidget(c, false);
}
TControlWidget* WindowedWidgetFactory(TControl* c) {
    return MakePlainWidget(c, true);
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
        if (auto* form = ComponentAs<TCustomForm>(owner); form != nullptr && !form->Constructed())
            SetComponentState(ComponentState() + TComponentState{csLoading, csReading});
    }
}

namespace {
// Widgets are made on the GUI thread only. (Plain statics: a thread-local in a module loaded
// at run time lives in dynamic TLS, which the leak checker of the test builds trips over.)
QWidget* widgetParking = nullptr;
} // namespace

QWidget* TakeWidgetParking() {
    return std::exchange(widgetParking, nullptr);
}

QPointer<QWidget>& LastInsertParent() {
    static QPointer<QWidget> last;
    return last;
}

void TControl::Init(TWidgetFactory factory) {
    // A control's widget starts hidden under its owner's widget (the form, as a rule) rather
    // than as a window of its own: it and the widgets inside it then take the form's font and
    // colours as they are made, and moving it under its parent later changes nothing, where a
    // widget made on its own would walk its whole inside again on every such change. Forms
    // stay windows.
    QWidget* parking = nullptr;
    if (factory != &FormWidgetFactory)
        if (auto* owner = ComponentAs<TWinControl>(Owner()))
            parking = WidgetOf(owner);
    if (parking != nullptr && LastInsertParent() != nullptr &&
        LastInsertParent()->window() == parking->window())
        parking = LastInsertParent();
    widgetParking = parking;
    // The control follows its parent's font (ParentFont) and will most likely be put where its
    // widget starts: it starts with that control's font, so that being put there changes
    // nothing. (Taken as from a parent: ParentFont stays on, and there is no widget yet to
    // show it.)
    if (parking != nullptr && parentFont_)
        if (TWinControl* beside = WinControlOfWidget(parking)) {
            updatingFont_ = true;
            font_->Assign(beside->Font());
            updatingFont_ = false;
        }
    struct Clear {
        ~Clear() { widgetParking = nullptr; }
    } clear;
    impl_->hook = factory(this);
    impl_->widget = impl_->hook->Widget();
    QWidget* w = impl_->widget;
    if (qobject_cast<QLineEdit*>(w) != nullptr || qobject_cast<QAbstractScrollArea*>(w) != nullptr)
        impl_->colorRole = QPalette::Base;
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->hide();
}

void TControl::SetControlStyle(TControlStyle style) {
    if (controlStyle_ == style)
        return;
    controlStyle_ = style;
    ControlStyleChanged();
}

void TControl::SetName(const std::string& name) {
    TComponent::SetName(name);
    if (QWidget* w = impl_->widget)
        w->setObjectName(QString::fromStdString(Name()));
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
        // The widget of a control made nearby but never given a parent may still wait here
        // (TControl::Init); it leaves rather than go with this one.
        for (QObject* child : w->children())
            if (auto* hook = dynamic_cast<TControlWidget*>(child);
                hook != nullptr && hook->control != nullptr && hook->control != this)
                static_cast<QWidget*>(child)->setParent(nullptr);
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
    if (w != nullptr && (parent_ != nullptr || AsForm() != nullptr)) {
        if (AsForm() == nullptr)
            w->setVisible(visible);
    }
    TComponentRef<TControl> self(this);
    Perform(CM_VISIBLECHANGED, visible ? 1 : 0, 0);
    if (!self)
        return;
    if (parent_ != nullptr) {
        if (align_ != alNone)
            parent_->Realign();
        if (auto* wc = AsWinControl()) {
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
    const bool show = EffectiveShowHint() && (Application == nullptr || Application->ShowHint());
    const int duration = Application != nullptr ? Application->HintHidePause() : -1;
    // Only a real change reaches the widget: each change is an event to it, and every hint of
    // every form is refreshed whenever the application's hint settings move.
    TControlImpl& im = *impl_;
    if (im.tipSet && im.tipShown == show && im.tipDuration == duration &&
        (!show || im.tipHint == hint_))
        return;
    const QString tip = show ? ToQString(GetShortHint(hint_)) : QString();
    if (w->toolTip() != tip)
        w->setToolTip(tip);
    if (duration >= 0 && w->toolTipDuration() != duration)
        w->setToolTipDuration(duration);
    im.tipSet = true;
    im.tipShown = show;
    im.tipDuration = duration;
    im.tipHint = show ? hint_ : std::string();
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

bool PaletteHolds(const QPalette& pal, std::initializer_list<QPalette::ColorRole> roles,
                  const QColor& c) {
    for (QPalette::ColorRole role : roles)
        for (QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            if (!pal.isBrushSet(group, role) || pal.color(group, role) != c)
                return false;
    return true;
}
bool PaletteInherits(const QPalette& pal, std::initializer_list<QPalette::ColorRole> roles,
                     const QColor& c) {
    for (QPalette::ColorRole role : roles)
        for (QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            if (pal.isBrushSet(group, role) || pal.color(QPalette::Active, role) != c)
                return false;
    return true;
}

namespace {

// True when the palette shows the colour in the role, set or inherited.
bool ShowsInRole(const QPalette& shown, QPalette::ColorRole role, const QColor& c) {
    return shown.isBrushSet(QPalette::Active, role) ? PaletteHolds(shown, {role}, c)
                                                    : PaletteInherits(shown, {role}, c);
}

void SetRole(QWidget* w, QPalette::ColorRole role, const QColor& c) {
    QPalette pal = w->palette();
    pal.setColor(role, c);
    w->setPalette(pal);
}

} // namespace

bool ShowInRole(QWidget* w, QPalette::ColorRole role, const QColor& c) {
    if (ShowsInRole(w->palette(), role, c))
        return false;
    SetRole(w, role, c);
    return true;
}

namespace {

// The roles among Window and Base that a control's inside takes from above it.
using TRoleSet = unsigned;
constexpr TRoleSet RoleBit(QPalette::ColorRole role) {
    return 1u << static_cast<unsigned>(role);
}
constexpr TRoleSet AllRoles = RoleBit(QPalette::Window) | RoleBit(QPalette::Base);

// Those of the roles the widget does not set itself: what its inside takes from above it.
TRoleSet PassedThrough(const QWidget* w, TRoleSet roles) {
    for (QPalette::ColorRole r : {QPalette::Window, QPalette::Base})
        if (w->palette().isBrushSet(QPalette::Active, r))
            roles &= ~RoleBit(r);
    return roles & AllRoles;
}

// Gives the controls inside the parent that keep a colour of their own (not ParentColor) and
// show it only by inheriting one of the roles their colour, before the colour above them in
// those roles changes. A control that sets a role itself hides the change from its inside.
void KeepOwnColors(const TWinControl* parent, TRoleSet roles) {
    for (int i = 0; i < parent->ControlCount() && roles != 0; ++i) {
        TControl* c = parent->Controls(i);
        QWidget* w = WidgetOf(c);
        if (w == nullptr)
            continue;
        const QPalette::ColorRole role = c->Impl()->colorRole;
        if ((roles & RoleBit(role)) != 0 && !c->ParentColor() &&
            !w->palette().isBrushSet(QPalette::Active, role))
            SetRole(w, role, ToQColor(c->Color()));
        if (const TRoleSet inside = PassedThrough(w, roles); inside != 0)
            if (const auto* wc = c->AsWinControl())
                KeepOwnColors(wc, inside);
    }
}

} // namespace

void KeepInsideColors(TControl* c) {
    QWidget* w = WidgetOf(c);
    const auto* wc = c != nullptr ? c->AsWinControl() : nullptr;
    if (w == nullptr || wc == nullptr)
        return;
    if (const TRoleSet inside = PassedThrough(w, AllRoles); inside != 0)
        KeepOwnColors(wc, inside);
}

void ShowControlColor(TControl* c, QPalette::ColorRole role, const QColor& color) {
    QWidget* w = WidgetOf(c);
    if (w == nullptr)
        return;
    if (ShowsInRole(w->palette(), role, color))
        return;
    if (const auto* wc = c->AsWinControl())
        KeepOwnColors(wc, RoleBit(role));
    SetRole(w, role, color);
}

void TControl::FontChanged() {
    QWidget* w = impl_->widget;
    if (w == nullptr)
        return;
    // Setting a widget's font or palette walks all its children, and a form sets the same font
    // on hundreds of controls while it is built. A control that follows its parent's font and
    // already shows it through its Qt parent is left inheriting it; any later change of the
    // parent's font reaches it here again and is compared again.
    const QFont f = ToQFont(*font_);
    const bool fontSet = w->testAttribute(Qt::WA_SetFont);
    const bool fontShown =
        w->font() == f &&
        (fontSet ? (w->font().resolveMask() & f.resolveMask()) == f.resolveMask() : parentFont_);
    if (!fontShown)
        w->setFont(f);
    const QColor c = ToQColor(font_->Color());
    QPalette pal = w->palette();
    const auto roles = {QPalette::WindowText, QPalette::Text, QPalette::ButtonText};
    if (!PaletteHolds(pal, roles, c) && !(parentFont_ && PaletteInherits(pal, roles, c))) {
        for (QPalette::ColorRole role : roles)
            pal.setColor(role, c);
        w->setPalette(pal);
    }
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
    else
        FontChanged(); // the widget may show the parent's font by inheriting it: pin it down
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
    // Setting a palette walks all of a widget's children, and most controls show the colour
    // they have through their Qt parent already (a form's grey, the white of text areas):
    // those are left inheriting it. A control that keeps its own colour is given it when the
    // colour above it changes (ShowControlColor) or when it moves (TWinControl::InsertControl).
    ShowControlColor(this, impl_->colorRole, ToQColor(color_));
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
    // True when the order changed: a control already in front leaves the stacking as it is.
    auto move = [this](auto& list) {
        auto it = std::find(list.begin(), list.end(), this);
        if (it == list.end() || std::next(it) == list.end())
            return false;
        auto* p = *it;
        list.erase(it);
        list.push_back(p);
        return true;
    };
    const bool moved =
        AsWinControl() != nullptr ? move(parent_->winControls_) : move(parent_->controls_);
    if (moved)
        parent_->RestackChildren();
}

void TControl::SendToBack() {
    if (parent_ == nullptr)
        return;
    // True when the order changed: a control already at the back leaves the stacking as it is.
    auto move = [this](auto& list) {
        auto it = std::find(list.begin(), list.end(), this);
        if (it == list.end() || it == list.begin())
            return false;
        auto* p = *it;
        list.erase(it);
        list.insert(list.begin(), p);
        return true;
    };
    const bool moved =
        AsWinControl() != nullptr ? move(parent_->winControls_) : move(parent_->controls_);
    if (moved)
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
// Global helpers

TCustomForm* GetParentForm(const TControl* control) {
    const TControl* c = control;
    while (c != nullptr && c->Parent() != nullptr)
        c = c->Parent();
    return c == nullptr ? nullptr : c->AsForm();
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
    if (handle == 0)
        return;
    if (TWinControl* c = FindControl(handle)) {
        c->Repaint();
        return;
    }
    // A window of the host program: a host hands over the native id of its window (each
    // module has its own table of our handles, but Qt's windows are shared by all of them).
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget* w : widgets)
        if (w->internalWinId() != 0 && w->internalWinId() == static_cast<WId>(handle)) {
            w->repaint();
            return;
        }
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
