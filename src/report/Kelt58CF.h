// TfrmKelt58: the report dialog of the module Kelt58.
//
// A scheduled report selected by item category, item and customer, with optional e-mail
// delivery. The basic page takes the schedule's start date (me01, today by default, never
// earlier), the classification method (cbo02, from the company settings "Sys007" to "Sys010"),
// the categories of that classification (sp03), the items (sp04) and, when printing by customer
// (chk05), the customers (sp06). The advanced page (TabSheet1) chooses whether and how the
// report is mailed: to the supplier or customer, or to an address of one's own (ed11, then
// required). The e-mail choices follow the host option "FEP".
//
// The dialog contributes conditions 1 to 9 of the request; the report settings append theirs
// after them.
#pragma once

#include "forms/BaseRpt.h"

#include "controls/BtChkBox.h"
#include "controls/F2Button.h"
#include "controls/SelectPnl.h"
#include "ui/ComCtrls.h"
#include "ui/Mask.h"
#include "ui/StdCtrls.h"

#include <nuv/Variant.h>

#include <cstdint>
#include <string>

namespace nuv {

class TfrmKelt58 : public TfrmBaseRpt {
    NUV_CLASS(TfrmKelt58)
public:
    explicit TfrmKelt58(TComponent* AOwner);
    ~TfrmKelt58() override;

    // --- the form resource, in its order -------------------------------------------------------
    // Page tsOption1 (basic options).
    TLabel* lbl01 = nullptr;
    TMaskEdit* me01 = nullptr;
    TF2Button* F2Button1 = nullptr;
    TLabel* lbl02 = nullptr;
    TComboBox* cbo02 = nullptr;
    TSelectPanel* sp03 = nullptr;
    TBitCheckBox* chk05 = nullptr;
    TSelectPanel* sp06 = nullptr;
    TSelectPanel* sp04 = nullptr;
    // Page TabSheet1 (advanced options), between the basic and the system page.
    TTabSheet* TabSheet1 = nullptr;
    TEdit* edTemp = nullptr;
    TBitCheckBox* chk09 = nullptr;
    TLabel* lbl10 = nullptr;
    TComboBox* cbo10 = nullptr;
    TLabel* lbl11 = nullptr;
    TEdit* ed11 = nullptr;
    TF2Button* btn11 = nullptr;
    // Kept for the stored layout; invisible and never read.
    TBitCheckBox* chk07 = nullptr;

    // --- overrides -----------------------------------------------------------------------------
    void DefineProgram() override;
    bool InitDialog(const Variant& Param) override;
    void DoF2Lookup(Word Key, TControl* Control) override;
    bool CollectConditionText(Variant& Texts, std::int32_t Count) override;
    bool CollectConditionData(Variant& Data, std::int32_t Count) override;

    // --- event handlers -------------------------------------------------------------------------
    // Refuses a start date before today ("E;100062") and keeps the focus on me01.
    void me01Exit(TObject* Sender);
    // Print by customer: sp06 and the e-mail choices follow chk05.
    void chk05Click(TObject* Sender);
    // E-mail on or off: the sending method and the address follow chk09.
    void chk09Click(TObject* Sender);
    // Sending method: the own address is enabled and required for the second item only.
    void cbo10Change(TObject* Sender);

    // The classification number of cbo02's choice: its position counted from 1 (0: none).
    std::int32_t ClassificationNumber() const;
    // The host option "FEP" (e-mail delivery): an option not listed counts as on, an unreadable
    // option table as off.
    bool EmailOptionOn() const;

private:
    // Empties PageEndControls and lists sp04, the end of the basic page.
    void RestartPageEnds();
    void AddPageEnd(TWinControl* Control);
    // The controls of the own e-mail address (lbl11, ed11, btn11) enabled or not.
    void EnableOwnAddress(bool Value);
};

} // namespace nuv
