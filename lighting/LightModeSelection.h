// Showing and selecting a lighting mode on the keyboard's lighting page: which
// mode is active, what the keyboard view shows, whether the music visualizer or
// the screen sampler run, and whether a send task follows.
//
// The page's controls and keyboard view are reached through LightingPage (the
// window implements it; tests use a fake). UI thread only; the flags it sets
// on the visualizer, the screen sampler and the sender are atomics that the
// worker and the analysis and screen threads read.
#pragma once

#include "device/CommandPacket.h"
#include "store/ProfileStore.h"

#include <cstdint>
#include <vector>

namespace keyloft {

class LightingSender;
class MusicController;
class ScreenLight;
class Visualizer;

// Keyboard view modes.
inline constexpr int kViewPlain = 102;
inline constexpr int kViewPerKey = 103;
inline constexpr int kViewSoftwareLighting = 104;

class LightingPage {
public:
    virtual ~LightingPage() = default;
    // The mode number (item data) of the mode list's current item; 0 for none.
    virtual int SelectedMode() = 0;
    // Shows and fills the controls the attribute bits ask for (sliders, direction
    // and colour buttons, the music controls) from the row's values.
    virtual void ShowModeControls(const LightSetting& setting, int attribute) = 0;
    virtual void SetViewMode(int viewMode) = 0;
    // The per-key mode: the view shows these key colours and paints with `paintColour`.
    virtual void ShowCustomLighting(const std::vector<KeyLight>& lights, std::uint32_t paintColour) = 0;
    // The effect number of the music effect selector's current item.
    virtual int SelectedMusicEffect() = 0;
};

class LightModeSelection {
public:
    LightModeSelection(ProfileStore& store, LightingPage& page, LightingSender& sender, MusicController& music,
                       Visualizer& visualizer, ScreenLight& screen);

    // The keyboard's device type and the layout's key matrix size.
    void SetKeyboard(int deviceType, int columns, int rows);

    // Makes the list's current mode active and shows it. False when the mode
    // has no stored row (then nothing changes).
    bool ShowLightMode(int profile);
    // ShowLightMode, then the music, screen or send consequences. True when the
    // caller is to queue task 9 (with a wait dialog).
    bool SelectLightMode(int profile);

    int Attribute() const { return attribute_; }

private:
    ProfileStore& store_;
    LightingPage& page_;
    LightingSender& sender_;
    MusicController& music_;
    Visualizer& visualizer_;
    ScreenLight& screen_;
    KeyboardFamily family_ = KeyboardFamily::Family3;
    int columns_ = 0, rows_ = 0;
    int attribute_ = 0;
};

}  // namespace keyloft
