// tesselui-demo: opens a window with plain colour controls, moves a highlight
// across them on a window timer (hover lights a tile too), answers clicks with a
// banner message, runs the shared 10 ms animation timer as the program does, and closes itself after the given number of seconds (default
// 3), optionally writing what the window showed to a PNG file first.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "MControlFont.h"
#include "MDialog.h"
#include "Manager.h"
#include "platform/draw/Dc.h"
#include "platform/window/Window.h"

using namespace TesselUI;
namespace W = platform;

namespace {

// A plain tile: its colour, lighter while the mouse is over it or the animation
// marks it.
class Tile : public MControlFont {
public:
    Tile(MObject* parent, UINT id, CRect rect, COLORREF colour)
        : MControlFont(parent, id, rect, L"", 1, 1), colour_(colour) {}

    void DrawControl(HDC& hdc, CRect update) override {
        CRect r;
        if (!r.IntersectRect(rect_, update)) return;
        COLORREF c = colour_;
        if (lit_ || hover_) {
            auto up = [](int v) { return std::min(255, v + 70); };
            c = W::RGB(up(c & 0xFF), up((c >> 8) & 0xFF), up((c >> 16) & 0xFF));
        }
        platform::draw::FillSolidRect(*hdc, rect_.ToDraw().Intersected(r.ToDraw()), c);
    }
    BOOL OnControlMouseMove(UINT, CPoint p) override {
        const bool inside = rect_.PtInRect(p);
        if (inside != hover_) {
            hover_ = inside;
            UpdateControl(TRUE, FALSE);
        }
        return inside ? TRUE : FALSE;
    }
    BOOL OnControlLButtonUp(UINT, CPoint p) override {
        if (rect_.PtInRect(p)) SendMessageW(kNotifyClick, 0, 0);
        return TRUE;
    }
    void SetLit(bool lit) {
        if (lit == lit_) return;
        lit_ = lit;
        UpdateControl(TRUE, FALSE);
    }

private:
    COLORREF colour_;
    bool lit_ = false;
    bool hover_ = false;
};

class DemoDialog : public MDialog {
public:
    void InitUI(CRect client) override {
        GetPaintManager().SetBackColor(W::RGB(20, 24, 32), W::RGB(70, 130, 220));
        const COLORREF colours[] = {W::RGB(200, 60, 60), W::RGB(60, 170, 90), W::RGB(60, 110, 200),
                                    W::RGB(200, 160, 40), W::RGB(150, 70, 190), W::RGB(40, 170, 170)};
        for (int i = 0; i < 6; ++i) {
            const int x = 30 + (i % 3) * 150, y = 40 + (i / 3) * 110;
            auto* tile = new Tile(this, static_cast<UINT>(i + 1), CRect(x, y, x + 130, y + 90), colours[i]);
            GetPaintManager().AddControl(tile, 1);
            tiles_[i] = tile;
        }
        (void)client;
    }
    LRESULT OnMessage(UINT id, UINT code, WPARAM, LPARAM) override {
        if (code == kNotifyClick) SetMessage(L"Tile " + std::to_wstring(id), CRect(), MSG_LEVEL_INFO);
        return 0;
    }
    Tile* tiles_[6] = {};
};

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::string shot = argc > 2 ? argv[2] : "";
    Manager::InitGdiplus();
    DemoDialog dialog;
    if (!dialog.Create(nullptr, L"TesselUI demo", W::WS_POPUP, 0, CRect(100, 100, 580, 380))) {
        std::fprintf(stderr, "tesselui-demo: the window could not be created\n");
        return 1;
    }
    dialog.SetWindowTextW(L"TesselUI demo");
    dialog.CenterWindow();
    dialog.ShowWindow(W::SW_SHOW);
    dialog.SetMTimer(10);
    // Window timers: 1 steps the highlight, 2 ends the demo.
    W::SetTimer(dialog.GetSafeHwnd(), 1, 250, nullptr);
    W::SetTimer(dialog.GetSafeHwnd(), 2, static_cast<UINT>(seconds * 1000), nullptr);
    int step = 0;
    MSG msg;
    while (W::GetMessageW(&msg, nullptr, 0, 0)) {
        if (msg.message == W::WM_TIMER && msg.hwnd == dialog.GetSafeHwnd() && msg.wParam == 1) {
            for (int i = 0; i < 6; ++i) dialog.tiles_[i]->SetLit(i == step % 6);
            ++step;
            continue;
        }
        if (msg.message == W::WM_TIMER && msg.hwnd == dialog.GetSafeHwnd() && msg.wParam == 2) {
            W::UpdateWindow(dialog.GetSafeHwnd());
            if (!shot.empty() && !W::SaveWindowImage(dialog.GetSafeHwnd(), shot))
                std::fprintf(stderr, "tesselui-demo: could not write %s\n", shot.c_str());
            dialog.DoOK();
            continue;
        }
        if (msg.message == W::WM_CLOSE && msg.hwnd == dialog.GetSafeHwnd()) {
            W::DispatchMessageW(&msg);
            break;
        }
        if (Manager::PreTranslateMessage(&msg) || dialog.PreTranslateMessage(&msg)) continue;
        W::TranslateMessage(&msg);
        W::DispatchMessageW(&msg);
    }
    std::printf("tesselui-demo: shown on \"%s\" for %d s, %d highlight steps\n", W::PlatformName().c_str(),
                seconds, step);
    return 0;
}

// In sanitizer builds: the font system (fontconfig) keeps a small allocation for
// the life of the process, which the leak checker must not count against us.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
