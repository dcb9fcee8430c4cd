#include "HostOptions.h"

#include "platform/SystemServices.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace nuv {

TParseResult ParseHostOptions(const QStringList& arguments, THostOptions& options) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The reference work-center host: lists the report modules installed beside it and opens\n"
        "their dialogs. Exit codes of unattended runs and screenshots: 0 request accepted (or\n"
        "picture written), 1 not accepted, 2 bad command line or values file, 3 module not\n"
        "loaded, 4 dialog not opened, 5 values not taken or a person needed, 6 no picture."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption module({QStringLiteral("m"), QStringLiteral("module")},
                                    QStringLiteral("The report module to open (a name such as "
                                                   "Kelt58C, or a path)."),
                                    QStringLiteral("module"));
    const QCommandLineOption folder(QStringLiteral("modules"),
                                    QStringLiteral("Where the report modules are installed "
                                                   "(default: the folder of nuvhost)."),
                                    QStringLiteral("folder"));
    const QCommandLineOption user({QStringLiteral("u"), QStringLiteral("user")},
                                  QStringLiteral("User code (default: the login name)."),
                                  QStringLiteral("code"));
    const QCommandLineOption company({QStringLiteral("c"), QStringLiteral("company")},
                                     QStringLiteral("Company code."), QStringLiteral("code"));
    const QCommandLineOption dataSource({QStringLiteral("d"), QStringLiteral("data-source")},
                                        QStringLiteral("Data-source code."),
                                        QStringLiteral("code"));
    const QCommandLineOption registry(
        QStringLiteral("registry"),
        QStringLiteral("The registry file that names the automation classes (default: "
                       "$NUV_REGISTRY, else /etc/nuv/registry.reg)."),
        QStringLiteral("file"));
    const QCommandLineOption modal(QStringLiteral("modal"),
                                   QStringLiteral("Show the dialog modally (default: modeless)."));
    const QCommandLineOption modeless(QStringLiteral("modeless"),
                                      QStringLiteral("Show the dialog modelessly."));
    const QCommandLineOption values(QStringLiteral("values"),
                                    QStringLiteral("Host values for the dialog, a JSON file."),
                                    QStringLiteral("file"));
    const QCommandLineOption runMode(
        QStringLiteral("run-mode"),
        QStringLiteral("Run mode for the values: 0 shows the dialog filled in; 1 presses OK "
                       "and shows the reply; 2 presses OK and only records it (default: the "
                       "file's runMode, else 2 when unattended and 0 otherwise)."),
        QStringLiteral("n"));
    const QCommandLineOption unattended(
        {QStringLiteral("run"), QStringLiteral("unattended")},
        QStringLiteral("No host window: open the module with the values, print ResultCode and "
                       "ResultValue when the dialog has gone and exit with 0 when the request "
                       "was accepted."));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Show the module's dialog, write its "
                                                       "picture to a PNG file and exit."),
                                        QStringLiteral("file"));
    parser.addOptions({module, folder, user, company, dataSource, registry, modal, modeless, values,
                       runMode, unattended, screenshot});

    auto fault = [](const QString& text) {
        return TParseResult{TParseOutcome::Exit, ExitUsage,
                            text + QStringLiteral("\nSee nuvhost --help.")};
    };
    if (!parser.parse(arguments))
        return fault(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        return {TParseOutcome::Exit, 0, parser.helpText()};
    if (parser.isSet(QStringLiteral("version")))
        return {TParseOutcome::Exit, 0,
                QCoreApplication::applicationName() + QLatin1Char(' ') +
                    QCoreApplication::applicationVersion()};
    if (!parser.positionalArguments().isEmpty())
        return fault(
            QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments()[0]));
    if (parser.isSet(modal) && parser.isSet(modeless))
        return fault(QStringLiteral("--modal and --modeless exclude each other"));

    options.Module = parser.value(module);
    options.ModulesFolder =
        parser.isSet(folder) ? parser.value(folder) : QCoreApplication::applicationDirPath();
    options.Identity.User =
        parser.isSet(user) ? parser.value(user) : QString::fromStdString(GetUserName());
    options.Identity.Company = parser.value(company);
    options.Identity.DataSource = parser.value(dataSource);
    options.Registry = parser.value(registry);
    options.Modal = parser.isSet(modal);
    options.ValuesFile = parser.value(values);
    options.Unattended = parser.isSet(unattended);
    options.Screenshot = parser.value(screenshot);
    if (parser.isSet(runMode)) {
        bool ok = false;
        const int n = parser.value(runMode).toInt(&ok);
        if (!ok || n < 0)
            return fault(QStringLiteral("--run-mode takes a whole number 0 or more, not \"%1\"")
                             .arg(parser.value(runMode)));
        options.RunMode = n;
    }
    if ((options.Unattended || !options.Screenshot.isEmpty()) && options.Module.isEmpty())
        return fault(
            QStringLiteral("--%1 needs the module to open (--module)")
                .arg(options.Unattended ? QStringLiteral("run") : QStringLiteral("screenshot")));
    if (options.Unattended && options.ValuesFile.isEmpty())
        return fault(QStringLiteral("--run needs the values to run with (--values)"));
    if (options.Unattended && !options.Screenshot.isEmpty())
        return fault(QStringLiteral("--run and --screenshot exclude each other"));
    if (parser.isSet(registry) && !QFileInfo(options.Registry).isFile())
        return fault(QStringLiteral("The registry file %1 does not exist").arg(options.Registry));
    if (options.RunMode && options.ValuesFile.isEmpty())
        return fault(QStringLiteral("--run-mode needs a values file (--values)"));
    return {};
}

} // namespace nuv
