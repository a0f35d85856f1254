#include "lighting/LightingSender.h"

#include "base/Clock.h"
#include "device/ChunkedTransfer.h"
#include "lighting/LightSettings.h"
#include "lighting/ScreenLight.h"
#include "store/FirstRunContent.h"

namespace keyloft {

bool NeedsEffectFrame(int deviceType, bool lightingPageCurrent, int attribute) {
    if (!lightingPageCurrent || !(attribute & (light_attr::kMusic | light_attr::kScreen))) return false;
    const KeyboardFamily family = FamilyOfDeviceType(deviceType);
    return family == KeyboardFamily::Family1 || family == KeyboardFamily::Family3;
}

LightingSender::LightingSender(HidDeviceManager& hid, ProfileStore& store) : hid_(hid), store_(store) {}

void LightingSender::SendLightMode(const LightingLink& link) { SendKeyboard(link); }

void LightingSender::SendAllLightModes(const LightingLink& link) {
    // A profile switch must bring the settings, not only the mode: family 1
    // sends settings once the mode-selected flag is set.
    modeSelected_ = true;
    SendKeyboard(link);
    SleepMs(kLightBoxPauseMs);
    SendLightBox(link);
}

void LightingSender::SendKeyboard(const LightingLink& link) {
    LightSetting s;
    if (!store_.GetLightSetting(link.profile, link.keyboardMode, s)) return;
    switch (FamilyOfDeviceType(link.deviceType)) {
    case KeyboardFamily::Family3: {
        CommandPacket p = Family3ModePacket(link.framing(), s);
        hid_.SendCommand(p.span(), false);
        if (s.mode == kCustomLightingMode) {
            CommandPacket custom = MakeCommand(link.framing(), cmd::kCustomLighting);
            hid_.SendCommand(custom.span(), false);
            SleepMs(kCustomModePauseMs);
            UploadCustomLighting(link.framing());
        }
        break;
    }
    case KeyboardFamily::Family1:
        hid_.WriteReport(Family1LightingReport(s, false, modeSelected_));
        modeSelected_ = true;
        break;
    case KeyboardFamily::Family2:
        if (link.framing() == Framing::A) {
            hid_.SendFeatureReport(Family2CableLightingReport(s));
        } else {
            hid_.WritePacket(Family2ReceiverLightingPacket(s).span());
        }
        break;
    case KeyboardFamily::None:
        break;
    }
}

void LightingSender::SendLightBox(const LightingLink& link) {
    LightSetting s;
    if (!store_.GetLightSetting(kLightBoxProfile, link.lightBoxMode, s)) return;
    switch (FamilyOfDeviceType(link.deviceType)) {
    case KeyboardFamily::Family3: {
        CommandPacket p = Family3LightBoxPacket(s);
        hid_.SendCommand(p.span(), false);
        break;
    }
    case KeyboardFamily::Family1:
    case KeyboardFamily::Family2:
        hid_.WriteReport(Family1LightingReport(s, true, modeSelected_));
        modeSelected_ = true;
        break;
    case KeyboardFamily::None:
        break;
    }
}

void LightingSender::SendArm(Framing framing) {
    bool armed = armed_.exchange(false);
    SendArmIfNeeded(hid_, framing, armed);
}

void LightingSender::UploadCustomLighting(Framing framing) {
    std::vector<KeyLight> lights;
    store_.LoadKeyLights(kKeyboardLightSet, lights);
    const PerKeyTable table = PerKeyTableOf(lights, positions_);
    SendArm(framing);
    SendPerKeyColourTable(hid_, framing, table);
}

void LightingSender::ApplyLighting(Framing framing) {
    CommandPacket p = MakeCommand(framing, cmd::kApplyLighting);
    hid_.WritePacket(p.span());
}

void LightingSender::SendEffectFrame(const LightingLink& link, const KeyGrid& grid, bool screenMode, int effect,
                                     float level, const ScreenLight& screen, LightingView& view) {
    if (grid.rows <= 0 || grid.columns <= 0) return;
    const Framing framing = link.framing();

    if (screenMode) {
        const int rows = std::min(grid.rows, 8), columns = std::min(grid.columns, 32);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const std::uint8_t k = grid.matrix[r][c];
                if (k != 0xFF) view.SetKeyColor(k, screen.Cell(c, r));
            }
        }
        view.UpdateControl();
        SendArm(framing);
        PerKeyTable table{};
        for (const LightingView::KeyItem& item : view.GetKeyItems())
            PutKeyColour(table, positions_, item.keyValue, item.colour);
        SendLiveColourFrame(hid_, framing, table);
        return;
    }

    zones_ = effects_.Compute(effect, level, NowMs());
    view.UpdateControl();
    SendArm(framing);
    const auto stream = ZoneStream(zones_);
    SendEightColourFrame(hid_, framing, stream);
    if (effect == kEffectColourCyclingMeter) SleepMs(kCyclingFramePauseMs);
}

}  // namespace keyloft
