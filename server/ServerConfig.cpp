#include "ServerConfig.h"

#include <nuv/Exception.h>
#include "platform/IniFile.h"
#include "support/TarvelINI.h"

namespace nuv {

TServerConfig TServerConfig::Load() {
    TTarvelIniS ini;
    if (!ini.LoadResult())
        throw Exception(
            "The server configuration cannot be read: " +
            (ini.ErrorCode.empty()
                 ? std::string("no ServerPath under HKEY_LOCAL_MACHINE\\Software\\NUV\\"
                               "Tarvel in the registry file")
                 : "the registry key Software\\NUV\\Tarvel is missing (" + ini.ErrorCode + ")"));
    TServerConfig c;
    c.Port = ini.DBSettings.Element(2, 1).ToIntDef(211);
    TIniFile file(ini.IniFileName);
    const char* section = "ReportCounter";
    c.ListenAddress = file.ReadString(section, "ListenAddress", "127.0.0.1");
    c.QueueFile = ResolveWorkPath(
        file.ReadString(section, "QueueFile", ini.BasePath + "Data/ReportQueue.db"), ini.BasePath);
    std::string erp = ini.DBSettings.Element(0, 4).ToString();
    c.ErpDatabase = ResolveWorkPath(
        file.ReadString(section, "ErpDatabase", erp.empty() ? ini.BasePath + "Data/demo.db" : erp),
        ini.BasePath);
    c.OutputPath = ResolveWorkPath(
        file.ReadString(section, "OutputPath", ini.BasePath + "Reports/"), ini.BasePath);
    if (!c.OutputPath.empty() && c.OutputPath.back() != '/')
        c.OutputPath += '/';
    c.FrameTimeoutMs = file.ReadInteger(section, "FrameTimeout", 30) * 1000;
    return c;
}

} // namespace nuv
