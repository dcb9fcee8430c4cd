// Small text helpers shared by the platform readers: ASCII case folding, trimming, hex digits
// and UTF-8 checks. Names, keys and section headers of the registry and profile files are
// matched without case in ASCII only; texts stay UTF-8.
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

// Length of the well-formed UTF-8 sequence starting at s[i]; 0 when none starts there.
inline std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80           ? 1
                    : (c >> 5) == 0x6  ? 2
                    : (c >> 4) == 0xE  ? 3
                    : (c >> 3) == 0x1E ? 4
                                       : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

inline bool IsValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = Utf8SequenceLength(s, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

} // namespace nuv
