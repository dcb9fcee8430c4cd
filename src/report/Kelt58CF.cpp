#include "report/Kelt58CF.h"

namespace nuv {

const TClassInfo& TfrmKelt58::StaticClassInfo() {
    static const TClassInfo info = TClassInfo("TfrmKelt58", &TfrmBaseRpt::StaticClassInfo());
    return info;
}

TfrmKelt58::TfrmKelt58(TComponent* AOwner) : TfrmBaseRpt(AOwner) {
    SetName("frmKelt58");
}

TfrmKelt58::~TfrmKelt58() = default;

} // namespace nuv
