// The key page's operations on the store: applying a chosen function to the
// selected key, the layer and Fn-switch buttons, restoring all keys, and the
// labels of the keyboard view.
//
// The window side (message boxes, the keyboard view, the wait dialog and the
// device task queue, reloading the profile) goes through KeyPageHost, which
// the main controller implements. UI thread only. Refusals end the operation
// with a message box and change nothing; store failures are not reported.
#pragma once

#include "keys/KeyFunction.h"
#include "keys/KeyLabels.h"
#include "keys/KeyRefusal.h"
#include "keys/KeyState.h"

#include <vector>

namespace keyloft {

class HidDeviceManager;
class ProfileStore;

class KeyPageHost {
public:
    virtual ~KeyPageHost() = default;
    // A message box of two language texts; returns the box's result (2 = cancel).
    virtual int MessageBox(int titleText, int messageText) = 0;
    // The key's new look in the view and the picker: nullptr = its own function.
    virtual void ShowKeyFunction(int key, const KeyFunction* function) = 0;
    virtual void ClearKeySelection() = 0;
    // Queues a device task under a (new) wait dialog.
    virtual void QueueDeviceTask(int task) = 0;
    virtual void ReloadProfile() = 0;
};

// Stores `function` for the selected key on the current layer, relabels it and
// queues the single-key upload. False when refused or when no key is selected.
bool ApplyKeyFunction(ProfileStore& store, KeyState& state, KeyPageHost& host, AssignSource source,
                      const KeyFunction& function);

// The check before the custom key dialog opens for commands 608 (macro) and 609
// (shortcut function); shows the refusal and returns false when refused.
bool MayOpenCustomKeyDialog(ProfileStore& store, KeyState& state, KeyPageHost& host,
                            AssignSource source);

// After the custom key dialog stored its result: single-key upload.
void QueueSingleKeyUpload(KeyState& state, KeyPageHost& host);

// Sets the current layer, stores fn_layer and reloads the profile; sends nothing.
void SelectLayer(ProfileStore& store, KeyState& state, KeyPageHost& host, int layer);

// Sends command 0x10 with the value and stores fn_switch.
void SetFnSwitch(HidDeviceManager& hid, ProfileStore& store, const KeyState& state, int value);

// Asks (texts 166/165); unless cancelled, removes every key row of the profile,
// reloads it and queues the full upload. True when the keys were reset.
bool ResetAllKeys(ProfileStore& store, KeyState& state, KeyPageHost& host);

// One tip of the keyboard view.
struct KeyTip {
    int key = 0;
    int captionText = 0;  // language text number; 0 = no tip (the key is still checked)
    std::wstring label;
    bool operator==(const KeyTip&) const = default;
};
// The checks and tips of the view for a profile and layer, in store order.
std::vector<KeyTip> KeyAssignmentTips(ProfileStore& store, int profile, int layer, int uiLanguage,
                                      const TextLookup& text);

}  // namespace keyloft
