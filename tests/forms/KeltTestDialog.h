// The smallest report dialog of module KEL that a report module would write on the base
// dialog: a memo, an edit and a selection panel on the first page, the F2 window and quick date
// among its services, and an OK button that only counts its presses. The base dialog's tests
// drive it in-process and, built into a test variant of the plug-in, through a host.
#pragma once

#include "controls/SelectPnl.h"
#include "forms/BaseGene.h"

namespace nuv::test {

class TfrmKeltTest : public TfrmBaseGene {
public:
    explicit TfrmKeltTest(TComponent* AOwner) : TfrmBaseGene(AOwner) {
        SetName("frmKelt58");
        memo = new TMemo(this);
        memo->SetName("me01");
        memo->SetParent(tsOption1);
        memo->SetBounds(12, 12, 200, 60);
        memo->SetTabOrder(0);
        edit = new TEdit(this);
        edit->SetName("ed11");
        edit->SetParent(tsOption1);
        edit->SetBounds(12, 84, 120, 24);
        edit->SetTabOrder(1);
        panel = new TSelectPanel(this);
        panel->SetName("sp03");
        panel->SetParent(tsOption1);
        panel->SetBounds(12, 116, 300, 90);
        panel->SetTabOrder(2);
        btnOk->OnClick = TNotifyEvent(this, &TfrmKeltTest::OkPressed);
    }
    void DefineProgram() override {
        TfrmBaseGene::DefineProgram();
        ServiceFlags |= sf_F2Window;
    }
    void OkPressed(TObject*) { ++okPresses; }
    TSelectPanel* panel = nullptr;
    TMemo* memo = nullptr;
    TEdit* edit = nullptr;
    int okPresses = 0;
};

} // namespace nuv::test
