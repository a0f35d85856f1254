#include "keys/KeyAssign.h"

#include "KeysTestSupport.h"
#include "base/Clock.h"
#include "devicesim/Simulator.h"
#include "keys/KeyUpload.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

struct FakeKeyPage : KeyPageHost {
    int answer = 1;
    std::vector<std::pair<int, int>> boxes;
    std::vector<std::pair<int, bool>> shown;  // key, has a function
    int selectionsCleared = 0;
    std::vector<int> tasks;
    int reloads = 0;

    int MessageBox(int title, int message) override {
        boxes.emplace_back(title, message);
        return answer;
    }
    void ShowKeyFunction(int key, const KeyFunction* f) override { shown.emplace_back(key, f != nullptr); }
    void ClearKeySelection() override { ++selectionsCleared; }
    void QueueDeviceTask(int task) override { tasks.push_back(task); }
    void ReloadProfile() override { ++reloads; }
};

struct KeyAssign : test::StoreFixture {
    FakeKeyPage host;
    std::set<int> fnDisabled{41};
    KeyState state;
    void SetUp() override {
        test::StoreFixture::SetUp();
        state.profile = profile;
        state.fnLayerDisabled = &fnDisabled;
        state.deviceType = 301;
        state.selector = 0;
    }
};

TEST_F(KeyAssign, APickedFunctionIsStoredShownAndQueuedForOneKey) {
    state.selectedKey = 4;
    ASSERT_TRUE(ApplyKeyFunction(store, state, host, AssignSource::Picker, PickedKeyFunction(0x29, 0, 0, L"ESC")));
    KeyAssignment a;
    ASSERT_TRUE(store.GetKeyAssignment(profile, 0, 4, a));
    EXPECT_EQ(a.macro_type, kKindKey);
    EXPECT_EQ(a.macro_value, 0x29);
    EXPECT_EQ(a.macro_desc, L"ESC");
    EXPECT_TRUE(state.singleKey);
    EXPECT_EQ(host.tasks, (std::vector<int>{kTaskUploadKeys}));
    EXPECT_EQ(host.shown, (std::vector<std::pair<int, bool>>{{4, true}}));

    // the default function removes the row again
    ASSERT_TRUE(ApplyKeyFunction(store, state, host, AssignSource::MenuDefault, KeyFunction{}));
    EXPECT_FALSE(store.GetKeyAssignment(profile, 0, 4, a));
    EXPECT_EQ(host.shown.back(), (std::pair<int, bool>{4, false}));

    // "disable" stores kind 1 with value 1 and text 202
    ASSERT_TRUE(ApplyKeyFunction(store, state, host, AssignSource::MenuDisable, DisabledKeyFunction(L"Disabled")));
    ASSERT_TRUE(store.GetKeyAssignment(profile, 0, 4, a));
    EXPECT_EQ(a.macro_type, kKindDisabled);
    EXPECT_EQ(a.macro_value, 1);
    EXPECT_EQ(PickedKeyFunction(500, 0, 0, L"x").macro_type, kKindHighKey);
    EXPECT_EQ(PickedKeyFunction(499, 0, 0, L"x").macro_type, kKindKey);
}

TEST_F(KeyAssign, RefusalsChangeNothing) {
    for (int key = 100; key < 300; ++key) Key(0, key, key % 2 ? kKindKey : kKindHighKey, 4);
    state.selectedKey = 100;  // already remapped: the full layer refuses it too
    EXPECT_FALSE(ApplyKeyFunction(store, state, host, AssignSource::Picker, PickedKeyFunction(5, 0, 0, L"B")));
    KeyAssignment a;
    ASSERT_TRUE(store.GetKeyAssignment(profile, 0, 100, a));
    EXPECT_EQ(a.macro_value, 4);
    // but the same layer still takes a disable from the menu
    state.selectedKey = 4;
    EXPECT_TRUE(ApplyKeyFunction(store, state, host, AssignSource::MenuDisable, DisabledKeyFunction(L"D")));

    state.layer = 1;
    state.selectedKey = 41;
    EXPECT_FALSE(ApplyKeyFunction(store, state, host, AssignSource::MenuDisable, DisabledKeyFunction(L"D")));
    EXPECT_EQ(state.selectedKey, 0);
    EXPECT_EQ(host.selectionsCleared, 1);
    EXPECT_FALSE(store.GetKeyAssignment(profile, 1, 41, a));

    state.selectedKey = 175;
    EXPECT_FALSE(ApplyKeyFunction(store, state, host, AssignSource::Picker, PickedKeyFunction(5, 0, 0, L"B")));
    EXPECT_FALSE(store.GetKeyAssignment(profile, 1, 175, a));

    EXPECT_EQ(host.boxes, (std::vector<std::pair<int, int>>{{368, 367}, {205, 260}, {366, 365}}));
    EXPECT_EQ(host.tasks.size(), 1u);  // only the accepted disable
}

TEST_F(KeyAssign, TheCustomKeyDialogIsRefusedOnAFullLongLayer) {
    const int m = Macro(L"M", 1, 1);
    for (int key = 4; key < 204; ++key) Key(1, key, key % 2 ? kKindMacro : kKindShortcut, key % 2 ? m : 1);
    state.layer = 1;
    state.selectedKey = 210;
    EXPECT_FALSE(MayOpenCustomKeyDialog(store, state, host, AssignSource::MenuShortcut));
    state.layer = 0;
    EXPECT_TRUE(MayOpenCustomKeyDialog(store, state, host, AssignSource::MenuMacro));
    EXPECT_EQ(host.boxes, (std::vector<std::pair<int, int>>{{364, 363}}));
}

TEST_F(KeyAssign, ResetAllKeysAsksFirst) {
    Key(0, 4, kKindKey, 5);
    Key(1, 5, kKindKey, 6);
    host.answer = 2;  // cancel
    EXPECT_FALSE(ResetAllKeys(store, state, host));
    std::vector<KeyAssignment> rows;
    EXPECT_EQ(store.LoadProfileKeyAssignments(profile, rows), 2);
    host.answer = 1;
    state.singleKey = true;
    EXPECT_TRUE(ResetAllKeys(store, state, host));
    EXPECT_EQ(store.LoadProfileKeyAssignments(profile, rows), 0);
    EXPECT_FALSE(state.singleKey);
    EXPECT_EQ(host.tasks, (std::vector<int>{kTaskUploadKeys}));
    EXPECT_EQ(host.boxes, (std::vector<std::pair<int, int>>{{166, 165}, {166, 165}}));
    EXPECT_EQ(host.reloads, 1);
}

TEST_F(KeyAssign, LayerAndFnSwitchAreStoredAndOnlyTheSwitchIsSent) {
    VirtualClock clock;
    ScopedClock scope(clock);
    devicesim::ScopedVirtualKeyboard kb(devicesim::KeyboardSetup::Receiver());
    kb->ClearReports();
    SelectLayer(store, state, host, 1);
    EXPECT_EQ(state.layer, 1);
    std::wstring value;
    ASSERT_TRUE(store.GetConfigValue(L"fn_layer", value));
    EXPECT_EQ(value, L"1");
    EXPECT_EQ(host.reloads, 1);
    EXPECT_TRUE(kb->Reports().empty());

    state.selector = kb.selector();
    SetFnSwitch(kb.manager(), store, state, 1);
    EXPECT_EQ(kb->State().fnSwitch, 1);
    ASSERT_EQ(kb->Reports().size(), 1u);
    EXPECT_EQ(kb->Reports()[0].bytes[4], 0x10);  // framing B: command at byte 3 of the packet
    ASSERT_TRUE(store.GetConfigValue(L"fn_switch", value));
    EXPECT_EQ(value, L"1");
}

TEST_F(KeyAssign, TipsByKind) {
    const int m = Macro(L"Macro 7", 1, 1);
    Key(0, 4, kKindMacro, m, L"Macro 7");
    Key(0, 5, kKindMouseButton, 2, L"mouse");
    Key(0, 6, kKindMouseButton, 4, L"mouse 4");
    Key(0, 7, kKindShortcut, 3, L"Ctrl+X");
    Key(0, 8, kKindProfileSwitch, 1, L"switch");
    Key(0, 9, kKindDisabled, 1, L"Disabled");
    Key(0, 10, kKindHighKey, 600, L"High");
    const TextLookup text = [](int n) { return n == 331 ? std::wstring(L"Makro") : L"#" + std::to_wstring(n); };
    const std::vector<KeyTip> english = {
        {4, 206, L"Makro 7"}, {5, 207, L"#222"}, {6, 207, L"mouse 4"}, {7, 209, L"#703"},
        {8, 0, L""},          {9, 202, L""},     {10, 205, L"High"},
    };
    EXPECT_EQ(KeyAssignmentTips(store, profile, 0, 1033, text), english);
    EXPECT_EQ(KeyAssignmentTips(store, profile, 0, 2052, text)[0].label, L"Macro 7");
}

}  // namespace
}  // namespace keyloft
