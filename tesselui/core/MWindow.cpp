#include "MWindow.h"

#include <algorithm>

#include "Manager.h"
#include "platform/window/Window.h"

namespace TesselUI {

namespace W = platform;

MWindow::MWindow() { Manager::AddWnd(this); }

MWindow::~MWindow() {
    Manager::DeleteWnd(this);
    if (hwnd_ && W::IsWindow(hwnd_)) {
        // Detach first: whatever still reaches the window must not find this object.
        W::SetWindowLongPtrW(hwnd_, W::GWLP_USERDATA, 0);
        W::RemovePropW(hwnd_, L"Control");
        W::DestroyWindow(hwnd_);
    }
    hwnd_ = nullptr;
}

MWindow* MWindow::FromHandle(HWND hwnd) {
    if (auto* w = reinterpret_cast<MWindow*>(W::GetWindowLongPtrW(hwnd, W::GWLP_USERDATA))) return w;
    return static_cast<MWindow*>(W::GetPropW(hwnd, L"Control"));
}

LRESULT MWindow::WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    MWindow* self = nullptr;
    if (msg == W::WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
        self = cs ? static_cast<MWindow*>(cs->lpCreateParams) : nullptr;
        if (self) {
            W::SetWindowLongPtrW(hwnd, W::GWLP_USERDATA, reinterpret_cast<std::intptr_t>(self));
            self->hwnd_ = hwnd;
        }
    } else {
        self = reinterpret_cast<MWindow*>(W::GetWindowLongPtrW(hwnd, W::GWLP_USERDATA));
    }
    if (!self) return W::DefWindowProcW(hwnd, msg, w, l);
    if (msg == W::WM_NCDESTROY) {
        const LRESULT r = self->OnWindowMessage(msg, w, l);
        W::SetWindowLongPtrW(hwnd, W::GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnDestroyMessage(hwnd);
        return r;
    }
    return self->OnWindowMessage(msg, w, l);
}

LRESULT MWindow::ControlProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    MWindow* self = nullptr;
    if (msg == W::WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
        self = cs ? static_cast<MWindow*>(cs->lpCreateParams) : nullptr;
        if (self) {
            W::SetPropW(hwnd, L"Control", self);
            self->hwnd_ = hwnd;
        }
    } else {
        self = static_cast<MWindow*>(W::GetPropW(hwnd, L"Control"));
    }
    if (!self) return W::DefWindowProcW(hwnd, msg, w, l);
    if (msg == W::WM_NCDESTROY) {
        const LRESULT r = self->CallPrevProc(msg, w, l);
        W::RemovePropW(hwnd, L"Control");
        self->hwnd_ = nullptr;
        self->OnDestroyMessage(hwnd);
        return r;
    }
    return self->OnWindowMessage(msg, w, l);
}

LRESULT MWindow::CallPrevProc(UINT msg, WPARAM w, LPARAM l) {
    return W::CallWindowProcW(prevProc_, hwnd_, msg, w, l);
}

LRESULT MWindow::OnWindowMessage(UINT msg, WPARAM w, LPARAM l) { return CallPrevProc(msg, w, l); }

BOOL MWindow::RegisterWindowClass() {
    W::WNDCLASSEXW cls;
    cls.style = W::CS_HREDRAW | W::CS_VREDRAW | W::CS_DBLCLKS;
    cls.lpfnWndProc = &MWindow::WndProc;
    cls.hInstance = Manager::GetInstance();
    cls.lpszClassName = GetWindowClassName();
    prevProc_ = &W::DefWindowProcW;
    return W::RegisterClassExW(&cls) != 0 ? TRUE : FALSE;
}

BOOL MWindow::RegisterSuperClass() {
    W::WNDCLASSEXW base;
    if (!W::GetClassInfoExW(nullptr, GetSuperClassName(), &base) &&
        !W::GetClassInfoExW(Manager::GetInstance(), GetSuperClassName(), &base))
        return FALSE;
    prevProc_ = base.lpfnWndProc;
    W::WNDCLASSEXW cls = base;
    cls.lpfnWndProc = &MWindow::ControlProc;
    cls.hInstance = Manager::GetInstance();
    cls.lpszClassName = GetWindowClassName();
    return W::RegisterClassExW(&cls) != 0 ? TRUE : FALSE;
}

HWND MWindow::Create(HWND parent) { return Create(parent, L"TesselClient", 0x0000080B, 0, CRect(0, 0, 800, 600)); }

HWND MWindow::Create(HWND parent, CRect rect) { return Create(parent, L"TesselClient", 0x0000080B, 0, rect); }

HWND MWindow::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, CRect rect, HMENU menu) {
    if (GetSafeHwnd()) return hwnd_;
    parent_ = parent;
    const BOOL registered = GetSuperClassName() ? RegisterSuperClass() : RegisterWindowClass();
    if (!registered) return nullptr;
    HWND hwnd = W::CreateWindowExW(exStyle, GetWindowClassName(), name, style, rect.left, rect.top, rect.Width(),
                                   rect.Height(), parent, menu, Manager::GetInstance(), this);
    if (!hwnd) return nullptr;
    hwnd_ = hwnd;
    OnInitDialog();
    return hwnd_;
}

HWND MWindow::GetSafeHwnd() const { return (hwnd_ && W::IsWindow(hwnd_)) ? hwnd_ : nullptr; }

BOOL MWindow::ShowWindow(int cmd) { return GetSafeHwnd() ? W::ShowWindow(hwnd_, cmd) : FALSE; }

DWORD MWindow::GetStyle() const {
    return GetSafeHwnd() ? static_cast<DWORD>(W::GetWindowLongPtrW(hwnd_, W::GWL_STYLE)) : 0;
}

DWORD MWindow::GetExStyle() const {
    return GetSafeHwnd() ? static_cast<DWORD>(W::GetWindowLongPtrW(hwnd_, W::GWL_EXSTYLE)) : 0;
}

BOOL MWindow::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    if (!GetSafeHwnd()) return FALSE;
    const DWORD old = GetStyle();
    const DWORD next = (old & ~remove) | add;
    if (next == old) return FALSE;
    W::SetWindowLongPtrW(hwnd_, W::GWL_STYLE, static_cast<std::intptr_t>(next));
    if (swpFlags)
        W::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                        W::SWP_NOSIZE | W::SWP_NOMOVE | W::SWP_NOZORDER | W::SWP_NOACTIVATE | W::SWP_FRAMECHANGED |
                            swpFlags);
    return TRUE;
}

BOOL MWindow::ModifyExStyle(DWORD remove, DWORD add, UINT swpFlags) {
    if (!GetSafeHwnd()) return FALSE;
    const DWORD old = GetExStyle();
    const DWORD next = (old & ~remove) | add;
    if (next == old) return FALSE;
    W::SetWindowLongPtrW(hwnd_, W::GWL_EXSTYLE, static_cast<std::intptr_t>(next));
    if (swpFlags)
        W::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                        W::SWP_NOSIZE | W::SWP_NOMOVE | W::SWP_NOZORDER | W::SWP_NOACTIVATE | W::SWP_FRAMECHANGED |
                            swpFlags);
    return TRUE;
}

BOOL MWindow::GetClientRect(RECT* rect) const { return GetSafeHwnd() ? W::GetClientRect(hwnd_, rect) : FALSE; }
BOOL MWindow::GetWindowRect(RECT* rect) const { return GetSafeHwnd() ? W::GetWindowRect(hwnd_, rect) : FALSE; }
BOOL MWindow::SetWindowTextW(const wchar_t* text) { return GetSafeHwnd() ? W::SetWindowTextW(hwnd_, text) : FALSE; }
int MWindow::GetWindowTextW(wchar_t* buffer, int size) const {
    return GetSafeHwnd() ? W::GetWindowTextW(hwnd_, buffer, size) : 0;
}
int MWindow::GetWindowTextLengthW() const { return GetSafeHwnd() ? W::GetWindowTextLengthW(hwnd_) : -1; }
BOOL MWindow::EnableWindow(BOOL enable) { return GetSafeHwnd() ? W::EnableWindow(hwnd_, enable) : FALSE; }
BOOL MWindow::IsWindowEnabled() const { return GetSafeHwnd() ? W::IsWindowEnabled(hwnd_) : FALSE; }
BOOL MWindow::IsWindowVisible() const { return GetSafeHwnd() ? W::IsWindowVisible(hwnd_) : FALSE; }
BOOL MWindow::IsIconic() const { return GetSafeHwnd() ? W::IsIconic(hwnd_) : FALSE; }
BOOL MWindow::IsZoomed() const { return GetSafeHwnd() ? W::IsZoomed(hwnd_) : FALSE; }
BOOL MWindow::InvalidateRect(const RECT* rect, BOOL erase) {
    return GetSafeHwnd() ? W::InvalidateRect(hwnd_, rect, erase) : FALSE;
}
HWND MWindow::SetCapture() { return GetSafeHwnd() ? W::SetCapture(hwnd_) : nullptr; }
BOOL MWindow::ReleaseCapture() { return GetSafeHwnd() ? W::ReleaseCapture() : FALSE; }
HWND MWindow::SetFocus() { return GetSafeHwnd() ? W::SetFocus(hwnd_) : nullptr; }
UINT_PTR MWindow::SetTimer(UINT_PTR id, UINT ms) { return GetSafeHwnd() ? W::SetTimer(hwnd_, id, ms, nullptr) : 0; }
BOOL MWindow::KillTimer(UINT_PTR id) { return GetSafeHwnd() ? W::KillTimer(hwnd_, id) : FALSE; }
BOOL MWindow::ClientToScreen(POINT* p) const { return GetSafeHwnd() ? W::ClientToScreen(hwnd_, p) : FALSE; }
BOOL MWindow::ScreenToClient(POINT* p) const { return GetSafeHwnd() ? W::ScreenToClient(hwnd_, p) : FALSE; }
BOOL MWindow::ClientToScreen(RECT* r) const {
    if (!GetSafeHwnd() || !r) return FALSE;
    POINT a{r->left, r->top}, b{r->right, r->bottom};
    W::ClientToScreen(hwnd_, &a);
    W::ClientToScreen(hwnd_, &b);
    *r = RECT{a.x, a.y, b.x, b.y};
    return TRUE;
}
BOOL MWindow::ScreenToClient(RECT* r) const {
    if (!GetSafeHwnd() || !r) return FALSE;
    POINT a{r->left, r->top}, b{r->right, r->bottom};
    W::ScreenToClient(hwnd_, &a);
    W::ScreenToClient(hwnd_, &b);
    *r = RECT{a.x, a.y, b.x, b.y};
    return TRUE;
}
BOOL MWindow::SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
    return GetSafeHwnd() ? W::SetWindowPos(hwnd_, after, x, y, cx, cy, flags) : FALSE;
}
BOOL MWindow::MoveWindow(int x, int y, int w, int h, BOOL repaint) {
    return GetSafeHwnd() ? W::MoveWindow(hwnd_, x, y, w, h, repaint) : FALSE;
}
BOOL MWindow::DestroyWindow() { return GetSafeHwnd() ? W::DestroyWindow(hwnd_) : FALSE; }
LRESULT MWindow::SendMessageW(UINT msg, WPARAM w, LPARAM l) {
    return GetSafeHwnd() ? W::SendMessageW(hwnd_, msg, w, l) : 0;
}
BOOL MWindow::PostMessageW(UINT msg, WPARAM w, LPARAM l) {
    // hwnd_ is read once: another thread may end the dialog while it closes.
    HWND h = hwnd_;
    return h ? W::PostMessageW(h, msg, w, l) : FALSE;
}

void MWindow::CenterWindow(MWindow* over) {
    if (!GetSafeHwnd()) return;
    RECT mine;
    W::GetWindowRect(hwnd_, &mine);
    const int w = mine.right - mine.left, h = mine.bottom - mine.top;
    HWND reference = over ? over->GetSafeHwnd() : nullptr;
    if (!reference) {
        HWND owner = W::GetParent(hwnd_);
        if (owner && W::IsWindowVisible(owner) && !W::IsIconic(owner)) reference = owner;
    }
    const POINT mid{(mine.left + mine.right) / 2, (mine.top + mine.bottom) / 2};
    RECT work = W::GetWorkAreaNear(mid);
    RECT target = work;
    if (reference) W::GetWindowRect(reference, &target);
    if (reference) work = W::GetWorkAreaNear(POINT{(target.left + target.right) / 2, (target.top + target.bottom) / 2});
    int x = (target.left + target.right) / 2 - w / 2;
    int y = (target.top + target.bottom) / 2 - h / 2;
    if (x + w > work.right) x = work.right - w;
    if (y + h > work.bottom) y = work.bottom - h;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    W::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, W::SWP_NOSIZE | W::SWP_NOZORDER | W::SWP_NOACTIVATE);
}

void MWindow::BringToTop() {
    if (!GetSafeHwnd()) return;
    W::SetForegroundWindow(hwnd_);
    W::ShowWindow(hwnd_, W::IsIconic(hwnd_) ? W::SW_RESTORE : W::SW_SHOW);
}

int MWindow::ShowModal(int showCmd) {
    HWND self = GetSafeHwnd();
    if (!self) return -1;
    ShowWindow(showCmd);
    HWND owner = W::GetWindow(self, W::GW_OWNER);
    if (owner) W::EnableWindow(owner, FALSE);
    bool ownerBack = false;
    auto giveBack = [&] {
        if (ownerBack || !owner) return;
        ownerBack = true;
        W::EnableWindow(owner, TRUE);
        W::SetFocus(owner);
    };
    int result = 0;
    bool quit = false;
    int quitCode = 0;
    while (W::IsWindow(self)) {
        MSG msg;
        if (!W::GetMessageW(&msg, nullptr, 0, 0)) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (msg.message == W::WM_CLOSE && msg.hwnd == self) {
            result = static_cast<int>(msg.wParam);
            giveBack();
        }
        if (!PreTranslateMessage(&msg)) {
            W::TranslateMessage(&msg);
            W::DispatchMessageW(&msg);
        }
    }
    // Also when the window went without a WM_CLOSE: a disabled owner would be lost.
    giveBack();
    if (quit) W::PostQuitMessage(quitCode);
    return result;
}

}  // namespace TesselUI
