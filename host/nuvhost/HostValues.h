// Host values for a report dialog, read from a JSON file.
//
// The file names the dialog's controls and their values, and the run mode:
//
//     {
//       "runMode": 2,
//       "values": [
//         {"name": "sp01", "caption": "品號", "value": {"range": ["A001", "A999"]}},
//         {"name": "sp02", "value": {"list": [["A001", "螺絲"], "A002"]}},
//         {"name": "me01", "value": "20261201"}
//       ]
//     }
//
// "values" is a list (applied in its order) or an object of name: value (applied in name
// order). A value is a JSON string, number, Boolean, null or array (an array of values), or
// one of the selection-panel shapes: {"range": [begin, end]} or {"list": [row, ...]} where a
// row is [caption, sub-item, ...] or a single text. "caption" is optional (the name is used).
// "runMode" is optional: 0 applies the values and shows the dialog; any other value presses OK
// without showing it (1 shows the server's reply to the user, 2 and up only record it).
//
// The result is the host value array the controller's ApplyValues takes:
//     [0, [runMode, [True, [pairs, values]]]]
// with pairs[i] = [caption, name] and values[i] the value, all arrays with lower bound 0.
#pragma once

#include <nuv/Exception.h>
#include <nuv/Variant.h>

#include <QByteArray>
#include <QString>

#include <optional>

namespace nuv {

struct THostValues {
    // The run mode found in the file, if any.
    std::optional<int> RunMode;
    // The named values: [pairs, values].
    Variant Values;

    // The host value array for ApplyValues, with the given run mode.
    Variant HostValueArray(int runMode) const;
};

// Reads host values from JSON text; raises nuv::Exception naming the fault and where it is.
THostValues ParseHostValues(const QByteArray& json);
// Reads the file; raises nuv::Exception when it cannot be read or holds no valid host values.
THostValues ReadHostValuesFile(const QString& path);

} // namespace nuv
