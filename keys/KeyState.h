// The main controller's fields that the key functions read and change.
//
// The controller owns one KeyState. The UI thread changes it through the key
// operations; the worker's uploads read it (and clear the single-key flag)
// while the window is disabled, so the two never change it at the same time.
#pragma once

#include <map>
#include <set>

namespace keyloft {

struct KeyState {
    int profile = 0;
    int layer = 0;           // current layer; a full upload sets each layer while it sends it
    int selectedKey = 0;     // 0 = none
    bool singleKey = false;  // the next task 6 sends only the selected key; consumed by it
    int deviceType = 0;
    int selector = -1;       // GetActiveMode(): 0 selects framing A, anything else B
    int deletedMacroId = 0;  // read by task 7
    // Keys the layout keeps off the Fn layer.
    const std::set<int>* fnLayerDisabled = nullptr;
    // Family 1: a key's position in the key table (the layout's key index).
    const std::map<int, int>* keyPositions = nullptr;
};

}  // namespace keyloft
