// nuvhost, the reference work-center host. See HostOptions.cpp for the command line.
#include "HostOptions.h"
#include "HostRun.h"
#include "WorkCenter.h"
#include "WorkCenterWindow.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>

#include <cstdlib>
#include <cstring>

namespace {

// Runs without the host window (unattended, screenshot) need no screen: without a display
// they use Qt's offscreen platform unless one is chosen.
void ChoosePlatformForWindowlessRuns(int argc, char* argv[]) {
    if (std::getenv("QT_QPA_PLATFORM") || std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"))
        return;
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"--run", "--unattended", "--screenshot"})
            if (std::strcmp(argv[i], option) == 0 ||
                (std::strncmp(argv[i], option, std::strlen(option)) == 0 &&
                 argv[i][std::strlen(option)] == '='))
                setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

} // namespace

int main(int argc, char* argv[]) {
    ChoosePlatformForWindowlessRuns(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nuvhost"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    nuv::THostOptions options;
    const nuv::TParseResult parsed = nuv::ParseHostOptions(QApplication::arguments(), options);
    if (parsed.Outcome == nuv::TParseOutcome::Exit) {
        (parsed.ExitCode == 0 ? out : err) << parsed.Message << '\n';
        return parsed.ExitCode;
    }

    // The registry file serves this process: the manager and the libraries the dialogs load.
    if (!options.Registry.isEmpty())
        qputenv("NUV_REGISTRY", QFile::encodeName(options.Registry));
    const nuv::TManagerConnection manager = nuv::ConnectManager();
    if (options.Unattended)
        return nuv::RunUnattended(options, manager, out, err);
    if (!options.Screenshot.isEmpty())
        return nuv::RunScreenshot(options, manager, out, err);

    if (!manager.Problem.isEmpty())
        err << manager.Problem << '\n';
    nuv::TWorkCenterWindow window(options, manager);
    window.show();
    if (!options.Module.isEmpty())
        window.OpenDialog();
    return QApplication::exec();
}
