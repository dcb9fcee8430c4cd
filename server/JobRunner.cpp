#include "JobRunner.h"

#include "platform/WireFormat.h"

#include <nuv/RequestMarkers.h>

#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace nuv {

TRunnerLock::TRunnerLock(const std::string& queueFile) {
    const std::string name = queueFile + ".runner";
    std::error_code ec;
    const auto dir = std::filesystem::path(name).parent_path();
    if (!dir.empty())
        std::filesystem::create_directories(dir, ec);
    fd_ = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        throw Exception("Cannot open the runner lock " + name + ": " + std::strerror(errno));
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
        throw Exception("Another runner (a running reportcounterd) works on the queue " +
                        queueFile + "; it runs the due jobs itself");
    }
}

TRunnerLock::~TRunnerLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

namespace {

Variant DecodeStoredRequest(const std::string& bytes) {
    QCborParserError err;
    const QCborValue item =
        QCborValue::fromCbor(QByteArray(bytes.data(), qsizetype(bytes.size())), &err);
    if (err.error != QCborError::NoError)
        throw Exception("the stored request cannot be read: " + err.errorString().toStdString());
    return CborToVariant(item);
}

std::string Slashed(const std::string& t) {
    std::string s = t;
    for (char& c : s)
        if (c == '-')
            c = '/';
    return s;
}

// A condition value as a person reads it.
std::string Describe(const Variant& v) {
    if (!v.IsArray())
        return "'" + v.ToString() + "'";
    if (v.ArrayDimCount() == 1 && v.ArrayLowBound() == 0 && v.ArrayHighBound() >= 0 &&
        v[0].IsText()) {
        const std::string m = v[0].ToString();
        if (m == RangeMarker && v.ArrayHighBound() >= 2) {
            const std::string b = v[1].ToString(), e = v[2].ToString();
            return "range " + (b.empty() ? std::string("(open)") : "'" + b + "'") + " .. " +
                   (e.empty() ? std::string("(open)") : "'" + e + "'");
        }
        if (m == ListMarker) {
            std::string s = "list of " + std::to_string(v.ArrayHighBound()) + ":";
            for (int k = 1; k <= v.ArrayHighBound(); ++k) {
                s += k > 1 ? ", " : " ";
                const Variant& row = v[k];
                for (int c = row.ArrayLowBound(); c <= row.ArrayHighBound(); ++c)
                    s += (c > row.ArrayLowBound() ? " " : "") + row[c].ToString();
            }
            return s;
        }
    }
    std::string s = "[";
    if (v.ArrayDimCount() == 1)
        for (int k = v.ArrayLowBound(); k <= v.ArrayHighBound(); ++k)
            s += (k > v.ArrayLowBound() ? ", " : "") + v[k].ToString();
    return s + "]";
}

// The codes of a selection panel's value: the range's bounds or the list's first column.
void PanelFilter(const Variant& v, std::string& from, std::string& to,
                 std::vector<std::string>& codes) {
    if (!v.IsArray() || v.ArrayDimCount() != 1 || v.ArrayLowBound() != 0 || v.ArrayHighBound() < 0)
        return;
    const std::string m = v[0].ToString();
    if (m == RangeMarker && v.ArrayHighBound() >= 2) {
        from = v[1].ToString();
        to = v[2].ToString();
    } else if (m == ListMarker) {
        for (int k = 1; k <= v.ArrayHighBound(); ++k)
            if (v[k].IsArray() && v[k].ArrayCount() > 0)
                codes.push_back(v[k][v[k].ArrayLowBound()].ToString());
    }
}

} // namespace

std::string TJobRunner::WriteOutput(const TJobRecord& job, const TRunRecord& run,
                                    const Variant& request) {
    const std::string runDate = RunDateOf(run.RunDate);
    const Variant data = ConditionsForRun(request, runDate);
    const Variant& texts = request[1];
    TErpDatabase& erp = context_.Erp();

    std::string out;
    out += "Report " + job.Program + " " + erp.ProgramName(job.Program).value_or("") + "\n";
    out += "Job " + std::to_string(job.Id) + ", run " + std::to_string(run.Id) + " for " +
           Slashed(run.RunDate);
    if (run.RerunOf)
        out += " (repeat of run " + std::to_string(run.RerunOf) + ", cut off by a crash)";
    out += "\nRequested by " + job.UserCode + " (company " + job.Company + ", data source " +
           job.DataSource + ") at " + Slashed(job.AcceptedAt) + ", " + job.Schedule + "\n";
    out += "\nConditions\n";
    std::string from, to;
    std::vector<std::string> items, categories;
    std::string catFrom, catTo;
    for (int i = 1; i <= data.ArrayHighBound(); ++i) {
        const Variant& t = texts[i];
        const std::string caption = t[t.ArrayLowBound()].ToString();
        const std::string component = t[t.ArrayLowBound() + 1].ToString();
        out += "  " + caption + " [" + component + "]: " + Describe(data[i]) + "\n";
        if (component == "sp04")
            PanelFilter(data[i], from, to, items);
        else if (component == "sp03")
            PanelFilter(data[i], catFrom, catTo, categories);
    }
    constexpr int limit = 10000;
    const auto rows = erp.Items(from, to, items, categories, limit);
    out += "\nItems selected: " + std::to_string(rows.size()) +
           (int(rows.size()) == limit ? " (the first " + std::to_string(limit) + ")" : "") + "\n";
    for (const auto& r : rows)
        out += "  " + r.Code + "\t" + r.Name + "\t" + r.Spec + "\t" + r.Unit + "\n";

    const std::string dir = context_.Config().OutputPath;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::string path = dir + job.Program + "_job" + std::to_string(job.Id) + "_run" +
                             std::to_string(run.Id) + ".txt";
    QSaveFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::WriteOnly) ||
        f.write(out.data(), qint64(out.size())) != qint64(out.size()) || !f.commit())
        throw Exception("The output " + path +
                        " cannot be written: " + f.errorString().toStdString());
    return path;
}

TRunRecord TJobRunner::RunOnce(const TJobRecord& job, const std::string& runDate,
                               std::int64_t rerunOf) {
    TJobStore& store = context_.Store();
    TRunRecord run;
    run.JobId = job.Id;
    run.RunDate = runDate;
    run.StartedAt = NowText();
    run.RerunOf = rerunOf;
    run.Id = store.BeginRun(job.Id, runDate, run.StartedAt, rerunOf);
    Variant request;
    std::optional<TSchedule> schedule;
    try {
        request = DecodeStoredRequest(job.Request);
        if (job.Periodic)
            schedule = TSchedule::FromRecord(request[3]);
        run.Output = WriteOutput(job, run, request);
        run.Status = RunDone;
        run.Message = "finished";
    } catch (const std::exception& e) {
        run.Status = RunFailed;
        run.Message = e.what();
    }
    run.FinishedAt = NowText();
    std::string jobStatus = run.Status == RunDone ? JobDone : JobFailed;
    std::string next;
    if (job.Periodic && schedule) {
        next = schedule->NextRun(runDate, job.RunsDone + 1);
        jobStatus = next.empty() ? JobFinished : JobWaiting;
    }
    store.FinishRun(run, jobStatus, next, true);
    return run;
}

TJobRunner::TSummary TJobRunner::Recover() {
    TSummary s;
    TJobStore& store = context_.Store();
    for (TRunRecord r : store.UnfinishedRuns()) {
        ++s.Interrupted;
        auto job = store.GetJob(r.JobId);
        r.Status = RunInterrupted;
        r.FinishedAt = NowText();
        r.Message = "cut off: the server stopped during the run";
        if (!job) {
            store.FinishRun(r, JobFailed, "", false);
            continue;
        }
        if (r.RerunOf == 0) {
            // Record the interruption, then repeat the run once for the same run date.
            store.FinishRun(r, JobRunning, job->NextRun, false);
            TRunRecord again = RunOnce(*job, r.RunDate, r.Id);
            ++s.Runs;
            ++s.Reruns;
            if (again.Status != RunDone)
                ++s.Failed;
        } else {
            // The repeat itself was cut off: the run date is given up, the job goes on.
            std::string next, status = JobFailed;
            if (job->Periodic) {
                try {
                    next = TSchedule::FromRecord(DecodeStoredRequest(job->Request)[3])
                               .NextRun(r.RunDate, job->RunsDone + 1);
                } catch (const std::exception&) {
                }
                status = next.empty() ? JobFinished : JobWaiting;
            }
            r.Message = "cut off again while repeating run " + std::to_string(r.RerunOf);
            store.FinishRun(r, status, next, true);
        }
    }
    return s;
}

TJobRunner::TSummary TJobRunner::RunDue(const std::string& now, int maxRuns) {
    TSummary s;
    TJobStore& store = context_.Store();
    for (;;) {
        const auto due = store.DueJobs(now);
        if (due.empty())
            break;
        for (const TJobRecord& job : due) {
            if (s.Runs >= maxRuns) {
                s.More = true;
                return s;
            }
            TRunRecord r = RunOnce(job, job.NextRun, 0);
            ++s.Runs;
            if (r.Status != RunDone)
                ++s.Failed;
        }
    }
    return s;
}

} // namespace nuv
