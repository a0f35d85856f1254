// MShadow: an optional drop shadow, a click-through layered popup that follows
// its dialog (hidden with it, moved and resized with it, just below it in z-order,
// destroyed with it). The shadow is computed from size, sharpness, darkness,
// offset and colour. Out-of-range settings are refused with 0 and change nothing.
// Thread: the dialog's thread.
#pragma once

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
    int GetSize() const { return size_; }
    UINT GetSharpness() const { return sharpness_; }
    UINT GetDarkness() const { return darkness_; }
    CPoint GetPosition() const { return CPoint(x_, y_); }

    const wchar_t* GetWindowClassName() const override { return L"ShadowWnd"; }
    LRESULT OnWindowMessage(UINT msg, WPARAM w, LPARAM l) override;

private:
    void Render();

    HWND owner_;
    int size_ = 0;
    UINT sharpness_ = 5;
    UINT darkness_ = 150;
    int x_ = 5;
    int y_ = 5;
    COLORREF colour_ = 0;
    BOOL show_ = TRUE;
};

}  // namespace TesselUI
