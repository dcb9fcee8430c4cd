// The range rules of the selection panel without controls: date values and the exit check.
#include "controls/SelectPnl.h"

#include <gtest/gtest.h>

#include <string>

using namespace nuv;

namespace {

double Day(int y, int m, int d) {
    return EncodeDate(y, m, d);
}

struct DateCase {
    const char* name;
    const char* text;
    TDateType layout;
    const char* sep;
    double expected;
};

class RangeDateValueTest : public ::testing::TestWithParam<DateCase> {};

} // namespace

TEST_P(RangeDateValueTest, ReadsTheLayout) {
    const DateCase& c = GetParam();
    EXPECT_EQ(RangeDateValue(c.text, c.sep, c.layout, "    /  /  "), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RangeDateValueTest,
    ::testing::Values(
        DateCase{"Gregorian", "2004/05/01", dt_YYYYMMDD, "/", Day(2004, 5, 1)},
        DateCase{"PartsAreTrimmed", " 2004/ 5/ 1 ", dt_YYYYMMDD, "/", Day(2004, 5, 1)},
        DateCase{"MonthWithoutDayIsTheFirst", "2004/05", dt_YYYYMMDD, "/", Day(2004, 5, 1)},
        DateCase{"MonthDayYear", "12/31/2003", dt_MMDDYYYY, "/", Day(2003, 12, 31)},
        DateCase{"MonthYearIsTheFirst", "05/2004", dt_MMDDYYYY, "/", Day(2004, 5, 1)},
        DateCase{"OneDigitMonthYearIsTheFirst", "5/2004", dt_MMDDYYYY, "/", Day(2004, 5, 1)},
        DateCase{"DayMonthYear", "31/12/2003", dt_DDMMYYYY, "/", Day(2003, 12, 31)},
        DateCase{"DayMonthYearWithoutDay", "05/2004", dt_DDMMYYYY, "/", Day(2004, 5, 1)},
        DateCase{"MinguoThreeDigits", "093/05/01", dt_YYYMMDD, "/", Day(2004, 5, 1)},
        DateCase{"MinguoTwoDigits", "92/12/31", dt_YYMMDD, "/", Day(2003, 12, 31)},
        DateCase{"OtherSeparator", "2004-05-01", dt_YYYYMMDD, "-", Day(2004, 5, 1)},
        DateCase{"LongSeparator", "2004::05::01", dt_YYYYMMDD, "::", Day(2004, 5, 1)},
        DateCase{"MonthThirteen", "2004/13/01", dt_YYYYMMDD, "/", 0},
        DateCase{"ThirtyFirstOfApril", "2004/04/31", dt_YYYYMMDD, "/", 0},
        DateCase{"NotANumber", "2004/May/01", dt_YYYYMMDD, "/", 0},
        DateCase{"ThreeSeparators", "2004/05/01/02", dt_YYYYMMDD, "/", 0},
        DateCase{"NoSeparator", "20040501", dt_YYYYMMDD, "/", 0},
        DateCase{"WrongSeparator", "2004-05-01", dt_YYYYMMDD, "/", 0},
        DateCase{"Empty", "", dt_YYYYMMDD, "/", 0},
        DateCase{"UntouchedMask", "    /  /  ", dt_YYYYMMDD, "/", 0},
        DateCase{"NoLayout", "2004/05/01", dt_NoneCare, "/", 0},
        DateCase{"YearZero", "0000/05/01", dt_YYYYMMDD, "/", 0},
        DateCase{"HugeYear", "99999999999999/05/01", dt_YYYYMMDD, "/", 0}),
    [](const ::testing::TestParamInfo<DateCase>& info) { return std::string(info.param.name); });

// The exit check: which range texts are exchanged, and what ends up in the two edits.
namespace {

struct OrderCase {
    const char* name;
    TRangeRules rules;
    const char* begin;
    const char* final;
    const char* expectBegin;
    const char* expectFinal;
    bool exchanged;
};

TRangeRules Rules(TValueType type) {
    TRangeRules r;
    r.ValueType = type;
    return r;
}
TRangeRules DateRules(TDateType layout) {
    TRangeRules r = Rules(vt_Date);
    r.DateType = layout;
    return r;
}
TRangeRules With(TRangeRules r, void (*change)(TRangeRules&)) {
    change(r);
    return r;
}

const char* const DateMaskBlank = "    /  /  ";
const char* const FloatMaskBlank = "     .  ";

class OrderRangeTextsTest : public ::testing::TestWithParam<OrderCase> {};

} // namespace

TEST_P(OrderRangeTextsTest, ExchangesOnlyWhenOutOfOrder) {
    const OrderCase& c = GetParam();
    std::string b = c.begin, e = c.final;
    bool exchanged = OrderRangeTexts(c.rules, b, e);
    EXPECT_EQ(b, c.expectBegin);
    EXPECT_EQ(e, c.expectFinal);
    EXPECT_EQ(exchanged, c.exchanged);
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, OrderRangeTextsTest,
    ::testing::Values(
        // Texts compare by their CP950 bytes (丈 A456 after 人 A448, the other way round in
        // Unicode), numbers by value.
        OrderCase{"StringOutOfOrder", Rules(vt_String), "B", "A", "A", "B", true},
        OrderCase{"StringInOrder", Rules(vt_String), "A", "B", "A", "B", false},
        OrderCase{"StringTenBeforeNine", Rules(vt_String), "10", "9", "10", "9", false},
        OrderCase{"StringIsTrimmed", Rules(vt_String), "  B \t", " A", "A", "B", true},
        OrderCase{"StringBig5Order", Rules(vt_String), "丈", "人", "人", "丈", true},
        OrderCase{"StringEmptyEnd", Rules(vt_String), " B ", "", "B", "", false},
        OrderCase{"TimeOutOfOrder", Rules(vt_Time), "23:00", "08:00", "08:00", "23:00", true},
        OrderCase{"NumberTenAfterNine", Rules(vt_Number), "10", "9", "9", "10", true},
        OrderCase{"NumberUnreadableCountsZero", Rules(vt_Number), "abc", "5", "abc", "5", false},
        OrderCase{"NumberNegative", Rules(vt_Number), "-3", "-7", "-7", "-3", true},
        OrderCase{"NumberBeyond32Bits", Rules(vt_Number), "99999999999", "5", "5", "99999999999",
                  true},
        OrderCase{"OtherMaskNever", Rules(vt_OtherMask), "B", "A", "B", "A", false},
        // An untouched edit (the blank text of its mask) holds no value.
        OrderCase{"UntouchedBeginString",
                  With(Rules(vt_String), [](TRangeRules& r) { r.BlankMaskText = DateMaskBlank; }),
                  "    /  /  ", "2003/01/01", "    /  /  ", "2003/01/01", false},
        OrderCase{
            "UntouchedEndDate",
            With(DateRules(dt_YYYYMMDD), [](TRangeRules& r) { r.BlankMaskText = DateMaskBlank; }),
            "2004/05/01", "    /  /  ", "2004/05/01", "    /  /  ", false},
        OrderCase{"UntouchedEndNumber",
                  With(Rules(vt_Number), [](TRangeRules& r) { r.BlankMaskText = "   ,   "; }),
                  "  5,000", "   ,   ", "  5,000", "   ,   ", false},
        // Under a mask the texts keep their positions: leading blanks stay.
        OrderCase{"MaskedTextsKeepLeadingBlanks",
                  With(Rules(vt_String), [](TRangeRules& r) { r.BlankMaskText = DateMaskBlank; }),
                  "  99/01/01", "  04/05/01", "  04/05/01", "  99/01/01", true},
        OrderCase{
            "DiscardKeepsTheOrder",
            With(Rules(vt_String), [](TRangeRules& r) { r.UseDiscard = true, r.Discard = "*"; }),
            "ZZZ", " * ", "ZZZ", "*", false},
        OrderCase{"DiscardIgnoredWithoutUseDiscard",
                  With(Rules(vt_String), [](TRangeRules& r) { r.Discard = "*"; }), "ZZZ", "*", "*",
                  "ZZZ", true},
        OrderCase{"BlanksKeptForBangMask",
                  With(Rules(vt_String), [](TRangeRules& r) { r.KeepBlanks = true; }), " B", " A",
                  " A", " B", true},
        // Dates by their layout; the typed form stays.
        OrderCase{"MinguoDates", DateRules(dt_YYYMMDD), "093/05/01", "092/12/31", "092/12/31",
                  "093/05/01", true},
        OrderCase{"MonthBeforeLastDayOfMonth", DateRules(dt_YYYYMMDD), "2004/05", "2004/04/30",
                  "2004/04/30", "2004/05", true},
        OrderCase{"DayMonthYearDates", DateRules(dt_DDMMYYYY), "01/02/2004", "31/01/2004",
                  "31/01/2004", "01/02/2004", true},
        OrderCase{"UnreadableBeginStays", DateRules(dt_YYYYMMDD), "2004/13/01", "2003/01/01",
                  "2004/13/01", "2003/01/01", false},
        OrderCase{"UnreadableEndIsExchanged", DateRules(dt_YYYYMMDD), "2003/01/01", "2004/13/01",
                  "2004/13/01", "2003/01/01", true},
        OrderCase{"DatesWithoutLayoutByBytes", DateRules(dt_NoneCare), "2004/05/01", "2003/01/01",
                  "2003/01/01", "2004/05/01", true},
        OrderCase{
            "DatesNotReordered",
            With(DateRules(dt_YYYYMMDD), [](TRangeRules& r) { r.AutoChangeDateSite = false; }),
            "2004/05/01", "2003/01/01", "2004/05/01", "2003/01/01", false},
        OrderCase{"DateDiscard",
                  With(DateRules(dt_YYYYMMDD),
                       [](TRangeRules& r) { r.UseDiscard = true, r.Discard = "*"; }),
                  "2004/05/01", "*", "2004/05/01", "*", false},
        // Floats are rewritten from their parts before the comparison.
        OrderCase{"FloatsByValue", Rules(vt_Float), " 12.50", "3.5 ", "3.5", "12.50", true},
        OrderCase{"FloatFractionKeepsLeadingZeros", Rules(vt_Float), "007.050", "7.5", "7.050",
                  "7.5", false},
        OrderCase{"FloatNegativeBelowOne", Rules(vt_Float), "0.5", "-0.5", "-0.5", "0.5", true},
        OrderCase{"FloatUnreadableIntegerPart", Rules(vt_Float), "x.5", "0.25", "0.25", "0.5",
                  true},
        OrderCase{"FloatKeepsTheMaskLayout",
                  With(Rules(vt_Float), [](TRangeRules& r) { r.BlankMaskText = FloatMaskBlank; }),
                  "012  .5 ", "    3.25", "    3.25", "   12.5 ", true},
        OrderCase{"FloatUntouchedStays",
                  With(Rules(vt_Float), [](TRangeRules& r) { r.BlankMaskText = FloatMaskBlank; }),
                  "   12.5 ", "     .  ", "   12.5 ", "     .  ", false}),
    [](const ::testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.name); });

TEST(LocaleCompareText, IgnoresCaseAndFollowsTheCollation) {
    EXPECT_EQ(LocaleCompareText("abc", "ABC"), 0);
    EXPECT_LT(LocaleCompareText("abc", "ABD"), 0);
    EXPECT_GT(LocaleCompareText("b", "A"), 0);
    EXPECT_LT(LocaleCompareText("", "a"), 0);
    EXPECT_NE(LocaleCompareText("甲", "乙"), 0);
}
