// The stored side of the lighting page: rows created with their defaults, the
// user's changes, the colour fields, the per-key set and the music layers.
#include "FakeAudio.h"
#include "LightingRig.h"
#include "base/WideString.h"
#include "lighting/LightSettings.h"
#include "lighting/LightingPackets.h"
#include "lighting/MusicController.h"
#include "lighting/ScreenLight.h"
#include "lighting/Visualizer.h"
#include "store/FirstRunContent.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using testing::KeyboardSetup;
using testing::LightingRig;

const std::vector<LightModeEntry> kModes = {
    {L"40", 1, 0x0C3}, {L"41", 2, 0x047}, {L"42", 24, 0x100}, {L"43", 25, 0x200}, {L"44", 26, 0x400}};
const LightRecord kLight = {true, 2, 4, 3, 5, 5};  // default mode 2, brightness 4, speed 3

TEST(LightSettings, NewProfileGetsOneRowPerModeWithTheDefaultModeActive) {
    for (KeyboardFamily family : {KeyboardFamily::Family3, KeyboardFamily::Family2}) {
        LightingRig rig(KeyboardSetup::Cable());
        EXPECT_EQ(EnsureLightSettings(rig.store, 1, kModes, kLight, family), 5);
        std::vector<LightSetting> rows;
        ASSERT_EQ(rig.store.LoadLightSettings(1, rows), 5);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const LightSetting& s = rows[i];
            EXPECT_EQ(s.mode, kModes[i].mode);
            EXPECT_EQ(s.name, kModes[i].name);
            EXPECT_EQ(s.config_func, kModes[i].attribute);
            EXPECT_EQ(s.brightness, 4);
            EXPECT_EQ(s.speed, 3);
            EXPECT_EQ(s.direction, family == KeyboardFamily::Family2 ? 2 : 0);
            EXPECT_EQ(s.colorful, 1);
            EXPECT_EQ(s.colorindex, 7);
            EXPECT_EQ(s.color_value, 0x0000FF);
            EXPECT_EQ(s.status, s.mode == 2 ? 1 : 0);
        }
        EXPECT_EQ(rig.store.GetActiveLightMode(1), 2);

        // A second refresh creates nothing and keeps the user's choice.
        rig.store.SetActiveLightMode(1, 24);
        EXPECT_EQ(EnsureLightSettings(rig.store, 1, kModes, kLight, family), 0);
        EXPECT_EQ(rig.store.GetActiveLightMode(1), 24);

        // The light box keeps rows of its own under profile 999.
        EXPECT_EQ(EnsureLightSettings(rig.store, kLightBoxProfile, {{L"50", 1, 0x003}}, {true, 1, 2, 2, 4, 4}, family), 1);
        EXPECT_EQ(rig.store.GetActiveLightMode(kLightBoxProfile), 1);
        EXPECT_EQ(rig.store.CountLightSettings(1), 5);
    }
}

TEST(LightSettings, ChangesStoreOneFieldOfTheSelectedMode) {
    LightingRig rig(KeyboardSetup::Cable());
    EnsureLightSettings(rig.store, 1, kModes, kLight, KeyboardFamily::Family3);
    EXPECT_TRUE(ChangeLightSetting(rig.store, 1, 1, LightField::Brightness, 5));
    EXPECT_TRUE(ChangeLightSetting(rig.store, 1, 1, LightField::Speed, 1));
    EXPECT_TRUE(ChangeLightSetting(rig.store, 1, 1, LightField::Direction, DirectionValue(true, KeyboardFamily::Family3)));
    EXPECT_TRUE(ChangeLightSetting(rig.store, 1, 1, LightField::ColourIndex, 96 - 89));
    LightSetting s;
    ASSERT_TRUE(rig.store.GetLightSetting(1, 1, s));
    EXPECT_EQ(s.brightness, 5);
    EXPECT_EQ(s.speed, 1);
    EXPECT_EQ(s.direction, 1);
    EXPECT_EQ(s.colorindex, 7);
    LightSetting other;
    ASSERT_TRUE(rig.store.GetLightSetting(1, 2, other));
    EXPECT_EQ(other.brightness, 4);  // the other modes keep theirs

    EXPECT_FALSE(ChangeLightSetting(rig.store, 1, 9, LightField::Speed, 2));  // no such mode
    EXPECT_EQ(DirectionValue(false, KeyboardFamily::Family3), 0);
    EXPECT_EQ(DirectionValue(false, KeyboardFamily::Family2), 2);
}

TEST(LightSettings, ColourfulBoxClearedByHandResetsTheColourToRed) {
    LightingRig rig(KeyboardSetup::Cable());
    EnsureLightSettings(rig.store, 1, kModes, kLight, KeyboardFamily::Family3);
    ASSERT_TRUE(StoreCustomColour(rig.store, 1, 1, 0x123456));
    std::uint32_t shown = 0;

    // Cleared by a colour choice: the chosen colour stays.
    ASSERT_TRUE(StoreColourful(rig.store, 1, 1, false, false, &shown));
    EXPECT_EQ(shown, 0x123456u);
    // Cleared by hand: back to red, shown as 255, 0, 0.
    ASSERT_TRUE(StoreColourful(rig.store, 1, 1, false, true, &shown));
    EXPECT_EQ(shown, 0x0000FFu);
    LightSetting s;
    rig.store.GetLightSetting(1, 1, s);
    EXPECT_EQ(s.colorful, 0);
    EXPECT_EQ(s.color_value, 0x0000FF);
    EXPECT_FALSE(StoreColourful(rig.store, 1, 9, true, true, &shown));
}

TEST(LightSettings, NumberFieldsClampAndReadNonNumbersAsZero) {
    struct Case {
        const wchar_t* text;
        int value;
        bool clamped;
    };
    const Case cases[] = {{L"0", 0, false},      {L"255", 255, false}, {L"300", 255, true},
                          {L"-5", 0, true},      {L"abc", 0, false},   {L"", 0, false},
                          {L" 12x", 12, false},  {L"99999999999999999999", 255, true}};
    for (const Case& c : cases) {
        const ColourFieldValue v = ParseColourField(c.text);
        EXPECT_EQ(v.value, c.value) << "text '" << WideToUtf8(c.text) << "'";
        EXPECT_EQ(v.clamped, c.clamped) << "text '" << WideToUtf8(c.text) << "'";
    }
    EXPECT_EQ(ColourOfFields(255, 0, 0), 0x0000FFu);
    EXPECT_EQ(ColourOfFields(1, 2, 3), 0x030201u);
}

TEST(CustomLighting, PaintingStoresEveryKeyOfTheViewIncludingUnlitOnes) {
    LightingRig rig(KeyboardSetup::Cable());
    WriteDefaultLightSet(rig.store, kKeyboardLightSet, 1);
    const std::vector<LightingView::KeyItem> items = {{41, 0}, {4, 0xFFFFFF}, {26, 0}, {30, 0x00FF00}};
    EXPECT_EQ(SaveCustomLighting(rig.store, 2, items), 4);
    std::vector<KeyLight> lights;
    ASSERT_EQ(rig.store.LoadKeyLights(kKeyboardLightSet, lights), 4);
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(lights[i].key_code, items[i].keyValue);
        EXPECT_EQ(static_cast<std::uint32_t>(lights[i].key_rgb), items[i].colour);
        EXPECT_EQ(lights[i].profile, 2);
    }
}

// The page's music controls, recording what they were set to.
class FakeMusicControls final : public MusicControls {
public:
    int effect = -1, effectItem = -1, amplitude = -1, background = -1, backgroundItem = -1, brightness = -1;
    bool musicShown = true;
    void SelectEffect(int e) override { effect = e; }
    void SelectEffectItem(int i) override { effectItem = i; }
    void SetAmplitude(int p) override { amplitude = p; }
    void SelectBackground(int b) override { background = b; }
    void SelectBackgroundItem(int i) override { backgroundItem = i; }
    void SetBackgroundBrightness(int v) override { brightness = v; }
    bool MusicModeShown() override { return musicShown; }
};

struct MusicRig {
    LightingRig rig{KeyboardSetup::Cable()};
    std::shared_ptr<testing::FakeAudioState> audio = std::make_shared<testing::FakeAudioState>();
    Visualizer visualizer{std::make_unique<testing::FakeEndpoints>(audio)};
    ScreenLight screen{[] { return nullptr; }};
    FakeMusicControls controls;
    MusicController music{rig.store, visualizer, screen, controls, L"Layer"};
    MusicRig() { visualizer.Initialize(); }
};

TEST(MusicLayers, FirstMusicModeCreatesTheDefaultLayerAndLoadsIt) {
    MusicRig m;
    m.rig.clock.ClearPauses();
    m.music.StartMusic(18, 6);
    EXPECT_TRUE(m.screen.Running());
    std::vector<MusicLayer> layers;
    ASSERT_EQ(m.rig.store.LoadMusicLayers(1, layers), 1);
    MusicLayer layer;
    ASSERT_TRUE(m.rig.store.GetMusicLayer(m.rig.store.GetSelectedMusicLayer(1), layer));
    EXPECT_EQ(layer.name, L"Layer 1");
    EXPECT_EQ(layer.foremode, 106);
    EXPECT_EQ(layer.fore_amplitude, 300);
    EXPECT_EQ(layer.backmode, 0);
    EXPECT_EQ(layer.backb_right, 100);

    EXPECT_EQ(m.controls.effect, 106);
    EXPECT_EQ(m.controls.amplitude, 60);
    EXPECT_EQ(m.controls.brightness, 100);
    EXPECT_EQ(m.visualizer.Gain(), 300);
    EXPECT_EQ(m.music.CurrentEffect(), 106);
    EXPECT_TRUE(m.visualizer.Active());
    EXPECT_EQ(m.audio->opened.size(), 2u);  // the capture restarted for the layer
    EXPECT_EQ(m.rig.clock.PauseLengths(), std::vector<std::int64_t>{150});

    // Later calls only load the selected layer.
    m.music.StartMusic(18, 6);
    EXPECT_EQ(m.rig.store.CountMusicLayers(1), 1);
}

TEST(MusicLayers, HandlersApplyAtOnceAndStoreInTheSelectedLayer) {
    MusicRig m;
    m.music.StartMusic(18, 6);
    m.rig.clock.ClearPauses();
    m.music.ChangeMusicAmplitude(80);
    EXPECT_EQ(m.visualizer.Gain(), 400);
    m.music.ChangeMusicEffect(110);
    EXPECT_EQ(m.music.CurrentEffect(), 110);
    EXPECT_TRUE(m.visualizer.Active());
    EXPECT_EQ(m.rig.clock.PauseLengths(), (std::vector<std::int64_t>{150, 150}));
    MusicLayer layer;
    ASSERT_TRUE(m.rig.store.GetMusicLayer(m.rig.store.GetSelectedMusicLayer(1), layer));
    EXPECT_EQ(layer.fore_amplitude, 400);
    EXPECT_EQ(layer.foremode, 110);

    // Loading it back sets the controls from the layer.
    m.controls.musicShown = false;
    m.music.LoadMusicLayer(layer.layer_id);
    EXPECT_EQ(m.controls.amplitude, 80);
    EXPECT_EQ(m.controls.effect, 110);
    EXPECT_EQ(m.music.CurrentEffect(), 110);
    EXPECT_FALSE(m.visualizer.Active());  // not a music mode on the page: stays paused
}

TEST(MusicLayers, MissingLayerLoadsTheDefaultsAndHandlersCreateNothing) {
    MusicRig m;
    m.music.LoadMusicLayer(42);
    EXPECT_EQ(m.controls.effectItem, 2);
    EXPECT_EQ(m.controls.backgroundItem, 0);
    EXPECT_EQ(m.controls.amplitude, 60);
    EXPECT_EQ(m.controls.brightness, 100);
    EXPECT_EQ(m.visualizer.Gain(), 300);
    EXPECT_EQ(m.music.CurrentEffect(), 106);
    m.music.ChangeMusicAmplitude(10);
    EXPECT_EQ(m.visualizer.Gain(), 50);
    EXPECT_EQ(m.rig.store.CountMusicLayers(1), 0);
}

}  // namespace
}  // namespace keyloft
