// The periodic schedule page of TfrmBaseOpt.
//
// FIXME: the page is being built; until then switching the periodic job on only shows its
// (empty) page, the page's operations do nothing and a periodic request is not completed (so
// nothing is sent).
#include "forms/BaseOpt.h"

namespace nuv {

void TfrmBaseOpt::PreparePeriodPage() {}

void TfrmBaseOpt::BuildCycleSpec() {}

void TfrmBaseOpt::StoreDynamicEntry() {}

bool TfrmBaseOpt::CompletePeriodicRequest() {
    return false;
}

void TfrmBaseOpt::btnPeriodClick(TObject*) {
    tsPeriodOption->SetTabVisible(btnPeriod->Down());
}

} // namespace nuv
