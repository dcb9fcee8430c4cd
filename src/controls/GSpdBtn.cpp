#include "controls/GSpdBtn.h"

#include "controls/GlyphLib.h"
#include "ui/Dialogs.h"

#include <algorithm>

namespace nuv {

const TClassInfo& TGSpeedButton::StaticClassInfo() {
    static const TClassInfo info = TClassInfo("TGSpeedButton", &TSpeedButton::StaticClassInfo())
                                       .Int<TGSpeedButton>("GlyphIndex", &TGSpeedButton::GlyphIndex,
                                                           &TGSpeedButton::SetGlyphIndex)
                                       .Int<TGSpeedButton>("HintIndex", &TGSpeedButton::HintIndex,
                                                           &TGSpeedButton::SetHintIndex);
    return info;
}

TGSpeedButton::TGSpeedButton(TComponent* owner) : TSpeedButton(owner) {
    SetFlat(true);
}

void TGSpeedButton::SetGlyphIndex(int value) {
    if (value == glyphIndex_)
        return;
    glyphIndex_ = value;
    // The number stays visible until a picture replaces it.
    SetCaption(std::to_string(value));
    try {
        if (value == 0 || value > nuv::GetMaxBmpID()) {
            Glyph()->Clear();
            return;
        }
        if (nuv::LoadBmp(Glyph(), value)) {
            SetCaption("");
            const int height = Glyph()->Height();
            if (height > 0)
                SetNumGlyphs(std::max(1, Glyph()->Width() / height));
        }
    } catch (const std::exception&) {
        MessageDlg(GlyphLoadErrorText, mtError, TMsgDlgButtons{mbOK});
    }
}

} // namespace nuv
