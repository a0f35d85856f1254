#include "store/FirstRunContent.h"

namespace keyloft {

int WriteDefaultLightSet(ProfileStore& store, int lightId, int profile) {
    std::vector<KeyLight> lights;
    for (int keyCode : kDefaultLitKeys) {
        KeyLight light;
        light.profile = profile;
        light.light_id = lightId;
        light.key_code = keyCode;
        light.key_rgb = kDefaultKeyColour;
        lights.push_back(light);
    }
    // A set is always replaced as a whole, never merged.
    store.DeleteKeyLights(lightId);
    return store.AddKeyLights(lights);
}

namespace {

int AddNamedProfile(ProfileStore& store, const std::wstring& profileText, int number) {
    ProfileRecord profile;
    profile.name = profileText + L" " + std::to_wstring(number);
    return store.AddProfile(profile);
}

void WriteDefaultLightSets(ProfileStore& store, int profile) {
    WriteDefaultLightSet(store, kKeyboardLightSet, profile);
    WriteDefaultLightSet(store, kLightBoxLightSet, profile);
}

}  // namespace

int CreateFirstRunContent(ProfileStore& store, const std::wstring& profileText) {
    const int first = AddNamedProfile(store, profileText, 1);
    if (first == 0) return 0;
    store.WriteDefaultConfig();
    WriteDefaultLightSets(store, first);
    // The sets are shared by all profiles; writing them for each new profile
    // leaves them recorded under the last one.
    const int second = AddNamedProfile(store, profileText, 2);
    if (second != 0) WriteDefaultLightSets(store, second);
    const int third = AddNamedProfile(store, profileText, 3);
    store.SetActiveProfile(first);
    if (third != 0) WriteDefaultLightSets(store, third);
    return first;
}

int LoadProfilesOrCreateDefaults(ProfileStore& store, const std::wstring& profileText,
                                 std::vector<ProfileRecord>& list) {
    if (store.LoadProfiles(list) >= 1) return static_cast<int>(list.size());
    if (CreateFirstRunContent(store, profileText) == 0) return 0;
    return store.LoadProfiles(list);
}

bool RecreateDatabase(ProfileStore& store, const std::wstring& dataDirectory,
                      const std::wstring& modelName) {
    store.Close();
    store.DeleteDatabaseFile(dataDirectory, modelName);
    return store.Open(dataDirectory, modelName);
}

}  // namespace keyloft
