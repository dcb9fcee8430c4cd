#include "HostRun.h"

#include "HostValues.h"
#include "MessageAnswerer.h"

#include <QEventLoop>
#include <QPixmap>

#include <memory>
#include <optional>

namespace nuv {

namespace {

// The module's session with its dialog opened, or the exit code of the failure.
struct TOpened {
    std::unique_ptr<TReportSession> Session;
    int Failure = 0;
};

TOpened OpenModule(const THostOptions& options, const TManagerConnection& manager,
                   QTextStream& err) {
    TOpened o;
    if (!manager.Problem.isEmpty())
        err << manager.Problem << "; the dialog opens without it.\n";
    try {
        o.Session = std::make_unique<TReportSession>(
            LoadReportModule(options.Module, options.ModulesFolder), manager.Manager);
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        o.Failure = ExitNoModule;
        return o;
    }
    try {
        if (!o.Session->Open(options.Identity)) {
            err << "The dialog of " << o.Session->Module().Path
                << " could not be initialised (OpenDialog answered -1).\n";
            o.Failure = ExitNoDialog;
        }
    } catch (const std::exception& e) {
        err << "The dialog of " << o.Session->Module().Path
            << " cannot be opened: " << Lines(QString::fromUtf8(e.what())) << '\n';
        o.Failure = ExitNoDialog;
    }
    if (o.Failure != 0)
        o.Session->FreeController();
    return o;
}

std::optional<THostValues> ReadValues(const THostOptions& options, QTextStream& err) {
    try {
        return ReadHostValuesFile(options.ValuesFile);
    } catch (const Exception& e) {
        err << e.what() << '\n';
        return std::nullopt;
    }
}

} // namespace

QString Lines(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString ResultText(const Variant& value) {
    if (value.IsArray())
        return QStringLiteral("(an array of %1 elements)").arg(value.ArrayCount());
    if (value.IsObject())
        return QStringLiteral("(an automation object)");
    try {
        return QString::fromStdString(value.ToString());
    } catch (const Exception& e) {
        return QStringLiteral("(%1)").arg(QString::fromStdString(e.what()));
    }
}

int RunUnattended(const THostOptions& options, const TManagerConnection& manager, QTextStream& out,
                  QTextStream& err) {
    const std::optional<THostValues> values = ReadValues(options, err);
    if (!values)
        return ExitUsage;
    const int runMode = options.RunMode.value_or(values->RunMode.value_or(2));
    // Nobody answers the dialog's messages: they are written out and answered as Enter would.
    std::optional<TMessageAnswerer> answerer;
    if (runMode != 0)
        answerer.emplace(err);

    TOpened opened = OpenModule(options, manager, err);
    if (opened.Failure != 0)
        return opened.Failure;
    TReportSession& session = *opened.Session;
    bool shown = false;
    QEventLoop gone;
    QObject::connect(&session, &TReportSession::Notified, &gone, [&](int code) {
        if (code == ncDialogShow)
            shown = true;
        if (code == ncDialogDestroy)
            gone.quit();
    });

    if (session.ApplyValues(values->HostValueArray(runMode)) != 0) {
        err << "The dialog did not take the values of " << options.ValuesFile << ".\n";
        session.FreeController();
        return ExitValuesRefused;
    }
    bool needsPerson = false;
    if (runMode == 0) {
        // The dialog shows itself filled in; a person finishes it.
        if (session.HasDialog())
            gone.exec();
    } else {
        SettleEvents();
        if (session.HasDialog()) {
            // It did not finish by itself: it showed itself (the values could not be applied)
            // or is still waiting. Nobody is there to answer it.
            needsPerson = true;
            session.FreeDialog();
        }
    }
    session.FreeController();

    out << "ResultCode=" << session.ResultCode() << '\n'
        << "ResultValue=" << ResultText(session.ResultValue()) << '\n';
    if (session.ResultCode() == 1)
        return ExitAccepted;
    if (needsPerson) {
        err << (shown ? "The dialog showed itself instead of running with the values: they "
                        "could not all be applied."
                      : "The dialog did not finish by itself.")
            << " It was closed without a request.\n";
        return ExitValuesRefused;
    }
    return ExitNotAccepted;
}

int RunScreenshot(const THostOptions& options, const TManagerConnection& manager, QTextStream& out,
                  QTextStream& err) {
    std::optional<THostValues> values;
    if (!options.ValuesFile.isEmpty()) {
        values = ReadValues(options, err);
        if (!values)
            return ExitUsage;
        if (options.RunMode.value_or(0) != 0) {
            err << "A screenshot shows the dialog: its run mode is 0.\n";
            return ExitUsage;
        }
    }
    const TMessageAnswerer answerer(err);
    TOpened opened = OpenModule(options, manager, err);
    if (opened.Failure != 0)
        return opened.Failure;
    TReportSession& session = *opened.Session;
    if (values) {
        if (session.ApplyValues(values->HostValueArray(0)) != 0) {
            err << "The dialog did not take the values of " << options.ValuesFile << ".\n";
            return ExitValuesRefused;
        }
    } else {
        session.Show();
    }
    SettleEvents();
    QWidget* window = session.DialogWindow();
    if (window == nullptr) {
        err << "The dialog of " << session.Module().Path << " did not show itself.\n";
        return ExitNoScreenshot;
    }
    const QPixmap picture = window->grab();
    if (picture.isNull() || !picture.save(options.Screenshot, "PNG")) {
        err << "The picture of the dialog cannot be written to " << options.Screenshot << ".\n";
        return ExitNoScreenshot;
    }
    out << "Screenshot=" << options.Screenshot << '\n';
    return ExitAccepted;
}

} // namespace nuv
