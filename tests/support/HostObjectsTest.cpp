#include "support/HostObjects.h"

#include "FakeAutomation.h"
#include "platform/TestFiles.h"

#include <gtest/gtest.h>

#include <functional>

using namespace nuv;
using nuv::test::FakeObject;
using nuv::test::RecordedArg;

namespace {

RecordedArg ByVal(Variant v) {
    return {false, std::move(v)};
}
RecordedArg ByRef(Variant v) {
    return {true, std::move(v)};
}

std::string Describe(const Variant& v) {
    if (!v.IsArray())
        return std::string(v.TypeName()) + " " + (v.IsObject() ? "" : v.ToString());
    std::string s = "[";
    for (int i = v.ArrayLowBound(); i <= v.ArrayHighBound(); ++i)
        s += (i > v.ArrayLowBound() ? ", " : "") + Describe(v[i]);
    return s + "]";
}

// One late-bound call: what the object serves, how the library calls it, and what must arrive.
struct CallShape {
    const char* label;
    bool property;  // the member is a property (read), not a method
    Variant answer; // what the object answers
    std::function<Variant(const Variant& obj)> call;
    const char* name;
    std::vector<RecordedArg> args;
    Variant result;
};

std::vector<CallShape> CallShapes() {
    const Variant params12 =
        Variant::ArrayOf({"INVMB", "01", Variant::ArrayOf({"A"}), false, "", "SD", "DS", 9,
                          Variant::MakeNull(), Variant::MakeNull(), true, false});
    const Variant request = Variant::ArrayOf({Variant::ArrayOf({"KELT58"}), 1});
    return {
        {"Manager.Connect",
         false,
         Variant(),
         [](const Variant& m) {
             ManagerConnect(m);
             return Variant();
         },
         "Connect",
         {},
         Variant()},
        {"Manager.VersionType",
         true,
         Variant("3"),
         [](const Variant& m) { return Variant(ManagerVersionType(m)); },
         "VersionType",
         {},
         Variant(3)},
        {"Manager.CallHelp",
         false,
         Variant(),
         [](const Variant& m) {
             ManagerCallHelp(m, "ABC", "12120000");
             return Variant();
         },
         "CallHelp",
         {ByVal(Variant::ArrayOf({"ABC", "12120000"}))},
         Variant()},
        {"Manager.GetMessage",
         false,
         Variant("Field %s is required"),
         [](const Variant& m) { return Variant(ManagerGetMessage(m, "E", "000015")); },
         "GetMessage",
         {ByVal("E"), ByVal("000015")},
         Variant("Field %s is required")},
        {"Manager.BIG5toGB by reference",
         false,
         Variant("gb"),
         [](const Variant& m) {
             Variant v("big5");
             return ManagerConvertValue(m, TConvertCall::BIG5toGB, v);
         },
         "BIG5toGB",
         {ByRef("big5")},
         Variant("gb")},
        {"Manager.GBtoBig5 of an element",
         false,
         Variant("big5"),
         [](const Variant& m) { return ManagerConvertElement(m, TConvertCall::GBtoBig5, "gb"); },
         "GBtoBig5",
         {ByVal("gb")},
         Variant("big5")},
        {"Manager.Big5ToGB of a text",
         false,
         Variant("gb"),
         [](const Variant& m) {
             std::string s = "big5";
             return Variant(ManagerBig5ToGBText(m, s));
         },
         "Big5ToGB",
         {ByRef("big5")},
         Variant("gb")},
        {"VarManager.GetSysInfo",
         false,
         Variant::ArrayOf({"table"}),
         [](const Variant& o) {
             std::string company = "SD";
             return VarManagerGetSysInfo(o, company);
         },
         "GetSysInfo",
         {ByRef("SD")},
         Variant::ArrayOf({"table"})},
        {"Validator.CheckValue",
         false,
         Variant(true),
         [](const Variant& o) {
             std::string t = "ADMMB", k = "01", ds = "DS";
             Variant params = Variant::ArrayOf({"KELT58"}), row;
             return Variant(ValidatorCheckValue(o, t, k, ds, params, row));
         },
         "CheckValue",
         {ByRef("ADMMB"), ByRef("01"), ByRef("DS"), ByRef(Variant::ArrayOf({"KELT58"})),
          ByRef(Variant())},
         Variant(true)},
        {"Validator.QueryData",
         false,
         Variant(0),
         [](const Variant& o) {
             std::string t = "CMSMT", k = "02", ds = "DS";
             Variant params = Variant::ArrayOf({"1"}), rows;
             return Variant(ValidatorQueryData(o, t, k, ds, params, rows));
         },
         "QueryData",
         {ByRef("CMSMT"), ByRef("02"), ByRef("DS"), ByRef(Variant::ArrayOf({"1"})),
          ByRef(Variant())},
         Variant(false)},
        {"F2Window.F2GetData",
         false,
         Variant("A001"),
         [params12](const Variant& o) { return F2WindowF2GetData(o, params12); },
         "F2GetData",
         {ByVal(params12)},
         Variant("A001")},
        {"Counter.GetCounter upper-cases the name",
         false,
         Variant("answer"),
         [](const Variant& o) {
             Variant value = Variant::ArrayOf({"NU", "1"});
             return CounterGetCounter(o, "GetUserDEFOption", value, "SD", "DS");
         },
         "GetCounter",
         {ByVal("GETUSERDEFOPTION"), ByRef(Variant::ArrayOf({"NU", "1"})),
          ByVal(Variant::ArrayOf({"SD", "DS"}))},
         Variant("answer")},
        {"Phrase.GetPhrase",
         false,
         Variant("phrase"),
         [](const Variant& o) {
             std::string user = "NU", ds = "DS";
             return Variant(PhraseGetPhrase(o, user, ds, 77));
         },
         "GetPhrase",
         {ByRef("NU"), ByRef("DS"), ByVal(77)},
         Variant("phrase")},
        {"InputDay.ShowInputDay",
         false,
         Variant("20261210"),
         [](const Variant& o) { return Variant(InputDayShowInputDay(o, true, "20261201", "DS")); },
         "ShowInputDay",
         {ByVal(Variant::ArrayOf({true, "20261201", "DS"}))},
         Variant("20261210")},
        {"Server.Request",
         false,
         Variant("Job 17 queued"),
         [request](const Variant& o) { return Variant(ServerRequest(o, request)); },
         "Request",
         {ByVal(request)},
         Variant("Job 17 queued")},
        {"Server.ErrorDescript",
         true,
         Variant("disk full"),
         [](const Variant& o) { return Variant(ServerErrorDescript(o)); },
         "ErrorDescript",
         {},
         Variant("disk full")},
        {"Server.GetPower",
         false,
         Variant::ArrayOf({"", "000000,a,b,xxxxxxNY"}),
         [](const Variant& o) { return ServerGetPower(o, "DS", "NU", "KELT58"); },
         "GetPower",
         {ByVal(Variant::ArrayOf({"DS", "NU", "KELT58", ""}))},
         Variant::ArrayOf({"", "000000,a,b,xxxxxxNY"})},
    };
}

TEST(HostObjects, EachCallPassesItsArgumentsInOrderAndManner) {
    for (const CallShape& c : CallShapes()) {
        SCOPED_TRACE(c.label);
        FakeObject fake;
        if (c.property)
            fake.object->Property(c.name, c.answer);
        else
            fake.object->Method(c.name, [answer = c.answer](std::span<Variant>) { return answer; });

        Variant result = c.call(fake.held);

        ASSERT_EQ(fake.log->size(), 1u);
        const auto& call = fake.log->front();
        EXPECT_EQ(call.name, c.name);
        EXPECT_EQ(call.kind, c.property ? InvokeKind::PropertyGet : InvokeKind::Method);
        ASSERT_EQ(call.args.size(), c.args.size());
        for (std::size_t i = 0; i < c.args.size(); ++i) {
            EXPECT_EQ(call.args[i].byRef, c.args[i].byRef) << "argument " << i;
            EXPECT_TRUE(call.args[i].value.SameAs(c.args[i].value))
                << "argument " << i << ": " << Describe(call.args[i].value) << " instead of "
                << Describe(c.args[i].value);
        }
        EXPECT_TRUE(result.SameAs(c.result)) << Describe(result);
    }
}

TEST(HostObjects, WhatTheObjectWritesIntoReferencesReachesTheCaller) {
    FakeObject validator;
    validator.object->Method("CheckValue", [](std::span<Variant> a) {
        a[4].Deref() = Variant::ArrayOf({"Kelt58 report", "x"});
        return Variant(true);
    });
    std::string table = "ADMMB", key = "01", ds = "DS";
    Variant params = Variant::ArrayOf({"KELT58"}), row;
    EXPECT_TRUE(ValidatorCheckValue(validator.held, table, key, ds, params, row));
    ASSERT_TRUE(row.IsArray());
    EXPECT_EQ(row[0].ToString(), "Kelt58 report");

    FakeObject counter;
    counter.object->Method("GetCounter", [](std::span<Variant> a) {
        a[1].Deref() = 42;
        return Variant(43);
    });
    Variant value = 41;
    EXPECT_EQ(CounterGetCounter(counter.held, "inv", value, "SD", "DS").ToInt(), 43);
    EXPECT_EQ(value.ToInt(), 42);

    // Texts passed by reference come back as texts, whatever the object stored.
    FakeObject manager;
    manager.object->Method("Big5ToGB", [](std::span<Variant> a) {
        a[0].Deref() = 7;
        return Variant("converted");
    });
    std::string text = "original";
    EXPECT_EQ(ManagerBig5ToGBText(manager.held, text), "converted");
    EXPECT_EQ(text, "7");
}

// Calls on an object that is not there are not made and give the caller's neutral result.
TEST(HostObjects, WithoutAnObjectEachCallGivesItsNeutralResult) {
    struct Neutral {
        const char* label;
        std::function<Variant(const Variant& obj)> call;
        Variant expected;
    };
    const Neutral cases[] = {
        {"VersionType", [](const Variant& o) { return Variant(ManagerVersionType(o)); },
         Variant(0)},
        {"GetMessage", [](const Variant& o) { return Variant(ManagerGetMessage(o, "E", "1")); },
         Variant("")},
        {"service", [](const Variant& o) { return ManagerService(o, TManagerService::Counter); },
         Variant()},
        {"BIG5toGB keeps the value",
         [](const Variant& o) {
             Variant v = "text";
             return ManagerConvertValue(o, TConvertCall::BIG5toGB, v);
         },
         Variant("text")},
        {"GBtoBig5 keeps the element",
         [](const Variant& o) { return ManagerConvertElement(o, TConvertCall::GBtoBig5, 5); },
         Variant(5)},
        {"Big5ToGB keeps the text",
         [](const Variant& o) {
             std::string s = "text";
             return Variant(ManagerBig5ToGBText(o, s));
         },
         Variant("text")},
        {"GetSysInfo",
         [](const Variant& o) {
             std::string c = "SD";
             return VarManagerGetSysInfo(o, c);
         },
         Variant()},
        {"CheckValue",
         [](const Variant& o) {
             std::string t, k, d;
             Variant p, r;
             return Variant(ValidatorCheckValue(o, t, k, d, p, r));
         },
         Variant(false)},
        {"F2GetData", [](const Variant& o) { return F2WindowF2GetData(o, Variant()); }, Variant()},
        {"GetCounter",
         [](const Variant& o) {
             Variant v;
             return CounterGetCounter(o, "X", v, "SD", "DS");
         },
         Variant()},
        {"GetPhrase",
         [](const Variant& o) {
             std::string u, d;
             return Variant(PhraseGetPhrase(o, u, d, 0));
         },
         Variant("")},
        {"ShowInputDay",
         [](const Variant& o) { return Variant(InputDayShowInputDay(o, false, "", "")); },
         Variant("")},
        {"ErrorDescript", [](const Variant& o) { return Variant(ServerErrorDescript(o)); },
         Variant("")},
        {"GetPower", [](const Variant& o) { return ServerGetPower(o, "", "", ""); }, Variant()},
    };
    const Variant notObjects[] = {Variant(), Variant::MakeNull(), Variant("Manager")};
    for (const Variant& obj : notObjects)
        for (const Neutral& c : cases) {
            SCOPED_TRACE(std::string(c.label) + " on " + obj.TypeName());
            Variant result;
            ASSERT_NO_THROW(result = c.call(obj));
            EXPECT_TRUE(result.SameAs(c.expected)) << Describe(result);
        }
    EXPECT_NO_THROW(ManagerConnect(Variant()));
    EXPECT_NO_THROW(ManagerCallHelp(Variant(), "ABC", "1"));
    EXPECT_FALSE(IsObjectAssigned(Variant::MakeNull()));
}

TEST(HostObjects, RequestWithoutAServerIsRefusedNotAccepted) {
    // An empty reply would read as an accepted request that never reached a server.
    EXPECT_EQ(ServerRequest(Variant(), Variant::ArrayOf({1})), RequestRefused);
}

TEST(HostObjects, AFailingCallReachesTheCaller) {
    FakeObject server;
    server.object->Method(
        "Request", [](std::span<Variant>) -> Variant { throw Exception("queue is closed"); });
    try {
        ServerRequest(server.held, Variant::ArrayOf({1}));
        FAIL() << "no exception";
    } catch (const EOleError& e) {
        EXPECT_NE(std::string(e.what()).find("queue is closed"), std::string::npos) << e.what();
    }
    // A member the object lacks fails the same way.
    EXPECT_THROW(ManagerGetMessage(server.held, "E", "000001"), EOleError);
}

TEST(HostObjects, ServicesThatCannotBeObtainedStayUnassigned) {
    FakeObject manager;
    FakeObject validator("Validator");
    manager.object->Property("Com_Validator", validator.held);
    manager.object->Property("Com_Phrase", Variant("not an object"));
    manager.object->Method("Com_Counter", [](std::span<Variant>) -> Variant {
        throw Exception("counter service is down");
    });

    Variant v = ManagerService(manager.held, TManagerService::Validator);
    EXPECT_TRUE(v.SameAs(validator.held));
    EXPECT_TRUE(ManagerService(manager.held, TManagerService::Phrase).IsEmpty());
    EXPECT_TRUE(ManagerService(manager.held, TManagerService::Counter).IsEmpty());
    EXPECT_TRUE(ManagerService(manager.held, TManagerService::F2Window).IsEmpty()) << "no member";
    EXPECT_STREQ(ManagerServiceProperty(TManagerService::VarManager), "Com_VarManager");
}

TEST(HostObjects, CreationFailuresLeaveTheObjectUnassigned) {
    nuv::test::TempDir dir;
    nuv::test::ScopedEnv registry("NUV_REGISTRY", dir.Write("empty.reg", "REGEDIT4\r\n"));

    FakeObject picker("InputDay");
    RegisterOleFactory(InputDayClassName, [&] { return picker.held.ToDispatch(); });
    EXPECT_TRUE(CreateAutomationObject("inputdayc.class1").SameAs(picker.held));
    UnregisterOleFactory(InputDayClassName);

    RegisterOleFactory(ManagerClassName, [] { return DispatchPtr(); });
    EXPECT_TRUE(CreateAutomationObject(ManagerClassName).IsEmpty()) << "factory gave nothing";
    UnregisterOleFactory(ManagerClassName);

    EXPECT_TRUE(CreateAutomationObject(ReportServerName).IsEmpty()) << "class not registered";
    EXPECT_TRUE(CreateAutomationObject("").IsEmpty()) << "no class name";
}

TEST(HostObjects, AWindowHandleBeyondThirtyTwoBitsTravelsWhole) {
    FakeObject phrase;
    phrase.object->Method("GetPhrase", [](std::span<Variant>) { return Variant(""); });
    std::string user = "NU", ds = "DS";
    const std::intptr_t big = std::intptr_t{1} << 40;
    PhraseGetPhrase(phrase.held, user, ds, big);
    ASSERT_EQ(phrase.log->size(), 1u);
    EXPECT_EQ(phrase.log->front().args[2].value.ToDouble(), static_cast<double>(big));
}

} // namespace
