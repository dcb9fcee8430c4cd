// Test support for UI tests (library nuv_ui_test_main, which also provides main() with an
// offscreen QApplication): the scripted dialog presenter, key and mouse helpers that go through
// the real event path, and event-loop draining without sleeps.
#pragma once

#include "ui/Dialogs.h"
#include "ui/Forms.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace nuv::test {

// Records every message dialog and modal form and answers without blocking. Install it for a
// scope with ScopedPresenter.
class ScriptedPresenter : public TDialogPresenter {
public:
    struct Message {
        std::string Text;
        std::string Caption;
        TMsgDlgType Kind = mtCustom;
        TMsgDlgButtons Buttons;
        bool StayOnTop = false;
        std::string FontName;
        int FontCharset = 0;
        TModalResult Answer = mrNone;
    };
    struct Box {
        std::string Text;
        std::string Caption;
        unsigned Flags = 0;
        int Answer = 0;
    };

    // Answers for the coming message dialogs, in order; without one the default button answers.
    void Answer(TModalResult result) { answers_.push_back(result); }
    void AnswerBox(int id) { boxAnswers_.push_back(id); }
    // Scripts for the coming modal forms, in order: each runs while the form is shown and
    // should set ModalResult (or press a button). A form left open is cancelled.
    void OnModalForm(std::function<void(TCustomForm&)> script) {
        scripts_.push_back(std::move(script));
    }

    const std::vector<Message>& Messages() const { return messages_; }
    const std::vector<Box>& Boxes() const { return boxes_; }
    // Class names of the modal forms that were run, in order.
    const std::vector<std::string>& ModalForms() const { return modalForms_; }
    // Forms that a script left open (they were cancelled).
    int UnansweredForms() const { return unanswered_; }
    void Clear();

    TModalResult ShowMessageForm(TMessageForm& form) override;
    void RunModal(TCustomForm& form, const std::function<bool()>& done) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;

private:
    std::deque<TModalResult> answers_;
    std::deque<int> boxAnswers_;
    std::deque<std::function<void(TCustomForm&)>> scripts_;
    std::vector<Message> messages_;
    std::vector<Box> boxes_;
    std::vector<std::string> modalForms_;
    int unanswered_ = 0;
};

class ScopedPresenter {
public:
    explicit ScopedPresenter(TDialogPresenter& p) : old_(SetDialogPresenter(&p)) {}
    ~ScopedPresenter() { SetDialogPresenter(old_); }
    ScopedPresenter(const ScopedPresenter&) = delete;
    ScopedPresenter& operator=(const ScopedPresenter&) = delete;

private:
    TDialogPresenter* old_;
};

// Runs posted messages, releases and deferred deletions until nothing is left (no waiting).
void DrainEvents();
// The control that has the input focus (by the Qt focus widget), or nullptr.
TWinControl* FocusedControl();
// A key as the user types it into the focused widget: key down (with text) and key up.
void PressKey(Word virtualKey, TShiftState shift = {}, const std::string& text = "");
// Types the text into the focused widget, one character at a time.
void TypeText(const std::string& text);
// A left click at a point of the control, as from the mouse.
void ClickAt(TControl* control, int x, int y);
void DoubleClickAt(TControl* control, int x, int y);
// Frees every form still on the screen (tests end with it so that no window stays open).
void FreeAllForms();

} // namespace nuv::test
