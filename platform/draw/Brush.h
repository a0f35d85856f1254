// Brushes and pens of the GDI+-style Graphics: plain values the caller keeps.
//
// A brush is a solid colour, a linear gradient (two colours or a list of stops
// between two points) or an image texture (the image must outlive the brush's use).
// Colours are ARGB.
#pragma once

#include <vector>

#include "platform/draw/DrawTypes.h"

namespace platform::draw {

class Image;

struct GradientStop {
    float position;  // 0 .. 1 along the gradient line
    Argb colour;
};

class Brush {
public:
    enum class Kind { Solid, Linear, Texture };

    static Brush Solid(Argb colour);
    // Gradient along the line from p1 to p2; outside it the end colours repeat.
    static Brush Linear(PointF p1, PointF p2, Argb from, Argb to);
    static Brush Linear(PointF p1, PointF p2, std::vector<GradientStop> stops);
    // Gradient across a rectangle: left to right, or top to bottom when vertical.
    static Brush Linear(const RectF& rect, Argb from, Argb to, bool vertical);
    // Tiles the image from (0, 0) of the drawing target.
    static Brush Texture(const Image& image);

    Kind GetKind() const { return kind_; }
    Argb Colour() const { return colour_; }  // the solid colour (first stop otherwise)
    PointF P1() const { return p1_; }
    PointF P2() const { return p2_; }
    const std::vector<GradientStop>& Stops() const { return stops_; }
    const Image* TextureImage() const { return texture_; }

private:
    Kind kind_ = Kind::Solid;
    Argb colour_ = 0xFF000000;
    PointF p1_, p2_;
    std::vector<GradientStop> stops_;
    const Image* texture_ = nullptr;
};

enum class DashStyle { Solid, Dash, Dot, DashDot };

struct Pen {
    Argb colour = 0xFF000000;
    float width = 1.0f;
    DashStyle dash = DashStyle::Solid;

    Pen() = default;
    Pen(Argb c, float w = 1.0f, DashStyle d = DashStyle::Solid) : colour(c), width(w), dash(d) {}
};

}  // namespace platform::draw
