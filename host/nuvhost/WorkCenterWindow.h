// nuvhost's window: the work center. It lists the report modules installed in its folder,
// opens the chosen one with the identity entered (modal or modeless, optionally filled in from
// a values file), shows the controller's notifications as they arrive and the result when the
// dialog has gone, and can open the dialog again or free the controller.
#pragma once

#include "HostOptions.h"
#include "ReportSession.h"
#include "WorkCenter.h"

#include <QMainWindow>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace nuv {

class TWorkCenterWindow : public QMainWindow {
    Q_OBJECT
public:
    TWorkCenterWindow(const THostOptions& options, TManagerConnection manager,
                      QWidget* parent = nullptr);
    ~TWorkCenterWindow() override;

    // Lists the modules of the folder again.
    void RefreshModules();
    // Selects the module by file name or path; false when it is not listed.
    bool SelectModule(const QString& nameOrPath);
    // Opens the selected module's dialog (again), as the Open button does.
    void OpenDialog();
    // Frees the controller (and its dialog), as the Free button does.
    void FreeController();

    TReportSession* Session() const { return session_.get(); }

protected:
    // Closing the work center frees the controller and with it a dialog still open.
    void closeEvent(QCloseEvent* event) override;

private:
    void Notified(int code);
    void Log(const QString& line);
    void UpdateState();
    QString SelectedPath() const;

    THostOptions options_;
    TManagerConnection manager_;
    std::unique_ptr<TReportSession> session_;

    QListWidget* modules_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* company_ = nullptr;
    QLineEdit* dataSource_ = nullptr;
    QLineEdit* values_ = nullptr;
    QCheckBox* modal_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* free_ = nullptr;
    QPushButton* extra_ = nullptr;
    QListWidget* notifications_ = nullptr;
    QLabel* program_ = nullptr;
    QLabel* resultCode_ = nullptr;
    QLabel* resultValue_ = nullptr;
    QLabel* managerState_ = nullptr;
};

} // namespace nuv
