#include "Manager.h"

#include <filesystem>
#include <mutex>

#include "MWindow.h"
#include "platform/draw/QtApplication.h"
#include "platform/window/Window.h"

namespace TesselUI {

HINSTANCE Manager::m_hInstance = nullptr;
CString Manager::m_fontname = L"Arial";
int Manager::m_fontwidth = 14;
CString Manager::m_dev_name = L"Key Loft";
Gdiplus::Color Manager::m_select_color{0xFFFF0000};
UINT Manager::m_uControlID = 0;

namespace {

std::mutex g_dirLock;
CString g_programDir;

}  // namespace

CString Manager::GetProgramDir() {
    std::lock_guard lock(g_dirLock);
    if (g_programDir.IsEmpty()) {
        std::error_code ec;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        g_programDir = ec ? std::wstring(L"./") : exe.parent_path().wstring() + L"/";
    }
    return g_programDir;
}

void Manager::SetProgramDir(const CString& dir) {
    std::lock_guard lock(g_dirLock);
    g_programDir = dir;
    if (!g_programDir.IsEmpty() && g_programDir.back() != L'/') g_programDir += L'/';
}

BOOL Manager::InitGdiplus() { return platform::draw::EnsureQtApplication() ? TRUE : FALSE; }

BOOL Manager::PreTranslateMessage(MSG*) {
    return (platform::GetKeyState(platform::VK_MENU) < 0 && platform::GetKeyState(platform::VK_F4) < 0) ? TRUE
                                                                                                         : FALSE;
}

int Manager::MessageLoop() {
    MSG msg;
    for (;;) {
        const BOOL r = platform::GetMessageW(&msg, nullptr, 0, 0);
        if (r == 0 || r == -1) break;
        if (PreTranslateMessage(&msg)) continue;
        platform::TranslateMessage(&msg);
        platform::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

std::mutex& Manager::WndLock() {
    static std::mutex m;
    return m;
}

std::set<MWindow*>& Manager::Wnds() {
    static std::set<MWindow*> s;
    return s;
}

void Manager::AddWnd(MWindow* wnd) {
    std::lock_guard lock(WndLock());
    Wnds().insert(wnd);
}

void Manager::DeleteWnd(MWindow* wnd) {
    std::lock_guard lock(WndLock());
    Wnds().erase(wnd);
}

bool Manager::HasWnd(MWindow* wnd) {
    std::lock_guard lock(WndLock());
    return Wnds().count(wnd) != 0;
}

}  // namespace TesselUI
