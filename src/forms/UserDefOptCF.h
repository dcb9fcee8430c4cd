// TfrmUserDefOpt: the small dialog in which a user names a condition set before saving it
// (code, name, shared flag, the existing sets in a drop-down).
//
// FIXME: being built; the class is declared so that the base dialog can refer to it.
#pragma once

#include "forms/NuForm.h"

namespace nuv {

class TfrmUserDefOpt : public TNuForm {
    NUV_CLASS(TfrmUserDefOpt)
public:
    explicit TfrmUserDefOpt(TComponent* AOwner);
    ~TfrmUserDefOpt() override;
};

} // namespace nuv
