#include "ui/Mask.h"
#include "ui/TypInfo.h"

#include "UiFixture.h"

using namespace nuv;

namespace {

// The blank test the required-field check makes: the text is blank when it equals (trimmed) the
// text the field shows with nothing typed.
bool IsBlank(TMaskEdit* edit) {
    std::string text = edit->Text();
    std::string mask = edit->EditMask();
    std::string emptyText;
    auto first = mask.find(';');
    auto second = first == std::string::npos ? first : mask.find(';', first + 1);
    if (first != std::string::npos && mask.substr(first + 1, second - first - 1) == "1") {
        std::string zero = mask;
        zero[first + 1] = '0';
        edit->SetEditMask(zero);
        edit->SetText("");
        edit->SetEditMask(mask);
        emptyText = edit->Text();
        edit->SetText(text);
    }
    return uitext::Trim(text) == uitext::Trim(emptyText);
}

} // namespace

TEST_F(UiTest, MaskedTyping) {
    struct Case {
        const char* mask;
        const char* typed;
        const char* text;
        const char* editText;
        bool blank;
    };
    const Case cases[] = {
        {"9999/99/99;1; ", "", "    /  /  ", "    /  /  ", true},
        {"9999/99/99;1; ", "20031201", "2003/12/01", "2003/12/01", false},
        {"9999/99/99;1; ", "2003", "2003/  /  ", "2003/  /  ", false},
        {"9999/99/99;1; ", "20a03", "2003/  /  ", "2003/  /  ", false}, // a letter does not fit
        {"99-99-9999;1; ", "12312003", "12-31-2003", "12-31-2003", false},
        {"999/99/99;1; ", "092", "092/  /  ", "092/  /  ", false},
        {"9999/99;1; ", "200405", "2004/05", "2004/05", false},
        {"9999/99/99;1;_", "2003", "2003/  /  ", "2003/__/__", false},
        {"9999/99/99;0;_", "20031201", "20031201", "2003/12/01", false},
        {"9999/99/99;0;_", "", "", "____/__/__", true},
        {"!99:99;1; ", "1230", "12:30", "12:30", false},
        {">LLL;0;_", "abc", "ABC", "ABC", false},
        {"", "free text", "free text", "free text", false},
    };
    auto* edit = Make<TMaskEdit>(form, "me01", 8, 8, 120, 21);
    form->Show();
    for (const Case& c : cases) {
        edit->SetEditMask("");
        edit->SetText("");
        edit->SetEditMask(c.mask);
        edit->SetFocus();
        edit->SetSelStart(0);
        edit->SetSelLength(0);
        test::TypeText(c.typed);
        EXPECT_EQ(edit->Text(), c.text) << c.mask << " / " << c.typed;
        EXPECT_EQ(edit->EditText(), c.editText) << c.mask << " / " << c.typed;
        EXPECT_EQ(IsBlank(edit), c.blank) << c.mask << " / " << c.typed;
    }
}

TEST_F(UiTest, MaskedTextFitsAndBackspaceSkipsLiterals) {
    auto* edit = Make<TMaskEdit>(form, "me01", 8, 8, 120, 21);
    edit->SetText("2003/12/01");
    edit->SetEditMask("9999/99/99;1; ");
    EXPECT_EQ(edit->Text(), "2003/12/01") << "setting the mask keeps the text";
    form->Show();
    edit->SetFocus();
    edit->SetSelLength(0);
    edit->SetSelStart(5); // after the first separator
    test::PressKey(VK_BACK);
    EXPECT_EQ(edit->Text(), "200 /12/01");
    int changes = 0;
    edit->OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    edit->SetText("");
    EXPECT_EQ(edit->Text(), "    /  /  ");
    EXPECT_EQ(changes, 1);
}

TEST(MaskFormat, FieldsOfTheMask) {
    TEditMaskFormat f("9999/99/99;1; ");
    EXPECT_TRUE(f.SaveLiterals());
    EXPECT_EQ(f.Blank(), U' ');
    EXPECT_EQ(f.Length(), 10);
    EXPECT_TRUE(f.IsLiteral(4));
    TEditMaskFormat g("\\A99;0");
    EXPECT_FALSE(g.SaveLiterals());
    EXPECT_EQ(g.Blank(), U'_');
    EXPECT_TRUE(g.IsLiteral(0));
    EXPECT_TRUE(g.Complete(g.EmptyChars())) << "optional positions only";
    TEditMaskFormat h("00;0");
    EXPECT_FALSE(h.Complete(h.EmptyChars()));
}
