// The page control and its tab sheets: an owner-drawable tab bar over stacked pages, with the
// page change asked first (OnChanging) and the pages' own tab order.
#include "ui/ComCtrls.h"

#include "ui/ExtCtrls.h"
#include "ui/PropGroups.h"
#include "ui/qt/QtBridge.h"

#include <QMouseEvent>
#include <QTabBar>

#include <algorithm>
#include <cstdint>

namespace nuv {

struct TPageAccess {
    static void Clicked(TPageControl* pc, int tab) { pc->TabClicked(tab); }
    static void Draw(TPageControl* pc, int tab, const TRect& r, bool active, QPainter* p) {
        TCanvas* c = pc->canvas_.get();
        BeginCanvasPaint(*c, p, p->device());
        c->Font()->Assign(pc->Font());
        pc->DrawTab(tab, r, active);
        EndCanvasPaint(*c);
    }
    static bool OwnerDraw(TPageControl* pc) { return pc->ownerDraw_; }
};

namespace {

class PageTabBar : public QTabBar {
public:
    PageTabBar(QWidget* parent, TControlWidget* host) : QTabBar(parent), host_(host) {
        setDrawBase(false);
        setExpanding(false);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        auto* pc = static_cast<TPageControl*>(host_->control);
        if (pc == nullptr || e->button() != Qt::LeftButton) {
            QTabBar::mousePressEvent(e);
            return;
        }
        int tab = tabAt(e->position().toPoint());
        if (tab >= 0)
            Guarded([&] { TPageAccess::Clicked(pc, tab); });
    }
    void paintEvent(QPaintEvent* e) override {
        auto* pc = static_cast<TPageControl*>(host_->control);
        if (pc == nullptr || !TPageAccess::OwnerDraw(pc)) {
            QTabBar::paintEvent(e);
            return;
        }
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
        for (int i = 0; i < count(); ++i) {
            QRect r = tabRect(i);
            TPageAccess::Draw(pc, i, Bounds(r.x(), r.y(), r.width(), r.height()),
                              i == currentIndex(), &p);
        }
    }

private:
    TControlWidget* host_;
};

class PageWidget : public TWidget<QWidget> {
public:
    explicit PageWidget(TControl* c) : TWidget<QWidget>(c) {
        setAutoFillBackground(true);
        bar = new PageTabBar(this, this);
    }
    PageTabBar* bar;

protected:
    void paintEvent(QPaintEvent* e) override {
        TWidget<QWidget>::paintEvent(e);
        QPainter p(this);
        int top = bar->isVisible() ? bar->height() - 1 : 0;
        QRect r(0, top, width() - 1, height() - top - 1);
        p.setPen(ToQColor(clBtnHighlight));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(ToQColor(cl3DDkShadow));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        p.setPen(ToQColor(clBtnShadow));
        p.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() + QPoint(-1, -1));
        p.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() + QPoint(-1, -1));
    }
};

PageWidget* PageOf(const TControl* c) {
    return dynamic_cast<PageWidget*>(WidgetOf(c));
}
TControlWidget* PageFactory(TControl* c) {
    return new PageWidget(c);
}

} // namespace

const TClassInfo& TPageControl::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TPageControl", &TWinControl::StaticClassInfo());
        AddStandardProps(i, pgControl | pgAlign | pgFont | pgTab | pgMouse | pgFocus | pgDrag |
                                pgDock | pgDockSite | pgResize);
        i.Object<TPageControl, TTabSheet>("ActivePage", "TTabSheet", &TPageControl::ActivePage,
                                          &TPageControl::SetActivePage);
        i.Bool<TPageControl>("MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine);
        i.Bool<TPageControl>("OwnerDraw", &TPageControl::OwnerDraw, &TPageControl::SetOwnerDraw);
        i.Enum<TPageControl>("Style", "TTabStyle", {"tsTabs", "tsButtons", "tsFlatButtons"},
                             &TPageControl::Style, &TPageControl::SetStyle);
        i.Int<TPageControl>("TabHeight", &TPageControl::TabHeight, &TPageControl::SetTabHeight,
                            "Smallint");
        i.Int<TPageControl>("TabIndex", &TPageControl::TabIndex, &TPageControl::SetTabIndex);
        i.Int<TPageControl>("TabWidth", &TPageControl::TabWidth, &TPageControl::SetTabWidth,
                            "Smallint");
        i.Event<TPageControl>("OnChange", "TNotifyEvent", &TPageControl::OnChange);
        i.Event<TPageControl>("OnChanging", "TTabChangingEvent", &TPageControl::OnChanging);
        i.Event<TPageControl>("OnDrawTab", "TDrawTabEvent", &TPageControl::OnDrawTab);
        return i;
    }();
    return info;
}

TPageControl::TPageControl(TComponent* owner)
    : TWinControl(owner, &PageFactory), canvas_(std::make_unique<TControlCanvas>(this)) {
    SetControlStyle(TControlStyle{csDoubleClicks, csOpaque});
    SetTabStop(true);
    SetColor(clBtnFace);
    SetParentColor(true);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
    for (TTabSheet* p : pages_)
        p->pageControl_ = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
    if (index < 0 || index >= PageCount())
        throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
    return pages_[static_cast<std::size_t>(index)];
}

void TPageControl::InsertPage(TTabSheet* page) {
    pages_.push_back(page);
    page->pageControl_ = this;
    UpdateTabs();
    if (activePage_ == nullptr) {
        SetActivePage(page);
    } else {
        page->SetVisible(false);
    }
    PlaceSheets();
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end())
        return;
    TTabSheet* next = activePage_ == page ? FindNextPage(page, true, false) : activePage_;
    pages_.erase(it);
    page->pageControl_ = nullptr;
    if (next == page)
        next = nullptr;
    if (activePage_ == page) {
        activePage_ = nullptr;
        if (next != nullptr)
            SetActivePage(next);
    }
    UpdateTabs();
}

int TPageControl::ActivePageIndex() const {
    auto it = std::find(pages_.begin(), pages_.end(), activePage_);
    return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

void TPageControl::SetActivePageIndex(int index) {
    SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<std::size_t>(index)]
                                                    : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page != nullptr && page->pageControl_ != this)
        return;
    if (page == activePage_)
        return;
    TComponentRef<TTabSheet> old(activePage_);
    activePage_ = page;
    if (page != nullptr) {
        page->BringToFront();
        page->SetVisible(true);
    }
    if (old && old.Get() != page)
        old->SetVisible(false);
    UpdateTabs();
    PlaceSheets();
}

int TPageControl::TabIndex() const {
    return activePage_ != nullptr ? activePage_->TabIndex() : -1;
}

void TPageControl::SetTabIndex(int index) {
    for (TTabSheet* p : pages_)
        if (p->TabIndex() == index && index >= 0) {
            SetActivePage(p);
            return;
        }
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward,
                                      bool checkTabVisible) const {
    if (pages_.empty())
        return nullptr;
    int count = PageCount();
    auto it = std::find(pages_.begin(), pages_.end(), current);
    int start =
        it == pages_.end() ? (goForward ? count - 1 : 0) : static_cast<int>(it - pages_.begin());
    int i = start;
    do {
        i = goForward ? (i + 1) % count : (i + count - 1) % count;
        TTabSheet* p = pages_[static_cast<std::size_t>(i)];
        if (!checkTabVisible || p->TabVisible())
            return p;
    } while (i != start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
    TTabSheet* page = FindNextPage(activePage_, goForward, checkTabVisible);
    if (page != nullptr && page != activePage_ && CanChange()) {
        SetActivePage(page);
        Change();
    }
}

bool TPageControl::CanChange() {
    bool allow = true;
    OnChanging(this, allow);
    return allow;
}

void TPageControl::Change() {
    OnChange(this);
}

void TPageControl::TabClicked(int tabIndex) {
    TTabSheet* target = nullptr;
    for (TTabSheet* p : pages_)
        if (p->TabIndex() == tabIndex)
            target = p;
    if (target == nullptr || target == activePage_)
        return;
    TComponentRef<TControl> self(this);
    if (!CanChange() || !self)
        return;
    SetActivePage(target);
    Change();
}

void TPageControl::DrawTab(int tabIndex, const TRect& rect, bool active) {
    if (OnDrawTab.Assigned()) {
        OnDrawTab(this, tabIndex, rect, active);
        return;
    }
    TCanvas* c = canvas_.get();
    c->Brush()->SetColor(Color());
    c->FillRect(rect);
    TTabSheet* page = nullptr;
    for (TTabSheet* p : pages_)
        if (p->TabIndex() == tabIndex)
            page = p;
    if (page != nullptr) {
        TRect r = rect;
        c->Brush()->SetStyle(bsClear);
        c->DrawText(page->Caption(), r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
}

void TPageControl::SetOwnerDraw(bool value) {
    ownerDraw_ = value;
    PageOf(this)->bar->update();
}

void TPageControl::SetTabHeight(int value) {
    tabHeight_ = value;
    SyncTabs();
    PlaceSheets();
}

void TPageControl::SetTabWidth(int value) {
    tabWidth_ = value;
    UpdateTabs();
}

void TPageControl::UpdateTabs() {
    tabsStale_ = true;
    if (!ComponentState().Contains(csLoading))
        SyncTabs();
}

void TPageControl::Loaded() {
    TWinControl::Loaded();
    if (tabsStale_) {
        SyncTabs();
        PlaceSheets();
    }
}

void TPageControl::SyncTabs() const {
    tabsStale_ = false;
    PageWidget* w = PageOf(this);
    QTabBar* bar = w->bar;
    QSignalBlocker block(bar);
    // The tabs are brought to the visible pages' captions in place: most calls (a resize, a
    // caption set while the form is built) change nothing or one text.
    QStringList captions;
    int current = -1;
    for (TTabSheet* p : pages_) {
        if (!p->TabVisible())
            continue;
        if (p == activePage_)
            current = static_cast<int>(captions.size());
        captions << ToQString(p->Caption());
    }
    bool changed = false;
    while (bar->count() > captions.size()) {
        bar->removeTab(bar->count() - 1);
        changed = true;
    }
    for (int i = 0; i < bar->count(); ++i)
        if (bar->tabText(i) != captions[i]) {
            bar->setTabText(i, captions[i]);
            changed = true;
        }
    while (bar->count() < captions.size()) {
        bar->addTab(captions[bar->count()]);
        changed = true;
    }
    if (current >= 0 && bar->currentIndex() != current)
        bar->setCurrentIndex(current);
    QString style;
    if (tabHeight_ > 0)
        style += QString("QTabBar::tab { height: %1px; }").arg(tabHeight_ - 4);
    if (tabWidth_ > 0)
        style += QString("QTabBar::tab { width: %1px; }").arg(tabWidth_ - 4);
    if (bar->styleSheet() != style) {
        bar->setStyleSheet(style);
        changed = true;
    }
    const QFont font = ToQFont(*Font());
    if (bar->font() != font || !bar->testAttribute(Qt::WA_SetFont)) {
        bar->setFont(font);
        changed = true;
    }
    bar->setVisible(bar->count() > 0);
    // The bar's height is asked of it only when its tabs, style or font changed.
    const int height = changed || bar->height() <= 0 ? bar->sizeHint().height() : bar->height();
    bar->setGeometry(2, 0, std::max(0, Width() - 4), height);
    bar->update();
}

TRect TPageControl::TabRect(int tabIndex) const {
    if (tabsStale_)
        SyncTabs();
    QTabBar* bar = PageOf(this)->bar;
    QRect r = bar->tabRect(tabIndex);
    return Bounds(r.x() + bar->x(), r.y() + bar->y(), r.width(), r.height());
}

TRect TPageControl::DisplayRect() const {
    QTabBar* bar = PageOf(this)->bar;
    // The bar's height is that of a tab, whatever its caption: a bar that has its first tab
    // tells it without being brought up to date.
    if (tabsStale_ && (bar->count() == 0) != pages_.empty())
        SyncTabs();
    int top = bar->isVisible() || bar->count() > 0 ? bar->sizeHint().height() : 0;
    return Rect(4, top + 4, std::max(4, Width() - 4), std::max(top + 4, Height() - 4));
}

void TPageControl::PlaceSheets() {
    TRect r = DisplayRect();
    for (TTabSheet* p : pages_)
        p->TWinControl::SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TPageControl::SetBounds(int left, int top, int width, int height) {
    TWinControl::SetBounds(left, top, width, height);
    UpdateTabs();
    PlaceSheets();
}

void TPageControl::FontChanged() {
    TWinControl::FontChanged();
    canvas_->Font()->Assign(Font());
    // The font sets the bar's height, which places the pages: brought up at once.
    SyncTabs();
    PlaceSheets();
}

void TPageControl::WndProc(TMessage& m) {
    if (m.Msg == CM_DIALOGKEY && m.WParam == VK_TAB) {
        TShiftState shift = TShiftState::FromBits(static_cast<std::uint64_t>(m.LParam));
        if (shift.Contains(ssCtrl) && activePage_ != nullptr) {
            SelectNextPage(!shift.Contains(ssShift));
            m.Result = 1;
            return;
        }
    }
    TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// TTabSheet

const TClassInfo& TTabSheet::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TTabSheet", &TWinControl::StaticClassInfo());
        AddStandardProps(i, pgControl | pgCaption | pgFont | pgMouse | pgFocus | pgDrag | pgResize);
        i.Int<TTabSheet>("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex,
                         "TImageIndex");
        i.Object<TTabSheet, TPageControl>("PageControl", "TPageControl", &TTabSheet::PageControl,
                                          &TTabSheet::SetPageControl);
        i.Int<TTabSheet>("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex);
        i.Bool<TTabSheet>("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible);
        i.Event<TTabSheet>("OnHide", "TNotifyEvent", &TTabSheet::OnHide);
        i.Event<TTabSheet>("OnShow", "TNotifyEvent", &TTabSheet::OnShow);
        return i;
    }();
    return info;
}

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csClickEvents, csDoubleClicks});
    SetColor(clBtnFace);
    SetParentColor(true);
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    if (pageControl_ != nullptr)
        pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* pc) {
    if (pageControl_ == pc)
        return;
    if (pageControl_ != nullptr)
        pageControl_->RemovePage(this);
    SetParent(pc);
    if (pc != nullptr)
        pc->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (pageControl_ == nullptr)
        return -1;
    auto& v = pageControl_->pages_;
    return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TTabSheet::SetPageIndex(int index) {
    if (pageControl_ == nullptr)
        return;
    auto& v = pageControl_->pages_;
    index = std::clamp(index, 0, static_cast<int>(v.size()) - 1);
    v.erase(std::find(v.begin(), v.end(), this));
    v.insert(v.begin() + index, this);
    pageControl_->UpdateTabs();
}

int TTabSheet::TabIndex() const {
    if (pageControl_ == nullptr || !tabVisible_)
        return -1;
    int n = 0;
    for (TTabSheet* p : pageControl_->pages_) {
        if (p == this)
            return n;
        if (p->tabVisible_)
            ++n;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool value) {
    if (tabVisible_ == value)
        return;
    tabVisible_ = value;
    if (pageControl_ != nullptr)
        pageControl_->UpdateTabs();
}

void TTabSheet::RealSetText(const std::string& text) {
    TWinControl::RealSetText(text);
    if (pageControl_ != nullptr)
        pageControl_->UpdateTabs();
}

void TTabSheet::DoShow() {
    OnShow(this);
}
void TTabSheet::DoHide() {
    OnHide(this);
}

void TTabSheet::WndProc(TMessage& m) {
    if (m.Msg == CM_SHOWINGCHANGED) {
        bool now = Showing();
        if (now != wasShowing_) {
            wasShowing_ = now;
            if (now)
                DoShow();
            else
                DoHide();
        }
        return;
    }
    TWinControl::WndProc(m);
}

} // namespace nuv
