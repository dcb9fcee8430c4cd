#include "ChineseConverter.h"

#include <nuv/Exception.h>

#include <nuv/CodePageText.h>

#include <opencc/opencc.h>

#include <mutex>
#include <unordered_map>

namespace nuv::host {

namespace {

const opencc_t NoConverter = reinterpret_cast<opencc_t>(-1);

} // namespace

struct TChineseConverter::Impl {
    opencc_t toSimplified = NoConverter;
    opencc_t toTraditional = NoConverter;
    // Texts already converted, per direction. A client converts the same captions, hints and
    // list items each time it opens a dialog, and OpenCC's segmentation is the dearest step of
    // that; the memory is dropped whole when it grows past its bound.
    static constexpr std::size_t MaxRemembered = 20000;
    std::unordered_map<std::string, std::string> remembered[2];
    std::mutex lock;

    ~Impl() {
        if (toSimplified != NoConverter)
            opencc_close(toSimplified);
        if (toTraditional != NoConverter)
            opencc_close(toTraditional);
    }

    // The dictionaries load on first use: a Manager that never converts never pays for them.
    opencc_t Get(TChineseDirection dir) {
        opencc_t& od = dir == TChineseDirection::ToSimplified ? toSimplified : toTraditional;
        if (od == NoConverter) {
            const char* config = dir == TChineseDirection::ToSimplified ? "tw2s.json" : "s2tw.json";
            od = opencc_open(config);
            if (od == NoConverter)
                throw Exception(std::string("Cannot load the OpenCC configuration ") + config +
                                ": " + opencc_error());
        }
        return od;
    }
};

TChineseConverter::TChineseConverter() : impl_(std::make_unique<Impl>()) {}
TChineseConverter::~TChineseConverter() = default;

std::string TChineseConverter::Convert(TChineseDirection dir, const std::string& text) {
    if (text.empty())
        return text;
    std::lock_guard<std::mutex> hold(impl_->lock);
    auto& remembered = impl_->remembered[dir == TChineseDirection::ToSimplified ? 0 : 1];
    if (auto it = remembered.find(text); it != remembered.end())
        return it->second;
    char* out = opencc_convert_utf8(impl_->Get(dir), text.data(), text.size());
    if (!out)
        throw Exception(std::string("OpenCC could not convert the text: ") + opencc_error());
    std::string result(out);
    opencc_convert_utf8_free(out);
    if (remembered.size() >= Impl::MaxRemembered)
        remembered.clear();
    remembered.emplace(text, result);
    return result;
}

Variant TChineseConverter::Convert(TChineseDirection dir, const Variant& value) {
    const Variant& v = value.Deref();
    switch (v.Type()) {
    case VarType::Text:
        return Variant(Convert(dir, v.ToString()));
    case VarType::ByteText: {
        const int target = dir == TChineseDirection::ToSimplified ? 936 : 950;
        std::string text = Convert(dir, DecodeCodePage(v.Bytes(), v.CodePage()));
        return Variant::FromBytes(EncodeCodePage(text, target), target);
    }
    case VarType::Array: {
        Variant copy = v;
        const VariantArray* a = copy.Array();
        if (copy.ArrayDimCount() == 1) {
            for (int i = copy.ArrayLowBound(); i <= copy.ArrayHighBound(); ++i)
                copy[i] = Convert(dir, copy[i]);
        } else if (a) {
            for (int i = copy.ArrayLowBound(1); i <= copy.ArrayHighBound(1); ++i)
                for (int j = copy.ArrayLowBound(2); j <= copy.ArrayHighBound(2); ++j)
                    copy.Element(i, j) = Convert(dir, copy.Element(i, j));
        }
        return copy;
    }
    default:
        return v;
    }
}

} // namespace nuv::host
