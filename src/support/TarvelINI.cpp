#include "support/TarvelINI.h"

#include "platform/AsciiText.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "platform/SystemServices.h"
#include "platform/UnicodeText.h"

#include <filesystem>
#include <system_error>

namespace nuv {

namespace {

const char* const TarvelKey = "Software\\NUV\\Tarvel";

std::string PosixPath(std::string p) {
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return p;
}

bool EndsWithSeparator(const std::string& s) {
    return !s.empty() && (s.back() == '\\' || s.back() == '/');
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// A registry value as text; a dword value is read as its decimal text rather than refused, so
// that a ProfileType written as a number works too.
std::string ReadText(const TRegistry& reg, const std::string& name) {
    if (reg.GetDataType(name) == TRegDataType::rdInteger)
        return std::to_string(reg.ReadInteger(name));
    return reg.ReadString(name);
}

bool IsTrueText(const std::string& value) {
    const std::string v = UpperAscii(value);
    return v == "1" || v == "Y" || v == "YES" || v == "TRUE";
}

// The common start of loading: resets the fields, reads the installation directory (registry
// value pathValue) and the profile type, and settles the profile directory and the INI file.
// False when the registry key is missing (ErrorCode "E;000015") or names no directory.
// reg is the caller's, so that its later look-ups read the registry file already loaded.
bool LocateIni(TTarvelSettings& s, TRegistry& reg, const char* pathValue, const char* iniName) {
    s.ErrorCode.clear();
    s.BasePath.clear();
    s.ProfilePath.clear();
    s.ProfileType = "0";
    s.ProfileName = "Default";
    s.UICodePage = "950";
    s.DBCodePage = "950";
    s.SystemCodePage = std::to_string(GetACP());
    s.SupportCallBack = false;
    s.IniFileName.clear();

    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKeyReadOnly(TarvelKey)) {
        s.ErrorCode = "E;000015";
        return false;
    }
    s.BasePath = PosixPath(ReadText(reg, pathValue));
    s.ProfileType = ReadText(reg, "ProfileType");
    reg.CloseKey();
    if (s.BasePath.empty())
        return false;
    if (!EndsWithSeparator(s.BasePath))
        s.BasePath += '/';

    if (s.ProfileType.empty() || s.ProfileType == "0") {
        s.ProfilePath = s.BasePath;
    } else {
        // The whole login name is used; a name is never cut to fit a buffer.
        const std::string user = GetUserName();
        s.ProfilePath = s.BasePath + "Profile/" + user + "/";
        s.ProfileName = user;
    }
    s.IniFileName = s.ProfilePath + iniName;
    if (!FileExists(s.IniFileName)) {
        s.ProfilePath = s.BasePath;
        s.IniFileName = s.BasePath + iniName;
    }
    return true;
}

void ReadWorkPaths(TTarvelSettings& s, const TIniFile& ini, const char* defaultDir) {
    s.WorkDLLPaths.clear();
    const std::vector<std::string> lines = ini.ReadSectionValues("WorkDLLPath");
    if (lines.empty()) {
        s.WorkDLLPaths.push_back(s.BasePath + defaultDir);
        return;
    }
    for (const std::string& line : lines) {
        std::string value = line.substr(line.find('=') + 1);
        if (!EndsWithSeparator(value))
            value += '\\';
        s.WorkDLLPaths.push_back(ResolveWorkPath(value, s.BasePath));
    }
}

void SetConvertModes(TTarvelSettings& s) {
    s.UIConvertMode = UIConvertModeOf(s.UICodePage, s.SystemCodePage);
    s.DBConvertMode = DBConvertModeOf(s.UICodePage, s.DBCodePage);
}

// A value of an OLE DB connection string. Plain values are written as they are; a value that
// would break the string (a ';' would end it and let the rest read as further keywords, a
// leading quote or blank would be taken as syntax) is enclosed in double quotes with inner
// double quotes doubled, which is how the provider reads such values.
std::string ConnectionValue(const std::string& v) {
    bool quote = v.find(';') != std::string::npos ||
                 (!v.empty() &&
                  (v.front() == '"' || v.front() == '\'' || v.front() == ' ' || v.back() == ' '));
    if (!quote)
        return v;
    std::string out = "\"";
    for (char c : v) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string ConnectionString(const std::string& source, const std::string& user,
                             const std::string& password, const std::string& catalog) {
    return "Provider=SQLOLEDB.1;Persist Security Info=True;Data Source=" + ConnectionValue(source) +
           ";User ID=" + ConnectionValue(user) + ";Password=" + ConnectionValue(password) +
           ";Initial Catalog=" + ConnectionValue(catalog) +
           ";Application Name=NUVServer;Auto Translate=False";
}

// --- stored passwords ------------------------------------------------------------------------
//
// The configuration tool stores the main database password scrambled, as upper-case
// hexadecimal digit pairs, one pair per byte. The scheme is obfuscation against a casual
// glance at the file, not encryption:
//
//   clear bytes p[0..n-1] (UTF-8), key K = "Tarvel.NUV.Kelt58" (17 bytes), c[-1] = 0x5A:
//       c[i] = ((p[i] XOR K[i mod 17]) + c[i-1] + i) mod 256
//   and back:
//       p[i] = ((c[i] - c[i-1] - i) mod 256) XOR K[i mod 17]
//
// Chaining each byte to the one before it and to its position makes equal characters come out
// differently. The empty password is stored as the scrambled marker below, so that a stored
// empty text still means "never set".
const std::string PasswordKey = "Tarvel.NUV.Kelt58";
constexpr unsigned char PasswordSeed = 0x5A;
const char* const NeverHasPassword = "NU_Say_Never_Has_Password";
const char* const EmptyPasswordMarker = "NU_Say_NoPassWord_ThePassWordIsEmpty";
const char* const PasswordError = "NU_Say_Password_Error";

} // namespace

std::string ResolveWorkPath(const std::string& path, const std::string& basePath) {
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    const bool unc = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') &&
                     (path[1] == '\\' || path[1] == '/');
    // An absolute POSIX path counts as a path with a drive; a single leading backslash is the
    // Windows "root of the installation" form and stays relative to the base path.
    const bool absolute = !path.empty() && path[0] == '/';
    if (drive || unc || absolute)
        return PosixPath(path);
    if (!path.empty() && path[0] == '\\')
        return PosixPath(basePath + path.substr(1));
    return PosixPath(basePath + path);
}

std::string DecodeStoredPassword(const std::string& stored) {
    if (stored.size() < 2)
        return NeverHasPassword;
    if (stored.size() % 2 != 0)
        return PasswordError; // a half pair at the end
    std::string clear;
    unsigned char prev = PasswordSeed;
    for (std::size_t i = 0; i < stored.size() / 2; ++i) {
        int hi = HexDigitValue(stored[2 * i]), lo = HexDigitValue(stored[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return PasswordError;
        unsigned char c = static_cast<unsigned char>(hi * 16 + lo);
        unsigned char k = static_cast<unsigned char>(PasswordKey[i % PasswordKey.size()]);
        clear += static_cast<char>(static_cast<unsigned char>(c - prev - i) ^ k);
        prev = c;
    }
    if (clear == EmptyPasswordMarker)
        return {};
    return clear;
}

std::string EncodeStoredPassword(const std::string& clear) {
    static const char digits[] = "0123456789ABCDEF";
    const std::string text = clear.empty() ? std::string(EmptyPasswordMarker) : clear;
    std::string stored;
    unsigned char prev = PasswordSeed;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char k = static_cast<unsigned char>(PasswordKey[i % PasswordKey.size()]);
        unsigned char c =
            static_cast<unsigned char>((static_cast<unsigned char>(text[i]) ^ k) + prev + i);
        stored += digits[c >> 4];
        stored += digits[c & 0xF];
        prev = c;
    }
    return stored;
}

std::uint8_t UIConvertModeOf(const std::string& uiCodePage, const std::string& systemCodePage) {
    if (uiCodePage != "950")
        return 1;
    return systemCodePage == "936" ? 3 : 0;
}

std::uint8_t DBConvertModeOf(const std::string& uiCodePage, const std::string& dbCodePage) {
    if (uiCodePage == "950" && dbCodePage == "936")
        return 2;
    if (uiCodePage == "936" && dbCodePage == "950")
        return 1;
    return 0;
}

// --- client ----------------------------------------------------------------------------------

TTarvelIniC::TTarvelIniC() {
    loadResult_ = LoadSettings();
}

bool TTarvelIniC::LoadSettings() {
    loadResult_ = false;
    TRegistry reg;
    if (!LocateIni(*this, reg, "ClientPath", "TarvelC.ini"))
        return false;

    TIniFile ini(IniFileName);
    LangType = ini.ReadString("Client Components", "LangType", "ENG");
    Version = ini.ReadString("ProductVersion", "Version", "");
    UICodePage = ini.ReadString("CodePage", "UICodePage", "950");
    DBCodePage = ini.ReadString("CodePage", "DBCodePage", "950");
    const std::string callBack = ini.ReadString("Server Information", "SupportCallBack", "0");
    const std::string computerName =
        ini.ReadString("Server Information", "ComputerName", "127.0.0.1");
    const int serverPort = ini.ReadInteger("Server Information", "ServerPort", 211);
    PDMCompany = ini.ReadString("Client Components", "PDMCOMPANY", "SmartTerm");
    PDMInstallPath = PosixPath(ini.ReadString("Client Components", "PDMInstallPath", ""));
    PDMDataPath = PosixPath(ini.ReadString("Client Components", "PDMDataPath", ""));

    SupportCallBack = IsTrueText(callBack);

    if (PDMInstallPath.empty()) {
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        if (UpperAscii(PDMCompany) == "POWERTECH") {
            if (reg.OpenKeyReadOnly("Software\\PowerTech")) {
                PDMInstallPath = PosixPath(ReadText(reg, "EXE"));
                if (PDMDataPath.empty())
                    PDMDataPath = PosixPath(ReadText(reg, "ERPINTERFLOW"));
            } else {
                PDMInstallPath.clear();
            }
        } else {
            if (reg.OpenKeyReadOnly("Software\\smarteam\\HomeDir") ||
                reg.OpenKeyReadOnly("\\Software\\smarteam solutions\\smarteam\\HomeDir"))
                PDMInstallPath = PosixPath(ReadText(reg, ""));
            PDMDataPath = PDMInstallPath;
        }
        reg.CloseKey();
    }

    SetConvertModes(*this);

    std::string hosts = TrimText(computerName);
    if (!hosts.empty() && hosts.back() == ';')
        hosts.pop_back();
    if (hosts.empty()) {
        ErrorCode = "E;000016";
        return false;
    }
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        std::size_t semi = hosts.find(';', start);
        pieces.push_back(hosts.substr(start, semi - start));
        if (semi == std::string::npos)
            break;
        start = semi + 1;
    }
    ServerList = Variant::CreateArray(
        {ArrayBounds{0, 1}, ArrayBounds{0, static_cast<int>(pieces.size()) - 1}});
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        ServerList.Element(0, static_cast<int>(i)) = pieces[i];
        ServerList.Element(1, static_cast<int>(i)) = serverPort;
    }

    ReadWorkPaths(*this, ini, "C_PKG/");
    loadResult_ = true;
    return true;
}

// --- server ----------------------------------------------------------------------------------

TTarvelIniS::TTarvelIniS() {
    loadResult_ = LoadSettings();
}

bool TTarvelIniS::LoadSettings() {
    loadResult_ = false;
    TRegistry reg;
    if (!LocateIni(*this, reg, "ServerPath", "TarvelS.ini"))
        return false;

    TIniFile ini(IniFileName);
    Version = ini.ReadString("ProductVersion", "Version", "");
    UICodePage = ini.ReadString("CodePage", "UICodePage", "950");
    DBCodePage = ini.ReadString("CodePage", "DBCodePage", "950");

    const char* const dbe = "DBE Setting";
    const char* const ctrl = "DBPasswordCtrl";
    Variant db = Variant::CreateArray({ArrayBounds{0, 4}, ArrayBounds{0, 6}});
    db.Element(0, 0) = ini.ReadString(dbe, "MainAlias", "Prowen");
    db.Element(0, 1) = ini.ReadString(dbe, "MainUserName", "sa");
    db.Element(0, 2) = DecodeStoredPassword(ini.ReadString(dbe, "XXXXXX", ""));
    db.Element(0, 3) = ini.ReadString(dbe, "MainDBType", "MSSQL");
    db.Element(0, 4) = ini.ReadString(dbe, "MainDBName", "");
    db.Element(0, 5) = ini.ReadString(dbe, "MainServerName", "");
    db.Element(0, 6) = 1;
    db.Element(1, 0) = ini.ReadString(dbe, "TempAlias", "ProwenTemp");
    db.Element(1, 1) = ini.ReadString(dbe, "TempUserName", "sa");
    db.Element(1, 2) = ini.ReadString(dbe, "TempPassword", "");
    db.Element(1, 3) = ini.ReadString(dbe, "TempDBType", "PARADOX");
    db.Element(1, 4) = ini.ReadString(dbe, "TempDBName", "");
    db.Element(2, 0) = TrimText(ini.ReadString(ctrl, "ComputerName", ""));
    db.Element(2, 1) = ini.ReadInteger(ctrl, "ServerPort", 211);
    db.Element(2, 2) = ini.ReadInteger(ctrl, "ClientSocketPort", 1024);
    db.Element(2, 3) = ini.ReadString(dbe, "DataBaseCodeOrder", "Chinese_Taiwan_Stroke_BIN");
    db.Element(3, 0) = ini.ReadString(dbe, "EctAlias", "EDIDATA");
    db.Element(3, 1) = ini.ReadString(dbe, "EctUserName", "sa");
    db.Element(3, 2) = ini.ReadString(dbe, "EctPassword", "");
    db.Element(4, 0) = PosixPath(ini.ReadString("BATCH Setting", "NiceShippingPath", "S_DATA\\NS"));
    DBSettings = db;

    const std::string mainUser = db.Element(0, 1).ToString();
    const std::string mainPassword = db.Element(0, 2).ToString();
    MainConnectionString = ConnectionString(db.Element(0, 5).ToString(), mainUser, mainPassword,
                                            db.Element(0, 4).ToString());
    TempConnectionString = ConnectionString(db.Element(1, 0).ToString(), mainUser, mainPassword,
                                            db.Element(1, 4).ToString());

    TempDBKind = ini.ReadString(dbe, "TempDBKind", "");
    SupportCallBack = IsTrueText(ini.ReadString(ctrl, "SupportCallBack", "0"));
    ReadWorkPaths(*this, ini, "S_PKG/");

    const std::string dbType = UpperAscii(db.Element(0, 3).ToString());
    MainDBKind = dbType == "ORACLE" ? 1 : dbType == "DB2" ? 2 : 0;

    SetConvertModes(*this);
    loadResult_ = true;
    return true;
}

} // namespace nuv
