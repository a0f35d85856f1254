// A screen of 18 x 6 flat blocks whose edges fall on the averaging boxes, so
// each cell of the colour grid shows exactly one block's colour.
#pragma once

#include "platform/screen/ScreenCapture.h"

#include <atomic>
#include <cstdint>

namespace keyloft::testing {

// Colour (0x00RRGGBB) of block (c, r).
inline std::uint32_t BlockRgb(int c, int r) {
    return static_cast<std::uint32_t>((10 + 13 * c) << 16 | (20 + 40 * r) << 8 | (200 - 9 * c - r));
}
inline std::uint32_t AsColourRef(std::uint32_t rgb) { return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16; }

// Block of picture column x (or row y) when the boxes split `size` pixels in `count`.
inline int BoxOf(int x, int size, int count) {
    int box = 0;
    while ((box + 1) * size / count <= x) ++box;
    return box;
}

class BlockScreen final : public platform::ScreenCapture {
public:
    explicit BlockScreen(std::atomic<bool>* fail = nullptr, std::atomic<int>* captures = nullptr)
        : fail_(fail), captures_(captures) {}
    int ScreenWidth() const override { return 480; }
    int ScreenHeight() const override { return 270; }
    bool Capture(int width, int height, std::uint32_t* pixels) override {
        if (captures_) ++*captures_;
        if (fail_ && *fail_) return false;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[y * width + x] = 0xFF000000u | BlockRgb(BoxOf(x, width, 18), BoxOf(y, height, 6));
        return true;
    }

private:
    std::atomic<bool>* fail_;
    std::atomic<int>* captures_;
};

}  // namespace keyloft::testing
