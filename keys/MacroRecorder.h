// The macro recorder: a state machine fed with hooked key events.
//
// Start with the macro's current steps (recording appends to them), its action
// count and the limit; every event while recording is swallowed, auto-repeats
// are ignored, keypad and generic modifier codes are normalised, and delays
// follow the delay mode. The recorder stops itself when the action count reaches
// the limit; the caller then saves the steps and shows texts 370/369. Owned by
// the controller; UI thread only (events arrive in order). No store access.
#pragma once

#include "keys/KeyHookEvent.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace keyloft {

enum DelayMode : int { kDelayRealTime = 1, kDelayNone = 2, kDelayFixed = 3 };

// An item of the step list: what the macro page shows and saves.
struct RecordedStep {
    std::wstring caption;
    int type = 0;   // 2 press, 3 release, others only from exchange files
    int value = 0;  // virtual-key code
    int delay = 0;  // milliseconds after this step
    bool operator==(const RecordedStep&) const = default;
};

// 60 actions for device types 300 to 399, else 80.
int MaxMacroActions(int deviceType);

// Keypad keys without the extended flag, keypad Enter with it, and generic
// Shift/Ctrl/Alt become the codes that are stored.
int NormalizeRecordedKey(const KeyHookEvent& e);

class MacroRecorder {
public:
    struct FeedResult {
        bool swallowed = false;     // the event must not reach other programs
        bool recorded = false;      // a step was appended
        bool reachedLimit = false;  // recording stopped at the action limit
    };

    // False (and idle) when `actions` has already reached `maxActions`.
    bool Start(std::vector<RecordedStep> steps, int actions, int maxActions, int delayMode,
               int fixedDelayMs);
    FeedResult Feed(const KeyHookEvent& e);
    // Ends recording and hands back the step list (also after a stop at the limit).
    std::vector<RecordedStep> Stop();

    bool Recording() const { return recording_; }
    const std::vector<RecordedStep>& Steps() const { return steps_; }
    int Actions() const { return actions_; }

private:
    void Append(int vk, bool release, std::int64_t now);

    bool recording_ = false;
    std::vector<RecordedStep> steps_;
    int actions_ = 0;
    int maxActions_ = 0;
    int delayMode_ = kDelayRealTime;
    int fixedDelay_ = 0;
    bool havePrevious_ = false;
    std::int64_t previousMs_ = 0;
    std::set<int> held_;
};

}  // namespace keyloft
