// Reading the arguments of the Manager's calls: texts that must be texts, arrays that must be
// arrays of the length an operation needs. A wrong kind or count raises EVariantError with
// the operation's name, which the automation layer reports as a type mismatch.
#pragma once

#include <nuv/Exception.h>
#include <nuv/Variant.h>

#include <string>

namespace nuv::host {

// The text of a single value: texts, numbers, Booleans; unassigned and Null give "".
inline std::string ScalarText(const Variant& value, const std::string& what) {
    const Variant& v = value.Deref();
    if (v.IsArray() || v.IsObject())
        throw EVariantError(what + ": expected a text, got " + v.TypeName());
    return v.ToString();
}

// The elements of a one-dimensional array argument, at least `count` of them.
class TArgList {
public:
    TArgList(const Variant& array, int count, std::string what)
        : a_(array.Deref()), what_(std::move(what)) {
        if (!a_.IsArray() || a_.ArrayDimCount() != 1)
            throw EVariantError(what_ + ": expected an array of " + std::to_string(count) +
                                " values, got " + a_.TypeName());
        if (a_.ArrayCount() < count)
            throw EVariantError(what_ + ": expected " + std::to_string(count) + " values, got " +
                                std::to_string(a_.ArrayCount()));
    }
    int Count() const { return a_.ArrayCount(); }
    const Variant& Value(int i) const { return a_[a_.ArrayLowBound() + i].Deref(); }
    std::string Text(int i) const {
        return ScalarText(Value(i), what_ + " value " + std::to_string(i));
    }

private:
    const Variant& a_;
    std::string what_;
};

inline std::string ArgArrayText(const Variant& array, int i, const std::string& what) {
    return TArgList(array, i + 1, what).Text(i);
}

} // namespace nuv::host
