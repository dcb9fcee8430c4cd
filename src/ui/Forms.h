// Forms, the application and the screen.
//
// A form is created with CreateForm<T>(owner, ...): the constructors build the components (the
// form and the components it owns are in the loading state, csLoading + csReading, all the way
// through the constructors of every class level), then AfterConstruction ends loading (Loaded
// on every component, in creation order) and runs OnCreate. A form is freed with Free, or with
// Release from its own event handlers (it is freed once the event loop runs again); closing with
// the close action caFree releases it.
//
// ShowModal shows the form and waits until ModalResult is set, through the dialog presenter of
// Dialogs.h: a real event loop for a person, a script in tests.
#pragma once

#include "ui/Controls.h"

#include <string>
#include <utility>
#include <vector>

namespace nuv {

class TMainMenu;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using enum TCloseAction;
enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using enum TBorderIcon;
using TBorderIcons = TSet<TBorderIcon>;
enum class TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
using enum TPosition;
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
using enum TWindowState;
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
using enum TFormStyle;
using TFormBorderStyle = TBorderStyle;

using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;

// Window frame added around the client area of a bordered form, as Windows draws it: Width and
// Height of a form include it, ClientWidth and ClientHeight do not.
constexpr int FormFrameWidth = 8;
constexpr int FormFrameHeight = 27;

class TCustomForm : public TWinControl {
    NUV_CLASS(TCustomForm)
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;
    TCustomForm* AsForm() const override { return const_cast<TCustomForm*>(this); }

    // Ends loading and runs OnCreate; CreateForm calls it. Runs once.
    void AfterConstruction();
    bool Constructed() const { return constructed_; }
    // Runs OnDestroy (the form and its components still exist).
    void BeforeDestruction() override;

    void Show();
    void Hide();
    // Closes as the VCL does: a modal form sets ModalResult to mrCancel; otherwise CloseQuery,
    // then OnClose decides the action (caHide by default; caFree releases the form).
    void Close();
    bool CloseQuery();
    // Frees the form once the event loop runs again.
    void Release();
    int ShowModal();
    bool Modal() const { return modal_; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value);

    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    TWinControl* FocusedControl() const { return focusedControl_; }
    // Makes the control the active one and focuses the form.
    void FocusControl(TWinControl* control);
    // Runs the exit and enter events for a focus move to the control; false when a handler
    // moved the focus elsewhere meanwhile.
    bool SetFocusedControl(TWinControl* control);
    bool Active() const { return active_; }

    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position);
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool value) { keyPreview_ = value; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style);
    bool Scaled() const { return scaled_; }
    void SetScaled(bool value) { scaled_ = value; }
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    // The form's window has no parent window (a top-level window of the desktop).
    HWND ParentWindow() const { return 0; }

    TRect ClientRect() const override;
    void SetBounds(int left, int top, int width, int height) override;
    bool CanFocus() const override;
    void SetFocus() override;
    void WndProc(TMessage& message) override;
    // Menu short-cuts of the main menu: true when one ran.
    bool IsShortCut(Word key, TShiftState shift);

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;

protected:
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void VisibleChanging() override;

private:
    friend class TControl;
    friend class TWinControl;
    friend struct TFormAccess;
    void CloseModal();
    void ApplyWindowFlags();
    void PlaceOnScreen();
    void SetActive(bool active);

    bool constructed_ = false;
    bool modal_ = false;
    bool active_ = false;
    bool placed_ = false;
    bool releasing_ = false;
    TModalResult modalResult_ = mrNone;
    TComponentRef<TWinControl> activeControl_;
    TComponentRef<TWinControl> focusedControl_;
    int focusCount_ = 0;
    TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
    TFormBorderStyle borderStyle_ = TBorderStyle::bsSizeable;
    TPosition position_ = poDesigned;
    bool keyPreview_ = false;
    TWindowState windowState_ = wsNormal;
    TFormStyle formStyle_ = fsNormal;
    bool scaled_ = true;
    TMainMenu* menu_ = nullptr;
    std::vector<TComponent*> loading_;
};

class TForm : public TCustomForm {
    NUV_CLASS(TForm)
public:
    explicit TForm(TComponent* owner);
};

// Creates a form (or any TCustomForm class) and finishes its construction.
template <class T, class... Args> T* CreateForm(Args&&... args) {
    T* form = new T(std::forward<Args>(args)...);
    try {
        form->AfterConstruction();
    } catch (...) {
        form->Free();
        throw;
    }
    return form;
}

// MessageBox flags (Windows values).
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_SYSTEMMODAL = 0x1000;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

using TExceptionEvent = TEvent<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
    NUV_CLASS(TApplication)
public:
    TApplication();
    ~TApplication() override;

    std::string Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    // Milliseconds before a hint appears and before it hides again.
    int HintPause() const { return hintPause_; }
    void SetHintPause(int ms);
    int HintHidePause() const { return hintHidePause_; }
    void SetHintHidePause(int ms);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    TColor HintColor() const { return hintColor_; }
    void SetHintColor(TColor color);
    TCustomForm* MainForm() const { return mainForm_; }
    void SetMainForm(TCustomForm* form) { mainForm_ = form; }
    // Raises the application's visible forms above other windows.
    void BringToFront();
    void Minimize();
    void Restore();
    // The start of a program of its own (not a plug-in in a host, which brings its
    // application): creates the Qt application from the command line when there is none yet.
    // It lives until the process ends.
    void Initialize(int& argc, char** argv);
    // Shows the main form and runs the events until the main form is freed or hidden (closed)
    // or Terminate is called.
    void Run();
    // Runs the events that are waiting, including posted messages and releases.
    void ProcessMessages();
    // Waits for at least one event and runs what is waiting.
    void HandleMessage();
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // A plain message box through the dialog presenter; answers IDOK, IDCANCEL, IDYES or IDNO.
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags = MB_OK);
    // Shows the message of an exception caught in an event handler (OnException when set).
    void HandleException(TObject* sender, const std::exception& e);
    HWND Handle() const { return 0; }

    TExceptionEvent OnException;

private:
    std::string title_ = "nuv";
    int hintPause_ = 500;
    int hintHidePause_ = 2500;
    bool showHint_ = true;
    TColor hintColor_ = clInfoBk;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
};

class TScreen : public TComponent {
    NUV_CLASS(TScreen)
public:
    TScreen();
    ~TScreen() override;

    TFont* HintFont() const { return hintFont_.get(); }
    TFont* IconFont() const { return iconFont_.get(); }
    TFont* MenuFont() const { return menuFont_.get(); }
    void SetHintFont(TFont* font) { hintFont_->Assign(font); }
    void SetIconFont(TFont* font) { iconFont_->Assign(font); }
    void SetMenuFont(TFont* font) { menuFont_->Assign(font); }

    TForm* ActiveForm() const;
    TCustomForm* ActiveCustomForm() const { return activeCustomForm_; }
    TWinControl* ActiveControl() const { return activeControl_; }
    int FormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* Forms(int index) const { return forms_.at(static_cast<std::size_t>(index)); }
    int CustomFormCount() const { return FormCount(); }
    TCustomForm* CustomForms(int index) const { return Forms(index); }
    int Width() const;
    int Height() const;
    int PixelsPerInch() const { return ScreenPixelsPerInch; }
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);

    TNotifyEvent OnActiveControlChange;
    TNotifyEvent OnActiveFormChange;

private:
    friend class TCustomForm;
    friend class TWinControl;
    void ApplyFonts();
    std::unique_ptr<TFont> hintFont_, iconFont_, menuFont_;
    std::vector<TCustomForm*> forms_;
    TCustomForm* activeCustomForm_ = nullptr;
    TWinControl* activeControl_ = nullptr;
    TCursor cursor_ = crDefault;
};

extern TApplication* Application;
extern TScreen* Screen;

// Renders the form (shown or not) into a PNG file; false when the file cannot be written.
bool GrabForm(TCustomForm* form, const std::string& path);

} // namespace nuv
