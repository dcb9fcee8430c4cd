// The whole system on one machine for a test: the demo installation in a temporary folder
// (tools/install-demo), reportcounterd listening on a free loopback port, and a client
// configuration that sends the dialog's requests to it over TCP. The suite's process uses the
// registry file of that installation, so the report module it loads, the Manager and the
// date picker are the real ones.
#pragma once

#include "platform/TestFiles.h"

#include <QProcess>
#include <QString>

#include <memory>
#include <string>

namespace nuv::test {

class TSystemInstallation {
public:
    // Installs the demo and starts the daemon; a failure is reported by Problem().
    TSystemInstallation();
    ~TSystemInstallation();

    const std::string& Problem() const { return problem_; }
    const TempDir& Dir() const { return dir_; }
    std::string DemoDir() const { return dir_ / "demo"; }
    std::string RegistryFile() const { return dir_ / "client/registry.reg"; }
    int Port() const { return port_; }

    // Rewrites the client configuration with the interface code page ("950" or "936").
    void SetInterfaceCodePage(const std::string& codePage);
    // Runs reportcounterd with the arguments (jobs, runs, ...) against the demo's queue and
    // returns what it printed.
    QString Daemon(const QStringList& arguments) const;

private:
    TempDir dir_;
    std::unique_ptr<QProcess> daemon_;
    int port_ = 0;
    std::string problem_;
};

} // namespace nuv::test
