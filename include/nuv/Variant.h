// Variant: the value that the plug-in exchanges with its host, the host's service objects
// and the application server.
//
// A Variant holds one of: unassigned, Null, Boolean, 32-bit integer, double, date (days since
// 1899-12-30 as a double, 0 meaning "no date"), text (Unicode, UTF-8 in a std::string), byte
// text (8-bit text together with the code page it is written in), an automation object, an
// array of Variants with one or two dimensions and any lower bounds, or a reference to another
// Variant (used only for by-reference arguments of automation calls).
//
// The class is header-only on purpose: a host program compiles against include/nuv/ alone and
// exchanges these values with the plug-in, so both sides must agree on the layout without
// linking a common library. Arrays have value semantics: copying a Variant copies its array.
//
// Conversions follow the rules that Delphi-era callers rely on: Null and unassigned read as
// text give the empty text; reading Null as a number or Boolean fails; a Boolean True reads as
// the integer -1; texts are read as numbers when they hold one, in the Delphi number grammar
// (see detail::ParseIntegerText and detail::ParseFloatText).
//
// Values come from outside (a host, a server frame), so every shape is checked: array bounds
// and indexes are computed in 64 bits, an array holds at most MaxVariantArrayElements
// elements, copying, comparing and freeing never recurse (any depth of nesting is safe), and a
// by-reference Variant can never come to refer to itself.
#pragma once

#include <nuv/CodePageText.h>
#include <nuv/Exception.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace nuv {

class IDispatch;

// Most elements one Variant array may hold, and most elements along one dimension. Requests,
// host value tables and look-up results hold hundreds to a few hundred thousand elements; the
// cap leaves ample room for them while a hostile shape (INT_MIN..INT_MAX, 100,000 x 100,000)
// is refused with EVariantError long before memory runs out: 4,194,304 unassigned elements
// take about 170 MB.
inline constexpr std::int64_t MaxVariantArrayElements = std::int64_t{1} << 22;

// Deepest nesting of arrays inside arrays that code walking a Variant recursively accepts (the
// request's deepest value is an array in an array in an array, about four levels). The Variant
// itself copies, compares and frees any depth without recursion; recursive walkers (text
// widening, the server's frame coder) refuse anything deeper with EVariantError, which also
// ends a walk that a reference inside an array leads back into the array that holds it.
inline constexpr int MaxVariantNesting = 64;

enum class VarType : std::uint8_t {
    Empty, // unassigned
    Null,
    Boolean,
    Integer, // 32-bit signed
    Double,
    Date,     // days since 1899-12-30
    Text,     // Unicode text, UTF-8
    ByteText, // 8-bit text in a code page
    Dispatch, // automation object
    Array,
    ByRef // reference to another Variant (automation arguments)
};

// Intrusive, reference-counted pointer to an automation object. Defined in Automation.h;
// declared here so that a Variant can hold one.
class DispatchPtr;

namespace detail {
struct DispatchHolder;
struct ArrayHolder;
} // namespace detail

class Variant;

// Bounds of one array dimension.
struct ArrayBounds {
    int low = 0;
    int high = -1;
    // Element count, computed in 64 bits: INT_MIN..INT_MAX holds 2^32 elements.
    std::int64_t Count() const {
        return high >= low ? std::int64_t{high} - std::int64_t{low} + 1 : 0;
    }
};

// The storage of a Variant array: bounds per dimension and the elements with the first
// index varying fastest (column-major, as the platform lays out its arrays).
struct VariantArray {
    std::vector<ArrayBounds> bounds;
    std::vector<Variant> items;
};

class Variant {
public:
    Variant() noexcept = default;
    Variant(bool v) : value_(v) {}
    Variant(int v) : value_(static_cast<std::int32_t>(v)) {}
    Variant(double v) : value_(v) {}
    Variant(const char* v) : value_(std::string(v ? v : "")) {}
    Variant(std::string v) : value_(std::move(v)) {}
    Variant(std::string_view v) : value_(std::string(v)) {}
    Variant(const DispatchPtr& obj);
    // Other integral types are deliberately not implicit: a Variant integer is 32 bits.
    Variant(long) = delete;
    Variant(unsigned) = delete;

    // Copies deep-copy arrays, without recursion. A moved-from Variant is unassigned.
    Variant(const Variant& o);
    Variant(Variant&& o) noexcept : value_(std::move(o.value_)) { o.value_ = std::monostate{}; }
    // Assigning a by-reference Variant makes this one refer to the final target of its chain;
    // when that target is this Variant itself, EVariantError is raised and nothing changes.
    Variant& operator=(const Variant& o);
    Variant& operator=(Variant&& o);
    // Frees nested arrays without recursion.
    ~Variant();

    // --- construction of the other kinds -------------------------------------------------
    static Variant MakeNull() {
        Variant v;
        v.value_ = NullTag{};
        return v;
    }
    static Variant FromDate(double days) {
        Variant v;
        v.value_ = DateValue{days};
        return v;
    }
    static Variant FromBytes(std::string bytes, int codePage) {
        Variant v;
        v.value_ = ByteTextValue{std::move(bytes), codePage};
        return v;
    }
    // Array with the given bounds, one entry per dimension (one or two); elements unassigned.
    // Raises EVariantError for bounds with high < low - 1 and for more elements than
    // MaxVariantArrayElements (in all or along one dimension).
    static Variant CreateArray(std::initializer_list<ArrayBounds> dims) {
        return CreateArray(std::vector<ArrayBounds>(dims));
    }
    static Variant CreateArray(const std::vector<ArrayBounds>& dims);
    // One-dimensional array with lower bound 0 holding the given values.
    static Variant ArrayOf(std::initializer_list<Variant> items);
    static Variant ArrayOf(std::vector<Variant> items);
    // Reference to target, for passing an argument by reference. The target must outlive it.
    // A reference to a reference refers to the final target of the chain, so references never
    // form a cycle (see operator=).
    static Variant ByRef(Variant& target) {
        Variant v;
        v.value_ = RefValue{&target.Deref()};
        return v;
    }

    // --- inspection -----------------------------------------------------------------------
    VarType Type() const { return static_cast<VarType>(Deref().value_.index()); }
    bool IsEmpty() const { return Type() == VarType::Empty; }
    bool IsNull() const { return Type() == VarType::Null; }
    bool IsEmptyOrNull() const { return IsEmpty() || IsNull(); }
    bool IsArray() const { return Type() == VarType::Array; }
    bool IsText() const { return Type() == VarType::Text || Type() == VarType::ByteText; }
    bool IsNumeric() const {
        VarType t = Type();
        return t == VarType::Integer || t == VarType::Double || t == VarType::Boolean;
    }
    bool IsObject() const { return Type() == VarType::Dispatch; }
    // True for a by-reference Variant (the argument slot itself, not its target).
    bool IsByRef() const { return value_.index() == static_cast<std::size_t>(VarType::ByRef); }
    // The Variant a reference points to; the Variant itself when it is no reference.
    Variant& Deref() {
        Variant* v = this;
        while (auto* r = std::get_if<RefValue>(&v->value_))
            v = r->target;
        return *v;
    }
    const Variant& Deref() const { return const_cast<Variant*>(this)->Deref(); }
    // Name of the kind, as used in conversion error messages.
    const char* TypeName() const;

    // --- conversions ----------------------------------------------------------------------
    // Text: unassigned and Null give "", Booleans "True"/"False", numbers in plain decimal.
    std::string ToString() const;
    // Integer: Booleans give -1/0, doubles are rounded half to even, texts are parsed
    // (integer, then floating point). Null, arrays and other texts raise EVariantError.
    std::int32_t ToInt() const;
    std::int32_t ToIntDef(std::int32_t def) const;
    double ToDouble() const;
    // Boolean: numbers are true when non-zero; texts "True"/"False" without case, or numbers.
    bool ToBool() const;
    bool ToBoolDef(bool def) const;
    // Date value (days since 1899-12-30).
    double ToDate() const;
    // The byte text's bytes; for other kinds the UTF-8 bytes of ToString().
    std::string Bytes() const;
    int CodePage() const;
    DispatchPtr ToDispatch() const;

    // --- arrays ---------------------------------------------------------------------------
    int ArrayDimCount() const;
    // Bounds of dimension dim, counted from 1 as the platform does.
    int ArrayLowBound(int dim = 1) const;
    int ArrayHighBound(int dim = 1) const;
    // Element count of a one-dimensional array (0 for anything else).
    int ArrayCount() const {
        return IsArray() && ArrayDimCount() == 1 ? static_cast<int>(Array()->bounds[0].Count()) : 0;
    }
    // Changes the high bound of the last dimension, keeping the elements that remain. Raises
    // EVariantError for a high bound below low - 1 or beyond the element cap.
    void ArrayRedim(int newHigh);
    Variant& operator[](int i) { return Element(i); }
    const Variant& operator[](int i) const { return const_cast<Variant*>(this)->Element(i); }
    Variant& Element(int i);
    Variant& Element(int i, int j);
    const Variant& Element(int i, int j) const { return const_cast<Variant*>(this)->Element(i, j); }
    const VariantArray* Array() const;

    // Strict equality of kind and value (arrays element by element; objects by identity).
    // Raises EVariantError for arrays nested deeper than MaxVariantNesting.
    bool SameAs(const Variant& o) const;

private:
    struct NullTag {};
    struct DateValue {
        double days;
    };
    struct ByteTextValue {
        std::string bytes;
        int codePage;
    };
    struct RefValue {
        Variant* target;
    };
    // The array and object boxes are shared_ptr so that Variant stays cheap to move; copying a
    // Variant clones the array box (value semantics) and shares the object (reference count).
    using ArrayBox = std::shared_ptr<VariantArray>;
    using DispatchBox = std::shared_ptr<detail::DispatchHolder>;

    // Order must match VarType.
    std::variant<std::monostate, NullTag, bool, std::int32_t, double, DateValue, std::string,
                 ByteTextValue, DispatchBox, ArrayBox, RefValue>
        value_;

    VariantArray& ArrayRef();
    void Assign(decltype(value_)&& incoming);
    static void CloneNested(ArrayBox& root);
    static void ReleaseNested(ArrayBox box) noexcept;
    static std::size_t CheckedSize(const std::vector<ArrayBounds>& dims);
    [[noreturn]] void ConversionFailure(const char* target) const {
        throw EVariantError(std::string("Could not convert variant of type (") + TypeName() +
                            ") into type (" + target + ")");
    }
};

using OleVariant = Variant;

// ===========================================================================================
// Implementation
// ===========================================================================================

inline Variant::Variant(const Variant& o) : value_(o.value_) {
    if (auto* a = std::get_if<ArrayBox>(&value_); a && *a)
        CloneNested(*a);
}

// Replaces the shared array box root (and every array box below it) by a copy of its own,
// level by level with a list of boxes still to copy instead of recursion.
inline void Variant::CloneNested(ArrayBox& root) {
    std::vector<ArrayBox*> pending{&root};
    while (!pending.empty()) {
        ArrayBox* slot = pending.back();
        pending.pop_back();
        auto copy = std::make_shared<VariantArray>();
        copy->bounds = (*slot)->bounds;
        copy->items.reserve((*slot)->items.size());
        for (const Variant& item : (*slot)->items)
            copy->items.emplace_back().value_ = item.value_; // nested boxes shared for now
        *slot = std::move(copy);
        for (Variant& item : (*slot)->items)
            if (auto* a = std::get_if<ArrayBox>(&item.value_); a && *a)
                pending.push_back(a);
    }
}

inline Variant::~Variant() {
    if (auto* a = std::get_if<ArrayBox>(&value_); a && *a)
        ReleaseNested(std::move(*a));
}

// Frees an array box and the boxes below it that nobody else holds, taking the nested boxes
// out of their elements first, so that no element's destruction recurses.
inline void Variant::ReleaseNested(ArrayBox box) noexcept {
    const auto hasNested = [](const VariantArray& a) {
        for (const Variant& item : a.items)
            if (auto* n = std::get_if<ArrayBox>(&item.value_); n && *n)
                return true;
        return false;
    };
    if (box.use_count() != 1 || !hasNested(*box))
        return; // nothing below, or someone else still holds it
    std::vector<ArrayBox> pending;
    pending.push_back(std::move(box));
    while (!pending.empty()) {
        ArrayBox current = std::move(pending.back());
        pending.pop_back();
        if (current.use_count() != 1)
            continue;
        for (Variant& item : current->items)
            if (auto* n = std::get_if<ArrayBox>(&item.value_); n && *n)
                pending.push_back(std::move(*n));
    }
}

inline void Variant::Assign(decltype(value_)&& incoming) {
    if (auto* r = std::get_if<RefValue>(&incoming)) {
        // Refer to the end of the chain: a reference then never points at a reference that
        // could be made to point back, so no cycle can form, except this one.
        Variant* target = &r->target->Deref();
        if (target == this)
            throw EVariantError("A by-reference variant cannot refer to itself");
        incoming = RefValue{target};
    }
    Variant old(std::move(*this)); // the old value is freed by old's destructor
    value_ = std::move(incoming);
}

inline Variant& Variant::operator=(const Variant& o) {
    if (this != &o) {
        Variant copy(o);
        Assign(std::move(copy.value_));
    }
    return *this;
}

inline Variant& Variant::operator=(Variant&& o) {
    if (this != &o) {
        auto incoming = std::move(o.value_);
        o.value_ = std::monostate{};
        Assign(std::move(incoming));
    }
    return *this;
}

// Element count of an array of these bounds; raises EVariantError for an impossible shape.
inline std::size_t Variant::CheckedSize(const std::vector<ArrayBounds>& dims) {
    if (dims.empty() || dims.size() > 2)
        throw EVariantError("Variant arrays have one or two dimensions");
    std::int64_t n = 1;
    for (const ArrayBounds& b : dims) {
        if (std::int64_t{b.high} < std::int64_t{b.low} - 1)
            throw EVariantError("Invalid variant array bounds [" + std::to_string(b.low) + ".." +
                                std::to_string(b.high) + "]");
        // Each factor is at most the cap, so the product cannot overflow 64 bits.
        const std::int64_t count = b.Count();
        if (count > MaxVariantArrayElements || (n *= count) > MaxVariantArrayElements)
            throw EVariantError("Variant array too large: more than " +
                                std::to_string(MaxVariantArrayElements) + " elements");
    }
    return static_cast<std::size_t>(n);
}

inline Variant Variant::CreateArray(const std::vector<ArrayBounds>& dims) {
    const std::size_t n = CheckedSize(dims);
    auto box = std::make_shared<VariantArray>();
    box->bounds = dims;
    box->items.resize(n);
    Variant v;
    v.value_ = std::move(box);
    return v;
}

inline Variant Variant::ArrayOf(std::vector<Variant> items) {
    if (static_cast<std::int64_t>(items.size()) > MaxVariantArrayElements)
        throw EVariantError("Variant array too large: more than " +
                            std::to_string(MaxVariantArrayElements) + " elements");
    auto box = std::make_shared<VariantArray>();
    box->bounds = {ArrayBounds{0, static_cast<int>(items.size()) - 1}};
    box->items = std::move(items);
    Variant v;
    v.value_ = std::move(box);
    return v;
}

inline Variant Variant::ArrayOf(std::initializer_list<Variant> items) {
    return ArrayOf(std::vector<Variant>(items));
}

inline const char* Variant::TypeName() const {
    switch (Type()) {
    case VarType::Empty:
        return "Empty";
    case VarType::Null:
        return "Null";
    case VarType::Boolean:
        return "Boolean";
    case VarType::Integer:
        return "Integer";
    case VarType::Double:
        return "Double";
    case VarType::Date:
        return "Date";
    case VarType::Text:
        return "String";
    case VarType::ByteText:
        return "String";
    case VarType::Dispatch:
        return "Dispatch";
    case VarType::Array:
        return "Array Variant";
    case VarType::ByRef:
        return "Variant ByRef";
    }
    return "Unknown";
}

namespace detail {
// Plain decimal text of a double with up to 15 significant digits, without trailing zeros;
// very large or small magnitudes use an exponent written as "1.5E20".
inline std::string FormatDouble(double d) {
    if (std::isnan(d))
        return "NAN";
    if (std::isinf(d))
        return d > 0 ? "INF" : "-INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    std::string s(buf);
    auto e = s.find('E');
    std::string mant = e == std::string::npos ? s : s.substr(0, e);
    std::string exp = e == std::string::npos ? "" : s.substr(e + 1);
    if (mant.find('.') != std::string::npos) {
        while (!mant.empty() && mant.back() == '0')
            mant.pop_back();
        if (!mant.empty() && mant.back() == '.')
            mant.pop_back();
    }
    if (exp.empty())
        return mant;
    int ev = std::atoi(exp.c_str());
    return mant + "E" + std::to_string(ev);
}

// Civil date of a day count since 1899-12-30 (proleptic Gregorian).
inline void DaysToCivil(long long days, int& y, int& m, int& d) {
    long long z = days - 25569 + 719468; // 1970-01-01 is day 25569
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long yy = yoe + era * 400;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2 ? 1 : 0));
}

// Day numbers of 0001-01-01 and 9999-12-31, the calendar's first and last days.
inline constexpr long long FirstDateDay = -693593;
inline constexpr long long LastDateDay = 2958465;
inline constexpr long long MsPerDay = 86400000;

// Splits a date value into its day number and the milliseconds into that day, rounded to the
// millisecond, as the platform reads date values: the whole part (towards zero) is the day and
// the fraction counts forwards from it whatever the sign, so -1.25 is 1899-12-29 at 06:00 and
// -0.5 is 1899-12-30 at noon. A time that rounds up to 24:00 is 00:00 of the next day
// (0.99999999999 is 1899-12-31 00:00). False for NaN, infinities and any value whose day lies
// outside the years 1..9999.
inline bool SplitDateValue(double value, long long& day, long long& ms) {
    if (!(value > static_cast<double>(FirstDateDay - 1) &&
          value < static_cast<double>(LastDateDay + 1)))
        return false;
    const double whole = std::trunc(value);
    day = static_cast<long long>(whole);
    ms = std::llround(std::fabs(value - whole) * static_cast<double>(MsPerDay));
    if (ms >= MsPerDay) {
        ms -= MsPerDay;
        day += value < 0 ? -1 : 1;
    }
    return day >= FirstDateDay && day <= LastDateDay;
}

// "YYYY/MM/DD", with " hh:nn:ss" when the value has a time of day; EVariantError outside the
// years 1..9999.
inline std::string FormatDateValue(double days) {
    long long day = 0, ms = 0;
    if (!SplitDateValue(days, day, ms))
        throw EVariantError("Date value " + FormatDouble(days) + " is outside the years 1 to 9999");
    int y, m, d;
    DaysToCivil(day, y, m, d);
    char buf[48];
    if (ms == 0) {
        std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", y, m, d);
    } else {
        long long sec = ms / 1000;
        std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02lld:%02lld:%02lld", y, m, d, sec / 3600,
                      (sec / 60) % 60, sec % 60);
    }
    return buf;
}

inline std::string_view Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z')
            x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<unsigned char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}
// Integer text in the Delphi grammar (StrToInt): blanks around it, an optional sign, then
// decimal digits, or "$" or "0x" and hexadecimal digits. Decimal numbers must fit in 32 bits;
// hexadecimal ones may use all 32 bits and wrap ("$FFFFFFFF" is -1, "-$1" is -1).
inline bool ParseIntegerText(std::string_view s, std::int32_t& out) {
    s = Trim(s);
    bool neg = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        neg = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return false;
    std::int64_t v = 0;
    for (char c : s) {
        int dgt = c >= '0' && c <= '9'                 ? c - '0'
                  : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                       : -1;
        if (dgt < 0)
            return false;
        v = v * base + dgt; // stops below 2^33 * 16: no overflow
        if (v > 0xFFFFFFFFLL)
            return false;
    }
    if (base == 16 && v > INT32_MAX)
        v -= 0x100000000LL;
    if (neg)
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

// Floating-point text in the Delphi grammar (StrToFloat): blanks around it, an optional sign,
// decimal digits with an optional "." (at least one digit), and an optional exponent "E" or "e"
// with an optional sign and digits. No hexadecimal floats, no "INF" or "NAN"; a value beyond
// the range of a double is refused. The decimal separator is always ".", whatever the locale.
inline bool ParseFloatText(std::string_view s, double& out) {
    s = Trim(s);
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const std::size_t mantissa = i;
    std::size_t digits = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        ++digits;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
            ++digits;
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        const std::size_t expDigits = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i;
        if (i == expDigits)
            return false;
    }
    if (i != s.size())
        return false;
    // from_chars takes no leading sign of its own: it reads the unsigned body.
    std::string_view body = s.substr(mantissa);
    double d = 0;
    auto [end, ec] =
        std::from_chars(body.data(), body.data() + body.size(), d, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too small to hold is zero; too large is refused.
        bool tiny = false;
        std::size_t e = body.find_first_of("eE");
        tiny = e != std::string_view::npos && e + 1 < body.size() && body[e + 1] == '-';
        if (!tiny)
            return false;
        d = 0;
    } else if (ec != std::errc() || end != body.data() + body.size() || !std::isfinite(d)) {
        return false;
    }
    out = s[0] == '-' ? -d : d;
    return true;
}

} // namespace detail

inline std::string Variant::ToString() const {
    const Variant& v = Deref();
    switch (v.Type()) {
    case VarType::Empty:
    case VarType::Null:
        return {};
    case VarType::Boolean:
        return std::get<bool>(v.value_) ? "True" : "False";
    case VarType::Integer:
        return std::to_string(std::get<std::int32_t>(v.value_));
    case VarType::Double:
        return detail::FormatDouble(std::get<double>(v.value_));
    case VarType::Date:
        return detail::FormatDateValue(std::get<DateValue>(v.value_).days);
    case VarType::Text:
        return std::get<std::string>(v.value_);
    case VarType::ByteText: {
        const auto& b = std::get<ByteTextValue>(v.value_);
        return DecodeCodePage(b.bytes, b.codePage);
    }
    default:
        v.ConversionFailure("String");
    }
}

inline std::int32_t Variant::ToInt() const {
    const Variant& v = Deref();
    switch (v.Type()) {
    case VarType::Empty:
        return 0;
    case VarType::Boolean:
        return std::get<bool>(v.value_) ? -1 : 0;
    case VarType::Integer:
        return std::get<std::int32_t>(v.value_);
    case VarType::Double:
    case VarType::Date: {
        double d = v.Type() == VarType::Double ? std::get<double>(v.value_)
                                               : std::get<DateValue>(v.value_).days;
        double r = std::nearbyint(d); // the default rounding mode rounds half to even
        if (!(r >= -2147483648.0 && r <= 2147483647.0))
            v.ConversionFailure("Integer");
        return static_cast<std::int32_t>(r);
    }
    case VarType::Text:
    case VarType::ByteText: {
        std::string s = v.ToString();
        std::int32_t i;
        if (detail::ParseIntegerText(s, i))
            return i;
        double d;
        if (detail::ParseFloatText(s, d)) {
            double r = std::nearbyint(d);
            if (r >= -2147483648.0 && r <= 2147483647.0)
                return static_cast<std::int32_t>(r);
        }
        auto t = detail::Trim(s);
        if (detail::EqualsNoCase(t, "True"))
            return -1;
        if (detail::EqualsNoCase(t, "False"))
            return 0;
        v.ConversionFailure("Integer");
    }
    default:
        v.ConversionFailure("Integer");
    }
}

inline std::int32_t Variant::ToIntDef(std::int32_t def) const {
    try {
        return ToInt();
    } catch (const EVariantError&) {
        return def;
    }
}

inline double Variant::ToDouble() const {
    const Variant& v = Deref();
    switch (v.Type()) {
    case VarType::Empty:
        return 0;
    case VarType::Boolean:
        return std::get<bool>(v.value_) ? -1 : 0;
    case VarType::Integer:
        return std::get<std::int32_t>(v.value_);
    case VarType::Double:
        return std::get<double>(v.value_);
    case VarType::Date:
        return std::get<DateValue>(v.value_).days;
    case VarType::Text:
    case VarType::ByteText: {
        const std::string s = v.ToString();
        double d;
        if (detail::ParseFloatText(s, d))
            return d;
        std::int32_t i;
        if (detail::ParseIntegerText(s, i))
            return i;
        v.ConversionFailure("Double");
    }
    default:
        v.ConversionFailure("Double");
    }
}

inline double Variant::ToDate() const {
    const Variant& v = Deref();
    if (v.Type() == VarType::Date)
        return std::get<DateValue>(v.value_).days;
    if (v.Type() == VarType::Integer || v.Type() == VarType::Double || v.Type() == VarType::Empty)
        return v.ToDouble();
    v.ConversionFailure("Date");
}

inline bool Variant::ToBool() const {
    const Variant& v = Deref();
    switch (v.Type()) {
    case VarType::Empty:
        return false;
    case VarType::Boolean:
        return std::get<bool>(v.value_);
    case VarType::Integer:
        return std::get<std::int32_t>(v.value_) != 0;
    case VarType::Double:
        return std::get<double>(v.value_) != 0;
    case VarType::Text:
    case VarType::ByteText: {
        std::string s = v.ToString();
        auto t = detail::Trim(s);
        if (detail::EqualsNoCase(t, "True"))
            return true;
        if (detail::EqualsNoCase(t, "False"))
            return false;
        double d;
        if (detail::ParseFloatText(t, d))
            return d != 0;
        std::int32_t i;
        if (detail::ParseIntegerText(t, i))
            return i != 0;
        v.ConversionFailure("Boolean");
    }
    default:
        v.ConversionFailure("Boolean");
    }
}

inline bool Variant::ToBoolDef(bool def) const {
    try {
        return ToBool();
    } catch (const EVariantError&) {
        return def;
    }
}

inline std::string Variant::Bytes() const {
    const Variant& v = Deref();
    if (v.Type() == VarType::ByteText)
        return std::get<ByteTextValue>(v.value_).bytes;
    return v.ToString();
}

inline int Variant::CodePage() const {
    const Variant& v = Deref();
    if (v.Type() == VarType::ByteText)
        return std::get<ByteTextValue>(v.value_).codePage;
    return 65001;
}

inline int Variant::ArrayDimCount() const {
    const Variant& v = Deref();
    if (auto* a = std::get_if<ArrayBox>(&v.value_))
        return static_cast<int>((*a)->bounds.size());
    return 0;
}

inline const VariantArray* Variant::Array() const {
    const Variant& v = Deref();
    if (auto* a = std::get_if<ArrayBox>(&v.value_))
        return a->get();
    return nullptr;
}

inline VariantArray& Variant::ArrayRef() {
    Variant& v = Deref();
    if (auto* a = std::get_if<ArrayBox>(&v.value_))
        return **a;
    throw EVariantError("Variant is not an array");
}

inline int Variant::ArrayLowBound(int dim) const {
    const VariantArray& a = const_cast<Variant*>(this)->ArrayRef();
    if (dim < 1 || dim > static_cast<int>(a.bounds.size()))
        throw EVariantError("Variant array dimension out of range");
    return a.bounds[static_cast<std::size_t>(dim - 1)].low;
}

inline int Variant::ArrayHighBound(int dim) const {
    const VariantArray& a = const_cast<Variant*>(this)->ArrayRef();
    if (dim < 1 || dim > static_cast<int>(a.bounds.size()))
        throw EVariantError("Variant array dimension out of range");
    return a.bounds[static_cast<std::size_t>(dim - 1)].high;
}

inline void Variant::ArrayRedim(int newHigh) {
    VariantArray& a = ArrayRef();
    std::vector<ArrayBounds> dims = a.bounds;
    dims.back().high = newHigh;
    const std::size_t n = CheckedSize(dims);
    // With the first index varying fastest, the last dimension is the outer one: resizing it
    // keeps every remaining element in place.
    a.items.resize(n);
    a.bounds = std::move(dims);
}

inline Variant& Variant::Element(int i) {
    VariantArray& a = ArrayRef();
    if (a.bounds.size() != 1)
        throw EVariantError("Variant array has " + std::to_string(a.bounds.size()) +
                            " dimensions, indexed with 1");
    const ArrayBounds& b = a.bounds[0];
    if (i < b.low || i > b.high)
        throw EVariantError("Variant array index " + std::to_string(i) + " out of bounds [" +
                            std::to_string(b.low) + ".." + std::to_string(b.high) + "]");
    return a.items[static_cast<std::size_t>(std::int64_t{i} - b.low)];
}

inline Variant& Variant::Element(int i, int j) {
    VariantArray& a = ArrayRef();
    if (a.bounds.size() != 2)
        throw EVariantError("Variant array has " + std::to_string(a.bounds.size()) +
                            " dimension(s), indexed with 2");
    const ArrayBounds& b0 = a.bounds[0];
    const ArrayBounds& b1 = a.bounds[1];
    if (i < b0.low || i > b0.high || j < b1.low || j > b1.high)
        throw EVariantError("Variant array index [" + std::to_string(i) + "," + std::to_string(j) +
                            "] out of bounds");
    const std::int64_t idx = (std::int64_t{i} - b0.low) + (std::int64_t{j} - b1.low) * b0.Count();
    return a.items[static_cast<std::size_t>(idx)];
}

} // namespace nuv

// The automation object part of Variant needs the DispatchPtr definition.
#include <nuv/Automation.h>

namespace nuv {

namespace detail {
struct DispatchHolder {
    DispatchPtr ptr;
};
} // namespace detail

inline Variant::Variant(const DispatchPtr& obj) {
    if (obj)
        value_ = std::make_shared<detail::DispatchHolder>(detail::DispatchHolder{obj});
    else
        value_ = std::monostate{};
}

inline DispatchPtr Variant::ToDispatch() const {
    const Variant& v = Deref();
    if (auto* d = std::get_if<DispatchBox>(&v.value_))
        return (*d)->ptr;
    if (v.IsEmpty())
        return DispatchPtr();
    v.ConversionFailure("Dispatch");
}

inline bool Variant::SameAs(const Variant& o) const {
    // Pairs still to compare, with their depth of nesting; a list instead of recursion.
    std::vector<std::pair<std::pair<const Variant*, const Variant*>, int>> pending{{{this, &o}, 0}};
    while (!pending.empty()) {
        auto [pair, depth] = pending.back();
        pending.pop_back();
        const Variant& a = pair.first->Deref();
        const Variant& b = pair.second->Deref();
        if (a.Type() != b.Type())
            return false;
        bool same = true;
        switch (a.Type()) {
        case VarType::Empty:
        case VarType::Null:
            break;
        case VarType::Boolean:
            same = std::get<bool>(a.value_) == std::get<bool>(b.value_);
            break;
        case VarType::Integer:
            same = std::get<std::int32_t>(a.value_) == std::get<std::int32_t>(b.value_);
            break;
        case VarType::Double:
            same = std::get<double>(a.value_) == std::get<double>(b.value_);
            break;
        case VarType::Date:
            same = std::get<DateValue>(a.value_).days == std::get<DateValue>(b.value_).days;
            break;
        case VarType::Text:
            same = std::get<std::string>(a.value_) == std::get<std::string>(b.value_);
            break;
        case VarType::ByteText: {
            const auto& x = std::get<ByteTextValue>(a.value_);
            const auto& y = std::get<ByteTextValue>(b.value_);
            same = x.bytes == y.bytes && x.codePage == y.codePage;
            break;
        }
        case VarType::Dispatch:
            same = std::get<DispatchBox>(a.value_)->ptr.get() ==
                   std::get<DispatchBox>(b.value_)->ptr.get();
            break;
        case VarType::Array: {
            const VariantArray& x = *std::get<ArrayBox>(a.value_);
            const VariantArray& y = *std::get<ArrayBox>(b.value_);
            if (x.bounds.size() != y.bounds.size() || x.items.size() != y.items.size())
                return false;
            for (std::size_t i = 0; i < x.bounds.size(); ++i)
                if (x.bounds[i].low != y.bounds[i].low || x.bounds[i].high != y.bounds[i].high)
                    return false;
            if (&x == &y)
                break;
            if (depth >= MaxVariantNesting)
                throw EVariantError("Variant arrays nested deeper than " +
                                    std::to_string(MaxVariantNesting) + " levels");
            for (std::size_t i = x.items.size(); i-- > 0;)
                pending.push_back({{&x.items[i], &y.items[i]}, depth + 1});
            break;
        }
        case VarType::ByRef:
            same = false;
            break;
        }
        if (!same)
            return false;
    }
    return true;
}

} // namespace nuv
