// Private: conversions from the drawing layer's values to Qt's.
#pragma once

#include <QBrush>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QString>

#include "platform/draw/Brush.h"
#include "platform/draw/GraphicsPath.h"
#include "platform/draw/StringFormat.h"

namespace platform::draw {

struct GraphicsPath::Impl {
    QPainterPath path;
};

inline QRectF ToQt(const RectF& r) { return QRectF(r.x, r.y, r.width, r.height); }
inline QColor ToQColor(Argb c) { return QColor::fromRgba(c); }

QBrush ToQBrush(const Brush& brush);
QPen ToQPen(const Pen& pen);
// Qt text flags for a string format (alignment, wrapping).
int ToQtTextFlags(const StringFormat& format);

}  // namespace platform::draw
