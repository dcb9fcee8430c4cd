// The shared library of the Manager: the registry file names it as the InprocServer32 of
// "ProwenWorkCenter.Manager", and CreateOleObject calls its NuvCreateObject.
#include "Manager.h"

#include <strings.h>

extern "C" __attribute__((visibility("default"))) nuv::IDispatch*
NuvCreateObject(const char* progId) {
    if (!progId || strcasecmp(progId, "ProwenWorkCenter.Manager") != 0)
        return nullptr;
    try {
        nuv::DispatchPtr manager = nuv::host::CreateManager();
        nuv::IDispatch* p = manager.get();
        p->AddRef(); // the caller's reference, kept after `manager` lets go of its own
        return p;
    } catch (...) {
        return nullptr;
    }
}
