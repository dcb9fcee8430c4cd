// Message dialogs and the dialog presenter.
//
// MessageDlg(text, kind, buttons) shows the standard message dialog; CreateMessageDialog builds
// it as a form (TMessageForm) so that a caller can set its caption, font and stay-on-top before
// ShowModal. Every message dialog and every modal form goes through one presenter, replaceable
// with SetDialogPresenter: the default shows Qt message boxes and runs modal event loops for a
// person; tests install a scripted presenter that records and answers without blocking.
#pragma once

#include "ui/Forms.h"

#include <string>

namespace nuv {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
using enum TMsgDlgType;
enum class TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
using enum TMsgDlgBtn;
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// The modal result of a dialog button.
TModalResult ButtonModalResult(TMsgDlgBtn button);
// The buttons of a set in the order the dialog shows them.
std::vector<TMsgDlgBtn> OrderedButtons(TMsgDlgButtons buttons);
// The caption of a dialog kind ("Warning", "Error", ...) and of a button ("OK", "&Yes", ...).
std::string DialogKindCaption(TMsgDlgType kind);
std::string ButtonCaption(TMsgDlgBtn button);

// The standard message dialog as a form: an icon, the text and one button per entry of the
// set. Its caption is the kind's caption until the caller sets another.
class TMessageForm : public TForm {
    NUV_CLASS(TMessageForm)
public:
    TMessageForm(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons);
    ~TMessageForm() override;
    std::string Message() const { return message_; }
    TMsgDlgType Kind() const { return kind_; }
    TMsgDlgButtons Buttons() const { return buttons_; }
    // The button that Enter presses: OK, else Yes, else the first.
    TMsgDlgBtn DefaultButton() const;
    // Lays the dialog out for its text and font (ShowModal does it again after changes).
    void Arrange();

private:
    std::string message_;
    TMsgDlgType kind_;
    TMsgDlgButtons buttons_;
};

// Creates the message dialog form; the caller shows it (ShowModal) and frees it.
TMessageForm* CreateMessageDialog(const std::string& text, TMsgDlgType kind,
                                  TMsgDlgButtons buttons);
// Shows a message dialog modally and answers its modal result.
int MessageDlg(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons,
               int helpContext = 0);
void ShowMessage(const std::string& text);

class TDialogPresenter {
public:
    virtual ~TDialogPresenter() = default;
    // Shows a message dialog form modally and returns the modal result.
    virtual TModalResult ShowMessageForm(TMessageForm& form) = 0;
    // Runs a shown modal form until done() is true (it becomes true once ModalResult is set and
    // the form agreed to close).
    virtual void RunModal(TCustomForm& form, const std::function<bool()>& done) = 0;
    // A plain message box (Application->MessageBox); answers IDOK, IDCANCEL, IDYES or IDNO.
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

// The presenter of a program without a person (a stand-alone run that only makes a picture, a
// test build of a module): every message is written to the error output and answered with its
// default button (OK for a plain box); a modal form is not run and keeps its modal result.
class TConsolePresenter : public TDialogPresenter {
public:
    TModalResult ShowMessageForm(TMessageForm& form) override;
    void RunModal(TCustomForm& form, const std::function<bool()>& done) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
};

// The presenter in use (the Qt one unless replaced).
TDialogPresenter& DialogPresenter();
// Replaces the presenter; nullptr puts the Qt one back. Returns the previous one.
TDialogPresenter* SetDialogPresenter(TDialogPresenter* presenter);

} // namespace nuv
