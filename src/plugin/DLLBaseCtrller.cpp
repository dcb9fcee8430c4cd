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

TDLLBaseController::TDLLBaseController() = default;

// The two Variant fields are finalised by their own destructors.
TDLLBaseController::~TDLLBaseController() = default;

void TDLLBaseController::DialogCreated() {
    Notify(ncDialogCreated);
}

void TDLLBaseController::DialogShow(TObject* /*Sender*/) {
    Notify(ncDialogShow);
}

void TDLLBaseController::DialogHide(TObject* /*Sender*/) {
    Notify(ncDialogHide);
}

void TDLLBaseController::DialogDestroy(TObject* /*Sender*/) {
    Notify(ncDialogDestroy);
}

void TDLLBaseController::NotifyExtra() {
    Notify(ncNotifyExtra);
}

void TDLLBaseController::Notify(std::int32_t Code) {
    if (OnNotify.Assigned())
        OnNotify(Code, this);
}

void TDLLBaseController::Reserved() {}

} // namespace nuv
