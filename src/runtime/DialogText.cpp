#include "runtime/DialogText.h"

namespace nuv {

// FIXME: the code converter (TCodeConverter) is built in parallel; until it is merged the
// runtime converts nothing, as for a dialog without a converter.

Variant ConvertToDisplay(TBaseGeneState&, const Variant& Value) {
    return Value;
}

Variant ConvertFromStorage(TBaseGeneState&, const Variant& Value) {
    return Value;
}

Variant ConvertToStorage(TBaseGeneState&, const Variant& Value) {
    return Value;
}

Variant StoredForDisplay(TBaseGeneState& Dialog, const Variant& Value) {
    return Dialog.DialogCaptionsConverted() ? ConvertFromStorage(Dialog, Value) : Value;
}

bool UsesGBCodePage(TBaseGeneState&) {
    return false;
}

void AdjustMessageFont(TBaseGeneState&, TFont*) {}

void HandManagerToConverter(TBaseGeneState&) {}

} // namespace nuv
