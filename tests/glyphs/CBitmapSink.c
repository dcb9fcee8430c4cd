#include "CBitmapSink.h"

#include <string.h>

static void SetPixels(void* context, int width, int height, const uint32_t* argb) {
    CGlyph* glyph = (CGlyph*)context;
    ++glyph->calls;
    glyph->width = width;
    glyph->height = height;
    if ((size_t)width * (size_t)height <= sizeof glyph->argb / sizeof glyph->argb[0])
        memcpy(glyph->argb, argb, (size_t)width * (size_t)height * sizeof(uint32_t));
}

int LoadIntoCGlyph(PemtalLoadBmpFn load, int index, CGlyph* glyph) {
    NuvBitmapSink sink = {glyph, SetPixels};
    memset(glyph, 0, sizeof *glyph);
    return load(&sink, index);
}
