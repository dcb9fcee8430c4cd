// The demo ERP database as the work-center Manager sees it: one SQLite file, opened once per
// Manager, read and written only through bound statements.
#pragma once

#include <SQLiteCpp/Database.h>

#include <memory>
#include <string>
#include <vector>

namespace nuv::host {

using TextRow = std::vector<std::string>;
using TextRows = std::vector<TextRow>;

class TDemoDatabase {
public:
    // Opens an existing database file for reading and writing. Raises Exception with the path
    // and SQLite's reason when the file is missing, is no SQLite database or lacks the demo
    // tables.
    explicit TDemoDatabase(const std::string& path);

    const std::string& Path() const { return path_; }
    SQLite::Database& Db() { return db_; }

    // Runs a query with the given texts bound to ?1, ?2, ... and returns every row as texts
    // (NULL as an empty text). SQLite failures (a locked or corrupt file) raise Exception
    // naming the database.
    TextRows Rows(const std::string& sql, const std::vector<std::string>& params = {});

    // Where the demo database is: $NUV_DEMO_DB, else the value "DemoDatabase" of the
    // installation key HKEY_LOCAL_MACHINE\Software\NUV\Tarvel in the registry file, else
    // "NuvDemo.db" in the installation's ClientPath. Empty when none of them is set.
    static std::string ConfiguredPath();

private:
    std::string path_;
    SQLite::Database db_;
};

using DemoDatabasePtr = std::shared_ptr<TDemoDatabase>;

} // namespace nuv::host
