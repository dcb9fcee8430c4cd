// The library Kelt58C.so, the plug-in of the report module Kelt58: its exports and its
// start-up block.
//
// Exports (everything else in the library is local, see Kelt58C.map):
//   GetController       the host's entry: a new controller (include/nuv/DLLBaseCtrller.h).
//   NuvSetDialogClass   replaces the dialog class that the controller opens and returns the
//                       previous one (nullptr clears it). It lets a program that loads the
//                       library supply its own dialog derived from TBaseGeneDialog, as the
//                       test host does; hosts that only drive the report never call it.
#include "plugin/DLLBaseCtrller.h"
#include "plugin/DLLRPCtrller.h"

extern "C" NUV_CONTROLLER_EXPORT nuv::TDLLBaseController* GetController() {
    return nuv::NewController();
}

extern "C" NUV_CONTROLLER_EXPORT nuv::TfrmBaseGeneClass
NuvSetDialogClass(nuv::TfrmBaseGeneClass DialogClass) {
    nuv::TfrmBaseGeneClass previous = nuv::frmBaseGeneClass;
    nuv::frmBaseGeneClass = DialogClass;
    return previous;
}

// The start-up block runs when the library is loaded, before a host can call it.
// FIXME: it sets frmBaseGeneClass to the report dialog TfrmKelt58 once that dialog exists;
// until then the class stays unassigned and OpenDialog raises the internal error.
