// ServerConfig: where the report server listens and keeps its files.
//
// Read from the server configuration TarvelS.ini (found through the registry value ServerPath,
// see support/TarvelINI.h): the port is the application-server endpoint's ServerPort (211 by
// default); the section [ReportCounter] may set
//   ListenAddress  address to listen on, "127.0.0.1" by default (loopback only)
//   QueueFile      the job queue, <ServerPath>Data/ReportQueue.db by default
//   ErpDatabase    the ERP database, the main database name (DBE Setting, MainDBName) resolved
//                  against ServerPath, else <ServerPath>Data/demo.db
//   OutputPath     where runs write their outputs, <ServerPath>Reports/ by default
//   FrameTimeout   seconds a client may take to finish a frame it started, 30 by default
#pragma once

#include <cstdint>
#include <string>

namespace nuv {

struct TServerConfig {
    std::string ListenAddress = "127.0.0.1";
    int Port = 211;
    std::string QueueFile;
    std::string ErpDatabase;
    std::string OutputPath; // ends with '/'
    int FrameTimeoutMs = 30000;
    std::uint32_t FrameCap = 16u * 1024u * 1024u;

    // Raises Exception saying what is missing when the configuration cannot be read.
    static TServerConfig Load();
};

} // namespace nuv
