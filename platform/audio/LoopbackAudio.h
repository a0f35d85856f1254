// Loopback capture of what the computer plays, for the music visualizer.
//
// `AudioEndpoints` finds the default output and opens a capture of it; on Linux
// this is the PulseAudio server (also PipeWire's PulseAudio server), whose
// default sink's monitor source carries what the sink plays. Captured sound comes
// out of `AudioCaptureStream` as packets of interleaved 32-bit float frames, in
// the order they were played.
//
// Threads: an AudioEndpoints may be used from any thread (its calls are
// serialised inside). A stream is drained by one thread at a time; the caller
// keeps that thread apart from the one that replaces the stream. The change
// handler runs on the endpoints' own notification thread, never inside the
// sound server's loop, so it may open and close streams.
//
// Failure: no server or no sink means `DefaultOutput` is empty and no stream can
// be opened (null); nothing is reported otherwise. A stream whose server went
// away makes `GetBuffer` return false.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace keyloft::platform {

struct AudioPacket {
    const float* data = nullptr;  // interleaved samples, frames * channels floats
    std::uint32_t frames = 0;     // 0: nothing is waiting
    std::uint32_t channels = 0;
};

class AudioCaptureStream {
public:
    virtual ~AudioCaptureStream() = default;
    // Hands out the oldest waiting packet (frames 0 when none waits). The packet
    // stays valid until ReleaseBuffer. Returns false when the stream has failed.
    virtual bool GetBuffer(AudioPacket& packet) = 0;
    // Gives back the packet of the last successful GetBuffer with frames > 0.
    virtual void ReleaseBuffer() = 0;
};

class AudioEndpoints {
public:
    virtual ~AudioEndpoints() = default;
    // The name of the default output device, empty when there is none.
    virtual std::string DefaultOutput() = 0;
    // Starts capturing what `output` plays; null when that is not possible.
    virtual std::unique_ptr<AudioCaptureStream> OpenLoopback(const std::string& output) = 0;
    // `handler` is called (on the notification thread) after the default output
    // changed, also when a server or sink appears where there was none.
    virtual void SetDefaultChangedHandler(std::function<void()> handler) = 0;
};

// The PulseAudio backend. Never null: without a server it reports no default
// output and keeps trying to reach one in the background.
std::unique_ptr<AudioEndpoints> CreatePulseAudioEndpoints();

}  // namespace keyloft::platform
