// The library Kelt58C.so, the plug-in of the report module Kelt58: its export and its start-up
// block.
//
// The one export is GetController, the host's entry: a new controller
// (include/nuv/DLLBaseCtrller.h). Everything else in the library is local (Kelt58C.map).
#include "plugin/DLLBaseCtrller.h"
#include "plugin/DLLRPCtrller.h"
#include "report/Kelt58CF.h"

extern "C" NUV_CONTROLLER_EXPORT nuv::TDLLBaseController* GetController() {
    return nuv::NewController();
}

namespace {

// The start-up block runs when the library is loaded, before a host can call it: the
// controller opens the report dialog of the module.
[[maybe_unused]] const bool startedUp = [] {
    nuv::frmBaseGeneClass = &nuv::DialogClassOf<nuv::TfrmKelt58>;
    return true;
}();

} // namespace
