// Common controls: the list view in report style (TListView with its columns and rows), the
// page control with its tab sheets, and the status bar.
//
// TListView: rows are TListItem (Caption = column 0, SubItems = the further columns). Selection
// changes raise OnChanging (which may refuse them), OnChange and OnSelectItem, for the user's
// clicks and for changes made in code alike. Rows sort with AlphaSort (OnCompare, else the
// captions) or CustomSort with a compare callback; with SortType stText or stBoth the list sorts
// again whenever a caption is set. A click on a column header raises OnColumnClick.
//
// TPageControl: the tabs show the pages whose TabVisible is set; a click on a tab asks
// OnChanging (which may refuse) and then raises OnChange; setting ActivePage in code raises
// neither. OwnerDraw tabs are drawn by DrawTab (OnDrawTab when set). A sheet raises OnShow and
// OnHide as it becomes visible on screen and stops being so.
#pragma once

#include "ui/Controls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nuv {

class TCustomListView;
class TListItems;
struct TListItemImpl;
struct TListRows;

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
using enum TViewStyle;
enum class TSortType { stNone, stData, stText, stBoth };
using enum TSortType;
enum class TItemChange { ctText, ctImage, ctState };
using enum TItemChange;

// Column widths that size to the content.
constexpr int ColumnTextWidth = -1;
constexpr int ColumnHeaderWidth = -2;

class TListColumn : public TCollectionItem {
    NUV_CLASS(TListColumn)
public:
    explicit TListColumn(TCollection* collection);
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& v);
    // The width in pixels; ColumnTextWidth or ColumnHeaderWidth size it to its texts.
    int Width() const;
    void SetWidth(int v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    void Assign(TPersistent* source) override;
    std::string DisplayName() const override { return caption_; }

private:
    friend class TCustomListView;
    std::string caption_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = false;
};

class TListColumns : public TCollection {
    NUV_CLASS(TListColumns)
public:
    explicit TListColumns(TCustomListView* owner) : owner_(owner) {}
    TListColumn* Add();
    TListColumn* Items(int index) const {
        return static_cast<TListColumn*>(TCollection::Items(index));
    }
    TCustomListView* Owner() const { return owner_; }

protected:
    TCollectionItem* NewItem() override { return Add(); }
    void Update(TCollectionItem* item) override;

private:
    TCustomListView* owner_;
};

class TListItem : public TPersistent {
    NUV_CLASS(TListItem)
public:
    explicit TListItem(TListItems* owner);
    ~TListItem() override;
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& v);
    TStrings* SubItems() const;
    void SetSubItems(TStrings* v);
    bool Selected() const;
    void SetSelected(bool v);
    bool Focused() const;
    void SetFocused(bool v);
    int Index() const;
    void* Data() const { return data_; }
    void SetData(void* v) { data_ = v; }
    TListItems* Owner() const { return owner_; }
    TCustomListView* ListView() const;
    // Removes the row from its list and frees it.
    void Delete();
    void MakeVisible(bool partialOk = false);
    void Assign(TPersistent* source) override;
    TListItemImpl* Impl() const { return impl_.get(); }

private:
    friend class TListItems;
    friend class TCustomListView;
    TListItems* owner_;
    std::string caption_;
    std::unique_ptr<class TStringList> subItems_;
    void* data_ = nullptr;
    std::unique_ptr<TListItemImpl> impl_;
};

class TListItems : public TPersistent {
    NUV_CLASS(TListItems)
public:
    explicit TListItems(TCustomListView* owner);
    ~TListItems() override;
    TListItem* Add();
    TListItem* Insert(int index);
    int Count() const;
    TListItem* Item(int index) const;
    TListItem* operator[](int index) const { return Item(index); }
    int IndexOf(const TListItem* item) const;
    void Delete(int index);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    void Assign(TPersistent* source) override;
    TCustomListView* Owner() const { return owner_; }

private:
    friend class TListItem;
    friend class TCustomListView;
    friend struct TListViewAccess;
    // The rows in order, each found by position and each position by row in O(log n).
    std::vector<TListItem*> All() const;
    void Unlink(TListItem* item);
    TCustomListView* owner_;
    std::unique_ptr<TListRows> rows_;
    int updateCount_ = 0;
};

using TLVCompareEvent =
    TEvent<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;
using TLVColumnClickEvent = TEvent<void(TObject* Sender, TListColumn* Column)>;
using TLVSelectItemEvent = TEvent<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVChangeEvent = TEvent<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVChangingEvent =
    TEvent<void(TObject* Sender, TListItem* Item, TItemChange Change, bool& AllowChange)>;
// A CustomSort comparison: negative, zero or positive, as for the two rows.
using TLVCompare = std::function<int(TListItem* Item1, TListItem* Item2, std::intptr_t Data)>;

enum class TSearchDirection { sdLeft, sdRight, sdAbove, sdBelow, sdAll };
using enum TSearchDirection;
enum class TItemStateItem { isNone, isCut, isDropHilited, isFocused, isSelected, isActivating };
using enum TItemStateItem;
using TItemStates = TSet<TItemStateItem>;

class TCustomListView : public TWinControl {
    NUV_CLASS(TCustomListView)
public:
    explicit TCustomListView(TComponent* owner);
    ~TCustomListView() override;

    TListColumns* Columns() const { return columns_.get(); }
    void SetColumns(TListColumns* v) { columns_->Assign(v); }
    TListColumn* Column(int index) const { return columns_->Items(index); }
    TListItems* Items() const { return items_.get(); }
    void SetItems(TListItems* v) { items_->Assign(v); }
    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle v) { viewStyle_ = v; }
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool v);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool v);
    bool ShowColumnHeaders() const { return showColumnHeaders_; }
    void SetShowColumnHeaders(bool v);
    bool ColumnClick() const { return columnClick_; }
    void SetColumnClick(bool v);
    TSortType SortType() const { return sortType_; }
    void SetSortType(TSortType v);

    // The first selected row (nullptr when none); setting selects only that row.
    TListItem* Selected() const;
    void SetSelected(TListItem* item);
    TListItem* ItemFocused() const;
    void SetItemFocused(TListItem* item);
    int SelCount() const;
    void ClearSelection();
    void SelectAll();
    // The next row after start (nullptr: from the top) that has all the states.
    TListItem* GetNextItem(TListItem* start, TSearchDirection direction, TItemStates states) const;
    bool AlphaSort();
    // Sorts with the comparison (nullptr: as AlphaSort); stable.
    bool CustomSort(const TLVCompare& compare, std::intptr_t data);
    int StringWidth(const std::string& text) const;
    void WndProc(TMessage& message) override;

    TLVCompareEvent OnCompare;
    TLVColumnClickEvent OnColumnClick;
    TLVSelectItemEvent OnSelectItem;
    TLVChangeEvent OnChange;
    TLVChangingEvent OnChanging;

protected:
    virtual bool CanChange(TListItem* item, TItemChange change);
    virtual void Change(TListItem* item, TItemChange change);
    virtual void ColClick(TListColumn* column);
    LRESULT DialogCode() const override;
    void FontChanged() override;

private:
    friend class TListColumns;
    friend class TListItem;
    friend class TListItems;
    friend struct TListViewAccess;
    void SyncColumns();
    void SyncRow(TListItem* item);
    void FitTextColumns();
    void Reorder(const std::vector<TListItem*>& order);
    std::unique_ptr<TListColumns> columns_;
    std::unique_ptr<TListItems> items_;
    TViewStyle viewStyle_ = vsIcon;
    bool multiSelect_ = false;
    bool rowSelect_ = false;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool showColumnHeaders_ = true;
    bool columnClick_ = true;
    TSortType sortType_ = stNone;
    bool sorting_ = false;
};

class TListView : public TCustomListView {
    NUV_CLASS(TListView)
public:
    explicit TListView(TComponent* owner) : TCustomListView(owner) {}
};

class TPageControl;

class TTabSheet : public TWinControl {
    NUV_CLASS(TTabSheet)
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return pageControl_; }
    void SetPageControl(TPageControl* pageControl);
    int PageIndex() const;
    void SetPageIndex(int index);
    // The index of the tab among the visible tabs, -1 when the tab is hidden.
    int TabIndex() const;
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value) { imageIndex_ = value; }
    void WndProc(TMessage& message) override;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void RealSetText(const std::string& text) override;
    virtual void DoShow();
    virtual void DoHide();

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
    int imageIndex_ = -1;
    bool wasShowing_ = false;
};

using TTabChangingEvent = TEvent<void(TObject* Sender, bool& AllowChange)>;
using TDrawTabEvent =
    TEvent<void(TWinControl* Control, int TabIndex, const TRect& Rect, bool Active)>;
enum class TTabStyle { tsTabs, tsButtons, tsFlatButtons };
using enum TTabStyle;

class TPageControl : public TWinControl {
    NUV_CLASS(TPageControl)
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const;
    TTabSheet* ActivePage() const { return activePage_; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    // The active page's tab among the visible tabs.
    int TabIndex() const;
    void SetTabIndex(int index);
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    // Moves to the next (or previous) page when OnChanging allows it, then OnChange.
    void SelectNextPage(bool goForward, bool checkTabVisible = true);
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool value);
    int TabHeight() const { return tabHeight_; }
    void SetTabHeight(int value);
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int value);
    TTabStyle Style() const { return style_; }
    void SetStyle(TTabStyle value) { style_ = value; }
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool value) { multiLine_ = value; }
    TCanvas* Canvas() const { return canvas_.get(); }
    // The rectangle of a visible tab (by tab index).
    TRect TabRect(int tabIndex) const;
    // The area where the pages are shown.
    TRect DisplayRect() const;
    void SetBounds(int left, int top, int width, int height) override;
    void WndProc(TMessage& message) override;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TDrawTabEvent OnDrawTab;

protected:
    virtual bool CanChange();
    virtual void Change();
    // Draws one tab: OnDrawTab when assigned, else the caption.
    virtual void DrawTab(int tabIndex, const TRect& rect, bool active);
    LRESULT DialogCode() const override { return 0; }
    void FontChanged() override;
    // Brings the tab bar to the pages once the form is built.
    void Loaded() override;

private:
    friend class TTabSheet;
    friend struct TPageAccess;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    // The tab bar follows the pages' captions, visibility and order. While the form is being
    // built the change is only noted (each one would lay out every tab again) and made at
    // Loaded, or earlier when something needs the bar.
    void UpdateTabs();
    void SyncTabs() const;
    void PlaceSheets();
    // A tab was clicked: ask, change, tell.
    void TabClicked(int tabIndex);
    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
    bool ownerDraw_ = false;
    int tabHeight_ = 0;
    int tabWidth_ = 0;
    TTabStyle style_ = tsTabs;
    bool multiLine_ = false;
    mutable bool tabsStale_ = false;
    std::unique_ptr<TControlCanvas> canvas_;
};

enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };
using enum TStatusPanelBevel;

class TStatusPanel : public TCollectionItem {
    NUV_CLASS(TStatusPanel)
public:
    explicit TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}
    std::string Text() const { return text_; }
    void SetText(const std::string& v);
    int Width() const { return width_; }
    void SetWidth(int v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TStatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(TStatusPanelBevel v);
    void Assign(TPersistent* source) override;

private:
    std::string text_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    TStatusPanelBevel bevel_ = pbLowered;
};

class TStatusBar;

class TStatusPanels : public TCollection {
    NUV_CLASS(TStatusPanels)
public:
    explicit TStatusPanels(TStatusBar* owner) : owner_(owner) {}
    TStatusPanel* Add();
    TStatusPanel* Items(int index) const {
        return static_cast<TStatusPanel*>(TCollection::Items(index));
    }

protected:
    TCollectionItem* NewItem() override { return Add(); }
    void Update(TCollectionItem* item) override;

private:
    TStatusBar* owner_;
};

class TStatusBar : public TCustomControl {
    NUV_CLASS(TStatusBar)
public:
    explicit TStatusBar(TComponent* owner);
    ~TStatusBar() override;
    TStatusPanels* Panels() const { return panels_.get(); }
    void SetPanels(TStatusPanels* v) { panels_->Assign(v); }
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool v);
    std::string SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& v);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool v);

protected:
    void Paint() override;

private:
    std::unique_ptr<TStatusPanels> panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
};

} // namespace nuv
