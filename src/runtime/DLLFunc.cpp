#include "runtime/DLLFunc.h"

#include "platform/AsciiText.h"
#include "platform/DateTime.h"
#include "platform/SystemServices.h"
#include "runtime/DialogText.h"
#include "runtime/FieldChecks.h"
#include "support/HostObjects.h"
#include "support/LibStrs.h"
#include "support/TarvelINI.h"
#include "ui/StdCtrls.h"
#include "ui/TypInfo.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace nuv {

namespace {

// The file name without directory.
std::string BaseName(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The extension of a file name with its dot, empty when there is none.
std::string Extension(const std::string& name) {
    auto dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

std::string TodayAsYYYYMMDD() {
    int y = 0, m = 0, d = 0;
    DecodeDate(Today(), y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
    return buf;
}

// Element k counted from the array's lower bound; unassigned when there is none.
Variant ElementFromLow(const Variant& row, int k) {
    if (!row.IsArray() || row.ArrayDimCount() != 1)
        return {};
    int i = row.ArrayLowBound() + k;
    return i <= row.ArrayHighBound() ? row[i] : Variant();
}

// Eight digits that make a real date.
bool IsStoredDate(const std::string& s) {
    if (s.size() != 8)
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return DateFromYYYYMMDD(s) != 0;
}

const char* const ExeVersionMark = "[您現在執行的是Exe版本!]";

} // namespace

// --- the module ----------------------------------------------------------------------------

bool IsDllModulePath(const std::string& path) {
    std::string ext = Extension(BaseName(path));
    return SameTextAscii(ext, ".so") || SameTextAscii(ext, ".dll");
}

bool IsDllVersion() {
    return IsDllModulePath(GetModuleFileName());
}

std::string ProgramIdFromModulePath(const std::string& path, bool dllVersion) {
    std::string name = BaseName(path);
    std::string ext = Extension(name);
    name.resize(name.size() - ext.size());
    const std::size_t cut = dllVersion ? 1 : 2;
    const std::size_t keep =
        std::max(name.size() > cut ? name.size() - cut : 0, std::min<std::size_t>(name.size(), 6));
    name.resize(keep);
    return name;
}

std::string ProgramIdFromModule() {
    std::string path = GetModuleFileName();
    return ProgramIdFromModulePath(path, IsDllModulePath(path));
}

// --- services ------------------------------------------------------------------------------

void ConnectServices(TBaseGeneState& dialog) {
    if (!IsDllVersion() && !IsObjectAssigned(dialog.Manager))
        dialog.Manager = CreateAutomationObject(ManagerClassName);
    HandManagerToConverter(dialog);
    try {
        dialog.VarManager = ManagerService(dialog.Manager, TManagerService::VarManager);
        GetSetting(dialog, "");
        dialog.CaptionTag = GetSetting(dialog, "NUV002");
    } catch (const Exception&) {
        dialog.VarManager = Variant();
    }
    // The dialog's dates follow the company's layout from here on (masks, shown and stored
    // dates); without settings they keep the defaults.
    GetDateLayout(dialog);
    GetDateSeparator(dialog);
    dialog.Validator = ManagerService(dialog.Manager, TManagerService::Validator);
}

void AfterServices(TBaseGeneState& dialog) {
    if (dialog.ServiceFlags & sf_F2Window) {
        dialog.F2Window = ManagerService(dialog.Manager, TManagerService::F2Window);
        dialog.InputDay = CreateAutomationObject(InputDayClassName);
    }
    if (dialog.ServiceFlags & sf_Counter)
        dialog.Counter = ManagerService(dialog.Manager, TManagerService::Counter);
    if (dialog.ServiceFlags & sf_Phrase)
        dialog.Phrase = ManagerService(dialog.Manager, TManagerService::Phrase);
}

std::string GetSetting(TBaseGeneState& dialog, const std::string& name) {
    if (name.empty()) {
        if (!IsObjectAssigned(dialog.VarManager))
            return {};
        std::string company = dialog.CompanyCode;
        Variant table = VarManagerGetSysInfo(dialog.VarManager, company);
        if (!table.IsArray() || table.ArrayDimCount() != 2 || table.ArrayLowBound(1) > 0 ||
            table.ArrayHighBound(1) < 1)
            return {};
        for (int i = table.ArrayLowBound(2); i <= table.ArrayHighBound(2); ++i) {
            try {
                std::string key = table.Element(0, i).ToString();
                if (!key.empty() && key.find('=') == std::string::npos)
                    dialog.SettingsCache.SetValue(key, table.Element(1, i).ToString());
            } catch (const Exception&) {
                // A pair that cannot be read as texts is no setting.
            }
        }
        return {};
    }
    try {
        std::string value = dialog.SettingsCache.Values(name);
        return StoredForDisplay(dialog, Variant(value)).ToString();
    } catch (const Exception&) {
        return {};
    }
}

std::int32_t GetDateLayout(TBaseGeneState& dialog) {
    std::string value = GetSetting(dialog, "Sys001");
    dialog.DateLayout = value.empty() ? 1 : Variant(value).ToIntDef(1);
    return dialog.DateLayout;
}

std::string GetDateSeparator(TBaseGeneState& dialog) {
    std::string sep = GetSetting(dialog, "Sys002");
    dialog.DateSeparator = sep.empty() ? "/" : sep;
    return dialog.DateSeparator;
}

bool CheckData(TBaseGeneState& dialog, const std::string& name, const std::string& key, bool query,
               const Variant& args, Variant& result) {
    dialog.LastCheckCall = name + "-" + key;
    if (!IsObjectAssigned(dialog.Validator))
        return false;
    try {
        Variant params = ConvertToStorage(dialog, args);
        std::string table = name, k = key, ds = dialog.DataSourceCode;
        bool found = query ? ValidatorQueryData(dialog.Validator, table, k, ds, params, result)
                           : ValidatorCheckValue(dialog.Validator, table, k, ds, params, result);
        result = StoredForDisplay(dialog, result);
        return found;
    } catch (const Exception&) {
        return false;
    }
}

// --- the program ---------------------------------------------------------------------------

void SetProgramCode(TBaseGeneState& dialog, const std::string& code) {
    dialog.ProgramCode = UpperAscii(code);
    dialog.ServerClassName = dialog.ProgramCode + "S.Class1";
    dialog.ProgramName = dialog.ProgramCode;
    dialog.ProgramAttr.clear();
    Variant row;
    try {
        if (CheckData(dialog, "ADMMB", "01", false, Variant::ArrayOf({dialog.ProgramCode}), row)) {
            Variant name = ElementFromLow(row, 0);
            if (!name.IsEmptyOrNull()) {
                dialog.ProgramName = name.ToString();
                dialog.ProgramAttr = ElementFromLow(row, 4).ToString();
            }
        }
    } catch (const Exception&) {
        // A row that cannot be read leaves the program's code as its name.
    }
    BuildCaption(dialog, dialog.ProgramName);
}

void BuildCaption(TBaseGeneState& dialog, const std::string& title) {
    dialog.TitleText = IsDllVersion() ? title : title + ExeVersionMark;
    dialog.DialogForm().SetCaption(dialog.TitleText + "[" + dialog.CaptionTag + "]");
}

void SetIdentity(TBaseGeneState& dialog, const Variant& param) {
    dialog.UserCode = param[0].ToString();
    dialog.CompanyCode = param[1].ToString();
    dialog.DataSourceCode = param[2].ToString();
}

// --- pickers, phrases, counters ------------------------------------------------------------

std::string PickDate(TBaseGeneState& dialog, const std::string& text, bool fullDate) {
    if (!IsObjectAssigned(dialog.InputDay))
        return {};
    // The picker starts at the field's date: the text as a stored date, or as the field shows
    // it in the dialog's layout ("92/12/01" is eight characters too, but no stored date).
    std::string initial = text;
    if (!IsStoredDate(initial))
        initial = DateTextToStorage(dialog, text);
    if (!IsStoredDate(initial))
        initial = TodayAsYYYYMMDD();
    std::string answer;
    try {
        answer = InputDayShowInputDay(dialog.InputDay, dialog.DateLayout > 3, initial,
                                      dialog.DataSourceCode);
    } catch (const Exception&) {
        return text;
    }
    std::string trimmed(TrimBlanks(answer));
    if (trimmed.empty())
        return text;
    double date = DateFromYYYYMMDD(trimmed);
    // An answer that is no date would empty the field; the field keeps what it had instead.
    if (date == 0)
        return text;
    const auto layout = static_cast<TDateType>(dialog.DateLayout);
    return fullDate ? FormatDateByLayout(layout, dialog.DateSeparator, date)
                    : FormatYearMonthByLayout(layout, dialog.DateSeparator, date);
}

std::string GetPhrase(TBaseGeneState& dialog) {
    if (!IsObjectAssigned(dialog.Phrase))
        return {};
    try {
        std::string user = dialog.UserCode, ds = dialog.DataSourceCode;
        std::string phrase = PhraseGetPhrase(dialog.Phrase, user, ds, dialog.DialogForm().Handle());
        return StoredForDisplay(dialog, Variant(phrase)).ToString();
    } catch (const Exception&) {
        return {};
    }
}

void ApplyPhrase(TBaseGeneState& dialog, TControl* control) {
    std::string phrase = GetPhrase(dialog);
    if (control != nullptr && !phrase.empty())
        control->SetText(phrase);
}

Variant GetCounter(TBaseGeneState& dialog, const std::string& name, Variant& value) {
    if (!IsObjectAssigned(dialog.Counter))
        return {};
    try {
        return CounterGetCounter(dialog.Counter, name, value, dialog.CompanyCode,
                                 dialog.DataSourceCode);
    } catch (const Exception&) {
        return {};
    }
}

void RemoteCall(TBaseGeneState& dialog, const std::string& name, Variant& params, Variant& result) {
    result = Variant();
    result = StoredForDisplay(dialog, GetCounter(dialog, name, params));
}

void ShowFileProperties(const std::string& path, const std::string& version) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string size = "-", time = "-";
    auto bytes = fs::file_size(path, ec);
    if (!ec)
        size = std::to_string(bytes) + " bytes";
    auto written = fs::last_write_time(path, ec);
    if (!ec) {
        auto sys = std::chrono::file_clock::to_sys(written);
        std::time_t t = std::chrono::system_clock::to_time_t(sys);
        std::tm local{};
        localtime_r(&t, &local);
        char buf[32];
        std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &local);
        time = buf;
    }
    TForm* form = CreateForm<TForm>(nullptr);
    try {
        form->SetCaption(BaseName(path));
        form->SetBorderStyle(TBorderStyle::bsDialog);
        form->SetPosition(poScreenCenter);
        form->SetClientWidth(420);
        form->SetClientHeight(150);
        const std::pair<const char*, std::string> rows[] = {
            {"File", path}, {"Size", size}, {"Modified", time}, {"Version", version}};
        int top = 12;
        for (const auto& [caption, value] : rows) {
            auto* label = new TLabel(form);
            label->SetParent(form);
            label->SetBounds(12, top, 80, 16);
            label->SetCaption(caption);
            auto* text = new TLabel(form);
            text->SetParent(form);
            text->SetBounds(96, top, 312, 16);
            text->SetCaption(value.empty() ? "-" : value);
            top += 24;
        }
        auto* ok = new TButton(form);
        ok->SetParent(form);
        ok->SetBounds(172, 112, 75, 25);
        ok->SetCaption("OK");
        ok->SetDefault(true);
        ok->SetCancel(true);
        ok->SetModalResult(mrOk);
        form->ShowModal();
    } catch (...) {
        form->Free();
        throw;
    }
    form->Free();
}

// --- the application server ----------------------------------------------------------------

TServerSettings ReadServerSettings(TBaseGeneState& dialog) {
    TServerSettings s;
    TTarvelIniC ini;
    if (!dialog.MessageRefs.empty())
        return s; // the pending references are the failure; they were posted already
    const Variant& list = ini.ServerList;
    if (list.IsArray() && list.ArrayDimCount() == 2 &&
        list.ArrayHighBound(2) >= list.ArrayLowBound(2)) {
        int first = list.ArrayLowBound(2);
        s.HasServer = true;
        s.Address = list.Element(0, first).ToString();
        s.Port = list.Element(1, first).ToInt();
        s.SupportCallBack = ini.SupportCallBack;
    } else if (!ini.ErrorCode.empty()) {
        PostMessageRef(dialog, ini.ErrorCode);
        return s;
    }
    s.Ok = true;
    return s;
}

} // namespace nuv
