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
// the integer -1; texts are read as numbers when they hold one.
#pragma once

#include <nuv/CodePageText.h>
#include <nuv/Exception.h>

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
    int Count() const { return high >= low ? high - low + 1 : 0; }
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

    Variant(const Variant& o);
    Variant(Variant&& o) noexcept = default;
    Variant& operator=(const Variant& o);
    Variant& operator=(Variant&& o) noexcept = default;
    ~Variant() = default;

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
    static Variant CreateArray(std::initializer_list<ArrayBounds> dims) {
        return CreateArray(std::vector<ArrayBounds>(dims));
    }
    static Variant CreateArray(const std::vector<ArrayBounds>& dims);
    // One-dimensional array with lower bound 0 holding the given values.
    static Variant ArrayOf(std::initializer_list<Variant> items);
    static Variant ArrayOf(std::vector<Variant> items);
    // Reference to target, for passing an argument by reference. The target must outlive it.
    static Variant ByRef(Variant& target) {
        Variant v;
        v.value_ = RefValue{&target};
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
        return IsArray() && ArrayDimCount() == 1 ? ArrayHighBound() - ArrayLowBound() + 1 : 0;
    }
    // Changes the high bound of the last dimension, keeping the elements that remain.
    void ArrayRedim(int newHigh);
    Variant& operator[](int i) { return Element(i); }
    const Variant& operator[](int i) const { return const_cast<Variant*>(this)->Element(i); }
    Variant& Element(int i);
    Variant& Element(int i, int j);
    const Variant& Element(int i, int j) const { return const_cast<Variant*>(this)->Element(i, j); }
    const VariantArray* Array() const;

    // Strict equality of kind and value (arrays element by element; objects by identity).
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
    [[noreturn]] void ConversionFailure(const char* target) const {
        throw EVariantError(std::string("Could not convert variant of type (") + TypeName() +
                            ") into type (" + target + ")");
    }
    static bool ParseInteger(std::string_view s, std::int64_t& out);
    static bool ParseDouble(std::string_view s, double& out);
};

using OleVariant = Variant;

// ===========================================================================================
// Implementation
// ===========================================================================================

inline Variant::Variant(const Variant& o) : value_(o.value_) {
    if (auto* a = std::get_if<ArrayBox>(&value_))
        *a = std::make_shared<VariantArray>(**a);
}

inline Variant& Variant::operator=(const Variant& o) {
    if (this != &o) {
        Variant copy(o);
        value_ = std::move(copy.value_);
    }
    return *this;
}

inline Variant Variant::CreateArray(const std::vector<ArrayBounds>& dims) {
    if (dims.empty() || dims.size() > 2)
        throw EVariantError("Variant arrays have one or two dimensions");
    std::size_t n = 1;
    for (const ArrayBounds& b : dims) {
        if (b.high < b.low - 1)
            throw EVariantError("Invalid variant array bounds");
        n *= static_cast<std::size_t>(b.Count());
    }
    auto box = std::make_shared<VariantArray>();
    box->bounds = dims;
    box->items.resize(n);
    Variant v;
    v.value_ = std::move(box);
    return v;
}

inline Variant Variant::ArrayOf(std::vector<Variant> items) {
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

inline std::string FormatDateValue(double days) {
    double whole = std::floor(days);
    int y, m, d;
    DaysToCivil(static_cast<long long>(whole), y, m, d);
    char buf[48];
    long long ms = std::llround((days - whole) * 86400000.0);
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
} // namespace detail

inline bool Variant::ParseInteger(std::string_view s, std::int64_t& out) {
    s = detail::Trim(s);
    if (s.empty())
        return false;
    bool neg = false;
    std::size_t i = 0;
    if (s[0] == '+' || s[0] == '-') {
        neg = s[0] == '-';
        i = 1;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return false;
    std::int64_t v = 0;
    for (; i < s.size(); ++i) {
        int dgt;
        char c = s[i];
        if (c >= '0' && c <= '9')
            dgt = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            dgt = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            dgt = c - 'A' + 10;
        else
            return false;
        v = v * base + dgt;
        if (v > 0xFFFFFFFFLL)
            return false;
    }
    out = neg ? -v : v;
    return true;
}

inline bool Variant::ParseDouble(std::string_view s, double& out) {
    s = detail::Trim(s);
    if (s.empty())
        return false;
    std::string buf(s);
    char* end = nullptr;
    double d = std::strtod(buf.c_str(), &end);
    if (end != buf.c_str() + buf.size() || std::isnan(d) || std::isinf(d))
        return false;
    out = d;
    return true;
}

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
        std::int64_t i;
        if (ParseInteger(s, i) && i >= INT32_MIN && i <= INT32_MAX)
            return static_cast<std::int32_t>(i);
        double d;
        if (ParseDouble(s, d)) {
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
        double d;
        if (ParseDouble(v.ToString(), d))
            return d;
        std::int64_t i;
        if (ParseInteger(v.ToString(), i))
            return static_cast<double>(i);
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
        if (ParseDouble(t, d))
            return d != 0;
        std::int64_t i;
        if (ParseInteger(t, i))
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
    ArrayBounds& last = a.bounds.back();
    if (newHigh < last.low - 1)
        throw EVariantError("Invalid variant array bounds");
    // With the first index varying fastest, the last dimension is the outer one: resizing it
    // keeps every remaining element in place.
    std::size_t inner = a.bounds.size() == 2 ? static_cast<std::size_t>(a.bounds[0].Count()) : 1;
    last.high = newHigh;
    a.items.resize(inner * static_cast<std::size_t>(last.Count()));
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
    return a.items[static_cast<std::size_t>(i - b.low)];
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
    std::size_t idx = static_cast<std::size_t>(i - b0.low) +
                      static_cast<std::size_t>(j - b1.low) * static_cast<std::size_t>(b0.Count());
    return a.items[idx];
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
    const Variant& a = Deref();
    const Variant& b = o.Deref();
    if (a.Type() != b.Type())
        return false;
    switch (a.Type()) {
    case VarType::Empty:
    case VarType::Null:
        return true;
    case VarType::Boolean:
        return std::get<bool>(a.value_) == std::get<bool>(b.value_);
    case VarType::Integer:
        return std::get<std::int32_t>(a.value_) == std::get<std::int32_t>(b.value_);
    case VarType::Double:
        return std::get<double>(a.value_) == std::get<double>(b.value_);
    case VarType::Date:
        return std::get<DateValue>(a.value_).days == std::get<DateValue>(b.value_).days;
    case VarType::Text:
        return std::get<std::string>(a.value_) == std::get<std::string>(b.value_);
    case VarType::ByteText: {
        const auto& x = std::get<ByteTextValue>(a.value_);
        const auto& y = std::get<ByteTextValue>(b.value_);
        return x.bytes == y.bytes && x.codePage == y.codePage;
    }
    case VarType::Dispatch:
        return std::get<DispatchBox>(a.value_)->ptr.get() ==
               std::get<DispatchBox>(b.value_)->ptr.get();
    case VarType::Array: {
        const VariantArray& x = *std::get<ArrayBox>(a.value_);
        const VariantArray& y = *std::get<ArrayBox>(b.value_);
        if (x.bounds.size() != y.bounds.size() || x.items.size() != y.items.size())
            return false;
        for (std::size_t i = 0; i < x.bounds.size(); ++i)
            if (x.bounds[i].low != y.bounds[i].low || x.bounds[i].high != y.bounds[i].high)
                return false;
        for (std::size_t i = 0; i < x.items.size(); ++i)
            if (!x.items[i].SameAs(y.items[i]))
                return false;
        return true;
    }
    case VarType::ByRef:
        return false;
    }
    return false;
}

} // namespace nuv
