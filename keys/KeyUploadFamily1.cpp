// Family 1: long functions into numbered slots (0x8E), then the key table (0x8D).
#include "base/Clock.h"
#include "device/CommandPacket.h"
#include "device/DeviceCommands.h"
#include "keys/KeyFunction.h"
#include "keys/KeyUpload.h"
#include "keys/KeyUploadInternal.h"
#include "keys/LongFunction.h"
#include "store/ProfileStore.h"

#include <algorithm>
#include <array>

namespace keyloft {
namespace {

constexpr std::size_t kSlotChunkBytes = 59;
constexpr int kMacroChunkPauseMs = 100;
constexpr int kShortcutChunkPauseMs = 10;
constexpr int kBeforeTablePauseMs = 20;
constexpr int kTablePositions = 180;

// Writes one slot's stream; false when a report was not taken.
bool WriteSlot(HidDeviceManager& hid, int slot, const std::vector<std::uint8_t>& stream, int pauseMs) {
    for (std::size_t offset = 0; offset < stream.size(); offset += kSlotChunkBytes) {
        const std::size_t n = std::min(kSlotChunkBytes, stream.size() - offset);
        Report r{};
        r[1] = 0x8E;
        r[2] = static_cast<std::uint8_t>(n);
        r[3] = static_cast<std::uint8_t>(offset & 0xFF);
        r[4] = static_cast<std::uint8_t>(offset >> 8);
        r[5] = static_cast<std::uint8_t>(slot);
        std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(offset), n, r.begin() + 6);
        SleepMs(pauseMs);
        if (!hid.WriteReport(r)) return false;
    }
    return true;
}

}  // namespace

void UploadFamily1(HidDeviceManager& hid, ProfileStore& store, KeyState& state) {
    state.singleKey = false;  // family 1 always writes the whole layer
    std::vector<KeyAssignment> rows;
    store.LoadKeyAssignments(state.profile, state.layer, rows);

    // Slots from 0: macros in row order first, then shortcut functions. The
    // map is rebuilt on every upload.
    std::vector<const KeyAssignment*> slotted;
    for (const auto& r : rows)
        if (r.macro_type == kKindMacro) slotted.push_back(&r);
    for (const auto& r : rows)
        if (r.macro_type == kKindShortcut) slotted.push_back(&r);

    bool writing = true;
    for (std::size_t slot = 0; slot < slotted.size() && writing; ++slot) {
        const KeyAssignment& row = *slotted[slot];
        const LongFunctionData d = ReadLongFunction(store, row);
        const int repeat = row.macro_type == kKindShortcut ? 1 : std::clamp(d.repeat, 1, 255);
        const auto stream = BuildFamily1SlotStream(repeat, d.strokes);
        const int pause = row.macro_type == kKindShortcut ? kShortcutChunkPauseMs : kMacroChunkPauseMs;
        writing = WriteSlot(hid, static_cast<int>(slot), stream, pause);
    }

    SleepMs(kBeforeTablePauseMs);
    std::array<std::uint8_t, 2 * kTablePositions> table{};
    for (const auto& row : rows) {
        int position = 0;
        if (state.keyPositions) {
            auto it = state.keyPositions->find(row.key_code);
            if (it != state.keyPositions->end()) position = it->second;
        }
        if (position < 0 || position >= kTablePositions) continue;
        std::uint8_t first = 0, second = 0;
        if (row.macro_type == kKindKey) {
            first = static_cast<std::uint8_t>(row.macro_value);
            second = 0x20;
        } else if (row.macro_type == kKindDisabled) {
            second = 0x20;
        } else if (IsLongKind(row.macro_type)) {
            const auto it = std::find(slotted.begin(), slotted.end(), &row);
            first = static_cast<std::uint8_t>(it - slotted.begin());
            second = 0x40;
        } else {
            continue;
        }
        table[2 * position] = first;
        table[2 * position + 1] = second;
    }
    // The four reports carry table bytes 0..239 (positions 0 to 119).
    SendFamily1KeyTable(hid, std::span<const std::uint8_t>(table.data(), 240));
}

}  // namespace keyloft
