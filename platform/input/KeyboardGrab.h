// The keyboard grab that feeds the macro recorder on X11 (and XWayland).
//
// While started, every key of the keyboard goes to this grab instead of the
// focused program, the stand-in for the low-level keyboard hook: X key events
// are translated into Windows message kinds, virtual-key codes, scan codes and
// the extended flag, with the server's time in milliseconds. Auto-repeat
// arrives as repeated presses, as the recorder expects.
//
// The grab runs on a thread of its own with its own display connection and
// calls the handler there; the owner hands events over to its UI thread. Feed
// calls the handler on the caller's thread with an event of its own making
// (tests, demo input). Start/Stop from one thread; Stop joins the thread and
// releases the grab. Failures are results: Start is false when there is no X
// display or the server refuses the grab (another program holds it).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace keyloft::platform {

struct GrabbedKey {
    int message = 0;  // 0x100 key down, 0x101 key up, 0x104 / 0x105 with Alt held
    int virtualKey = 0;
    int scanCode = 0;
    int flags = 0;    // bit 0: extended key
    std::int64_t timeMs = 0;
};

class KeyboardGrab {
public:
    using Handler = std::function<void(const GrabbedKey&)>;

    KeyboardGrab();
    ~KeyboardGrab();
    KeyboardGrab(const KeyboardGrab&) = delete;
    KeyboardGrab& operator=(const KeyboardGrab&) = delete;

    // Grabs the keyboard for `window` (an X window id; 0 = the root window) on
    // `display` (empty = $DISPLAY). Starting again restarts.
    bool Start(Handler handler, std::uint64_t window = 0, const std::string& display = {});
    void Stop();
    bool Running() const { return running_; }

    void Feed(const GrabbedKey& key);

    struct Impl;

private:
    void Run();

    std::unique_ptr<Impl> impl_;
    Handler handler_;
    std::thread thread_;
    std::atomic<bool> running_{false};
};

}  // namespace keyloft::platform
