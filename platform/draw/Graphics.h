// The stand-in for a GDI+ Graphics: antialiased drawing of images, shapes, paths and
// text onto an Image, directly or through the Image selected into a Dc.
//
// A Graphics does not own its target; the target must outlive it. Several Graphics
// (and GDI-style operations on a Dc) may work on one image at the same time, as they
// do when a control draws inside the window's paint pass: each call applies this
// Graphics' own clip, transform and quality settings. A Graphics made on a Dc starts
// with the Dc's clip. Drawing on a null target does nothing. One thread at a time.
#pragma once

#include <memory>
#include <string>

#include "platform/draw/Brush.h"
#include "platform/draw/DrawTypes.h"
#include "platform/draw/StringFormat.h"

namespace platform::draw {

class Dc;
class Font;
class GraphicsPath;
class Image;

enum class SmoothingMode { Default, HighSpeed, HighQuality, None, AntiAlias };
enum class InterpolationMode { Default, NearestNeighbor, Bilinear, HighQualityBicubic };
enum class CompositingMode { SourceOver, SourceCopy };
// The GDI+ text rendering hints by number: 0 system default, 1 and 2 one bit per
// pixel (no antialiasing), 3 and 4 antialiased, 5 ClearType grid fitting.
enum TextRenderingHint : int {
    kTextSystemDefault = 0,
    kTextSingleBitPerPixelGridFit = 1,
    kTextSingleBitPerPixel = 2,
    kTextAntiAliasGridFit = 3,
    kTextAntiAlias = 4,
    kTextClearTypeGridFit = 5,
};

class Graphics {
public:
    explicit Graphics(Dc& dc);
    explicit Graphics(Image& image);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    void SetSmoothingMode(SmoothingMode mode);
    void SetInterpolationMode(InterpolationMode mode);
    void SetCompositingMode(CompositingMode mode);
    void SetTextRenderingHint(int hint);
    int GetTextRenderingHint() const;

    // Clip in target pixels (before the transform); SetClip replaces, IntersectClip narrows.
    void SetClip(const Rect& rect);
    void IntersectClip(const Rect& rect);
    void ResetClip();
    void TranslateTransform(float dx, float dy);
    void ResetTransform();

    // Sets every pixel (inside the clip) to the colour, without blending.
    void Clear(Argb colour);

    // The active frame of `image`: at its own size, stretched into `dest`, or the source
    // rectangle (in image pixels) stretched into `dest`. `opacity` 0..1 scales alpha.
    void DrawImage(const Image& image, int x, int y);
    void DrawImage(const Image& image, const RectF& dest);
    void DrawImage(const Image& image, const RectF& dest, const RectF& src, float opacity = 1.0f);
    void DrawImage(const Image& image, const Rect& dest, const Rect& src, float opacity = 1.0f);

    void FillRectangle(const Brush& brush, const RectF& rect);
    void DrawRectangle(const Pen& pen, const RectF& rect);
    void FillEllipse(const Brush& brush, const RectF& rect);
    void DrawEllipse(const Pen& pen, const RectF& rect);
    void DrawLine(const Pen& pen, float x1, float y1, float x2, float y2);
    void DrawArc(const Pen& pen, const RectF& rect, float startAngle, float sweepAngle);
    void FillPie(const Brush& brush, const RectF& rect, float startAngle, float sweepAngle);
    void FillPolygon(const Brush& brush, const PointF* points, int count);
    void FillPath(const Brush& brush, const GraphicsPath& path);
    void DrawPath(const Pen& pen, const GraphicsPath& path);

    // Text in `layout` by `format` (alignment, wrapping: see StringFormat). With an
    // empty layout size the text starts at the layout's origin and does not wrap.
    void DrawString(const std::wstring& text, const Font& font, const RectF& layout,
                    const StringFormat& format, const Brush& brush);
    void DrawString(const std::wstring& text, const Font& font, PointF origin, const Brush& brush);
    // The box the text would occupy when drawn by DrawString with the same arguments.
    RectF MeasureString(const std::wstring& text, const Font& font, const RectF& layout,
                        const StringFormat& format) const;

    struct Impl;

private:
    std::unique_ptr<Impl> d_;
};

}  // namespace platform::draw
