#include "forms/ScheduleRules.h"

#include <nuv/Exception.h>
#include <nuv/RequestMarkers.h>

#include <gtest/gtest.h>

#include <string>

using namespace nuv;

namespace {

// Weekday indexes as the periodic page stores them.
enum Weekday { Sunday, Monday, Tuesday, Wednesday, Thursday, Friday, Saturday };

const std::string Sep(DynamicFieldSeparator);

// Joins fields with the entry separator.
std::string Fields(std::initializer_list<std::string> fields) {
    std::string line;
    for (const auto& f : fields)
        line += (&f == fields.begin() ? "" : Sep) + f;
    return line;
}

} // namespace

// --- records -----------------------------------------------------------------------------------

TEST(ScheduleRecords, CycleSpecsHaveTheStoredLayout) {
    EXPECT_TRUE(CycleSpecEveryNDays("3").SameAs(Variant::ArrayOf({0, "3"})));
    EXPECT_TRUE(CycleSpecEveryNWeeks("2", Friday)
                    .SameAs(Variant::ArrayOf({1, Variant::ArrayOf({"2", 5})})));
    EXPECT_TRUE(CycleSpecMonthlyOnDay("1", "15").SameAs(
        Variant::ArrayOf({2, Variant::ArrayOf({0, "1", "15"})})));
    EXPECT_TRUE(CycleSpecMonthlyOnWeekday("2", LastWeekdayOfMonth, Friday)
                    .SameAs(Variant::ArrayOf({2, Variant::ArrayOf({1, "2", 4, 5})})));
    EXPECT_TRUE(CycleSpecHourMinute(1, 5).SameAs(Variant::ArrayOf({3, "0105"})));
    EXPECT_TRUE(CycleSpecHourMinute(0, 30).SameAs(Variant::ArrayOf({3, "0030"})));
}

TEST(ScheduleRecords, ScheduleRecordCarriesTimeSpecAndRange) {
    Variant spec = CycleSpecEveryNDays("1");
    Variant rec = MakeScheduleRecord(8, 5, spec, CycleRangeUntil("20261207", "20270131"));
    EXPECT_TRUE(rec.SameAs(
        Variant::ArrayOf({"Y", "08:05", spec, Variant::ArrayOf({"20261207", 2, "20270131"})})));
    EXPECT_TRUE(CycleRangeNoEnd("20261207").SameAs(Variant::ArrayOf({"20261207", 0})));
    EXPECT_TRUE(CycleRangeRepetitions("", "10").SameAs(Variant::ArrayOf({"", 1, "10"})));
}

TEST(ScheduleRecords, DynamicEntryLinesRoundTrip) {
    // A single date two months back, on the last day of that month.
    DynamicEntry single;
    single.Kind = "1";
    single.Component = "me01";
    single.Begin = {true, "-2", 1, 2, "0"};
    single.DateType = "D";
    EXPECT_EQ(single.Line(), Fields({"1", "me01", "Y", "-2", "1", "2", "0", "D"}));

    DynamicEntry range;
    range.Kind = "0";
    range.Component = "sp03";
    range.Begin = {false, "0", 0, 0, "0"};
    range.End = {true, "1", 0, 2, "0"};
    range.DateType = "M";
    std::string line = range.Line();
    EXPECT_EQ(line, Fields({"0", "sp03", "N", "0", "0", "0", "0", "Y", "1", "0", "2", "0", "M"}));

    // A position field appended by the request is ignored.
    DynamicEntry back = DynamicEntry::FromLine(line + Sep + "3");
    EXPECT_EQ(back.Line(), line);
    EXPECT_TRUE(back.IsRange());
    EXPECT_EQ(DynamicEntry::FromLine(single.Line()).Line(), single.Line());
}

TEST(ScheduleRecords, DynamicEntryWithUnreadableIndexesIsRefused) {
    EXPECT_THROW(DynamicEntry::FromLine(Fields({"1", "me01", "Y", "-2", "x", "2", "0", "D"})),
                 Exception);
    EXPECT_THROW(DynamicEntry::FromLine(Fields({"1", "me01", "Y"})), Exception);
}

// --- ComputeFirstRun ---------------------------------------------------------------------------

struct FirstRunCase {
    const char* name;
    const char* start;
    Variant spec;
    const char* expected;
};

class ComputeFirstRunTable : public testing::TestWithParam<FirstRunCase> {};

TEST_P(ComputeFirstRunTable, FindsTheFirstRun) {
    const FirstRunCase& c = GetParam();
    EXPECT_EQ(ComputeFirstRun(c.start, c.spec), c.expected);
}

// 2026-12-07 is a Monday; December 2026 begins on a Tuesday and ends on a Thursday.
INSTANTIATE_TEST_SUITE_P(
    Cycles, ComputeFirstRunTable,
    testing::Values(
        FirstRunCase{"DailyIsStart", "20261207", CycleSpecEveryNDays("3"), "20261207"},
        FirstRunCase{"WeeklyLaterThisWeek", "20261207", CycleSpecEveryNWeeks("1", Friday),
                     "20261211"},
        FirstRunCase{"WeeklySameWeekday", "20261207", CycleSpecEveryNWeeks("1", Monday),
                     "20261207"},
        FirstRunCase{"WeeklyPastWeekday", "20261207", CycleSpecEveryNWeeks("1", Sunday),
                     "20261213"},
        FirstRunCase{"WeeklySaturday", "20261207", CycleSpecEveryNWeeks("1", Saturday), "20261212"},
        FirstRunCase{"EveryTwoWeeks", "20261207", CycleSpecEveryNWeeks("2", Friday), "20261218"},
        FirstRunCase{"EveryTwoWeeksPast", "20261207", CycleSpecEveryNWeeks("2", Sunday),
                     "20261220"},
        FirstRunCase{"WeeklyAcrossYear", "20261230", CycleSpecEveryNWeeks("1", Monday), "20270104"},
        FirstRunCase{"MonthlyDayAhead", "20261207", CycleSpecMonthlyOnDay("1", "15"), "20261215"},
        FirstRunCase{"MonthlyDayIsStart", "20261207", CycleSpecMonthlyOnDay("1", "7"), "20261207"},
        FirstRunCase{"MonthlyDayPast", "20261207", CycleSpecMonthlyOnDay("1", "5"), "20270105"},
        FirstRunCase{"Every3MonthsDay31", "20261207", CycleSpecMonthlyOnDay("3", "31"), "20270228"},
        FirstRunCase{"Day31InShortStartMonth", "20261107", CycleSpecMonthlyOnDay("1", "31"),
                     "20261130"},
        FirstRunCase{"Day30InLeapFebruary", "20240201", CycleSpecMonthlyOnDay("1", "30"),
                     "20240229"},
        FirstRunCase{"Day30AfterJanuary31", "20240131", CycleSpecMonthlyOnDay("1", "30"),
                     "20240229"},
        FirstRunCase{"DayBeyondAnyMonth", "20261207", CycleSpecMonthlyOnDay("1", "100"),
                     "20261231"},
        FirstRunCase{"FirstMondayIsStart", "20261207", CycleSpecMonthlyOnWeekday("1", 0, Monday),
                     "20261207"},
        FirstRunCase{"FirstFridayPast", "20261207", CycleSpecMonthlyOnWeekday("1", 0, Friday),
                     "20270101"},
        FirstRunCase{"FirstTuesday", "20261201", CycleSpecMonthlyOnWeekday("1", 0, Tuesday),
                     "20261201"},
        FirstRunCase{"SecondTuesday", "20261207", CycleSpecMonthlyOnWeekday("1", 1, Tuesday),
                     "20261208"},
        FirstRunCase{"FourthSunday", "20261207", CycleSpecMonthlyOnWeekday("1", 3, Sunday),
                     "20261227"},
        FirstRunCase{"LastMonday", "20261207", CycleSpecMonthlyOnWeekday("1", 4, Monday),
                     "20261228"},
        FirstRunCase{"LastThursdayIsMonthEnd", "20261207",
                     CycleSpecMonthlyOnWeekday("1", 4, Thursday), "20261231"},
        FirstRunCase{"Every2MonthsLastFriday", "20261207",
                     CycleSpecMonthlyOnWeekday("2", 4, Friday), "20270129"},
        FirstRunCase{"Every3MonthsFirstFriday", "20261207",
                     CycleSpecMonthlyOnWeekday("3", 0, Friday), "20270205"},
        FirstRunCase{"HourMinuteHasNone", "20261207", CycleSpecHourMinute(0, 30), ""},
        FirstRunCase{"UnknownMode", "20261207", Variant::ArrayOf({9, "1"}), ""}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Malformed, ComputeFirstRunTable,
    testing::Values(
        FirstRunCase{"EmptyStartDaily", "", CycleSpecEveryNDays("1"), ""},
        FirstRunCase{"BadStartWeekly", "20261232", CycleSpecEveryNWeeks("1", Friday), ""},
        FirstRunCase{"BadStartMonthly", "2026120", CycleSpecMonthlyOnDay("1", "15"), ""},
        FirstRunCase{"BadStartWeekday", "abcdefgh", CycleSpecMonthlyOnWeekday("1", 0, Friday), ""},
        FirstRunCase{"SpecNotAnArray", "20261207", Variant("1"), ""},
        FirstRunCase{"SpecUnassigned", "20261207", Variant(), ""},
        FirstRunCase{"WeeksNotANumber", "20261207", CycleSpecEveryNWeeks("x", Friday), ""},
        FirstRunCase{"WeeksZero", "20261207", CycleSpecEveryNWeeks("0", Friday), ""},
        FirstRunCase{"WeekdayOutOfRange", "20261207", CycleSpecEveryNWeeks("1", 7), ""},
        FirstRunCase{"NoWeekdaySelected", "20261207", CycleSpecEveryNWeeks("1", -1), ""},
        FirstRunCase{"WeeklyWithoutParams", "20261207", Variant::ArrayOf({1, "1"}), ""},
        FirstRunCase{"MonthsZero", "20261207", CycleSpecMonthlyOnDay("0", "15"), ""},
        FirstRunCase{"MonthlyDayNotANumber", "20261207", CycleSpecMonthlyOnDay("1", ""), ""},
        FirstRunCase{"MonthlyKindUnknown", "20261207",
                     Variant::ArrayOf({2, Variant::ArrayOf({3, "1", "15"})}), ""},
        FirstRunCase{"WeekdayMonthsZero", "20261207", CycleSpecMonthlyOnWeekday("0", 0, Friday),
                     ""},
        FirstRunCase{"OrdinalOutOfRange", "20261207", CycleSpecMonthlyOnWeekday("1", 5, Friday),
                     ""},
        FirstRunCase{"MonthlyTooShort", "20261207",
                     Variant::ArrayOf({2, Variant::ArrayOf({1, "1"})}), ""}),
    [](const auto& info) { return std::string(info.param.name); });

// --- ShiftByRule and WeekBoundary ----------------------------------------------------------------

struct RuleCase {
    const char* base;
    const char* count;
    const char* unit; // "0" week, "1" month
    const char* days;
    const char* mode; // "0" plus/minus, "1" first day, "2" last day
    const char* expected;
};

TEST(ShiftByRule, MovesByWeeksAndMonths) {
    const RuleCase cases[] = {
        // Run date 2026-12-07, a Monday.
        {"20261207", "0", "0", "-1", "0", "20261206"},
        {"20261207", "2", "0", "3", "0", "20261224"},
        {"20261207", "-1", "0", "0", "0", "20261130"},
        {"20261207", "0", "0", "0", "1", "20261206"},
        {"20261207", "1", "0", "0", "2", "20261219"},
        {"20261207", "0", "0", "0", "7", "20261212"}, // any mode but 1 is the Saturday
        {"20261207", "-1", "1", "0", "1", "20261101"},
        {"20261207", "-1", "1", "0", "2", "20261130"},
        {"20261207", "1", "1", "5", "0", "20270112"},
        {"20261207", "0", "1", "-7", "0", "20261130"},
        {"20240131", "1", "1", "0", "2", "20240229"},
        {"20240131", "1", "1", "0", "0", "20240229"},
        {"20230131", "13", "1", "0", "2", "20240229"},
        {"20261207", "-12", "1", "0", "1", "20251201"},
        // Year-month values move by months only.
        {"202612", "-1", "0", "9", "1", "202611"},
        {"202612", "1", "1", "0", "2", "202701"},
        {"202403", "-13", "1", "0", "0", "202302"},
        // Unusable bases give no date.
        {"", "1", "1", "0", "0", ""},
        {"20261232", "1", "1", "0", "1", ""},
        {"20261232", "1", "1", "0", "2", ""},
        {"20261232", "0", "0", "0", "1", ""},
        {"20261232", "0", "0", "1", "0", ""},
        {"99991201", "1", "1", "0", "1", ""},
        {"99991231", "1", "0", "0", "0", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShiftByRule(c.base, c.count, c.unit, c.days, c.mode), c.expected)
            << c.base << " count " << c.count << " unit " << c.unit << " days " << c.days
            << " mode " << c.mode;
}

TEST(ShiftByRule, UnreadableRulesRaise) {
    const RuleCase cases[] = {
        {"20261207", "x", "1", "0", "1", ""},
        {"20261207", "", "0", "0", "0", ""},
        {"20261207", "0", "0", "", "0", ""},
        {"20261207", "1", "1", "1.5", "0", ""},
        {"20261207", "1", "1", "0", "3", ""},
        {"202612", "-", "1", "0", "0", ""},
        // Too long to be a number: refused before the digits could overflow.
        {"20261207", "99999999999999999999999", "1", "0", "0", ""},
        {"20261207", "1", "1", "-123456789012345678901234567890", "0", ""},
    };
    for (const auto& c : cases)
        EXPECT_THROW(ShiftByRule(c.base, c.count, c.unit, c.days, c.mode), Exception)
            << "count '" << c.count << "' days '" << c.days << "' mode " << c.mode;
}

TEST(WeekBoundary, FindsSundayOrSaturday) {
    EXPECT_EQ(WeekBoundary("20261207", "0", "1"), "20261206");
    EXPECT_EQ(WeekBoundary("20261207", "0", "2"), "20261212");
    EXPECT_EQ(WeekBoundary("20261207", "-1", "1"), "20261129");
    EXPECT_EQ(WeekBoundary("20261206", "0", "1"), "20261206"); // a Sunday is its own start
    EXPECT_EQ(WeekBoundary("20261212", "0", "2"), "20261212"); // a Saturday its own end
    EXPECT_EQ(WeekBoundary("20261231", "0", "2"), "20270102");
    EXPECT_EQ(WeekBoundary("", "0", "1"), "");
    EXPECT_THROW(WeekBoundary("20261207", "one", "1"), Exception);
}

// --- ApplyDynamicDates -------------------------------------------------------------------------

namespace {

// Condition data of a request (bounds 1..5): a single date, a range panel, a plain text, a
// year-month value and a panel holding a list of single dates.
Variant ConditionData() {
    Variant data = Variant::CreateArray({ArrayBounds{1, 5}});
    data[1] = "20260101";
    data[2] = Variant::ArrayOf({RangeMarker, "2026/01/01", "2026/01/31"});
    data[3] = "ABC";
    data[4] = "202601";
    data[5] = Variant::ArrayOf({ListMarker, Variant::ArrayOf({"2026/01/05"})});
    return data;
}

// The block that a periodic request hands over: [data, schedule record, [n, lines...]].
Variant Block(const Variant& data, std::initializer_list<std::string> lines) {
    Variant list = Variant::CreateArray({ArrayBounds{0, static_cast<int>(lines.size())}});
    list[0] = static_cast<int>(lines.size());
    int i = 1;
    for (const auto& l : lines)
        list[i++] = l;
    Variant block = Variant::CreateArray({ArrayBounds{1, 3}});
    block[1] = data;
    block[2] = MakeScheduleRecord(8, 0, CycleSpecEveryNDays("1"), CycleRangeNoEnd("20261207"));
    block[3] = list;
    return block;
}

std::string Single(const char* name, DateMoveRule rule, const char* type, int position) {
    DynamicEntry e;
    e.Kind = "1";
    e.Component = name;
    e.Begin = rule;
    e.DateType = type;
    return e.Line() + Sep + std::to_string(position);
}

std::string Range(const char* name, DateMoveRule begin, DateMoveRule end, const char* type,
                  int position) {
    DynamicEntry e;
    e.Kind = "0";
    e.Component = name;
    e.Begin = begin;
    e.End = end;
    e.DateType = type;
    return e.Line() + Sep + std::to_string(position);
}

const DateMoveRule Unchecked{false, "-1", 1, 1, "0"};
const DateMoveRule RunDateItself{true, "0", 0, 0, "0"};
const DateMoveRule TwoMonthsBackLastDay{true, "-2", 1, 2, "0"};
const DateMoveRule LastMonthFirstDay{true, "-1", 1, 1, "0"};
const DateMoveRule ThisWeekSaturday{true, "0", 0, 2, "0"};

} // namespace

TEST(ApplyDynamicDates, MovesCheckedSidesOnly) {
    const char* runDate = "20261207";
    struct Case {
        const char* name;
        std::string line;
        int position;
        Variant expected;
    } cases[] = {
        {"single moved", Single("me01", TwoMonthsBackLastDay, "D", 1), 1, "20261031"},
        {"single unchecked keeps entry", Single("me01", Unchecked, "D", 1), 1, "20260101"},
        {"single all zeros is run date", Single("me01", RunDateItself, "D", 1), 1, "20261207"},
        {"range start only", Range("sp02", LastMonthFirstDay, Unchecked, "D", 2), 2,
         Variant::ArrayOf({RangeMarker, "20261101", "2026/01/31"})},
        {"range end only", Range("sp02", Unchecked, ThisWeekSaturday, "D", 2), 2,
         Variant::ArrayOf({RangeMarker, "2026/01/01", "20261212"})},
        {"range both", Range("sp02", LastMonthFirstDay, RunDateItself, "D", 2), 2,
         Variant::ArrayOf({RangeMarker, "20261101", "20261207"})},
        {"year-month moved", Single("me04", LastMonthFirstDay, "M", 4), 4, "202611"},
        {"year-month all zeros", Single("me04", RunDateItself, "M", 4), 4, "202612"},
        // A panel switched to its list keeps its rows: they are not a range to move.
        {"list left alone", Range("sp05", LastMonthFirstDay, RunDateItself, "D", 5), 5,
         ConditionData()[5]},
        // A request completed twice carries two position fields; the first counts.
        {"second position ignored", Single("me01", RunDateItself, "D", 1) + Sep + "3", 1,
         "20261207"},
    };
    for (const auto& c : cases) {
        Variant result = ApplyDynamicDates(Block(ConditionData(), {c.line}), runDate);
        ASSERT_TRUE(result.IsArray()) << c.name;
        Variant expected = ConditionData();
        expected[c.position] = c.expected;
        EXPECT_TRUE(result.SameAs(expected)) << c.name;
    }
}

TEST(ApplyDynamicDates, AppliesEveryLineInTurn) {
    Variant block = Block(ConditionData(), {Single("me01", TwoMonthsBackLastDay, "D", 1),
                                            Range("sp02", RunDateItself, ThisWeekSaturday, "D", 2),
                                            Single("me04", LastMonthFirstDay, "M", 4)});
    Variant result = ApplyDynamicDates(block, "20261207");
    Variant expected = ConditionData();
    expected[1] = "20261031";
    expected[2] = Variant::ArrayOf({RangeMarker, "20261207", "20261212"});
    expected[4] = "202611";
    EXPECT_TRUE(result.SameAs(expected));
    EXPECT_TRUE(block[1].SameAs(ConditionData())) << "the block itself is not changed";
    EXPECT_TRUE(ApplyDynamicDates(Block(ConditionData(), {}), "20261207").SameAs(ConditionData()));
}

TEST(ApplyDynamicDates, AnyUnusableLineGivesEmptyText) {
    const std::string moved = Single("me01", RunDateItself, "D", 1);
    const std::string noPosition = moved.substr(0, moved.rfind(Sep));
    struct Case {
        const char* name;
        Variant block;
    } cases[] = {
        {"no position field", Block(ConditionData(), {noPosition})},
        {"position not a number", Block(ConditionData(), {noPosition + Sep + "x"})},
        {"position below the data", Block(ConditionData(), {Single("me01", Unchecked, "D", 0)})},
        {"position beyond the data", Block(ConditionData(), {Single("me01", Unchecked, "D", 6)})},
        {"range on a plain text",
         Block(ConditionData(), {Range("me01", RunDateItself, Unchecked, "D", 3)})},
        {"count not a number",
         Block(ConditionData(), {Single("me01", {true, "x", 1, 1, "0"}, "D", 1)})},
        {"unknown month mode",
         Block(ConditionData(), {Single("me01", {true, "1", 1, 5, "0"}, "D", 1)})},
        {"fewer lines than counted",
         [] {
             Variant b = Block(ConditionData(), {Single("me01", RunDateItself, "D", 1)});
             b[3][0] = 2;
             return b;
         }()},
        {"block with bounds 0..2", Variant::ArrayOf({ConditionData(), Variant(), Variant()})},
        {"block not an array", Variant("x")},
    };
    for (const auto& c : cases) {
        Variant result = ApplyDynamicDates(c.block, "20261207");
        EXPECT_TRUE(result.SameAs(Variant(""))) << c.name;
    }
}
