#include "controls/SelectPnl.h"

#include "platform/AsciiText.h"
#include "platform/CodePage.h"
#include "platform/DateTime.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <limits>
#include <unordered_map>
#include <utility>

namespace nuv {

// ---------------------------------------------------------------------------------------------
// Texts

namespace {

std::string TrimText(std::string_view s) {
    return std::string(TrimBlanks(s));
}

// UTF-8 to wide characters (UTF-32 here); a byte that starts no valid sequence becomes U+FFFD.
std::wstring WideOf(std::string_view utf8) {
    std::wstring w;
    w.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t n = Utf8SequenceLength(utf8, i);
        if (n == 0) {
            w.push_back(static_cast<wchar_t>(0xFFFD));
            ++i;
            continue;
        }
        auto c = static_cast<unsigned char>(utf8[i]);
        char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        for (std::size_t k = 1; k < n; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        w.push_back(static_cast<wchar_t>(cp));
        i += n;
    }
    return w;
}

// The text upper-cased with the locale's mapping (LC_CTYPE).
std::wstring FoldedOf(std::string_view utf8) {
    std::wstring w = WideOf(utf8);
    for (wchar_t& c : w)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return w;
}

// A key whose plain comparison is the locale's case-insensitive collation (LC_COLLATE of the
// upper-cased text).
std::wstring CollationKey(std::string_view utf8) {
    std::wstring folded = FoldedOf(utf8);
    std::size_t n = std::wcsxfrm(nullptr, folded.c_str(), 0);
    std::wstring key(n + 1, L'\0');
    std::wcsxfrm(key.data(), folded.c_str(), n + 1);
    key.resize(n);
    return key;
}

int Sign(int v) {
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}

// A decimal integer with an optional sign and nothing else; false for anything else and for a
// value that does not fit.
bool ReadInteger(std::string_view t, long long& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        negative = t[i++] == '-';
    if (i == t.size())
        return false;
    unsigned long long v = 0;
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1
                 : static_cast<unsigned long long>(std::numeric_limits<long long>::max());
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9')
            return false;
        unsigned d = static_cast<unsigned>(t[i] - '0');
        if (v > (limit - d) / 10)
            return false;
        v = v * 10 + d;
    }
    value = negative ? static_cast<long long>(0 - v) : static_cast<long long>(v);
    return true;
}

long long IntegerOr0(std::string_view t) {
    long long v = 0;
    return ReadInteger(TrimBlanks(t), v) ? v : 0;
}

std::size_t CodePoints(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

// A float range text rewritten as its integer part (read as an integer), "." and its fraction
// as typed, and the number it denotes. Under a mask the rewritten text keeps the mask's layout
// (integer part right-aligned before the point, fraction left-aligned after it), so that the
// mask puts every digit back in its place.
struct FloatText {
    std::string text;
    double value = 0;
};

FloatText RewriteFloat(std::string_view s, std::string_view layout) {
    std::size_t dot = s.find('.');
    std::string intPart = TrimText(dot == std::string_view::npos ? s : s.substr(0, dot));
    std::string frac = dot == std::string_view::npos ? std::string() : TrimText(s.substr(dot + 1));
    long long whole = 0;
    bool negative = false;
    if (ReadInteger(intPart, whole))
        negative = intPart[0] == '-';
    // "-0.5" keeps its sign: the integer part alone reads as 0.
    std::string intText = negative && whole == 0 ? "-0" : std::to_string(whole);
    FloatText r;
    r.text = dot == std::string_view::npos ? intText : intText + "." + frac;
    double fraction = 0, scale = 0.1;
    for (char c : frac) {
        if (c < '0' || c > '9')
            break;
        fraction += (c - '0') * scale;
        scale /= 10;
    }
    double magnitude = static_cast<double>(whole < 0 ? -whole : whole) + fraction;
    r.value = negative ? -magnitude : magnitude;
    std::size_t layoutDot = layout.find('.');
    if (dot != std::string_view::npos && layoutDot != std::string_view::npos) {
        std::size_t intWidth = CodePoints(layout.substr(0, layoutDot));
        std::size_t fracWidth = CodePoints(layout.substr(layoutDot + 1));
        if (intText.size() <= intWidth && CodePoints(frac) <= fracWidth)
            r.text = std::string(intWidth - intText.size(), ' ') + intText + "." + frac +
                     std::string(fracWidth - CodePoints(frac), ' ');
    }
    return r;
}

} // namespace

int LocaleCompareText(std::string_view a, std::string_view b) {
    return Sign(CollationKey(a).compare(CollationKey(b)));
}

// ---------------------------------------------------------------------------------------------
// Range values

double RangeDateValue(std::string_view text, std::string_view sep, TDateType layout,
                      std::string_view blankMaskText) {
    std::string t = TrimText(text);
    if (t.empty() || t == TrimBlanks(blankMaskText) || sep.empty())
        return 0;
    int count = 0;
    for (std::string_view rest = t;;) {
        std::size_t p = rest.find(sep);
        if (p == std::string_view::npos)
            break;
        ++count;
        rest = rest.substr(p + 1);
    }
    const std::string s(sep);
    if (count == 1) {
        // A date without day: the first of the month.
        switch (layout) {
        case dt_YYYYMMDD:
        case dt_YYMMDD:
        case dt_YYYMMDD:
            t = t + s + "01";
            break;
        case dt_MMDDYYYY: {
            std::size_t p = t.find(sep);
            t = t.substr(0, p) + s + "01" + t.substr(p);
            break;
        }
        case dt_DDMMYYYY:
            t = "01" + s + t;
            break;
        default:
            return 0;
        }
    } else if (count != 2) {
        return 0;
    }
    std::size_t p1 = t.find(sep);
    std::string_view rest = std::string_view(t).substr(p1 + sep.size());
    std::size_t p2 = rest.find(sep);
    long long part[3];
    const std::string_view texts[3] = {std::string_view(t).substr(0, p1), rest.substr(0, p2),
                                       rest.substr(p2 + sep.size())};
    for (int i = 0; i < 3; ++i)
        if (!ReadInteger(TrimBlanks(texts[i]), part[i]))
            return 0;
    long long y = 0, m = 0, d = 0;
    switch (layout) {
    case dt_YYYYMMDD:
        y = part[0], m = part[1], d = part[2];
        break;
    case dt_MMDDYYYY:
        y = part[2], m = part[0], d = part[1];
        break;
    case dt_DDMMYYYY:
        y = part[2], m = part[1], d = part[0];
        break;
    case dt_YYMMDD:
    case dt_YYYMMDD:
        y = part[0] + MinguoYearOffset, m = part[1], d = part[2];
        break;
    default:
        return 0;
    }
    TDateTime date = 0;
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31 ||
        !TryEncodeDate(static_cast<int>(y), static_cast<int>(m), static_cast<int>(d), date))
        return 0;
    return date;
}

bool OrderRangeTexts(const TRangeRules& rules, std::string& beginText, std::string& finalText) {
    std::string b = rules.KeepBlanks ? beginText : TrimText(beginText);
    std::string e = rules.KeepBlanks ? finalText : TrimText(finalText);
    // Under a mask the edits keep their texts as they stand: the mask pads them again anyway,
    // and taking leading blanks away would move the typed characters to other positions.
    const bool masked = !rules.BlankMaskText.empty();
    std::string writeBegin = masked ? beginText : b;
    std::string writeFinal = masked ? finalText : e;
    auto done = [&](bool exchange) {
        if (exchange)
            std::swap(writeBegin, writeFinal);
        beginText = std::move(writeBegin);
        finalText = std::move(writeFinal);
        return exchange;
    };
    if (b.empty() || e.empty())
        return done(false);
    const std::string blank = TrimText(rules.BlankMaskText);
    auto untouched = [&](const std::string& t) { return masked && TrimText(t) == blank; };
    auto discarded = [&](const std::string& t) {
        return rules.UseDiscard && TrimText(t) == rules.Discard;
    };
    // An untouched edit holds no value, whatever the value type.
    if (untouched(b) || untouched(e))
        return done(false);
    switch (rules.ValueType) {
    case vt_String:
    case vt_Time:
        if (discarded(b) || discarded(e))
            return done(false);
        return done(CompareCp950(b, e) > 0);
    case vt_Number:
        return done(IntegerOr0(b) > IntegerOr0(e));
    case vt_Date:
        if (!rules.AutoChangeDateSite || discarded(b) || discarded(e))
            return done(false);
        if (rules.DateType == dt_NoneCare)
            return done(CompareCp950(b, e) > 0);
        return done(RangeDateValue(b, rules.DateSign, rules.DateType, rules.BlankMaskText) >
                    RangeDateValue(e, rules.DateSign, rules.DateType, rules.BlankMaskText));
    case vt_Float: {
        FloatText fb = RewriteFloat(b, rules.BlankMaskText);
        FloatText fe = RewriteFloat(e, rules.BlankMaskText);
        writeBegin = fb.text;
        writeFinal = fe.text;
        return done(fb.value > fe.value);
    }
    case vt_OtherMask:
    default:
        return done(false);
    }
}

// ---------------------------------------------------------------------------------------------
// Row comparison of the list

// Collation keys of a row's caption, column 1 and the sort column, each made when a comparison
// first needs it (most comparisons are decided by the first column).
struct TSelectRowKeys {
    std::wstring key[3];
    bool made[3] = {false, false, false};
};

namespace {

std::string ColumnText(TListItem* item, int column) {
    if (column == 0)
        return item->Caption();
    TStrings* subs = item->SubItems();
    return column - 1 < subs->Count() ? subs->Get(column - 1) : std::string();
}

std::string ColumnText(const std::vector<std::string>& row, int column) {
    return column < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(column)]
                                                 : std::string();
}

template <class Row> const std::wstring& KeyOf(TSelectRowKeys& keys, const Row& row, int column) {
    const int slot = column < 2 ? column : 2;
    if (!keys.made[slot]) {
        keys.key[slot] = CollationKey(ColumnText(row, column));
        keys.made[slot] = true;
    }
    return keys.key[slot];
}

// By the sort column; ties by the caption and then column 1 (column 1 sorts: column 1, then
// the caption; another column k: column k, the caption, column 1).
template <class RowA, class RowB>
int CompareRowsBy(TSelectRowKeys& ka, const RowA& a, TSelectRowKeys& kb, const RowB& b,
                  int sortColumn, bool ascending) {
    int c = sortColumn;
    int r = 0;
    for (;;) {
        r = Sign(KeyOf(ka, a, c).compare(KeyOf(kb, b, c)));
        if (r != 0)
            break;
        if (c == 0 && sortColumn != 1)
            c = 1;
        else if (sortColumn > 0 && c == sortColumn)
            c = 0;
        else
            break;
    }
    return ascending ? r : -r;
}

bool SameCaption(const std::string& a, const std::string& b, TCheckDuplicate mode) {
    if (mode == cd_CaseInsensitive)
        return a == b || FoldedOf(a) == FoldedOf(b);
    return a == b;
}

// Runs a function when the scope ends.
template <class F> class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() { f_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F f_;
};

} // namespace

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
// TBrelListView

namespace {
// Pixels the list draws round the text of a cell (both sides together), plus a little air.
constexpr int ColumnCellMargin = 8;
} // namespace

const TClassInfo& TBrelListView::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TBrelListView", &TListView::StaticClassInfo())
            .Bool<TBrelListView>("ColumnsAutoSize", &TBrelListView::ColumnsAutoSize,
                                 &TBrelListView::SetColumnsAutoSize);
    return info;
}

TBrelListView::TBrelListView(TComponent* owner)
    : TListView(owner), panel_(dynamic_cast<TSelectPanel*>(owner)) {}

TBrelListView::~TBrelListView() = default;

void TBrelListView::SetColumnsAutoSize(bool value) {
    columnsAutoSize_ = value;
}

void TBrelListView::SetIncrementalRules(bool value) {
    incremental_ = value;
    state_.valid = false;
}

bool TBrelListView::StateUsable() const {
    return incremental_ && state_.valid && state_.count == Items()->Count() &&
           state_.columns == Columns()->Count();
}

void TBrelListView::CountRow(TListItem* item, int sign) {
    auto count = [&](int column, const std::string& text) {
        int len = Cp950ByteLength(text);
        if (len <= 0 || column >= static_cast<int>(state_.lengths.size()))
            return;
        auto& m = state_.lengths[static_cast<std::size_t>(column)];
        if ((m[len] += sign) <= 0)
            m.erase(len);
    };
    count(0, item->Caption());
    TStrings* subs = item->SubItems();
    for (int k = 0; k < subs->Count(); ++k)
        count(k + 1, subs->Get(k));
}

void TBrelListView::RebuildState() {
    state_ = RowState{};
    state_.columns = Columns()->Count();
    state_.lengths.resize(static_cast<std::size_t>(state_.columns));
    TListItems* items = Items();
    state_.count = items->Count();
    for (int i = 0; i < state_.count; ++i) {
        TListItem* it = items->Item(i);
        state_.subItems = std::max(state_.subItems, it->SubItems()->Count());
        CountRow(it, +1);
    }
    state_.valid = true;
}

void TBrelListView::DeleteRow(int index) {
    bool track = StateUsable();
    if (track)
        CountRow(Items()->Item(index), -1);
    Items()->Delete(index);
    if (track)
        state_.count = Items()->Count();
    else
        state_.valid = false;
}

int TBrelListView::PlaceFor(const std::vector<std::string>& row) const {
    int n = Items()->Count();
    if (panel_ == nullptr || !panel_->SortListBox())
        return n;
    const int column = panel_->SortColumn();
    const bool ascending = panel_->SortAscending();
    TSelectRowKeys key;
    int lo = 0, hi = n;
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        TSelectRowKeys probe;
        if (CompareRowsBy(key, row, probe, Items()->Item(mid), column, ascending) < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

void TBrelListView::PadAllRows(int subItems) {
    TListItems* items = Items();
    items->BeginUpdate();
    ScopeExit end([items] { items->EndUpdate(); });
    for (int i = 0; i < items->Count(); ++i) {
        TStrings* subs = items->Item(i)->SubItems();
        while (subs->Count() < subItems)
            subs->Add("");
    }
}

void TBrelListView::RemoveNeighbourDuplicates(int index) {
    TCheckDuplicate mode = panel_ != nullptr ? panel_->CheckDuplicate() : cd_None;
    if (mode == cd_None)
        return;
    // The rows held no neighbouring duplicates before: only the pairs with the new row can be
    // equal. They are compared as a walk from the last row up would compare them.
    TListItems* items = Items();
    if (index + 1 < items->Count() &&
        SameCaption(items->Item(index + 1)->Caption(), items->Item(index)->Caption(), mode))
        DeleteRow(index + 1);
    if (index >= 1 &&
        SameCaption(items->Item(index)->Caption(), items->Item(index - 1)->Caption(), mode))
        DeleteRow(index);
}

std::vector<int> TBrelListView::WalkMaxBytes() const {
    int columns = Columns()->Count();
    std::vector<int> maxBytes(static_cast<std::size_t>(columns), 0);
    TListItems* items = Items();
    for (int i = 0; i < items->Count(); ++i) {
        TListItem* it = items->Item(i);
        if (columns > 0)
            maxBytes[0] = std::max(maxBytes[0], Cp950ByteLength(it->Caption()));
        TStrings* subs = it->SubItems();
        for (int k = 1; k < columns && k - 1 < subs->Count(); ++k)
            maxBytes[static_cast<std::size_t>(k)] =
                std::max(maxBytes[static_cast<std::size_t>(k)], Cp950ByteLength(subs->Get(k - 1)));
    }
    return maxBytes;
}

void TBrelListView::ApplyWidths(const std::vector<int>& maxBytes) {
    // "W" per byte is room enough for the text itself (a double-byte character is at most two
    // of them wide); the list draws a margin round every cell's text, which comes on top, or a
    // text that just fits would be cut short with an ellipsis.
    const int w = WidthOfW();
    const int columns = Columns()->Count();
    state_.sizedColumns.resize(static_cast<std::size_t>(columns), nullptr);
    state_.sizedWidths.resize(static_cast<std::size_t>(columns), -1);
    for (int k = 0; k < columns; ++k) {
        TListColumn* c = Column(k);
        auto uk = static_cast<std::size_t>(k);
        int bytes =
            std::max(Cp950ByteLength(c->Caption()), uk < maxBytes.size() ? maxBytes[uk] : 0);
        int width = w * bytes + ColumnCellMargin;
        // Setting a width lays every row out again; leave a column alone that already has it.
        if (state_.sizedColumns[uk] == c && state_.sizedWidths[uk] == width && c->Width() == width)
            continue;
        c->SetWidth(width);
        state_.sizedColumns[uk] = c;
        state_.sizedWidths[uk] = width;
    }
}

int TBrelListView::WidthOfW() const {
    // Measuring shapes the text: keep the width while the font stays the same.
    const TFont* f = Font();
    std::string font = f->Name() + "/" + std::to_string(f->Height()) + "/" +
                       std::to_string(f->Style().Bits()) + "/" +
                       std::to_string(static_cast<int>(f->Pitch()));
    if (font != widthOfWFont_) {
        widthOfW_ = StringWidth("W");
        widthOfWFont_ = font;
    }
    return widthOfW_;
}

void TBrelListView::AutoSizeColumns() {
    state_.sizedColumns.clear();
    state_.sizedWidths.clear();
    ApplyWidths(WalkMaxBytes());
}

bool TBrelListView::AddItem(const std::vector<std::string>& Values) {
    const int n = static_cast<int>(Values.size());
    if (n == 0)
        return false;
    adding_ = true;
    ScopeExit end([this] { adding_ = false; });
    TComponentRef<TControl> self(this);
    try {
        bool fast = StateUsable();
        TListItems* items = Items();
        while (Columns()->Count() <= n - 1) {
            TListColumn* c = Columns()->Add();
            c->SetCaption("Data" + std::to_string(Columns()->Count()));
        }
        if (fast) {
            state_.columns = Columns()->Count();
            state_.lengths.resize(static_cast<std::size_t>(state_.columns));
        } else if (panel_ != nullptr && panel_->SortListBox()) {
            // Rows may have changed behind the list's back: make sure the order holds.
            for (int i = 1; i < items->Count(); ++i)
                if (panel_->CompareRows(items->Item(i - 1), items->Item(i)) > 0) {
                    SortRows();
                    break;
                }
        }
        int pos = PlaceFor(Values);
        TListItem* item = items->Insert(pos);
        item->SetCaption(Values[0]);
        if (!self)
            return false;
        int room = Columns()->Count() - 1;
        for (int i = 1; i < n && i - 1 < room; ++i)
            item->SubItems()->Add(Values[static_cast<std::size_t>(i)]);
        // A handler may refuse the caption; the row then stands where another caption belongs.
        if (item->Caption() != Values[0])
            fast = false;
        if (fast) {
            int k = item->SubItems()->Count();
            if (k > state_.subItems) {
                PadAllRows(k);
                state_.subItems = k;
            } else {
                while (item->SubItems()->Count() < state_.subItems)
                    item->SubItems()->Add("");
            }
            CountRow(item, +1);
            state_.count = items->Count();
            RemoveNeighbourDuplicates(pos);
            if (columnsAutoSize_) {
                std::vector<int> maxBytes;
                for (const auto& m : state_.lengths)
                    maxBytes.push_back(m.empty() ? 0 : m.rbegin()->first);
                ApplyWidths(maxBytes);
            }
        } else {
            state_.valid = false;
            int most = 0;
            for (int i = 0; i < items->Count(); ++i)
                most = std::max(most, items->Item(i)->SubItems()->Count());
            PadAllRows(most);
            if (panel_ != nullptr)
                panel_->RemoveDuplicates();
            if (columnsAutoSize_)
                AutoSizeColumns();
            if (incremental_)
                RebuildState();
        }
        return true;
    } catch (const std::exception&) {
        if (self)
            state_.valid = false;
        return false;
    }
}

void TBrelListView::ClearItems() {
    Items()->Clear();
    RebuildState();
}

bool TBrelListView::DeleteSelected() {
    TListItems* items = Items();
    std::vector<int> rows;
    for (int i = 0; i < items->Count(); ++i)
        if (items->Item(i)->Selected())
            rows.push_back(i);
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        DeleteRow(*it);
    return !rows.empty();
}

void TBrelListView::SortRows() {
    if (panel_ == nullptr)
        return;
    const int column = panel_->SortColumn();
    const bool ascending = panel_->SortAscending();
    std::unordered_map<TListItem*, TSelectRowKeys> keys;
    TListItems* items = Items();
    keys.reserve(static_cast<std::size_t>(items->Count()));
    for (int i = 0; i < items->Count(); ++i)
        keys.emplace(items->Item(i), TSelectRowKeys{});
    CustomSort(
        [&](TListItem* a, TListItem* b, std::intptr_t) {
            return CompareRowsBy(keys.at(a), a, keys.at(b), b, column, ascending);
        },
        0);
    // Rows that were apart may now be neighbours: the next row added checks the whole list.
    state_.valid = false;
}

void TBrelListView::Change(TListItem* item, TItemChange change) {
    TComponentRef<TControl> self(this);
    TListView::Change(item, change);
    if (!self || change != ctText || adding_)
        return;
    // A caption changed from outside: a sorted list takes the row to its new place.
    state_.valid = false;
    if (!bulk_ && panel_ != nullptr && panel_->SortListBox())
        SortRows();
}

void TBrelListView::ColClick(TListColumn* column) {
    TComponentRef<TControl> self(this);
    if (panel_ != nullptr)
        panel_->SortByColumn(column->Index());
    if (self)
        TListView::ColClick(column);
}

void TBrelListView::WndProc(TMessage& message) {
    // A click first takes the focus; a click that cannot move the focus here changes nothing
    // (an exit check elsewhere may have kept it).
    if (message.Msg == WM_LBUTTONDOWN && !Focused()) {
        TComponentRef<TControl> self(this);
        if (CanFocus())
            SetFocus();
        if (!self || !Focused())
            return;
    }
    TListView::WndProc(message);
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
