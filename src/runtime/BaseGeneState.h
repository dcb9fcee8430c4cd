// The state of a parameter dialog, in one home.
//
// TBaseGeneState holds every field that the dialog runtime (NuMsg, DLLFunc, FieldChecks,
// FieldWiring, RequestBlock) reads and writes, in the order the base dialog declares them, with
// the value each has once the dialog is created. The runtime's operations take the state as
// their first argument; the state offers each of them as a method of its own.
//
// The state is not a form. A dialog class derives from its form class and from the state (the
// base dialog TfrmBaseGene through TBaseGeneDialogOf<>, tests from a plain TForm) and tells
// the state which form it is (DialogForm). The runtime finds the dialog's components by name
// on that form ("btnOk", "edPrintDate", "pgOption", ...), so it never needs the forms layer.
//
// The virtual operations are the hooks the runtime calls back: the request's header and
// condition elements, the application of host values that are not given by name, the code
// converter of the form. Each level of dialog overrides them and calls the inherited one first.
#pragma once

#include "platform/Classes.h"
#include "platform/Types.h"
#include "ui/Controls.h"
#include "ui/Forms.h"

#include <nuv/Variant.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace nuv {

class TCodeConverter;
class TFont;
enum class TMsgDlgType;

// Bits of ServiceFlags: the optional services AfterServices obtains.
enum TServiceFlag : std::uint8_t {
    sf_Counter = 1,  // Counter (Com_Counter)
    sf_F2Window = 4, // F2Window (Com_F2Window) and the quick-date picker InputDay
    sf_Phrase = 8    // Phrase (Com_Phrase)
};

// Event handlers that the runtime took off a control, keyed by the control's name and the
// event ("ed11.OnExit", "btnOk.OnClick"; names compare without case). A handler value carries
// its code, its object and the callable together, so one entry holds what a method pointer's
// code and data halves hold. The first entry saved under a name is the one that counts: saving
// again under a name leaves it alone, so wiring a field twice never chains the runtime's own
// handler to itself.
class THandlerList {
public:
    // Saves an assigned handler unless the name holds one already.
    void Save(const std::string& key, const TMethod& handler);
    // The handler saved under the name; an empty one when there is none.
    TMethod Find(const std::string& key) const;
    bool Contains(const std::string& key) const;
    int Count() const { return static_cast<int>(entries_.size()); }
    void Clear() { entries_.clear(); }

private:
    std::vector<std::pair<std::string, TMethod>> entries_;
};

class TBaseGeneState {
public:
    TBaseGeneState();
    TBaseGeneState(const TBaseGeneState&) = delete;
    TBaseGeneState& operator=(const TBaseGeneState&) = delete;

    // --- the form and its converter --------------------------------------------------------
    // The form this state belongs to.
    virtual TCustomForm& DialogForm() = 0;
    // The form's code converter; none (no conversion) until a form level supplies one.
    virtual TCodeConverter* DialogConverter() { return nullptr; }
    // True once the form's captions were converted for the interface code page: from then on
    // texts read from the server are converted for display too.
    virtual bool DialogCaptionsConverted() { return false; }

    // The component of that name on the dialog's form (without case), or nullptr.
    TComponent* FindDialogComponent(const std::string& Name);

    // --- hooks of the request (each level calls the inherited one first) -------------------
    // Fills the request header, an array 1..EnvironmentCount. The base fills elements 1..9.
    virtual bool FillRequestHeader(Variant& Header, std::int32_t Count);
    // Fills the condition texts [caption, component name] of the program level's Count
    // elements; the base writes its own entry (the print date) at the last index.
    virtual bool CollectConditionText(Variant& Texts, std::int32_t Count);
    // The same for the condition values.
    virtual bool CollectConditionData(Variant& Data, std::int32_t Count);
    // Applies host values that are not given by name; the base applies nothing (False).
    virtual bool ApplyCustomValues(const Variant& Values);

    // --- the runtime's operations as the dialog's own (thin forwards) ----------------------
    // Messages.
    void PostMessageRef(const std::string& Refs);
    void AddFailureText(const std::string& Text);
    int ShowMessageById(const std::string& Type, const std::string& Id,
                        const std::vector<std::string>& Args = {});
    // Services and settings.
    std::int32_t GetDateLayout();
    std::string GetDateSeparator();
    void GetSetting(const std::string& Key, std::string& Value);
    void SetProgramCode(const std::string& Code);
    void BuildCaption(const std::string& Name);
    void SetIdentity(const Variant& Param);
    void RemoteCall(const std::string& Name, Variant& Params, Variant& Result);
    void ToDisplayText(const Variant& Value, Variant& Result);
    void FromStorageText(const Variant& Value, Variant& Result);
    // Fields.
    bool CheckDateField(TControl* Control, bool Setup);
    bool CheckYearMonthField(TControl* Control, bool Setup);
    void SetDateFields(const std::string& Names);
    void RunExitHandler(TControl* Control, const std::string& EventName);
    // The request.
    void SetConditionCount(std::int32_t N);

    // --- fields, in the base dialog's declaration order -------------------------------------
    // The host's work-center manager; the controller copies it in.
    Variant Manager;
    // The manager's services and the quick-date picker; unassigned until obtained.
    Variant VarManager;
    Variant F2Window;
    Variant InputDay;
    Variant Validator;
    Variant Counter;
    Variant Phrase;
    // Date layout (a TDateType ordinal) and separator of this dialog's dates: settings "Sys001"
    // and "Sys002", 1 and "/" until they are read.
    std::int32_t DateLayout = 1;
    std::string DateSeparator = "/";
    // TServiceFlag bits; 0 in the base.
    std::uint8_t ServiceFlags = 0;
    std::string UserCode;
    // Non-empty once the dialog is initialised.
    std::string CompanyCode;
    // Setting "NUV002", shown in brackets in the caption.
    std::string CaptionTag;
    std::string DataSourceCode;
    std::string VersionText = "870401-0.00.00";
    // The environment settings as name=value lines (GetSetting).
    TStringList SettingsCache;
    // ProgramCode + "S.Class1".
    std::string ServerClassName;
    // Elements of the request header: 9 in the base.
    std::int32_t EnvironmentCount = 9;
    // The caption before the bracket.
    std::string TitleText;
    // Condition elements of the request (SetConditionCount).
    std::int32_t ConditionCount = 0;
    std::string ProgramCode;
    std::string ProgramName;
    // Element 4 of the program's row in ADMMB.
    std::string ProgramAttr;
    // Controls after which Enter moves to the next page.
    std::vector<TComponentRef<TWinControl>> PageEndControls;
    // Header element 9.
    std::string RequestClass = "R";
    // Condition elements owned by the base levels (placed after the program level's).
    std::int32_t BaseEntryCount = 1;
    // The request built by BuildRequestBlock: [header, condition texts, condition data].
    Variant Request;
    // Pending message references and their distinct texts, each followed by "; ".
    std::string MessageRefs;
    std::string MessageTexts;
    // The last host value block; Null after initialisation.
    Variant HostValues;
    bool ApplyByName = true;
    // Started from host values and confirming itself: a request without conditions is taken.
    bool AutoRun = false;
    HWND HostWindow = 0;
    // The handlers that date and year-month fields had before they were wired.
    THandlerList SavedHandlers;
    // Comma-separated names of the full-date fields and of the year-month fields.
    std::string DateFieldList;
    std::string YearMonthFieldList;
    // Colours saved before required fields were painted, as name=colour lines.
    TStringList SavedColors;
    // Installed on date fields (OnEnter, OnExit); bound to this state's handlers.
    TNotifyEvent OnDateFieldEnter;
    TNotifyEvent OnDateFieldExit;
    // The OnClick handlers replaced on btnOk and "btnPeriod".
    THandlerList RequiredChecks;
    // Installed as OnClick of btnOk and "btnPeriod" while fields are required.
    TNotifyEvent OnRequiredExit;
    // Set by a field check that failed; cleared at the start of every installed handler.
    bool CheckFailed = false;
    // The user's look-up switches (rights text), passed to every F2 window.
    bool F2Flag1 = false;
    bool F2Flag2 = false;
    // "000000" is the super-user group.
    std::string UserGroup;
    // The control that last had the focus; an error message gives the focus back to it.
    TComponentRef<TWinControl> FocusControl;
    // While set, only error messages are shown.
    bool QuietMessages = false;
    Variant ServerReply;
    // 1 after the server accepted a request, 2 after the run options were cancelled, else 0.
    std::int32_t RequestAccepted = 0;
    bool SystemPageReady = false;
    OleVariant ServerObject;
    bool LocalServer = false;
    Variant HostOptions;
    std::int32_t VersionType = 0;
    // True: the success message is shown ("I;000004;"); False: only recorded ("I;-000004;").
    bool NormalMessages = true;
    // Diagnostics: the last look-up, check and message calls.
    std::string LastF2Call;
    std::string LastCheckCall;
    std::string LastMessageKey;
    TStringList UserConditionLines;
    bool CustomConditionsAllowed = true;
    // Comma-separated items "name[;flag[;part]]" of the required fields.
    std::string RequiredFields;

protected:
    // Dialogs are freed as forms, never deleted through the state.
    virtual ~TBaseGeneState();

private:
    // The bodies of OnDateFieldEnter, OnDateFieldExit and OnRequiredExit.
    void DateFieldEnter(TObject* Sender);
    void DateFieldExit(TObject* Sender);
    void RequiredExit(TObject* Sender);
};

} // namespace nuv
