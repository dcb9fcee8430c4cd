#include "plugin/DLLRPCtrller.h"

#include "platform/UnicodeText.h"

#include <cstdint>

namespace nuv {

constinit TfrmBaseGeneClass frmBaseGeneClass = nullptr;

// The initialisation of this module: GetController builds report-program controllers.
[[maybe_unused]] static const bool controllerClassSet =
    (DLLControllerClass = &ControllerClassOf<TDLLRPCtrller>, true);

// Notices that the controller was freed while it called out (to the host's notification
// handler or the dialog's own handlers), so that the caller does not touch it afterwards.
// Guards nest; the destructor marks every guard that is active.
struct TDLLRPCtrller::FreeGuard {
    explicit FreeGuard(TDLLRPCtrller* controller)
        : owner(controller), outer(controller->freeGuards_) {
        controller->freeGuards_ = this;
    }
    ~FreeGuard() {
        if (!freed)
            owner->freeGuards_ = outer;
    }
    FreeGuard(const FreeGuard&) = delete;
    FreeGuard& operator=(const FreeGuard&) = delete;

    TDLLRPCtrller* owner;
    FreeGuard* outer;
    bool freed = false;
};

TDLLRPCtrller::TDLLRPCtrller() = default;

TDLLRPCtrller::~TDLLRPCtrller() {
    if (Form != nullptr)
        FreeDialog();
    if (Form != nullptr) {
        // The dialog is being destroyed already (the host frees the controller from within
        // the dialog's destruction): give the dialog back its own handlers, so that nothing
        // of its remaining destruction reaches this controller.
        Unhook();
        Form = nullptr;
    }
    for (FreeGuard* g = freeGuards_; g != nullptr; g = g->outer)
        g->freed = true;
}

void TDLLRPCtrller::Hook() {
    OldOnShow = Form->DialogOnShow();
    Form->DialogOnShow() = TNotifyEvent(this, &TDLLRPCtrller::DialogShow);
    OldOnHide = Form->DialogOnHide();
    Form->DialogOnHide() = TNotifyEvent(this, &TDLLRPCtrller::DialogHide);
    OldOnDestroy = Form->DialogOnDestroy();
    Form->DialogOnDestroy() = TNotifyEvent(this, &TDLLRPCtrller::DialogDestroy);
}

void TDLLRPCtrller::Unhook() {
    if (Form->DialogOnShow() == TNotifyEvent(this, &TDLLRPCtrller::DialogShow))
        Form->DialogOnShow() = OldOnShow;
    if (Form->DialogOnHide() == TNotifyEvent(this, &TDLLRPCtrller::DialogHide))
        Form->DialogOnHide() = OldOnHide;
    if (Form->DialogOnDestroy() == TNotifyEvent(this, &TDLLRPCtrller::DialogDestroy))
        Form->DialogOnDestroy() = OldOnDestroy;
}

WideString TDLLRPCtrller::GetVersion() {
    if (Form == nullptr)
        return {};
    return Utf8ToWide(Form->VersionText);
}

LongBool TDLLRPCtrller::GetVisible() {
    return Form != nullptr && Form->DialogVisible() ? LongTrue : LongFalse;
}

void TDLLRPCtrller::SetVisible(WordBool Value) {
    if (Form == nullptr)
        return;
    FreeGuard guard(this);
    Form->SetDialogVisible(Value != 0);
    // Showing and hiding notify the host, which may free the dialog or the controller.
    if (guard.freed || Form == nullptr || Value == 0)
        return;
    if (Form->DialogWindowState() == wsMinimized)
        Form->SetDialogWindowState(wsNormal);
    Form->DialogToForeground();
}

HWND TDLLRPCtrller::GetWindowHandle() {
    if (Form == nullptr)
        return 0;
    return Form->DialogHandle();
}

std::int32_t TDLLRPCtrller::OpenDialog(const Variant& Param) {
    const Variant param = Param;
    std::int32_t result = -1;
    if (Form == nullptr) {
        if (frmBaseGeneClass == nullptr)
            throw Exception("NUV DLL Internal Error :\rNot Assign \"frmBaseGeneClass\" varible");
        Form = frmBaseGeneClass(nullptr);
        Form->Manager = Manager;
        FreeGuard guard(this);
        try {
            DialogCreated();
        } catch (...) {
            // The host's handler raised: the dialog is hooked all the same, so that the
            // controller still learns of its destruction.
            if (!guard.freed && Form != nullptr)
                Hook();
            throw;
        }
        // The host may have freed the dialog or the controller from its notification handler.
        if (guard.freed || Form == nullptr)
            return -1;
        Hook();
    }
    if (Form->InitDialog(param))
        result = 0;
    return result;
}

std::int32_t TDLLRPCtrller::ApplyValues(const Variant& Param) {
    if (Form == nullptr || !Param.IsArray())
        return -1;
    try {
        Form->ApplyHostValues(Variant::ArrayOf({true, Param[1]}));
        return 0;
    } catch (...) {
        return -1;
    }
}

std::int32_t TDLLRPCtrller::ExecuteCommand(std::int32_t Code, std::uint32_t /*Reserved*/,
                                           const Variant& Param) {
    if (Form == nullptr || (Code != 5 && Code != 9))
        return -1;
    try {
        Form->ApplyHostValues(Param);
        return 0;
    } catch (...) {
        return -1;
    }
}

Variant TDLLRPCtrller::ShowDialogModal() {
    if (Form == nullptr)
        return Variant(mrCancel);
    return Variant(Form->DialogShowModal());
}

void TDLLRPCtrller::FreeDialog() {
    if (Form == nullptr || Form->DialogDestroying())
        return;
    FreeGuard guard(this);
    Form->FreeDialogObject();
    // DialogDestroy has cleared Form during the free; clear it also for a dialog whose
    // OnDestroy no longer reaches the controller, since the dialog is gone either way.
    if (!guard.freed)
        Form = nullptr;
}

std::int32_t TDLLRPCtrller::GetIdentity(OleVariant& Info) {
    if (Form == nullptr)
        return -1;
    Info = Variant::CreateArray({ArrayBounds{0, 3}});
    Info[0] = Form->UserCode;
    Info[1] = Form->CompanyCode;
    Info[2] = Form->ProgramCode;
    Info[3] = Form->ProgramName;
    return 0;
}

bool TDLLRPCtrller::IsDialogFreed() {
    return Form == nullptr;
}

void TDLLRPCtrller::DialogShow(TObject* Sender) {
    if (OldOnShow.Assigned())
        OldOnShow(Sender);
    TDLLBaseController::DialogShow(Sender);
}

void TDLLRPCtrller::DialogHide(TObject* Sender) {
    if (OldOnHide.Assigned())
        OldOnHide(Sender);
    TDLLBaseController::DialogHide(Sender);
}

void TDLLRPCtrller::DialogDestroy(TObject* Sender) {
    FreeGuard guard(this);
    // Form is cleared whatever happens below, also when a handler raises.
    struct ClearForm {
        FreeGuard& guard;
        ~ClearForm() {
            if (!guard.freed)
                guard.owner->Form = nullptr;
        }
    } clearForm{guard};
    if (Form == nullptr)
        return;
    ResultCode = Form->RequestAccepted;
    ResultValue = Form->ServerReply;
    if (OldOnDestroy.Assigned())
        OldOnDestroy(Sender);
    if (guard.freed)
        return;
    TDLLBaseController::DialogDestroy(Sender);
}

WideString Utf8ToWide(std::string_view Text) {
    return Utf8ToUtf16(Text);
}

} // namespace nuv
