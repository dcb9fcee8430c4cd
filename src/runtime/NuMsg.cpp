#include "runtime/NuMsg.h"

#include "platform/AsciiText.h"
#include "runtime/DialogText.h"
#include "support/HostObjects.h"
#include "ui/Messages.h"

#include <cstddef>
#include <memory>

namespace nuv {

namespace {

// Number of UTF-8 code points of a text.
std::size_t CodePoints(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

// The first n code points of a text.
std::string_view FirstCodePoints(std::string_view s, std::size_t n) {
    std::size_t i = 0, seen = 0;
    for (; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (seen == n)
                break;
            ++seen;
        }
    }
    return s.substr(0, i);
}

[[noreturn]] void BadFormat(std::string_view tmpl) {
    throw EMessageFormatError("Format '" + std::string(tmpl) +
                              "' invalid or incompatible with argument");
}

// Reads a decimal number at pos; -1 when there is none.
int ReadNumber(std::string_view s, std::size_t& pos) {
    if (pos >= s.size() || s[pos] < '0' || s[pos] > '9')
        return -1;
    long v = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        v = v * 10 + (s[pos++] - '0');
        if (v > 100000)
            v = 100000; // a width beyond any message is as good as this one
    }
    return static_cast<int>(v);
}

void ResetLists(TBaseGeneState& dialog) {
    dialog.MessageRefs.clear();
    dialog.MessageTexts.clear();
}

// Appends the text to MessageTexts unless it is one of its entries already.
void AddDistinctText(TBaseGeneState& dialog, const std::string& text) {
    // Entries are compared whole: a new text that merely occurs inside a longer one is a text
    // of its own.
    const std::string entries = "; " + dialog.MessageTexts;
    if (entries.find("; " + text + "; ") == std::string::npos)
        dialog.MessageTexts += text + "; ";
}

} // namespace

std::string FormatMessageText(std::string_view tmpl, const std::vector<std::string>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < tmpl.size();) {
        char c = tmpl[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        std::size_t p = i + 1;
        if (p < tmpl.size() && tmpl[p] == '%') {
            out += '%';
            i = p + 1;
            continue;
        }
        // %[index:][-][width][.precision]s
        std::size_t save = p;
        int index = ReadNumber(tmpl, p);
        if (index >= 0 && p < tmpl.size() && tmpl[p] == ':') {
            ++p;
            next = static_cast<std::size_t>(index);
        } else {
            p = save;
        }
        bool left = false;
        if (p < tmpl.size() && tmpl[p] == '-') {
            left = true;
            ++p;
        }
        int width = ReadNumber(tmpl, p);
        int precision = -1;
        if (p < tmpl.size() && tmpl[p] == '.') {
            ++p;
            precision = ReadNumber(tmpl, p);
            if (precision < 0)
                precision = 0;
        }
        if (p >= tmpl.size() || (tmpl[p] != 's' && tmpl[p] != 'S'))
            BadFormat(tmpl);
        if (next >= args.size())
            BadFormat(tmpl);
        std::string_view value = args[next++];
        if (precision >= 0)
            value = FirstCodePoints(value, static_cast<std::size_t>(precision));
        std::size_t len = CodePoints(value);
        std::size_t pad = width > 0 && static_cast<std::size_t>(width) > len
                              ? static_cast<std::size_t>(width) - len
                              : 0;
        if (!left)
            out.append(pad, ' ');
        out += value;
        if (left)
            out.append(pad, ' ');
        i = p + 1;
    }
    return out;
}

TMessageKind MessageKindOf(std::string_view type) {
    if (type == "C")
        return {mtWarning, mbOKCancel};
    if (type == "D")
        return {mtWarning, mbYesNoCancel};
    if (type == "E")
        return {mtError, TMsgDlgButtons{mbOK}};
    if (type == "I")
        return {mtInformation, TMsgDlgButtons{mbOK}};
    if (type == "Q")
        return {mtConfirmation, mbOKCancel};
    if (type == "W")
        return {mtWarning, mbOKCancel};
    return {mtCustom, TMsgDlgButtons{mbOK}};
}

TMessageRef ParseMessageRef(std::string_view ref) {
    TMessageRef r;
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        std::size_t semi = ref.find(';', start);
        fields.emplace_back(
            ref.substr(start, semi == std::string_view::npos ? semi : semi - start));
        if (semi == std::string_view::npos)
            break;
        start = semi + 1;
    }
    if (fields.size() > 2 + MessageArgumentSlots)
        throw Exception("The message reference \"" + std::string(ref) + "\" has more than " +
                        std::to_string(MessageArgumentSlots) + " arguments");
    r.Type = fields[0];
    r.Id = fields.size() > 1 ? fields[1] : std::string();
    r.Shown = Variant(r.Id).ToIntDef(0) > 0;
    // A recorded-only id is looked up without its "-".
    if (!r.Shown && !r.Id.empty() && r.Id[0] == '-')
        r.Id.erase(0, 1);
    r.Args.assign(MessageArgumentSlots, std::string());
    for (std::size_t i = 2; i < fields.size(); ++i)
        r.Args[i - 2] = fields[i];
    return r;
}

std::string GetMessageText(TBaseGeneState& dialog, const std::string& type, const std::string& id) {
    dialog.LastMessageKey = type + "-" + id;
    std::string text;
    bool fetched = false;
    if (IsObjectAssigned(dialog.Manager)) {
        try {
            text = ManagerGetMessage(dialog.Manager, type, id);
            fetched = true;
        } catch (const Exception&) {
            // The fixed text below tells the user which message could not be fetched.
        }
    }
    if (!fetched)
        text = "Can not Get Message\rType= " + type + ", ID= " + id + " ";
    return ConvertToDisplay(dialog, Variant(text)).ToString();
}

int ShowMessageBox(TBaseGeneState& dialog, const std::string& text, TMsgDlgType kind,
                   TMsgDlgButtons buttons) {
    if (dialog.QuietMessages && kind != mtError)
        return 0;
    std::string shown = text;
    if (UsesGBCodePage(dialog))
        shown += "      ";
    TCustomForm& form = dialog.DialogForm();
    int result = 0;
    {
        std::unique_ptr<TMessageForm, void (*)(TMessageForm*)> box(
            CreateMessageDialog(shown, kind, buttons), [](TMessageForm* f) { f->Free(); });
        box->SetCaption(form.Caption());
        AdjustMessageFont(dialog, box->Font());
        result = box->ShowModal();
    }
    // The modal box took the activation; the dialog gets it back, and with it the focus of its
    // active control.
    if (form.Visible())
        SetForegroundWindow(form.Handle());
    // Ends a mouse press that the modal box interrupted. The point lies outside every control,
    // so the release never completes a click.
    if (TWinControl* active = form.ActiveControl())
        PostMessage(active->Handle(), WM_LBUTTONUP, 0, MakeLParam(-1, -1));
    if (kind == mtError) {
        if (TWinControl* target = dialog.FocusControl.Get();
            target && form.Visible() && target->CanFocus())
            target->SetFocus();
    }
    return result;
}

int ShowMessageById(TBaseGeneState& dialog, const std::string& type, const std::string& id,
                    const std::vector<std::string>& args, TMsgDlgButtons buttons) {
    std::string text = FormatMessageText(GetMessageText(dialog, type, id), args);
    TMessageKind kind = MessageKindOf(type);
    if (!buttons.Empty())
        kind.Buttons = buttons;
    return ShowMessageBox(dialog, text, kind.Kind, kind.Buttons);
}

void PostMessageRef(TBaseGeneState& dialog, const std::string& ref) {
    if (ref.empty()) {
        ResetLists(dialog);
        return;
    }
    TMessageRef parsed = ParseMessageRef(ref);
    dialog.MessageRefs += ref + "; ";
    std::string tmpl = GetMessageText(dialog, parsed.Type, parsed.Id);
    std::string text;
    try {
        text = FormatMessageText(tmpl, parsed.Args);
    } catch (const EMessageFormatError&) {
        text = tmpl + "\r";
        for (const std::string& a : parsed.Args)
            if (!a.empty())
                text += a + ";";
    }
    AddDistinctText(dialog, text);
    if (parsed.Shown)
        ShowMessageBox(dialog, text, MessageKindOf(parsed.Type).Kind, TMsgDlgButtons{mbOK});
}

void AddFailureText(TBaseGeneState& dialog, const std::string& text) {
    std::string trimmed(TrimBlanks(text));
    if (trimmed.empty()) {
        ResetLists(dialog);
        return;
    }
    dialog.MessageRefs += "E;-1; ";
    AddDistinctText(dialog, trimmed);
}

} // namespace nuv
