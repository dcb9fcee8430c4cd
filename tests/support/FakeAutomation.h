// An automation object for tests that records every call made on it (member, kind, and each
// argument with whether it came by reference) and answers from a script.
#pragma once

#include "platform/Automation.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nuv::test {

struct RecordedArg {
    bool byRef = false;
    Variant value; // the value as it arrived (a copy of the referenced value for references)
};

struct RecordedCall {
    std::string name;
    InvokeKind kind = InvokeKind::Method;
    std::vector<RecordedArg> args;
};

using CallLog = std::vector<RecordedCall>;

class RecordingObject : public TAutoObject {
public:
    // Answers a call; may write through by-reference arguments.
    using Answer = std::function<Variant(std::span<Variant> args)>;

    RecordingObject(std::string className, std::shared_ptr<CallLog> log)
        : TAutoObject(std::move(className)), log_(std::move(log)) {}

    // A method with a scripted answer.
    void Method(const std::string& name, Answer answer) {
        AddMethod(name, [this, name, answer](std::span<Variant> args) {
            Record(name, InvokeKind::Method, args);
            return answer(args);
        });
    }
    // A read-only property with a fixed value.
    void Property(const std::string& name, Variant value) {
        AddProperty(name, [this, name, value](std::span<Variant> args) {
            Record(name, InvokeKind::PropertyGet, args);
            return value;
        });
    }

private:
    void Record(const std::string& name, InvokeKind kind, std::span<Variant> args) {
        RecordedCall call{name, kind, {}};
        for (Variant& a : args)
            call.args.push_back({a.IsByRef(), a.Deref()});
        log_->push_back(std::move(call));
    }
    std::shared_ptr<CallLog> log_;
};

// A new recording object held in a Variant, with its shared call log.
struct FakeObject {
    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    RecordingObject* object;
    Variant held;

    explicit FakeObject(const std::string& className = "fake object") {
        object = new RecordingObject(className, log);
        held = Variant(DispatchPtr::Adopt(object));
    }
};

// Registers the application server class "ReportCounterS.dmReportCounter" in-process as a
// recording object: "GetPower" grants the super-user group every right, "ErrorDescript" is
// empty and, when RequestReply is given, "Request" answers it. Tests unregister the class in
// their tear-down.
inline void RegisterRecordingReportServer(std::shared_ptr<CallLog> log,
                                          std::optional<Variant> RequestReply = std::nullopt) {
    RegisterOleFactory("ReportCounterS.dmReportCounter", [log, RequestReply] {
        auto* o = new RecordingObject("ReportCounterS.dmReportCounter", log);
        DispatchPtr held = DispatchPtr::Adopt(o);
        o->Method("GetPower", [](std::span<Variant>) {
            return Variant::ArrayOf({"", "000000,,,YYYYYYYY", "", ""});
        });
        if (RequestReply)
            o->Method("Request", [reply = *RequestReply](std::span<Variant>) { return reply; });
        o->Property("ErrorDescript", Variant(""));
        return held;
    });
}

} // namespace nuv::test
