#include "platform/input/KeyboardGrab.h"

#include "platform/input/KeyTranslation.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

#include <mutex>
#include <set>
#include <vector>

namespace keyloft::platform {

struct KeyboardGrab::Impl {
    Display* display = nullptr;
    int wake[2] = {-1, -1};  // Stop writes here to end the poll at once
    std::set<int> held;      // kernel codes held down, for the Alt state
    std::atomic<bool> lost{false};  // the server connection broke
};

namespace {

constexpr int kMsgKeyDown = 0x100, kMsgKeyUp = 0x101, kMsgSysKeyDown = 0x104, kMsgSysKeyUp = 0x105;
constexpr int kKernelLeftAlt = 56, kKernelRightAlt = 100, kKernelLeftCtrl = 29, kKernelRightCtrl = 97;

// Without these a lost server connection would end the whole program inside
// Xlib; the grab thread notices the hang-up and stops instead. Connections
// that are not ours keep whatever handling they had.
std::mutex g_ioMutex;
std::set<Display*> g_ourDisplays;
XIOErrorHandler g_previousIoHandler = nullptr;

void KeepRunningOnLostServer(Display*, void* impl) {
    static_cast<KeyboardGrab::Impl*>(impl)->lost = true;
}

int OnIoError(Display* d) {
    {
        std::lock_guard lock(g_ioMutex);
        if (g_ourDisplays.count(d)) return 0;  // then our exit handler, which returns
    }
    return g_previousIoHandler ? g_previousIoHandler(d) : 0;
}

void AdoptDisplay(Display* d, KeyboardGrab::Impl* impl) {
    std::lock_guard lock(g_ioMutex);
    if (g_ourDisplays.empty()) {
        XIOErrorHandler previous = XSetIOErrorHandler(OnIoError);
        if (previous != OnIoError) g_previousIoHandler = previous;
    }
    g_ourDisplays.insert(d);
    XSetIOErrorExitHandler(d, KeepRunningOnLostServer, impl);
}

void ReleaseDisplay(Display* d) {
    std::lock_guard lock(g_ioMutex);
    g_ourDisplays.erase(d);
}

// Broken connections stay allocated (closing one blocks inside Xlib); they are
// kept here so that they remain accounted for.
std::vector<Display*> g_brokenDisplays;

bool IsKeypadDigitSym(KeySym s) {
    return (s >= XK_KP_0 && s <= XK_KP_9) || s == XK_KP_Decimal || s == XK_KP_Separator;
}

}  // namespace

KeyboardGrab::KeyboardGrab() : impl_(std::make_unique<Impl>()) {}

KeyboardGrab::~KeyboardGrab() { Stop(); }

bool KeyboardGrab::Start(Handler handler, std::uint64_t window, const std::string& displayName) {
    Stop();
    Display* d = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!d) return false;
    impl_->lost = false;
    AdoptDisplay(d, impl_.get());
    const Window target = window ? static_cast<Window>(window) : DefaultRootWindow(d);
    // Held keys then repeat as presses only, without a release before each.
    XkbSetDetectableAutoRepeat(d, True, nullptr);
    if (XGrabKeyboard(d, target, False, GrabModeAsync, GrabModeAsync, CurrentTime) != GrabSuccess) {
        XCloseDisplay(d);
        ReleaseDisplay(d);
        return false;
    }
    XSync(d, False);
    if (pipe(impl_->wake) != 0) {
        XUngrabKeyboard(d, CurrentTime);
        XCloseDisplay(d);
        ReleaseDisplay(d);
        return false;
    }
    impl_->display = d;
    impl_->held.clear();
    handler_ = std::move(handler);
    running_ = true;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void KeyboardGrab::Stop() {
    if (!running_.exchange(false)) return;
    if (impl_->wake[1] >= 0) {
        const char c = 0;
        [[maybe_unused]] auto n = write(impl_->wake[1], &c, 1);
    }
    if (thread_.joinable()) thread_.join();
    // A broken connection must not be touched again (Xlib would wait on it
    // for ever); its little memory is left behind.
    ReleaseDisplay(impl_->display);
    pollfd hangup{ConnectionNumber(impl_->display), POLLIN, 0};
    if (poll(&hangup, 1, 0) > 0 && (hangup.revents & (POLLHUP | POLLERR))) impl_->lost = true;
    if (!impl_->lost) {
        XUngrabKeyboard(impl_->display, CurrentTime);
        XCloseDisplay(impl_->display);
    } else {
        std::lock_guard lock(g_ioMutex);
        g_brokenDisplays.push_back(impl_->display);
    }
    impl_->display = nullptr;
    for (int& fd : impl_->wake) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

void KeyboardGrab::Feed(const GrabbedKey& key) {
    if (handler_) handler_(key);
}

void KeyboardGrab::Run() {
    Display* d = impl_->display;
    pollfd fds[2] = {{ConnectionNumber(d), POLLIN, 0}, {impl_->wake[0], POLLIN, 0}};
    while (running_ && !impl_->lost) {
        while (!impl_->lost && XPending(d) > 0) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type != KeyPress && ev.type != KeyRelease) continue;
            const bool press = ev.type == KeyPress;
            KeySym sym = 0;
            char buffer[8];
            XLookupString(&ev.xkey, buffer, sizeof buffer, &sym, nullptr);
            const int kernel = static_cast<int>(ev.xkey.keycode) - 8;
            const TranslatedKey t = TranslateKernelKey(kernel, IsKeypadDigitSym(sym));
            if (t.virtualKey == 0) continue;
            auto& held = impl_->held;
            const bool altHeld = held.count(kKernelLeftAlt) || held.count(kKernelRightAlt) ||
                                 kernel == kKernelLeftAlt || kernel == kKernelRightAlt;
            const bool ctrlHeld = held.count(kKernelLeftCtrl) || held.count(kKernelRightCtrl);
            if (press) {
                held.insert(kernel);
            } else {
                held.erase(kernel);
            }
            // As on the desktop this replaces, keys typed with Alt (and without
            // Ctrl) arrive as "system" keys.
            const bool sys = altHeld && !ctrlHeld;
            GrabbedKey k;
            k.message = press ? (sys ? kMsgSysKeyDown : kMsgKeyDown) : (sys ? kMsgSysKeyUp : kMsgKeyUp);
            k.virtualKey = t.virtualKey;
            k.scanCode = t.scanCode;
            k.flags = t.extended ? 1 : 0;
            k.timeMs = static_cast<std::int64_t>(ev.xkey.time);
            if (handler_) handler_(k);
        }
        fds[0].revents = fds[1].revents = 0;
        if (poll(fds, 2, 100) < 0) continue;
        if (fds[1].revents) break;
        if (fds[0].revents & (POLLHUP | POLLERR)) {
            impl_->lost = true;  // the server went away
            break;
        }
    }
}

}  // namespace keyloft::platform
