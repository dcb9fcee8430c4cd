// One report module opened by the host: its controller, the dialog's notifications and the
// result the controller hands back.
//
// The session owns the controller (freed with FreeController or with the session). Every
// notification arrives through Notified (a signal) as it is raised; when the dialog has gone
// (304) the result is in ResultCode and ResultValue. Operations that the controller may raise
// from (GetController, OpenDialog) report the failure as nuv::Exception to the caller.
#pragma once

#include "ReportModule.h"

#include <nuv/DLLBaseCtrller.h>
#include <nuv/Variant.h>

#include <QObject>
#include <QSet>
#include <QString>
#include <QWidget>

#include <cstdint>

namespace nuv {

// The identity the host opens a dialog with.
struct THostIdentity {
    QString User;
    QString Company;
    QString DataSource;
};

class TReportSession : public QObject {
    Q_OBJECT
public:
    // Creates the controller of the module; raises nuv::Exception when it cannot.
    TReportSession(const TReportModule& module, const Variant& manager, QObject* parent = nullptr);
    ~TReportSession() override;

    const TReportModule& Module() const { return module_; }
    bool HasController() const { return ctl_ != nullptr; }
    bool HasDialog() const { return ctl_ != nullptr && !ctl_->IsDialogFreed(); }

    // OpenDialog with [user, company, data source, 0, host options]: true when it returned 0.
    // Host options hold "FEP" = False. Raises what OpenDialog raises.
    bool Open(const THostIdentity& identity);
    // Shows the dialog without waiting (modeless).
    void Show();
    // Shows the dialog modally and returns its modal result when it has been closed.
    int ShowModal();
    // Hands a host value array to the dialog: the controller's answer (0 taken, -1 not).
    std::int32_t ApplyValues(const Variant& hostValues);
    void FreeDialog();
    void FreeController();
    // Asks the controller for notification 320 (only a host ever does).
    void NotifyExtra();

    // The dialog's identity [user, company, program code, program name], empty texts without
    // a dialog.
    QStringList Identity();
    QString Version();

    // The result of the last dialog, taken when it was destroyed.
    std::int32_t ResultCode() const { return ctl_ ? ctl_->ResultCode : lastCode_; }
    Variant ResultValue() const { return ctl_ ? ctl_->ResultValue : lastValue_; }

    // The dialog's top-level window, found among the application's windows: the one that
    // appeared since the dialog was opened (the active one when there are several). nullptr
    // while the dialog is hidden or absent.
    QWidget* DialogWindow() const;

    // A readable name of a notification code ("256 dialog created").
    static QString NotificationText(std::int32_t code);

signals:
    void Notified(int code);

private:
    void ControllerNotify(std::int32_t code, TDLLBaseController* controller);

    TReportModule module_;
    TDLLBaseController* ctl_ = nullptr;
    std::int32_t lastCode_ = 0;
    Variant lastValue_;
    // Top-level windows that existed before the dialog was opened.
    QSet<QWidget*> before_;
};

// Runs the host's event loop until nothing is left to do now: posted messages, released forms
// and deferred deletions (no waiting).
void SettleEvents();

} // namespace nuv
