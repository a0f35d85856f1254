#include "lighting/GridScaler.h"

namespace keyloft {

void AverageScale(const std::uint32_t* source, int sw, int sh, std::uint32_t* target, int tw, int th) {
    if (sw <= 0 || sh <= 0 || tw <= 0 || th <= 0) return;
    for (int ty = 0; ty < th; ++ty) {
        const int y0 = static_cast<int>(static_cast<long long>(ty) * sh / th);
        const int y1 = static_cast<int>(static_cast<long long>(ty + 1) * sh / th);
        for (int tx = 0; tx < tw; ++tx) {
            const int x0 = static_cast<int>(static_cast<long long>(tx) * sw / tw);
            const int x1 = static_cast<int>(static_cast<long long>(tx + 1) * sw / tw);
            // One box at a time, row by row over its run of pixels: a plain
            // loop that the compiler turns into vector additions.
            std::uint64_t r = 0, g = 0, b = 0;
            for (int y = y0; y < y1; ++y) {
                const std::uint32_t* row = source + static_cast<std::size_t>(y) * sw;
                std::uint32_t rr = 0, gg = 0, bb = 0;  // at most 255 x the source width
                for (int x = x0; x < x1; ++x) {
                    const std::uint32_t p = row[x];
                    rr += (p >> 16) & 0xFF;
                    gg += (p >> 8) & 0xFF;
                    bb += p & 0xFF;
                }
                r += rr;
                g += gg;
                b += bb;
            }
            const std::uint64_t n = static_cast<std::uint64_t>(x1 - x0) * (y1 - y0);
            std::uint32_t out = 0xFF000000u;
            if (n) {
                // Rounded to the nearest value, so a flat box keeps its exact colour.
                out |= static_cast<std::uint32_t>((r + n / 2) / n) << 16 |
                       static_cast<std::uint32_t>((g + n / 2) / n) << 8 |
                       static_cast<std::uint32_t>((b + n / 2) / n);
            }
            target[static_cast<std::size_t>(ty) * tw + tx] = out;
        }
    }
}

}  // namespace keyloft
