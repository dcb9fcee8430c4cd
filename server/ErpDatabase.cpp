#include "ErpDatabase.h"

#include <nuv/Exception.h>

#include <SQLiteCpp/SQLiteCpp.h>

#include <set>

namespace nuv {

namespace {

template <typename Fn> auto Guard(const std::string& file, Fn fn) {
    try {
        return fn();
    } catch (const SQLite::Exception& e) {
        throw Exception("The ERP database " + file + " cannot be read: " + e.what());
    }
}

} // namespace

TErpDatabase::TErpDatabase(const std::string& fileName) : fileName_(fileName) {
    Guard(fileName_, [&] {
        db_ = std::make_unique<SQLite::Database>(fileName_, SQLite::OPEN_READONLY);
        db_->setBusyTimeout(10000);
        return 0;
    });
}

TErpDatabase::~TErpDatabase() {
    // The statements go before their database.
    findUser_.reset();
    programName_.reset();
    rights_.reset();
}

class TErpDatabase::TRun {
public:
    explicit TRun(SQLite::Statement& st) : st_(st) {}
    TRun(const TRun&) = delete;
    TRun& operator=(const TRun&) = delete;
    ~TRun() {
        st_.tryReset();
        try {
            st_.clearBindings();
        } catch (const SQLite::Exception&) { // reported only on misuse
        }
    }
    SQLite::Statement* operator->() const { return &st_; }

private:
    SQLite::Statement& st_;
};

TErpDatabase::TRun TErpDatabase::Run(std::unique_ptr<SQLite::Statement>& slot, const char* sql) {
    if (slot == nullptr)
        slot = std::make_unique<SQLite::Statement>(*db_, sql);
    return TRun(*slot);
}

std::optional<TErpDatabase::TUser> TErpDatabase::FindUser(const std::string& userCode) {
    return Guard(fileName_, [&]() -> std::optional<TUser> {
        TRun q = Run(findUser_, "SELECT user_code, user_name, user_group, company_code, active "
                                "FROM users WHERE user_code=?");
        q->bind(1, userCode);
        if (!q->executeStep())
            return std::nullopt;
        TUser u{q->getColumn(0).getString(), q->getColumn(1).getString(),
                q->getColumn(2).getString(), q->getColumn(3).getString(),
                q->getColumn(4).getString() != "N"};
        return u;
    });
}

std::optional<std::string> TErpDatabase::ProgramName(const std::string& programCode) {
    return Guard(fileName_, [&]() -> std::optional<std::string> {
        TRun q = Run(programName_, "SELECT MB002 FROM ADMMB WHERE MB001=?");
        q->bind(1, programCode);
        if (!q->executeStep())
            return std::nullopt;
        return q->getColumn(0).getString();
    });
}

std::string TErpDatabase::Rights(const std::string& userCode, const std::string& programCode) {
    return Guard(fileName_, [&] {
        TRun q = Run(rights_, "SELECT rights FROM user_rights WHERE user_code=? AND "
                              "program_code IN (?, '*') ORDER BY program_code='*' LIMIT 1");
        q->bind(1, userCode);
        q->bind(2, programCode);
        return q->executeStep() ? q->getColumn(0).getString() : std::string();
    });
}

std::vector<TErpDatabase::TItem> TErpDatabase::Items(const std::string& from, const std::string& to,
                                                     const std::vector<std::string>& codes,
                                                     const std::vector<std::string>& categories,
                                                     int limit) {
    return Guard(fileName_, [&] {
        // The item filter is applied here rather than in SQL so that the statement stays one
        // fixed text; the range bounds go to SQL as bound values.
        SQLite::Statement q(*db_, "SELECT MB001, MB002, MB003, MB004, MB005, MB006, MB007, MB008 "
                                  "FROM INVMB WHERE (?1='' OR MB001>=?1) AND (?2='' OR MB001<=?2) "
                                  "ORDER BY MB001");
        q.bind(1, from);
        q.bind(2, to);
        const std::set<std::string> codeSet(codes.begin(), codes.end());
        const std::set<std::string> categorySet(categories.begin(), categories.end());
        std::vector<TItem> out;
        while (q.executeStep() && int(out.size()) < limit) {
            TItem it{q.getColumn(0).getString(),
                     q.getColumn(1).getString(),
                     q.getColumn(2).getString(),
                     q.getColumn(3).getString(),
                     {}};
            for (int c = 4; c < 8; ++c)
                it.Categories.push_back(q.getColumn(c).getString());
            if (!codeSet.empty() && !codeSet.count(it.Code))
                continue;
            if (!categorySet.empty()) {
                bool hit = false;
                for (const std::string& c : it.Categories)
                    hit = hit || (!c.empty() && categorySet.count(c));
                if (!hit)
                    continue;
            }
            out.push_back(std::move(it));
        }
        return out;
    });
}

} // namespace nuv
