#include "ReportCounter.h"

#include "SqliteJobStore.h"

#include "platform/WireFormat.h"

#include <algorithm>
#include <cstdio>

namespace nuv {

TServerContext::TServerContext(TServerConfig config, std::shared_ptr<TJobStore> store)
    : config_(std::move(config)), store_(std::move(store)) {}

std::shared_ptr<TServerContext> TServerContext::Broken(std::string configError) {
    auto c = std::make_shared<TServerContext>(TServerConfig{});
    c->configError_ = std::move(configError);
    return c;
}

TJobStore& TServerContext::Store() {
    if (!configError_.empty())
        throw Exception(configError_);
    if (!store_)
        store_ = std::make_shared<TSqliteJobStore>(config_.QueueFile);
    return *store_;
}

TErpDatabase& TServerContext::Erp() {
    if (!configError_.empty())
        throw Exception(configError_);
    if (!erp_)
        erp_ = std::make_unique<TErpDatabase>(config_.ErpDatabase);
    return *erp_;
}

namespace {

std::string Readable(const std::string& timeText) {
    std::string t = timeText;
    for (char& c : t)
        if (c == '-')
            c = '/';
    return t.size() >= 16 ? t.substr(0, 16) : t;
}

} // namespace

TdmReportCounter::TdmReportCounter(std::shared_ptr<TServerContext> context)
    : TAutoObject(ReportCounterClassName), context_(std::move(context)) {
    AddMethod(
        "Request", [this](std::span<Variant> a) { return Variant(Request(a[0].Deref())); }, 1, 1);
    AddProperty("ErrorDescript", [this](std::span<Variant>) { return Variant(lastError_); });
    AddMethod(
        "GetPower", [this](std::span<Variant> a) { return GetPower(a[0].Deref()); }, 1, 1);
}

std::optional<TJobRecord> TdmReportCounter::Prepare(const Variant& request) {
    lastError_.clear();
    try {
        const TJobRequest r = CheckRequestShape(request);
        TErpDatabase& erp = context_->Erp();
        const auto user = erp.FindUser(r.UserCode);
        if (!user)
            throw ERequestRefused("the user '" + r.UserCode + "' is not known");
        if (!user->Active)
            throw ERequestRefused("the user '" + r.UserCode + "' is no longer active");
        const auto program = erp.ProgramName(r.Program);
        if (!program)
            throw ERequestRefused("the program '" + r.Program + "' is not known");
        const std::string rights = erp.Rights(r.UserCode, r.Program);
        if (rights.empty() || rights[0] != 'Y')
            throw ERequestRefused("the user '" + r.UserCode +
                                  "' has no right to run the program '" + r.Program + "'");

        TJobRecord job;
        job.AcceptedAt = NowText();
        job.Program = r.Program;
        job.Company = r.Company;
        job.UserCode = r.UserCode;
        job.DataSource = r.DataSource;
        job.RunMode = r.RunMode;
        job.NotifyMode = r.NotifyMode;
        job.Periodic = r.Periodic;
        const QByteArray wire = VariantToCbor(request).toCbor();
        job.Request.assign(wire.constData(), std::size_t(wire.size()));
        if (r.Periodic) {
            job.Schedule = r.Schedule->Describe();
            job.NextRun = r.Schedule->FirstRun(job.AcceptedAt);
            if (job.NextRun.empty())
                throw ERequestRefused("the schedule " + job.Schedule + " has no run left");
        } else if (r.RunMode == 2) {
            job.NextRun = TimeText(r.RunAt);
            job.Schedule = "at " + Readable(job.NextRun);
        } else {
            job.NextRun = job.AcceptedAt;
            job.Schedule = r.RunMode == 1 ? "at once" : "in the work queue";
        }
        return job;
    } catch (const ERequestRefused& e) {
        lastError_ = std::string("The request was refused: ") + e.what() + ".";
    } catch (const Exception& e) {
        lastError_ = std::string("The request could not be checked: ") + e.what();
    }
    return std::nullopt;
}

std::string TdmReportCounter::Accepted(const TJobRecord& job, std::int64_t id) {
    std::string reply = "Job " + std::to_string(id) + " accepted: " + job.Program;
    if (job.Periodic)
        reply += " runs " + job.Schedule + "; first run at " + Readable(job.NextRun) + ".";
    else if (job.RunMode == 1)
        reply += " runs at once.";
    else if (job.RunMode == 2)
        reply += " runs at " + Readable(job.NextRun) + ".";
    else
        reply += " waits in the work queue and runs after the jobs before it.";
    return reply;
}

std::string TdmReportCounter::Refused(const std::string& why) {
    lastError_ = "The request could not be stored: " + why;
    return "ERROR";
}

std::string TdmReportCounter::Request(const Variant& request) {
    const auto job = Prepare(request);
    if (!job)
        return "ERROR";
    try {
        const auto ids = context_->Store().AddJobs({*job});
        return Accepted(*job, ids.at(0));
    } catch (const Exception& e) {
        return Refused(e.what());
    }
}

Variant TdmReportCounter::GetPower(const Variant& args) {
    if (!args.IsArray() || args.ArrayDimCount() != 1 || args.ArrayCount() < 3)
        throw Exception("GetPower expects [data source, user, program, \"\"]");
    const int low = args.ArrayLowBound();
    const std::string user = args[low + 1].ToString();
    std::string program = args[low + 2].ToString();
    for (char& c : program)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    TErpDatabase& erp = context_->Erp();
    const auto u = erp.FindUser(user);
    if (!u) {
        lastError_ = "GetPower: the user '" + user + "' is not known";
        throw Exception(lastError_);
    }
    const std::string rights = erp.Rights(user, program);
    const std::string programName = erp.ProgramName(program).value_or("");
    const bool may = u->Active && !rights.empty() && rights[0] == 'Y';
    // The text is read by its comma-separated positions: a comma inside the name must not
    // shift the rights flags into another field.
    std::string name = u->Name;
    std::replace(name.begin(), name.end(), ',', ' ');
    return Variant::ArrayOf({may ? "Y" : "N",
                             u->Group + "," + name + "," + program + "," +
                                 (rights.empty() ? std::string("NNNNNNNN") : rights),
                             programName, u->Name});
}

} // namespace nuv
