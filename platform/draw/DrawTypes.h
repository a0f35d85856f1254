// Plain value types of the drawing layer: rectangles, points, sizes and the two
// colour forms the toolkit works with.
//
// COLORREF (`ColorRef`) is 0x00BBGGRR, red in the low byte: window background
// colours, GDI-style fills and text use it. ARGB (`Argb`) is 0xAARRGGBB, alpha in
// the top byte: skin drawing, brushes, pens and GDI+-style text use it. Nothing
// here allocates or fails; every function may be called from any thread.
#pragma once

#include <algorithm>
#include <cstdint>

namespace platform::draw {

using ColorRef = std::uint32_t;  // 0x00BBGGRR
using Argb = std::uint32_t;      // 0xAARRGGBB

constexpr ColorRef MakeColorRef(int r, int g, int b) {
    return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(ColorRef c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(ColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(ColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr Argb MakeArgb(int a, int r, int g, int b) {
    return (static_cast<Argb>(a & 0xFF) << 24) | (static_cast<Argb>(r & 0xFF) << 16) |
           (static_cast<Argb>(g & 0xFF) << 8) | static_cast<Argb>(b & 0xFF);
}
constexpr int AlphaOfArgb(Argb c) { return static_cast<int>(c >> 24); }
constexpr int RedOfArgb(Argb c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int GreenOfArgb(Argb c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOfArgb(Argb c) { return static_cast<int>(c & 0xFF); }

// Keeps R, G and B of a COLORREF and adds the given alpha.
constexpr Argb ColorRefToArgb(ColorRef c, int alpha) {
    return MakeArgb(alpha, RedOf(c), GreenOf(c), BlueOf(c));
}
// Drops the alpha of an ARGB value.
constexpr ColorRef ArgbToColorRef(Argb c) {
    return MakeColorRef(RedOfArgb(c), GreenOfArgb(c), BlueOfArgb(c));
}

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct PointF {
    float x = 0;
    float y = 0;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Edges as in a Windows RECT: right and bottom are exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr Rect() = default;
    constexpr Rect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    static constexpr Rect FromXYWH(int x, int y, int w, int h) { return Rect(x, y, x + w, y + h); }

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr Rect Intersected(const Rect& o) const {
        Rect r(std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
               std::min(bottom, o.bottom));
        return r.IsEmpty() ? Rect() : r;
    }
    constexpr bool Intersects(const Rect& o) const { return !Intersected(o).IsEmpty(); }
    constexpr Rect United(const Rect& o) const {
        if (IsEmpty()) return o;
        if (o.IsEmpty()) return *this;
        return Rect(std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                    std::max(bottom, o.bottom));
    }
    constexpr Rect Offset(int dx, int dy) const {
        return Rect(left + dx, top + dy, right + dx, bottom + dy);
    }
    constexpr Rect Inflated(int dx, int dy) const {
        return Rect(left - dx, top - dy, right + dx, bottom + dy);
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A rectangle by origin and size, as GDI+ takes it.
struct RectF {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;

    constexpr RectF() = default;
    constexpr RectF(float x_, float y_, float w, float h) : x(x_), y(y_), width(w), height(h) {}
    constexpr explicit RectF(const Rect& r)
        : x(float(r.left)), y(float(r.top)), width(float(r.Width())), height(float(r.Height())) {}
};

}  // namespace platform::draw
