// User-defined condition sets of the demo database, as the counter service answers the
// operations "GETUSERDEFOPTION", "INSERTUSERDEFOPTION" and "DELUSERDEFOPTION".
//
//   GetUserDEFOption ["1", company, user, program]        -> [n, [code, name, shared, owner]...]
//                    the user's own sets and the shared sets of others, by code and owner
//   GetUserDEFOption ["2", company, owner, program, code]  -> [n, line 1, ..., line n]
//   InsertUserDEFOption [company, user, code, name, program, lines, shared] -> "OK"
//                    (a set of the same owner and code is replaced)
//   DelUserDEFOption [company, owner, code, program]       -> number of sets deleted
//
// The stored lines (arrays of texts and arrays) are kept as CBOR, texts as their bytes (a
// code-page text with its code page, a date as a date), so that a set comes back byte for byte
// and of the same kinds; Variant kinds that a set cannot hold (objects) are refused.
#pragma once

#include "DemoDatabase.h"

#include <nuv/Variant.h>

#include <string>

namespace nuv::host {

Variant GetUserDEFOption(TDemoDatabase& db, const Variant& params);
Variant InsertUserDEFOption(TDemoDatabase& db, const Variant& params);
Variant DelUserDEFOption(TDemoDatabase& db, const Variant& params);

// The stored form of a set's lines, and back. Raise EVariantError for what cannot be stored
// or read back.
std::string EncodeLines(const Variant& lines);
Variant DecodeLines(const std::string& bytes);

} // namespace nuv::host
