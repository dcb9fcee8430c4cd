#include "ui/Grids.h"

#include "ui/ExtCtrls.h"
#include "ui/PropGroups.h"

#include <algorithm>

namespace nuv {

const TClassInfo& TCustomGrid::StaticClassInfo() {
    static const TClassInfo info("TCustomGrid", &TCustomControl::StaticClassInfo());
    return info;
}

const TClassInfo& TDrawGrid::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TDrawGrid", &TCustomGrid::StaticClassInfo());
        AddStandardProps(i, pgInput | pgAlign);
        i.Int<TCustomGrid>("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount,
                           "Longint");
        i.Int<TCustomGrid>("DefaultColWidth", &TCustomGrid::DefaultColWidth,
                           &TCustomGrid::SetDefaultColWidth);
        i.Int<TCustomGrid>("DefaultRowHeight", &TCustomGrid::DefaultRowHeight,
                           &TCustomGrid::SetDefaultRowHeight);
        i.Int<TCustomGrid>("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor,
                           "TColor");
        i.Int<TCustomGrid>("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols);
        i.Int<TCustomGrid>("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows);
        i.Set<TCustomGrid>("Options", "TGridOptions", &TCustomGrid::Options,
                           &TCustomGrid::SetOptions);
        i.Int<TCustomGrid>("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount,
                           "Longint");
        i.Event<TCustomGrid>("OnDrawCell", "TDrawCellEvent", &TCustomGrid::OnDrawCell);
        i.Event<TCustomGrid>("OnSelectCell", "TSelectCellEvent", &TCustomGrid::OnSelectCell);
        return i;
    }();
    return info;
}

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 320, 120);
}

void TCustomGrid::SetColCount(int v) {
    colCount_ = std::max(1, v);
    fixedCols_ = std::min(fixedCols_, colCount_ - 1);
    col_ = std::clamp(col_, fixedCols_, colCount_ - 1);
    colWidths_.resize(static_cast<std::size_t>(colCount_), defaultColWidth_);
    Invalidate();
}

void TCustomGrid::SetRowCount(int v) {
    rowCount_ = std::max(1, v);
    fixedRows_ = std::min(fixedRows_, rowCount_ - 1);
    row_ = std::clamp(row_, fixedRows_, rowCount_ - 1);
    rowHeights_.resize(static_cast<std::size_t>(rowCount_), defaultRowHeight_);
    Invalidate();
}

void TCustomGrid::SetFixedCols(int v) {
    if (v < 0 || v >= colCount_)
        throw EInvalidOperation("Fixed column count must be less than column count");
    fixedCols_ = v;
    col_ = std::max(col_, v);
    leftCol_ = std::max(leftCol_, v);
    Invalidate();
}

void TCustomGrid::SetFixedRows(int v) {
    if (v < 0 || v >= rowCount_)
        throw EInvalidOperation("Fixed row count must be less than row count");
    fixedRows_ = v;
    row_ = std::max(row_, v);
    topRow_ = std::max(topRow_, v);
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int v) {
    defaultColWidth_ = v;
    std::fill(colWidths_.begin(), colWidths_.end(), v);
    Invalidate();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
    defaultRowHeight_ = v;
    std::fill(rowHeights_.begin(), rowHeights_.end(), v);
    Invalidate();
}

int TCustomGrid::ColWidths(int c) const {
    return c >= 0 && c < static_cast<int>(colWidths_.size())
               ? colWidths_[static_cast<std::size_t>(c)]
               : defaultColWidth_;
}

void TCustomGrid::SetColWidths(int c, int w) {
    if (c < 0 || c >= colCount_)
        return;
    colWidths_.resize(static_cast<std::size_t>(colCount_), defaultColWidth_);
    colWidths_[static_cast<std::size_t>(c)] = w;
    Invalidate();
}

int TCustomGrid::RowHeights(int r) const {
    return r >= 0 && r < static_cast<int>(rowHeights_.size())
               ? rowHeights_[static_cast<std::size_t>(r)]
               : defaultRowHeight_;
}

void TCustomGrid::SetRowHeights(int r, int h) {
    if (r < 0 || r >= rowCount_)
        return;
    rowHeights_.resize(static_cast<std::size_t>(rowCount_), defaultRowHeight_);
    rowHeights_[static_cast<std::size_t>(r)] = h;
    Invalidate();
}

void TCustomGrid::SetTopRow(int v) {
    topRow_ = std::clamp(v, fixedRows_, std::max(fixedRows_, rowCount_ - 1));
    Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions v) {
    options_ = v;
    Invalidate();
}

void TCustomGrid::SetFixedColor(TColor v) {
    fixedColor_ = v;
    Invalidate();
}

TRect TCustomGrid::CellRect(int col, int row) const {
    int line = 1;
    auto pos = [&](int index, int fixed, int first, auto size) {
        int p = 0;
        for (int i = 0; i < fixed && i < index; ++i)
            p += size(i) + line;
        if (index < fixed)
            return p;
        if (index < first)
            return -1;
        for (int i = first; i < index; ++i)
            p += size(i) + line;
        return p;
    };
    int x = pos(col, fixedCols_, leftCol_, [this](int i) { return ColWidths(i); });
    int y = pos(row, fixedRows_, topRow_, [this](int i) { return RowHeights(i); });
    if (x < 0 || y < 0 || col >= colCount_ || row >= rowCount_)
        return {};
    return Bounds(x, y, ColWidths(col), RowHeights(row));
}

void TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const {
    col = row = -1;
    for (int c = 0; c < colCount_; ++c) {
        TRect r = CellRect(c, fixedRows_ < rowCount_ ? std::max(fixedRows_, topRow_) : 0);
        if (!r.IsEmpty() && x >= r.Left && x < r.Right + 1)
            col = c;
    }
    for (int rr = 0; rr < rowCount_; ++rr) {
        TRect r = CellRect(std::max(fixedCols_, leftCol_), rr);
        if (!r.IsEmpty() && y >= r.Top && y < r.Bottom + 1)
            row = rr;
    }
}

void TCustomGrid::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    for (int row = 0; row < rowCount_; ++row) {
        for (int col = 0; col < colCount_; ++col) {
            TRect r = CellRect(col, row);
            if (r.IsEmpty() || r.Left > Width() || r.Top > Height())
                continue;
            TGridDrawState st;
            bool fixed = col < fixedCols_ || row < fixedRows_;
            if (fixed)
                st.Include(gdFixed);
            if (col == col_ && row == row_) {
                st.Include(gdSelected);
                if (Focused())
                    st.Include(gdFocused);
            }
            c->Font()->Assign(Font());
            c->Brush()->SetColor(fixed                                                ? fixedColor_
                                 : st.Contains(gdSelected) && !st.Contains(gdFocused) ? clHighlight
                                                                                      : Color());
            c->FillRect(r);
            if (fixed) {
                TRect fr = r;
                Frame3D(c, fr, clBtnHighlight, clBtnShadow, 1);
            }
            DrawCell(col, row, r, st);
            if (st.Contains(gdFocused))
                c->DrawFocusRect(r);
        }
    }
    // Grid lines.
    c->Pen()->SetColor(clSilver);
    for (int col = 0; col < colCount_; ++col) {
        TRect r = CellRect(col, 0);
        if (!r.IsEmpty()) {
            c->MoveTo(r.Right, 0);
            c->LineTo(r.Right, Height());
        }
    }
    for (int row = 0; row < rowCount_; ++row) {
        TRect r = CellRect(0, row);
        if (!r.IsEmpty()) {
            c->MoveTo(0, r.Bottom);
            c->LineTo(Width(), r.Bottom);
        }
    }
}

void TCustomGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    OnDrawCell(this, col, row, rect, state);
}

bool TCustomGrid::SelectCell(int col, int row) {
    bool can = true;
    OnSelectCell(this, col, row, can);
    return can;
}

void TCustomGrid::MoveTo(int col, int row) {
    col = std::clamp(col, fixedCols_, colCount_ - 1);
    row = std::clamp(row, fixedRows_, rowCount_ - 1);
    if (col == col_ && row == row_)
        return;
    if (!SelectCell(col, row))
        return;
    col_ = col;
    row_ = row;
    if (row_ < topRow_)
        topRow_ = row_;
    Invalidate();
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        if (CanFocus() && !Focused())
            SetFocus();
        int c = -1, r = -1;
        MouseToCell(x, y, c, r);
        if (c >= fixedCols_ && r >= fixedRows_)
            MoveTo(c, r);
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::KeyDown(Word& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    switch (key) {
    case VK_LEFT:
        MoveTo(col_ - 1, row_);
        break;
    case VK_RIGHT:
        MoveTo(col_ + 1, row_);
        break;
    case VK_UP:
        MoveTo(col_, row_ - 1);
        break;
    case VK_DOWN:
        MoveTo(col_, row_ + 1);
        break;
    case VK_HOME:
        MoveTo(fixedCols_, row_);
        break;
    case VK_END:
        MoveTo(colCount_ - 1, row_);
        break;
    case VK_TAB:
        if (options_.Contains(goTabs)) {
            if (shift.Contains(ssShift))
                MoveTo(col_ > fixedCols_ ? col_ - 1 : colCount_ - 1,
                       col_ > fixedCols_ ? row_ : row_ - 1);
            else
                MoveTo(col_ < colCount_ - 1 ? col_ + 1 : fixedCols_,
                       col_ < colCount_ - 1 ? row_ : row_ + 1);
        }
        break;
    default:
        break;
    }
}

LRESULT TCustomGrid::DialogCode() const {
    return DLGC_WANTARROWS | DLGC_WANTCHARS | (options_.Contains(goTabs) ? DLGC_WANTTAB : 0);
}

void TCustomGrid::WndProc(TMessage& m) {
    if (m.Msg == CM_ENTER || m.Msg == CM_EXIT)
        Invalidate();
    TCustomControl::WndProc(m);
}

} // namespace nuv
