// The controller's side of the music visualizer: starting it when a music mode
// is shown (StartMusic), loading a music layer into the page's controls and the
// visualizer (LoadMusicLayer), and the effect and amplitude handlers, which
// store their value in the selected layer of the keyboard's target.
//
// Owned by the controller; UI thread only. It writes the visualizer's gain and
// flags and the current music effect, which the worker reads for its frames
// (an atomic). The pauses that let the analysis thread finish its step go
// through keyloft::SleepMs. Store failures are ignored: a handler never creates
// a missing layer (only StartMusic does).
#pragma once

#include "lighting/MusicEffects.h"
#include "store/ProfileStore.h"

#include <atomic>
#include <string>

namespace keyloft {

class ScreenLight;
class Visualizer;

// The page's music controls (effect selector 132, amplitude slider 134, and the
// background selector 136 and brightness slider 138 that stay hidden).
class MusicControls {
public:
    virtual ~MusicControls() = default;
    // Selects the effect selector's item with this effect number.
    virtual void SelectEffect(int effect) = 0;
    // Selects its item by position (the default is the third, effect 106).
    virtual void SelectEffectItem(int index) = 0;
    virtual void SetAmplitude(int position) = 0;
    virtual void SelectBackground(int backmode) = 0;
    virtual void SelectBackgroundItem(int index) = 0;
    virtual void SetBackgroundBrightness(int value) = 0;
    // The lighting page is current and its selected mode has attribute 0x200.
    virtual bool MusicModeShown() = 0;
};

class MusicController {
public:
    static constexpr int kKeyboardTarget = 1;
    static constexpr int kPauseMs = 150;        // longer than one analysis step and its sleep
    static constexpr int kAmplitudeFactor = 5;  // gain = 5 x the slider position

    // `layerText` is language text 101 (a new layer is named it plus " 1").
    MusicController(ProfileStore& store, Visualizer& visualizer, ScreenLight& screen, MusicControls& controls,
                    std::wstring layerText);

    // `columns` and `rows` are the layout's key matrix size, for the screen sampler.
    void StartMusic(int columns, int rows);
    void LoadMusicLayer(int layerId);
    void ChangeMusicEffect(int effect);
    void ChangeMusicAmplitude(int position);

    // The effect the worker's frames play.
    int CurrentEffect() const { return effect_.load(std::memory_order_relaxed); }
    void SetCurrentEffect(int effect) { effect_.store(effect, std::memory_order_relaxed); }

private:
    template <typename Change>
    void UpdateSelectedLayer(Change change);

    ProfileStore& store_;
    Visualizer& visualizer_;
    ScreenLight& screen_;
    MusicControls& controls_;
    std::wstring layerText_;
    std::atomic<int> effect_{kEffectFlowFromMiddle};
};

}  // namespace keyloft
