// A host installation for code-page tests: a registry file naming an installation directory
// with TarvelC.ini and TarvelS.ini, each giving its [CodePage] section, and the machine's code
// page (NUV_ACP). Everything is set for the lifetime of the object and put back afterwards.
//
//     CodePageSetup setup{"950", {"936", "950"}};   // a Big5 machine, a GB interface
//     TCodeConverter cv(nullptr);                    // reads UICodePage 936, DBCodePage 950
#pragma once

#include "platform/TestFiles.h"

#include <optional>
#include <string>

namespace nuv::test {

struct CodePages {
    std::string UI = "950";
    std::string DB = "950";
};

class CodePageSetup {
public:
    // client: the pages of TarvelC.ini; server: those of TarvelS.ini (the client's when not
    // given).
    CodePageSetup(const std::string& systemCodePage, const CodePages& client,
                  const std::optional<CodePages>& server = std::nullopt)
        : acp_("NUV_ACP", systemCodePage) {
        const CodePages& s = server ? *server : client;
        dir_.Write("App/TarvelC.ini",
                   Ini(client) + "[Server Information]\r\nComputerName=127.0.0.1\r\n");
        dir_.Write("App/TarvelS.ini", Ini(s));
        std::string app = dir_ / "App";
        registry_.emplace(
            "NUV_REGISTRY",
            dir_.Write("registry.reg", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\NUV\\Tarvel]\n"
                                       "\"ClientPath\"=\"" +
                                           app + "\"\n\"ServerPath\"=\"" + app + "\"\n"));
    }

private:
    static std::string Ini(const CodePages& p) {
        return "[CodePage]\r\nUICodePage=" + p.UI + "\r\nDBCodePage=" + p.DB + "\r\n";
    }
    TempDir dir_;
    ScopedEnv acp_;
    std::optional<ScopedEnv> registry_;
};

} // namespace nuv::test
