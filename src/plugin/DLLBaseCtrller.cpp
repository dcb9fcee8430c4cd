#include "plugin/DLLBaseCtrller.h"

namespace nuv {

// Constant-initialised, so it is nullptr before any module initialisation runs and the
// concrete controller's module can set it whatever the order of initialisation.
constinit TDLLControllerClass DLLControllerClass = nullptr;

TDLLBaseController* NewController() {
    if (DLLControllerClass == nullptr)
        throw Exception("NUV DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
    return DLLControllerClass();
}

} // namespace nuv
