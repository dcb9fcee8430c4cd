// The Manager's calls against the demo database, without windows.
#include "ManagerFixture.h"

#include <nuv/CodePageText.h>

#include <gmock/gmock.h>

#include <SQLiteCpp/Database.h>

#include <fstream>
#include <map>

namespace nuv::host::test {
namespace {

using ::testing::HasSubstr;

std::string OleErrorText(const std::function<void()>& call) {
    try {
        call();
    } catch (const EOleError& e) {
        return e.what();
    }
    return "(no error)";
}

int CountPlaceholders(const std::string& text) {
    int n = 0;
    for (std::size_t p = text.find("%s"); p != std::string::npos; p = text.find("%s", p + 2))
        ++n;
    return n;
}

using ManagerTest = ManagerFixture;

TEST_F(ManagerTest, IsCreatedFromItsModuleAndConnectsToTheConfiguredDatabase) {
    ASSERT_TRUE(manager_);
    OleCall(manager_, "Connect");
    EXPECT_EQ(OleGet(manager_, "VersionType").ToInt(), 2);
    for (const char* service :
         {"Com_VarManager", "Com_Validator", "Com_F2Window", "Com_Counter", "Com_Phrase"})
        EXPECT_TRUE(Service(service)) << service;
}

// Every message the dialogs name, with the number of arguments they pass.
TEST_F(ManagerTest, MessageTableHoldsEveryMessageWithItsPlaceholders) {
    struct Case {
        const char* type;
        const char* id;
        int placeholders;
    };
    const Case cases[] = {
        {"E", "000005", 1}, {"E", "000006", 0}, {"E", "000013", 1}, {"E", "000015", 0},
        {"E", "000016", 0}, {"E", "000030", 1}, {"E", "000036", 0}, {"E", "000037", 0},
        {"E", "000038", 0}, {"E", "100062", 0}, {"E", "100082", 2}, {"I", "000003", 1},
        {"I", "000004", 1}, {"I", "000005", 1}, {"I", "000009", 0}, {"I", "000010", 0},
        {"I", "000011", 0}, {"W", "000002", 3}, {"W", "000003", 3}, {"W", "000004", 1},
        {"W", "000014", 1}, {"R", "100235", 0}, {"R", "100236", 0},
    };
    for (const Case& c : cases) {
        std::string text = OleCall(manager_, "GetMessage", {c.type, c.id}).ToString();
        EXPECT_THAT(text, ::testing::Not(HasSubstr("找不到此訊息"))) << c.type << c.id;
        EXPECT_EQ(CountPlaceholders(text), c.placeholders) << c.type << c.id << ": " << text;
    }
    // An id known under another type still gives its text; an unknown one a plain note that
    // a caller can format safely.
    EXPECT_EQ(OleCall(manager_, "GetMessage", {"W", "100062"}).ToString(),
              "排程起始日期不可早於今天！");
    std::string unknown = OleCall(manager_, "GetMessage", {"E", "999999"}).ToString();
    EXPECT_THAT(unknown, HasSubstr("999999"));
    EXPECT_EQ(CountPlaceholders(unknown), 0);
}

TEST_F(ManagerTest, GetSysInfoAnswersTheCompanysSettingsAsATwoRowTable) {
    Variant company("NUV02");
    Variant table = OleCall(Service("Com_VarManager"), "GetSysInfo", {Variant::ByRef(company)});
    ASSERT_EQ(table.ArrayDimCount(), 2);
    EXPECT_EQ(table.ArrayLowBound(1), 0);
    EXPECT_EQ(table.ArrayHighBound(1), 1);
    std::map<std::string, std::string> settings;
    for (int i = table.ArrayLowBound(2); i <= table.ArrayHighBound(2); ++i)
        settings[table.Element(0, i).ToString()] = table.Element(1, i).ToString();
    EXPECT_EQ(settings["Sys001"], "5");
    EXPECT_EQ(settings["Sys002"], ".");
    EXPECT_EQ(settings["NUV002"], "宏昌貿易");
    EXPECT_EQ(settings["Sys007"], "");
    EXPECT_EQ(settings["Sys008"], "依品號中類");
    EXPECT_EQ(settings["Sys010"], "依商品群組");

    Variant nobody("NOSUCH");
    Variant none = OleCall(Service("Com_VarManager"), "GetSysInfo", {Variant::ByRef(nobody)});
    ASSERT_EQ(none.ArrayDimCount(), 2);
    EXPECT_EQ(none.ArrayHighBound(2) - none.ArrayLowBound(2) + 1, 0);
}

// Rows in the positions the dialogs read.
TEST_F(ManagerTest, CheckValueAnswersTheRowInTheColumnOrderCallersIndex) {
    Variant row;
    ASSERT_TRUE(Look("CheckValue", "ADMMB", "01", Variant::ArrayOf({"KELT58"}), row));
    EXPECT_EQ(row[0].ToString(), "客戶別品號出貨排程表");
    EXPECT_EQ(row[4].ToString(), "1");

    ASSERT_TRUE(Look("CheckValue", "cmsmt", "01", Variant::ArrayOf({"KELT58"}), row));
    ASSERT_EQ(row.ArrayCount(), 19);
    EXPECT_EQ(row[0].ToString(), "N01");
    EXPECT_EQ(row[1].ToString(), "Y");
    EXPECT_EQ(row[3].ToString(), "本報表僅供內部參考");
    EXPECT_EQ(row[6].ToString(), "S01");
    EXPECT_EQ(row[11].ToString(), "核准：");
    EXPECT_EQ(row[15].ToString(), "N");
    EXPECT_EQ(row[16].ToString(), "Y");

    ASSERT_TRUE(Look("CheckValue", "CMSMS", "01", Variant::ArrayOf({"2", "S02"}), row));
    EXPECT_EQ(row[1].ToString(), "經辦：");
    EXPECT_EQ(row[2].ToString(), "主管：");

    ASSERT_TRUE(Look("CheckValue", "COPMA", "01", Variant::ArrayOf({"C0041"}), row));
    EXPECT_EQ(row[1].ToString(), "台中興業");
    EXPECT_EQ(row[6].ToString(), "c0041@customer.example");

    // Not found: False, and no stale row left in the result.
    EXPECT_FALSE(Look("CheckValue", "CMSMS", "01", Variant::ArrayOf({"1", "S01"}), row));
    EXPECT_TRUE(row.IsEmpty());
    EXPECT_FALSE(Look("CheckValue", "ADMMB", "01", Variant::ArrayOf({"NOPROG"}), row));
}

// The Manager keeps its queries prepared between calls: each call answers for its own values
// and for the data as it is now, and no call leaves the file locked for other writers.
TEST_F(ManagerTest, RepeatedQueriesAnswerTheirOwnValuesAndLeaveTheFileFree) {
    auto customerName = [&](const char* code) {
        Variant row;
        return Look("CheckValue", "COPMA", "01", Variant::ArrayOf({code}), row)
                   ? row[1].ToString()
                   : std::string("(none)");
    };
    EXPECT_EQ(customerName("C0041"), "台中興業");
    EXPECT_EQ(customerName("NOSUCH"), "(none)");
    EXPECT_EQ(customerName("C0041"), "台中興業");

    Sql("UPDATE COPMA SET MA002 = '台中興業二廠' WHERE MA001 = 'C0041'");
    EXPECT_EQ(customerName("C0041"), "台中興業二廠");

    Variant company("NUV01");
    OleCall(Service("Com_VarManager"), "GetSysInfo", {Variant::ByRef(company)});
    SQLite::Database other(db_.string(), SQLite::OPEN_READWRITE);
    EXPECT_NO_THROW(other.exec("BEGIN EXCLUSIVE")) << "a query of the Manager still holds the file";
    other.exec("ROLLBACK");
}

TEST_F(ManagerTest, QueryDataAnswersEveryRowOfTheLookup) {
    Variant rows;
    ASSERT_TRUE(Look("QueryData", "INVMA", "02", Variant::ArrayOf({"2"}), rows));
    ASSERT_EQ(rows.ArrayCount(), 5);
    EXPECT_EQ(rows[0][0].ToString(), "01");
    EXPECT_EQ(rows[0][1].ToString(), "電子元件");

    ASSERT_TRUE(Look("QueryData", "INVMB", "01", Variant::ArrayOf({""}), rows));
    EXPECT_EQ(rows.ArrayCount(), 300);
    ASSERT_TRUE(Look("QueryData", "CMSMS", "01", Variant::ArrayOf({"1"}), rows));
    ASSERT_EQ(rows.ArrayCount(), 3);
    EXPECT_EQ(rows[1][0].ToString(), "N02");
    EXPECT_EQ(rows[1][2].ToString(), "機密文件，請勿外流");
    EXPECT_FALSE(Look("QueryData", "INVMA", "02", Variant::ArrayOf({"9"}), rows));
}

// Argument text only ever matches itself: no SQL is built from it.
TEST_F(ManagerTest, InjectionAttemptsMatchOnlyTheirLiteralText) {
    Sql("INSERT INTO INVMB(MB001, MB002) VALUES ('50%_OFF', '折扣品'), ('O''BRIEN', '人名品')");
    struct Case {
        const char* op;
        const char* table;
        const char* key;
        const char* param;
        bool found;
    };
    const Case cases[] = {
        {"CheckValue", "INVMB", "01", "' OR '1'='1", false},
        {"CheckValue", "INVMB", "01", "B01-007'; DROP TABLE INVMB; --", false},
        {"CheckValue", "INVMB", "01", "B01-007' --", false},
        {"CheckValue", "INVMB", "01", "B01-007/*", false},
        {"CheckValue", "INVMB", "01", "%", false},
        {"CheckValue", "INVMB", "01", "B01-00_", false},
        {"CheckValue", "INVMB", "01", "50%_OFF", true},
        {"CheckValue", "INVMB", "01", "O'BRIEN", true},
        {"QueryData", "COPMA", "01", "%", false},
        {"QueryData", "COPMA", "01", "' OR 1=1 --", false},
        {"QueryData", "ADMMB", "01", "KELT58\"; DELETE FROM ADMMB; --", false},
    };
    for (const Case& c : cases) {
        Variant result;
        EXPECT_EQ(Look(c.op, c.table, c.key, Variant::ArrayOf({c.param}), result), c.found)
            << c.op << " " << c.param;
        if (c.found) {
            EXPECT_EQ(result[0].ToString(), c.param);
        }
    }
    Variant rows;
    ASSERT_TRUE(Look("QueryData", "INVMB", "01", Variant::ArrayOf({""}), rows));
    EXPECT_EQ(rows.ArrayCount(), 302) << "nothing was dropped or deleted";
    ASSERT_TRUE(Look("QueryData", "ADMMB", "01", Variant::ArrayOf({""}), rows));
    EXPECT_EQ(rows.ArrayCount(), 4);
}

// Unknown names, wrong argument kinds and counts: a clear automation error, never a crash.
TEST_F(ManagerTest, BadLookupCallsRaiseClearErrors) {
    struct Case {
        const char* table;
        const char* key;
        Variant params;
        const char* expected;
    };
    const Case cases[] = {
        {"NOSUCH", "01", Variant::ArrayOf({"x"}), "Unknown look-up \"NOSUCH-01\""},
        {"INVMB", "99", Variant::ArrayOf({"x"}), "Unknown look-up \"INVMB-99\""},
        {"INVMB; DROP TABLE INVMB", "01", Variant::ArrayOf({"x"}), "Unknown look-up"},
        {"INVMB", "01", Variant::ArrayOf({}), "takes 1 parameter(s), got 0"},
        {"CMSMS", "01", Variant::ArrayOf({"1"}), "takes 2 parameter(s), got 1"},
        {"INVMB", "01", Variant::ArrayOf({Variant::ArrayOf({"A"})}), "expected a text"},
    };
    for (const Case& c : cases) {
        Variant result;
        std::string error =
            OleErrorText([&] { Look("CheckValue", c.table, c.key, c.params, result); });
        EXPECT_THAT(error, HasSubstr(c.expected)) << c.table << "-" << c.key;
    }
    Variant t("INVMB"), k("01");
    EXPECT_THAT(OleErrorText([&] {
                    OleCall(Service("Com_Validator"), "CheckValue", {t, k});
                }),
                HasSubstr("CheckValue"));
    EXPECT_THAT(OleErrorText([&] { OleCall(Service("Com_F2Window"), "F2GetData", {"INVMB"}); }),
                HasSubstr("F2GetData"));
    EXPECT_THAT(OleErrorText([&] { OleCall(manager_, "CallHelp", {"KEL"}); }),
                HasSubstr("CallHelp"));
}

TEST_F(ManagerTest, MissingCorruptOrLockedDatabaseIsAClearError) {
    EXPECT_THAT(OleErrorText([&] { OleCall(manager_, "Connect", {(dir_ / "none.db").string()}); }),
                HasSubstr("does not exist"));
    const auto junk = dir_ / "junk.db";
    std::ofstream(junk) << std::string(4096, 'x');
    EXPECT_THAT(OleErrorText([&] { OleCall(manager_, "Connect", {junk.string()}); }),
                HasSubstr("is not a usable demo database"));
    const auto empty = dir_ / "empty.db";
    SQLite::Database(empty.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE)
        .exec("CREATE TABLE t(x)");
    EXPECT_THAT(OleErrorText([&] { OleCall(manager_, "Connect", {empty.string()}); }),
                HasSubstr("is not a usable demo database"));

    // Another process holds the write lock: the counter waits, then reports it.
    OleCall(manager_, "Connect");
    SQLite::Database other(db_.string(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");
    Variant value;
    EXPECT_THAT(OleErrorText([&] {
                    OleCall(
                        Service("Com_Counter"), "GetCounter",
                        {"REPORTNO", Variant::ByRef(value), Variant::ArrayOf({"NUV01", "DEMO"})});
                }),
                HasSubstr("locked"));
    other.exec("ROLLBACK");
}

TEST_F(ManagerTest, CountersCountPerCompanyAndName) {
    DispatchPtr counter = Service("Com_Counter");
    auto next = [&](const char* name, const char* company, Variant& value) {
        return OleCall(counter, "GetCounter",
                       {name, Variant::ByRef(value), Variant::ArrayOf({company, "DEMO"})})
            .ToInt();
    };
    Variant value;
    EXPECT_EQ(next("REPORTNO", "NUV01", value), 1);
    EXPECT_EQ(next("reportno", "NUV01", value), 2);
    EXPECT_EQ(value.ToInt(), 2);
    EXPECT_EQ(next("REPORTNO", "NUV02", value), 1);
    EXPECT_EQ(next("JOBNO", "NUV01", value), 1);
}

// The condition-set operations of the counter service, as the dialog calls them.
TEST_F(ManagerTest, ConditionSetsAreSavedListedLoadedReplacedAndDeleted) {
    DispatchPtr counter = Service("Com_Counter");
    auto call = [&](const char* op, Variant params) {
        return OleCall(counter, "GetCounter",
                       {op, Variant::ByRef(params), Variant::ArrayOf({"NUV01", "DEMO"})});
    };
    const Variant lines = Variant::ArrayOf({
        Variant::ArrayOf({"me01", "20261231", "", ""}),
        Variant::ArrayOf(
            {"sp03",
             Variant::ArrayOf({Variant::ArrayOf({"A", "原料"}), Variant::ArrayOf({"C", "成品"}),
                               Variant::ArrayOf({"B", "半成品"})}),
             "sp_Discrete", ""}),
        Variant::ArrayOf({"sp04", "B01-007~B01-105", "sp_UserChoice", "Y"}),
    });
    auto list = [&](const char* user) {
        return call("GETUSERDEFOPTION", Variant::ArrayOf({"1", "NUV01", user, "KELT58"}));
    };
    call("INSERTUSERDEFOPTION",
         Variant::ArrayOf({"NUV01", "MARY", "M1", "月底出貨", "KELT58", lines, "N"}));
    call("INSERTUSERDEFOPTION",
         Variant::ArrayOf({"NUV01", "DS", "ALL", "全公司", "KELT58", lines, "Y"}));

    Variant mary = list("MARY");
    ASSERT_EQ(mary[0].ToInt(), 2);
    EXPECT_TRUE(mary[1].SameAs(Variant::ArrayOf({"ALL", "全公司", "Y", "DS"})));
    EXPECT_TRUE(mary[2].SameAs(Variant::ArrayOf({"M1", "月底出貨", "N", "MARY"})));
    EXPECT_EQ(list("JOHN")[0].ToInt(), 1) << "John sees only the shared set";

    Variant loaded =
        call("GETUSERDEFOPTION", Variant::ArrayOf({"2", "NUV01", "MARY", "KELT58", "M1"}));
    ASSERT_EQ(loaded[0].ToInt(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(loaded[i + 1].SameAs(lines[i])) << "line " << i;

    // Saving the same code again replaces the set.
    call("INSERTUSERDEFOPTION", Variant::ArrayOf({"NUV01", "MARY", "M1", "月中出貨", "KELT58",
                                                  Variant::ArrayOf({}), "N"}));
    mary = list("MARY");
    ASSERT_EQ(mary[0].ToInt(), 2);
    EXPECT_EQ(mary[2][1].ToString(), "月中出貨");
    EXPECT_EQ(call("GETUSERDEFOPTION", Variant::ArrayOf({"2", "NUV01", "MARY", "KELT58", "M1"}))[0]
                  .ToInt(),
              0);

    EXPECT_EQ(call("DELUSERDEFOPTION", Variant::ArrayOf({"NUV01", "MARY", "M1", "KELT58"})).ToInt(),
              1);
    EXPECT_EQ(call("DELUSERDEFOPTION", Variant::ArrayOf({"NUV01", "MARY", "M1", "KELT58"})).ToInt(),
              0);
    EXPECT_EQ(list("MARY")[0].ToInt(), 1);
    EXPECT_EQ(
        call("GETUSERDEFOPTION", Variant::ArrayOf({"2", "NUV01", "MARY", "KELT58", "NONE"}))[0]
            .ToInt(),
        0);

    EXPECT_THAT(OleErrorText([&] {
                    call("GETUSERDEFOPTION", Variant::ArrayOf({"3", "NUV01", "MARY", "KELT58"}));
                }),
                HasSubstr("mode"));
    EXPECT_THAT(OleErrorText([&] {
                    call("INSERTUSERDEFOPTION", Variant::ArrayOf({"NUV01", "MARY", "M2"}));
                }),
                HasSubstr("expected 7 values, got 3"));
}

// Sets belong to their company, program and owner; shared sets of the company and program are
// listed for every user; a delete takes only the one set it names.
TEST_F(ManagerTest, ConditionSetsAreKeptPerCompanyProgramAndOwner) {
    DispatchPtr counter = Service("Com_Counter");
    auto call = [&](const char* op, Variant params) {
        return OleCall(counter, "GetCounter",
                       {op, Variant::ByRef(params), Variant::ArrayOf({"NUV01", "DEMO"})});
    };
    const Variant lines = Variant::ArrayOf({Variant::ArrayOf({"ed11", "x", "", ""})});
    struct Saved {
        const char *company, *program, *owner, *code, *shared;
    };
    for (const Saved& s : std::initializer_list<Saved>{{"NUV01", "KELT58", "MARY", "A", "N"},
                                                       {"NUV01", "KELT58", "DS", "A", "Y"},
                                                       {"NUV01", "KELT58", "DS", "P", "N"},
                                                       {"NUV02", "KELT58", "MARY", "B", "N"},
                                                       {"NUV02", "KELT58", "DS", "S", "Y"},
                                                       {"NUV01", "OTHER1", "MARY", "C", "Y"}})
        call("INSERTUSERDEFOPTION",
             Variant::ArrayOf({s.company, s.owner, s.code, "名", s.program, lines, s.shared}));
    auto listed = [&](const char* company, const char* user, const char* program) {
        Variant answer = call("GETUSERDEFOPTION", Variant::ArrayOf({"1", company, user, program}));
        std::vector<std::string> rows;
        for (int i = 1; i <= answer[0].ToInt(); ++i)
            rows.push_back(answer[i][0].ToString() + "/" + answer[i][3].ToString());
        return rows;
    };
    using Rows = std::vector<std::string>;
    struct Case {
        const char *company, *user, *program;
        Rows expected;
    } cases[] = {
        {"NUV01", "MARY", "KELT58", {"A/DS", "A/MARY"}},
        {"NUV01", "DS", "KELT58", {"A/DS", "P/DS"}},
        {"NUV01", "JOHN", "KELT58", {"A/DS"}},
        {"NUV02", "MARY", "KELT58", {"B/MARY", "S/DS"}},
        {"NUV02", "JOHN", "KELT58", {"S/DS"}},
        {"NUV01", "JOHN", "OTHER1", {"C/MARY"}},
        {"NUV03", "MARY", "KELT58", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(listed(c.company, c.user, c.program), c.expected)
            << c.company << " " << c.user << " " << c.program;

    // Loading names the owner: Mary's "A" is not the shared "A" of DS.
    call("INSERTUSERDEFOPTION",
         Variant::ArrayOf({"NUV01", "MARY", "A", "名", "KELT58",
                           Variant::ArrayOf({Variant::ArrayOf({"ed11", "mary", "", ""})}), "N"}));
    EXPECT_EQ(call("GETUSERDEFOPTION", Variant::ArrayOf({"2", "NUV01", "DS", "KELT58", "A"}))[1][1]
                  .ToString(),
              "x");
    EXPECT_EQ(
        call("GETUSERDEFOPTION", Variant::ArrayOf({"2", "NUV01", "MARY", "KELT58", "A"}))[1][1]
            .ToString(),
        "mary");

    EXPECT_EQ(call("DELUSERDEFOPTION", Variant::ArrayOf({"NUV01", "DS", "A", "KELT58"})).ToInt(),
              1);
    EXPECT_EQ(listed("NUV01", "MARY", "KELT58"), Rows{"A/MARY"});
    EXPECT_EQ(listed("NUV02", "JOHN", "KELT58"), Rows{"S/DS"});
    EXPECT_EQ(listed("NUV01", "JOHN", "OTHER1"), Rows{"C/MARY"});
}

// Whatever a set's texts hold comes back exactly, of the same kind: field separators, quotes,
// Chinese punctuation, bytes that are not UTF-8, and texts in the code pages 950 and 936.
TEST_F(ManagerTest, ConditionSetsKeepTheirValuesByteForByte) {
    DispatchPtr counter = Service("Com_Counter");
    auto call = [&](const char* op, Variant params) {
        return OleCall(counter, "GetCounter",
                       {op, Variant::ByRef(params), Variant::ArrayOf({"NUV01", "DEMO"})});
    };
    const Variant values[] = {
        Variant("A;B,C~D|E\tF\r\nG"),
        Variant("\"雙引號\" '單引號' `反`"),
        Variant("「品號」，『名稱』、：；！？（）…—～"),
        Variant(std::string("bad \xff\xfe utf-8 \xe5\x93")),
        Variant(std::string("with\0nul", 8)),
        Variant::FromBytes(EncodeCodePage("螺絲「特」；\"x\"", 950), 950),
        Variant::FromBytes(EncodeCodePage("螺丝「特」；\"x\"", 936), 936),
        Variant::FromBytes("\xa4\x40\x7f\xff", 950), // bytes that no character reads
        Variant(""),
        Variant(),
        Variant::MakeNull(),
        Variant(-2147483647 - 1),
        Variant(true),
        Variant(0.1),
        Variant::FromDate(46367.5),
        Variant::ArrayOf({Variant::ArrayOf({"A;01", "「甲」"}), Variant::ArrayOf({"B~02"})}),
    };
    std::vector<Variant> lines;
    for (const Variant& v : values)
        lines.push_back(Variant::ArrayOf({"c" + std::to_string(lines.size()), v, "", ""}));
    const std::string code = "碼;\"'~「」", name = "名稱，「共用」;\"";
    call("INSERTUSERDEFOPTION",
         Variant::ArrayOf({"NUV01", "MARY", code, name, "KELT58", Variant::ArrayOf(lines), "N"}));

    Variant listed = call("GETUSERDEFOPTION", Variant::ArrayOf({"1", "NUV01", "MARY", "KELT58"}));
    ASSERT_EQ(listed[0].ToInt(), 1);
    EXPECT_TRUE(listed[1].SameAs(Variant::ArrayOf({code, name, "N", "MARY"})));
    Variant loaded =
        call("GETUSERDEFOPTION", Variant::ArrayOf({"2", "NUV01", "MARY", "KELT58", code}));
    ASSERT_EQ(loaded[0].ToInt(), static_cast<int>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Variant& back = loaded[static_cast<int>(i) + 1][1];
        EXPECT_TRUE(back.SameAs(values[i])) << "value " << i;
        if (values[i].IsText()) {
            EXPECT_EQ(back.Bytes(), values[i].Bytes()) << "value " << i;
        }
    }
    EXPECT_EQ(call("DELUSERDEFOPTION", Variant::ArrayOf({"NUV01", "MARY", code, "KELT58"})).ToInt(),
              1);
}

// Traditional <-> Simplified, on Unicode texts and on byte texts of code pages 950 and 936.
TEST_F(ManagerTest, ChineseConversionsBothWays) {
    struct Case {
        const char* traditional;
        const char* simplified;
    };
    const Case cases[] = {
        {"報表請求已送出，請稍候。", "报表请求已送出，请稍候。"},
        {"客戶別品號出貨排程表", "客户别品号出货排程表"},
        {"無法連線到應用程式伺服器", "无法连线到应用程式伺服器"},
        {"使用者自訂條件：儲存、刪除", "使用者自订条件：储存、删除"},
        {"Email 傳送方式 2.", "Email 传送方式 2."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OleCall(manager_, "BIG5toGB", {c.traditional}).ToString(), c.simplified);
        EXPECT_EQ(OleCall(manager_, "Big5ToGB", {c.traditional}).ToString(), c.simplified);
        EXPECT_EQ(OleCall(manager_, "GBtoBig5", {c.simplified}).ToString(), c.traditional);

        Variant big5 = Variant::FromBytes(EncodeCodePage(c.traditional, 950), 950);
        Variant gb = OleCall(manager_, "BIG5toGB", {Variant::ByRef(big5)});
        ASSERT_EQ(gb.Type(), VarType::ByteText);
        EXPECT_EQ(gb.CodePage(), 936);
        EXPECT_EQ(gb.Bytes(), EncodeCodePage(c.simplified, 936));
        Variant back = OleCall(manager_, "GBtoBig5", {gb});
        EXPECT_EQ(back.CodePage(), 950);
        EXPECT_EQ(back.Bytes(), big5.Bytes());
    }
    // Arrays element by element (two dimensions too); numbers and Null as they are.
    Variant table = Variant::CreateArray({{0, 1}, {0, 1}});
    table.Element(0, 0) = "品號";
    table.Element(1, 0) = 42;
    table.Element(0, 1) = Variant::MakeNull();
    table.Element(1, 1) = Variant::ArrayOf({"類別", 3.5});
    Variant gb = OleCall(manager_, "BIG5toGB", {table});
    EXPECT_EQ(gb.Element(0, 0).ToString(), "品号");
    EXPECT_EQ(gb.Element(1, 0).Type(), VarType::Integer);
    EXPECT_TRUE(gb.Element(0, 1).IsNull());
    EXPECT_EQ(gb.Element(1, 1)[0].ToString(), "类别");
    EXPECT_EQ(gb.Element(1, 1)[1].ToDouble(), 3.5);
    EXPECT_EQ(OleCall(manager_, "GBtoBig5", {7}).ToInt(), 7);
}

} // namespace
} // namespace nuv::host::test
