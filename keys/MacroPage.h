// The macro page's operations on the store: new, copy, rename, delete, the
// playback settings, the step edits and saving the step list.
//
// The step list (RecordedStep items) is the page's working copy; every change is
// written back whole with SaveMacroSteps. Message boxes, the device task queue
// and reloading the profile go through MacroPageHost (the main controller).
// UI thread only. Operations that need a selection do nothing without one.
#pragma once

#include "keys/KeyState.h"
#include "keys/MacroRecorder.h"
#include "store/StoreRecords.h"

#include <string>
#include <vector>

namespace keyloft {

class ProfileStore;

class MacroPageHost {
public:
    virtual ~MacroPageHost() = default;
    virtual int MessageBox(int titleText, int messageText) = 0;
    virtual void QueueDeviceTask(int task) = 0;
    virtual void ReloadProfile() = 0;
};

// The first "<base> <n>" (n = 1, 2, ... up to 1000) that no name in `taken`
// equals exactly; empty when all are taken.
std::wstring FirstFreeName(const std::wstring& base, const std::vector<std::wstring>& taken);

// A new macro named from text 331; returns its id (0 on failure).
int NewMacro(ProfileStore& store, const std::wstring& text331, const std::vector<std::wstring>& listNames);

// A copy named "<name> - <n>" with the same play settings and every step;
// returns the new id (0 when the source is missing or the insert failed).
int CopyMacro(ProfileStore& store, int macroId, const std::vector<std::wstring>& listNames);

// An empty name is refused with texts 33/330 (false: the list shows the stored
// name again); else the macro and the keys that play it are renamed and the
// profile is reloaded.
bool RenameMacroItem(ProfileStore& store, MacroPageHost& host, int macroId, const std::wstring& name);

// Removes the macro and its steps, remembers the id for task 7 and queues it.
bool DeleteMacroItem(ProfileStore& store, KeyState& state, MacroPageHost& host, int macroId);

// The page's playback fields as text. Returns the repeat text as corrected
// into 1..99 (for the field).
struct PlaybackFields {
    std::wstring repeat;
    int delayMode = kDelayRealTime;
    std::wstring fixedDelay;
};
std::wstring SaveMacroPlayback(ProfileStore& store, int macroId, const PlaybackFields& fields);

// Leading decimal digits of `text` (optional sign), 0 when there are none;
// values beyond the int range are clamped.
int LeadingNumber(const std::wstring& text);

// Step edits on the working copy; each returns the index to select then (-1
// when nothing changed).
int MoveStepUp(std::vector<RecordedStep>& steps, int selected);
int MoveStepDown(std::vector<RecordedStep>& steps, int selected);
int DeleteStep(std::vector<RecordedStep>& steps, int selected);

// The step list as stored steps (record_index = position).
std::vector<MacroStep> ToMacroSteps(int macroId, const std::vector<RecordedStep>& steps);
std::vector<RecordedStep> ToRecordedSteps(const std::vector<MacroStep>& steps);

// Replaces the macro's steps by the list. When the new steps cannot all be
// stored, the old ones are put back so that a failed save loses nothing.
bool SaveMacroSteps(ProfileStore& store, int macroId, const std::vector<RecordedStep>& steps);

// Reads the delay mode and fixed delay for a recording (fixed delay 10 when the
// field is empty or not a number).
int RecordingFixedDelay(const std::wstring& field);

// Recording on the macro page. Start counts the macro's stored actions against
// the model's limit (texts 370/369 when it is reached) and appends to the
// page's step list. Each hooked key goes through HandleRecordedKey, which
// returns whether the key is swallowed and, when the limit is reached, saves
// the steps and shows 370/369. Stop saves the steps.
bool StartMacroRecording(ProfileStore& store, MacroRecorder& recorder, MacroPageHost& host, int macroId,
                         int deviceType, int delayMode, const std::wstring& fixedDelayField,
                         std::vector<RecordedStep> pageSteps);
bool HandleRecordedKey(ProfileStore& store, MacroRecorder& recorder, MacroPageHost& host, int macroId,
                       const KeyHookEvent& event);
std::vector<RecordedStep> StopMacroRecording(ProfileStore& store, MacroRecorder& recorder, int macroId);

}  // namespace keyloft
