// Capture of the screen for the screen colour sync.
//
// A ScreenCapture takes the whole picture of the primary monitor (where the
// display server names none, its first monitor; without monitor information the
// whole screen) and samples it down to a small width x height picture in one go
// (nearest pixel, reading only the pixels it keeps, as a plain stretching copy
// does). Pixels come out as ARGB
// 0xAARRGGBB with alpha 0xFF, row by row.
//
// Threads: one capture object belongs to one thread at a time (the screen
// thread). Failure: Open returns null when there is no display to capture;
// Capture returns false when a capture failed, leaving `pixels` as it was.
#pragma once

#include <cstdint>
#include <memory>

namespace keyloft::platform {

class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;
    // The size of the monitor as captured, as of the last capture (0 when unknown).
    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;
    // Fills pixels[0 .. width * height - 1]. Pixel (x, y) is the monitor's pixel
    // (x * ScreenWidth / width, y * ScreenHeight / height).
    virtual bool Capture(int width, int height, std::uint32_t* pixels) = 0;
};

// The primary monitor on the X11 root window of `display` (null: $DISPLAY),
// through shared memory where the server offers it. With `serverScaling` the
// server samples the monitor down where it can (RENDER); false reads the whole
// monitor (tests compare the two). Null
// when the display cannot be opened.
std::unique_ptr<ScreenCapture> OpenX11ScreenCapture(const char* display = nullptr, bool serverScaling = true);

}  // namespace keyloft::platform
