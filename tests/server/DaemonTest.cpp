// reportcounterd over real TCP on loopback: the dialog's road through both branches, bad
// frames and stalled clients, concurrent clients, and a clean stop on SIGTERM.
#include "ServerFixture.h"

#include "JobRunner.h"
#include "SqliteJobStore.h"

#include "platform/SConnect.h"
#include "platform/WireFormat.h"
#include "support/LibStrs.h"

#include <QCborArray>
#include <QCborMap>
#include <QTcpSocket>
#include <QtEndian>

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

using namespace nuv;
using namespace nuv::test;

namespace {

// What the dialog does to reach its server: the local address creates the server class
// in-process, any other connects the socket connection and takes its server object.
DispatchPtr ConnectServer(TSocketConnection& c) {
    if (IsLocalHost(c.Address))
        return CreateOleObject(c.ServerName);
    c.Open();
    return c.GetServer();
}

TEST(DialogRoad, BothBranchesCarryTheRequestToAJobItsRunAndItsOutput) {
    Installation install;
    Daemon daemon;
    const struct {
        const char* name;
        const char* address;
    } branches[] = {{"in-process", "127.0.0.1"}, {"TCP", "localhost"}};
    for (const auto& b : branches) {
        SCOPED_TRACE(b.name);
        TSocketConnection conn;
        conn.Address = b.address;
        conn.Port = daemon.Port();
        conn.ServerName = ReportCounterClassName;
        DispatchPtr server = ConnectServer(conn);
        ASSERT_TRUE(server);
        EXPECT_EQ(conn.Connected(), std::string(b.address) != "127.0.0.1");

        Variant power = OleCall(server, "GetPower", {Row({"DEMO", "MARY", "KELT58", ""})});
        EXPECT_EQ(GetDelimitedField(power[1].ToString(), ",", 1), "SALES1");

        RequestOptions bad;
        bad.user = "JOHN";
        EXPECT_EQ(OleCall(server, "Request", {MakeRequest(bad)}).ToString(), "ERROR");
        EXPECT_NE(OleGet(server, "ErrorDescript").ToString().find("no right"), std::string::npos);

        const std::string reply = OleCall(server, "Request", {MakeRequest()}).ToString();
        ASSERT_EQ(reply.rfind("Job ", 0), 0u) << reply;
        const std::int64_t id = std::stoll(reply.substr(4));

        const auto runs = WaitForRun(install.QueueFile(), id);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].Status, RunDone) << runs[0].Message;
        EXPECT_NE(ReadFile(runs[0].Output).find("Items selected: 2"), std::string::npos);

        std::string jobs;
        EXPECT_EQ(RunTool({"jobs"}, &jobs), 0);
        EXPECT_NE(jobs.find(std::to_string(id) + " "), std::string::npos) << jobs;
        EXPECT_NE(jobs.find("done"), std::string::npos) << jobs;
    }
    EXPECT_EQ(daemon.Stop(), 0);
}

// --- a raw client for frames the connection class would never send ---------------------------

class RawClient {
public:
    explicit RawClient(int port) {
        socket_.connectToHost("127.0.0.1", quint16(port));
        EXPECT_TRUE(socket_.waitForConnected(5000));
    }
    void Send(const QByteArray& bytes) {
        socket_.write(bytes);
        while (socket_.bytesToWrite() > 0 && socket_.waitForBytesWritten(5000)) {
        }
    }
    // The next frame's item, or nothing when the connection ended first.
    std::optional<QCborValue> Receive(int ms = 10000) {
        for (;;) {
            if (auto item = reader_.Next())
                return item;
            if (!socket_.waitForReadyRead(ms))
                return std::nullopt;
            reader_.Append(socket_.readAll());
        }
    }
    bool ClosedByServer(int ms = 10000) {
        return socket_.state() == QAbstractSocket::UnconnectedState ||
               socket_.waitForDisconnected(ms);
    }

private:
    QTcpSocket socket_;
    TFrameReader reader_;
};

std::string ErrorOf(const std::optional<QCborValue>& item) {
    if (!item)
        return "(no answer)";
    WireReply r = DecodeReply(*item);
    return r.Ok ? "(no error)" : r.Error;
}

QByteArray Prefix(quint32 n) {
    QByteArray b(4, Qt::Uninitialized);
    qToBigEndian(n, b.data());
    return b;
}

class BadClients : public ::testing::Test {
protected:
    Installation install{1}; // frames must be completed within 1 s
    Daemon daemon;

    // Another client, served normally while the bad one misbehaves.
    void ExpectOthersServed() {
        TSocketConnection c;
        c.Address = "127.0.0.1";
        c.Port = daemon.Port();
        c.ServerName = ReportCounterClassName;
        c.Open();
        Variant power = OleCall(c.GetServer(), "GetPower", {Row({"DEMO", "DS", "KELT58", ""})});
        EXPECT_EQ(power[0].ToString(), "Y");
    }
};

TEST_F(BadClients, BrokenFramesGetAnErrorAndTheConnectionEnds) {
    const struct {
        const char* name;
        QByteArray bytes;
        const char* error;
    } cases[] = {
        {"oversize", Prefix(0x7fffffff), "exceeds the limit"},
        {"empty", Prefix(0), "empty frame"},
        {"not CBOR", Prefix(2) + QByteArray("\xff\xff", 2), "valid CBOR"},
        {"two items", Prefix(2) + QByteArray("\x01\x02", 2), "more than one"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RawClient bad(daemon.Port());
        bad.Send(c.bytes);
        EXPECT_NE(ErrorOf(bad.Receive()).find(c.error), std::string::npos);
        EXPECT_TRUE(bad.ClosedByServer());
        ExpectOthersServed();
    }
}

TEST_F(BadClients, StalledFrameEndsThatConnectionOnly) {
    RawClient stalled(daemon.Port());
    stalled.Send(Prefix(100) + QByteArray("\xa1", 1)); // 5 of 104 bytes, then nothing
    ExpectOthersServed();
    EXPECT_NE(ErrorOf(stalled.Receive(5000)).find("not completed within 1 s"), std::string::npos);
    EXPECT_TRUE(stalled.ClosedByServer());
}

TEST_F(BadClients, WrongMessagesGetAnErrorAndTheConnectionStays) {
    RawClient c(daemon.Port());
    const struct {
        const char* name;
        QCborValue item;
        const char* error;
    } cases[] = {
        {"array instead of map", QCborArray{1}, "must be a CBOR map"},
        {"call before open",
         EncodeCall(WireCall{"GetPower", 0, {Row({"DEMO", "DS", "KELT58", ""})}, {}}),
         "No server object is open"},
        {"unknown server", EncodeOpen("Other.Server"), "not 'Other.Server'"},
        {"member name not text", QCborMap{{"call", 1}, {"kind", 0}, {"args", QCborArray{}}},
         "no text \"call\""},
        {"integer beyond 32 bits",
         QCborMap{{"call", "GetPower"}, {"kind", 0}, {"args", QCborArray{qint64(1) << 40}}},
         "does not fit"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        c.Send(EncodeFrame(k.item));
        EXPECT_NE(ErrorOf(c.Receive()).find(k.error), std::string::npos);
    }
    // Still connected: a frame sent byte by byte opens the server object and is answered.
    for (char b : EncodeFrame(EncodeOpen(ReportCounterClassName)))
        c.Send(QByteArray(1, b));
    auto opened = c.Receive();
    ASSERT_TRUE(opened);
    EXPECT_TRUE(DecodeReply(*opened).Ok);
    c.Send(EncodeFrame(EncodeCall(WireCall{"Nothing", 0, {}, {}})));
    EXPECT_NE(ErrorOf(c.Receive()).find("not supported"), std::string::npos);
}

// Eight clients at once: every request gets its own job number and every one is stored.
TEST(ConcurrentClients, EveryAnsweredJobIsInTheQueue) {
    Installation install;
    Daemon daemon;
    constexpr int clients = 8, each = 10;
    std::vector<std::vector<std::int64_t>> ids(clients);
    std::vector<std::thread> threads;
    for (int t = 0; t < clients; ++t)
        threads.emplace_back([&, t] {
            TSocketConnection c;
            c.Address = "127.0.0.1";
            c.Port = daemon.Port();
            c.ServerName = ReportCounterClassName;
            c.Open();
            RequestOptions o;
            o.runMode = 2;
            o.runAt = Now() + 30; // not run during the test
            for (int i = 0; i < each; ++i) {
                std::string reply = OleCall(c.GetServer(), "Request", {MakeRequest(o)}).ToString();
                if (reply.rfind("Job ", 0) == 0)
                    ids[std::size_t(t)].push_back(std::stoll(reply.substr(4)));
            }
        });
    for (auto& t : threads)
        t.join();
    std::set<std::int64_t> all;
    for (const auto& v : ids)
        all.insert(v.begin(), v.end());
    EXPECT_EQ(all.size(), std::size_t(clients * each));
    TSqliteJobStore store(install.QueueFile());
    for (std::int64_t id : all)
        EXPECT_TRUE(store.GetJob(id)) << id;
    EXPECT_EQ(daemon.Stop(), 0);
}

TEST(DaemonCommands, RunDueRefusesWhileTheDaemonRunsAndWorksAfterIt) {
    Installation install;
    auto context = install.Context();
    DispatchPtr obj = MakeAutoObject<TdmReportCounter>(context);
    ASSERT_EQ(OleCall(obj, "Request", {MakeRequest()}).ToString().rfind("Job ", 0), 0u);
    std::string out;
    {
        TRunnerLock held(install.QueueFile()); // as a running daemon holds it
        EXPECT_NE(RunTool({"run-due"}, &out), 0);
        EXPECT_NE(out.find("Another runner"), std::string::npos) << out;
    }
    EXPECT_EQ(RunTool({"run-due"}, &out), 0) << out;
    EXPECT_NE(out.find("1 runs, 0 failed"), std::string::npos) << out;
    EXPECT_EQ(RunTool({"jobs"}, &out), 0);
    EXPECT_NE(out.find("done"), std::string::npos) << out;
}

} // namespace
