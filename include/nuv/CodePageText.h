// Conversion of 8-bit text in a Windows code page to and from Unicode (UTF-8), through iconv.
// Header-only because Variant needs it to read byte texts and a host compiles against
// include/nuv/ alone. Code pages are the Windows numbers: 950 (Big5), 936 (GBK), 65001 (UTF-8),
// 1252 and the other single-byte pages iconv knows as "CP<n>".
#pragma once

#include <cerrno>
#include <iconv.h>
#include <string>
#include <string_view>

namespace nuv {

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

// Decodes bytes written in the code page into UTF-8. An unknown code page leaves the bytes
// as they are (they are taken to be UTF-8 already).
inline std::string DecodeCodePage(std::string_view bytes, int codePage) {
    if (codePage == 65001)
        return std::string(bytes);
    std::string out;
    if (detail::IconvConvert(bytes, IconvCodePageName(codePage), "UTF-8", out, true))
        return out;
    return std::string(bytes);
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
