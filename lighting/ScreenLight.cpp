#include "lighting/ScreenLight.h"

#include "lighting/GridScaler.h"

#include <algorithm>
#include <chrono>

namespace keyloft {

ScreenLight::ScreenLight(CaptureFactory factory) : factory_(std::move(factory)) {
    if (!factory_) factory_ = [] { return platform::OpenX11ScreenCapture(); };
    for (auto& cell : grid_) cell.store(0, std::memory_order_relaxed);
}

ScreenLight::~ScreenLight() {
    {
        std::lock_guard<std::mutex> lock(wakeMutex_);
        stopping_ = true;
        running_ = false;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void ScreenLight::Start(int columnCount, int rowCount) {
    if (columnCount <= 0 || rowCount <= 0) return;
    columns_ = std::min(columnCount, kGridColumns);
    rows_ = std::min(rowCount, kGridRows);
    std::lock_guard<std::mutex> lock(startMutex_);
    if (thread_.joinable()) return;
    running_ = true;
    thread_ = std::thread([this] { RunThread(); });
}

void ScreenLight::SetCapture(bool on) {
    {
        std::lock_guard<std::mutex> lock(wakeMutex_);
        capture_ = on;
    }
    // A screen mode shown while the thread idles gets its first capture at once.
    if (on) wake_.notify_all();
}

std::uint32_t ScreenLight::Cell(int column, int row) const {
    if (column < 0 || column >= kGridColumns || row < 0 || row >= kGridRows) return 0;
    return grid_[column * kGridRows + row].load(std::memory_order_relaxed);
}

bool ScreenLight::Capture() {
    if (!screen_) screen_ = factory_();
    if (!screen_) return false;
    if (!screen_->Capture(kCaptureWidth, kCaptureHeight, picture_.data())) return false;
    AverageScale(picture_.data(), kCaptureWidth, kCaptureHeight, small_.data(), kSmallWidth, kSmallHeight);

    // Cells beyond the 18 x 6 picture take the last colour read in this
    // capture, in column order: the pixel above them or the last one of the
    // previous column.
    const int columns = Columns();
    const int rows = Rows();
    std::uint32_t last = 0;
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            if (c < kSmallWidth && r < kSmallHeight) {
                const std::uint32_t argb = small_[r * kSmallWidth + c];
                last = (argb >> 16 & 0xFF) | (argb & 0xFF00) | (argb & 0xFF) << 16;
            }
            grid_[c * kGridRows + r].store(last, std::memory_order_relaxed);
        }
    }
    captures_.fetch_add(1, std::memory_order_relaxed);
    return true;
}

void ScreenLight::RunThread() {
    using Clock = std::chrono::steady_clock;
    std::unique_lock<std::mutex> lock(wakeMutex_);
    while (!stopping_) {
        if (!capture_) {
            wake_.wait_for(lock, std::chrono::milliseconds(kIdlePauseMs), [this] { return stopping_ || capture_; });
            continue;
        }
        lock.unlock();
        const auto started = Clock::now();
        const bool captured = Capture();
        lock.lock();
        // Without a screen, look again a second later rather than every 15 ms.
        const auto next = started + std::chrono::milliseconds(captured ? kMinCaptureIntervalMs : kIdlePauseMs);
        wake_.wait_until(lock, next, [this] { return stopping_; });
    }
}

}  // namespace keyloft
