#include "platform/Automation.h"

#include "platform/AsciiText.h"
#include "platform/Registry.h"

#include <cstdio>
#include <dlfcn.h>
#include <map>
#include <utility>

namespace nuv {

namespace {

std::string Hex(int code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(code));
    return buf;
}

const char* KindWord(InvokeKind kind) {
    switch (kind) {
    case InvokeKind::Method:
        return "method";
    case InvokeKind::PropertyGet:
        return "property read";
    case InvokeKind::PropertyPut:
        return "property write";
    }
    return "call";
}

// Factories served in the program, by upper-case class name. Used from one thread (the UI
// thread), like everything else of the platform's automation.
std::map<std::string, OleFactory>& Factories() {
    static std::map<std::string, OleFactory> factories;
    return factories;
}

// Libraries loaded for automation classes, by path; never unloaded.
std::map<std::string, void*>& Libraries() {
    static std::map<std::string, void*> libs;
    return libs;
}

constexpr int ClassStringError = static_cast<int>(0x800401F3);   // CO_E_CLASSSTRING
constexpr int DllNotFoundError = static_cast<int>(0x8007007E);   // module not found
constexpr int NotRegisteredError = static_cast<int>(0x80040154); // REGDB_E_CLASSNOTREG
constexpr int NullObjectError = static_cast<int>(0x80004003);    // E_POINTER

// DESIGN: POSIX paths; a stored value with backslashes is read with '/'.
std::string PosixPath(std::string p) {
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return p;
}

} // namespace

Variant OleInvoke(const DispatchPtr& obj, std::string_view name, InvokeKind kind,
                  std::span<Variant> args) {
    if (!obj)
        throw EOleError("Cannot call '" + std::string(name) +
                            "': the automation object is not assigned",
                        NullObjectError);
    Variant result;
    std::string error;
    int rc = obj->Invoke(name, kind, args, result, error);
    if (rc == InvokeOk)
        return result;
    if (error.empty()) {
        switch (rc) {
        case InvokeUnknownName:
            error = "Method '" + std::string(name) + "' not supported by automation object";
            break;
        case InvokeBadArgCount:
            error = "Wrong number of arguments for '" + std::string(name) + "'";
            break;
        case InvokeTypeMismatch:
            error = "Type mismatch in the arguments of '" + std::string(name) + "'";
            break;
        default:
            error = "The " + std::string(KindWord(kind)) + " '" + std::string(name) +
                    "' failed with code " + Hex(rc);
        }
    }
    throw EOleError(error, rc);
}

Variant OleCall(const DispatchPtr& obj, std::string_view name, std::vector<Variant> args) {
    return OleInvoke(obj, name, InvokeKind::Method, args);
}

Variant OleCall(const DispatchPtr& obj, std::string_view name,
                std::initializer_list<Variant> args) {
    return OleCall(obj, name, std::vector<Variant>(args));
}

Variant OleGet(const DispatchPtr& obj, std::string_view name,
               std::initializer_list<Variant> index) {
    std::vector<Variant> args(index);
    return OleInvoke(obj, name, InvokeKind::PropertyGet, args);
}

void OlePut(const DispatchPtr& obj, std::string_view name, const Variant& value) {
    std::vector<Variant> args{value};
    OleInvoke(obj, name, InvokeKind::PropertyPut, args);
}

// --- TAutoObject ---------------------------------------------------------------------------

void TAutoObject::AddMethod(std::string name, Method fn, int minArgs, int maxArgs) {
    Member m;
    m.name = std::move(name);
    m.method = std::move(fn);
    m.minArgs = minArgs;
    m.maxArgs = maxArgs;
    members_.push_back(std::move(m));
}

void TAutoObject::AddProperty(std::string name, Getter get, Setter set, int indexCount) {
    Member m;
    m.name = std::move(name);
    m.get = std::move(get);
    m.set = std::move(set);
    m.minArgs = m.maxArgs = indexCount;
    members_.push_back(std::move(m));
}

const TAutoObject::Member* TAutoObject::Find(std::string_view name) const {
    const std::string key = UpperAscii(name);
    for (const Member& m : members_)
        if (UpperAscii(m.name) == key)
            return &m;
    return nullptr;
}

int TAutoObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args,
                        Variant& result, std::string& error) {
    const std::string quoted = "'" + std::string(name) + "'";
    const Member* m = Find(name);
    if (!m) {
        error = "Method " + quoted + " not supported by " + className_;
        return InvokeUnknownName;
    }
    auto countOk = [&](std::size_t n, int lo, int hi) {
        if (static_cast<int>(n) >= lo && (hi < 0 || static_cast<int>(n) <= hi))
            return true;
        std::string expected = hi == lo ? std::to_string(lo)
                               : hi < 0 ? "at least " + std::to_string(lo)
                                        : std::to_string(lo) + " to " + std::to_string(hi);
        error = "Wrong number of arguments for " + quoted + " of " + className_ + ": " + expected +
                " expected, " + std::to_string(n) + " given";
        return false;
    };
    try {
        if (kind == InvokeKind::PropertyPut) {
            if (!m->set) {
                error = (m->get ? "Property " + quoted + " of " + className_ + " is read-only"
                                : quoted + " of " + className_ + " is a method, not a property");
                return InvokeUnknownName;
            }
            if (args.empty() || !countOk(args.size() - 1, m->minArgs, m->maxArgs))
                return InvokeBadArgCount;
            m->set(args.first(args.size() - 1), args.back().Deref());
            result = Variant();
            return InvokeOk;
        }
        if (m->method) {
            if (!countOk(args.size(), m->minArgs, m->maxArgs))
                return InvokeBadArgCount;
            result = m->method(args);
            return InvokeOk;
        }
        if (!m->get) {
            error = "Property " + quoted + " of " + className_ + " is write-only";
            return InvokeUnknownName;
        }
        if (!countOk(args.size(), m->minArgs, m->maxArgs))
            return InvokeBadArgCount;
        result = m->get(args);
        return InvokeOk;
    } catch (const EVariantError& e) {
        error = "Bad argument for " + quoted + " of " + className_ + ": " + e.what();
        return InvokeTypeMismatch;
    } catch (const std::exception& e) {
        error = e.what();
        return InvokeException;
    } catch (...) {
        error = "Unknown failure in " + quoted + " of " + className_;
        return InvokeException;
    }
}

// --- class factories -----------------------------------------------------------------------

void RegisterOleFactory(const std::string& progId, OleFactory factory) {
    Factories()[UpperAscii(progId)] = std::move(factory);
}

void UnregisterOleFactory(const std::string& progId) {
    Factories().erase(UpperAscii(progId));
}

DispatchPtr CreateOleObject(const std::string& progId) {
    const std::string quoted = "'" + progId + "'";
    if (progId.empty() || progId.find('\\') != std::string::npos)
        throw EOleError("Invalid class string " + quoted, ClassStringError);

    if (auto it = Factories().find(UpperAscii(progId)); it != Factories().end()) {
        DispatchPtr obj = it->second();
        if (!obj)
            throw EOleError("The class " + quoted + " registered in the program created no object",
                            NotRegisteredError);
        return obj;
    }

    std::string library;
    std::string registryFile;
    try {
        TRegistry reg;
        registryFile = reg.FileName();
        reg.SetRootKey(HKEY_CLASSES_ROOT);
        if (reg.OpenKeyReadOnly(progId + "\\InprocServer32"))
            library = reg.ReadString("");
    } catch (const Exception& e) {
        throw EOleError("Cannot look up the class " + quoted + ": " + e.what(), ClassStringError);
    }
    if (library.empty())
        throw EOleError("Invalid class string " + quoted +
                            ": the class is not registered in the program nor under "
                            "HKEY_CLASSES_ROOT\\" +
                            progId + "\\InprocServer32 in " + registryFile,
                        ClassStringError);
    library = PosixPath(library);

    void*& handle = Libraries()[library];
    if (!handle) {
        handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = dlerror();
            Libraries().erase(library);
            throw EOleError("Cannot load the library " + library + " of the class " + quoted +
                                ": " + (why ? why : "unknown error"),
                            DllNotFoundError);
        }
    }
    auto factory = reinterpret_cast<AutomationFactoryFn>(dlsym(handle, AutomationFactorySymbol));
    if (!factory)
        throw EOleError("The library " + library + " of the class " + quoted + " does not export " +
                            AutomationFactorySymbol,
                        NotRegisteredError);
    IDispatch* obj = factory(progId.c_str());
    if (!obj)
        throw EOleError("The library " + library + " does not serve the class " + quoted,
                        NotRegisteredError);
    return DispatchPtr::Adopt(obj);
}

} // namespace nuv
