// MTimerBase: periodic timers on the process's multimedia timer thread.
//
// Each timer calls OnMTimer(id) on the timer thread (and OnMTimer(id, name) for
// timers set with the application flag). The object owns its timers: killing one
// waits for a running callback of it, and the destructor kills them all, so no
// callback reaches a destroyed object. SetTimer, KillTimer and the queries may be
// called from any thread. SetTimer answers 0 when the timer cannot be started.
#pragma once

#include <mutex>
#include <vector>

#include "TesselTypes.h"

namespace TesselUI {

class MTimerBase {
public:
    MTimerBase();
    virtual ~MTimerBase();
    MTimerBase(const MTimerBase&) = delete;
    MTimerBase& operator=(const MTimerBase&) = delete;

    virtual void OnMTimer(UINT id, CString name) {}
    virtual void OnMTimer(UINT id) = 0;

    UINT SetTimer(UINT ms, const CString& name, BOOL app);
    // Stop and remove one timer; answer the number of timers left.
    int KillTimer(UINT id);
    int KillTimer(const CString& name);
    void KillTimer();
    BOOL GetTimerIsRun(UINT id);
    BOOL GetTimerIsRun(const CString& name);
    // Park (stop scheduling) or unpark one of this object's timers; the id stays
    // valid. Unparked, its next tick is one period away. FALSE for a foreign id.
    BOOL ParkTimer(UINT id, BOOL parked);
    BOOL IsTimerParked(UINT id);
    CString GetTimerName(UINT id);
    BOOL IsAppTimer(UINT id);
    // The live object that owns a timer id, or null.
    static MTimerBase* GetFSTimer(UINT id);

    static UINT m_uAccuracy;
    static BOOL m_bIsTmierOK;

private:
    struct Entry {
        UINT id;
        CString name;
        BOOL app;
    };
    static void TimerCallProc(UINT id, UINT msg, std::uintptr_t user, std::uintptr_t, std::uintptr_t);
    // Stops the timers in `entries` without holding the entry lock (a callback may
    // be waiting for it).
    static void StopAll(const std::vector<Entry>& entries);

    std::mutex lock_;
    std::vector<Entry> timers_;
};

}  // namespace TesselUI
