// ErpDatabase: what the server reads from the ERP database (the demo's SQLite file): users and
// their rights on programs, program names, and the item rows a report selects.
//
// Opened read-only; every query binds its values, no text of a request ever becomes SQL.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace SQLite {
class Database;
class Statement;
} // namespace SQLite

namespace nuv {

class TErpDatabase {
public:
    // Raises Exception naming the file when it cannot be opened.
    explicit TErpDatabase(const std::string& fileName);
    ~TErpDatabase();

    struct TUser {
        std::string Code, Name, Group, Company;
        bool Active = true;
    };
    std::optional<TUser> FindUser(const std::string& userCode);
    // The program's name from ADMMB, or nothing for an unknown program.
    std::optional<std::string> ProgramName(const std::string& programCode);
    // The user's rights flags on the program ('Y'/'N' per position: 1 query, 2 add, 3 modify,
    // 4 delete, 5 print, 6 export, 7 and 8 the look-up switches); the row of program "*"
    // stands for programs without a row of their own; empty when the user has none.
    std::string Rights(const std::string& userCode, const std::string& programCode);

    struct TItem {
        std::string Code, Name, Spec, Unit;
        std::vector<std::string> Categories; // classifications 1..4
    };
    // Items whose code lies in [from, to] (an empty bound is open) or in codes when it is not
    // empty, and whose category of some classification is in categories when that is not
    // empty; ordered by code, at most limit rows.
    std::vector<TItem> Items(const std::string& from, const std::string& to,
                             const std::vector<std::string>& codes,
                             const std::vector<std::string>& categories, int limit);

private:
    // The statement in the slot, prepared on first use and reset when the returned guard ends
    // (a reset statement holds no lock on the file). The look-ups below run on every opening
    // of a dialog, and preparing a statement costs more than running it.
    class TRun;
    TRun Run(std::unique_ptr<SQLite::Statement>& slot, const char* sql);

    std::string fileName_;
    std::unique_ptr<SQLite::Database> db_;
    std::unique_ptr<SQLite::Statement> findUser_, programName_, rights_;
};

} // namespace nuv
