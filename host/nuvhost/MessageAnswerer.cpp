#include "MessageAnswerer.h"

#include "HostRun.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace nuv {

TMessageAnswerer::TMessageAnswerer(QTextStream& log) : log_(log) {
    qApp->installEventFilter(this);
}

TMessageAnswerer::~TMessageAnswerer() {
    qApp->removeEventFilter(this);
}

bool TMessageAnswerer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show)
        return false;
    auto* box = qobject_cast<QMessageBox*>(watched);
    if (box == nullptr)
        return false;
    const QString text = Lines(box->text()).trimmed();
    messages_ << text;
    log_ << "Message: " << (box->windowTitle().isEmpty() ? QString() : box->windowTitle() + ": ")
         << text << '\n';
    log_.flush();
    // Answered once its modal loop runs: the box has only just begun to show itself.
    QTimer::singleShot(0, box, [box = QPointer<QMessageBox>(box)] {
        if (box.isNull() || !box->isVisible())
            return;
        QAbstractButton* button = box->defaultButton();
        if (button == nullptr)
            button = box->escapeButton();
        if (button == nullptr && !box->buttons().isEmpty())
            button = box->buttons().first();
        if (button != nullptr)
            button->click();
        else
            box->done(0);
    });
    return false;
}

} // namespace nuv
