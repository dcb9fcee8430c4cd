// The alert log: one time-stamped line per failure that has no dialog to report to.
#pragma once

#include <string>

namespace nuv {

// Appends "[YYYY/MM/DD hh:nn:ss:zzz] " + text + CR LF to the file
//     <base>/Log/Alert_<name>_<stamp>[.log]
// and returns true when the line was written. The base directory is the registry value
// ClientPath of HKEY_LOCAL_MACHINE\Software\NUV\Tarvel, else its ServerPath, else the
// directory of the running executable; the Log directory is created with its parents when
// missing. The stamp is YYYYMM for period "M", YYYY for "Y" and YYYYMMDD for anything else;
// ".log" is added when the name holds no '.'. The text is written in the system code page.
//
// A '/' or '\' in the name is written as '_': the name chooses a file inside the Log
// directory and can never reach outside it. Several processes may write to one file: each line
// goes to the end of the file in a single write, so lines never interleave. Nothing is shown
// and nothing raised: any failure, including an unreadable registry file, gives false.
bool WriteAlertLog(const std::string& name, const std::string& text, const std::string& period);

// Path of the file WriteAlertLog would write for the name and period today, or empty when the
// base directory cannot be found.
std::string AlertLogFileName(const std::string& name, const std::string& period);

} // namespace nuv
