#include "platform/draw/Graphics.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QTransform>

#include <optional>

#include "platform/draw/Dc.h"
#include "platform/draw/Font.h"
#include "platform/draw/Image.h"
#include "platform/draw/QtAccess.h"
#include "platform/draw/QtConvert.h"
#include "platform/draw/SharedPainter.h"

namespace platform::draw {

QBrush ToQBrush(const Brush& brush) {
    switch (brush.GetKind()) {
    case Brush::Kind::Solid:
        return QBrush(ToQColor(brush.Colour()));
    case Brush::Kind::Linear: {
        QLinearGradient g(QPointF(brush.P1().x, brush.P1().y), QPointF(brush.P2().x, brush.P2().y));
        for (const GradientStop& s : brush.Stops()) g.setColorAt(std::clamp(s.position, 0.0f, 1.0f), ToQColor(s.colour));
        g.setSpread(QGradient::PadSpread);
        return QBrush(g);
    }
    case Brush::Kind::Texture:
        if (brush.TextureImage() && !brush.TextureImage()->IsNull())
            return QBrush(QtImage(*brush.TextureImage()));
        return QBrush();
    }
    return QBrush();
}

QPen ToQPen(const Pen& pen) {
    QPen p(ToQColor(pen.colour));
    p.setWidthF(pen.width);
    switch (pen.dash) {
    case DashStyle::Solid: p.setStyle(Qt::SolidLine); break;
    case DashStyle::Dash: p.setStyle(Qt::DashLine); break;
    case DashStyle::Dot: p.setStyle(Qt::DotLine); break;
    case DashStyle::DashDot: p.setStyle(Qt::DashDotLine); break;
    }
    return p;
}

int ToQtTextFlags(const StringFormat& format) {
    int flags = 0;
    switch (format.alignment) {
    case StringAlignment::Near: flags |= Qt::AlignLeft; break;
    case StringAlignment::Center: flags |= Qt::AlignHCenter; break;
    case StringAlignment::Far: flags |= Qt::AlignRight; break;
    }
    switch (format.lineAlignment) {
    case StringAlignment::Near: flags |= Qt::AlignTop; break;
    case StringAlignment::Center: flags |= Qt::AlignVCenter; break;
    case StringAlignment::Far: flags |= Qt::AlignBottom; break;
    }
    if (!(format.flags & kStringFormatNoWrap)) flags |= Qt::TextWordWrap;
    if (format.flags & kStringFormatNoClip) flags |= Qt::TextDontClip;
    return flags;
}

struct Graphics::Impl {
    Image* target = nullptr;
    std::optional<SharedPainter> painter;
    QTransform transform;
    std::optional<QRect> clip;  // target pixels
    SmoothingMode smoothing = SmoothingMode::Default;
    InterpolationMode interpolation = InterpolationMode::Default;
    CompositingMode compositing = CompositingMode::SourceOver;
    int textHint = kTextSystemDefault;

    void Bind(Image* image) {
        if (!image || image->IsNull()) return;
        target = image;
        painter.emplace(*image);
    }

    // Answers the painter with this Graphics' state applied, or null without a target.
    QPainter* Begin() {
        if (!target) return nullptr;
        QPainter& p = painter->get();
        p.resetTransform();
        if (clip) p.setClipRect(*clip);
        else p.setClipping(false);
        p.setTransform(transform);
        p.setOpacity(1.0);
        p.setCompositionMode(compositing == CompositingMode::SourceCopy ? QPainter::CompositionMode_Source
                                                                        : QPainter::CompositionMode_SourceOver);
        const bool aa = smoothing == SmoothingMode::AntiAlias || smoothing == SmoothingMode::HighQuality;
        p.setRenderHint(QPainter::Antialiasing, aa);
        p.setRenderHint(QPainter::SmoothPixmapTransform, interpolation != InterpolationMode::NearestNeighbor);
        p.setRenderHint(QPainter::TextAntialiasing,
                        textHint != kTextSingleBitPerPixel && textHint != kTextSingleBitPerPixelGridFit);
        return &p;
    }
};

Graphics::Graphics(Dc& dc) : d_(std::make_unique<Impl>()) {
    d_->Bind(dc.GetImage());
    if (dc.Clip()) {
        const Rect& c = *dc.Clip();
        d_->clip = QRect(c.left, c.top, std::max(0, c.Width()), std::max(0, c.Height()));
    }
}

Graphics::Graphics(Image& image) : d_(std::make_unique<Impl>()) { d_->Bind(&image); }
Graphics::~Graphics() = default;

void Graphics::SetSmoothingMode(SmoothingMode mode) { d_->smoothing = mode; }
void Graphics::SetInterpolationMode(InterpolationMode mode) { d_->interpolation = mode; }
void Graphics::SetCompositingMode(CompositingMode mode) { d_->compositing = mode; }
void Graphics::SetTextRenderingHint(int hint) { d_->textHint = hint; }
int Graphics::GetTextRenderingHint() const { return d_->textHint; }

void Graphics::SetClip(const Rect& r) { d_->clip = QRect(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height())); }
void Graphics::IntersectClip(const Rect& r) {
    const QRect q(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height()));
    d_->clip = d_->clip ? d_->clip->intersected(q) : q;
}
void Graphics::ResetClip() { d_->clip.reset(); }
void Graphics::TranslateTransform(float dx, float dy) { d_->transform.translate(dx, dy); }
void Graphics::ResetTransform() { d_->transform.reset(); }

void Graphics::Clear(Argb colour) {
    QPainter* p = d_->Begin();
    if (!p) return;
    p->resetTransform();
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->fillRect(QRect(0, 0, d_->target->Width(), d_->target->Height()), ToQColor(colour));
}

void Graphics::DrawImage(const Image& image, int x, int y) {
    if (image.IsNull()) return;
    if (QPainter* p = d_->Begin()) p->drawImage(QPoint(x, y), QtImage(image));
}

void Graphics::DrawImage(const Image& image, const RectF& dest) {
    if (image.IsNull()) return;
    if (QPainter* p = d_->Begin()) p->drawImage(ToQt(dest), QtImage(image));
}

void Graphics::DrawImage(const Image& image, const RectF& dest, const RectF& src, float opacity) {
    if (image.IsNull() || dest.width <= 0 || dest.height <= 0 || src.width <= 0 || src.height <= 0) return;
    QPainter* p = d_->Begin();
    if (!p) return;
    p->setOpacity(std::clamp(opacity, 0.0f, 1.0f));
    p->drawImage(ToQt(dest), QtImage(image), ToQt(src));
}

void Graphics::DrawImage(const Image& image, const Rect& dest, const Rect& src, float opacity) {
    if (image.IsNull() || dest.IsEmpty() || src.IsEmpty()) return;
    QPainter* p = d_->Begin();
    if (!p) return;
    p->setOpacity(std::clamp(opacity, 0.0f, 1.0f));
    // Whole-pixel parts (nine-grid pieces) are drawn with integer rectangles so
    // that neighbouring pieces meet without seams.
    p->drawImage(QRect(dest.left, dest.top, dest.Width(), dest.Height()), QtImage(image),
                 QRect(src.left, src.top, src.Width(), src.Height()));
}

void Graphics::FillRectangle(const Brush& brush, const RectF& rect) {
    if (QPainter* p = d_->Begin()) p->fillRect(ToQt(rect), ToQBrush(brush));
}

void Graphics::DrawRectangle(const Pen& pen, const RectF& rect) {
    QPainter* p = d_->Begin();
    if (!p) return;
    p->setPen(ToQPen(pen));
    p->setBrush(Qt::NoBrush);
    p->drawRect(ToQt(rect));
}

void Graphics::FillEllipse(const Brush& brush, const RectF& rect) {
    QPainter* p = d_->Begin();
    if (!p) return;
    p->setPen(Qt::NoPen);
    p->setBrush(ToQBrush(brush));
    p->drawEllipse(ToQt(rect));
}

void Graphics::DrawEllipse(const Pen& pen, const RectF& rect) {
    QPainter* p = d_->Begin();
    if (!p) return;
    p->setPen(ToQPen(pen));
    p->setBrush(Qt::NoBrush);
    p->drawEllipse(ToQt(rect));
}

void Graphics::DrawLine(const Pen& pen, float x1, float y1, float x2, float y2) {
    QPainter* p = d_->Begin();
    if (!p) return;
    p->setPen(ToQPen(pen));
    p->drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void Graphics::DrawArc(const Pen& pen, const RectF& rect, float startAngle, float sweepAngle) {
    GraphicsPath path;
    path.AddArc(rect.x, rect.y, rect.width, rect.height, startAngle, sweepAngle);
    DrawPath(pen, path);
}

void Graphics::FillPie(const Brush& brush, const RectF& rect, float startAngle, float sweepAngle) {
    QPainter* p = d_->Begin();
    if (!p) return;
    p->setPen(Qt::NoPen);
    p->setBrush(ToQBrush(brush));
    // Qt angles: 1/16 degree, counter-clockwise.
    p->drawPie(ToQt(rect), static_cast<int>(-startAngle * 16), static_cast<int>(-sweepAngle * 16));
}

void Graphics::FillPolygon(const Brush& brush, const PointF* points, int count) {
    if (!points || count < 3) return;
    GraphicsPath path;
    path.AddPolygon(points, count);
    FillPath(brush, path);
}

void Graphics::FillPath(const Brush& brush, const GraphicsPath& path) {
    if (QPainter* p = d_->Begin()) p->fillPath(path.impl()->path, ToQBrush(brush));
}

void Graphics::DrawPath(const Pen& pen, const GraphicsPath& path) {
    if (QPainter* p = d_->Begin()) p->strokePath(path.impl()->path, ToQPen(pen));
}

void Graphics::DrawString(const std::wstring& text, const Font& font, const RectF& layout,
                          const StringFormat& format, const Brush& brush) {
    if (text.empty()) return;
    QPainter* p = d_->Begin();
    if (!p) return;
    p->setFont(QtFont(font));
    p->setPen(QPen(ToQBrush(brush), 1));
    const QString qs = QString::fromStdWString(text);
    if (layout.width <= 0 || layout.height <= 0) {
        const QFontMetricsF fm(p->font());
        p->drawText(QPointF(layout.x, layout.y + fm.ascent()), qs);
        return;
    }
    if (!(format.flags & kStringFormatNoClip)) p->setClipRect(ToQt(layout), Qt::IntersectClip);
    p->drawText(ToQt(layout), ToQtTextFlags(format), qs);
}

void Graphics::DrawString(const std::wstring& text, const Font& font, PointF origin, const Brush& brush) {
    DrawString(text, font, RectF(origin.x, origin.y, 0, 0), StringFormat(), brush);
}

RectF Graphics::MeasureString(const std::wstring& text, const Font& font, const RectF& layout,
                              const StringFormat& format) const {
    const QFontMetricsF fm(QtFont(font));
    const QString qs = QString::fromStdWString(text);
    StringFormat f = format;
    if (layout.width <= 0) f.flags |= kStringFormatNoWrap;
    const qreal w = layout.width > 0 ? layout.width : 1e6;
    const qreal h = layout.height > 0 ? layout.height : 1e6;
    f.alignment = StringAlignment::Near;
    f.lineAlignment = StringAlignment::Near;
    const QRectF r = fm.boundingRect(QRectF(layout.x, layout.y, w, h), ToQtTextFlags(f), qs);
    return RectF(layout.x, layout.y, float(r.width()), float(r.height()));
}

}  // namespace platform::draw
