#include "ui/Graphics.h"

#include "ui/qt/QtBridge.h"

#include <QFontMetrics>
#include <QGuiApplication>

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace nuv {

// The painter to draw with, opened on demand for a control canvas; nullptr when there is no
// surface (outside a paint), in which case drawing does nothing.
static QPainter* PainterOf(TCanvasImpl* impl) {
    if (impl->painter == nullptr && impl->ensure)
        impl->ensure();
    return impl->painter;
}
#define Painter() PainterOf(impl_.get())

// Windows classic system colours, by COLOR_* index, as $00BBGGRR.
static const TColor kSystemColors[] = {
    RGB(212, 208, 200), // 0 scroll bar
    RGB(58, 110, 165),  // 1 background
    RGB(10, 36, 106),   // 2 active caption
    RGB(128, 128, 128), // 3 inactive caption
    RGB(212, 208, 200), // 4 menu
    RGB(255, 255, 255), // 5 window
    RGB(0, 0, 0),       // 6 window frame
    RGB(0, 0, 0),       // 7 menu text
    RGB(0, 0, 0),       // 8 window text
    RGB(255, 255, 255), // 9 caption text
    RGB(212, 208, 200), // 10 active border
    RGB(212, 208, 200), // 11 inactive border
    RGB(128, 128, 128), // 12 app workspace
    RGB(10, 36, 106),   // 13 highlight
    RGB(255, 255, 255), // 14 highlight text
    RGB(212, 208, 200), // 15 button face
    RGB(128, 128, 128), // 16 button shadow
    RGB(128, 128, 128), // 17 gray text
    RGB(0, 0, 0),       // 18 button text
    RGB(212, 208, 200), // 19 inactive caption text
    RGB(255, 255, 255), // 20 button highlight
    RGB(64, 64, 64),    // 21 3D dark shadow
    RGB(212, 208, 200), // 22 3D light
    RGB(0, 0, 0),       // 23 info text
    RGB(255, 255, 225), // 24 info background
    RGB(181, 181, 181), // 25
    RGB(0, 0, 128),     // 26 hot light
    RGB(166, 202, 240), // 27 gradient active caption
    RGB(192, 192, 192), // 28 gradient inactive caption
};

TColor ColorToRGB(TColor color) {
    if ((color & clSystemColor) == clSystemColor) {
        int index = color & 0xFF;
        if (index >= 0 && index < static_cast<int>(std::size(kSystemColors)))
            return kSystemColors[index];
        return clBlack;
    }
    if (color == clNone || color == clDefault)
        return clWhite;
    return color & 0xFFFFFF;
}

QColor ToQColor(TColor color) {
    TColor c = ColorToRGB(color);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TColor FromQColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

namespace {
// The styles as bits: bold 1, italic 2, underline 4, strike-out 8.
int StyleBits(const TFontStyles& st) {
    return (st.Contains(fsBold) ? 1 : 0) | (st.Contains(fsItalic) ? 2 : 0) |
           (st.Contains(fsUnderline) ? 4 : 0) | (st.Contains(fsStrikeOut) ? 8 : 0);
}
} // namespace

QFont ToQFont(const TFont& font) {
    // A form converts the same few fonts hundreds of times while it is built: the last few
    // conversions are kept. The list is never freed, so no font outlives the application's font
    // machinery in a destructor at exit.
    struct TKept {
        std::string name;
        int height = 0;
        int styles = -1;
        QFont font;
    };
    constexpr int kKept = 8;
    static auto* kept = new std::array<TKept, kKept>();
    static int next = 0;
    static std::mutex lock;
    std::lock_guard<std::mutex> hold(lock);
    const int styles = StyleBits(font.Style());
    const int height = std::max(1, std::abs(font.Height()));
    for (const TKept& k : *kept)
        if (k.styles == styles && k.height == height && k.name == font.Name())
            return k.font;
    QFont f(ToQString(font.Name()));
    f.setPixelSize(height);
    f.setBold((styles & 1) != 0);
    f.setItalic((styles & 2) != 0);
    f.setUnderline((styles & 4) != 0);
    f.setStrikeOut((styles & 8) != 0);
    f.setStyleStrategy(QFont::PreferDefault);
    (*kept)[static_cast<std::size_t>(next)] = TKept{font.Name(), height, styles, f};
    next = (next + 1) % kKept;
    return f;
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TFont::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TFont", &TPersistent::StaticClassInfo())
            .Int<TFont>("Charset", &TFont::Charset, &TFont::SetCharset, "TFontCharset")
            .Int<TFont>("Color", &TFont::Color, &TFont::SetColor, "TColor")
            .Int<TFont>("Height", &TFont::Height, &TFont::SetHeight)
            .Str<TFont>("Name", &TFont::Name, &TFont::SetName, "TFontName")
            .Enum<TFont>("Pitch", "TFontPitch", {"fpDefault", "fpVariable", "fpFixed"},
                         &TFont::Pitch, &TFont::SetPitch)
            .Int<TFont>("Size", &TFont::Size, &TFont::SetSize)
            .Set<TFont>("Style", "TFontStyles", &TFont::Style, &TFont::SetStyle);
    return info;
}

TFont::TFont() = default;
TFont::~TFont() = default;

void TFont::Changed() {
    OnChange(this);
}

void TFont::SetName(const std::string& name) {
    if (name.empty() || name_ == name)
        return;
    name_ = name;
    Changed();
}

void TFont::SetHeight(int height) {
    if (height_ == height)
        return;
    height_ = height;
    Changed();
}

int TFont::Size() const {
    // -MulDiv(Height, 72, PixelsPerInch), rounded as MulDiv rounds.
    double v = -static_cast<double>(height_) * 72.0 / ScreenPixelsPerInch;
    return static_cast<int>(std::lround(v));
}

void TFont::SetSize(int points) {
    SetHeight(
        -static_cast<int>(std::lround(points * static_cast<double>(ScreenPixelsPerInch) / 72.0)));
}

void TFont::SetCharset(TFontCharset charset) {
    if (charset_ == charset)
        return;
    charset_ = charset;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style_ == style)
        return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color_ == color)
        return;
    color_ = color;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
    if (pitch_ == pitch)
        return;
    pitch_ = pitch;
    Changed();
}

bool TFont::SameAs(const TFont& o) const {
    return name_ == o.name_ && height_ == o.height_ && charset_ == o.charset_ &&
           style_ == o.style_ && color_ == o.color_ && pitch_ == o.pitch_;
}

void TFont::Assign(TPersistent* source) {
    if (auto* f = dynamic_cast<TFont*>(source)) {
        if (SameAs(*f))
            return;
        name_ = f->name_;
        height_ = f->height_;
        charset_ = f->charset_;
        style_ = f->style_;
        color_ = f->color_;
        pitch_ = f->pitch_;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TBrush::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TBrush", &TPersistent::StaticClassInfo())
            .Int<TBrush>("Color", &TBrush::Color, &TBrush::SetColor, "TColor");
    return info;
}

void TBrush::SetColor(TColor color) {
    // Giving a clear brush a colour makes it solid, also when the colour is the one it had.
    if (color_ == color && style_ != bsClear)
        return;
    color_ = color;
    if (style_ == bsClear)
        style_ = bsSolid;
    OnChange(this);
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style_ == style)
        return;
    style_ = style;
    OnChange(this);
}

void TBrush::Assign(TPersistent* source) {
    if (auto* b = dynamic_cast<TBrush*>(source)) {
        color_ = b->color_;
        style_ = b->style_;
        OnChange(this);
        return;
    }
    TPersistent::Assign(source);
}

const TClassInfo& TPen::StaticClassInfo() {
    static const TClassInfo info = TClassInfo("TPen", &TPersistent::StaticClassInfo())
                                       .Int<TPen>("Color", &TPen::Color, &TPen::SetColor, "TColor")
                                       .Int<TPen>("Width", &TPen::Width, &TPen::SetWidth);
    return info;
}

void TPen::SetColor(TColor color) {
    if (color_ == color)
        return;
    color_ = color;
    OnChange(this);
}

void TPen::SetWidth(int width) {
    if (width_ == width)
        return;
    width_ = width;
    OnChange(this);
}

void TPen::SetStyle(TPenStyle style) {
    if (style_ == style)
        return;
    style_ = style;
    OnChange(this);
}

void TPen::Assign(TPersistent* source) {
    if (auto* p = dynamic_cast<TPen*>(source)) {
        color_ = p->color_;
        width_ = p->width_;
        style_ = p->style_;
        OnChange(this);
        return;
    }
    TPersistent::Assign(source);
}

// ---------------------------------------------------------------------------------------------
// TCanvas

const TClassInfo& TCanvas::StaticClassInfo() {
    static const TClassInfo info("TCanvas", &TPersistent::StaticClassInfo());
    return info;
}

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()), brush_(std::make_unique<TBrush>()),
      pen_(std::make_unique<TPen>()), impl_(std::make_unique<TCanvasImpl>()) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetFont(TFont* font) {
    if (font != nullptr)
        font_->Assign(font);
}

void BeginCanvasPaint(TCanvas& canvas, QPainter* painter, QPaintDevice* device) {
    canvas.Impl()->painter = painter;
    canvas.Impl()->device = device;
}

void EndCanvasPaint(TCanvas& canvas) {
    canvas.Impl()->painter = nullptr;
    canvas.Impl()->device = nullptr;
}

bool TCanvas::HasSurface() const {
    return Painter() != nullptr;
}

static QFontMetrics MetricsOf(const TFont& f) {
    return QFontMetrics(ToQFont(f));
}

// Text measures (widths, line heights, the rectangles of labels' captions) are asked again and
// again for the same texts in the same fonts while forms are built and laid out; laying text
// out is the dear part, so each answer is kept, under what decides it (all are dropped when
// there are too many). The key is built in one reused buffer, so that a measure already known
// costs no allocation and no conversion of the text.
namespace {
std::string& MeasureKeyBuffer() {
    static std::string key;
    return key;
}

void AppendField(std::string& key, long long n) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    key.append(digits, end);
    key.push_back('\x1f');
}

// The key of one kind of measure: the kind, what of the font decides its measures (all that
// ToQFont takes), then the measure's own fields.
std::string& MeasureKey(char kind, const TFont& f) {
    std::string& key = MeasureKeyBuffer();
    key.clear();
    key.push_back(kind);
    key += f.Name();
    key.push_back('\x1f');
    AppendField(key, std::abs(f.Height()));
    AppendField(key, StyleBits(f.Style()));
    return key;
}

std::unordered_map<std::string, QSize>& KeptMeasures() {
    static std::unordered_map<std::string, QSize> kept;
    return kept;
}

// The measure kept under the key, measured by measure() the first time.
template <class F> QSize Remembered(const std::string& key, F&& measure) {
    auto& kept = KeptMeasures();
    if (auto it = kept.find(key); it != kept.end())
        return it->second;
    if (kept.size() >= 4096)
        kept.clear();
    std::string newKey = key; // the buffer is shared: measuring must not change what is kept
    const QSize size = measure();
    kept.emplace(std::move(newKey), size);
    return size;
}
} // namespace

int TCanvas::TextWidth(const std::string& text) const {
    std::string& key = MeasureKey('W', *font_);
    key += text;
    return Remembered(
               key, [&] { return QSize(MetricsOf(*font_).horizontalAdvance(ToQString(text)), 0); })
        .width();
}

int TCanvas::TextHeight(const std::string&) const {
    return Remembered(MeasureKey('H', *font_), [&] { return QSize(0, MetricsOf(*font_).height()); })
        .height();
}

TSize TCanvas::TextExtent(const std::string& text) const {
    return {TextWidth(text), TextHeight(text)};
}

static void PreparePainter(QPainter* p, const TFont& font) {
    p->setFont(ToQFont(font));
    p->setPen(ToQColor(font.Color()));
}

static QRect ToQRect(const TRect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    QPainter* p = Painter();
    if (p == nullptr)
        return;
    QFontMetrics fm = MetricsOf(*font_);
    QString s = ToQString(text);
    if (brush_->Style() != bsClear)
        p->fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), ToQColor(brush_->Color()));
    PreparePainter(p, *font_);
    p->drawText(x, y + fm.ascent(), s);
    penPos_ = {x + fm.horizontalAdvance(s), y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
    QPainter* p = Painter();
    if (p == nullptr)
        return;
    p->save();
    p->setClipRect(ToQRect(rect), Qt::IntersectClip);
    if (brush_->Style() != bsClear)
        p->fillRect(ToQRect(rect), ToQColor(brush_->Color()));
    QFontMetrics fm = MetricsOf(*font_);
    PreparePainter(p, *font_);
    p->drawText(x, y + fm.ascent(), ToQString(text));
    p->restore();
}

int TCanvas::DrawText(const std::string& text, TRect& rect, unsigned flags) {
    int qflags = 0;
    qflags |= (flags & DT_CENTER)  ? Qt::AlignHCenter
              : (flags & DT_RIGHT) ? Qt::AlignRight
                                   : Qt::AlignLeft;
    if (flags & DT_SINGLELINE) {
        qflags |= (flags & DT_VCENTER)  ? Qt::AlignVCenter
                  : (flags & DT_BOTTOM) ? Qt::AlignBottom
                                        : Qt::AlignTop;
        qflags |= Qt::TextSingleLine;
    } else {
        qflags |= Qt::AlignTop;
    }
    if (flags & DT_WORDBREAK)
        qflags |= Qt::TextWordWrap;
    if (flags & DT_EXPANDTABS)
        qflags |= Qt::TextExpandTabs;
    qflags |= (flags & DT_NOPREFIX) ? 0 : Qt::TextShowMnemonic;
    if (flags & DT_CALCRECT) {
        int width = (flags & DT_WORDBREAK) ? std::max(1, rect.Width()) : 100000;
        std::string& key = MeasureKey('R', *font_);
        AppendField(key, width);
        AppendField(key, qflags);
        key += text;
        const QSize size = Remembered(key, [&] {
            const QString s = ToQString(text);
            const QFontMetrics fm = MetricsOf(*font_);
            const QRect r = fm.boundingRect(QRect(0, 0, width, 100000), qflags, s);
            return QSize(r.width(), s.isEmpty() ? fm.height() : r.height());
        });
        rect.Right = rect.Left + size.width();
        rect.Bottom = rect.Top + size.height();
        return rect.Height();
    }
    QString s = ToQString(text);
    QPainter* p = Painter();
    if (p == nullptr)
        return MetricsOf(*font_).boundingRect(ToQRect(rect), qflags, s).height();
    // The height of the text as drawn: the painter lays it out once and tells it.
    if (flags & DT_END_ELLIPSIS)
        s = MetricsOf(*font_).elidedText(s, Qt::ElideRight, rect.Width(), qflags);
    p->save();
    if (!(flags & DT_NOCLIP))
        p->setClipRect(ToQRect(rect), Qt::IntersectClip);
    PreparePainter(p, *font_);
    QRect bounds;
    p->drawText(ToQRect(rect), qflags, s, &bounds);
    p->restore();
    return bounds.height();
}

void TCanvas::FillRect(const TRect& rect) {
    if (Painter() == nullptr || brush_->Style() == bsClear)
        return;
    Painter()->fillRect(ToQRect(rect), ToQColor(brush_->Color()));
}

void TCanvas::FrameRect(const TRect& rect) {
    QPainter* p = Painter();
    if (p == nullptr || rect.IsEmpty())
        return;
    QColor c = ToQColor(brush_->Color());
    p->fillRect(QRect(rect.Left, rect.Top, rect.Width(), 1), c);
    p->fillRect(QRect(rect.Left, rect.Bottom - 1, rect.Width(), 1), c);
    p->fillRect(QRect(rect.Left, rect.Top, 1, rect.Height()), c);
    p->fillRect(QRect(rect.Right - 1, rect.Top, 1, rect.Height()), c);
}

static QPen ToQPen(const TPen& pen) {
    if (pen.Style() == psClear)
        return QPen(Qt::NoPen);
    QPen q(ToQColor(pen.Color()));
    q.setWidth(std::max(1, pen.Width()));
    switch (pen.Style()) {
    case psDash:
        q.setStyle(Qt::DashLine);
        break;
    case psDot:
        q.setStyle(Qt::DotLine);
        break;
    case psDashDot:
        q.setStyle(Qt::DashDotLine);
        break;
    case psDashDotDot:
        q.setStyle(Qt::DashDotDotLine);
        break;
    default:
        break;
    }
    return q;
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    QPainter* p = Painter();
    if (p == nullptr)
        return;
    if (brush_->Style() != bsClear)
        p->fillRect(QRect(x1, y1, x2 - x1, y2 - y1), ToQColor(brush_->Color()));
    if (pen_->Style() != psClear) {
        p->setPen(ToQPen(*pen_));
        p->setBrush(Qt::NoBrush);
        p->drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
    }
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    QPainter* p = Painter();
    if (p == nullptr)
        return;
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->setPen(ToQPen(*pen_));
    if (brush_->Style() != bsClear)
        p->setBrush(ToQColor(brush_->Color()));
    else
        p->setBrush(Qt::NoBrush);
    p->drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
    p->restore();
}

void TCanvas::MoveTo(int x, int y) {
    penPos_ = {x, y};
}

void TCanvas::LineTo(int x, int y) {
    QPainter* p = Painter();
    if (p != nullptr && pen_->Style() != psClear) {
        p->setPen(ToQPen(*pen_));
        // Windows leaves out the end point.
        int dx = x - penPos_.X, dy = y - penPos_.Y;
        int ex = x - (dx > 0 ? 1 : dx < 0 ? -1 : 0);
        int ey = y - (dy > 0 ? 1 : dy < 0 ? -1 : 0);
        if (dx == 0 && dy == 0)
            p->drawPoint(x, y);
        else
            p->drawLine(penPos_.X, penPos_.Y, ex, ey);
    }
    penPos_ = {x, y};
}

void TCanvas::DrawFocusRect(const TRect& rect) {
    QPainter* p = Painter();
    if (p == nullptr || rect.IsEmpty())
        return;
    p->save();
    QPen pen(Qt::black);
    pen.setStyle(Qt::DotLine);
    p->setPen(pen);
    p->setBrush(Qt::NoBrush);
    p->drawRect(QRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1));
    p->restore();
}

QImage BitmapForDrawing(TBitmap& bitmap, bool transparent) {
    QImage img = bitmap.Impl()->image.convertToFormat(QImage::Format_ARGB32);
    if (transparent && !img.isNull()) {
        QRgb key = ToQColor(bitmap.TransparentColor()).rgb() & 0xFFFFFF;
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if ((line[x] & 0xFFFFFF) == key)
                    line[x] = 0;
        }
    }
    return img;
}

void TCanvas::Draw(int x, int y, TBitmap* bitmap) {
    if (Painter() == nullptr || bitmap == nullptr || bitmap->Empty())
        return;
    Painter()->drawImage(x, y, BitmapForDrawing(*bitmap, bitmap->Transparent()));
}

void TCanvas::StretchDraw(const TRect& dest, TBitmap* bitmap) {
    if (Painter() == nullptr || bitmap == nullptr || bitmap->Empty())
        return;
    Painter()->drawImage(ToQRect(dest), BitmapForDrawing(*bitmap, bitmap->Transparent()));
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source,
                        TColor transparent) {
    if (Painter() == nullptr || bitmap == nullptr || bitmap->Empty())
        return;
    QImage img = bitmap->Impl()->image.copy(ToQRect(source)).convertToFormat(QImage::Format_ARGB32);
    QRgb key = ToQColor(transparent).rgb() & 0xFFFFFF;
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key)
                line[x] = 0;
    }
    Painter()->drawImage(ToQRect(dest), img);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
    if (Painter() == nullptr || canvas == nullptr)
        return;
    auto* img = dynamic_cast<QImage*>(canvas->impl_->device);
    if (img != nullptr)
        Painter()->drawImage(ToQRect(dest), *img, ToQRect(source));
}

TColor TCanvas::Pixel(int x, int y) const {
    auto* img = dynamic_cast<QImage*>(impl_->device);
    if (img == nullptr || !img->valid(x, y))
        return clNone;
    return FromQColor(QColor(img->pixel(x, y)));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    if (Painter() == nullptr)
        return;
    Painter()->fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

TRect TCanvas::ClipRect() const {
    if (impl_->device == nullptr)
        return {};
    QRect r = impl_->painter != nullptr && Painter()->hasClipping()
                  ? Painter()->clipBoundingRect().toRect()
                  : QRect(0, 0, impl_->device->width(), impl_->device->height());
    return Bounds(r.x(), r.y(), r.width(), r.height());
}

// ---------------------------------------------------------------------------------------------
// TBitmap

const TClassInfo& TBitmap::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TBitmap", &TPersistent::StaticClassInfo())
            .Int<TBitmap>("Height", &TBitmap::Height, &TBitmap::SetHeight)
            .Int<TBitmap>("Width", &TBitmap::Width, &TBitmap::SetWidth)
            .Bool<TBitmap>("Transparent", &TBitmap::Transparent, &TBitmap::SetTransparent);
    return info;
}

TBitmap::TBitmap() : impl_(std::make_unique<TBitmapImpl>()) {}

TBitmap::~TBitmap() {
    if (canvas_)
        EndCanvasPaint(*canvas_);
}

int TBitmap::Width() const {
    return impl_->image.width();
}
int TBitmap::Height() const {
    return impl_->image.height();
}
bool TBitmap::Empty() const {
    return impl_->image.isNull() || Width() == 0 || Height() == 0;
}

void TBitmap::Changed() {
    OnChange(this);
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == Width() && height == Height())
        return;
    if (canvas_)
        EndCanvasPaint(*canvas_);
    if (canvas_)
        canvas_->Impl()->owned.reset();
    QImage next;
    if (width > 0 && height > 0) {
        next = QImage(width, height, QImage::Format_RGB32);
        next.fill(Qt::white);
        if (!impl_->image.isNull()) {
            QPainter p(&next);
            p.drawImage(0, 0, impl_->image);
        }
    }
    impl_->image = next;
    Changed();
}

void TBitmap::SetWidth(int width) {
    SetSize(width, Height());
}
void TBitmap::SetHeight(int height) {
    SetSize(Width(), height);
}

void TBitmap::LoadFromPixels(int width, int height, const std::uint32_t* pixels) {
    if (canvas_) {
        canvas_->Impl()->owned.reset();
        EndCanvasPaint(*canvas_);
    }
    if (width <= 0 || height <= 0 || pixels == nullptr) {
        impl_->image = QImage();
        Changed();
        return;
    }
    QImage img(width, height, QImage::Format_ARGB32);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof(QRgb);
    for (int y = 0; y < height; ++y)
        std::memcpy(img.scanLine(y), pixels + static_cast<std::size_t>(y) * width, rowBytes);
    impl_->image = img;
    Changed();
}

bool TBitmap::SaveToFile(const std::string& path) const {
    return !impl_->image.isNull() && impl_->image.save(ToQString(path), "PNG");
}

bool TBitmap::LoadFromFile(const std::string& path) {
    QImage img;
    if (!img.load(ToQString(path)))
        return false;
    if (canvas_) {
        canvas_->Impl()->owned.reset();
        EndCanvasPaint(*canvas_);
    }
    impl_->image = img.convertToFormat(QImage::Format_ARGB32);
    Changed();
    return true;
}

void TBitmap::SetTransparent(bool value) {
    if (transparent_ == value)
        return;
    transparent_ = value;
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == tmFixed && transparentColor_ != clDefault)
        return transparentColor_;
    if (Empty())
        return clDefault;
    return FromQColor(QColor(impl_->image.pixel(0, Height() - 1)));
}

void TBitmap::SetTransparentColor(TColor color) {
    transparentColor_ = color;
    transparentMode_ = color == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
    transparentMode_ = mode;
    Changed();
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_)
        canvas_ = std::make_unique<TCanvas>();
    TCanvasImpl* ci = canvas_->Impl();
    if (!ci->owned && !impl_->image.isNull()) {
        ci->owned = std::make_unique<QPainter>(&impl_->image);
        BeginCanvasPaint(*canvas_, ci->owned.get(), &impl_->image);
    }
    return canvas_.get();
}

void TBitmap::Clear() {
    if (canvas_) {
        canvas_->Impl()->owned.reset();
        EndCanvasPaint(*canvas_);
    }
    if (impl_->image.isNull())
        return;
    impl_->image = QImage();
    Changed();
}

void TBitmap::Assign(TPersistent* source) {
    if (source == nullptr) {
        Clear();
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(source)) {
        if (b == this)
            return;
        if (canvas_) {
            canvas_->Impl()->owned.reset();
            EndCanvasPaint(*canvas_);
        }
        if (b->canvas_ && b->canvas_->Impl()->owned)
            b->canvas_->Impl()->owned->end(), b->canvas_->Impl()->owned.reset(),
                EndCanvasPaint(*b->canvas_);
        impl_->image = b->impl_->image.copy();
        transparent_ = b->transparent_;
        transparentMode_ = b->transparentMode_;
        transparentColor_ = b->transparentColor_;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

} // namespace nuv
