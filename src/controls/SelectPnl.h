// SelectPnl: the selection panel in which a report dialog takes one selection condition.
//
// TSelectPanel is a captioned frame that builds its own sub-controls and offers three styles: a
// range (begin and end value, each in a masked edit with a look-up button), a list of discrete
// values that the user fills through look-up windows and prunes, or the user's choice between
// the two through a check box. The dialogs find its value carriers by the component names
// "edBegin", "edFinal" and "ListBox", answer its look-up requests (WM_USER + 10 to the owner
// form) and read the values when they build a report request.
//
// When the focus leaves the panel as a whole, the exit check trims the range texts and puts
// begin and end into order by the panel's ValueType (and DateType for dates), then raises the
// panel's own OnExit. The list (TBrelListView) keeps its rows sorted when SortListBox is set,
// drops neighbouring duplicates by CheckDuplicate and sizes its columns to the widest text in
// CP950 bytes after every added row.
//
// Adding rows one by one stays O(log n) per row in this code, also for a sorted list with
// duplicate removal and column sizing: the row is placed by binary search, only its neighbours
// can be duplicates of it (the list holds no neighbouring duplicates before), and the column
// widths come from running counts of the byte lengths in each column. Whenever the rows were
// changed in a way the list cannot follow (rows added or removed from outside, a new sort
// order, another duplicate rule), the next row added walks the whole list once and the running
// state starts afresh. The list view below takes a row in O(log n) as well (its rows are a
// treap, its Qt model is told of one row at a time); from some ten thousand rows on the cost per
// row grows with cache misses rather than with work. bench/SelectPanel_bench.cpp measures the
// panel beside a bare list view.
#pragma once

#include "controls/BtChkBox.h"
#include "controls/F2Button.h"
#include "controls/GSpdBtn.h"
#include "support/LibStrs.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Mask.h"
#include "ui/StdCtrls.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nuv {

class TSelectPanel;

// The ordinals are stored in form layouts; keep them.
enum TSelectStyle : int { sp_Range = 0, sp_Discrete = 1, sp_UserChoice = 2 };
enum TValueType : int {
    vt_String = 0,
    vt_Number = 1,
    vt_Date = 2,
    vt_Time = 3,
    vt_Float = 4,
    vt_OtherMask = 5
};
enum TCheckDuplicate : int { cd_None = 0, cd_CheckCase = 1, cd_CaseInsensitive = 2 };

// ---------------------------------------------------------------------------------------------
// Range values, without controls

// What the exit check needs to know about a range.
struct TRangeRules {
    TValueType ValueType = vt_String;
    TDateType DateType = dt_NoneCare;
    std::string DateSign = "/";
    // The text of an untouched edit under the current mask (empty without a mask).
    std::string BlankMaskText;
    bool UseDiscard = false;
    std::string Discard;
    bool AutoChangeDateSite = true;
    // The mask starts with "!": blanks are part of the value and are not trimmed.
    bool KeepBlanks = false;
};

// A comparable day number of a range date text in the layout, with sep between its parts;
// 0 for an empty or untouched text, a text the layout cannot read, and an impossible date. A
// text with one separator is a date without day and counts as the first of its month.
double RangeDateValue(std::string_view text, std::string_view sep, TDateType layout,
                      std::string_view blankMaskText);

// The exit check on the two range texts: trims them (unless KeepBlanks), rewrites float texts,
// and puts begin and end into order by the value type. Returns true when the two texts were
// exchanged.
bool OrderRangeTexts(const TRangeRules& rules, std::string& beginText, std::string& finalText);

// Case-insensitive comparison in the collation of the process locale (letters folded with its
// upper-case mapping), as the list sorts its rows: negative, zero or positive.
int LocaleCompareText(std::string_view a, std::string_view b);

// ---------------------------------------------------------------------------------------------

// The range edits: a masked edit whose change notifications can be suspended while the panel
// re-fits its text into a new mask.
class TBrelMaskEdit : public TMaskEdit {
    NUV_CLASS(TBrelMaskEdit)
public:
    explicit TBrelMaskEdit(TComponent* owner);
    // While set, a change of the text does not call OnChange.
    bool ChangeSuspended() const { return changeSuspended_; }
    void SetChangeSuspended(bool value) { changeSuspended_ = value; }

protected:
    void Change() override;

private:
    bool changeSuspended_ = false;
};

// The check box of the user-choice style.
class TBrelCheckBox : public TBitCheckBox {
    NUV_CLASS(TBrelCheckBox)
public:
    explicit TBrelCheckBox(TComponent* owner) : TBitCheckBox(owner) {}
};

// The list of discrete values: a report view whose rows hold one value each (caption = column 0,
// sub-items = further columns). Owned by a TSelectPanel, it sorts and drops duplicates by the
// panel's settings; on its own it only adds rows and sizes columns.
class TBrelListView : public TListView {
    NUV_CLASS(TBrelListView)
public:
    explicit TBrelListView(TComponent* owner);
    ~TBrelListView() override;

    // Re-size the columns after every AddItem (default True).
    bool ColumnsAutoSize() const { return columnsAutoSize_; }
    void SetColumnsAutoSize(bool value);

    // Adds one row: Values[0] is the caption, the rest its sub-items; columns "Data1", "Data2",
    // ... are added while there are too few; every row is padded to the same number of
    // sub-items; then the owning panel's duplicate rule and the column sizing run. False for
    // no values and when a step failed (the row may have been added).
    bool AddItem(const std::vector<std::string>& Values);
    // Removes all rows.
    void ClearItems();
    // Every column as wide as "W" times the largest CP950 byte length among its caption and its
    // texts in all rows.
    void AutoSizeColumns();
    // Deletes every selected row; false when none was selected.
    bool DeleteSelected();

    // The running state behind AddItem (on by default). Off, every AddItem walks the whole list:
    // the plain rules, kept for comparison.
    bool IncrementalRules() const { return incremental_; }
    void SetIncrementalRules(bool value);
    // Forgets the running state: the next AddItem walks the whole list. Call it after changing
    // rows' texts directly (sub-items in particular, which the list cannot see change).
    void InvalidateRowState() { state_.valid = false; }

    void WndProc(TMessage& message) override;

protected:
    void Change(TListItem* item, TItemChange change) override;
    void ColClick(TListColumn* column) override;

private:
    friend class TSelectPanel;
    struct RowState {
        bool valid = false;
        int count = 0;    // rows when the state was last brought up to date
        int subItems = 0; // every row holds this many sub-items
        int columns = 0;  // columns when the state was last brought up to date
        // Per column: CP950 byte length -> number of texts of that length (lengths > 0 only).
        std::vector<std::map<int, int>> lengths;
        std::vector<const TListColumn*> sizedColumns; // the columns the last widths were set on
        std::vector<int> sizedWidths;
    };
    TSelectPanel* Panel() const { return panel_; }
    bool StateUsable() const;
    void RebuildState();
    void CountRow(TListItem* item, int sign);
    void DeleteRow(int index);
    // The sorted place of a new row (after equal rows), or the end when the list is not sorted.
    int PlaceFor(const std::vector<std::string>& row) const;
    void PadAllRows(int subItems);
    void RemoveNeighbourDuplicates(int index);
    void ApplyWidths(const std::vector<int>& maxBytes);
    std::vector<int> WalkMaxBytes() const;
    // The width of "W" in the list's font.
    int WidthOfW() const;
    // Sorts every row by the owning panel's comparison.
    void SortRows();

    TSelectPanel* panel_ = nullptr;
    bool columnsAutoSize_ = true;
    bool incremental_ = true;
    bool adding_ = false; // inside AddItem: caption changes are ours
    bool bulk_ = false;   // rows replaced as a whole: sort once afterwards
    RowState state_;
    mutable int widthOfW_ = 0;
    mutable std::string widthOfWFont_;
};

// Events of the panel.
using TOpenWinClickEvent = TEvent<void(TObject* SenderParent, TObject* Sender)>;
using TDeleteClickEvent = TEvent<void(TObject* Sender, bool& Accept)>;
using TStyleChangingEvent =
    TEvent<void(TObject* Sender, TSelectStyle NowStyle, TSelectStyle& NewStyle, bool& Accept)>;
using TStyleChangeEvent =
    TEvent<void(TObject* Sender, TSelectStyle OldStyle, TSelectStyle NewStyle)>;
using TItemSelectEvent =
    TEvent<void(TObject* Sender, TListItem* xItem, int xIndex, bool xIsSelect)>;

class TSelectPanel : public TGroupBox {
    NUV_CLASS(TSelectPanel)
public:
    explicit TSelectPanel(TComponent* owner);
    ~TSelectPanel() override;

    // --- published properties, in their stored order ---
    bool AutoChangeDateSite() const { return autoChangeDateSite_; }
    void SetAutoChangeDateSite(bool value) { autoChangeDateSite_ = value; }
    TStrings* BeginWords() const { return beginWords_.get(); }
    void SetBeginWords(TStrings* value);
    bool ColumnsAutoSize() const;
    void SetColumnsAutoSize(bool value);
    bool CanOpenWin() const { return canOpenWin_; }
    void SetCanOpenWin(bool value);
    TCheckDuplicate CheckDuplicate() const { return checkDuplicate_; }
    void SetCheckDuplicate(TCheckDuplicate value);
    TStrings* ChildHints() const { return childHints_.get(); }
    void SetChildHints(TStrings* value);
    // A fresh list of the column captions on every read; writing replaces the columns.
    TStrings* ColumnCaptions() const;
    void SetColumnCaptions(TStrings* value);
    TListColumns* Columns() const;
    void SetColumns(TListColumns* value);
    TDateType DateType() const { return dateType_; }
    void SetDateType(TDateType value) { dateType_ = value; }
    std::string DateSign() const { return dateSign_; }
    void SetDateSign(const std::string& value) { dateSign_ = value; }
    std::string Discard() const { return discard_; }
    void SetDiscard(const std::string& value) { discard_ = value; }
    std::string EditMask() const { return editMask_; }
    void SetEditMask(const std::string& value);
    TStrings* FinalWords() const { return finalWords_.get(); }
    void SetFinalWords(TStrings* value);
    int GlyphIndex() const { return glyphIndex_; }
    void SetGlyphIndex(int value);
    std::string HintWord() const { return hintWord_; }
    void SetHintWord(const std::string& value);
    bool HideSelection() const;
    void SetHideSelection(bool value);
    TListItems* Items() const;
    void SetItems(TListItems* value);
    int OtherHeight() const { return otherHeight_; }
    void SetOtherHeight(int value) { otherHeight_ = value; }
    int OtherWidth() const { return otherWidth_; }
    void SetOtherWidth(int value) { otherWidth_ = value; }
    bool ShowColumnHeader() const;
    void SetShowColumnHeader(bool value);
    bool SortListBox() const { return sortListBox_; }
    void SetSortListBox(bool value);
    TSelectStyle Style() const { return style_; }
    void SetStyle(TSelectStyle value);
    bool UseDiscard() const { return useDiscard_; }
    void SetUseDiscard(bool value) { useDiscard_ = value; }
    bool UserChoice() const { return userChoice_; }
    void SetUserChoice(bool value);
    bool UseVertical() const { return useVertical_; }
    void SetUseVertical(bool value);
    TValueType ValueType() const { return valueType_; }
    void SetValueType(TValueType value) { valueType_ = value; }

    // --- state and operations ---
    // The range part counts: sp_Range, or sp_UserChoice with the check box checked.
    bool IsRangeActive() const;
    // The text of an untouched edBegin under the current EditMask.
    std::string BlankMaskText() const { return blankMaskText_; }
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return sortAscending_; }
    // The day number of a range text by DateType and DateSign (0 when unreadable).
    double DateValue(const std::string& text) const;
    // Drops every row whose caption equals the one above it, by CheckDuplicate.
    void RemoveDuplicates();
    // Sorts the list by a column as a click on its header does: the same column again turns
    // the direction round, another one sorts ascending.
    void SortByColumn(int column);
    // The row comparison of the list: by SortColumn, ties broken by the caption and column 1.
    int CompareRows(TListItem* a, TListItem* b) const;
    // Lays the sub-controls out for the current style, orientation and size.
    void Relayout();
    // Exchanges the current size with OtherWidth x OtherHeight.
    void SwapSize();
    // Shows the parts of a style: the check box for sp_UserChoice, the range or the list part.
    void ShowPart(TSelectStyle style);
    // The exit check, also run when the focus leaves the panel: trims and orders the range.
    void CheckRange();

    void SetEnabled(bool value) override;
    void SetFocus() override;
    void WndProc(TMessage& message) override;
    void Loaded() override;

    // --- sub-controls (owned by the panel, found by these names) ---
    TBrelCheckBox* chkUserChoice = nullptr;
    TPanel* pnlRange = nullptr;
    TLabel* lblBegin = nullptr;
    TBrelMaskEdit* edBegin = nullptr;
    TF2Button* btnBegin = nullptr;
    TLabel* lblFinal = nullptr;
    TBrelMaskEdit* edFinal = nullptr;
    TF2Button* btnFinal = nullptr;
    TPanel* pnlDiscrete = nullptr;
    TF2Button* btnList = nullptr;
    TGSpeedButton* btnDelete = nullptr;
    TGSpeedButton* btnClear = nullptr;
    TBrelListView* ListBox = nullptr;

    // --- published events, in their stored order ---
    TOpenWinClickEvent OnOpenWinClick;
    TNotifyEvent OnClearClick;
    TDeleteClickEvent OnDeleteClick;
    TNotifyEvent OnTypeClick;
    TStyleChangingEvent OnStyleChanging;
    TStyleChangeEvent OnStyleChange;
    // The panel's own exit event, raised after the exit check (the inherited one never is).
    TNotifyEvent OnExit;
    TItemSelectEvent OnItemSelect;
    TLVChangeEvent OnItemChange;
    TLVChangingEvent OnItemChanging;

protected:
    void DoExit() override;

private:
    friend class TBrelListView;
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    std::string WordAt(const TStrings* words, int index) const;
    void ApplyWords(TStrings* target, TStrings* value, TLabel* label);
    void ApplyChildHints(TObject* = nullptr);
    void SizeCheckBox();
    int CaptionHeight() const;
    void RangeFrame();
    void DiscreteFrame();
    void ChoiceFrame();
    void HorizontalRangeRows();
    void VerticalRangeRows();
    void ListLayout();
    void LayoutFor(TSelectStyle style);
    void SendSizeMessage();
    bool ParentReading() const;
    void WireSubControls();
    TObject* ForwardSender(TObject* sender) const;
    TPoint ToPanel(TObject* sender, int x, int y) const;

    // Handlers of the sub-controls.
    void LookupClick(TObject* sender);
    void TypeClick(TObject* sender);
    void DeleteClick(TObject* sender);
    void ClearClick(TObject* sender);
    void ListSelectItem(TObject* sender, TListItem* item, bool selected);
    void ListChange(TObject* sender, TListItem* item, TItemChange change);
    void ListChanging(TObject* sender, TListItem* item, TItemChange change, bool& allow);

    bool built_ = false;
    bool autoChangeDateSite_ = true;
    std::unique_ptr<TStringList> beginWords_;
    bool canOpenWin_ = true;
    TCheckDuplicate checkDuplicate_ = cd_None;
    std::unique_ptr<TStringList> childHints_;
    std::unique_ptr<TStringList> columnCaptions_; // refilled on every read
    TDateType dateType_ = dt_NoneCare;
    std::string dateSign_ = "/";
    std::string discard_;
    std::string editMask_;
    std::unique_ptr<TStringList> finalWords_;
    int glyphIndex_ = 8;
    std::string hintWord_ = "區間選擇";
    int otherHeight_ = 105;
    int otherWidth_ = 200;
    bool sortListBox_ = false;
    TSelectStyle style_ = sp_Range;
    bool useDiscard_ = false;
    bool userChoice_ = true;
    bool useVertical_ = false;
    TValueType valueType_ = vt_String;

    std::string blankMaskText_;
    int sortColumn_ = 0;
    bool sortAscending_ = true;
    bool lastEnabled_ = true;
};

} // namespace nuv
