// The schedule rules of periodic jobs on any rule texts and cycle specifications: the first run
// of a cycle always gives a text (empty when unusable); moved dates, week boundaries and
// stored rule lines give a text or raise the general exception class.
#include "forms/ScheduleRules.h"

#include "FuzzInput.h"

#include <nuv/Exception.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

nuv::Variant CycleSpec(nuv::fuzz::FuzzInput& in) {
    switch (in.Byte() % 5) {
    case 0:
        return nuv::CycleSpecEveryNDays(in.Text());
    case 1:
        return nuv::CycleSpecEveryNWeeks(in.Text(), in.Int());
    case 2:
        return nuv::CycleSpecMonthlyOnDay(in.Text(), in.Text());
    case 3:
        return nuv::CycleSpecMonthlyOnWeekday(in.Text(), in.Int(), in.Int());
    default:
        return nuv::CycleSpecHourMinute(in.Int(), in.Int());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    nuv::fuzz::FuzzInput in(data, size);
    const std::string start = in.Text();
    const nuv::Variant spec = CycleSpec(in);
    // Documented to give an empty text for anything unusable: nothing may escape.
    nuv::ComputeFirstRun(start, spec);
    const std::string base = in.Text();
    const std::string count = in.Text();
    const std::string unit = in.Text();
    const std::string days = in.Text();
    const std::string mode = in.Text();
    try {
        nuv::ShiftByRule(base, count, unit, days, mode);
    } catch (const nuv::Exception&) {
    }
    try {
        nuv::WeekBoundary(base, count, mode);
    } catch (const nuv::Exception&) {
    }
    try {
        nuv::DynamicEntry e = nuv::DynamicEntry::FromLine(in.Text());
        nuv::DynamicEntry::FromLine(e.Line());
    } catch (const nuv::Exception&) {
    }
    return 0;
}
