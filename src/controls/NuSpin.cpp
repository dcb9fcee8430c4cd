#include "controls/NuSpin.h"

#include "platform/UnicodeText.h"

namespace nuv {

const TClassInfo& TNuSpinEdit::StaticClassInfo() {
    static const TClassInfo info("TNuSpinEdit", &TSpinEdit::StaticClassInfo());
    return info;
}

TNuSpinEdit::TNuSpinEdit(TComponent* owner) : TSpinEdit(owner) {}

void TNuSpinEdit::Change() {
    // A sign is only meaningful in front. One typed later is taken out again, and only the
    // sign itself: the digits around it are what the user typed and stay. Setting the text
    // comes back here with the cleaned text, which then raises OnChange once.
    const std::string text = Text();
    for (char sign : {'+', '-'}) {
        const auto pos = text.find(sign, 1);
        if (pos == std::string::npos)
            continue;
        std::string cleaned = text;
        cleaned.erase(pos, 1);
        // The caret stays where the sign was (SelStart counts characters, not bytes).
        int caret = static_cast<int>(CodePointCount(std::string_view(text).substr(0, pos)));
        SetText(cleaned);
        SetSelStart(caret);
        return;
    }
    if (TrimText(Text()).empty())
        return;
    TSpinEdit::Change();
}

} // namespace nuv
