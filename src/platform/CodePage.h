// Bytes in a Windows code page and the Unicode (UTF-8) texts of the system, through iconv.
//
// Texts stay Unicode everywhere; bytes appear only where the system counts or compares them
// (the CP950 byte length of captions and columns, ordinal comparison of CP950 bytes), for byte
// texts in Variants, and in files.
#pragma once

#include <string>
#include <string_view>

namespace nuv {

// Decodes bytes written in the code page into UTF-8; code page 0 is the system code page
// (GetACP). Bytes that are not valid in the page become U+FFFD. Raises Exception when the
// code page is not known to the platform.
std::string DecodeBytes(std::string_view bytes, int codePage);

// Text whose encoding nothing marks (a profile file without byte-order mark, the string data
// of an old-style registry export): taken as UTF-8 when the bytes are well-formed UTF-8, else
// decoded in the system code page (GetACP), or in Big5 (950) when the system code page is
// UTF-8 or one the platform cannot convert: such bytes most likely come from a Traditional
// Chinese Windows installation, the home of these files.
std::string DecodeUnmarkedText(std::string_view bytes);

// Encodes UTF-8 text into the code page (0 = GetACP); characters the page cannot hold become
// '?', as the platform's conversion does. Raises Exception for an unknown code page.
std::string EncodeBytes(std::string_view text, int codePage);

// True when the platform can convert to and from the code page.
bool IsCodePageSupported(int codePage);

// Number of bytes the text takes in Big5 (CP950): 1 for each ASCII character, the CP950
// length (2) for each character that CP950 holds, and 2 for a character that CP950 does not
// hold. Such characters (Simplified Chinese, other CJK, symbols) are drawn full-width or close
// to it, and the count is used for column and caption widths; counting them as the single '?'
// the platform's conversion would put in their place would make the columns too narrow.
// Bytes that are not valid UTF-8 count 1 each.
int Cp950ByteLength(std::string_view utf8);

// Ordinal comparison of the texts' CP950 bytes (unsigned), as the system compares its
// byte strings: <0, 0 or >0. A character that CP950 does not hold is compared as the byte
// 0xFF (no CP950 byte has that value) followed by its UTF-8 bytes, so it sorts after every
// CP950 character and two different such characters never compare equal, as they would if
// both were turned into '?'.
int CompareCp950(std::string_view a, std::string_view b);

// The comparison key CompareCp950 uses: the CP950 bytes with the escape described there.
std::string Cp950SortKey(std::string_view utf8);

} // namespace nuv
