#include "controls/GlyphLib.h"

#include "platform/SystemServices.h"
#include <nuv/Exception.h>

#include "Pemtal.h"

#include <dlfcn.h>

#include <cstdlib>
#include <limits>

namespace nuv {

namespace {

constexpr const char* kLibraryName = "Pemtal.so";

std::string DirectoryOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return path.substr(0, slash + 1);
}

// What a LoadBmp call hands back through the sink.
struct SinkTarget {
    TBitmap* bitmap = nullptr;
    bool delivered = false;
    bool invalid = false;
};

void SinkSetPixels(void* context, int width, int height, const uint32_t* argb) {
    // Runs inside the library: nothing may be thrown from here.
    auto* target = static_cast<SinkTarget*>(context);
    target->delivered = true;
    constexpr long long kMaxPixels = 1LL << 24;
    if (width <= 0 || height <= 0 || argb == nullptr ||
        static_cast<long long>(width) * height > kMaxPixels) {
        target->invalid = true;
        return;
    }
    try {
        LoadGlyphPixels(target->bitmap, width, height, argb);
    } catch (...) {
        target->invalid = true;
    }
}

} // namespace

void LoadGlyphPixels(TBitmap* bitmap, int width, int height, const std::uint32_t* argb) {
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint32_t> pixels(argb, argb + count);
    // The key colour in 0xRRGGBB order (TColor is 0x00BBGGRR).
    const TColor key = ColorToRGB(GlyphTransparentColor);
    const std::uint32_t keyRgb = (static_cast<std::uint32_t>(key & 0xFF) << 16) |
                                 (static_cast<std::uint32_t>(key & 0xFF00)) |
                                 (static_cast<std::uint32_t>(key >> 16) & 0xFF);
    for (std::uint32_t& p : pixels)
        if ((p >> 24) == 0)
            p = keyRgb;
    bitmap->LoadFromPixels(width, height, pixels.data());
    bitmap->SetTransparentColor(GlyphTransparentColor);
    bitmap->SetTransparent(true);
}

// ---------------------------------------------------------------------------------------------
// TPemtalLibrary

TPemtalLibrary::TPemtalLibrary(const std::vector<std::string>& candidates) {
    for (const std::string& candidate : candidates) {
        void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            continue;
        auto maxFn = reinterpret_cast<PemtalGetMaxBmpIDFn>(dlsym(handle, "GetMaxBmpID"));
        auto loadFn = reinterpret_cast<PemtalLoadBmpFn>(dlsym(handle, "LoadBmp"));
        if (maxFn == nullptr || loadFn == nullptr) {
            dlclose(handle);
            continue;
        }
        handle_ = handle;
        getMaxBmpID_ = maxFn;
        loadBmp_ = reinterpret_cast<int (*)(void*, int)>(loadFn);
        path_ = candidate;
        return;
    }
}

// The library stays loaded: glyph code may still be referenced by pictures drawn from it, and
// unloading a Qt-based module while the application runs is not worth the risk.
TPemtalLibrary::~TPemtalLibrary() = default;

int TPemtalLibrary::GetMaxBmpID() {
    return getMaxBmpID_ != nullptr ? getMaxBmpID_() : 0;
}

bool TPemtalLibrary::LoadBmp(TBitmap* bitmap, int index) {
    if (loadBmp_ == nullptr || bitmap == nullptr)
        return false;
    std::lock_guard<std::mutex> hold(keptLock_);
    if (auto it = kept_.find(index); it != kept_.end()) {
        bitmap->Assign(it->second.get());
        return true;
    }
    SinkTarget target;
    target.bitmap = bitmap;
    NuvBitmapSink sink{&target, &SinkSetPixels};
    auto load = reinterpret_cast<PemtalLoadBmpFn>(loadBmp_);
    int ok = load(&sink, index);
    if (target.invalid)
        throw Exception("Glyph " + std::to_string(index) + " of " + path_ +
                        " has no valid picture");
    if (ok == 0 || !target.delivered)
        return false;
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(bitmap);
    kept_.emplace(index, std::move(copy));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Search order and the source in use

std::vector<std::string> PemtalSearchPaths() {
    std::vector<std::string> paths;
    if (const char* env = std::getenv("NUV_PEMTAL"); env != nullptr && *env != '\0')
        paths.emplace_back(env);
    if (std::string dir = DirectoryOf(GetModuleFileName()); !dir.empty())
        paths.push_back(dir + kLibraryName);
    if (std::string dir = DirectoryOf(GetExecutablePath()); !dir.empty()) {
        std::string path = dir + kLibraryName;
        if (paths.empty() || paths.back() != path)
            paths.push_back(path);
    }
    paths.emplace_back(kLibraryName);
    return paths;
}

namespace {
TGlyphSource* g_source = nullptr;
} // namespace

TGlyphSource& GlyphSource() {
    if (g_source != nullptr)
        return *g_source;
    // Opened once, on first use, and kept for the life of the process.
    static TPemtalLibrary library(PemtalSearchPaths());
    return library;
}

TGlyphSource* SetGlyphSource(TGlyphSource* source) {
    TGlyphSource* old = g_source;
    g_source = source;
    return old;
}

int GetMaxBmpID() {
    return GlyphSource().GetMaxBmpID();
}

bool LoadBmp(TBitmap* bitmap, int index) {
    return GlyphSource().LoadBmp(bitmap, index);
}

} // namespace nuv
