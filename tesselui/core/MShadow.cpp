#include "MShadow.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Manager.h"
#include "platform/draw/Graphics.h"
#include "platform/window/Window.h"

namespace TesselUI {

namespace W = platform;

MShadow::MShadow(HWND owner) : owner_(owner) {}

MShadow::~MShadow() { DestroyWindow(); }

BOOL MShadow::CreateShadowWindow() {
    RECT r{};
    W::GetWindowRect(owner_, &r);
    const DWORD ex = W::WS_EX_LAYERED | W::WS_EX_TRANSPARENT | W::WS_EX_TOOLWINDOW | W::WS_EX_NOACTIVATE;
    return Create(owner_, L"", W::WS_POPUP, ex, CRect(r)) ? TRUE : FALSE;
}

BOOL MShadow::SetSize(int size) {
    if (size < -35 || size > 35) return FALSE;
    size_ = size;
    Follow();
    return TRUE;
}

BOOL MShadow::SetSharpness(UINT sharpness) {
    if (sharpness > 35) return FALSE;
    sharpness_ = sharpness;
    Follow();
    return TRUE;
}

BOOL MShadow::SetDarkness(UINT darkness) {
    if (darkness > 255) return FALSE;
    darkness_ = darkness;
    Follow();
    return TRUE;
}

BOOL MShadow::SetPosition(int x, int y) {
    if (x < -35 || x > 35 || y < -35 || y > 35) return FALSE;
    x_ = x;
    y_ = y;
    Follow();
    return TRUE;
}

BOOL MShadow::SetColor(COLORREF colour) {
    colour_ = colour & 0xFFFFFF;
    Follow();
    return TRUE;
}

void MShadow::SetShow(BOOL show) {
    show_ = show;
    Follow();
}

BOOL MShadow::SetShadowImage(const wchar_t* name, CRect corner) {
    if (!name || !*name) return FALSE;
    std::wstring path = name;
    std::replace(path.begin(), path.end(), L'\\', L'/');
    return SetShadowImage(platform::draw::Image::FromFile(Manager::GetSkinDir() + path), corner);
}

BOOL MShadow::SetShadowImage(std::unique_ptr<Gdiplus::Image> image, CRect corner) {
    if (!image || image->IsNull()) return FALSE;
    if (corner.left < 0 || corner.top < 0 || corner.right < 0 || corner.bottom < 0) return FALSE;
    if (corner.left + corner.right > image->Width() || corner.top + corner.bottom > image->Height()) return FALSE;
    image_ = std::move(image);
    corner_ = corner;
    Follow();
    return TRUE;
}

void MShadow::Follow() {
    if (!GetSafeHwnd()) return;
    const bool visible = show_ && W::IsWindowVisible(owner_) && !W::IsIconic(owner_);
    if (!visible) {
        W::ShowWindow(hwnd_, W::SW_HIDE);
        return;
    }
    RECT r{};
    W::GetWindowRect(owner_, &r);
    if (image_) {
        W::SetWindowPos(hwnd_, nullptr, r.left - corner_.left, r.top - corner_.top,
                        (r.right - r.left) + corner_.left + corner_.right,
                        (r.bottom - r.top) + corner_.top + corner_.bottom, W::SWP_NOACTIVATE | W::SWP_NOZORDER);
        Render();
        W::ShowWindow(hwnd_, W::SW_SHOWNA);
        return;
    }
    const int grow = size_ + static_cast<int>(sharpness_);
    W::SetWindowPos(hwnd_, nullptr, r.left + x_ - grow, r.top + y_ - grow, (r.right - r.left) + 2 * grow,
                    (r.bottom - r.top) + 2 * grow, W::SWP_NOACTIVATE | W::SWP_NOZORDER);
    Render();
    W::ShowWindow(hwnd_, W::SW_SHOWNA);
}

void MShadow::Render() {
    RECT r{};
    W::GetClientRect(hwnd_, &r);
    const int w = r.right, h = r.bottom;
    if (w <= 0 || h <= 0) return;
    if (image_) {
        RenderImage(w, h);
        return;
    }
    // Solid darkness inside, fading over `sharpness` pixels at the edge.
    const int fade = std::max(1, static_cast<int>(sharpness_));
    std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * h);
    const int red = colour_ & 0xFF, green = (colour_ >> 8) & 0xFF, blue = (colour_ >> 16) & 0xFF;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int d = std::min({x, y, w - 1 - x, h - 1 - y});
            const double k = std::min(1.0, (d + 1) / static_cast<double>(fade));
            const int a = static_cast<int>(darkness_ * k * k);
            pixels[static_cast<size_t>(y) * w + x] = (static_cast<std::uint32_t>(a) << 24) |
                                                     (static_cast<std::uint32_t>(red * a / 255) << 16) |
                                                     (static_cast<std::uint32_t>(green * a / 255) << 8) |
                                                     static_cast<std::uint32_t>(blue * a / 255);
        }
    W::UpdateLayeredWindowPixels(hwnd_, pixels.data(), w, h, w * 4, false, 255);
}

// The nine-grid: corners at their own size, edges stretched along, the centre
// (hidden under the dialog) stretched both ways.
void MShadow::RenderImage(int w, int h) {
    namespace D = platform::draw;
    D::Image canvas(w, h);
    {
        D::Graphics g(canvas);
        const D::Image& img = *image_;
        const int iw = img.Width(), ih = img.Height();
        const int L = corner_.left, T = corner_.top, R = corner_.right, B = corner_.bottom;
        const int srcX[3] = {0, L, iw - R}, srcW[3] = {L, iw - L - R, R};
        const int srcY[3] = {0, T, ih - B}, srcH[3] = {T, ih - T - B, B};
        const int dstX[3] = {0, L, w - R}, dstW[3] = {L, w - L - R, R};
        const int dstY[3] = {0, T, h - B}, dstH[3] = {T, h - T - B, B};
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) {
                if (srcW[col] <= 0 || srcH[row] <= 0 || dstW[col] <= 0 || dstH[row] <= 0) continue;
                g.DrawImage(img, D::Rect::FromXYWH(dstX[col], dstY[row], dstW[col], dstH[row]),
                            D::Rect::FromXYWH(srcX[col], srcY[row], srcW[col], srcH[row]));
            }
    }
    W::UpdateLayeredWindowPixels(hwnd_, canvas.Bits(), w, h, canvas.Stride(), false, 255);
}

LRESULT MShadow::OnWindowMessage(UINT msg, WPARAM w, LPARAM l) {
    if (msg == W::WM_PAINT) {
        W::ValidateRect(hwnd_, nullptr);
        return 0;
    }
    return MWindow::OnWindowMessage(msg, w, l);
}

}  // namespace TesselUI
