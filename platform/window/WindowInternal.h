// Private to the window layer: the state behind each handle and each thread's
// queue, and the seam to the Qt host (QtHost.cpp). Everything here is guarded
// by the one layer mutex (LayerMutex()) unless a field says otherwise.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/window/WinTypes.h"

namespace platform::detail {

using Steady = std::chrono::steady_clock;

struct SentMessage;

struct ThreadQueue {
    DWORD id = 0;
    std::thread::id thread;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::deque<std::function<void()>> tasks;
    bool quit = false;
    int quitCode = 0;
    std::condition_variable cv;
    bool qtThread = false;  // the thread that owns the Qt application
};

struct SentMessage {
    HWND hwnd = nullptr;
    UINT msg = 0;
    WPARAM w = 0;
    LPARAM l = 0;
    LRESULT result = 0;
    bool done = false;
    std::shared_ptr<ThreadQueue> sender;
};

struct WindowTimer {
    UINT interval = 0;
    Steady::time_point due;
};

struct WindowData {
    HWND handle = nullptr;
    std::wstring className;
    UINT classStyle = 0;
    WNDPROC proc = nullptr;
    std::wstring name;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect;  // screen coordinates; the client area is the whole window
    HWND parent = nullptr;
    std::shared_ptr<ThreadQueue> queue;
    std::intptr_t userData = 0;
    std::map<std::wstring, void*> props;
    bool hasUpdate = false;
    RECT update;
    bool destroying = false;
    bool visible = false;
    bool minimized = false;
    bool maximized = false;
    bool enabled = true;
    BYTE alpha = 255;
    COLORREF colorKey = 0;
    DWORD layeredFlags = 0;
    bool perPixelAlpha = false;
    std::vector<RECT> region;
    std::vector<std::uint32_t> pixels;  // premultiplied ARGB, top row first
    int pixelWidth = 0;
    int pixelHeight = 0;
    std::map<UINT_PTR, WindowTimer> timers;
    bool trackLeave = false;
    bool trackHover = false;
    bool acceptFiles = false;
    UINT hoverMs = 400;
    Steady::time_point hoverDue;
    void* host = nullptr;  // the Qt window; touched only on the owner thread
};

std::mutex& LayerMutex();
// Under LayerMutex.
std::shared_ptr<WindowData> FindLocked(HWND hwnd);
std::shared_ptr<ThreadQueue> CurrentQueue();
void WakeLocked(ThreadQueue& queue);
void PostLocked(ThreadQueue& queue, const MSG& msg);

// Calls the window procedure on the current (owner) thread; 0 for a dead window.
LRESULT CallProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
// Runs `task` on the window's owner thread: now when that is this thread, else
// the next time the owner pumps messages.
void RunOnOwner(HWND hwnd, std::function<void()> task);
// The picture changed: schedule a repaint of the host window.
void PixelsChanged(HWND hwnd);

// The platform moved the keyboard focus (a Qt focus event).
void HostFocusChanged(HWND hwnd, bool in);

// The Qt host. All but HostWake and HostIsQtThread run on the owner thread.
bool HostEnsureApplication();  // answers whether this thread owns the Qt application
bool HostIsQtThread();
void HostWake();
void HostProcessEvents(int waitMs);  // waitMs < 0: don't wait
void* HostCreate(HWND hwnd);
void HostDestroy(void* host);
void HostApplyState(HWND hwnd);  // flags, geometry, title, visibility, mask
void HostRepaint(HWND hwnd);
void HostStartSystemMove(HWND hwnd);
void HostActivate(HWND hwnd);
void HostSetCursor(HWND hwnd, std::uintptr_t id);
RECT HostWorkArea(POINT p);
POINT HostCursorPos();
UINT HostDoubleClickTime();
void HostSetTip(HWND owner, const std::wstring& text, bool active);
void HostRelayTip(const MSG& msg);
bool HostSavePng(const std::vector<std::uint32_t>& pixels, int w, int h, bool keepAlpha, const std::string& path);

}  // namespace platform::detail
