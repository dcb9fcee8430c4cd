#include "platform/WireFormat.h"

#include <QCborArray>
#include <QCborMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtEndian>

#include "platform/Automation.h"
#include "platform/SConnect.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace nuv;

namespace {

Variant Lower1(std::initializer_list<Variant> items) {
    Variant a = Variant::CreateArray({ArrayBounds{1, int(items.size())}});
    int i = 1;
    for (const Variant& v : items)
        a[i++] = v;
    return a;
}

Variant Table2x3() {
    Variant t = Variant::CreateArray({ArrayBounds{0, 1}, ArrayBounds{0, 2}});
    for (int j = 0; j <= 2; ++j) {
        t.Element(0, j) = "Sys00" + std::to_string(j + 1);
        t.Element(1, j) = j;
    }
    return t;
}

struct RoundTripCase {
    const char* name;
    Variant value;
};

// Every kind survives a frame exactly: kind, value, code page, bounds and dimensions.
TEST(WireFormat, EveryVariantKindCrossesAFrameUnchanged) {
    Variant nested = Variant::ArrayOf({std::string(1, '\x05'),
                                       Variant::ArrayOf({"A001", "Bolt", Variant::MakeNull()}),
                                       Variant::ArrayOf({Variant(), 3})});
    const RoundTripCase cases[] = {
        {"unassigned", Variant()},
        {"null", Variant::MakeNull()},
        {"true", Variant(true)},
        {"false", Variant(false)},
        {"int max", Variant(2147483647)},
        {"int min", Variant(int(-2147483647 - 1))},
        {"double", Variant(-0.125)},
        {"date with time", Variant::FromDate(46363.3375)},
        {"no date", Variant::FromDate(0)},
        {"unicode text", Variant("報表 Kelt58 ✓")},
        {"empty text", Variant("")},
        {"byte text 950", Variant::FromBytes("\xb3\xf8\xaa\xed", 950)},
        {"byte text with NUL", Variant::FromBytes(std::string("a\0b", 3), 936)},
        {"lower bound 1", Lower1({"KELT58", 14, Variant::FromDate(46363.5)})},
        {"negative bounds", Variant::CreateArray({ArrayBounds{-2, 0}})},
        {"empty array", Variant::CreateArray({ArrayBounds{1, 0}})},
        {"two dimensions", Table2x3()},
        {"nested list value", nested},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TFrameReader reader;
        reader.Append(EncodeFrame(VariantToCbor(c.value)));
        auto item = reader.Next();
        ASSERT_TRUE(item);
        Variant back = CborToVariant(*item);
        EXPECT_TRUE(back.SameAs(c.value)) << back.TypeName() << " " << back.ToString();
        EXPECT_EQ(reader.Pending(), 0);
    }
}

TEST(WireFormat, NullAndUnassignedStayApartInsideArrays) {
    Variant a = Variant::ArrayOf({Variant(), Variant::MakeNull()});
    Variant back = CborToVariant(VariantToCbor(a));
    EXPECT_TRUE(back[0].IsEmpty());
    EXPECT_TRUE(back[1].IsNull());
}

TEST(WireFormat, ByReferenceVariantTravelsAsItsTarget) {
    Variant target = Lower1({"x"});
    Variant ref = Variant::ByRef(target);
    EXPECT_TRUE(CborToVariant(VariantToCbor(ref)).SameAs(target));
}

TEST(WireFormat, AutomationObjectCannotBeSent) {
    class Obj : public TAutoObject {};
    Variant v(MakeAutoObject<Obj>());
    EXPECT_THROW(VariantToCbor(v), EWireError);
}

QCborValue Tagged(quint64 tag, QCborValue body) {
    return QCborValue(QCborTag(tag), body);
}

struct BadValueCase {
    const char* name;
    QCborValue item;
    const char* message; // part of the error text
};

// Every CBOR form outside the table is refused with a text that names the fault.
TEST(WireFormat, ValuesOutsideTheTableAreRefused) {
    QCborValue deep = Tagged(WireTagArray, QCborArray{QCborArray{0, 0}, QCborArray{1}});
    for (int i = 0; i < MaxWireNesting; ++i)
        deep = Tagged(WireTagArray, QCborArray{QCborArray{0, 0}, QCborArray{deep}});
    const BadValueCase cases[] = {
        {"map", QCborMap{{1, 2}}, "map"},
        {"bare byte string", QCborValue(QByteArray("ab")), "byte string"},
        {"bare array", QCborArray{1, 2}, "array"},
        {"integer above 32 bits", QCborValue(qint64(1) << 31), "does not fit"},
        {"unknown tag", Tagged(55899, 1), "Unknown CBOR tag"},
        {"date of text", Tagged(WireTagDate, "2026-12-07"), "date"},
        {"byte text without code page", Tagged(WireTagByteText, QCborArray{QByteArray("x")}),
         "byte text"},
        {"byte text code page out of range",
         Tagged(WireTagByteText, QCborArray{70000, QByteArray("x")}), "code page"},
        {"three dimensions",
         Tagged(WireTagArray, QCborArray{QCborArray{0, 0, 0, 0, 0, 0}, QCborArray{1}}),
         "dimensions"},
        {"bounds claim more than it holds",
         Tagged(WireTagArray, QCborArray{QCborArray{0, 1999999999}, QCborArray{1}}), "holds 1"},
        {"two dimensions claim more than they hold",
         Tagged(WireTagArray, QCborArray{QCborArray{0, 65535, 0, 65535}, QCborArray{1, 2}}),
         "holds 2"},
        {"high below low", Tagged(WireTagArray, QCborArray{QCborArray{5, 2}, QCborArray{}}),
         "high bound"},
        {"bound is text", Tagged(WireTagArray, QCborArray{QCborArray{"0", 0}, QCborArray{1}}),
         "32-bit"},
        {"too deeply nested", deep, "nested deeper"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            CborToVariant(c.item);
            ADD_FAILURE() << "accepted";
        } catch (const EWireError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

QByteArray LengthPrefix(quint32 n) {
    QByteArray b(4, Qt::Uninitialized);
    qToBigEndian(n, b.data());
    return b;
}

TEST(WireFormat, OversizeFrameIsRefusedFromItsLengthAlone) {
    TFrameReader reader(1024);
    reader.Append(LengthPrefix(1025));
    try {
        reader.Next();
        FAIL() << "accepted";
    } catch (const EWireError& e) {
        EXPECT_NE(std::string(e.what()).find("exceeds the limit of 1024"), std::string::npos);
    }
}

TEST(WireFormat, MalformedFramesAreRefused) {
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty frame", LengthPrefix(0)},
        {"truncated item", LengthPrefix(3) + QByteArray("\x83\x01\x02", 3)},
        {"two items in one frame", LengthPrefix(2) + QByteArray("\x01\x02", 2)},
        {"invalid UTF-8 text", LengthPrefix(3) + QByteArray("\x62\xc3\x28", 3)},
        {"absurd declared array length",
         LengthPrefix(9) + QByteArray("\x9b\x7f\xff\xff\xff\xff\xff\xff\xff", 9)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TFrameReader reader;
        reader.Append(c.bytes);
        EXPECT_THROW(reader.Next(), EWireError);
    }
    // CBOR nested far deeper than any value may be: refused without exhausting the stack.
    {
        const QByteArray deep = QByteArray(200000, '\x81') + QByteArray(1, '\x01');
        TFrameReader reader;
        reader.Append(LengthPrefix(quint32(deep.size())) + deep);
        EXPECT_THROW(reader.Next(), EWireError);
    }
}

// A frame that arrives byte by byte is whole only with its last byte, and the next frame
// behind it is read as well.
TEST(WireFormat, FramesArrivingByteByByteAreReassembled) {
    WireCall call{"Request", 0, {Lower1({"KELT58"}), Variant::MakeNull()}, {1}};
    QByteArray bytes = EncodeFrame(EncodeCall(call)) + EncodeFrame(EncodeOpen("X.Y"));
    TFrameReader reader;
    std::vector<QCborValue> got;
    for (char b : bytes) {
        reader.Append(&b, 1);
        while (auto item = reader.Next())
            got.push_back(*item);
    }
    ASSERT_EQ(got.size(), 2u);
    WireRequest first = DecodeRequest(got[0]);
    EXPECT_FALSE(first.IsOpen);
    EXPECT_EQ(first.Call.Name, "Request");
    EXPECT_TRUE(first.Call.Args[0].SameAs(call.Args[0]));
    EXPECT_EQ(first.Call.ByRef, std::vector<int>{1});
    WireRequest second = DecodeRequest(got[1]);
    EXPECT_TRUE(second.IsOpen);
    EXPECT_EQ(second.ServerName, "X.Y");
}

TEST(WireFormat, RepliesCarryResultByReferenceValuesOrError) {
    WireReply ok;
    ok.Result = "Job 12";
    ok.ByRef = {{2, Table2x3()}};
    WireReply back = DecodeReply(EncodeReply(ok));
    EXPECT_TRUE(back.Ok);
    EXPECT_EQ(back.Result.ToString(), "Job 12");
    ASSERT_EQ(back.ByRef.size(), 1u);
    EXPECT_EQ(back.ByRef[0].first, 2);
    EXPECT_TRUE(back.ByRef[0].second.SameAs(Table2x3()));

    WireReply err;
    err.Ok = false;
    err.Error = "Method 'Nope' not supported";
    err.Code = InvokeUnknownName;
    back = DecodeReply(EncodeReply(err));
    EXPECT_FALSE(back.Ok);
    EXPECT_EQ(back.Error, err.Error);
    EXPECT_EQ(back.Code, InvokeUnknownName);
}

TEST(WireFormat, CallsWithBadShapeAreRefused) {
    const QCborValue cases[] = {
        QCborValue("Request"),
        QCborMap{{"call", 5}},
        QCborMap{{"call", "Request"}, {"kind", 7}, {"args", QCborArray{}}},
        QCborMap{{"call", "Request"}, {"kind", 0}},
        QCborMap{
            {"call", "Request"}, {"kind", 0}, {"args", QCborArray{1}}, {"byref", QCborArray{1}}},
    };
    for (const QCborValue& c : cases)
        EXPECT_THROW(DecodeRequest(c), EWireError);
}

// --- the connection's limits ------------------------------------------------------------------

TEST(SocketConnection, RefusedConnectionNamesTheEndpoint) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const int port = probe.serverPort();
    probe.close(); // nothing listens there now
    TSocketConnection c;
    c.Address = "127.0.0.1";
    c.Port = port;
    c.ServerName = "ReportCounterS.dmReportCounter";
    try {
        c.Open();
        FAIL() << "connected";
    } catch (const EOleError& e) {
        EXPECT_NE(std::string(e.what()).find("127.0.0.1:" + std::to_string(port)),
                  std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(c.Connected());
    EXPECT_TRUE(c.AppServer().IsEmpty());
}

// A server that accepts the connection but never answers: the call ends at its time limit
// with a clear error and the connection is closed.
TEST(SocketConnection, SilentServerEndsTheCallAtItsTimeLimit) {
    QTcpServer silent; // the kernel completes the handshake; nobody ever reads or answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    TSocketConnection c;
    c.Address = "127.0.0.1";
    c.Port = silent.serverPort();
    c.CallTimeout = 300;
    try {
        c.ServerName = "ReportCounterS.dmReportCounter";
        c.Open();
        FAIL() << "opened";
    } catch (const EOleError& e) {
        EXPECT_NE(std::string(e.what()).find("did not answer"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(c.Connected());
}

// A server in a thread that answers the opening, then one call: it checks that the call
// carries its by-reference argument and answers a new value for it.
TEST(SocketConnection, ByReferenceArgumentsComeBackOverTheWire) {
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    const int port = listener.serverPort();
    listener.close();
    std::string seen;
    std::thread server([port, &seen] {
        QTcpServer srv;
        srv.listen(QHostAddress::LocalHost, quint16(port));
        if (!srv.waitForNewConnection(10000))
            return;
        QTcpSocket* s = srv.nextPendingConnection();
        TFrameReader reader;
        for (int answered = 0; answered < 2 && s->waitForReadyRead(10000);) {
            reader.Append(s->readAll());
            while (auto item = reader.Next()) {
                WireRequest req = DecodeRequest(*item);
                WireReply reply;
                if (!req.IsOpen) {
                    seen = req.Call.Name + " " + req.Call.Args[1].ToString() + " byref " +
                           std::to_string(req.Call.ByRef.at(0));
                    reply.Result = true;
                    reply.ByRef = {{1, Table2x3()}};
                }
                s->write(EncodeFrame(EncodeReply(reply)));
                s->waitForBytesWritten(10000);
                ++answered;
            }
        }
        s->waitForDisconnected(10000);
    });
    TSocketConnection c;
    c.Address = "127.0.0.1";
    c.Port = port;
    c.ServerName = "Test.Server";
    // The thread may not listen yet: try for a while.
    for (int i = 0; i < 100 && !c.Connected(); ++i) {
        try {
            c.Open();
        } catch (const EOleError&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    ASSERT_TRUE(c.Connected());
    Variant table = "before";
    Variant result = OleCall(c.GetServer(), "GetSysInfo", {"NUV01", Variant::ByRef(table)});
    EXPECT_TRUE(result.ToBool());
    EXPECT_TRUE(table.SameAs(Table2x3()));
    c.Close();
    server.join();
    EXPECT_EQ(seen, "GetSysInfo before byref 1");
}

TEST(SocketConnection, NoAddressIsAClearError) {
    TSocketConnection c;
    TSimpleObjectBroker broker;
    broker.Servers.push_back({"", 211, false});
    c.ObjectBroker = &broker;
    EXPECT_THROW(c.Open(), EOleError);
}

} // namespace
