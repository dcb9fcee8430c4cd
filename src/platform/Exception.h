// The general exception class and EOleError: see include/nuv/Exception.h.
#pragma once
#include <nuv/Exception.h>
