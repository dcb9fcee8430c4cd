#include "forms/UserConditionSet.h"

#include "platform/UnicodeText.h"

#include <algorithm>

namespace nuv {

namespace {

constexpr const char* StyleNames[] = {"sp_Range", "sp_Discrete", "sp_UserChoice"};

bool IsList(const Variant& v) {
    return v.IsArray() && v.ArrayDimCount() == 1;
}

// The elements of a one-dimensional array from its low bound on.
int CountOf(const Variant& v) {
    return IsList(v) ? v.ArrayCount() : 0;
}

const Variant& At(const Variant& v, int i) {
    return v[v.ArrayLowBound() + i];
}

// A value that reads as one text: texts, numbers, Booleans; unassigned and Null read as empty.
bool IsScalar(const Variant& v) {
    return v.IsText() || v.IsNumeric() || v.IsEmptyOrNull() || v.Type() == VarType::Boolean;
}

std::string ScalarText(const Variant& v) {
    return v.IsEmptyOrNull() ? std::string() : v.ToString();
}

} // namespace

std::string SelectStyleName(int style) {
    return style >= 0 && style < 3 ? StyleNames[style] : "";
}

int SelectStyleOfName(const std::string& name) {
    for (int i = 0; i < 3; ++i)
        if (name == StyleNames[i])
            return i;
    return -1;
}

Variant StoredLine(const TConditionLine& line) {
    return Variant::ArrayOf({TrimText(line.Name), line.Value, line.Style, line.RangeActive});
}

Variant StoredSet(const std::vector<TConditionLine>& lines) {
    std::vector<Variant> items;
    items.reserve(lines.size());
    for (const TConditionLine& line : lines)
        items.push_back(StoredLine(line));
    return Variant::ArrayOf(std::move(items));
}

std::string JoinRange(const std::string& begin, const std::string& end) {
    return begin + RangeSeparator + end;
}

void SplitRange(const std::string& text, std::string& begin, std::string& end) {
    const auto at = text.find(RangeSeparator);
    begin = text.substr(0, at);
    end = at == std::string::npos ? std::string() : text.substr(at + 1);
}

Variant StoredRows(const TStoredRows& rows) {
    if (rows.empty())
        return Variant("");
    std::vector<Variant> items;
    items.reserve(rows.size());
    for (const auto& row : rows) {
        std::vector<Variant> cells(row.begin(), row.end());
        items.push_back(Variant::ArrayOf(std::move(cells)));
    }
    return Variant::ArrayOf(std::move(items));
}

bool ReadStoredRows(const Variant& value, TStoredRows& rows, int& Skipped) {
    rows.clear();
    if (value.IsEmptyOrNull() || (value.IsText() && value.ToString().empty()))
        return true;
    if (!IsList(value))
        return false;
    for (int i = 0; i < value.ArrayCount(); ++i) {
        const Variant& row = At(value, i);
        std::vector<std::string> cells;
        bool ok = IsList(row) && row.ArrayCount() > 0;
        for (int j = 0; ok && j < row.ArrayCount(); ++j) {
            const Variant& cell = At(row, j);
            ok = IsScalar(cell);
            if (ok)
                cells.push_back(ScalarText(cell));
        }
        if (ok)
            rows.push_back(std::move(cells));
        else
            ++Skipped;
    }
    return true;
}

std::vector<TSetRow> ReadSetList(const Variant& answer) {
    std::vector<TSetRow> rows;
    if (CountOf(answer) < 1 || !At(answer, 0).IsNumeric())
        return rows;
    const int n = std::min(At(answer, 0).ToInt(), CountOf(answer) - 1);
    for (int i = 1; i <= n; ++i) {
        const Variant& r = At(answer, i);
        if (CountOf(r) < 4 || !IsScalar(At(r, 0)) || !IsScalar(At(r, 1)) || !IsScalar(At(r, 2)) ||
            !IsScalar(At(r, 3)))
            continue;
        rows.push_back({ScalarText(At(r, 0)), ScalarText(At(r, 1)), ScalarText(At(r, 2)),
                        ScalarText(At(r, 3))});
    }
    return rows;
}

TLoadedSet ReadLoadedSet(const Variant& answer) {
    TLoadedSet set;
    if (CountOf(answer) < 1 || !At(answer, 0).IsNumeric())
        return set;
    const int stated = At(answer, 0).ToInt();
    const int n = std::min(stated, CountOf(answer) - 1);
    for (int i = 1; i <= n; ++i) {
        const Variant& l = At(answer, i);
        const std::string where = "#" + std::to_string(i);
        if (CountOf(l) < 2 || !At(l, 0).IsText() || TrimText(At(l, 0).ToString()).empty()) {
            set.Skipped.push_back(where + " (格式不符)");
            continue;
        }
        TConditionLine line;
        line.Name = TrimText(At(l, 0).ToString());
        line.Value = At(l, 1);
        if (l.ArrayCount() > 2 && IsScalar(At(l, 2)))
            line.Style = ScalarText(At(l, 2));
        if (l.ArrayCount() > 3 && IsScalar(At(l, 3)))
            line.RangeActive = ScalarText(At(l, 3));
        set.Lines.push_back(std::move(line));
    }
    if (stated > n)
        set.Skipped.push_back("#" + std::to_string(n + 1) + "-#" + std::to_string(stated) +
                              " (缺少資料)");
    return set;
}

} // namespace nuv
