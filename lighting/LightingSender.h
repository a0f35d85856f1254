// The worker thread's side of the lighting: the device tasks that write the
// lighting to the keyboard (task 9 SendLightMode, task 10 SendAllLightModes,
// task 11 UploadCustomLighting, the apply command) and the software lighting
// frames of the music and screen modes (SendEffectFrame).
//
// Owned by the controller, living as long as it. The settings are read from the
// store when a task runs, so a task queued before several changes sends the
// latest values. The arm flag (command 0x09 before the next per-key upload or
// effect frame) and the family 1 mode-selected flag are atomics that the UI
// thread sets or clears while the worker reads them. Everything else runs on the
// worker thread only.
//
// Failure: sends are not examined (the next send of the same target repairs a
// lost packet); a colour transfer stops at the first report that cannot be
// written. A target whose selected mode has no stored row is not sent.
#pragma once

#include "device/CommandPacket.h"
#include "device/HidDeviceManager.h"
#include "lighting/LightingPackets.h"
#include "lighting/LightingView.h"
#include "lighting/MusicEffects.h"
#include "store/ProfileStore.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace keyloft {

class ScreenLight;
class Visualizer;

// What a send needs to know of the controller's state when it runs.
struct LightingLink {
    int deviceType = 0;        // selects the family
    int framingSelector = -1;  // GetActiveMode() after the last rescan
    int profile = 0;           // the profile whose lighting is sent
    int keyboardMode = 0;      // selected mode of the lighting page
    int lightBoxMode = 0;      // selected mode of the light box page
    Framing framing() const { return FramingForSelector(framingSelector); }
};

// The layout's key matrix and its size, for the screen frame.
struct KeyGrid {
    std::array<std::array<std::uint8_t, 32>, 8> matrix{};  // 0xFF: no key
    int rows = 0;
    int columns = 0;
};

// Whether the worker's idle pass sends a software lighting frame: the lighting
// page is current, its mode is a music (0x200) or screen (0x400) mode, and the
// keyboard is of family 1 or 3 (family 2 gets only the mode packets).
bool NeedsEffectFrame(int deviceType, bool lightingPageCurrent, int attribute);

class LightingSender {
public:
    static constexpr int kLightBoxPauseMs = 50;
    static constexpr int kCustomModePauseMs = 10;
    static constexpr int kCyclingFramePauseMs = 30;

    LightingSender(HidDeviceManager& hid, ProfileStore& store);

    // The arm flag starts set: the first per-key upload or effect frame after
    // the program starts is preceded by command 0x09.
    void Arm() { armed_ = true; }
    bool Armed() const { return armed_; }
    void ClearModeSelected() { modeSelected_ = false; }
    bool ModeSelected() const { return modeSelected_; }

    // Where the keyboard's per-key colours come from.
    void SetLightPositions(LightPositions positions) { positions_ = std::move(positions); }

    // Task 9: the keyboard's selected mode.
    void SendLightMode(const LightingLink& link);
    // Task 10: the keyboard, 50 ms, the light box (family 1 sends settings, not
    // just the mode).
    void SendAllLightModes(const LightingLink& link);
    // Task 11: light set 128 as the per-key colour table.
    void UploadCustomLighting(Framing framing);
    // The apply button: command 0x0A through WritePacket. Sent straight from the
    // UI thread (the device manager lets it fall between worker packets).
    void ApplyLighting(Framing framing);

    // One software lighting frame (the idle pass of the worker). `screenMode`:
    // the page's mode has attribute 0x400, else it is a music mode playing
    // `effect` at `level`. Nothing happens for a key grid of no rows or columns.
    void SendEffectFrame(const LightingLink& link, const KeyGrid& grid, bool screenMode, int effect, float level,
                         const ScreenLight& screen, LightingView& view);

    MusicEffects& Effects() { return effects_; }
    const std::array<std::uint32_t, 8>& Zones() const { return zones_; }

private:
    void SendKeyboard(const LightingLink& link);
    void SendLightBox(const LightingLink& link);
    void SendArm(Framing framing);

    HidDeviceManager& hid_;
    ProfileStore& store_;
    LightPositions positions_;
    std::atomic<bool> armed_{true};
    std::atomic<bool> modeSelected_{false};
    MusicEffects effects_;
    std::array<std::uint32_t, 8> zones_{};
};

}  // namespace keyloft
