// A dialog built on the root form, grabbed as designed (Traditional) and after its conversion for
// a Simplified interface on a Big5 machine (interface mode 1, with the test Manager):
// forms-nuform-big5.png and forms-nuform-gb.png in the test output folder.
#include "forms/NuForm.h"

#include "codepage/CodePageSetup.h"
#include "codepage/TestConvertManager.h"
#include "controls/SelectPnl.h"
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"
#include "uitest/UiTestSupport.h"

#include <gtest/gtest.h>

#include "ui/qt/QtBridge.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>

#include <cstdlib>
#include <string>
#include <tuple>

using namespace nuv;
using nuv::test::CodePages;
using nuv::test::CodePageSetup;
using nuv::test::TestConvertManager;

namespace {

class TfrmGallery : public TNuForm {
public:
    explicit TfrmGallery(TComponent* owner) : TNuForm(owner) {
        SetCaption("報表條件選項");
        SetBounds(0, 0, 620, 420);
        Font()->SetHeight(-13);

        auto* status = Add<TStatusBar>(this);
        for (const char* text : {"就緒", "電子郵件傳送"})
            status->Panels()->Add()->SetText(text), status->Panels()->Items(0)->SetWidth(160);

        auto* right = Add<TPanel>(this);
        right->SetAlign(alRight);
        right->SetWidth(96);
        right->SetBevelOuter(bvNone);
        int y = 8;
        for (const char* caption : {"確定", "取消", "說明"}) {
            auto* b = Add<TButton>(right);
            b->SetCaption(caption);
            b->SetHint("執行" + std::string(caption));
            b->SetBounds(10, y, 76, 26);
            y += 32;
        }

        auto* pages = Add<TPageControl>(this);
        pages->SetAlign(alClient);
        auto* ts1 = new TTabSheet(this);
        ts1->SetCaption("基本選項");
        ts1->SetPageControl(pages);
        auto* ts2 = new TTabSheet(this);
        ts2->SetCaption("系統選項");
        ts2->SetPageControl(pages);

        auto* sp = Add<TSelectPanel>(ts1);
        sp->SetName("sp01");
        sp->SetCaption("品號區間");
        sp->SetBounds(8, 6, 353, 45);
        sp->SetHint("請輸入品號");

        auto* lbl = Add<TLabel>(ts1);
        lbl->SetCaption("報表類別");
        lbl->SetBounds(8, 64, 60, 16);
        auto* cbo = Add<TComboBox>(ts1);
        cbo->SetStyle(csDropDownList);
        for (const char* s : {"品號類別", "客戶類別", "區域類別"})
            cbo->Items()->Add(s);
        cbo->SetItemIndex(1);
        cbo->SetBounds(90, 60, 140, 22);

        auto* group = Add<TGroupBox>(ts1);
        group->SetCaption("選擇客戶");
        group->SetBounds(8, 92, 262, 150);
        auto* lv = Add<TListView>(group);
        lv->SetViewStyle(vsReport);
        lv->SetRowSelect(true);
        lv->SetBounds(8, 20, 246, 122);
        for (auto [c, w] : {std::pair{"代號", 60}, {"名稱", 110}, {"狀態", 60}})
            lv->Columns()->Add()->SetCaption(c),
                lv->Column(lv->Columns()->Count() - 1)->SetWidth(w);
        for (auto [code, name, state] : {std::tuple{"A01", "總公司", "開"},
                                         {"B02", "華東區", "關"},
                                         {"C03", "龍華廠", "開"}}) {
            TListItem* it = lv->Items()->Add();
            it->SetCaption(code);
            it->SubItems()->Add(name);
            it->SubItems()->Add(state);
        }

        auto* list = Add<TListBox>(ts1);
        list->SetBounds(282, 60, 100, 60);
        for (const char* s : {"週一報表", "週末報表", "月報表"})
            list->Items()->Add(s);
        list->SetItemIndex(0);
        auto* memo = Add<TMemo>(ts1);
        memo->SetBounds(282, 128, 210, 50);
        memo->Lines()->Add("註記：資料來源為總帳");
        memo->Lines()->Add("備註：含稅價格");
        auto* chk = Add<TCheckBox>(ts1);
        chk->SetCaption("顯示條件內容");
        chk->SetChecked(true);
        chk->SetBounds(282, 186, 150, 20);
        auto* r1 = Add<TRadioButton>(ts1);
        r1->SetCaption("即時產生資料");
        r1->SetBounds(282, 210, 130, 20);
        r1->SetChecked(true);
        auto* r2 = Add<TRadioButton>(ts1);
        r2->SetCaption("置入工作佇列");
        r2->SetBounds(282, 232, 130, 20);
        auto* note = Add<TLabel>(ts1);
        note->SetCaption("說明：條件為空白時列印全部資料");
        note->SetBounds(8, 252, 300, 16);
    }

private:
    template <class T> T* Add(TWinControl* parent) {
        auto* c = new T(this);
        c->SetParent(parent);
        return c;
    }
};

class NuFormGallery : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
#ifdef NUV_PEMTAL_PATH
        setenv("NUV_PEMTAL", NUV_PEMTAL_PATH, 0);
#endif
    }
    void TearDown() override {
        nuv::test::FreeAllForms();
    }

    static std::string Grab(TCustomForm* form, const char* name) {
        form->Show();
        nuv::test::DrainEvents();
        std::string path = std::string(NUV_TEST_OUTPUT_DIR) + "/" + name;
        EXPECT_TRUE(GrabForm(form, path));
        EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
        return path;
    }
};

} // namespace

TEST_F(NuFormGallery, ConvertedForASimplifiedInterfaceBesideTheDesign) {
    CodePageSetup setup("950", {"936", "950"});

    auto* designed = CreateForm<TfrmGallery>(nullptr);
    Grab(designed, "forms-nuform-big5.png");
    designed->Free();

    auto* converted = CreateForm<TfrmGallery>(nullptr);
    ASSERT_EQ(converted->GetDisplayMode(), 1);
    converted->SetConverterManager(TestConvertManager::Make());
    converted->ConvertCaptions();
    Grab(converted, "forms-nuform-gb.png");

    // Every caption of the form reads in Simplified characters and is drawn in the GB font.
    for (int i = 0; i < converted->ComponentCount(); ++i) {
        auto* c = dynamic_cast<TControl*>(converted->Components(i));
        if (c == nullptr)
            continue;
        EXPECT_EQ(c->Caption(), TestConvertManager::MapText(c->Caption(), true));
        EXPECT_EQ(c->Font()->Name(), "SimSun");
        EXPECT_EQ(c->Font()->Charset(), GB2312_CHARSET);
    }
}

// The font names the converter gives resolve to installed fonts that draw the script they are
// chosen for.
TEST_F(NuFormGallery, ConverterFontNamesDrawTheirScript) {
    CodePageSetup setup("950", {"950", "950"});
    CreateForm<TNuForm>(nullptr); // the UI platform, with its font substitutions
    struct Case {
        const char* name;
        TFontCharset charset;
        QFontDatabase::WritingSystem script;
    };
    const Case cases[] = {
        {"細明體", CHINESEBIG5_CHARSET, QFontDatabase::TraditionalChinese},
        {"MingLiU", CHINESEBIG5_CHARSET, QFontDatabase::TraditionalChinese},
        {"SimSun", GB2312_CHARSET, QFontDatabase::SimplifiedChinese},
        {"宋体", GB2312_CHARSET, QFontDatabase::SimplifiedChinese},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFont font;
        font.SetName(c.name);
        font.SetCharset(c.charset);
        font.SetHeight(-13);
        QString family = QFontInfo(ToQFont(font)).family();
        EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(c.script))
            << family.toStdString();
    }
}
