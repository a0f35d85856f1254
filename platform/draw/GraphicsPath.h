// A vector path of lines, arcs, curves and text outlines, for filling, outlining and
// measuring with Graphics. Angles are in degrees, clockwise from the positive x axis
// (screen coordinates, y down), as GDI+ gives them. A path is a value; copying it
// copies its figures.
#pragma once

#include <memory>
#include <string>

#include "platform/draw/DrawTypes.h"
#include "platform/draw/StringFormat.h"

namespace platform::draw {

class FontFamily;

class GraphicsPath {
public:
    GraphicsPath();
    GraphicsPath(const GraphicsPath&);
    GraphicsPath& operator=(const GraphicsPath&);
    ~GraphicsPath();

    void StartFigure();
    void CloseFigure();
    void AddLine(float x1, float y1, float x2, float y2);
    // Arc of the ellipse in (x, y, w, h), from startAngle sweeping sweepAngle.
    void AddArc(float x, float y, float w, float h, float startAngle, float sweepAngle);
    void AddBezier(PointF p1, PointF c1, PointF c2, PointF p2);
    void AddRectangle(const RectF& rect);
    void AddEllipse(const RectF& rect);
    void AddPolygon(const PointF* points, int count);
    // The outline of `text` in `family` at `emSizePx` pixels and `style`, laid out in
    // `layout` by `format` (alignment and wrapping as DrawString does).
    void AddString(const std::wstring& text, const FontFamily& family, int style, float emSizePx,
                   const RectF& layout, const StringFormat& format);

    // Bounding box of every figure; an empty rectangle for an empty path.
    RectF GetBounds() const;
    bool IsEmpty() const;

    struct Impl;
    Impl* impl() const { return d_.get(); }

private:
    std::unique_ptr<Impl> d_;
};

}  // namespace platform::draw
