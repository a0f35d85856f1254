#include "platform/draw/Brush.h"

namespace platform::draw {

Brush Brush::Solid(Argb colour) {
    Brush b;
    b.kind_ = Kind::Solid;
    b.colour_ = colour;
    return b;
}

Brush Brush::Linear(PointF p1, PointF p2, Argb from, Argb to) {
    return Linear(p1, p2, {{0.0f, from}, {1.0f, to}});
}

Brush Brush::Linear(PointF p1, PointF p2, std::vector<GradientStop> stops) {
    Brush b;
    b.kind_ = Kind::Linear;
    b.p1_ = p1;
    b.p2_ = p2;
    b.stops_ = std::move(stops);
    b.colour_ = b.stops_.empty() ? 0 : b.stops_.front().colour;
    return b;
}

Brush Brush::Linear(const RectF& rect, Argb from, Argb to, bool vertical) {
    const PointF p1{rect.x, rect.y};
    const PointF p2 = vertical ? PointF{rect.x, rect.y + rect.height} : PointF{rect.x + rect.width, rect.y};
    return Linear(p1, p2, from, to);
}

Brush Brush::Texture(const Image& image) {
    Brush b;
    b.kind_ = Kind::Texture;
    b.texture_ = &image;
    return b;
}

}  // namespace platform::draw
