#include "StoreTestSupport.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using testing::SqliteShell;
using LightingData = testing::StoreTest;

LightSetting Mode(int profile, int mode, int base) {
    LightSetting s;
    s.profile = profile;
    s.name = L"mode " + std::to_wstring(mode);
    s.mode = mode;
    s.brightness = base + 1;
    s.speed = base + 2;
    s.direction = base + 3;
    s.colorful = base + 4;
    s.colorindex = base + 5;
    s.color_value = 0x00FF8040;
    s.config_func = 0x100;
    s.reserved = base + 6;
    s.status = 0;
    return s;
}

TEST_F(LightingData, SettingsRoundTripPerProfileAndMode) {
    EXPECT_EQ(store.AddLightSetting(Mode(1, 1, 10)), 1);
    EXPECT_EQ(store.AddLightSetting(Mode(1, 24, 20)), 2);
    store.AddLightSetting(Mode(2, 1, 30));
    EXPECT_EQ(store.CountLightSettings(1), 2);
    EXPECT_EQ(store.CountLightSettings(3), 0);

    LightSetting got;
    ASSERT_TRUE(store.GetLightSetting(1, 24, got));
    const LightSetting want = Mode(1, 24, 20);
    EXPECT_EQ(got.light_id, 2);
    EXPECT_EQ(got.profile, 1);
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(got.mode, 24);
    EXPECT_EQ(got.brightness, want.brightness);
    EXPECT_EQ(got.speed, want.speed);
    EXPECT_EQ(got.direction, want.direction);
    EXPECT_EQ(got.colorful, want.colorful);
    EXPECT_EQ(got.colorindex, want.colorindex);
    EXPECT_EQ(got.color_value, want.color_value);
    EXPECT_EQ(got.config_func, want.config_func);
    EXPECT_EQ(got.reserved, want.reserved);
    EXPECT_FALSE(store.GetLightSetting(2, 24, got));

    std::vector<LightSetting> list;
    ASSERT_EQ(store.LoadLightSettings(1, list), 2);
    EXPECT_EQ(list[0].mode, 1);
    EXPECT_EQ(list[1].mode, 24);
}

TEST_F(LightingData, UpdateChangesTheNamedModeAndIgnoresTheRecordsKeys) {
    store.AddLightSetting(Mode(1, 1, 10));
    store.AddLightSetting(Mode(1, 2, 10));
    store.AddLightSetting(Mode(2, 1, 10));
    LightSetting change = Mode(9, 9, 50);  // profile 9 / mode 9 must not matter
    change.name = L"ignored";
    change.status = 1;
    EXPECT_TRUE(store.UpdateLightSetting(1, 2, change));
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT profile, name, mode, brightness, speed, direction, colorful, colorindex, "
                                    "color_value, config_func, reserved, status FROM t_light_data"),
              "1|mode 1|1|11|12|13|14|15|16744512|256|16|0\n"
              "1|mode 2|2|51|52|53|54|55|16744512|256|56|0\n"
              "2|mode 1|1|11|12|13|14|15|16744512|256|16|0\n");
}

TEST_F(LightingData, OneActiveModePerProfile) {
    for (int mode : {1, 2, 3}) {
        store.AddLightSetting(Mode(1, mode, 0));
        store.AddLightSetting(Mode(2, mode, 0));
    }
    EXPECT_EQ(store.GetActiveLightMode(1), 0);
    EXPECT_TRUE(store.SetActiveLightMode(1, 2));
    EXPECT_TRUE(store.SetActiveLightMode(2, 3));
    EXPECT_TRUE(store.SetActiveLightMode(1, 3));
    EXPECT_EQ(store.GetActiveLightMode(1), 3);
    EXPECT_EQ(store.GetActiveLightMode(2), 3);
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT count(*) FROM t_light_data WHERE status = 1"), "2\n");
}

std::vector<KeyLight> Set(int profile, int lightId, std::initializer_list<std::pair<int, int>> keys) {
    std::vector<KeyLight> lights;
    for (const auto& [code, rgb] : keys) lights.push_back(KeyLight{0, profile, lightId, code, rgb});
    return lights;
}

TEST_F(LightingData, KeyLightSetsAreSharedByAllProfiles) {
    // Profile 1 paints the keyboard's set, then profile 2 replaces it.
    EXPECT_EQ(store.AddKeyLights(Set(1, 128, {{4, 0xFFFFFF}, {5, 0x0000FF}})), 2);
    EXPECT_EQ(store.AddKeyLights(Set(1, 144, {{26, 0x00FF00}})), 1);
    EXPECT_TRUE(store.DeleteKeyLights(128));
    EXPECT_EQ(store.AddKeyLights(Set(2, 128, {{7, 0x123456}, {8, 0}, {4, 0xFFFFFF}})), 3);

    // Read while profile 1 is active: the set is the one profile 2 saved.
    std::vector<KeyLight> list;
    ASSERT_EQ(store.LoadKeyLights(128, list), 3);
    EXPECT_EQ(list[0].profile, 2);
    EXPECT_EQ(list[0].light_id, 128);
    EXPECT_EQ(list[0].key_code, 7);
    EXPECT_EQ(list[0].key_rgb, 0x123456);
    EXPECT_EQ(list[1].key_rgb, 0);  // unlit keys are stored too
    EXPECT_EQ(list[2].key_code, 4);
    ASSERT_EQ(store.LoadKeyLights(144, list), 1);
    EXPECT_EQ(list[0].key_code, 26);
    EXPECT_EQ(store.LoadKeyLights(999, list), 0);
}

// The file change counter in the database header goes up once per committed
// write transaction.
std::uint32_t ChangeCounter(const std::string& file) {
    const std::string bytes = testing::ReadBytes(file);
    if (bytes.size() < 28) return 0;
    std::uint32_t counter = 0;
    for (int i = 24; i < 28; ++i) counter = (counter << 8) | static_cast<unsigned char>(bytes[i]);
    return counter;
}

TEST_F(LightingData, KeyLightsAreWrittenInOneTransaction) {
    std::vector<KeyLight> lights;
    for (int code = 0; code < 120; ++code) lights.push_back(KeyLight{0, 1, 128, code, code * 0x010101});
    const std::uint32_t before = ChangeCounter(DbFile());
    EXPECT_EQ(store.AddKeyLights(lights), 120);
    EXPECT_EQ(ChangeCounter(DbFile()), before + 1);

    std::vector<KeyLight> list;
    ASSERT_EQ(store.LoadKeyLights(128, list), 120);
    for (int code = 0; code < 120; ++code) EXPECT_EQ(list[code].key_rgb, code * 0x010101);
}

}  // namespace
}  // namespace keyloft
