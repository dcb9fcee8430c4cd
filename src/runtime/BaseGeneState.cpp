#include "runtime/BaseGeneState.h"

#include "platform/AsciiText.h"
#include "platform/DateTime.h"
#include "runtime/DLLFunc.h"
#include "runtime/DialogText.h"
#include "runtime/FieldChecks.h"
#include "runtime/FieldWiring.h"
#include "runtime/NuMsg.h"
#include "runtime/RequestBlock.h"

namespace nuv {

// --- THandlerList -----------------------------------------------------------------------------

void THandlerList::Save(const std::string& key, const TMethod& handler) {
    if (handler.Assigned() && !Contains(key))
        entries_.emplace_back(key, handler);
}

TMethod THandlerList::Find(const std::string& key) const {
    for (const auto& [name, handler] : entries_)
        if (SameTextAscii(name, key))
            return handler;
    return {};
}

bool THandlerList::Contains(const std::string& key) const {
    return Find(key).Assigned();
}

// --- TBaseGeneState --------------------------------------------------------------------------

TBaseGeneState::TBaseGeneState()
    : OnDateFieldEnter(this, &TBaseGeneState::DateFieldEnter),
      OnDateFieldExit(this, &TBaseGeneState::DateFieldExit),
      OnRequiredExit(this, &TBaseGeneState::RequiredExit) {
    HostValues = Variant::MakeNull();
}

TBaseGeneState::~TBaseGeneState() = default;

TComponent* TBaseGeneState::FindDialogComponent(const std::string& Name) {
    return Name.empty() ? nullptr : DialogForm().FindComponent(Name);
}

bool TBaseGeneState::FillRequestHeader(Variant& Header, std::int32_t) {
    const Variant values[] = {UpperAscii(ProgramCode),
                              Variant(EnvironmentCount),
                              Variant(ConditionCount),
                              CompanyCode,
                              UserCode,
                              DataSourceCode,
                              Variant::FromDate(Now()),
                              ServerClassName,
                              UpperAscii(RequestClass)};
    const int low = Header.ArrayLowBound(), high = Header.ArrayHighBound();
    for (int i = 1; i <= 9; ++i)
        if (i >= low && i <= high)
            Header[i] = values[i - 1];
    return true;
}

bool TBaseGeneState::CollectConditionText(Variant& Texts, std::int32_t) {
    if (ConditionCount < 1)
        return true;
    return BaseConditionText(*this, Texts, ConditionCount);
}

bool TBaseGeneState::CollectConditionData(Variant& Data, std::int32_t) {
    if (ConditionCount < 1)
        return true;
    return BaseConditionData(*this, Data, ConditionCount);
}

bool TBaseGeneState::ApplyCustomValues(const Variant&) {
    return false;
}

void TBaseGeneState::PostMessageRef(const std::string& Refs) {
    nuv::PostMessageRef(*this, Refs);
}

void TBaseGeneState::AddFailureText(const std::string& Text) {
    nuv::AddFailureText(*this, Text);
}

int TBaseGeneState::ShowMessageById(const std::string& Type, const std::string& Id,
                                    const std::vector<std::string>& Args) {
    return nuv::ShowMessageById(*this, Type, Id, Args);
}

std::int32_t TBaseGeneState::GetDateLayout() {
    return nuv::GetDateLayout(*this);
}

std::string TBaseGeneState::GetDateSeparator() {
    return nuv::GetDateSeparator(*this);
}

void TBaseGeneState::GetSetting(const std::string& Key, std::string& Value) {
    Value = nuv::GetSetting(*this, Key);
}

void TBaseGeneState::SetProgramCode(const std::string& Code) {
    nuv::SetProgramCode(*this, Code);
}

void TBaseGeneState::BuildCaption(const std::string& Name) {
    nuv::BuildCaption(*this, Name);
}

void TBaseGeneState::SetIdentity(const Variant& Param) {
    nuv::SetIdentity(*this, Param);
}

void TBaseGeneState::RemoteCall(const std::string& Name, Variant& Params, Variant& Result) {
    nuv::RemoteCall(*this, Name, Params, Result);
}

void TBaseGeneState::ToDisplayText(const Variant& Value, Variant& Result) {
    Result = ConvertToDisplay(*this, Value);
}

void TBaseGeneState::FromStorageText(const Variant& Value, Variant& Result) {
    Result = ConvertFromStorage(*this, Value);
}

bool TBaseGeneState::CheckDateField(TControl* Control, bool Setup) {
    std::string failRef;
    bool ok = nuv::CheckDateField(*this, Control, Setup, failRef);
    if (!failRef.empty())
        nuv::PostMessageRef(*this, failRef);
    return ok;
}

bool TBaseGeneState::CheckYearMonthField(TControl* Control, bool Setup) {
    std::string failRef;
    bool ok = nuv::CheckYearMonthField(*this, Control, Setup, failRef);
    if (!failRef.empty())
        nuv::PostMessageRef(*this, failRef);
    return ok;
}

void TBaseGeneState::SetDateFields(const std::string& Names) {
    nuv::SetDateFields(*this, Names);
}

void TBaseGeneState::RunExitHandler(TControl* Control, const std::string& EventName) {
    nuv::RunExitHandler(*this, Control, EventName);
}

void TBaseGeneState::SetConditionCount(std::int32_t N) {
    nuv::SetConditionCount(*this, N);
}

// The installed handlers run inside event dispatch: a failure of the general class is queued
// as a failure text instead of leaving the handler.
void TBaseGeneState::DateFieldEnter(TObject* Sender) {
    try {
        HandleDateFieldEvent(*this, dynamic_cast<TControl*>(Sender), "OnEnter");
    } catch (const Exception& e) {
        CheckFailed = true;
        nuv::AddFailureText(*this, e.what());
    }
}

void TBaseGeneState::DateFieldExit(TObject* Sender) {
    try {
        HandleDateFieldEvent(*this, dynamic_cast<TControl*>(Sender), "OnExit");
    } catch (const Exception& e) {
        CheckFailed = true;
        nuv::AddFailureText(*this, e.what());
    }
}

void TBaseGeneState::RequiredExit(TObject* Sender) {
    try {
        HandleRequiredClick(*this, dynamic_cast<TControl*>(Sender));
    } catch (const Exception& e) {
        CheckFailed = true;
        nuv::AddFailureText(*this, e.what());
    }
}

} // namespace nuv
