#include "MDialog.h"

#include "platform/window/Window.h"

namespace TesselUI {

namespace W = platform;

MDialog::MDialog() = default;

MDialog::~MDialog() {
    // The window goes while the dialog is still whole, so its last messages
    // (WM_DESTROY, WM_NCDESTROY) reach a complete object.
    if (GetSafeHwnd()) {
        if (W::GetWindowThreadProcessId(hwnd_, nullptr) == W::GetCurrentThreadId()) {
            W::DestroyWindow(hwnd_);
        } else {
            W::SetWindowLongPtrW(hwnd_, W::GWLP_USERDATA, 0);
            W::DestroyWindow(hwnd_);
            hwnd_ = nullptr;
        }
    }
    paintManager_.DestroyData();
}

CPoint MDialog::GetAirBladderPoint(MControl* control, UINT placement) {
    if (!control) return CPoint(0, 0);
    const CRect r = control->GetRect();
    POINT p{r.left, r.bottom};
    if (placement == 1) p.x = (r.left + r.right) / 2;
    if (placement == 2) p.x = r.right;
    ClientToScreen(&p);
    return CPoint(p);
}

void MDialog::OnMinimize() { ShowWindow(W::SW_MINIMIZE); }

void MDialog::OnMaximize() { ShowWindow(IsZoomed() ? W::SW_RESTORE : W::SW_MAXIMIZE); }

LRESULT MDialog::OnUserCloseWindow(WPARAM w, LPARAM l) {
    PostMessageW(W::WM_CLOSE, w, l);
    return 1;
}

LRESULT MDialog::OnCreate(CREATESTRUCTW*) {
    // No caption and no sizing frame: the skin draws the whole window.
    const DWORD style = static_cast<DWORD>(W::GetWindowLongPtrW(hwnd_, W::GWL_STYLE));
    W::SetWindowLongPtrW(hwnd_, W::GWL_STYLE, static_cast<std::intptr_t>((style & 0xFF3BFFFF) | 0x06000008));
    return 0;
}

LRESULT MDialog::OnSize(UINT type, int, int) {
    if (type == W::SIZE_MINIMIZED) return 0;
    SetupBackTranslucent();
    RECT r;
    if (!GetClientRect(&r)) return 0;
    clientRect_ = r;
    if (clientRect_.Width() > 1 && clientRect_.Height() > 1) UISize(clientRect_);
    InvalidateRect(nullptr, FALSE);
    return 0;
}

void MDialog::SetupBackTranslucent() {
    if (!GetSafeHwnd()) return;
    if (alpha_ < 255) {
        ModifyExStyle(0, W::WS_EX_LAYERED);
        W::SetLayeredWindowAttributes(hwnd_, 0, alpha_, W::LWA_ALPHA);
    } else if (colorKey_ != 0xFFFFFF) {
        ModifyExStyle(0, W::WS_EX_LAYERED);
        W::SetLayeredWindowAttributes(hwnd_, colorKey_, 255, W::LWA_COLORKEY);
    }
}

BOOL MDialog::OnInitDialog() {
    paintManager_.Init(hwnd_, this);
    RECT r;
    GetClientRect(&r);
    clientRect_ = r;
    InitUI(clientRect_);
    return TRUE;
}

void MDialog::OnDestroyMessage(HWND) { PostNcDestroy(); }

BOOL MDialog::SetAirBladderMsg(const wchar_t* text, POINT point, AIRBLADDER_TYPE type) {
    if (point.x == 0 || point.y == 0) return FALSE;
    return paintManager_.SetAirBladderMsg(text, point, type);
}

void MDialog::SetMessage(const CString& text, CRect rect, MsgLevel level) {
    if (rect.IsRectEmpty()) {
        const CRect c = paintManager_.GetClientRect();
        const int left = c.left + (c.Width() - 200) / 2;
        rect = CRect(left, c.bottom - 60 + messageOffset_, left + 200, c.bottom - 2 + messageOffset_);
    }
    paintManager_.SetMessage(text, rect, level);
}

LRESULT MDialog::OnWindowMessage(UINT msg, WPARAM w, LPARAM l) {
    const CPoint point(l);
    switch (msg) {
    case W::WM_CREATE: OnCreate(reinterpret_cast<CREATESTRUCTW*>(l)); break;
    case W::WM_DESTROY: OnDestroy(); break;
    case W::WM_SIZE: OnSize(static_cast<UINT>(w), point.x & 0xFFFF, (l >> 16) & 0xFFFF); break;
    case W::WM_PAINT: OnPaint(); break;
    case W::WM_CLOSE: OnClose(); break;
    case W::WM_WINDOWPOSCHANGING: OnWindowPosChanging(reinterpret_cast<void*>(l)); break;
    case W::WM_WINDOWPOSCHANGED: OnWindowPosChanged(reinterpret_cast<void*>(l)); break;
    case W::WM_NCACTIVATE: OnNcActivate(static_cast<int>(w)); break;
    case W::WM_TIMER: OnTimer(static_cast<UINT>(w)); break;
    case W::WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(w), point); break;
    case W::WM_MOUSEHOVER: OnMouseHover(static_cast<UINT>(w), point); break;
    case W::WM_MOUSELEAVE: OnMouseLeave(); break;
    case W::WM_MOUSEWHEEL: OnMouseWheel(W::LOWORD(w), W::GET_WHEEL_DELTA_WPARAM(w), point); break;
    case W::WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(w), point); break;
    case W::WM_LBUTTONUP: OnLButtonUp(static_cast<UINT>(w), point); break;
    case W::WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<UINT>(w), point); break;
    case W::WM_RBUTTONDOWN: OnRButtonDown(static_cast<UINT>(w), point); break;
    case W::WM_RBUTTONUP: OnRButtonUp(static_cast<UINT>(w), point); break;
    case W::WM_RBUTTONDBLCLK: OnRButtonDblClk(static_cast<UINT>(w), point); break;
    case W::WM_KEYDOWN: OnKeyDown(static_cast<UINT>(w), static_cast<UINT>(l & 0xFFFF), static_cast<UINT>(l >> 16)); break;
    case W::WM_NCHITTEST: OnNcHitTest(point); break;
    case W::WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(l)); break;
    case W::WM_NCCALCSIZE: OnNcCalcSize(static_cast<int>(w), reinterpret_cast<void*>(l)); break;
    case W::WM_NCPAINT: OnNcPaint(); break;
    case W::WM_ERASEBKGND: return 1;
    case WM_TESSEL_RESULT: return OnUserCloseWindow(w, l);
    default: break;
    }
    if (const LRESULT r = paintManager_.OnWindowMessage(msg, w, l)) return r;
    return CallPrevProc(msg, w, l);
}

}  // namespace TesselUI
