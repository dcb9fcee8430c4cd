// The numbered button glyphs of the dialogs, from the glyph library Pemtal.so.
//
// The library is a separate module opened with dlopen on first use and kept open for the life
// of the process. It is looked for, in this order:
//   1. the file named by the environment variable NUV_PEMTAL, when it is set and not empty;
//   2. Pemtal.so in the directory of the module that holds the control code (the plug-in,
//      or the executable it is linked into), found through GetModuleFileName;
//   3. Pemtal.so in the directory of the running executable;
//   4. "Pemtal.so" through the system's default library search (LD_LIBRARY_PATH, ld.so.cache).
// The first candidate that opens and exports both GetMaxBmpID and LoadBmp wins. When none
// does, the library counts as having no glyphs at all: GetMaxBmpID answers 0 and LoadBmp
// fails, so a glyph button shows its number instead of a picture.
//
// Glyph pixels arrive as non-premultiplied 0xAARRGGBB. The fully transparent pixels are given
// the colour GlyphTransparentColor and the bitmap takes that colour as its fixed transparent
// colour, so that drawing "with the transparent colour left out" never removes an opaque pixel
// of the picture that happens to share the background's colour.
#pragma once

#include "ui/Graphics.h"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace nuv {

// Where the glyphs come from. The default source is the Pemtal.so found by the search above;
// tests install their own.
class TGlyphSource {
public:
    virtual ~TGlyphSource() = default;
    // The highest glyph number; 0 when there are no glyphs.
    virtual int GetMaxBmpID() = 0;
    // Loads glyph index into the bitmap; false (bitmap unchanged) when there is no such glyph.
    // May raise Exception when the glyph cannot be read.
    virtual bool LoadBmp(TBitmap* bitmap, int index) = 0;
};

// The glyph library of one file, opened with dlopen.
class TPemtalLibrary : public TGlyphSource {
public:
    // Tries the candidate paths in order (see PemtalSearchPaths) and keeps the first that
    // opens and exports both functions.
    explicit TPemtalLibrary(const std::vector<std::string>& candidates);
    ~TPemtalLibrary() override;
    TPemtalLibrary(const TPemtalLibrary&) = delete;
    TPemtalLibrary& operator=(const TPemtalLibrary&) = delete;

    bool Loaded() const { return loadBmp_ != nullptr; }
    // The candidate that was opened; empty when none was.
    const std::string& Path() const { return path_; }

    int GetMaxBmpID() override;
    // Raises Exception when the library hands over a picture with impossible dimensions. A
    // library's pictures never change while it is loaded: each is read from it once and
    // copied from then on (a dialog asks for the same few dozens as its buttons are made).
    bool LoadBmp(TBitmap* bitmap, int index) override;

private:
    std::mutex keptLock_;
    std::unordered_map<int, std::unique_ptr<TBitmap>> kept_;
    void* handle_ = nullptr;
    int (*getMaxBmpID_)() = nullptr;
    int (*loadBmp_)(void*, int) = nullptr;
    std::string path_;
};

// The candidate paths of Pemtal.so in search order (see the top of this file).
std::vector<std::string> PemtalSearchPaths();

// The glyph source in use: the one installed with SetGlyphSource, else the shared
// TPemtalLibrary over PemtalSearchPaths, opened on first use.
TGlyphSource& GlyphSource();
// Installs a glyph source (nullptr puts the library back); returns the previous one
// (nullptr when it was the library).
TGlyphSource* SetGlyphSource(TGlyphSource* source);

// The operations of the glyph source in use.
int GetMaxBmpID();
bool LoadBmp(TBitmap* bitmap, int index);

// Colour given to the transparent pixels of a loaded glyph (see the top of this file).
constexpr TColor GlyphTransparentColor = clFuchsia;

// Fills the bitmap from non-premultiplied 0xAARRGGBB pixels the way glyphs are stored:
// transparent pixels become GlyphTransparentColor (still fully transparent), which is set as
// the bitmap's fixed transparent colour, and the bitmap is marked transparent.
void LoadGlyphPixels(TBitmap* bitmap, int width, int height, const std::uint32_t* argb);

} // namespace nuv
