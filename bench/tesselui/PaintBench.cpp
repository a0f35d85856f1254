// One full paint pass of a 1280 x 720 window holding 300 plain controls, and the
// processor share of an idle window with the 10 ms shared timer running.
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>

#include "MControlFont.h"
#include "MDialog.h"
#include "platform/draw/Dc.h"
#include "platform/window/Window.h"

using namespace TesselUI;
namespace W = platform;

namespace {

class Plain : public MControlFont {
public:
    Plain(MObject* parent, UINT id, CRect rect, COLORREF c) : MControlFont(parent, id, rect, L"", 1, 1), colour_(c) {}
    void DrawControl(HDC& hdc, CRect update) override {
        CRect r;
        if (r.IntersectRect(rect_, update)) platform::draw::FillSolidRect(*hdc, r.ToDraw(), colour_);
    }

private:
    COLORREF colour_;
};

class BenchDialog : public MDialog {};

HWND Open(BenchDialog& d, int w, int h) {
    HWND hwnd = d.Create(nullptr, L"TesselClient", W::WS_POPUP, 0, CRect(0, 0, w, h));
    d.GetPaintManager().SetPaintPause(0);
    d.ShowWindow(W::SW_SHOWNA);
    return hwnd;
}

void BM_FullPaintPass300Controls(benchmark::State& state) {
    BenchDialog d;
    HWND hwnd = Open(d, 1280, 720);
    for (int i = 0; i < 300; ++i) {
        const int x = 10 + (i % 20) * 63, y = 10 + (i / 20) * 47;
        d.GetPaintManager().AddControl(
            new Plain(&d, static_cast<UINT>(i + 1), CRect(x, y, x + 58, y + 42), W::RGB(i % 256, 80, 160)), 1);
    }
    for (auto _ : state) {
        W::InvalidateRect(hwnd, nullptr, FALSE);
        W::UpdateWindow(hwnd);
    }
    benchmark::DoNotOptimize(d.GetPaintManager().GetLastFrame());
}
BENCHMARK(BM_FullPaintPass300Controls)->Unit(benchmark::kMillisecond);

double ProcessCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// Runs the window's message loop for two seconds and reports the processor time
// used as a share of one core; the baseline runs the same window without the timer.
void IdleWindow(benchmark::State& state, bool sharedTimer) {
    BenchDialog d;
    Open(d, 640, 480);
    W::MSG m;
    while (W::PeekMessageW(&m, nullptr, 0, 0, W::PM_REMOVE)) W::DispatchMessageW(&m);
    if (sharedTimer) d.SetMTimer(10);
    double share = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpu0 = ProcessCpuSeconds();
        const auto end = start + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < end) {
            while (W::PeekMessageW(&m, nullptr, 0, 0, W::PM_REMOVE)) W::DispatchMessageW(&m);
            W::WaitMessageFor(500);
        }
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        share = 100.0 * (ProcessCpuSeconds() - cpu0) / wall;
    }
    state.counters["cpu_percent_of_one_core"] = share;
}
void BM_IdleWindowWithSharedTimer(benchmark::State& state) { IdleWindow(state, true); }
void BM_IdleWindowBaseline(benchmark::State& state) { IdleWindow(state, false); }
BENCHMARK(BM_IdleWindowWithSharedTimer)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleWindowBaseline)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
