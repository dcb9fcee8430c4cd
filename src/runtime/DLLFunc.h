// DLLFunc: the dialog's access to the world outside it.
//
// The dialogs reach the host through the work-center Manager and the services it hands out
// (VarManager, Validator, F2Window, Counter, Phrase), the quick-date picker "InputDayC.Class1",
// and the application server through the dialog's socket connection. These operations obtain
// the objects into the dialog's fields and build the small services on them: environment
// settings, the program's identity and caption, look-ups in the validation tables, the date
// picker, phrases and counters.
//
// Failures: a service that cannot be obtained stays unassigned, and every operation checks for
// an unassigned object first and answers its neutral result (empty text, False, unassigned).
// A call that fails inside the object gives the same neutral result. Only ConnectToServer and
// the message service tell the user anything.
#pragma once

#include "runtime/BaseGeneState.h"
#include "runtime/NuMsg.h"

#include <nuv/Variant.h>

#include <cstdint>
#include <string>

namespace nuv {

// --- the module ----------------------------------------------------------------------------

// True when the running module is the library version: a file whose extension is the shared
// library's (".so", or ".dll"), compared without case. The stand-alone executable has none.
bool IsDllVersion();
// The program id of the running module: its file name without directory and extension, minus
// its last character (the library "Kelt58C.so") or its last two (the executable "Kelt58CE"),
// but never shorter than six characters.
std::string ProgramIdFromModule();
// The same for a given module path and version (exposed for tests).
std::string ProgramIdFromModulePath(const std::string& Path, bool DllVersion);
bool IsDllModulePath(const std::string& Path);

// --- services ------------------------------------------------------------------------------

// Obtains the Manager (outside the library, when none was handed in: a new
// "ProwenWorkCenter.Manager"), hands it to the converter, obtains VarManager and loads the
// settings (CaptionTag := "NUV002", DateLayout and DateSeparator := "Sys001" and "Sys002"),
// then Validator.
void ConnectServices(TBaseGeneState& Dialog);
// Obtains the services that ServiceFlags selects: sf_F2Window gives F2Window and InputDay,
// sf_Counter Counter, sf_Phrase Phrase. A failure leaves only that object unassigned.
void AfterServices(TBaseGeneState& Dialog);

// With a name: the setting from SettingsCache (empty when absent). With an empty name: loads
// SettingsCache from VarManager.GetSysInfo(CompanyCode) (a later pair of the same name wins)
// and answers empty. Read from the database's code page for display once the captions were
// converted.
std::string GetSetting(TBaseGeneState& Dialog, const std::string& Name);
// "Sys001" as an integer, 1 when missing or not a number; stored in DateLayout.
std::int32_t GetDateLayout(TBaseGeneState& Dialog);
// "Sys002", "/" when empty; stored in DateSeparator.
std::string GetDateSeparator(TBaseGeneState& Dialog);

// Looks key up in the validation table name: Validator.QueryData (Query) or CheckValue with
// (name, key, DataSourceCode, the arguments converted for the database, Result). Sets
// LastCheckCall; False without a Validator or when the call fails.
bool CheckData(TBaseGeneState& Dialog, const std::string& Name, const std::string& Key, bool Query,
               const Variant& Args, Variant& Result);

// --- the program ---------------------------------------------------------------------------

// ProgramCode := upper case of Code, ServerClassName := ProgramCode + "S.Class1", ProgramName
// and ProgramAttr from the program's row of table ADMMB (ProgramName := ProgramCode when the
// program is not found), then BuildCaption(ProgramName).
void SetProgramCode(TBaseGeneState& Dialog, const std::string& Code);
// TitleText := Title (with "[您現在執行的是Exe版本!]" outside the library); the form's caption
// := TitleText + "[" + CaptionTag + "]".
void BuildCaption(TBaseGeneState& Dialog, const std::string& Title);
// UserCode, CompanyCode, DataSourceCode := elements 0, 1, 2 of the initialisation array.
void SetIdentity(TBaseGeneState& Dialog, const Variant& Param);

// --- pickers, phrases, counters ------------------------------------------------------------

// The quick-date picker: starts at Text as a stored date ("yyyymmdd") or as the field shows it,
// else today;
// answers the chosen date in the dialog's layout (a full date, or year and month), or Text
// itself when cancelled or when the picker's answer is no date. Empty without a picker.
std::string PickDate(TBaseGeneState& Dialog, const std::string& Text, bool FullDate);
// The user's phrase (Phrase.GetPhrase), for display; empty without the service or when
// cancelled.
std::string GetPhrase(TBaseGeneState& Dialog);
// Puts the chosen phrase into the control's text; nothing when none was chosen.
void ApplyPhrase(TBaseGeneState& Dialog, TControl* Control);
// Counter.GetCounter(upper case of Name, Value, [CompanyCode, DataSourceCode]); unassigned
// without the service or when the call fails.
Variant GetCounter(TBaseGeneState& Dialog, const std::string& Name, Variant& Value);
// GetCounter for the dialog's remote calls: Result := the answer, read from the database's
// code page for display once the captions were converted.
void RemoteCall(TBaseGeneState& Dialog, const std::string& Name, Variant& Params, Variant& Result);

// Shows a small window with the file's path, size, modification time and the given version.
void ShowFileProperties(const std::string& Path, const std::string& Version = "");

// --- the application server ----------------------------------------------------------------

// What the client configuration says about the application server, checked against the
// dialog's pending messages.
struct TServerSettings {
    bool Ok = false;        // the connection may be configured
    bool HasServer = false; // the configuration names a server
    std::string Address;    // the first server
    int Port = 0;
    bool SupportCallBack = false;
};
// Reads the client configuration for ConnectToServer (raises what the reader raises).
TServerSettings ReadServerSettings(TBaseGeneState& Dialog);

// Configures the dialog's connection to the application server from the client configuration:
// closes it; fails while the dialog holds message references; with a configured server sets
// the connection's Address to the first server, clears its ObjectBroker, sets its Port and
// SupportCallbacks. Without a server list the connection keeps its address; the cause, when
// the configuration names one ("E;000015" no installation key, "E;000016" no server), is
// posted and the result is False. An exception is recorded with AddFailureText. True when the
// connection may be opened.
//
// TConnection is the platform's TSocketConnection or anything with its members Close(),
// Address, Port, SupportCallbacks and ObjectBroker.
template <class TConnection> bool ConnectToServer(TBaseGeneState& Dialog, TConnection& Connection) {
    try {
        Connection.Close();
        TServerSettings s = ReadServerSettings(Dialog);
        if (!s.Ok)
            return false;
        if (s.HasServer) {
            Connection.Address = s.Address;
            Connection.ObjectBroker = nullptr;
            Connection.Port = s.Port;
            Connection.SupportCallbacks = s.SupportCallBack;
        }
        return true;
    } catch (const Exception& e) {
        AddFailureText(Dialog, e.what());
        return false;
    }
}

} // namespace nuv
