#include "keys/MacroPage.h"

#include "keys/KeyUpload.h"
#include "store/ProfileStore.h"

#include <algorithm>
#include <climits>
#include <cwctype>

namespace keyloft {

std::wstring FirstFreeName(const std::wstring& base, const std::vector<std::wstring>& taken) {
    for (int n = 1; n <= 1000; ++n) {
        std::wstring name = base + L" " + std::to_wstring(n);
        if (std::find(taken.begin(), taken.end(), name) == taken.end()) return name;
    }
    return {};
}

int NewMacro(ProfileStore& store, const std::wstring& text331, const std::vector<std::wstring>& listNames) {
    const std::wstring name = FirstFreeName(text331, listNames);
    if (name.empty()) return 0;
    return store.AddMacro(name);
}

int CopyMacro(ProfileStore& store, int macroId, const std::vector<std::wstring>& listNames) {
    MacroRecord source;
    if (!store.GetMacro(macroId, source)) return 0;
    MacroRecord copy = source;
    copy.name = FirstFreeName(source.name + L" -", listNames);
    if (copy.name.empty()) return 0;
    copy.link_count = 0;
    const int id = store.AddMacroWithSettings(copy);
    if (id < 1) return 0;
    std::vector<MacroStep> steps;
    store.LoadMacroSteps(macroId, steps);
    for (MacroStep s : steps) {
        s.macro_id = id;
        store.AddMacroStep(s);
    }
    return id;
}

bool RenameMacroItem(ProfileStore& store, MacroPageHost& host, int macroId, const std::wstring& name) {
    if (name.empty()) {
        host.MessageBox(33, 330);
        return false;
    }
    store.RenameMacro(macroId, name);
    store.RenameMacroOnKeys(macroId, name);
    host.ReloadProfile();
    return true;
}

bool DeleteMacroItem(ProfileStore& store, KeyState& state, MacroPageHost& host, int macroId) {
    if (macroId < 1) return false;
    store.DeleteMacro(macroId);
    state.deletedMacroId = macroId;
    host.QueueDeviceTask(kTaskClearDeletedMacro);
    return true;
}

int LeadingNumber(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    long long v = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        v = v * 10 + (text[i] - L'0');
        if (v > INT_MAX) v = static_cast<long long>(INT_MAX) + 1;  // saturate, keep going
    }
    if (negative) v = -v;
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

std::wstring SaveMacroPlayback(ProfileStore& store, int macroId, const PlaybackFields& f) {
    MacroRecord m;
    m.macro_id = macroId;
    m.play_times = std::clamp(LeadingNumber(f.repeat), 1, 99);
    m.delay_type = (f.delayMode == kDelayNone || f.delayMode == kDelayFixed) ? f.delayMode : kDelayRealTime;
    m.delay_time = m.delay_type == kDelayFixed ? std::clamp(LeadingNumber(f.fixedDelay), 0, 9999) : 10;
    if (macroId > 0) store.UpdateMacroPlayback(m);
    return std::to_wstring(m.play_times);
}

int RecordingFixedDelay(const std::wstring& field) {
    bool digits = !field.empty();
    for (wchar_t c : field) digits = digits && c >= L'0' && c <= L'9';
    return digits ? std::clamp(LeadingNumber(field), 0, 9999) : 10;
}

int MoveStepUp(std::vector<RecordedStep>& steps, int sel) {
    if (sel < 1 || sel >= static_cast<int>(steps.size())) return -1;
    std::swap(steps[sel], steps[sel - 1]);
    return sel - 1;
}

int MoveStepDown(std::vector<RecordedStep>& steps, int sel) {
    if (sel < 0 || sel + 1 >= static_cast<int>(steps.size())) return -1;
    std::swap(steps[sel], steps[sel + 1]);
    return sel + 1;
}

int DeleteStep(std::vector<RecordedStep>& steps, int sel) {
    if (sel < 0 || sel >= static_cast<int>(steps.size())) return -1;
    steps.erase(steps.begin() + sel);
    if (steps.empty()) return -1;
    return std::min(sel, static_cast<int>(steps.size()) - 1);
}

std::vector<MacroStep> ToMacroSteps(int macroId, const std::vector<RecordedStep>& steps) {
    std::vector<MacroStep> out;
    out.reserve(steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        MacroStep s;
        s.macro_id = macroId;
        s.type = steps[i].type;
        s.record_index = static_cast<int>(i);
        s.value = steps[i].value;
        s.delay_time = steps[i].delay;
        s.desc = steps[i].caption;
        out.push_back(std::move(s));
    }
    return out;
}

std::vector<RecordedStep> ToRecordedSteps(const std::vector<MacroStep>& steps) {
    std::vector<RecordedStep> out;
    out.reserve(steps.size());
    for (const MacroStep& s : steps) out.push_back({s.desc, s.type, s.value, s.delay_time});
    return out;
}

bool SaveMacroSteps(ProfileStore& store, int macroId, const std::vector<RecordedStep>& steps) {
    if (macroId < 1) return false;
    std::vector<MacroStep> old;
    store.LoadMacroSteps(macroId, old);
    const auto fresh = ToMacroSteps(macroId, steps);
    const int stored = store.ReplaceMacroSteps(macroId, fresh);
    if (stored == static_cast<int>(fresh.size())) return true;
    // The store never rolls back, so a step that failed to go in would be lost
    // with the old list: put the old steps back instead.
    if (stored >= 0) store.ReplaceMacroSteps(macroId, old);
    return false;
}

bool StartMacroRecording(ProfileStore& store, MacroRecorder& recorder, MacroPageHost& host, int macroId,
                         int deviceType, int delayMode, const std::wstring& fixedDelayField,
                         std::vector<RecordedStep> pageSteps) {
    if (macroId < 1) return false;
    const int fixed = delayMode == kDelayFixed ? RecordingFixedDelay(fixedDelayField) : 0;
    if (!recorder.Start(std::move(pageSteps), store.CountMacroActions(macroId), MaxMacroActions(deviceType),
                        delayMode, fixed)) {
        host.MessageBox(370, 369);
        return false;
    }
    return true;
}

bool HandleRecordedKey(ProfileStore& store, MacroRecorder& recorder, MacroPageHost& host, int macroId,
                       const KeyHookEvent& event) {
    const MacroRecorder::FeedResult r = recorder.Feed(event);
    if (r.reachedLimit) {
        StopMacroRecording(store, recorder, macroId);
        host.MessageBox(370, 369);
    }
    return r.swallowed;
}

std::vector<RecordedStep> StopMacroRecording(ProfileStore& store, MacroRecorder& recorder, int macroId) {
    std::vector<RecordedStep> steps = recorder.Stop();
    SaveMacroSteps(store, macroId, steps);
    return steps;
}

}  // namespace keyloft
