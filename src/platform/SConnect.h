// SConnect: the connection to the application server.
//
// TSocketConnection is a TCP client of an application server (reportcounterd). Opening it
// connects to Address (or Host when Address is empty) at Port and asks the server for the
// object named ServerName; AppServer() is then that object as a late-bound automation object:
// every call on it travels as one frame and waits for one frame back (WireFormat.h).
//
// Calls block the calling thread, as every automation call of the dialogs does, but never
// forever: connecting is limited by ConnectTimeout and each call by CallTimeout. A call that
// runs out of time, or whose connection breaks, raises EOleError naming the server, the member
// and what happened, and the connection is closed (a late answer could otherwise be taken for
// the next call's).
//
// TSimpleObjectBroker holds a list of servers; a connection with a broker and no address takes
// the first enabled server of the list.
#pragma once

#include "platform/Automation.h"
#include <nuv/Exception.h>
#include "platform/WireFormat.h"
#include <nuv/Variant.h>

#include <memory>
#include <string>
#include <vector>

namespace nuv {

class TSimpleObjectBroker {
public:
    struct TServerItem {
        std::string ComputerName;
        int Port = 211;
        bool Enabled = true;
    };
    std::vector<TServerItem> Servers;

    // The first enabled server, or nullptr.
    const TServerItem* FirstServer() const;
};

namespace detail {
struct SocketChannel;
}

class TSocketConnection {
public:
    TSocketConnection();
    ~TSocketConnection();
    TSocketConnection(const TSocketConnection&) = delete;
    TSocketConnection& operator=(const TSocketConnection&) = delete;

    std::string Address;    // IP address; wins over Host
    std::string Host;       // host name, used when Address is empty
    int Port = 211;         // the servers' default port
    std::string ServerName; // class of the server object, e.g. "ReportCounterS.dmReportCounter"
    bool SupportCallbacks = false; // kept for the configuration; the server never calls back
    TSimpleObjectBroker* ObjectBroker = nullptr;
    int ConnectTimeout = 10000; // milliseconds
    int CallTimeout = 60000;    // milliseconds, per call
    std::uint32_t FrameCap = DefaultFrameCap;

    // Connects and opens the server object; raises EOleError with the reason on failure.
    // Does nothing when already connected.
    void Open();
    // Closes the connection; the server object handed out stops working. Never raises.
    void Close();
    bool Connected() const;
    void SetConnected(bool value) {
        if (value)
            Open();
        else
            Close();
    }

    // The server object (unassigned while not connected).
    Variant AppServer() const;
    DispatchPtr GetServer() const;

    // "host:port" of the last or current connection, for messages.
    std::string Endpoint() const;

private:
    std::shared_ptr<detail::SocketChannel> channel_;
    DispatchPtr server_;
};

} // namespace nuv
