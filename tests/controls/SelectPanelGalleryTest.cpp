// A dialog with the selection panel in each of its faces, shown and grabbed to
// controls-selectpanel.png for a look at it as a user sees it.
#include "SelectPanelFixture.h"

#include "ui/qt/QtBridge.h"

#include <QFileInfo>
#include <QImage>

using namespace nuv;

namespace {

class SelectPanelGallery : public TForm {
public:
    explicit SelectPanelGallery(TComponent* owner) : TForm(owner) {
        SetCaption("選擇條件 (Selection panels)");
        SetBounds(0, 0, 600, 440);
        SetPosition(poScreenCenter);
        Font()->SetName("細明體");
        Font()->SetHeight(-12);
        Font()->SetCharset(CHINESEBIG5_CHARSET);

        dates = Panel("sp01", "日期區間", 8, 6, 353, 45);
        dates->SetValueType(vt_Date);
        dates->SetDateType(dt_YYYYMMDD);
        dates->SetEditMask("9999/99/99;1; ");
        dates->edBegin->SetText("2026/12/01");
        dates->edFinal->SetText("2026/12/31");

        // Stored as the form stores it: two rows in its own size (no swap while loading).
        items = Panel("sp02", "品號區間", 372, 6, 200, 105);
        items->SetOtherWidth(353);
        items->SetOtherHeight(45);
        items->SetUseVertical(true);
        items->edBegin->SetText("A-0001");
        items->edFinal->SetText("Z-9999");

        categories = Panel("sp03", "類別", 8, 60, 353, 45);
        categories->SetStyle(sp_Discrete);
        categories->SetBounds(8, 60, 353, 118);
        categories->SetSortListBox(true);
        for (auto [code, name] : {std::pair{"B02", "螺帽"},
                                  {"A01", "螺絲"},
                                  {"C03", "墊圈"},
                                  {"D04", "彈簧"},
                                  {"A01", "螺絲"},
                                  {"E05", "軸承與襯套"}})
            categories->ListBox->AddItem({code, name});
        categories->SetCheckDuplicate(cd_CaseInsensitive);
        categories->Items()->Item(1)->SetSelected(true);

        customersRange = Panel("sp04", "選擇客戶", 8, 186, 353, 110);
        customersRange->SetStyle(sp_UserChoice);
        customersRange->SetBounds(8, 186, 353, 110);
        customersRange->SetUserChoice(true);
        customersRange->edBegin->SetText("C0001");
        customersRange->edFinal->SetText("C0500");

        customersList = Panel("sp05", "選擇客戶", 372, 186, 214, 140);
        customersList->SetStyle(sp_UserChoice);
        customersList->SetBounds(372, 186, 214, 140);
        customersList->SetUserChoice(false);
        for (auto [code, name] :
             {std::pair{"C0001", "大同公司"}, {"C0002", "新光企業"}, {"C0103", "永豐行"}})
            customersList->ListBox->AddItem({code, name});

        noLookup = Panel("sp06", "數量 (不開窗)", 8, 304, 353, 45);
        noLookup->SetValueType(vt_Number);
        noLookup->SetCanOpenWin(false);
        noLookup->edBegin->SetText("10");
        noLookup->edFinal->SetText("200");

        disabled = Panel("sp07", "停用", 8, 356, 353, 45);
        disabled->edBegin->SetText("A");
        disabled->SetEnabled(false);
    }

    TSelectPanel *dates, *items, *categories, *customersRange, *customersList, *noLookup, *disabled;

private:
    TSelectPanel* Panel(const char* name, const char* caption, int x, int y, int w, int h) {
        auto* p = new TSelectPanel(this);
        p->SetName(name);
        p->SetParent(this);
        p->SetBounds(x, y, w, h);
        p->SetCaption(caption);
        p->SetShowHint(true);
        return p;
    }
};

} // namespace

TEST_F(SelectPanelTest, GalleryIsShownAndGrabbed) {
    auto* gallery = CreateForm<SelectPanelGallery>(nullptr);
    gallery->Show();
    test::DrainEvents();
    EXPECT_EQ(gallery->items->Width(), 200);
    EXPECT_EQ(gallery->categories->Items()->Count(), 5); // the second "A01" was dropped
    EXPECT_FALSE(gallery->customersList->IsRangeActive());

    std::string path = std::string(NUV_TEST_OUTPUT_DIR) + "/controls-selectpanel.png";
    ASSERT_TRUE(GrabForm(gallery, path));
    QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), gallery->Width());
    EXPECT_EQ(image.height(), gallery->Height());

    // The lists are white, also inside a grey frame, so that a selected row shows.
    QImage list = WidgetOf(gallery->categories->ListBox)->grab().toImage();
    EXPECT_EQ(list.pixelColor(list.width() - 8, list.height() - 8), ToQColor(clWindow));
    // The word before an edit is as high as the edit, its text on the edit's middle.
    EXPECT_EQ(gallery->dates->lblBegin->Height(), gallery->dates->edBegin->Height());
    EXPECT_EQ(gallery->dates->lblBegin->Layout(), tlCenter);
}
