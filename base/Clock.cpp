#include "base/Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace keyloft {

namespace {
SystemClock g_system_clock;
std::atomic<Clock*> g_clock{nullptr};
}  // namespace

Clock& GetClock() {
    Clock* clock = g_clock.load(std::memory_order_acquire);
    return clock ? *clock : g_system_clock;
}

Clock* SetClock(Clock* clock) {
    Clock* previous = g_clock.exchange(clock, std::memory_order_acq_rel);
    return previous == &g_system_clock ? nullptr : previous;
}

std::int64_t SystemClock::NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::SleepMs(std::int64_t ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::int64_t VirtualClock::NowMs() {
    std::lock_guard<std::mutex> lock(mutex_);
    return now_;
}

void VirtualClock::SleepMs(std::int64_t ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ms < 0) ms = 0;
    pauses_.push_back({now_, ms});
    now_ += ms;
}

void VirtualClock::Advance(std::int64_t ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ms > 0) now_ += ms;
}

std::vector<VirtualClock::Pause> VirtualClock::Pauses() {
    std::lock_guard<std::mutex> lock(mutex_);
    return pauses_;
}

std::vector<std::int64_t> VirtualClock::PauseLengths() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::int64_t> lengths;
    lengths.reserve(pauses_.size());
    for (const Pause& p : pauses_) lengths.push_back(p.ms);
    return lengths;
}

std::int64_t VirtualClock::TotalPausedMs() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::int64_t total = 0;
    for (const Pause& p : pauses_) total += p.ms;
    return total;
}

void VirtualClock::ClearPauses() {
    std::lock_guard<std::mutex> lock(mutex_);
    pauses_.clear();
}

}  // namespace keyloft
