// Byte images of one key's long function (a macro or a shortcut) for the three
// keyboard families.
//
// Family 3 keeps a 512-byte block per key of which the link carries the first
// 162 (cable) or 128 (receiver) bytes; family 2 a 168-byte slot buffer; family 1
// a slot stream of 3-byte events. Events that do not fit are left out, and the
// event count always matches the events written. Pure; any thread.
#pragma once

#include "keys/KeyEvents.h"

#include <array>
#include <cstdint>
#include <vector>

namespace keyloft {

inline constexpr std::size_t kLongBlockSize = 512;
inline constexpr std::size_t kLongBlockMaxEvents = (kLongBlockSize - 4) / 2;  // 254
inline constexpr std::size_t kFamily2SlotSize = 168;
inline constexpr std::size_t kFamily2SlotMaxEvents = (kFamily2SlotSize - 4) / 2;  // 82
inline constexpr std::size_t kFamily1MaxEvents = 255;  // the count is one byte

using LongBlock = std::array<std::uint8_t, kLongBlockSize>;
using Family2Slot = std::array<std::uint8_t, kFamily2SlotSize>;

// B[0] = layer + 1, B[1] = key code, B[2] = repeat count, B[3] = events written,
// then (key code, timing) pairs.
LongBlock BuildLongBlock(int layer, int keyCode, int repeat, const std::vector<KeyEvent>& events);

// C[0] = 1, C[1] = slot, C[2] = key, C[3] = repeat, then pairs; no event count.
Family2Slot BuildFamily2Slot(int slot, int keyCode, int repeat, const std::vector<KeyEvent>& events);

// repeat, event count, then per event: key code, delay low, delay high, where a
// press sets bit 7 of the high byte and a release sets bit 7 of the low byte.
// Delays are clamped to 0..31000 ms so that they never reach the flag bits.
std::vector<std::uint8_t> BuildFamily1SlotStream(int repeat, const std::vector<KeyStroke>& strokes);

}  // namespace keyloft
