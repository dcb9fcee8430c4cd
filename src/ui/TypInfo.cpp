#include "ui/TypInfo.h"

namespace nuv {

const TPropInfo* GetPropInfo(const TObject* object, std::string_view name) {
    if (object == nullptr || name.empty())
        return nullptr;
    return object->ClassInfo().FindProp(name);
}

const TPropInfo& GetPropInfoStrict(const TObject* object, std::string_view name) {
    const TPropInfo* p = GetPropInfo(object, name);
    if (p == nullptr)
        throw EPropertyError("Property " + std::string(name) + " does not exist");
    return *p;
}

std::string GetStrPropByName(TObject* c, const std::string& name) {
    const TPropInfo* p = GetPropInfo(c, name);
    if (p == nullptr || !p->GetStr)
        return {};
    return p->GetStr(c);
}

void SetStrPropByName(TObject* c, const std::string& name, const std::string& value) {
    const TPropInfo* p = GetPropInfo(c, name);
    if (p != nullptr && p->SetStr)
        p->SetStr(c, value);
}

std::int64_t GetOrdPropByName(TObject* c, const std::string& name) {
    const TPropInfo* p = GetPropInfo(c, name);
    if (p == nullptr || !p->GetOrd)
        return 0;
    return p->GetOrd(c);
}

void SetOrdPropByName(TObject* c, const std::string& name, std::int64_t value) {
    const TPropInfo* p = GetPropInfo(c, name);
    if (p != nullptr && p->SetOrd)
        p->SetOrd(c, value);
}

TMethod GetMethodPropByName(TObject* c, const std::string& name) {
    const TPropInfo* p = GetPropInfo(c, name);
    if (p == nullptr || !p->GetMethod)
        return {};
    return p->GetMethod(c);
}

void SetMethodPropByName(TObject* c, const std::string& name, const TMethod& method) {
    const TPropInfo* p = GetPropInfo(c, name);
    if (p != nullptr && p->SetMethod)
        p->SetMethod(c, method);
}

TObject* GetObjectPropByName(TObject* c, const std::string& name) {
    const TPropInfo* p = GetPropInfo(c, name);
    if (p == nullptr || !p->GetObject)
        return nullptr;
    return p->GetObject(c);
}

bool HasProperty(TObject* c, const std::string& name) {
    return GetPropInfo(c, name) != nullptr;
}

std::string GetPropTypeName(TObject* c, const std::string& name) {
    const TPropInfo* p = GetPropInfo(c, name);
    return p == nullptr ? std::string() : p->TypeName;
}

std::string GetEnumPropName(TObject* c, const std::string& name) {
    const TPropInfo* p = GetPropInfo(c, name);
    if (p == nullptr || p->Kind != TTypeKind::Enumeration || !p->GetOrd)
        return {};
    auto v = p->GetOrd(c);
    if (v < 0 || v >= static_cast<std::int64_t>(p->EnumNames.size()))
        return {};
    return p->EnumNames[static_cast<std::size_t>(v)];
}

void ClickControl(TControl* control, WPARAM wParam, LPARAM lParam) {
    if (control == nullptr)
        return;
    TComponentRef<TControl> ref(control);
    control->Perform(WM_LBUTTONDOWN, wParam, lParam);
    if (ref)
        control->Perform(WM_LBUTTONUP, wParam, lParam);
}

} // namespace nuv
