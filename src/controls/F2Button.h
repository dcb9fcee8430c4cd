// TF2Button: a glyph button bound to an input control (its F2Control). Pressing it asks the
// dialog for the look-up window of that control, exactly as the F2 key does: the control is
// focused and the look-up request WM_F2LOOKUP (WM_USER + 10; word parameter 0, long
// parameter the control) is sent synchronously to the window of the control's owner, the
// dialog form. A control that cannot take the focus gets no request.
//
// With AutoAlign (the default) the button keeps itself square and directly right of its
// control, Gap pixels away: it is placed whenever F2Control, AutoAlign or Gap is set, which
// includes loading the form, so a stored button sits beside its control however it was
// stored. Moving or sizing the control later does not move the button.
//
// Only one TF2Button may serve a control: binding a second one (among the components owned by
// the button's parent) shows "不能同時有兩個 F2Button 指到同一個 Edit." and is refused.
// The button forgets a control that is freed.
//
// Defaults: GlyphIndex 8, flat, AutoAlign True, Gap 2.
#pragma once

#include "controls/GSpdBtn.h"
#include "ui/Messages.h"

#include <cstdint>

namespace nuv {

// The look-up request a look-up button or a selection panel sends to its dialog form.
inline constexpr UINT WM_F2LOOKUP = WM_USER + 10;

// The message shown when a second TF2Button is bound to a control that already has one.
inline constexpr const char* F2ButtonNotUniqueText = "不能同時有兩個 F2Button 指到同一個 Edit.";

class TF2Button : public TGSpeedButton {
    NUV_CLASS(TF2Button)
public:
    explicit TF2Button(TComponent* owner);
    ~TF2Button() override;

    bool AutoAlign() const { return autoAlign_; }
    void SetAutoAlign(bool value);
    // The input control the button serves; nullptr when none.
    TWinControl* F2Control() const { return f2Control_; }
    void SetF2Control(TWinControl* control);
    // Horizontal distance in pixels between the control and the button.
    std::uint8_t Gap() const { return gap_; }
    void SetGap(std::uint8_t value);

    // True when no other TF2Button among the components owned by the button's parent serves
    // the control; shows the refusal message when another one does. False as well when this
    // button already serves it.
    bool CheckUnique(TWinControl* control);
    // Places the button square, directly right of F2Control (with AutoAlign). This hides
    // TControl::Align(); the alignment within the parent stays available as the published
    // property "Align" and as TControl::Align().
    void Align();

    // OnClick, then the look-up request for F2Control (see above).
    void Click() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool autoAlign_ = true;
    TWinControl* f2Control_ = nullptr;
    std::uint8_t gap_ = 2;
};

} // namespace nuv
