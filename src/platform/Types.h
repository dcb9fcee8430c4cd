// Small value types shared by the UI classes: points, rectangles, window handles and message
// parameters, and TSet, the set-of-enumeration type used for shift states, font styles, border
// icons, dialog buttons and component states. No Qt here: every header that the forms and
// controls include stays free of Qt types.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace nuv {

using Word = std::uint16_t;
using UINT = std::uint32_t;
// A window handle: an opaque number, 0 for none. TWinControl::Handle allocates one on demand;
// FindControl maps it back to its control while the control lives.
using HWND = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const TSize&) const = default;
};

// Rectangle with exclusive right and bottom edges, as Windows keeps them.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(TPoint p) const {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TRect&) const = default;
};

inline TPoint Point(int x, int y) {
    return {x, y};
}
inline TRect Rect(int left, int top, int right, int bottom) {
    return {left, top, right, bottom};
}
inline TRect Bounds(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}
inline void InflateRect(TRect& r, int dx, int dy) {
    r.Left -= dx;
    r.Top -= dy;
    r.Right += dx;
    r.Bottom += dy;
}
inline void OffsetRect(TRect& r, int dx, int dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

// A set of enumeration values (Delphi "set of"): bit n stands for the value of ordinal n.
template <class E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values) {
        for (E v : values)
            bits_ |= Bit(v);
    }
    static constexpr TSet FromBits(std::uint64_t bits) {
        TSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr std::uint64_t Bits() const { return bits_; }
    constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TSet& Include(E v) {
        bits_ |= Bit(v);
        return *this;
    }
    constexpr TSet& Exclude(E v) {
        bits_ &= ~Bit(v);
        return *this;
    }
    constexpr TSet operator+(TSet o) const { return FromBits(bits_ | o.bits_); }
    constexpr TSet operator-(TSet o) const { return FromBits(bits_ & ~o.bits_); }
    constexpr TSet operator*(TSet o) const { return FromBits(bits_ & o.bits_); }
    constexpr TSet& operator+=(TSet o) {
        bits_ |= o.bits_;
        return *this;
    }
    constexpr TSet& operator-=(TSet o) {
        bits_ &= ~o.bits_;
        return *this;
    }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr std::uint64_t Bit(E v) { return std::uint64_t{1} << static_cast<int>(v); }
    std::uint64_t bits_ = 0;
};

} // namespace nuv
