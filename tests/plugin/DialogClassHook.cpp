#include "plugin/DialogClassHook.h"

#include "plugin/DLLRPCtrller.h"

extern "C" NUV_CONTROLLER_EXPORT nuv::TfrmBaseGeneClass
NuvSetDialogClass(nuv::TfrmBaseGeneClass DialogClass) {
    nuv::TfrmBaseGeneClass previous = nuv::frmBaseGeneClass;
    nuv::frmBaseGeneClass = DialogClass;
    return previous;
}
