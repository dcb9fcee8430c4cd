#include "WorkCenter.h"

#include "platform/Automation.h"

namespace nuv {

TManagerConnection ConnectManager() {
    TManagerConnection c;
    DispatchPtr manager;
    try {
        manager = CreateOleObject(ManagerClassName);
    } catch (const Exception& e) {
        c.Problem = QStringLiteral("The work-center manager \"%1\" cannot be created: %2")
                        .arg(QLatin1String(ManagerClassName), QString::fromStdString(e.what()));
        return c;
    }
    try {
        OleCall(manager, "Connect");
    } catch (const Exception& e) {
        c.Problem = QStringLiteral("The work-center manager \"%1\" cannot connect: %2")
                        .arg(QLatin1String(ManagerClassName), QString::fromStdString(e.what()));
        return c;
    }
    c.Manager = Variant(manager);
    return c;
}

} // namespace nuv
