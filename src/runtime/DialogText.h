// The code-page side of the dialog runtime: every place where the runtime converts a text or a
// font goes through the dialog's code converter here, so that a dialog without a converter (a
// test form, a dialog before its form level is built) simply converts nothing.
#pragma once

#include "runtime/BaseGeneState.h"

#include <nuv/Variant.h>

namespace nuv {

class TFont;

// The program's own texts before they are shown (the converter's ToDisplay).
Variant ConvertToDisplay(TBaseGeneState& Dialog, const Variant& Value);
// Texts read from the database for the interface (FromStorage).
Variant ConvertFromStorage(TBaseGeneState& Dialog, const Variant& Value);
// Texts of the interface for the database (ToStorage).
Variant ConvertToStorage(TBaseGeneState& Dialog, const Variant& Value);
// Server texts (settings, phrases, rows) for display: FromStorage once the captions were
// converted, the value itself before.
Variant StoredForDisplay(TBaseGeneState& Dialog, const Variant& Value);
// True when the interface code page or the system's code page is "936".
bool UsesGBCodePage(TBaseGeneState& Dialog);
// Gives a message dialog's font the face and character set of the interface conversion mode.
void AdjustMessageFont(TBaseGeneState& Dialog, TFont* Font);
// Hands the dialog's Manager to its converter, which converts texts through it.
void HandManagerToConverter(TBaseGeneState& Dialog);

} // namespace nuv
