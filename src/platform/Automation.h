// Late binding for the system's code: calls on automation objects by name, a base class for
// automation objects of our own, and CreateOleObject.
//
// Calling:
//     Variant r = OleCall(manager, "GetMessage", {"E", "000015"});
//     Variant v = OleGet(obj, "Caption");
//     OlePut(obj, "Caption", "x");
// A failure (unknown member, wrong arguments, a failure inside the object, an unassigned
// object) raises EOleError with a text a person can act on; callers that promise a neutral
// result catch it.
//
// Arguments passed by reference are made with Variant::ByRef(target): the object writes through
// them and the caller sees the new value in target.
//
// Property put: the new value is the last argument, after any index arguments.
#pragma once

#include <nuv/Exception.h>
#include <nuv/Variant.h>

#include <nuv/Automation.h>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nuv {

// Calls the member; raises EOleError on any failure.
Variant OleInvoke(const DispatchPtr& obj, std::string_view name, InvokeKind kind,
                  std::span<Variant> args);
// Method call with arguments given in place.
Variant OleCall(const DispatchPtr& obj, std::string_view name,
                std::initializer_list<Variant> args = {});
Variant OleCall(const DispatchPtr& obj, std::string_view name, std::vector<Variant> args);
// Property read, with optional index arguments.
Variant OleGet(const DispatchPtr& obj, std::string_view name,
               std::initializer_list<Variant> index = {});
// Property write.
void OlePut(const DispatchPtr& obj, std::string_view name, const Variant& value);

// Base class for automation objects implemented in C++: a table of members found without
// case. The object is created with one reference, which the creator owns:
//     DispatchPtr p = MakeAutoObject<MyObject>(ctorArgs...);
// or, from a library factory, `return new MyObject;`.
//
// Invoke never lets an exception out: EVariantError from reading an argument becomes
// InvokeTypeMismatch, any other exception InvokeException, each with the exception's text, so
// that no exception crosses a library boundary.
class TAutoObject : public IDispatch {
public:
    using Method = std::function<Variant(std::span<Variant> args)>;
    using Getter = std::function<Variant(std::span<Variant> index)>;
    using Setter = std::function<void(std::span<Variant> index, const Variant& value)>;

    void AddRef() override { refCount_.fetch_add(1, std::memory_order_relaxed); }
    void Release() override {
        if (refCount_.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }
    int Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args, Variant& result,
               std::string& error) override;

    // Current number of references (for tests).
    int RefCount() const { return refCount_.load(); }
    // Name used in error texts ("Manager", "ReportCounterS.dmReportCounter").
    const std::string& ClassName() const { return className_; }

protected:
    explicit TAutoObject(std::string className = "automation object")
        : className_(std::move(className)) {}
    ~TAutoObject() override = default;

    // A method taking between minArgs and maxArgs arguments (maxArgs -1: no upper limit).
    // A method may also be read as a property, which is how a call without parentheses
    // arrives.
    void AddMethod(std::string name, Method fn, int minArgs = 0, int maxArgs = -1);
    // A property; a missing getter or setter makes it write-only or read-only. indexCount is
    // the number of index arguments it takes.
    void AddProperty(std::string name, Getter get, Setter set = {}, int indexCount = 0);

private:
    struct Member {
        std::string name;
        Method method;
        Getter get;
        Setter set;
        int minArgs = 0;
        int maxArgs = -1;
    };
    const Member* Find(std::string_view name) const;

    std::atomic<int> refCount_{1};
    std::string className_;
    std::vector<Member> members_;
};

template <typename T, typename... Args> DispatchPtr MakeAutoObject(Args&&... args) {
    return DispatchPtr::Adopt(new T(std::forward<Args>(args)...));
}

// Factory of an automation class served inside the program.
using OleFactory = std::function<DispatchPtr()>;
// Registers (or replaces) the factory for the class name, matched without case.
void RegisterOleFactory(const std::string& progId, OleFactory factory);
void UnregisterOleFactory(const std::string& progId);

// Creates an object of the class: first from a factory registered in the program, then from
// the shared library that the registry file names under
// HKEY_CLASSES_ROOT\<progId>\InprocServer32 (its default value, a path; backslashes read as
// '/'), which must export NuvCreateObject. A library stays loaded for the life of the process,
// since its objects' code lives there. Raises EOleError when the class is unknown, the library
// cannot be loaded or does not serve the class.
DispatchPtr CreateOleObject(const std::string& progId);

} // namespace nuv
