// The stored side of the lighting page: one LightSetting row per mode and
// target (a profile, or 999 for the light box), created with their defaults the
// first time a target is shown, and the user's changes as they are stored.
//
// The handlers of the lighting page call these on the UI thread, then decide
// whether to queue the send task; the worker reads the rows when it sends.
// Store failures are not reported beyond the results given here.
#pragma once

#include "config/DeviceRecords.h"
#include "device/CommandPacket.h"
#include "lighting/LightingView.h"
#include "store/ProfileStore.h"

#include <cstdint>
#include <string>
#include <vector>

namespace keyloft {

// Attribute bits of a lighting mode (config_func).
namespace light_attr {
inline constexpr int kBrightness = 0x001;
inline constexpr int kSpeed = 0x002;
inline constexpr int kLeftRight = 0x004;
inline constexpr int kUpDown = 0x008;
inline constexpr int kRgbSliders = 0x010;
inline constexpr int kCustomColour = 0x020;
inline constexpr int kPresetColours = 0x040;
inline constexpr int kGradients = 0x080;
inline constexpr int kPerKey = 0x100;
inline constexpr int kMusic = 0x200;
inline constexpr int kScreen = 0x400;
}  // namespace light_attr

inline constexpr std::uint32_t kDefaultCustomColour = 0x0000FF;  // red
// Preset colours of colour index 0 to 6 (7 is the multicolour button).
inline constexpr std::uint32_t kPresetColours[7] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF,
                                                   0xFF00FF, 0xFFFF00, 0xFFFFFF};
// The colours of the eight custom-colour shortcut buttons.
inline constexpr std::uint32_t kShortcutColours[8] = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000,
                                                     0x00FFFF, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// A new row for `entry` with the defaults of `light` (direction 2 for family 2).
LightSetting NewLightSetting(int profile, const LightModeEntry& entry, const LightRecord& light,
                             KeyboardFamily family);

// Creates one row per entry of `modes`, in order, when `profile` has none yet,
// and makes the `default_mode` row active. Returns the number of rows created.
int EnsureLightSettings(ProfileStore& store, int profile, const std::vector<LightModeEntry>& modes,
                        const LightRecord& light, KeyboardFamily family);

// The direction stored for the left/right buttons: left 1; right 0 (family 2: 2).
int DirectionValue(bool leftChecked, KeyboardFamily family);

enum class LightField { Brightness, Speed, Direction, ColourIndex };
// Reads the row of (profile, mode), changes one field and stores it. False when
// the row does not exist or could not be stored.
bool ChangeLightSetting(ProfileStore& store, int profile, int mode, LightField field, int value);

// A custom colour choice: stores color_value. True when the row exists.
bool StoreCustomColour(ProfileStore& store, int profile, int mode, std::uint32_t colour);
// The colourful check box. Cleared by the user, the custom colour goes back to
// red; cleared by a colour choice it stays. `shown` receives the colour the
// sliders and fields then show (the stored color_value). False when the row
// does not exist or could not be stored.
bool StoreColourful(ProfileStore& store, int profile, int mode, bool checked, bool byUser, std::uint32_t* shown);

// A red, green or blue number field's text read as a number: clamped to 0..255
// (`clamped` tells the field to show the clamped value), 0 for text that is not
// a number.
struct ColourFieldValue {
    int value = 0;
    bool clamped = false;
};
ColourFieldValue ParseColourField(const std::wstring& text);
inline std::uint32_t ColourOfFields(int red, int green, int blue) {
    return static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
           static_cast<std::uint32_t>(blue) << 16;
}

// Painting in the per-key mode: replaces light set 128 with one row per view
// item, in item order (unlit keys with colour 0). Returns the rows stored.
int SaveCustomLighting(ProfileStore& store, int profile, const std::vector<LightingView::KeyItem>& items);

}  // namespace keyloft
