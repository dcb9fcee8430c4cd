// NuMsg: the message service of the parameter dialogs.
//
// A dialog holds no message texts of its own: a warning, error, question or note is named by a
// message reference, "type;id[;argument...]" ("E;000015", "W;000002;A;3;2"), whose wording the
// host's manager fetches from the server's message table (GetMessage). The service parses a
// reference, fetches and formats its text, shows it in a modal dialog of the type's kind, and
// keeps the dialog's two running lists: MessageRefs (every reference posted, duplicates kept)
// and MessageTexts (every distinct text). An id with a leading "-" ("I;-000004") is recorded but
// not shown; "E;-1" stands for a free failure text (AddFailureText).
#pragma once

#include "runtime/BaseGeneState.h"
#include "ui/Dialogs.h"

#include <string>
#include <string_view>
#include <vector>

namespace nuv {

// At most this many arguments follow the id of a reference.
inline constexpr int MessageArgumentSlots = 10;

// Raised when a message template cannot be formatted with its arguments.
class EMessageFormatError : public Exception {
public:
    using Exception::Exception;
};

// Fills "%s" placeholders in order from the arguments ("%%" is a percent sign; "%1:s" picks an
// argument by index; "%-8s" and "%.3s" pad and cut as printf does). It never reads past the
// arguments: a placeholder without an argument, and any directive other than s ("%d", "%n",
// "%x", a "%" at the end), raise EMessageFormatError.
std::string FormatMessageText(std::string_view Template, const std::vector<std::string>& Args);

// The dialog kind and the buttons (when the caller names none) of a message type letter.
struct TMessageKind {
    TMsgDlgType Kind;
    TMsgDlgButtons Buttons;
};
TMessageKind MessageKindOf(std::string_view Type);

// A parsed reference.
struct TMessageRef {
    std::string Type;
    // The id as looked up: without the "-" of a recorded-only reference.
    std::string Id;
    // Shown: the id read as an integer is greater than 0.
    bool Shown = false;
    // Always ten slots; the fields after the id fill them in order (an empty first field when
    // there are none).
    std::vector<std::string> Args;
};
// Raises Exception when the reference carries more than ten arguments.
TMessageRef ParseMessageRef(std::string_view Ref);

// The message template of type and id from the manager, converted for display. Sets
// LastMessageKey to type + "-" + id. Without a manager, or when the manager fails, the text is
// "Can not Get Message\rType= <type>, ID= <id> ".
std::string GetMessageText(TBaseGeneState& Dialog, const std::string& Type, const std::string& Id);

// Shows the text modally with the dialog's caption and answers the modal result; 0 without
// showing anything while QuietMessages is set, unless the kind is mtError. An error gives the
// focus back to FocusControl afterwards.
int ShowMessageBox(TBaseGeneState& Dialog, const std::string& Text, TMsgDlgType Kind,
                   TMsgDlgButtons Buttons);

// Fetches and formats the message (a formatting failure raises EMessageFormatError) and shows
// it with the type's kind and buttons, or with Buttons when not empty. The running lists are
// not touched.
int ShowMessageById(TBaseGeneState& Dialog, const std::string& Type, const std::string& Id,
                    const std::vector<std::string>& Args, TMsgDlgButtons Buttons = {});

// Records a reference and its text and shows it when its id is positive (kind of its type,
// button OK). An empty reference clears both lists. More than ten arguments raise Exception
// before anything is recorded or fetched. A template that cannot be formatted is recorded as
// the template, "\r" and each non-empty argument followed by ";".
void PostMessageRef(TBaseGeneState& Dialog, const std::string& Ref);

// Records a free failure text as "E;-1" (nothing is shown); a text that is empty after trimming
// clears both lists.
void AddFailureText(TBaseGeneState& Dialog, const std::string& Text);

} // namespace nuv
