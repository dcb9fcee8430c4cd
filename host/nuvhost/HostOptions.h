// nuvhost's command line.
#pragma once

#include "ReportSession.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace nuv {

// Exit codes of nuvhost.
enum THostExitCode : int {
    ExitAccepted = 0,      // the request was accepted (or the screenshot was written)
    ExitNotAccepted = 1,   // the dialog closed without an accepted request
    ExitUsage = 2,         // bad command line or values file
    ExitNoModule = 3,      // the report module cannot be loaded or gives no controller
    ExitNoDialog = 4,      // the dialog could not be opened and initialised
    ExitValuesRefused = 5, // the dialog did not take the values or could not run by itself
    ExitNoScreenshot = 6,  // the dialog's picture could not be made or written
};

struct THostOptions {
    // The module to open at once: a name in ModulesFolder or a path; empty for none.
    QString Module;
    // Where the report modules are installed: beside the program unless given.
    QString ModulesFolder;
    THostIdentity Identity;
    // The registry file given on the command line; empty: the platform's own choice.
    QString Registry;
    bool Modal = false;
    // A JSON file of host values (HostValues.h) and the run mode that overrides its own.
    QString ValuesFile;
    std::optional<int> RunMode;
    // No host window: open the module, run it, print the result and exit.
    bool Unattended = false;
    // Open the module, show its dialog, write its picture to this PNG file and exit.
    QString Screenshot;
};

enum class TParseOutcome { Run, Exit };

// Parses the arguments (the first is the program). On Run, options holds them; on Exit the
// program ends with exitCode after printing message (help text, version or the fault) to
// the stream it belongs on.
struct TParseResult {
    TParseOutcome Outcome = TParseOutcome::Run;
    int ExitCode = 0;
    QString Message;
};
TParseResult ParseHostOptions(const QStringList& arguments, THostOptions& options);

} // namespace nuv
