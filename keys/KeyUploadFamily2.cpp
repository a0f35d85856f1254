// Family 2: feature reports with report id 7 into the keyboard's 13 long slots
// and 10 simple remap slots.
#include "base/Clock.h"
#include "device/CommandPacket.h"
#include "device/HidDeviceManager.h"
#include "keys/KeyFunction.h"
#include "keys/KeyUpload.h"
#include "keys/KeyUploadInternal.h"
#include "keys/LongFunction.h"
#include "store/ProfileStore.h"

#include <array>

namespace keyloft {
namespace {

constexpr int kLongSlots = 13;
constexpr int kSimpleSlots = 10;
constexpr int kBeforeKeyPauseMs = 16;

struct SlotTable {
    std::array<int, kLongSlots + 1> longKey{};      // [1..13]
    std::array<int, kSimpleSlots + 1> simpleKey{};  // [1..10]
};

SlotTable ReadSlotTable(HidDeviceManager& hid) {
    std::array<std::uint8_t, kFeatureBlockSize> block{};
    block[0] = kFamily2ReportId;
    block[1] = 0xFB;
    block[2] = 0x01;
    SlotTable t;
    if (!hid.ExchangeFeatureBlock(block)) return t;
    for (int s = 1; s <= kLongSlots; ++s) t.longKey[s] = block[s];
    for (int s = 1; s <= kSimpleSlots; ++s) t.simpleKey[s] = block[kLongSlots + s];
    return t;
}

template <std::size_t N>
int SlotFor(const std::array<int, N>& keys, int key) {
    for (std::size_t s = 1; s < N; ++s)
        if (keys[s] == key) return static_cast<int>(s);
    for (std::size_t s = 1; s < N; ++s)
        if (keys[s] == 0) return static_cast<int>(s);
    return 1;
}

template <std::size_t N>
int SlotHolding(const std::array<int, N>& keys, int key) {
    for (std::size_t s = 1; s < N; ++s)
        if (keys[s] == key) return static_cast<int>(s);
    return 0;
}

void WriteSimple(HidDeviceManager& hid, int slot, const KeyAssignment& row) {
    if (row.macro_value > 0 && (row.macro_type == kKindDefault || IsLongKind(row.macro_type))) return;
    const bool freed = row.macro_value < 1;
    const Report r = MakeFamily2Feature(
        0xFA, {0x01, static_cast<std::uint8_t>(slot),
               static_cast<std::uint8_t>(freed ? 0 : row.key_code), 0x01,
               static_cast<std::uint8_t>(freed ? 0 : row.macro_value & 0xFF), 0x01});
    hid.SendFeatureReport(r);
}

void WriteLongSlot(HidDeviceManager& hid, int slot, const Family2Slot& c) {
    for (int n = 0; n < 28; ++n) {
        Report r{};
        r[0] = kFamily2ReportId;
        r[1] = n == 0 ? 0xF1 : 0x00;
        for (int i = 0; i < 6; ++i) r[2 + i] = c[6 * n + i];
        hid.SendFeatureReport(r);  // pauses 16 ms before each report itself
    }
}

Family2Slot LongSlotBuffer(ProfileStore& store, int slot, const KeyAssignment& row) {
    const LongFunctionData d = ReadLongFunction(store, row);
    // A macro that no longer exists leaves key and repeat 0.
    const int key = d.macroFound ? row.key_code : 0;
    return BuildFamily2Slot(slot, key, d.repeat & 0xFF, EncodeStrokes(d.strokes));
}

}  // namespace

void UploadFamily2(HidDeviceManager& hid, ProfileStore& store, KeyState& state) {
    if (state.singleKey) {
        state.singleKey = false;
        const SlotTable table = ReadSlotTable(hid);
        KeyAssignment row;
        if (!store.GetKeyAssignment(state.profile, state.layer, state.selectedKey, row)) {
            row = KeyAssignment{};
            row.key_code = state.selectedKey;
        }
        if (row.macro_type == kKindKey) {
            WriteSimple(hid, SlotFor(table.simpleKey, row.key_code), row);
        } else if (IsLongKind(row.macro_type)) {
            const int slot = SlotFor(table.longKey, row.key_code);
            WriteLongSlot(hid, slot, LongSlotBuffer(store, slot, row));
        } else {
            // Anything else takes the key out of the slots that hold it.
            if (int slot = SlotHolding(table.longKey, row.key_code)) {
                WriteLongSlot(hid, slot, BuildFamily2Slot(slot, row.key_code, 0, {}));
            }
            if (int slot = SlotHolding(table.simpleKey, row.key_code)) WriteSimple(hid, slot, row);
        }
        return;
    }

    std::array<std::uint8_t, kFeatureBlockSize> start{0xAA, 0x55, 0xCC, 0x0F};
    hid.ExchangeFeatureBlock(start);
    std::vector<KeyAssignment> rows;
    store.LoadKeyAssignments(state.profile, state.layer, rows);
    int nextLong = 1, nextSimple = 1;
    for (const KeyAssignment& row : rows) {
        if (row.macro_type == kKindDefault) continue;
        // The keyboard has 13 long and 10 simple slots; a slot number past them
        // would land outside its table, so further keys of a kind stay unwritten.
        if (IsLongKind(row.macro_type)) {
            if (nextLong > kLongSlots) continue;
            SleepMs(kBeforeKeyPauseMs);
            const int slot = nextLong++;
            WriteLongSlot(hid, slot, LongSlotBuffer(store, slot, row));
        } else {
            if (nextSimple > kSimpleSlots) continue;
            SleepMs(kBeforeKeyPauseMs);
            WriteSimple(hid, nextSimple++, row);
        }
    }
}

}  // namespace keyloft
