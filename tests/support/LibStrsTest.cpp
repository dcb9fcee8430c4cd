#include "support/LibStrs.h"

#include "platform/DateTime.h"
#include "platform/TestFiles.h"
#include "support/NUVLIB.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

using namespace nuv;
using nuv::test::ReadFile;
using nuv::test::ScopedEnv;
using nuv::test::TempDir;

namespace {

// "yyyymmdd" of a date value, for readable failures.
std::string Ymd(double date) {
    if (date == 0)
        return "no date";
    int y, m, d;
    DecodeDate(date, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4d%.2d%.2d", y, m, d);
    return buf;
}

} // namespace

// --- layouts -----------------------------------------------------------------------------------

struct FormatCase {
    TDateType layout;
    const char* separator;
    int y, m, d;
    const char* full;
    const char* yearMonth;
};

TEST(LibStrsLayout, FormatsEveryLayout) {
    const FormatCase cases[] = {
        {dt_YYYYMMDD, "/", 2003, 12, 12, "2003/12/12", "2003/12"},
        {dt_MMDDYYYY, "-", 2004, 3, 5, "03-05-2004", "03-2004"},
        {dt_DDMMYYYY, ".", 2004, 3, 5, "05.03.2004", "03.2004"},
        // Minguo years: layouts 4 and 5 differ only below year 100.
        {dt_YYMMDD, "/", 2003, 12, 12, "92/12/12", "92/12"},
        {dt_YYYMMDD, "/", 2003, 12, 12, "092/12/12", "092/12"},
        {dt_YYMMDD, "/", 2012, 1, 1, "101/01/01", "101/01"},
        {dt_YYYMMDD, "/", 2012, 1, 1, "101/01/01", "101/01"},
        {dt_YYMMDD, "/", 1915, 6, 9, "04/06/09", "04/06"},
        {dt_YYYMMDD, "/", 1915, 6, 9, "004/06/09", "004/06"},
        // Only the first character of the separator counts; none without one.
        {dt_YYYYMMDD, "-/", 2003, 12, 1, "2003-12-01", "2003-12"},
        {dt_YYYYMMDD, "", 2003, 12, 1, "20031201", "200312"},
        {dt_YYYYMMDD, "年月", 2003, 12, 1, "2003年12年01", "2003年12"},
        {dt_NoneCare, "/", 2003, 12, 1, "", ""},
        {static_cast<TDateType>(6), "/", 2003, 12, 1, "", ""},
    };
    for (const auto& c : cases) {
        double date = EncodeDate(c.y, c.m, c.d);
        EXPECT_EQ(FormatDateByLayout(c.layout, c.separator, date), c.full)
            << c.layout << " " << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(FormatYearMonthByLayout(c.layout, c.separator, date), c.yearMonth)
            << c.layout << " " << c.y << "-" << c.m;
    }
}

TEST(LibStrsLayout, NoDateFormatsAsEmptyText) {
    for (double date : {0.0, 3.0e6, -7.0e5, std::nan("")}) {
        EXPECT_EQ(FormatDateByLayout(dt_YYYYMMDD, "/", date), "") << date;
        EXPECT_EQ(FormatYearMonthByLayout(dt_YYYYMMDD, "/", date), "") << date;
    }
    // The time of day does not change the date.
    EXPECT_EQ(FormatDateByLayout(dt_YYYYMMDD, "/", EncodeDate(2003, 12, 12) + 0.75), "2003/12/12");
}

struct ParseCase {
    const char* text;
    TDateType layout;
    const char* separator;
    const char* expected; // "yyyymmdd", or "no date"
};

TEST(LibStrsLayout, ParsesEveryLayoutAndRefusesUnreadableTexts) {
    const ParseCase cases[] = {
        {"2003/12/01", dt_YYYYMMDD, "/", "20031201"},
        {" 12 / 5 /2004 ", dt_MMDDYYYY, "/", "20041205"},
        {"05-12-2004", dt_DDMMYYYY, "-", "20041205"},
        {"92/12/12", dt_YYMMDD, "/", "20031212"},
        {"092/12/12", dt_YYYMMDD, "/", "20031212"},
        {"101/1/1", dt_YYMMDD, "/", "20120101"},
        // A day past the month's end runs on into the next month.
        {"92/2/30", dt_YYMMDD, "/", "20030302"},
        {"2004/2/30", dt_YYYYMMDD, "/", "20040301"},
        {"2003/12/400", dt_YYYYMMDD, "/", "20050103"},
        // The separator is the first character of the separator text.
        {"2003.12.01", dt_YYYYMMDD, ".-", "20031201"},
        // Unreadable: empty, missing parts, zero or negative parts, non-numbers, bad month.
        {"", dt_YYYYMMDD, "/", "no date"},
        {"   ", dt_YYYYMMDD, "/", "no date"},
        {"0/1/1", dt_YYMMDD, "/", "no date"},
        {"2003/12", dt_YYYYMMDD, "/", "no date"},
        {"2003/ab/01", dt_YYYYMMDD, "/", "no date"},
        {"-1/12/01", dt_YYMMDD, "/", "no date"},
        {"2003/13/01", dt_YYYYMMDD, "/", "no date"},
        {"2003-12-01", dt_YYYYMMDD, "/", "no date"},
        {"65536/1/1", dt_YYYYMMDD, "/", "no date"},
        {"20031201", dt_YYYYMMDD, "", "no date"},
        // Outside the platform's years.
        {"9999/12/32", dt_YYYYMMDD, "/", "no date"},
        {"10000/1/1", dt_YYYYMMDD, "/", "no date"},
        // Layouts outside 1..5.
        {"2003/12/01", dt_NoneCare, "/", "no date"},
        {"2003/12/01", static_cast<TDateType>(6), "/", "no date"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Ymd(ParseDateByLayout(c.text, c.layout, c.separator)), c.expected)
            << "'" << c.text << "' layout " << c.layout;
}

TEST(LibStrsLayout, FormattedDatesParseBack) {
    const TDateType layouts[] = {dt_YYYYMMDD, dt_MMDDYYYY, dt_DDMMYYYY, dt_YYMMDD, dt_YYYMMDD};
    const double dates[] = {EncodeDate(1912, 1, 1), EncodeDate(2000, 2, 29),
                            EncodeDate(2010, 12, 31), EncodeDate(2011, 1, 1),
                            EncodeDate(9999, 12, 31)};
    for (TDateType layout : layouts)
        for (double date : dates)
            for (const char* sep : {"/", "-", "."}) {
                std::string text = FormatDateByLayout(layout, sep, date);
                EXPECT_EQ(ParseDateByLayout(text, layout, sep), date) << text;
            }
}

// --- yyyymmdd texts ----------------------------------------------------------------------------

TEST(LibStrsYYYYMMDD, ReadsOnlyRealEightDigitDates) {
    const std::pair<const char*, const char*> cases[] = {
        {"20031201", "20031201"}, {"20040229", "20040229"}, {"00010101", "00010101"},
        {"20030230", "no date"},  {"19000229", "no date"},  {"20031301", "no date"},
        {"00001201", "no date"},  {"20031200", "no date"},  {"2003121", "no date"},
        {"200312011", "no date"}, {"2003ab01", "no date"},  {"2003+1+1", "no date"},
        {"", "no date"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Ymd(DateFromYYYYMMDD(text)), expected) << "'" << text << "'";
}

TEST(LibStrsYYYYMMDD, ValidityIgnoresLengthButNeedsEveryPart) {
    const std::pair<const char*, bool> cases[] = {
        {"", true},          {"20040229", true},   {"20030230", false}, {"19000229", false},
        {"20001301", false}, {"00000101", false},  {"2003120", false},  {"200312", false},
        {"abcd1201", false}, {"2003120199", true}, // read by its first eight characters
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(IsValidYYYYMMDD(text), expected) << "'" << text << "'";
}

TEST(LibStrsYYYYMMDD, DaysInMonthFollowsTheLeapYearRule) {
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2004, 2), 29);
    EXPECT_EQ(DaysInMonth(2003, 4), 30);
    EXPECT_EQ(DaysInMonth(2003, 13), 0);
    EXPECT_EQ(DaysInMonth(2003, 0), 0);
}

// --- ShiftDate ---------------------------------------------------------------------------------

struct ShiftCase {
    Variant value;
    const char* unit;
    int amount;
    const char* expected;
};

TEST(LibStrsShiftDate, ShiftsByYearsMonthsAndDays) {
    const ShiftCase cases[] = {
        {"20040229", "Y", 1, "20050228"},
        {"20040229", "Y", 4, "20080229"},
        {"20040229", "Y", -1, "20030228"},
        {"20030131", "M", 1, "20030228"},
        {"20040131", "M", 1, "20040229"},
        {"20030331", "M", -1, "20030228"},
        {"20030115", "M", -1, "20021215"},
        {"20031231", "M", 12, "20041231"},
        {"20031215", "M", 1, "20040115"},
        {"20031231", "M", -12, "20021231"},
        {"20030115", "M", -13, "20011215"},
        {"20030115", "D", -15, "20021231"},
        {"20040228", "D", 1, "20040229"},
        {"20030115", "m", 1, "20030215"},
        {"20030115", "d", 0, "20030115"},
        {"20030115", "y", -3, "20000115"},
        {Variant::FromDate(EncodeDate(2003, 1, 31) + 0.5), "M", 1, "20030228"},
        {Variant::FromBytes("20030115", 950), "D", 1, "20030116"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShiftDate(c.value, c.unit, c.amount), c.expected)
            << c.value.ToString() << " " << c.unit << " " << c.amount;
}

TEST(LibStrsShiftDate, UnusableInputsGiveEmptyText) {
    const ShiftCase cases[] = {
        // Units other than Y, M and D.
        {"20030115", "X", 1, ""},
        {"20030115", "", 1, ""},
        {"20030115", "MM", 1, ""},
        // Values that are no usable date.
        {"", "D", 1, ""},
        {"2003011", "D", 1, ""},
        {"20030230", "D", 1, ""},
        {Variant::FromDate(0), "D", 1, ""},
        {Variant(37000), "D", 1, ""},
        {Variant(37000.0), "D", 1, ""},
        {Variant::MakeNull(), "D", 1, ""},
        {Variant(), "D", 1, ""},
        // Results outside the years 1..9999, also for amounts that would overflow.
        {"99991231", "D", 1, ""},
        {"00010101", "D", -1, ""},
        {"99991201", "M", 1, ""},
        {"00010115", "M", -1, ""},
        {"99990101", "Y", 1, ""},
        {"20030115", "M", INT_MAX, ""},
        {"20030115", "Y", INT_MIN, ""},
        {"20030115", "D", INT_MIN, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShiftDate(c.value, c.unit, c.amount), c.expected)
            << c.value.ToString() << " " << c.unit << " " << c.amount;
}

// --- texts ---------------------------------------------------------------------------------------

TEST(LibStrsText, GetDelimitedFieldCountsFromOne) {
    struct Case {
        const char* text;
        const char* sep;
        int n;
        const char* expected;
    } cases[] = {
        {"a,b,c", ",", 1, "a"}, {"a,b,c", ",", 3, "c"},    {"a,b,c", ",", 4, ""},
        {"a,b,c", ",", 0, ""},  {"a,b,c", ",", -1, ""},    {"a,,c", ",", 2, ""},
        {"a,,c", ",", 3, "c"},  {"a::b::c", "::", 2, "b"}, {"a:b::c", "::", 1, "a:b"},
        {"", ",", 1, ""},       {"abc", "", 1, "abc"},     {"abc", "", 2, ""},
        {"a,b,", ",", 3, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetDelimitedField(c.text, c.sep, c.n), c.expected)
            << "'" << c.text << "' '" << c.sep << "' " << c.n;
}

TEST(LibStrsText, FieldCountIsSeparatorsPlusOne) {
    struct Case {
        const char* text;
        const char* sep;
        int expected;
    } cases[] = {
        {"a,b,c", ",", 3}, {"", ",", 0},   {"abc", ",", 1},
        {"a,", ",", 2},    {",,", ",", 3}, {"a::b", "::", 2},
        {"aaa", "aa", 2},  {"abc", "", 1}, {"edDate,meStartDate,meEndDate,edPrintDate", ",", 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FieldCount(c.text, c.sep), c.expected) << "'" << c.text << "' '" << c.sep << "'";
}

TEST(LibStrsText, SplitHeadTakesThePartBeforeTheFirstSeparator) {
    struct Case {
        const char* text;
        const char* sep;
        const char* head;
        const char* rest;
    } cases[] = {
        {"a,b,c", ",", "a", "b,c"}, {"abc", ",", "abc", ""},  {"", ",", "", ""},
        {",x", ",", "", "x"},       {"a::b", "::", "a", "b"}, {"a,b", "", "a,b", ""},
        {"a,", ",", "a", ""},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(SplitHead(text, c.sep), c.head) << "'" << c.text << "'";
        EXPECT_EQ(text, c.rest) << "'" << c.text << "'";
    }
}

TEST(LibStrsText, IsLocalHostOnlyForTheLoopbackAddress) {
    EXPECT_TRUE(IsLocalHost("127.0.0.1"));
    for (const char* other : {"localhost", " 127.0.0.1", "127.0.0.10", "127.0.0.2", ""})
        EXPECT_FALSE(IsLocalHost(other)) << other;
}

// --- variants ----------------------------------------------------------------------------------

TEST(LibStrsVariant, IfThenVarReturnsAnIndependentCopy) {
    Variant a = Variant::ArrayOf({"x", 1});
    Variant b = "other";
    Variant chosen = IfThenVar(true, a, b);
    chosen[0] = "changed";
    EXPECT_EQ(a[0].ToString(), "x");
    EXPECT_TRUE(IfThenVar(false, a, b).SameAs(b));
}

TEST(LibStrsVariant, VarIsEmptyOrNullOnlyForUnassignedAndNull) {
    EXPECT_TRUE(VarIsEmptyOrNull(Variant()));
    EXPECT_TRUE(VarIsEmptyOrNull(Variant::MakeNull()));
    EXPECT_FALSE(VarIsEmptyOrNull(Variant("")));
    EXPECT_FALSE(VarIsEmptyOrNull(Variant(0)));
    EXPECT_FALSE(VarIsEmptyOrNull(Variant::ArrayOf({})));
}

namespace {

// Host options as the host hands them over: names in [0, i], values in [1, i].
Variant OptionTable(std::initializer_list<std::pair<Variant, Variant>> options, int low = 0) {
    Variant table = Variant::CreateArray(
        {ArrayBounds{low, low + 1}, ArrayBounds{0, static_cast<int>(options.size()) - 1}});
    int i = 0;
    for (const auto& [name, value] : options) {
        table.Element(low, i) = name;
        table.Element(low + 1, i) = value;
        ++i;
    }
    return table;
}

} // namespace

TEST(LibStrsVariant, HostOptionEnabledReadsTheNamedSwitch) {
    Variant table = OptionTable({{"XYZ", true},
                                 {"FEP", false},
                                 {"fep", true},
                                 {"Txt", "True"},
                                 {"Num", 0},
                                 {"Bad", "maybe"}});
    EXPECT_FALSE(HostOptionEnabled(table, "FEP")); // the first match counts
    EXPECT_FALSE(HostOptionEnabled(table, "Fep")); // names ignore case
    EXPECT_TRUE(HostOptionEnabled(table, "xyz"));
    EXPECT_TRUE(HostOptionEnabled(table, "TXT"));
    EXPECT_FALSE(HostOptionEnabled(table, "Num"));
    EXPECT_TRUE(HostOptionEnabled(table, "Other")); // not listed: on
    EXPECT_FALSE(HostOptionEnabled(table, "Bad"));  // unreadable value: off
    EXPECT_TRUE(HostOptionEnabled(OptionTable({}), "FEP"));
}

TEST(LibStrsVariant, HostOptionEnabledTreatsMalformedTablesAsOff) {
    const Variant malformed[] = {
        Variant(),
        Variant::MakeNull(),
        Variant("FEP"),
        Variant::ArrayOf({"FEP", true}),
        OptionTable({{"FEP", true}}, 1), // first index 1..2
        Variant::CreateArray({ArrayBounds{0, 2}, ArrayBounds{0, 0}}),
        OptionTable({{Variant::ArrayOf({}), true}}),
    };
    for (const auto& t : malformed)
        EXPECT_FALSE(HostOptionEnabled(t, "OTHER")) << t.TypeName();
}

// Loops over bounds end for every valid shape, also when a dimension ends at INT_MAX.
TEST(LibStrsVariant, BoundsEndingAtIntMax) {
    Variant table = Variant::CreateArray({ArrayBounds{0, 1}, ArrayBounds{INT_MAX - 1, INT_MAX}});
    table.Element(0, INT_MAX - 1) = "FEP";
    table.Element(1, INT_MAX - 1) = false;
    table.Element(0, INT_MAX) = "TXT";
    table.Element(1, INT_MAX) = true;
    EXPECT_FALSE(HostOptionEnabled(table, "FEP"));
    EXPECT_TRUE(HostOptionEnabled(table, "TXT"));
    EXPECT_TRUE(HostOptionEnabled(table, "Other")) << "not listed: on";

    const Variant shapes[] = {
        Variant::CreateArray({ArrayBounds{INT_MAX - 1, INT_MAX}, ArrayBounds{0, -1}}),
        Variant::CreateArray({ArrayBounds{0, 0}, ArrayBounds{INT_MAX, INT_MAX}}),
        Variant::CreateArray({ArrayBounds{INT_MAX - 2, INT_MAX}}),
    };
    for (const Variant& shape : shapes)
        EXPECT_TRUE(ToWideVariant(shape, 950).SameAs(shape));
}

// A reference inside an array that leads back to the array is walked only to the nesting
// bound; the rest of the array is still decoded.
TEST(LibStrsVariant, ToWideVariantStopsAtTheNestingBound) {
    ScopedEnv acp("NUV_ACP", "65001");
    Variant holder = Variant::ArrayOf({0, Variant::FromBytes("\xA4\xA4", 950)});
    holder[0] = Variant::ByRef(holder);
    Variant wide = ToWideVariant(holder, 950);
    EXPECT_EQ(wide[1].ToString(), "中");
}

// --- wide texts --------------------------------------------------------------------------------

namespace {

const std::string Big5Zhong = "\xA4\xA4\xA4\xE5";   // 中文 in CP950
const std::string Gb2312Zhong = "\xD6\xD0\xCE\xC4"; // 中文 in CP936

} // namespace

TEST(LibStrsWide, ToWideTextDecodesInTheGivenCodePage) {
    ScopedEnv acp("NUV_ACP", "65001");
    EXPECT_EQ(ToWideText(Big5Zhong, 950), "中文");
    EXPECT_EQ(ToWideText(Gb2312Zhong, 936), "中文");
    EXPECT_EQ(ToWideText("", 950), "");
    EXPECT_EQ(ToWideText("\xFF", 65001), "\xEF\xBF\xBD"); // invalid bytes become U+FFFD
}

TEST(LibStrsWide, ToWideTextFallsBackToTheSystemCodePage) {
    ScopedEnv acp("NUV_ACP", "950");
    EXPECT_EQ(ToWideText(Big5Zhong, 12345), "中文");
}

TEST(LibStrsWide, ToWideTextRaisesWhenNoCodePageCanDecode) {
    ScopedEnv acp("NUV_ACP", "12345");
    EXPECT_THROW(ToWideText(Big5Zhong, 54321), Exception);
    EXPECT_EQ(ToWideText(Big5Zhong, 950), "中文");
}

namespace {

// A two-dimensional array [0..1, 0..1] of the given items, row by row.
Variant Grid(const Variant& a, const Variant& b, const Variant& c, const Variant& d) {
    Variant g = Variant::CreateArray({ArrayBounds{0, 1}, ArrayBounds{0, 1}});
    g.Element(0, 0) = a;
    g.Element(0, 1) = b;
    g.Element(1, 0) = c;
    g.Element(1, 1) = d;
    return g;
}

Variant Big5(const std::string& bytes) {
    return Variant::FromBytes(bytes, 950);
}

} // namespace

TEST(LibStrsWide, ToWideVariantDecodesByteTextsAtAnyDepth) {
    ScopedEnv acp("NUV_ACP", "65001");
    // The request's arrays start at 1; nested arrays at 0.
    Variant request = Variant::CreateArray({ArrayBounds{1, 4}});
    request[1] = Big5(Big5Zhong);
    request[2] = Variant::ArrayOf({Big5(Big5Zhong), Variant::ArrayOf({Big5(Big5Zhong), 7})});
    request[3] = "中文"; // already Unicode: must come through untouched
    request[4] = Variant::MakeNull();

    Variant expected = Variant::CreateArray({ArrayBounds{1, 4}});
    expected[1] = "中文";
    expected[2] = Variant::ArrayOf({"中文", Variant::ArrayOf({"中文", 7})});
    expected[3] = "中文";
    expected[4] = Variant::MakeNull();
    EXPECT_TRUE(ToWideVariant(request, 950).SameAs(expected));
}

TEST(LibStrsWide, ToWideVariantDecodesInTheGivenCodePage) {
    ScopedEnv acp("NUV_ACP", "65001");
    // The given code page decides, whatever page the byte text was tagged with.
    EXPECT_TRUE(ToWideVariant(Variant::FromBytes(Gb2312Zhong, 950), 936).SameAs(Variant("中文")));
    EXPECT_TRUE(ToWideVariant(Big5(Big5Zhong), 950).SameAs(Variant("中文")));
}

TEST(LibStrsWide, ToWideVariantDecodesGridsWithoutDescending) {
    ScopedEnv acp("NUV_ACP", "65001");
    Variant nested = Variant::ArrayOf({Big5(Big5Zhong)});
    Variant grid = Grid(Big5(Big5Zhong), "中文", nested, 3);
    EXPECT_TRUE(ToWideVariant(grid, 950).SameAs(Grid("中文", "中文", nested, 3)));
}

TEST(LibStrsWide, ToWideVariantLeavesOtherKindsAlone) {
    ScopedEnv acp("NUV_ACP", "65001");
    const Variant values[] = {
        Variant(),    Variant::MakeNull(), Variant("中文"),          Variant(42),
        Variant(1.5), Variant(true),       Variant::FromDate(38051), Variant::ArrayOf({})};
    for (const auto& v : values)
        EXPECT_TRUE(ToWideVariant(v, 950).SameAs(v)) << v.TypeName();
}

TEST(LibStrsWide, ToWideVariantConvertsTheTargetOfAReference) {
    ScopedEnv acp("NUV_ACP", "65001");
    Variant target = Variant::ArrayOf({Big5(Big5Zhong)});
    Variant ref = Variant::ByRef(target);
    Variant result = ToWideVariant(ref, 950);
    EXPECT_TRUE(result.SameAs(Variant::ArrayOf({"中文"})));
    EXPECT_TRUE(target[0].SameAs(Big5(Big5Zhong))) << "the referenced value is not changed";
}

TEST(LibStrsWide, ToWideVariantLogsAFailureAndReturnsTheValue) {
    TempDir dir;
    ScopedEnv registry("NUV_REGISTRY",
                       dir.Write("registry.reg", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\NUV\\"
                                                 "Tarvel]\n\"ClientPath\"=\"" +
                                                     dir / "App" + "\"\n"));
    ScopedEnv acp("NUV_ACP", "12345"); // neither page can decode
    ScopedNow clock(EncodeDate(2004, 3, 5) + EncodeTime(9, 8, 7, 65));

    Variant value = Variant::ArrayOf({Big5(Big5Zhong), "x"});
    EXPECT_TRUE(ToWideVariant(value, 54321).SameAs(value));
    EXPECT_TRUE(ToWideVariant(Big5(Big5Zhong), 54321).SameAs(Big5(Big5Zhong)));

    std::string log = ReadFile(dir / "App/Log/Alert_libstrs_20040305.log");
    EXPECT_EQ(AlertLogFileName("libstrs", "D"), dir / "App/Log/Alert_libstrs_20040305.log");
    std::size_t first = log.find("] LINE[115] ");
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find("] LINE[115] ", first + 1), std::string::npos) << "one line per failure";
    EXPECT_EQ(log.rfind("[2004/03/05 09:08:07:065] LINE[115] ", 0), 0u) << log;
}
