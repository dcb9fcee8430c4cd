// Kelt58CE: the report dialog of the module Kelt58 as a program of its own, so that the
// developer of a report module can try the dialog without a host.
//
// Started without a host, the dialog finds what a host would hand it: it creates the
// work-center Manager "ProwenWorkCenter.Manager" from the registry file, connects it and
// initialises itself with the fixed test identity (user "NU", company and data source
// "SDTest"); its caption carries the notice that the stand-alone version is running. The
// program code comes from the program's own file name (Kelt58CE gives KELT58), as the library
// derives it from Kelt58C.so.
//
//   Kelt58CE                     shows the dialog until it is closed
//   Kelt58CE --screenshot FILE   shows the dialog, writes its picture to FILE, prints its
//                                caption and exits: 0 when the picture was written, 1 when
//                                the dialog closed itself, 2 for a bad command line, 6 when
//                                the picture could not be written. Messages go to the error
//                                output instead of waiting for a person.
#include "plugin/DLLRPCtrller.h"
#include "report/Kelt58CF.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using namespace nuv;

int Screenshot(const std::string& path) {
    TConsolePresenter presenter;
    SetDialogPresenter(&presenter);
    TBaseGeneDialog* dialog = frmBaseGeneClass(nullptr);
    TComponentRef<TCustomForm> form(&dialog->DialogForm());
    form->Show();
    // The first show and what it posted (a dialog that failed its set-up closes itself).
    Application->ProcessMessages();
    Application->ProcessMessages();
    int result = 0;
    if (!form || !form->Visible()) {
        std::fprintf(stderr, "Kelt58CE: the dialog closed itself\n");
        result = 1;
    } else {
        std::printf("%s\n", form->Caption().c_str());
        if (!GrabForm(form, path)) {
            std::fprintf(stderr, "Kelt58CE: cannot write the picture %s\n", path.c_str());
            result = 6;
        }
    }
    if (form)
        dialog->FreeDialogObject();
    Application->ProcessMessages();
    SetDialogPresenter(nullptr);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    // The program's own start-up: the dialog it opens is the module's report dialog.
    nuv::frmBaseGeneClass = nuv::DialogClassOf<nuv::TfrmKelt58>;
    nuv::Application->Initialize(argc, argv);

    if (argc == 3 && std::strcmp(argv[1], "--screenshot") == 0)
        return Screenshot(argv[2]);
    if (argc != 1) {
        std::fprintf(stderr, "usage: Kelt58CE [--screenshot FILE]\n");
        return 2;
    }
    nuv::TBaseGeneDialog* dialog = nuv::frmBaseGeneClass(nullptr);
    nuv::TComponentRef<nuv::TCustomForm> form(&dialog->DialogForm());
    nuv::Application->SetMainForm(form);
    nuv::Application->Run();
    if (form)
        dialog->FreeDialogObject();
    nuv::Application->ProcessMessages();
    return 0;
}
