// Menus: TMenuItem, TPopupMenu and TMainMenu, with short-cuts (Ctrl+Del and the like) that work
// while the focus is in a control that uses the pop-up menu. An owner-drawn menu draws its items
// itself: with OnDrawItem when an item has one, otherwise its caption in Screen->MenuFont.
#pragma once

#include "platform/Classes.h"
#include "ui/Controls.h"
#include "ui/Graphics.h"

#include <string>
#include <vector>

namespace nuv {

using TShortCut = Word;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(Word key, TShiftState shift);
// "Ctrl+Del", "Shift+F2", "Alt+X": the short-cut, or scNone when the text is not one.
TShortCut TextToShortCut(const std::string& text);
std::string ShortCutToText(TShortCut shortCut);

using TMenuDrawItemEvent =
    TEvent<void(TObject* Sender, TCanvas* Canvas, TRect Rect, bool Selected)>;
using TMenuMeasureItemEvent =
    TEvent<void(TObject* Sender, TCanvas* Canvas, int& Width, int& Height)>;

class TMenu;

class TMenuItem : public TComponent {
    NUV_CLASS(TMenuItem)
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption) { caption_ = caption; }
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut) { shortCut_ = shortCut; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { visible_ = value; }
    bool Checked() const { return checked_; }
    void SetChecked(bool value) { checked_ = value; }
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    TMenuItem* Parent() const { return parent_; }
    int IndexOf(const TMenuItem* item) const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    void Delete(int index);
    void Clear();
    // Runs the item's OnClick (when enabled).
    virtual void Click();
    // The menu this item belongs to.
    TMenu* GetParentMenu() const;

    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

private:
    friend class TMenu;
    std::string caption_;
    std::string hint_;
    TShortCut shortCut_ = scNone;
    bool enabled_ = true;
    bool visible_ = true;
    bool checked_ = false;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;
    std::vector<TMenuItem*> items_;
};

class TMenu : public TComponent {
    NUV_CLASS(TMenu)
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    TMenuItem* Items() const { return items_; }
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool value);
    // Runs the enabled, visible item with that short-cut: true when there was one.
    bool IsShortCut(Word key, TShiftState shift);

protected:
    virtual void MenuChanged() {}

private:
    TMenuItem* items_;
    bool ownerDraw_ = false;
};

class TPopupMenu : public TMenu {
    NUV_CLASS(TPopupMenu)
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;
    // Shows the menu at screen coordinates and runs the chosen item.
    virtual void Popup(int x, int y);
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* c) { popupComponent_ = c; }

    TNotifyEvent OnPopup;

private:
    bool autoPopup_ = true;
    TComponentRef<TComponent> popupComponent_;
};

class TMainMenu : public TMenu {
    NUV_CLASS(TMainMenu)
public:
    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;

protected:
    void MenuChanged() override;
};

} // namespace nuv
