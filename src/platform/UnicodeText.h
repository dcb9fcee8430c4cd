// Unicode text: conversions between UTF-8 (how texts are held), UTF-16 (WideString) and UTF-32,
// code-point counts, trimming and the locale's case-insensitive collation.
//
// Ill-formed UTF-8 (a stray or missing continuation byte, an overlong form, an encoded
// surrogate, a value beyond U+10FFFF, a sequence cut off at the end) is decoded as U+FFFD for
// each byte that starts no well-formed sequence, so a bad byte never swallows good text after it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nuv {

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

// The code point of the UTF-8 sequence at s[i], moving i past it (past one byte for an
// ill-formed sequence, which gives U+FFFD). i must be before the end.
char32_t NextCodePoint(std::string_view s, std::size_t& i);

std::u32string Utf8ToUtf32(std::string_view s);
std::u16string Utf8ToUtf16(std::string_view s);
// Surrogates and values beyond U+10FFFF become U+FFFD.
std::string Utf32ToUtf8(std::u32string_view s);
// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view s);
// Appends the UTF-8 form of one code point (U+FFFD for a surrogate or a value out of range).
void AppendUtf8(std::string& out, char32_t cp);

// The number of characters of a UTF-8 text (bytes that are not continuation bytes), as a
// caret position or a mask width counts them.
std::size_t CodePointCount(std::string_view s);

// The text without leading and trailing blanks and control characters (bytes up to ' ').
std::string TrimText(std::string_view s);

// The text upper-cased with the locale's mapping (LC_CTYPE), as wide characters.
std::wstring LocaleUpperWide(std::string_view s);
// A key whose plain comparison is the locale's case-insensitive collation (LC_COLLATE of the
// upper-cased text).
std::wstring LocaleCollationKey(std::string_view s);
// Case-insensitive comparison in the locale's collation: negative, zero or positive.
int LocaleCompareTextNoCase(std::string_view a, std::string_view b);

} // namespace nuv
