// Every late-bound call that the library makes on objects outside it: the host's work-center
// manager and the services it hands out, the quick-date picker and the application server.
//
// Each function takes the object as the Variant that holds it and passes the arguments in the
// order and manner (by value or by reference) that the object's operation expects; by-reference
// arguments are handed over as references to the caller's own variables, so that whatever the
// object writes into them reaches the caller.
//
// Failures:
//  * Creating or obtaining an object never raises: a failure leaves the object unassigned.
//  * A call on an object that is not assigned (the Variant holds no automation object) is not
//    made; the function returns the caller's neutral result: empty text, False, unassigned, or
//    the value handed in unchanged for the code-page conversions. The server's "Request" is
//    the exception: without a server object its answer is "ERROR", the answer of a refused
//    request, because an empty reply would read as an accepted one.
//  * A call that fails raises (EOleError for a failure inside the object or an unknown member,
//    EVariantError when a result cannot be read as the type relied on); each caller catches it
//    as its own rules say.
#pragma once

#include <nuv/Variant.h>

#include <cstdint>
#include <string>

namespace nuv {

// Class names of the objects the library creates.
inline constexpr const char* ManagerClassName = "ProwenWorkCenter.Manager";
inline constexpr const char* InputDayClassName = "InputDayC.Class1";
inline constexpr const char* ReportServerName = "ReportCounterS.dmReportCounter";

// The reply of a refused request.
inline constexpr const char* RequestRefused = "ERROR";

// True when Obj holds an automation object.
bool IsObjectAssigned(const Variant& Obj);

// A new automation object of the class ClassName; unassigned when it cannot be created.
Variant CreateAutomationObject(const std::string& ClassName);

// --- the work-center manager ------------------------------------------------------------------

// Manager.Connect (no arguments); used when the dialog runs outside the library.
void ManagerConnect(const Variant& Manager);
// Manager.VersionType, read as an integer; 0 without a manager.
std::int32_t ManagerVersionType(const Variant& Manager);
// Manager.CallHelp([Module, Topic]).
void ManagerCallHelp(const Variant& Manager, const std::string& Module, const std::string& Topic);
// Manager.GetMessage(Type, Id): the message template; empty without a manager.
std::string ManagerGetMessage(const Variant& Manager, const std::string& Type,
                              const std::string& Id);

// The services the manager hands out as properties.
enum class TManagerService { VarManager, Validator, F2Window, Counter, Phrase };
// The property's name: "Com_VarManager", "Com_Validator", ...
const char* ManagerServiceProperty(TManagerService Service);
// The service object; unassigned without a manager or when the manager does not give one.
Variant ManagerService(const Variant& Manager, TManagerService Service);

// The manager's Traditional/Simplified conversions.
enum class TConvertCall { BIG5toGB, GBtoBig5 };
// "BIG5toGB"/"GBtoBig5" with Value by reference: the converted value; Value itself without a
// manager.
Variant ManagerConvertValue(const Variant& Manager, TConvertCall Call, Variant& Value);
// The same with Value by value, as an element of an array is passed.
Variant ManagerConvertElement(const Variant& Manager, TConvertCall Call, const Variant& Value);
// "Big5ToGB" with Text by reference: the converted text; Text itself without a manager.
std::string ManagerBig5ToGBText(const Variant& Manager, std::string& Text);
// The same call with the answer as the manager gave it (a caller that checks its kind);
// Text itself without a manager.
Variant ManagerBig5ToGB(const Variant& Manager, std::string& Text);

// --- services ----------------------------------------------------------------------------------

// VarManager.GetSysInfo(var CompanyCode): the settings table [0, i] name, [1, i] value;
// unassigned without the service.
Variant VarManagerGetSysInfo(const Variant& VarManager, std::string& CompanyCode);

// Validator.CheckValue / Validator.QueryData(var Table, var Key, var DataSourceCode,
// var Params, var Result): the Boolean answer; Result holds the found row (CheckValue) or the
// rows (QueryData) when True. False without the service.
bool ValidatorCheckValue(const Variant& Validator, std::string& Table, std::string& Key,
                         std::string& DataSourceCode, Variant& Params, Variant& Result);
bool ValidatorQueryData(const Variant& Validator, std::string& Table, std::string& Key,
                        std::string& DataSourceCode, Variant& Params, Variant& Result);

// F2Window.F2GetData(Params), Params the twelve-element array of a look-up: the chosen value,
// an array of chosen rows, or unassigned (also when cancelled).
Variant F2WindowF2GetData(const Variant& F2Window, const Variant& Params);

// Counter.GetCounter(upper case of Name, var Value, [CompanyCode, DataSourceCode]): the next
// number of a counter, or the answer of the server operation Name; unassigned without the
// service.
Variant CounterGetCounter(const Variant& Counter, const std::string& Name, Variant& Value,
                          const std::string& CompanyCode, const std::string& DataSourceCode);

// Phrase.GetPhrase(var UserCode, var DataSourceCode, Window): the chosen phrase; empty when
// cancelled or without the service. Window is the dialog's window handle, passed as an
// integer (as a double when it does not fit in 32 bits).
std::string PhraseGetPhrase(const Variant& Phrase, std::string& UserCode,
                            std::string& DataSourceCode, std::intptr_t Window);

// --- the quick-date picker -------------------------------------------------------------------

// InputDay.ShowInputDay([Calendar, InitialDate, DataSourceCode]): the chosen date as
// "yyyymmdd" text; empty or blank when cancelled or without the picker.
std::string InputDayShowInputDay(const Variant& InputDay, bool Calendar,
                                 const std::string& InitialDate, const std::string& DataSourceCode);

// --- the application server ------------------------------------------------------------------

// Server."Request"(Request): the reply as text; "ERROR" (compared without case by the caller)
// when refused, and RequestRefused without a server object.
std::string ServerRequest(const Variant& Server, const Variant& Request);
// Server."ErrorDescript": the text of the last error; empty without a server object.
std::string ServerErrorDescript(const Variant& Server);
// Server."GetPower"([DataSourceCode, UserCode, ProgramCode, ""]): the rights answer, an array
// whose element 1 is the rights text; unassigned without a server object.
Variant ServerGetPower(const Variant& Server, const std::string& DataSourceCode,
                       const std::string& UserCode, const std::string& ProgramCode);

} // namespace nuv
