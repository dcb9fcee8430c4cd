#include "forms/BaseRpt.h"

namespace nuv {

const TClassInfo& TfrmBaseRpt::StaticClassInfo() {
    static const TClassInfo info = TClassInfo("TfrmBaseRpt", &TfrmBaseOpt::StaticClassInfo());
    return info;
}

TfrmBaseRpt::TfrmBaseRpt(TComponent* AOwner) : TfrmBaseOpt(AOwner) {
    SetName("frmBaseRpt");
}

TfrmBaseRpt::~TfrmBaseRpt() = default;

} // namespace nuv
