// The date and text utilities on any values: date texts in every layout, shifts, the calendar's
// decoders and the field splitters. A date that is formatted is read back as the same day, and
// only the general exception class may leave a call that documents one.
#include "platform/DateTime.h"
#include "support/LibStrs.h"

#include "FuzzInput.h"

#include <nuv/Exception.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    nuv::fuzz::FuzzInput in(data, size);
    const auto layout = static_cast<nuv::TDateType>(in.Byte() % 7);
    const std::string separator = in.Text();
    const double date = in.Double();
    const std::string text = in.Text();
    const std::string unit = in.Text();
    const std::int32_t amount = in.Int();
    const int n = in.Int();

    const std::string shown = nuv::FormatDateByLayout(layout, separator, date);
    nuv::FormatYearMonthByLayout(layout, separator, date);
    // What is shown in a layout with a plain separator reads back as the same day.
    if (!shown.empty() && (separator == "/" || separator == "-") && layout >= nuv::dt_YYYYMMDD &&
        layout <= nuv::dt_DDMMYYYY &&
        nuv::ParseDateByLayout(shown, layout, separator) != std::trunc(date))
        __builtin_trap();
    nuv::ParseDateByLayout(text, layout, separator);
    const double read = nuv::DateFromYYYYMMDD(text);
    if (read != 0 && !nuv::IsValidYYYYMMDD(text))
        __builtin_trap();
    nuv::ShiftDate(nuv::Variant(text), unit, amount);
    nuv::ShiftDate(nuv::Variant::FromDate(date), unit, amount);

    try {
        nuv::DateTimeParts p = nuv::DecodeDateTime(date);
        if (p.year < 1 || p.year > 9999 || p.hour > 23)
            __builtin_trap();
        nuv::DayOfWeek(date);
        nuv::Variant::FromDate(date).ToString();
    } catch (const nuv::Exception&) {
        // Outside the years 1..9999: refused with a message.
    }

    nuv::GetDelimitedField(text, separator, n);
    const int count = nuv::FieldCount(text, separator);
    if (count < 0)
        __builtin_trap();
    std::string rest = text;
    for (int i = 0; i < 64 && !rest.empty(); ++i)
        nuv::SplitHead(rest, separator);
    nuv::IsLocalHost(text);
    return 0;
}
