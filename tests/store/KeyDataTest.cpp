#include "StoreTestSupport.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using testing::SqliteShell;
using KeyData = testing::StoreTest;

KeyAssignment Assignment(int profile, int layer, int keyCode, int type, int value, int value2 = 0) {
    KeyAssignment a;
    a.profile = profile;
    a.fn_layer = layer;
    a.key_code = keyCode;
    a.layout_value = keyCode + 1000;
    a.layout_desc = L"L" + std::to_wstring(keyCode);
    a.macro_type = type;
    a.macro_value = value;
    a.macro_value2 = value2;
    a.macro_value3 = value2 * 2;
    a.macro_desc = L"D" + std::to_wstring(value);
    return a;
}

void ExpectSame(const KeyAssignment& got, const KeyAssignment& want) {
    EXPECT_EQ(got.profile, want.profile);
    EXPECT_EQ(got.fn_layer, want.fn_layer);
    EXPECT_EQ(got.key_code, want.key_code);
    EXPECT_EQ(got.layout_value, want.layout_value);
    EXPECT_EQ(got.layout_desc, want.layout_desc);
    EXPECT_EQ(got.macro_type, want.macro_type);
    EXPECT_EQ(got.macro_value, want.macro_value);
    EXPECT_EQ(got.macro_value2, want.macro_value2);
    EXPECT_EQ(got.macro_value3, want.macro_value3);
    EXPECT_EQ(got.macro_desc, want.macro_desc);
}

TEST_F(KeyData, SavingReplacesTheKeysRowOnThatLayerOnly) {
    const KeyAssignment volumeUp = Assignment(1, 0, 4, 2, 0xE9, 3);
    const int first = store.SaveKeyAssignment(volumeUp);
    EXPECT_GT(first, 0);
    KeyAssignment got;
    ASSERT_TRUE(store.GetKeyAssignment(1, 0, 4, got));
    EXPECT_EQ(got.key_id, first);
    ExpectSame(got, volumeUp);

    const KeyAssignment macro = Assignment(1, 0, 4, 3, 12);
    EXPECT_GT(store.SaveKeyAssignment(macro), first);
    const KeyAssignment fnLayer = Assignment(1, 1, 4, 2, 0xEA);
    store.SaveKeyAssignment(fnLayer);
    const KeyAssignment otherProfile = Assignment(2, 0, 4, 2, 0xEB);
    store.SaveKeyAssignment(otherProfile);

    std::vector<KeyAssignment> list;
    ASSERT_EQ(store.LoadKeyAssignments(1, 0, list), 1);
    ExpectSame(list[0], macro);
    ASSERT_EQ(store.LoadProfileKeyAssignments(1, list), 2);
    ExpectSame(list[0], macro);
    ExpectSame(list[1], fnLayer);
    EXPECT_FALSE(store.GetKeyAssignment(1, 0, 5, got));
}

TEST_F(KeyData, AFunctionWithoutValuesRestoresTheDefaultAndKeyCodeZeroIsIgnored) {
    store.SaveKeyAssignment(Assignment(1, 0, 4, 2, 0xE9));
    store.SaveKeyAssignment(Assignment(1, 0, 7, 2, 0xE9));

    EXPECT_EQ(store.SaveKeyAssignment(Assignment(1, 0, 4, 2, 0, 0)), 0);
    KeyAssignment got;
    EXPECT_FALSE(store.GetKeyAssignment(1, 0, 4, got));
    // Only one of the two values set still counts as a function.
    EXPECT_GT(store.SaveKeyAssignment(Assignment(1, 0, 7, 7, 0, 5)), 0);

    EXPECT_EQ(store.SaveKeyAssignment(Assignment(1, 0, 0, 2, 0xE9)), 0);
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT key_code, macro_value, macro_value2 FROM t_key_macro_data"), "7|0|5\n");
}

TEST_F(KeyData, MacroRenameAndRemovalTouchOnlyKeysPlayingThatMacro) {
    store.SaveKeyAssignment(Assignment(1, 0, 4, 3, 12));   // plays macro 12
    store.SaveKeyAssignment(Assignment(2, 1, 5, 3, 12));   // in another profile and layer
    store.SaveKeyAssignment(Assignment(1, 0, 6, 3, 13));   // another macro
    store.SaveKeyAssignment(Assignment(1, 0, 7, 2, 12));   // a media key whose value happens to be 12

    EXPECT_TRUE(store.RenameMacroOnKeys(12, L"Combo"));
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT key_code, macro_desc FROM t_key_macro_data ORDER BY key_code"),
              "4|Combo\n5|Combo\n6|D13\n7|D12\n");
    EXPECT_TRUE(store.DeleteMacroFromKeys(12));
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT key_code FROM t_key_macro_data ORDER BY key_code"), "6\n7\n");
}

TEST_F(KeyData, ResettingAProfileLeavesTheOthers) {
    store.SaveKeyAssignment(Assignment(1, 0, 4, 2, 1));
    store.SaveKeyAssignment(Assignment(1, 1, 5, 2, 1));
    store.SaveKeyAssignment(Assignment(2, 0, 4, 2, 1));
    store.DeleteProfileKeyAssignments(1);
    std::vector<KeyAssignment> list;
    EXPECT_EQ(store.LoadProfileKeyAssignments(1, list), 0);
    EXPECT_EQ(store.LoadProfileKeyAssignments(2, list), 1);
}

TEST_F(KeyData, OtherDataIsFoundByIdAndAMissingIdLeavesTheOutputs) {
    const int id = store.AddKeyOtherData(KeyOtherData{L"Terminal", L"/usr/bin/xterm", 8});
    EXPECT_EQ(id, 1);
    EXPECT_EQ(store.AddKeyOtherData(KeyOtherData{L"https://example.org", L"", 9}), 2);

    std::wstring desc, param;
    int type = 0;
    EXPECT_TRUE(store.GetKeyOtherData(id, desc, param, type));
    EXPECT_EQ(desc, L"Terminal");
    EXPECT_EQ(param, L"/usr/bin/xterm");
    EXPECT_EQ(type, 8);

    desc = L"keep";
    param = L"these";
    type = 77;
    EXPECT_TRUE(store.GetKeyOtherData(99, desc, param, type));
    EXPECT_EQ(desc, L"keep");
    EXPECT_EQ(param, L"these");
    EXPECT_EQ(type, 77);
}

}  // namespace
}  // namespace keyloft
