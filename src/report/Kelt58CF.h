// TfrmKelt58: the report dialog of the module Kelt58.
//
// FIXME: its pages, look-ups and conditions are being built; until then the class adds nothing
// to the report-settings dialog.
#pragma once

#include "forms/BaseRpt.h"

namespace nuv {

class TfrmKelt58 : public TfrmBaseRpt {
    NUV_CLASS(TfrmKelt58)
public:
    explicit TfrmKelt58(TComponent* AOwner);
    ~TfrmKelt58() override;
};

} // namespace nuv
