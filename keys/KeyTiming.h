// The timing byte of one key event in a long key function.
//
// Bit 7 marks a release, bits 6-5 pick the unit (10, 50, 100 or 1000 ms) and
// bits 4-0 the count, so one byte covers 10 ms to 31 s at falling precision.
// Pure; callable from any thread.
#pragma once

#include <cstdint>

namespace keyloft {

inline constexpr int kMaxEventDelayMs = 31000;

std::uint8_t EncodeTiming(bool release, int ms);

}  // namespace keyloft
