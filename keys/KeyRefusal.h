// The rules that refuse a key function before anything is stored.
//
// Each refusal names the two language texts of its message box (title and
// message); the controller shows the box. A refused choice leaves the store,
// the keyboard view and the keyboard unchanged, except that the Fn-layer
// refusal also clears the selected key. Pure; any thread.
#pragma once

#include <set>

namespace keyloft {

// Where a choice came from: the function picker, or the key menu (commands
// 606 default and 607 disable, 608 macro and 609 shortcut function).
enum class AssignSource { Picker, MenuDefault, MenuDisable, MenuMacro, MenuShortcut };

struct KeyRefusal {
    int titleText = 0;
    int messageText = 0;
    bool clearsSelection = false;
    bool operator==(const KeyRefusal&) const = default;
};

struct AssignContext {
    int layer = 0;
    int key = 0;
    const std::set<int>* fnLayerDisabled = nullptr;  // keys the layout keeps off the Fn layer
    int remapRowsOnLayer = 0;  // rows of kinds 2 and 12, the selected key's own included
    int longRowsOnLayer = 0;   // rows of kinds 3 and 7
};

// Keys 175 (Fn) and 242 cannot take a function through the picker or the menu.
bool IsReservedKey(int key);

// Returns true and fills `refusal` when the choice is refused.
bool CheckAssignment(AssignSource source, const AssignContext& context, KeyRefusal& refusal);

// The refusal of the key menu itself (right click on key 175 or 242).
bool CheckKeyMenu(int key, KeyRefusal& refusal);

}  // namespace keyloft
