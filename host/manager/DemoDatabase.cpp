#include "DemoDatabase.h"

#include "platform/Registry.h"
#include <nuv/Exception.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace nuv::host {

namespace {

// Registry values may be written with Windows separators.
std::string PosixPath(std::string p) {
    std::replace(p.begin(), p.end(), '\\', '/');
    return p;
}

SQLite::Database OpenExisting(const std::string& path) {
    if (path.empty())
        throw Exception("No demo database is configured: install the demo (tools/install-demo) "
                        "or set NUV_DEMO_DB");
    if (!std::filesystem::is_regular_file(path))
        throw Exception("The demo database " + path + " does not exist");
    try {
        SQLite::Database db(path, SQLite::OPEN_READWRITE, 2000);
        return db;
    } catch (const std::exception& e) {
        throw Exception("Cannot open the demo database " + path + ": " + e.what());
    }
}

} // namespace

TDemoDatabase::TDemoDatabase(const std::string& path) : path_(path), db_(OpenExisting(path)) {
    try {
        // Reading the version proves the file is an SQLite database holding the demo tables.
        db_.execAndGet("SELECT version FROM schema_version");
    } catch (const std::exception& e) {
        throw Exception("The file " + path + " is not a usable demo database: " + e.what());
    }
}

SQLite::Statement& TDemoDatabase::Prepared(const std::string& sql) {
    auto found = statements_.find(sql);
    if (found != statements_.end())
        return *found->second;
    // Query texts are fixed in the Manager's code, so the statements stay few; a bound keeps
    // any caller that builds its texts from growing the map without end.
    constexpr std::size_t MaxKept = 64;
    if (statements_.size() >= MaxKept)
        statements_.clear();
    auto st = std::make_unique<SQLite::Statement>(db_, sql);
    return *statements_.emplace(sql, std::move(st)).first->second;
}

TextRows TDemoDatabase::Rows(const std::string& sql, const std::vector<std::string>& params) {
    try {
        SQLite::Statement& st = Prepared(sql);
        // Reset after every run, whether it ended or failed, so that the statement is ready
        // for the next one and holds no read lock on the file meanwhile.
        struct ResetAfter {
            SQLite::Statement& st;
            ~ResetAfter() {
                st.tryReset();
                try {
                    st.clearBindings();
                } catch (const SQLite::Exception&) { // reported only on misuse
                }
            }
        } resetAfter{st};
        for (std::size_t i = 0; i < params.size(); ++i)
            st.bind(static_cast<int>(i + 1), params[i]);
        TextRows rows;
        const int n = st.getColumnCount();
        while (st.executeStep()) {
            TextRow row;
            row.reserve(static_cast<std::size_t>(n));
            for (int c = 0; c < n; ++c) {
                SQLite::Column col = st.getColumn(c);
                row.emplace_back(col.isNull() ? std::string() : col.getString());
            }
            rows.push_back(std::move(row));
        }
        return rows;
    } catch (const SQLite::Exception& e) {
        throw Exception("Demo database " + path_ + ": " + e.what());
    }
}

std::string TDemoDatabase::ConfiguredPath() {
    if (const char* env = std::getenv("NUV_DEMO_DB"); env && *env)
        return env;
    try {
        TRegistry reg;
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        if (!reg.OpenKeyReadOnly("Software\\NUV\\Tarvel"))
            return {};
        std::string path = reg.ReadString("DemoDatabase");
        if (path.empty()) {
            std::string base = reg.ReadString("ClientPath");
            if (!base.empty())
                path = (std::filesystem::path(PosixPath(base)) / "NuvDemo.db").string();
        }
        return PosixPath(path);
    } catch (const Exception&) {
        return {};
    }
}

} // namespace nuv::host
