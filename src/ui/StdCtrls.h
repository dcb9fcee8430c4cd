// Standard controls: labels, edits, combo boxes, list boxes, group boxes, buttons, check boxes,
// radio buttons and memos, each over one Qt widget. They publish the VCL's properties and
// events (see the property tables in ui/qt/) and follow the VCL's notifications: OnChange
// of an edit fires for every text change, setting Checked of a check box or radio button fires
// OnClick (unless clicks are disabled), setting ItemIndex of a combo box fires nothing.
#pragma once

#include "ui/Controls.h"

#include <memory>
#include <string>

namespace nuv {

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
using enum TEditCharCase;

class TCustomLabel : public TGraphicControl {
    NUV_CLASS(TCustomLabel)
public:
    explicit TCustomLabel(TComponent* owner);
    ~TCustomLabel() override;
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    // The control that the label's accelerator (Alt + the "&" character) focuses.
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);
    void WndProc(TMessage& message) override;

protected:
    void Paint() override;
    void RealSetText(const std::string& text) override;
    void FontChanged() override;
    void Notification(TComponent* component, TOperation operation) override;
    void Loaded() override;
    // Sizes the label to its text when AutoSize is set.
    void AdjustBounds();

private:
    // Gives the label's widget the caption as its accessible name.
    void NameForReaders();
    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
    NUV_CLASS(TLabel)
public:
    explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

class TCustomEdit : public TWinControl {
    NUV_CLASS(TCustomEdit)
public:
    explicit TCustomEdit(TComponent* owner);
    ~TCustomEdit() override;

    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    char32_t PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char32_t value);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase value);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool value) { autoSelect_ = value; }
    bool Modified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }
    int SelStart() const;
    void SetSelStart(int value);
    int SelLength() const;
    void SetSelLength(int value);
    std::string SelText() const;
    void SetSelText(const std::string& text);
    void SelectAll();
    void Clear() { SetText(""); }
    void WndProc(TMessage& message) override;

    TNotifyEvent OnChange;

protected:
    TCustomEdit(TComponent* owner, TWidgetFactory factory);
    // Raised after every change of the text; the default calls OnChange.
    virtual void Change();
    std::string RealGetText() const override;
    void RealSetText(const std::string& text) override;
    LRESULT DialogCode() const override;
    void ColorChanged() override;
    void DoEnter() override;

private:
    friend struct TEditAccess;
    int maxLength_ = 0;
    bool readOnly_ = false;
    char32_t passwordChar_ = 0;
    TEditCharCase charCase_ = ecNormal;
    bool autoSelect_ = true;
    bool modified_ = false;
};

class TEdit : public TCustomEdit {
    NUV_CLASS(TEdit)
public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

enum class TComboBoxStyle {
    csDropDown,
    csSimple,
    csDropDownList,
    csOwnerDrawFixed,
    csOwnerDrawVariable
};
using enum TComboBoxStyle;
enum class TOwnerDrawStateItem {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit
};
using enum TOwnerDrawStateItem;
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
using TDrawItemEvent =
    TEvent<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TEvent<void(TWinControl* Control, int Index, int& Height)>;

class TCustomComboBox : public TWinControl {
    NUV_CLASS(TCustomComboBox)
public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;

    TStrings* Items() const;
    void SetItems(TStrings* items);
    int ItemIndex() const;
    void SetItemIndex(int index);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int value);
    bool Sorted() const;
    void SetSorted(bool value);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int value);
    bool DroppedDown() const;
    void SetDroppedDown(bool value);
    TCanvas* Canvas() const { return canvas_.get(); }
    void Clear();
    void WndProc(TMessage& message) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    virtual void Change();
    virtual void Select();
    // Draws one item (owner-draw styles): OnDrawItem, or the text on the canvas.
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    std::string RealGetText() const override;
    void RealSetText(const std::string& text) override;
    LRESULT DialogCode() const override;
    void ColorChanged() override;
    void FontChanged() override;

private:
    friend struct TComboAccess;
    void SyncItems();
    void ApplyStyle();
    std::unique_ptr<class TStringList> items_;
    std::unique_ptr<TControlCanvas> canvas_;
    TComboBoxStyle style_ = csDropDown;
    int dropDownCount_ = 8;
    int maxLength_ = 0;
    int itemHeight_ = 16;
    bool syncing_ = false;
};

class TComboBox : public TCustomComboBox {
    NUV_CLASS(TComboBox)
public:
    explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};

enum class TListBoxStyle {
    lbStandard,
    lbOwnerDrawFixed,
    lbOwnerDrawVariable,
    lbVirtual,
    lbVirtualOwnerDraw
};
using enum TListBoxStyle;

class TCustomListBox : public TWinControl {
    NUV_CLASS(TCustomListBox)
public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;

    TStrings* Items() const;
    void SetItems(TStrings* items);
    int ItemIndex() const;
    void SetItemIndex(int index);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value);
    bool Selected(int index) const;
    void SetSelected(int index, bool value);
    int SelCount() const;
    bool Sorted() const;
    void SetSorted(bool value);
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle style);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int value);
    int TopIndex() const;
    TCanvas* Canvas() const { return canvas_.get(); }
    void Clear();

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    LRESULT DialogCode() const override;
    void ColorChanged() override;

private:
    friend struct TListBoxAccess;
    void SyncItems();
    std::unique_ptr<class TStringList> items_;
    std::unique_ptr<TControlCanvas> canvas_;
    bool multiSelect_ = false;
    TListBoxStyle style_ = lbStandard;
    int itemHeight_ = 16;
    bool syncing_ = false;
};

class TListBox : public TCustomListBox {
    NUV_CLASS(TListBox)
public:
    explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};

// A frame with a caption; its children sit inside.
class TCustomGroupBox : public TCustomControl {
    NUV_CLASS(TCustomGroupBox)
public:
    explicit TCustomGroupBox(TComponent* owner);
    void WndProc(TMessage& message) override;

protected:
    void Paint() override;
    void AdjustClientRect(TRect& rect) const override;
    void RealSetText(const std::string& text) override;
};

class TGroupBox : public TCustomGroupBox {
    NUV_CLASS(TGroupBox)
public:
    explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}
};

// The native button kinds a TButtonControl can be.
enum class TButtonKind { bkPush, bkCheck, bkRadio };

// Base of the button-like windowed controls (push buttons, check boxes, radio buttons). The
// window tells the control about clicks with CN_COMMAND / BN_CLICKED (BN_DOUBLECLICKED for a
// double click); SetNativeChecked sets the check mark the window shows.
class TButtonControl : public TWinControl {
    NUV_CLASS(TButtonControl)
public:
    explicit TButtonControl(TComponent* owner);
    // While set, changing Checked raises no click.
    bool ClicksDisabled() const { return clicksDisabled_; }
    void SetClicksDisabled(bool value) { clicksDisabled_ = value; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value) { wordWrap_ = value; }

protected:
    TButtonControl(TComponent* owner, TButtonKind kind);
    // The check mark shown by the window: 0 unchecked, 1 checked, 2 grayed.
    void SetNativeChecked(int state);
    int NativeChecked() const;
    // Shows the text left of the check mark (true) or right of it.
    void SetNativeLeftText(bool value);
    std::string RealGetText() const override;
    void RealSetText(const std::string& text) override;
    void ColorChanged() override;
    // True when the character is the "&" accelerator of the caption.
    bool IsAccel(char32_t ch) const;

private:
    bool clicksDisabled_ = false;
    bool wordWrap_ = false;
};

class TButton : public TButtonControl {
    NUV_CLASS(TButton)
public:
    explicit TButton(TComponent* owner);
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    // Sets the parent form's ModalResult, then OnClick.
    void Click() override;
    void WndProc(TMessage& message) override;

protected:
    TButton(TComponent* owner, TWidgetFactory factory);

private:
    bool default_ = false;
    bool cancel_ = false;
    bool active_ = false;
    TModalResult modalResult_ = mrNone;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
using enum TCheckBoxState;

// The state a click gives a check box: unchecked → grayed (when allowed) or checked,
// checked → unchecked, grayed → checked.
inline TCheckBoxState NextCheckBoxState(TCheckBoxState state, bool allowGrayed) {
    switch (state) {
    case cbUnchecked:
        return allowGrayed ? cbGrayed : cbChecked;
    case cbChecked:
        return cbUnchecked;
    case cbGrayed:
        return cbChecked;
    }
    return cbUnchecked;
}

class TCustomCheckBox : public TButtonControl {
    NUV_CLASS(TCustomCheckBox)
public:
    explicit TCustomCheckBox(TComponent* owner);
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState state);
    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool value) { allowGrayed_ = value; }
    // The caption's side: taRightJustify (default) puts the text right of the box.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    void WndProc(TMessage& message) override;

protected:
    // Unchecked → grayed (AllowGrayed) or checked; checked → unchecked; grayed → checked.
    virtual void Toggle();

private:
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
    TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
    NUV_CLASS(TCheckBox)
public:
    explicit TCheckBox(TComponent* owner) : TCustomCheckBox(owner) {}
};

class TRadioButton : public TButtonControl {
    NUV_CLASS(TRadioButton)
public:
    explicit TRadioButton(TComponent* owner);
    bool Checked() const { return checked_; }
    // Checking unchecks the other radio buttons of the parent and raises OnClick.
    void SetChecked(bool value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    void WndProc(TMessage& message) override;

private:
    bool checked_ = false;
    TAlignment alignment_ = taRightJustify;
};

class TCustomMemo : public TCustomEdit {
    NUV_CLASS(TCustomMemo)
public:
    explicit TCustomMemo(TComponent* owner);
    ~TCustomMemo() override;
    TStrings* Lines() const;
    void SetLines(TStrings* lines);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value) { wantReturns_ = value; }
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool value) { wantTabs_ = value; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    // Caret position: X the column, Y the line (from 0).
    TPoint CaretPos() const;
    void SetCaretPos(TPoint p);

protected:
    LRESULT DialogCode() const override;

private:
    std::unique_ptr<TStrings> lines_;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = TScrollStyle::ssNone;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    TAlignment alignment_ = taLeftJustify;
};

class TMemo : public TCustomMemo {
    NUV_CLASS(TMemo)
public:
    explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};

// The character after the single "&" of a caption (upper case), or 0.
char32_t AccelCharOf(const std::string& caption);
// True when the character is the accelerator a (without case); never for no accelerator (0).
bool SameAccel(char32_t a, char32_t b);

} // namespace nuv
