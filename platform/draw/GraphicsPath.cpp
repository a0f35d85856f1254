#include "platform/draw/GraphicsPath.h"

#include <QFontMetricsF>
#include <QTextLayout>

#include "platform/draw/Font.h"
#include "platform/draw/QtAccess.h"
#include "platform/draw/QtConvert.h"

namespace platform::draw {

GraphicsPath::GraphicsPath() : d_(std::make_unique<Impl>()) {}
GraphicsPath::GraphicsPath(const GraphicsPath& o) : d_(std::make_unique<Impl>(*o.d_)) {}
GraphicsPath& GraphicsPath::operator=(const GraphicsPath& o) {
    *d_ = *o.d_;
    return *this;
}
GraphicsPath::~GraphicsPath() = default;

void GraphicsPath::StartFigure() {
    // A new figure begins at the next point added; Qt starts one at each moveTo.
    if (!d_->path.isEmpty()) d_->path.moveTo(d_->path.currentPosition());
}

void GraphicsPath::CloseFigure() { d_->path.closeSubpath(); }

namespace {
void LineOrMove(QPainterPath& path, QPointF p) {
    // Joining the previous figure's end to this point keeps one figure, as GDI+
    // does when shapes are added in a row without StartFigure.
    if (path.elementCount() == 0) path.moveTo(p);
    else path.lineTo(p);
}
}  // namespace

void GraphicsPath::AddLine(float x1, float y1, float x2, float y2) {
    LineOrMove(d_->path, QPointF(x1, y1));
    d_->path.lineTo(x2, y2);
}

void GraphicsPath::AddArc(float x, float y, float w, float h, float startAngle, float sweepAngle) {
    // Qt measures angles counter-clockwise, GDI+ clockwise on screen.
    QPainterPath arc;
    arc.arcMoveTo(x, y, w, h, -startAngle);
    const QPointF start = arc.currentPosition();
    LineOrMove(d_->path, start);
    d_->path.arcTo(x, y, w, h, -startAngle, -sweepAngle);
}

void GraphicsPath::AddBezier(PointF p1, PointF c1, PointF c2, PointF p2) {
    LineOrMove(d_->path, QPointF(p1.x, p1.y));
    d_->path.cubicTo(c1.x, c1.y, c2.x, c2.y, p2.x, p2.y);
}

void GraphicsPath::AddRectangle(const RectF& rect) { d_->path.addRect(ToQt(rect)); }
void GraphicsPath::AddEllipse(const RectF& rect) { d_->path.addEllipse(ToQt(rect)); }

void GraphicsPath::AddPolygon(const PointF* points, int count) {
    if (!points || count < 2) return;
    d_->path.moveTo(points[0].x, points[0].y);
    for (int i = 1; i < count; ++i) d_->path.lineTo(points[i].x, points[i].y);
    d_->path.closeSubpath();
}

void GraphicsPath::AddString(const std::wstring& text, const FontFamily& family, int style,
                             float emSizePx, const RectF& layout, const StringFormat& format) {
    if (text.empty()) return;
    const QFont font = QtFont(Font(family, emSizePx, style));
    const QFontMetricsF fm(font);
    const QString qs = QString::fromStdWString(text);
    const bool wrap = !(format.flags & kStringFormatNoWrap) && layout.width > 0;

    // Lay the text out line by line so the outline sits where DrawString puts it.
    QTextLayout textLayout(qs, font);
    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    textLayout.setTextOption(option);
    textLayout.beginLayout();
    std::vector<QTextLine> lines;
    qreal y = 0;
    for (;;) {
        QTextLine line = textLayout.createLine();
        if (!line.isValid()) break;
        if (wrap) line.setLineWidth(layout.width);
        line.setPosition(QPointF(0, y));
        y += fm.lineSpacing();
        lines.push_back(line);
    }
    textLayout.endLayout();
    const qreal total = y;
    qreal top = layout.y;
    if (layout.height > 0) {
        if (format.lineAlignment == StringAlignment::Center) top += (layout.height - total) / 2;
        else if (format.lineAlignment == StringAlignment::Far) top += layout.height - total;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const QTextLine& line = lines[i];
        const QString part = qs.mid(line.textStart(), line.textLength());
        const qreal width = line.naturalTextWidth();
        qreal x = layout.x;
        if (layout.width > 0) {
            if (format.alignment == StringAlignment::Center) x += (layout.width - width) / 2;
            else if (format.alignment == StringAlignment::Far) x += layout.width - width;
        }
        d_->path.addText(QPointF(x, top + line.y() + fm.ascent()), font, part);
    }
}

RectF GraphicsPath::GetBounds() const {
    const QRectF r = d_->path.boundingRect();
    return RectF(float(r.x()), float(r.y()), float(r.width()), float(r.height()));
}

bool GraphicsPath::IsEmpty() const { return d_->path.isEmpty(); }

}  // namespace platform::draw
