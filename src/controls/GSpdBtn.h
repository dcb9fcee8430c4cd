// TGSpeedButton: a flat speed button whose picture is chosen by number from the glyph
// library (GlyphLib.h).
//
// Setting GlyphIndex loads that glyph into Glyph and sets NumGlyphs from the picture's width
// (frames are square and lie side by side; a second frame is drawn while the button is
// disabled). While no picture is loaded the caption shows the number: GlyphIndex 0, a number
// above the library's highest glyph, a glyph the library could not deliver, or no library at
// all. A glyph that cannot be read shows the error "讀取 BMP 發生錯誤" and keeps the number.
//
// The selection panel builds its look-up, delete and clear buttons from this class (glyphs 8,
// 47 and 4); the dialogs' look-up buttons are TF2Button (F2Button.h).
#pragma once

#include "ui/Buttons.h"

namespace nuv {

class TGSpeedButton : public TSpeedButton {
    NUV_CLASS(TGSpeedButton)
public:
    explicit TGSpeedButton(TComponent* owner);

    // Number of the glyph in the glyph library; 0 (the default) means no glyph.
    int GlyphIndex() const { return glyphIndex_; }
    void SetGlyphIndex(int value);
    // Kept for the forms that store it; nothing reads it.
    int HintIndex() const { return hintIndex_; }
    void SetHintIndex(int value) { hintIndex_ = value; }

private:
    int glyphIndex_ = 0;
    int hintIndex_ = 0;
};

// The message shown when a glyph cannot be read.
inline constexpr const char* GlyphLoadErrorText = "讀取 BMP 發生錯誤";

} // namespace nuv
