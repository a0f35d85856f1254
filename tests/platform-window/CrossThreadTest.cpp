// Calls into windows from other threads: sent messages run on the owner thread
// and answer the sender, posted messages keep their order, state calls are safe,
// and the multimedia timer thread stops cleanly.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "TestWindow.h"
#include "platform/window/MmTimer.h"

using namespace platform;
using wintest::MakeWindow;
using wintest::PumpUntil;
using wintest::Recorder;

TEST(WindowCrossThread, SendRunsOnTheOwnerAndPostKeepsOrder) {
    Recorder rec;
    rec.answer = 100;
    HWND hwnd = MakeWindow(&rec);
    std::atomic<LRESULT> sent{0};
    std::atomic<bool> done{false};
    std::thread other([&] {
        for (int i = 0; i < 50; ++i) PostMessageW(hwnd, WM_USER + 1, static_cast<WPARAM>(i), 0);
        sent = SendMessageW(hwnd, WM_USER + 2, 7, 0);
        InvalidateRect(hwnd, nullptr, FALSE);
        EnableWindow(hwnd, FALSE);
        done = true;
    });
    // Sent messages are served ahead of posted ones, so wait for both.
    ASSERT_TRUE(PumpUntil([&] { return done.load() && rec.Messages(WM_USER + 1).size() == 50; }));
    other.join();
    EXPECT_EQ(sent.load(), 107);
    const auto posted = rec.Messages(WM_USER + 1);
    ASSERT_EQ(posted.size(), 50u);
    for (size_t i = 0; i < posted.size(); ++i) {
        EXPECT_EQ(posted[i].w, i);
        EXPECT_EQ(posted[i].thread, std::this_thread::get_id());
    }
    EXPECT_EQ(rec.Messages(WM_USER + 2).at(0).thread, std::this_thread::get_id());
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    // The owner hears about the change from the other thread as a message.
    ASSERT_TRUE(PumpUntil([&] { return !rec.Messages(WM_ENABLE).empty(); }));
    EXPECT_EQ(rec.Messages(WM_ENABLE).back().w, 0u);
    DestroyWindow(hwnd);
}

TEST(WindowCrossThread, SendToAWindowThatGoesAnswersZero) {
    Recorder rec;
    HWND hwnd = MakeWindow(&rec);
    std::atomic<bool> started{false};
    std::atomic<LRESULT> result{-1};
    std::thread other([&] {
        started = true;
        result = SendMessageW(hwnd, WM_USER + 5, 1, 0);
    });
    while (!started) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    DestroyWindow(hwnd);  // the send is still queued: it must not hang
    other.join();
    EXPECT_EQ(result.load(), 0);
}

TEST(WindowCrossThread, DestroyFromAnotherThreadHappensOnTheOwner) {
    Recorder rec;
    HWND hwnd = MakeWindow(&rec);
    std::thread other([&] { EXPECT_TRUE(DestroyWindow(hwnd)); });
    other.join();
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
    EXPECT_EQ(rec.Messages(WM_NCDESTROY).at(0).thread, std::this_thread::get_id());
}

namespace {

struct TickCounter {
    std::atomic<int> ticks{0};
    std::atomic<bool> inside{false};
    std::atomic<bool> overlapped{false};
    int sleepMs = 0;
};

void CountTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* c = reinterpret_cast<TickCounter*>(user);
    if (c->inside.exchange(true)) c->overlapped = true;
    if (c->sleepMs) std::this_thread::sleep_for(std::chrono::milliseconds(c->sleepMs));
    c->ticks++;
    c->inside = false;
}

}  // namespace

TEST(MultimediaTimer, PeriodicTicksStopAtKillAndKillWaitsForTheCallback) {
    auto counter = std::make_unique<TickCounter>();
    counter->sleepMs = 15;
    const UINT id = timeSetEvent(2, 1, &CountTick, reinterpret_cast<DWORD_PTR>(counter.get()), TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    while (counter->ticks < 3) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    while (!counter->inside) std::this_thread::yield();  // kill while a tick runs
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    EXPECT_FALSE(counter->inside.load());
    const int after = counter->ticks;
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_EQ(counter->ticks.load(), after);
    EXPECT_FALSE(counter->overlapped.load());
    counter.reset();  // freed right after the kill: no callback may touch it
    EXPECT_NE(timeKillEvent(id), TIMERR_NOERROR);
    EXPECT_EQ(timeSetEvent(5, 1, nullptr, 0, TIME_PERIODIC), 0u);
}

TEST(MultimediaTimer, ParkedEventKeepsItsIdButDoesNotTickUntilUnparked) {
    auto counter = std::make_unique<TickCounter>();
    const UINT id = timeSetEvent(2, 1, &CountTick, reinterpret_cast<DWORD_PTR>(counter.get()), TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    while (counter->ticks < 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(timeParkEvent(id, true), TIMERR_NOERROR);
    EXPECT_TRUE(timeIsEventParked(id));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));  // a tick begun before parking finishes
    const int parkedAt = counter->ticks;
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_EQ(counter->ticks.load(), parkedAt);

    ASSERT_EQ(timeParkEvent(id, false), TIMERR_NOERROR);
    EXPECT_FALSE(timeIsEventParked(id));
    while (counter->ticks < parkedAt + 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));

    // A parked event is still killed normally; a dead id cannot be parked.
    ASSERT_EQ(timeParkEvent(id, true), TIMERR_NOERROR);
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    EXPECT_EQ(timeParkEvent(id, false), TIMERR_NOCANDO);
    EXPECT_FALSE(timeIsEventParked(id));
}
