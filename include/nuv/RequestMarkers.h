// The shape marks of a selection panel's value in a request's condition data, read alike by
// the plug-in that builds a request, the host that fills a dialog from stored values and the
// application server that checks and runs it: the value is an array whose first element is
// RangeMarker for a range, [RangeMarker, begin, end], or ListMarker for a list,
// [ListMarker, row 1, row 2, ...]. Each mark is one control character, which no typed text
// holds.
#pragma once

#include <string_view>

namespace nuv {

inline constexpr std::string_view RangeMarker{"\x04", 1};
inline constexpr std::string_view ListMarker{"\x05", 1};

} // namespace nuv
