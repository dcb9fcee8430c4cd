#include "SqliteJobStore.h"

#include <nuv/Exception.h>

#include <SQLiteCpp/SQLiteCpp.h>

#include <filesystem>

namespace nuv {

namespace {

const char* const Schema = R"sql(
CREATE TABLE IF NOT EXISTS jobs(
    id          INTEGER PRIMARY KEY AUTOINCREMENT,
    accepted_at TEXT NOT NULL,
    program     TEXT NOT NULL,
    company     TEXT NOT NULL,
    user_code   TEXT NOT NULL,
    data_source TEXT NOT NULL,
    run_mode    INTEGER NOT NULL,
    notify_mode INTEGER NOT NULL,
    periodic    INTEGER NOT NULL,
    request     BLOB NOT NULL,
    schedule    TEXT NOT NULL,
    next_run    TEXT,
    runs_done   INTEGER NOT NULL DEFAULT 0,
    status      TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS jobs_due ON jobs(status, next_run);
CREATE TABLE IF NOT EXISTS runs(
    id          INTEGER PRIMARY KEY AUTOINCREMENT,
    job_id      INTEGER NOT NULL REFERENCES jobs(id),
    run_date    TEXT NOT NULL,
    started_at  TEXT NOT NULL,
    finished_at TEXT,
    status      TEXT NOT NULL,
    output      TEXT,
    message     TEXT,
    rerun_of    INTEGER);
CREATE INDEX IF NOT EXISTS runs_job ON runs(job_id);
CREATE INDEX IF NOT EXISTS runs_status ON runs(status);
)sql";

const char* const JobColumns = "id, accepted_at, program, company, user_code, data_source, "
                               "run_mode, notify_mode, periodic, request, schedule, next_run, "
                               "runs_done, status";
const char* const RunColumns =
    "id, job_id, run_date, started_at, finished_at, status, output, message, rerun_of";

std::string Text(const SQLite::Column& c) {
    return c.isNull() ? std::string() : c.getString();
}

TJobRecord ReadJob(SQLite::Statement& q) {
    TJobRecord j;
    j.Id = q.getColumn(0).getInt64();
    j.AcceptedAt = Text(q.getColumn(1));
    j.Program = Text(q.getColumn(2));
    j.Company = Text(q.getColumn(3));
    j.UserCode = Text(q.getColumn(4));
    j.DataSource = Text(q.getColumn(5));
    j.RunMode = q.getColumn(6).getInt();
    j.NotifyMode = q.getColumn(7).getInt();
    j.Periodic = q.getColumn(8).getInt() != 0;
    const SQLite::Column blob = q.getColumn(9);
    j.Request.assign(static_cast<const char*>(blob.getBlob()), std::size_t(blob.getBytes()));
    j.Schedule = Text(q.getColumn(10));
    j.NextRun = Text(q.getColumn(11));
    j.RunsDone = q.getColumn(12).getInt();
    j.Status = Text(q.getColumn(13));
    return j;
}

TRunRecord ReadRun(SQLite::Statement& q) {
    TRunRecord r;
    r.Id = q.getColumn(0).getInt64();
    r.JobId = q.getColumn(1).getInt64();
    r.RunDate = Text(q.getColumn(2));
    r.StartedAt = Text(q.getColumn(3));
    r.FinishedAt = Text(q.getColumn(4));
    r.Status = Text(q.getColumn(5));
    r.Output = Text(q.getColumn(6));
    r.Message = Text(q.getColumn(7));
    r.RerunOf = q.getColumn(8).isNull() ? 0 : q.getColumn(8).getInt64();
    return r;
}

template <typename Fn> auto Guard(const std::string& file, const char* what, Fn fn) {
    try {
        return fn();
    } catch (const SQLite::Exception& e) {
        throw Exception(std::string("The job queue ") + file + " could not " + what + ": " +
                        e.what());
    }
}

} // namespace

TSqliteJobStore::TSqliteJobStore(const std::string& fileName) : fileName_(fileName) {
    Guard(fileName_, "be opened", [&] {
        std::error_code ec;
        const auto dir = std::filesystem::path(fileName_).parent_path();
        if (!dir.empty())
            std::filesystem::create_directories(dir, ec);
        db_ = std::make_unique<SQLite::Database>(fileName_,
                                                 SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db_->setBusyTimeout(30000);
        db_->exec("PRAGMA journal_mode=WAL");
        // FULL: a commit returns after the WAL was synced, so an answered job survives a crash
        // or power loss.
        db_->exec("PRAGMA synchronous=FULL");
        db_->exec("PRAGMA foreign_keys=ON");
        SQLite::Transaction t(*db_);
        db_->exec(Schema);
        t.commit();
        return 0;
    });
}

TSqliteJobStore::~TSqliteJobStore() = default;

std::vector<std::int64_t> TSqliteJobStore::AddJobs(const std::vector<TJobRecord>& jobs) {
    return Guard(fileName_, "store the jobs", [&] {
        std::vector<std::int64_t> ids;
        SQLite::Transaction t(*db_);
        SQLite::Statement ins(*db_, "INSERT INTO jobs(accepted_at, program, company, user_code, "
                                    "data_source, run_mode, notify_mode, periodic, request, "
                                    "schedule, next_run, runs_done, status) "
                                    "VALUES(?,?,?,?,?,?,?,?,?,?,?,0,?)");
        for (const TJobRecord& j : jobs) {
            ins.bind(1, j.AcceptedAt);
            ins.bind(2, j.Program);
            ins.bind(3, j.Company);
            ins.bind(4, j.UserCode);
            ins.bind(5, j.DataSource);
            ins.bind(6, j.RunMode);
            ins.bind(7, j.NotifyMode);
            ins.bind(8, j.Periodic ? 1 : 0);
            ins.bind(9, j.Request.data(), int(j.Request.size()));
            ins.bind(10, j.Schedule);
            if (j.NextRun.empty())
                ins.bind(11);
            else
                ins.bind(11, j.NextRun);
            ins.bind(12, j.Status);
            ins.exec();
            ins.reset();
            ids.push_back(db_->getLastInsertRowid());
        }
        t.commit();
        return ids;
    });
}

std::optional<TJobRecord> TSqliteJobStore::GetJob(std::int64_t id) {
    return Guard(fileName_, "be read", [&]() -> std::optional<TJobRecord> {
        SQLite::Statement q(*db_, std::string("SELECT ") + JobColumns + " FROM jobs WHERE id=?");
        q.bind(1, id);
        if (q.executeStep())
            return ReadJob(q);
        return std::nullopt;
    });
}

std::vector<TJobRecord> TSqliteJobStore::ListJobs() {
    return Guard(fileName_, "be read", [&] {
        std::vector<TJobRecord> out;
        SQLite::Statement q(*db_, std::string("SELECT ") + JobColumns + " FROM jobs ORDER BY id");
        while (q.executeStep())
            out.push_back(ReadJob(q));
        return out;
    });
}

std::vector<TJobRecord> TSqliteJobStore::DueJobs(const std::string& now) {
    return Guard(fileName_, "be read", [&] {
        std::vector<TJobRecord> out;
        SQLite::Statement q(*db_, std::string("SELECT ") + JobColumns +
                                      " FROM jobs WHERE status=? AND next_run<=? "
                                      "ORDER BY run_mode<>1, next_run, id");
        q.bind(1, JobWaiting);
        q.bind(2, now);
        while (q.executeStep())
            out.push_back(ReadJob(q));
        return out;
    });
}

std::int64_t TSqliteJobStore::BeginRun(std::int64_t jobId, const std::string& runDate,
                                       const std::string& startedAt, std::int64_t rerunOf) {
    return Guard(fileName_, "record a run", [&] {
        SQLite::Transaction t(*db_);
        SQLite::Statement ins(*db_, "INSERT INTO runs(job_id, run_date, started_at, status, "
                                    "rerun_of) VALUES(?,?,?,?,?)");
        ins.bind(1, jobId);
        ins.bind(2, runDate);
        ins.bind(3, startedAt);
        ins.bind(4, RunRunning);
        if (rerunOf)
            ins.bind(5, rerunOf);
        else
            ins.bind(5);
        ins.exec();
        const std::int64_t id = db_->getLastInsertRowid();
        SQLite::Statement up(*db_, "UPDATE jobs SET status=? WHERE id=?");
        up.bind(1, JobRunning);
        up.bind(2, jobId);
        up.exec();
        t.commit();
        return id;
    });
}

void TSqliteJobStore::FinishRun(const TRunRecord& run, const std::string& jobStatus,
                                const std::string& nextRun, bool countRun) {
    Guard(fileName_, "record a run's outcome", [&] {
        SQLite::Transaction t(*db_);
        SQLite::Statement up(*db_, "UPDATE runs SET finished_at=?, status=?, output=?, message=? "
                                   "WHERE id=?");
        up.bind(1, run.FinishedAt);
        up.bind(2, run.Status);
        up.bind(3, run.Output);
        up.bind(4, run.Message);
        up.bind(5, run.Id);
        up.exec();
        SQLite::Statement job(*db_, "UPDATE jobs SET status=?, next_run=?, "
                                    "runs_done=runs_done+? WHERE id=?");
        job.bind(1, jobStatus);
        if (nextRun.empty())
            job.bind(2);
        else
            job.bind(2, nextRun);
        job.bind(3, countRun ? 1 : 0);
        job.bind(4, run.JobId);
        job.exec();
        t.commit();
        return 0;
    });
}

std::vector<TRunRecord>
TSqliteJobStore::SelectRuns(const char* where,
                            const std::function<void(SQLite::Statement&)>& bind) {
    return Guard(fileName_, "be read", [&] {
        std::vector<TRunRecord> out;
        SQLite::Statement q(*db_, std::string("SELECT ") + RunColumns + " FROM runs " + where +
                                      " ORDER BY id");
        bind(q);
        while (q.executeStep())
            out.push_back(ReadRun(q));
        return out;
    });
}

std::vector<TRunRecord> TSqliteJobStore::UnfinishedRuns() {
    return SelectRuns("WHERE status=?", [](SQLite::Statement& q) { q.bind(1, RunRunning); });
}

std::vector<TRunRecord> TSqliteJobStore::Runs(std::int64_t jobId) {
    return SelectRuns("WHERE job_id=?", [&](SQLite::Statement& q) { q.bind(1, jobId); });
}

std::vector<TRunRecord> TSqliteJobStore::AllRuns() {
    return SelectRuns("", [](SQLite::Statement&) {});
}

std::string TSqliteJobStore::IntegrityCheck() {
    return Guard(fileName_, "be checked", [&] {
        std::string out;
        SQLite::Statement q(*db_, "PRAGMA integrity_check");
        while (q.executeStep())
            out += (out.empty() ? "" : "; ") + q.getColumn(0).getString();
        return out;
    });
}

} // namespace nuv
