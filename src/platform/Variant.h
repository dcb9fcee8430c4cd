// The platform's Variant is the host-facing one: see include/nuv/Variant.h.
#pragma once
#include <nuv/Variant.h>
