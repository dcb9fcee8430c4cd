// Host values read from JSON: the shapes the dialog receives and the faults a person is told.
#include "HostValues.h"

#include <gtest/gtest.h>

#include <string>

using namespace nuv;

namespace {

Variant Pairs(const THostValues& v) {
    return v.Values[0];
}
Variant Values(const THostValues& v) {
    return v.Values[1];
}

TEST(HostValues, ListFormKeepsOrderCaptionsAndPanelShapes) {
    const THostValues v = ParseHostValues(R"({
        "runMode": 2,
        "values": [
          {"name": "sp01", "caption": "品號", "value": {"range": ["A001", "A999"]}},
          {"name": "sp02", "value": {"list": [["A001", "螺絲"], "A002"]}},
          {"name": "me01", "value": "20261201"},
          {"name": "chk01", "value": true},
          {"name": "spin01", "value": 12},
          {"name": "rate", "value": 2.5},
          {"name": "memo", "value": null},
          {"name": "ids", "value": [1, "x"]}
        ]})");
    ASSERT_TRUE(v.RunMode.has_value());
    EXPECT_EQ(*v.RunMode, 2);
    ASSERT_EQ(Pairs(v).ArrayCount(), 8);
    ASSERT_EQ(Values(v).ArrayCount(), 8);
    EXPECT_TRUE(Pairs(v)[0].SameAs(Variant::ArrayOf({"品號", "sp01"})));
    EXPECT_TRUE(Pairs(v)[1].SameAs(Variant::ArrayOf({"sp02", "sp02"}))) << "caption defaults";
    EXPECT_TRUE(Values(v)[0].SameAs(Variant::ArrayOf({"\x04", "A001", "A999"})));
    EXPECT_TRUE(Values(v)[1].SameAs(Variant::ArrayOf(
        {"\x05", Variant::ArrayOf({"A001", "螺絲"}), Variant::ArrayOf({"A002"})})));
    EXPECT_TRUE(Values(v)[2].SameAs(Variant("20261201")));
    EXPECT_TRUE(Values(v)[3].SameAs(Variant(true)));
    EXPECT_TRUE(Values(v)[4].SameAs(Variant(12)));
    EXPECT_TRUE(Values(v)[5].SameAs(Variant(2.5)));
    EXPECT_TRUE(Values(v)[6].IsNull());
    EXPECT_TRUE(Values(v)[7].SameAs(Variant::ArrayOf({1, "x"})));
}

TEST(HostValues, TheHostValueArrayHasTheControllersShape) {
    const THostValues v = ParseHostValues(R"({"values": {"me02": "B", "me01": "A"}})");
    EXPECT_FALSE(v.RunMode.has_value());
    const Variant array = v.HostValueArray(1);
    // [-, [runMode, [True, [pairs, values]]]]; the object form goes in name order.
    const Variant expected = Variant::ArrayOf(
        {0, Variant::ArrayOf(
                {1, Variant::ArrayOf(
                        {true,
                         Variant::ArrayOf({Variant::ArrayOf({Variant::ArrayOf({"me01", "me01"}),
                                                             Variant::ArrayOf({"me02", "me02"})}),
                                           Variant::ArrayOf({"A", "B"})})})})});
    EXPECT_TRUE(array.SameAs(expected));
}

TEST(HostValues, FaultsNameWhereTheyAre) {
    struct Case {
        const char* json;
        const char* where;
    };
    const Case cases[] = {
        {R"({"values": [)", "offset"},
        {R"([1, 2])", "an object"},
        {R"({"values": [], "mode": 1})", "mode: unknown entry"},
        {R"({"runMode": -1, "values": []})", "runMode"},
        {R"({"runMode": 1.5, "values": []})", "runMode"},
        {R"({"runMode": "1", "values": []})", "runMode"},
        {R"({"runMode": 1})", "values"},
        {R"({"values": "ed01"})", "values"},
        {R"({"values": [{"value": 1}]})", "values[0].name"},
        {R"({"values": [{"name": " ", "value": 1}]})", "values[0].name"},
        {R"({"values": [{"name": "ed01"}]})", "values[0]: the value is missing"},
        {R"({"values": [{"name": "ed01", "value": 1, "kind": 2}]})", "values[0].kind"},
        {R"({"values": [{"name": "ed01", "caption": 3, "value": 1}]})", "values[0].caption"},
        {R"({"values": [{"name": "sp01", "value": {"range": ["A"]}}]})", "values[0].value.range"},
        {R"({"values": [{"name": "sp01", "value": {"range": ["A", 2]}}]})",
         "values[0].value.range[1]"},
        {R"({"values": [{"name": "sp01", "value": {"list": [[]]}}]})", "values[0].value.list[0]"},
        {R"({"values": [{"name": "sp01", "value": {"from": "A"}}]})", "values[0].value"},
        {R"({"values": {"sp01": [1, {"x": 1}]}})", "values.sp01[1]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        try {
            ParseHostValues(c.json);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.where), std::string::npos) << e.what();
        }
    }
}

TEST(HostValues, AMissingFileIsNamed) {
    try {
        ReadHostValuesFile(QStringLiteral("/nonexistent/values.json"));
        FAIL() << "read";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/values.json"), std::string::npos);
    }
}

} // namespace
