// A work-center manager for the host's tests, served as "ProwenWorkCenter.Manager" by this
// library: Connect (which fails when NUV_TEST_MANAGER_FAIL is set) and VersionType.
#include "platform/Automation.h"

#include <cstdlib>
#include <strings.h>

namespace {

class TTestManager : public nuv::TAutoObject {
public:
    TTestManager() : TAutoObject("ProwenWorkCenter.Manager") {
        AddMethod(
            "Connect",
            [](std::span<nuv::Variant>) -> nuv::Variant {
                if (std::getenv("NUV_TEST_MANAGER_FAIL") != nullptr)
                    throw nuv::Exception("the demo database is locked");
                return {};
            },
            0, 0);
        AddProperty("VersionType", [](std::span<nuv::Variant>) { return nuv::Variant(3); });
    }
};

} // namespace

extern "C" __attribute__((visibility("default"))) nuv::IDispatch*
NuvCreateObject(const char* progId) {
    if (progId != nullptr && strcasecmp(progId, "ProwenWorkCenter.Manager") == 0)
        return new TTestManager;
    return nullptr;
}
