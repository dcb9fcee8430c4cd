// How the selection panel's list compares its rows: by the locale's case-insensitive
// collation of a sort column with ties broken by the caption and column 1, and when two
// captions count as duplicates. Shared by the list (SelectList.cpp) and the panel.
#pragma once

#include "controls/SelectPnl.h"
#include "platform/UnicodeText.h"

#include <string>
#include <vector>

namespace nuv::selectrows {

// Collation keys of a row's caption, column 1 and the sort column, each made when a comparison
// first needs it (most comparisons are decided by the first column).
struct TSelectRowKeys {
    std::wstring key[3];
    bool made[3] = {false, false, false};
};

inline std::string ColumnText(TListItem* item, int column) {
    if (column == 0)
        return item->Caption();
    TStrings* subs = item->SubItems();
    return column - 1 < subs->Count() ? subs->Get(column - 1) : std::string();
}

inline std::string ColumnText(const std::vector<std::string>& row, int column) {
    return column < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(column)]
                                                 : std::string();
}

template <class Row> const std::wstring& KeyOf(TSelectRowKeys& keys, const Row& row, int column) {
    const int slot = column < 2 ? column : 2;
    if (!keys.made[slot]) {
        keys.key[slot] = LocaleCollationKey(ColumnText(row, column));
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
        int k = KeyOf(ka, a, c).compare(KeyOf(kb, b, c));
        r = k < 0 ? -1 : k > 0 ? 1 : 0;
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

inline bool SameCaption(const std::string& a, const std::string& b, TCheckDuplicate mode) {
    if (mode == cd_CaseInsensitive)
        return a == b || LocaleUpperWide(a) == LocaleUpperWide(b);
    return a == b;
}

} // namespace nuv::selectrows
