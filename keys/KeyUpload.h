// Writing the stored key functions into the keyboard: device tasks 6, 7 and 8.
//
// The worker thread runs these one at a time. They read the rows again from the
// store and send them in the family's protocol: family 3 command 0x04 packets
// and key function blocks (framing A or B by the selector), family 1 slot
// streams and the key table, family 2 feature-report slots. Every protocol
// pause goes through keyloft::SleepMs. Send results are not checked (a lost
// packet is repaired by the next full upload) except where a family 1 slot
// write fails, which ends the slot writes. Worker thread only.
#pragma once

#include "keys/KeyState.h"

namespace keyloft {

class HidDeviceManager;
class ProfileStore;

inline constexpr int kTaskUploadKeys = 6;
inline constexpr int kTaskClearDeletedMacro = 7;
inline constexpr int kTaskUploadAllKeys = 8;


// Task 6: one key when the single-key flag is set, else all keys (family 3
// both layers; families 1 and 2 the current layer). Nothing for other types.
void UploadKeyFunctions(HidDeviceManager& hid, ProfileStore& store, KeyState& state);
// Task 8: reset and upload both layers (family 3 only).
void UploadAllKeyFunctions(HidDeviceManager& hid, ProfileStore& store, KeyState& state);
// Task 7 (family 3): resets on the keyboard the keys of the current profile that
// play the deleted macro, then removes every key row that plays it. The caller
// reloads the current profile afterwards.
void ClearDeletedMacro(HidDeviceManager& hid, ProfileStore& store, KeyState& state);

}  // namespace keyloft
