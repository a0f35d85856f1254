// The window and message layer: native top-level windows with the classic
// desktop window API, over Qt.
//
// Every window belongs to the thread that created it; its window procedure
// runs only there. PostMessageW, SendMessageW, InvalidateRect, EnableWindow,
// ShowWindow, IsWindow and the other state calls may be made from any thread:
// calls that must touch the Qt window are carried over to the owner thread and
// run the next time it pumps messages. A window created on the thread that owns
// the Qt application gets a real Qt window (X11, or Qt's offscreen platform in
// tests); a window created elsewhere is a message-only window. Window and client
// rectangles are the same here: the toolkit's windows draw their own frame.
//
// Failure is reported as the classic calls report it: 0, FALSE or a null handle.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/WinTypes.h"

namespace platform {

// The display system windows go to ("xcb", "wayland", "offscreen"...); empty
// before the first window.
std::string PlatformName();

// Window classes. Registering a class name that exists answers its atom again,
// so a class may be registered by every window that needs it.
UINT RegisterClassExW(const WNDCLASSEXW* cls);
BOOL GetClassInfoExW(HINSTANCE instance, const wchar_t* className, WNDCLASSEXW* out);

HWND CreateWindowExW(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
// Sends WM_DESTROY and WM_NCDESTROY and frees the window (and, first, the windows
// it owns). Called from another thread it is carried over to the owner thread.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM w, LPARAM l);

std::intptr_t GetWindowLongPtrW(HWND hwnd, int index);
std::intptr_t SetWindowLongPtrW(HWND hwnd, int index, std::intptr_t value);
BOOL SetPropW(HWND hwnd, const wchar_t* name, void* value);
void* GetPropW(HWND hwnd, const wchar_t* name);
void* RemovePropW(HWND hwnd, const wchar_t* name);
// Either argument may be null (matches any). Searches every live top-level window.
HWND FindWindowW(const wchar_t* className, const wchar_t* windowName);
int GetClassNameW(HWND hwnd, wchar_t* buffer, int size);

HWND GetParent(HWND hwnd);  // the owner of a popup, the parent of a child
inline constexpr UINT GW_OWNER = 4;
HWND GetWindow(HWND hwnd, UINT cmd);

BOOL ShowWindow(HWND hwnd, int cmd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
// Answers whether the window was disabled before the call. Sends WM_ENABLE.
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);

BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
// The work area of the monitor nearest to a point (the whole screen when the
// platform does not tell a work area).
RECT GetWorkAreaNear(POINT point);

BOOL SetWindowTextW(HWND hwnd, const wchar_t* text);
int GetWindowTextW(HWND hwnd, wchar_t* buffer, int size);
int GetWindowTextLengthW(HWND hwnd);

// Painting. The update region is kept as its bounding rectangle. A window with a
// non-empty update region gets WM_PAINT when its thread's queue is otherwise empty.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);  // sends WM_PAINT now when something is invalid

// Puts pixels on screen: copies `area` (client coordinates) of a premultiplied
// ARGB32 image into the window's picture. `bottomUp` images keep their last row
// first, as device-independent sections do. Any thread.
BOOL PresentPixels(HWND hwnd, const std::uint32_t* pixels, int width, int height, int strideBytes,
                   bool bottomUp, const RECT& area);
// A layered window with per-pixel alpha: the whole picture is replaced and shown
// with its alpha, times the constant alpha.
BOOL UpdateLayeredWindowPixels(HWND hwnd, const std::uint32_t* pixels, int width, int height,
                               int strideBytes, bool bottomUp, BYTE constantAlpha);
BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
// A window region made of rectangles (client coordinates); none = the whole window.
BOOL SetWindowRgn(HWND hwnd, const std::vector<RECT>& rects, BOOL redraw);
// What the window shows now (premultiplied ARGB, top row first); for tests and
// screenshots. Empty when the window never got pixels.
std::vector<std::uint32_t> GetWindowPixels(HWND hwnd, int* width, int* height);
BOOL SaveWindowImage(HWND hwnd, const std::string& pngPath);

// Messages. SendMessageW to a window of another thread waits until the owner
// thread has run the procedure; while it waits, the caller still serves messages
// sent to its own windows, so two threads sending to each other do not lock up.
BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
BOOL PostThreadMessageW(DWORD threadId, UINT msg, WPARAM w, LPARAM l);
void PostQuitMessage(int exitCode);
// Answers 0 for WM_QUIT, -1 for a bad window filter, else nonzero.
BOOL GetMessageW(MSG* msg, HWND hwnd, UINT minFilter, UINT maxFilter);
BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT minFilter, UINT maxFilter, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
// Waits until the calling thread's queue has something (or the time runs out).
void WaitMessageFor(int timeoutMs);
DWORD GetCurrentThreadId();
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);

// Timers of a window: WM_TIMER with the id in wParam, generated when the owner
// thread's queue is otherwise empty. Setting an existing id restarts it.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void* reserved);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// Input state.
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
// The high bit (value < 0) is set while the key is down. Key states follow the key
// messages as the message loop takes them from the queue, and real key events.
short GetKeyState(int vk);
short GetAsyncKeyState(int vk);
// For tests and synthetic input: sets a key state directly.
void SetKeyStateForTesting(int vk, bool down);
BOOL GetCursorPos(POINT* point);
UINT GetDoubleClickTime();
UINT GetCaretBlinkTime();

// Cursors by their classic resource numbers.
inline constexpr std::uintptr_t IDC_ARROW = 32512;
inline constexpr std::uintptr_t IDC_IBEAM = 32513;
inline constexpr std::uintptr_t IDC_WAIT = 32514;
inline constexpr std::uintptr_t IDC_CROSS = 32515;
inline constexpr std::uintptr_t IDC_SIZEWE = 32644;
inline constexpr std::uintptr_t IDC_SIZENS = 32645;
inline constexpr std::uintptr_t IDC_HAND = 32649;
inline constexpr std::uintptr_t IDC_HELP = 32651;
HCURSOR LoadCursorW(HINSTANCE instance, std::uintptr_t id);
// Shows `cursor` over the window that has the mouse (or the focus window).
HCURSOR SetCursor(HCURSOR cursor);

// A plain text tip shown near the mouse after it rests over `owner`; the owner
// feeds it mouse messages. Empty text hides it.
void SetTipText(HWND owner, const std::wstring& text, bool active);
void RelayTipEvent(const MSG& msg);

// Files dropped from a file manager. A window that accepts files gets
// WM_DROPFILES (w = the HDROP, l = 0), sent on its own thread; the HDROP and its
// names belong to the layer and are valid only while that message is served.
struct DropFiles;
using HDROP = DropFiles*;
BOOL DragAcceptFiles(HWND hwnd, BOOL accept);
BOOL IsDropTarget(HWND hwnd);
// The count of files for index 0xFFFFFFFF; else 1 with `name` set, 0 past the end.
UINT DragQueryFileW(HDROP drop, UINT index, std::wstring* name);
// Where the files were let go, in client coordinates.
BOOL DragQueryPoint(HDROP drop, POINT* point);
// Delivers a drop of local files at `point` (client coordinates) as the Qt drop
// event does; tests call it directly. FALSE, delivering nothing, when the window
// is gone, does not accept files or `paths` is empty. Call on the owner thread.
BOOL DropFilesOnWindow(HWND hwnd, const std::vector<std::wstring>& paths, POINT point);

}  // namespace platform
