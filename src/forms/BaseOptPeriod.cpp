// The periodic schedule page of TfrmBaseOpt.
//
// FIXME: the page is being built; this unit holds its operations once they land.
#include "forms/BaseOpt.h"
