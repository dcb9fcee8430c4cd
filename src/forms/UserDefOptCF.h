// TfrmUserDefOpt: the small dialog in which a user names a condition set before saving it.
//
// The drop-down lists "[新增]" (a new set) and the codes of the sets the user can see; choosing
// one of them fills in its code (which can then not be changed) and name, so saving replaces
// that set. The code takes at most 20 characters and the name 30, neither may be blank; the
// shared flag can be set by super users (group "000000") only. OK puts [code, name, shared
// "Y"/"N"] into DialogResult and closes; Cancel closes and leaves DialogResult unassigned.
#pragma once

#include "controls/BtChkBox.h"
#include "forms/NuForm.h"
#include "ui/Buttons.h"
#include "ui/StdCtrls.h"

#include <string>

namespace nuv {

class TfrmUserDefOpt : public TNuForm {
    NUV_CLASS(TfrmUserDefOpt)
public:
    explicit TfrmUserDefOpt(TComponent* AOwner);
    ~TfrmUserDefOpt() override;

    // --- the form resource, in its order ---
    TLabel* Userlbl01 = nullptr;
    TComboBox* UserCbo01 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* Usered01 = nullptr;
    TLabel* Userlbl02 = nullptr;
    TEdit* Usered02 = nullptr;
    TBitCheckBox* UserChk01 = nullptr;
    TBitBtn* UserbtnOk = nullptr;
    TBitBtn* UserbtnCancel = nullptr;

    // --- fields ---
    // [code, name, shared "Y"/"N"] once the user confirmed; unassigned otherwise.
    Variant DialogResult;
    // The caller's user group; "000000" may save shared sets.
    std::string UserGroup;
    // [code, name] of every set in the caller's list (bounds 0..m-1); unassigned for none.
    Variant ExistingSets;

    // --- event handlers ---
    void FormCreate(TObject* Sender) override;
    void FormShow(TObject* Sender);
    void UserCbo01Change(TObject* Sender);
    void UserbtnOkClick(TObject* Sender);
    void UserbtnCancelClick(TObject* Sender);

private:
    // An error box with a fixed text, converted for display; the edit gets the focus.
    void Refuse(const std::string& Text, TEdit* Edit);
};

} // namespace nuv
