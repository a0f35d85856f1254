// Shared pieces of the three families' uploads (keys/ only).
#pragma once

#include "keys/KeyEvents.h"
#include "store/StoreRecords.h"

#include <vector>

namespace keyloft {

class HidDeviceManager;
class ProfileStore;
struct KeyState;

// The repeat count and strokes of a long function row (kinds 3 and 7). For a
// macro the repeat is its play_times (0 when the macro no longer exists) and
// the strokes come from whatever steps are stored.
struct LongFunctionData {
    bool macroFound = true;
    int repeat = 0;
    std::vector<KeyStroke> strokes;
};
LongFunctionData ReadLongFunction(ProfileStore& store, const KeyAssignment& row);

void UploadFamily3(HidDeviceManager& hid, ProfileStore& store, KeyState& state, bool all);
void UploadFamily1(HidDeviceManager& hid, ProfileStore& store, KeyState& state);
void UploadFamily2(HidDeviceManager& hid, ProfileStore& store, KeyState& state);

}  // namespace keyloft
