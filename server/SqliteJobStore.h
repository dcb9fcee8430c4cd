// SqliteJobStore: the job queue in one SQLite file, in WAL mode with full synchronisation, so
// that a commit has reached the disk when it returns. Several processes may share the file
// (the daemon, an in-process server object, "reportcounterd run-due").
#pragma once

#include "JobStore.h"

#include <functional>
#include <memory>
#include <string>

namespace SQLite {
class Database;
class Statement;
} // namespace SQLite

namespace nuv {

class TSqliteJobStore : public TJobStore {
public:
    // Opens (creating when missing) the queue file and its tables. Raises Exception naming the
    // file when it cannot be opened.
    explicit TSqliteJobStore(const std::string& fileName);
    ~TSqliteJobStore() override;

    std::vector<std::int64_t> AddJobs(const std::vector<TJobRecord>& jobs) override;
    std::optional<TJobRecord> GetJob(std::int64_t id) override;
    std::vector<TJobRecord> ListJobs() override;
    std::vector<TJobRecord> DueJobs(const std::string& now) override;
    std::int64_t BeginRun(std::int64_t jobId, const std::string& runDate,
                          const std::string& startedAt, std::int64_t rerunOf) override;
    void FinishRun(const TRunRecord& run, const std::string& jobStatus, const std::string& nextRun,
                   bool countRun) override;
    std::vector<TRunRecord> UnfinishedRuns() override;
    std::vector<TRunRecord> Runs(std::int64_t jobId) override;
    std::vector<TRunRecord> AllRuns() override;
    std::string IntegrityCheck() override;

    const std::string& FileName() const { return fileName_; }

private:
    // Runs matching a fixed condition text, its values bound by bind.
    std::vector<TRunRecord> SelectRuns(const char* where,
                                       const std::function<void(SQLite::Statement&)>& bind);

    std::string fileName_;
    std::unique_ptr<SQLite::Database> db_;
};

} // namespace nuv
