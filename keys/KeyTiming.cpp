#include "keys/KeyTiming.h"

#include <algorithm>

namespace keyloft {

std::uint8_t EncodeTiming(bool release, int ms) {
    ms = std::min(ms, kMaxEventDelayMs);
    const int releaseBit = release ? 0x80 : 0;
    // Delays up to one 10 ms step, and nonsense negative ones, take the
    // shortest delay; a press byte is never 0.
    if (ms < 0) return release ? 0x80 : 0x01;
    if (ms <= 10) return static_cast<std::uint8_t>(releaseBit | 0x01);
    int unit, count;
    if (ms <= 310) {
        unit = 0, count = ms / 10;
    } else if (ms <= 1550) {
        unit = 1, count = ms / 50;
    } else if (ms <= 3100) {
        unit = 2, count = ms / 100;
    } else {
        unit = 3, count = ms / 1000;
    }
    int byte = releaseBit | (unit << 5) | count;
    if (byte == 0) byte = 0x01;
    return static_cast<std::uint8_t>(byte);
}

}  // namespace keyloft
