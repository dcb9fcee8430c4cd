// The general exception class and EOleError: see include/nuv/Exception.h.
// FIXME: include <nuv/Exception.h> directly; this forwarding header stays only until the last
// file that still spells it this way (Registry.cpp, being edited on another branch) is changed.
#pragma once
#include <nuv/Exception.h>
