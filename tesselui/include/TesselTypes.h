// The value types of TesselUI: window-layer handles and messages, rectangles and
// points with the helpers the controls use, wide strings, and the drawing types
// under the names the toolkit's code uses (HDC is a drawing surface, Gdiplus::*
// are the GDI+-style classes of the drawing layer).
//
// Everything here is a plain value (or a non-owning pointer) and may be used from
// any thread.
#pragma once

#include <cstdint>
#include <string>

#include "platform/draw/Dc.h"
#include "platform/draw/DrawTypes.h"
#include "platform/draw/Font.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/Image.h"
#include "platform/window/WinTypes.h"

namespace TesselUI {

using platform::BOOL;
using platform::BYTE;
using platform::COLORREF;
using platform::DWORD;
using platform::HCURSOR;
using platform::HINSTANCE;
using platform::HMENU;
using platform::HWND;
using platform::LONG;
using platform::LPARAM;
using platform::LRESULT;
using platform::MINMAXINFO;
using platform::MSG;
using platform::POINT;
using platform::RECT;
using platform::SIZE;
using platform::UINT;
using platform::UINT_PTR;
using platform::WORD;
using platform::WPARAM;
using platform::CREATESTRUCTW;
using platform::TRUE;
using platform::FALSE;

// A device context is a drawing surface of the drawing layer; a bitmap is an image.
using HDC = platform::draw::Dc*;
using HBITMAP = platform::draw::Image*;
using HFONT = platform::draw::Font*;

// Wide text. Null pointers make an empty string.
class CString : public std::wstring {
public:
    CString() = default;
    CString(const wchar_t* s) : std::wstring(s ? s : L"") {}
    CString(const std::wstring& s) : std::wstring(s) {}
    CString(std::wstring&& s) : std::wstring(std::move(s)) {}
    bool IsEmpty() const { return empty(); }
    int GetLength() const { return static_cast<int>(size()); }
    const wchar_t* GetString() const { return c_str(); }
    void Empty() { clear(); }
};

struct CPoint : POINT {
    CPoint() = default;
    CPoint(LONG px, LONG py) { x = px; y = py; }
    CPoint(const POINT& p) { x = p.x; y = p.y; }
    // The classic mouse lParam: x and y as signed 16-bit halves.
    explicit CPoint(LPARAM l) { x = static_cast<short>(l & 0xFFFF); y = static_cast<short>((l >> 16) & 0xFFFF); }
    friend bool operator==(const CPoint& a, const CPoint& b) { return a.x == b.x && a.y == b.y; }
};

struct CSize : SIZE {
    CSize() = default;
    CSize(LONG w, LONG h) { cx = w; cy = h; }
};

// A rectangle in pixels; right and bottom are exclusive.
struct CRect : RECT {
    CRect() = default;
    CRect(LONG l, LONG t, LONG r, LONG b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& r) : RECT(r) {}
    CRect(const platform::draw::Rect& r) { left = r.left; top = r.top; right = r.right; bottom = r.bottom; }

    LONG Width() const { return right - left; }
    LONG Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    void SetRect(LONG l, LONG t, LONG r, LONG b) { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void OffsetRect(LONG dx, LONG dy) { left += dx; right += dx; top += dy; bottom += dy; }
    void InflateRect(LONG dx, LONG dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
    void DeflateRect(LONG dx, LONG dy) { InflateRect(-dx, -dy); }
    // Answers whether the intersection is not empty; an empty result is all zero.
    bool IntersectRect(const RECT& a, const RECT& b) {
        CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom));
        if (r.IsRectEmpty()) r.SetRectEmpty();
        *this = r;
        return !r.IsRectEmpty();
    }
    bool Intersects(const RECT& o) const {
        CRect r;
        return r.IntersectRect(*this, o);
    }
    // The smallest rectangle holding both; empty inputs are ignored.
    bool UnionRect(const RECT& a, const RECT& b) {
        const CRect ca(a), cb(b);
        if (ca.IsRectEmpty()) *this = cb;
        else if (cb.IsRectEmpty()) *this = ca;
        else *this = CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                           std::max(a.bottom, b.bottom));
        return !IsRectEmpty();
    }
    platform::draw::Rect ToDraw() const { return platform::draw::Rect(left, top, right, bottom); }
    friend bool operator==(const CRect& a, const CRect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

namespace Gdiplus {

using ARGB = std::uint32_t;

// An ARGB colour, alpha in the top byte.
class Color {
public:
    Color() = default;
    Color(ARGB argb) : argb_(argb) {}
    Color(BYTE a, BYTE r, BYTE g, BYTE b) : argb_(MakeARGB(a, r, g, b)) {}
    Color(BYTE r, BYTE g, BYTE b) : argb_(MakeARGB(255, r, g, b)) {}
    ARGB GetValue() const { return argb_; }
    void SetValue(ARGB argb) { argb_ = argb; }
    BYTE GetA() const { return static_cast<BYTE>(argb_ >> 24); }
    BYTE GetR() const { return static_cast<BYTE>(argb_ >> 16); }
    BYTE GetG() const { return static_cast<BYTE>(argb_ >> 8); }
    BYTE GetB() const { return static_cast<BYTE>(argb_); }
    static ARGB MakeARGB(BYTE a, BYTE r, BYTE g, BYTE b) {
        return (static_cast<ARGB>(a) << 24) | (static_cast<ARGB>(r) << 16) | (static_cast<ARGB>(g) << 8) | b;
    }
    friend bool operator==(const Color& a, const Color& b) { return a.argb_ == b.argb_; }

private:
    ARGB argb_ = 0xFF000000;
};

using Image = platform::draw::Image;
using Bitmap = platform::draw::Image;
using Graphics = platform::draw::Graphics;
using FontFamily = platform::draw::FontFamily;
using Font = platform::draw::Font;
using Brush = platform::draw::Brush;
using StringFormat = platform::draw::StringFormat;
// Style bits: 1 bold, 2 italic, 4 underline, 8 strike-out.
using FontStyle = int;
// 0 system default ... 5 ClearType grid fitting.
using TextRenderingHint = int;

}  // namespace Gdiplus

// COLORREF 0x00BBGGRR to ARGB with the given alpha.
inline Gdiplus::ARGB ColorRefToArgb(COLORREF c, int alpha) { return platform::draw::ColorRefToArgb(c, alpha); }

}  // namespace TesselUI
