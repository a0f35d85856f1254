#include "StoreTestSupport.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using testing::SqliteShell;
using MusicLayers = testing::StoreTest;

constexpr int kKeyboard = 1;
constexpr int kLightBox = 2;

TEST_F(MusicLayers, NewLayersStartWithTheirDefaults) {
    EXPECT_EQ(store.CountMusicLayers(kKeyboard), 0);
    const int id = store.AddMusicLayer(kKeyboard, L"Music 1", 106);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT * FROM t_musiclayer_data"), "1|1|Music 1|0|106|300|0|100|0\n");

    MusicLayer layer;
    ASSERT_TRUE(store.GetMusicLayer(id, layer));
    EXPECT_EQ(layer.layer_id, id);
    EXPECT_EQ(layer.profile, kKeyboard);
    EXPECT_EQ(layer.name, L"Music 1");
    EXPECT_EQ(layer.deviceindex, 0);
    EXPECT_EQ(layer.foremode, 106);
    EXPECT_EQ(layer.fore_amplitude, 300);
    EXPECT_EQ(layer.backmode, 0);
    EXPECT_EQ(layer.backb_right, 100);
    EXPECT_FALSE(store.GetMusicLayer(id + 1, layer));
}

TEST_F(MusicLayers, UpdateChangesTheEffectFieldsOnly) {
    const int id = store.AddMusicLayer(kKeyboard, L"Music 1", 106);
    MusicLayer change;
    change.layer_id = 55;     // the argument names the layer, not the record
    change.profile = 9;
    change.name = L"ignored";
    change.deviceindex = 1;
    change.foremode = 108;
    change.fore_amplitude = 250;
    change.backmode = 3;
    change.backb_right = 40;
    EXPECT_TRUE(store.UpdateMusicLayer(id, change));
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT * FROM t_musiclayer_data"), "1|1|Music 1|1|108|250|3|40|0\n");
}

TEST_F(MusicLayers, ListsFillOnlyIdTargetAndName) {
    store.AddMusicLayer(kKeyboard, L"k1", 106);
    store.AddMusicLayer(kLightBox, L"b1", 111);
    store.AddMusicLayer(kKeyboard, L"k2", 107);
    std::vector<MusicLayer> list;
    ASSERT_EQ(store.LoadMusicLayers(kKeyboard, list), 2);
    EXPECT_EQ(list[0].layer_id, 1);
    EXPECT_EQ(list[0].name, L"k1");
    EXPECT_EQ(list[1].layer_id, 3);
    EXPECT_EQ(list[1].profile, kKeyboard);
    EXPECT_EQ(list[1].foremode, 106);  // the record's default, not the stored 107
    EXPECT_EQ(list[1].fore_amplitude, 0);
    EXPECT_EQ(store.CountMusicLayers(kLightBox), 1);
}

TEST_F(MusicLayers, EachTargetHasItsOwnSelection) {
    const int k1 = store.AddMusicLayer(kKeyboard, L"k1", 106);
    const int k2 = store.AddMusicLayer(kKeyboard, L"k2", 106);
    const int b1 = store.AddMusicLayer(kLightBox, L"b1", 111);
    EXPECT_EQ(store.GetSelectedMusicLayer(kKeyboard), 0);
    EXPECT_TRUE(store.SelectMusicLayer(kKeyboard, k1));
    EXPECT_TRUE(store.SelectMusicLayer(kLightBox, b1));
    EXPECT_TRUE(store.SelectMusicLayer(kKeyboard, k2));
    EXPECT_EQ(store.GetSelectedMusicLayer(kKeyboard), k2);
    EXPECT_EQ(store.GetSelectedMusicLayer(kLightBox), b1);
    // A layer of the other target cannot be selected for this one.
    EXPECT_TRUE(store.SelectMusicLayer(kKeyboard, b1));
    EXPECT_EQ(store.GetSelectedMusicLayer(kKeyboard), 0);
    EXPECT_EQ(store.GetSelectedMusicLayer(kLightBox), b1);
}

}  // namespace
}  // namespace keyloft
