// The controller of a report-request plug-in, as its host program sees it.
//
// A host loads the plug-in library (Kelt58C.so), looks up the one exported function
// GetController, calls it and drives the report dialog only through the returned
// TDLLBaseController: it hands over its work-center manager (Manager) and a notification
// handler (OnNotify), opens, shows, hides and frees the dialog, passes value arrays for
// unattended runs, asks for the dialog's identity and version, and reads the result
// (ResultCode, ResultValue) when the dialog has gone. The host owns the controller and frees
// it with delete; a dialog that is still open is freed first.
//
// A host compiles against include/nuv/ alone: this header, Variant.h and the headers they
// include. It needs no link-time symbol of the plug-in.
//
//     void* lib = dlopen("Kelt58C.so", RTLD_NOW);
//     auto get = reinterpret_cast<nuv::TGetControllerFunc>(dlsym(lib, nuv::GetControllerName));
//     nuv::TDLLBaseController* ctl = get();           // may throw nuv::Exception
//     ctl->Manager = manager;
//     ctl->OnNotify = nuv::TDLLNotifyEvent::Bind<&MyHost::ControllerNotify>(this);
//     ctl->OpenDialog(nuv::Variant::ArrayOf({user, company, dataSource, hostWindow, options}));
//     ...
//     delete ctl;
//
// Binary layout. The virtual operations occupy the first eighteen slots of the virtual table
// in the order declared below (slot 0 GetVersion ... slot 17 Reserved); the destructor is
// declared after them so that it takes the slots that follow. The fields follow the virtual
// table pointer in the order Manager, ResultCode, ResultValue, OnNotify. Neither order may
// change: hosts built against an earlier copy of this header call by slot and read by offset.
//
// Types. The interface keeps the widths and meanings of the operations' original types:
//   WideString  std::u16string: UTF-16 code units, as a wide string is;
//   LongBool    std::int32_t: 32-bit Boolean, 0 false, -1 true (any non-zero reads as true);
//   WordBool    std::int16_t: 16-bit Boolean, 0 false, -1 true (any non-zero reads as true);
//   HWND        std::intptr_t: the platform's opaque window handle (0 = none), the same
//               type as the platform layer's HWND;
//   Variant, OleVariant  nuv::Variant (OleVariant is the same class; see Variant.h);
//   Boolean     bool; 32-bit integers std::int32_t.
// Senders of the dialog's events are the platform's objects, passed as nuv::TObject*; a host
// never needs their definition.
//
// Exceptions. GetController and OpenDialog raise nuv::Exception (Exception.h) for the two
// internal errors, and OpenDialog lets other failures of the dialog's set-up through to the
// host. ApplyValues and ExecuteCommand never raise, and without a dialog no operation raises:
// each returns its neutral value instead.
#pragma once

#include <nuv/Exception.h>
#include <nuv/Variant.h>

#include <cstdint>
#include <string>

#if defined(__GNUC__)
#define NUV_CONTROLLER_EXPORT __attribute__((visibility("default")))
#else
#define NUV_CONTROLLER_EXPORT
#endif

namespace nuv {

using WideString = std::u16string;
using LongBool = std::int32_t;
using WordBool = std::int16_t;
using HWND = std::intptr_t;

inline constexpr LongBool LongTrue = -1;
inline constexpr LongBool LongFalse = 0;
inline constexpr WordBool WordTrue = -1;
inline constexpr WordBool WordFalse = 0;

// The platform's root object class; senders of the dialog's events.
class TObject;

class TDLLBaseController;

// Notification codes passed to OnNotify.
enum TDLLNotifyCode : std::int32_t {
    ncDialogCreated = 0x100, // 256: the dialog object has just been created
    ncDialogShow = 0x110,    // 272: the dialog is being shown
    ncDialogHide = 0x120,    // 288: the dialog is being hidden
    ncDialogDestroy = 0x130, // 304: the dialog is being destroyed; the result has been taken
    ncNotifyExtra = 0x140,   // 320: only when the host itself calls NotifyExtra
};

// OnNotify's method reference: the code to call and the object it is bound to. Empty (no
// code) means unassigned. Two references are the same handler when both parts are equal.
struct TDLLNotifyEvent {
    using TCode = void (*)(void* Data, std::int32_t NotifyCode, TDLLBaseController* Controller);

    TCode Code = nullptr;
    void* Data = nullptr;

    // A reference to Object's member function Method(NotifyCode, Controller).
    template <auto Method, class T> static TDLLNotifyEvent Bind(T* Object) {
        return {[](void* data, std::int32_t notifyCode, TDLLBaseController* controller) {
                    (static_cast<T*>(data)->*Method)(notifyCode, controller);
                },
                Object};
    }

    bool Assigned() const { return Code != nullptr; }
    explicit operator bool() const { return Assigned(); }
    void operator()(std::int32_t NotifyCode, TDLLBaseController* Controller) const {
        Code(Data, NotifyCode, Controller);
    }
    bool operator==(const TDLLNotifyEvent&) const = default;
};

class TDLLBaseController {
public:
    // --- operations of the dialog (slots 0 to 10) ------------------------------------------
    // The dialog's version text; empty without a dialog.
    virtual WideString GetVersion() = 0;
    // LongTrue when the dialog is visible; LongFalse when it is hidden or absent.
    virtual LongBool GetVisible() = 0;
    // Shows (Value non-zero: restored and brought to the foreground) or hides the dialog.
    virtual void SetVisible(WordBool Value) = 0;
    // The dialog's window handle, 0 without a dialog.
    virtual HWND GetWindowHandle() = 0;
    // Creates the dialog when there is none and initialises it with Param, the
    // initialisation array [user, company, data source, host window, host options].
    // 0 when the initialisation succeeded, otherwise -1. Raises the internal error when the
    // library has no dialog class.
    virtual std::int32_t OpenDialog(const Variant& Param) = 0;
    // Hands a host value array [-, value block] to the dialog for an unattended run.
    // 0 when the dialog took it; -1 without a dialog, for a non-array or on any failure.
    virtual std::int32_t ApplyValues(const Variant& Param) = 0;
    // Commands 5 and 9 hand Param (a host value array) to the dialog; 0 when it took it.
    // Other codes, no dialog or a failure give -1. Reserved is not read.
    virtual std::int32_t ExecuteCommand(std::int32_t Code, std::uint32_t Reserved,
                                        const Variant& Param) = 0;
    // Shows the dialog modally; the modal result as an integer, 2 (cancel) without a dialog.
    virtual Variant ShowDialogModal() = 0;
    // Frees the dialog unless it is already being destroyed.
    virtual void FreeDialog() = 0;
    // Stores [UserCode, CompanyCode, ProgramCode, ProgramName] (bounds 0..3) in Info and
    // returns 0; -1 without a dialog, Info unchanged.
    virtual std::int32_t GetIdentity(OleVariant& Info) = 0;
    // True when there is no dialog.
    virtual bool IsDialogFreed() = 0;

    // --- notifications (slots 11 to 17) -----------------------------------------------------
    // Defined here, like the destructor, so that the class has no key function: every module
    // that needs its virtual table or type information (a host built with run-time type checks,
    // for one) has its own copy and links without the library.
    virtual void DialogCreated() { Notify(ncDialogCreated); }
    virtual void DialogShow(TObject* /*Sender*/) { Notify(ncDialogShow); }
    virtual void DialogHide(TObject* /*Sender*/) { Notify(ncDialogHide); }
    virtual void DialogDestroy(TObject* /*Sender*/) { Notify(ncDialogDestroy); }
    virtual void NotifyExtra() { Notify(ncNotifyExtra); }
    // Calls OnNotify with (Code, this) when it is assigned.
    virtual void Notify(std::int32_t Code) {
        if (OnNotify.Assigned())
            OnNotify(Code, this);
    }
    // Does nothing; keeps its place in the slot order.
    virtual void Reserved() {}

    // The two Variant fields are finalised by their own destructors.
    virtual ~TDLLBaseController() = default;

    // --- fields, in this order --------------------------------------------------------------
    // The host's work-center manager automation object, copied into each new dialog. Set by
    // the host before OpenDialog; the library never writes it.
    Variant Manager;
    // When the dialog is destroyed: 1 when the application server accepted a request, 2 when
    // the user cancelled the run options, otherwise 0.
    std::int32_t ResultCode = 0;
    // When the dialog is destroyed: the server's reply text (unassigned without a request).
    OleVariant ResultValue;
    // The host's notification handler.
    TDLLNotifyEvent OnNotify;

protected:
    TDLLBaseController() = default;
    TDLLBaseController(const TDLLBaseController&) = delete;
    TDLLBaseController& operator=(const TDLLBaseController&) = delete;
};

// The export. Returns a new controller that the caller owns; raises nuv::Exception when the
// library has no controller class.
extern "C" {
using TGetControllerFunc = TDLLBaseController* (*)();
}
inline constexpr const char* GetControllerName = "GetController";

} // namespace nuv

extern "C" NUV_CONTROLLER_EXPORT nuv::TDLLBaseController* GetController();
