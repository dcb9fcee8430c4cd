// TDLLRPCtrller, the report-program controller: the controller that a host receives from
// GetController, driving one dialog derived from the base parameter dialog at a time.
#pragma once

#include "plugin/DLLBaseCtrller.h"
#include "runtime/DialogContract.h"

#include <string_view>

namespace nuv {

// The dialog class that OpenDialog instantiates. The library's start-up block sets it to the
// report module's dialog class; nullptr until then.
extern TfrmBaseGeneClass frmBaseGeneClass;

class TDLLRPCtrller : public TDLLBaseController {
public:
    TDLLRPCtrller();
    // Frees a dialog that is still open (its destruction still notifies the host).
    ~TDLLRPCtrller() override;

    WideString GetVersion() override;
    LongBool GetVisible() override;
    void SetVisible(WordBool Value) override;
    HWND GetWindowHandle() override;
    std::int32_t OpenDialog(const Variant& Param) override;
    std::int32_t ApplyValues(const Variant& Param) override;
    std::int32_t ExecuteCommand(std::int32_t Code, std::uint32_t Reserved,
                                const Variant& Param) override;
    Variant ShowDialogModal() override;
    void FreeDialog() override;
    std::int32_t GetIdentity(OleVariant& Info) override;
    bool IsDialogFreed() override;

    // Installed as the dialog's OnShow, OnHide and OnDestroy; each calls the dialog's previous
    // handler first.
    void DialogShow(TObject* Sender) override;
    void DialogHide(TObject* Sender) override;
    void DialogDestroy(TObject* Sender) override;

    // The dialog; nullptr before OpenDialog and after the dialog was destroyed.
    TBaseGeneDialog* Form = nullptr;
    // The dialog's own handlers, found when the controller hooked it.
    TNotifyEvent OldOnShow;
    TNotifyEvent OldOnHide;
    TNotifyEvent OldOnDestroy;

private:
    struct FreeGuard;
    // Installs the controller's handlers on the dialog's events, keeping the dialog's own.
    void Hook();
    // Gives the dialog back its own handlers where the controller's are still installed.
    void Unhook();

    // The innermost active FreeGuard (see DLLRPCtrller.cpp).
    FreeGuard* freeGuards_ = nullptr;
};

// UTF-16 text of UTF-8 text; invalid sequences become U+FFFD.
WideString Utf8ToWide(std::string_view Text);

} // namespace nuv
