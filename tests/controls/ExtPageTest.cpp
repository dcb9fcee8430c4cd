// Owner-drawn tabs: the drawing event, the default drawing and the tabs of hidden pages.
#include "controls/ExtPage.h"
#include "ui/TypInfo.h"

#include "ButtonsFixture.h"

using namespace nuv;
using namespace nuv::test;

namespace {

class ExtPageControl : public ControlsTest {
protected:
    TExtPageControl* MakePages(int left, const std::vector<std::pair<const char*, bool>>& pages) {
        auto* pc = new TExtPageControl(form);
        pc->SetParent(form);
        pc->SetBounds(left, 8, 190, 120);
        for (auto [caption, visible] : pages) {
            auto* ts = new TTabSheet(form);
            ts->SetCaption(caption);
            ts->SetPageControl(pc);
            ts->SetTabVisible(visible);
        }
        return pc;
    }
    QImage TabImage(const QImage& client, TExtPageControl* pc, int tab) {
        TRect r = pc->TabRect(tab);
        return client.copy(pc->Left() + r.Left, pc->Top() + r.Top, r.Width(), r.Height());
    }
    static bool Contains(const QImage& img, TColor colour) {
        QRgb want = QColor(ColorToRGB(colour) & 0xFF, (ColorToRGB(colour) >> 8) & 0xFF,
                           (ColorToRGB(colour) >> 16) & 0xFF)
                        .rgb();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) == want)
                    return true;
        return false;
    }
};

TEST_F(ExtPageControl, TabsAreOwnerDrawn) {
    auto* pc = new TExtPageControl(form);
    EXPECT_TRUE(pc->OwnerDraw());
    EXPECT_TRUE(HasProperty(pc, "OnDrawTab"));
}

TEST_F(ExtPageControl, OnDrawTabDrawsEveryVisibleTabInsteadOfTheDefault) {
    auto* pc = MakePages(8, {{"甲", true}, {"乙", false}, {"丙", true}});
    struct Call {
        TWinControl* control;
        int index;
        TRect rect;
        bool active;
    };
    std::vector<Call> calls;
    pc->OnDrawTab = TDrawTabEvent([&](TWinControl* c, int i, const TRect& r, bool a) {
        calls.push_back({c, i, r, a});
    });
    ShowForm();
    calls.clear();
    QImage client = GrabClient(form, "extpage-event");
    ASSERT_EQ(calls.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(calls[static_cast<std::size_t>(i)].control, pc);
        EXPECT_EQ(calls[static_cast<std::size_t>(i)].index, i);
        EXPECT_EQ(calls[static_cast<std::size_t>(i)].active, i == 0);
        // The handler draws inside the tab's frame.
        TRect tab = pc->TabRect(i);
        TRect r = calls[static_cast<std::size_t>(i)].rect;
        EXPECT_LT(r.Width(), tab.Width());
        EXPECT_LE(r.Height(), tab.Height());
        EXPECT_FALSE(r.IsEmpty());
    }
    EXPECT_FALSE(Contains(TabImage(client, pc, 0), clActiveCaption))
        << "the default drawing did not run";
}

TEST_F(ExtPageControl, TheDefaultDrawsTheActiveTabInCaptionColours) {
    auto* pc = MakePages(8, {{"甲", true}, {"丙", true}});
    ShowForm();
    QImage client = GrabClient(form, "extpage-default");
    EXPECT_TRUE(Contains(TabImage(client, pc, 0), clActiveCaption));
    EXPECT_TRUE(Contains(TabImage(client, pc, 0), clCaptionText));
    EXPECT_TRUE(Contains(TabImage(client, pc, 1), clInactiveCaption));
    EXPECT_FALSE(Contains(TabImage(client, pc, 1), clActiveCaption));
}

TEST_F(ExtPageControl, ATabShowsTheCaptionOfItsPageAmongThePagesWithVisibleTabs) {
    // Pages A, B (tab hidden), C (tab hidden), D: the second tab is D's. It must look the same
    // as the second tab of a control with pages A and D only, and unlike a tab of page B.
    auto* hidden = MakePages(8, {{"甲", true}, {"乙", false}, {"丙", false}, {"丁", true}});
    auto* plain = MakePages(210, {{"甲", true}, {"丁", true}});
    auto* shown = MakePages(8, {{"甲", true}, {"乙", true}});
    shown->SetTop(140);
    ShowForm();
    QImage client = GrabClient(form, "extpage-hidden");
    QImage second = TabImage(client, hidden, 1);
    EXPECT_EQ(second, TabImage(client, plain, 1));
    EXPECT_NE(second, TabImage(client, shown, 1));
}

} // namespace
