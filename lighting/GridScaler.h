// The second scaling step of the screen colour sync: an averaging scaler that
// reduces the sampled screen picture (480 x 270) to the 18 x 6 colour grid.
//
// Each output pixel is the mean of the source pixels of its box; boxes split the
// source by whole pixels (x from c * sw / dw to (c + 1) * sw / dw), so every
// source pixel counts for exactly one output pixel. Pixels are ARGB 0xAARRGGBB,
// row by row; the output alpha is 0xFF. Pure function, any thread.
#pragma once

#include <cstdint>

namespace keyloft {

void AverageScale(const std::uint32_t* source, int sourceWidth, int sourceHeight, std::uint32_t* target,
                  int targetWidth, int targetHeight);

}  // namespace keyloft
