// Draw grids: cells in columns and rows, fixed columns and rows at the top left, a current cell
// (Col, Row) moved with the arrow keys or the mouse, and OnDrawCell to paint each cell.
#pragma once

#include "ui/Controls.h"

#include <vector>

namespace nuv {

enum class TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using enum TGridDrawStateItem;
using TGridDrawState = TSet<TGridDrawStateItem>;
enum class TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using enum TGridOption;
using TGridOptions = TSet<TGridOption>;

using TDrawCellEvent =
    TEvent<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = TEvent<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;

class TCustomGrid : public TCustomControl {
    NUV_CLASS(TCustomGrid)
public:
    explicit TCustomGrid(TComponent* owner);
    int ColCount() const { return colCount_; }
    void SetColCount(int v);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int v);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int v);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int v);
    int Col() const { return col_; }
    void SetCol(int v) { MoveTo(v, row_); }
    int Row() const { return row_; }
    void SetRow(int v) { MoveTo(col_, v); }
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int v);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int v);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int TopRow() const { return topRow_; }
    void SetTopRow(int v);
    int LeftCol() const { return leftCol_; }
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions v);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor v);
    // The cell's rectangle on the control (empty when it is scrolled away).
    TRect CellRect(int col, int row) const;
    void MouseToCell(int x, int y, int& col, int& row) const;
    void WndProc(TMessage& message) override;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;

protected:
    void Paint() override;
    virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
    virtual bool SelectCell(int col, int row);
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(Word& key, TShiftState shift) override;
    LRESULT DialogCode() const override;
    // Moves the current cell when SelectCell allows it.
    void MoveTo(int col, int row);

private:
    int colCount_ = 5, rowCount_ = 5, fixedCols_ = 1, fixedRows_ = 1;
    int col_ = 1, row_ = 1, topRow_ = 1, leftCol_ = 1;
    int defaultColWidth_ = 64, defaultRowHeight_ = 24;
    std::vector<int> colWidths_, rowHeights_;
    TGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    TColor fixedColor_ = clBtnFace;
};

class TDrawGrid : public TCustomGrid {
    NUV_CLASS(TDrawGrid)
public:
    explicit TDrawGrid(TComponent* owner) : TCustomGrid(owner) {}
};

} // namespace nuv
