#pragma once

#include <QImage>

namespace nuv {

// The numbered glyphs of the dialogs' buttons, drawn in code. Numbers run from 1 to
// MaxIndex(); each glyph has one frame, or two where the second is its disabled picture.
class GlyphCatalog {
public:
    static constexpr int FrameSize = 16;

    static int MaxIndex();
    // Number of frames of glyph `index`; 0 when there is no such glyph.
    static int FrameCount(int index);
    // Glyph `index` as a QImage::Format_ARGB32 image (not premultiplied) of
    // FrameCount(index) * FrameSize x FrameSize pixels on a transparent background; a null
    // image when there is no such glyph.
    static QImage Render(int index);

private:
    static QImage Draw(int index);
};

} // namespace nuv
