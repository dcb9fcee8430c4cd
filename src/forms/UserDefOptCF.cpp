#include "forms/UserDefOptCF.h"

#include "forms/UserConditionSet.h"
#include "platform/UnicodeText.h"

namespace nuv {

namespace {

// Pale yellow: the background of the two text fields.
constexpr TColor EntryColor = 0xAFFFFF;

} // namespace

const TClassInfo& TfrmUserDefOpt::StaticClassInfo() {
    static const TClassInfo info = TClassInfo("TfrmUserDefOpt", &TNuForm::StaticClassInfo());
    return info;
}

TfrmUserDefOpt::TfrmUserDefOpt(TComponent* AOwner) : TNuForm(AOwner) {
    SetName("frmUserDefOpt");
    SetCaption("使用者自訂條件");
    SetBorderIcons({biSystemMenu});
    SetPosition(poDesktopCenter);
    SetBounds(Left(), Top(), 350, 235);
    OnCreate = TNotifyEvent(this, &TfrmUserDefOpt::FormCreate);
    OnShow = TNotifyEvent(this, &TfrmUserDefOpt::FormShow);

    auto label = [this](const char* name, TWinControl* parent, const char* caption, int left,
                        int top) {
        auto* l = new TLabel(this);
        l->SetName(name);
        l->SetParent(parent);
        l->SetCaption(caption);
        l->SetLeft(left);
        l->SetTop(top);
        return l;
    };
    auto edit = [this](const char* name, int top, int width, int maxLength) {
        auto* e = new TEdit(this);
        e->SetName(name);
        e->SetParent(GroupBox1);
        e->SetBounds(96, top, width, 24);
        e->SetMaxLength(maxLength);
        e->SetText("");
        return e;
    };

    Userlbl01 = label("Userlbl01", this, "自訂代號", 20, 18);
    UserCbo01 = new TComboBox(this);
    UserCbo01->SetName("UserCbo01");
    UserCbo01->SetParent(this);
    UserCbo01->SetStyle(csDropDownList);
    UserCbo01->SetBounds(104, 14, 200, 24);
    UserCbo01->SetTabOrder(0);
    UserCbo01->OnChange = TNotifyEvent(this, &TfrmUserDefOpt::UserCbo01Change);

    GroupBox1 = new TGroupBox(this);
    GroupBox1->SetName("GroupBox1");
    GroupBox1->SetParent(this);
    GroupBox1->SetCaption("請輸入");
    GroupBox1->SetBounds(8, 48, 326, 112);
    GroupBox1->SetTabOrder(1);
    Label1 = label("Label1", GroupBox1, "自訂代號", 12, 24);
    Usered01 = edit("Usered01", 20, 150, SetCodeMaxLength);
    Userlbl02 = label("Userlbl02", GroupBox1, "自訂名稱", 12, 54);
    Usered02 = edit("Usered02", 50, 218, SetNameMaxLength);
    UserChk01 = new TBitCheckBox(this);
    UserChk01->SetName("UserChk01");
    UserChk01->SetParent(GroupBox1);
    UserChk01->SetBounds(96, 80, 80, 22);
    UserChk01->SetCaption("共用");

    auto button = [this](const char* name, const char* caption, int left,
                         void (TfrmUserDefOpt::*click)(TObject*)) {
        auto* b = new TBitBtn(this);
        b->SetName(name);
        b->SetParent(this);
        b->SetBounds(left, 170, 80, 30);
        b->OnClick = TNotifyEvent(this, click);
        b->SetCaption(caption);
        return b;
    };
    UserbtnOk = button("UserbtnOk", "確定", 150, &TfrmUserDefOpt::UserbtnOkClick);
    UserbtnOk->SetTabOrder(2);
    UserbtnCancel = button("UserbtnCancel", "取消", 244, &TfrmUserDefOpt::UserbtnCancelClick);
    UserbtnCancel->SetKind(bkCancel);
    UserbtnCancel->SetCaption("取消");
    UserbtnCancel->SetTabOrder(3);
}

TfrmUserDefOpt::~TfrmUserDefOpt() = default;

void TfrmUserDefOpt::FormCreate(TObject* Sender) {
    TNuForm::FormCreate(Sender);
    Usered01->SetColor(EntryColor);
    Usered02->SetColor(EntryColor);
}

void TfrmUserDefOpt::FormShow(TObject*) {
    UserCbo01->Items()->Add("[新增]");
    ConvertCaptions();
    UserChk01->SetEnabled(UserGroup == SuperUserGroup);
    if (!UserChk01->Enabled())
        UserChk01->SetChecked(false);
    UserCbo01->SetItemIndex(0);
    const bool none = !ExistingSets.IsArray() || ExistingSets.ArrayDimCount() != 1 ||
                      ExistingSets.ArrayCount() == 0;
    if (none) {
        if (Usered01->CanFocus())
            Usered01->SetFocus();
        return;
    }
    for (int i = ExistingSets.ArrayLowBound(); i <= ExistingSets.ArrayHighBound(); ++i) {
        const Variant& set = ExistingSets[i];
        UserCbo01->Items()->Add(set.IsArray() && set.ArrayCount() > 0
                                    ? set[set.ArrayLowBound()].ToString()
                                    : set.ToString());
    }
}

void TfrmUserDefOpt::UserCbo01Change(TObject*) {
    const int index = UserCbo01->ItemIndex();
    if (index <= 0) {
        Usered01->SetEnabled(true);
        Usered01->SetText("");
        Usered02->SetText("");
        if (Usered01->CanFocus())
            Usered01->SetFocus();
        return;
    }
    Usered01->SetText(UserCbo01->Items()->Strings(index));
    Usered01->SetEnabled(false);
    std::string name;
    if (ExistingSets.IsArray() && index - 1 < ExistingSets.ArrayCount()) {
        const Variant& set = ExistingSets[ExistingSets.ArrayLowBound() + index - 1];
        if (set.IsArray() && set.ArrayCount() > 1)
            name = set[set.ArrayLowBound() + 1].ToString();
    }
    Usered02->SetText(name);
    if (Usered02->CanFocus())
        Usered02->SetFocus();
}

void TfrmUserDefOpt::Refuse(const std::string& Text, TEdit* Edit) {
    ShowMessageDlg(NuConverter->ToDisplay(Text).ToString(), mtError, {mbOK});
    if (Edit->CanFocus())
        Edit->SetFocus();
}

void TfrmUserDefOpt::UserbtnOkClick(TObject*) {
    const std::string code = Usered01->Text();
    const std::string name = Usered02->Text();
    if (TrimText(code).empty())
        return Refuse("[自訂代號] 欄位不可空白 !", Usered01);
    if (TrimText(name).empty())
        return Refuse("[自訂名稱] 欄位不可空白 !", Usered02);
    // The edits stop typing at their limits; a text put in another way is refused here.
    if (CodePointCount(code) > SetCodeMaxLength)
        return Refuse("[自訂代號] 欄位不可超過 20 個字 !", Usered01);
    if (CodePointCount(name) > SetNameMaxLength)
        return Refuse("[自訂名稱] 欄位不可超過 30 個字 !", Usered02);
    DialogResult = Variant::ArrayOf({code, name, UserChk01->Checked() ? "Y" : "N"});
    SetModalResult(mrOk);
}

void TfrmUserDefOpt::UserbtnCancelClick(TObject*) {
    Close();
}

} // namespace nuv
