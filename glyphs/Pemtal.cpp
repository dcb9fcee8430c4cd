// The two exports of the glyph library. Everything else in the library is hidden (see
// Pemtal.map); no exception crosses the C boundary.

#include "Pemtal.h"

#include "GlyphCatalog.h"

#include <QImage>

#include <cstring>
#include <vector>

extern "C" int GetMaxBmpID(void) {
    return nuv::GlyphCatalog::MaxIndex();
}

extern "C" int LoadBmp(NuvBitmapSink* bitmap, int index) {
    if (bitmap == nullptr || bitmap->SetPixels == nullptr)
        return 0;
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    try {
        const QImage image = nuv::GlyphCatalog::Render(index);
        if (image.isNull())
            return 0;
        width = image.width();
        height = image.height();
        pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        // QImage pads its rows to 4 bytes, which ARGB32 rows already are; copying row by row
        // keeps that an assumption of nobody.
        for (int y = 0; y < height; ++y)
            std::memcpy(pixels.data() + static_cast<size_t>(y) * width, image.constScanLine(y),
                        static_cast<size_t>(width) * sizeof(uint32_t));
    } catch (...) {
        return 0;
    }
    bitmap->SetPixels(bitmap->context, width, height, pixels.data());
    return 1;
}
