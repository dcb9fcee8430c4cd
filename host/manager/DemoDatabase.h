// The demo ERP database as the work-center Manager sees it: one SQLite file, opened once per
// Manager, read and written only through bound statements.
#pragma once

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <memory>
#include <string>
#include <unordered_map>
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
    // The prepared statement of a query text, made on its first use. The Manager runs the same
    // few queries on every opening of a dialog, and preparing one costs more than running it.
    SQLite::Statement& Prepared(const std::string& sql);

    std::string path_;
    SQLite::Database db_;
    // Statements kept between runs, reset after each (a reset statement holds no lock). Goes
    // before the database.
    std::unordered_map<std::string, std::unique_ptr<SQLite::Statement>> statements_;
};

using DemoDatabasePtr = std::shared_ptr<TDemoDatabase>;

} // namespace nuv::host
