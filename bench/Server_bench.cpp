// The report server's speed, each figure beside its baseline measured in the same run:
//
//   BM_Request                one "Request" over loopback to reportcounterd, answered after
//                             its durable commit
//   BM_BareRoundTripAndCommit a bare loopback round trip of a request-sized message plus one
//                             durable SQLite commit (WAL, synchronous=FULL) of that size: the
//                             floor a durable remote call cannot go below
//   BM_Clients8/group         accepted requests per second from 8 concurrent clients
//   BM_Clients8/each          the same with one commit per request (reportcounterd
//                             --commit-each yes)
//
//   server_bench [benchmark arguments]
#include "../tests/server/ServerFixture.h"

#include "platform/SConnect.h"
#include "platform/WireFormat.h"

#include <benchmark/benchmark.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>

using namespace nuv;
using namespace nuv::test;

namespace {

Variant TimedRequest() {
    RequestOptions o;
    o.runMode = 2;
    o.runAt = Now() + 30; // not run while measuring
    return MakeRequest(o);
}

void BM_Request(benchmark::State& state) {
    Installation install;
    Daemon daemon;
    TSocketConnection c;
    c.Address = "127.0.0.1";
    c.Port = daemon.Port();
    c.ServerName = ReportCounterClassName;
    c.Open();
    const Variant request = TimedRequest();
    for (auto _ : state) {
        std::string reply = OleCall(c.GetServer(), "Request", {request}).ToString();
        if (reply.rfind("Job ", 0) != 0)
            state.SkipWithError(reply.c_str());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Request)->UseRealTime()->Unit(benchmark::kMicrosecond);

// --- the floor: a bare loopback round trip and a durable commit --------------------------------

int Listener(int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(fd, 1);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    return fd;
}

void NoDelay(int fd) {
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

bool ReadAll(int fd, char* p, std::size_t n) {
    while (n) {
        ssize_t r = ::read(fd, p, n);
        if (r <= 0)
            return false;
        p += r;
        n -= std::size_t(r);
    }
    return true;
}

void BM_BareRoundTripAndCommit(benchmark::State& state) {
    const QByteArray frame = EncodeFrame(EncodeCall(WireCall{"Request", 0, {TimedRequest()}, {}}));
    const std::size_t size = std::size_t(frame.size());
    int port = 0;
    const int lfd = Listener(port);
    std::thread echo([lfd, size] {
        int fd = ::accept(lfd, nullptr, nullptr);
        NoDelay(fd);
        std::vector<char> buf(size);
        while (ReadAll(fd, buf.data(), size))
            if (::write(fd, "ok", 2) != 2)
                break;
        ::close(fd);
    });
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(quint16(port));
    ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    NoDelay(fd);

    TempDir dir;
    SQLite::Database db(dir / "commit.db", SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec("PRAGMA journal_mode=WAL");
    db.exec("PRAGMA synchronous=FULL");
    db.exec("CREATE TABLE t(id INTEGER PRIMARY KEY, request BLOB)");
    SQLite::Statement ins(db, "INSERT INTO t(request) VALUES(?)");
    char reply[2];
    for (auto _ : state) {
        if (::write(fd, frame.constData(), size) != ssize_t(size) || !ReadAll(fd, reply, 2))
            state.SkipWithError("echo failed");
        SQLite::Transaction t(db);
        ins.bind(1, frame.constData(), int(size));
        ins.exec();
        ins.reset();
        t.commit();
    }
    ::close(fd);
    echo.join();
    ::close(lfd);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareRoundTripAndCommit)->UseRealTime()->Unit(benchmark::kMicrosecond);

// --- throughput of 8 clients ------------------------------------------------------------------

void Clients8(benchmark::State& state, bool commitEach) {
    Installation install;
    Daemon daemon(commitEach ? std::vector<std::string>{"--commit-each", "yes"}
                             : std::vector<std::string>{});
    constexpr int clients = 8;
    const int perClient = int(state.range(0));
    const Variant request = TimedRequest();
    for (auto _ : state) {
        std::vector<std::thread> threads;
        for (int t = 0; t < clients; ++t)
            threads.emplace_back([&] {
                TSocketConnection c;
                c.Address = "127.0.0.1";
                c.Port = daemon.Port();
                c.ServerName = ReportCounterClassName;
                c.Open();
                for (int i = 0; i < perClient; ++i)
                    OleCall(c.GetServer(), "Request", {request});
            });
        for (auto& t : threads)
            t.join();
    }
    state.SetItemsProcessed(state.iterations() * clients * perClient);
}
void BM_Clients8_group(benchmark::State& state) {
    Clients8(state, false);
}
void BM_Clients8_each(benchmark::State& state) {
    Clients8(state, true);
}
BENCHMARK(BM_Clients8_group)->Arg(50)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Clients8_each)->Arg(50)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
