#include "ui/ActnList.h"
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/Dialogs.h"
#include "ui/ExtCtrls.h"
#include "ui/Grids.h"
#include "ui/Mask.h"
#include "ui/Menus.h"
#include "ui/Spin.h"
#include "ui/StdCtrls.h"

#include "UiFixture.h"

#include <QFileInfo>
#include <QImage>

using namespace nuv;

namespace {

// A dialog with one control of each kind, laid out as the forms are: absolute pixels, the
// Traditional Chinese captions and the dialog font.
class GalleryForm : public TForm {
public:
    explicit GalleryForm(TComponent* owner) : TForm(owner) {
        SetCaption("控制項一覽 (Gallery)");
        SetBounds(0, 0, 640, 470);
        SetPosition(poScreenCenter);
        Font()->SetName("細明體");
        Font()->SetHeight(-13);
        Font()->SetCharset(CHINESEBIG5_CHARSET);

        auto* status = new TStatusBar(this);
        status->SetParent(this);
        for (auto [text, width] :
             {std::pair{"就緒", 120}, {"KELT58", 120}, {"870401-0.00.00", 200}})
            status->Panels()->Add()->SetText(text),
                status->Panels()->Items(status->Panels()->Count() - 1)->SetWidth(width);

        auto* right = new TPanel(this);
        right->SetParent(this);
        right->SetAlign(alRight);
        right->SetWidth(96);
        right->SetBevelOuter(bvNone);
        auto* ok = new TBitBtn(this);
        ok->SetParent(right);
        ok->SetKind(bkOK);
        ok->SetCaption("確定");
        ok->SetBounds(10, 8, 76, 26);
        auto* cancel = new TBitBtn(this);
        cancel->SetParent(right);
        cancel->SetKind(bkCancel);
        cancel->SetCaption("取消");
        cancel->SetBounds(10, 40, 76, 26);
        auto* period = new TSpeedButton(this);
        period->SetParent(right);
        period->SetCaption("週期性");
        period->SetBounds(10, 72, 76, 26);
        period->SetGroupIndex(2);
        period->SetAllowAllUp(true);
        auto* glyphBtn = new TSpeedButton(this);
        glyphBtn->SetParent(right);
        glyphBtn->SetFlat(true);
        glyphBtn->SetBounds(10, 104, 23, 23);
        glyphBtn->SetHint("日期快手");
        glyphBtn->Glyph()->LoadFromPixels(32, 16, Glyph().data());
        auto* plain = new TButton(this);
        plain->SetParent(right);
        plain->SetCaption("自訂");
        plain->SetBounds(10, 136, 76, 26);

        auto* pages = new TPageControl(this);
        pages->SetParent(this);
        pages->SetAlign(alClient);
        auto* ts1 = new TTabSheet(this);
        ts1->SetCaption("基本選項");
        ts1->SetPageControl(pages);
        auto* ts2 = new TTabSheet(this);
        ts2->SetCaption("系統選項");
        ts2->SetPageControl(pages);

        auto label = [&](TWinControl* parent, const char* caption, int x, int y,
                         TWinControl* focus) {
            auto* l = new TLabel(this);
            l->SetParent(parent);
            l->SetCaption(caption);
            l->SetLeft(x);
            l->SetTop(y);
            l->SetFocusControl(focus);
            return l;
        };
        auto* me01 = new TMaskEdit(this);
        me01->SetParent(ts1);
        me01->SetEditMask("9999/99/99;1; ");
        me01->SetText("2026/12/10");
        me01->SetBounds(159, 6, 102, 22);
        label(ts1, "輸入排程之起始日期", 8, 10, me01);
        auto* cbo02 = new TComboBox(this);
        cbo02->SetParent(ts1);
        cbo02->SetStyle(csDropDownList);
        for (const char* item : {"品號類別一", "品號類別二", "品號類別三"})
            cbo02->Items()->Add(item);
        cbo02->SetItemIndex(0);
        cbo02->SetBounds(159, 34, 145, 22);
        label(ts1, "分類方式", 8, 38, cbo02);

        auto* group = new TGroupBox(this);
        group->SetParent(ts1);
        group->SetCaption("選擇客戶");
        group->SetBounds(8, 64, 250, 150);
        auto* lv = new TListView(this);
        lv->SetParent(group);
        lv->SetViewStyle(vsReport);
        lv->SetRowSelect(true);
        lv->SetBounds(8, 20, 234, 122);
        for (auto [c, w] : {std::pair{"代號", 60}, {"名稱", 100}, {"共用", 50}})
            lv->Columns()->Add()->SetCaption(c),
                lv->Column(lv->Columns()->Count() - 1)->SetWidth(w);
        for (auto [code, name, shared] : {std::tuple{"A01", "台北客戶", "Y"},
                                          {"B02", "高雄客戶", "N"},
                                          {"C03", "新竹客戶", "Y"}}) {
            TListItem* it = lv->Items()->Add();
            it->SetCaption(code);
            it->SubItems()->Add(name);
            it->SubItems()->Add(shared);
        }
        lv->Items()->Item(1)->SetSelected(true);

        auto* edit = new TEdit(this);
        edit->SetParent(ts1);
        edit->SetText("A0001");
        edit->SetBounds(340, 6, 160, 22);
        edit->SetColor(0xAFFFFF);
        label(ts1, "代號", 306, 10, edit);
        auto* memo = new TMemo(this);
        memo->SetParent(ts1);
        memo->SetBounds(306, 34, 194, 60);
        memo->Lines()->Add("註記一：月報表");
        memo->Lines()->Add("註記二：含稅");
        auto* list = new TListBox(this);
        list->SetParent(ts1);
        list->SetBounds(306, 100, 96, 60);
        for (const char* s : {"星期日", "星期一", "星期二"})
            list->Items()->Add(s);
        list->SetItemIndex(1);
        auto* spin = new TSpinEdit(this);
        spin->SetParent(ts1);
        spin->SetMinValue(1);
        spin->SetMaxValue(999);
        spin->SetValue(7);
        spin->SetBounds(410, 100, 90, 22);
        auto* chk = new TCheckBox(this);
        chk->SetParent(ts1);
        chk->SetCaption("依客戶列印");
        chk->SetChecked(true);
        chk->SetBounds(410, 128, 100, 20);
        auto* grayed = new TCheckBox(this);
        grayed->SetParent(ts1);
        grayed->SetAllowGrayed(true);
        grayed->SetState(cbGrayed);
        grayed->SetCaption("執行畫面保留");
        grayed->SetBounds(410, 150, 110, 20);
        auto* r1 = new TRadioButton(this);
        r1->SetParent(ts1);
        r1->SetCaption("即時產生資料");
        r1->SetBounds(8, 222, 120, 20);
        auto* r2 = new TRadioButton(this);
        r2->SetParent(ts1);
        r2->SetCaption("置入工作佇列");
        r2->SetChecked(true);
        r2->SetBounds(132, 222, 120, 20);
        auto* grid = new TDrawGrid(this);
        grid->SetParent(ts1);
        grid->SetColCount(4);
        grid->SetRowCount(3);
        grid->SetDefaultColWidth(56);
        grid->SetDefaultRowHeight(20);
        grid->SetBounds(264, 172, 236, 68);
        grid->OnDrawCell =
            TDrawCellEvent([grid](TObject*, int c, int r, TRect rect, TGridDrawState) {
                static const char* head[] = {"", "時", "分", "秒"};
                std::string text = r == 0   ? head[c]
                                   : c == 0 ? std::to_string(r)
                                            : std::to_string(r * 10 + c);
                grid->Canvas()->Brush()->SetStyle(bsClear);
                grid->Canvas()->DrawText(text, rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
            });
        auto* panel = new TPanel(this);
        panel->SetParent(ts1);
        panel->SetCaption("使用者自訂條件式");
        panel->SetBevelOuter(bvLowered);
        panel->SetBounds(8, 248, 492, 32);
        auto* popup = new TPopupMenu(this);
        auto* n1 = new TMenuItem(this);
        n1->SetCaption("顯示條件內容");
        popup->Items()->Add(n1);
        lv->SetPopupMenu(popup);
        new TActionList(this);
        SetShowHint(true);
        SetActiveControl(me01);
    }

    static std::vector<std::uint32_t> Glyph() {
        // Two 16 x 16 frames: a calendar page on a pink background that is left out.
        std::vector<std::uint32_t> px(32 * 16, 0xFFFF00FF);
        for (int f = 0; f < 2; ++f)
            for (int y = 2; y < 14; ++y)
                for (int x = 2; x < 14; ++x) {
                    bool border = y == 2 || y == 13 || x == 2 || x == 13 || y == 5;
                    px[static_cast<std::size_t>(y * 32 + f * 16 + x)] =
                        border ? (f == 0 ? 0xFF003399 : 0xFF808080) : 0xFFFFFFFF;
                }
        return px;
    }
};

} // namespace

TEST_F(UiTest, GalleryFormIsShownAndGrabbed) {
    auto* gallery = CreateForm<GalleryForm>(nullptr);
    gallery->Show();
    test::DrainEvents();
    std::string path = std::string(NUV_TEST_OUTPUT_DIR) + "/ui_gallery.png";
    ASSERT_TRUE(GrabForm(gallery, path));
    QImage img(QString::fromStdString(path));
    ASSERT_FALSE(img.isNull());
    // The picture has the size of the window: client area plus frame and caption bar.
    EXPECT_EQ(img.width(), gallery->Width());
    EXPECT_EQ(img.height(), gallery->Height());
    EXPECT_NE(test::FocusedControl(), nullptr);
    EXPECT_EQ(test::FocusedControl(), gallery->ActiveControl());
    gallery->Free();
}
