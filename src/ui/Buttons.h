// Speed buttons and bitmap buttons.
//
// TSpeedButton is a graphic control (it never takes the focus) drawn with its glyph and caption.
// Its glyph bitmap holds NumGlyphs frames side by side: up, disabled, down, and held down. A
// button with a GroupIndex stays down when clicked and releases the other buttons of its group
// and parent; with AllowAllUp a click on a down button releases it.
//
// TBitBtn is a push button with a Kind (bkOK, bkCancel, ...) that gives it a caption, a glyph,
// a ModalResult and the Default/Cancel roles; bkClose closes the form.
#pragma once

#include "ui/StdCtrls.h"

#include <memory>

namespace nuv {

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using enum TButtonLayout;
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
using enum TButtonState;
enum class TBitBtnKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};
using enum TBitBtnKind;

class TSpeedButton : public TGraphicControl {
    NUV_CLASS(TSpeedButton)
public:
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;

    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    bool Down() const { return down_; }
    void SetDown(bool value);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* glyph);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value);
    int Margin() const { return margin_; }
    void SetMargin(int value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    TButtonState State() const { return state_; }
    bool MouseInControl() const { return mouseInControl_; }
    void Click() override;
    void WndProc(TMessage& message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;

private:
    void UpdateExclusive();
    void GlyphChanged(TObject*);
    std::unique_ptr<TBitmap> glyph_;
    bool allowAllUp_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    bool flat_ = false;
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    bool transparent_ = true;
    TButtonState state_ = bsUp;
    bool dragging_ = false;
    bool mouseInControl_ = false;
};

class TBitBtn : public TButton {
    NUV_CLASS(TBitBtn)
public:
    explicit TBitBtn(TComponent* owner);
    ~TBitBtn() override;
    TBitBtnKind Kind() const { return kind_; }
    // Sets the kind's Default/Cancel role, ModalResult and glyph, and its caption (while loading
    // only when the caption is still empty).
    void SetKind(TBitBtnKind kind);
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* glyph);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value);
    int Margin() const { return margin_; }
    void SetMargin(int value) { margin_ = value; }
    int Spacing() const { return spacing_; }
    void SetSpacing(int value) { spacing_ = value; }
    void Click() override;

private:
    void UpdateIcon();
    std::unique_ptr<TBitmap> glyph_;
    TBitBtnKind kind_ = bkCustom;
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
};

} // namespace nuv
