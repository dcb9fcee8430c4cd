// RequestCheck: the shape of a report request, checked before anything is stored.
//
// A request is [header, condition texts, condition data] (indices 0..2), widened to 0..4 for a
// periodic job by the schedule record and the moved-date rules. The header and both condition
// arrays have lower bound 1; the header holds 9, 12 or 14 elements:
//   1 program code, 2 header size, 3 condition count N, 4 company, 5 user, 6 data source,
//   7 date-time of the request, 8 server class, 9 request class (lower case: periodic),
//   10 run mode (0 queue, 1 at once, 2 at a time), 11 date-time to run, 12 notification (1..4),
//   13 report outputs (1..7), 14 text.
// Each condition text is [caption, component name]; each condition value is a text, a
// selection panel's range [code 4, begin, end] or list [code 5, row, ...], or a small array of
// plain values.
#pragma once

#include "forms/Schedule.h"

#include <nuv/Exception.h>
#include <nuv/RequestMarkers.h>
#include <nuv/Variant.h>

#include <optional>
#include <string>

namespace nuv {

// A request that cannot be accepted; the text says precisely why.
class ERequestRefused : public Exception {
public:
    using Exception::Exception;
};

struct TJobRequest {
    std::string Program; // upper case
    std::string Company;
    std::string UserCode;
    std::string DataSource;
    bool Periodic = false;
    int RunMode = 0;
    double RunAt = 0; // element 11, when present
    int NotifyMode = 1;
    int ConditionCount = 0;
    std::optional<TSchedule> Schedule;
};

// Raises ERequestRefused for the first fault found.
TJobRequest CheckRequestShape(const Variant& request);

// The conditions as a run uses them: for a periodic job the condition data with the dates
// moved to runDate ("YYYYMMDD"), otherwise the data as sent. Raises Exception when the rules
// cannot be applied.
Variant ConditionsForRun(const Variant& request, const std::string& runDate);

} // namespace nuv
