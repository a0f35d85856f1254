#include "lighting/LightModeSelection.h"

#include "lighting/LightSettings.h"
#include "lighting/LightingSender.h"
#include "lighting/MusicController.h"
#include "lighting/ScreenLight.h"
#include "lighting/Visualizer.h"
#include "store/FirstRunContent.h"

namespace keyloft {

LightModeSelection::LightModeSelection(ProfileStore& store, LightingPage& page, LightingSender& sender,
                                       MusicController& music, Visualizer& visualizer, ScreenLight& screen)
    : store_(store), page_(page), sender_(sender), music_(music), visualizer_(visualizer), screen_(screen) {}

void LightModeSelection::SetKeyboard(int deviceType, int columns, int rows) {
    family_ = FamilyOfDeviceType(deviceType);
    columns_ = columns;
    rows_ = rows;
}

bool LightModeSelection::ShowLightMode(int profile) {
    const int mode = page_.SelectedMode();
    LightSetting s;
    if (!store_.GetLightSetting(profile, mode, s)) return false;
    attribute_ = s.config_func;
    store_.SetActiveLightMode(profile, mode);
    page_.SetViewMode(kViewPlain);
    page_.ShowModeControls(s, attribute_);

    if (attribute_ & light_attr::kPerKey) {
        page_.SetViewMode(kViewPerKey);
        std::vector<KeyLight> lights;
        store_.LoadKeyLights(kKeyboardLightSet, lights);
        page_.ShowCustomLighting(lights, static_cast<std::uint32_t>(s.color_value));
    }
    // Family 2 keyboards get no software lighting frames: only the music
    // controls follow the bit there (the page does that).
    if (family_ != KeyboardFamily::Family2) {
        if (attribute_ & light_attr::kMusic) {
            page_.SetViewMode(kViewSoftwareLighting);
            music_.StartMusic(columns_, rows_);
        } else {
            visualizer_.SetActive(false);
        }
    }
    if (attribute_ & light_attr::kScreen) {
        page_.SetViewMode(kViewSoftwareLighting);
        screen_.SetCapture(true);
    } else {
        screen_.SetCapture(false);
    }
    return true;
}

bool LightModeSelection::SelectLightMode(int profile) {
    if (!ShowLightMode(profile)) return false;
    if (attribute_ & light_attr::kMusic) {
        if (family_ == KeyboardFamily::Family2) page_.SetViewMode(kViewSoftwareLighting);
        music_.SetCurrentEffect(page_.SelectedMusicEffect());
        visualizer_.SetActive(true);
        sender_.Arm();
        return false;
    }
    if (attribute_ & light_attr::kScreen) {
        sender_.Arm();
        return false;
    }
    sender_.ClearModeSelected();
    return true;
}

}  // namespace keyloft
