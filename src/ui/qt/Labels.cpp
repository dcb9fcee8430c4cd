// Static controls: labels and group boxes, and the accelerator characters of captions.
#include "ui/StdCtrls.h"

#include "ui/Forms.h"
#include "ui/PropGroups.h"
#include "ui/qt/QtBridge.h"

#include <QWidget>

namespace nuv {

char32_t AccelCharOf(const std::string& caption) {
    QString s = ToQString(caption);
    for (qsizetype i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != '&')
            continue;
        if (s[i + 1] == '&') {
            ++i;
            continue;
        }
        return s[i + 1].toUpper().unicode();
    }
    return 0;
}

bool SameAccel(char32_t a, char32_t b) {
    return a != 0 &&
           QChar(static_cast<char16_t>(a)).toUpper() == QChar(static_cast<char16_t>(b)).toUpper();
}

// ---------------------------------------------------------------------------------------------
// TCustomLabel

const TClassInfo& TCustomLabel::StaticClassInfo() {
    static const TClassInfo info("TCustomLabel", &TGraphicControl::StaticClassInfo());
    return info;
}

const TClassInfo& TLabel::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TLabel", &TCustomLabel::StaticClassInfo());
        AddStandardProps(i, pgControl | pgAlign | pgCaption | pgColor | pgFont | pgClick |
                                pgDblClick | pgMouse | pgDrag | pgDock);
        i.Enum<TCustomLabel>("Alignment", "TAlignment",
                             {"taLeftJustify", "taRightJustify", "taCenter"},
                             &TCustomLabel::Alignment, &TCustomLabel::SetAlignment);
        i.Bool<TCustomLabel>("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize);
        i.Object<TCustomLabel, TWinControl>("FocusControl", "TWinControl",
                                            &TCustomLabel::FocusControl,
                                            &TCustomLabel::SetFocusControl);
        i.Enum<TCustomLabel>("Layout", "TTextLayout", {"tlTop", "tlCenter", "tlBottom"},
                             &TCustomLabel::Layout, &TCustomLabel::SetLayout);
        i.Bool<TCustomLabel>("ShowAccelChar", &TCustomLabel::ShowAccelChar,
                             &TCustomLabel::SetShowAccelChar);
        i.Bool<TCustomLabel>("Transparent", &TCustomLabel::Transparent,
                             &TCustomLabel::SetTransparent);
        i.Bool<TCustomLabel>("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap);
        return i;
    }();
    return info;
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque, csReplicatable});
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

TCustomLabel::~TCustomLabel() = default;

void TCustomLabel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (!transparent_) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(r);
    }
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    unsigned flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0u);
    flags |= alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT;
    if (!showAccelChar_)
        flags |= DT_NOPREFIX;
    if (layout_ != tlTop) {
        TRect calc = r;
        c->DrawText(Caption(), calc, flags | DT_CALCRECT);
        int dy = r.Height() - calc.Height();
        r.Top += layout_ == tlBottom ? dy : dy / 2;
    }
    if (!Enabled()) {
        TRect r1 = r;
        OffsetRect(r1, 1, 1);
        c->Font()->SetColor(clBtnHighlight);
        c->DrawText(Caption(), r1, flags);
        c->Font()->SetColor(clBtnShadow);
    }
    c->DrawText(Caption(), r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (ComponentState().Contains(csReading) || !autoSize_)
        return;
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    TRect r = ClientRect();
    std::string text = Caption();
    if (text.empty() || (showAccelChar_ && text == "&"))
        text += " ";
    unsigned flags = DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0u) |
                     (showAccelChar_ ? 0u : DT_NOPREFIX);
    c->DrawText(text, r, flags);
    int x = Left();
    if (alignment_ == taRightJustify)
        x += Width() - r.Right;
    SetBounds(x, Top(), r.Right, r.Bottom);
}

void TCustomLabel::SetAutoSize(bool value) {
    if (autoSize_ == value)
        return;
    autoSize_ = value;
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment value) {
    alignment_ = value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
    layout_ = value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
    wordWrap_ = value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
    transparent_ = value;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
    showAccelChar_ = value;
    NameForReaders();
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
    if (focusControl_ != nullptr)
        focusControl_->RemoveFreeNotification(this);
    focusControl_ = control;
    if (control != nullptr)
        control->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == focusControl_)
        focusControl_ = nullptr;
}

void TCustomLabel::RealSetText(const std::string& text) {
    TGraphicControl::RealSetText(text);
    NameForReaders();
    AdjustBounds();
}

void TCustomLabel::NameForReaders() {
    // The label draws its caption itself; its widget names it for screen readers (and anything
    // else that reads the widget tree), without the accelerator marks.
    QWidget* w = WidgetOf(this);
    if (w == nullptr)
        return;
    QString name = ToQString(Caption());
    for (qsizetype i = 0; showAccelChar_ && i < name.size(); ++i)
        if (name[i] == u'&')
            name.remove(i, 1); // of "&&" the second stays
    w->setAccessibleName(name);
}

void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::WndProc(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR) {
        if (focusControl_ != nullptr && Enabled() && showAccelChar_ &&
            SameAccel(AccelCharOf(Caption()), static_cast<char32_t>(m.WParam)) &&
            focusControl_->CanFocus()) {
            focusControl_->SetFocus();
            m.Result = 1;
        }
        return;
    }
    if (m.Msg == CM_ENABLEDCHANGED)
        Invalidate();
    TGraphicControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// TCustomGroupBox

const TClassInfo& TCustomGroupBox::StaticClassInfo() {
    static const TClassInfo info("TCustomGroupBox", &TCustomControl::StaticClassInfo());
    return info;
}

const TClassInfo& TGroupBox::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TGroupBox", &TCustomGroupBox::StaticClassInfo());
        AddStandardProps(i, pgControl | pgAlign | pgCaption | pgColor | pgFont | pgTab | pgClick |
                                pgDblClick | pgMouse | pgFocus | pgDrag | pgDock | pgDockSite);
        return i;
    }();
    return info;
}

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                  csDoubleClicks, csReplicatable});
    SetBounds(0, 0, 185, 105);
    SetParentColor(true);
    if (Parent() == nullptr)
        SetColor(clBtnFace), SetParentColor(true);
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) const {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    rect.Top += c->TextHeight("0");
    InflateRect(rect, -2, -2);
}

void TCustomGroupBox::Paint() {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    int h = c->TextHeight("0");
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    TRect r = Rect(0, h / 2 - 1, Width(), Height());
    r.Left += 1;
    r.Top += 1;
    c->Brush()->SetColor(clBtnHighlight);
    c->FrameRect(r);
    OffsetRect(r, -1, -1);
    c->Brush()->SetColor(clBtnShadow);
    c->FrameRect(r);
    std::string text = Caption();
    if (!text.empty()) {
        TRect tr = Rect(8, 0, 8, h);
        c->DrawText(text, tr, DT_SINGLELINE | DT_CALCRECT);
        c->Brush()->SetColor(Color());
        c->FillRect(tr);
        if (!Enabled())
            c->Font()->SetColor(clGrayText);
        c->DrawText(text, tr, DT_SINGLELINE);
    }
}

void TCustomGroupBox::RealSetText(const std::string& text) {
    TCustomControl::RealSetText(text);
    Realign();
}

void TCustomGroupBox::WndProc(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR) {
        if (SameAccel(AccelCharOf(Caption()), static_cast<char32_t>(m.WParam)) && CanFocus()) {
            if (TWinControl* first = FindNextControl(nullptr, true, true, true))
                first->SetFocus();
            m.Result = 1;
            return;
        }
        TCustomControl::WndProc(m);
        return;
    }
    if (m.Msg == CM_ENABLEDCHANGED || m.Msg == CM_TEXTCHANGED)
        Invalidate();
    TCustomControl::WndProc(m);
}

} // namespace nuv
