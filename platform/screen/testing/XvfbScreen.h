// A private X server for the screen tests and benchmarks: starts Xvfb on a free display number
// and shows one window that covers the whole screen with a grid of coloured
// blocks. Skips are the caller's business: Display() is empty when no server
// could be started.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace keyloft::testing {

class XvfbScreen {
public:
    XvfbScreen(int width, int height);
    ~XvfbScreen();
    XvfbScreen(const XvfbScreen&) = delete;
    XvfbScreen& operator=(const XvfbScreen&) = delete;

    // ":N", or empty when Xvfb could not be started.
    const std::string& Display() const { return display_; }
    // The server's process id (benchmarks read its processor time).
    int Pid() const { return pid_; }

    // Fills the screen with columns x rows blocks; block (c, r) spans the screen
    // pixels from edgeX(c) to edgeX(c + 1) and edgeY(r) to edgeY(r + 1), in
    // colour(c, r) (0x00RRGGBB). Returns once the server has drawn them.
    bool ShowBlocks(int columns, int rows, const std::function<int(int)>& edgeX,
                    const std::function<int(int)>& edgeY, const std::function<std::uint32_t(int, int)>& colour);

    // Declares a monitor of the screen at (x, y), w x h pixels, as the display
    // server's monitor list reports it (a second monitor beside the first, say).
    // False when the server or the build has no monitor support.
    bool AddMonitor(const std::string& name, int x, int y, int w, int h, bool primary);

private:
    bool Connect();

    int pid_ = -1;
    std::string display_;
    void* connection_ = nullptr;  // the window's own connection
    unsigned long window_ = 0;
};

}  // namespace keyloft::testing
