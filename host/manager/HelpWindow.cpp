#include "HelpWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace nuv::host {

THelpWindow::THelpWindow(const QString& module, const QString& topic, bool found,
                         const QString& title, const QString& body, QWidget* parent)
    : QDialog(parent) {
    setObjectName("HelpWindow");
    setWindowTitle(QStringLiteral("說明 - %1").arg(found ? title : module));
    auto* heading = new QLabel(this);
    heading->setObjectName("lblTitle");
    QFont f = heading->font();
    f.setPointSizeF(f.pointSizeF() * 1.25);
    f.setBold(true);
    heading->setFont(f);
    auto* text = new QTextBrowser(this);
    text->setObjectName("txtBody");
    if (found) {
        heading->setText(title);
        text->setPlainText(body);
    } else {
        heading->setText(QStringLiteral("找不到說明"));
        text->setPlainText(QStringLiteral("模組 %1 沒有主題「%2」的說明。\n(no help for topic %2)")
                               .arg(module, topic));
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("關閉"), QDialogButtonBox::AcceptRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(text, 1);
    layout->addWidget(buttons);
    resize(460, 300);
    close->setFocus();
}

} // namespace nuv::host
