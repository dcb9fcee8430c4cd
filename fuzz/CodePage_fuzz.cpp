// Code-page decoding and the CP950 byte measures on any bytes: decoded text is always
// well-formed UTF-8, encoding what was decoded gives bytes that decode again, and the CP950
// comparison is an order (antisymmetric, equal exactly for equal keys).
#include "platform/CodePage.h"

#include "FuzzInput.h"

#include <nuv/CodePageText.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
int Sign(int v) {
    return (v > 0) - (v < 0);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    nuv::fuzz::FuzzInput in(data, size);
    static constexpr int Pages[] = {950, 936, 65001, 1252};
    const int page = Pages[in.Byte() % 4];
    const std::string other = in.Text();
    const std::string bytes(in.Rest());

    const std::string text = nuv::DecodeBytes(bytes, page);
    if (!nuv::IsValidUtf8(text))
        __builtin_trap();
    if (nuv::IsValidUtf8(bytes) != (nuv::DecodeCodePage(bytes, 65001) == bytes))
        __builtin_trap();
    const std::string again = nuv::EncodeBytes(text, page);
    if (!nuv::IsValidUtf8(nuv::DecodeBytes(again, page)))
        __builtin_trap();

    // The CP950 measures take any text, well-formed or not.
    if (nuv::Cp950ByteLength(bytes) < 0 || nuv::Cp950ByteLength(text) < 0)
        __builtin_trap();
    const int ab = nuv::CompareCp950(text, other);
    const int ba = nuv::CompareCp950(other, text);
    if (Sign(ab) != -Sign(ba))
        __builtin_trap();
    if ((ab == 0) != (nuv::Cp950SortKey(text) == nuv::Cp950SortKey(other)))
        __builtin_trap();
    return 0;
}
