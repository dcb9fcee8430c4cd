// ReportCounter: the application server object "ReportCounterS.dmReportCounter".
//
// One object serves one client (one dialog, one connection):
//   "Request"(request)   checks the request's shape and the user's right to run the program,
//                        stores the job durably and only then answers a reply text that says
//                        the job's number, how it runs and when; anything wrong answers
//                        "ERROR" and stores nothing.
//   "ErrorDescript"      the last error of this object, the reason of the last "ERROR".
//   "GetPower"(array [data source, user, program, ""])
//                        [may run "Y"/"N", "group,user name,program,rights flags", program
//                        name, user name] from the ERP database's users and rights.
//
// The daemon splits "Request" in two (Prepare, then the store's commit of many jobs at once,
// then Accepted) so that the requests of concurrent clients share one commit.
#pragma once

#include "ErpDatabase.h"
#include "JobStore.h"
#include "RequestCheck.h"
#include "ServerConfig.h"

#include "platform/Automation.h"

#include <memory>
#include <optional>
#include <string>

namespace nuv {

inline constexpr const char* ReportCounterClassName = "ReportCounterS.dmReportCounter";

// What the objects of one server share: the configuration, the queue and the ERP database.
class TServerContext {
public:
    explicit TServerContext(TServerConfig config, std::shared_ptr<TJobStore> store = nullptr);
    // A context whose configuration could not be read: every use raises that error.
    static std::shared_ptr<TServerContext> Broken(std::string configError);
    const TServerConfig& Config() const { return config_; }
    TJobStore& Store();
    TErpDatabase& Erp();

private:
    TServerConfig config_;
    std::shared_ptr<TJobStore> store_;
    std::unique_ptr<TErpDatabase> erp_;
    std::string configError_;
};

class TdmReportCounter : public TAutoObject {
public:
    explicit TdmReportCounter(std::shared_ptr<TServerContext> context);

    // The whole "Request": the reply text, or "ERROR" with ErrorDescript set.
    std::string Request(const Variant& request);
    // The job a request makes, checked; nothing on refusal (ErrorDescript then says why).
    std::optional<TJobRecord> Prepare(const Variant& request);
    // The reply for a job stored under id.
    std::string Accepted(const TJobRecord& job, std::int64_t id);
    // Records a failure of the store for this object's request.
    std::string Refused(const std::string& why);

    Variant GetPower(const Variant& args);
    const std::string& ErrorDescript() const { return lastError_; }

private:
    std::shared_ptr<TServerContext> context_;
    std::string lastError_;
};

} // namespace nuv
