#include "WorkCenterWindow.h"

#include "HostRun.h"
#include "HostValues.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTime>
#include <QToolButton>
#include <QVBoxLayout>

namespace nuv {

TWorkCenterWindow::TWorkCenterWindow(const THostOptions& options, TManagerConnection manager,
                                     QWidget* parent)
    : QMainWindow(parent), options_(options), manager_(std::move(manager)) {
    setWindowTitle(QStringLiteral("nuvhost 工作中心"));

    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);

    auto* moduleBox = new QGroupBox(QStringLiteral("報表模組"), central);
    auto* moduleLayout = new QVBoxLayout(moduleBox);
    modules_ = new QListWidget(moduleBox);
    modules_->setObjectName(QStringLiteral("modules"));
    auto* refresh = new QPushButton(QStringLiteral("重新整理"), moduleBox);
    refresh->setObjectName(QStringLiteral("refresh"));
    moduleLayout->addWidget(modules_);
    moduleLayout->addWidget(refresh);
    columns->addWidget(moduleBox, 1);

    auto* right = new QVBoxLayout;
    auto* identityBox = new QGroupBox(QStringLiteral("開啟對話框"), central);
    auto* form = new QFormLayout(identityBox);
    auto edit = [&](const char* name, const QString& text) {
        auto* e = new QLineEdit(text, identityBox);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    user_ = edit("user", options.Identity.User);
    company_ = edit("company", options.Identity.Company);
    dataSource_ = edit("dataSource", options.Identity.DataSource);
    values_ = edit("values", options.ValuesFile);
    values_->setPlaceholderText(QStringLiteral("JSON 檔，可不填"));
    auto* browse = new QToolButton(identityBox);
    browse->setText(QStringLiteral("…"));
    auto* valuesRow = new QHBoxLayout;
    valuesRow->addWidget(values_);
    valuesRow->addWidget(browse);
    modal_ = new QCheckBox(QStringLiteral("強制回應（modal）"), identityBox);
    modal_->setObjectName(QStringLiteral("modal"));
    modal_->setChecked(options.Modal);
    form->addRow(QStringLiteral("使用者代號"), user_);
    form->addRow(QStringLiteral("公司代號"), company_);
    form->addRow(QStringLiteral("資料來源"), dataSource_);
    form->addRow(QStringLiteral("主機值"), valuesRow);
    form->addRow(QString(), modal_);
    auto* buttons = new QHBoxLayout;
    open_ = new QPushButton(QStringLiteral("開啟對話框"), identityBox);
    open_->setObjectName(QStringLiteral("open"));
    open_->setDefault(true);
    free_ = new QPushButton(QStringLiteral("釋放控制器"), identityBox);
    free_->setObjectName(QStringLiteral("freeController"));
    extra_ = new QPushButton(QStringLiteral("額外通知"), identityBox);
    extra_->setObjectName(QStringLiteral("notifyExtra"));
    extra_->setToolTip(QStringLiteral("NotifyExtra：控制器回報通知 320"));
    buttons->addWidget(open_);
    buttons->addWidget(free_);
    buttons->addWidget(extra_);
    form->addRow(buttons);
    right->addWidget(identityBox);

    auto* notifyBox = new QGroupBox(QStringLiteral("通知"), central);
    auto* notifyLayout = new QVBoxLayout(notifyBox);
    notifications_ = new QListWidget(notifyBox);
    notifications_->setObjectName(QStringLiteral("notifications"));
    notifyLayout->addWidget(notifications_);
    right->addWidget(notifyBox, 1);

    auto* resultBox = new QGroupBox(QStringLiteral("結果"), central);
    auto* resultForm = new QFormLayout(resultBox);
    auto label = [&](const char* name) {
        auto* l = new QLabel(QStringLiteral("—"), resultBox);
        l->setObjectName(QLatin1String(name));
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };
    program_ = label("program");
    resultCode_ = label("resultCode");
    resultValue_ = label("resultValue");
    resultValue_->setWordWrap(true);
    resultForm->addRow(QStringLiteral("程式"), program_);
    resultForm->addRow(QStringLiteral("ResultCode"), resultCode_);
    resultForm->addRow(QStringLiteral("ResultValue"), resultValue_);
    right->addWidget(resultBox);
    columns->addLayout(right, 2);
    setCentralWidget(central);

    managerState_ = new QLabel(this);
    managerState_->setObjectName(QStringLiteral("managerState"));
    managerState_->setWordWrap(true);
    if (manager_.Problem.isEmpty()) {
        managerState_->setText(
            QStringLiteral("工作中心管理員 %1：已連線").arg(QLatin1String(ManagerClassName)));
    } else {
        managerState_->setText(manager_.Problem);
        managerState_->setStyleSheet(QStringLiteral("color: #b00000"));
    }
    statusBar()->addWidget(managerState_, 1);

    connect(refresh, &QPushButton::clicked, this, &TWorkCenterWindow::RefreshModules);
    connect(open_, &QPushButton::clicked, this, &TWorkCenterWindow::OpenDialog);
    connect(free_, &QPushButton::clicked, this, &TWorkCenterWindow::FreeController);
    connect(extra_, &QPushButton::clicked, this, [this] {
        if (session_)
            session_->NotifyExtra();
    });
    connect(modules_, &QListWidget::itemActivated, this, &TWorkCenterWindow::OpenDialog);
    connect(modules_, &QListWidget::currentRowChanged, this, &TWorkCenterWindow::UpdateState);
    connect(browse, &QToolButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("主機值"),
                                                          QFileInfo(values_->text()).absolutePath(),
                                                          QStringLiteral("JSON (*.json)"));
        if (!file.isEmpty())
            values_->setText(file);
    });

    RefreshModules();
    if (!options.Module.isEmpty() && !SelectModule(options.Module))
        Log(QStringLiteral("%1 不在 %2 的報表模組之中")
                .arg(options.Module, QDir::toNativeSeparators(options.ModulesFolder)));
    resize(780, 560);
}

TWorkCenterWindow::~TWorkCenterWindow() {
    FreeController();
}

void TWorkCenterWindow::RefreshModules() {
    const QString selected = SelectedPath();
    modules_->clear();
    for (const QString& path : ListReportModules(options_.ModulesFolder)) {
        auto* item = new QListWidgetItem(QFileInfo(path).completeBaseName(), modules_);
        item->setData(Qt::UserRole, path);
        item->setToolTip(QDir::toNativeSeparators(path));
        if (path == selected)
            modules_->setCurrentItem(item);
    }
    if (modules_->currentRow() < 0 && modules_->count() > 0)
        modules_->setCurrentRow(0);
    if (modules_->count() == 0)
        Log(QStringLiteral("%1 之中沒有報表模組")
                .arg(QDir::toNativeSeparators(options_.ModulesFolder)));
    UpdateState();
}

bool TWorkCenterWindow::SelectModule(const QString& nameOrPath) {
    for (int i = 0; i < modules_->count(); ++i) {
        const QString path = modules_->item(i)->data(Qt::UserRole).toString();
        const QFileInfo file(path);
        if (path == QFileInfo(nameOrPath).absoluteFilePath() || file.fileName() == nameOrPath ||
            file.completeBaseName() == nameOrPath) {
            modules_->setCurrentRow(i);
            return true;
        }
    }
    return false;
}

QString TWorkCenterWindow::SelectedPath() const {
    const QListWidgetItem* item = modules_->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void TWorkCenterWindow::OpenDialog() {
    const QString path = SelectedPath();
    if (path.isEmpty())
        return;
    // Another module: the controller of the previous one goes first.
    if (session_ && session_->Module().Path != path)
        FreeController();
    try {
        if (!session_) {
            session_ = std::make_unique<TReportSession>(LoadReportModule(path, QString()),
                                                        manager_.Manager);
            connect(session_.get(), &TReportSession::Notified, this, &TWorkCenterWindow::Notified);
            Log(QStringLiteral("GetController：%1").arg(QFileInfo(path).fileName()));
        }
        if (session_->HasDialog()) {
            session_->Show();
            return;
        }
        const THostIdentity identity{user_->text().trimmed(), company_->text().trimmed(),
                                     dataSource_->text().trimmed()};
        if (!session_->Open(identity)) {
            Log(QStringLiteral("OpenDialog 傳回 -1：對話框無法初始化，已釋放"));
            session_->FreeDialog();
            UpdateState();
            return;
        }
        const QStringList identityOut = session_->Identity();
        if (identityOut.size() == 4)
            program_->setText(QStringLiteral("%1 %2（版本 %3）")
                                  .arg(identityOut[2], identityOut[3], session_->Version()));
        UpdateState();
        const QString valuesFile = values_->text().trimmed();
        if (!valuesFile.isEmpty()) {
            const THostValues values = ReadHostValuesFile(valuesFile);
            const int runMode = values.RunMode.value_or(0);
            if (session_->ApplyValues(values.HostValueArray(runMode)) != 0)
                Log(QStringLiteral("ApplyValues 傳回 -1：對話框沒有接受主機值"));
            else
                Log(QStringLiteral("ApplyValues：執行模式 %1").arg(runMode));
        } else if (modal_->isChecked()) {
            const int result = session_->ShowModal();
            Log(QStringLiteral("ShowDialogModal 傳回 %1").arg(result));
        } else {
            session_->Show();
        }
    } catch (const std::exception& e) {
        Log(QStringLiteral("錯誤：%1").arg(Lines(QString::fromUtf8(e.what())).replace('\n', ' ')));
    }
    UpdateState();
}

void TWorkCenterWindow::FreeController() {
    if (!session_)
        return;
    try {
        session_->FreeController();
    } catch (const std::exception& e) {
        Log(QStringLiteral("錯誤：%1").arg(QString::fromStdString(e.what())));
    }
    session_.reset();
    Log(QStringLiteral("控制器已釋放"));
    UpdateState();
}

void TWorkCenterWindow::closeEvent(QCloseEvent* event) {
    FreeController();
    QMainWindow::closeEvent(event);
}

void TWorkCenterWindow::Notified(int code) {
    Log(TReportSession::NotificationText(code));
    if (code == ncDialogDestroy && session_) {
        resultCode_->setText(QString::number(session_->ResultCode()));
        const Variant value = session_->ResultValue();
        resultValue_->setText(value.IsEmpty() ? QStringLiteral("（未指定）") : ResultText(value));
        // The controller forgets the dialog when this notification has returned.
        QMetaObject::invokeMethod(this, &TWorkCenterWindow::UpdateState, Qt::QueuedConnection);
        return;
    }
    UpdateState();
}

void TWorkCenterWindow::Log(const QString& line) {
    if (notifications_ == nullptr)
        return;
    notifications_->addItem(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz  ")) + line);
    notifications_->scrollToBottom();
}

void TWorkCenterWindow::UpdateState() {
    if (open_ == nullptr)
        return;
    open_->setEnabled(!SelectedPath().isEmpty());
    const bool same = session_ && session_->Module().Path == SelectedPath();
    open_->setText(same && session_->HasDialog() ? QStringLiteral("顯示對話框")
                   : same                        ? QStringLiteral("再次開啟對話框")
                                                 : QStringLiteral("開啟對話框"));
    free_->setEnabled(session_ != nullptr);
    extra_->setEnabled(session_ != nullptr);
}

} // namespace nuv
