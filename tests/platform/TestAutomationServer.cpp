// A tiny automation server library for the tests: serves "NuvTest.Counter" through the
// exported factory, the way the host's and the server's libraries serve their classes.
#include "platform/Automation.h"

#include <strings.h>

namespace {

class Counter : public nuv::TAutoObject {
public:
    Counter() : TAutoObject("NuvTest.Counter") {
        AddMethod(
            "Add",
            [this](std::span<nuv::Variant> args) {
                for (nuv::Variant& a : args)
                    total_ += a.ToInt();
                return nuv::Variant(total_);
            },
            1);
        // Doubles its by-reference argument.
        AddMethod(
            "Twice",
            [](std::span<nuv::Variant> args) {
                args[0].Deref() = args[0].ToInt() * 2;
                return nuv::Variant();
            },
            1, 1);
        AddProperty(
            "Total", [this](std::span<nuv::Variant>) { return nuv::Variant(total_); },
            [this](std::span<nuv::Variant>, const nuv::Variant& v) { total_ = v.ToInt(); });
    }

private:
    int total_ = 0;
};

} // namespace

extern "C" __attribute__((visibility("default"))) nuv::IDispatch*
NuvCreateObject(const char* progId) {
    if (progId && strcasecmp(progId, "NuvTest.Counter") == 0)
        return new Counter;
    return nullptr;
}
