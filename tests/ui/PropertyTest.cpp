#include "ui/ComCtrls.h"
#include "ui/StdCtrls.h"
#include "ui/TypInfo.h"

#include "UiFixture.h"

using namespace nuv;

TEST_F(UiTest, PublishedPropertiesHaveTheirTypeNames) {
    auto* combo = Make<TComboBox>(form, "cbo02", 0, 0, 100, 21);
    auto* list = Make<TListBox>(form, "lst", 0, 30, 100, 60);
    auto* label = Make<TLabel>(form, "lbl01", 0, 100, 60, 17);
    auto* status = new TStatusBar(form);
    status->SetParent(form);
    struct Case {
        TObject* object;
        const char* property;
        const char* typeName;
    };
    const Case cases[] = {
        {combo, "Font", "TFont"},           {combo, "Items", "TStrings"},
        {combo, "style", "TComboBoxStyle"}, {list, "Style", "TListBoxStyle"},
        {list, "Items", "TStrings"},        {status, "Panels", "TStatusPanels"},
        {label, "Caption", "TCaption"},     {label, "Color", "TColor"},
        {label, "OnClick", "TNotifyEvent"}, {combo, "OnChange", "TNotifyEvent"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(HasProperty(c.object, c.property)) << c.property;
        EXPECT_EQ(GetPropTypeName(c.object, c.property), c.typeName) << c.property;
    }
    // Buttons publish no Color and edits no Caption, as the forms' checks expect.
    auto* button = Make<TButton>(form, "btnOk", 0, 0, 75, 25);
    auto* edit = Make<TEdit>(form, "ed11", 0, 0, 75, 21);
    EXPECT_FALSE(HasProperty(button, "Color"));
    EXPECT_FALSE(HasProperty(edit, "Caption"));
    EXPECT_TRUE(HasProperty(edit, "Text"));
}

TEST_F(UiTest, GetAndSetByName) {
    auto* edit = Make<TEdit>(form, "ed11", 0, 0, 75, 21);
    auto* combo = Make<TComboBox>(form, "cbo02", 0, 30, 100, 21);
    SetStrPropByName(edit, "Text", "abc");
    EXPECT_EQ(edit->Text(), "abc");
    EXPECT_EQ(GetStrPropByName(edit, "TEXT"), "abc");
    SetOrdPropByName(edit, "Color", 0xAFFFFF);
    EXPECT_EQ(edit->Color(), 0xAFFFFF);
    EXPECT_EQ(GetOrdPropByName(edit, "color"), 0xAFFFFF);
    SetOrdPropByName(edit, "Enabled", 0);
    EXPECT_FALSE(edit->Enabled());
    EXPECT_EQ(GetOrdPropByName(edit, "Enabled"), 0);
    SetOrdPropByName(combo, "Style", static_cast<int>(csOwnerDrawFixed));
    EXPECT_EQ(combo->Style(), csOwnerDrawFixed);
    EXPECT_EQ(GetEnumPropName(combo, "Style"), "csOwnerDrawFixed");
    auto* font = dynamic_cast<TFont*>(GetObjectPropByName(combo, "Font"));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font, combo->Font());
}

TEST_F(UiTest, ByNameOperationsAreNeutralWithoutATarget) {
    auto* edit = Make<TEdit>(form, "ed11", 0, 0, 75, 21);
    edit->SetText("keep");
    struct Case {
        TObject* object;
        const char* name;
    };
    const Case cases[] = {{nullptr, "Text"}, {edit, ""}, {edit, "NoSuchProperty"}};
    for (const Case& c : cases) {
        EXPECT_EQ(GetStrPropByName(c.object, c.name), "");
        EXPECT_EQ(GetOrdPropByName(c.object, c.name), 0);
        EXPECT_FALSE(GetMethodPropByName(c.object, c.name).Assigned());
        EXPECT_FALSE(HasProperty(c.object, c.name));
        SetStrPropByName(c.object, c.name, "changed");
        SetOrdPropByName(c.object, c.name, 1);
        SetMethodPropByName(c.object, c.name, TNotifyEvent([](TObject*) {}).Method());
    }
    EXPECT_EQ(edit->Text(), "keep");
    ClickControl(nullptr);
}

TEST_F(UiTest, ClickControlPressesAButton) {
    auto* button = Make<TButton>(form, "btnOk", 10, 10, 75, 25);
    int clicks = 0;
    std::vector<std::string> mouse;
    button->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
    button->OnMouseDown = TMouseEvent([&](TObject*, TMouseButton, TShiftState, int x, int y) {
        mouse.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    });
    button->OnMouseUp =
        TMouseEvent([&](TObject*, TMouseButton, TShiftState, int, int) { mouse.push_back("up"); });
    form->Show();
    ClickControl(button, 0, MakeLParam(5, 6));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(mouse, (std::vector<std::string>{"down 5,6", "up"}));
}
