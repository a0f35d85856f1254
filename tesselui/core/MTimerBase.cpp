#include "MTimerBase.h"

#include <algorithm>
#include <set>

#include "platform/window/MmTimer.h"

namespace TesselUI {

UINT MTimerBase::m_uAccuracy = 1;
BOOL MTimerBase::m_bIsTmierOK = FALSE;

namespace {

std::mutex& LiveLock() {
    static std::mutex* m = new std::mutex;
    return *m;
}

std::set<MTimerBase*>& Live() {
    static std::set<MTimerBase*>* s = new std::set<MTimerBase*>;
    return *s;
}

std::once_flag g_resolutionOnce;

}  // namespace

MTimerBase::MTimerBase() {
    std::lock_guard lock(LiveLock());
    Live().insert(this);
}

MTimerBase::~MTimerBase() {
    KillTimer();
    std::lock_guard lock(LiveLock());
    Live().erase(this);
}

void MTimerBase::TimerCallProc(UINT id, UINT, std::uintptr_t user, std::uintptr_t, std::uintptr_t) {
    auto* self = reinterpret_cast<MTimerBase*>(user);
    CString name;
    BOOL app = FALSE;
    {
        std::lock_guard lock(self->lock_);
        auto it = std::find_if(self->timers_.begin(), self->timers_.end(), [&](const Entry& e) { return e.id == id; });
        if (it == self->timers_.end()) return;  // being killed
        name = it->name;
        app = it->app;
    }
    self->OnMTimer(id);
    if (app) self->OnMTimer(id, name);
}

UINT MTimerBase::SetTimer(UINT ms, const CString& name, BOOL app) {
    std::call_once(g_resolutionOnce, [] {
        platform::TIMECAPS caps;
        if (platform::timeGetDevCaps(&caps, sizeof(caps)) == platform::TIMERR_NOERROR) {
            m_uAccuracy = std::min(std::max(caps.wPeriodMin, 1u), caps.wPeriodMax);
            m_bIsTmierOK = platform::timeBeginPeriod(m_uAccuracy) == platform::TIMERR_NOERROR;
        }
    });
    // The entry goes in before the timer starts, so the first tick finds it.
    std::lock_guard lock(lock_);
    const UINT id = platform::timeSetEvent(ms, m_uAccuracy, &MTimerBase::TimerCallProc,
                                           reinterpret_cast<std::uintptr_t>(this), platform::TIME_PERIODIC);
    if (id == 0) return 0;
    timers_.push_back(Entry{id, name, app});
    return id;
}

void MTimerBase::StopAll(const std::vector<Entry>& entries) {
    for (const Entry& e : entries) platform::timeKillEvent(e.id);
}

int MTimerBase::KillTimer(UINT id) {
    std::vector<Entry> doomed;
    int left;
    {
        std::lock_guard lock(lock_);
        auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Entry& e) { return e.id == id; });
        if (it != timers_.end()) {
            doomed.push_back(*it);
            timers_.erase(it);
        }
        left = static_cast<int>(timers_.size());
    }
    StopAll(doomed);
    return left;
}

int MTimerBase::KillTimer(const CString& name) {
    std::vector<Entry> doomed;
    int left;
    {
        std::lock_guard lock(lock_);
        auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Entry& e) { return e.name == name; });
        if (it != timers_.end()) {
            doomed.push_back(*it);
            timers_.erase(it);
        }
        left = static_cast<int>(timers_.size());
    }
    StopAll(doomed);
    return left;
}

void MTimerBase::KillTimer() {
    std::vector<Entry> doomed;
    {
        std::lock_guard lock(lock_);
        doomed.swap(timers_);
    }
    StopAll(doomed);
}

BOOL MTimerBase::GetTimerIsRun(UINT id) {
    std::lock_guard lock(lock_);
    return std::any_of(timers_.begin(), timers_.end(), [&](const Entry& e) { return e.id == id; });
}

BOOL MTimerBase::GetTimerIsRun(const CString& name) {
    std::lock_guard lock(lock_);
    return std::any_of(timers_.begin(), timers_.end(), [&](const Entry& e) { return e.name == name; });
}

BOOL MTimerBase::ParkTimer(UINT id, BOOL parked) {
    std::lock_guard lock(lock_);
    if (std::none_of(timers_.begin(), timers_.end(), [&](const Entry& e) { return e.id == id; })) return FALSE;
    return platform::timeParkEvent(id, parked != FALSE) == platform::TIMERR_NOERROR;
}

BOOL MTimerBase::IsTimerParked(UINT id) {
    std::lock_guard lock(lock_);
    if (std::none_of(timers_.begin(), timers_.end(), [&](const Entry& e) { return e.id == id; })) return FALSE;
    return platform::timeIsEventParked(id);
}

CString MTimerBase::GetTimerName(UINT id) {
    std::lock_guard lock(lock_);
    for (const Entry& e : timers_)
        if (e.id == id) return e.name;
    return CString();
}

BOOL MTimerBase::IsAppTimer(UINT id) {
    std::lock_guard lock(lock_);
    for (const Entry& e : timers_)
        if (e.id == id) return e.app;
    return FALSE;
}

MTimerBase* MTimerBase::GetFSTimer(UINT id) {
    std::lock_guard lock(LiveLock());
    for (MTimerBase* t : Live())
        if (t->GetTimerIsRun(id)) return t;
    return nullptr;
}

}  // namespace TesselUI
