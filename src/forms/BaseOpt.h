// TfrmBaseOpt: the parameter dialog with run options.
//
// It adds to the base dialog the choice of when the report job runs (at once, through the work
// queue, at a given time), how the user is notified, whether the dialog stays open after a
// successful submission, the periodic schedule page, and the OK path that sends the finished
// request to the application server.
//
// FIXME: the run options and the periodic page are being built; until then the class adds
// nothing to the base dialog.
#pragma once

#include "forms/BaseGene.h"

namespace nuv {

class TfrmBaseOpt : public TfrmBaseGene {
    NUV_CLASS(TfrmBaseOpt)
public:
    explicit TfrmBaseOpt(TComponent* AOwner);
    ~TfrmBaseOpt() override;
};

} // namespace nuv
