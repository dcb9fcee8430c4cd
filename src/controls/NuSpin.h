// TNuSpinEdit: the platform's spin edit for the dialogs' numeric fields. A plus or minus sign
// typed anywhere but in front is dropped again, and OnChange is raised only for a text that
// is not blank (clearing the field raises nothing).
#pragma once

#include "ui/Spin.h"

namespace nuv {

class TNuSpinEdit : public TSpinEdit {
    NUV_CLASS(TNuSpinEdit)
public:
    explicit TNuSpinEdit(TComponent* owner);

protected:
    void Change() override;
};

} // namespace nuv
