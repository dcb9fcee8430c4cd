#include "ui/Menus.h"

#include "ui/Forms.h"
#include "ui/qt/QtBridge.h"

#include <QMenu>
#include <QWidgetAction>

#include <algorithm>

namespace nuv {

using uitext::SameText;

TShortCut ShortCut(Word key, TShiftState shift) {
    TShortCut s = key;
    if (shift.Contains(ssShift))
        s |= scShift;
    if (shift.Contains(ssCtrl))
        s |= scCtrl;
    if (shift.Contains(ssAlt))
        s |= scAlt;
    return s;
}

static const std::pair<const char*, Word> kKeyNames[] = {
    {"BkSp", VK_BACK},   {"Tab", VK_TAB},    {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE},
    {"Space", VK_SPACE}, {"PgUp", VK_PRIOR}, {"PgDn", VK_NEXT},    {"End", VK_END},
    {"Home", VK_HOME},   {"Left", VK_LEFT},  {"Up", VK_UP},        {"Right", VK_RIGHT},
    {"Down", VK_DOWN},   {"Ins", VK_INSERT}, {"Del", VK_DELETE},
};

static std::string KeyName(Word key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F12)
        return "F" + std::to_string(key - VK_F1 + 1);
    for (auto& [name, vk] : kKeyNames)
        if (vk == key)
            return name;
    return {};
}

TShortCut TextToShortCut(const std::string& text) {
    TShortCut mods = 0;
    std::string rest = text;
    for (;;) {
        if (rest.size() > 6 && SameText(rest.substr(0, 6), "Shift+"))
            mods |= scShift, rest = rest.substr(6);
        else if (rest.size() > 5 && SameText(rest.substr(0, 5), "Ctrl+"))
            mods |= scCtrl, rest = rest.substr(5);
        else if (rest.size() > 4 && SameText(rest.substr(0, 4), "Alt+"))
            mods |= scAlt, rest = rest.substr(4);
        else
            break;
    }
    for (Word k = 1; k < 256; ++k) {
        std::string n = KeyName(k);
        if (!n.empty() && SameText(n, rest))
            return static_cast<TShortCut>(mods | k);
    }
    return scNone;
}

std::string ShortCutToText(TShortCut s) {
    std::string name = KeyName(static_cast<Word>(s & 0xFF));
    if (name.empty())
        return {};
    std::string r;
    if (s & scShift)
        r += "Shift+";
    if (s & scCtrl)
        r += "Ctrl+";
    if (s & scAlt)
        r += "Alt+";
    return r + name;
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TMenuItem::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TMenuItem", &TComponent::StaticClassInfo())
            .Str<TMenuItem>("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption, "TCaption")
            .Bool<TMenuItem>("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
            .Bool<TMenuItem>("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
            .Str<TMenuItem>("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
            .Int<TMenuItem>("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, "TShortCut")
            .Bool<TMenuItem>("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
            .Event<TMenuItem>("OnClick", "TNotifyEvent", &TMenuItem::OnClick)
            .Event<TMenuItem>("OnDrawItem", "TMenuDrawItemEvent", &TMenuItem::OnDrawItem)
            .Event<TMenuItem>("OnMeasureItem", "TMenuMeasureItemEvent", &TMenuItem::OnMeasureItem);
    return info;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    if (parent_ != nullptr)
        parent_->Remove(this);
    for (TMenuItem* it : items_)
        it->parent_ = nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (item == nullptr)
        return;
    if (item->parent_ != nullptr)
        item->parent_->Remove(item);
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    if (TMenu* m = GetParentMenu())
        if (auto* mm = dynamic_cast<TMainMenu*>(m))
            (void)mm;
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end())
        return;
    items_.erase(it);
    item->parent_ = nullptr;
}

void TMenuItem::Delete(int index) {
    TMenuItem* item = Items(index);
    Remove(item);
}

void TMenuItem::Clear() {
    while (!items_.empty()) {
        TMenuItem* item = items_.back();
        Remove(item);
        if (item->Owner() == nullptr)
            item->Free();
    }
}

void TMenuItem::Click() {
    if (enabled_)
        OnClick(this);
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* it = this;
    while (it->parent_ != nullptr)
        it = it->parent_;
    return it->menu_;
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TMenu::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TMenu", &TComponent::StaticClassInfo())
            .Bool<TMenu>("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw);
    return info;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) {
    items_->menu_ = this;
}

TMenu::~TMenu() {
    items_->Clear();
    items_->Free();
}

void TMenu::SetOwnerDraw(bool value) {
    if (ownerDraw_ == value)
        return;
    ownerDraw_ = value;
    MenuChanged();
}

static bool FindShortCut(TMenuItem* item, TShortCut sc) {
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* it = item->Items(i);
        if (!it->Visible() || !it->Enabled())
            continue;
        if (it->ShortCut() == sc) {
            it->Click();
            return true;
        }
        if (FindShortCut(it, sc))
            return true;
    }
    return false;
}

bool TMenu::IsShortCut(Word key, TShiftState shift) {
    TShortCut sc = ShortCut(key, shift * TShiftState{ssShift, ssCtrl, ssAlt});
    if (sc == scNone)
        return false;
    return FindShortCut(items_, sc);
}

// ---------------------------------------------------------------------------------------------
// Owner-drawn item: a widget that paints through a canvas.

namespace {

class OwnerDrawItem : public QWidget {
public:
    OwnerDrawItem(TMenuItem* item, QWidget* parent) : QWidget(parent), item_(item) {
        setMouseTracking(true);
        setAttribute(Qt::WA_Hover);
        TCanvas canvas;
        canvas.Font()->Assign(Screen->MenuFont());
        int w = canvas.TextWidth(item->Caption()) + 40;
        int h = canvas.TextHeight(item->Caption()) + 6;
        if (!item->Caption().empty() && item->Caption() == "-")
            h = 8;
        item->OnMeasureItem(item, &canvas, w, h);
        setFixedSize(w, h);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        TCanvas canvas;
        BeginCanvasPaint(canvas, &p, this);
        canvas.Font()->Assign(Screen->MenuFont());
        bool selected = underMouse() && item_->Enabled();
        TRect r = Bounds(0, 0, width(), height());
        if (item_->OnDrawItem.Assigned()) {
            item_->OnDrawItem(item_, &canvas, r, selected);
        } else {
            canvas.Brush()->SetColor(selected ? clHighlight : clMenu);
            canvas.FillRect(r);
            canvas.Font()->SetColor(!item_->Enabled() ? clGrayText
                                    : selected        ? clHighlightText
                                                      : clMenuText);
            TRect tr = r;
            tr.Left += 20;
            canvas.DrawText(item_->Caption(), tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
            std::string sc = ShortCutToText(item_->ShortCut());
            if (!sc.empty()) {
                TRect sr = r;
                sr.Right -= 8;
                canvas.DrawText(sc, sr, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
            }
        }
        EndCanvasPaint(canvas);
    }
    bool event(QEvent* e) override {
        if (e->type() == QEvent::HoverEnter || e->type() == QEvent::HoverLeave)
            update();
        return QWidget::event(e);
    }
    void mouseReleaseEvent(QMouseEvent*) override {
        if (!item_->Enabled())
            return;
        if (auto* menu = qobject_cast<QMenu*>(parentWidget()))
            menu->close();
        item_->Click();
    }

private:
    TMenuItem* item_;
};

void FillMenu(QMenu* qm, TMenuItem* parent, bool ownerDraw) {
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* it = parent->Items(i);
        if (!it->Visible())
            continue;
        if (it->Caption() == "-") {
            qm->addSeparator();
            continue;
        }
        if (it->Count() > 0) {
            QMenu* sub = qm->addMenu(ToQString(it->Caption()));
            FillMenu(sub, it, ownerDraw);
            continue;
        }
        if (ownerDraw) {
            auto* wa = new QWidgetAction(qm);
            wa->setDefaultWidget(new OwnerDrawItem(it, qm));
            wa->setEnabled(it->Enabled());
            qm->addAction(wa);
            continue;
        }
        QAction* a = qm->addAction(ToQString(it->Caption()));
        a->setEnabled(it->Enabled());
        a->setCheckable(it->Checked());
        a->setChecked(it->Checked());
        if (it->ShortCut() != scNone)
            a->setShortcut(QKeySequence(ToQString(ShortCutToText(it->ShortCut()))));
        a->setShortcutVisibleInContextMenu(true);
        TComponentRef<TMenuItem> ref(it);
        QObject::connect(a, &QAction::triggered, [ref] {
            if (TMenuItem* item = ref)
                item->Click();
        });
    }
}

} // namespace

const TClassInfo& TPopupMenu::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TPopupMenu", &TMenu::StaticClassInfo())
            .Bool<TPopupMenu>("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup)
            .Event<TPopupMenu>("OnPopup", "TNotifyEvent", &TPopupMenu::OnPopup);
    return info;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}
TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int x, int y) {
    TComponentRef<TPopupMenu> self(this);
    OnPopup(this);
    if (!self)
        return;
    QMenu menu;
    menu.setFont(ToQFont(*Screen->MenuFont()));
    FillMenu(&menu, Items(), OwnerDraw());
    menu.exec(QPoint(x, y));
}

const TClassInfo& TMainMenu::StaticClassInfo() {
    static const TClassInfo info("TMainMenu", &TMenu::StaticClassInfo());
    return info;
}

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}
TMainMenu::~TMainMenu() = default;

void TMainMenu::MenuChanged() {
    // The form rebuilds its menu bar from the items when it is shown or its Menu is set.
    if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form != nullptr && form->Menu() == this)
        form->SetMenu(this);
}

} // namespace nuv
