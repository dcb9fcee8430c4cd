// The server object in-process: the request's shape, the user's rights, GetPower, and that a
// refused request stores nothing while an accepted one is stored before its reply.
#include "ServerFixture.h"

#include "JobRunner.h"
#include "SqliteJobStore.h"

#include <gtest/gtest.h>

#include <functional>

using namespace nuv;
using namespace nuv::test;

namespace {

class ServerObject : public ::testing::Test {
protected:
    Installation install;
    std::shared_ptr<TServerContext> context = install.Context();
    DispatchPtr object = MakeAutoObject<TdmReportCounter>(context);

    std::string Request(const Variant& r) { return OleCall(object, "Request", {r}).ToString(); }
    std::string ErrorDescript() { return OleGet(object, "ErrorDescript").ToString(); }
    std::size_t JobCount() { return context->Store().ListJobs().size(); }
    // The request is refused with ErrorDescript naming the fault.
    void ExpectRefused(const Variant& r, const std::string& message) {
        EXPECT_EQ(Request(r), "ERROR");
        EXPECT_NE(ErrorDescript().find(message), std::string::npos) << ErrorDescript();
    }
};

struct ShapeCase {
    const char* name;
    std::function<void(Variant&)> spoil;
    const char* message; // part of ErrorDescript
};

TEST_F(ServerObject, MalformedRequestsAnswerErrorAndStoreNothing) {
    const ShapeCase cases[] = {
        {"not an array", [](Variant& r) { r = "KELT58"; }, "must be an array"},
        {"request lower bound 1",
         [](Variant& r) {
             Variant x = Variant::CreateArray({ArrayBounds{1, 3}});
             x[1] = r[0];
             x[2] = r[1];
             x[3] = r[2];
             r = x;
         },
         "must be an array [header"},
        {"header lower bound 0",
         [](Variant& r) {
             r[0] = Variant::ArrayOf({"KELT58", 14});
         },
         "lower bound 1"},
        {"header of 10 elements", [](Variant& r) { r[0].ArrayRedim(10); }, "has 10 elements"},
        {"header size disagrees", [](Variant& r) { r[0][2] = 12; }, "header element 2"},
        {"unassigned header element", [](Variant& r) { r[0][6] = Variant(); },
         "header element 6 is unassigned"},
        {"null header element", [](Variant& r) { r[0][12] = Variant::MakeNull(); },
         "header element 12 is Null"},
        {"program not a text", [](Variant& r) { r[0][1] = 58; }, "header element 1 (program)"},
        {"run mode 3", [](Variant& r) { r[0][10] = 3; }, "run mode) is 3"},
        {"run time a text", [](Variant& r) { r[0][11] = "2026/12/07"; },
         "header element 11 (time to run) must be a date-time"},
        {"two-letter class", [](Variant& r) { r[0][9] = "RR"; }, "one letter"},
        {"condition arrays of different length", [](Variant& r) { r[2].ArrayRedim(14); },
         "15 condition texts and 14 condition values"},
        {"count disagrees with arrays", [](Variant& r) { r[0][3] = 16; },
         "header counts 16 conditions"},
        {"condition text without component",
         [](Variant& r) {
             r[1][3] = Row({"類別", ""});
         },
         "condition text element 3"},
        {"unassigned condition value", [](Variant& r) { r[2][5] = Variant(); },
         "condition data element 5 is unassigned"},
        {"range of two",
         [](Variant& r) {
             r[2][4] = Row({std::string(1, '\x04'), "A"});
         },
         "is a range but not"},
        {"list row not an array",
         [](Variant& r) {
             r[2][3] = Row({std::string(1, '\x05'), "BOLT"});
         },
         "row 1 is no array"},
        {"periodic class without schedule", [](Variant& r) { r[0][9] = "r"; },
         "needs the schedule"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Variant r = MakeRequest();
        c.spoil(r);
        ExpectRefused(r, c.message);
    }
    EXPECT_EQ(JobCount(), 0u);
}

TEST_F(ServerObject, UnreadableSchedulesAreRefused) {
    const ShapeCase cases[] = {
        {"time 25:00", [](Variant& r) { r[3][1] = "25:00"; }, "execution time '25:00'"},
        {"cycle mode 7",
         [](Variant& r) {
             r[3][2] = Row({7, "1"});
         },
         "cycle mode 7"},
        {"every 0 days", [](Variant& r) { r[3][2] = CycleSpecEveryNDays("0"); },
         "number of days 0"},
        {"weekday 9", [](Variant& r) { r[3][2] = CycleSpecEveryNWeeks("1", 9); }, "weekday 9"},
        {"interval 0000", [](Variant& r) { r[3][2] = CycleSpecHourMinute(0, 0); }, "zero"},
        {"bad start", [](Variant& r) { r[3][3] = CycleRangeNoEnd("20261345"); },
         "start date '20261345'"},
        {"end before start", [](Variant& r) { r[3][3] = CycleRangeUntil("20261207", "20261201"); },
         "before the start"},
        {"rule count wrong", [](Variant& r) { r[4][0] = 5; }, "number of lines, 2"},
        {"rule pointing outside", [](Variant& r) { r[4][1] = r[4][1].ToString() + "9"; },
         "points at condition '19'"},
        {"range rule on a single value",
         [](Variant& r) {
             DynamicEntry e;
             e.Kind = std::string(DynamicDateRange);
             e.Component = "me01";
             r[4][1] = e.Line() + std::string(DynamicFieldSeparator) + "1";
         },
         "is a range rule but condition 1"},
        {"periodic with run mode 0", [](Variant& r) { r[0][10] = 0; }, "run mode 2"},
        {"schedule on a non-periodic class", [](Variant& r) { r[0][9] = "R"; },
         "not that of a periodic job"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RequestOptions o;
        o.periodic = true;
        Variant r = MakeRequest(o);
        c.spoil(r);
        ExpectRefused(r, c.message);
    }
    EXPECT_EQ(JobCount(), 0u);
}

TEST_F(ServerObject, UsersWithoutTheRightAreRefused) {
    const struct {
        const char* user;
        const char* program;
        const char* message;
    } cases[] = {
        {"NOBODY", "KELT58", "the user 'NOBODY' is not known"},
        {"OLD", "KELT58", "the user 'OLD' is no longer active"},
        {"MARY", "KELT99", "the program 'KELT99' is not known"},
        {"JOHN", "KELT58", "the user 'JOHN' has no right to run the program 'KELT58'"},
        // A user code made to look like SQL is only ever a bound value.
        {"x' OR '1'='1", "KELT58", "is not known"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user);
        RequestOptions o;
        o.user = c.user;
        o.program = c.program;
        ExpectRefused(MakeRequest(o), c.message);
    }
    EXPECT_EQ(JobCount(), 0u);
}

TEST_F(ServerObject, AcceptedRequestIsStoredBeforeTheReplyAndTheReplySaysWhen) {
    ScopedNow now(EncodeDateTime({2026, 12, 10, 9, 0, 0, 0}));
    RequestOptions queue;
    queue.runMode = 0;
    RequestOptions timed;
    timed.runMode = 2;
    timed.runAt = EncodeDateTime({2027, 1, 15, 8, 30, 0, 0});
    RequestOptions periodic;
    periodic.periodic = true;
    periodic.start = "20270104"; // a Monday in the future
    const struct {
        RequestOptions options;
        const char* says;
        const char* nextRun;
    } cases[] = {
        {RequestOptions{}, "runs at once", nullptr},
        {queue, "waits in the work queue", nullptr},
        {timed, "runs at 2027/01/15 08:30", "2027-01-15 08:30:00"},
        {periodic,
         "every day at 08:05, from 2027/01/04, ending after 3 runs; first run at "
         "2027/01/04 08:05",
         "2027-01-04 08:05:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const std::string reply = Request(MakeRequest(c.options));
        ASSERT_EQ(reply.rfind("Job ", 0), 0u) << reply << " / " << ErrorDescript();
        EXPECT_NE(reply.find(c.says), std::string::npos) << reply;
        const std::int64_t id = std::stoll(reply.substr(4));
        // A second connection to the queue file sees the job: it was committed.
        TSqliteJobStore other(install.QueueFile());
        auto job = other.GetJob(id);
        ASSERT_TRUE(job);
        EXPECT_EQ(job->UserCode, "MARY");
        EXPECT_EQ(job->Status, JobWaiting);
        if (c.nextRun) {
            EXPECT_EQ(job->NextRun, c.nextRun);
        }
    }
}

TEST_F(ServerObject, GetPowerAnswersTheRightsText) {
    Variant r = OleCall(object, "GetPower", {Row({"DEMO", "MARY", "kelt58", ""})});
    EXPECT_EQ(r[0].ToString(), "Y");
    EXPECT_EQ(r[1].ToString(), "SALES1,林美麗,KELT58,YYYYYYYN");
    // Rights of program "*" stand for programs without a row of their own.
    r = OleCall(object, "GetPower", {Row({"DEMO", "DS", "KELT58", ""})});
    EXPECT_EQ(r[1].ToString(), "000000,陳大順,KELT58,YYYYYYYY");
    r = OleCall(object, "GetPower", {Row({"DEMO", "JOHN", "KELT58", ""})});
    EXPECT_EQ(r[0].ToString(), "N");
    EXPECT_THROW(OleCall(object, "GetPower", {Row({"DEMO", "NOBODY", "KELT58", ""})}), EOleError);
    EXPECT_NE(ErrorDescript().find("NOBODY"), std::string::npos);
}

// A missing configuration still gives an object, whose requests say why they fail.
TEST(ServerObjectWithoutConfiguration, RequestsFailWithTheReason) {
    TempDir dir;
    ScopedEnv reg("NUV_REGISTRY", dir.Write("registry.reg", "REGEDIT4\r\n"));
    DispatchPtr obj = MakeAutoObject<TdmReportCounter>(
        TServerContext::Broken("The server configuration cannot be read: no ServerPath"));
    EXPECT_EQ(OleCall(obj, "Request", {MakeRequest()}).ToString(), "ERROR");
    EXPECT_NE(OleGet(obj, "ErrorDescript").ToString().find("no ServerPath"), std::string::npos);
}

} // namespace

namespace {

// Where the server listens and keeps its files, from TarvelS.ini.
TEST(ServerConfiguration, ReadFromTheServerIni) {
    TempDir dir;
    ScopedEnv reg("NUV_REGISTRY",
                  dir.Write("registry.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\NUV\\"
                                            "Tarvel]\r\n\"ServerPath\"=\"" +
                                                dir / "Srv" + "\"\r\n"));
    dir.Write("Srv/TarvelS.ini", "[DBPasswordCtrl]\r\nServerPort=4711\r\n");
    TServerConfig c = TServerConfig::Load();
    EXPECT_EQ(c.Port, 4711);
    EXPECT_EQ(c.ListenAddress, "127.0.0.1");
    EXPECT_EQ(c.QueueFile, dir / "Srv/Data/ReportQueue.db");
    EXPECT_EQ(c.ErpDatabase, dir / "Srv/Data/demo.db");
    EXPECT_EQ(c.OutputPath, dir / "Srv/Reports/");

    dir.Write("Srv/TarvelS.ini",
              "[DBE Setting]\r\nMainDBName=erp/main.db\r\n"
              "[ReportCounter]\r\nListenAddress=0.0.0.0\r\nOutputPath=/var/out\r\n");
    c = TServerConfig::Load();
    EXPECT_EQ(c.Port, 211);
    EXPECT_EQ(c.ListenAddress, "0.0.0.0");
    EXPECT_EQ(c.ErpDatabase, dir / "Srv/erp/main.db");
    EXPECT_EQ(c.OutputPath, "/var/out/");

    ScopedEnv none("NUV_REGISTRY", dir.Write("empty.reg", "REGEDIT4\r\n"));
    EXPECT_THROW(TServerConfig::Load(), Exception);
}

} // namespace

namespace {

// The in-process server library keeps one context for the dialogs one after another: each new
// object still answers from the database as it is now, also when the file was replaced.
TEST(InProcessServer, EachNewObjectAnswersFromTheDatabaseAsItIsNow) {
    Installation install;
    auto rights = [] {
        DispatchPtr server = CreateOleObject(ReportCounterClassName);
        return OleCall(server, "GetPower", {Row({"DEMO", "MARY", "KELT58", ""})})[1].ToString();
    };
    EXPECT_EQ(rights(), "SALES1,林美麗,KELT58,YYYYYYYN");
    {
        SQLite::Database db(install.ErpFile(), SQLite::OPEN_READWRITE);
        db.exec("UPDATE user_rights SET rights='NNNNNNNN' WHERE user_code='MARY'");
    }
    EXPECT_EQ(rights(), "SALES1,林美麗,KELT58,NNNNNNNN");
    std::filesystem::remove(install.ErpFile());
    CreateErpFixture(install.ErpFile());
    EXPECT_EQ(rights(), "SALES1,林美麗,KELT58,YYYYYYYN") << "the new file, not the one removed";

    // Another installation is another context.
    Installation other;
    {
        SQLite::Database db(other.ErpFile(), SQLite::OPEN_READWRITE);
        db.exec("UPDATE user_rights SET rights='YNYNYNYN' WHERE user_code='MARY'");
    }
    EXPECT_EQ(rights(), "SALES1,林美麗,KELT58,YNYNYNYN");
}

} // namespace
