#include "RequestCheck.h"

#include "forms/ScheduleRules.h"
#include "platform/AsciiText.h"
#include "support/LibStrs.h"

#include <cmath>

namespace nuv {

namespace {

[[noreturn]] void Refuse(const std::string& why) {
    throw ERequestRefused(why);
}

// Bounds check of a one-dimensional array: low..high, high unchecked when -2.
bool IsArray1(const Variant& v, int low, int high = -2) {
    return v.IsArray() && v.ArrayDimCount() == 1 && v.ArrayLowBound() == low &&
           (high == -2 || v.ArrayHighBound() == high);
}

std::string Where(int i) {
    return "header element " + std::to_string(i);
}

const Variant& HeaderText(const Variant& h, int i, const char* what, bool nonEmpty) {
    const Variant& v = h[i];
    if (!v.IsText())
        Refuse(Where(i) + " (" + what + ") must be a text, not " + v.TypeName());
    if (nonEmpty && detail::Trim(v.ToString()).empty())
        Refuse(Where(i) + " (" + what + ") is empty");
    return v;
}

int HeaderInt(const Variant& h, int i, const char* what, int low, int high) {
    const Variant& v = h[i];
    bool whole = v.Type() == VarType::Integer ||
                 (v.Type() == VarType::Double && std::floor(v.ToDouble()) == v.ToDouble() &&
                  std::fabs(v.ToDouble()) < 2e9);
    if (!whole)
        Refuse(Where(i) + " (" + what + ") must be an integer, not " + v.TypeName() + " '" +
               v.ToString() + "'");
    int n = v.ToInt();
    if (n < low || n > high)
        Refuse(Where(i) + " (" + what + ") is " + std::to_string(n) + ", outside " +
               std::to_string(low) + ".." + std::to_string(high));
    return n;
}

double HeaderDate(const Variant& h, int i, const char* what) {
    const Variant& v = h[i];
    if (v.Type() != VarType::Date)
        Refuse(Where(i) + " (" + what + ") must be a date-time, not " + v.TypeName());
    double d = v.ToDate();
    if (!(d > 0 && d < 2958466)) // 9999-12-31
        Refuse(Where(i) + " (" + what + ") is not a usable date-time");
    return d;
}

bool IsPlain(const Variant& v) {
    switch (v.Type()) {
    case VarType::Text:
    case VarType::ByteText:
    case VarType::Integer:
    case VarType::Double:
    case VarType::Boolean:
    case VarType::Date:
    case VarType::Empty:
    case VarType::Null:
        return true;
    default:
        return false;
    }
}

void CheckConditionValue(const Variant& v, int i) {
    const std::string where = "condition data element " + std::to_string(i);
    if (v.IsEmptyOrNull())
        Refuse(where + " is " + (v.IsNull() ? "Null" : "unassigned"));
    // A text, or a check box's state as a Boolean (the report settings send their printing
    // options so).
    if (v.IsText() || v.Type() == VarType::Boolean)
        return;
    if (!v.IsArray() || v.ArrayDimCount() != 1)
        Refuse(where + " must be a text, a Boolean or a one-dimensional array, not " +
               v.TypeName());
    const int low = v.ArrayLowBound(), high = v.ArrayHighBound();
    const std::string marker = low == 0 && high >= 0 && v[0].IsText() ? v[0].ToString() : "";
    if (marker == RangeMarker) {
        if (high != 2 || !v[1].IsText() || !v[2].IsText())
            Refuse(where + " is a range but not [code 4, begin text, end text]");
        return;
    }
    if (marker == ListMarker) {
        for (int k = 1; k <= high; ++k) {
            const Variant& row = v[k];
            if (!row.IsArray() || row.ArrayDimCount() != 1)
                Refuse(where + " is a list whose row " + std::to_string(k) + " is no array");
            for (int c = row.ArrayLowBound(); c <= row.ArrayHighBound(); ++c)
                if (!row[c].IsText())
                    Refuse(where + " is a list whose row " + std::to_string(k) +
                           " holds a value that is not a text");
        }
        return;
    }
    for (int k = low; k <= high; ++k)
        if (!IsPlain(v[k]))
            Refuse(where + " holds a nested " + v[k].TypeName() + " at index " + std::to_string(k));
}

void CheckDynamicList(const Variant& request, const TJobRequest& job) {
    const Variant& list = request[4];
    if (!IsArray1(list, 0) || list.ArrayHighBound() < 0)
        Refuse("request element 4 (the moved-date rules) must be an array [n, line 1, ..]");
    if (list[0].Type() != VarType::Integer || list[0].ToInt() != list.ArrayHighBound())
        Refuse("request element 4 must start with its number of lines, " +
               std::to_string(list.ArrayHighBound()) + ", not '" + list[0].ToString() + "'");
    const Variant& data = request[2];
    for (int i = 1; i <= list.ArrayHighBound(); ++i) {
        const std::string where = "moved-date rule " + std::to_string(i);
        if (!list[i].IsText())
            Refuse(where + " is not a text");
        const std::string line = list[i].ToString();
        DynamicEntry e;
        try {
            e = DynamicEntry::FromLine(line);
        } catch (const Exception& ex) {
            Refuse(where + " cannot be read: " + ex.what());
        }
        if (e.Kind != DynamicSingleDate && e.Kind != DynamicDateRange)
            Refuse(where + " has the unknown kind '" + e.Kind + "'");
        const std::string pos =
            GetDelimitedField(line, DynamicFieldSeparator, e.IsRange() ? 14 : 9);
        int at = 0;
        try {
            std::size_t used = 0;
            at = std::stoi(pos, &used);
            if (used != pos.size())
                at = 0;
        } catch (const std::exception&) {
        }
        if (at < 1 || at > job.ConditionCount)
            Refuse(where + " points at condition '" + pos + "', not one of 1.." +
                   std::to_string(job.ConditionCount));
        const Variant& v = data[at];
        if (e.IsRange() ? !(v.IsArray() && v.ArrayDimCount() == 1 && v.ArrayHighBound() >= 2)
                        : !v.IsText())
            Refuse(where + " is a " + (e.IsRange() ? "range" : "single date") +
                   " rule but condition " + std::to_string(at) + " is not one");
    }
}

} // namespace

TJobRequest CheckRequestShape(const Variant& request) {
    if (!request.IsArray() || request.ArrayDimCount() != 1 || request.ArrayLowBound() != 0)
        Refuse("the request must be an array [header, condition texts, condition data]");
    const int top = request.ArrayHighBound();
    if (top != 2 && top != 4)
        Refuse("the request has elements 0.." + std::to_string(top) +
               "; it must have 0..2, or 0..4 for a periodic job");

    const Variant& h = request[0];
    if (!h.IsArray() || h.ArrayDimCount() != 1 || h.ArrayLowBound() != 1)
        Refuse("the header (request element 0) must be an array with lower bound 1");
    const int size = h.ArrayHighBound();
    if (size != 9 && size != 12 && size != 14)
        Refuse("the header has " + std::to_string(size) + " elements; it must have 9, 12 or 14");
    for (int i = 1; i <= size; ++i)
        if (h[i].IsEmptyOrNull())
            Refuse(Where(i) + " is " + (h[i].IsNull() ? "Null" : "unassigned"));

    TJobRequest job;
    job.Program = UpperAscii(detail::Trim(HeaderText(h, 1, "program", true).ToString()));
    HeaderInt(h, 2, "header size", size, size);
    job.ConditionCount = HeaderInt(h, 3, "condition count", 0, 10000);
    job.Company = HeaderText(h, 4, "company", false).ToString();
    job.UserCode = std::string(detail::Trim(HeaderText(h, 5, "user", true).ToString()));
    job.DataSource = HeaderText(h, 6, "data source", false).ToString();
    job.RunAt = HeaderDate(h, 7, "time of the request");
    HeaderText(h, 8, "server class", false);
    const std::string cls = HeaderText(h, 9, "request class", true).ToString();
    if (cls.size() != 1 || !((cls[0] >= 'A' && cls[0] <= 'Z') || (cls[0] >= 'a' && cls[0] <= 'z')))
        Refuse(Where(9) + " (request class) must be one letter, not '" + cls + "'");
    job.Periodic = cls[0] >= 'a';
    if (size >= 12) {
        job.RunMode = HeaderInt(h, 10, "run mode", 0, 2);
        job.RunAt = HeaderDate(h, 11, "time to run");
        job.NotifyMode = HeaderInt(h, 12, "notification", 1, 4);
    }
    if (size >= 14) {
        HeaderInt(h, 13, "report outputs", 1, 7);
        HeaderText(h, 14, "report header text", false);
    }

    const int n = job.ConditionCount;
    const Variant& texts = request[1];
    const Variant& data = request[2];
    if (!IsArray1(texts, 1))
        Refuse("the condition texts (request element 1) must be an array with lower bound 1");
    if (!IsArray1(data, 1))
        Refuse("the condition data (request element 2) must be an array with lower bound 1");
    if (texts.ArrayHighBound() != n || data.ArrayHighBound() != n)
        Refuse("the header counts " + std::to_string(n) + " conditions but there are " +
               std::to_string(texts.ArrayHighBound()) + " condition texts and " +
               std::to_string(data.ArrayHighBound()) + " condition values");
    for (int i = 1; i <= n; ++i) {
        const Variant& t = texts[i];
        if (!t.IsArray() || t.ArrayCount() != 2 || !t[t.ArrayLowBound()].IsText() ||
            !t[t.ArrayLowBound() + 1].IsText() ||
            detail::Trim(t[t.ArrayLowBound() + 1].ToString()).empty())
            Refuse("condition text element " + std::to_string(i) +
                   " must be [caption, component name] with a component name");
        CheckConditionValue(data[i], i);
    }

    if (job.Periodic != (top == 4))
        Refuse(job.Periodic ? "a periodic request (request class '" + cls +
                                  "') needs the schedule and the moved-date rules as elements 3 "
                                  "and 4"
                            : "the request has a schedule but its class '" + cls +
                                  "' is not that of a periodic job (lower case)");
    if (job.Periodic) {
        if (size < 12 || job.RunMode != 2)
            Refuse("a periodic request must have run mode 2 (at the given time)");
        try {
            job.Schedule = TSchedule::FromRecord(request[3]);
        } catch (const ERequestRefused&) {
            throw;
        } catch (const Exception& e) {
            Refuse(e.what());
        }
        CheckDynamicList(request, job);
        try {
            ConditionsForRun(request, job.Schedule->Start);
        } catch (const Exception& e) {
            Refuse(std::string("the moved-date rules cannot be applied: ") + e.what());
        }
    }
    return job;
}

Variant ConditionsForRun(const Variant& request, const std::string& runDate) {
    if (request.ArrayHighBound() < 4)
        return request[2];
    Variant block = Variant::CreateArray({ArrayBounds{1, 3}});
    block[1] = request[2];
    block[2] = request[3];
    block[3] = request[4];
    Variant moved = ApplyDynamicDates(block, runDate);
    if (!moved.IsArray())
        throw Exception("a rule does not fit the condition it points at");
    return moved;
}

} // namespace nuv
