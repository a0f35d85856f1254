// The event lists of long key functions: shortcut sequences and macros.
//
// A long function (kinds 3 and 7) reaches the keyboard as a repeat count and a
// list of events, each a key code and a timing byte. The shortcut table fixes
// the sequences of the 15 shortcut functions; a macro's events come from its
// press and release steps. Pure; callable from any thread.
#pragma once

#include <cstdint>
#include <vector>

namespace keyloft {

inline constexpr int kShortcutCount = 15;
inline constexpr int kStepPress = 2;
inline constexpr int kStepRelease = 3;

struct KeyEvent {
    std::uint8_t keyCode = 0;
    std::uint8_t timing = 0;
    bool operator==(const KeyEvent&) const = default;
};

// One press or release of a key code with a delay after it. Family 1 needs
// the delay itself, the other families its timing byte.
struct KeyStroke {
    int keyCode = 0;
    bool release = false;
    int delayMs = 0;
    bool operator==(const KeyStroke&) const = default;
};

// The key strokes of shortcut `value` 1..15 (10 ms each); empty for any other.
std::vector<KeyStroke> ShortcutStrokes(int value);

// One stroke per step of type 2 (press) or 3 (release), in the order given;
// other step types add nothing. `value` is a virtual-key code.
struct StepView {
    int type = 0;
    int value = 0;
    int delayMs = 0;
};
std::vector<KeyStroke> MacroStrokes(const std::vector<StepView>& steps);

std::vector<KeyEvent> EncodeStrokes(const std::vector<KeyStroke>& strokes);

}  // namespace keyloft
