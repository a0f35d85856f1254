// The music visualizer's sound analysis: captures what the default output plays,
// and every 15 ms turns the last 256 samples into one number, the music level,
// that the worker's effect frames read.
//
// One instance lives as long as the controller. Initialize and StartThread run
// once (device task 1); StartCapture runs on the UI thread and on the endpoints'
// notification thread (default output changed); Analyse runs on the analysis
// thread only (tests call it directly without starting the thread). The gain,
// the device index, the flags and the level are single atomic values that any
// thread may read and write. The capture stream is guarded by one lock, held by
// StartCapture and by the drain of Analyse.
//
// Failures are silent: without an output device nothing is captured, the bands
// decay and the level falls towards 0.
#pragma once

#include "platform/audio/LoopbackAudio.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace keyloft {

class Visualizer {
public:
    static constexpr int kRingSize = 512;   // 256 samples, each stored twice
    static constexpr int kBands = 256;      // 64 bands, each repeated 4 times
    static constexpr int kInitialGain = 270;

    // `endpoints` may be null: then there is never a device to capture.
    explicit Visualizer(std::unique_ptr<platform::AudioEndpoints> endpoints);
    ~Visualizer();  // stops the analysis thread (the program only ends it at exit)
    Visualizer(const Visualizer&) = delete;
    Visualizer& operator=(const Visualizer&) = delete;

    // Finds the default output ("Default Loopback Device"), resets gain, level,
    // window, weights and bands, registers for default-device changes and starts
    // the capture.
    void Initialize();
    // Starts the analysis thread (once; later calls do nothing).
    void StartThread();
    // Replaces the running capture with a new one of the selected device.
    void StartCapture();
    // One analysis step.
    void Analyse();
    // The default output changed: the list gets the new default, capture restarts.
    void OnDefaultDeviceChanged();

    int Gain() const { return gain_.load(std::memory_order_relaxed); }
    void SetGain(int gain) { gain_.store(gain, std::memory_order_relaxed); }
    bool Active() const { return active_.load(std::memory_order_relaxed); }
    void SetActive(bool active) { active_.store(active, std::memory_order_relaxed); }
    void SetDeviceIndex(int index) { deviceIndex_.store(index, std::memory_order_relaxed); }
    float Level() const { return level_.load(std::memory_order_relaxed); }

    // The device list (at most the one default entry) and whether a capture runs.
    std::vector<std::wstring> DeviceNames() const;
    bool Capturing() const;
    // Copies of the analysis state (analysis thread or tests with no thread).
    std::array<float, kRingSize> Ring() const;
    std::array<float, kBands> Bands() const { return band_; }

private:
    struct Device {
        std::wstring name;
        std::string endpoint;
        bool captureDevice = false;  // false: open as loopback of an output
    };

    void RunThread();
    void Drain(float gain);
    void Append(float sample);

    std::unique_ptr<platform::AudioEndpoints> endpoints_;
    mutable std::mutex captureMutex_;  // the device list and the stream
    std::vector<Device> devices_;
    std::unique_ptr<platform::AudioCaptureStream> stream_;

    std::atomic<int> gain_{0};
    std::atomic<int> deviceIndex_{0};
    std::atomic<bool> running_{false};
    std::atomic<bool> active_{false};
    std::atomic<float> level_{0.0f};

    // The ring is kept circular (head = oldest sample); Ring() and the analysis
    // unroll it oldest first.
    std::array<float, kRingSize / 2> samples_{};
    int head_ = 0;
    std::array<float, kBands> band_{};
    std::array<float, kBands> spectrum_{};
    std::array<float, kBands> window_{};
    std::array<float, kBands> weight_{};

    std::thread thread_;
    std::mutex wakeMutex_;
    std::condition_variable wake_;
};

}  // namespace keyloft
