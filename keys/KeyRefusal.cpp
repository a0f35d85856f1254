#include "keys/KeyRefusal.h"

#include "keys/KeyCodes.h"
#include "keys/KeyFunction.h"

namespace keyloft {

bool IsReservedKey(int key) { return key == kKeyCodeFn || key == kKeyCodeCalculator; }

bool CheckAssignment(AssignSource source, const AssignContext& c, KeyRefusal& refusal) {
    if (c.layer == kFnLayerFn && c.fnLayerDisabled && c.fnLayerDisabled->count(c.key)) {
        refusal = {205, 260, true};
        return true;
    }
    if (source == AssignSource::Picker) {
        if (IsReservedKey(c.key)) {
            refusal = {366, 365, false};
            return true;
        }
        // The count includes the selected key's own row, so a full layer also
        // refuses to change a key that already has a remap.
        if (c.remapRowsOnLayer >= kMaxRemapKeysPerLayer) {
            refusal = {368, 367, false};
            return true;
        }
    }
    if ((source == AssignSource::MenuMacro || source == AssignSource::MenuShortcut) &&
        c.longRowsOnLayer >= kMaxLongKeysPerLayer) {
        refusal = {364, 363, false};
        return true;
    }
    return false;
}

bool CheckKeyMenu(int key, KeyRefusal& refusal) {
    if (!IsReservedKey(key)) return false;
    refusal = {366, 365, false};
    return true;
}

}  // namespace keyloft
