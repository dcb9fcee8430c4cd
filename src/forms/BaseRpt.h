// TfrmBaseRpt: the run-options dialog with the report settings page (notes, sign-off blocks,
// output kinds, printing of options and user).
//
// FIXME: the report settings page is being built; until then the class adds nothing to the
// run-options dialog.
#pragma once

#include "forms/BaseOpt.h"

namespace nuv {

class TfrmBaseRpt : public TfrmBaseOpt {
    NUV_CLASS(TfrmBaseRpt)
public:
    explicit TfrmBaseRpt(TComponent* AOwner);
    ~TfrmBaseRpt() override;
};

} // namespace nuv
