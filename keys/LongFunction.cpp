#include "keys/LongFunction.h"

#include "keys/KeyTiming.h"

#include <algorithm>

namespace keyloft {

LongBlock BuildLongBlock(int layer, int keyCode, int repeat, const std::vector<KeyEvent>& events) {
    LongBlock b{};
    const std::size_t n = std::min(events.size(), kLongBlockMaxEvents);
    b[0] = static_cast<std::uint8_t>(layer + 1);
    b[1] = static_cast<std::uint8_t>(keyCode);
    b[2] = static_cast<std::uint8_t>(repeat);
    b[3] = static_cast<std::uint8_t>(n);
    for (std::size_t i = 0; i < n; ++i) {
        b[4 + 2 * i] = events[i].keyCode;
        b[5 + 2 * i] = events[i].timing;
    }
    return b;
}

Family2Slot BuildFamily2Slot(int slot, int keyCode, int repeat, const std::vector<KeyEvent>& events) {
    Family2Slot c{};
    c[0] = 1;
    c[1] = static_cast<std::uint8_t>(slot);
    c[2] = static_cast<std::uint8_t>(keyCode);
    c[3] = static_cast<std::uint8_t>(repeat);
    const std::size_t n = std::min(events.size(), kFamily2SlotMaxEvents);
    for (std::size_t i = 0; i < n; ++i) {
        c[4 + 2 * i] = events[i].keyCode;
        c[5 + 2 * i] = events[i].timing;
    }
    return c;
}

std::vector<std::uint8_t> BuildFamily1SlotStream(int repeat, const std::vector<KeyStroke>& strokes) {
    const std::size_t n = std::min(strokes.size(), kFamily1MaxEvents);
    std::vector<std::uint8_t> s;
    s.reserve(2 + 3 * n);
    s.push_back(static_cast<std::uint8_t>(repeat));
    s.push_back(static_cast<std::uint8_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        const int delay = std::clamp(strokes[i].delayMs, 0, kMaxEventDelayMs);
        std::uint8_t low = static_cast<std::uint8_t>(delay & 0xFF);
        std::uint8_t high = static_cast<std::uint8_t>((delay >> 8) & 0xFF);
        if (strokes[i].release) {
            low |= 0x80;
            high &= 0x7F;
        } else {
            high |= 0x80;
        }
        s.push_back(static_cast<std::uint8_t>(strokes[i].keyCode));
        s.push_back(low);
        s.push_back(high);
    }
    return s;
}

}  // namespace keyloft
