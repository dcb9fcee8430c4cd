// Kill -9 harness of reportcounterd: client processes submit requests while the daemon is
// killed with SIGKILL at random moments and restarted; afterwards every request answered with a
// job number must be in the queue, the queue file must pass SQLite's integrity check, and every
// run cut off by a kill must have been repeated exactly once.
//
//   reportcounter_killtest [--clients 4] [--requests 1000] [--kills 20] [--seed N]
//
// Prints its figures and exits 0 when every check holds.
#include "ServerFixture.h"

#include "JobRunner.h"
#include "SqliteJobStore.h"

#include "platform/SConnect.h"

#include <QTcpServer>

#include <chrono>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <thread>

using namespace nuv;
using namespace nuv::test;

namespace {

std::map<std::string, std::string> Options(int argc, char** argv, int from) {
    std::map<std::string, std::string> o;
    for (int i = from; i + 1 < argc; i += 2)
        o[std::string(argv[i]).substr(2)] = argv[i + 1];
    return o;
}

int Get(std::map<std::string, std::string>& o, const char* k, int def) {
    return o.count(k) ? std::atoi(o[k].c_str()) : def;
}

// A client process: submits count requests, retrying each until it is answered, and writes
// the job number of every answered one to its file.
int Client(int port, int count, const std::string& outFile) {
    std::ofstream out(outFile, std::ios::app);
    TSocketConnection c;
    c.Address = "127.0.0.1";
    c.Port = port;
    c.ServerName = ReportCounterClassName;
    c.ConnectTimeout = 2000;
    c.CallTimeout = 10000;
    int answered = 0, failures = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(10);
    while (answered < count && std::chrono::steady_clock::now() < until) {
        try {
            c.Open();
            const std::string reply = OleCall(c.GetServer(), "Request", {MakeRequest()}).ToString();
            if (reply.rfind("Job ", 0) != 0) {
                std::fprintf(stderr, "client: refused: %s\n", reply.c_str());
                return 2;
            }
            out << std::stoll(reply.substr(4)) << "\n" << std::flush;
            ++answered;
        } catch (const EOleError&) {
            ++failures; // the daemon was killed: connect again and send the request again
            c.Close();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    std::printf("client: %d answered, %d calls broken off\n", answered, failures);
    return answered == count ? 0 : 1;
}

// Starts the daemon on the port; a port just freed by a killed daemon may take a moment.
std::unique_ptr<Daemon> StartDaemon(const std::vector<std::string>& args) {
    for (int attempt = 0;; ++attempt) {
        try {
            return std::make_unique<Daemon>(args);
        } catch (const std::exception&) {
            if (attempt == 100)
                throw;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
}

int FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "client") {
        auto o = Options(argc, argv, 2);
        return Client(Get(o, "port", 0), Get(o, "count", 0), o["out"]);
    }
    auto o = Options(argc, argv, 1);
    const int clients = Get(o, "clients", 4), requests = Get(o, "requests", 1000),
              kills = Get(o, "kills", 20);
    std::mt19937 random(unsigned(Get(o, "seed", int(std::random_device{}()))));

    Installation install;
    const int port = FreePort();
    const std::vector<std::string> serve = {"--port", std::to_string(port)};
    auto daemon = StartDaemon(serve);

    std::vector<pid_t> pids;
    std::vector<std::string> outs;
    for (int i = 0; i < clients; ++i) {
        outs.push_back(install.Base() + "client" + std::to_string(i) + ".txt");
        const int count = requests / clients + (i < requests % clients ? 1 : 0);
        std::vector<std::string> args = {
            "/proc/self/exe",      "client", "--port",   std::to_string(port), "--count",
            std::to_string(count), "--out",  outs.back()};
        std::vector<char*> argvc;
        for (auto& a : args)
            argvc.push_back(a.data());
        argvc.push_back(nullptr);
        pid_t pid;
        if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argvc.data(), environ) != 0)
            return 1;
        pids.push_back(pid);
    }

    // Kill the daemon at random moments while the clients work, and start it again.
    int killed = 0;
    std::set<pid_t> running(pids.begin(), pids.end());
    int clientFailures = 0;
    std::uniform_int_distribution<int> pause(20, 250);
    while (!running.empty()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
        for (auto it = running.begin(); it != running.end();) {
            int st = 0;
            if (::waitpid(*it, &st, WNOHANG) == *it) {
                clientFailures += !(WIFEXITED(st) && WEXITSTATUS(st) == 0);
                it = running.erase(it);
            } else {
                ++it;
            }
        }
        if (running.empty() || killed >= kills)
            continue;
        daemon->Stop(SIGKILL);
        ++killed;
        daemon = StartDaemon(serve);
    }

    // Let the last daemon recover and run everything due, then stop it cleanly.
    {
        TSqliteJobStore store(install.QueueFile());
        const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(5);
        for (;;) {
            bool busy = !store.UnfinishedRuns().empty();
            for (const auto& j : store.ListJobs())
                busy = busy || j.Status == JobWaiting || j.Status == JobRunning;
            if (!busy || std::chrono::steady_clock::now() > until)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    const int stopStatus = daemon->Stop();

    TSqliteJobStore store(install.QueueFile());
    std::set<std::int64_t> answered;
    for (const auto& f : outs) {
        std::ifstream in(f);
        std::int64_t id;
        while (in >> id)
            answered.insert(id);
    }
    int missing = 0;
    for (std::int64_t id : answered)
        missing += !store.GetJob(id);
    const auto jobs = store.ListJobs();
    const auto runs = store.AllRuns();
    std::map<std::int64_t, int> repeats;
    int interrupted = 0, interruptedRepeats = 0, failedRuns = 0, unfinishedJobs = 0;
    for (const auto& r : runs) {
        if (r.RerunOf)
            ++repeats[r.RerunOf];
        if (r.Status == RunFailed)
            ++failedRuns;
    }
    int wrongRepeats = 0;
    for (const auto& r : runs)
        if (r.Status == RunInterrupted) {
            if (r.RerunOf) {
                ++interruptedRepeats;
                continue;
            }
            ++interrupted;
            wrongRepeats += repeats[r.Id] != 1;
        }
    for (const auto& j : jobs)
        unfinishedJobs += j.Status != JobDone;
    const std::string integrity = store.IntegrityCheck();

    std::printf("kill -9 harness: %d clients, %d requests, daemon killed %d times\n", clients,
                requests, killed);
    std::printf("  answered with a job number: %zu, of them missing from the queue: %d\n",
                answered.size(), missing);
    std::printf("  jobs in the queue: %zu (%zu stored but never answered), not done: %d\n",
                jobs.size(), jobs.size() - answered.size(), unfinishedJobs);
    std::printf("  runs: %zu, failed: %d, interrupted: %d, repeated exactly once: %d, "
                "repeats cut off again: %d\n",
                runs.size(), failedRuns, interrupted, interrupted - wrongRepeats,
                interruptedRepeats);
    std::printf("  integrity_check: %s; clean stop: %s; client failures: %d\n", integrity.c_str(),
                stopStatus == 0 ? "yes" : "no", clientFailures);
    const bool ok = missing == 0 && integrity == "ok" && wrongRepeats == 0 && clientFailures == 0 &&
                    int(answered.size()) == requests && stopStatus == 0 &&
                    killed >= std::min(kills, 1) && failedRuns == 0;
    std::printf("%s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
