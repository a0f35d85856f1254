// A recording window for the window-layer tests: every message its procedure
// sees is kept, in order, with the thread that ran it.
#pragma once

#include <mutex>
#include <thread>
#include <vector>

#include "platform/window/Window.h"

namespace wintest {

struct Seen {
    platform::UINT msg;
    platform::WPARAM w;
    platform::LPARAM l;
    std::thread::id thread;
};

class Recorder {
public:
    static Recorder& Of(platform::HWND hwnd) {
        return *reinterpret_cast<Recorder*>(platform::GetWindowLongPtrW(hwnd, platform::GWLP_USERDATA));
    }
    void Add(platform::UINT m, platform::WPARAM w, platform::LPARAM l) {
        std::lock_guard lock(mutex);
        seen.push_back(Seen{m, w, l, std::this_thread::get_id()});
    }
    std::vector<Seen> Messages(platform::UINT only = 0) {
        std::lock_guard lock(mutex);
        std::vector<Seen> out;
        for (const Seen& s : seen)
            if (only == 0 || s.msg == only) out.push_back(s);
        return out;
    }
    std::vector<platform::UINT> Order(std::initializer_list<platform::UINT> keep) {
        std::lock_guard lock(mutex);
        std::vector<platform::UINT> out;
        for (const Seen& s : seen)
            for (platform::UINT k : keep)
                if (s.msg == k) out.push_back(s.msg);
        return out;
    }
    std::mutex mutex;
    std::vector<Seen> seen;
    platform::LRESULT answer = 0;  // what the procedure answers for WM_USER messages
};

inline platform::LRESULT RecordingProc(platform::HWND hwnd, platform::UINT msg, platform::WPARAM w,
                                       platform::LPARAM l) {
    using namespace platform;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<std::intptr_t>(cs->lpCreateParams));
    }
    auto* rec = reinterpret_cast<Recorder*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (rec) rec->Add(msg, w, l);
    if (msg >= WM_USER && rec) return rec->answer + static_cast<LRESULT>(w);
    return DefWindowProcW(hwnd, msg, w, l);
}

inline platform::HWND MakeWindow(Recorder* rec, const wchar_t* name = L"test", platform::HWND owner = nullptr,
                                 platform::DWORD style = platform::WS_POPUP) {
    platform::WNDCLASSEXW cls;
    cls.style = platform::CS_DBLCLKS;
    cls.lpfnWndProc = &RecordingProc;
    cls.lpszClassName = L"LayerTestClass";
    platform::RegisterClassExW(&cls);
    return platform::CreateWindowExW(0, L"LayerTestClass", name, style, 10, 20, 160, 120, owner, nullptr, nullptr,
                                     rec);
}

// Runs the calling thread's messages until `done` or the time runs out.
template <typename Pred>
bool PumpUntil(Pred done, int timeoutMs = 3000) {
    using namespace std::chrono;
    const auto end = steady_clock::now() + milliseconds(timeoutMs);
    platform::MSG m;
    while (!done()) {
        if (steady_clock::now() > end) return false;
        while (platform::PeekMessageW(&m, nullptr, 0, 0, platform::PM_REMOVE)) {
            platform::TranslateMessage(&m);
            platform::DispatchMessageW(&m);
            if (done()) return true;
        }
        platform::WaitMessageFor(20);
    }
    return true;
}

}  // namespace wintest
