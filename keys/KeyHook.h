// The key hook of one recording: a list of registered handlers that every
// grabbed key event is delivered to.
//
// The first registration starts the event source (the platform's keyboard grab,
// or a test feed); destroying the hook stops it. Events go to every active
// handler in registration order; an event is swallowed when one handler
// returns true. Registering the same id twice does nothing. The hook and its
// handlers live on the UI thread; a source that reads events on its own thread
// must hand them over to the UI thread before calling Deliver.
#pragma once

#include "keys/KeyHookEvent.h"

#include <functional>
#include <memory>
#include <vector>

namespace keyloft {

// Something that produces key events: started with the hook's delivery function.
class KeyEventSource {
public:
    virtual ~KeyEventSource() = default;
    // Starts delivering events to `deliver`; false when the source cannot run
    // (no display, grab refused). Starting again restarts.
    virtual bool Start(std::function<bool(const KeyHookEvent&)> deliver) = 0;
    virtual void Stop() = 0;
};

class KeyHook {
public:
    using Handler = std::function<bool(const KeyHookEvent&)>;

    explicit KeyHook(std::unique_ptr<KeyEventSource> source);
    ~KeyHook();
    KeyHook(const KeyHook&) = delete;
    KeyHook& operator=(const KeyHook&) = delete;

    // Returns false only when the source could not be started.
    bool Register(int id, Handler handler);
    void SetActive(int id, bool active);
    void Unregister(int id);
    // Delivers one event; true when a handler swallowed it.
    bool Deliver(const KeyHookEvent& e);
    bool Installed() const { return installed_; }

private:
    struct Registration {
        int id;
        bool active;
        Handler handler;
    };
    std::unique_ptr<KeyEventSource> source_;
    std::vector<Registration> registrations_;
    bool installed_ = false;
};

}  // namespace keyloft
