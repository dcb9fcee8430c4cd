// Traditional <-> Simplified Chinese for the Manager's "BIG5toGB", "GBtoBig5" and "Big5ToGB",
// with OpenCC (Taiwan usage on the Traditional side).
//
// A Unicode text stays Unicode: only its characters change. A byte text is decoded from its
// own code page, converted, and encoded into the other one (Big5 -> code page 936,
// GB -> code page 950). Arrays are converted element by element; numbers, dates, Null and
// unassigned values are returned as they are.
#pragma once

#include <nuv/Variant.h>

#include <memory>
#include <string>

namespace nuv::host {

enum class TChineseDirection { ToSimplified, ToTraditional };

class TChineseConverter {
public:
    TChineseConverter();
    ~TChineseConverter();
    TChineseConverter(const TChineseConverter&) = delete;
    TChineseConverter& operator=(const TChineseConverter&) = delete;

    // UTF-8 text in, UTF-8 text out. Raises Exception when OpenCC's dictionaries cannot be
    // loaded.
    std::string Convert(TChineseDirection dir, const std::string& text);
    Variant Convert(TChineseDirection dir, const Variant& value);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace nuv::host
