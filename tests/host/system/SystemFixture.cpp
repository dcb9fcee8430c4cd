#include "SystemFixture.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <cstdlib>

namespace nuv::test {

namespace {

std::string RegString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

QProcessEnvironment Environment(const std::string& registry) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NUV_REGISTRY"), QString::fromStdString(registry));
    return env;
}

} // namespace

TSystemInstallation::TSystemInstallation() {
    const std::string demo = DemoDir();
    QProcess install;
    install.start(QStringLiteral("bash"),
                  {QStringLiteral(NUV_INSTALL_DEMO), QStringLiteral("--modules"),
                   QStringLiteral(NUV_MODULES), QString::fromStdString(demo)});
    if (!install.waitForFinished(120000) || install.exitCode() != 0) {
        problem_ = "tools/install-demo failed: " + install.readAllStandardError().toStdString();
        return;
    }

    // The client side lives in a folder of its own, the server side is the demo's.
    const std::string modules = NUV_MODULES;
    dir_.Write("client/registry.reg",
               "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_LOCAL_MACHINE\\Software\\NUV\\Tarvel]\n"
               "\"ClientPath\"=" +
                   RegString(dir_ / "client/") + "\n" + "\"ServerPath\"=" + RegString(demo + "/") +
                   "\n" + "\"DemoDatabase\"=" + RegString(demo + "/NuvDemo.db") + "\n\n" +
                   "[HKEY_CLASSES_ROOT\\ProwenWorkCenter.Manager\\InprocServer32]\n@=" +
                   RegString(modules + "/ProwenWorkCenter.so") + "\n\n" +
                   "[HKEY_CLASSES_ROOT\\InputDayC.Class1\\InprocServer32]\n@=" +
                   RegString(modules + "/InputDayC.so") + "\n\n" +
                   "[HKEY_CLASSES_ROOT\\ReportCounterS.dmReportCounter\\InprocServer32]\n@=" +
                   RegString(modules + "/ReportCounterS.so") + "\n");

    daemon_ = std::make_unique<QProcess>();
    daemon_->setProcessEnvironment(Environment(RegistryFile()));
    daemon_->setProcessChannelMode(QProcess::SeparateChannels);
    daemon_->start(QStringLiteral(NUV_REPORTCOUNTERD),
                   {QStringLiteral("serve"), QStringLiteral("--listen"),
                    QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QStringLiteral("0")});
    QElapsedTimer clock;
    clock.start();
    QByteArray said;
    const QRegularExpression listening(QStringLiteral("listening on [0-9.]+:([0-9]+)"));
    while (clock.elapsed() < 30000 && daemon_->state() != QProcess::NotRunning) {
        daemon_->waitForReadyRead(200);
        said += daemon_->readAllStandardOutput();
        const auto m = listening.match(QString::fromUtf8(said));
        if (m.hasMatch()) {
            port_ = m.captured(1).toInt();
            break;
        }
    }
    if (port_ == 0) {
        problem_ = "reportcounterd did not start: " + daemon_->readAllStandardError().toStdString();
        return;
    }
    SetInterfaceCodePage("950");
    setenv("NUV_REGISTRY", RegistryFile().c_str(), 1);
}

TSystemInstallation::~TSystemInstallation() {
    if (daemon_ && daemon_->state() != QProcess::NotRunning) {
        daemon_->terminate();
        if (!daemon_->waitForFinished(10000))
            daemon_->kill();
        daemon_->waitForFinished(5000);
    }
}

void TSystemInstallation::SetInterfaceCodePage(const std::string& codePage) {
    // The client names the server "localhost", so that the request travels over TCP to the
    // daemon (the address 127.0.0.1 would make the dialog use the server class in-process).
    dir_.Write("client/TarvelC.ini", "[Client Components]\nLangType=CHT\n\n"
                                     "[CodePage]\nUICodePage=" +
                                         codePage +
                                         "\nDBCodePage=950\n\n"
                                         "[Server Information]\nComputerName=localhost\n"
                                         "ServerPort=" +
                                         std::to_string(port_) + "\nSupportCallBack=0\n");
}

QString TSystemInstallation::Daemon(const QStringList& arguments) const {
    QProcess p;
    p.setProcessEnvironment(Environment(RegistryFile()));
    p.start(QStringLiteral(NUV_REPORTCOUNTERD), arguments);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace nuv::test
