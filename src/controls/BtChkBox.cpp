#include "controls/BtChkBox.h"

#include "ui/Menus.h"
#include "ui/PropGroups.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace nuv {

// ---------------------------------------------------------------------------------------------
// Built-in pictures

namespace {

constexpr int kGlyphWidth = 19;
constexpr int kGlyphHeight = 14;

// Palette of the built-in pictures (0xAARRGGBB), a subset of the 16 standard colours.
constexpr std::uint32_t kKey = 0xFFFF00FF; // transparent: left out when drawn
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kDark = 0xFF404040;
constexpr std::uint32_t kGray = 0xFF808080;
constexpr std::uint32_t kSilver = 0xFFC0C0C0;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

// The check mark inside the 9 x 9 well, offset (1, 1) into it.
// clang-format off
constexpr std::array<const char*, 7> kCheckMark = {
    "......X",
    ".....XX",
    "X...XXX",
    "XX.XXX.",
    "XXXXX..",
    ".XXX...",
    "..X....",
};
// clang-format on

enum class BoxKind { Unchecked, Checked, Grayed };

// A sunken 13 x 13 box at (4, 1) with a 9 x 9 well; the rest is the transparent colour, so
// the bottom-left pixel names it.
std::vector<std::uint32_t> DrawBox(BoxKind kind) {
    std::vector<std::uint32_t> px(kGlyphWidth * kGlyphHeight, kKey);
    const int x0 = 4, y0 = 1, size = 13;
    auto at = [&](int x, int y) -> std::uint32_t& {
        return px[static_cast<std::size_t>((y0 + y) * kGlyphWidth + x0 + x)];
    };
    const std::uint32_t well = kind == BoxKind::Grayed ? kSilver : kWhite;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::uint32_t c = well;
            if (x == size - 1 || y == size - 1)
                c = kWhite; // outer bottom-right edge
            else if (x == 0 || y == 0)
                c = kGray; // outer top-left edge
            else if (x == size - 2 || y == size - 2)
                c = kSilver; // inner bottom-right edge
            else if (x == 1 || y == 1)
                c = kDark; // inner top-left edge
            at(x, y) = c;
        }
    if (kind != BoxKind::Unchecked) {
        const std::uint32_t ink = kind == BoxKind::Grayed ? kGray : kBlack;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x)
                if (kCheckMark[static_cast<std::size_t>(y)][x] == 'X')
                    at(3 + x, 3 + y) = ink;
    }
    return px;
}

int ClampFrames(int value) {
    return std::clamp(value, 1, 2);
}

// A washed-out copy of one frame: what a disabled box shows when its picture has no disabled
// frame of its own. The transparent colour stays as it is.
void WashOut(TBitmap* source, const TRect& frame, TBitmap* out) {
    TBitmap copy;
    copy.Assign(source);
    TCanvas* canvas = copy.Canvas();
    const TColor key = ColorToRGB(source->TransparentColor());
    std::vector<std::uint32_t> px;
    px.reserve(static_cast<std::size_t>(frame.Width() * frame.Height()));
    for (int y = frame.Top; y < frame.Bottom; ++y)
        for (int x = frame.Left; x < frame.Right; ++x) {
            TColor c = canvas->Pixel(x, y) & 0xFFFFFF;
            int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
            if (c != key) {
                int v = 128 + (r * 30 + g * 59 + b * 11) / 200;
                r = g = b = v;
            }
            px.push_back(0xFF000000u | static_cast<std::uint32_t>(r << 16 | g << 8 | b));
        }
    out->LoadFromPixels(frame.Width(), frame.Height(), px.data());
}

} // namespace

bool LoadCheckBoxGlyph(const std::string& name, TBitmap* bitmap) {
    if (bitmap == nullptr)
        return false;
    BoxKind kind;
    if (name == "CHECKED")
        kind = BoxKind::Checked;
    else if (name == "GRAYED")
        kind = BoxKind::Grayed;
    else if (name == "UNCHECKED")
        kind = BoxKind::Unchecked;
    else
        return false;
    // Every box made asks for all three: each picture is drawn once.
    static const std::vector<std::uint32_t> drawn[] = {
        DrawBox(BoxKind::Unchecked), DrawBox(BoxKind::Checked), DrawBox(BoxKind::Grayed)};
    bitmap->LoadFromPixels(kGlyphWidth, kGlyphHeight, drawn[static_cast<int>(kind)].data());
    return true;
}

// ---------------------------------------------------------------------------------------------
// TBitCheckBox

const TClassInfo& TBitCheckBox::StaticClassInfo() {
    using C = TBitCheckBox;
    static const TClassInfo info = [] {
        TClassInfo i("TBitCheckBox", &TCustomControl::StaticClassInfo());
        i.Enum<C>("Alignment", "TLeftRight", {"taLeftJustify", "taRightJustify"}, &C::Alignment,
                  &C::SetAlignment);
        i.Bool<C>("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed);
        AddStandardProps(i, {"Caption"});
        i.Bool<C>("Checked", &C::Checked, &C::SetChecked);
        i.Object<C, TBitmap>("CheckedGlyph", "TBitmap", &C::CheckedGlyph, &C::SetCheckedGlyph);
        i.Int<C>("CheckedNumGlyphs", &C::CheckedNumGlyphs, &C::SetCheckedNumGlyphs, "TNumGlyphs");
        AddStandardProps(i, {"Color"});
        i.Bool<C>("Ctl3D", &C::Ctl3D, &C::SetCtl3D);
        AddStandardProps(i, {"DragCursor", "DragMode", "Enabled", "Font"});
        i.Object<C, TBitmap>("GrayedGlyph", "TBitmap", &C::GrayedGlyph, &C::SetGrayedGlyph);
        i.Int<C>("GrayedNumGlyphs", &C::GrayedNumGlyphs, &C::SetGrayedNumGlyphs, "TNumGlyphs");
        AddStandardProps(i, {"ParentColor"});
        i.Bool<C>("ParentCtl3D", &C::ParentCtl3D, &C::SetParentCtl3D);
        AddStandardProps(i, {"ParentFont", "ParentShowHint", "PopupMenu", "ShowHint"});
        i.Enum<C>("State", "TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}, &C::State,
                  &C::SetState);
        AddStandardProps(i, {"TabOrder", "TabStop"});
        i.Object<C, TBitmap>("UncheckedGlyph", "TBitmap", &C::UncheckedGlyph,
                             &C::SetUncheckedGlyph);
        i.Int<C>("UncheckedNumGlyphs", &C::UncheckedNumGlyphs, &C::SetUncheckedNumGlyphs,
                 "TNumGlyphs");
        AddStandardProps(i, {"Visible", "OnClick", "OnDragDrop", "OnDragOver", "OnEndDrag",
                             "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp",
                             "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDrag"});
        return i;
    }();
    return info;
}

TBitCheckBox::TBitCheckBox(TComponent* owner)
    : TCustomControl(owner), checkedGlyph_(std::make_unique<TBitmap>()),
      grayedGlyph_(std::make_unique<TBitmap>()), uncheckedGlyph_(std::make_unique<TBitmap>()) {
    // Paint fills all of the box before drawing the glyph and caption.
    SetControlStyle(TControlStyle{csSetCaption, csClickEvents, csOpaque});
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
    SetParentColor(true);
    for (GlyphSlot slot : {slotChecked, slotGrayed, slotUnchecked})
        AssignGlyph(slot, nullptr);
}

TBitCheckBox::~TBitCheckBox() = default;

void TBitCheckBox::SetAlignment(TAlignment value) {
    if (alignment_ == value)
        return;
    alignment_ = value;
    Invalidate();
}

void TBitCheckBox::SetState(TCheckBoxState value) {
    if (state_ == value)
        return;
    state_ = value;
    Invalidate();
}

void TBitCheckBox::AssignGlyph(GlyphSlot slot, TBitmap* value) {
    static const char* const names[] = {"CHECKED", "GRAYED", "UNCHECKED"};
    TBitmap* glyph = slot == slotChecked  ? checkedGlyph_.get()
                     : slot == slotGrayed ? grayedGlyph_.get()
                                          : uncheckedGlyph_.get();
    int& frames = slot == slotChecked  ? checkedNum_
                  : slot == slotGrayed ? grayedNum_
                                       : uncheckedNum_;
    if (value != nullptr) {
        glyph->Assign(value);
    } else {
        LoadCheckBoxGlyph(names[slot], glyph);
        // The built-in picture has one frame. Its width is no multiple of its height, so the
        // rule below would keep the count of a two-frame picture it replaces, and only half
        // of the box would be drawn.
        frames = 1;
    }
    if (!glyph->Empty() && glyph->Width() % glyph->Height() == 0)
        frames = ClampFrames(glyph->Width() / glyph->Height());
    Invalidate();
}

void TBitCheckBox::SetCheckedGlyph(TBitmap* value) {
    AssignGlyph(slotChecked, value);
}
void TBitCheckBox::SetGrayedGlyph(TBitmap* value) {
    AssignGlyph(slotGrayed, value);
}
void TBitCheckBox::SetUncheckedGlyph(TBitmap* value) {
    AssignGlyph(slotUnchecked, value);
}

void TBitCheckBox::SetCheckedNumGlyphs(int value) {
    checkedNum_ = ClampFrames(value);
    Invalidate();
}
void TBitCheckBox::SetGrayedNumGlyphs(int value) {
    grayedNum_ = ClampFrames(value);
    Invalidate();
}
void TBitCheckBox::SetUncheckedNumGlyphs(int value) {
    uncheckedNum_ = ClampFrames(value);
    Invalidate();
}

void TBitCheckBox::SetCtl3D(bool value) {
    parentCtl3D_ = false;
    if (ctl3D_ == value)
        return;
    ctl3D_ = value;
    Realign();
    Invalidate();
}

void TBitCheckBox::SetParentCtl3D(bool value) {
    parentCtl3D_ = value;
}

void TBitCheckBox::Toggle() {
    SetState(NextCheckBoxState(state_, allowGrayed_));
}

void TBitCheckBox::Click() {
    TComponentRef<TBitCheckBox> self(this);
    Toggle();
    TCustomControl::Click();
    // The handler may have freed the box (and its form).
    if (self && CanFocus())
        SetFocus();
}

void TBitCheckBox::KeyPress(TKeyChar& key) {
    TComponentRef<TBitCheckBox> self(this);
    TCustomControl::KeyPress(key);
    if (self && key == U' ')
        Click();
}

void TBitCheckBox::FontChanged() {
    TCustomControl::FontChanged();
    Canvas()->Font()->Assign(Font());
    Invalidate();
}

bool TBitCheckBox::IsAccelerator(char32_t ch) const {
    char32_t accel = AccelCharOf(Caption());
    if (ch >= U'a' && ch <= U'z')
        ch = ch - U'a' + U'A';
    return accel != 0 && accel == ch;
}

void TBitCheckBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CM_DIALOGCHAR:
        if (IsAccelerator(static_cast<char32_t>(m.WParam)) && Enabled() && CanFocus()) {
            // The accelerator acts as a click, so that OnClick sees every change the user
            // makes, whichever way it is made.
            TComponentRef<TBitCheckBox> self(this);
            SetFocus();
            if (self && Focused())
                Click();
            m.Result = 1;
            return;
        }
        break;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
    case CM_ENTER:
    case CM_EXIT:
        Invalidate();
        break;
    default:
        break;
    }
    TCustomControl::WndProc(m);
}

TRect TBitCheckBox::CaptionRect(TCanvas* canvas, int glyphWidth) const {
    const std::string text = Caption();
    const TRect client = ClientRect();
    const int textHeight = canvas->TextHeight(text);
    TRect r;
    r.Left = alignment_ == taRightJustify ? glyphWidth + 4 : 1;
    r.Right = r.Left + canvas->TextWidth(text);
    if (text.find('&') != std::string::npos)
        r.Right -= canvas->TextWidth("&");
    r.Top = (client.Height() - textHeight) / 2 - 2;
    r.Bottom = r.Top + textHeight + 3;
    r.Left = std::max(r.Left, client.Left);
    r.Top = std::max(r.Top, client.Top);
    r.Right = std::min(r.Right, client.Right);
    r.Bottom = std::min(r.Bottom, client.Bottom);
    return r;
}

void TBitCheckBox::Paint() {
    TCanvas* c = Canvas();
    const TRect client = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(client);

    TBitmap* glyph = state_ == cbChecked  ? checkedGlyph_.get()
                     : state_ == cbGrayed ? grayedGlyph_.get()
                                          : uncheckedGlyph_.get();
    const int frames = state_ == cbChecked  ? checkedNum_
                       : state_ == cbGrayed ? grayedNum_
                                            : uncheckedNum_;
    const int gw = glyph->Empty() ? 0 : glyph->Width() / frames;
    const int gh = glyph->Empty() ? 0 : glyph->Height();

    c->Font()->Assign(Font());
    const std::string text = Caption();
    TRect r = CaptionRect(c, gw);
    const unsigned flags = DT_SINGLELINE | DT_VCENTER;
    c->Brush()->SetStyle(bsClear);
    if (Enabled()) {
        c->DrawText(text, r, flags);
    } else {
        if (ctl3D_) {
            TRect engraved = r;
            OffsetRect(engraved, 1, 1);
            c->Font()->SetColor(clBtnHighlight);
            c->DrawText(text, engraved, flags);
        }
        c->Font()->SetColor(clGrayText);
        c->DrawText(text, r, flags);
    }
    c->Brush()->SetStyle(bsSolid);

    if (Focused() && !text.empty()) {
        TRect f = r;
        if (f.Left > 0)
            --f.Left;
        if (f.Top > 0)
            --f.Top;
        ++f.Right;
        if (f.Bottom < Height())
            ++f.Bottom;
        c->DrawFocusRect(f);
    }

    if (gw <= 0 || gh <= 0)
        return;
    const int x = alignment_ == taRightJustify ? 0 : client.Width() - gw;
    const int y = (client.Height() - gh) / 2;
    const TRect dest = Bounds(x, y, gw, gh);
    if (!Enabled() && frames < 2) {
        TBitmap washed;
        WashOut(glyph, Bounds(0, 0, gw, gh), &washed);
        c->BrushCopy(dest, &washed, Bounds(0, 0, gw, gh), glyph->TransparentColor());
        return;
    }
    const int frame = !Enabled() && frames == 2 ? 1 : 0;
    c->BrushCopy(dest, glyph, Bounds(frame * gw, 0, gw, gh), glyph->TransparentColor());
}

} // namespace nuv
