#include "support/NUVLIB.h"

#include "platform/CodePage.h"
#include "platform/DateTime.h"
#include "platform/Registry.h"
#include "platform/SystemServices.h"
#include <nuv/Exception.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace nuv {

namespace {

std::string PosixPath(std::string p) {
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return p;
}

std::string RegistryText(const TRegistry& reg, const std::string& name) {
    if (reg.GetDataType(name) == TRegDataType::rdString ||
        reg.GetDataType(name) == TRegDataType::rdExpandString)
        return reg.ReadString(name);
    return {};
}

// The installation directory as the registry holds it, else the executable's directory.
// Raises Exception when the registry file cannot be read.
std::string BaseDirectory() {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    std::string base;
    if (reg.OpenKeyReadOnly("Software\\NUV\\Tarvel")) {
        base = RegistryText(reg, "ClientPath");
        if (base.empty())
            base = RegistryText(reg, "ServerPath");
        reg.CloseKey();
    }
    if (base.empty())
        base = std::filesystem::path(GetExecutablePath()).parent_path().string();
    return PosixPath(base);
}

std::string LogDirectory() {
    std::string dir = BaseDirectory();
    if (dir.empty())
        return {};
    if (dir.back() != '/')
        dir += '/';
    return dir + "Log";
}

std::string FileNameIn(const std::string& logDir, std::string name, const std::string& period,
                       const DateTimeParts& now) {
    for (char& c : name)
        if (c == '/' || c == '\\' || c == '\0')
            c = '_';
    char stamp[16];
    if (period == "M")
        std::snprintf(stamp, sizeof stamp, "%04d%02d", now.year, now.month);
    else if (period == "Y")
        std::snprintf(stamp, sizeof stamp, "%04d", now.year);
    else
        std::snprintf(stamp, sizeof stamp, "%04d%02d%02d", now.year, now.month, now.day);
    std::string file = logDir + "/Alert_" + name + "_" + stamp;
    if (name.find('.') == std::string::npos)
        file += ".log";
    return file;
}

} // namespace

std::string AlertLogFileName(const std::string& name, const std::string& period) {
    try {
        std::string dir = LogDirectory();
        return dir.empty() ? std::string() : FileNameIn(dir, name, period, DecodeDateTime(Now()));
    } catch (const Exception&) {
        return {};
    }
}

bool WriteAlertLog(const std::string& name, const std::string& text, const std::string& period) {
    const DateTimeParts now = DecodeDateTime(Now());
    std::string dir;
    try {
        dir = LogDirectory();
    } catch (const Exception&) {
        return false;
    }
    if (dir.empty())
        return false;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
        return false;

    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%04d/%02d/%02d %02d:%02d:%02d:%03d] ", now.year, now.month,
                  now.day, now.hour, now.minute, now.second, now.millisecond);
    std::string body = text;
    int acp = GetACP();
    if (acp != 65001 && IsCodePageSupported(acp))
        body = EncodeBytes(text, acp);
    const std::string line = stamp + body + "\r\n";

    const std::string file = FileNameIn(dir, name, period, now);
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = true;
    std::size_t done = 0;
    while (done < line.size()) {
        ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0)
        ok = false;
    return ok;
}

} // namespace nuv
