#include "keys/KeyEvents.h"

#include "keys/KeyCodes.h"
#include "keys/KeyTiming.h"

namespace keyloft {
namespace {

struct Shortcut {
    int modifier;
    int space;  // 44 for the two "Alt+Space, then" entries, else 0
    int key;
};

// Values 1..15: Ctrl+A, C, X, V, Z, S; Windows+E, L, D; Alt+Tab; Windows+M;
// Ctrl+W; Alt+Space then X; Alt+Space then N; Alt+F4.
constexpr Shortcut kShortcuts[kShortcutCount] = {
    {224, 0, 4},   {224, 0, 6},  {224, 0, 27}, {224, 0, 25},  {224, 0, 29},
    {224, 0, 22},  {227, 0, 8},  {227, 0, 15}, {227, 0, 7},   {226, 0, 43},
    {227, 0, 16},  {224, 0, 26}, {226, 44, 27}, {226, 44, 17}, {226, 0, 61},
};

constexpr int kShortcutDelayMs = 10;

}  // namespace

std::vector<KeyStroke> ShortcutStrokes(int value) {
    if (value < 1 || value > kShortcutCount) return {};
    const Shortcut& s = kShortcuts[value - 1];
    std::vector<int> keys{s.modifier};
    if (s.space) keys.push_back(s.space);
    keys.push_back(s.key);
    std::vector<KeyStroke> strokes;
    for (int k : keys) strokes.push_back({k, false, kShortcutDelayMs});
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) strokes.push_back({*it, true, kShortcutDelayMs});
    return strokes;
}

std::vector<KeyStroke> MacroStrokes(const std::vector<StepView>& steps) {
    std::vector<KeyStroke> strokes;
    for (const StepView& s : steps) {
        if (s.type != kStepPress && s.type != kStepRelease) continue;
        strokes.push_back({VirtualKeyToKeyCode(s.value), s.type == kStepRelease, s.delayMs});
    }
    return strokes;
}

std::vector<KeyEvent> EncodeStrokes(const std::vector<KeyStroke>& strokes) {
    std::vector<KeyEvent> events;
    events.reserve(strokes.size());
    for (const KeyStroke& s : strokes)
        events.push_back({static_cast<std::uint8_t>(s.keyCode), EncodeTiming(s.release, s.delayMs)});
    return events;
}

}  // namespace keyloft
