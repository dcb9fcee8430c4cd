// Answers the message boxes of a run that nobody watches.
//
// Without the host window (an unattended run, a screenshot) a dialog's message box would wait
// for a person who is not there. While a TMessageAnswerer exists, every message box that shows
// itself is written to the given stream ("Message: caption: text") and answered with its
// default button (else its escape button, else the first), so that the dialog goes on as a
// person pressing Enter would make it.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTextStream>

namespace nuv {

class TMessageAnswerer : public QObject {
public:
    explicit TMessageAnswerer(QTextStream& log);
    ~TMessageAnswerer() override;

    // The texts of the message boxes answered so far, in order.
    const QStringList& Messages() const { return messages_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTextStream& log_;
    QStringList messages_;
};

} // namespace nuv
