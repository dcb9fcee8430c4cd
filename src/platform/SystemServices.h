// The few operating-system services the system asks Windows for, answered from POSIX:
// the ANSI code page, the user's login name, the file name of the running module and of the
// executable, and the locale's date separator.
#pragma once

#include <string>

namespace nuv {

// The system's ANSI code page, taken from the locale's character set (LC_ALL, LC_CTYPE,
// LANG): BIG5 and BIG5-HKSCS give 950; GBK, GB2312, GB18030 and EUC-CN give 936; UTF-8 gives
// 65001; ISO-8859-1 gives 1252; SHIFT_JIS 932; EUC-KR 949. The C/POSIX locale and any other
// character set give 65001, because on this platform text in an unknown or plain-ASCII locale
// is handled as UTF-8 bytes, and re-encoding it through a narrower page would corrupt it.
// The environment variable NUV_ACP, when it holds a positive decimal number, overrides all of
// this.
int GetACP();

// Code page of a locale character-set name as GetACP maps it (exposed for tests).
int CodePageOfCharset(const std::string& charset);

// Login name of the effective user (from the password database; $LOGNAME or $USER when the
// user has no entry there); empty when none is known. The override, when set, is answered
// instead.
std::string GetUserName();
// Sets (non-empty) or clears (empty) the answer of GetUserName, for tests.
void SetUserNameOverride(const std::string& name);

// Full path of the module (shared library or executable) that holds the platform layer's
// code, found with dladdr; the override, when set, is answered instead.
std::string GetModuleFileName();
// Sets (non-empty) or clears (empty) the answer of GetModuleFileName, for tests and for hosts
// that load the module under another name.
void SetModuleFileNameOverride(const std::string& path);

// Full path of the running executable (/proc/self/exe).
std::string GetExecutablePath();

// The date separator of the locale's date format (LC_TIME); '/' when the format has none.
char DateSeparator();

} // namespace nuv
