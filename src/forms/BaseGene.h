// TfrmBaseGene: the base class of every parameter dialog.
//
// It owns the dialog's frame (the option pages, the OK, Cancel and custom-condition buttons, the
// hidden user-condition panel), the connection to the application server, the host's service
// objects and the dialog's identity, and it fixes the order in which a dialog is created,
// initialised, shown, used and destroyed. The state it works on (every field, and the runtime's
// operations on them) is TBaseGeneState; the controller sees the dialog through
// TBaseGeneDialog.
//
// Descendants add controls and override the virtual operations below; every override calls the
// inherited operation first. The base decides when each is called:
//
//   FormCreate -> (host) InitDialog -> PrepareDialog -> [wire fields, ConnectServices,
//   DefineProgram, AfterServices] -> program check -> ConnectToServer -> AfterConnect ->
//   ConnectServer -> (host) show -> FormShow -> keys, pages, look-ups -> OK / Cancel ->
//   FormClose (free) -> FormDestroy.
//
// Failures of initialisation are reported through the message service: an initialisation array
// without host options "E;000038" (and initialisation goes on), a form that does not belong to
// the program "E;000036" (the dialog closes itself), a connection that cannot be set up
// "E;000006" (the dialog closes itself and InitDialog answers False). An exception of the
// general class is queued as a failure text and makes InitDialog answer False; a second
// InitDialog answers False and changes nothing.
#pragma once

#include "controls/ExtPage.h"
#include "controls/F2Button.h"
#include "forms/NuForm.h"
#include "platform/SConnect.h"
#include "runtime/DialogContract.h"
#include "ui/ActnList.h"
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Mask.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"

#include <nuv/Variant.h>

#include <cstdint>
#include <string>

namespace nuv {

class TSelectPanel;

// The dialog's connection to the application server (MainMidas) is the platform's
// TSocketConnection: ConnectToServer sets its address and port from the client configuration,
// and ConnectServer either creates the server class in-process (address "127.0.0.1") or opens
// the connection and takes its server object. Opening waits at most ConnectTimeout (10 s) and
// every call on the server object at most CallTimeout (60 s), so a server that is not there or
// stops answering ends in an error message instead of a hung dialog.
using TBaseGeneConnection = TSocketConnection;

class TfrmBaseGene : public TBaseGeneDialogOf<TNuForm> {
    NUV_CLASS(TfrmBaseGene)
public:
    explicit TfrmBaseGene(TComponent* AOwner);
    ~TfrmBaseGene() override;

    // --- the form resource, in its order -------------------------------------------------------
    TPanel* baseGeenPA01 = nullptr;
    TExtPageControl* pgOption = nullptr;
    TTabSheet* tsOption1 = nullptr;
    TTabSheet* tsOption2 = nullptr;
    TLabel* lblToday = nullptr;
    TMaskEdit* edPrintDate = nullptr;
    TF2Button* btnPrintDate = nullptr;
    TPanel* Panel1 = nullptr;
    TBitBtn* btnOk = nullptr;
    TBitBtn* btnCancel = nullptr;
    TBitBtn* USERBTN01 = nullptr;
    TBitBtn* USERBTN02 = nullptr;
    TPanel* USERPAN03 = nullptr;
    TPanel* USERPAN01 = nullptr;
    TPanel* USERPAN02 = nullptr;
    TF2Button* USERF2004 = nullptr;
    TF2Button* USERF201 = nullptr;
    TF2Button* USERF202 = nullptr;
    TListView* USERLV01 = nullptr;
    TSocketConnection MainMidas;
    TSimpleObjectBroker ObjBroker;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* N2 = nullptr;
    TActionList* ActionList1 = nullptr;

    // --- virtual operations, in slot order -----------------------------------------------------
    // The system page's layout, the first time the page is shown.
    virtual void LayoutSystemPage();
    // Builds Request from the dialog's header, condition texts and values.
    virtual bool PrepareRequest();
    // The program: date fields, request class, header size, services, program code, conditions.
    virtual void DefineProgram();
    // The phrase window for an edit; the chosen phrase replaces its text.
    virtual void OpenPhraseLookup(TControl* Control);
    // The comma-separated names of the required fields.
    virtual void SetRequiredFields(const std::string& Names);
    // Wires the fields, obtains the services, defines the program.
    virtual void PrepareDialog();
    bool InitDialog(const Variant& Param) override;
    bool CollectConditionData(Variant& Data, std::int32_t Count) override;
    bool ApplyCustomValues(const Variant& Values) override;
    bool FillRequestHeader(Variant& Header, std::int32_t Count) override;
    bool CollectConditionText(Variant& Texts, std::int32_t Count) override;
    // Called after the user's rights (UserGroup, F2Flag1, F2Flag2) were set.
    virtual void UserRightsApplied();
    // The F2 window service (F2GetData) with its 12-element argument array.
    virtual void OpenF2Window(const std::string& Table, const std::string& Key, Variant& Result,
                              bool MultiSelect, const std::string& InitialText,
                              const Variant& Params);
    // Called once the connection was configured, before it is opened.
    virtual void AfterConnect(TSocketConnection& Connection);

    // --- dynamic operations --------------------------------------------------------------------
    // F2 for Control: focuses it; edPrintDate gets the quick-date window.
    virtual void DoF2Lookup(Word Key, TControl* Control);
    // F3 for Control: focuses it.
    virtual void DoF3Key(Word Key, TControl* Control);
    virtual void ConnectServices();
    virtual void AfterServices();

    // --- the contract ---------------------------------------------------------------------------
    void ApplyHostValues(const Variant& Values) override;
    TCodeConverter* DialogConverter() override { return NuConverter; }
    bool DialogCaptionsConverted() override { return CaptionsConverted; }

    // Opens the application server's object: in-process for the local address, else through the
    // connection. False (with the failure queued) when that raised.
    bool ConnectServer();
    // The F2 window for a part of a TSelectPanel: the list takes one row per chosen value, a
    // range edit the chosen code. Any other control gets a message box and no look-up.
    void LookupForControl(TControl* Control, const std::string& Table,
                          const std::string& InitialText, const Variant& Params,
                          const std::string& Key);
    // A silent look-up of one row (QueryData when Mode, else CheckValue); False when not found,
    // without a Validator or when the call failed.
    bool CheckData(const std::string& Table, const std::string& Key, bool Mode, Variant& Result,
                   const Variant& Params);
    // The quick-date window for a date field; Result is the date to show.
    void PickDate(const std::string& Text, std::string& Result);
    // The F1 help topic of a program code; empty when the program has no help. Module receives
    // characters 1 to 3 of the code.
    static std::string HelpTopic(const std::string& ProgramCode, std::string& Module);
    // The text of the information box of Ctrl+Alt+I.
    std::string DiagnosticsText() const;

    // --- event handlers -------------------------------------------------------------------------
    void FormCreate(TObject* Sender) override;
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormDestroy(TObject* Sender);
    void FormResize(TObject* Sender);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void FormKeyPress(TObject* Sender, TKeyChar& Key);
    void btnOkClick(TObject* Sender);
    void btnCancelClick(TObject* Sender);
    void pgOptionChange(TObject* Sender);
    void pgOptionChanging(TObject* Sender, bool& AllowChange);
    void tsOption2Show(TObject* Sender);

    // --- user-defined condition sets (BaseGeneUserSets.cpp) ------------------------------------
    // Show and hide the panel USERPAN03; showing it lists the program's sets.
    void USERBTN01Click(TObject* Sender);
    void USERBTN02Click(TObject* Sender);
    // Save the conditions as a set (asks for code, name and shared flag in TfrmUserDefOpt).
    void USERF201Click(TObject* Sender);
    // Delete the set of the focused row (its owner or a super user only).
    void USERF202Click(TObject* Sender);
    // Clear the condition controls.
    void USERF2004Click(TObject* Sender);
    // Load the set of the focused row into the controls.
    void USERLV01DblClick(TObject* Sender);
    // UserConditionLines from the option pages (not the periodic page), once; False (with the
    // failure queued) when that raised.
    bool CollectConditionControls();
    // Lists the program's sets (the user's own and the shared ones) in USERLV01.
    void LoadConditionSets();
    // A panel's list rows in their stored form; an empty text when the list has none.
    Variant ListRows(TSelectPanel* Panel);
    // Replaces a panel's list with stored rows.
    void FillPanelList(const Variant& Rows, TSelectPanel* Panel);
    // True when the user has a set of the code Result[0] in USERLV01.
    bool OwnSetExists(const Variant& Result);

    void WndProc(TMessage& Message) override;

private:
    void ReleaseListsAndServices();
    // Binds the user-condition panel's buttons, list and pop-up items to their handlers.
    void WireUserConditionPanel();
    // Repaints the host window at once (moving and resizing the dialog uncovers it).
    void RepaintHostWindow();
};

} // namespace nuv
