#include "lighting/MusicController.h"

#include "base/Clock.h"
#include "lighting/ScreenLight.h"
#include "lighting/Visualizer.h"

namespace keyloft {

namespace {
constexpr int kNewLayerGain = 300;
constexpr int kDefaultAmplitude = 60;
constexpr int kDefaultBackgroundBrightness = 100;
constexpr int kDefaultEffectItem = 2;  // the third item: effect 106
}  // namespace

MusicController::MusicController(ProfileStore& store, Visualizer& visualizer, ScreenLight& screen,
                                 MusicControls& controls, std::wstring layerText)
    : store_(store), visualizer_(visualizer), screen_(screen), controls_(controls), layerText_(std::move(layerText)) {}

void MusicController::StartMusic(int columns, int rows) {
    screen_.Start(columns, rows);
    const int target = kKeyboardTarget;
    if (store_.CountMusicLayers(target) < 1) {
        const int id = store_.AddMusicLayer(target, layerText_ + L" 1", kEffectFlowFromMiddle);
        store_.SelectMusicLayer(target, id);
    }
    int id = store_.GetSelectedMusicLayer(target);
    if (id < 1) {
        std::vector<MusicLayer> layers;
        store_.LoadMusicLayers(target, layers);
        if (!layers.empty()) {
            store_.SelectMusicLayer(target, layers.front().layer_id);
            id = layers.front().layer_id;
        }
    }
    LoadMusicLayer(id);
}

void MusicController::LoadMusicLayer(int layerId) {
    visualizer_.SetActive(false);
    SetCurrentEffect(kEffectFlowFromMiddle);
    SleepMs(kPauseMs);

    MusicLayer layer;
    if (store_.GetMusicLayer(layerId, layer)) {
        controls_.SelectEffect(layer.foremode);
        controls_.SetAmplitude(layer.fore_amplitude / kAmplitudeFactor);
        controls_.SelectBackground(layer.backmode);
        controls_.SetBackgroundBrightness(layer.backb_right);
        visualizer_.SetDeviceIndex(0);
        visualizer_.StartCapture();
        visualizer_.SetGain(layer.fore_amplitude);
        SetCurrentEffect(layer.foremode);
    } else {
        controls_.SelectEffectItem(kDefaultEffectItem);
        controls_.SelectBackgroundItem(0);
        controls_.SetAmplitude(kDefaultAmplitude);
        controls_.SetBackgroundBrightness(kDefaultBackgroundBrightness);
        visualizer_.SetDeviceIndex(0);
        visualizer_.StartCapture();
        visualizer_.SetGain(kNewLayerGain);
    }
    if (controls_.MusicModeShown()) visualizer_.SetActive(true);
}

template <typename Change>
void MusicController::UpdateSelectedLayer(Change change) {
    const int id = store_.GetSelectedMusicLayer(kKeyboardTarget);
    MusicLayer layer;
    if (!store_.GetMusicLayer(id, layer)) return;
    change(layer);
    store_.UpdateMusicLayer(id, layer);
}

void MusicController::ChangeMusicEffect(int effect) {
    visualizer_.SetActive(false);
    SleepMs(kPauseMs);
    SetCurrentEffect(effect);
    visualizer_.SetActive(true);
    UpdateSelectedLayer([effect](MusicLayer& layer) { layer.foremode = effect; });
}

void MusicController::ChangeMusicAmplitude(int position) {
    const int gain = kAmplitudeFactor * position;
    visualizer_.SetActive(false);
    SleepMs(kPauseMs);
    visualizer_.SetGain(gain);
    visualizer_.SetActive(true);
    UpdateSelectedLayer([gain](MusicLayer& layer) { layer.fore_amplitude = gain; });
}

}  // namespace keyloft
