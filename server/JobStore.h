// JobStore: the durable queue of report jobs and the record of their runs.
//
// A job is one accepted request: who asked for which program, how it runs (at once, through
// the work queue, at a given time, periodically), the request itself and when it runs next. A
// run is one execution of a job for one run date, with its outcome and its output file.
//
// The store's promise: AddJobs returns only after the jobs are durable (committed and synced),
// so a job number handed to a client is never lost; AddJobs takes several jobs so that the
// requests of concurrent clients share one commit. A run is recorded as "running" before it
// starts; a run still "running" when the server starts again was cut off by a crash.
//
// Times are local times written "YYYY-MM-DD hh:mm:ss", so that they order as texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nuv {

// Job states.
inline constexpr const char* JobWaiting = "waiting";   // has a next run
inline constexpr const char* JobRunning = "running";   // a run is under way
inline constexpr const char* JobDone = "done";         // single job, ran successfully
inline constexpr const char* JobFailed = "failed";     // single job, its run failed
inline constexpr const char* JobFinished = "finished"; // periodic job past its last run

// Run outcomes.
inline constexpr const char* RunRunning = "running";
inline constexpr const char* RunDone = "done";
inline constexpr const char* RunFailed = "failed";
inline constexpr const char* RunInterrupted = "interrupted";

struct TJobRecord {
    std::int64_t Id = 0;
    std::string AcceptedAt;
    std::string Program;
    std::string Company;
    std::string UserCode;
    std::string DataSource;
    int RunMode = 0; // 0 work queue, 1 at once, 2 at a given time
    int NotifyMode = 1;
    bool Periodic = false;
    std::string Request;  // the request in its wire form (CBOR bytes)
    std::string Schedule; // readable description of when it runs
    std::string NextRun;  // empty when no run is left
    int RunsDone = 0;
    std::string Status = JobWaiting;
};

struct TRunRecord {
    std::int64_t Id = 0;
    std::int64_t JobId = 0;
    std::string RunDate; // the scheduled time this run stands for
    std::string StartedAt;
    std::string FinishedAt;
    std::string Status = RunRunning;
    std::string Output; // path of the output file
    std::string Message;
    std::int64_t RerunOf = 0; // the interrupted run this one repeats, 0 for none
};

class TJobStore {
public:
    virtual ~TJobStore() = default;

    // Stores the jobs in one durable commit and returns their numbers in order. Raises
    // Exception when nothing could be stored (then none of them is).
    virtual std::vector<std::int64_t> AddJobs(const std::vector<TJobRecord>& jobs) = 0;

    virtual std::optional<TJobRecord> GetJob(std::int64_t id) = 0;
    virtual std::vector<TJobRecord> ListJobs() = 0;
    // Waiting jobs whose next run is at or before now: "at once" jobs first, then by next run
    // and number.
    virtual std::vector<TJobRecord> DueJobs(const std::string& now) = 0;

    // Records a run as started (durably) and marks its job running; returns the run's number.
    virtual std::int64_t BeginRun(std::int64_t jobId, const std::string& runDate,
                                  const std::string& startedAt, std::int64_t rerunOf) = 0;
    // Records the run's outcome and the job's next state in one commit.
    virtual void FinishRun(const TRunRecord& run, const std::string& jobStatus,
                           const std::string& nextRun, bool countRun) = 0;
    // Runs still marked running: cut off by a crash when the server was down.
    virtual std::vector<TRunRecord> UnfinishedRuns() = 0;
    virtual std::vector<TRunRecord> Runs(std::int64_t jobId) = 0;
    virtual std::vector<TRunRecord> AllRuns() = 0;

    // "ok" when the store's own consistency check passes, else what it found.
    virtual std::string IntegrityCheck() = 0;
};

} // namespace nuv
