// A scripted stand-in for the loopback capture: tests queue packets, say which
// output is the default and fire default-device changes.
#pragma once

#include "platform/audio/LoopbackAudio.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace keyloft::testing {

struct FakeAudioState {
    std::mutex mutex;
    std::string defaultOutput = "speakers";
    std::vector<std::string> opened;  // every OpenLoopback, in order
    struct Packet {
        std::vector<float> data;  // exactly frames * channels floats (ASan sees over-reads)
        std::uint32_t frames;
        std::uint32_t channels;
        bool noData = false;
    };
    std::deque<Packet> packets;
    bool failGetBuffer = false;
    std::function<void()> handler;

    void Queue(std::vector<float> data, std::uint32_t channels) {
        std::lock_guard<std::mutex> lock(mutex);
        const auto frames = static_cast<std::uint32_t>(data.size() / channels);
        packets.push_back({std::move(data), frames, channels});
    }
    // One mono packet whose every group of four frames is `value`, so each
    // analysis sample is 2 * value * gain.
    void QueueSteps(const std::vector<float>& samples) {
        std::vector<float> data;
        for (float s : samples) data.insert(data.end(), 4, s);
        Queue(std::move(data), 1);
    }
};

class FakeStream final : public platform::AudioCaptureStream {
public:
    explicit FakeStream(std::shared_ptr<FakeAudioState> state) : state_(std::move(state)) {}
    bool GetBuffer(platform::AudioPacket& p) override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        p = {};
        if (state_->failGetBuffer) return false;
        if (state_->packets.empty()) return true;
        current_ = std::move(state_->packets.front());
        state_->packets.pop_front();
        p.data = current_.noData ? nullptr : current_.data.data();
        p.frames = current_.frames;
        p.channels = current_.channels;
        return true;
    }
    void ReleaseBuffer() override { current_.data.clear(); }

private:
    std::shared_ptr<FakeAudioState> state_;
    FakeAudioState::Packet current_;
};

class FakeEndpoints final : public platform::AudioEndpoints {
public:
    explicit FakeEndpoints(std::shared_ptr<FakeAudioState> state) : state_(std::move(state)) {}
    std::string DefaultOutput() override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        return state_->defaultOutput;
    }
    std::unique_ptr<platform::AudioCaptureStream> OpenLoopback(const std::string& output) override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->opened.push_back(output);
        return std::make_unique<FakeStream>(state_);
    }
    void SetDefaultChangedHandler(std::function<void()> handler) override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->handler = std::move(handler);
    }

private:
    std::shared_ptr<FakeAudioState> state_;
};

}  // namespace keyloft::testing
