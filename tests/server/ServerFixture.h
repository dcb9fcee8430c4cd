// Test fixtures of the report server: an installation in a temporary folder (registry file,
// TarvelS.ini, a small ERP database with the demo's tables), a report request built the way
// the report dialog builds it, and a reportcounterd started on a free loopback port.
#pragma once

#include "platform/TestFiles.h"

#include "JobStore.h"
#include "ReportCounter.h"
#include "ServerConfig.h"
#include "SqliteJobStore.h"

#include "forms/ScheduleRules.h"
#include "platform/DateTime.h"
#include <nuv/Variant.h>

#include <SQLiteCpp/SQLiteCpp.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace nuv::test {

// The demo ERP database's tables that the server reads, with a few rows: users with and
// without rights, an inactive user, the program KELT58, item categories and items.
inline void CreateErpFixture(const std::string& file) {
    SQLite::Database db(file, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec(R"sql(
CREATE TABLE companies (company_code TEXT PRIMARY KEY, company_name TEXT NOT NULL,
                        data_source TEXT NOT NULL UNIQUE);
CREATE TABLE users (user_code TEXT PRIMARY KEY, user_name TEXT NOT NULL,
                    user_group TEXT NOT NULL, company_code TEXT NOT NULL,
                    email TEXT NOT NULL DEFAULT '', active TEXT NOT NULL DEFAULT 'Y');
CREATE TABLE user_rights (user_code TEXT NOT NULL, program_code TEXT NOT NULL,
                          rights TEXT NOT NULL, PRIMARY KEY (user_code, program_code));
CREATE TABLE ADMMB (MB001 TEXT PRIMARY KEY, MB002 TEXT NOT NULL, MB003 TEXT NOT NULL,
                    MB004 TEXT NOT NULL DEFAULT 'R', MB005 TEXT NOT NULL DEFAULT '',
                    MB006 TEXT NOT NULL DEFAULT '');
CREATE TABLE INVMA (MA001 TEXT NOT NULL, MA002 TEXT NOT NULL, MA003 TEXT NOT NULL,
                    PRIMARY KEY (MA001, MA002));
CREATE TABLE INVMB (MB001 TEXT PRIMARY KEY, MB002 TEXT NOT NULL, MB003 TEXT NOT NULL DEFAULT '',
                    MB004 TEXT NOT NULL DEFAULT '', MB005 TEXT NOT NULL DEFAULT '',
                    MB006 TEXT NOT NULL DEFAULT '', MB007 TEXT NOT NULL DEFAULT '',
                    MB008 TEXT NOT NULL DEFAULT '');
INSERT INTO companies VALUES ('NUV01', '新宇電子', 'DEMO');
INSERT INTO users(user_code, user_name, user_group, company_code, active) VALUES
    ('DS', '陳大順', '000000', 'NUV01', 'Y'),
    ('MARY', '林美麗', 'SALES1', 'NUV01', 'Y'),
    ('JOHN', '王志明', 'SALES1', 'NUV01', 'Y'),
    ('OLD', '李舊員', 'SALES1', 'NUV01', 'N');
INSERT INTO user_rights VALUES ('DS', '*', 'YYYYYYYY'), ('MARY', 'KELT58', 'YYYYYYYN'),
    ('JOHN', 'KELT58', 'NNNNYYNN'), ('OLD', '*', 'YYYYYYYY');
INSERT INTO ADMMB VALUES ('KELT58', '客戶別品號出貨排程表', 'KEL', 'R', '1', 'Kelt58C.so');
INSERT INTO INVMA VALUES ('1', 'BOLT', '螺栓'), ('1', 'NUT', '螺帽');
INSERT INTO INVMB(MB001, MB002, MB003, MB004, MB005) VALUES
    ('A001', '六角螺栓 M3', 'M3x10', 'PCS', 'BOLT'),
    ('A002', '六角螺栓 M4', 'M4x12', 'PCS', 'BOLT'),
    ('A003', '六角螺帽 M3', 'M3', 'PCS', 'NUT'),
    ('B001', '墊圈', 'W3', 'PCS', '');
)sql");
}

// An installation: registry file (ServerPath, the in-process server library), TarvelS.ini
// and the ERP database, all in a temporary folder; NUV_REGISTRY points at it while it lives.
class Installation {
public:
    explicit Installation(int frameTimeoutSeconds = 30)
        : registry_("NUV_REGISTRY", dir_ / "registry.reg") {
        base_ = dir_ / "App/";
        erp_ = base_ + "Data/erp.db";
        std::filesystem::create_directories(base_ + "Data");
        CreateErpFixture(erp_);
        dir_.Write("App/TarvelS.ini",
                   "[DBPasswordCtrl]\r\nServerPort=0\r\n"
                   "[ReportCounter]\r\nErpDatabase=" +
                       erp_ + "\r\nFrameTimeout=" + std::to_string(frameTimeoutSeconds) + "\r\n");
        // The client side of the installation (ClientPath) is the same folder, so that a dialog
        // finds its TarvelC.ini there (WriteClientIni).
        dir_.Write("registry.reg", "REGEDIT4\r\n\r\n"
                                   "[HKEY_LOCAL_MACHINE\\Software\\NUV\\Tarvel]\r\n"
                                   "\"ServerPath\"=\"" +
                                       base_ + "\"\r\n\"ClientPath\"=\"" + base_ +
                                       "\"\r\n\r\n"
                                       "[HKEY_CLASSES_ROOT\\ReportCounterS.dmReportCounter\\"
                                       "InprocServer32]\r\n@=\"" NUV_REPORTCOUNTER_LIBRARY
                                       "\"\r\n");
    }
    const std::string& Base() const { return base_; }
    std::string QueueFile() const { return base_ + "Data/ReportQueue.db"; }
    std::string OutputPath() const { return base_ + "Reports/"; }
    const std::string& ErpFile() const { return erp_; }
    // The client configuration of a dialog in this installation.
    void WriteClientIni(const std::string& text) { dir_.Write("App/TarvelC.ini", text); }
    TServerConfig Config() const { return TServerConfig::Load(); }
    std::shared_ptr<TServerContext> Context() const {
        return std::make_shared<TServerContext>(Config());
    }

private:
    TempDir dir_;
    ScopedEnv registry_;
    std::string base_, erp_;
};

// --- requests as the report dialog builds them --------------------------------------------

inline Variant Row(std::initializer_list<Variant> items) {
    return Variant::ArrayOf(items);
}

struct RequestOptions {
    std::string user = "MARY";
    std::string program = "KELT58";
    int runMode = 1;       // 0 queue, 1 at once, 2 at a time
    double runAt = 0;      // for run mode 2
    bool periodic = false; // adds a schedule: every day at 08:05 from start, 3 runs
    std::string start = "20261207";
    Variant cycle; // overrides the daily cycle
    Variant range; // overrides the 3-run range
};

// The request of the report dialog: header 1..14, nine conditions of the report plus the six
// base entries, lower bound 1. A periodic one adds the schedule (every day at 08:05 from the
// start, three runs) and two moved-date rules: condition 1 becomes the run date, condition 2
// the first day of the run date's previous month.
inline Variant MakeRequest(const RequestOptions& o = {}) {
    const int n = 15;
    Variant header = Variant::CreateArray({ArrayBounds{1, 14}});
    header[1] = o.program;
    header[2] = 14;
    header[3] = n;
    header[4] = "NUV01";
    header[5] = o.user;
    header[6] = "DEMO";
    header[7] = Variant::FromDate(Now());
    header[8] = o.program + "S.Class1";
    header[9] = o.periodic ? "r" : "R";
    header[10] = o.periodic ? 2 : o.runMode;
    header[11] = Variant::FromDate(o.runAt ? o.runAt : Now());
    header[12] = 2;
    header[13] = 1;
    header[14] = "";
    Variant texts = Variant::CreateArray({ArrayBounds{1, n}});
    Variant data = Variant::CreateArray({ArrayBounds{1, n}});
    const char* names[] = {"me01",    "me02",    "sp03",    "sp04",     "chk05",
                           "sp06",    "cbo10",   "ed11",    "ed12",     "chkNote",
                           "chkSign", "cboDate", "chkCond", "chkMaker", "edPrintDate"};
    for (int i = 1; i <= n; ++i) {
        texts[i] = Row({std::string("caption ") + names[i - 1], names[i - 1]});
        data[i] = "";
    }
    texts[1] = Row({"輸入排程之起始日期", "me01"});
    data[1] = o.start;
    texts[2] = Row({"基準月份起日", "me02"});
    data[2] = "20261101";
    texts[3] = Row({"類別", "sp03"});
    data[3] = Row({std::string(1, '\x05'), Row({"BOLT", "螺栓"})});
    texts[4] = Row({"選擇品號", "sp04"});
    data[4] = Row({std::string(1, '\x04'), "A001", "A003"});
    data[5] = "Y";
    data[6] = Row({std::string(1, '\x04'), "", ""});
    data[7] = Row({1, "供應商/客戶"});
    data[9] = Row({"TC004", "COPMA", "MA009"});
    Variant request = Variant::CreateArray({ArrayBounds{0, o.periodic ? 4 : 2}});
    request[0] = header;
    request[1] = texts;
    request[2] = data;
    if (o.periodic) {
        Variant cycle = o.cycle.IsEmpty() ? CycleSpecEveryNDays("1") : o.cycle;
        Variant range = o.range.IsEmpty() ? CycleRangeRepetitions(o.start, "3") : o.range;
        request[3] = MakeScheduleRecord(8, 5, cycle, range);
        DynamicEntry onRunDate;
        onRunDate.Component = "me01";
        onRunDate.Begin.Moves = true;
        DynamicEntry monthStart;
        monthStart.Component = "me02";
        monthStart.Begin = DateMoveRule{true, "-1", 1, 1, "0"};
        const std::string sep(DynamicFieldSeparator);
        request[4] = Row({2, onRunDate.Line() + sep + "1", monthStart.Line() + sep + "2"});
    }
    return request;
}

// Waits (polling the queue file) until the job has a finished run, at most 30 seconds: the
// daemon's runner works in its own process.
inline std::vector<TRunRecord> WaitForRun(const std::string& queue, std::int64_t job) {
    TSqliteJobStore store(queue);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < until) {
        auto runs = store.Runs(job);
        if (!runs.empty() && runs.back().Status != RunRunning)
            return runs;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return store.Runs(job);
}

// --- a daemon on a free loopback port -------------------------------------------------------

class Daemon {
public:
    explicit Daemon(std::vector<std::string> extra = {}) {
        // The port comes from TarvelS.ini (ServerPort 0 in the installation: any free port).
        std::vector<std::string> args = {NUV_REPORTCOUNTERD, "serve"};
        args.insert(args.end(), extra.begin(), extra.end());
        Start(args);
    }
    ~Daemon() { Stop(); }
    Daemon(const Daemon&) = delete;
    Daemon& operator=(const Daemon&) = delete;

    int Port() const { return port_; }
    pid_t Pid() const { return pid_; }
    // Sends SIGTERM and returns the exit status (-1 when it did not exit normally).
    int Stop(int sig = SIGTERM) {
        if (pid_ <= 0)
            return status_;
        ::kill(pid_, sig);
        int st = 0;
        ::waitpid(pid_, &st, 0);
        pid_ = -1;
        if (out_)
            std::fclose(out_);
        out_ = nullptr;
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        return status_;
    }

private:
    void Start(const std::vector<std::string>& args) {
        int fds[2];
        if (::pipe(fds) != 0)
            throw std::runtime_error("pipe");
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
        posix_spawn_file_actions_addclose(&fa, fds[0]);
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), environ) != 0)
            throw std::runtime_error("cannot start reportcounterd");
        posix_spawn_file_actions_destroy(&fa);
        ::close(fds[1]);
        out_ = ::fdopen(fds[0], "r");
        char line[256];
        // The daemon prints its address once it accepts clients.
        while (std::fgets(line, sizeof line, out_))
            if (std::sscanf(line, "listening on %*[^:]:%d", &port_) == 1)
                return;
        Stop(SIGKILL);
        throw std::runtime_error("reportcounterd did not start");
    }

    pid_t pid_ = -1;
    FILE* out_ = nullptr;
    int port_ = 0;
    int status_ = -1;
};

// Runs "reportcounterd <args>" to its end; returns its exit status and standard output.
inline int RunTool(const std::vector<std::string>& args, std::string* output = nullptr) {
    std::string cmd = NUV_REPORTCOUNTERD;
    for (const auto& a : args)
        cmd += " '" + a + "'";
    FILE* p = ::popen((cmd + " 2>&1").c_str(), "r");
    std::string out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p))
        out += buf;
    int st = ::pclose(p);
    if (output)
        *output = out;
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

} // namespace nuv::test
