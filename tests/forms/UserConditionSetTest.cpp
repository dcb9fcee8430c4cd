// The stored form of a user-defined condition set, and how answers of the counter service
// (lists of sets, loaded sets) are read, also when they come from an older layout.
#include "forms/UserConditionSet.h"

#include <gtest/gtest.h>

#include <string>

using namespace nuv;

namespace {

Variant Line(std::initializer_list<Variant> elements) {
    return Variant::ArrayOf(elements);
}

} // namespace

TEST(UserConditionSet, LinesHaveTheStoredLayout) {
    const Variant set = StoredSet({
        {" ed11 ", Variant("螺絲;\"M6\"，「長」"), "", ""},
        {"sp01", Variant(JoinRange("A001", "A999")), SelectStyleName(0), ""},
        {"sp03", StoredRows({{"A001", "螺絲"}, {"A002", "螺帽"}}), SelectStyleName(2), "N"},
    });
    ASSERT_EQ(set.ArrayLowBound(), 0);
    ASSERT_EQ(set.ArrayHighBound(), 2);
    EXPECT_TRUE(set[0].SameAs(Line({"ed11", "螺絲;\"M6\"，「長」", "", ""})));
    EXPECT_TRUE(set[1].SameAs(Line({"sp01", "A001~A999", "sp_Range", ""})));
    EXPECT_TRUE(set[2].SameAs(Line(
        {"sp03",
         Variant::ArrayOf({Variant::ArrayOf({"A001", "螺絲"}), Variant::ArrayOf({"A002", "螺帽"})}),
         "sp_UserChoice", "N"})));
    // An empty list is stored as an empty text.
    EXPECT_TRUE(StoredRows({}).SameAs(Variant("")));
}

TEST(UserConditionSet, StyleNamesRoundTrip) {
    for (int style = 0; style < 3; ++style)
        EXPECT_EQ(SelectStyleOfName(SelectStyleName(style)), style);
    EXPECT_EQ(SelectStyleOfName("sp_range"), -1);
    EXPECT_EQ(SelectStyleOfName(""), -1);
    EXPECT_EQ(SelectStyleName(3), "");
}

TEST(UserConditionSet, RangesSplitAtTheFirstTilde) {
    struct Case {
        std::string text, begin, end;
    } cases[] = {
        {"A001~A999", "A001", "A999"},
        {"A001~", "A001", ""},
        {"~A999", "", "A999"},
        {"A001", "A001", ""},
        {"", "", ""},
        // an end code holding a tilde keeps it
        {"A~B~C", "A", "B~C"},
    };
    for (const Case& c : cases) {
        std::string b, e;
        SplitRange(c.text, b, e);
        EXPECT_EQ(b, c.begin) << c.text;
        EXPECT_EQ(e, c.end) << c.text;
    }
}

TEST(UserConditionSet, StoredRowsAreReadAsFarAsTheyFit) {
    TStoredRows rows;
    int skipped = 0;
    // Rows of one caption only are a list of codes without names: kept.
    ASSERT_TRUE(ReadStoredRows(
        Variant::ArrayOf({Variant::ArrayOf({"A001"}),
                          Variant::ArrayOf({"A002", "螺帽", Variant(3)}), Variant("stray"),
                          Variant::ArrayOf({}), Variant::ArrayOf({Variant::ArrayOf({"x"})})}),
        rows, skipped));
    EXPECT_EQ(rows, (TStoredRows{{"A001"}, {"A002", "螺帽", "3"}}));
    EXPECT_EQ(skipped, 3);

    for (const Variant& empty : {Variant(""), Variant(), Variant::MakeNull()}) {
        EXPECT_TRUE(ReadStoredRows(empty, rows, skipped));
        EXPECT_TRUE(rows.empty());
    }
    // A range text where a list belongs is no list.
    EXPECT_FALSE(ReadStoredRows(Variant("A001~A999"), rows, skipped));
    EXPECT_FALSE(ReadStoredRows(Variant(7), rows, skipped));
}

TEST(UserConditionSet, SetListsAreReadRowByRow) {
    const Variant answer =
        Variant::ArrayOf({Variant(3), Variant::ArrayOf({"W1", "每週出貨", "N", "MARY"}),
                          Variant("broken"), Variant::ArrayOf({"S1", "共用", "Y", "DS"}),
                          Variant::ArrayOf({"X", "beyond n", "N", "X"})});
    const std::vector<TSetRow> rows = ReadSetList(answer);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Code, "W1");
    EXPECT_EQ(rows[0].Owner, "MARY");
    EXPECT_EQ(rows[1].Shared, "Y");
    EXPECT_TRUE(ReadSetList(Variant()).empty());
    EXPECT_TRUE(ReadSetList(Variant::ArrayOf({Variant(0)})).empty());
}

TEST(UserConditionSet, LoadedSetsNameWhatCouldNotBeRead) {
    const Variant answer =
        Variant::ArrayOf({Variant(5), Line({"ed11", "A", "", ""}), Line({"sp01", "A~B"}),
                          Variant("not a line"), Line({Variant(12), "x", "", ""})});
    const TLoadedSet set = ReadLoadedSet(answer);
    ASSERT_EQ(set.Lines.size(), 2u);
    EXPECT_EQ(set.Lines[0].Name, "ed11");
    // Missing style and choice of an older, shorter line read as empty.
    EXPECT_EQ(set.Lines[1].Name, "sp01");
    EXPECT_EQ(set.Lines[1].Style, "");
    EXPECT_EQ(set.Lines[1].Value.ToString(), "A~B");
    // Two lines are no lines, and the fifth the count promises is missing.
    ASSERT_EQ(set.Skipped.size(), 3u);
    EXPECT_EQ(set.Skipped[0].substr(0, 2), "#3");
    EXPECT_EQ(set.Skipped[1].substr(0, 2), "#4");
    EXPECT_EQ(set.Skipped[2].substr(0, 2), "#5");

    EXPECT_TRUE(ReadLoadedSet(Variant::ArrayOf({Variant(0)})).Lines.empty());
    EXPECT_TRUE(ReadLoadedSet(Variant()).Skipped.empty());
}
