#include "ui/Buttons.h"

#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/PropGroups.h"
#include "ui/qt/QtBridge.h"

#include <QApplication>
#include <QIcon>
#include <QPushButton>
#include <QStyle>

#include <map>

namespace nuv {

// ---------------------------------------------------------------------------------------------
// TSpeedButton

const TClassInfo& TSpeedButton::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TSpeedButton", &TGraphicControl::StaticClassInfo());
        AddStandardProps(i, pgControl | pgCaption | pgFont | pgClick | pgDblClick | pgMouse);
        i.Bool<TSpeedButton>("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp);
        i.Bool<TSpeedButton>("Down", &TSpeedButton::Down, &TSpeedButton::SetDown);
        i.Bool<TSpeedButton>("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat);
        i.Object<TSpeedButton, TBitmap>("Glyph", "TBitmap", &TSpeedButton::Glyph,
                                        &TSpeedButton::SetGlyph);
        i.Int<TSpeedButton>("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex);
        i.Enum<TSpeedButton>("Layout", "TButtonLayout",
                             {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"},
                             &TSpeedButton::Layout, &TSpeedButton::SetLayout);
        i.Int<TSpeedButton>("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin);
        i.Int<TSpeedButton>("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs,
                            "TNumGlyphs");
        i.Int<TSpeedButton>("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing);
        i.Bool<TSpeedButton>("Transparent", &TSpeedButton::Transparent,
                             &TSpeedButton::SetTransparent);
        return i;
    }();
    return info;
}

TSpeedButton::TSpeedButton(TComponent* owner)
    : TGraphicControl(owner), glyph_(std::make_unique<TBitmap>()) {
    SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks});
    SetBounds(0, 0, 23, 22);
    glyph_->OnChange = TNotifyEvent(this, &TSpeedButton::GlyphChanged);
    SetParentColor(true);
}

TSpeedButton::~TSpeedButton() {
    glyph_->OnChange = nullptr;
}

void TSpeedButton::GlyphChanged(TObject*) {
    if (!glyph_->Empty() && glyph_->Height() > 0 && glyph_->Width() % glyph_->Height() == 0) {
        int n = glyph_->Width() / glyph_->Height();
        if (n > 4)
            n = 1;
        numGlyphs_ = n;
    }
    glyph_->SetTransparent(true);
    Invalidate();
}

void TSpeedButton::SetGlyph(TBitmap* glyph) {
    glyph_->Assign(glyph);
}

void TSpeedButton::SetNumGlyphs(int value) {
    numGlyphs_ = std::clamp(value, 1, 4);
    Invalidate();
}

void TSpeedButton::SetAllowAllUp(bool value) {
    if (allowAllUp_ == value)
        return;
    allowAllUp_ = value;
    UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int value) {
    if (groupIndex_ == value)
        return;
    groupIndex_ = value;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool value) {
    if (groupIndex_ == 0)
        value = false;
    if (value == down_)
        return;
    if (down_ && !allowAllUp_)
        return;
    down_ = value;
    state_ = value ? bsExclusive : bsUp;
    Invalidate();
    if (value)
        UpdateExclusive();
}

void TSpeedButton::SetFlat(bool value) {
    flat_ = value;
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout value) {
    layout_ = value;
    Invalidate();
}
void TSpeedButton::SetMargin(int value) {
    margin_ = value;
    Invalidate();
}
void TSpeedButton::SetSpacing(int value) {
    spacing_ = value;
    Invalidate();
}
void TSpeedButton::SetTransparent(bool value) {
    transparent_ = value;
    Invalidate();
}

void TSpeedButton::UpdateExclusive() {
    if (groupIndex_ == 0 || Parent() == nullptr)
        return;
    TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this),
               0};
    Parent()->Broadcast(m);
}

void TSpeedButton::Click() {
    TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && Enabled()) {
        if (!down_) {
            state_ = bsDown;
            Repaint();
        }
        dragging_ = true;
    }
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (dragging_) {
        TButtonState newState = down_ ? bsExclusive : bsUp;
        if (x >= 0 && x < ClientWidth() && y >= 0 && y <= ClientHeight())
            newState = down_ ? bsExclusive : bsDown;
        if (newState != state_) {
            state_ = newState;
            Invalidate();
        }
    }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TComponentRef<TControl> self(this);
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!self || !dragging_)
        return;
    dragging_ = false;
    bool doClick = x >= 0 && x < ClientWidth() && y >= 0 && y <= ClientHeight();
    if (groupIndex_ == 0) {
        state_ = bsUp;
        Invalidate();
    } else if (doClick) {
        SetDown(!down_);
        if (down_)
            Repaint();
    } else {
        if (down_)
            state_ = bsExclusive;
        Repaint();
    }
    if (doClick && self)
        Click();
}

void TSpeedButton::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CM_BUTTONPRESSED: {
        auto* sender = reinterpret_cast<TSpeedButton*>(m.LParam);
        if (static_cast<int>(m.WParam) == groupIndex_ && sender != this && sender != nullptr) {
            if (sender->Down() && down_) {
                down_ = false;
                state_ = bsUp;
                Invalidate();
            }
            allowAllUp_ = sender->AllowAllUp();
        }
        return;
    }
    case CM_MOUSEENTER:
        mouseInControl_ = true;
        if (flat_ && Enabled())
            Invalidate();
        break;
    case CM_MOUSELEAVE:
        mouseInControl_ = false;
        if (flat_ && Enabled())
            Invalidate();
        break;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    TGraphicControl::WndProc(m);
}

void TSpeedButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    TButtonState st = Enabled() ? state_ : bsDisabled;
    if (down_ && st == bsUp)
        st = bsExclusive;
    bool pressed = st == bsDown || st == bsExclusive;
    if (!flat_ || !transparent_ || pressed) {
        c->Brush()->SetColor(st == bsExclusive && !flat_ ? cl3DLight : Color());
        c->FillRect(r);
    }
    TRect fr = r;
    if (!flat_) {
        if (pressed) {
            Frame3D(c, fr, clBtnShadow, clBtnHighlight, 1);
        } else {
            Frame3D(c, fr, clBtnHighlight, cl3DDkShadow, 1);
            Frame3D(c, fr, cl3DLight, clBtnShadow, 1);
        }
    } else if (pressed) {
        Frame3D(c, fr, clBtnShadow, clBtnHighlight, 1);
    } else if (mouseInControl_ && Enabled()) {
        Frame3D(c, fr, clBtnHighlight, clBtnShadow, 1);
    }
    // Glyph frame for the state.
    int frames = std::max(1, numGlyphs_);
    int gw = glyph_->Empty() ? 0 : glyph_->Width() / frames;
    int gh = glyph_->Empty() ? 0 : glyph_->Height();
    int frame = 0;
    if (st == bsDisabled && frames > 1)
        frame = 1;
    else if (st == bsDown && frames > 2)
        frame = 2;
    else if (st == bsExclusive && frames > 3)
        frame = 3;
    c->Font()->Assign(Font());
    std::string text = Caption();
    TRect tr{0, 0, 0, 0};
    if (!text.empty())
        c->DrawText(text, tr, DT_SINGLELINE | DT_CALCRECT);
    int spacing = gw > 0 && !text.empty() ? spacing_ : 0;
    int totalW = gw + spacing + tr.Width();
    int totalH = std::max(gh, tr.Height());
    bool horizontal = layout_ == blGlyphLeft || layout_ == blGlyphRight;
    if (!horizontal) {
        totalW = std::max(gw, tr.Width());
        totalH = gh + (gh > 0 && !text.empty() ? spacing_ : 0) + tr.Height();
    }
    int x0 = margin_ >= 0 ? margin_ : (r.Width() - totalW) / 2;
    int y0 = (r.Height() - totalH) / 2;
    if (!horizontal)
        y0 = margin_ >= 0 ? margin_ : (r.Height() - totalH) / 2;
    int off = pressed ? 1 : 0;
    int gx = x0, gy = y0 + (totalH - gh) / 2, tx = x0 + gw + spacing,
        ty = y0 + (totalH - tr.Height()) / 2;
    if (layout_ == blGlyphRight) {
        tx = x0;
        gx = x0 + tr.Width() + spacing;
    } else if (layout_ == blGlyphTop) {
        gx = (r.Width() - gw) / 2;
        gy = y0;
        tx = (r.Width() - tr.Width()) / 2;
        ty = y0 + gh + (gh > 0 ? spacing_ : 0);
    } else if (layout_ == blGlyphBottom) {
        tx = (r.Width() - tr.Width()) / 2;
        ty = y0;
        gx = (r.Width() - gw) / 2;
        gy = y0 + tr.Height() + spacing_;
    }
    if (gw > 0 && gh > 0) {
        QPainter* p = c->Impl()->painter;
        if (p == nullptr && c->HasSurface())
            p = c->Impl()->painter;
        if (p != nullptr) {
            QImage img = BitmapForDrawing(*glyph_, true).copy(frame * gw, 0, gw, gh);
            if (st == bsDisabled && frames < 2) {
                // No disabled frame: draw the picture grayed out.
                for (int y = 0; y < img.height(); ++y) {
                    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
                    for (int x = 0; x < img.width(); ++x) {
                        int g = qGray(line[x]);
                        int v = 128 + g / 2;
                        line[x] = qRgba(v, v, v, qAlpha(line[x]) / 2);
                    }
                }
            }
            p->drawImage(gx + off, gy + off, img);
        }
    }
    if (!text.empty()) {
        c->Brush()->SetStyle(bsClear);
        TRect trr = Bounds(tx + off, ty + off, tr.Width(), tr.Height());
        if (st == bsDisabled) {
            TRect sh = trr;
            OffsetRect(sh, 1, 1);
            c->Font()->SetColor(clBtnHighlight);
            c->DrawText(text, sh, DT_SINGLELINE);
            c->Font()->SetColor(clBtnShadow);
        }
        c->DrawText(text, trr, DT_SINGLELINE);
    }
}

// ---------------------------------------------------------------------------------------------
// TBitBtn

namespace {

struct KindInfo {
    const char* caption;
    TModalResult result;
    QStyle::StandardPixmap pixmap;
};

KindInfo InfoOf(TBitBtnKind k) {
    switch (k) {
    case bkOK:
        return {"OK", mrOk, QStyle::SP_DialogOkButton};
    case bkCancel:
        return {"Cancel", mrCancel, QStyle::SP_DialogCancelButton};
    case bkHelp:
        return {"&Help", mrNone, QStyle::SP_DialogHelpButton};
    case bkYes:
        return {"&Yes", mrYes, QStyle::SP_DialogYesButton};
    case bkNo:
        return {"&No", mrNo, QStyle::SP_DialogNoButton};
    case bkClose:
        return {"&Close", mrNone, QStyle::SP_DialogCloseButton};
    case bkAbort:
        return {"Abort", mrAbort, QStyle::SP_BrowserStop};
    case bkRetry:
        return {"&Retry", mrRetry, QStyle::SP_BrowserReload};
    case bkIgnore:
        return {"&Ignore", mrIgnore, QStyle::SP_DialogDiscardButton};
    case bkAll:
        return {"&All", mrAll, QStyle::SP_DialogApplyButton};
    default:
        return {"", mrNone, QStyle::SP_CustomBase};
    }
}

// The style's icon for a kind, asked of the style once per style and kind: looking it up loads
// and scales its pictures each time, and a dialog has several such buttons.
QIcon StandardIcon(QStyle::StandardPixmap pixmap) {
    static QStyle* style = nullptr;
    static std::map<int, QIcon> icons;
    if (style != QApplication::style()) {
        style = QApplication::style();
        icons.clear();
    }
    auto it = icons.find(pixmap);
    if (it == icons.end())
        it = icons.emplace(pixmap, style->standardIcon(pixmap)).first;
    return it->second;
}

} // namespace

const TClassInfo& TBitBtn::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TBitBtn", &TButton::StaticClassInfo());
        i.Object<TBitBtn, TBitmap>("Glyph", "TBitmap", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
        i.Enum<TBitBtn>("Kind", "TBitBtnKind",
                        {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose",
                         "bkAbort", "bkRetry", "bkIgnore", "bkAll"},
                        &TBitBtn::Kind, &TBitBtn::SetKind);
        i.Enum<TBitBtn>("Layout", "TButtonLayout",
                        {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"},
                        &TBitBtn::Layout, &TBitBtn::SetLayout);
        i.Int<TBitBtn>("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin);
        i.Int<TBitBtn>("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs, "TNumGlyphs");
        i.Int<TBitBtn>("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing);
        return i;
    }();
    return info;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(std::make_unique<TBitmap>()) {
    glyph_->OnChange = TNotifyEvent([this](TObject*) {
        if (!glyph_->Empty() && glyph_->Height() > 0 && glyph_->Width() % glyph_->Height() == 0) {
            int n = glyph_->Width() / glyph_->Height();
            numGlyphs_ = n > 4 ? 1 : n;
        }
        UpdateIcon();
    });
}

TBitBtn::~TBitBtn() {
    glyph_->OnChange = nullptr;
}

void TBitBtn::SetKind(TBitBtnKind kind) {
    kind_ = kind;
    if (kind == bkCustom) {
        UpdateIcon();
        return;
    }
    SetDefault(kind == bkOK || kind == bkYes);
    SetCancel(kind == bkCancel || kind == bkNo);
    KindInfo info = InfoOf(kind);
    if (!ComponentState().Contains(csLoading) || Caption().empty())
        SetCaption(info.caption);
    SetModalResult(info.result);
    UpdateIcon();
}

void TBitBtn::SetGlyph(TBitmap* glyph) {
    glyph_->Assign(glyph);
}

void TBitBtn::SetNumGlyphs(int value) {
    numGlyphs_ = std::clamp(value, 1, 4);
    UpdateIcon();
}

void TBitBtn::SetLayout(TButtonLayout value) {
    layout_ = value;
    if (QWidget* w = WidgetOf(this))
        w->setLayoutDirection(value == blGlyphRight ? Qt::RightToLeft : Qt::LeftToRight);
}

void TBitBtn::UpdateIcon() {
    auto* b = qobject_cast<QPushButton*>(WidgetOf(this));
    if (b == nullptr)
        return;
    if (!glyph_->Empty()) {
        int frames = std::max(1, numGlyphs_);
        int gw = glyph_->Width() / frames;
        QImage img = BitmapForDrawing(*glyph_, true);
        QIcon icon(QPixmap::fromImage(img.copy(0, 0, gw, img.height())));
        if (frames > 1)
            icon.addPixmap(QPixmap::fromImage(img.copy(gw, 0, gw, img.height())), QIcon::Disabled);
        b->setIcon(icon);
        b->setIconSize(QSize(gw, img.height()));
        return;
    }
    KindInfo info = InfoOf(kind_);
    if (kind_ == bkCustom) {
        b->setIcon(QIcon());
        return;
    }
    b->setIcon(StandardIcon(info.pixmap));
    b->setIconSize(QSize(16, 16));
}

void TBitBtn::Click() {
    if (kind_ == bkClose) {
        if (TCustomForm* form = GetParentForm(this)) {
            form->Close();
            return;
        }
    }
    TButton::Click();
}

} // namespace nuv
