// Conversion of 8-bit text in a Windows code page to and from Unicode (UTF-8), through iconv.
// Header-only because Variant needs it to read byte texts and a host compiles against
// include/nuv/ alone. Code pages are the Windows numbers: 950 (Big5), 936 (GBK), 65001 (UTF-8),
// 1252 and the other single-byte pages iconv knows as "CP<n>".
#pragma once

#include <cerrno>
#include <cstddef>
#include <iconv.h>
#include <string>
#include <string_view>

namespace nuv {

// Length of the well-formed UTF-8 sequence starting at s[i]; 0 when none starts there. Only
// the shortest form of a code point counts: overlong forms (C0 AF), encoded surrogates
// (ED A0 80), code points beyond U+10FFFF and the lead bytes C0, C1 and F5..FF are refused,
// so that a text that passes holds nothing but Unicode characters.
inline std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char c = at(0);
    if (c < 0x80)
        return 1;
    // Allowed range of the second byte, which is where the shortest-form and range rules bite.
    unsigned char lo = 0x80, hi = 0xBF;
    std::size_t n = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0)
            lo = 0xA0; // below: overlong
        else if (c == 0xED)
            hi = 0x9F; // above: surrogates D800..DFFF
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0)
            lo = 0x90; // below: overlong
        else if (c == 0xF4)
            hi = 0x8F; // above: beyond U+10FFFF
    } else {
        return 0;
    }
    if (i + n > s.size() || at(1) < lo || at(1) > hi)
        return 0;
    for (std::size_t k = 2; k < n; ++k)
        if ((at(k) & 0xC0) != 0x80)
            return 0;
    return n;
}

// The code point of the well-formed sequence of length n (from Utf8SequenceLength) at s[i].
inline char32_t Utf8CodePoint(std::string_view s, std::size_t i, std::size_t n) {
    const auto c = static_cast<unsigned char>(s[i]);
    char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1Fu) : n == 3 ? (c & 0x0Fu) : (c & 0x07u);
    for (std::size_t k = 1; k < n; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
    return cp;
}

// True when the bytes are well-formed UTF-8 (see Utf8SequenceLength).
inline bool IsValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = Utf8SequenceLength(s, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

// The text with every byte that starts no well-formed UTF-8 sequence replaced by U+FFFD.
inline std::string ValidUtf8(std::string_view s) {
    if (IsValidUtf8(s))
        return std::string(s);
    std::string out;
    out.reserve(s.size() + 8);
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = Utf8SequenceLength(s, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(s.substr(i, n));
            i += n;
        }
    }
    return out;
}

// iconv's name for a Windows code page number; empty when there is none.
inline std::string IconvCodePageName(int codePage) {
    switch (codePage) {
    case 950:
        return "CP950";
    case 936:
        return "CP936";
    case 65001:
        return "UTF-8";
    case 20127:
        return "ASCII";
    case 0:
        return {};
    default:
        return "CP" + std::to_string(codePage);
    }
}

namespace detail {
// Converts with iconv; undecodable input is replaced by U+FFFD (or '?' when encoding).
// Returns false when iconv has no such conversion.
inline bool IconvConvert(std::string_view in, const std::string& from, const std::string& to,
                         std::string& out, bool toUnicode) {
    if (from.empty() || to.empty())
        return false;
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out.clear();
    std::string buf(in);
    char* src = buf.data();
    std::size_t srcLeft = buf.size();
    char chunk[1024];
    while (srcLeft > 0) {
        char* dst = chunk;
        std::size_t dstLeft = sizeof chunk;
        std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(chunk, static_cast<std::size_t>(dst - chunk));
        if (rc == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // Invalid or incomplete sequence: replace one byte and go on.
            out += toUnicode ? "\xEF\xBF\xBD" : "?";
            if (!toUnicode) {
                // Skip one whole UTF-8 character of the source.
                std::size_t n = 1;
                while (n < srcLeft && (static_cast<unsigned char>(src[n]) & 0xC0) == 0x80)
                    ++n;
                src += n;
                srcLeft -= n;
            } else {
                ++src;
                --srcLeft;
            }
        }
    }
    char* dst = chunk;
    std::size_t dstLeft = sizeof chunk;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(chunk, static_cast<std::size_t>(dst - chunk));
    iconv_close(cd);
    return true;
}
} // namespace detail

// Decodes bytes written in the code page into UTF-8. UTF-8 bytes and those of a code page that
// iconv does not know are taken as UTF-8; either way a byte that starts no well-formed sequence
// becomes U+FFFD, so that the result is always valid UTF-8.
inline std::string DecodeCodePage(std::string_view bytes, int codePage) {
    if (codePage == 65001)
        return ValidUtf8(bytes);
    std::string out;
    if (detail::IconvConvert(bytes, IconvCodePageName(codePage), "UTF-8", out, true))
        return out;
    return ValidUtf8(bytes);
}

// Encodes UTF-8 text into the code page; characters it cannot hold become '?'.
inline std::string EncodeCodePage(std::string_view text, int codePage) {
    if (codePage == 65001)
        return std::string(text);
    std::string out;
    if (detail::IconvConvert(text, "UTF-8", IconvCodePageName(codePage), out, false))
        return out;
    return std::string(text);
}

} // namespace nuv
