#include "platform/UnicodeText.h"

#include "platform/AsciiText.h"

#include <nuv/CodePageText.h>

#include <cwchar>
#include <cwctype>

namespace nuv {

char32_t NextCodePoint(std::string_view s, std::size_t& i) {
    // The one strict check of the project (nuv/CodePageText.h) decides what is well-formed.
    const std::size_t n = Utf8SequenceLength(s, i);
    if (n == 0) {
        ++i;
        return ReplacementCharacter;
    }
    const char32_t cp = Utf8CodePoint(s, i, n);
    i += n;
    return cp;
}

std::u32string Utf8ToUtf32(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();)
        out.push_back(NextCodePoint(s, i));
    return out;
}

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp = NextCodePoint(s, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = ReplacementCharacter;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string Utf32ToUtf8(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t cp : s)
        AppendUtf8(out, cp);
    return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::size_t CodePointCount(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

std::string TrimText(std::string_view s) {
    return std::string(TrimBlanks(s));
}

std::wstring LocaleUpperWide(std::string_view s) {
    std::wstring w;
    w.reserve(s.size());
    for (std::size_t i = 0; i < s.size();)
        w.push_back(static_cast<wchar_t>(std::towupper(static_cast<wint_t>(NextCodePoint(s, i)))));
    return w;
}

std::wstring LocaleCollationKey(std::string_view s) {
    std::wstring folded = LocaleUpperWide(s);
    std::size_t n = std::wcsxfrm(nullptr, folded.c_str(), 0);
    std::wstring key(n + 1, L'\0');
    std::wcsxfrm(key.data(), folded.c_str(), n + 1);
    key.resize(n);
    return key;
}

int LocaleCompareTextNoCase(std::string_view a, std::string_view b) {
    int r = LocaleCollationKey(a).compare(LocaleCollationKey(b));
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

} // namespace nuv
