// Late-bound automation: the interface that the plug-in, its host and the application server
// use to call each other's objects by name.
//
// An automation object implements IDispatch: Invoke takes a member name (matched without
// case), the kind of call (method, property get, property put) and the arguments. An argument
// made with Variant::ByRef is passed by reference: the callee may assign to it through
// Deref() and the caller sees the new value. Invoke reports failure through its return code
// and an error text instead of throwing, so that no exception has to cross a library boundary;
// the platform's OleInvoke turns a failure into EOleError.
//
// Objects are reference counted (AddRef/Release); DispatchPtr holds one reference.
//
// A shared library that serves automation classes exports
//     extern "C" nuv::IDispatch* NuvCreateObject(const char* progId);
// returning a new object with one reference held for the caller, or nullptr for a class it
// does not serve. The registry file names that library for each class under
// HKEY_CLASSES_ROOT\<ProgID>\InprocServer32.
#pragma once

#include <atomic>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace nuv {

class Variant;

enum class InvokeKind { Method, PropertyGet, PropertyPut };

// Result codes of Invoke (HRESULT values, so that a host can show the familiar numbers).
enum InvokeResult : int {
    InvokeOk = 0,
    InvokeUnknownName = static_cast<int>(0x80020006),  // DISP_E_UNKNOWNNAME
    InvokeBadArgCount = static_cast<int>(0x8002000E),  // DISP_E_BADPARAMCOUNT
    InvokeTypeMismatch = static_cast<int>(0x80020005), // DISP_E_TYPEMISMATCH
    InvokeException = static_cast<int>(0x80020009),    // DISP_E_EXCEPTION
};

class IDispatch {
public:
    virtual void AddRef() = 0;
    virtual void Release() = 0;
    // Calls the member. On success returns InvokeOk and sets result; on failure returns one of
    // the other codes and sets error to a text a person can read.
    virtual int Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args,
                       Variant& result, std::string& error) = 0;

protected:
    virtual ~IDispatch() = default;
};

// Reference-counting smart pointer for IDispatch.
class DispatchPtr {
public:
    DispatchPtr() noexcept = default;
    // Takes over one reference that the caller already holds (as a factory returns it).
    static DispatchPtr Adopt(IDispatch* p) noexcept {
        DispatchPtr d;
        d.p_ = p;
        return d;
    }
    // Shares p, adding a reference.
    explicit DispatchPtr(IDispatch* p) noexcept : p_(p) {
        if (p_)
            p_->AddRef();
    }
    DispatchPtr(const DispatchPtr& o) noexcept : DispatchPtr(o.p_) {}
    DispatchPtr(DispatchPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    DispatchPtr& operator=(DispatchPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~DispatchPtr() { Reset(); }
    void Reset() noexcept {
        if (IDispatch* p = std::exchange(p_, nullptr))
            p->Release();
    }
    IDispatch* get() const noexcept { return p_; }
    IDispatch* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    bool operator==(const DispatchPtr& o) const noexcept { return p_ == o.p_; }

private:
    IDispatch* p_ = nullptr;
};

// Name of the factory a library of automation classes exports.
inline constexpr const char* AutomationFactorySymbol = "NuvCreateObject";
using AutomationFactoryFn = IDispatch* (*)(const char* progId);

} // namespace nuv

#include <nuv/Variant.h>
