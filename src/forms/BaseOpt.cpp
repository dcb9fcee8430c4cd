#include "forms/BaseOpt.h"

namespace nuv {

const TClassInfo& TfrmBaseOpt::StaticClassInfo() {
    static const TClassInfo info = TClassInfo("TfrmBaseOpt", &TfrmBaseGene::StaticClassInfo());
    return info;
}

TfrmBaseOpt::TfrmBaseOpt(TComponent* AOwner) : TfrmBaseGene(AOwner) {
    SetName("frmBaseOpt");
}

TfrmBaseOpt::~TfrmBaseOpt() = default;

} // namespace nuv
