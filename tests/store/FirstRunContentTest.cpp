#include "StoreTestSupport.h"
#include "store/FirstRunContent.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using testing::SqliteShell;
using FirstRun = testing::StoreTest;

void ExpectDefaultLightSet(ProfileStore& store, int lightId, int profile) {
    SCOPED_TRACE(lightId);
    std::vector<KeyLight> lights;
    ASSERT_EQ(store.LoadKeyLights(lightId, lights), 8);
    const int keys[] = {26, 4, 22, 7, 82, 80, 81, 79};  // W A S D, Up Left Down Right
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(lights[i].key_code, keys[i]);
        EXPECT_EQ(lights[i].key_rgb, 0xFFFFFF);
        EXPECT_EQ(lights[i].profile, profile);
        EXPECT_EQ(lights[i].light_id, lightId);
    }
}

TEST_F(FirstRun, AnEmptyStoreGetsThreeProfilesSettingsAndLightSets) {
    std::vector<ProfileRecord> profiles;
    ASSERT_EQ(LoadProfilesOrCreateDefaults(store, L"Profil", profiles), 3);
    EXPECT_EQ(profiles[0].name, L"Profil 1");
    EXPECT_EQ(profiles[1].name, L"Profil 2");
    EXPECT_EQ(profiles[2].name, L"Profil 3");
    EXPECT_EQ(profiles[0].status, 1);
    EXPECT_EQ(profiles[1].status, 0);
    EXPECT_EQ(profiles[2].status, 0);
    EXPECT_EQ(store.GetActiveProfile(), profiles[0].profile);

    struct Setting {
        const wchar_t* key;
        const wchar_t* value;
    };
    const Setting settings[] = {
        {L"version", L"1.0.1"}, {L"keyboard_layout", L"1"}, {L"fn_layer", L"0"}, {L"fn_switch", L"0"},
        {L"lightmode", L"1"}, {L"sleep_light", L"1"}, {L"sleeptime", L"1"}, {L"key_responsetime", L"1"},
        {L"userlight", L"0"}, {L"customlight_run", L"0"}, {L"gamemode", L"0"}, {L"disable_alttab", L"0"},
        {L"disable_altf4", L"0"}, {L"disable_win", L"0"},
    };
    for (const Setting& s : settings) {
        std::wstring value;
        EXPECT_TRUE(store.GetConfigValue(s.key, value)) << ::testing::PrintToString(s.key);
        EXPECT_EQ(value, s.value);
    }
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT count(*), min(profile), max(profile) FROM t_configdata"), "14|1|1\n");

    // Each set was replaced for every new profile, so the last one owns it.
    ExpectDefaultLightSet(store, kKeyboardLightSet, 3);
    ExpectDefaultLightSet(store, kLightBoxLightSet, 3);
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT count(*) FROM t_key_light_data"), "16\n");
    // Modes, layers, keys and macros are filled later, by their pages.
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT (SELECT count(*) FROM t_light_data) + (SELECT count(*) FROM "
                                    "t_musiclayer_data) + (SELECT count(*) FROM t_key_macro_data) + "
                                    "(SELECT count(*) FROM t_macro_data)"),
              "0\n");
}

TEST_F(FirstRun, AStoreWithProfilesIsLeftAsItIs) {
    std::vector<ProfileRecord> profiles;
    ASSERT_EQ(LoadProfilesOrCreateDefaults(store, L"Profile", profiles), 3);
    store.DeleteProfile(profiles[2].profile);
    store.RenameProfile(profiles[0].profile, L"Mine");
    ASSERT_EQ(LoadProfilesOrCreateDefaults(store, L"Profile", profiles), 2);
    EXPECT_EQ(profiles[0].name, L"Mine");
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT count(*) FROM t_configdata"), "14\n");
}

TEST_F(FirstRun, RestoringDefaultsStartsOverFromAFreshFile) {
    std::vector<ProfileRecord> profiles;
    ASSERT_EQ(LoadProfilesOrCreateDefaults(store, L"Profile", profiles), 3);
    store.SetConfigValue(L"sleeptime", L"4");
    store.AddMacro(L"m");
    store.SetActiveProfile(profiles[2].profile);
    store.AddKeyLights({KeyLight{0, 3, 128, 44, 0x00FF00}});

    ASSERT_TRUE(RecreateDatabase(store, dir.data(), testing::kModel));
    ASSERT_EQ(LoadProfilesOrCreateDefaults(store, L"Profile", profiles), 3);
    EXPECT_EQ(profiles[0].profile, 1);
    EXPECT_EQ(store.GetActiveProfile(), 1);
    std::wstring value;
    ASSERT_TRUE(store.GetConfigValue(L"sleeptime", value));
    EXPECT_EQ(value, L"1");
    std::vector<MacroRecord> macros;
    EXPECT_EQ(store.LoadMacros(macros), 0);
    ExpectDefaultLightSet(store, kKeyboardLightSet, 3);
}

}  // namespace
}  // namespace keyloft
