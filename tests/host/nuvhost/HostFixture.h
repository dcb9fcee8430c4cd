// Shared by nuvhost's tests: a registry file that registers the test work-center manager, and
// the paths of the test modules.
#pragma once

#include "platform/TestFiles.h"

#include <QString>

#include <string>

namespace nuv::test {

inline const QString TestModules = QStringLiteral(NUVHOST_TEST_MODULES);
inline const QString TestModule = TestModules + QStringLiteral("/TestRpt.so");

// A registry file naming the library of "ProwenWorkCenter.Manager" (none: not registered).
inline std::string WriteRegistry(const TempDir& dir, const std::string& managerLibrary) {
    std::string text = "Windows Registry Editor Version 5.00\n\n";
    if (!managerLibrary.empty())
        text += "[HKEY_CLASSES_ROOT\\ProwenWorkCenter.Manager\\InprocServer32]\n@=\"" +
                managerLibrary + "\"\n";
    return dir.Write("registry.reg", text);
}

} // namespace nuv::test
