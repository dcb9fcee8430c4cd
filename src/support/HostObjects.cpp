#include "support/HostObjects.h"

#include "platform/Automation.h"

#include <limits>
#include <vector>

namespace nuv {

namespace {

// The object held in Obj; empty when Obj holds anything else (unassigned, Null, a value).
DispatchPtr ObjectOf(const Variant& Obj) {
    if (Obj.Type() != VarType::Dispatch)
        return {};
    return Obj.ToDispatch();
}

std::string UpperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// A method call whose arguments may hold references to the caller's variables.
Variant CallWith(const DispatchPtr& obj, std::string_view name, std::vector<Variant> args) {
    return OleInvoke(obj, name, InvokeKind::Method, args);
}

// A text passed by reference: it travels in a Variant that the object may change, and the
// new value is written back to the caller's text once the call has returned.
class TextRef {
public:
    explicit TextRef(std::string& text) : text_(text), value_(text) {}
    Variant Arg() { return Variant::ByRef(value_); }
    void WriteBack() { text_ = value_.ToString(); }

private:
    std::string& text_;
    Variant value_;
};

Variant WindowArgument(std::intptr_t window) {
    if (window >= std::numeric_limits<std::int32_t>::min() &&
        window <= std::numeric_limits<std::int32_t>::max())
        return Variant(static_cast<int>(window));
    return Variant(static_cast<double>(window));
}

bool CallValidator(const Variant& validator, std::string_view operation, std::string& table,
                   std::string& key, std::string& dataSourceCode, Variant& params,
                   Variant& result) {
    DispatchPtr obj = ObjectOf(validator);
    if (!obj)
        return false;
    TextRef t(table), k(key), d(dataSourceCode);
    Variant answer =
        CallWith(obj, operation,
                 {t.Arg(), k.Arg(), d.Arg(), Variant::ByRef(params), Variant::ByRef(result)});
    t.WriteBack();
    k.WriteBack();
    d.WriteBack();
    return answer.ToBool();
}

} // namespace

bool IsObjectAssigned(const Variant& Obj) {
    return static_cast<bool>(ObjectOf(Obj));
}

Variant CreateAutomationObject(const std::string& ClassName) {
    try {
        return Variant(CreateOleObject(ClassName));
    } catch (const Exception&) {
        return Variant();
    }
}

// --- the work-center manager ------------------------------------------------------------------

void ManagerConnect(const Variant& Manager) {
    if (DispatchPtr obj = ObjectOf(Manager))
        CallWith(obj, "Connect", {});
}

std::int32_t ManagerVersionType(const Variant& Manager) {
    DispatchPtr obj = ObjectOf(Manager);
    if (!obj)
        return 0;
    return OleGet(obj, "VersionType").ToInt();
}

void ManagerCallHelp(const Variant& Manager, const std::string& Module, const std::string& Topic) {
    if (DispatchPtr obj = ObjectOf(Manager))
        CallWith(obj, "CallHelp", {Variant::ArrayOf({Module, Topic})});
}

std::string ManagerGetMessage(const Variant& Manager, const std::string& Type,
                              const std::string& Id) {
    DispatchPtr obj = ObjectOf(Manager);
    if (!obj)
        return {};
    return CallWith(obj, "GetMessage", {Type, Id}).ToString();
}

const char* ManagerServiceProperty(TManagerService Service) {
    switch (Service) {
    case TManagerService::VarManager:
        return "Com_VarManager";
    case TManagerService::Validator:
        return "Com_Validator";
    case TManagerService::F2Window:
        return "Com_F2Window";
    case TManagerService::Counter:
        return "Com_Counter";
    case TManagerService::Phrase:
        return "Com_Phrase";
    }
    return "";
}

Variant ManagerService(const Variant& Manager, TManagerService Service) {
    DispatchPtr obj = ObjectOf(Manager);
    if (!obj)
        return Variant();
    try {
        Variant service = OleGet(obj, ManagerServiceProperty(Service));
        // Only an object counts as the service; anything else leaves it unassigned.
        return IsObjectAssigned(service) ? service : Variant();
    } catch (const Exception&) {
        return Variant();
    }
}

namespace {
const char* ConvertCallName(TConvertCall call) {
    return call == TConvertCall::BIG5toGB ? "BIG5toGB" : "GBtoBig5";
}
} // namespace

Variant ManagerConvertValue(const Variant& Manager, TConvertCall Call, Variant& Value) {
    DispatchPtr obj = ObjectOf(Manager);
    if (!obj)
        return Value;
    return CallWith(obj, ConvertCallName(Call), {Variant::ByRef(Value)});
}

Variant ManagerConvertElement(const Variant& Manager, TConvertCall Call, const Variant& Value) {
    DispatchPtr obj = ObjectOf(Manager);
    if (!obj)
        return Value;
    return CallWith(obj, ConvertCallName(Call), {Value});
}

std::string ManagerBig5ToGBText(const Variant& Manager, std::string& Text) {
    return ManagerBig5ToGB(Manager, Text).ToString();
}

Variant ManagerBig5ToGB(const Variant& Manager, std::string& Text) {
    DispatchPtr obj = ObjectOf(Manager);
    if (!obj)
        return Variant(Text);
    TextRef t(Text);
    Variant answer = CallWith(obj, "Big5ToGB", {t.Arg()});
    t.WriteBack();
    return answer;
}

// --- services ----------------------------------------------------------------------------------

Variant VarManagerGetSysInfo(const Variant& VarManager, std::string& CompanyCode) {
    DispatchPtr obj = ObjectOf(VarManager);
    if (!obj)
        return Variant();
    TextRef c(CompanyCode);
    Variant answer = CallWith(obj, "GetSysInfo", {c.Arg()});
    c.WriteBack();
    return answer;
}

bool ValidatorCheckValue(const Variant& Validator, std::string& Table, std::string& Key,
                         std::string& DataSourceCode, Variant& Params, Variant& Result) {
    return CallValidator(Validator, "CheckValue", Table, Key, DataSourceCode, Params, Result);
}

bool ValidatorQueryData(const Variant& Validator, std::string& Table, std::string& Key,
                        std::string& DataSourceCode, Variant& Params, Variant& Result) {
    return CallValidator(Validator, "QueryData", Table, Key, DataSourceCode, Params, Result);
}

Variant F2WindowF2GetData(const Variant& F2Window, const Variant& Params) {
    DispatchPtr obj = ObjectOf(F2Window);
    if (!obj)
        return Variant();
    return CallWith(obj, "F2GetData", {Params});
}

Variant CounterGetCounter(const Variant& Counter, const std::string& Name, Variant& Value,
                          const std::string& CompanyCode, const std::string& DataSourceCode) {
    DispatchPtr obj = ObjectOf(Counter);
    if (!obj)
        return Variant();
    return CallWith(
        obj, "GetCounter",
        {UpperAscii(Name), Variant::ByRef(Value), Variant::ArrayOf({CompanyCode, DataSourceCode})});
}

std::string PhraseGetPhrase(const Variant& Phrase, std::string& UserCode,
                            std::string& DataSourceCode, std::intptr_t Window) {
    DispatchPtr obj = ObjectOf(Phrase);
    if (!obj)
        return {};
    TextRef u(UserCode), d(DataSourceCode);
    Variant answer = CallWith(obj, "GetPhrase", {u.Arg(), d.Arg(), WindowArgument(Window)});
    u.WriteBack();
    d.WriteBack();
    return answer.ToString();
}

// --- the quick-date picker -------------------------------------------------------------------

std::string InputDayShowInputDay(const Variant& InputDay, bool Calendar,
                                 const std::string& InitialDate,
                                 const std::string& DataSourceCode) {
    DispatchPtr obj = ObjectOf(InputDay);
    if (!obj)
        return {};
    return CallWith(obj, "ShowInputDay",
                    {Variant::ArrayOf({Calendar, InitialDate, DataSourceCode})})
        .ToString();
}

// --- the application server ------------------------------------------------------------------

std::string ServerRequest(const Variant& Server, const Variant& Request) {
    DispatchPtr obj = ObjectOf(Server);
    if (!obj)
        return RequestRefused;
    return CallWith(obj, "Request", {Request}).ToString();
}

std::string ServerErrorDescript(const Variant& Server) {
    DispatchPtr obj = ObjectOf(Server);
    if (!obj)
        return {};
    return OleGet(obj, "ErrorDescript").ToString();
}

Variant ServerGetPower(const Variant& Server, const std::string& DataSourceCode,
                       const std::string& UserCode, const std::string& ProgramCode) {
    DispatchPtr obj = ObjectOf(Server);
    if (!obj)
        return Variant();
    return CallWith(obj, "GetPower",
                    {Variant::ArrayOf({DataSourceCode, UserCode, ProgramCode, std::string()})});
}

} // namespace nuv
