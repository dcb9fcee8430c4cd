#include "ReportSession.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>

namespace nuv {

TReportSession::TReportSession(const TReportModule& module, const Variant& manager, QObject* parent)
    : QObject(parent), module_(module) {
    ctl_ = module_.GetController();
    if (ctl_ == nullptr)
        throw Exception("GetController of " + module_.Path.toStdString() +
                        " returned no controller");
    ctl_->Manager = manager;
    ctl_->OnNotify = TDLLNotifyEvent::Bind<&TReportSession::ControllerNotify>(this);
}

TReportSession::~TReportSession() {
    FreeController();
}

bool TReportSession::Open(const THostIdentity& identity) {
    if (!ctl_)
        return false;
    const auto windows = QApplication::topLevelWidgets();
    before_ = QSet<QWidget*>(windows.begin(), windows.end());
    Variant options = Variant::CreateArray({ArrayBounds{0, 1}, ArrayBounds{0, 0}});
    options.Element(0, 0) = "FEP";
    options.Element(1, 0) = false;
    return ctl_->OpenDialog(
               Variant::ArrayOf({identity.User.toStdString(), identity.Company.toStdString(),
                                 identity.DataSource.toStdString(), 0, options})) == 0;
}

void TReportSession::Show() {
    if (ctl_)
        ctl_->SetVisible(WordTrue);
}

int TReportSession::ShowModal() {
    return ctl_ ? ctl_->ShowDialogModal().ToIntDef(2) : 2;
}

std::int32_t TReportSession::ApplyValues(const Variant& hostValues) {
    return ctl_ ? ctl_->ApplyValues(hostValues) : -1;
}

void TReportSession::FreeDialog() {
    if (ctl_)
        ctl_->FreeDialog();
}

void TReportSession::NotifyExtra() {
    if (ctl_)
        ctl_->NotifyExtra();
}

void TReportSession::FreeController() {
    if (ctl_ == nullptr)
        return;
    // An open dialog is freed first, so that it still reports 304 with its result; the
    // controller goes even when the dialog's clean-up fails.
    TDLLBaseController* ctl = ctl_;
    auto release = [&] {
        lastCode_ = ctl->ResultCode;
        lastValue_ = ctl->ResultValue;
        ctl_ = nullptr;
        delete ctl;
    };
    try {
        ctl->FreeDialog();
    } catch (...) {
        release();
        throw;
    }
    release();
}

QStringList TReportSession::Identity() {
    OleVariant info;
    if (!ctl_ || ctl_->GetIdentity(info) != 0 || !info.IsArray())
        return {};
    QStringList parts;
    for (int i = info.ArrayLowBound(); i <= info.ArrayHighBound(); ++i)
        parts << QString::fromStdString(info[i].ToString());
    return parts;
}

QString TReportSession::Version() {
    return ctl_ ? QString::fromStdU16String(ctl_->GetVersion()) : QString();
}

QWidget* TReportSession::DialogWindow() const {
    if (!HasDialog() || ctl_->GetVisible() == LongFalse)
        return nullptr;
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (before_.contains(w) || !w->isVisible() || w->windowType() == Qt::ToolTip ||
            w->windowType() == Qt::Popup)
            continue;
        if (w == QApplication::activeWindow())
            return w;
        if (found == nullptr)
            found = w;
    }
    return found;
}

QString TReportSession::NotificationText(std::int32_t code) {
    switch (code) {
    case ncDialogCreated:
        return QStringLiteral("256 對話框已建立");
    case ncDialogShow:
        return QStringLiteral("272 對話框顯示");
    case ncDialogHide:
        return QStringLiteral("288 對話框隱藏");
    case ncDialogDestroy:
        return QStringLiteral("304 對話框已關閉");
    case ncNotifyExtra:
        return QStringLiteral("320 額外通知");
    default:
        return QStringLiteral("%1 未知的通知").arg(code);
    }
}

void TReportSession::ControllerNotify(std::int32_t code, TDLLBaseController* controller) {
    if (code == ncDialogDestroy) {
        lastCode_ = controller->ResultCode;
        lastValue_ = controller->ResultValue;
    }
    emit Notified(code);
}

void SettleEvents() {
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace nuv
