// PulseAudio backend of the loopback capture. One threaded main loop per
// AudioEndpoints; the context reconnects on its own when the server goes away or
// was not there at start. What the default sink plays is recorded from its monitor
// source as 32-bit float frames in the sink's own rate and channel count.
#include "platform/audio/LoopbackAudio.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace keyloft::platform {

namespace {

constexpr int kReconnectMs = 3000;
constexpr std::size_t kMaxQueuedMs = 1000;  // older sound is dropped while nobody drains

// Runs one PulseAudio operation to its end; the caller holds the loop lock.
void Await(pa_threaded_mainloop* loop, pa_operation* op) {
    if (!op) return;
    while (pa_operation_get_state(op) == PA_OPERATION_RUNNING) pa_threaded_mainloop_wait(loop);
    pa_operation_unref(op);
}

class PulseStream;

class PulseEndpoints final : public AudioEndpoints {
public:
    PulseEndpoints();
    ~PulseEndpoints() override;

    std::string DefaultOutput() override;
    std::unique_ptr<AudioCaptureStream> OpenLoopback(const std::string& output) override;
    void SetDefaultChangedHandler(std::function<void()> handler) override;

    pa_threaded_mainloop* Loop() { return loop_; }

private:
    void Connect();                  // loop lock held
    void ScheduleReconnect();        // loop lock held
    void QueryDefault();             // loop lock held; asynchronous
    void NotifyChanged();            // any thread
    void RunNotifier();

    static void OnContextState(pa_context* c, void* self);
    static void OnSubscribe(pa_context* c, pa_subscription_event_type_t t, uint32_t idx, void* self);
    static void OnServerInfo(pa_context* c, const pa_server_info* info, void* self);
    static void OnReconnect(pa_mainloop_api* api, pa_time_event* e, const struct timeval* tv, void* self);

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_time_event* reconnect_ = nullptr;
    bool ready_ = false;          // loop lock
    bool connectDone_ = false;    // loop lock: the first attempt has ended
    std::string defaultSink_;     // loop lock

    std::mutex notifyMutex_;
    std::condition_variable notifyWake_;
    bool notifyPending_ = false;
    bool stopping_ = false;
    std::function<void()> handler_;
    std::mutex handlerMutex_;  // held while the handler runs, so clearing it waits
    std::thread notifier_;
};

class PulseStream final : public AudioCaptureStream {
public:
    PulseStream(pa_threaded_mainloop* loop, pa_stream* stream, std::uint32_t channels, std::uint32_t rate)
        : loop_(loop), stream_(stream), channels_(channels), rate_(rate) {}

    ~PulseStream() override {
        pa_threaded_mainloop_lock(loop_);
        pa_stream_set_read_callback(stream_, nullptr, nullptr);
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        pa_threaded_mainloop_unlock(loop_);
    }

    bool GetBuffer(AudioPacket& packet) override {
        std::lock_guard<std::mutex> lock(mutex_);
        packet = AudioPacket{};
        if (failed_) return false;
        if (queue_.empty()) return true;
        current_ = std::move(queue_.front());
        queue_.pop_front();
        queuedFrames_ -= current_.size() / channels_;
        packet.data = current_.data();
        packet.frames = static_cast<std::uint32_t>(current_.size() / channels_);
        packet.channels = channels_;
        return true;
    }

    void ReleaseBuffer() override {
        std::lock_guard<std::mutex> lock(mutex_);
        current_.clear();
    }

    static void OnRead(pa_stream* s, size_t, void* userdata) {
        auto* self = static_cast<PulseStream*>(userdata);
        const void* data = nullptr;
        size_t bytes = 0;
        while (pa_stream_readable_size(s) > 0) {
            if (pa_stream_peek(s, &data, &bytes) < 0 || bytes == 0) break;
            // A hole (no data, only a length) is a gap in the recording; it is
            // dropped rather than handed on, so the analysis keeps running.
            if (data) self->Push(static_cast<const float*>(data), bytes / sizeof(float));
            pa_stream_drop(s);
        }
    }

    static void OnState(pa_stream* s, void* userdata) {
        auto* self = static_cast<PulseStream*>(userdata);
        const pa_stream_state_t state = pa_stream_get_state(s);
        if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) {
            std::lock_guard<std::mutex> lock(self->mutex_);
            self->failed_ = true;
        }
        pa_threaded_mainloop_signal(self->loop_, 0);
    }

private:
    void Push(const float* samples, std::size_t count) {
        count -= count % channels_;
        if (count == 0) return;
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.emplace_back(samples, samples + count);
        queuedFrames_ += count / channels_;
        const std::size_t limit = rate_ * kMaxQueuedMs / 1000;
        while (queuedFrames_ > limit && queue_.size() > 1) {
            queuedFrames_ -= queue_.front().size() / channels_;
            queue_.pop_front();
        }
    }

    pa_threaded_mainloop* loop_;
    pa_stream* stream_;
    std::uint32_t channels_;
    std::uint32_t rate_;
    std::mutex mutex_;
    std::deque<std::vector<float>> queue_;
    std::vector<float> current_;
    std::size_t queuedFrames_ = 0;
    bool failed_ = false;
};

PulseEndpoints::PulseEndpoints() {
    notifier_ = std::thread([this] { RunNotifier(); });
    loop_ = pa_threaded_mainloop_new();
    if (!loop_) return;
    pa_threaded_mainloop_lock(loop_);
    if (pa_threaded_mainloop_start(loop_) < 0) {
        pa_threaded_mainloop_unlock(loop_);
        pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
        return;
    }
    Connect();
    // Wait for the first attempt, so that a server that is there is seen by
    // the first DefaultOutput (a missing one fails at once).
    while (!connectDone_) pa_threaded_mainloop_wait(loop_);
    pa_threaded_mainloop_unlock(loop_);
}

PulseEndpoints::~PulseEndpoints() {
    {
        std::lock_guard<std::mutex> lock(notifyMutex_);
        stopping_ = true;
    }
    notifyWake_.notify_all();
    if (notifier_.joinable()) notifier_.join();
    if (!loop_) return;
    pa_threaded_mainloop_lock(loop_);
    if (reconnect_) pa_threaded_mainloop_get_api(loop_)->time_free(reconnect_);
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_set_subscribe_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    pa_threaded_mainloop_unlock(loop_);
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

void PulseEndpoints::Connect() {
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_set_subscribe_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    ready_ = false;
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Keyloft music visualizer");
    if (!context_) {
        connectDone_ = true;
        ScheduleReconnect();
        return;
    }
    pa_context_set_state_callback(context_, &PulseEndpoints::OnContextState, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        connectDone_ = true;
        ScheduleReconnect();
    }
}

void PulseEndpoints::ScheduleReconnect() {
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
    struct timeval tv;
    pa_timeval_add(pa_gettimeofday(&tv), static_cast<pa_usec_t>(kReconnectMs) * 1000);
    if (reconnect_) api->time_restart(reconnect_, &tv);
    else reconnect_ = api->time_new(api, &tv, &PulseEndpoints::OnReconnect, this);
}

void PulseEndpoints::OnReconnect(pa_mainloop_api* api, pa_time_event* e, const struct timeval*, void* self) {
    auto* me = static_cast<PulseEndpoints*>(self);
    api->time_free(e);
    me->reconnect_ = nullptr;
    me->Connect();
}

void PulseEndpoints::OnContextState(pa_context* c, void* self) {
    auto* me = static_cast<PulseEndpoints*>(self);
    switch (pa_context_get_state(c)) {
    case PA_CONTEXT_READY:
        me->ready_ = true;
        pa_context_set_subscribe_callback(c, &PulseEndpoints::OnSubscribe, me);
        pa_operation_unref(pa_context_subscribe(
            c, static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SERVER | PA_SUBSCRIPTION_MASK_SINK),
            nullptr, nullptr));
        me->QueryDefault();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED: {
        const bool hadSink = !me->defaultSink_.empty();
        me->ready_ = false;
        me->connectDone_ = true;
        me->defaultSink_.clear();
        me->ScheduleReconnect();
        if (hadSink) me->NotifyChanged();
        break;
    }
    default:
        break;
    }
    pa_threaded_mainloop_signal(me->loop_, 0);
}

void PulseEndpoints::QueryDefault() {
    pa_operation* op = pa_context_get_server_info(context_, &PulseEndpoints::OnServerInfo, this);
    if (op) pa_operation_unref(op);
}

void PulseEndpoints::OnSubscribe(pa_context*, pa_subscription_event_type_t t, uint32_t, void* self) {
    // The default sink is a server property; a sink that appears or goes away
    // can also change which sink is the default.
    const auto facility = t & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    if (facility == PA_SUBSCRIPTION_EVENT_SERVER || facility == PA_SUBSCRIPTION_EVENT_SINK)
        static_cast<PulseEndpoints*>(self)->QueryDefault();
}

void PulseEndpoints::OnServerInfo(pa_context*, const pa_server_info* info, void* self) {
    auto* me = static_cast<PulseEndpoints*>(self);
    std::string sink = info && info->default_sink_name ? info->default_sink_name : "";
    const bool first = !me->connectDone_;
    me->connectDone_ = true;
    if (sink != me->defaultSink_) {
        me->defaultSink_ = sink;
        if (!first) me->NotifyChanged();
    }
    pa_threaded_mainloop_signal(me->loop_, 0);
}

void PulseEndpoints::NotifyChanged() {
    {
        std::lock_guard<std::mutex> lock(notifyMutex_);
        notifyPending_ = true;
    }
    notifyWake_.notify_all();
}

void PulseEndpoints::RunNotifier() {
    std::unique_lock<std::mutex> lock(notifyMutex_);
    for (;;) {
        notifyWake_.wait(lock, [this] { return notifyPending_ || stopping_; });
        if (stopping_) return;
        notifyPending_ = false;
        lock.unlock();
        {
            std::lock_guard<std::mutex> running(handlerMutex_);
            if (handler_) handler_();
        }
        lock.lock();
    }
}

void PulseEndpoints::SetDefaultChangedHandler(std::function<void()> handler) {
    std::lock_guard<std::mutex> lock(handlerMutex_);
    handler_ = std::move(handler);
}

std::string PulseEndpoints::DefaultOutput() {
    if (!loop_) return {};
    pa_threaded_mainloop_lock(loop_);
    std::string sink = ready_ ? defaultSink_ : std::string();
    pa_threaded_mainloop_unlock(loop_);
    return sink;
}

struct SinkQuery {
    pa_threaded_mainloop* loop = nullptr;
    bool found = false;
    std::string monitor;
    pa_sample_spec format{};
};

void OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
    auto* q = static_cast<SinkQuery*>(userdata);
    if (info && eol == 0) {
        q->found = true;
        q->monitor = info->monitor_source_name ? info->monitor_source_name : "";
        q->format = info->sample_spec;
    }
    pa_threaded_mainloop_signal(q->loop, 0);
}

std::unique_ptr<AudioCaptureStream> PulseEndpoints::OpenLoopback(const std::string& output) {
    if (!loop_ || output.empty()) return nullptr;
    pa_threaded_mainloop_lock(loop_);
    std::unique_ptr<AudioCaptureStream> result;
    do {
        if (!ready_) break;
        SinkQuery query;
        query.loop = loop_;
        Await(loop_, pa_context_get_sink_info_by_name(context_, output.c_str(), &OnSinkInfo, &query));
        if (!query.found || query.monitor.empty()) break;

        pa_sample_spec format;
        format.format = PA_SAMPLE_FLOAT32NE;
        format.rate = query.format.rate ? query.format.rate : 48000;
        format.channels = static_cast<uint8_t>(std::clamp<int>(query.format.channels, 1, PA_CHANNELS_MAX));
        pa_stream* s = pa_stream_new(context_, "Loopback", &format, nullptr);
        if (!s) break;
        auto stream = std::make_unique<PulseStream>(loop_, s, format.channels, format.rate);
        pa_stream_set_state_callback(s, &PulseStream::OnState, stream.get());
        pa_stream_set_read_callback(s, &PulseStream::OnRead, stream.get());
        // About 10 ms per fragment, so every 15 ms analysis step finds fresh sound.
        pa_buffer_attr attr;
        std::memset(&attr, 0xff, sizeof attr);
        attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(10000, &format));
        // Kept on this monitor: the server would otherwise move a stream whose
        // sink went away to any other source, a microphone even. The default
        // output's changes are followed by opening a new stream instead.
        const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
        if (pa_stream_connect_record(s, query.monitor.c_str(), &attr, flags) < 0) {
            pa_threaded_mainloop_unlock(loop_);
            return nullptr;  // the stream's destructor takes the lock itself
        }
        pa_stream_state_t state;
        while ((state = pa_stream_get_state(s)) == PA_STREAM_CREATING) pa_threaded_mainloop_wait(loop_);
        if (state != PA_STREAM_READY) {
            pa_threaded_mainloop_unlock(loop_);
            return nullptr;
        }
        result = std::move(stream);
    } while (false);
    pa_threaded_mainloop_unlock(loop_);
    return result;
}

}  // namespace

std::unique_ptr<AudioEndpoints> CreatePulseAudioEndpoints() { return std::make_unique<PulseEndpoints>(); }

}  // namespace keyloft::platform
