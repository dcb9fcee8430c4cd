// Host configuration: where the client/server framework is installed and how it is set up.
//
// The installation is found through the registry key "Software\NUV\Tarvel" under
// HKEY_LOCAL_MACHINE (value ClientPath for the client, ServerPath for the server) and the INI
// file TarvelC.ini or TarvelS.ini there (or in the user's profile directory). A reader is
// created, reads everything at once in its constructor, is asked for a few fields and freed;
// nothing is cached and nothing is written back.
//
// Paths are POSIX: a stored value with backslashes is read with '/', so BasePath ends with '/'
// and a ClientPath of C:\App gives C:/App/. A registry file that cannot be read or is malformed
// raises Exception from the constructor (naming the file and line); every other problem is
// reported through LoadSettings' result and ErrorCode.
#pragma once

#include <nuv/Variant.h>

#include <cstdint>
#include <string>
#include <vector>

namespace nuv {

// The fields both readers have. The code-page converter reads its settings through this part,
// whichever reader it uses.
struct TTarvelSettings {
    std::string BasePath;          // ClientPath / ServerPath, ending in '/'
    std::string ProfilePath;       // directory the INI file was found in
    std::string ProfileType = "0"; // registry value ProfileType
    std::string ProfileName = "Default";
    std::string UICodePage = "950";
    std::string DBCodePage = "950";
    std::string SystemCodePage;     // GetACP as decimal text
    std::uint8_t UIConvertMode = 0; // 0, 1 or 3
    std::uint8_t DBConvertMode = 0; // 0, 1 or 2
    bool SupportCallBack = false;
    std::string IniFileName; // full path of the INI file opened
    std::string ErrorCode;   // "E;000015", "E;000016" or empty
    std::vector<std::string> WorkDLLPaths;
    std::string Version;
};

// Client reader (TarvelC.ini).
class TTarvelIniC : public TTarvelSettings {
public:
    // Reads the settings at once (LoadSettings); the result is in LoadResult().
    TTarvelIniC();

    std::string LangType = "ENG";
    // Two-dimensional array [0..1, 0..n-1]: [0,i] host of server i (text), [1,i] its port
    // (integer). Unassigned until read.
    Variant ServerList;
    std::string PDMInstallPath;
    std::string PDMCompany = "SmartTerm";
    std::string PDMDataPath;

    // Reads registry and file again; true when everything was read.
    bool LoadSettings();
    bool LoadResult() const { return loadResult_; }

private:
    bool loadResult_ = false;
};

// Server reader (TarvelS.ini).
class TTarvelIniS : public TTarvelSettings {
public:
    TTarvelIniS();

    // 5 x 7 array [0..4, 0..6]: main database, temporary database, application-server
    // endpoint, EDI database, batch settings. Unassigned until read.
    Variant DBSettings;
    std::string MainConnectionString;
    std::string TempConnectionString;
    std::string TempDBKind;
    std::uint8_t MainDBKind = 0; // 1 ORACLE, 2 DB2, else 0

    bool LoadSettings();
    bool LoadResult() const { return loadResult_; }

private:
    bool loadResult_ = false;
};

// A work path against the base path: a path with a drive ("D:\Pkg"), a UNC share
// ("\\srv\share") or an absolute POSIX path ("/opt/pkg") stays as it is; a path starting with
// a single '\' becomes the base path followed by the path without that '\'; any other path
// becomes the base path followed by the path. Backslashes in the result read as '/'.
std::string ResolveWorkPath(const std::string& path, const std::string& basePath);

// The clear password of a stored (scrambled) one; see TarvelINI.cpp for the scheme.
// "NU_Say_Never_Has_Password" when the stored text is shorter than one pair, "" when it
// decodes to the empty-password marker, "NU_Say_Password_Error" when it is not made of
// hexadecimal digit pairs.
std::string DecodeStoredPassword(const std::string& stored);
// The stored form of a clear password (what the configuration tool writes); the empty password
// is stored as its marker.
std::string EncodeStoredPassword(const std::string& clear);

// The conversion modes of the code pages (texts compared exactly).
std::uint8_t UIConvertModeOf(const std::string& uiCodePage, const std::string& systemCodePage);
std::uint8_t DBConvertModeOf(const std::string& uiCodePage, const std::string& dbCodePage);

} // namespace nuv
