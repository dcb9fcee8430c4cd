#include <nuv/Variant.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

using nuv::ArrayBounds;
using nuv::EVariantError;
using nuv::Exception;
using nuv::Variant;
using nuv::VarType;

TEST(Variant, KindsAndTests) {
    Variant unassigned;
    EXPECT_TRUE(unassigned.IsEmpty());
    EXPECT_TRUE(unassigned.IsEmptyOrNull());
    Variant null = Variant::MakeNull();
    EXPECT_TRUE(null.IsNull());
    EXPECT_TRUE(null.IsEmptyOrNull());
    EXPECT_FALSE(Variant("").IsEmptyOrNull()) << "an empty text is neither unassigned nor Null";
    EXPECT_EQ(Variant(true).Type(), VarType::Boolean);
    EXPECT_EQ(Variant(7).Type(), VarType::Integer);
    EXPECT_EQ(Variant(2.5).Type(), VarType::Double);
    EXPECT_EQ(Variant::FromDate(37966).Type(), VarType::Date);
    EXPECT_EQ(Variant("x").Type(), VarType::Text);
    EXPECT_EQ(Variant::FromBytes("x", 950).Type(), VarType::ByteText);
}

struct ToStringCase {
    const char* label;
    Variant value;
    std::string expected;
};

TEST(Variant, ToStringFollowsTheDelphiRules) {
    const ToStringCase cases[] = {
        {"unassigned", Variant(), ""},
        {"null", Variant::MakeNull(), ""},
        {"true", Variant(true), "True"},
        {"false", Variant(false), "False"},
        {"negative integer", Variant(-42), "-42"},
        {"double", Variant(2.5), "2.5"},
        {"whole double", Variant(3.0), "3"},
        {"tiny double", Variant(0.1), "0.1"},
        {"huge double", Variant(1e20), "1E20"},
        {"date", Variant::FromDate(37967), "2003/12/12"},
        {"date with time", Variant::FromDate(37967.5), "2003/12/12 12:00:00"},
        {"text", Variant("abc"), "abc"},
        // 0xA4A4 is the Big5 code of U+4E2D.
        {"big5 bytes", Variant::FromBytes("\xA4\xA4", 950), "\xE4\xB8\xAD"},
        // 0xD6D0 is the GBK code of the same character.
        {"gbk bytes", Variant::FromBytes("\xD6\xD0", 936), "\xE4\xB8\xAD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value.ToString(), c.expected) << c.label;
}

struct ToIntCase {
    const char* label;
    Variant value;
    int expected;
};

TEST(Variant, ToIntFollowsTheDelphiRules) {
    const ToIntCase cases[] = {
        {"unassigned", Variant(), 0},
        {"true is -1", Variant(true), -1},
        {"false", Variant(false), 0},
        {"text", Variant(" 12 "), 12},
        {"negative text", Variant("-7"), -7},
        {"hex text", Variant("$1F"), 31},
        {"float text rounds", Variant("2.5"), 2},
        {"float text rounds half to even", Variant("3.5"), 4},
        {"double rounds half to even", Variant(2.5), 2},
        {"boolean text", Variant("true"), -1},
        {"byte text", Variant::FromBytes("15", 950), 15},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value.ToInt(), c.expected) << c.label;
}

TEST(Variant, FailedConversionsRaiseTheGeneralClass) {
    const Variant bad[] = {Variant::MakeNull(), Variant("abc"), Variant(""),
                           Variant::ArrayOf({1, 2}), Variant(1e12)};
    for (const Variant& v : bad) {
        EXPECT_THROW(v.ToInt(), EVariantError) << v.TypeName();
        EXPECT_THROW(v.ToInt(), Exception) << "caught as the general class";
        EXPECT_EQ(v.ToIntDef(-9), -9);
    }
    try {
        Variant::MakeNull().ToInt();
        FAIL();
    } catch (const EVariantError& e) {
        EXPECT_STREQ(e.what(), "Could not convert variant of type (Null) into type (Integer)");
    }
    EXPECT_THROW(Variant::MakeNull().ToBool(), EVariantError);
    EXPECT_THROW(Variant("maybe").ToBool(), EVariantError);
    EXPECT_FALSE(Variant("maybe").ToBoolDef(false));
}

TEST(Variant, ToBool) {
    EXPECT_TRUE(Variant("TRUE").ToBool());
    EXPECT_FALSE(Variant("False").ToBool());
    EXPECT_TRUE(Variant("1").ToBool());
    EXPECT_FALSE(Variant("0").ToBool());
    EXPECT_TRUE(Variant(-1).ToBool());
    EXPECT_FALSE(Variant().ToBool());
}

TEST(Variant, OneDimensionalArrayWithAnyLowerBound) {
    Variant a = Variant::CreateArray({ArrayBounds{1, 3}});
    EXPECT_TRUE(a.IsArray());
    EXPECT_EQ(a.ArrayDimCount(), 1);
    EXPECT_EQ(a.ArrayLowBound(1), 1);
    EXPECT_EQ(a.ArrayHighBound(1), 3);
    EXPECT_TRUE(a[1].IsEmpty());
    a[1] = "head";
    a[3] = 5;
    EXPECT_EQ(a[1].ToString(), "head");
    EXPECT_EQ(a[3].ToInt(), 5);
    EXPECT_THROW(a[0], EVariantError);
    EXPECT_THROW(a[4], EVariantError);
    EXPECT_THROW(a.Element(1, 1), EVariantError);
    EXPECT_THROW(Variant(3).ArrayLowBound(1), EVariantError);
    EXPECT_THROW(a.ArrayLowBound(2), EVariantError);
}

TEST(Variant, RedimKeepsElementsOfTheLastDimension) {
    Variant a = Variant::ArrayOf({"a", "b"});
    a.ArrayRedim(3);
    EXPECT_EQ(a.ArrayHighBound(), 3);
    EXPECT_EQ(a[1].ToString(), "b");
    EXPECT_TRUE(a[3].IsEmpty());
    a.ArrayRedim(0);
    EXPECT_EQ(a.ArrayCount(), 1);
    EXPECT_EQ(a[0].ToString(), "a");

    // Two dimensions [0..1, 0..n]: a table of name/value columns that grows by columns.
    Variant t = Variant::CreateArray({ArrayBounds{0, 1}, ArrayBounds{0, 0}});
    t.Element(0, 0) = "FEP";
    t.Element(1, 0) = true;
    t.ArrayRedim(1);
    t.Element(0, 1) = "X";
    EXPECT_EQ(t.Element(0, 0).ToString(), "FEP");
    EXPECT_TRUE(t.Element(1, 0).ToBool());
    EXPECT_EQ(t.Element(0, 1).ToString(), "X");
    EXPECT_EQ(t.ArrayHighBound(2), 1);
    EXPECT_THROW(t.Element(2, 0), EVariantError);
    EXPECT_THROW(t[0], EVariantError);
}

TEST(Variant, ArraysHaveValueSemantics) {
    Variant inner = Variant::ArrayOf({1, 2});
    Variant outer = Variant::ArrayOf({inner, "x"});
    Variant copy = outer;
    copy[0][0] = 99;
    EXPECT_EQ(outer[0][0].ToInt(), 1) << "a copy must not share the nested array";
    EXPECT_EQ(copy[0][0].ToInt(), 99);
    Variant assigned;
    assigned = copy;
    assigned[1] = "y";
    EXPECT_EQ(copy[1].ToString(), "x");
    EXPECT_TRUE(outer.SameAs(Variant::ArrayOf({Variant::ArrayOf({1, 2}), "x"})));
    EXPECT_FALSE(outer.SameAs(copy));
}

TEST(Variant, ByRefWritesThroughToTheTarget) {
    Variant target = 1;
    Variant ref = Variant::ByRef(target);
    EXPECT_TRUE(ref.IsByRef());
    EXPECT_EQ(ref.Type(), VarType::Integer);
    EXPECT_EQ(ref.ToInt(), 1);
    ref.Deref() = "changed";
    EXPECT_EQ(target.ToString(), "changed");
    EXPECT_FALSE(target.IsByRef());
}

TEST(Variant, BadArrayBounds) {
    EXPECT_THROW(Variant::CreateArray({ArrayBounds{2, 0}}), EVariantError);
    EXPECT_THROW(Variant::CreateArray(std::vector<ArrayBounds>{}), EVariantError);
    Variant empty = Variant::CreateArray({ArrayBounds{0, -1}});
    EXPECT_EQ(empty.ArrayCount(), 0);
}

// --- shapes a hostile caller can hand over -------------------------------------------------

TEST(VariantShapes, BoundsAreCheckedIn64Bits) {
    constexpr int Min = INT_MIN, Max = INT_MAX;
    struct Case {
        const char* label;
        std::vector<ArrayBounds> dims;
        std::int64_t items; // -1: refused with EVariantError
    } cases[] = {
        {"whole int range", {{Min, Max}}, -1},
        {"one element at INT_MIN", {{Min, Min}}, 1},
        {"three elements from INT_MIN", {{Min, Min + 2}}, 3},
        {"three elements up to INT_MAX", {{Max - 2, Max}}, 3},
        {"empty at INT_MAX", {{Max, Max - 1}}, 0},
        {"high below low - 1", {{5, 3}}, -1},
        {"high far below low", {{Max, Min}}, -1},
        {"100,000 x 100,000", {{0, 99'999}, {0, 99'999}}, -1},
        {"long empty dimension", {{0, Max}, {0, -1}}, -1},
        {"just over the cap", {{0, 2048}, {0, 2047}}, -1},
        {"2-D at the extremes", {{Min, Min + 1}, {Max - 2, Max}}, 6},
        {"three dimensions", {{0, 1}, {0, 1}, {0, 1}}, -1},
    };
    for (const Case& c : cases) {
        if (c.items < 0) {
            EXPECT_THROW(Variant::CreateArray(c.dims), EVariantError) << c.label;
            continue;
        }
        Variant a = Variant::CreateArray(c.dims);
        ASSERT_EQ(static_cast<std::int64_t>(a.Array()->items.size()), c.items) << c.label;
        if (c.items == 0)
            continue;
        // The first and the last element are distinct slots inside the array.
        const ArrayBounds& first = c.dims.front();
        const ArrayBounds& last = c.dims.back();
        if (c.dims.size() == 1) {
            a[first.low] = "first";
            a[first.high] = "last";
            EXPECT_EQ(a[first.low].ToString(), c.items == 1 ? "last" : "first") << c.label;
            EXPECT_EQ(a[first.high].ToString(), "last") << c.label;
            if (first.high < Max) {
                EXPECT_THROW(a[first.high + 1], EVariantError) << c.label;
            }
            if (first.low > Min) {
                EXPECT_THROW(a[first.low - 1], EVariantError) << c.label;
            }
        } else {
            a.Element(first.low, last.low) = "first";
            a.Element(first.high, last.high) = "last";
            EXPECT_EQ(a.Element(first.low, last.low).ToString(), "first") << c.label;
            EXPECT_EQ(a.Element(first.high, last.high).ToString(), "last") << c.label;
            EXPECT_THROW(a.Element(first.low, last.low - 1), EVariantError) << c.label;
        }
    }
}

TEST(VariantShapes, RedimAndArrayOfKeepToTheCap) {
    Variant a = Variant::CreateArray({ArrayBounds{INT_MIN, INT_MIN}});
    EXPECT_THROW(a.ArrayRedim(INT_MAX), EVariantError);
    EXPECT_THROW(a.ArrayRedim(INT_MIN + static_cast<int>(nuv::MaxVariantArrayElements)),
                 EVariantError);
    EXPECT_EQ(a.ArrayCount(), 1) << "a refused redim leaves the array as it was";
    a.ArrayRedim(INT_MIN + 2);
    EXPECT_EQ(a.ArrayCount(), 3);
    a[INT_MIN + 2] = 7;
    EXPECT_EQ(a[INT_MIN + 2].ToInt(), 7);

    Variant t = Variant::CreateArray({ArrayBounds{0, 2047}, ArrayBounds{0, 0}});
    EXPECT_THROW(t.ArrayRedim(2048), EVariantError) << "2048 x 2049 elements";
    EXPECT_EQ(t.ArrayHighBound(2), 0);
}

// Builds depth arrays, each the only element of the next, without copying.
Variant Nested(int depth) {
    Variant v = "core";
    for (int i = 0; i < depth; ++i) {
        std::vector<Variant> items;
        items.push_back(std::move(v));
        v = Variant::ArrayOf(std::move(items));
    }
    return v;
}

TEST(VariantShapes, DeepNestingIsCopiedComparedAndFreedWithoutRecursion) {
    // A recursive copy or free overflows the stack at about 5,000 levels in the sanitizer
    // build and at 60,000 (copy) or 200,000 (free) in a plain one.
    constexpr int Depth = 100'000;
    Variant deep = Nested(Depth);
    {
        Variant copy = deep; // as OpenDialog copies its argument
        Variant assigned;
        assigned = copy;
        const Variant* inner = &assigned;
        for (int i = 0; i < Depth; ++i)
            inner = &(*inner)[0];
        EXPECT_EQ(inner->ToString(), "core");
        EXPECT_THROW(deep.SameAs(copy), EVariantError) << "deeper than it compares";
    } // both freed here
    EXPECT_TRUE(Nested(nuv::MaxVariantNesting).SameAs(Nested(nuv::MaxVariantNesting)));
    EXPECT_FALSE(Nested(10).SameAs(Nested(11)));
}

TEST(VariantShapes, MovedFromVariantIsUnassigned) {
    Variant a = Variant::ArrayOf({1, 2});
    Variant b = std::move(a);
    EXPECT_TRUE(a.IsEmpty()); // NOLINT(bugprone-use-after-move): the state is promised
    EXPECT_FALSE(a.IsArray());
    EXPECT_EQ(b.ArrayCount(), 2);
}

TEST(VariantShapes, ReferencesNeverFormACycle) {
    Variant a = 1;
    EXPECT_THROW(a = Variant::ByRef(a), EVariantError);
    EXPECT_EQ(a.ToInt(), 1) << "a refused assignment changes nothing";

    // A longer chain: r refers to a, then a comes to refer to b; b may not then refer to a.
    Variant b = 2;
    Variant r = Variant::ByRef(a);
    a = Variant::ByRef(b);
    EXPECT_EQ(r.ToInt(), 2) << "the chain r -> a -> b ends at b";
    EXPECT_THROW(b = r, EVariantError);
    EXPECT_THROW(b = Variant::ByRef(r), EVariantError);
    Variant moved = Variant::ByRef(a);
    EXPECT_THROW(b = std::move(moved), EVariantError);
    EXPECT_EQ(b.ToInt(), 2);
    EXPECT_FALSE(b.IsArray()) << "ends: no loop";

    // A reference to a reference goes to the end of the chain.
    Variant rr = Variant::ByRef(r);
    rr.Deref() = 5;
    EXPECT_EQ(b.ToInt(), 5);
}

TEST(VariantShapes, ReferenceInsideItsOwnArrayIsHarmless) {
    Variant holder = Variant::ArrayOf({1, "x"});
    holder[0] = Variant::ByRef(holder);
    EXPECT_TRUE(holder[0].IsArray());
    Variant copy = holder;
    EXPECT_TRUE(copy[0].IsArray()) << "the copy's reference still points at holder";
    EXPECT_TRUE(holder.SameAs(holder));
    EXPECT_TRUE(holder.SameAs(copy)) << "both first elements are the same array";
    // Two arrays that each hold a reference to themselves compare without end: the walk stops
    // at the nesting bound.
    Variant other = Variant::ArrayOf({1, "x"});
    other[0] = Variant::ByRef(other);
    EXPECT_THROW(holder.SameAs(other), EVariantError);
}

TEST(VariantDates, OneTextRuleWithAClearErrorOutsideYears1To9999) {
    struct Case {
        const char* label;
        double value;
        const char* text; // nullptr: EVariantError
    } cases[] = {
        {"no date", 0, "1899/12/30"},
        {"rounds up to the next day", 0.99999999999, "1899/12/31"},
        {"noon before day 0 keeps day 0", -0.5, "1899/12/30 12:00:00"},
        {"time counts forwards on negative days", -1.25, "1899/12/29 06:00:00"},
        {"first day", -693593, "0001/01/01"},
        {"first day at noon", -693593.5, "0001/01/01 12:00:00"},
        {"last day", 2958465.5, "9999/12/31 12:00:00"},
        {"before the first day", -693594, nullptr},
        {"rounds into the year 10000", 2958465.999999999, nullptr},
        {"after the last day", 2958466, nullptr},
        {"huge", 1e300, nullptr},
        {"hugely negative", -1e300, nullptr},
        {"not a number", std::nan(""), nullptr},
        {"infinite", HUGE_VAL, nullptr},
    };
    for (const Case& c : cases) {
        Variant d = Variant::FromDate(c.value);
        if (c.text)
            EXPECT_EQ(d.ToString(), c.text) << c.label;
        else
            EXPECT_THROW(d.ToString(), EVariantError) << c.label;
    }
}

TEST(VariantNumbers, OneDelphiGrammarForTexts) {
    struct Case {
        const char* text;
        bool isInt;
        std::int32_t asInt;
        bool isDouble;
        double asDouble;
    } cases[] = {
        {"42", true, 42, true, 42},
        {" -7 ", true, -7, true, -7},
        {"$FFFFFFFF", true, -1, true, -1},
        {"0x10", true, 16, true, 16},
        {"-$1", true, -1, true, -1},
        {"$100000000", false, 0, false, 0},
        {"2147483647", true, 2147483647, true, 2147483647.0},
        {"4294967295", false, 0, true, 4294967295.0},
        {"2.5", true, 2, true, 2.5},
        {".5", true, 0, true, 0.5},
        {"1e3", true, 1000, true, 1000},
        {"+1.5E+2", true, 150, true, 150},
        {"1e-400", true, 0, true, 0},
        {"0x1p3", false, 0, false, 0},
        {"1e400", false, 0, false, 0},
        {"INF", false, 0, false, 0},
        {"nan", false, 0, false, 0},
        {"1,5", false, 0, false, 0},
        {"1e", false, 0, false, 0},
        {".", false, 0, false, 0},
        {"", false, 0, false, 0},
    };
    for (const Case& c : cases) {
        Variant v(c.text);
        if (c.isInt)
            EXPECT_EQ(v.ToInt(), c.asInt) << '"' << c.text << '"';
        else
            EXPECT_THROW(v.ToInt(), EVariantError) << '"' << c.text << '"';
        if (c.isDouble)
            EXPECT_DOUBLE_EQ(v.ToDouble(), c.asDouble) << '"' << c.text << '"';
        else
            EXPECT_THROW(v.ToDouble(), EVariantError) << '"' << c.text << '"';
    }
}
