// reportcounterd: the report application server.
//
//   reportcounterd [serve] [options]   serve clients and run due jobs until SIGTERM or SIGINT
//   reportcounterd jobs [options]      list the jobs with their status and next run
//   reportcounterd run-due [options]   run what is due now, then exit (for scripts and tests)
//   reportcounterd runs [--job N]      list the runs (of one job) with their outcome and output
//   reportcounterd run-next --job N    make the job's next run now, whenever it is due, and exit
//
// Options override the server configuration (TarvelS.ini, see ServerConfig.h):
//   --listen ADDRESS   --port N (0: any free port)   --queue FILE   --erp FILE   --output DIR
//   --now "YYYY-MM-DD hh:mm:ss"  (run-due: the time to run for)
//   --job N  (runs: only the runs of that job; run-next: the job to run)
//   --commit-each yes  (serve: one commit per request, no group commit; for measurements)
// serve prints "listening on ADDRESS:PORT" on standard output once it accepts clients.
#include "JobRunner.h"
#include "ReportServer.h"
#include "SqliteJobStore.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sys/socket.h>
#include <unistd.h>

using namespace nuv;

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char b = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &b, 1);
}

int Usage(const char* why) {
    std::fprintf(stderr,
                 "reportcounterd: %s\n"
                 "usage: reportcounterd [serve|jobs|runs|run-due|run-next] [--listen ADDRESS]\n"
                 "                      [--port N]\n"
                 "                      [--queue FILE] [--erp FILE] [--output DIR] [--now TIME]\n"
                 "                      [--job N]\n",
                 why);
    return 2;
}

int ListJobs(TServerContext& context) {
    const auto jobs = context.Store().ListJobs();
    std::printf("%-6s %-9s %-8s %-10s %-10s %-19s %5s  %s\n", "job", "status", "program", "user",
                "mode", "next run", "runs", "schedule");
    const char* modes[] = {"queue", "at once", "timed"};
    for (const auto& j : jobs)
        std::printf("%-6lld %-9s %-8s %-10s %-10s %-19s %5d  %s\n", (long long)j.Id,
                    j.Status.c_str(), j.Program.c_str(), j.UserCode.c_str(),
                    j.Periodic ? "periodic" : modes[j.RunMode < 0 || j.RunMode > 2 ? 0 : j.RunMode],
                    j.NextRun.empty() ? "-" : j.NextRun.c_str(), j.RunsDone, j.Schedule.c_str());
    std::printf("%zu jobs\n", jobs.size());
    return 0;
}

// One line per run, fields separated by tabs so that scripts can cut them: the output path
// may hold blanks.
// A job number of the command line; 0 when the text is none.
std::int64_t JobNumber(const std::string& text) {
    char* end = nullptr;
    const long long job = std::strtoll(text.c_str(), &end, 10);
    return end == text.c_str() || *end != '\0' || job <= 0 ? 0 : job;
}

void PrintRuns(const std::vector<TRunRecord>& runs) {
    std::printf("run\tjob\tstatus\trun date\tstarted\tfinished\toutput\n");
    for (const auto& r : runs)
        std::printf("%lld\t%lld\t%s\t%s\t%s\t%s\t%s\n", (long long)r.Id, (long long)r.JobId,
                    r.Status.c_str(), r.RunDate.c_str(), r.StartedAt.c_str(), r.FinishedAt.c_str(),
                    r.Output.c_str());
}

int ListRuns(TServerContext& context, const std::string& jobText) {
    if (jobText.empty()) {
        PrintRuns(context.Store().AllRuns());
        return 0;
    }
    const std::int64_t job = JobNumber(jobText);
    if (job == 0)
        return Usage(("--job takes a job number, not " + jobText).c_str());
    PrintRuns(context.Store().Runs(job));
    return 0;
}

// The job's next run, made now for the date it is scheduled for (a periodic job's first run
// need not wait for its day). Prints the run like "runs" does.
int RunNext(TServerContext& context, TJobRunner& runner, const std::string& jobText) {
    const std::int64_t id = JobNumber(jobText);
    if (id == 0)
        return Usage(jobText.empty() ? "run-next needs the job (--job N)"
                                     : ("--job takes a job number, not " + jobText).c_str());
    const auto job = context.Store().GetJob(id);
    if (!job) {
        std::fprintf(stderr, "reportcounterd: there is no job %lld\n", (long long)id);
        return 1;
    }
    if (job->Status != JobWaiting || job->NextRun.empty()) {
        std::fprintf(stderr, "reportcounterd: job %lld has no run left to make (%s)\n",
                     (long long)id, job->Status.c_str());
        return 1;
    }
    const TRunRecord run = runner.RunOnce(*job, job->NextRun, 0);
    PrintRuns({run});
    return run.Status == RunDone ? 0 : 3;
}

} // namespace

int main(int argc, char** argv) {
    std::string command = "serve";
    std::map<std::string, std::string> opt;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a.rfind("--", 0) == 0) {
            if (i + 1 >= argc)
                return Usage(("missing value of " + a).c_str());
            opt[a.substr(2)] = argv[++i];
        } else if (i == 1) {
            command = a;
        } else {
            return Usage(("unexpected argument " + a).c_str());
        }
    }
    if (command != "serve" && command != "jobs" && command != "runs" && command != "run-due" &&
        command != "run-next")
        return Usage(("unknown command " + command).c_str());
    for (const auto& [k, v] : opt)
        if (k != "listen" && k != "port" && k != "queue" && k != "erp" && k != "output" &&
            k != "now" && k != "commit-each" && k != "job")
            return Usage(("unknown option --" + k).c_str());

    QCoreApplication app(argc, argv);
    TServerConfig config;
    std::string configError;
    try {
        config = TServerConfig::Load();
    } catch (const Exception& e) {
        configError = e.what();
    }
    if (opt.count("listen"))
        config.ListenAddress = opt["listen"];
    if (opt.count("port"))
        config.Port = std::atoi(opt["port"].c_str());
    if (opt.count("queue"))
        config.QueueFile = opt["queue"];
    if (opt.count("erp"))
        config.ErpDatabase = opt["erp"];
    if (opt.count("output")) {
        config.OutputPath = opt["output"];
        if (!config.OutputPath.empty() && config.OutputPath.back() != '/')
            config.OutputPath += '/';
    }
    if (config.QueueFile.empty() || (command != "jobs" && command != "runs" &&
                                     (config.ErpDatabase.empty() || config.OutputPath.empty()))) {
        ServerLog(configError.empty() ? "the queue, ERP database and output folder are not set"
                                      : configError);
        return 1;
    }

    try {
        auto context = std::make_shared<TServerContext>(config);
        if (command == "jobs")
            return ListJobs(*context);
        if (command == "runs")
            return ListRuns(*context, opt.count("job") ? opt["job"] : std::string());

        TRunnerLock lock(config.QueueFile);
        TJobRunner runner(*context);
        const auto recovered = runner.Recover();
        if (recovered.Interrupted)
            ServerLog(std::to_string(recovered.Interrupted) + " interrupted runs found; repeated " +
                      std::to_string(recovered.Reruns));

        if (command == "run-next")
            return RunNext(*context, runner, opt.count("job") ? opt["job"] : std::string());
        if (command == "run-due") {
            const auto s = runner.RunDue(opt.count("now") ? opt["now"] : NowText());
            std::printf("%d runs, %d failed, %d interrupted runs repeated\n",
                        s.Runs + recovered.Runs, s.Failed + recovered.Failed, recovered.Reruns);
            return s.Failed + recovered.Failed ? 3 : 0;
        }

        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
            ServerLog(std::string("socketpair: ") + std::strerror(errno));
            return 1;
        }
        struct sigaction sa {};
        sa.sa_handler = OnSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &sa, nullptr);
        sigaction(SIGINT, &sa, nullptr);
        std::signal(SIGPIPE, SIG_IGN);

        TReportServer server(context, &runner);
        server.CommitEach = opt.count("commit-each") && opt["commit-each"] == "yes";
        server.Listen(config.ListenAddress, config.Port);
        QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
            char b;
            [[maybe_unused]] auto n = ::read(signalPipe[0], &b, 1);
            ServerLog("stopping on a signal");
            server.Stop();
            app.quit();
        });
        ServerLog("listening on " + config.ListenAddress + ":" + std::to_string(server.Port()) +
                  ", queue " + config.QueueFile);
        std::printf("listening on %s:%d\n", config.ListenAddress.c_str(), server.Port());
        std::fflush(stdout);
        server.RunDueJobs();
        const int rc = app.exec();
        ServerLog("stopped");
        return rc;
    } catch (const Exception& e) {
        ServerLog(e.what());
        return 1;
    }
}
