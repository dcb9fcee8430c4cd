// A dialog with every button and check control of this folder, shown and grabbed to
// controls-buttons.png for a look at them as a user sees them.
#include "controls/BtChkBox.h"
#include "controls/ExtPage.h"
#include "controls/F2Button.h"
#include "controls/GSpdBtn.h"
#include "controls/NuCheckBox.h"
#include "controls/NuRadioButton.h"
#include "controls/NuRadioGroup.h"
#include "controls/NuSpin.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

#include "ButtonsFixture.h"

using namespace nuv;
using namespace nuv::test;

namespace {

class ButtonsGallery : public TForm {
public:
    explicit ButtonsGallery(TComponent* owner) : TForm(owner) {
        SetCaption("按鈕與核取方塊 (Buttons)");
        SetBounds(0, 0, 560, 420);
        SetPosition(poScreenCenter);
        Font()->SetName("細明體");
        Font()->SetHeight(-12);
        Font()->SetCharset(CHINESEBIG5_CHARSET);

        // Glyph buttons in a row, the clear button (glyph 4) also disabled.
        auto* glyphs = new TGroupBox(this);
        glyphs->SetParent(this);
        glyphs->SetCaption("圖示按鈕");
        glyphs->SetBounds(8, 6, 536, 52);
        int x = 12;
        for (int index : {4, 4, 8, 9, 11, 47, 60, 68, 81, 85, 200}) {
            auto* b = new TGSpeedButton(this);
            b->SetParent(glyphs);
            b->SetBounds(x, 20, 23, 23);
            b->SetGlyphIndex(index);
            b->SetHint("glyph " + std::to_string(index));
            if (x == 12 + 27)
                b->SetEnabled(false), disabledClear = b;
            x += 27 + (index == 85 ? 16 : 0);
        }

        // Look-up buttons beside their edits.
        auto label = [&](TWinControl* parent, const char* caption, int lx, int ly) {
            auto* l = new TLabel(this);
            l->SetParent(parent);
            l->SetCaption(caption);
            l->SetLeft(lx);
            l->SetTop(ly);
        };
        label(this, "品號", 12, 72);
        ed01 = new TEdit(this);
        ed01->SetName("ed01");
        ed01->SetParent(this);
        ed01->SetBounds(48, 68, 120, 22);
        ed01->SetText("A0001");
        auto* f2a = new TF2Button(this);
        f2a->SetParent(this);
        f2a->SetF2Control(ed01);
        label(this, "日期", 210, 72);
        me01 = new TEdit(this);
        me01->SetName("me01");
        me01->SetParent(this);
        me01->SetBounds(246, 68, 102, 22);
        me01->SetText("2026/12/10");
        auto* f2b = new TF2Button(this);
        f2b->SetParent(this);
        f2b->SetGlyphIndex(9);
        f2b->SetHint("日期快手");
        f2b->SetF2Control(me01);
        label(this, "客戶", 390, 72);
        auto* ed02 = new TEdit(this);
        ed02->SetName("ed02");
        ed02->SetParent(this);
        ed02->SetBounds(426, 68, 90, 22);
        ed02->SetEnabled(false);
        auto* f2c = new TF2Button(this);
        f2c->SetParent(this);
        f2c->SetGlyphIndex(60);
        f2c->SetF2Control(ed02);

        // Bitmap check boxes: the three states and a disabled one.
        struct Box {
            const char* caption;
            TCheckBoxState state;
            bool enabled;
        };
        int by = 100;
        for (Box b : {Box{"未選取", cbUnchecked, true}, Box{"已選&取", cbChecked, true},
                      Box{"部分選取", cbGrayed, true}, Box{"停用選取", cbChecked, false}}) {
            auto* chk = new TBitCheckBox(this);
            chk->SetParent(this);
            chk->SetCaption(b.caption);
            chk->SetAllowGrayed(true);
            chk->SetState(b.state);
            chk->SetEnabled(b.enabled);
            chk->SetBounds(12, by, 110, 17);
            bitBoxes.push_back(chk);
            by += 22;
        }

        // Radio buttons, check boxes and a spin edit of the run options.
        auto* r1 = new TNuRadioButton(this);
        r1->SetParent(this);
        r1->SetCaption("即時產生資料");
        r1->SetBounds(150, 100, 120, 17);
        auto* r2 = new TNuRadioButton(this);
        r2->SetParent(this);
        r2->SetCaption("置入工作佇列");
        r2->SetChecked(true);
        r2->SetBounds(150, 122, 120, 17);
        auto* r3 = new TNuRadioButton(this);
        r3->SetParent(this);
        r3->SetCaption("指定時間執行");
        r3->SetEnabled(false);
        r3->SetBounds(150, 144, 120, 17);
        auto* r4 = new TNuRadioButton(this);
        r4->SetParent(this);
        r4->SetCaption("文字在左");
        r4->SetAlignment(taLeftJustify);
        r4->SetBounds(150, 166, 100, 17);

        auto* c1 = new TNuCheckBox(this);
        c1->SetParent(this);
        c1->SetCaption("執行畫面保留");
        c1->SetChecked(true);
        c1->SetBounds(290, 100, 120, 17);
        auto* c2 = new TNuCheckBox(this);
        c2->SetParent(this);
        c2->SetCaption("列印選項");
        c2->SetBounds(290, 122, 120, 17);
        c2->SetEnabled(false);
        auto* c3 = new TNuCheckBox(this);
        c3->SetParent(this);
        c3->SetCaption("文字在左");
        c3->SetAlignment(taLeftJustify);
        c3->SetBounds(290, 144, 80, 17);

        label(this, "每", 420, 104);
        auto* spin = new TNuSpinEdit(this);
        spin->SetParent(this);
        spin->SetMinValue(1);
        spin->SetMaxValue(999);
        spin->SetValue(7);
        spin->SetBounds(440, 100, 60, 22);
        label(this, "天", 506, 104);

        // Owner-drawn pages; the second page's tab is hidden.
        pages = new TExtPageControl(this);
        pages->SetParent(this);
        pages->SetBounds(8, 196, 536, 188);
        for (const char* caption : {"基本選項", "隱藏頁", "系統選項", "報表設定"}) {
            auto* ts = new TTabSheet(this);
            ts->SetCaption(caption);
            ts->SetPageControl(pages);
            sheets.push_back(ts);
        }
        sheets[1]->SetTabVisible(false);
        group = new TNuRadioGroup(this);
        group->SetParent(sheets[0]);
        group->SetCaption("執行方式");
        group->SetBounds(8, 8, 300, 100);
        group->SetColumns(2);
        for (const char* item : {"即時產生", "置入佇列", "指定時間", "週期執行", "不執行"})
            group->Items()->Add(item);
        group->SetItemIndex(1);
        auto* r5 = new TNuRadioButton(this);
        r5->SetParent(sheets[0]);
        r5->SetCaption("大字型");
        r5->Font()->SetSize(16);
        r5->SetBounds(320, 16, 160, 28);
        auto* c5 = new TNuCheckBox(this);
        c5->SetParent(sheets[0]);
        c5->SetCaption("小字型");
        c5->Font()->SetSize(8);
        c5->SetBounds(320, 56, 120, 17);
        SetActiveControl(ed01);
    }

    TEdit* ed01 = nullptr;
    TEdit* me01 = nullptr;
    TGSpeedButton* disabledClear = nullptr;
    std::vector<TBitCheckBox*> bitBoxes;
    TExtPageControl* pages = nullptr;
    std::vector<TTabSheet*> sheets;
    TNuRadioGroup* group = nullptr;
};

TEST(ButtonsGallery, IsShownAndGrabbed) {
#ifndef NUV_PEMTAL_PATH
    GTEST_SKIP() << "the glyph library is not built";
#endif
    auto* gallery = CreateForm<ButtonsGallery>(nullptr);
    gallery->Show();
    DrainEvents();
    std::string path = std::string(NUV_TEST_OUTPUT_DIR) + "/controls-buttons.png";
    ASSERT_TRUE(GrabForm(gallery, path));
    QImage img(QString::fromStdString(path));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), gallery->Width());
    EXPECT_EQ(img.height(), gallery->Height());
    EXPECT_EQ(gallery->disabledClear->NumGlyphs(), 2);
    EXPECT_EQ(gallery->group->ButtonCount(), 5);
    // The focus marks: on a bitmap check box, then on a radio button of the group.
    gallery->bitBoxes[1]->SetFocus();
    ASSERT_TRUE(
        GrabForm(gallery, std::string(NUV_TEST_OUTPUT_DIR) + "/controls-buttons-focus1.png"));
    gallery->group->Buttons(1)->SetFocus();
    ASSERT_TRUE(
        GrabForm(gallery, std::string(NUV_TEST_OUTPUT_DIR) + "/controls-buttons-focus2.png"));
    FreeAllForms();
}

} // namespace
