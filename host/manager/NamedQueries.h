// The fixed list of look-ups the Validator and the F2 window answer: one entry per table code
// and key ("INVMB", "01"). Callers name a look-up; they never send SQL. Every argument is
// bound, so quotes, semicolons, comments or wildcards in an argument only ever match
// themselves.
#pragma once

#include <string>
#include <vector>

namespace nuv::host {

struct TNamedQuery {
    const char* table;
    const char* key;
    const char* title; // caption of the look-up window
    // One row by its key (CheckValue); the row's column order is what callers index.
    const char* checkSql;
    int checkParams;
    // Rows for QueryData and the look-up window; column 0 is the code a look-up chooses.
    const char* listSql;
    int listParams;
    std::vector<const char*> captions; // column captions of listSql
};

// The look-up for the table code and key (both matched without case); nullptr when there is
// none.
const TNamedQuery* FindNamedQuery(const std::string& table, const std::string& key);

// Every look-up, for error texts and tests.
const std::vector<TNamedQuery>& NamedQueries();

} // namespace nuv::host
