// Visual controls: TControl, TWinControl, TCustomControl, TGraphicControl and TControlCanvas.
//
// Each control owns one Qt widget (created by the control's constructor; Qt stays in
// src/ui/qt/) and places it with absolute pixel geometry: Left/Top/Width/Height relative to the
// parent's client area. The owner frees a control; the parent shows it (and a TWinControl frees
// its child controls when it is freed, as the VCL does).
//
// Messages. Perform(msg, wParam, lParam) calls the virtual WndProc synchronously; a control
// handles a message in its WndProc override and calls the inherited WndProc for the rest, which
// ends in DefaultHandler, the native behaviour of the widget. What the user does on screen
// arrives the same way (mouse and key messages, WM_SIZE, WM_MOVE, WM_PAINT, CM_ENTER, CM_EXIT;
// the road and its table are in ui/qt/EventRouting.cpp), so an override that does not call the
// inherited WndProc keeps the native widget from seeing the event. PostMessage queues a message on
// the event loop; it is dropped when the target is gone by then.
//
// Focus follows the VCL: when the focus moves, CM_EXIT goes to the control that had it and to
// each container that no longer contains the focus (innermost first), then CM_ENTER to each
// container entered and to the control (outermost first). A handler that moves the focus again
// ends the sequence. Tab, Shift+Tab and arrow keys move through the tab order (SelectNext).
//
// Keys go as in the VCL: menu short-cuts of the focused control chain, dialog keys (Tab, Enter,
// Esc, arrows) that the control does not want, then WM_KEYDOWN and WM_CHAR, which the parent
// form sees first when its KeyPreview is set; a handler that sets Key to 0 consumes it, one that
// changes it hands the new key on.
#pragma once

#include "platform/Classes.h"
#include "platform/Types.h"
#include "ui/Graphics.h"
#include "ui/Messages.h"

#include <cassert>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nuv {

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TControlWidget; // the Qt side of a control (platform-internal)
struct TControlImpl;

// Creates the Qt side of a control; the platform's control classes pass their own.
using TWidgetFactory = TControlWidget* (*)(TControl* control);

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using enum TAlign;
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;
enum class TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using enum TShiftStateItem;
using TShiftState = TSet<TShiftStateItem>;
enum class TDragMode { dmManual, dmAutomatic };
using enum TDragMode;
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using enum TDragState;
enum class TDragKind { dkDrag, dkDock };
using enum TDragKind;
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using enum TBevelCut;
enum class TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TTextLayout { tlTop, tlCenter, tlBottom };
using enum TTextLayout;

enum class TControlStyleItem {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents
};
using enum TControlStyleItem;
using TControlStyle = TSet<TControlStyleItem>;
enum class TControlStateItem {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking
};
using enum TControlStateItem;
using TControlState = TSet<TControlStateItem>;

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crHandPoint = -21;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

// A typed character (WM_CHAR): a Unicode code point; 0 means consumed.
using TKeyChar = char32_t;

// Drag and dock objects handed to the drag events.
class TDragObject : public TObject {
public:
    TControl* Control = nullptr;
    bool Dropped = false;
};
class TDragDockObject : public TDragObject {
public:
    TRect DockRect;
    TAlign DropAlign = alNone;
};

using TKeyEvent = TEvent<void(TObject*, Word&, TShiftState)>;
using TKeyPressEvent = TEvent<void(TObject*, TKeyChar&)>;
using TMouseEvent = TEvent<void(TObject*, TMouseButton, TShiftState, int, int)>;
using TMouseMoveEvent = TEvent<void(TObject*, TShiftState, int, int)>;
using TDragDropEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TDragOverEvent =
    TEvent<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TEndDragEvent = TEvent<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDragEvent = TEvent<void(TObject* Sender, TDragObject*& DragObject)>;
using TStartDockEvent = TEvent<void(TObject* Sender, TDragDockObject*& DragObject)>;
using TDockDropEvent = TEvent<void(TObject* Sender, TDragDockObject* Source, int X, int Y)>;
using TDockOverEvent = TEvent<void(TObject* Sender, TDragDockObject* Source, int X, int Y,
                                   TDragState State, bool& Accept)>;
using TGetSiteInfoEvent = TEvent<void(TObject* Sender, TControl* DockClient, TRect& InfluenceRect,
                                      TPoint MousePos, bool& CanDock)>;
using TUnDockEvent =
    TEvent<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;
using TContextPopupEvent = TEvent<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// The canvas of a control: draws on the control while it paints (WM_PAINT); text metrics work
// at any time.
class TControlCanvas : public TCanvas {
public:
    explicit TControlCanvas(TControl* control);
    TControl* Control() const { return control_; }

private:
    TControl* control_;
};

// The component as an object of class T, nullptr when it is not one: by the class information
// every component class declares, cheaper than a dynamic_cast (which compares type names across
// shared libraries) on the paths every control takes. Debug builds check it against one.
template <class T> T* ComponentAs(TComponent* c) {
    T* r = c != nullptr && c->ClassInfo().InheritsFrom(T::StaticClassInfo()) ? static_cast<T*>(c)
                                                                             : nullptr;
    assert(r == dynamic_cast<T*>(c));
    return r;
}

class TControl : public TComponent {
    NUV_CLASS(TControl)
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;
    void BeforeDestruction() override;
    // The widget carries the component's name as its object name, so that tools working on
    // the Qt side (accessibility, tests driving a loaded plug-in) can find the control.
    void SetName(const std::string& name) override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    // This control as a windowed control (nullptr for a graphic one) and as a form (nullptr
    // for any other control). Asked for every control as it is made, placed and shown: cheaper
    // than a dynamic_cast, which compares type names across shared libraries.
    virtual TWinControl* AsWinControl() const { return nullptr; }
    virtual TCustomForm* AsForm() const { return nullptr; }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    // The client area in the control's own coordinates.
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    void Show();
    void Hide();
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    // Caption and Text are the same value (the window text).
    std::string Caption() const { return RealGetText(); }
    void SetCaption(const std::string& text) { SetText(text); }
    std::string Text() const { return RealGetText(); }
    void SetText(const std::string& text);

    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value);

    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* font);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    TPopupMenu* PopupMenu() const;
    void SetPopupMenu(TPopupMenu* menu);

    TDragMode DragMode() const { return dragMode_; }
    void SetDragMode(TDragMode mode) { dragMode_ = mode; }
    TDragKind DragKind() const { return dragKind_; }
    void SetDragKind(TDragKind kind) { dragKind_ = kind; }
    TCursor DragCursor() const { return dragCursor_; }
    void SetDragCursor(TCursor cursor) { dragCursor_ = cursor; }
    // Starts dragging this control (immediately, or once the mouse has moved threshold pixels).
    void BeginDrag(bool immediate, int threshold = -1);
    void EndDrag(bool drop);
    bool Dragging() const;
    // Moves the control onto a dock site (nullptr: floats it back to no parent).
    void ManualDock(TWinControl* site);
    TWinControl* HostDockSite() const { return hostDockSite_; }

    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle style);
    TControlState ControlState() const { return controlState_; }
    void SetControlState(TControlState state) { controlState_ = state; }

    void BringToFront();
    void SendToBack();
    void Invalidate();
    // Repaints at once.
    void Repaint();
    void Update();
    void Refresh() { Repaint(); }

    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual void WndProc(TMessage& message);
    virtual void DefaultHandler(TMessage& message);

    virtual void Click();
    virtual void DblClick();

    // Right-to-left reading order is not supported: always false.
    bool IsRightToLeft() const { return false; }
    void Loaded() override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnResize;
    TDragDropEvent OnDragDrop;
    TDragOverEvent OnDragOver;
    TEndDragEvent OnEndDrag;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDock;
    TStartDockEvent OnStartDock;
    TContextPopupEvent OnContextPopup;

    TControlImpl* Impl() const { return impl_.get(); }

protected:
    TControl(TComponent* owner, TWidgetFactory factory);

    virtual std::string RealGetText() const;
    virtual void RealSetText(const std::string& text);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void Resize();
    virtual void DoStartDrag(TDragObject*& dragObject);
    virtual void DoEndDrag(TObject* target, int x, int y);
    virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
    virtual void DragDrop(TObject* source, int x, int y);
    virtual void DoStartDock(TDragDockObject*& dragObject);
    virtual void DoEndDock(TObject* target, int x, int y);
    // Called after the font changed (own or taken from the parent).
    virtual void FontChanged();
    // Applies the colour to the widget.
    virtual void ColorChanged();
    // Called before Visible changes.
    virtual void VisibleChanging() {}
    // Called after ControlStyle changed.
    virtual void ControlStyleChanged() {}
    void Notification(TComponent* component, TOperation operation) override;
    // Applies the hint and hint setting to the widget.
    void UpdateHint();
    // True when the hint is shown: ShowHint (taken from the parent with ParentShowHint).
    bool EffectiveShowHint() const;
    // Sends a message to the parent's other controls.
    void SendToSiblings(UINT msg, WPARAM w, LPARAM l);

private:
    friend class TWinControl;
    friend class TControlWidget;
    friend struct TControlImpl;
    friend struct TDragAccess;
    friend class TCustomForm;
    void Init(TWidgetFactory factory);
    void ParentFontChanged();
    void ParentColorChanged();
    void FontOnChange(TObject*);
    void ApplyGeometry();
    void DoMouseDown(TMessage& m, TMouseButton button);
    void DoMouseUp(TMessage& m, TMouseButton button);

    std::unique_ptr<TControlImpl> impl_;
    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = alNone;
    bool visible_ = true;
    bool enabled_ = true;
    std::string text_;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    TCursor cursor_ = crDefault;
    TPopupMenu* popupMenu_ = nullptr;
    TDragMode dragMode_ = dmManual;
    TDragKind dragKind_ = dkDrag;
    TCursor dragCursor_ = crDrag;
    TWinControl* hostDockSite_ = nullptr;
    TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState controlState_;
    bool updatingFont_ = false;
};

class TWinControl : public TControl {
    NUV_CLASS(TWinControl)
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    TWinControl* AsWinControl() const override { return const_cast<TWinControl*>(this); }

    int ControlCount() const { return static_cast<int>(controls_.size() + winControls_.size()); }
    // Child controls: the graphic ones first, then the windowed ones, each in z-order
    // (bottom first).
    TControl* Controls(int index) const;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    // True when the control is this one or lies inside it.
    bool ContainsControl(const TControl* control) const;

    bool HandleAllocated() const { return handle_ != 0; }
    // The window handle, allocated on demand (with the parents' and the visible children's).
    HWND Handle();
    void HandleNeeded() { (void)Handle(); }
    // Visible here and in every parent up to a visible form.
    bool Showing() const;

    int TabOrder() const;
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    virtual bool CanFocus() const;
    virtual void SetFocus();
    virtual bool Focused() const;
    // All windowed descendants in tab order, depth first.
    void GetTabOrderList(std::vector<TWinControl*>& list) const;
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                 bool checkParent) const;
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
    // Sends the message to every child control until one sets a non-zero result.
    void Broadcast(TMessage& message);
    // Sends CM_SHOWINGCHANGED to this control and its children whose Showing changed.
    void UpdateShowingChildren();

    bool DockSite() const { return dockSite_; }
    void SetDockSite(bool value) { dockSite_ = value; }
    int DockClientCount() const;
    TControl* DockClients(int index) const;

    // Lays out the aligned children again.
    void Realign();
    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();

    void SetBounds(int left, int top, int width, int height) override;
    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TDockDropEvent OnDockDrop;
    TDockOverEvent OnDockOver;
    TGetSiteInfoEvent OnGetSiteInfo;
    TUnDockEvent OnUnDock;

protected:
    TWinControl(TComponent* owner, TWidgetFactory factory);

    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(Word& key, TShiftState shift);
    virtual void KeyUp(Word& key, TShiftState shift);
    virtual void KeyPress(TKeyChar& key);
    // The VCL's DoKeyDown/DoKeyPress/DoKeyUp with the parent form's key preview: true when
    // the key was consumed.
    bool DoKeyDown(Word& key, TShiftState shift);
    bool DoKeyUp(Word& key, TShiftState shift);
    bool DoKeyPress(TKeyChar& key);
    virtual void AlignControls(TControl* control, TRect& rect);
    // The part of the client area that aligned children fill (a panel leaves its border out).
    virtual void AdjustClientRect(TRect& rect) const;
    // The dialog keys the control keeps (DLGC_* flags answered to WM_GETDLGCODE).
    virtual LRESULT DialogCode() const { return 0; }
    virtual void DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept);
    virtual void DockDrop(TDragDockObject* source, int x, int y);
    virtual bool DoUnDock(TWinControl* newTarget, TControl* client);
    // Called when the window handle has been allocated (after WM_SIZE and WM_MOVE).
    virtual void CreateWnd() {}

private:
    friend class TControl;
    friend class TCustomForm;
    friend struct TDragAccess;
    void RestackChildren();
    // The key messages (the routing of keys, ui/qt/EventRouting.cpp).
    void KeyMessage(TMessage& message);
    template <class Key, class Step> bool WithKeyPreview(Key& key, Step step);

    std::vector<TControl*> controls_;       // graphic controls, bottom first
    std::vector<TWinControl*> winControls_; // windowed controls, bottom first
    std::vector<TWinControl*> tabList_;
    HWND handle_ = 0;
    bool tabStop_ = false;
    bool dockSite_ = false;
    int alignDisabled_ = 0;
    bool aligning_ = false;
};

// A windowed control that paints itself: Paint draws on Canvas.
class TCustomControl : public TWinControl {
    NUV_CLASS(TCustomControl)
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    // Made when first asked for (most controls of a form are not painted or measured before
    // they are shown, and many never are).
    TCanvas* Canvas() const;
    void WndProc(TMessage& message) override;

protected:
    TCustomControl(TComponent* owner, TWidgetFactory factory);
    virtual void Paint() {}
    // With csOpaque (Paint fills all of the control), no background is filled before Paint and
    // what lies under the control is not painted either.
    void ControlStyleChanged() override;

private:
    mutable std::unique_ptr<TControlCanvas> canvas_;
};

// A control without a window handle that paints itself: Paint draws on Canvas.
class TGraphicControl : public TControl {
    NUV_CLASS(TGraphicControl)
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    // Made when first asked for, as a custom control's.
    TCanvas* Canvas() const;
    void WndProc(TMessage& message) override;

protected:
    TGraphicControl(TComponent* owner, TWidgetFactory factory);
    virtual void Paint() {}

private:
    mutable std::unique_ptr<TControlCanvas> canvas_;
};

// The form that holds the control (walking up the parents), or nullptr.
TCustomForm* GetParentForm(const TControl* control);
// The live windowed control of a handle, or nullptr.
TWinControl* FindControl(HWND handle);
// Sends a message synchronously to the control of the handle; 0 when there is none.
LRESULT SendMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);
// Queues a message for the control of the handle; false when there is no such control now.
// The message is dropped if the control is freed before the event loop delivers it.
bool PostMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);
// Repaints the window of the handle at once: one of our controls, or a host window given by its
// native window id (nothing for an unknown handle).
void UpdateWindow(HWND handle);
// Brings the form that owns the handle to the front and activates it.
bool SetForegroundWindow(HWND handle);
// Short hint: the text before the first "|".
std::string GetShortHint(const std::string& hint);
// The current shift state of the keyboard and mouse buttons.
TShiftState KeyboardShiftState();

} // namespace nuv
