#include "lighting/Visualizer.h"

#include "lighting/RealFft.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace keyloft {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr float kDecay = 80.0f / 100.0f;
constexpr int kSmoothing = 8;  // half-width of the spatial smoothing
constexpr float kTemporal = 1.0f;
constexpr int kAnalysisPauseMs = 15;
constexpr int kIdlePauseMs = 500;
const wchar_t kDefaultDeviceName[] = L"Default Loopback Device";
}  // namespace

Visualizer::Visualizer(std::unique_ptr<platform::AudioEndpoints> endpoints)
    : endpoints_(std::move(endpoints)) {
    gain_ = kInitialGain;
    for (int j = 0; j < kBands; ++j) {
        window_[j] = static_cast<float>(0.5 * (1.0 - std::cos(2.0 * kPi * j / kBands)));
        weight_[j] = static_cast<float>(0.04 + 0.5 * j / kBands);
    }
}

Visualizer::~Visualizer() {
    if (endpoints_) endpoints_->SetDefaultChangedHandler(nullptr);
    {
        std::lock_guard<std::mutex> lock(wakeMutex_);
        running_ = false;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void Visualizer::Initialize() {
    // Registered outside the capture lock: the handler takes that lock while the
    // endpoints hold their own one around it.
    if (endpoints_) endpoints_->SetDefaultChangedHandler([this] { OnDefaultDeviceChanged(); });
    {
        std::lock_guard<std::mutex> lock(captureMutex_);
        devices_.clear();
        if (endpoints_) {
            std::string output = endpoints_->DefaultOutput();
            if (!output.empty()) devices_.push_back({kDefaultDeviceName, output, false});
        }
    }
    gain_ = kInitialGain;
    deviceIndex_ = 0;
    level_ = 0.0f;
    band_.fill(0.0f);
    StartCapture();
}

void Visualizer::StartThread() {
    if (thread_.joinable()) return;
    running_ = true;
    thread_ = std::thread([this] { RunThread(); });
}

void Visualizer::RunThread() {
    // The pauses wait on a condition so that the destructor ends the thread at
    // once; they are timing of the analysis, not protocol pauses.
    std::unique_lock<std::mutex> lock(wakeMutex_);
    while (running_) {
        int pause = kIdlePauseMs;
        if (active_) {
            lock.unlock();
            Analyse();
            lock.lock();
            pause = kAnalysisPauseMs;
        }
        wake_.wait_for(lock, std::chrono::milliseconds(pause), [this] { return !running_; });
    }
}

void Visualizer::StartCapture() {
    std::lock_guard<std::mutex> lock(captureMutex_);
    stream_.reset();
    if (deviceIndex_ < 0 || deviceIndex_ >= static_cast<int>(devices_.size())) deviceIndex_ = 0;
    if (devices_.empty() || !endpoints_) return;
    // There is no capture-device variant on this platform: every entry is the
    // monitor of an output.
    stream_ = endpoints_->OpenLoopback(devices_[deviceIndex_].endpoint);
}

void Visualizer::OnDefaultDeviceChanged() {
    {
        std::lock_guard<std::mutex> lock(captureMutex_);
        devices_.clear();
        std::string output = endpoints_ ? endpoints_->DefaultOutput() : std::string();
        if (output.empty()) return;
        devices_.push_back({kDefaultDeviceName, output, false});
    }
    StartCapture();
}

std::vector<std::wstring> Visualizer::DeviceNames() const {
    std::lock_guard<std::mutex> lock(captureMutex_);
    std::vector<std::wstring> names;
    for (const Device& d : devices_) names.push_back(d.name);
    return names;
}

bool Visualizer::Capturing() const {
    std::lock_guard<std::mutex> lock(captureMutex_);
    return stream_ != nullptr;
}

std::array<float, Visualizer::kRingSize> Visualizer::Ring() const {
    std::array<float, kRingSize> ring;
    for (int k = 0; k < kRingSize / 2; ++k) {
        const float s = samples_[(head_ + k) % (kRingSize / 2)];
        ring[2 * k] = s;
        ring[2 * k + 1] = s;
    }
    return ring;
}

void Visualizer::Append(float sample) {
    samples_[head_] = sample;
    head_ = (head_ + 1) % (kRingSize / 2);
}

void Visualizer::Drain(float gain) {
    std::lock_guard<std::mutex> lock(captureMutex_);
    while (stream_) {
        platform::AudioPacket packet;
        if (!stream_->GetBuffer(packet)) break;
        if (packet.frames == 0) break;
        if (packet.data == nullptr) {
            // A packet that claims frames but carries no data: the capture is
            // broken; it stays closed until the next StartCapture.
            stream_.reset();
            break;
        }
        const std::uint64_t total = std::uint64_t{packet.frames} * packet.channels;
        const std::uint32_t groups = (packet.frames + 3) / 4;
        for (std::uint32_t g = 0; g < groups; ++g) {
            float sum = 0.0f;
            for (std::uint64_t i = 4ull * g; i < 4ull * g + 4 && i < total; ++i) {
                // A value that is not a number would poison the ring and every
                // band for seconds; it counts as silence.
                const float v = packet.data[i];
                if (std::isfinite(v)) sum += v;
            }
            Append(sum * 0.25f * 2.0f * gain);
        }
        stream_->ReleaseBuffer();
    }
}

void Visualizer::Analyse() {
    const float gain = static_cast<float>(gain_.load(std::memory_order_relaxed));

    for (float& b : band_) b *= kDecay;

    Drain(gain);

    alignas(32) float x[kRingSize];
    for (int k = 0; k < kRingSize / 2; ++k) {
        const float s = samples_[(head_ + k) % (kRingSize / 2)];
        x[2 * k] = s;
        x[2 * k + 1] = s;
    }
    for (int j = 0; j < kBands; ++j) x[j] *= window_[j];

    RealFft512(x);
    x[0] = x[2];

    for (int j = 0; j < kBands; ++j) x[j] *= weight_[j];

    for (int k = 0; k < kBands / 4; ++k) {
        const float a = std::sqrt(x[2 * k] * x[2 * k] + x[2 * k + 1] * x[2 * k + 1]);
        float& b = band_[4 * k];
        // v grows with a; below 0.25 it is negative and cannot raise a band
        // (bands are never below 0), from 1.2 on it is 1. The logarithm is only
        // needed in between.
        if (a >= 1.2f) {
            b = std::max(b, 1.0f);
        } else if (a >= 0.25f) {
            const float v = std::min(1.0f, 0.5f * std::log10(1.1f * a) + 0.9f * a);
            if (v > b) b = v;
        }
        if (b < 0.0f) b = 0.0f;
        band_[4 * k + 1] = band_[4 * k + 2] = band_[4 * k + 3] = b;
    }

    // Spatial smoothing in place: each mean sees the values already smoothed
    // to its left. The ends use shorter windows.
    for (int i = 0; i < kSmoothing; ++i) {
        float sum = 0.0f;
        for (int j = 0; j <= i + kSmoothing; ++j) sum += band_[j];
        band_[i] = sum / (i + kSmoothing + 1);
        sum = 0.0f;
        for (int j = kBands - 1 - kSmoothing - i; j < kBands; ++j) sum += band_[j];
        band_[kBands - 1 - i] = sum / (i + kSmoothing + 1);
    }
    // The middle keeps a running sum of the 17 entries around i: moving on
    // drops the leftmost, takes in the next one on the right and swaps the
    // entry just smoothed for its new value.
    constexpr int kWidth = 2 * kSmoothing + 1;
    float window = 0.0f;
    for (int j = 0; j < kWidth; ++j) window += band_[j];
    for (int i = kSmoothing; i < kBands - kSmoothing; ++i) {
        const float smoothed = window / kWidth;
        const float old = band_[i];
        band_[i] = smoothed;
        if (i + kSmoothing + 1 < kBands) window += band_[i + kSmoothing + 1] - band_[i - kSmoothing] + smoothed - old;
    }

    float squares = 0.0f;
    for (int i = 0; i < kBands; ++i) {
        spectrum_[i] += (band_[i] - spectrum_[i]) * kTemporal;
        squares += spectrum_[i] * spectrum_[i];
    }
    level_.store(std::sqrt(squares / kBands) * gain, std::memory_order_relaxed);
}

}  // namespace keyloft
