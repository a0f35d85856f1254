// The keyboard's code space and the two key tables built on it.
//
// A key code is one byte naming a key or a single-key function: the USB HID
// keyboard usages 4..115, the modifiers 224..231, the media and launch functions
// 232..249 and the Fn key 175. Recorded macros and the exchange files carry
// Windows virtual-key codes, so the recorder, the uploads and the captions go
// through VirtualKeyToKeyCode. Pure functions, callable from any thread.
#pragma once

#include <string>

namespace keyloft {

inline constexpr int kKeyCodeFn = 175;
inline constexpr int kKeyCodeCalculator = 242;
inline constexpr int kKeyCodeLeftCtrl = 224;
inline constexpr int kKeyCodeLeftShift = 225;
inline constexpr int kKeyCodeLeftAlt = 226;
inline constexpr int kKeyCodeLeftWindows = 227;

// Windows virtual-key code to key code; 0 for every value without one.
int VirtualKeyToKeyCode(int virtualKey);

// The caption of a key code (the key box and recorded macro steps); empty for
// codes without one.
std::wstring KeyCodeName(int keyCode);

// Caption of a recorded step: KeyCodeName(VirtualKeyToKeyCode(virtualKey)).
std::wstring VirtualKeyCaption(int virtualKey);

}  // namespace keyloft
