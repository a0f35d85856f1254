// Small fixtures for the toolkit tests: a plain colour control that records what
// reaches it, a dialog that records its notifications, and a pump.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "MDialog.h"
#include "MPanel.h"
#include "platform/draw/Dc.h"
#include "platform/window/Window.h"

namespace tesseltest {

using namespace TesselUI;

// Fills its rectangle with one opaque COLORREF colour.
class ColourBox : public MControlFont {
public:
    ColourBox(MObject* parent, UINT id, CRect rect, COLORREF colour, int visible = 1, int enabled = 1)
        : MControlFont(parent, id, rect, L"", visible, enabled), colour(colour) {}

    void DrawControl(HDC& hdc, CRect update) override {
        CRect r;
        if (!r.IntersectRect(rect_, update)) return;
        platform::draw::FillSolidRect(*hdc, r.ToDraw(), colour);
        ++draws;
        update_ = TRUE;
    }
    BOOL OnControlLButtonDown(UINT, CPoint p) override {
        presses.push_back(p);
        SendMessageW(kNotifyPress, 11, 22);
        return TRUE;
    }
    BOOL OnControlLButtonUp(UINT, CPoint) override {
        ++releases;
        SendMessageW(kNotifyClick, 0, 0);
        return TRUE;
    }
    BOOL OnControlLButtonDblClk(UINT, CPoint) override {
        ++doubleClicks;
        return TRUE;
    }
    BOOL OnControlMouseMove(UINT, CPoint p) override {
        moves.push_back(p);
        return rect_.PtInRect(p) ? TRUE : FALSE;
    }
    BOOL OnControlScroll(int, UINT direction, CPoint) override {
        if (!takesWheel) return FALSE;
        wheel.push_back(direction);
        return TRUE;
    }
    BOOL OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override {
        keys.push_back(key);
        return MControl::OnControlKeyDown(key, repeat, modifiers);
    }
    BOOL OnControlTimer() override {
        ++ticks;
        return TRUE;
    }
    void SetControlFocus(BOOL f) override {
        MControl::SetControlFocus(f);
        focusChanges.push_back(f);
    }

    COLORREF colour;
    bool takesWheel = false;
    int draws = 0;
    int releases = 0;
    int doubleClicks = 0;
    int ticks = 0;
    std::vector<CPoint> presses;
    std::vector<CPoint> moves;
    std::vector<UINT> wheel;
    std::vector<UINT> keys;
    std::vector<BOOL> focusChanges;
};

struct Note {
    UINT id;
    UINT code;
    WPARAM w;
    LPARAM l;
    friend bool operator==(const Note& a, const Note& b) {
        return a.id == b.id && a.code == b.code && a.w == b.w && a.l == b.l;
    }
};

class TestDialog : public MDialog {
public:
    LRESULT OnMessage(UINT id, UINT code, WPARAM w, LPARAM l) override {
        notes.push_back(Note{id, code, w, l});
        return 0;
    }
    LRESULT OnWindowMessage(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == platform::WM_NCLBUTTONDOWN) captionPresses.push_back(w);
        if (msg == platform::WM_SYSKEYDOWN || msg == platform::WM_KEYDOWN) keyMessages.push_back(static_cast<UINT>(w));
        return MDialog::OnWindowMessage(msg, w, l);
    }
    void InitUI(CRect client) override {
        initClient = client;
        if (onInit) onInit(*this);
    }

    // Creates a shown popup at `rect` with no pause after paint passes.
    HWND Open(CRect rect, HWND owner = nullptr) {
        HWND h = Create(owner, L"TesselClient", platform::WS_POPUP, 0, rect);
        if (h) {
            GetPaintManager().SetPaintPause(0);
            ShowWindow(platform::SW_SHOWNA);
        }
        return h;
    }
    ColourBox* Add(UINT id, CRect r, COLORREF c, UINT kind = 1) {
        auto* box = new ColourBox(this, id, r, c);
        GetPaintManager().AddControl(box, kind);
        return box;
    }

    std::function<void(TestDialog&)> onInit;
    CRect initClient;
    std::vector<Note> notes;
    std::vector<WPARAM> captionPresses;
    std::vector<UINT> keyMessages;
};

template <typename Pred>
bool PumpUntil(Pred done, int timeoutMs = 3000) {
    using namespace std::chrono;
    const auto end = steady_clock::now() + milliseconds(timeoutMs);
    MSG m;
    while (!done()) {
        if (steady_clock::now() > end) return false;
        while (platform::PeekMessageW(&m, nullptr, 0, 0, platform::PM_REMOVE)) {
            platform::TranslateMessage(&m);
            platform::DispatchMessageW(&m);
            if (done()) return true;
        }
        platform::WaitMessageFor(10);
    }
    return true;
}

inline void PumpFor(int ms) {
    PumpUntil([] { return false; }, ms);
}

// Delivers a mouse message to the dialog as the window layer would.
inline void Mouse(MDialog& d, UINT msg, int x, int y, WPARAM flags = 0) {
    platform::SendMessageW(d.GetSafeHwnd(), msg, flags, platform::MAKELPARAM(x, y));
}

}  // namespace tesseltest
