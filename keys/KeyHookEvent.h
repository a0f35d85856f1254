// One key event as the keyboard grab reports it: the Windows message kind, the
// virtual-key code, the scan code, the flags (bit 0 = extended key) and the
// time in milliseconds. The recorder and the exchange files speak these codes,
// so the platform grab translates to them. Plain value type.
#pragma once

#include <cstdint>

namespace keyloft {

inline constexpr int kMsgKeyDown = 0x100;
inline constexpr int kMsgKeyUp = 0x101;
inline constexpr int kMsgSysKeyDown = 0x104;
inline constexpr int kMsgSysKeyUp = 0x105;
inline constexpr int kHookFlagExtended = 0x01;

// Window message that carries hooked key events to registered windows.
inline constexpr int kMsgKeyHook = 1654;

struct KeyHookEvent {
    int message = 0;
    int virtualKey = 0;
    int scanCode = 0;
    int flags = 0;
    std::int64_t timeMs = 0;
    bool operator==(const KeyHookEvent&) const = default;
};

}  // namespace keyloft
