// The message service: references posted, texts fetched and formatted, dialogs shown.
#include "runtime/NuMsg.h"

#include "RuntimeFixture.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

using namespace nuv;
using namespace nuv::test;

namespace {

struct FormatCase {
    const char* name;
    const char* tmpl;
    std::vector<std::string> args;
    const char* expected; // nullptr: the template cannot be formatted
};

class FormatMessageTextTest : public ::testing::TestWithParam<FormatCase> {};

} // namespace

TEST_P(FormatMessageTextTest, FillsOnlyFromItsArguments) {
    const FormatCase& c = GetParam();
    if (c.expected == nullptr) {
        EXPECT_THROW(FormatMessageText(c.tmpl, c.args), EMessageFormatError);
    } else {
        EXPECT_EQ(FormatMessageText(c.tmpl, c.args), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Templates, FormatMessageTextTest,
    ::testing::Values(FormatCase{"InOrder", "%s 的 %s 超過 %s", {"A", "3", "2"}, "A 的 3 超過 2"},
                      FormatCase{"UnusedArgumentsIgnored", "only %s", {"x", "", "", "y"}, "only x"},
                      FormatCase{"Percent", "100%% of %s", {"A"}, "100% of A"},
                      FormatCase{"Indexed", "%1:s before %0:s", {"A", "B"}, "B before A"},
                      FormatCase{
                          "WidthCountsCharacters", "[%-4s][%3s]", {"日期", "a"}, "[日期  ][  a]"},
                      FormatCase{"PrecisionKeepsWholeCharacters", "%.1s", {"日期"}, "日"},
                      FormatCase{"NoPlaceholders", "plain", {}, "plain"},
                      FormatCase{"MorePlaceholdersThanArguments", "%s %s", {"A"}, nullptr},
                      FormatCase{"IntegerDirective", "%d rows", {"3"}, nullptr},
                      FormatCase{"WriteDirective", "%n", {"3"}, nullptr},
                      FormatCase{"PointerDirective", "%p", {"3"}, nullptr},
                      FormatCase{"PercentAtTheEnd", "50%", {}, nullptr},
                      FormatCase{"IndexPastTheArguments", "%12:s", {"A"}, nullptr}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

TEST(MessageKindTest, TypeTable) {
    struct Row {
        const char* type;
        TMsgDlgType kind;
        TMsgDlgButtons buttons;
    };
    const Row rows[] = {{"C", mtWarning, mbOKCancel},
                        {"D", mtWarning, mbYesNoCancel},
                        {"E", mtError, {mbOK}},
                        {"I", mtInformation, {mbOK}},
                        {"Q", mtConfirmation, mbOKCancel},
                        {"W", mtWarning, mbOKCancel},
                        {"X", mtCustom, {mbOK}},
                        {"e", mtCustom, {mbOK}}};
    for (const Row& r : rows) {
        TMessageKind k = MessageKindOf(r.type);
        EXPECT_EQ(k.Kind, r.kind) << r.type;
        EXPECT_EQ(k.Buttons.Bits(), r.buttons.Bits()) << r.type;
    }
}

TEST(ParseMessageRefTest, FieldsIdAndTenSlots) {
    TMessageRef r = ParseMessageRef("W;000002;A;3;2");
    EXPECT_EQ(r.Type, "W");
    EXPECT_EQ(r.Id, "000002");
    EXPECT_TRUE(r.Shown);
    EXPECT_EQ(r.Args, (std::vector<std::string>{"A", "3", "2", "", "", "", "", "", "", ""}));

    r = ParseMessageRef("I;-000004");
    EXPECT_EQ(r.Id, "000004");
    EXPECT_FALSE(r.Shown);
    EXPECT_EQ(r.Args[0], "");

    r = ParseMessageRef("E;abc; x ");
    EXPECT_FALSE(r.Shown) << "an id that is no number is not shown";
    EXPECT_EQ(r.Args[0], " x ") << "arguments are not trimmed";

    EXPECT_NO_THROW(ParseMessageRef("E;000001;1;2;3;4;5;6;7;8;9;10"));
    EXPECT_THROW(ParseMessageRef("E;000001;1;2;3;4;5;6;7;8;9;10;11"), Exception);
}

using MessageServiceTest = RuntimeTest;

TEST_F(MessageServiceTest, DuplicateReferencesKeptTextsOnce) {
    dialog->Manager = fakes.NewManager();
    fakes.Host->Messages["E000015"] = "找不到安裝路徑";
    PostMessageRef(*dialog, "E;000015");
    PostMessageRef(*dialog, "E;000015");
    EXPECT_EQ(dialog->MessageRefs, "E;000015; E;000015; ");
    EXPECT_EQ(dialog->MessageTexts, "找不到安裝路徑; ");
    ASSERT_EQ(presenter.Messages().size(), 2u);
    EXPECT_EQ(presenter.Messages()[0].Kind, mtError);
    EXPECT_EQ(presenter.Messages()[0].Caption, "Stock report");
    EXPECT_EQ(presenter.Messages()[0].Buttons.Bits(), TMsgDlgButtons{mbOK}.Bits());
    EXPECT_EQ(dialog->LastMessageKey, "E-000015");
}

TEST_F(MessageServiceTest, HiddenIdIsRecordedAndFetchedButNotShown) {
    dialog->Manager = fakes.NewManager();
    fakes.Host->Messages["I000004"] = "已送出: %s";
    PostMessageRef(*dialog, "I;-000004;Job 17");
    EXPECT_EQ(dialog->MessageRefs, "I;-000004;Job 17; ");
    EXPECT_EQ(dialog->MessageTexts, "已送出: Job 17; ");
    EXPECT_TRUE(presenter.Messages().empty());
    auto calls = fakes.CallsOf("GetMessage");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args[1].value.ToString(), "000004");
}

TEST_F(MessageServiceTest, TextInsideAnotherTextIsStillDistinct) {
    dialog->Manager = fakes.NewManager();
    fakes.Host->Messages["I000001"] = "欄位錯誤";
    fakes.Host->Messages["I000002"] = "錯誤";
    PostMessageRef(*dialog, "I;-000001");
    PostMessageRef(*dialog, "I;-000002");
    EXPECT_EQ(dialog->MessageTexts, "欄位錯誤; 錯誤; ");
}

TEST_F(MessageServiceTest, TenSlotsAndTheFallBackOfATemplateThatCannotBeFormatted) {
    dialog->Manager = fakes.NewManager();
    fakes.Host->Messages["W000002"] = "%s:%s/%s/%s";
    PostMessageRef(*dialog, "W;000002;A;3;2");
    EXPECT_EQ(Shown().back(), "A:3/2/");

    // Eleven placeholders, ten slots; a %d: the template and the filled arguments.
    fakes.Host->Messages["W000009"] = "%s%s%s%s%s%s%s%s%s%s%s";
    PostMessageRef(*dialog, "W;000009;A;;B");
    EXPECT_EQ(Shown().back(), "%s%s%s%s%s%s%s%s%s%s%s\rA;B;");
    fakes.Host->Messages["W000010"] = "%d rows";
    PostMessageRef(*dialog, "W;000010;5");
    EXPECT_EQ(Shown().back(), "%d rows\r5;");
}

TEST_F(MessageServiceTest, MoreThanTenArgumentsFailBeforeAnythingHappens) {
    dialog->Manager = fakes.NewManager();
    EXPECT_THROW(PostMessageRef(*dialog, "E;000001;1;2;3;4;5;6;7;8;9;10;11"), Exception);
    EXPECT_EQ(dialog->MessageRefs, "");
    EXPECT_TRUE(fakes.CallsOf("GetMessage").empty());
    EXPECT_TRUE(presenter.Messages().empty());
}

TEST_F(MessageServiceTest, WithoutManagerTheFixedText) {
    PostMessageRef(*dialog, "E;000015");
    EXPECT_EQ(Shown().back(), "Can not Get Message\rType= E, ID= 000015 ");
    dialog->Manager = fakes.NewManager();
    fakes.Host->FailMessages = true;
    PostMessageRef(*dialog, "E;000016");
    EXPECT_EQ(Shown().back(), "Can not Get Message\rType= E, ID= 000016 ");
}

TEST_F(MessageServiceTest, EmptyReferenceAndBlankFailureTextResetBothLists) {
    dialog->Manager = fakes.NewManager();
    AddFailureText(*dialog, "  disk full ");
    AddFailureText(*dialog, "disk full");
    EXPECT_EQ(dialog->MessageRefs, "E;-1; E;-1; ");
    EXPECT_EQ(dialog->MessageTexts, "disk full; ");
    EXPECT_TRUE(presenter.Messages().empty());
    AddFailureText(*dialog, " \t ");
    EXPECT_EQ(dialog->MessageRefs, "");
    EXPECT_EQ(dialog->MessageTexts, "");
    PostMessageRef(*dialog, "I;-000004");
    PostMessageRef(*dialog, "");
    EXPECT_EQ(dialog->MessageRefs, "");
    EXPECT_EQ(dialog->MessageTexts, "");
}

TEST_F(MessageServiceTest, QuietModeShowsErrorsOnly) {
    dialog->Manager = fakes.NewManager();
    dialog->QuietMessages = true;
    EXPECT_EQ(ShowMessageById(*dialog, "W", "000001", {}), 0);
    PostMessageRef(*dialog, "W;000001");
    EXPECT_TRUE(presenter.Messages().empty());
    EXPECT_EQ(dialog->MessageRefs, "W;000001; ") << "a quiet message is still recorded";
    presenter.Answer(mrOk);
    EXPECT_EQ(ShowMessageById(*dialog, "E", "000005", {}), mrOk);
    ASSERT_EQ(presenter.Messages().size(), 1u);
    EXPECT_EQ(presenter.Messages()[0].Kind, mtError);
}

TEST_F(MessageServiceTest, ShowMessageByIdButtonsAndAnswer) {
    dialog->Manager = fakes.NewManager();
    fakes.Host->Messages["D000020"] = "存檔 %s?";
    presenter.Answer(mrNo);
    EXPECT_EQ(ShowMessageById(*dialog, "D", "000020", {"A"}), mrNo);
    EXPECT_EQ(presenter.Messages()[0].Text, "存檔 A?");
    EXPECT_EQ(presenter.Messages()[0].Buttons.Bits(), mbYesNoCancel.Bits());
    ShowMessageById(*dialog, "D", "000020", {"A"}, TMsgDlgButtons{mbOK});
    EXPECT_EQ(presenter.Messages()[1].Buttons.Bits(), TMsgDlgButtons{mbOK}.Bits());
    EXPECT_EQ(dialog->MessageRefs, "") << "ShowMessageById records nothing";
    EXPECT_THROW(ShowMessageById(*dialog, "D", "000020", {}), EMessageFormatError);
}

TEST_F(MessageServiceTest, AnErrorGivesTheFocusBack) {
    auto* first = new TEdit(dialog);
    first->SetName("ed01");
    first->SetParent(dialog);
    auto* second = new TEdit(dialog);
    second->SetName("ed02");
    second->SetParent(dialog);
    second->SetTop(40);
    dialog->Show();
    DrainEvents();
    second->SetFocus();
    ASSERT_EQ(FocusedControl(), second);
    dialog->TBaseGeneState::FocusControl = first;
    PostMessageRef(*dialog, "I;000001");
    EXPECT_EQ(FocusedControl(), second) << "a note leaves the focus where it is";
    PostMessageRef(*dialog, "E;000001");
    EXPECT_EQ(FocusedControl(), first);
}
