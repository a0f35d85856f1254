// MWindow: a thin owner of one native window and its window procedure.
//
// The object is stored with the window at creation (user data, or the window
// property "Control" for windows of a super class); every message then reaches
// OnWindowMessage. The object does not own the window's life: destroying the
// window clears the handle and calls OnDestroyMessage; deleting the object while
// its window lives destroys the window first. Every wrapper answers 0 / null when
// there is no live window. Thread: the thread that created the window, except
// the handful of calls the window layer allows from anywhere (PostMessageW,
// EnableWindow, InvalidateRect, IsWindow...).
#pragma once

#include "TesselTypes.h"

namespace TesselUI {

class MWindow {
public:
    MWindow();
    virtual ~MWindow();
    MWindow(const MWindow&) = delete;
    MWindow& operator=(const MWindow&) = delete;

    // --- Virtual operations, in table order --------------------------------------
    virtual const wchar_t* GetWindowClassName() const { return L"TesselClient"; }
    virtual const wchar_t* GetSuperClassName() const { return nullptr; }
    virtual BOOL ShowWindow(int cmd);
    virtual LRESULT OnWindowMessage(UINT msg, WPARAM w, LPARAM l);
    virtual BOOL PreTranslateMessage(MSG* msg) { return FALSE; }
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnDestroyMessage(HWND hwnd) {}

    // 800 x 600 at (0, 0), named "TesselClient", style 0x0000080B.
    HWND Create(HWND parent);
    HWND Create(HWND parent, CRect rect);
    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, CRect rect, HMENU menu = nullptr);

    HWND GetSafeHwnd() const;
    HWND GetParentHwnd() const { return GetSafeHwnd() ? parent_ : nullptr; }
    BOOL SetIcon(UINT id) { return GetSafeHwnd() ? TRUE : FALSE; }
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyExStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL GetClientRect(RECT* rect) const;
    BOOL GetWindowRect(RECT* rect) const;
    BOOL SetWindowTextW(const wchar_t* text);
    int GetWindowTextW(wchar_t* buffer, int size) const;
    int GetWindowTextLengthW() const;
    BOOL EnableWindow(BOOL enable);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    BOOL InvalidateRect(const RECT* rect, BOOL erase);
    HWND SetCapture();
    BOOL ReleaseCapture();
    HWND SetFocus();
    UINT_PTR SetTimer(UINT_PTR id, UINT ms);
    BOOL KillTimer(UINT_PTR id);
    BOOL ClientToScreen(POINT* point) const;
    BOOL ClientToScreen(RECT* rect) const;
    BOOL ScreenToClient(POINT* point) const;
    BOOL ScreenToClient(RECT* rect) const;
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags);
    BOOL MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE);
    BOOL DestroyWindow();
    LRESULT SendMessageW(UINT msg, WPARAM w, LPARAM l);
    BOOL PostMessageW(UINT msg, WPARAM w, LPARAM l);

    // Centres over `over`, else over the owner when it is visible and not minimised,
    // else on the work area of the nearest monitor; clamped into the work area.
    void CenterWindow(MWindow* over = nullptr);
    void BringToTop();
    // Shows the window, disables the owner and runs messages until the window is
    // gone. Answers the w of the WM_CLOSE that passed (0 without one), -1 without
    // a live window.
    int ShowModal(int showCmd = 5);

    static LRESULT WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    static LRESULT ControlProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    static MWindow* FromHandle(HWND hwnd);

protected:
    BOOL RegisterWindowClass();
    BOOL RegisterSuperClass();
    LRESULT CallPrevProc(UINT msg, WPARAM w, LPARAM l);

    HWND parent_ = nullptr;
    HWND hwnd_ = nullptr;
    platform::WNDPROC prevProc_ = nullptr;
    std::uintptr_t spare_ = 0;
};

}  // namespace TesselUI
