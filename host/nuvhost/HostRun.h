// nuvhost without its window: the unattended run and the dialog's screenshot. Each returns the
// program's exit code (HostOptions.h) and writes the result to out, faults to err.
#pragma once

#include "HostOptions.h"
#include "WorkCenter.h"

#include <QTextStream>

namespace nuv {

// Opens the module with the identity, hands it the values of the values file and waits until
// the dialog has gone: with run mode 0 a person fills the dialog in and closes it; with any
// other run mode the dialog presses OK by itself and must close by itself (a dialog that shows
// itself instead could not take the values and is freed). Prints "ResultCode=" and
// "ResultValue=" lines; 0 when the request was accepted.
int RunUnattended(const THostOptions& options, const TManagerConnection& manager, QTextStream& out,
                  QTextStream& err);

// Opens the module, shows its dialog (filled in with the values file, run mode 0, when one is
// given), writes the dialog's picture to options.Screenshot and frees the dialog.
int RunScreenshot(const THostOptions& options, const TManagerConnection& manager, QTextStream& out,
                  QTextStream& err);

// A text with its carriage returns (the platform's line breaks) made line feeds.
QString Lines(QString text);

// ResultValue as a line of text.
QString ResultText(const Variant& value);

} // namespace nuv
