#include "fakes/FakeServices.h"

#include "platform/Automation.h"
#include "platform/Exception.h"
#include "support/HostObjects.h"

namespace nuv::test {

namespace {

using Script = std::shared_ptr<FakeHostScript>;

RecordingObject* NewObject(const Script& s, const std::string& className, Variant& held) {
    auto* object = new RecordingObject(className, s->Log);
    held = Variant(DispatchPtr::Adopt(object));
    return object;
}

Variant NewVarManager(const Script& s) {
    Variant held;
    NewObject(s, "VarManager", held)->Method("GetSysInfo", [s](std::span<Variant>) {
        Variant table =
            Variant::CreateArray({{0, 1}, {0, static_cast<int>(s->Settings.size()) - 1}});
        for (std::size_t i = 0; i < s->Settings.size(); ++i) {
            table.Element(0, static_cast<int>(i)) = s->Settings[i].first;
            table.Element(1, static_cast<int>(i)) = s->Settings[i].second;
        }
        return table;
    });
    return held;
}

Variant NewValidator(const Script& s) {
    Variant held;
    RecordingObject* o = NewObject(s, "Validator", held);
    for (bool query : {false, true}) {
        o->Method(query ? "QueryData" : "CheckValue", [s, query](std::span<Variant> a) {
            if (a.size() != 5)
                throw Exception("CheckValue takes five arguments");
            if (!s->Validate)
                return Variant(false);
            Variant result;
            bool found = s->Validate(query, a[0].ToString(), a[1].ToString(), a[3].Deref(), result);
            a[4].Deref() = result;
            return Variant(found);
        });
    }
    return held;
}

Variant NewAnswering(const Script& s, const char* className, const char* method,
                     std::function<Variant()> answer) {
    Variant held;
    NewObject(s, className, held)->Method(method, [answer](std::span<Variant>) {
        return answer();
    });
    return held;
}

Variant NewManagerObject(const Script& s) {
    Variant held;
    RecordingObject* m = NewObject(s, "ProwenWorkCenter.Manager", held);
    m->Method("GetMessage", [s](std::span<Variant> a) {
        if (s->FailMessages)
            throw Exception("the message table cannot be read");
        const std::string type = a.size() > 0 ? a[0].ToString() : "";
        const std::string id = a.size() > 1 ? a[1].ToString() : "";
        auto it = s->Messages.find(type + id);
        return Variant(it != s->Messages.end() ? it->second : type + ";" + id);
    });
    m->Method("Connect", [](std::span<Variant>) { return Variant(); });
    m->Method("CallHelp", [](std::span<Variant>) { return Variant(); });
    m->Method("VersionType", [s](std::span<Variant>) { return Variant(s->VersionType); });
    const std::pair<const char*, std::function<Variant()>> services[] = {
        {"Com_VarManager", [s] { return NewVarManager(s); }},
        {"Com_Validator", [s] { return NewValidator(s); }},
        {"Com_F2Window",
         [s] { return NewAnswering(s, "F2Window", "F2GetData", [s] { return s->F2Answer; }); }},
        {"Com_Counter",
         [s] {
             return NewAnswering(s, "Counter", "GetCounter", [s] { return s->CounterAnswer; });
         }},
        {"Com_Phrase", [s] {
             return NewAnswering(s, "Phrase", "GetPhrase",
                                 [s] { return Variant(s->PhraseAnswer); });
         }}};
    for (const auto& [name, make] : services) {
        std::string member = name;
        auto create = make;
        m->Method(member, [s, member, create](std::span<Variant>) {
            if (s->MissingServices.count(member))
                throw Exception("the manager has no " + member);
            return create();
        });
    }
    return held;
}

} // namespace

FakeServices::FakeServices() {
    Script s = Host;
    RegisterOleFactory(ManagerClassName, [s] { return NewManagerObject(s).ToDispatch(); });
    RegisterOleFactory(InputDayClassName, [s] {
        if (s->InputDayMissing)
            return DispatchPtr();
        return NewAnswering(s, "InputDayC.Class1", "ShowInputDay",
                            [s] { return Variant(s->InputDayAnswer); })
            .ToDispatch();
    });
}

FakeServices::~FakeServices() {
    UnregisterOleFactory(ManagerClassName);
    UnregisterOleFactory(InputDayClassName);
}

Variant FakeServices::NewManager() {
    return NewManagerObject(Host);
}

std::vector<RecordedCall> FakeServices::CallsOf(const std::string& name) const {
    std::vector<RecordedCall> out;
    for (const RecordedCall& c : *Host->Log)
        if (detail::EqualsNoCase(c.name, name))
            out.push_back(c);
    return out;
}

std::vector<std::string> FakeServices::CallNames() const {
    std::vector<std::string> out;
    for (const RecordedCall& c : *Host->Log)
        out.push_back(c.name);
    return out;
}

} // namespace nuv::test
