// The screen colour sync's sampler: keeps a small colour grid of the screen up
// to date on a thread of its own, for the worker's screen frames.
//
// One instance lives as long as the controller. Start (UI thread) copies the key
// matrix size and starts the thread once; the capture flag (UI thread) says
// whether the thread captures; the worker reads grid cells. The grid, the counts
// and the flags are atomic values without a common lock, so a frame may mix
// cells of two captures. Each capture takes the screen at 480 x 270 (a plain
// sampling copy), averages that down to 18 x 6 and copies it into the grid.
// Captures start at most every 15 ms, so a running sync never keeps a processor
// core busy; the worker's 16 ms pass still finds a fresh grid every time.
//
// Failure: a capture that cannot be made leaves the grid as it was; without a
// display the thread tries again once a second. Nothing is reported.
#pragma once

#include "platform/screen/ScreenCapture.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace keyloft {

class ScreenLight {
public:
    static constexpr int kGridColumns = 32;
    static constexpr int kGridRows = 8;
    static constexpr int kCaptureWidth = 480;
    static constexpr int kCaptureHeight = 270;
    static constexpr int kSmallWidth = 18;
    static constexpr int kSmallHeight = 6;
    static constexpr int kMinCaptureIntervalMs = 15;
    static constexpr int kIdlePauseMs = 1000;

    using CaptureFactory = std::function<std::unique_ptr<platform::ScreenCapture>()>;

    // `factory` opens the screen capture on the screen thread (default: the X11
    // display named by $DISPLAY).
    explicit ScreenLight(CaptureFactory factory = nullptr);
    ~ScreenLight();  // stops the thread (the program only ends it at exit)
    ScreenLight(const ScreenLight&) = delete;
    ScreenLight& operator=(const ScreenLight&) = delete;

    // Takes the layout's column and row counts (at most 32 x 8). Starts the
    // thread the first time the counts are both above 0; later calls only update
    // the counts. Counts of 0 or less change nothing.
    void Start(int columnCount, int rowCount);
    void SetCapture(bool on);
    bool CaptureFlag() const { return capture_.load(std::memory_order_relaxed); }
    bool Running() const { return running_.load(std::memory_order_relaxed); }
    int Columns() const { return columns_.load(std::memory_order_relaxed); }
    int Rows() const { return rows_.load(std::memory_order_relaxed); }

    // One capture into the grid (screen thread; tests call it without a thread).
    // False when the screen could not be captured.
    bool Capture();
    // COLORREF 0x00BBGGRR of grid cell (column, row); 0 outside the grid.
    std::uint32_t Cell(int column, int row) const;
    // Number of captures made so far.
    std::uint64_t CaptureCount() const { return captures_.load(std::memory_order_relaxed); }

private:
    void RunThread();

    CaptureFactory factory_;
    std::unique_ptr<platform::ScreenCapture> screen_;  // screen thread only

    std::atomic<bool> running_{false};
    std::atomic<bool> capture_{false};
    std::atomic<int> columns_{0};
    std::atomic<int> rows_{0};
    std::atomic<std::uint64_t> captures_{0};
    // Column by column: cell (c, r) at c * kGridRows + r.
    std::array<std::atomic<std::uint32_t>, kGridColumns * kGridRows> grid_{};

    std::array<std::uint32_t, kCaptureWidth * kCaptureHeight> picture_{};
    std::array<std::uint32_t, kSmallWidth * kSmallHeight> small_{};

    std::mutex startMutex_;
    std::thread thread_;
    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
};

}  // namespace keyloft
