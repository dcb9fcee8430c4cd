// The base parameter dialog as the controller sees it.
//
// TDLLRPCtrller creates its dialog through the class reference frmBaseGeneClass, with no owner,
// and uses it only through TBaseGeneDialog: the platform form's visibility, window state,
// handle, foreground, modal show, free and destroying state, its OnShow, OnHide and OnDestroy
// events, the dialog operations InitDialog and ApplyHostValues, and the fields below.
//
// Every operation on the platform form is a virtual operation of the dialog, so it runs in the
// code that built the dialog. That matters for a dialog class that comes from outside the
// library (a test build of the module registers its own through NuvSetDialogClass): each module that links
// the platform layer statically has its own window-handle table, application object and
// dialog presenter, and only the dialog's own copy knows its window.
//
// The dialog's fields, and the runtime's operations on them, are those of its state
// (TBaseGeneState). The base dialog TfrmBaseGene derives from TBaseGeneDialogOf<its root form
// class>, which implements the platform-form operations, and implements InitDialog and
// ApplyHostValues.
#pragma once

#include "platform/Classes.h"
#include "runtime/BaseGeneState.h"
#include "ui/Controls.h"
#include "ui/Forms.h"

#include <nuv/Variant.h>

#include <cstdint>
#include <string>

namespace nuv {

class TBaseGeneDialog : public TBaseGeneState {
public:
    // --- the platform form --------------------------------------------------------------------
    virtual bool DialogVisible() = 0;
    virtual void SetDialogVisible(bool Value) = 0;
    virtual TWindowState DialogWindowState() = 0;
    virtual void SetDialogWindowState(TWindowState Value) = 0;
    // The window handle, allocated on demand.
    virtual HWND DialogHandle() = 0;
    // SetForegroundWindow with the dialog's window handle.
    virtual void DialogToForeground() = 0;
    // Shows the dialog modally; the modal result.
    virtual int DialogShowModal() = 0;
    // Frees the dialog (its OnDestroy runs first, while it still exists).
    virtual void FreeDialogObject() = 0;
    // csDestroying is in the dialog's component state.
    virtual bool DialogDestroying() = 0;
    virtual TNotifyEvent& DialogOnShow() = 0;
    virtual TNotifyEvent& DialogOnHide() = 0;
    virtual TNotifyEvent& DialogOnDestroy() = 0;

    // --- the dialog ---------------------------------------------------------------------------
    // Initialises the dialog from the host's initialisation array; False when it failed or the
    // dialog was initialised before.
    virtual bool InitDialog(const Variant& Param) = 0;
    // Takes a host value array [-, value block]: applies the values, then either presses OK
    // without showing the dialog or shows it.
    virtual void ApplyHostValues(const Variant& Values) = 0;

    // The fields the controller writes (Manager) and reads (VersionText, UserCode, CompanyCode,
    // ProgramCode, ProgramName, RequestAccepted, ServerReply) are the dialog's state fields.

protected:
    TBaseGeneDialog() = default;
    TBaseGeneDialog(const TBaseGeneDialog&) = delete;
    TBaseGeneDialog& operator=(const TBaseGeneDialog&) = delete;
    // Dialogs are freed through FreeDialogObject, never deleted through this class.
    virtual ~TBaseGeneDialog() = default;
};

// The platform-form part of TBaseGeneDialog for a form class.
template <class TFormClass> class TBaseGeneDialogOf : public TFormClass, public TBaseGeneDialog {
public:
    explicit TBaseGeneDialogOf(TComponent* AOwner) : TFormClass(AOwner) {}

    bool DialogVisible() override { return this->Visible(); }
    void SetDialogVisible(bool Value) override { this->SetVisible(Value); }
    TWindowState DialogWindowState() override { return this->WindowState(); }
    void SetDialogWindowState(TWindowState Value) override { this->SetWindowState(Value); }
    HWND DialogHandle() override { return this->Handle(); }
    void DialogToForeground() override { SetForegroundWindow(this->Handle()); }
    int DialogShowModal() override { return this->ShowModal(); }
    void FreeDialogObject() override { this->Free(); }
    bool DialogDestroying() override { return this->ComponentState().Contains(csDestroying); }
    TNotifyEvent& DialogOnShow() override { return this->OnShow; }
    TNotifyEvent& DialogOnHide() override { return this->OnHide; }
    TNotifyEvent& DialogOnDestroy() override { return this->OnDestroy; }
    TCustomForm& DialogForm() override { return *this; }
};

// A class reference to a dialog class: creates and fully constructs a dialog with the given
// owner (the controller passes none).
using TfrmBaseGeneClass = TBaseGeneDialog* (*)(TComponent* AOwner);

template <class T> TBaseGeneDialog* DialogClassOf(TComponent* AOwner) {
    return CreateForm<T>(AOwner);
}

} // namespace nuv
