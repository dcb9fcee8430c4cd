#include "platform/SConnect.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

#include <atomic>

namespace nuv {

const TSimpleObjectBroker::TServerItem* TSimpleObjectBroker::FirstServer() const {
    for (const TServerItem& s : Servers)
        if (s.Enabled)
            return &s;
    return nullptr;
}

namespace detail {

// One open TCP connection and its frame reader; shared by the connection and the server
// object it handed out, so that the object fails cleanly after the connection was closed.
struct SocketChannel {
    std::unique_ptr<QTcpSocket> socket;
    TFrameReader reader;
    std::string endpoint;
    std::string serverName;
    int callTimeout = 60000;

    explicit SocketChannel(std::uint32_t cap) : reader(cap) {}

    bool Open() const { return socket && socket->state() == QAbstractSocket::ConnectedState; }

    void Drop() {
        if (socket) {
            socket->abort();
            socket.reset();
        }
    }

    // Sends one frame and waits for the answering one. what names the call in messages.
    QCborValue RoundTrip(const QCborValue& item, const std::string& what) {
        if (!Open())
            throw EOleError("Cannot call " + what + ": the connection to the application server " +
                            endpoint + " is closed");
        QDeadlineTimer deadline(callTimeout);
        const QByteArray frame = EncodeFrame(item);
        if (frame.size() - 4 > qsizetype(reader.Cap()))
            throw EOleError("Cannot call " + what + ": the call is " +
                            std::to_string(frame.size() - 4) + " bytes, more than the limit of " +
                            std::to_string(reader.Cap()));
        socket->write(frame);
        while (socket->bytesToWrite() > 0) {
            if (!socket->waitForBytesWritten(int(deadline.remainingTime())))
                Lost(what, deadline);
        }
        for (;;) {
            try {
                if (auto reply = reader.Next())
                    return *reply;
            } catch (const EWireError& e) {
                Drop();
                throw EOleError("The application server " + endpoint + " sent a bad answer to " +
                                what + ": " + e.what() + "; the connection was closed");
            }
            if (!socket->waitForReadyRead(int(deadline.remainingTime())))
                Lost(what, deadline);
            reader.Append(socket->readAll());
        }
    }

    [[noreturn]] void Lost(const std::string& what, const QDeadlineTimer& deadline) {
        std::string why;
        if (deadline.hasExpired() || socket->error() == QAbstractSocket::SocketTimeoutError)
            why =
                "did not answer " + what + " within " + std::to_string(callTimeout / 1000.0) + " s";
        else
            why = "broke off during " + what + " (" + socket->errorString().toStdString() + ")";
        Drop();
        throw EOleError("The connection to the application server " + endpoint + " " + why +
                        "; the connection was closed");
    }
};

// The server object of a connection: every call goes over the wire.
class RemoteServer : public IDispatch {
public:
    explicit RemoteServer(std::shared_ptr<SocketChannel> channel) : channel_(std::move(channel)) {}

    void AddRef() override { refs_.fetch_add(1, std::memory_order_relaxed); }
    void Release() override {
        if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }

    int Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args, Variant& result,
               std::string& error) override {
        const std::string what = "'" + std::string(name) + "' of " + channel_->serverName;
        try {
            WireCall call;
            call.Name = std::string(name);
            call.Kind = static_cast<int>(kind);
            for (std::size_t i = 0; i < args.size(); ++i) {
                call.Args.push_back(args[i].Deref());
                if (args[i].IsByRef())
                    call.ByRef.push_back(int(i));
            }
            const WireReply reply = DecodeReply(channel_->RoundTrip(EncodeCall(call), what));
            if (!reply.Ok) {
                error = reply.Error;
                return reply.Code ? reply.Code : InvokeException;
            }
            for (const auto& [i, v] : reply.ByRef)
                if (i >= 0 && std::size_t(i) < args.size() && args[std::size_t(i)].IsByRef())
                    args[std::size_t(i)].Deref() = v;
            result = reply.Result;
            return InvokeOk;
        } catch (const EOleError& e) {
            error = e.what();
            return e.ErrorCode();
        } catch (const Exception& e) {
            error = "Cannot call " + what + ": " + e.what();
            return InvokeException;
        }
    }

private:
    ~RemoteServer() override = default;
    std::atomic<int> refs_{1};
    std::shared_ptr<SocketChannel> channel_;
};

} // namespace detail

TSocketConnection::TSocketConnection() = default;

TSocketConnection::~TSocketConnection() {
    Close();
}

std::string TSocketConnection::Endpoint() const {
    std::string host = !Address.empty() ? Address : Host;
    int port = Port;
    if (host.empty() && ObjectBroker)
        if (const auto* s = ObjectBroker->FirstServer()) {
            host = s->ComputerName;
            port = s->Port;
        }
    return host + ":" + std::to_string(port);
}

bool TSocketConnection::Connected() const {
    return channel_ && channel_->Open();
}

void TSocketConnection::Open() {
    if (Connected())
        return;
    Close();
    std::string host = !Address.empty() ? Address : Host;
    int port = Port;
    if (host.empty() && ObjectBroker)
        if (const auto* s = ObjectBroker->FirstServer()) {
            host = s->ComputerName;
            port = s->Port;
        }
    const std::string endpoint = host + ":" + std::to_string(port);
    if (host.empty())
        throw EOleError("Cannot connect to the application server: no address or host is set");
    if (port <= 0 || port > 65535)
        throw EOleError("Cannot connect to the application server " + endpoint +
                        ": the port is out of range");

    auto ch = std::make_shared<detail::SocketChannel>(FrameCap);
    ch->endpoint = endpoint;
    ch->serverName = ServerName.empty() ? "the application server" : ServerName;
    ch->callTimeout = CallTimeout;
    ch->socket = std::make_unique<QTcpSocket>();
    ch->socket->connectToHost(QString::fromStdString(host), quint16(port));
    if (!ch->socket->waitForConnected(ConnectTimeout)) {
        std::string why = ch->socket->error() == QAbstractSocket::SocketTimeoutError
                              ? "no answer within " + std::to_string(ConnectTimeout / 1000.0) + " s"
                              : ch->socket->errorString().toStdString();
        throw EOleError("Cannot connect to the application server " + endpoint + ": " + why);
    }
    ch->socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (!ServerName.empty()) {
        const WireReply r = DecodeReply(ch->RoundTrip(EncodeOpen(ServerName), "the opening"));
        if (!r.Ok) {
            ch->Drop();
            throw EOleError("The application server " + endpoint + " cannot serve " + ServerName +
                                ": " + r.Error,
                            r.Code ? r.Code : InvokeException);
        }
    }
    channel_ = std::move(ch);
    server_ = DispatchPtr::Adopt(new detail::RemoteServer(channel_));
}

void TSocketConnection::Close() {
    server_.Reset();
    if (channel_) {
        channel_->Drop();
        channel_.reset();
    }
}

Variant TSocketConnection::AppServer() const {
    return Connected() && !ServerName.empty() ? Variant(server_) : Variant();
}

DispatchPtr TSocketConnection::GetServer() const {
    return Connected() && !ServerName.empty() ? server_ : DispatchPtr();
}

} // namespace nuv
