// ReportServer: the network side of reportcounterd.
//
// Listens for clients; each connection gets its own "ReportCounterS.dmReportCounter" object
// once it opens one. Frames are read without blocking, so a slow or stalled client never holds
// up the others: a frame that is not completed within the frame time limit, an oversize or
// malformed frame ends that client's connection with an error frame (the byte stream cannot
// be trusted after it); a well-framed message of the wrong shape gets an error answer and the
// connection stays.
//
// Group commit: the "Request" calls that arrive together (from any number of clients) are
// checked one by one, then stored in one commit, and only then answered.
#pragma once

#include "JobRunner.h"
#include "ReportCounter.h"

#include "platform/WireFormat.h"

#include <QTcpServer>
#include <QTimer>

#include <memory>
#include <vector>

class QTcpSocket;

namespace nuv {

class TReportServer {
public:
    // runner may be null: then jobs are only stored.
    TReportServer(std::shared_ptr<TServerContext> context, TJobRunner* runner);
    ~TReportServer();

    // Starts listening; raises Exception with the reason on failure.
    void Listen(const std::string& address, int port);
    int Port() const;
    // Stores and answers what is pending, closes every connection and stops listening.
    void Stop();

    // Runs the due jobs now (and from then on once a second).
    void RunDueJobs();

    // Commits each request on its own instead of together with those that arrived with it
    // (for measuring what group commit gains).
    bool CommitEach = false;

private:
    struct Session;
    struct PendingRequest {
        std::shared_ptr<Session> session;
        TJobRecord job;
    };

    void Accept();
    void Feed(const std::shared_ptr<Session>& s);
    void Process(const std::shared_ptr<Session>& s);
    void Handle(const std::shared_ptr<Session>& s, const QCborValue& item);
    void Send(const std::shared_ptr<Session>& s, const WireReply& reply);
    void Abandon(const std::shared_ptr<Session>& s, const std::string& why);
    void Flush();

    std::shared_ptr<TServerContext> context_;
    TJobRunner* runner_;
    QTcpServer server_;
    std::vector<std::shared_ptr<Session>> sessions_;
    std::vector<PendingRequest> pending_;
    bool flushQueued_ = false;
    bool runQueued_ = false;
    QTimer runTimer_;
};

void ServerLog(const std::string& text);

} // namespace nuv
