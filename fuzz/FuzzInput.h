// Reads a fuzzer's input as a stream of small values, so that one input can drive several calls
// of a target. Once the input is used up every read gives zero or an empty text.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace nuv::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : data_(reinterpret_cast<const char*>(data)), size_(size) {}

    bool Empty() const { return pos_ >= size_; }

    std::uint8_t Byte() { return pos_ < size_ ? static_cast<std::uint8_t>(data_[pos_++]) : 0; }

    // Four bytes as a signed integer: any value, INT_MIN and INT_MAX included.
    std::int32_t Int() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = v << 8 | Byte();
        std::int32_t out;
        std::memcpy(&out, &v, sizeof out);
        return out;
    }

    // Eight bytes as a double: any value, NaN and infinities included.
    double Double() {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v = v << 8 | Byte();
        double out;
        std::memcpy(&out, &v, sizeof out);
        return out;
    }

    // A text of up to 255 bytes, its length in the first byte.
    std::string Text() {
        std::size_t n = Byte();
        n = n < size_ - std::min(pos_, size_) ? n : size_ - std::min(pos_, size_);
        std::string s(data_ + std::min(pos_, size_), n);
        pos_ += n;
        return s;
    }

    // Whatever is left.
    std::string_view Rest() {
        std::string_view s = pos_ < size_ ? std::string_view(data_ + pos_, size_ - pos_) : "";
        pos_ = size_;
        return s;
    }

private:
    const char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace nuv::fuzz
