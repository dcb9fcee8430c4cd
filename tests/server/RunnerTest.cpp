// When jobs run and what a run leaves: the outputs with moved dates and selected items, and
// the repeat of a run cut off by a crash.
#include "ServerFixture.h"

#include "JobRunner.h"
#include "SqliteJobStore.h"

#include <gtest/gtest.h>

using namespace nuv;
using namespace nuv::test;

namespace {

class Runner : public ::testing::Test {
protected:
    Installation install;
    std::shared_ptr<TServerContext> context = install.Context();
    TdmReportCounter* counter = new TdmReportCounter(context);
    DispatchPtr object = DispatchPtr::Adopt(counter);
    TJobRunner runner{*context};

    std::int64_t Submit(const Variant& request) {
        const std::string reply = counter->Request(request);
        EXPECT_EQ(reply.rfind("Job ", 0), 0u) << reply << " / " << counter->ErrorDescript();
        return reply.rfind("Job ", 0) == 0 ? std::stoll(reply.substr(4)) : 0;
    }
};

TEST_F(Runner, AtOnceJobRunsAndItsOutputShowsConditionsAndSelectedItems) {
    const std::int64_t id = Submit(MakeRequest());
    const auto s = runner.RunDue(NowText());
    EXPECT_EQ(s.Runs, 1);
    auto runs = context->Store().Runs(id);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Status, RunDone) << runs[0].Message;
    EXPECT_EQ(context->Store().GetJob(id)->Status, JobDone);
    const std::string out = ReadFile(runs[0].Output);
    EXPECT_NE(out.find("Report KELT58 客戶別品號出貨排程表"), std::string::npos) << out;
    EXPECT_NE(out.find("選擇品號 [sp04]: range 'A001' .. 'A003'"), std::string::npos) << out;
    EXPECT_NE(out.find("類別 [sp03]: list of 1: BOLT 螺栓"), std::string::npos) << out;
    // Items A001..A003 of category BOLT: the nut A003 and the washer B001 are left out.
    EXPECT_NE(out.find("Items selected: 2"), std::string::npos) << out;
    EXPECT_NE(out.find("A002\t六角螺栓 M4"), std::string::npos) << out;
    EXPECT_EQ(out.find("A003\t"), std::string::npos) << out;
    // Nothing is due any more.
    EXPECT_EQ(runner.RunDue(NowText()).Runs, 0);
}

TEST_F(Runner, QueueJobsRunInOrderAndTimedJobsAtTheirTime) {
    RequestOptions timed;
    timed.runMode = 2;
    timed.runAt = Now() + 1.0; // tomorrow
    RequestOptions queued;
    queued.runMode = 0;
    const std::int64_t later = Submit(MakeRequest(timed));
    const std::int64_t first = Submit(MakeRequest(queued));
    const std::int64_t second = Submit(MakeRequest(queued));
    runner.RunDue(NowText());
    const auto runs = context->Store().AllRuns();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].JobId, first);
    EXPECT_EQ(runs[1].JobId, second);
    EXPECT_EQ(context->Store().GetJob(later)->Status, JobWaiting);
    runner.RunDue(TimeText(Now() + 1.01));
    EXPECT_EQ(context->Store().Runs(later).size(), 1u);
}

// A periodic job runs on every date of its schedule; each run's conditions carry the dates
// moved to that run, and the job ends after its last run.
TEST_F(Runner, PeriodicJobRunsEachDateWithMovedConditions) {
    ScopedNow now(EncodeDateTime({2026, 12, 6, 9, 0, 0, 0}));
    RequestOptions o;
    o.periodic = true;
    o.start = "20261207";
    const std::int64_t id = Submit(MakeRequest(o));
    EXPECT_EQ(runner.RunDue("2026-12-07 08:00:00").Runs, 0);
    EXPECT_EQ(runner.RunDue("2026-12-31 00:00:00").Runs, 3);
    const auto runs = context->Store().Runs(id);
    ASSERT_EQ(runs.size(), 3u);
    const char* dates[] = {"20261207", "20261208", "20261209"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(dates[i]);
        const std::string out = ReadFile(runs[std::size_t(i)].Output);
        EXPECT_NE(out.find(std::string("輸入排程之起始日期 [me01]: '") + dates[i] + "'"),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find("基準月份起日 [me02]: '20261101'"), std::string::npos) << out;
    }
    auto job = context->Store().GetJob(id);
    EXPECT_EQ(job->Status, JobFinished);
    EXPECT_EQ(job->RunsDone, 3);
    EXPECT_TRUE(job->NextRun.empty());
}

// A run cut off by a crash is recorded as interrupted and run again once; a second recovery
// finds nothing more to do.
TEST_F(Runner, InterruptedRunIsRepeatedOnceOnRecovery) {
    const std::int64_t id = Submit(MakeRequest());
    auto job = context->Store().GetJob(id);
    const std::int64_t cut = context->Store().BeginRun(id, job->NextRun, NowText(), 0);

    auto restarted = install.Context();
    TJobRunner afterRestart(*restarted);
    const auto s = afterRestart.Recover();
    EXPECT_EQ(s.Interrupted, 1);
    EXPECT_EQ(s.Reruns, 1);
    const auto runs = context->Store().Runs(id);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].Id, cut);
    EXPECT_EQ(runs[0].Status, RunInterrupted);
    EXPECT_EQ(runs[1].RerunOf, cut);
    EXPECT_EQ(runs[1].Status, RunDone);
    EXPECT_NE(ReadFile(runs[1].Output).find("repeat of run " + std::to_string(cut)),
              std::string::npos);
    EXPECT_EQ(context->Store().GetJob(id)->Status, JobDone);
    EXPECT_EQ(afterRestart.Recover().Interrupted, 0);
    EXPECT_EQ(afterRestart.RunDue(NowText()).Runs, 0);
}

TEST_F(Runner, RepeatCutOffAgainIsGivenUpAndRecorded) {
    const std::int64_t id = Submit(MakeRequest());
    auto job = context->Store().GetJob(id);
    const std::int64_t cut = context->Store().BeginRun(id, job->NextRun, NowText(), 0);
    TRunRecord first;
    first.Id = cut;
    first.JobId = id;
    first.Status = RunInterrupted;
    context->Store().FinishRun(first, JobRunning, job->NextRun, false);
    context->Store().BeginRun(id, job->NextRun, NowText(), cut);
    const auto s = runner.Recover();
    EXPECT_EQ(s.Interrupted, 1);
    EXPECT_EQ(s.Reruns, 0);
    EXPECT_EQ(context->Store().GetJob(id)->Status, JobFailed);
    EXPECT_EQ(context->Store().Runs(id).back().Status, RunInterrupted);
}

TEST_F(Runner, OnlyOneRunnerWorksOnAQueue) {
    TRunnerLock lock(install.QueueFile());
    EXPECT_THROW(TRunnerLock second(install.QueueFile()), Exception);
}

} // namespace
