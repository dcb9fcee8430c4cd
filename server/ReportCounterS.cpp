// ReportCounterS: the report server object as an in-process automation library, for clients
// whose server address is the local machine. It reads the same server configuration as the
// daemon and stores jobs in the same queue; the daemon's runner (or "reportcounterd run-due")
// runs them.
#include "ReportCounter.h"

#include "platform/AsciiText.h"

#include <memory>
#include <mutex>
#include <utility>

#include <sys/stat.h>

namespace {

// The identity of a file the context keeps open (0, 0 when it is not there).
std::pair<dev_t, ino_t> FileIdentity(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return {0, 0};
    return {st.st_dev, st.st_ino};
}

struct TKeptContext {
    std::shared_ptr<nuv::TServerContext> context;
    std::pair<dev_t, ino_t> queue, erp;
};

bool SameConfig(const nuv::TServerConfig& a, const nuv::TServerConfig& b) {
    return a.ListenAddress == b.ListenAddress && a.Port == b.Port && a.QueueFile == b.QueueFile &&
           a.ErpDatabase == b.ErpDatabase && a.OutputPath == b.OutputPath &&
           a.FrameTimeoutMs == b.FrameTimeoutMs && a.FrameCap == b.FrameCap;
}

// One context per process: the objects of all dialogs share the queue connection and the ERP
// database, also one dialog after another. The configuration is read for every object; a
// changed configuration, or a queue or database file replaced on disk, starts a new context.
std::shared_ptr<nuv::TServerContext> SharedContext() {
    static std::mutex lock;
    static TKeptContext kept;
    nuv::TServerConfig config;
    try {
        config = nuv::TServerConfig::Load();
    } catch (const nuv::Exception& e) {
        // The object is still made, so that the dialog shows why nothing can be stored.
        return nuv::TServerContext::Broken(e.what());
    }
    const auto queue = FileIdentity(config.QueueFile);
    const auto erp = FileIdentity(config.ErpDatabase);
    std::lock_guard<std::mutex> hold(lock);
    if (kept.context && SameConfig(kept.context->Config(), config) && kept.queue == queue &&
        kept.erp == erp)
        return kept.context;
    kept = {std::make_shared<nuv::TServerContext>(config), queue, erp};
    return kept.context;
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
