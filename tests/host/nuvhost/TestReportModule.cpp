// A small report module for the host's tests, "TestRpt.so": it exports GetController and
// serves a simple parameter dialog through the controller of the test build of Kelt58C.so (its
// dialog class replaced through the test build's NuvSetDialogClass).
//
// The dialog has an item field (ed01), a note field (ed02), OK and Cancel. Its "server" takes
// a request whose item is filled in and refuses one without. Like the report dialog it reads
// the manager's VersionType when it is initialised, takes host values by component name,
// presses OK by itself for a run mode other than 0 and closes (and frees) itself after an
// accepted request; the reply names the item and what it knew of the manager.
#include "plugin/DLLRPCtrller.h"
#include "plugin/DialogClassHook.h"
#include "runtime/DialogContract.h"

#include "platform/Automation.h"
#include "ui/StdCtrls.h"

#include <dlfcn.h>

#include <string>

namespace {

using namespace nuv;
using nuv::test::SetDialogClassName;
using nuv::test::TSetDialogClassFunc;

class TTestReportDialog : public TBaseGeneDialogOf<TForm> {
public:
    explicit TTestReportDialog(TComponent* AOwner) : TBaseGeneDialogOf<TForm>(AOwner) {
        SetName("frmTestRpt");
        SetCaption("測試報表");
        SetClientWidth(340);
        SetClientHeight(150);
        SetPosition(poScreenCenter);
        Font()->SetName("細明體");
        Font()->SetHeight(-13);
        VersionText = "870401-0.00.00";
        lbl01 = Label("lbl01", "品號", 16, 18);
        ed01 = Edit("ed01", 16);
        lbl02 = Label("lbl02", "備註", 16, 50);
        ed02 = Edit("ed02", 48);
        lblStatus = Label("lblStatus", "", 16, 84);
        btnOk = Button("btnOk", "確定", 150);
        btnOk->OnClick = TNotifyEvent(this, &TTestReportDialog::btnOkClick);
        btnCancel = Button("btnCancel", "取消", 240);
        btnCancel->OnClick = TNotifyEvent(this, &TTestReportDialog::btnCancelClick);
        OnClose = TCloseEvent(this, &TTestReportDialog::FormClose);
    }

    bool InitDialog(const Variant& Param) override {
        if (!CompanyCode.empty())
            return false;
        SetVisible(false);
        UserCode = Param[0].ToString();
        CompanyCode = Param[1].ToString();
        ProgramCode = "TESTRPT";
        ProgramName = "測試報表";
        if (Manager.IsObject()) {
            try {
                managerNote_ = "版本類型 " + OleGet(Manager.ToDispatch(), "VersionType").ToString();
            } catch (const Exception& e) {
                managerNote_ = std::string("管理員錯誤 ") + e.what();
            }
        }
        return !CompanyCode.empty();
    }

    void ApplyHostValues(const Variant& Values) override {
        const Variant& v = Values[1];
        if (!v.IsArray())
            return;
        bool applied = false;
        const Variant& block = v[1];
        if (block.IsArray() && block[0].ToBool() && block[1].IsArray()) {
            const Variant& pairs = block[1][0];
            const Variant& values = block[1][1];
            applied = true;
            for (int i = 0; applied && i < pairs.ArrayCount(); ++i) {
                auto* edit = dynamic_cast<TEdit*>(FindComponent(pairs[i][1].ToString()));
                if (edit == nullptr)
                    applied = false;
                else
                    edit->SetText(values[i].ToString());
            }
        }
        if (applied && v[0].ToInt() != 0) {
            btnOkClick(this);
            return;
        }
        SetVisible(true);
    }

private:
    TLabel* Label(const char* name, const char* caption, int left, int top) {
        auto* l = new TLabel(this);
        l->SetName(name);
        l->SetParent(this);
        l->SetCaption(caption);
        l->SetBounds(left, top, 300, 16);
        return l;
    }
    TEdit* Edit(const char* name, int top) {
        auto* e = new TEdit(this);
        e->SetName(name);
        e->SetParent(this);
        e->SetText("");
        e->SetBounds(64, top, 256, 22);
        return e;
    }
    TButton* Button(const char* name, const char* caption, int left) {
        auto* b = new TButton(this);
        b->SetName(name);
        b->SetParent(this);
        b->SetCaption(caption);
        b->SetBounds(left, 110, 80, 26);
        return b;
    }

    void btnOkClick(TObject*) {
        if (ed01->Text().empty()) {
            // Refused: a visible dialog stays open; a hidden one ends the run without a request.
            lblStatus->SetCaption("伺服器拒絕：品號空白");
            if (!Visible())
                Close();
            return;
        }
        RequestAccepted = 1;
        ServerReply = "工作 17 已排入佇列：" + ed01->Text() + "（" +
                      (managerNote_.empty() ? std::string("無管理員") : managerNote_) + "）";
        Close();
    }
    void btnCancelClick(TObject*) { Close(); }
    void FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

    TLabel* lbl01 = nullptr;
    TEdit* ed01 = nullptr;
    TLabel* lbl02 = nullptr;
    TEdit* ed02 = nullptr;
    TLabel* lblStatus = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnCancel = nullptr;
    std::string managerNote_;
};

// Kelt58C.so with this module's dialog class, loaded on the first call.
TGetControllerFunc Controllers() {
    static TGetControllerFunc get = [] {
        void* lib = dlopen(NUV_PLUGIN_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (lib == nullptr)
            throw Exception(std::string("TestRpt cannot load the controller library: ") +
                            dlerror());
        auto set = reinterpret_cast<TSetDialogClassFunc>(dlsym(lib, SetDialogClassName));
        auto getController = reinterpret_cast<TGetControllerFunc>(dlsym(lib, GetControllerName));
        if (set == nullptr || getController == nullptr)
            throw Exception("TestRpt: the controller library lacks its exports");
        set(&DialogClassOf<TTestReportDialog>);
        return getController;
    }();
    return get;
}

} // namespace

extern "C" NUV_CONTROLLER_EXPORT nuv::TDLLBaseController* GetController() {
    return Controllers()();
}
