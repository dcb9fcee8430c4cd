#pragma once

#include "Pemtal.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A glyph received by a sink written in C: proves that Pemtal.h is usable from C. */
typedef struct CGlyph {
    int calls;
    int width;
    int height;
    uint32_t argb[4 * PEMTAL_FRAME_SIZE * PEMTAL_FRAME_SIZE];
} CGlyph;

/* Loads glyph `index` into `glyph` through `load`; returns what `load` returns. */
int LoadIntoCGlyph(PemtalLoadBmpFn load, int index, CGlyph* glyph);

#ifdef __cplusplus
}
#endif
