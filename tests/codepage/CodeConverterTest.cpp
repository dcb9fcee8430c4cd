// The converter's code pages, value and array conversion, directions, fonts and the failures
// of its Manager.
#include "codepage/CodeConverter.h"

#include "codepage/CodePageSetup.h"
#include "codepage/TestConvertManager.h"
#include "ui/TypInfo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace nuv;
using nuv::test::CodePages;
using nuv::test::CodePageSetup;
using nuv::test::TestConvertManager;

namespace {

struct ConverterDeleter {
    void operator()(TCodeConverter* c) const { c->Free(); }
};
using ConverterPtr = std::unique_ptr<TCodeConverter, ConverterDeleter>;

// A converter on a machine with the given code pages, with the test Manager.
struct Converter {
    explicit Converter(const std::string& acp = "950", CodePages client = {})
        : setup(acp, client), cv(new TCodeConverter(nullptr)) {
        cv->SetManager(TestConvertManager::Make(&manager));
    }
    CodePageSetup setup;
    ConverterPtr cv;
    TestConvertManager* manager = nullptr;
};

Variant Texts2D(std::initializer_list<std::initializer_list<const char*>> rows) {
    int n0 = static_cast<int>(rows.size());
    int n1 = static_cast<int>(rows.begin()->size());
    Variant a = Variant::CreateArray({{0, n0 - 1}, {1, n1}});
    int i = 0;
    for (auto row : rows) {
        int j = 1;
        for (const char* s : row)
            a.Element(i, j++) = s;
        ++i;
    }
    return a;
}

} // namespace

// --- code pages --------------------------------------------------------------------------------

TEST(CodeConverter, CodePagesAndModesComeFromTheConfigurationOfItsDesignType) {
    struct Case {
        const char* label;
        const char* acp;
        CodePages client, server;
        TDesignType design;
        std::string system, ui, db;
        int uiMode, dbMode;
    };
    const Case cases[] = {
        {"Big5 throughout",
         "950",
         {"950", "950"},
         {"950", "950"},
         dtClient,
         "950",
         "950",
         "950",
         0,
         0},
        {"GB interface on a Big5 machine",
         "950",
         {"936", "950"},
         {"950", "950"},
         dtClient,
         "950",
         "936",
         "950",
         1,
         1},
        {"Big5 interface on a GB machine",
         "936",
         {"950", "950"},
         {"950", "950"},
         dtClient,
         "936",
         "950",
         "950",
         3,
         0},
        {"Big5 interface, GB database",
         "950",
         {"950", "936"},
         {"950", "950"},
         dtClient,
         "950",
         "950",
         "936",
         0,
         2},
        {"server configuration",
         "950",
         {"950", "950"},
         {"936", "950"},
         dtServer,
         "950",
         "936",
         "950",
         1,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CodePageSetup setup(c.acp, c.client, c.server);
        ConverterPtr cv(new TCodeConverter(nullptr));
        cv->SetDesignType(c.design);
        cv->ReadCodePages();
        EXPECT_EQ(cv->SystemCodePage(), c.system);
        EXPECT_EQ(cv->UICodePage(), c.ui);
        EXPECT_EQ(cv->DBCodePage(), c.db);
        EXPECT_EQ(cv->UIConvertMode(), c.uiMode);
        EXPECT_EQ(cv->DBConvertMode(), c.dbMode);
    }
}

// A converter made with its form reads the client configuration at once, before a stored
// DesignType could be applied; setting DesignType alone reads nothing.
TEST(CodeConverter, TheConstructorReadsTheClientConfiguration) {
    CodePageSetup setup("950", {"936", "950"}, CodePages{"950", "950"});
    ConverterPtr cv(new TCodeConverter(nullptr));
    EXPECT_EQ(cv->UICodePage(), "936");
    SetOrdPropByName(cv.get(), "DesignType", static_cast<int>(dtServer));
    EXPECT_EQ(cv->DesignType(), dtServer);
    EXPECT_EQ(cv->UICodePage(), "936");
    cv->ReadCodePages();
    EXPECT_EQ(cv->UICodePage(), "950");
}

TEST(CodeConverter, WithoutAnInstallationTheDefaultsStay) {
    nuv::test::TempDir dir;
    nuv::test::ScopedEnv reg("NUV_REGISTRY", dir / "none.reg");
    nuv::test::ScopedEnv acp("NUV_ACP", "950");
    ConverterPtr cv(new TCodeConverter(nullptr));
    EXPECT_EQ(cv->UICodePage(), "950");
    EXPECT_EQ(cv->DBCodePage(), "950");
    EXPECT_EQ(cv->UIConvertMode(), 0);
    EXPECT_EQ(cv->DBConvertMode(), 0);
}

// --- values and arrays ---------------------------------------------------------------------------

TEST(CodeConverter, ConvertValueByModeAndKind) {
    struct Case {
        const char* label;
        int mode;
        Variant value;
        Variant expected;
        std::vector<std::string> calls; // method of each Manager call
        bool byRef;                     // how the (first) call passed its value
    };
    const Case cases[] = {
        {"Big5 to GB", 1, Variant("選擇條件"), Variant("选择条件"), {"BIG5toGB"}, true},
        {"GB to Big5", 2, Variant("选择条件"), Variant("選擇條件"), {"GBtoBig5"}, true},
        {"mode 0", 0, Variant("選擇"), Variant("選擇"), {}, false},
        {"mode 3", 3, Variant("選擇"), Variant("選擇"), {}, false},
        {"unassigned", 1, Variant(), Variant(), {}, false},
        {"Null", 1, Variant::MakeNull(), Variant::MakeNull(), {}, false},
        {"a number goes to the Manager as it is", 1, Variant(12), Variant(12), {"BIG5toGB"}, true},
        {"byte text in Big5 comes back in GB",
         1,
         Variant::FromBytes(EncodeCodePage("報表", 950), 950),
         Variant::FromBytes(EncodeCodePage("报表", 936), 936),
         {"BIG5toGB"},
         true},
        {"one-dimensional array, nested array, elements by value",
         1,
         Variant::ArrayOf({"選項", Variant::ArrayOf({"單號", 5}), 7}),
         Variant::ArrayOf({"选项", Variant::ArrayOf({"单号", 5}), 7}),
         {"BIG5toGB", "BIG5toGB", "BIG5toGB", "BIG5toGB"},
         false},
        {"unassigned element of an array goes by value",
         1,
         Variant::ArrayOf({Variant(), "選"}),
         Variant::ArrayOf({Variant(), "选"}),
         {"BIG5toGB", "BIG5toGB"},
         false},
        {"two-dimensional array", 1, Texts2D({{"開始", "結束"}, {"說明", "備註"}, {"A", "類"}}),
         Texts2D({{"开始", "结束"}, {"说明", "备注"}, {"A", "类"}}),
         std::vector<std::string>(6, "BIG5toGB"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Converter t;
        Variant result = t.cv->ConvertValue(c.mode, c.value);
        EXPECT_TRUE(result.SameAs(c.expected)) << result.ToString();
        std::vector<std::string> methods;
        for (const auto& call : t.manager->Calls())
            methods.push_back(call.Method);
        EXPECT_EQ(methods, c.calls);
        if (!c.calls.empty()) {
            EXPECT_EQ(t.manager->Calls()[0].ByRef, c.byRef);
        }
    }
}

// Two-dimensional arrays go first index outer, second inner; the caller's array is a copy.
TEST(CodeConverter, TwoDimensionalArraysRunFirstIndexOuter) {
    Converter t;
    Variant a = Texts2D({{"a1", "a2"}, {"b1", "b2"}});
    Variant before = a;
    t.cv->ConvertValue(1, a);
    EXPECT_EQ(t.manager->Arguments(), (std::vector<std::string>{"a1", "a2", "b1", "b2"}));
    EXPECT_TRUE(a.SameAs(before));
}

TEST(CodeConverter, WithoutAManagerNothingIsConverted) {
    CodePageSetup setup("950", {"936", "950"});
    ConverterPtr cv(new TCodeConverter(nullptr));
    Variant a = Variant::ArrayOf({"選項", Variant::ArrayOf({"單號"})});
    EXPECT_TRUE(cv->ConvertValue(1, a).SameAs(a));
    EXPECT_TRUE(cv->ConvertArray(2, a).SameAs(a));
    EXPECT_EQ(cv->ConvertText("選項"), "選項");
    EXPECT_EQ(cv->ToDisplay("選項").ToString(), "選項");
}

// Interface and database directions: ToStorage reverses FromStorage.
TEST(CodeConverter, DisplayAndStorageDirections) {
    struct Case {
        const char* label;
        CodePages pages;
        const char* stored;
        const char* shown;
        const char* display; // ToDisplay of the Traditional text
    };
    const Case cases[] = {
        {"GB interface, Big5 database", {"936", "950"}, "選項", "选项", "选项"},
        {"Big5 interface, GB database", {"950", "936"}, "选项", "選項", "選項"},
        {"same code page", {"950", "950"}, "選項", "選項", "選項"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Converter t("950", c.pages);
        EXPECT_EQ(t.cv->FromStorage(c.stored).ToString(), c.shown);
        EXPECT_EQ(t.cv->ToStorage(c.shown).ToString(), c.stored);
        EXPECT_EQ(t.cv->ToDisplay("選項").ToString(), c.display);
    }
}

TEST(CodeConverter, ConvertTextPassesTheTextByReference) {
    Converter t;
    EXPECT_EQ(t.cv->ConvertText("顯示條件"), "显示条件");
    ASSERT_EQ(t.manager->Calls().size(), 1u);
    EXPECT_TRUE(t.manager->Calls()[0].ByRef);
    EXPECT_EQ(t.cv->ConvertText(""), "");
    EXPECT_EQ(t.manager->Calls().size(), 1u);
}

// --- failures of the Manager -------------------------------------------------------------------

TEST(CodeConverter, AFailingOrMisansweringManagerRaisesToTheCaller) {
    struct Case {
        const char* label;
        bool fail;
        Variant answer;
        std::function<void(TCodeConverter&)> call;
        bool convertError; // EConvertError rather than EOleError
    };
    const Case cases[] = {
        {"value, call fails", true, Variant(),
         [](TCodeConverter& cv) { cv.ConvertValue(1, "選項"); }, false},
        {"array element, call fails", true, Variant(),
         [](TCodeConverter& cv) { cv.ConvertValue(2, Variant::ArrayOf({"a"})); }, false},
        {"text, call fails", true, Variant(), [](TCodeConverter& cv) { cv.ConvertText("選項"); },
         false},
        {"value answered with a number", false, Variant(3),
         [](TCodeConverter& cv) { cv.ConvertValue(1, "選項"); }, true},
        {"element answered with an array", false, Variant::ArrayOf({"x"}),
         [](TCodeConverter& cv) { cv.ConvertArray(1, Variant::ArrayOf({"a"})); }, true},
        {"text answered with unassigned", false, Variant(),
         [](TCodeConverter& cv) { cv.ConvertText("選項"); }, true},
        {"number answered with a text", false, Variant("12"),
         [](TCodeConverter& cv) { cv.ConvertValue(1, 12); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Converter t;
        if (c.fail)
            t.manager->FailAfter(0);
        else
            t.manager->AnswerWith(c.answer);
        if (c.convertError)
            EXPECT_THROW(c.call(*t.cv), EConvertError);
        else
            EXPECT_THROW(c.call(*t.cv), EOleError);
    }
}

// --- fonts -------------------------------------------------------------------------------------

TEST(CodeConverter, AdjustFontByModeAndMachineCodePage) {
    struct Case {
        int mode;
        const char* acp;
        const char* name;
        int charset;
    };
    // The font starts as "Arial" with the default character set.
    const Case cases[] = {
        {1, "950", "SimSun", 134}, {1, "936", "宋体", 134},    {1, "1252", "Arial", 134},
        {2, "950", "細明體", 136}, {2, "936", "MingLiU", 136}, {2, "1252", "Arial", 136},
        {3, "950", "Arial", 136},  {3, "936", "MingLiU", 136}, {3, "1252", "Arial", 136},
        {0, "950", "細明體", 136}, {0, "936", "MingLiU", 136}, {0, "1252", "MingLiU", 136},
        {7, "950", "Arial", 1},    {7, "936", "Arial", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + " on " + c.acp);
        Converter t(c.acp);
        TFont font;
        font.SetName("Arial");
        font.SetCharset(DEFAULT_CHARSET);
        t.cv->AdjustFont(c.mode, &font);
        EXPECT_EQ(font.Name(), c.name);
        EXPECT_EQ(font.Charset(), c.charset);
    }
}
