// The test build of Kelt58C.so: the shipped library plus one more export, NuvSetDialogClass,
// through which a test host puts in a dialog class of its own (derived from TBaseGeneDialog).
// The shipped library exports GetController alone.
#pragma once

#include "runtime/DialogContract.h"

#include <nuv/DLLBaseCtrller.h>

namespace nuv::test {

// Replaces frmBaseGeneClass of the loaded library and returns the previous class (nullptr
// clears it).
using TSetDialogClassFunc = TfrmBaseGeneClass (*)(TfrmBaseGeneClass DialogClass);
inline constexpr const char* SetDialogClassName = "NuvSetDialogClass";

} // namespace nuv::test

extern "C" NUV_CONTROLLER_EXPORT nuv::TfrmBaseGeneClass
NuvSetDialogClass(nuv::TfrmBaseGeneClass DialogClass);
