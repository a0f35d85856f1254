// Skin loading and state-cell drawing.
//
//   BM_LoadMainWindowSkin: every skin image the main window and its pages load,
//     through a fresh window cache each time (decode + convert). Goal: 100 ms.
//   BM_DrawButtonCell: one 4-state button drawn from its pre-rendered cells into
//     a 1280 x 720 frame (the copy a hover change costs). Goal: 5 us.
#include <benchmark/benchmark.h>

#include "MControlFont.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "platform/draw/Dc.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/QtApplication.h"

using namespace TesselUI;

namespace {

// The images of the main window, its pages and its small dialogs, with the cell
// counts they are asked for.
const std::pair<const wchar_t*, int> kMainWindowSkin[] = {
    {L"main_bkg.png", 1}, {L"pic_caption.png", 1}, {L"main_sysbtn_close.png", 4},
    {L"main_sysbtn_min.png", 4}, {L"main_sysbtn_website.png", 4}, {L"logo\\logo.png", 1},
    {L"icon\\icon_battery_bkg.png", 1}, {L"icon\\mode_usb.png", 1}, {L"icon\\tab_home.png", 4},
    {L"icon\\tab_customkey.png", 4}, {L"icon\\tab_macro.png", 4}, {L"icon\\tab_light.png", 4},
    {L"icon\\tab_config.png", 4}, {L"img_device_state.png", 2}, {L"imgbtn_add.png", 4},
    {L"imgbtn_del.png", 4}, {L"imgbtn_edit.png", 4}, {L"imgbtn_import.png", 4}, {L"imgbtn_export.png", 4},
    {L"img_edit.png", 4}, {L"icon//icon_circle.png", 2}, {L"img_btn_layer_p.png", 4},
    {L"img_btn_layer_n.png", 4}, {L"img_customkey.png", 4}, {L"img_slider_back.png", 1}, {L"img_thumb.png", 4},
    {L"btn_direction_left.png", 8}, {L"btn_direction_right.png", 8}, {L"btn_direction_top.png", 8},
    {L"btn_direction_bottom.png", 8}, {L"img_combobox.png", 4}, {L"btn_apply.png", 4},
    {L"btn_colorful.png", 4}, {L"btn_colorful1.png", 4}, {L"btn_colorful2.png", 4}, {L"btn_colorful3.png", 4},
    {L"btn_colorful4.png", 4}, {L"btn_colorful5.png", 4}, {L"btn_colorful6.png", 4},
    {L"btn_colorful7.png", 4}, {L"btn_colorful8.png", 4}, {L"btn_checkbox.png", 8},
    {L"img_circlepalette.png", 1}, {L"btn_radiobox.png", 8}, {L"btn_record_time.png", 4},
    {L"btn_record_up.png", 4}, {L"btn_record_down.png", 4}, {L"btn_record_del.png", 4},
    {L"img_scroll_v.png", 4}, {L"img_scroll_h.png", 4}, {L"keyboard\\K1.png", 1},
};

void Setup() {
    platform::draw::EnsureQtApplication();
    const std::string dir = KEYLOFT_RUNTIME_DIR;
    Manager::SetProgramDir(CString(std::wstring(dir.begin(), dir.end())));
}

void BM_LoadMainWindowSkin(benchmark::State& state) {
    Setup();
    for (auto _ : state) {
        PaintManager pm;
        int loaded = 0;
        for (const auto& [name, cells] : kMainWindowSkin) loaded += pm.AddImgResInfo(name, cells) != nullptr;
        if (loaded != static_cast<int>(std::size(kMainWindowSkin))) {
            state.SkipWithError("a skin image is missing: build the keyloft-skin target");
            break;
        }
        benchmark::DoNotOptimize(loaded);
        pm.ClearImgResInfo();
    }
    state.SetLabel(std::to_string(std::size(kMainWindowSkin)) + " images");
}
BENCHMARK(BM_LoadMainWindowSkin)->Unit(benchmark::kMillisecond);

class Button : public MControlFont {
public:
    using MControlFont::MControlFont;
    void DrawControl(HDC& hdc, CRect) override {
        if (!update_) {
            MRender::RebuildStateCells(*this, hdc, 4, [this](HDC, Gdiplus::Graphics& g, const CRect& cell, int i) {
                MRender::DrawSkinCell(g, image_, imageCellWidth_, imageHeight_, i, cell, 10);
            });
        }
        MRender::CopyStateCell(*this, hdc, cell_);
    }
    int cell_ = 0;
};

void BM_DrawButtonCell(benchmark::State& state) {
    Setup();
    PaintManager pm;
    platform::draw::Image frame(1280, 720);
    frame.Fill(0xFF0B1221);
    platform::draw::Dc dc(&frame);
    HDC hdc = &dc;
    Button button(nullptr, 107, CRect(360, 560, 588, 598), L"");
    button.SetManager(&pm);
    if (!button.SetImage(L"btn_apply.png", 4)) {
        state.SkipWithError("btn_apply.png is missing: build the keyloft-skin target");
        return;
    }
    button.DrawControl(hdc, CRect(0, 0, 1280, 720));  // builds the cells once
    int i = 0;
    for (auto _ : state) {
        button.cell_ = (i++) & 3;
        button.DrawControl(hdc, CRect(0, 0, 1280, 720));
        benchmark::ClobberMemory();
    }
    pm.ClearImgResInfo();
}
BENCHMARK(BM_DrawButtonCell)->Unit(benchmark::kMicrosecond);

}  // namespace
