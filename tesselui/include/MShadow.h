// MShadow: an optional drop shadow, a click-through layered popup that follows
// its dialog (hidden with it, moved and resized with it, just below it in z-order,
// destroyed with it). The shadow is either a skin image drawn as a nine-grid or
// computed from size, sharpness, darkness, offset and colour. Out-of-range
// settings and images that do not load are refused with 0 and change nothing.
// Thread: the dialog's thread.
#pragma once

#include <memory>

#include "MWindow.h"

namespace TesselUI {

class MShadow : public MWindow {
public:
    explicit MShadow(HWND owner);
    ~MShadow() override;

    BOOL CreateShadowWindow();
    // Follows the owner: position, size and visibility; redraws the shadow.
    void Follow();

    BOOL SetSize(int size);             // -35 .. 35, default 0
    BOOL SetSharpness(UINT sharpness);  // 0 .. 35, default 5
    BOOL SetDarkness(UINT darkness);    // 0 .. 255, default 150
    BOOL SetPosition(int x, int y);     // each -35 .. 35, default 5, 5
    BOOL SetColor(COLORREF colour);
    void SetShow(BOOL show);
    // The skin image (skin folder + name) drawn as a nine-grid over a shadow window
    // that reaches corner.left / top / right / bottom pixels beyond the dialog on
    // each side; those are also the image's fixed border widths. Replaces the
    // computed shadow. FALSE (nothing changes) when the image does not load or the
    // borders are negative or do not fit the image.
    BOOL SetShadowImage(const wchar_t* name, CRect corner);
    // The same with an image already decoded (the caller hands it over).
    BOOL SetShadowImage(std::unique_ptr<Gdiplus::Image> image, CRect corner);
    const Gdiplus::Image* GetShadowImage() const { return image_.get(); }
    int GetSize() const { return size_; }
    UINT GetSharpness() const { return sharpness_; }
    UINT GetDarkness() const { return darkness_; }
    CPoint GetPosition() const { return CPoint(x_, y_); }

    const wchar_t* GetWindowClassName() const override { return L"ShadowWnd"; }
    LRESULT OnWindowMessage(UINT msg, WPARAM w, LPARAM l) override;

private:
    void Render();
    void RenderImage(int w, int h);

    HWND owner_;
    int size_ = 0;
    UINT sharpness_ = 5;
    UINT darkness_ = 150;
    int x_ = 5;
    int y_ = 5;
    COLORREF colour_ = 0;
    BOOL show_ = TRUE;
    std::unique_ptr<Gdiplus::Image> image_;
    CRect corner_;
};

}  // namespace TesselUI
