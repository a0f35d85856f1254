// The stand-in for a device context (HDC) and the GDI-style operations on it:
// BitBlt, StretchBlt, AlphaBlend, solid and gradient fills and GDI text.
//
// A Dc draws into the Image selected into it; it does not own that image (the
// caller keeps it alive while it is selected). A Dc may carry a clip rectangle in
// image pixels; every operation here and every Graphics made on the Dc keeps to it.
// Operations on a Dc without an image do nothing and answer false. GDI-style
// operations write opaque pixels (alpha 255), so they look the same in layered
// and ordinary windows. A Dc is used by one thread at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/draw/DrawTypes.h"

namespace platform::draw {

class Image;
class Font;

class Dc {
public:
    Dc() = default;                                  // a memory DC with no image
    explicit Dc(Image* target) : image_(target) {}

    // Selects `image` (may be nullptr) and answers the one selected before.
    Image* SelectImage(Image* image) {
        Image* old = image_;
        image_ = image;
        return old;
    }
    Image* GetImage() const { return image_; }
    int Width() const;
    int Height() const;

    // Clip rectangle in image pixels; none means the whole image.
    void SetClip(const Rect& clip) { clip_ = clip; }
    void ClearClip() { clip_.reset(); }
    const std::optional<Rect>& Clip() const { return clip_; }
    // The part of the image that operations may touch (image bounds ∩ clip).
    Rect Bounds() const;

    // StretchBlt quality: nearest neighbour (the GDI default) or smooth (halftone).
    void SetSmoothStretch(bool smooth) { smoothStretch_ = smooth; }
    bool SmoothStretch() const { return smoothStretch_; }

private:
    Image* image_ = nullptr;
    std::optional<Rect> clip_;
    bool smoothStretch_ = false;
};

// Raster operations of BitBlt (the Windows codes).
enum RasterOp : std::uint32_t {
    kSrcCopy = 0x00CC0020,
    kSrcPaint = 0x00EE0086,   // dst | src
    kSrcAnd = 0x008800C6,     // dst & src
    kSrcInvert = 0x00660046,  // dst ^ src
    kDstInvert = 0x00550009,  // ~dst
    kBlackness = 0x00000042,
    kWhiteness = 0x00FF0062,
};

// Copies w x h pixels from (sx, sy) of src to (x, y) of dst with a raster operation,
// clipped to both images and to dst's clip. Copies are plain row copies. Answers
// false for an unknown operation or a Dc without an image.
bool BitBlt(Dc& dst, int x, int y, int w, int h, const Dc& src, int sx, int sy,
            std::uint32_t rop = kSrcCopy);

// Copies and scales the source rectangle into the destination rectangle (source copy,
// no blending). Negative sizes mirror, as GDI does.
bool StretchBlt(Dc& dst, int x, int y, int w, int h, const Dc& src, int sx, int sy, int sw,
                int sh);

// BLENDFUNCTION: a constant alpha for the whole source, and whether the source's own
// (premultiplied) alpha is used as well.
struct BlendFunction {
    std::uint8_t sourceConstantAlpha = 255;
    bool perPixelAlpha = true;
};

// Blends the source rectangle over the destination rectangle (scaled when the sizes
// differ). Without per-pixel alpha the source counts as opaque and only the constant
// alpha applies.
bool AlphaBlend(Dc& dst, int x, int y, int w, int h, const Dc& src, int sx, int sy, int sw,
                int sh, BlendFunction blend);

// Opaque fill with a COLORREF.
bool FillSolidRect(Dc& dc, const Rect& rect, ColorRef colour);

// Two-colour linear gradient over the rectangle, written as it is (no blending):
// from `from` at the left (top when vertical) to `to` at the far edge.
bool GradientFillRect(Dc& dc, const Rect& rect, Argb from, Argb to, bool vertical);

// DrawText format flags (the Windows DT_ values).
enum TextFormat : unsigned {
    kDtLeft = 0x0,
    kDtCenter = 0x1,
    kDtRight = 0x2,
    kDtTop = 0x0,
    kDtVCenter = 0x4,
    kDtBottom = 0x8,
    kDtWordBreak = 0x10,
    kDtSingleLine = 0x20,
    kDtNoClip = 0x100,
    kDtCalcRect = 0x400,
    kDtEndEllipsis = 0x8000,
};

// GDI text with a transparent background in the rectangle, opaque in `colour`. With
// kDtCalcRect nothing is drawn and `rect` is set to the text's extent. Answers the
// height of the text in pixels (0 when nothing was drawn). A null font uses the
// default family at 12 pixels.
int DrawText(Dc& dc, const std::wstring& text, Rect& rect, ColorRef colour, const Font* font,
             unsigned format);

}  // namespace platform::draw
