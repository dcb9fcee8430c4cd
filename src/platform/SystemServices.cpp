#include "platform/SystemServices.h"

#include "platform/AsciiText.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <langinfo.h>
#include <locale.h>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace nuv {

namespace {

// Runs fn with a locale object for the category built from the environment, falling back to
// the C locale when the environment names a locale that is not installed.
template <typename Fn> auto WithEnvironmentLocale(int mask, Fn fn) {
    locale_t loc = newlocale(mask, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr))
        loc = newlocale(mask, "C", static_cast<locale_t>(nullptr));
    auto result = fn(loc);
    if (loc != static_cast<locale_t>(nullptr))
        freelocale(loc);
    return result;
}

std::string& ModuleOverride() {
    static std::string path;
    return path;
}

std::string& UserOverride() {
    static std::string name;
    return name;
}

std::string RealPath(const char* path) {
    char buf[PATH_MAX];
    if (path && *path && realpath(path, buf))
        return buf;
    return {};
}

} // namespace

int CodePageOfCharset(const std::string& charset) {
    const std::string cs = UpperAscii(charset);
    if (cs == "BIG5" || cs == "BIG5-HKSCS" || cs == "BIG5HKSCS" || cs == "CP950")
        return 950;
    if (cs == "GBK" || cs == "GB2312" || cs == "GB18030" || cs == "EUC-CN" || cs == "CP936")
        return 936;
    if (cs == "UTF-8" || cs == "UTF8")
        return 65001;
    if (cs == "ISO-8859-1" || cs == "ISO8859-1" || cs == "CP1252")
        return 1252;
    if (cs == "SHIFT_JIS" || cs == "SJIS" || cs == "CP932")
        return 932;
    if (cs == "EUC-KR" || cs == "CP949")
        return 949;
    return 65001;
}

int GetACP() {
    if (const char* env = std::getenv("NUV_ACP"); env && *env) {
        char* end = nullptr;
        long v = std::strtol(env, &end, 10);
        if (*end == '\0' && v > 0 && v < 100000)
            return static_cast<int>(v);
    }
    // Building a locale object is costly and GetACP is asked for on every conversion, so the
    // answer is kept for as long as the variables that choose the locale stay the same.
    static std::string cachedKey;
    static int cachedCodePage = 0;
    std::string key;
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* v = std::getenv(var);
        key += v ? v : "";
        key += '\n';
    }
    if (cachedCodePage != 0 && key == cachedKey)
        return cachedCodePage;
    cachedCodePage = WithEnvironmentLocale(LC_CTYPE_MASK, [](locale_t loc) {
        if (loc == static_cast<locale_t>(nullptr))
            return 65001;
        return CodePageOfCharset(nl_langinfo_l(CODESET, loc));
    });
    cachedKey = key;
    return cachedCodePage;
}

std::string GetUserName() {
    if (!UserOverride().empty())
        return UserOverride();
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buf(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd pw{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_name)
        return found->pw_name;
    for (const char* var : {"LOGNAME", "USER"})
        if (const char* v = std::getenv(var); v && *v)
            return v;
    return {};
}

std::string GetModuleFileName() {
    if (!ModuleOverride().empty())
        return ModuleOverride();
    // The module stays where it was loaded from for as long as this code runs: it is found
    // once (forms ask for it several times as they open).
    static const std::string loadedFrom = [] {
        Dl_info info{};
        // The address of a function of this file: dladdr names the module that holds it.
        if (dladdr(reinterpret_cast<void*>(&GetModuleFileName), &info) && info.dli_fname &&
            *info.dli_fname) {
            std::string p = RealPath(info.dli_fname);
            if (!p.empty())
                return p;
        }
        // The main program is reported with an empty or relative name.
        return GetExecutablePath();
    }();
    return loadedFrom;
}

void SetUserNameOverride(const std::string& name) {
    UserOverride() = name;
}

void SetModuleFileNameOverride(const std::string& path) {
    ModuleOverride() = path;
}

std::string GetExecutablePath() {
    return RealPath("/proc/self/exe");
}

char DateSeparator() {
    return WithEnvironmentLocale(LC_TIME_MASK, [](locale_t loc) {
        if (loc == static_cast<locale_t>(nullptr))
            return '/';
        // The first character of the date format that is neither a conversion nor a letter or
        // digit: "%m/%d/%y" gives '/', "%d.%m.%Y" gives '.', "%Y-%m-%d" gives '-'.
        const char* fmt = nl_langinfo_l(D_FMT, loc);
        for (const char* p = fmt; p && *p; ++p) {
            if (*p == '%') {
                if (p[1] == 'E' || p[1] == 'O')
                    ++p;
                if (p[1])
                    ++p;
                continue;
            }
            unsigned char c = static_cast<unsigned char>(*p);
            if (c < 0x80 && !std::isalnum(c) && c != ' ')
                return static_cast<char>(c);
        }
        return '/';
    });
}

} // namespace nuv
