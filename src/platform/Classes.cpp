#include "platform/Classes.h"

#include "platform/UnicodeText.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <typeindex>

namespace nuv {

namespace uitext {

static char Up(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Up(a[i]) != Up(b[i]))
            return false;
    return true;
}

int CompareText(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(Up(a[i]));
        auto cb = static_cast<unsigned char>(Up(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = Up(c);
    return r;
}

std::string Trim(std::string_view s) {
    return TrimText(s);
}

bool IsValidIdent(std::string_view s) {
    if (s.empty())
        return false;
    auto alpha = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    };
    if (!alpha(s[0]))
        return false;
    for (char c : s)
        if (!alpha(c) && !(c >= '0' && c <= '9'))
            return false;
    return true;
}

} // namespace uitext

using namespace uitext;

// ---------------------------------------------------------------------------------------------

namespace detail {

std::size_t NoCaseHash::operator()(std::string_view s) const noexcept {
    // FNV-1a over the upper-cased ASCII bytes.
    std::size_t h = 14695981039346656037ull;
    for (char c : s) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= 'a' && u <= 'z')
            u = static_cast<unsigned char>(u - 32);
        h = (h ^ u) * 1099511628211ull;
    }
    return h;
}

bool NoCaseEqual::operator()(std::string_view a, std::string_view b) const noexcept {
    return SameText(a, b);
}

const void* InternMemberCode(const std::type_info& cls, const void* bytes, std::size_t size) {
    static std::mutex mutex;
    static std::map<std::pair<std::type_index, std::string>, std::unique_ptr<char>> codes;
    std::lock_guard<std::mutex> lock(mutex);
    auto key =
        std::make_pair(std::type_index(cls), std::string(static_cast<const char*>(bytes), size));
    auto& slot = codes[key];
    if (!slot)
        slot = std::make_unique<char>('\0');
    return slot.get();
}

} // namespace detail

// ---------------------------------------------------------------------------------------------

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
    for (const TClassInfo* c = this; c != nullptr; c = c->parent_)
        if (c == &other)
            return true;
    return false;
}

const TPropInfo* TClassInfo::FindProp(std::string_view name) const {
    if (name.empty())
        return nullptr;
    const TPropMap& map = PropMap();
    auto it = map.find(name);
    return it == map.end() ? nullptr : it->second;
}

const TClassInfo::TPropMap& TClassInfo::PropMap() const {
    if (const TPropMap* map = index_.map.load(std::memory_order_acquire))
        return *map;
    auto made = std::make_unique<TPropMap>();
    // This class first, then its bases: the first of a name wins, as a redeclaration hides the
    // base class's property.
    for (const TClassInfo* c = this; c != nullptr; c = c->parent_)
        for (const TPropInfo& p : c->props_)
            made->emplace(p.Name, &p);
    const TPropMap* expected = nullptr;
    if (index_.map.compare_exchange_strong(expected, made.get(), std::memory_order_acq_rel))
        return *made.release();
    return *expected; // made by another thread meanwhile
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* c = this; c != nullptr; c = c->parent_)
        chain.push_back(c);
    std::vector<const TPropInfo*> result;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const TPropInfo& p : (*it)->props_) {
            auto same = std::find_if(result.begin(), result.end(),
                                     [&](const TPropInfo* q) { return SameText(q->Name, p.Name); });
            if (same != result.end())
                *same = &p;
            else
                result.push_back(&p);
        }
    return result;
}

TClassInfo& TClassInfo::Add(TPropInfo prop) {
    index_.Reset();
    props_.push_back(std::move(prop));
    return *this;
}

// ---------------------------------------------------------------------------------------------

TObject::~TObject() = default;

const TClassInfo& TObject::StaticClassInfo() {
    static const TClassInfo info("TObject", nullptr);
    return info;
}

bool TObject::ClassNameIs(std::string_view name) const {
    return SameText(ClassName(), name);
}

void TObject::Free() {
    BeforeDestruction();
    delete this;
}

const TClassInfo& TPersistent::StaticClassInfo() {
    static const TClassInfo info("TPersistent", &TObject::StaticClassInfo());
    return info;
}

void TPersistent::Assign(TPersistent* source) {
    std::string from = source != nullptr ? source->ClassName() : "nil";
    throw Exception("Cannot assign a " + from + " to a " + ClassName());
}

// ---------------------------------------------------------------------------------------------
// TComponent

const TClassInfo& TComponent::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TComponent", &TPersistent::StaticClassInfo())
            .Str<TComponent>("Name", &TComponent::Name, &TComponent::SetName, "TComponentName")
            .Int<TComponent>("Tag", &TComponent::Tag, &TComponent::SetTag, "Longint");
    return info;
}

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr)
        owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Tell everyone who asked, then clear the plain references.
    while (!freeNotifies_.empty()) {
        TComponent* c = freeNotifies_.back();
        freeNotifies_.pop_back();
        auto& back = c->freeNotifies_;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        c->Notification(this, opRemove);
    }
    for (TComponentRefBase* r : refs_)
        r->target_ = nullptr;
    refs_.clear();
    DestroyComponents();
    if (owner_ != nullptr)
        owner_->RemoveComponent(this);
}

void TComponent::BeforeDestruction() {
    if (!state_.Contains(csDestroying))
        Destroying();
}

void TComponent::Destroying() {
    if (state_.Contains(csDestroying))
        return;
    state_.Include(csDestroying);
    for (TComponent* c : components_)
        c->Destroying();
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        RemoveComponent(c);
        c->Free();
    }
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        throw EComponentError("Component index out of bounds (" + std::to_string(index) + ")");
    return components_[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const {
    if (owner_ == nullptr)
        return -1;
    auto& list = owner_->components_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty())
        return nullptr;
    auto it = names_.find(name);
    return it == names_.end() ? nullptr : it->second;
}

void TComponent::IndexName(TComponent* component) {
    if (component->name_.empty())
        return;
    if (names_.empty())
        names_.reserve(
            256); // a form names a few hundred controls: grown once, not rehashed on the way
    names_.emplace(component->name_, component);
}

void TComponent::UnindexName(TComponent* component) {
    if (component->name_.empty())
        return;
    auto it = names_.find(component->name_);
    if (it == names_.end() || it->second != component)
        return;
    names_.erase(it);
    // A class that lets two owned components share a name: the next one in order takes over.
    for (TComponent* c : components_)
        if (c != component && SameText(c->name_, component->name_)) {
            names_.emplace(c->name_, c);
            break;
        }
}

void TComponent::InsertComponent(TComponent* component) {
    if (component->owner_ != nullptr)
        component->owner_->RemoveComponent(component);
    ValidateRename(component, "", component->name_);
    components_.push_back(component);
    component->owner_ = this;
    IndexName(component);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it == components_.end())
        return;
    Notification(component, opRemove);
    components_.erase(std::find(components_.begin(), components_.end(), component));
    UnindexName(component);
    component->owner_ = nullptr;
}

void TComponent::SetName(const std::string& name) {
    if (name_ == name)
        return;
    if (!name.empty() && !IsValidIdent(name))
        throw EComponentError("'" + name + "' is not a valid component name");
    if (owner_ == nullptr) {
        name_ = name;
        return;
    }
    owner_->ValidateRename(this, name_, name);
    owner_->UnindexName(this);
    name_ = name;
    owner_->IndexName(this);
}

void TComponent::ValidateRename(TComponent* component, const std::string& oldName,
                                const std::string& newName) {
    if (component == nullptr || newName.empty() || SameText(oldName, newName))
        return;
    TComponent* other = FindComponent(newName);
    if (other != nullptr && other != component)
        throw EComponentError("A component named " + newName + " already exists");
}

void TComponent::Loaded() {
    state_.Exclude(csLoading);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component != nullptr)
        RemoveFreeNotification(component);
    // Pass the news of a removal on to the owned components, so that none keeps a reference to
    // a freed sibling. An insertion concerns the owner alone: nothing owned watches for one, and
    // telling every sibling made building a form of n components cost n squared calls.
    if (operation == opInsert)
        return;
    for (std::size_t i = 0; i < components_.size(); ++i)
        if (components_[i] != component)
            components_[i]->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* component) {
    if (component == nullptr || component == this)
        return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
        freeNotifies_.push_back(component);
        component->freeNotifies_.push_back(this);
    }
    state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    RemoveNotification(component);
    if (component != nullptr)
        component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* component) {
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component),
                        freeNotifies_.end());
}

void TComponentRefBase::Attach(TComponent* target) {
    if (target_ == target)
        return;
    if (target_ != nullptr) {
        auto& refs = target_->refs_;
        refs.erase(std::remove(refs.begin(), refs.end(), this), refs.end());
    }
    target_ = target;
    if (target_ != nullptr) {
        if (target_->ComponentState().Contains(csDestroying) && target_->refs_.empty()) {
            // Still allowed: the reference is cleared when the destructor finishes.
        }
        target_->refs_.push_back(this);
    }
}

// ---------------------------------------------------------------------------------------------
// TStrings

const TClassInfo& TStrings::StaticClassInfo() {
    static const TClassInfo info("TStrings", &TPersistent::StaticClassInfo());
    return info;
}

void TStrings::Put(int index, const std::string& s) {
    TObject* o = GetObject(index);
    Delete(index);
    InsertObject(index, s, o);
}

TObject* TStrings::GetObject(int) const {
    return nullptr;
}
void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const std::string& s) {
    int i = Count();
    Insert(i, s);
    return i;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
    int i = Add(s);
    PutObject(i, object);
    return i;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::AddStrings(const TStrings* strings) {
    if (strings == nullptr)
        return;
    BeginUpdate();
    for (int i = 0; i < strings->Count(); ++i)
        AddObject(strings->Get(i), strings->GetObject(i));
    EndUpdate();
}

void TStrings::Exchange(int a, int b) {
    std::string sa = Get(a), sb = Get(b);
    TObject *oa = GetObject(a), *ob = GetObject(b);
    BeginUpdate();
    Put(a, sb);
    PutObject(a, ob);
    Put(b, sa);
    PutObject(b, oa);
    EndUpdate();
}

void TStrings::Move(int from, int to) {
    if (from == to)
        return;
    std::string s = Get(from);
    TObject* o = GetObject(from);
    BeginUpdate();
    Delete(from);
    InsertObject(to, s, o);
    EndUpdate();
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
    return CompareText(a, b);
}

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), s) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        std::string line = Get(i);
        auto eq = line.find('=');
        if (eq != std::string::npos && CompareStrings(line.substr(0, eq), name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* object) const {
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == object)
            return i;
    return -1;
}

std::string TStrings::Text() const {
    std::string r;
    for (int i = 0; i < Count(); ++i) {
        r += Get(i);
        r += "\r\n";
    }
    return r;
}

void TStrings::SetText(const std::string& text) {
    BeginUpdate();
    Clear();
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        while (j < text.size() && text[j] != '\r' && text[j] != '\n')
            ++j;
        Add(text.substr(i, j - i));
        if (j < text.size() && text[j] == '\r')
            ++j;
        if (j < text.size() && text[j] == '\n')
            ++j;
        i = j;
    }
    EndUpdate();
}

std::string TStrings::CommaText() const {
    std::string r;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0)
            r += ',';
        std::string s = Get(i);
        bool quote = s.empty() || s.find_first_of(" ,\"\t") != std::string::npos;
        if (!quote) {
            r += s;
            continue;
        }
        r += '"';
        for (char c : s) {
            if (c == '"')
                r += '"';
            r += c;
        }
        r += '"';
    }
    return r;
}

void TStrings::SetCommaText(const std::string& text) {
    BeginUpdate();
    Clear();
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ')
            ++i;
    };
    skipBlanks();
    while (i < text.size()) {
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            while (i < text.size() && text[i] != ',' && static_cast<unsigned char>(text[i]) > ' ')
                item += text[i++];
        }
        Add(item);
        skipBlanks();
        if (i < text.size() && text[i] == ',') {
            ++i;
            skipBlanks();
            if (i >= text.size())
                Add("");
        }
    }
    EndUpdate();
}

std::string TStrings::Names(int index) const {
    std::string line = Get(index);
    auto eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::Values(const std::string& name) const {
    int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

std::string TStrings::ValueFromIndex(int index) const {
    std::string line = Get(index);
    auto eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

void TStrings::SetValue(const std::string& name, const std::string& value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    if (i < 0)
        Add(name + "=" + value);
    else
        Put(i, name + "=" + value);
}

void TStrings::BeginUpdate() {
    if (updateCount_++ == 0)
        SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::Assign(TPersistent* source) {
    if (auto* src = dynamic_cast<TStrings*>(source)) {
        if (src == this)
            return;
        BeginUpdate();
        Clear();
        AddStrings(src);
        EndUpdate();
        return;
    }
    if (source == nullptr) {
        Clear();
        return;
    }
    TPersistent::Assign(source);
}

bool TStrings::Equals(const TStrings* other) const {
    if (other == nullptr || other->Count() != Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != other->Get(i))
            return false;
    return true;
}

// ---------------------------------------------------------------------------------------------
// TStringList

const TClassInfo& TStringList::StaticClassInfo() {
    static const TClassInfo info("TStringList", &TStrings::StaticClassInfo());
    return info;
}

TStringList::~TStringList() {
    if (ownsObjects_)
        for (Item& it : items_)
            if (it.object != nullptr)
                it.object->Free();
}

void TStringList::CheckIndex(int index, bool allowEnd) const {
    if (index < 0 || index > Count() || (!allowEnd && index == Count()))
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

std::string TStringList::Get(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].s;
}

void TStringList::Put(int index, const std::string& s) {
    if (sorted_)
        throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(index);
    Changing();
    items_[static_cast<std::size_t>(index)].s = s;
    Changed();
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::PutObject(int index, TObject* object) {
    CheckIndex(index);
    Changing();
    items_[static_cast<std::size_t>(index)].object = object;
    Changed();
}

void TStringList::Insert(int index, const std::string& s) {
    if (sorted_)
        throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(index, true);
    Changing();
    items_.insert(items_.begin() + index, Item{s, nullptr});
    Changed();
}

int TStringList::Add(const std::string& s) {
    if (!sorted_) {
        int i = Count();
        Insert(i, s);
        return i;
    }
    int index = 0;
    if (Find(s, index)) {
        if (duplicates_ == dupIgnore)
            return index;
        if (duplicates_ == dupError)
            throw EStringListError("String list does not allow duplicates");
    }
    Changing();
    items_.insert(items_.begin() + index, Item{s, nullptr});
    Changed();
    return index;
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    TObject* o = items_[static_cast<std::size_t>(index)].object;
    items_.erase(items_.begin() + index);
    if (ownsObjects_ && o != nullptr)
        o->Free();
    Changed();
}

void TStringList::Clear() {
    if (items_.empty())
        return;
    Changing();
    std::vector<Item> old;
    old.swap(items_);
    if (ownsObjects_)
        for (Item& it : old)
            if (it.object != nullptr)
                it.object->Free();
    Changed();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
    if (caseSensitive_)
        return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    return CompareText(a, b);
}

int TStringList::IndexOf(const std::string& s) const {
    if (!sorted_)
        return TStrings::IndexOf(s);
    int index = 0;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = CompareStrings(items_[static_cast<std::size_t>(mid)].s, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (duplicates_ != dupAccept)
                    lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::SetSorted(bool value) {
    if (sorted_ == value)
        return;
    if (value)
        Sort();
    sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
    if (caseSensitive_ == value)
        return;
    caseSensitive_ = value;
    if (sorted_)
        Sort();
}

void TStringList::Sort() {
    Changing();
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const Item& a, const Item& b) { return CompareStrings(a.s, b.s) < 0; });
    Changed();
}

void TStringList::CustomSort(const std::function<int(TStringList*, int, int)>& compare) {
    if (sorted_ || Count() < 2)
        return;
    Changing();
    // Sort a permutation with the caller's comparison on the current positions.
    std::vector<int> order(items_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compare(this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (int i : order)
        sorted.push_back(items_[static_cast<std::size_t>(i)]);
    items_.swap(sorted);
    Changed();
}

void TStringList::Changed() {
    if (UpdateCount() == 0)
        OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0)
        OnChanging(this);
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        OnChanging(this);
    else
        OnChange(this);
}

// ---------------------------------------------------------------------------------------------
// Collections

const TClassInfo& TCollectionItem::StaticClassInfo() {
    static const TClassInfo info("TCollectionItem", &TPersistent::StaticClassInfo());
    return info;
}

TCollectionItem::TCollectionItem(TCollection* collection) : collection_(collection) {
    if (collection_ != nullptr) {
        collection_->items_.push_back(this);
    }
}

TCollectionItem::~TCollectionItem() {
    if (collection_ != nullptr && !collection_->clearing_) {
        auto& v = collection_->items_;
        auto it = std::find(v.begin(), v.end(), this);
        if (it != v.end()) {
            collection_->Notify(this, false);
            v.erase(std::find(v.begin(), v.end(), this));
            collection_->Update(nullptr);
        }
    }
}

int TCollectionItem::Index() const {
    if (collection_ == nullptr)
        return -1;
    auto& v = collection_->items_;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TCollectionItem::SetIndex(int index) {
    int cur = Index();
    if (cur < 0 || index < 0 || index >= collection_->Count() || index == cur)
        return;
    auto& v = collection_->items_;
    v.erase(v.begin() + cur);
    v.insert(v.begin() + index, this);
    Changed(true);
}

void TCollectionItem::Changed(bool allItems) {
    if (collection_ != nullptr && collection_->updateCount_ == 0)
        collection_->Update(allItems ? nullptr : this);
}

const TClassInfo& TCollection::StaticClassInfo() {
    static const TClassInfo info("TCollection", &TPersistent::StaticClassInfo());
    return info;
}

TCollection::~TCollection() {
    clearing_ = true;
    for (TCollectionItem* it : items_) {
        it->collection_ = nullptr;
        it->Free();
    }
    items_.clear();
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count())
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<std::size_t>(index)];
}

void TCollection::Clear() {
    if (items_.empty())
        return;
    BeginUpdate();
    while (!items_.empty())
        Delete(Count() - 1);
    EndUpdate();
}

void TCollection::Delete(int index) {
    TCollectionItem* it = Items(index);
    Notify(it, false);
    items_.erase(items_.begin() + index);
    it->collection_ = nullptr;
    it->Free();
    if (updateCount_ == 0)
        Update(nullptr);
}

void TCollection::BeginUpdate() {
    ++updateCount_;
}

void TCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0)
        Update(nullptr);
}

void TCollection::Assign(TPersistent* source) {
    auto* src = dynamic_cast<TCollection*>(source);
    if (src == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (src == this)
        return;
    BeginUpdate();
    Clear();
    for (TCollectionItem* it : src->items_) {
        TCollectionItem* copy = NewItem();
        copy->Assign(it);
    }
    EndUpdate();
}

void TCollection::Update(TCollectionItem*) {}
void TCollection::Notify(TCollectionItem*, bool) {}

} // namespace nuv
