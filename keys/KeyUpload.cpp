#include "keys/KeyUpload.h"

#include "device/CommandPacket.h"
#include "keys/KeyFunction.h"
#include "keys/KeyUploadInternal.h"
#include "store/ProfileStore.h"

namespace keyloft {

LongFunctionData ReadLongFunction(ProfileStore& store, const KeyAssignment& row) {
    LongFunctionData d;
    if (row.macro_type == kKindShortcut) {
        d.repeat = 1;
        d.strokes = ShortcutStrokes(row.macro_value);
        return d;
    }
    MacroRecord macro;
    d.macroFound = store.GetMacro(row.macro_value, macro);
    d.repeat = d.macroFound ? macro.play_times : 0;
    std::vector<MacroStep> steps;
    store.LoadMacroSteps(row.macro_value, steps);
    std::vector<StepView> views;
    views.reserve(steps.size());
    for (const MacroStep& s : steps) views.push_back({s.type, s.value, s.delay_time});
    d.strokes = MacroStrokes(views);
    return d;
}

void UploadKeyFunctions(HidDeviceManager& hid, ProfileStore& store, KeyState& state) {
    switch (FamilyOfDeviceType(state.deviceType)) {
        case KeyboardFamily::Family3: UploadFamily3(hid, store, state, !state.singleKey); break;
        case KeyboardFamily::Family2: UploadFamily2(hid, store, state); break;
        case KeyboardFamily::Family1: UploadFamily1(hid, store, state); break;
        case KeyboardFamily::None: break;
    }
}

void UploadAllKeyFunctions(HidDeviceManager& hid, ProfileStore& store, KeyState& state) {
    if (FamilyOfDeviceType(state.deviceType) != KeyboardFamily::Family3) return;
    UploadFamily3(hid, store, state, true);
}

}  // namespace keyloft
