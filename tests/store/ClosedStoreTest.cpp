#include "StoreTestSupport.h"
#include "store/FirstRunContent.h"

#include <functional>

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using testing::TempDir;

// Each entry runs one operation and says whether it failed the soft way: false
// or 0, "not found", an emptied list, outputs as the operation documents.
struct Operation {
    const char* name;
    std::function<bool(ProfileStore&)> failsSoftly;
};

template <typename T>
bool EmptiesList(int count, const std::vector<T>& list) {
    return count == 0 && list.empty();
}

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> operations = {
        {"SetConfigValue", [](ProfileStore& s) { return !s.SetConfigValue(L"fn_layer", L"1"); }},
        {"GetConfigValue", [](ProfileStore& s) {
             std::wstring v = L"stale";
             return !s.GetConfigValue(L"fn_layer", v) && v.empty();
         }},
        {"AddProfile", [](ProfileStore& s) { return s.AddProfile(testing::NamedProfile(L"p")) == 0; }},
        {"DeleteProfile", [](ProfileStore& s) { return !s.DeleteProfile(1); }},
        {"RenameProfile", [](ProfileStore& s) { return !s.RenameProfile(1, L"n"); }},
        {"GetProfileName", [](ProfileStore& s) {
             std::wstring n = L"stale";
             return !s.GetProfileName(1, n) && n.empty();
         }},
        {"LoadProfiles", [](ProfileStore& s) {
             std::vector<ProfileRecord> l(2);
             return EmptiesList(s.LoadProfiles(l), l);
         }},
        {"SetActiveProfile", [](ProfileStore& s) { return !s.SetActiveProfile(1); }},
        {"GetActiveProfile", [](ProfileStore& s) { return s.GetActiveProfile() == 0; }},
        {"SaveKeyAssignment", [](ProfileStore& s) {
             KeyAssignment a;
             a.key_code = 4;
             a.macro_value = 1;
             return s.SaveKeyAssignment(a) == 0;
         }},
        {"GetKeyAssignment", [](ProfileStore& s) {
             KeyAssignment a;
             return !s.GetKeyAssignment(1, 0, 4, a);
         }},
        {"LoadKeyAssignments", [](ProfileStore& s) {
             std::vector<KeyAssignment> l(1);
             return EmptiesList(s.LoadKeyAssignments(1, 0, l), l);
         }},
        {"LoadProfileKeyAssignments", [](ProfileStore& s) {
             std::vector<KeyAssignment> l(1);
             return EmptiesList(s.LoadProfileKeyAssignments(1, l), l);
         }},
        {"RenameMacroOnKeys", [](ProfileStore& s) { return !s.RenameMacroOnKeys(1, L"m"); }},
        {"DeleteMacroFromKeys", [](ProfileStore& s) { return !s.DeleteMacroFromKeys(1); }},
        {"AddKeyOtherData", [](ProfileStore& s) { return s.AddKeyOtherData(KeyOtherData{L"d", L"p", 8}) == 0; }},
        {"GetKeyOtherData", [](ProfileStore& s) {
             std::wstring d = L"d", p = L"p";
             int t = 8;
             return s.GetKeyOtherData(1, d, p, t) && d == L"d" && p == L"p" && t == 8;
         }},
        {"CountLightSettings", [](ProfileStore& s) { return s.CountLightSettings(1) == 0; }},
        {"AddLightSetting", [](ProfileStore& s) { return s.AddLightSetting(LightSetting{}) == 0; }},
        {"UpdateLightSetting", [](ProfileStore& s) { return !s.UpdateLightSetting(1, 1, LightSetting{}); }},
        {"SetActiveLightMode", [](ProfileStore& s) { return !s.SetActiveLightMode(1, 1); }},
        {"GetActiveLightMode", [](ProfileStore& s) { return s.GetActiveLightMode(1) == 0; }},
        {"GetLightSetting", [](ProfileStore& s) {
             LightSetting l;
             return !s.GetLightSetting(1, 1, l);
         }},
        {"LoadLightSettings", [](ProfileStore& s) {
             std::vector<LightSetting> l(1);
             return EmptiesList(s.LoadLightSettings(1, l), l);
         }},
        {"AddKeyLights", [](ProfileStore& s) { return s.AddKeyLights(std::vector<KeyLight>(3)) == 0; }},
        {"DeleteKeyLights", [](ProfileStore& s) { return !s.DeleteKeyLights(128); }},
        {"LoadKeyLights", [](ProfileStore& s) {
             std::vector<KeyLight> l(1);
             return EmptiesList(s.LoadKeyLights(128, l), l);
         }},
        {"AddMacro", [](ProfileStore& s) { return s.AddMacro(L"m") == 0; }},
        {"AddMacroWithSettings", [](ProfileStore& s) { return s.AddMacroWithSettings(MacroRecord{}) == 0; }},
        {"RenameMacro", [](ProfileStore& s) { return !s.RenameMacro(1, L"m"); }},
        {"UpdateMacroPlayback", [](ProfileStore& s) { return !s.UpdateMacroPlayback(testing::MacroWithId(1)); }},
        {"DeleteMacro", [](ProfileStore& s) { return !s.DeleteMacro(1); }},
        {"GetMacroPlayTimes", [](ProfileStore& s) {
             int t = 9;
             return !s.GetMacroPlayTimes(1, t) && t == 9;
         }},
        {"GetMacro", [](ProfileStore& s) {
             MacroRecord m;
             return !s.GetMacro(1, m);
         }},
        {"LoadMacros", [](ProfileStore& s) {
             std::vector<MacroRecord> l(1);
             return EmptiesList(s.LoadMacros(l), l);
         }},
        {"AddMacroStep", [](ProfileStore& s) { return s.AddMacroStep(MacroStep{}) == 0; }},
        {"AddMacroSteps", [](ProfileStore& s) { return s.AddMacroSteps(std::vector<MacroStep>(2)) == 0; }},
        {"LoadMacroSteps", [](ProfileStore& s) {
             std::vector<MacroStep> l(1);
             return EmptiesList(s.LoadMacroSteps(1, l), l);
         }},
        {"DeleteMacroSteps", [](ProfileStore& s) { return !s.DeleteMacroSteps(1); }},
        {"CountMacroActions", [](ProfileStore& s) { return s.CountMacroActions(1) == 0; }},
        {"CountMusicLayers", [](ProfileStore& s) { return s.CountMusicLayers(1) == 0; }},
        {"AddMusicLayer", [](ProfileStore& s) { return s.AddMusicLayer(1, L"l", 106) == 0; }},
        {"LoadMusicLayers", [](ProfileStore& s) {
             std::vector<MusicLayer> l(1);
             return EmptiesList(s.LoadMusicLayers(1, l), l);
         }},
        {"GetMusicLayer", [](ProfileStore& s) {
             MusicLayer l;
             return !s.GetMusicLayer(1, l);
         }},
        {"UpdateMusicLayer", [](ProfileStore& s) { return !s.UpdateMusicLayer(1, MusicLayer{}); }},
        {"SelectMusicLayer", [](ProfileStore& s) { return !s.SelectMusicLayer(1, 1); }},
        {"GetSelectedMusicLayer", [](ProfileStore& s) { return s.GetSelectedMusicLayer(1) == 0; }},
        {"CreateFirstRunContent", [](ProfileStore& s) { return CreateFirstRunContent(s, L"Profile") == 0; }},
        {"LoadProfilesOrCreateDefaults", [](ProfileStore& s) {
             std::vector<ProfileRecord> l(1);
             return EmptiesList(LoadProfilesOrCreateDefaults(s, L"Profile", l), l);
         }},
    };
    return operations;
}

TEST(ClosedStore, NeverOpenedStoreFailsSoftlyEverywhere) {
    ProfileStore store;
    store.WriteDefaultConfig();
    store.DeleteProfileKeyAssignments(1);
    for (const Operation& op : Operations()) EXPECT_TRUE(op.failsSoftly(store)) << op.name;
}

TEST(ClosedStore, ClosedStoreFailsSoftlyAndItsFileKeepsItsData) {
    TempDir dir;
    ProfileStore store;
    ASSERT_TRUE(store.Open(dir.data(), testing::kModel));
    std::vector<ProfileRecord> profiles;
    ASSERT_EQ(LoadProfilesOrCreateDefaults(store, L"Profile", profiles), 3);
    store.Close();

    for (const Operation& op : Operations()) EXPECT_TRUE(op.failsSoftly(store)) << op.name;
    store.WriteDefaultConfig();
    store.DeleteProfileKeyAssignments(1);

    ASSERT_TRUE(store.Open(dir.data(), testing::kModel));
    EXPECT_EQ(store.LoadProfiles(profiles), 3);
    EXPECT_EQ(store.GetActiveProfile(), 1);
    std::vector<KeyLight> lights;
    EXPECT_EQ(store.LoadKeyLights(kKeyboardLightSet, lights), 8);
}

}  // namespace
}  // namespace keyloft
