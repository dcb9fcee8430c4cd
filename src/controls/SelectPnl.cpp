#include "controls/SelectPnl.h"

#include "controls/SelectRows.h"
#include "platform/AsciiText.h"
#include "platform/CodePage.h"
#include "platform/DateTime.h"
#include "platform/ScopeExit.h"
#include "platform/UnicodeText.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>

namespace nuv {

using namespace selectrows;

// ---------------------------------------------------------------------------------------------
// TBrelMaskEdit

const TClassInfo& TBrelMaskEdit::StaticClassInfo() {
    static const TClassInfo info("TBrelMaskEdit", &TMaskEdit::StaticClassInfo());
    return info;
}

TBrelMaskEdit::TBrelMaskEdit(TComponent* owner) : TMaskEdit(owner) {}

void TBrelMaskEdit::Change() {
    if (!changeSuspended_)
        TMaskEdit::Change();
}

const TClassInfo& TBrelCheckBox::StaticClassInfo() {
    static const TClassInfo info("TBrelCheckBox", &TBitCheckBox::StaticClassInfo());
    return info;
}

// ---------------------------------------------------------------------------------------------
// TSelectPanel

const TClassInfo& TSelectPanel::StaticClassInfo() {
    using P = TSelectPanel;
    static const TClassInfo info =
        TClassInfo("TSelectPanel", &TGroupBox::StaticClassInfo())
            .Bool<P>("AutoChangeDateSite", &P::AutoChangeDateSite, &P::SetAutoChangeDateSite)
            .Object<P, TStrings>("BeginWords", "TStrings", &P::BeginWords, &P::SetBeginWords)
            .Bool<P>("ColumnsAutoSize", &P::ColumnsAutoSize, &P::SetColumnsAutoSize)
            .Bool<P>("CanOpenWin", &P::CanOpenWin, &P::SetCanOpenWin)
            .Enum<P, TCheckDuplicate>("CheckDuplicate", "TCheckDuplicate",
                                      {"cd_None", "cd_CheckCase", "cd_CaseInsensitive"},
                                      &P::CheckDuplicate, &P::SetCheckDuplicate)
            .Object<P, TStrings>("ChildHints", "TStrings", &P::ChildHints, &P::SetChildHints)
            .Object<P, TStrings>("ColumnCaptions", "TStrings", &P::ColumnCaptions,
                                 &P::SetColumnCaptions)
            .Object<P, TListColumns>("Columns", "TListColumns", &P::Columns, &P::SetColumns)
            .Enum<P, TDateType>("DateType", "TDateType",
                                {"dt_NoneCare", "dt_YYYYMMDD", "dt_MMDDYYYY", "dt_DDMMYYYY",
                                 "dt_YYMMDD", "dt_YYYMMDD"},
                                &P::DateType, &P::SetDateType)
            .Str<P>("DateSign", &P::DateSign, &P::SetDateSign)
            .Str<P>("Discard", &P::Discard, &P::SetDiscard)
            .Str<P>("EditMask", &P::EditMask, &P::SetEditMask, "TEditMask")
            .Object<P, TStrings>("FinalWords", "TStrings", &P::FinalWords, &P::SetFinalWords)
            .Int<P>("GlyphIndex", &P::GlyphIndex, &P::SetGlyphIndex)
            .Str<P>("HintWord", &P::HintWord, &P::SetHintWord)
            .Bool<P>("HideSelection", &P::HideSelection, &P::SetHideSelection)
            .Object<P, TListItems>("Items", "TListItems", &P::Items, &P::SetItems)
            .Int<P>("OtherHeight", &P::OtherHeight, &P::SetOtherHeight)
            .Int<P>("OtherWidth", &P::OtherWidth, &P::SetOtherWidth)
            .Bool<P>("ShowColumnHeader", &P::ShowColumnHeader, &P::SetShowColumnHeader)
            .Bool<P>("SortListBox", &P::SortListBox, &P::SetSortListBox)
            .Enum<P, TSelectStyle>("Style", "TSelectStyle",
                                   {"sp_Range", "sp_Discrete", "sp_UserChoice"}, &P::Style,
                                   &P::SetStyle)
            .Bool<P>("UseDiscard", &P::UseDiscard, &P::SetUseDiscard)
            .Bool<P>("UserChoice", &P::UserChoice, &P::SetUserChoice)
            .Bool<P>("UseVertical", &P::UseVertical, &P::SetUseVertical)
            .Enum<P, TValueType>(
                "ValueType", "TValueType",
                {"vt_String", "vt_Number", "vt_Date", "vt_Time", "vt_Float", "vt_OtherMask"},
                &P::ValueType, &P::SetValueType)
            .Event<P>("OnOpenWinClick", "TOpenWinClickEvent", &P::OnOpenWinClick)
            .Event<P>("OnClearClick", "TNotifyEvent", &P::OnClearClick)
            .Event<P>("OnDeleteClick", "TDeleteClickEvent", &P::OnDeleteClick)
            .Event<P>("OnTypeClick", "TNotifyEvent", &P::OnTypeClick)
            .Event<P>("OnStyleChanging", "TStyleChangingEvent", &P::OnStyleChanging)
            .Event<P>("OnStyleChange", "TStyleChangeEvent", &P::OnStyleChange)
            .Event<P>("OnExit", "TNotifyEvent", &P::OnExit)
            .Event<P>("OnItemSelect", "TItemSelectEvent", &P::OnItemSelect)
            .Event<P>("OnItemChange", "TLVChangeEvent", &P::OnItemChange)
            .Event<P>("OnItemChanging", "TLVChangingEvent", &P::OnItemChanging)
            .Event<TWinControl>("OnKeyDown", "TKeyEvent", &TWinControl::OnKeyDown)
            .Event<TWinControl>("OnKeyUp", "TKeyEvent", &TWinControl::OnKeyUp)
            .Event<TWinControl>("OnKeyPress", "TKeyPressEvent", &TWinControl::OnKeyPress);
    return info;
}

namespace {

const char* const DefaultChildHints[] = {
    "使用者自定輸入方式", "區間選擇-起始資料",     "區間選擇-起始資料開窗",
    "區間選擇-截止資料",  "區間選擇-截止資料開窗", "多選-己選擇的資料",
    "多選-資料開窗",      "多選-刪除一筆資料",     "多選-刪除己選資料"};

// Glyphs of the list buttons.
constexpr int DeleteGlyph = 47;
constexpr int ClearGlyph = 4;
constexpr int ButtonSize = 23;
constexpr int EditHeight = 24;

} // namespace

TSelectPanel::TSelectPanel(TComponent* owner)
    : TGroupBox(owner), beginWords_(std::make_unique<TStringList>()),
      childHints_(std::make_unique<TStringList>()),
      columnCaptions_(std::make_unique<TStringList>()),
      finalWords_(std::make_unique<TStringList>()) {
    beginWords_->Add("起");
    beginWords_->Add("起");
    finalWords_->Add("迄");
    finalWords_->Add("迄");
    // The defaults go in before the list reports changes: they reach the sub-controls only
    // when the list is assigned or changed.
    for (const char* hint : DefaultChildHints)
        childHints_->Add(hint);
    childHints_->OnChange = TNotifyEvent(this, &TSelectPanel::ApplyChildHints);
    SetBounds(Left(), Top(), 353, 45);

    const bool showHint = ShowHint();
    auto place = [&](auto* c, const char* name, TWinControl* parent) {
        c->SetName(name);
        c->SetParent(parent);
        c->SetShowHint(showHint);
        return c;
    };
    auto innerPanel = [&](const char* name) {
        auto* p = place(new TPanel(this), name, this);
        p->SetAlign(alNone);
        p->SetBevelInner(bvNone);
        p->SetBevelOuter(bvNone);
        p->SetCaption(" ");
        return p;
    };
    auto lookupButton = [&](const char* name, TWinControl* parent, bool autoAlign) {
        auto* b = place(new TF2Button(this), name, parent);
        b->SetFlat(true);
        b->SetGlyphIndex(glyphIndex_);
        b->SetBounds(b->Left(), b->Top(), ButtonSize, ButtonSize);
        b->SetNumGlyphs(1);
        b->SetAutoAlign(autoAlign);
        return b;
    };

    chkUserChoice = place(new TBrelCheckBox(this), "chkUserChoice", this);
    chkUserChoice->SetLeft(16);
    chkUserChoice->SetTop(17);
    chkUserChoice->SetCaption(hintWord_);
    // Checked, as UserChoice starts True: the box and the property never disagree.
    chkUserChoice->SetChecked(userChoice_);

    pnlRange = innerPanel("pnlRange");
    // The words stand as high as their edits, their text centred on the edit's text.
    lblBegin = place(new TLabel(this), "lblBegin", pnlRange);
    lblBegin->SetAutoSize(true);
    lblBegin->SetLayout(tlCenter);
    lblBegin->SetCaption(WordAt(beginWords_.get(), 1));
    edBegin = place(new TBrelMaskEdit(this), "edBegin", pnlRange);
    edBegin->SetHeight(EditHeight);
    edBegin->SetEditMask("");
    edBegin->SetText("");
    btnBegin = lookupButton("btnBegin", pnlRange, true);
    lblFinal = place(new TLabel(this), "lblFinal", pnlRange);
    lblFinal->SetAutoSize(true);
    lblFinal->SetLayout(tlCenter);
    lblFinal->SetCaption(WordAt(finalWords_.get(), 1));
    edFinal = place(new TBrelMaskEdit(this), "edFinal", pnlRange);
    edFinal->SetHeight(edBegin->Height());
    edFinal->SetEditMask("");
    edFinal->SetText("");
    btnFinal = lookupButton("btnFinal", pnlRange, true);

    pnlDiscrete = innerPanel("pnlDiscrete");
    btnList = lookupButton("btnList", pnlDiscrete, false);
    btnDelete = place(new TGSpeedButton(this), "btnDelete", pnlDiscrete);
    btnDelete->SetFlat(true);
    btnDelete->SetGlyphIndex(DeleteGlyph);
    btnDelete->SetBounds(0, 0, ButtonSize, ButtonSize);
    btnDelete->SetNumGlyphs(1);
    btnClear = place(new TGSpeedButton(this), "btnClear", pnlDiscrete);
    btnClear->SetFlat(true);
    btnClear->SetGlyphIndex(ClearGlyph);
    btnClear->SetBounds(0, 0, ButtonSize, ButtonSize);
    btnClear->SetNumGlyphs(2);

    ListBox = place(new TBrelListView(this), "ListBox", pnlDiscrete);
    ListBox->SetBounds(0, 0, ListBox->Width(), pnlDiscrete->Height());
    ListBox->SetCursor(crHandPoint);
    ListBox->SetEnabled(true);
    ListBox->SetMultiSelect(true);
    ListBox->SetRowSelect(true);
    ListBox->SetShowColumnHeaders(false);
    ListBox->SetViewStyle(vsReport);
    ListBox->SetSortType(stNone);
    ListBox->SetReadOnly(true);
    ListBox->SetHideSelection(false);

    WireSubControls();
    built_ = true;
    // Only the part of the style is shown, so that the focus cannot wander into the hidden one.
    ShowPart(style_);
    Relayout();
}

TSelectPanel::~TSelectPanel() {
    // The sub-controls go while the panel is still whole: their last events may reach it.
    built_ = false;
    childHints_->OnChange = nullptr;
    DestroyComponents();
}

// --- event forwarding ---

TObject* TSelectPanel::ForwardSender(TObject* sender) const {
    return sender == ListBox || sender == edBegin || sender == edFinal
               ? sender
               : const_cast<TSelectPanel*>(this);
}

TPoint TSelectPanel::ToPanel(TObject* sender, int x, int y) const {
    for (auto* c = dynamic_cast<TControl*>(sender); c != nullptr && c != this; c = c->Parent()) {
        x += c->Left();
        y += c->Top();
    }
    return {x, y};
}

void TSelectPanel::WireSubControls() {
    TControl* clickers[] = {pnlRange, pnlDiscrete, lblBegin, lblFinal, edBegin, edFinal, ListBox};
    for (TControl* c : clickers) {
        c->OnClick = [this](TObject* s) {
            if (built_)
                OnClick(ForwardSender(s));
        };
    }
    TControl* doubleClickers[] = {pnlRange, pnlDiscrete, lblBegin, lblFinal,
                                  edBegin,  edFinal,     ListBox,  chkUserChoice};
    for (TControl* c : doubleClickers) {
        c->OnDblClick = [this](TObject* s) {
            if (built_)
                OnDblClick(ForwardSender(s));
        };
    }

    TControl* all[] = {chkUserChoice, pnlRange,    lblBegin, edBegin,   btnBegin, lblFinal, edFinal,
                       btnFinal,      pnlDiscrete, btnList,  btnDelete, btnClear, ListBox};
    for (TControl* c : all) {
        c->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
            if (!built_)
                return;
            TObject* to = ForwardSender(s);
            TPoint p = to == s ? TPoint{x, y} : ToPanel(s, x, y);
            OnMouseDown(to, b, sh, p.X, p.Y);
        };
        c->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
            if (!built_)
                return;
            TObject* to = ForwardSender(s);
            TPoint p = to == s ? TPoint{x, y} : ToPanel(s, x, y);
            OnMouseUp(to, b, sh, p.X, p.Y);
        };
        c->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) {
            if (!built_)
                return;
            TObject* to = ForwardSender(s);
            TPoint p = to == s ? TPoint{x, y} : ToPanel(s, x, y);
            OnMouseMove(to, sh, p.X, p.Y);
        };
    }

    TControl* draggers[] = {chkUserChoice, pnlRange, pnlDiscrete, lblBegin,
                            lblFinal,      edBegin,  edFinal,     ListBox};
    for (TControl* c : draggers) {
        c->OnDragDrop = [this](TObject* s, TObject* source, int x, int y) {
            TPoint p = ToPanel(s, x, y);
            OnDragDrop(this, source, p.X, p.Y);
        };
        c->OnDragOver = [this](TObject* s, TObject* source, int x, int y, TDragState st,
                               bool& accept) {
            TPoint p = ToPanel(s, x, y);
            accept = OnDragOver.Assigned();
            OnDragOver(this, source, p.X, p.Y, st, accept);
        };
        c->OnEndDrag = [this](TObject* s, TObject* target, int x, int y) {
            TPoint p = ToPanel(s, x, y);
            OnEndDrag(this, target, p.X, p.Y);
        };
        c->OnEndDock = [this](TObject* s, TObject* target, int x, int y) {
            TPoint p = ToPanel(s, x, y);
            OnEndDock(this, target, p.X, p.Y);
        };
        c->OnStartDrag = [this](TObject*, TDragObject*& obj) { OnStartDrag(this, obj); };
        c->OnStartDock = [this](TObject*, TDragDockObject*& obj) { OnStartDock(this, obj); };
    }

    TWinControl* dockers[] = {chkUserChoice, pnlRange, pnlDiscrete, edBegin, edFinal, ListBox};
    for (TWinControl* c : dockers) {
        c->OnDockDrop = [this](TObject* s, TDragDockObject* source, int x, int y) {
            TPoint p = ToPanel(s, x, y);
            OnDockDrop(this, source, p.X, p.Y);
        };
        c->OnDockOver = [this](TObject* s, TDragDockObject* source, int x, int y, TDragState st,
                               bool& accept) {
            TPoint p = ToPanel(s, x, y);
            OnDockOver(this, source, p.X, p.Y, st, accept);
        };
        c->OnGetSiteInfo = [this](TObject* s, TControl* client, TRect& influence, TPoint mouse,
                                  bool& canDock) {
            TPoint p = ToPanel(s, mouse.X, mouse.Y);
            OnGetSiteInfo(this, client, influence, p, canDock);
        };
        c->OnUnDock = [this, c](TObject*, TControl* client, TWinControl* target, bool& allow) {
            OnUnDock(this, client == c ? this : client, target == c ? this : target, allow);
        };
    }

    TWinControl* keyers[] = {chkUserChoice, edBegin, edFinal, ListBox};
    for (TWinControl* c : keyers) {
        c->OnKeyDown = [this](TObject* s, Word& key, TShiftState sh) { OnKeyDown(s, key, sh); };
        c->OnKeyUp = [this](TObject* s, Word& key, TShiftState sh) { OnKeyUp(s, key, sh); };
        c->OnKeyPress = [this](TObject* s, TKeyChar& key) { OnKeyPress(s, key); };
    }

    chkUserChoice->OnClick = TNotifyEvent(this, &TSelectPanel::TypeClick);
    btnBegin->OnClick = TNotifyEvent(this, &TSelectPanel::LookupClick);
    btnFinal->OnClick = TNotifyEvent(this, &TSelectPanel::LookupClick);
    btnList->OnClick = TNotifyEvent(this, &TSelectPanel::LookupClick);
    btnDelete->OnClick = TNotifyEvent(this, &TSelectPanel::DeleteClick);
    btnClear->OnClick = TNotifyEvent(this, &TSelectPanel::ClearClick);
    ListBox->OnSelectItem = TLVSelectItemEvent(this, &TSelectPanel::ListSelectItem);
    ListBox->OnChange = TLVChangeEvent(this, &TSelectPanel::ListChange);
    ListBox->OnChanging = TLVChangingEvent(this, &TSelectPanel::ListChanging);
}

void TSelectPanel::ListSelectItem(TObject* sender, TListItem* item, bool selected) {
    if (built_ && OnItemSelect.Assigned())
        OnItemSelect(sender, item, item != nullptr ? item->Index() : -1, selected);
}

void TSelectPanel::ListChange(TObject* sender, TListItem* item, TItemChange change) {
    if (built_)
        OnItemChange(sender, item, change);
}

void TSelectPanel::ListChanging(TObject* sender, TListItem* item, TItemChange change, bool& allow) {
    if (built_)
        OnItemChanging(sender, item, change, allow);
}

// --- properties ---

std::string TSelectPanel::WordAt(const TStrings* words, int index) const {
    // A list with fewer words falls back to its last word.
    int n = words->Count();
    if (n == 0)
        return std::string();
    return words->Get(std::min(index, n - 1));
}

void TSelectPanel::ApplyWords(TStrings* target, TStrings* value, TLabel* label) {
    std::vector<std::string> words;
    if (value != nullptr)
        for (int i = 0; i < value->Count() && i < 2; ++i)
            words.push_back(value->Get(i));
    target->Clear();
    for (const auto& w : words)
        target->Add(w);
    if (words.size() == 1)
        label->SetCaption(words[0]);
    else if (words.size() >= 2)
        label->SetCaption(style_ == sp_UserChoice ? words[1] : words[0]);
    SendSizeMessage();
}

void TSelectPanel::SetBeginWords(TStrings* value) {
    ApplyWords(beginWords_.get(), value, lblBegin);
}
void TSelectPanel::SetFinalWords(TStrings* value) {
    ApplyWords(finalWords_.get(), value, lblFinal);
}

bool TSelectPanel::ColumnsAutoSize() const {
    return ListBox->ColumnsAutoSize();
}
void TSelectPanel::SetColumnsAutoSize(bool value) {
    ListBox->SetColumnsAutoSize(value);
}

void TSelectPanel::SetCanOpenWin(bool value) {
    if (value == canOpenWin_)
        return;
    canOpenWin_ = value;
    btnList->SetVisible(value);
    btnBegin->SetVisible(value);
    btnFinal->SetVisible(value);
    SendSizeMessage();
}

void TSelectPanel::SetCheckDuplicate(TCheckDuplicate value) {
    if (value != cd_None)
        SetSortListBox(true);
    checkDuplicate_ = value;
    ListBox->InvalidateRowState();
    if (!IsRangeActive())
        RemoveDuplicates();
}

void TSelectPanel::SetChildHints(TStrings* value) {
    if (value == nullptr)
        return;
    if (value == childHints_.get()) {
        ApplyChildHints();
        return;
    }
    childHints_->Assign(value);
}

void TSelectPanel::ApplyChildHints(TObject*) {
    if (!built_)
        return;
    TControl* targets[] = {chkUserChoice, edBegin, btnBegin,  edFinal, btnFinal,
                           ListBox,       btnList, btnDelete, btnClear};
    int lines = childHints_->Count();
    for (int k = 0; k < 9 && k < lines; ++k)
        targets[k]->SetHint(childHints_->Get(k));
}

TStrings* TSelectPanel::ColumnCaptions() const {
    columnCaptions_->Clear();
    for (int i = 0; i < ListBox->Columns()->Count(); ++i)
        columnCaptions_->Add(ListBox->Column(i)->Caption());
    return columnCaptions_.get();
}

void TSelectPanel::SetColumnCaptions(TStrings* value) {
    std::vector<std::string> lines;
    if (value != nullptr)
        for (int i = 0; i < value->Count(); ++i)
            lines.push_back(value->Get(i));
    TListColumns* columns = ListBox->Columns();
    columns->BeginUpdate();
    {
        ScopeExit end([columns] { columns->EndUpdate(); });
        columns->Clear();
        for (const auto& line : lines) {
            TListColumn* c = columns->Add();
            c->SetCaption(line);
            c->SetWidth(ColumnTextWidth);
        }
    }
    ListBox->InvalidateRowState();
    ListBox->state_.sizedColumns.clear();
    ListBox->state_.sizedWidths.clear();
}

TListColumns* TSelectPanel::Columns() const {
    return ListBox->Columns();
}

void TSelectPanel::SetColumns(TListColumns* value) {
    if (value == nullptr)
        return;
    ListBox->SetColumns(value);
    ListBox->InvalidateRowState();
    ListBox->state_.sizedColumns.clear();
    ListBox->state_.sizedWidths.clear();
}

void TSelectPanel::SetEditMask(const std::string& value) {
    editMask_ = value;
    std::string text = edBegin->Text();
    edBegin->SetChangeSuspended(true);
    ScopeExit resume([this] { edBegin->SetChangeSuspended(false); });
    edBegin->SetText("");
    edBegin->SetEditMask(value);
    edFinal->SetEditMask(value);
    blankMaskText_ = edBegin->Text();
    edBegin->SetText(text);
}

void TSelectPanel::SetGlyphIndex(int value) {
    if (value == glyphIndex_)
        return;
    try {
        btnBegin->SetGlyphIndex(value);
        int shown = btnBegin->GlyphIndex();
        btnFinal->SetGlyphIndex(shown);
        btnList->SetGlyphIndex(shown);
        glyphIndex_ = value;
    } catch (const std::exception&) {
        btnBegin->SetGlyphIndex(0);
        btnFinal->SetGlyphIndex(0);
        btnList->SetGlyphIndex(0);
    }
}

void TSelectPanel::SetHintWord(const std::string& value) {
    chkUserChoice->SetCaption(value);
    hintWord_ = value;
    SizeCheckBox();
}

bool TSelectPanel::HideSelection() const {
    return ListBox->HideSelection();
}
void TSelectPanel::SetHideSelection(bool value) {
    ListBox->SetHideSelection(value);
}

TListItems* TSelectPanel::Items() const {
    return ListBox->Items();
}

void TSelectPanel::SetItems(TListItems* value) {
    if (value == nullptr)
        return;
    ListBox->bulk_ = true;
    {
        ScopeExit end([this] { ListBox->bulk_ = false; });
        ListBox->SetItems(value);
    }
    ListBox->InvalidateRowState();
    if (sortListBox_)
        ListBox->SortRows();
}

bool TSelectPanel::ShowColumnHeader() const {
    return ListBox->ShowColumnHeaders();
}
void TSelectPanel::SetShowColumnHeader(bool value) {
    ListBox->SetShowColumnHeaders(value);
}

void TSelectPanel::SetSortListBox(bool value) {
    if (value == sortListBox_)
        return;
    sortListBox_ = value;
    ListBox->InvalidateRowState();
    if (value)
        ListBox->SortRows();
}

void TSelectPanel::SetUserChoice(bool value) {
    if (style_ != sp_UserChoice)
        return;
    chkUserChoice->SetChecked(value);
    TypeClick(chkUserChoice);
}

void TSelectPanel::SetUseVertical(bool value) {
    if (value == useVertical_ || style_ != sp_Range)
        return;
    useVertical_ = value;
    if (!ComponentState().Contains(csLoading))
        SwapSize();
    Relayout();
}

void TSelectPanel::SetStyle(TSelectStyle value) {
    if (value < sp_Range || value > sp_UserChoice)
        return;
    TSelectStyle newStyle = value;
    bool accept = true;
    TComponentRef<TControl> self(this);
    if (!Designing()) {
        OnStyleChanging(this, style_, newStyle, accept);
        if (!self)
            return;
    }
    if (!accept || newStyle < sp_Range || newStyle > sp_UserChoice)
        return;
    ShowPart(newStyle);
    if (style_ != newStyle && (style_ == sp_Range || newStyle == sp_Range) && !useVertical_ &&
        !ComponentState().Contains(csLoading))
        SwapSize();
    LayoutFor(newStyle);
    if (!Designing()) {
        OnStyleChange(this, style_, newStyle);
        if (!self)
            return;
    }
    style_ = newStyle;
}

// --- state and operations ---

bool TSelectPanel::IsRangeActive() const {
    return style_ == sp_Range || (style_ == sp_UserChoice && chkUserChoice->Checked());
}

double TSelectPanel::DateValue(const std::string& text) const {
    return RangeDateValue(text, dateSign_, dateType_, blankMaskText_);
}

void TSelectPanel::RemoveDuplicates() {
    if (checkDuplicate_ == cd_None)
        return;
    TListItems* items = ListBox->Items();
    items->BeginUpdate();
    ScopeExit end([items] { items->EndUpdate(); });
    for (int i = items->Count() - 1; i >= 1; --i)
        if (SameCaption(items->Item(i)->Caption(), items->Item(i - 1)->Caption(), checkDuplicate_))
            ListBox->DeleteRow(i);
}

void TSelectPanel::SortByColumn(int column) {
    if (column == sortColumn_) {
        sortAscending_ = !sortAscending_;
    } else {
        sortColumn_ = column;
        sortAscending_ = true;
    }
    ListBox->SortRows();
}

int TSelectPanel::CompareRows(TListItem* a, TListItem* b) const {
    TSelectRowKeys ka, kb;
    return CompareRowsBy(ka, a, kb, b, sortColumn_, sortAscending_);
}

void TSelectPanel::CheckRange() {
    TRangeRules rules;
    rules.ValueType = valueType_;
    rules.DateType = dateType_;
    rules.DateSign = dateSign_;
    rules.BlankMaskText = blankMaskText_;
    rules.UseDiscard = useDiscard_;
    rules.Discard = discard_;
    rules.AutoChangeDateSite = autoChangeDateSite_;
    rules.KeepBlanks = edBegin->EditMask().starts_with("!");
    std::string b = edBegin->Text();
    std::string e = edFinal->Text();
    OrderRangeTexts(rules, b, e);
    edBegin->SetText(b);
    edFinal->SetText(e);
}

void TSelectPanel::DoExit() {
    // Replaces the inherited exit event: the check first, then the panel's own OnExit.
    TComponentRef<TControl> self(this);
    CheckRange();
    if (self)
        OnExit(this);
}

// --- sub-control handlers ---

void TSelectPanel::LookupClick(TObject* sender) {
    if (!built_ || Designing())
        return;
    TWinControl* target = sender == btnBegin   ? static_cast<TWinControl*>(edBegin)
                          : sender == btnFinal ? static_cast<TWinControl*>(edFinal)
                                               : static_cast<TWinControl*>(ListBox);
    TComponentRef<TControl> self(this);
    if (target->CanFocus())
        target->SetFocus();
    if (!self)
        return;
    // The dialog opens its look-up window and fills the target; it may close the dialog.
    if (auto* form = dynamic_cast<TWinControl*>(Owner()))
        SendMessage(form->Handle(), WM_F2LOOKUP, 0, reinterpret_cast<LPARAM>(target));
    if (!self)
        return;
    OnOpenWinClick(this, target);
}

void TSelectPanel::TypeClick(TObject*) {
    if (!built_ || style_ != sp_UserChoice)
        return;
    userChoice_ = chkUserChoice->Checked();
    ChoiceFrame();
    ShowPart(style_);
    if (!Designing())
        OnTypeClick(this);
}

void TSelectPanel::DeleteClick(TObject* sender) {
    if (!built_)
        return;
    bool accept = true;
    if (!Designing()) {
        TComponentRef<TControl> self(this);
        OnDeleteClick(sender, accept);
        if (!self)
            return;
    }
    if (accept)
        ListBox->DeleteSelected();
}

void TSelectPanel::ClearClick(TObject* sender) {
    if (!built_)
        return;
    ListBox->ClearItems();
    TComponentRef<TControl> self(this);
    if (ListBox->CanFocus())
        ListBox->SetFocus();
    if (self && !Designing())
        OnClearClick(sender);
}

// --- overridden operations ---

void TSelectPanel::SetEnabled(bool value) {
    TGroupBox::SetEnabled(value);
    lastEnabled_ = value;
    std::function<void(TWinControl*)> walk = [&](TWinControl* parent) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* c = parent->Controls(i);
            c->SetEnabled(value);
            if (auto* w = dynamic_cast<TWinControl*>(c); w != nullptr && w->ControlCount() > 0)
                walk(w);
        }
    };
    walk(this);
}

void TSelectPanel::SetFocus() {
    TGroupBox::SetFocus();
    if (!IsRangeActive())
        ListBox->SetFocus();
}

void TSelectPanel::WndProc(TMessage& message) {
    if (message.Msg == WM_SIZE || message.Msg == CM_FONTCHANGED) {
        TComponentRef<TControl> self(this);
        TGroupBox::WndProc(message);
        if (self)
            Relayout();
        return;
    }
    TGroupBox::WndProc(message);
}

void TSelectPanel::Loaded() {
    TGroupBox::Loaded();
    Relayout();
}

// --- layout ---

void TSelectPanel::SendSizeMessage() {
    if (built_)
        Perform(WM_SIZE, 0, MakeLParam(ClientWidth(), ClientHeight()));
}

int TSelectPanel::CaptionHeight() const {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    return c->TextHeight(Caption());
}

void TSelectPanel::SizeCheckBox() {
    if (!built_)
        return;
    TCanvas* c = Canvas();
    c->Font()->Assign(chkUserChoice->Font());
    std::string caption = chkUserChoice->Caption();
    chkUserChoice->SetBounds(chkUserChoice->Left(), chkUserChoice->Top(),
                             c->TextWidth(caption) + 24, c->TextHeight(caption) + 2);
}

void TSelectPanel::Relayout() {
    if (!built_)
        return;
    SizeCheckBox();
    LayoutFor(style_);
}

void TSelectPanel::LayoutFor(TSelectStyle style) {
    if (!built_)
        return;
    switch (style) {
    case sp_Range:
        chkUserChoice->SetVisible(false);
        RangeFrame();
        if (useVertical_)
            VerticalRangeRows();
        else
            HorizontalRangeRows();
        break;
    case sp_Discrete:
        chkUserChoice->SetVisible(false);
        DiscreteFrame();
        ListLayout();
        break;
    case sp_UserChoice:
        chkUserChoice->SetVisible(true);
        ChoiceFrame();
        VerticalRangeRows();
        ListLayout();
        break;
    }
}

void TSelectPanel::RangeFrame() {
    chkUserChoice->SendToBack();
    pnlRange->BringToFront();
    pnlDiscrete->SendToBack();
    const int bw = pnlRange->BevelWidth();
    const int top = CaptionHeight() + 3;
    TRect r = Bounds(2, top, Width() - 2 - bw - 2, Height() - top - bw - 2);
    pnlRange->SetBoundsRect(r);
    pnlDiscrete->SetBoundsRect(r);
}

void TSelectPanel::DiscreteFrame() {
    chkUserChoice->SendToBack();
    pnlDiscrete->BringToFront();
    pnlRange->SendToBack();
    const int bw = pnlDiscrete->BevelWidth();
    const int top = CaptionHeight() + 3;
    TRect r = Bounds(2, top, Width() - 2 - bw - 2, Height() - top - bw - 2);
    pnlDiscrete->SetBoundsRect(r);
    pnlRange->SetBoundsRect(r);
}

void TSelectPanel::ChoiceFrame() {
    chkUserChoice->BringToFront();
    chkUserChoice->SetBounds(16, CaptionHeight() + 3, chkUserChoice->Width(),
                             chkUserChoice->Height());
    TPanel* active = userChoice_ ? pnlRange : pnlDiscrete;
    TPanel* other = userChoice_ ? pnlDiscrete : pnlRange;
    active->BringToFront();
    other->SendToBack();
    TCanvas* c = Canvas();
    c->Font()->Assign(chkUserChoice->Font());
    const int top = chkUserChoice->Top() + c->TextHeight(chkUserChoice->Caption()) + 2;
    TRect r = Bounds(2, top, Width() - 2 - 2, Height() - top - 2);
    active->SetBoundsRect(r);
    other->SetBoundsRect(r);
}

void TSelectPanel::HorizontalRangeRows() {
    const int w = pnlRange->Width();
    const int h = pnlRange->Height();
    lblBegin->SetCaption(WordAt(beginWords_.get(), 0));
    lblBegin->SetBounds(2, (h - edBegin->Height()) / 2, lblBegin->Width(), edBegin->Height());
    const int top = lblBegin->Top();
    const int lblBeginRight = lblBegin->Left() + lblBegin->Width();
    edBegin->SetBounds(lblBeginRight + 1, top, edBegin->Width(), edBegin->Height());
    // The end word is measured as it will be shown.
    lblFinal->SetCaption(WordAt(finalWords_.get(), 0));
    int edWidth = 0;
    if (canOpenWin_)
        edWidth = (w - lblBegin->Left() - lblBegin->Width() - btnBegin->Width() -
                   lblFinal->Width() - btnFinal->Width() - 8) /
                      2 -
                  1;
    else // the end edit stays clear of the frame, as the end button does
        edWidth = (w - lblBegin->Left() - lblBegin->Width() - lblFinal->Width() - 8) / 2 - 1;
    edBegin->SetWidth(edWidth);
    const int edBeginRight = edBegin->Left() + edBegin->Width();
    int finalLeft = edBeginRight + 4;
    if (canOpenWin_) {
        btnBegin->SetBounds(edBeginRight + 2, top, btnBegin->Width(), btnBegin->Height());
        finalLeft = btnBegin->Left() + btnBegin->Width() + 2;
    }
    lblFinal->SetBounds(finalLeft, top, lblFinal->Width(), edFinal->Height());
    edFinal->SetBounds(lblFinal->Left() + lblFinal->Width() + 2, top, edWidth, edFinal->Height());
    if (canOpenWin_)
        btnFinal->SetBounds(edFinal->Left() + edFinal->Width() + 2, top, btnFinal->Width(),
                            btnFinal->Height());
}

void TSelectPanel::VerticalRangeRows() {
    const int w = pnlRange->Width();
    const int h = pnlRange->Height();
    lblBegin->SetCaption(WordAt(beginWords_.get(), 1));
    const int gap = (h - edBegin->Height() - edFinal->Height()) / 3;
    lblBegin->SetBounds(2, gap, lblBegin->Width(), edBegin->Height());
    const int top = lblBegin->Top();
    const int edLeft = lblBegin->Left() + lblBegin->Width() + 2;
    int edWidth = canOpenWin_ ? w - lblBegin->Left() - lblBegin->Width() - btnBegin->Width() - 4
                              : w - lblBegin->Left() - lblBegin->Width() - 2;
    edBegin->SetBounds(edLeft, top, edWidth, edBegin->Height());
    if (canOpenWin_)
        btnBegin->SetBounds(edBegin->Left() + edBegin->Width() + 1, top, btnBegin->Width(),
                            btnBegin->Height());
    lblFinal->SetCaption(WordAt(finalWords_.get(), 1));
    const int finalTop = gap + lblBegin->Top() + edBegin->Height();
    lblFinal->SetBounds(lblBegin->Left(), finalTop, lblFinal->Width(), edFinal->Height());
    edFinal->SetBounds(edBegin->Left(), finalTop, edBegin->Width(), edFinal->Height());
    if (canOpenWin_)
        btnFinal->SetBounds(btnBegin->Left(), finalTop, btnFinal->Width(), btnFinal->Height());
}

void TSelectPanel::ListLayout() {
    ListBox->SetBounds(ListBox->Left(), 0,
                       pnlDiscrete->Width() - ListBox->Left() - btnList->Width() - 3,
                       pnlDiscrete->Height());
    btnList->SetBounds(ListBox->Width() + 2, ListBox->Top(), btnList->Width(), btnList->Height());
    btnDelete->SetBounds(btnList->Left(), btnList->Top() + btnList->Height(), btnDelete->Width(),
                         btnDelete->Height());
    btnClear->SetBounds(btnList->Left(), btnDelete->Top() + btnDelete->Height(), btnClear->Width(),
                        btnClear->Height());
}

bool TSelectPanel::ParentReading() const {
    TWinControl* parent = Parent();
    if (parent == nullptr)
        return false;
    TComponentState s = parent->ComponentState();
    return s == TComponentState{csLoading, csReading} ||
           s == TComponentState{csLoading, csReading, csDesigning, csAncestor};
}

void TSelectPanel::SwapSize() {
    if (ParentReading())
        return;
    const int w = Width();
    const int h = Height();
    SetBounds(Left(), Top(), otherWidth_, otherHeight_);
    otherWidth_ = w;
    otherHeight_ = h;
}

void TSelectPanel::ShowPart(TSelectStyle style) {
    if (Designing())
        return;
    chkUserChoice->SetVisible(style == sp_UserChoice);
    const bool range = style == sp_Range || (chkUserChoice->Visible() && chkUserChoice->Checked());
    pnlRange->SetVisible(range);
    pnlDiscrete->SetVisible(!range);
    if (!ComponentState().Empty())
        SendSizeMessage();
}

} // namespace nuv
