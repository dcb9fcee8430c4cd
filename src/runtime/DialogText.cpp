#include "runtime/DialogText.h"

#include "codepage/CodeConverter.h"

namespace nuv {

Variant ConvertToDisplay(TBaseGeneState& Dialog, const Variant& Value) {
    TCodeConverter* c = Dialog.DialogConverter();
    return c ? c->ToDisplay(Value) : Value;
}

Variant ConvertFromStorage(TBaseGeneState& Dialog, const Variant& Value) {
    TCodeConverter* c = Dialog.DialogConverter();
    return c ? c->FromStorage(Value) : Value;
}

Variant ConvertToStorage(TBaseGeneState& Dialog, const Variant& Value) {
    TCodeConverter* c = Dialog.DialogConverter();
    return c ? c->ToStorage(Value) : Value;
}

Variant StoredForDisplay(TBaseGeneState& Dialog, const Variant& Value) {
    return Dialog.DialogCaptionsConverted() ? ConvertFromStorage(Dialog, Value) : Value;
}

bool UsesGBCodePage(TBaseGeneState& Dialog) {
    TCodeConverter* c = Dialog.DialogConverter();
    return c != nullptr && (c->UICodePage() == "936" || c->SystemCodePage() == "936");
}

void AdjustMessageFont(TBaseGeneState& Dialog, TFont* Font) {
    if (TCodeConverter* c = Dialog.DialogConverter(); c != nullptr && Font != nullptr)
        c->AdjustFont(c->UIConvertMode(), Font);
}

void HandManagerToConverter(TBaseGeneState& Dialog) {
    if (TCodeConverter* c = Dialog.DialogConverter())
        c->SetManager(Dialog.Manager);
}

} // namespace nuv
