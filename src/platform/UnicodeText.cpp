#include "platform/UnicodeText.h"

#include "platform/AsciiText.h"

#include <cwchar>
#include <cwctype>

namespace nuv {

char32_t NextCodePoint(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    const std::size_t need = b0 < 0x80                  ? 0
                             : b0 >= 0xC2 && b0 <= 0xDF ? 1
                             : b0 >= 0xE0 && b0 <= 0xEF ? 2
                             : b0 >= 0xF0 && b0 <= 0xF4 ? 3
                                                        : SIZE_MAX;
    if (need == 0) {
        ++i;
        return b0;
    }
    if (need != SIZE_MAX && i + need < s.size()) {
        char32_t v = b0 & (0x3F >> need);
        bool ok = true;
        for (std::size_t k = 1; k <= need && ok; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            ok = (b & 0xC0) == 0x80;
            v = (v << 6) | (b & 0x3F);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF are ill-formed.
        const char32_t minimum = need == 1 ? 0x80 : need == 2 ? 0x800 : 0x10000;
        if (ok && v >= minimum && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF)) {
            i += need + 1;
            return v;
        }
    }
    ++i;
    return ReplacementCharacter;
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
