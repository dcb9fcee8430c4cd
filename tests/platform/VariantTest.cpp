#include <nuv/Variant.h>

#include <gtest/gtest.h>

#include <cmath>

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
