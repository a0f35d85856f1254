#include "lighting/LightSettings.h"

#include "store/FirstRunContent.h"

#include <cwctype>
#include <limits>

namespace keyloft {

namespace {
constexpr int kDefaultColourIndex = 7;  // the multicolour button
}

LightSetting NewLightSetting(int profile, const LightModeEntry& entry, const LightRecord& light,
                             KeyboardFamily family) {
    LightSetting s;
    s.profile = profile;
    s.name = entry.name;
    s.mode = entry.mode;
    s.brightness = light.defaultBrightness;
    s.speed = light.defaultSpeed;
    s.direction = family == KeyboardFamily::Family2 ? 2 : 0;
    s.colorful = 1;
    s.colorindex = kDefaultColourIndex;
    s.color_value = static_cast<int>(kDefaultCustomColour);
    s.config_func = entry.attribute;
    s.reserved = 0;
    s.status = 0;
    return s;
}

int EnsureLightSettings(ProfileStore& store, int profile, const std::vector<LightModeEntry>& modes,
                        const LightRecord& light, KeyboardFamily family) {
    if (store.CountLightSettings(profile) != 0) return 0;
    int created = 0;
    for (const LightModeEntry& entry : modes)
        if (store.AddLightSetting(NewLightSetting(profile, entry, light, family)) > 0) ++created;
    store.SetActiveLightMode(profile, light.defaultMode);
    return created;
}

int DirectionValue(bool leftChecked, KeyboardFamily family) {
    if (leftChecked) return 1;
    return family == KeyboardFamily::Family2 ? 2 : 0;
}

bool ChangeLightSetting(ProfileStore& store, int profile, int mode, LightField field, int value) {
    LightSetting s;
    if (!store.GetLightSetting(profile, mode, s)) return false;
    switch (field) {
    case LightField::Brightness: s.brightness = value; break;
    case LightField::Speed: s.speed = value; break;
    case LightField::Direction: s.direction = value; break;
    case LightField::ColourIndex: s.colorindex = value; break;
    }
    return store.UpdateLightSetting(profile, mode, s);
}

bool StoreCustomColour(ProfileStore& store, int profile, int mode, std::uint32_t colour) {
    LightSetting s;
    if (!store.GetLightSetting(profile, mode, s)) return false;
    s.color_value = static_cast<int>(colour);
    return store.UpdateLightSetting(profile, mode, s);
}

bool StoreColourful(ProfileStore& store, int profile, int mode, bool checked, bool byUser, std::uint32_t* shown) {
    LightSetting s;
    if (!store.GetLightSetting(profile, mode, s)) return false;
    s.colorful = checked ? 1 : 0;
    if (!checked && byUser) s.color_value = static_cast<int>(kDefaultCustomColour);
    if (shown) *shown = static_cast<std::uint32_t>(s.color_value);
    return store.UpdateLightSetting(profile, mode, s);
}

ColourFieldValue ParseColourField(const std::wstring& text) {
    // Reads like the C library's integer conversion: leading blanks, a sign,
    // then digits up to the first other character; no digits reads as 0.
    std::size_t i = 0;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    long long value = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        digits = true;
        if (value < 1000) value = value * 10 + (text[i] - L'0');  // anything above 255 clamps alike
    }
    if (!digits) return {0, false};
    if (negative) value = -value;
    if (value < 0) return {0, true};
    if (value > 255) return {255, true};
    return {static_cast<int>(value), false};
}

int SaveCustomLighting(ProfileStore& store, int profile, const std::vector<LightingView::KeyItem>& items) {
    store.DeleteKeyLights(kKeyboardLightSet);
    std::vector<KeyLight> lights;
    lights.reserve(items.size());
    for (const LightingView::KeyItem& item : items) {
        KeyLight k;
        k.profile = profile;
        k.light_id = kKeyboardLightSet;
        k.key_code = item.keyValue;
        k.key_rgb = static_cast<int>(item.colour);
        lights.push_back(k);
    }
    return store.AddKeyLights(lights);
}

}  // namespace keyloft
