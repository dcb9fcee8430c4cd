// ReportCounterS: the report server object as an in-process automation library, for clients
// whose server address is the local machine. It reads the same server configuration as the
// daemon and stores jobs in the same queue; the daemon's runner (or "reportcounterd run-due")
// runs them.
#include "ReportCounter.h"

#include "platform/AsciiText.h"

#include <memory>

namespace {

// One context per process: the objects of all dialogs share the queue connection.
std::shared_ptr<nuv::TServerContext> SharedContext() {
    static std::weak_ptr<nuv::TServerContext> shared;
    if (auto c = shared.lock())
        return c;
    std::shared_ptr<nuv::TServerContext> c;
    try {
        c = std::make_shared<nuv::TServerContext>(nuv::TServerConfig::Load());
    } catch (const nuv::Exception& e) {
        // The object is still made, so that the dialog shows why nothing can be stored.
        c = nuv::TServerContext::Broken(e.what());
    }
    shared = c;
    return c;
}

} // namespace

extern "C" __attribute__((visibility("default"))) nuv::IDispatch*
NuvCreateObject(const char* progId) {
    if (!progId || nuv::UpperAscii(progId) != nuv::UpperAscii(nuv::ReportCounterClassName))
        return nullptr;
    try {
        return new nuv::TdmReportCounter(SharedContext());
    } catch (...) {
        return nullptr;
    }
}
