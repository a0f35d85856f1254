// The one clock that every protocol pause and time-out goes through.
//
// Real runs use the steady system clock and really sleep. Tests install a
// VirtualClock: sleeping advances virtual time at once and is recorded, so a
// test can check the exact pause schedule of an upload and still finish in
// milliseconds. Any thread may call the clock; the installed clock must outlive
// every caller (tests install it before starting threads and restore it after).
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

namespace keyloft {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary fixed start; never goes backwards.
    virtual std::int64_t NowMs() = 0;
    // Blocks the caller for `ms` milliseconds (0 or less returns at once).
    virtual void SleepMs(std::int64_t ms) = 0;
};

// The process-wide clock: the system clock unless a test installed another.
Clock& GetClock();
// Installs `clock` (nullptr restores the system clock). Returns the previous one.
Clock* SetClock(Clock* clock);

inline void SleepMs(std::int64_t ms) { GetClock().SleepMs(ms); }
inline std::int64_t NowMs() { return GetClock().NowMs(); }

class SystemClock final : public Clock {
public:
    std::int64_t NowMs() override;
    void SleepMs(std::int64_t ms) override;
};

// Virtual time for tests: SleepMs advances the time and records the pause.
class VirtualClock final : public Clock {
public:
    struct Pause {
        std::int64_t at;  // virtual time when the pause began
        std::int64_t ms;  // its length
    };

    std::int64_t NowMs() override;
    void SleepMs(std::int64_t ms) override;
    // Moves time forward without recording a pause (a time-out that ran out, say).
    void Advance(std::int64_t ms);

    std::vector<Pause> Pauses();
    // Only the lengths, in order: what most schedule checks compare.
    std::vector<std::int64_t> PauseLengths();
    std::int64_t TotalPausedMs();
    void ClearPauses();

private:
    std::mutex mutex_;
    std::int64_t now_ = 0;
    std::vector<Pause> pauses_;
};

// Installs a clock for the life of a scope (tests).
class ScopedClock {
public:
    explicit ScopedClock(Clock& clock) : previous_(SetClock(&clock)) {}
    ~ScopedClock() { SetClock(previous_); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    Clock* previous_;
};

}  // namespace keyloft
