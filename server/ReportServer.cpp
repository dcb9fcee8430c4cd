#include "ReportServer.h"

#include "platform/AsciiText.h"
#include "support/NUVLIB.h"

#include <QTcpSocket>

#include <cstdio>
#include <utility>

namespace nuv {

void ServerLog(const std::string& text) {
    std::fprintf(stderr, "reportcounterd: %s\n", text.c_str());
    WriteAlertLog("ReportCounterD", text, "D");
}

struct TReportServer::Session {
    QTcpSocket* socket = nullptr; // owned; deleted later by Qt
    TFrameReader reader;
    DispatchPtr object;
    TdmReportCounter* counter = nullptr; // the object, for the group-committed requests
    bool busy = false;                   // a request waits for the commit
    bool closed = false;
    QTimer stall;
    std::string peer;

    explicit Session(std::uint32_t cap) : reader(cap) {}
};

TReportServer::TReportServer(std::shared_ptr<TServerContext> context, TJobRunner* runner)
    : context_(std::move(context)), runner_(runner) {
    QObject::connect(&server_, &QTcpServer::newConnection, [this] { Accept(); });
    runTimer_.setInterval(1000);
    QObject::connect(&runTimer_, &QTimer::timeout, [this] { RunDueJobs(); });
}

TReportServer::~TReportServer() {
    Stop();
}

void TReportServer::Listen(const std::string& address, int port) {
    QHostAddress addr;
    if (!addr.setAddress(QString::fromStdString(address)))
        throw Exception("The listen address '" + address + "' is not an IP address");
    if (!server_.listen(addr, quint16(port)))
        throw Exception("Cannot listen on " + address + ":" + std::to_string(port) + ": " +
                        server_.errorString().toStdString());
    if (runner_)
        runTimer_.start();
}

int TReportServer::Port() const {
    return server_.serverPort();
}

void TReportServer::Stop() {
    runTimer_.stop();
    if (!pending_.empty())
        Flush();
    server_.close();
    for (auto& s : sessions_) {
        s->closed = true;
        s->stall.stop();
        if (QTcpSocket* sock = std::exchange(s->socket, nullptr)) {
            sock->disconnect();
            sock->flush();
            sock->disconnectFromHost();
            sock->deleteLater();
        }
    }
    sessions_.clear();
}

void TReportServer::RunDueJobs() {
    if (!runner_)
        return;
    try {
        // A few runs at a time, so that clients are answered between them.
        const auto s = runner_->RunDue(NowText(), 8);
        if (s.Failed)
            ServerLog(std::to_string(s.Failed) + " of " + std::to_string(s.Runs) +
                      " runs failed; see \"reportcounterd jobs\"");
        if (s.More && !runQueued_) {
            runQueued_ = true;
            QTimer::singleShot(0, &server_, [this] {
                runQueued_ = false;
                RunDueJobs();
            });
        }
    } catch (const Exception& e) {
        ServerLog(std::string("The runner stopped: ") + e.what());
    }
}

void TReportServer::Accept() {
    while (QTcpSocket* sock = server_.nextPendingConnection()) {
        auto s = std::make_shared<Session>(context_->Config().FrameCap);
        s->socket = sock;
        s->peer =
            sock->peerAddress().toString().toStdString() + ":" + std::to_string(sock->peerPort());
        sock->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        s->stall.setSingleShot(true);
        std::weak_ptr<Session> weak = s;
        QObject::connect(&s->stall, &QTimer::timeout, [this, weak] {
            if (auto p = weak.lock())
                Abandon(p, "A frame was not completed within " +
                               std::to_string(context_->Config().FrameTimeoutMs / 1000) + " s");
        });
        QObject::connect(sock, &QTcpSocket::readyRead, [this, weak] {
            if (auto p = weak.lock())
                Feed(p);
        });
        QObject::connect(sock, &QTcpSocket::disconnected, [this, weak] {
            if (auto p = weak.lock()) {
                p->closed = true;
                p->stall.stop();
                if (p->socket) {
                    p->socket->deleteLater();
                    p->socket = nullptr;
                }
                std::erase(sessions_, p);
            }
        });
        sessions_.push_back(std::move(s));
    }
}

void TReportServer::Feed(const std::shared_ptr<Session>& s) {
    if (s->closed || !s->socket)
        return;
    s->reader.Append(s->socket->readAll());
    Process(s);
}

void TReportServer::Process(const std::shared_ptr<Session>& s) {
    while (!s->busy && !s->closed) {
        std::optional<QCborValue> item;
        try {
            item = s->reader.Next();
        } catch (const EWireError& e) {
            Abandon(s, e.what());
            return;
        }
        if (!item)
            break;
        Handle(s, *item);
    }
    if (s->closed)
        return;
    // A started frame must be completed in time; whole frames waiting behind a request do not
    // count as started.
    if (!s->busy && s->reader.Pending() > 0) {
        if (!s->stall.isActive())
            s->stall.start(context_->Config().FrameTimeoutMs);
    } else {
        s->stall.stop();
    }
}

void TReportServer::Send(const std::shared_ptr<Session>& s, const WireReply& reply) {
    if (s->closed || !s->socket)
        return;
    QByteArray frame;
    try {
        frame = EncodeFrame(EncodeReply(reply));
    } catch (const EWireError& e) {
        WireReply err;
        err.Ok = false;
        err.Error = std::string("The answer cannot be sent: ") + e.what();
        err.Code = InvokeException;
        frame = EncodeFrame(EncodeReply(err));
    }
    s->socket->write(frame);
}

void TReportServer::Abandon(const std::shared_ptr<Session>& s, const std::string& why) {
    ServerLog("Connection " + s->peer + " closed: " + why);
    WireReply err;
    err.Ok = false;
    err.Error = why + "; the connection is closed";
    err.Code = InvokeException;
    Send(s, err);
    s->closed = true;
    s->stall.stop();
    if (QTcpSocket* sock = std::exchange(s->socket, nullptr)) {
        sock->disconnect();
        QObject::connect(sock, &QTcpSocket::disconnected, sock, &QObject::deleteLater);
        sock->disconnectFromHost(); // after what was written has gone out
        if (sock->state() == QAbstractSocket::UnconnectedState)
            sock->deleteLater();
    }
    std::erase(sessions_, s);
}

void TReportServer::Handle(const std::shared_ptr<Session>& s, const QCborValue& item) {
    WireRequest req;
    WireReply reply;
    try {
        req = DecodeRequest(item);
    } catch (const EWireError& e) {
        reply.Ok = false;
        reply.Error = e.what();
        reply.Code = InvokeTypeMismatch;
        Send(s, reply);
        return;
    }
    if (req.IsOpen) {
        if (UpperAscii(req.ServerName) != UpperAscii(ReportCounterClassName)) {
            reply.Ok = false;
            reply.Error = "This server serves " + std::string(ReportCounterClassName) + ", not '" +
                          req.ServerName + "'";
            reply.Code = static_cast<int>(0x800401F3);
        } else if (!s->object) {
            auto* obj = new TdmReportCounter(context_);
            s->counter = obj;
            s->object = DispatchPtr::Adopt(obj);
        }
        Send(s, reply);
        return;
    }
    if (!s->object) {
        reply.Ok = false;
        reply.Error = "No server object is open on this connection";
        reply.Code = static_cast<int>(0x80004003);
        Send(s, reply);
        return;
    }
    WireCall& call = req.Call;
    if (UpperAscii(call.Name) == "REQUEST" && call.Kind == int(InvokeKind::Method) &&
        call.Args.size() == 1) {
        auto job = s->counter->Prepare(call.Args[0]);
        if (!job) {
            reply.Result = "ERROR";
            Send(s, reply);
            return;
        }
        pending_.push_back({s, std::move(*job)});
        s->busy = true;
        if (CommitEach) {
            Flush();
        } else if (!flushQueued_) {
            flushQueued_ = true;
            QTimer::singleShot(0, &server_, [this] { Flush(); });
        }
        return;
    }
    // Any other call: invoked on the object, by-reference arguments sent back.
    std::vector<Variant> values = std::move(call.Args);
    std::vector<Variant> args(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        args[i] = values[i];
    for (int i : call.ByRef)
        args[std::size_t(i)] = Variant::ByRef(values[std::size_t(i)]);
    std::string error;
    const int rc =
        s->object->Invoke(call.Name, static_cast<InvokeKind>(call.Kind), args, reply.Result, error);
    if (rc != InvokeOk) {
        reply.Ok = false;
        reply.Error = error;
        reply.Code = rc;
    } else {
        for (int i : call.ByRef)
            reply.ByRef.emplace_back(i, values[std::size_t(i)]);
    }
    Send(s, reply);
}

void TReportServer::Flush() {
    flushQueued_ = false;
    std::vector<PendingRequest> batch = std::move(pending_);
    pending_.clear();
    if (batch.empty())
        return;
    std::vector<TJobRecord> jobs;
    jobs.reserve(batch.size());
    for (const auto& p : batch)
        jobs.push_back(p.job);
    std::vector<std::int64_t> ids;
    std::string failure;
    try {
        ids = context_->Store().AddJobs(jobs);
    } catch (const Exception& e) {
        failure = e.what();
        ServerLog(failure);
    }
    bool runSoon = false;
    for (std::size_t i = 0; i < batch.size(); ++i) {
        auto& s = batch[i].session;
        WireReply reply;
        if (failure.empty()) {
            reply.Result = s->counter->Accepted(batch[i].job, ids[i]);
            runSoon = runSoon || batch[i].job.RunMode != 2;
        } else {
            reply.Result = s->counter->Refused(failure);
        }
        s->busy = false;
        Send(s, reply);
    }
    for (auto& p : batch)
        Process(p.session); // frames that arrived behind the request
    if (runSoon && runner_ && !runQueued_) {
        runQueued_ = true;
        QTimer::singleShot(0, &server_, [this] {
            runQueued_ = false;
            RunDueJobs();
        });
    }
}

} // namespace nuv
