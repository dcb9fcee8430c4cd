#include "controls/NuCheckBox.h"

#include "controls/NuRadioButton.h"
#include "platform/CodePage.h"

#include <algorithm>

namespace nuv {

const TClassInfo& TNuCheckBox::StaticClassInfo() {
    static const TClassInfo info("TNuCheckBox", &TCheckBox::StaticClassInfo());
    return info;
}

TNuCheckBox::TNuCheckBox(TComponent* owner)
    : TCheckBox(owner), canvas_(std::make_unique<TControlCanvas>(this)) {}

TNuCheckBox::~TNuCheckBox() = default;

void TNuCheckBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT:
        TCheckBox::WndProc(m);
        CaptionRepaint();
        return;
    case CM_ENABLEDCHANGED:
        TCheckBox::WndProc(m);
        Repaint();
        return;
    default:
        TCheckBox::WndProc(m);
    }
}

namespace {

// Caption on the left: how far the right edge of the caption lies from the estimated text
// end, and the top relative to the vertically centred 17-pixel box, by font size.
struct LeftCaptionStep {
    int upTo;
    int rightShift;
    int topShift;
};

LeftCaptionStep LeftCaptionShift(int size) {
    // Sizes up to 8 share the 9-point placement: the caption stays inside the control.
    static constexpr LeftCaptionStep steps[] = {
        {11, 0, 2},   {12, 14, 0},  {15, 0, 2},    {17, -10, 1},   {23, 0, 0},    {29, -4, -2},
        {35, -6, -4}, {41, -8, -6}, {43, -10, -8}, {60, -12, -10}, {80, -20, -18}};
    if (size >= 1)
        for (const LeftCaptionStep& s : steps)
            if (size <= s.upTo)
                return s;
    return {0, -25, -23};
}

} // namespace

TRect TNuCheckBox::CaptionBounds() const {
    TRect r = ClientRect();
    const int size = Font()->Size();
    if (Alignment() == taLeftJustify) {
        const int w = Width() - 6 * Cp950ByteLength(Caption());
        const int d = (Height() - 17) / 2;
        const LeftCaptionStep step = LeftCaptionShift(size);
        r.Right = r.Right - w + step.rightShift;
        r.Top = r.Top + d + step.topShift;
        return r;
    }
    r.Left += CaptionIndent(size);
    if (size == 9)
        r.Top = 2;
    return r;
}

void TNuCheckBox::CaptionRepaint() {
    TCanvas* c = Canvas();
    if (!c->HasSurface())
        return;
    c->Font()->Assign(Font());
    const bool left = Alignment() == taLeftJustify;
    TRect r = CaptionBounds();
    // The fill starts from the rectangle before the 9-point top is applied.
    TRect fill = r;
    if (!left)
        fill.Top = ClientRect().Top;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->Pen()->SetColor(Color());
    // The fill reaches 4 pixels beyond the caption's room but stops at the mark. With the
    // caption on the left it covers everything up to the mark: the platform put its own copy
    // of the caption right next to it.
    fill = Rect(fill.Left - 4, fill.Top - 4, fill.Right + 4, fill.Bottom + 4);
    if (left)
        fill.Right = ClientWidth() - PlatformMarkWidth;
    else
        fill.Left = std::max(fill.Left, PlatformMarkWidth);
    c->FillRect(fill);
    if (!Enabled())
        c->Font()->SetColor(clGrayText);
    const std::string text = Caption();
    c->Brush()->SetStyle(bsClear);
    c->DrawText(text, r, DT_SINGLELINE | DT_TOP | (left ? DT_RIGHT : DT_LEFT));
    c->Brush()->SetStyle(bsSolid);
    // The fill above covers the platform's focus mark; draw it again round the caption.
    if (Focused() && !text.empty()) {
        TRect extent = Rect(0, 0, 0, 0);
        c->DrawText(text, extent, DT_SINGLELINE | DT_CALCRECT);
        const int textLeft = left ? r.Right - extent.Width() : r.Left;
        c->DrawFocusRect(Rect(std::max(0, textLeft - 1), std::max(0, r.Top - 1),
                              textLeft + extent.Width() + 1,
                              std::min(Height(), r.Top + extent.Height() + 1)));
    }
}

} // namespace nuv
