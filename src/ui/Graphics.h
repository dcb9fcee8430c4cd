// Colours, fonts, brushes, pens, bitmaps and the canvas.
//
// TColor keeps the Windows encoding: $00BBGGRR for plain colours (so $AFFFFF is light yellow),
// clSystemColor | index for system colours (clBtnFace, clWindow, ...), resolved by ColorToRGB.
// TFont follows the VCL: Height < 0 is the character height in pixels, Size is in points at 96
// pixels per inch; Name is kept as the forms give it ("細明體", "MingLiU", "SimSun") and mapped
// onto installed fonts when drawn. TCanvas draws on a control while it paints, or on a TBitmap;
// its text metrics work at any time. TBitmap holds 32-bit pixels, can be filled from a plain
// buffer (LoadFromPixels) and is drawn with its transparent colour left out when Transparent.
#pragma once

#include "platform/Classes.h"
#include "platform/Types.h"

#include <cstdint>
#include <memory>
#include <string>

namespace nuv {

using TColor = std::int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
constexpr TColor SysColor(int index) {
    return clSystemColor | index;
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = SysColor(0);
constexpr TColor clBackground = SysColor(1);
constexpr TColor clActiveCaption = SysColor(2);
constexpr TColor clInactiveCaption = SysColor(3);
constexpr TColor clMenu = SysColor(4);
constexpr TColor clWindow = SysColor(5);
constexpr TColor clWindowFrame = SysColor(6);
constexpr TColor clMenuText = SysColor(7);
constexpr TColor clWindowText = SysColor(8);
constexpr TColor clCaptionText = SysColor(9);
constexpr TColor clActiveBorder = SysColor(10);
constexpr TColor clInactiveBorder = SysColor(11);
constexpr TColor clAppWorkSpace = SysColor(12);
constexpr TColor clHighlight = SysColor(13);
constexpr TColor clHighlightText = SysColor(14);
constexpr TColor clBtnFace = SysColor(15);
constexpr TColor clBtnShadow = SysColor(16);
constexpr TColor clGrayText = SysColor(17);
constexpr TColor clBtnText = SysColor(18);
constexpr TColor clInactiveCaptionText = SysColor(19);
constexpr TColor clBtnHighlight = SysColor(20);
constexpr TColor cl3DDkShadow = SysColor(21);
constexpr TColor cl3DLight = SysColor(22);
constexpr TColor clInfoText = SysColor(23);
constexpr TColor clInfoBk = SysColor(24);
constexpr TColor clHotLight = SysColor(26);
constexpr TColor clGradientActiveCaption = SysColor(27);
constexpr TColor clGradientInactiveCaption = SysColor(28);

// The plain $00BBGGRR value of a colour (system colours resolved).
TColor ColorToRGB(TColor color);
constexpr TColor RGB(int r, int g, int b) {
    return (b << 16) | (g << 8) | r;
}

using TFontCharset = std::uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset GB2312_CHARSET = 134;
constexpr TFontCharset CHINESEBIG5_CHARSET = 136;

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using enum TFontStyle;
using TFontStyles = TSet<TFontStyle>;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
using enum TFontPitch;

constexpr int ScreenPixelsPerInch = 96;

class TFont : public TPersistent {
    NUV_CLASS(TFont)
public:
    TFont();
    ~TFont() override;

    std::string Name() const { return name_; }
    void SetName(const std::string& name);
    int Height() const { return height_; }
    void SetHeight(int height);
    int Size() const;
    void SetSize(int points);
    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset charset);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);
    int PixelsPerInch() const { return ScreenPixelsPerInch; }

    void Assign(TPersistent* source) override;
    bool SameAs(const TFont& other) const;

    TNotifyEvent OnChange;

private:
    void Changed();
    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    TFontCharset charset_ = DEFAULT_CHARSET;
    TFontStyles style_;
    TColor color_ = clWindowText;
    TFontPitch pitch_ = fpDefault;
};

enum class TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
using enum TBrushStyle;

class TBrush : public TPersistent {
    NUV_CLASS(TBrush)
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    void Assign(TPersistent* source) override;
    TNotifyEvent OnChange;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
using enum TPenStyle;

class TPen : public TPersistent {
    NUV_CLASS(TPen)
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    void Assign(TPersistent* source) override;
    TNotifyEvent OnChange;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
};

// DrawText flags.
constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_TOP = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;
constexpr unsigned DT_BOTTOM = 0x0008;
constexpr unsigned DT_WORDBREAK = 0x0010;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_EXPANDTABS = 0x0040;
constexpr unsigned DT_NOCLIP = 0x0100;
constexpr unsigned DT_CALCRECT = 0x0400;
constexpr unsigned DT_NOPREFIX = 0x0800;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

class TBitmap;
struct TCanvasImpl;

class TCanvas : public TPersistent {
    NUV_CLASS(TCanvas)
public:
    TCanvas();
    ~TCanvas() override;

    TFont* Font() const { return font_.get(); }
    TBrush* Brush() const { return brush_.get(); }
    TPen* Pen() const { return pen_.get(); }
    void SetFont(TFont* font);

    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;
    TSize TextExtent(const std::string& text) const;

    // Draws the text with its top-left at (x, y), on a brush-coloured background unless the
    // brush style is bsClear.
    void TextOut(int x, int y, const std::string& text);
    // TextOut clipped to the rectangle, which is first filled with the brush.
    void TextRect(const TRect& rect, int x, int y, const std::string& text);
    // Windows DrawText: formats the text in the rectangle. "&" marks the accelerator (the next
    // character is underlined) unless DT_NOPREFIX. With DT_CALCRECT nothing is drawn and the
    // rectangle receives the text's extent. Returns the height of the text.
    int DrawText(const std::string& text, TRect& rect, unsigned flags);

    void FillRect(const TRect& rect);
    void FrameRect(const TRect& rect);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    TPoint PenPos() const { return penPos_; }
    void DrawFocusRect(const TRect& rect);
    void Draw(int x, int y, TBitmap* bitmap);
    void StretchDraw(const TRect& dest, TBitmap* bitmap);
    // Draws part of a bitmap with the given colour left out.
    void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor transparent);
    void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    TRect ClipRect() const;
    // True while the canvas has a surface to draw on (a control's paint, or a bitmap).
    bool HasSurface() const;

    TNotifyEvent OnChange;

    TCanvasImpl* Impl() const { return impl_.get(); }

private:
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TBrush> brush_;
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TCanvasImpl> impl_;
    TPoint penPos_;
};

enum class TTransparentMode { tmAuto, tmFixed };
using enum TTransparentMode;

struct TBitmapImpl;

class TBitmap : public TPersistent {
    NUV_CLASS(TBitmap)
public:
    TBitmap();
    ~TBitmap() override;

    int Width() const;
    int Height() const;
    void SetWidth(int width);
    void SetHeight(int height);
    void SetSize(int width, int height);
    bool Empty() const;
    // Fills the bitmap from 32-bit pixels 0xAARRGGBB, row by row, top row first.
    void LoadFromPixels(int width, int height, const std::uint32_t* pixels);
    // Writes the bitmap as a PNG file; false on failure.
    bool SaveToFile(const std::string& path) const;
    bool LoadFromFile(const std::string& path);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    // The colour left out when drawing transparently: the bottom-left pixel in tmAuto.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode);

    TCanvas* Canvas();
    // Clears the picture (Assign(nullptr) does the same).
    void Clear();
    void Assign(TPersistent* source) override;
    // Windows would hand back the bitmap handle; the pixels stay here, so nothing is released.
    void Dormant() {}

    TNotifyEvent OnChange;

    TBitmapImpl* Impl() const { return impl_.get(); }

private:
    void Changed();
    std::unique_ptr<TBitmapImpl> impl_;
    std::unique_ptr<TCanvas> canvas_;
    bool transparent_ = false;
    TTransparentMode transparentMode_ = tmAuto;
    TColor transparentColor_ = clDefault;
};

} // namespace nuv
