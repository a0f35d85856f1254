// Family 3: command 0x04 for single keys, key function blocks for long ones.
#include "base/Clock.h"
#include "device/ChunkedTransfer.h"
#include "device/CommandPacket.h"
#include "keys/KeyFunction.h"
#include "keys/KeyUpload.h"
#include "keys/KeyUploadInternal.h"
#include "keys/LongFunction.h"
#include "store/ProfileStore.h"

namespace keyloft {
namespace {

constexpr int kResetPauseMs = 100;
constexpr int kSingleKeyLeadMs = 100;
constexpr int kBeforeKeyPauseMs = 16;
constexpr int kAfterShortPauseMs = 200;

void ShortUpload(HidDeviceManager& hid, Framing framing, int layer, const KeyAssignment& row) {
    const bool hasValue = row.macro_value > 0;
    // Default, macro and shortcut rows carry their meaning elsewhere; their
    // value is no key code and must not reach the key table.
    if (hasValue && (row.macro_type == kKindDefault || IsLongKind(row.macro_type))) return;
    CommandPacket p = MakeCommand(framing, cmd::kKeyAssignment,
                                  {static_cast<std::uint8_t>(layer + 1),
                                   static_cast<std::uint8_t>(row.key_code),
                                   static_cast<std::uint8_t>(hasValue ? row.macro_value & 0xFF : 0)});
    hid.SendCommand(p.span(), false);
    SleepMs(kAfterShortPauseMs);
}

void LongUpload(HidDeviceManager& hid, ProfileStore& store, Framing framing, int layer,
                const KeyAssignment& row) {
    const LongFunctionData d = ReadLongFunction(store, row);
    const LongBlock block = BuildLongBlock(layer, row.key_code, d.repeat & 0xFF, EncodeStrokes(d.strokes));
    SendKeyFunctionBlock(hid, framing, block);
}

void UploadRow(HidDeviceManager& hid, ProfileStore& store, Framing framing, int layer,
               const KeyAssignment& row) {
    if (IsLongKind(row.macro_type)) {
        LongUpload(hid, store, framing, layer, row);
    } else {
        ShortUpload(hid, framing, layer, row);
    }
}

}  // namespace

void UploadFamily3(HidDeviceManager& hid, ProfileStore& store, KeyState& state, bool all) {
    const Framing framing = FramingForSelector(state.selector);
    if (!all) {
        SleepMs(kSingleKeyLeadMs);
        KeyAssignment row;
        if (!store.GetKeyAssignment(state.profile, state.layer, state.selectedKey, row)) {
            row = KeyAssignment{};  // no row: the key's own function, sent as value 0
            row.key_code = state.selectedKey;
        }
        UploadRow(hid, store, framing, state.layer, row);
        state.singleKey = false;
        return;
    }
    CommandPacket reset = MakeCommand(framing, cmd::kKeyReset);
    hid.SendCommand(reset.span(), false);
    SleepMs(kResetPauseMs);
    const int currentLayer = state.layer;
    for (int layer = kFnLayerNormal; layer <= kFnLayerFn; ++layer) {
        state.layer = layer;
        std::vector<KeyAssignment> rows;
        store.LoadKeyAssignments(state.profile, layer, rows);
        for (const KeyAssignment& row : rows) {
            if (row.macro_type == kKindDefault) continue;
            SleepMs(kBeforeKeyPauseMs);
            UploadRow(hid, store, framing, layer, row);
        }
    }
    state.layer = currentLayer;
    state.singleKey = false;
}

void ClearDeletedMacro(HidDeviceManager& hid, ProfileStore& store, KeyState& state) {
    if (FamilyOfDeviceType(state.deviceType) != KeyboardFamily::Family3) return;
    const Framing framing = FramingForSelector(state.selector);
    // Only the current profile is in the keyboard: resetting keys of other
    // profiles would wipe whatever the current profile has on those keys.
    for (int layer = kFnLayerNormal; layer <= kFnLayerFn; ++layer) {
        std::vector<KeyAssignment> rows;
        store.LoadKeyAssignments(state.profile, layer, rows);
        for (const KeyAssignment& row : rows) {
            if (row.macro_type != kKindMacro || row.macro_value != state.deletedMacroId) continue;
            SleepMs(kBeforeKeyPauseMs);
            CommandPacket p = MakeCommand(framing, cmd::kKeyAssignment,
                                          {static_cast<std::uint8_t>(layer + 1),
                                           static_cast<std::uint8_t>(row.key_code), 0});
            hid.SendCommand(p.span(), false);
        }
    }
    store.DeleteMacroFromKeys(state.deletedMacroId);
}

}  // namespace keyloft
