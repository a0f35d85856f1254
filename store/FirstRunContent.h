// What a new or restored database starts with, written by the main controller
// (UI thread) when the profile list comes back empty: three profiles, the
// default settings rows and the default key colours of the keyboard's custom
// set (128) and the light box's (144). Lighting modes and music layers are
// added later by the pages that meet a profile without them.
//
// Failures of single writes are not reported, as elsewhere in the store; a
// closed store leaves everything as it was and the functions return 0.
#pragma once

#include "store/ProfileStore.h"

#include <string>
#include <vector>

namespace keyloft {

inline constexpr int kKeyboardLightSet = 128;
inline constexpr int kLightBoxLightSet = 144;
inline constexpr int kDefaultKeyColour = 0xFFFFFF;

// The keys lit in a new light set: W, A, S, D and the four arrows, in this order.
inline constexpr int kDefaultLitKeys[] = {26, 4, 22, 7, 82, 80, 81, 79};

// Replaces light set `lightId` with the default rows, recorded as saved by
// `profile`. Returns the number of rows stored.
int WriteDefaultLightSet(ProfileStore& store, int lightId, int profile);

// Creates the three first-run profiles, named `profileText` + " 1", " 2",
// " 3" (profileText is language text 65), the settings rows and both default
// light sets, and makes the first profile active. Returns the first profile's
// id, or 0 when it could not be stored.
int CreateFirstRunContent(ProfileStore& store, const std::wstring& profileText);

// The controller's profile list load: reads the profiles and, when there is
// none, writes the first-run content and reads them again. Returns the count.
int LoadProfilesOrCreateDefaults(ProfileStore& store, const std::wstring& profileText,
                                 std::vector<ProfileRecord>& list);

// Restoring the defaults: closes the store, removes the model's file and opens
// a fresh one with an empty schema. The caller then writes the first-run
// content again (LoadProfilesOrCreateDefaults does that).
bool RecreateDatabase(ProfileStore& store, const std::wstring& dataDirectory,
                      const std::wstring& modelName);

}  // namespace keyloft
