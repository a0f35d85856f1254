// The multimedia timer: periodic callbacks on a timer thread with a steady clock.
//
// All events run their callbacks on one process-wide timer thread, so callbacks
// never overlap. timeKillEvent waits until a running callback of that event has
// returned (unless it is called from that callback), so after it the callback's
// user value may be freed. Any thread may call these. timeSetEvent answers 0 on
// failure; the others answer TIMERR_NOERROR (0) or an error number.
#pragma once

#include <cstdint>

#include "platform/window/WinTypes.h"

namespace platform {

using MMRESULT = UINT;
using DWORD_PTR = std::uintptr_t;
using LPTIMECALLBACK = void (*)(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR r1, DWORD_PTR r2);

inline constexpr MMRESULT TIMERR_NOERROR = 0;
inline constexpr MMRESULT TIMERR_NOCANDO = 97;
inline constexpr UINT TIME_ONESHOT = 0x0000;
inline constexpr UINT TIME_PERIODIC = 0x0001;

struct TIMECAPS {
    UINT wPeriodMin = 0;
    UINT wPeriodMax = 0;
};

MMRESULT timeGetDevCaps(TIMECAPS* caps, UINT size);
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);
UINT timeSetEvent(UINT delayMs, UINT resolutionMs, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
MMRESULT timeKillEvent(UINT id);
// A parked event keeps its id but is not scheduled: with every event parked the
// timer thread sleeps until something changes. Unparking schedules the next tick
// one period from now. TIMERR_NOCANDO for an unknown id.
MMRESULT timeParkEvent(UINT id, bool parked);
// Whether the event exists and is parked.
bool timeIsEventParked(UINT id);
// Milliseconds since the layer started (steady).
DWORD timeGetTime();

}  // namespace platform
