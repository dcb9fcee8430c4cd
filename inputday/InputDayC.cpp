// The library of the quick-date picker: serves the automation class "InputDayC.Class1" through
// NuvCreateObject.
//
//   ShowInputDay([calendar flag, start date "yyyymmdd", data-source code])
//     opens the calendar window (DayPicker.h) on the start date, today when the text is not a
//     valid eight-digit date; with the flag True the years are shown in the Minguo count. The
//     answer is the chosen date as "yyyymmdd", or an empty text when the user cancelled. The
//     data-source code is accepted and not needed: the calendar has no data of its own.
#include "DayPicker.h"

#include "platform/Automation.h"

#include <QApplication>
#include <QDate>
#include <QString>

#include <strings.h>

namespace {

using nuv::Variant;

constexpr const char* InputDayClass = "InputDayC.Class1";

QDate StartDate(const std::string& text) {
    if (text.size() != 8 || text.find_first_not_of("0123456789") != std::string::npos)
        return QDate::currentDate();
    const QDate d = QDate::fromString(QString::fromStdString(text), QStringLiteral("yyyyMMdd"));
    return d.isValid() ? d : QDate::currentDate();
}

class TInputDay : public nuv::TAutoObject {
public:
    TInputDay() : TAutoObject(InputDayClass) {
        AddMethod(
            "ShowInputDay",
            [](std::span<Variant> args) {
                const Variant& a = args[0].Deref();
                if (!a.IsArray() || a.ArrayDimCount() != 1 || a.ArrayCount() < 2)
                    throw nuv::Exception("ShowInputDay takes one array [calendar flag, start "
                                         "date \"yyyymmdd\", data-source code], not " +
                                         std::string(a.TypeName()));
                if (QApplication::instance() == nullptr)
                    throw nuv::Exception("ShowInputDay needs the program's QApplication");
                const int low = a.ArrayLowBound();
                const bool minguo = a[low].ToBool();
                const std::string start = a[low + 1].IsEmptyOrNull() ? "" : a[low + 1].ToString();
                return Variant(nuv::PickDay(StartDate(start), minguo).toStdString());
            },
            1, 1);
    }
};

} // namespace

extern "C" __attribute__((visibility("default"))) nuv::IDispatch*
NuvCreateObject(const char* progId) {
    if (progId != nullptr && strcasecmp(progId, InputDayClass) == 0)
        return new TInputDay;
    return nullptr;
}
