// The component model: TObject with its published-property table (TClassInfo), handler values
// (TMethod, TEvent<Sig>), TPersistent, TComponent (owner, name, owned components, component
// state, free notification), TComponentRef (a reference that is cleared when its target is
// freed), TStrings/TStringList and TCollection.
//
// Property tables. Every class that publishes properties declares NUV_CLASS(TName) at the top of
// its body and defines StaticClassInfo() next to the class, building the table once:
//
//   const TClassInfo& TMyPanel::StaticClassInfo() {
//       static const TClassInfo info = TClassInfo("TMyPanel", &TPanel::StaticClassInfo())
//           .Bool<TMyPanel>("UseVertical", &TMyPanel::UseVertical, &TMyPanel::SetUseVertical)
//           .Event<TMyPanel>("OnStyleChange", "TStyleChangeEvent", &TMyPanel::OnStyleChange);
//       return info;
//   }
//
// Look-ups walk the base classes and ignore case (TypInfo.h has the by-name operations).
//
// Handler values. An event field holds a TEvent<void(Args...)>: empty (unassigned), bound to an
// object and member (identity = object + member, so two values made from the same pair compare
// equal), or made from a callable (identity = that value and its copies only). A TEvent can be
// read as a type-erased TMethod, stored, compared and put back.
//
// Freeing. Components are freed with Free() (never delete): Free runs BeforeDestruction first,
// so that OnDestroy handlers and csDestroying are seen while the whole object still exists.
#pragma once

#include "platform/Types.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include <nuv/Exception.h>

namespace nuv {

class TObject;
class TComponent;

// ---------------------------------------------------------------------------------------------
// Handler values

// A type-erased handler: the code and data identity of a method pointer plus the callable.
struct TMethod {
    const void* Code = nullptr;
    void* Data = nullptr;
    const std::type_info* Signature = nullptr;
    std::shared_ptr<const void> Callable;

    bool Assigned() const { return Code != nullptr; }
    // Identity comparison: the callable itself is not compared.
    bool operator==(const TMethod& o) const { return Code == o.Code && Data == o.Data; }
};

namespace detail {
// A stable code identity for a member-function pointer: equal for the same class and member,
// different for different members (also when their bit patterns collide across classes).
const void* InternMemberCode(const std::type_info& cls, const void* bytes, std::size_t size);

// The same identity, remembered per class and member type: a form binds a few dozen members of
// each of its classes, and every control binds its own handlers as it is made, so the common
// case is a short scan instead of a look-up keyed by the class's type name. With it comes the
// member pointer kept for good, so that a handler bound to it holds two plain pointers, small
// enough to live inside its std::function without an allocation of its own.
template <class B, class M> struct TKnownMember {
    const void* Code;
    const M* Member;
};
template <class B, class M> TKnownMember<B, M> KnownMember(M member) {
    static std::mutex mutex;
    static std::deque<std::pair<M, const void*>> known; // entries never move
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& [m, code] : known)
        if (m == member)
            return {code, &m};
    const void* code = InternMemberCode(typeid(B), &member, sizeof(member));
    const auto& entry = known.emplace_back(member, code);
    return {code, &entry.first};
}

// Hashing and equality of names without ASCII case (component and property names are
// identifiers), usable with string_view look-ups that neither copy nor fold the name.
struct NoCaseHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept;
};
struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
};
} // namespace detail

template <class Sig> class TEvent;

template <class R, class... A> class TEvent<R(A...)> {
public:
    using Function = std::function<R(A...)>;

    TEvent() = default;
    TEvent(std::nullptr_t) {}
    // Bound to an object and one of its members.
    template <class C, class B> TEvent(C* object, R (B::*member)(A...)) {
        static_assert(std::is_base_of_v<B, C>);
        const auto known = detail::KnownMember<B>(member);
        const auto* kept = known.Member;
        auto fn = std::make_shared<Function>(
            [object, kept](A... args) -> R { return (object->**kept)(std::forward<A>(args)...); });
        m_.Code = known.Code;
        m_.Data = const_cast<void*>(static_cast<const void*>(object));
        m_.Signature = &typeid(R(A...));
        m_.Callable = std::move(fn);
    }
    // Made from a callable: its identity is this value (and its copies) only.
    template <class F, class = std::enable_if_t<std::is_invocable_r_v<R, F&, A...> &&
                                                !std::is_same_v<std::decay_t<F>, TEvent>>>
    TEvent(F&& f) {
        auto fn = std::make_shared<Function>(std::forward<F>(f));
        m_.Code = fn.get();
        m_.Signature = &typeid(R(A...));
        m_.Callable = std::move(fn);
    }

    // The value held in a TMethod. An empty method gives an empty event; a method of another
    // signature raises, because calling it would pass the wrong arguments.
    static TEvent FromMethod(const TMethod& m) {
        TEvent e;
        if (!m.Assigned())
            return e;
        if (m.Signature == nullptr || *m.Signature != typeid(R(A...)))
            throw Exception("Handler signature does not match the event");
        e.m_ = m;
        return e;
    }

    const TMethod& Method() const { return m_; }
    bool Assigned() const { return m_.Assigned(); }
    explicit operator bool() const { return Assigned(); }
    bool operator==(const TEvent& o) const { return m_ == o.m_; }

    R operator()(A... args) const {
        const auto* fn = static_cast<const Function*>(m_.Callable.get());
        if (fn == nullptr) {
            if constexpr (std::is_void_v<R>)
                return;
            else
                return R{};
        }
        return (*fn)(std::forward<A>(args)...);
    }

private:
    TMethod m_;
};

using TNotifyEvent = TEvent<void(TObject*)>;

// Calls a stored handler of the notify-event shape with a sender; nothing when empty.
inline void CallNotifyMethod(const TMethod& m, TObject* sender) {
    TNotifyEvent::FromMethod(m)(sender);
}

// ---------------------------------------------------------------------------------------------
// Published properties

enum class TTypeKind { Integer, Char, Enumeration, Float, String, Set, Class, Method };

struct TPropInfo {
    std::string Name;
    std::string TypeName;
    TTypeKind Kind = TTypeKind::Integer;
    std::vector<std::string> EnumNames; // enumerations: the value names in ordinal order
    std::function<std::int64_t(TObject*)> GetOrd;
    std::function<void(TObject*, std::int64_t)> SetOrd;
    std::function<std::string(TObject*)> GetStr;
    std::function<void(TObject*, const std::string&)> SetStr;
    std::function<double(TObject*)> GetFloat;
    std::function<void(TObject*, double)> SetFloat;
    std::function<TObject*(TObject*)> GetObject;
    std::function<void(TObject*, TObject*)> SetObject;
    std::function<TMethod(TObject*)> GetMethod;
    std::function<void(TObject*, const TMethod&)> SetMethod;
    bool ReadOnly() const { return !SetOrd && !SetStr && !SetFloat && !SetObject && !SetMethod; }
};

class TClassInfo {
public:
    TClassInfo(std::string name, const TClassInfo* parent)
        : name_(std::move(name)), parent_(parent) {}

    const std::string& Name() const { return name_; }
    const TClassInfo* Parent() const { return parent_; }
    bool InheritsFrom(const TClassInfo& other) const;
    // The property of that name (without case), this class first, then the base classes.
    const TPropInfo* FindProp(std::string_view name) const;
    // All published properties, the base classes' first; a redeclared one appears once, in the
    // place of its first declaration.
    std::vector<const TPropInfo*> AllProps() const;
    const std::vector<TPropInfo>& OwnProps() const { return props_; }

    TClassInfo& Add(TPropInfo prop);

    template <class C, class T>
    TClassInfo& Int(const std::string& name, T (C::*get)() const, void (C::*set)(T),
                    const std::string& typeName = "Integer") {
        TPropInfo p = Prop(name, typeName, TTypeKind::Integer);
        p.GetOrd = [get](TObject* o) { return static_cast<std::int64_t>((Cast<C>(o)->*get)()); };
        if (set)
            p.SetOrd = [set](TObject* o, std::int64_t v) { (Cast<C>(o)->*set)(static_cast<T>(v)); };
        return Add(std::move(p));
    }
    template <class C>
    TClassInfo& Bool(const std::string& name, bool (C::*get)() const, void (C::*set)(bool)) {
        TPropInfo p = Prop(name, "Boolean", TTypeKind::Enumeration, {"False", "True"});
        p.GetOrd = [get](TObject* o) { return std::int64_t{(Cast<C>(o)->*get)() ? 1 : 0}; };
        if (set)
            p.SetOrd = [set](TObject* o, std::int64_t v) { (Cast<C>(o)->*set)(v != 0); };
        return Add(std::move(p));
    }
    template <class C, class E>
    TClassInfo& Enum(const std::string& name, const std::string& typeName,
                     std::vector<std::string> names, E (C::*get)() const, void (C::*set)(E)) {
        TPropInfo p = Prop(name, typeName, TTypeKind::Enumeration, std::move(names));
        p.GetOrd = [get](TObject* o) { return static_cast<std::int64_t>((Cast<C>(o)->*get)()); };
        if (set)
            p.SetOrd = [set](TObject* o, std::int64_t v) { (Cast<C>(o)->*set)(static_cast<E>(v)); };
        return Add(std::move(p));
    }
    template <class C, class S>
    TClassInfo& Set(const std::string& name, const std::string& typeName, S (C::*get)() const,
                    void (C::*set)(S)) {
        TPropInfo p = Prop(name, typeName, TTypeKind::Set);
        p.GetOrd = [get](TObject* o) {
            return static_cast<std::int64_t>((Cast<C>(o)->*get)().Bits());
        };
        if (set)
            p.SetOrd = [set](TObject* o, std::int64_t v) {
                (Cast<C>(o)->*set)(S::FromBits(static_cast<std::uint64_t>(v)));
            };
        return Add(std::move(p));
    }
    template <class C>
    TClassInfo& Str(const std::string& name, std::string (C::*get)() const,
                    void (C::*set)(const std::string&), const std::string& typeName = "string") {
        TPropInfo p = Prop(name, typeName, TTypeKind::String);
        p.GetStr = [get](TObject* o) { return (Cast<C>(o)->*get)(); };
        if (set)
            p.SetStr = [set](TObject* o, const std::string& v) { (Cast<C>(o)->*set)(v); };
        return Add(std::move(p));
    }
    template <class C, class T>
    TClassInfo& Object(const std::string& name, const std::string& typeName, T* (C::*get)() const,
                       void (C::*set)(T*)) {
        TPropInfo p = Prop(name, typeName, TTypeKind::Class);
        p.GetObject = [get](TObject* o) -> TObject* { return (Cast<C>(o)->*get)(); };
        if (set)
            p.SetObject = [set](TObject* o, TObject* v) {
                (Cast<C>(o)->*set)(v == nullptr ? nullptr : dynamic_cast<T*>(v));
            };
        return Add(std::move(p));
    }
    template <class C, class Sig>
    TClassInfo& Event(const std::string& name, const std::string& typeName, TEvent<Sig> C::*field) {
        TPropInfo p = Prop(name, typeName, TTypeKind::Method);
        p.GetMethod = [field](TObject* o) { return (Cast<C>(o)->*field).Method(); };
        p.SetMethod = [field](TObject* o, const TMethod& m) {
            Cast<C>(o)->*field = TEvent<Sig>::FromMethod(m);
        };
        return Add(std::move(p));
    }

private:
    static TPropInfo Prop(const std::string& name, const std::string& typeName, TTypeKind kind,
                          std::vector<std::string> names = {}) {
        TPropInfo p;
        p.Name = name;
        p.TypeName = typeName;
        p.Kind = kind;
        p.EnumNames = std::move(names);
        return p;
    }
    template <class C> static C* Cast(TObject* o);

    // Every property of the class and its bases by name, made on the first look-up: a form's
    // converter and settings look up a few properties on each of its hundreds of controls.
    using TPropMap = std::unordered_map<std::string_view, const TPropInfo*, detail::NoCaseHash,
                                        detail::NoCaseEqual>;
    struct TPropIndex {
        mutable std::atomic<const TPropMap*> map{nullptr};
        TPropIndex() = default;
        // A copy (class infos are built by value) makes its own index when first asked.
        TPropIndex(const TPropIndex&) {}
        TPropIndex& operator=(const TPropIndex&) {
            Reset();
            return *this;
        }
        ~TPropIndex() { Reset(); }
        void Reset() { delete map.exchange(nullptr); }
    };
    const TPropMap& PropMap() const;

    std::string name_;
    const TClassInfo* parent_;
    std::vector<TPropInfo> props_;
    TPropIndex index_;
};

#define NUV_CLASS(Name)                                                                            \
public:                                                                                            \
    static const ::nuv::TClassInfo& StaticClassInfo();                                             \
    const ::nuv::TClassInfo& ClassInfo() const override {                                          \
        return StaticClassInfo();                                                                  \
    }

// ---------------------------------------------------------------------------------------------
// Objects

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject();

    static const TClassInfo& StaticClassInfo();
    virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
    std::string ClassName() const { return ClassInfo().Name(); }
    bool ClassNameIs(std::string_view name) const;

    // Frees the object: BeforeDestruction, then the destructors. Safe on nullptr through
    // FreeAndNil / the static form.
    void Free();
    virtual void BeforeDestruction() {}
};

template <class C> C* TClassInfo::Cast(TObject* o) {
    return static_cast<C*>(o);
}

template <class T> void FreeAndNil(T*& p) {
    T* q = p;
    p = nullptr;
    if (q != nullptr)
        q->Free();
}

class TPersistent : public TObject {
    NUV_CLASS(TPersistent)
public:
    // Copies the source's value; the default raises (no conversion between these classes).
    virtual void Assign(TPersistent* source);
};

class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};
class EComponentError : public Exception {
public:
    using Exception::Exception;
};
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

// ---------------------------------------------------------------------------------------------
// Components

enum class TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;
using enum TComponentStateItem;

enum class TOperation { opInsert, opRemove };
using enum TOperation;

class TComponent : public TPersistent {
    NUV_CLASS(TComponent)
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }
    std::string Name() const { return name_; }
    // Raises when another component of the same owner has that name (compared without case)
    // or when the name is not a valid identifier.
    virtual void SetName(const std::string& name);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;
    int ComponentIndex() const;
    // An owned component by name, without case; nullptr when there is none.
    TComponent* FindComponent(std::string_view name) const;
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    void DestroyComponents();

    TComponentState ComponentState() const { return state_; }
    void SetComponentState(TComponentState state) { state_ = state; }
    // Sets csDestroying here and on every owned component.
    void Destroying();
    // Ends loading: clears csLoading. Overrides do their after-load work and call this first.
    virtual void Loaded();

    // Asks to be told (Notification with opRemove) when the component is freed.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    void BeforeDestruction() override;

protected:
    virtual void Notification(TComponent* component, TOperation operation);
    virtual void ValidateRename(TComponent* component, const std::string& oldName,
                                const std::string& newName);

private:
    friend class TComponentRefBase;
    void RemoveNotification(TComponent* component);
    // The owned components by name, matched without ASCII case (names are identifiers): a form
    // of a few hundred named controls looks a name up on every rename and every FindComponent.
    void IndexName(TComponent* component);
    void UnindexName(TComponent* component);

    TComponent* owner_ = nullptr;
    std::string name_;
    int tag_ = 0;
    TComponentState state_;
    std::vector<TComponent*> components_;
    std::unordered_map<std::string, TComponent*, detail::NoCaseHash, detail::NoCaseEqual> names_;
    std::vector<TComponent*> freeNotifies_;
    std::vector<class TComponentRefBase*> refs_;
};

// A reference that becomes nullptr when its target is freed (like a field kept current by free
// notification).
class TComponentRefBase {
public:
    TComponentRefBase() = default;
    TComponentRefBase(const TComponentRefBase& o) { Attach(o.target_); }
    TComponentRefBase& operator=(const TComponentRefBase& o) {
        if (this != &o)
            Attach(o.target_);
        return *this;
    }
    ~TComponentRefBase() { Attach(nullptr); }

protected:
    void Attach(TComponent* target);
    TComponent* target_ = nullptr;

private:
    friend class TComponent;
};

template <class T> class TComponentRef : public TComponentRefBase {
public:
    TComponentRef() = default;
    TComponentRef(T* target) { Attach(target); }
    TComponentRef& operator=(T* target) {
        Attach(target);
        return *this;
    }
    T* Get() const { return static_cast<T*>(target_); }
    T* operator->() const { return Get(); }
    operator T*() const { return Get(); }
    explicit operator bool() const { return target_ != nullptr; }
};

// ---------------------------------------------------------------------------------------------
// String lists

class TStrings : public TPersistent {
    NUV_CLASS(TStrings)
public:
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    std::string Strings(int index) const { return Get(index); }
    std::string operator[](int index) const { return Get(index); }
    TObject* Objects(int index) const { return GetObject(index); }
    virtual int Add(const std::string& s);
    int AddObject(const std::string& s, TObject* object);
    void InsertObject(int index, const std::string& s, TObject* object);
    void AddStrings(const TStrings* strings);
    void Exchange(int a, int b);
    void Move(int from, int to);
    virtual int IndexOf(const std::string& s) const;
    int IndexOfName(const std::string& name) const;
    int IndexOfObject(TObject* object) const;

    // The lines joined by CR LF, each line followed by one (an empty list gives "").
    virtual std::string Text() const;
    // Splits at CR LF, LF or CR.
    virtual void SetText(const std::string& text);
    std::string CommaText() const;
    void SetCommaText(const std::string& text);
    // name=value access; names compare without case.
    std::string Names(int index) const;
    std::string Values(const std::string& name) const;
    void SetValue(const std::string& name, const std::string& value);
    std::string ValueFromIndex(int index) const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }
    void Assign(TPersistent* source) override;
    bool Equals(const TStrings* other) const;

protected:
    virtual void SetUpdateState(bool updating);
    virtual int CompareStrings(const std::string& a, const std::string& b) const;

private:
    int updateCount_ = 0;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };
using enum TDuplicates;

class TStringList : public TStrings {
    NUV_CLASS(TStringList)
public:
    TStringList() = default;
    ~TStringList() override;

    int Count() const override { return static_cast<int>(items_.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const std::string& s) override;
    int IndexOf(const std::string& s) const override;

    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool value);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates value) { duplicates_ = value; }
    // Binary search in a sorted list.
    bool Find(const std::string& s, int& index) const;
    void Sort();
    void CustomSort(const std::function<int(TStringList*, int, int)>& compare);
    // Frees the objects when lines are deleted or the list is freed.
    bool OwnsObjects() const { return ownsObjects_; }
    void SetOwnsObjects(bool value) { ownsObjects_ = value; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool updating) override;
    int CompareStrings(const std::string& a, const std::string& b) const override;

private:
    struct Item {
        std::string s;
        TObject* object = nullptr;
    };
    void CheckIndex(int index, bool allowEnd = false) const;
    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    bool ownsObjects_ = false;
    TDuplicates duplicates_ = dupIgnore;
};

// ---------------------------------------------------------------------------------------------
// Collections

class TCollection;

class TCollectionItem : public TPersistent {
    NUV_CLASS(TCollectionItem)
public:
    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;
    TCollection* Collection() const { return collection_; }
    int Index() const;
    void SetIndex(int index);
    virtual std::string DisplayName() const { return ClassName(); }

protected:
    // Tells the collection that this item changed (all items when allItems).
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
};

class TCollection : public TPersistent {
    NUV_CLASS(TCollection)
public:
    TCollection() = default;
    ~TCollection() override;
    int Count() const { return static_cast<int>(items_.size()); }
    TCollectionItem* Items(int index) const;
    void Clear();
    void Delete(int index);
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }
    // Copies the items of another collection of the same item class.
    void Assign(TPersistent* source) override;

protected:
    // Creates one item of this collection's class (already inserted).
    virtual TCollectionItem* NewItem() = 0;
    // Called when an item (or, with nullptr, the whole collection) changed.
    virtual void Update(TCollectionItem* item);
    // Called after an item was added or before it is removed.
    virtual void Notify(TCollectionItem* item, bool added);

private:
    friend class TCollectionItem;
    std::vector<TCollectionItem*> items_;
    int updateCount_ = 0;
    bool clearing_ = false;
};

namespace uitext {
// Case-insensitive comparison of ASCII letters; other bytes (UTF-8 text) compare as they are.
bool SameText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view s);
// TrimText of platform/UnicodeText.h.
std::string Trim(std::string_view s);
bool IsValidIdent(std::string_view s);
} // namespace uitext

} // namespace nuv
