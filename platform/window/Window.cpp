// Windows, queues and messages. One mutex guards every window's state and every
// thread's queue; it is never held while a window procedure or Qt runs, so a
// procedure may call back into the layer freely.
#include "platform/window/Window.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>

#include "platform/window/WindowInternal.h"

namespace platform {
namespace detail {
namespace {

struct ClassEntry {
    WNDCLASSEXW cls;
    std::wstring name;
    UINT atom = 0;
};

struct Layer {
    std::mutex mutex;
    std::map<HWND, std::shared_ptr<WindowData>> windows;
    std::vector<HWND> order;  // creation order, for FindWindow
    std::map<DWORD, std::weak_ptr<ThreadQueue>> queues;
    std::map<std::wstring, ClassEntry> classes;
    std::uintptr_t lastHandle = 0x10000;
    DWORD lastThread = 0;
    UINT lastAtom = 0xC000;
    HWND capture = nullptr;
    HWND focus = nullptr;
    HWND active = nullptr;
};

Layer& L() {
    static Layer* layer = new Layer;  // outlives static destructors that still post
    return *layer;
}

std::array<std::atomic<bool>, 256> g_keys{};
thread_local std::shared_ptr<ThreadQueue> t_queue;

bool RectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT Union(const RECT& a, const RECT& b) {
    if (RectEmpty(a)) return b;
    if (RectEmpty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (RectEmpty(r)) return RECT{};
    return r;
}

RECT ClientOf(const WindowData& w) { return RECT{0, 0, w.rect.right - w.rect.left, w.rect.bottom - w.rect.top}; }

bool InFilter(const MSG& m, HWND hwnd, UINT lo, UINT hi) {
    if (hwnd && m.hwnd != hwnd) return false;
    if (lo == 0 && hi == 0) return true;
    return m.message >= lo && m.message <= hi;
}

void TrackKeyState(const MSG& m) {
    switch (m.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (m.wParam < 256) g_keys[m.wParam] = true;
        if (m.message == WM_SYSKEYDOWN && (m.lParam & (1 << 29))) g_keys[VK_MENU] = true;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (m.wParam < 256) g_keys[m.wParam] = false;
        break;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: g_keys[1] = true; break;
    case WM_LBUTTONUP: g_keys[1] = false; break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: g_keys[2] = true; break;
    case WM_RBUTTONUP: g_keys[2] = false; break;
    default: break;
    }
}

// Serves sent messages and carried-over tasks of the current thread. Called
// without the lock.
bool ServeIncoming(ThreadQueue& q) {
    bool any = false;
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        std::function<void()> task;
        {
            std::lock_guard lock(L().mutex);
            if (!q.sent.empty()) {
                sent = q.sent.front();
                q.sent.pop_front();
            } else if (!q.tasks.empty()) {
                task = std::move(q.tasks.front());
                q.tasks.pop_front();
            } else {
                return any;
            }
        }
        any = true;
        if (sent) {
            LRESULT r = CallProc(sent->hwnd, sent->msg, sent->w, sent->l);
            std::lock_guard lock(L().mutex);
            sent->result = r;
            sent->done = true;
            if (sent->sender) WakeLocked(*sent->sender);
        } else {
            task();
        }
    }
}

// Takes the next message for the current thread without waiting. `remove`
// false leaves posted messages in the queue.
bool TakeMessage(ThreadQueue& q, MSG* out, HWND hwnd, UINT lo, UINT hi, bool remove, int* waitMs) {
    ServeIncoming(q);
    if (q.qtThread) HostProcessEvents(-1);
    ServeIncoming(q);
    std::lock_guard lock(L().mutex);
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (!InFilter(*it, hwnd, lo, hi)) continue;
        *out = *it;
        if (remove) q.posted.erase(it);
        return true;
    }
    if (q.quit) {
        *out = MSG{};
        out->message = WM_QUIT;
        out->wParam = static_cast<WPARAM>(q.quitCode);
        if (remove) q.quit = false;
        return true;
    }
    const auto now = Steady::now();
    Steady::time_point next = Steady::time_point::max();
    // Paint and timer messages are made up on demand, as the queue empties.
    for (auto& [h, w] : L().windows) {
        if (w->queue.get() != &q || w->destroying) continue;
        if (w->trackHover) {
            if (w->hoverDue <= now) {
                w->trackHover = false;
                MSG m{h, WM_MOUSEHOVER, 0, 0, 0, {}};
                q.posted.push_back(m);
                if (InFilter(m, hwnd, lo, hi)) {
                    *out = m;
                    if (remove) q.posted.pop_back();
                    return true;
                }
            } else {
                next = std::min(next, w->hoverDue);
            }
        }
    }
    for (auto& [h, w] : L().windows) {
        if (w->queue.get() != &q || w->destroying) continue;
        if (w->hasUpdate && w->visible && !w->minimized) {
            MSG m{h, WM_PAINT, 0, 0, 0, {}};
            if (InFilter(m, hwnd, lo, hi)) {
                *out = m;
                return true;
            }
        }
    }
    for (auto& [h, w] : L().windows) {
        if (w->queue.get() != &q || w->destroying) continue;
        for (auto& [id, t] : w->timers) {
            if (t.due <= now) {
                MSG m{h, WM_TIMER, id, 0, 0, {}};
                if (!InFilter(m, hwnd, lo, hi)) continue;
                if (remove) t.due = now + std::chrono::milliseconds(t.interval);
                *out = m;
                return true;
            }
            next = std::min(next, t.due);
        }
    }
    if (waitMs) {
        if (next == Steady::time_point::max()) {
            *waitMs = -1;
        } else {
            auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count() + 1;
            *waitMs = static_cast<int>(std::max<long long>(1, ms));
        }
    }
    return false;
}

void WaitFor(ThreadQueue& q, int waitMs) {
    if (q.qtThread) {
        // Qt waits for its own events and for HostWake, which posters call.
        HostProcessEvents(waitMs < 0 ? 1000 : waitMs);
        return;
    }
    std::unique_lock lock(L().mutex);
    auto ready = [&] { return !q.posted.empty() || !q.sent.empty() || !q.tasks.empty() || q.quit; };
    if (waitMs < 0)
        q.cv.wait(lock, ready);
    else
        q.cv.wait_for(lock, std::chrono::milliseconds(waitMs), ready);
}

void DestroyOnOwner(HWND hwnd);

}  // namespace

std::mutex& LayerMutex() { return L().mutex; }

std::shared_ptr<WindowData> FindLocked(HWND hwnd) {
    auto it = L().windows.find(hwnd);
    if (it == L().windows.end()) return nullptr;
    return it->second;
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
    if (t_queue) return t_queue;
    auto q = std::make_shared<ThreadQueue>();
    q->thread = std::this_thread::get_id();
    {
        std::lock_guard lock(L().mutex);
        q->id = ++L().lastThread;
        L().queues[q->id] = q;
    }
    t_queue = q;
    return q;
}

void WakeLocked(ThreadQueue& queue) {
    queue.cv.notify_all();
    if (queue.qtThread) HostWake();
}

void PostLocked(ThreadQueue& queue, const MSG& msg) {
    queue.posted.push_back(msg);
    WakeLocked(queue);
}

LRESULT CallProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    WNDPROC proc = nullptr;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win) return 0;
        proc = win->proc;
    }
    return proc ? proc(hwnd, msg, w, l) : DefWindowProcW(hwnd, msg, w, l);
}

void RunOnOwner(HWND hwnd, std::function<void()> task) {
    std::shared_ptr<ThreadQueue> owner;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win) return;
        owner = win->queue;
        if (owner->thread != std::this_thread::get_id()) {
            owner->tasks.push_back(std::move(task));
            WakeLocked(*owner);
            return;
        }
    }
    task();
}

void PixelsChanged(HWND hwnd) {
    RunOnOwner(hwnd, [hwnd] { HostRepaint(hwnd); });
}

namespace {

void DestroyOnOwner(HWND hwnd) {
    std::vector<HWND> owned;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win || win->destroying) return;
        win->destroying = true;
        for (auto& [h, w] : L().windows)
            if (w->parent == hwnd && !w->destroying) owned.push_back(h);
        if (L().capture == hwnd) L().capture = nullptr;
    }
    for (HWND h : owned) DestroyWindow(h);
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (win) win->visible = false;
    }
    CallProc(hwnd, WM_DESTROY, 0, 0);
    CallProc(hwnd, WM_NCDESTROY, 0, 0);
    void* host = nullptr;
    std::vector<std::shared_ptr<SentMessage>> orphans;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win) return;
        host = win->host;
        win->host = nullptr;
        auto& q = *win->queue;
        q.posted.erase(std::remove_if(q.posted.begin(), q.posted.end(),
                                      [&](const MSG& m) { return m.hwnd == hwnd; }),
                       q.posted.end());
        for (auto it = q.sent.begin(); it != q.sent.end();) {
            if ((*it)->hwnd == hwnd) {
                orphans.push_back(*it);
                it = q.sent.erase(it);
            } else {
                ++it;
            }
        }
        for (auto& s : orphans) {
            s->done = true;
            if (s->sender) WakeLocked(*s->sender);
        }
        if (L().focus == hwnd) L().focus = nullptr;
        if (L().active == hwnd) L().active = nullptr;
        L().windows.erase(hwnd);
        L().order.erase(std::remove(L().order.begin(), L().order.end(), hwnd), L().order.end());
    }
    if (host) HostDestroy(host);
}

}  // namespace
}  // namespace detail

using namespace detail;

UINT RegisterClassExW(const WNDCLASSEXW* cls) {
    if (!cls || !cls->lpszClassName || !*cls->lpszClassName) return 0;
    std::lock_guard lock(L().mutex);
    auto it = L().classes.find(cls->lpszClassName);
    if (it != L().classes.end()) return it->second.atom;
    ClassEntry e;
    e.cls = *cls;
    e.name = cls->lpszClassName;
    e.cls.lpszClassName = nullptr;
    e.atom = ++L().lastAtom;
    L().classes[e.name] = e;
    return e.atom;
}

BOOL GetClassInfoExW(HINSTANCE, const wchar_t* className, WNDCLASSEXW* out) {
    if (!className) return FALSE;
    std::lock_guard lock(L().mutex);
    auto it = L().classes.find(className);
    if (it == L().classes.end()) return FALSE;
    if (out) {
        *out = it->second.cls;
        out->lpszClassName = it->second.name.c_str();
    }
    return TRUE;
}

HWND CreateWindowExW(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
    if (!className) return nullptr;
    auto queue = CurrentQueue();
    const bool qt = HostEnsureApplication();
    auto win = std::make_shared<WindowData>();
    HWND hwnd;
    {
        std::lock_guard lock(L().mutex);
        auto it = L().classes.find(className);
        if (it == L().classes.end()) return nullptr;
        if (parent && !FindLocked(parent)) return nullptr;
        queue->qtThread = qt;
        hwnd = reinterpret_cast<HWND>(++L().lastHandle);
        win->handle = hwnd;
        win->className = className;
        win->classStyle = it->second.cls.style;
        win->proc = it->second.cls.lpfnWndProc;
        win->name = windowName ? windowName : L"";
        win->style = style & ~WS_VISIBLE;
        win->exStyle = exStyle;
        win->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
        win->parent = parent;
        win->queue = queue;
        win->enabled = (style & WS_DISABLED) == 0;
        L().windows[hwnd] = win;
        L().order.push_back(hwnd);
    }
    if (qt) {
        void* host = HostCreate(hwnd);
        std::lock_guard lock(L().mutex);
        win->host = host;
    }
    CREATESTRUCTW cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cx = width;
    cs.cy = height;
    cs.x = x;
    cs.y = y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (!CallProc(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyOnOwner(hwnd);
        return nullptr;
    }
    if (CallProc(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyOnOwner(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) return nullptr;
    CallProc(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(std::max(0, width), std::max(0, height)));
    CallProc(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
    if (qt) HostApplyState(hwnd);
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win || win->destroying) return FALSE;
    }
    const auto caller = std::this_thread::get_id();
    RunOnOwner(hwnd, [hwnd, caller] {
        auto owner = CurrentQueue();
        DestroyOnOwner(hwnd);
        // Carried over from another thread: a loop waiting for this window to go
        // (a modal loop) is woken to look again.
        if (owner->thread != caller) {
            std::lock_guard lock(L().mutex);
            PostLocked(*owner, MSG{nullptr, WM_NULL, 0, 0, 0, {}});
        }
    });
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    return win != nullptr;
}

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_PAINT:
        ValidateRect(hwnd, nullptr);
        return 0;
    case WM_ERASEBKGND:
        return 0;
    case WM_SETTEXT:
        SetWindowTextW(hwnd, reinterpret_cast<const wchar_t*>(l));
        return TRUE;
    case WM_NCLBUTTONDOWN:
        if (w == HTCAPTION) HostStartSystemMove(hwnd);
        return 0;
    default:
        return 0;
    }
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    return proc ? proc(hwnd, msg, w, l) : DefWindowProcW(hwnd, msg, w, l);
}

std::intptr_t GetWindowLongPtrW(HWND hwnd, int index) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win) return 0;
    switch (index) {
    case GWL_STYLE: {
        DWORD s = win->style;
        if (win->visible) s |= WS_VISIBLE;
        if (!win->enabled) s |= WS_DISABLED;
        if (win->minimized) s |= WS_MINIMIZE;
        if (win->maximized) s |= WS_MAXIMIZE;
        return static_cast<std::intptr_t>(s);
    }
    case GWL_EXSTYLE: return static_cast<std::intptr_t>(win->exStyle);
    case GWLP_USERDATA: return win->userData;
    default: return 0;
    }
}

std::intptr_t SetWindowLongPtrW(HWND hwnd, int index, std::intptr_t value) {
    std::intptr_t old = 0;
    bool restyle = false;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win) return 0;
        switch (index) {
        case GWL_STYLE:
            old = static_cast<std::intptr_t>(win->style);
            win->style = static_cast<DWORD>(value) & ~(WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE);
            restyle = true;
            break;
        case GWL_EXSTYLE:
            old = static_cast<std::intptr_t>(win->exStyle);
            win->exStyle = static_cast<DWORD>(value);
            restyle = true;
            break;
        case GWLP_USERDATA:
            old = win->userData;
            win->userData = value;
            break;
        default:
            return 0;
        }
    }
    if (restyle) RunOnOwner(hwnd, [hwnd] { HostApplyState(hwnd); });
    return old;
}

BOOL SetPropW(HWND hwnd, const wchar_t* name, void* value) {
    if (!name) return FALSE;
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win) return FALSE;
    win->props[name] = value;
    return TRUE;
}

void* GetPropW(HWND hwnd, const wchar_t* name) {
    if (!name) return nullptr;
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win) return nullptr;
    auto it = win->props.find(name);
    return it == win->props.end() ? nullptr : it->second;
}

void* RemovePropW(HWND hwnd, const wchar_t* name) {
    if (!name) return nullptr;
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win) return nullptr;
    auto it = win->props.find(name);
    if (it == win->props.end()) return nullptr;
    void* v = it->second;
    win->props.erase(it);
    return v;
}

HWND FindWindowW(const wchar_t* className, const wchar_t* windowName) {
    std::lock_guard lock(L().mutex);
    for (HWND h : L().order) {
        auto win = FindLocked(h);
        if (!win || win->destroying || (win->style & WS_CHILD)) continue;
        if (className && win->className != className) continue;
        if (windowName && win->name != windowName) continue;
        return h;
    }
    return nullptr;
}

int GetClassNameW(HWND hwnd, wchar_t* buffer, int size) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win || !buffer || size <= 0) return 0;
    int n = static_cast<int>(std::min<size_t>(win->className.size(), static_cast<size_t>(size - 1)));
    std::wmemcpy(buffer, win->className.c_str(), n);
    buffer[n] = 0;
    return n;
}

HWND GetParent(HWND hwnd) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    return win ? win->parent : nullptr;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win || cmd != GW_OWNER || (win->style & WS_CHILD)) return nullptr;
    return win->parent;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
    bool wasVisible = false;
    bool sizeChange = false;
    UINT sizeKind = SIZE_RESTORED;
    int cx = 0, cy = 0;
    bool owner = false;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win || win->destroying) return FALSE;
        wasVisible = win->visible;
        owner = win->queue->thread == std::this_thread::get_id();
        const bool wasMin = win->minimized;
        const bool wasMax = win->maximized;
        switch (cmd) {
        case SW_HIDE: win->visible = false; break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE: win->visible = true; win->minimized = true; break;
        case SW_MAXIMIZE: win->visible = true; win->minimized = false; win->maximized = true; break;
        case SW_RESTORE:
        case SW_SHOWNORMAL: win->visible = true; win->minimized = false; win->maximized = false; break;
        default: win->visible = true; break;
        }
        if (win->minimized != wasMin || win->maximized != wasMax) {
            sizeChange = true;
            sizeKind = win->minimized ? SIZE_MINIMIZED : win->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
            cx = win->rect.right - win->rect.left;
            cy = win->rect.bottom - win->rect.top;
        }
        if (win->visible && (!wasVisible || wasMin)) {
            win->hasUpdate = true;
            win->update = ClientOf(*win);
            WakeLocked(*win->queue);
        }
    }
    auto notify = [=] {
        bool visibleNow = IsWindowVisible(hwnd);
        if (visibleNow != wasVisible) CallProc(hwnd, WM_SHOWWINDOW, visibleNow ? 1 : 0, 0);
        HostApplyState(hwnd);
        if (sizeChange) CallProc(hwnd, WM_SIZE, sizeKind, MAKELPARAM(sizeKind == SIZE_MINIMIZED ? 0 : cx,
                                                                       sizeKind == SIZE_MINIMIZED ? 0 : cy));
    };
    if (owner) notify();
    else RunOnOwner(hwnd, notify);
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    return win && win->visible ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    return win && win->minimized ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    return win && win->maximized ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    bool wasDisabled = false;
    bool owner = false;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win) return FALSE;
        wasDisabled = !win->enabled;
        if (win->enabled == (enable != 0)) return wasDisabled ? TRUE : FALSE;
        win->enabled = enable != 0;
        owner = win->queue->thread == std::this_thread::get_id();
        if (!owner) PostLocked(*win->queue, MSG{hwnd, WM_ENABLE, static_cast<WPARAM>(enable != 0), 0, 0, {}});
        if (!win->enabled && L().capture == hwnd) L().capture = nullptr;
    }
    if (owner) CallProc(hwnd, WM_ENABLE, enable != 0, 0);
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    return win && win->enabled ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    bool moved = false, sized = false;
    RECT r;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win) return FALSE;
        r = win->rect;
        RECT n = r;
        if (!(flags & SWP_NOMOVE)) {
            n.right = x + (r.right - r.left);
            n.bottom = y + (r.bottom - r.top);
            n.left = x;
            n.top = y;
        }
        if (!(flags & SWP_NOSIZE)) {
            n.right = n.left + std::max(0, cx);
            n.bottom = n.top + std::max(0, cy);
        }
        moved = n.left != r.left || n.top != r.top;
        sized = (n.right - n.left) != (r.right - r.left) || (n.bottom - n.top) != (r.bottom - r.top);
        win->rect = n;
        r = n;
        if (!(flags & SWP_NOZORDER)) {
            if (after == HWND_TOPMOST) win->exStyle |= WS_EX_TOPMOST;
            if (after == HWND_NOTOPMOST) win->exStyle &= ~WS_EX_TOPMOST;
        }
        if (sized) {
            win->hasUpdate = true;
            win->update = ClientOf(*win);
            WakeLocked(*win->queue);
        }
    }
    const int w = r.right - r.left, h = r.bottom - r.top;
    const bool frame = (flags & SWP_FRAMECHANGED) != 0;
    RunOnOwner(hwnd, [=] {
        if (moved || frame) CallProc(hwnd, WM_MOVE, 0, MAKELPARAM(r.left, r.top));
        if (sized || frame) CallProc(hwnd, WM_SIZE, IsZoomed(hwnd) ? SIZE_MAXIMIZED : SIZE_RESTORED, MAKELPARAM(w, h));
        HostApplyState(hwnd);
    });
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win || !rect) return FALSE;
    *rect = win->rect;
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win || !rect) return FALSE;
    *rect = ClientOf(*win);
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* p) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win || !p) return FALSE;
    p->x += win->rect.left;
    p->y += win->rect.top;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* p) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win || !p) return FALSE;
    p->x -= win->rect.left;
    p->y -= win->rect.top;
    return TRUE;
}

RECT GetWorkAreaNear(POINT point) { return HostWorkArea(point); }

BOOL SetWindowTextW(HWND hwnd, const wchar_t* text) {
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win) return FALSE;
        win->name = text ? text : L"";
    }
    RunOnOwner(hwnd, [hwnd] { HostApplyState(hwnd); });
    return TRUE;
}

int GetWindowTextW(HWND hwnd, wchar_t* buffer, int size) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win || !buffer || size <= 0) return 0;
    int n = static_cast<int>(std::min<size_t>(win->name.size(), static_cast<size_t>(size - 1)));
    std::wmemcpy(buffer, win->name.c_str(), n);
    buffer[n] = 0;
    return n;
}

int GetWindowTextLengthW(HWND hwnd) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    return win ? static_cast<int>(win->name.size()) : 0;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win) return FALSE;
    RECT client = ClientOf(*win);
    RECT r = rect ? Intersect(*rect, client) : client;
    if (RectEmpty(r)) return TRUE;
    win->update = win->hasUpdate ? Union(win->update, r) : r;
    win->hasUpdate = true;
    WakeLocked(*win->queue);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win) return FALSE;
    // The region is one rectangle, so validating a part only clears it when the
    // part covers it all.
    if (!rect) {
        win->hasUpdate = false;
        win->update = RECT{};
    } else if (win->hasUpdate && rect->left <= win->update.left && rect->top <= win->update.top &&
               rect->right >= win->update.right && rect->bottom >= win->update.bottom) {
        win->hasUpdate = false;
        win->update = RECT{};
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win) return FALSE;
    if (rect) *rect = win->hasUpdate ? win->update : RECT{};
    return win->hasUpdate ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd) {
    bool paint = false;
    bool owner = false;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win) return FALSE;
        paint = win->hasUpdate && win->visible;
        owner = win->queue->thread == std::this_thread::get_id();
    }
    if (paint && owner) CallProc(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

namespace {

void CopyPixels(WindowData& win, const std::uint32_t* pixels, int width, int height, int stride, bool bottomUp,
                const RECT& area) {
    const int cw = win.rect.right - win.rect.left;
    const int ch = win.rect.bottom - win.rect.top;
    if (win.pixelWidth != cw || win.pixelHeight != ch) {
        std::vector<std::uint32_t> fresh(static_cast<size_t>(std::max(0, cw)) * std::max(0, ch), 0);
        for (int y = 0; y < std::min(ch, win.pixelHeight); ++y)
            for (int x = 0; x < std::min(cw, win.pixelWidth); ++x)
                fresh[static_cast<size_t>(y) * cw + x] = win.pixels[static_cast<size_t>(y) * win.pixelWidth + x];
        win.pixels.swap(fresh);
        win.pixelWidth = cw;
        win.pixelHeight = ch;
    }
    RECT r = Intersect(area, RECT{0, 0, std::min(cw, width), std::min(ch, height)});
    if (RectEmpty(r)) return;
    const auto* base = reinterpret_cast<const std::uint8_t*>(pixels);
    for (int y = r.top; y < r.bottom; ++y) {
        const int srcRow = bottomUp ? height - 1 - y : y;
        const auto* src = reinterpret_cast<const std::uint32_t*>(base + static_cast<size_t>(srcRow) * stride);
        std::memcpy(&win.pixels[static_cast<size_t>(y) * cw + r.left], src + r.left,
                    sizeof(std::uint32_t) * (r.right - r.left));
    }
}

}  // namespace

BOOL PresentPixels(HWND hwnd, const std::uint32_t* pixels, int width, int height, int strideBytes, bool bottomUp,
                   const RECT& area) {
    if (!pixels || width <= 0 || height <= 0 || strideBytes < width * 4) return FALSE;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win) return FALSE;
        win->perPixelAlpha = false;
        CopyPixels(*win, pixels, width, height, strideBytes, bottomUp, area);
    }
    PixelsChanged(hwnd);
    return TRUE;
}

BOOL UpdateLayeredWindowPixels(HWND hwnd, const std::uint32_t* pixels, int width, int height, int strideBytes,
                               bool bottomUp, BYTE constantAlpha) {
    if (!pixels || width <= 0 || height <= 0 || strideBytes < width * 4) return FALSE;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win || !(win->exStyle & WS_EX_LAYERED)) return FALSE;
        win->perPixelAlpha = true;
        win->alpha = constantAlpha;
        CopyPixels(*win, pixels, width, height, strideBytes, bottomUp, RECT{0, 0, width, height});
    }
    PixelsChanged(hwnd);
    return TRUE;
}

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win || !(win->exStyle & WS_EX_LAYERED)) return FALSE;
        win->colorKey = key;
        win->alpha = (flags & LWA_ALPHA) ? alpha : 255;
        win->layeredFlags = flags;
        win->perPixelAlpha = false;
    }
    RunOnOwner(hwnd, [hwnd] { HostApplyState(hwnd); HostRepaint(hwnd); });
    return TRUE;
}

BOOL SetWindowRgn(HWND hwnd, const std::vector<RECT>& rects, BOOL redraw) {
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win) return FALSE;
        win->region = rects;
    }
    RunOnOwner(hwnd, [hwnd] { HostApplyState(hwnd); });
    if (redraw) InvalidateRect(hwnd, nullptr, FALSE);
    return TRUE;
}

std::vector<std::uint32_t> GetWindowPixels(HWND hwnd, int* width, int* height) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (width) *width = win ? win->pixelWidth : 0;
    if (height) *height = win ? win->pixelHeight : 0;
    if (!win) return {};
    return win->pixels;
}

BOOL SaveWindowImage(HWND hwnd, const std::string& pngPath) {
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    bool alpha = false;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win || win->pixelWidth <= 0 || win->pixelHeight <= 0) return FALSE;
        pixels = win->pixels;
        w = win->pixelWidth;
        h = win->pixelHeight;
        alpha = (win->exStyle & WS_EX_LAYERED) && win->perPixelAlpha;
    }
    return HostSavePng(pixels, w, h, alpha, pngPath) ? TRUE : FALSE;
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    std::lock_guard lock(L().mutex);
    if (!hwnd) {
        auto q = t_queue;
        if (!q) return FALSE;
        PostLocked(*q, MSG{nullptr, msg, w, l, 0, {}});
        return TRUE;
    }
    auto win = FindLocked(hwnd);
    if (!win || win->destroying) return FALSE;
    PostLocked(*win->queue, MSG{hwnd, msg, w, l, 0, {}});
    return TRUE;
}

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    auto self = CurrentQueue();
    auto sent = std::make_shared<SentMessage>();
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(hwnd);
        if (!win) return 0;
        if (win->queue == self) {
            // Same thread: a plain call.
        } else {
            sent->hwnd = hwnd;
            sent->msg = msg;
            sent->w = w;
            sent->l = l;
            sent->sender = self;
            win->queue->sent.push_back(sent);
            WakeLocked(*win->queue);
        }
    }
    if (!sent->sender) return CallProc(hwnd, msg, w, l);
    for (;;) {
        ServeIncoming(*self);
        std::unique_lock lock(L().mutex);
        if (sent->done) return sent->result;
        self->cv.wait_for(lock, std::chrono::milliseconds(50),
                          [&] { return sent->done || !self->sent.empty() || !self->tasks.empty(); });
        if (sent->done) return sent->result;
    }
}

BOOL PostThreadMessageW(DWORD threadId, UINT msg, WPARAM w, LPARAM l) {
    std::lock_guard lock(L().mutex);
    auto it = L().queues.find(threadId);
    if (it == L().queues.end()) return FALSE;
    auto q = it->second.lock();
    if (!q) return FALSE;
    PostLocked(*q, MSG{nullptr, msg, w, l, 0, {}});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    auto q = CurrentQueue();
    std::lock_guard lock(L().mutex);
    q->quit = true;
    q->quitCode = exitCode;
    WakeLocked(*q);
}

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT lo, UINT hi) {
    if (!msg) return -1;
    if (hwnd && !IsWindow(hwnd)) return -1;
    auto q = CurrentQueue();
    for (;;) {
        int waitMs = -1;
        if (TakeMessage(*q, msg, hwnd, lo, hi, true, &waitMs)) {
            TrackKeyState(*msg);
            return msg->message == WM_QUIT ? FALSE : TRUE;
        }
        WaitFor(*q, waitMs);
    }
}

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT lo, UINT hi, UINT removeFlags) {
    if (!msg) return FALSE;
    auto q = CurrentQueue();
    if (!TakeMessage(*q, msg, hwnd, lo, hi, (removeFlags & PM_REMOVE) != 0, nullptr)) return FALSE;
    if (removeFlags & PM_REMOVE) TrackKeyState(*msg);
    return TRUE;
}

void WaitMessageFor(int timeoutMs) {
    auto q = CurrentQueue();
    MSG m;
    int waitMs = -1;
    if (TakeMessage(*q, &m, nullptr, 0, 0, false, &waitMs)) return;
    if (timeoutMs >= 0 && (waitMs < 0 || waitMs > timeoutMs)) waitMs = timeoutMs;
    WaitFor(*q, waitMs);
}

BOOL TranslateMessage(const MSG*) {
    // Characters come with the key events from Qt already (WM_CHAR follows the
    // WM_KEYDOWN in the queue), so there is nothing left to translate.
    return FALSE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg || !msg->hwnd) return 0;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(msg->hwnd);
        if (!win) return 0;
        if (msg->message == WM_MOUSEMOVE && win->trackHover)
            win->hoverDue = Steady::now() + std::chrono::milliseconds(win->hoverMs);
    }
    LRESULT r = CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    return r;
}

DWORD GetCurrentThreadId() { return CurrentQueue()->id; }

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
    if (processId) *processId = 1;
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    return win ? win->queue->id : 0;
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void*) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win || win->destroying) return 0;
    WindowTimer t;
    t.interval = std::max(1u, elapseMs);
    t.due = Steady::now() + std::chrono::milliseconds(t.interval);
    win->timers[id] = t;
    WakeLocked(*win->queue);
    return id == 0 ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(hwnd);
    if (!win) return FALSE;
    auto& q = win->queue->posted;
    q.erase(std::remove_if(q.begin(), q.end(),
                           [&](const MSG& m) { return m.hwnd == hwnd && m.message == WM_TIMER && m.wParam == id; }),
            q.end());
    return win->timers.erase(id) ? TRUE : FALSE;
}

HWND SetCapture(HWND hwnd) {
    std::lock_guard lock(L().mutex);
    HWND old = L().capture;
    if (FindLocked(hwnd)) L().capture = hwnd;
    return old;
}

BOOL ReleaseCapture() {
    std::lock_guard lock(L().mutex);
    L().capture = nullptr;
    return TRUE;
}

HWND GetCapture() {
    std::lock_guard lock(L().mutex);
    return L().capture;
}

HWND SetFocus(HWND hwnd) {
    HWND old;
    {
        std::lock_guard lock(L().mutex);
        old = L().focus;
        if (hwnd && !FindLocked(hwnd)) return nullptr;
        if (old == hwnd) return old;
        L().focus = hwnd;
        if (hwnd) L().active = hwnd;
    }
    if (old) PostMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd) {
        PostMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
        RunOnOwner(hwnd, [hwnd] { HostActivate(hwnd); });
    }
    return old;
}

namespace detail {

void HostFocusChanged(HWND hwnd, bool in) {
    HWND old;
    {
        std::lock_guard lock(L().mutex);
        if (!FindLocked(hwnd)) return;
        old = L().focus;
        if (in) {
            if (old == hwnd) return;
            L().focus = hwnd;
            L().active = hwnd;
        } else {
            if (old != hwnd) return;
            L().focus = nullptr;
        }
    }
    // The platform moved the focus already: only tell the windows.
    if (in) {
        if (old) PostMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
        PostMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    } else {
        PostMessageW(hwnd, WM_KILLFOCUS, 0, 0);
    }
}

}  // namespace detail

HWND GetFocus() {
    std::lock_guard lock(L().mutex);
    return L().focus;
}

HWND GetActiveWindow() {
    std::lock_guard lock(L().mutex);
    return L().active;
}

BOOL SetForegroundWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    SetFocus(hwnd);
    return TRUE;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
    if (!track) return FALSE;
    std::lock_guard lock(L().mutex);
    auto win = FindLocked(track->hwndTrack);
    if (!win) return FALSE;
    if (track->dwFlags & TME_CANCEL) {
        if (track->dwFlags & TME_LEAVE) win->trackLeave = false;
        if (track->dwFlags & TME_HOVER) win->trackHover = false;
        return TRUE;
    }
    if (track->dwFlags & TME_LEAVE) win->trackLeave = true;
    if (track->dwFlags & TME_HOVER) {
        win->trackHover = true;
        win->hoverMs = track->dwHoverTime == HOVER_DEFAULT ? 400 : track->dwHoverTime;
        win->hoverDue = Steady::now() + std::chrono::milliseconds(win->hoverMs);
        WakeLocked(*win->queue);
    }
    return TRUE;
}

short GetKeyState(int vk) { return (vk >= 0 && vk < 256 && g_keys[vk]) ? static_cast<short>(0x8000) : 0; }
short GetAsyncKeyState(int vk) { return GetKeyState(vk); }
void SetKeyStateForTesting(int vk, bool down) {
    if (vk >= 0 && vk < 256) g_keys[vk] = down;
}

BOOL GetCursorPos(POINT* p) {
    if (!p) return FALSE;
    *p = HostCursorPos();
    return TRUE;
}

UINT GetDoubleClickTime() { return HostDoubleClickTime(); }
UINT GetCaretBlinkTime() { return 530; }

HCURSOR LoadCursorW(HINSTANCE, std::uintptr_t id) { return reinterpret_cast<HCURSOR>(id); }

HCURSOR SetCursor(HCURSOR cursor) {
    static std::atomic<std::uintptr_t> current{IDC_ARROW};
    std::uintptr_t old = current.exchange(reinterpret_cast<std::uintptr_t>(cursor));
    HWND target = GetCapture();
    if (!target) target = GetActiveWindow();
    if (target) {
        auto id = reinterpret_cast<std::uintptr_t>(cursor);
        RunOnOwner(target, [target, id] { HostSetCursor(target, id); });
    }
    return reinterpret_cast<HCURSOR>(old);
}

void SetTipText(HWND owner, const std::wstring& text, bool active) {
    RunOnOwner(owner, [owner, text, active] { HostSetTip(owner, text, active); });
}

void RelayTipEvent(const MSG& msg) {
    if (!msg.hwnd) return;
    {
        std::lock_guard lock(L().mutex);
        auto win = FindLocked(msg.hwnd);
        if (!win || win->queue->thread != std::this_thread::get_id()) return;
    }
    HostRelayTip(msg);
}

}  // namespace platform

// --- Dropped files ---------------------------------------------------------------------

namespace platform {

struct DropFiles {
    std::vector<std::wstring> paths;
    POINT point;
};

BOOL DragAcceptFiles(HWND hwnd, BOOL accept) {
    std::lock_guard lock(detail::LayerMutex());
    auto win = detail::FindLocked(hwnd);
    if (!win) return FALSE;
    win->acceptFiles = accept != FALSE;
    return TRUE;
}

BOOL IsDropTarget(HWND hwnd) {
    std::lock_guard lock(detail::LayerMutex());
    auto win = detail::FindLocked(hwnd);
    return win && win->acceptFiles ? TRUE : FALSE;
}

UINT DragQueryFileW(HDROP drop, UINT index, std::wstring* name) {
    if (!drop) return 0;
    if (index == 0xFFFFFFFFu) return static_cast<UINT>(drop->paths.size());
    if (index >= drop->paths.size()) return 0;
    if (name) *name = drop->paths[index];
    return 1;
}

BOOL DragQueryPoint(HDROP drop, POINT* point) {
    if (!drop || !point) return FALSE;
    *point = drop->point;
    return TRUE;
}

BOOL DropFilesOnWindow(HWND hwnd, const std::vector<std::wstring>& paths, POINT point) {
    if (paths.empty() || !IsDropTarget(hwnd)) return FALSE;
    // The layer owns the drop: it lives exactly as long as the message is served.
    DropFiles drop{paths, point};
    SendMessageW(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(&drop), 0);
    return TRUE;
}

}  // namespace platform
