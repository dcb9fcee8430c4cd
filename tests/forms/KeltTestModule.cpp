// A test build of the plug-in Kelt58C.so: the controller of the plug-in with the small report
// dialog of the base dialog's tests (KeltTestDialog.h) as its dialog class, set in the
// library's start-up as the product sets its report dialog. It is written as Kelt58C.so into
// a folder of its own, so that the dialog derives the program code KELT58 from its file name.
// Without a person at the tests, its messages go to the error output.
#include "KeltTestDialog.h"

#include "plugin/DLLBaseCtrller.h"
#include "plugin/DLLRPCtrller.h"
#include "ui/Dialogs.h"

namespace {

nuv::TConsolePresenter presenter;

// The start-up block runs when the library is loaded, before a host can call it.
const bool started = [] {
    nuv::frmBaseGeneClass = nuv::DialogClassOf<nuv::test::TfrmKeltTest>;
    nuv::SetDialogPresenter(&presenter);
    return true;
}();

} // namespace

extern "C" NUV_CONTROLLER_EXPORT nuv::TDLLBaseController* GetController() {
    return nuv::NewController();
}
