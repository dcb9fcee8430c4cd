// A dialog for the controller's tests: a real platform form with the base dialog's contract.
// It behaves like the base dialog where the controller can see it (InitDialog initialises once
// and hides the dialog; host values with a run mode other than 0 and applicable values send
// the request and close the dialog, otherwise they show it; closing frees it), has handlers of
// its own on OnShow, OnHide and OnDestroy, and writes what happens to it into a shared event log.
#pragma once

#include "runtime/DialogContract.h"

#include <string>
#include <vector>

namespace nuv::test {

class TTestDialog : public TBaseGeneDialogOf<TForm> {
public:
    explicit TTestDialog(TComponent* AOwner) : TBaseGeneDialogOf<TForm>(AOwner) {
        SetName("frmKelt58");
        VersionText = "870401-0.00.00";
        OnShow = TNotifyEvent(this, &TTestDialog::FormShow);
        OnHide = TNotifyEvent(this, &TTestDialog::FormHide);
        OnDestroy = TNotifyEvent(this, &TTestDialog::FormDestroy);
        OnClose = TCloseEvent(this, &TTestDialog::FormClose);
        Log().push_back("dialog created");
        Live() = this;
    }
    ~TTestDialog() override {
        if (Live() == this)
            Live() = nullptr;
    }

    // The log that the dialogs and the test host write into.
    static std::vector<std::string>& Log() {
        static std::vector<std::string> log;
        return log;
    }
    // The dialog that exists now, if any.
    static TTestDialog*& Live() {
        static TTestDialog* live = nullptr;
        return live;
    }

    bool InitDialog(const Variant& Param) override {
        InitParams.push_back(Param);
        if (!CompanyCode.empty())
            return false;
        SetVisible(false);
        UserCode = Param[0].ToString();
        CompanyCode = Param[1].ToString();
        ProgramCode = "KELT58";
        ProgramName = InitProgramName;
        return InitResult;
    }

    void ApplyHostValues(const Variant& Values) override {
        HostValues.push_back(Values);
        if (ApplyFailure)
            throw Exception("the values cannot be applied");
        const Variant& v = Values[1];
        if (!v.IsArray())
            return;
        const bool applied = v[1].IsArray();
        if (applied && v[0].ToInt() != 0) {
            // Unattended: the request goes out and the dialog closes itself.
            RequestAccepted = 1;
            ServerReply = "Job 17 queued";
            Release();
            return;
        }
        SetVisible(true);
    }

    // Scripted answers.
    bool InitResult = true;
    bool ApplyFailure = false;
    bool DestroyFailure = false;
    std::string InitProgramName = "Stock movement report";
    // What the controller handed over.
    std::vector<Variant> InitParams;
    std::vector<Variant> HostValues;

private:
    void FormShow(TObject*) { Log().push_back("dialog OnShow"); }
    void FormHide(TObject*) { Log().push_back("dialog OnHide"); }
    void FormDestroy(TObject*) {
        Log().push_back("dialog OnDestroy");
        if (DestroyFailure)
            throw Exception("the dialog's clean-up failed");
    }
    // A closed dialog always frees itself.
    void FormClose(TObject*, TCloseAction& Action) { Action = caFree; }
};

} // namespace nuv::test
