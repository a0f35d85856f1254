// Writes still or animated GIF files (GIF89a, looping forever) from images of equal
// size. Each frame gets its own palette: the exact colours when there are at most
// 255, else 255 colours chosen by median cut; pixels with alpha below 128 become transparent.
// Answers false for no frames, frames of different sizes or a file that cannot be
// written. Any thread; the frames are only read.
#pragma once

#include <string>
#include <vector>

namespace platform::draw {

class Image;

bool SaveGif(const std::vector<const Image*>& frames, const std::vector<int>& delaysMs,
             const std::wstring& path);

}  // namespace platform::draw
