// Selecting a lighting mode: the active row, the view, the visualizer and the
// screen sampler, the arm flag and whether task 9 is queued.
#include "FakeAudio.h"
#include "LightingRig.h"
#include "lighting/LightModeSelection.h"
#include "lighting/LightSettings.h"
#include "lighting/LightingSender.h"
#include "lighting/MusicController.h"
#include "lighting/ScreenLight.h"
#include "lighting/Visualizer.h"
#include "store/FirstRunContent.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using testing::KeyboardSetup;

class FakePage final : public LightingPage {
public:
    int mode = 0;
    int musicEffect = 108;
    std::vector<int> viewModes;
    int shownAttribute = -1;
    std::vector<KeyLight> customLights;
    std::uint32_t paintColour = 0;
    int SelectedMode() override { return mode; }
    void ShowModeControls(const LightSetting&, int attribute) override { shownAttribute = attribute; }
    void SetViewMode(int viewMode) override { viewModes.push_back(viewMode); }
    void ShowCustomLighting(const std::vector<KeyLight>& lights, std::uint32_t colour) override {
        customLights = lights;
        paintColour = colour;
    }
    int SelectedMusicEffect() override { return musicEffect; }
};

class FakeControls final : public MusicControls {
public:
    void SelectEffect(int) override {}
    void SelectEffectItem(int) override {}
    void SetAmplitude(int) override {}
    void SelectBackground(int) override {}
    void SelectBackgroundItem(int) override {}
    void SetBackgroundBrightness(int) override {}
    bool MusicModeShown() override { return true; }
};

const std::vector<LightModeEntry> kModes = {
    {L"40", 1, 0x0C3}, {L"41", 24, 0x130}, {L"42", 25, 0x200}, {L"43", 26, 0x400}};

struct Bench {
    testing::LightingRig rig;
    std::shared_ptr<testing::FakeAudioState> audio = std::make_shared<testing::FakeAudioState>();
    Visualizer visualizer{std::make_unique<testing::FakeEndpoints>(audio)};
    ScreenLight screen{[] { return nullptr; }};
    FakeControls controls;
    MusicController music{rig.store, visualizer, screen, controls, L"Layer"};
    LightingSender sender{rig.hid, rig.store};
    FakePage page;
    LightModeSelection selection{rig.store, page, sender, music, visualizer, screen};

    explicit Bench(KeyboardSetup setup, int deviceType) : rig(std::move(setup), deviceType) {
        visualizer.Initialize();
        EnsureLightSettings(rig.store, 1, kModes, {true, 1, 3, 3, 5, 5}, FamilyOfDeviceType(deviceType));
        WriteDefaultLightSet(rig.store, kKeyboardLightSet, 1);
        selection.SetKeyboard(deviceType, 18, 6);
    }
};

struct SelectCase {
    const char* name;
    int deviceType;
    int mode;
    bool queuesTask9;
    std::vector<int> viewModes;
    bool visualizerActive;
    bool screenCapture;
    bool armed;
};

class SelectLightMode : public ::testing::TestWithParam<SelectCase> {};

TEST_P(SelectLightMode, ActivatesTheModeAndDecidesWhatFollows) {
    const SelectCase& c = GetParam();
    Bench b(c.deviceType == 201 ? KeyboardSetup::Family2() : KeyboardSetup::Cable(), c.deviceType);
    // Start from the opposite of what the case expects, so each flag is seen to move.
    b.visualizer.SetActive(!c.visualizerActive && c.deviceType != 201);
    b.screen.SetCapture(!c.screenCapture);
    b.sender.UploadCustomLighting(Framing::A);  // disarms
    b.sender.SendAllLightModes({c.deviceType, 0, 1, 1, 1});  // sets the mode-selected flag
    b.page.mode = c.mode;

    EXPECT_EQ(b.selection.SelectLightMode(1), c.queuesTask9);
    EXPECT_EQ(b.rig.store.GetActiveLightMode(1), c.mode);
    EXPECT_EQ(b.page.viewModes, c.viewModes);
    EXPECT_EQ(b.visualizer.Active(), c.visualizerActive);
    EXPECT_EQ(b.screen.CaptureFlag(), c.screenCapture);
    EXPECT_EQ(b.sender.Armed(), c.armed);
    EXPECT_EQ(b.sender.ModeSelected(), !c.queuesTask9);  // a queued send starts with the mode only
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SelectLightMode,
    ::testing::Values(SelectCase{"plain mode", 301, 1, true, {102}, false, false, false},
                      SelectCase{"per-key mode", 301, 24, true, {102, 103}, false, false, false},
                      SelectCase{"music mode", 301, 25, false, {102, 104}, true, false, true},
                      SelectCase{"screen mode", 301, 26, false, {102, 104}, false, true, true},
                      SelectCase{"music mode on family 2", 201, 25, false, {102, 104}, true, false, true}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(SelectLightMode, MusicModeTakesTheEffectFromTheSelectorAndStartsTheSampler) {
    Bench b(KeyboardSetup::Cable(), 301);
    b.page.mode = 25;
    b.page.musicEffect = 109;
    b.selection.SelectLightMode(1);
    EXPECT_EQ(b.music.CurrentEffect(), 109);
    EXPECT_TRUE(b.screen.Running());
    EXPECT_EQ(b.rig.store.CountMusicLayers(1), 1);
}

TEST(SelectLightMode, PerKeyModeShowsSet128WithTheModesColour) {
    Bench b(KeyboardSetup::Cable(), 301);
    StoreCustomColour(b.rig.store, 1, 24, 0x00FF00);
    b.page.mode = 24;
    b.selection.ShowLightMode(1);
    EXPECT_EQ(b.page.shownAttribute, 0x130);
    EXPECT_EQ(b.page.paintColour, 0x00FF00u);
    ASSERT_EQ(b.page.customLights.size(), 8u);  // W, A, S, D and the arrows
    EXPECT_EQ(b.page.customLights[0].key_code, 26);
    EXPECT_EQ(b.page.customLights[0].key_rgb, 0xFFFFFF);
}

TEST(SelectLightMode, ModeWithoutARowIsNeitherShownNorSent) {
    Bench b(KeyboardSetup::Cable(), 301);
    b.rig.store.SetActiveLightMode(1, 1);
    b.page.mode = 7;
    EXPECT_FALSE(b.selection.SelectLightMode(1));
    EXPECT_TRUE(b.page.viewModes.empty());
    EXPECT_EQ(b.rig.store.GetActiveLightMode(1), 1);
}

}  // namespace
}  // namespace keyloft
