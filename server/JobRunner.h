// JobRunner: runs the jobs of the queue.
//
// "At once" jobs run first, then queue jobs in the order they were accepted, timed jobs at
// their time and periodic jobs on every date their schedule gives, each run with the
// conditions' dates moved to its run date. A run writes an output file a person can open (the
// conditions as that run used them and the item rows they select) and is recorded with its
// outcome. A run that a crash cut off is found by Recover, recorded as interrupted and run
// again once.
//
// Only one runner may work on a queue at a time: TRunnerLock holds the queue's runner lock
// (a lock file beside the queue, released by the system when the process dies).
#pragma once

#include "JobStore.h"
#include "ReportCounter.h"

#include <string>

namespace nuv {

class TRunnerLock {
public:
    // Takes the lock or raises Exception saying that another runner holds it.
    explicit TRunnerLock(const std::string& queueFile);
    ~TRunnerLock();
    TRunnerLock(const TRunnerLock&) = delete;
    TRunnerLock& operator=(const TRunnerLock&) = delete;

private:
    int fd_ = -1;
};

class TJobRunner {
public:
    explicit TJobRunner(TServerContext& context) : context_(context) {}

    struct TSummary {
        int Runs = 0;        // runs made (reruns included)
        int Failed = 0;      // of them, failed
        int Interrupted = 0; // runs found cut off
        int Reruns = 0;      // of the runs, repeats of interrupted ones
        bool More = false;   // RunDue stopped at its limit with runs still due
    };
    // Finds runs cut off by a crash, records them as interrupted and runs each again once.
    TSummary Recover();
    // Runs every job due at now ("YYYY-MM-DD hh:mm:ss"), including periodic runs that fall due
    // while catching up, until nothing is due or maxRuns runs were made.
    TSummary RunDue(const std::string& now, int maxRuns = 1 << 30);

    // One run of the job for the run date; returns the run's record.
    TRunRecord RunOnce(const TJobRecord& job, const std::string& runDate, std::int64_t rerunOf);

private:
    TServerContext& context_;
    std::string WriteOutput(const TJobRecord& job, const TRunRecord& run, const Variant& request);
};

} // namespace nuv
