#include "MRender.h"

#include <algorithm>
#include <cmath>

#include "MControl.h"
#include "Manager.h"
#include "platform/draw/Dc.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/Image.h"

namespace TesselUI {

namespace D = platform::draw;

// --- Images -------------------------------------------------------------------------

Gdiplus::Image* MRender::LoadImageFromFile(const CString& path) {
    if (path.IsEmpty()) return nullptr;
    return D::Image::FromFile(path).release();
}

Gdiplus::Image* MRender::LoadImageFromIDResource(UINT id, const CString& type, HINSTANCE module) {
    const void* data = nullptr;
    std::size_t size = 0;
    if (!FindResource(module, id, type, &data, &size)) return nullptr;
    return D::Image::FromMemory(data, size).release();
}

Gdiplus::Image* MRender::LoadIconFromFile(const CString& path) {
    // Linux files carry no icons of their own; an icon or image file is its own icon.
    auto image = D::Image::FromFile(path);
    if (!image) return nullptr;
    image->SelectActiveFrame(0);
    return image.release();
}

CString MRender::NormalizeSkinName(const CString& name) {
    std::wstring out;
    out.reserve(name.size());
    for (wchar_t c : name) {
        if (c == L'\\') c = L'/';
        if (c == L'/' && !out.empty() && out.back() == L'/') continue;
        out.push_back(c);
    }
    return out;
}

CString MRender::SkinPath(const CString& name) { return Manager::GetSkinDir() + NormalizeSkinName(name); }

// --- Colours ------------------------------------------------------------------------

void MRender::CheckAlphaColor(DWORD& colour) {
    if ((colour & 0x00FFFFFF) == 0) colour += 1;
}

void MRender::FillSolidRect(HDC& hdc, const RECT* rect, COLORREF colour) {
    if (!hdc || !rect) return;
    D::FillSolidRect(*hdc, D::Rect(rect->left, rect->top, rect->right, rect->bottom), colour);
}

void MRender::FillSolidRect(HDC& hdc, int x, int y, int w, int h, COLORREF colour) {
    if (!hdc) return;
    D::FillSolidRect(*hdc, D::Rect::FromXYWH(x, y, w, h), colour);
}

void MRender::DrawColor(HDC hdc, const RECT& rect, DWORD argb) {
    if (!hdc || argb < 0x1000000) return;
    D::Graphics g(*hdc);
    g.FillRectangle(D::Brush::Solid(argb),
                    D::RectF(float(rect.left), float(rect.top), float(rect.right - rect.left),
                             float(rect.bottom - rect.top)));
}

namespace {

int MeanAlpha(DWORD from, DWORD to) { return (int(from >> 24) + int(to >> 24)) / 2; }

// Puts a gradient image over the target: a copy when opaque, else blended at the
// mean alpha as one layer.
void PutGradient(HDC hdc, const RECT& rect, D::Image& layer, int alpha) {
    D::Dc src(&layer);
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (alpha >= 255) D::BitBlt(*hdc, rect.left, rect.top, w, h, src, 0, 0);
    else D::AlphaBlend(*hdc, rect.left, rect.top, w, h, src, 0, 0, w, h, {std::uint8_t(alpha), false});
}

}  // namespace

void MRender::DrawGradient(HDC hdc, const RECT& rect, DWORD from, DWORD to, bool vertical, int steps) {
    const int alpha = MeanAlpha(from, to);
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (!hdc || alpha == 0 || w <= 0 || h <= 0) return;
    // The smooth gradient fill exists here, so the banded form is not needed.
    D::Image layer(w, h);
    D::Dc dc(&layer);
    D::GradientFillRect(dc, D::Rect(0, 0, w, h), from | 0xFF000000, to | 0xFF000000, vertical);
    PutGradient(hdc, rect, layer, alpha);
    (void)steps;
}

int MRender::GradientBandCount(int steps) {
    int k = 6;
    if (steps < 4) k = 1;
    else if (steps < 8) k = 2;
    else if (steps < 16) k = 3;
    else if (steps < 32) k = 4;
    else if (steps < 64) k = 5;
    return 1 << k;
}

void MRender::DrawGradientBands(HDC hdc, const RECT& rect, DWORD from, DWORD to, bool vertical, int steps) {
    const int alpha = MeanAlpha(from, to);
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (!hdc || alpha == 0 || w <= 0 || h <= 0) return;
    const int bands = GradientBandCount(steps);
    const int span = vertical ? h : w;
    D::Image layer(w, h);
    D::Dc dc(&layer);
    for (int b = 0; b < bands; ++b) {
        const int a = b * span / bands, e = (b + 1) * span / bands;
        if (e <= a) continue;
        auto mix = [&](int shift) {
            const int c0 = int(from >> shift) & 0xFF, c1 = int(to >> shift) & 0xFF;
            return bands == 1 ? c0 : c0 + (c1 - c0) * b / (bands - 1);
        };
        const COLORREF c = D::MakeColorRef(mix(16), mix(8), mix(0));
        const D::Rect band = vertical ? D::Rect(0, a, w, e) : D::Rect(a, 0, e, h);
        D::FillSolidRect(dc, band, c);
    }
    PutGradient(hdc, rect, layer, alpha);
}

// --- Nine-grid ------------------------------------------------------------------------

namespace {

void Part(Gdiplus::Graphics& g, const D::Image& img, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
          int dh) {
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    g.DrawImage(img, D::Rect::FromXYWH(dx, dy, dw, dh), D::Rect::FromXYWH(sx, sy, sw, sh));
}

}  // namespace

void MRender::DrawImageFrame(Gdiplus::Graphics& g, Gdiplus::Image* image, CRect dest, int srcX, int srcY, int srcW,
                             int srcH, int corner) {
    DrawImageFrameMID(g, image, dest, srcX, srcY, srcW, srcH, corner, corner, corner, corner);
}

void MRender::DrawImageFrameMID(Gdiplus::Graphics& g, Gdiplus::Image* image, CRect dest, int sx, int sy, int sw,
                                int sh, int L, int T, int R, int B) {
    if (!image || image->IsNull()) return;
    const int l = dest.left, t = dest.top, r = dest.right, b = dest.bottom;
    const D::Image& img = *image;
    Part(g, img, sx, sy, L, T, l, t, L, T);                                       // top-left
    Part(g, img, sx, sy + T, L, sh - T - B, l, t + T, L, b - t - T - B);           // left
    Part(g, img, sx, sy + sh - B, L, B, l, b - B, L, B);                           // bottom-left
    Part(g, img, sx + L, sy, sw - L - R, T, l + L, t, r - l - L - R, T);           // top
    Part(g, img, sx + sw - R, sy, R, T, r - R, t, R, T);                           // top-right
    Part(g, img, sx + sw - R, sy + T, R, sh - T - B, r - R, t + T, R, b - t - T - B);  // right
    Part(g, img, sx + sw - R, sy + sh - B, R, B, r - R, b - B, R, B);              // bottom-right
    Part(g, img, sx + L, sy + sh - B, sw - L - R, B, l + L, b - B, r - l - L - R, B);  // bottom
    Part(g, img, sx + L, sy + T, sw - L - R, sh - T - B, l + L, t + T, r - l - L - R, b - t - T - B);  // centre
}

void MRender::DrawShowMode(Gdiplus::Graphics& g, Gdiplus::Image* image, int cellW, int cellH, CRect dest,
                           const ShowModeParams& m) {
    if (!image || image->IsNull() || cellW <= 0 || cellH <= 0 || dest.IsRectEmpty()) return;
    const D::Image& img = *image;
    switch (m.mode) {
    case SHOW_MODE_NORMAL: {
        const CPoint o = GetOriginPoint(dest.Width(), dest.Height(), cellW, cellH, m.hAlign, m.vAlign);
        g.DrawImage(img, D::Rect::FromXYWH(dest.left + o.x, dest.top + o.y, cellW, cellH),
                    D::Rect(0, 0, cellW, cellH));
        break;
    }
    case SHOW_MODE_TILE:
        for (int y = dest.top; y < dest.bottom; y += cellH)
            for (int x = dest.left; x < dest.right; x += cellW) {
                const int w = std::min(cellW, int(dest.right) - x), h = std::min(cellH, int(dest.bottom) - y);
                g.DrawImage(img, D::Rect::FromXYWH(x, y, w, h), D::Rect(0, 0, w, h));
            }
        break;
    case SHOW_MODE_STRETCH:
        g.DrawImage(img, dest.ToDraw(), D::Rect(0, 0, cellW, cellH));
        break;
    case SHOW_MODE_FRAME:
        DrawImageFrame(g, image, dest, 0, 0, cellW, cellH, m.corner);
        break;
    case SHOW_MODE_FRAME_MID:
        DrawImageFrameMID(g, image, dest, 0, 0, cellW, cellH, m.left, m.top, m.right, m.bottom);
        break;
    case SHOW_MODE_PART:
        if (!m.source.IsRectEmpty()) g.DrawImage(img, dest.ToDraw(), m.source.ToDraw());
        break;
    default:
        break;
    }
}

// --- Shapes -----------------------------------------------------------------------------

D::GraphicsPath MRender::RoundRectPath(float x, float y, float w, float h, float rx, float ry) {
    D::GraphicsPath path;
    if (rx <= 0 || ry <= 0) {
        path.AddRectangle(D::RectF(x, y, w, h));
        return path;
    }
    const float dx = std::min(2 * rx, w), dy = std::min(2 * ry, h);
    path.AddArc(x, y, dx, dy, 180, 90);
    path.AddLine(x + dx / 2, y, x + w - dx / 2, y);
    path.AddArc(x + w - dx, y, dx, dy, 270, 90);
    path.AddLine(x + w, y + dy / 2, x + w, y + h - dy / 2);
    path.AddArc(x + w - dx, y + h - dy, dx, dy, 0, 90);
    path.AddLine(x + w - dx / 2, y + h, x + dx / 2, y + h);
    path.AddArc(x, y + h - dy, dx, dy, 90, 90);
    path.CloseFigure();
    return path;
}

void MRender::DrawRoundRectange(Gdiplus::Graphics& g, int x, int y, int w, int h, int r, Gdiplus::Color fill) {
    g.FillPath(D::Brush::Solid(fill.GetValue()), RoundRectPath(float(x), float(y), float(w), float(h), float(r),
                                                               float(r)));
}

void MRender::DrawRoundRectange(Gdiplus::Graphics& g, int x, int y, int w, int h, int r, Gdiplus::Color pen,
                                float penWidth, bool fill, Gdiplus::Color fillColour) {
    // The corner radii follow the rectangle's proportions: w / 2r and h / 2r, both
    // the smaller one when they differ by more than 10.
    float rx = 0, ry = 0;
    if (r > 0) {
        rx = float(w) / float(2 * r);
        ry = float(h) / float(2 * r);
        if (std::fabs(rx - ry) > 10) rx = ry = std::min(rx, ry);
    }
    const D::GraphicsPath path = RoundRectPath(float(x), float(y), float(w), float(h), rx, ry);
    if (fill) g.FillPath(D::Brush::Solid(fillColour.GetValue()), path);
    g.DrawPath(D::Pen(pen.GetValue(), penWidth), path);
}

CPoint MRender::GetOriginPoint(int W, int H, int w, int h, UINT hAlign, UINT vAlign) {
    const int x = hAlign == 1 ? (W - w) / 2 : hAlign == 2 ? W - w : 0;
    const int y = vAlign == 4 ? (H - h) / 2 : vAlign == 8 ? H - h : 0;
    return CPoint(x, y);
}

CPoint MRender::GetOriginPoint(CRect c, int w, int h, UINT hAlign, UINT vAlign) {
    const CPoint o = GetOriginPoint(c.Width(), c.Height(), w, h, hAlign, vAlign);
    return CPoint(c.left + o.x, c.top + o.y + 2);
}

// --- Transitions ---------------------------------------------------------------------------

int MRender::TransitionAlpha(int line, int lines, int from, int to) {
    const int S = (100 - from) * 255 / 100;
    const int E = (100 - to) * 255 / 100;
    return lines > 0 ? S + line * (E - S) / lines : 255;
}

int MRender::DrawVerticalTransition(HDC& dst, HDC& src, CRect dstRect, CRect srcRect, int from, int to) {
    const int n = dstRect.Height();
    if (!dst || !src || n <= 0 || dstRect.Width() <= 0) return 255;
    int alpha = 255;
    for (int i = 0; i < n; ++i) {
        alpha = std::clamp(TransitionAlpha(i, n, from, to), 0, 255);
        const int sy = srcRect.top + (srcRect.Height() > 0 ? i * srcRect.Height() / n : i);
        D::AlphaBlend(*dst, dstRect.left, dstRect.top + i, dstRect.Width(), 1, *src, srcRect.left, sy,
                      std::max(1, int(srcRect.Width())), 1, {std::uint8_t(alpha), false});
    }
    return alpha;
}

int MRender::DrawHorizontalTransition(HDC& dst, HDC& src, CRect dstRect, CRect srcRect, int from, int to) {
    const int n = dstRect.Width();
    if (!dst || !src || n <= 0 || dstRect.Height() <= 0) return 255;
    int alpha = 255;
    for (int i = 0; i < n; ++i) {
        alpha = std::clamp(TransitionAlpha(i, n, from, to), 0, 255);
        const int sx = srcRect.left + (srcRect.Width() > 0 ? i * srcRect.Width() / n : i);
        D::AlphaBlend(*dst, dstRect.left + i, dstRect.top, 1, dstRect.Height(), *src, sx, srcRect.top, 1,
                      std::max(1, int(srcRect.Height())), {std::uint8_t(alpha), false});
    }
    return alpha;
}

void MRender::DrawRightBottomTransition(HDC& dst, HDC& src, CRect rect, int size, DWORD) {
    if (!dst || !src || size <= 0) return;
    const int w = rect.Width(), h = rect.Height();
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            const double d = std::min<double>(size, std::sqrt(double(i * i + j * j)));
            const int alpha = std::clamp(int(255.0 - 255.0 / size * d), 0, 255);
            const int x = w - size + i, y = h - size + j;
            D::AlphaBlend(*dst, x, y, 1, 1, *src, x, y, 1, 1, {std::uint8_t(alpha), false});
        }
}

// --- State cells -----------------------------------------------------------------------------

void MRender::RebuildStateCells(MControl& control, HDC& target, int count, const CellPainter& drawCell) {
    const CRect r = control.GetRect();
    const int w = r.Width(), h = r.Height();
    if (w <= 0 || h <= 0 || count <= 0) return;
    control.UpdateMemDC(target, count * w, h);
    MemoryDC& mem = control.GetMemDC();
    if (!mem.bitmap) return;
    HDC memDC = &mem.dc;
    for (int i = 0; i < count; ++i) {
        // The background under the control shows through the skin's transparent parts.
        if (target) D::BitBlt(mem.dc, i * w, 0, w, h, *target, r.left, r.top);
        else mem.bitmap->Fill(0);
        const CRect cell(i * w, 0, (i + 1) * w, h);
        mem.dc.SetClip(cell.ToDraw());
        {
            D::Graphics g(mem.dc);
            if (drawCell) drawCell(memDC, g, cell, i);
        }
        mem.dc.ClearClip();
    }
}

void MRender::CopyStateCell(MControl& control, HDC& target, int index) {
    MemoryDC& mem = control.GetMemDC();
    if (!target || !mem.bitmap) return;
    const CRect r = control.GetRect();
    D::BitBlt(*target, r.left, r.top, r.Width(), r.Height(), mem.dc, index * r.Width(), 0);
}

void MRender::DrawSkinCell(Gdiplus::Graphics& g, Gdiplus::Image* strip, int cellW, int cellH, int index,
                           CRect dest, int corner) {
    if (!strip || strip->IsNull() || cellW <= 0 || cellH <= 0 || index < 0) return;
    const int sx = index * cellW;
    if (sx + cellW > strip->Width()) return;
    if (corner < 0) {
        g.DrawImage(*strip, D::Rect::FromXYWH(dest.left, dest.top, cellW, cellH), D::Rect::FromXYWH(sx, 0, cellW, cellH));
        return;
    }
    DrawImageFrame(g, strip, dest, sx, 0, cellW, cellH, corner);
}

// --- Surfaces ------------------------------------------------------------------------------------

HDC MRender::CreateCompatibleDC(HDC) { return new D::Dc(); }
void MRender::DeleteDC(HDC hdc) { delete hdc; }
HBITMAP MRender::CreateCompatibleBitmap(HDC, int w, int h) {
    if (w <= 0 || h <= 0) return nullptr;
    return new D::Image(w, h);
}
void MRender::DeleteObject(HBITMAP bitmap) { delete bitmap; }

BOOL MRender::BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    if (!dst || !src) return FALSE;
    return D::BitBlt(*dst, x, y, w, h, *src, sx, sy, rop) ? TRUE : FALSE;
}

HBITMAP MRender::CreateARGB32Bitmap(HDC, int w, int h, BYTE** bits) {
    if (w <= 0 || h <= 0) return nullptr;
    auto* image = new D::Image(w, h);
    if (image->IsNull()) {
        delete image;
        return nullptr;
    }
    if (bits) *bits = reinterpret_cast<BYTE*>(image->Bits());
    return image;
}

BOOL MRender::SaveBitmapToFile(HBITMAP bitmap, const CString& path) {
    if (!bitmap) return FALSE;
    return bitmap->SaveBmp(path, 24) ? TRUE : FALSE;
}

}  // namespace TesselUI
