// The frame that every test of a report dialog builds the same way: the controller makes the
// dialog class under test; the module's file name lies in a temporary installation whose
// registry file names its client folder, with a TarvelC.ini there that puts the server on
// this machine; and the dialog opens through a new controller, whose notifications are kept.
//
// A fixture derives from TDialogScene<TDialog> next to ::testing::Test, keeps its own fakes,
// server and messages, and calls Close() in its TearDown while those still live. The test
// target defines NUV_PEMTAL_PATH (the glyph library the dialogs load).
#pragma once

#include "platform/SystemServices.h"
#include "platform/TestFiles.h"
#include "plugin/DLLBaseCtrller.h"
#include "plugin/DLLRPCtrller.h"
#include "uitest/UiTestSupport.h"
#include <nuv/Variant.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nuv::test {

template <class TDialog> class TDialogScene {
public:
    TDialogScene() {
        setenv("NUV_PEMTAL", NUV_PEMTAL_PATH, 0);
        SetModuleFileNameOverride(dir / "Kelt58C.so");
        previousClass_ = frmBaseGeneClass;
        frmBaseGeneClass = DialogClassOf<TDialog>;
        registry_.emplace(
            "NUV_REGISTRY",
            dir.Write("registry.reg", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\NUV\\Tarvel]\n"
                                      "\"ClientPath\"=\"" +
                                          dir / "App" + "\"\n"));
        WriteClientIni("[Server Information]\nComputerName=127.0.0.1\n");
    }
    ~TDialogScene() {
        Close();
        frmBaseGeneClass = previousClass_;
        SetModuleFileNameOverride("");
    }
    TDialogScene(const TDialogScene&) = delete;
    TDialogScene& operator=(const TDialogScene&) = delete;

    // The client configuration of the installation (App/TarvelC.ini).
    void WriteClientIni(const std::string& text) { dir.Write("App/TarvelC.ini", text); }

    // Opens the dialog through a new controller with this Manager and OpenDialog argument
    // (user, company, data source, host window, host options); nullptr when it is refused.
    TDialog* OpenController(const Variant& manager, const Variant& init) {
        ctl.reset(NewController());
        ctl->Manager = manager;
        ctl->OnNotify = {[](void* data, std::int32_t code, TDLLBaseController*) {
                             static_cast<std::vector<int>*>(data)->push_back(code);
                         },
                         &notes};
        if (ctl->OpenDialog(init) != 0)
            return nullptr;
        return Dialog();
    }
    // The dialog of the open controller, or nullptr.
    TDialog* Dialog() const {
        return ctl ? dynamic_cast<TDialog*>(static_cast<TDLLRPCtrller*>(ctl.get())->Form) : nullptr;
    }
    // Frees the controller (and its dialog) and every form left.
    void Close() {
        ctl.reset();
        FreeAllForms();
    }

    TempDir dir;
    std::unique_ptr<TDLLBaseController> ctl;
    std::vector<int> notes; // the controller's notifications, in order

private:
    std::optional<ScopedEnv> registry_;
    TfrmBaseGeneClass previousClass_ = nullptr;
};

} // namespace nuv::test
