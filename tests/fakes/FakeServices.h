// Doubles of the objects outside the plug-in, for fast tests: the host's work-center manager
// ("ProwenWorkCenter.Manager") with its services VarManager, Validator, F2Window, Counter and
// Phrase, and the quick-date picker ("InputDayC.Class1"). A FakeServices registers both classes
// in-process for its lifetime, so that the code under test creates them by class name as it
// would create the real ones; NewManager() gives a manager as a host hands it over.
//
// The objects answer from a script (FakeHostScript) that a test fills, and record every call
// (member, kind, arguments as they arrived) in one log shared by all of them, in call order.
#pragma once

#include "support/FakeAutomation.h"

#include <nuv/Variant.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace nuv::test {

struct FakeHostScript {
    // Manager.GetMessage: templates by type + id ("E000015"); an id not listed answers
    // "<type>;<id>". FailMessages makes the call fail.
    std::map<std::string, std::string> Messages;
    bool FailMessages = false;
    // Manager.Com_...: the names of services the manager fails to hand out ("Com_Phrase").
    std::set<std::string> MissingServices;
    std::int32_t VersionType = 1;
    // VarManager.GetSysInfo: the settings table, pairs in order.
    std::vector<std::pair<std::string, std::string>> Settings;
    // Validator.CheckValue and QueryData: the answer and the result written back; unset
    // answers False.
    std::function<bool(bool query, const std::string& table, const std::string& key,
                       const Variant& params, Variant& result)>
        Validate;
    // F2Window.F2GetData, Counter.GetCounter, Phrase.GetPhrase, InputDay.ShowInputDay.
    Variant F2Answer;
    Variant CounterAnswer;
    std::string PhraseAnswer;
    std::string InputDayAnswer;
    bool InputDayMissing = false; // "InputDayC.Class1" cannot be created

    std::shared_ptr<CallLog> Log = std::make_shared<CallLog>();
};

// A Validate that knows only the program: the row of ADMMB that row() gives when asked (a
// dialog reads its program's name and attributes there), and False for every other table.
inline std::function<bool(bool, const std::string&, const std::string&, const Variant&, Variant&)>
ProgramRowOnly(std::function<Variant()> row) {
    return [row = std::move(row)](bool, const std::string& table, const std::string&,
                                  const Variant&, Variant& result) {
        if (table != "ADMMB")
            return false;
        result = row();
        return true;
    };
}

class FakeServices {
public:
    FakeServices();
    ~FakeServices();
    FakeServices(const FakeServices&) = delete;
    FakeServices& operator=(const FakeServices&) = delete;

    // A new manager object answering from the script.
    Variant NewManager();
    // The calls of that member name (without case), in order.
    std::vector<RecordedCall> CallsOf(const std::string& name) const;
    // Every member name called, in order.
    std::vector<std::string> CallNames() const;

    std::shared_ptr<FakeHostScript> Host = std::make_shared<FakeHostScript>();
};

} // namespace nuv::test
