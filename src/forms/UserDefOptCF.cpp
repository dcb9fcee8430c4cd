#include "forms/UserDefOptCF.h"

namespace nuv {

const TClassInfo& TfrmUserDefOpt::StaticClassInfo() {
    static const TClassInfo info = TClassInfo("TfrmUserDefOpt", &TNuForm::StaticClassInfo());
    return info;
}

TfrmUserDefOpt::TfrmUserDefOpt(TComponent* AOwner) : TNuForm(AOwner) {
    SetName("frmUserDefOpt");
}

TfrmUserDefOpt::~TfrmUserDefOpt() = default;

} // namespace nuv
