// An image in memory: the stand-in for a DIB section, a GDI bitmap and a GDI+
// Image / Bitmap alike.
//
// Pixels are 32-bit premultiplied ARGB (0xAARRGGBB words in native byte order),
// the format the blits below copy fastest, with rows stored top-down: row 0 of
// Bits() is the top row. Images decoded from files are converted to that format
// once, at load. A multi-frame image (an animated GIF) keeps every frame; the
// active frame is what drawing and pixel access see.
//
// An Image is owned by whoever created it (unique_ptr from the loaders). It is not
// locked: one thread draws into a given image at a time. Loaders answer nullptr on
// failure; pixel access outside the image answers 0 and writes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/draw/DrawTypes.h"

namespace platform::draw {

class Image {
public:
    // A null image (Width() and Height() 0).
    Image();
    // A w x h image, every pixel transparent (0). Non-positive sizes give a null image.
    Image(int width, int height);
    Image(const Image& other);  // deep copy of every frame
    Image& operator=(const Image& other);
    Image(Image&&) noexcept;
    Image& operator=(Image&&) noexcept;
    ~Image();

    // Decodes PNG, GIF (all frames), BMP, ICO and JPEG from a file; nullptr when the
    // file is missing or cannot be decoded.
    static std::unique_ptr<Image> FromFile(const std::wstring& path);
    // The same from bytes in memory (a resource).
    static std::unique_ptr<Image> FromMemory(const void* data, std::size_t size);
    // From non-premultiplied ARGB values, top row first, `width` values per row.
    static std::unique_ptr<Image> FromArgb(int width, int height, const Argb* pixels);

    bool IsNull() const;
    int Width() const;
    int Height() const;
    Size GetSize() const { return {Width(), Height()}; }

    // Raw premultiplied pixels of the active frame, top-down; Stride() bytes per row.
    std::uint32_t* Bits();
    const std::uint32_t* Bits() const;
    int Stride() const;

    // Non-premultiplied ARGB of one pixel of the active frame.
    Argb GetPixel(int x, int y) const;
    void SetPixel(int x, int y, Argb colour);
    // Sets every pixel of the active frame to `colour` (ARGB).
    void Fill(Argb colour);

    // Frames of the time dimension (1 for a still image, 0 for a null image).
    int FrameCount() const;
    int ActiveFrame() const;
    // Selects the frame that drawing uses; false (and no change) when out of range.
    bool SelectActiveFrame(int index);
    // Delay of each frame in milliseconds as stored in the file (0 when unknown).
    const std::vector<int>& FrameDelays() const;

    // Writes the active frame as PNG; false when the file cannot be written.
    bool SavePng(const std::wstring& path) const;
    // Writes the active frame as a Windows BMP file: 14-byte "BM" header, 40-byte
    // info header, bottom-up rows, at 24 bits (colour) or 1, 4 or 8 bits (grey
    // palette). False when the depth is not one of those or the file cannot be created.
    bool SaveBmp(const std::wstring& path, int bitsPerPixel = 24) const;

    struct Impl;
    Impl* impl() const { return d_.get(); }

private:
    std::unique_ptr<Impl> d_;
};

}  // namespace platform::draw
