// The host's work-center manager: the automation object "ProwenWorkCenter.Manager" that the
// host hands to every controller, created once and connected.
#pragma once

#include <nuv/Variant.h>

#include <QString>

namespace nuv {

inline constexpr const char* ManagerClassName = "ProwenWorkCenter.Manager";

struct TManagerConnection {
    // The connected manager, unassigned when it could not be created or connected.
    Variant Manager;
    // Why there is no manager; empty when there is one.
    QString Problem;
};

// CreateOleObject("ProwenWorkCenter.Manager"), then its Connect without arguments. A failure of
// either is reported in Problem, with the registry file that was searched when the class is
// not registered.
TManagerConnection ConnectManager();

} // namespace nuv
