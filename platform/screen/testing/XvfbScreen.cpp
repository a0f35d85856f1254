#include "platform/screen/testing/XvfbScreen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#if KEYLOFT_HAVE_XRANDR
#include <X11/extensions/Xrandr.h>
#endif
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace keyloft::testing {

XvfbScreen::XvfbScreen(int width, int height) {
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string fd = std::to_string(fds[1]);
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
               "-ac", "+extension", "MIT-SHM", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid_ < 0) {
        close(fds[0]);
        return;
    }
    // Xvfb writes the display number it chose once it accepts connections.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 10000) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(fds[0]);
    if (!number.empty()) display_ = ":" + number;
}

XvfbScreen::~XvfbScreen() {
    if (connection_) XCloseDisplay(static_cast<::Display*>(connection_));
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

bool XvfbScreen::Connect() {
    if (connection_) return true;
    if (display_.empty()) return false;
    connection_ = XOpenDisplay(display_.c_str());
    return connection_ != nullptr;
}

bool XvfbScreen::AddMonitor(const std::string& name, int x, int y, int w, int h, bool primary) {
#if KEYLOFT_HAVE_XRANDR
    if (!Connect()) return false;
    auto* d = static_cast<::Display*>(connection_);
    int event, error, major = 0, minor = 0;
    if (!XRRQueryExtension(d, &event, &error) || !XRRQueryVersion(d, &major, &minor) ||
        (major == 1 && minor < 5))
        return false;
    XRRMonitorInfo* monitor = XRRAllocateMonitor(d, 0);
    if (!monitor) return false;
    monitor->name = XInternAtom(d, name.c_str(), False);
    monitor->primary = primary ? True : False;
    monitor->x = x;
    monitor->y = y;
    monitor->width = w;
    monitor->height = h;
    monitor->mwidth = w / 4;
    monitor->mheight = h / 4;
    XRRSetMonitor(d, RootWindow(d, DefaultScreen(d)), monitor);
    XRRFreeMonitors(monitor);
    XSync(d, False);
    return true;
#else
    (void)name, (void)x, (void)y, (void)w, (void)h, (void)primary;
    return false;
#endif
}

bool XvfbScreen::ShowBlocks(int columns, int rows, const std::function<int(int)>& edgeX,
                            const std::function<int(int)>& edgeY,
                            const std::function<std::uint32_t(int, int)>& colour) {
    if (!Connect()) return false;
    auto* d = static_cast<::Display*>(connection_);
    if (!window_) {
        const int screen = DefaultScreen(d);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixel = BlackPixel(d, screen);
        window_ = XCreateWindow(d, RootWindow(d, screen), 0, 0, DisplayWidth(d, screen), DisplayHeight(d, screen),
                                0, CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWBackPixel, &attributes);
        XSelectInput(d, window_, ExposureMask);
        XMapRaised(d, window_);
        XEvent event;
        do XNextEvent(d, &event);
        while (event.type != Expose);
    }
    GC gc = XCreateGC(d, window_, 0, nullptr);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            XSetForeground(d, gc, colour(c, r));
            XFillRectangle(d, window_, gc, edgeX(c), edgeY(r), edgeX(c + 1) - edgeX(c), edgeY(r + 1) - edgeY(r));
        }
    }
    XFreeGC(d, gc);
    XSync(d, False);
    return true;
}

}  // namespace keyloft::testing
