// One timer thread serves every multimedia timer event of the process. It sleeps
// on a condition variable until the earliest deadline, runs that event's callback
// without holding the lock, and schedules the next period from the previous
// deadline (not from "now"), so a periodic timer keeps its rate on average.
// Parked events are skipped; with nothing armed the thread waits without a
// deadline, so an idle process is not woken at all.
#include "platform/window/MmTimer.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace platform {
namespace {

using SteadyClock = std::chrono::steady_clock;

struct Event {
    UINT period = 0;
    bool periodic = false;
    bool parked = false;
    LPTIMECALLBACK callback = nullptr;
    DWORD_PTR user = 0;
    SteadyClock::time_point due;
};

class TimerThread {
public:
    static TimerThread& Instance() {
        // Never destroyed: callbacks may still be killed from static destructors.
        static TimerThread* instance = new TimerThread;
        return *instance;
    }

    UINT Add(UINT delay, LPTIMECALLBACK callback, DWORD_PTR user, bool periodic) {
        std::unique_lock lock(mutex_);
        if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
        UINT id = ++lastId_;
        if (id == 0) id = ++lastId_;
        Event e;
        e.period = delay == 0 ? 1 : delay;
        e.periodic = periodic;
        e.callback = callback;
        e.user = user;
        e.due = SteadyClock::now() + std::chrono::milliseconds(e.period);
        events_[id] = e;
        wake_.notify_all();
        return id;
    }

    bool Kill(UINT id) {
        std::unique_lock lock(mutex_);
        auto it = events_.find(id);
        if (it == events_.end()) return false;
        events_.erase(it);
        // Wait for a running callback of this event, unless we are that callback.
        if (std::this_thread::get_id() != thread_.get_id()) {
            done_.wait(lock, [&] { return running_ != id; });
        }
        wake_.notify_all();
        return true;
    }

    bool Park(UINT id, bool parked) {
        std::unique_lock lock(mutex_);
        auto it = events_.find(id);
        if (it == events_.end()) return false;
        if (it->second.parked != parked) {
            it->second.parked = parked;
            if (!parked) it->second.due = SteadyClock::now() + std::chrono::milliseconds(it->second.period);
            wake_.notify_all();
        }
        return true;
    }

    bool IsParked(UINT id) {
        std::unique_lock lock(mutex_);
        auto it = events_.find(id);
        return it != events_.end() && it->second.parked;
    }

private:
    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            auto next = events_.end();
            for (auto it = events_.begin(); it != events_.end(); ++it) {
                if (it->second.parked) continue;
                if (next == events_.end() || it->second.due < next->second.due) next = it;
            }
            if (next == events_.end()) {
                // Nothing armed: sleep until an event is added or unparked.
                wake_.wait(lock);
                continue;
            }
            const auto now = SteadyClock::now();
            if (next->second.due > now) {
                // A copy: the event may be killed (and its entry freed) while we wait.
                const SteadyClock::time_point due = next->second.due;
                wake_.wait_until(lock, due);
                continue;
            }
            const UINT id = next->first;
            Event e = next->second;
            if (e.periodic) {
                next->second.due += std::chrono::milliseconds(e.period);
                // After a long stall do not fire a burst of late ticks.
                if (next->second.due < now) next->second.due = now + std::chrono::milliseconds(e.period);
            } else {
                events_.erase(next);
            }
            running_ = id;
            lock.unlock();
            e.callback(id, 0, e.user, 0, 0);
            lock.lock();
            running_ = 0;
            done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::map<UINT, Event> events_;
    std::thread thread_;
    UINT lastId_ = 0;
    UINT running_ = 0;
};

const SteadyClock::time_point g_start = SteadyClock::now();

}  // namespace

MMRESULT timeGetDevCaps(TIMECAPS* caps, UINT) {
    if (!caps) return TIMERR_NOCANDO;
    caps->wPeriodMin = 1;
    caps->wPeriodMax = 1000000;
    return TIMERR_NOERROR;
}

// The steady clock already has sub-millisecond resolution; nothing to request.
MMRESULT timeBeginPeriod(UINT period) { return period == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }
MMRESULT timeEndPeriod(UINT period) { return period == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }

UINT timeSetEvent(UINT delayMs, UINT, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
    if (!callback) return 0;
    return TimerThread::Instance().Add(delayMs, callback, user, (flags & TIME_PERIODIC) != 0);
}

MMRESULT timeKillEvent(UINT id) {
    return TimerThread::Instance().Kill(id) ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT timeParkEvent(UINT id, bool parked) {
    return TimerThread::Instance().Park(id, parked) ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

bool timeIsEventParked(UINT id) { return TimerThread::Instance().IsParked(id); }

DWORD timeGetTime() {
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - g_start).count());
}

}  // namespace platform
