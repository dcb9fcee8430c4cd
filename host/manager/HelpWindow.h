// The help window of the Manager's CallHelp: the topic's title and text from the help table,
// or a note that the module has no help for the topic. Modal; Esc or Enter closes it.
#pragma once

#include <QDialog>
#include <QString>

namespace nuv::host {

class THelpWindow : public QDialog {
public:
    // found false: title and body are ignored and the window says there is no such topic.
    THelpWindow(const QString& module, const QString& topic, bool found, const QString& title,
                const QString& body, QWidget* parent = nullptr);
};

} // namespace nuv::host
