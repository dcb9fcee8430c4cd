/*
 * Pemtal: the numbered button glyphs of the dialogs, as a library loaded at run time.
 *
 * The library is opened with dlopen("Pemtal.so") and exports exactly two functions with C
 * linkage; nothing else is visible. It has no dependency on the plug-in's UI classes: a glyph
 * reaches the caller's bitmap through the small sink below.
 *
 *   int GetMaxBmpID(void);
 *       The highest glyph number. Every number from 1 up to it is a glyph.
 *
 *   int LoadBmp(NuvBitmapSink* bitmap, int index);
 *       Draws glyph `index` and hands its pixels to `bitmap`. Returns 1 on success and 0 on
 *       failure. On success SetPixels is called exactly once; on failure it is not called at
 *       all, so the caller's bitmap stays as it was. LoadBmp fails for an index <= 0 or
 *       > GetMaxBmpID(), for a null sink and for a sink without SetPixels.
 *
 * Pixels. `argb` holds width * height values, row by row from the top, each row from the
 * left, with no padding between rows. Each value is 0xAARRGGBB, NOT premultiplied: the colour
 * channels are the full colour whatever the alpha (the layout of QImage::Format_ARGB32).
 * Alpha 0 is transparent; the background of every glyph is transparent, so there is no key
 * colour. The buffer belongs to the library and is valid only during the call: copy it.
 *
 * Frames. A glyph holds one or more frames side by side, each as wide as the bitmap is high:
 * frames = width / height. All glyphs are 16 pixels high. The first frame is the normal
 * picture; where there is a second one, it is the disabled (greyed) picture.
 *
 * SetPixels must not throw or unwind through the library. LoadBmp keeps no state between
 * calls and may be called from any thread.
 */
#ifndef NUV_PEMTAL_H
#define NUV_PEMTAL_H

#include <stdint.h>

#if defined(__GNUC__)
#define PEMTAL_EXPORT __attribute__((visibility("default")))
#else
#define PEMTAL_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Height of every glyph bitmap and width of each frame, in pixels. */
#define PEMTAL_FRAME_SIZE 16

/* Receives one glyph. `context` is passed back to SetPixels unchanged. */
typedef struct NuvBitmapSink {
    void* context;
    void (*SetPixels)(void* context, int width, int height, const uint32_t* argb);
} NuvBitmapSink;

PEMTAL_EXPORT int GetMaxBmpID(void);
PEMTAL_EXPORT int LoadBmp(NuvBitmapSink* bitmap, int index);

/* For callers that look the functions up with dlsym. */
typedef int (*PemtalGetMaxBmpIDFn)(void);
typedef int (*PemtalLoadBmpFn)(NuvBitmapSink* bitmap, int index);

#ifdef __cplusplus
}
#endif

#endif /* NUV_PEMTAL_H */
