#include "keys/MacroRecorder.h"

#include "keys/KeyCodes.h"
#include "keys/KeyEvents.h"
#include "keys/KeyTiming.h"

namespace keyloft {

int MaxMacroActions(int deviceType) { return deviceType >= 300 && deviceType <= 399 ? 60 : 80; }

int NormalizeRecordedKey(const KeyHookEvent& e) {
    const bool extended = (e.flags & kHookFlagExtended) != 0;
    if (!extended) {
        // With Num Lock off the keypad reports navigation keys; the scan code
        // without the extended flag still says which keypad key it was.
        switch (e.scanCode) {
            case 71: return 103;
            case 72: return 104;
            case 73: return 105;
            case 75: return 100;
            case 76: return 101;
            case 77: return 102;
            case 79: return 97;
            case 80: return 98;
            case 81: return 99;
            case 82: return 96;
            case 83: return 110;
            default: break;
        }
    } else if (e.scanCode == 28) {
        return 108;  // keypad Enter
    }
    switch (e.virtualKey) {
        case 16: return 160;
        case 17: return 162;
        case 18: return 164;
        default: return e.virtualKey;
    }
}

bool MacroRecorder::Start(std::vector<RecordedStep> steps, int actions, int maxActions,
                          int delayMode, int fixedDelayMs) {
    recording_ = false;
    if (actions >= maxActions) return false;
    steps_ = std::move(steps);
    actions_ = actions;
    maxActions_ = maxActions;
    delayMode_ = delayMode;
    fixedDelay_ = fixedDelayMs;
    havePrevious_ = false;
    previousMs_ = 0;
    held_.clear();
    recording_ = true;
    return true;
}

MacroRecorder::FeedResult MacroRecorder::Feed(const KeyHookEvent& e) {
    FeedResult r;
    if (!recording_) return r;
    r.swallowed = true;
    bool release;
    if (e.message == kMsgKeyDown || e.message == kMsgSysKeyDown) {
        release = false;
    } else if (e.message == kMsgKeyUp || e.message == kMsgSysKeyUp) {
        release = true;
    } else {
        return r;
    }
    const int vk = NormalizeRecordedKey(e);
    if (!release) {
        if (!held_.insert(vk).second) return r;  // auto-repeat
    } else {
        held_.erase(vk);
    }
    Append(vk, release, e.timeMs);
    r.recorded = true;
    if (actions_ >= maxActions_) {
        recording_ = false;
        r.reachedLimit = true;
    }
    return r;
}

void MacroRecorder::Append(int vk, bool release, std::int64_t now) {
    std::int64_t elapsed = 0;
    if (havePrevious_) {
        elapsed = now - previousMs_;
        if (elapsed < 0 || elapsed > kMaxEventDelayMs) elapsed = kMaxEventDelayMs;
    }
    havePrevious_ = true;
    previousMs_ = now;
    int delay = static_cast<int>(elapsed);
    if (delayMode_ == kDelayFixed) delay = fixedDelay_;
    if (delayMode_ != kDelayNone && delay != 0 && !steps_.empty()) steps_.back().delay = delay;
    steps_.push_back({VirtualKeyCaption(vk), release ? kStepRelease : kStepPress, vk, 0});
    ++actions_;
}

std::vector<RecordedStep> MacroRecorder::Stop() {
    recording_ = false;
    havePrevious_ = false;
    previousMs_ = 0;
    held_.clear();
    std::vector<RecordedStep> out = std::move(steps_);
    steps_.clear();
    return out;
}

}  // namespace keyloft
