// The report modules a host can open: shared libraries that export GetController.
//
// ListReportModules looks into a folder without loading anything: it reads each library's
// dynamic symbol table, so that the libraries beside the host that are not report modules
// (the glyph library, automation servers) are never loaded just to be listed and no foreign
// start-up code runs. LoadReportModule then loads one with dlopen and finds its export.
#pragma once

#include <nuv/DLLBaseCtrller.h>

#include <QString>
#include <QStringList>

namespace nuv {

// True when the file is an ELF shared library for this machine whose dynamic symbol table
// defines the function GetController with default visibility. Otherwise false, with the
// reason in why when it is given.
bool ExportsGetController(const QString& path, QString* why = nullptr);

// The report modules in a folder: the paths of the "*.so" files that export GetController,
// sorted by file name.
QStringList ListReportModules(const QString& folder);

// A loaded report module. Libraries stay loaded for the life of the process: a controller's
// code and the dialogs it made live there.
struct TReportModule {
    QString Path;
    TGetControllerFunc GetController = nullptr;
};

// Loads the module: a path (anything with a '/') as it stands, a bare name (with or without
// ".so") from the folder given. Raises nuv::Exception with the reason when the file is
// missing, cannot be loaded or exports no GetController.
TReportModule LoadReportModule(const QString& nameOrPath, const QString& folder);

} // namespace nuv
