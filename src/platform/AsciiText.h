// Small text helpers shared by the platform readers: ASCII case folding, trimming and hex
// digits; the strict UTF-8 check (IsValidUtf8, Utf8SequenceLength) comes from
// nuv/CodePageText.h, the one the Variant uses. Names, keys and section headers of the registry
// and profile files are matched without case in ASCII only; texts stay UTF-8.
#pragma once

#include <nuv/Variant.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace nuv {

inline std::string UpperAscii(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return u;
}

// Equality without ASCII case.
inline bool SameTextAscii(std::string_view a, std::string_view b) {
    return detail::EqualsNoCase(a, b);
}

// Drops leading and trailing blanks and control characters.
inline std::string_view TrimBlanks(std::string_view s) {
    return detail::Trim(s);
}

// Value of a hexadecimal digit, -1 for any other character.
inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace nuv
