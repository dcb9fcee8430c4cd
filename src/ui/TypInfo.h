// Published properties by name. Each operation does nothing (or answers the neutral value:
// empty text, 0, an empty handler, false) when the component is missing, the name is empty or
// the component has no published property of that name; names compare without case and are
// looked up through the base classes. ClickControl sends a control a left-button-down and then
// a left-button-up message.
#pragma once

#include "platform/Classes.h"
#include "ui/Controls.h"

#include <cstdint>
#include <string>

namespace nuv {

// The published property, or nullptr.
const TPropInfo* GetPropInfo(const TObject* object, std::string_view name);
// Raises EPropertyError when there is no such property (the strict look-up).
const TPropInfo& GetPropInfoStrict(const TObject* object, std::string_view name);

class EPropertyError : public Exception {
public:
    using Exception::Exception;
};

std::string GetStrPropByName(TObject* component, const std::string& name);
void SetStrPropByName(TObject* component, const std::string& name, const std::string& value);
// Integers, enumerations (ordinal), Booleans (0/1), colours and sets (bit mask).
std::int64_t GetOrdPropByName(TObject* component, const std::string& name);
void SetOrdPropByName(TObject* component, const std::string& name, std::int64_t value);
TMethod GetMethodPropByName(TObject* component, const std::string& name);
// Raises when the handler's signature is not the event's.
void SetMethodPropByName(TObject* component, const std::string& name, const TMethod& method);
TObject* GetObjectPropByName(TObject* component, const std::string& name);
bool HasProperty(TObject* component, const std::string& name);
// The property's type name ("TFont", "TStrings", "TComboBoxStyle", ...), empty when absent.
std::string GetPropTypeName(TObject* component, const std::string& name);
// An enumeration property's value name ("csDropDownList"), empty when absent.
std::string GetEnumPropName(TObject* component, const std::string& name);
void ClickControl(TControl* control, WPARAM wParam = 0, LPARAM lParam = 0);

} // namespace nuv
