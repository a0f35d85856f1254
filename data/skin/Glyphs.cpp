#include "Glyphs.h"

#include <QPainterPath>
#include <QPen>

#include <cmath>

namespace skin {
namespace {

QPainterPath Polyline(std::initializer_list<QPointF> pts, bool close = false) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& pt : pts) {
        if (first) path.moveTo(pt);
        else path.lineTo(pt);
        first = false;
    }
    if (close) path.closeSubpath();
    return path;
}

QPainterPath Speaker() {
    return Polyline({{3, 9}, {7, 9}, {12, 4.5}, {12, 19.5}, {7, 15}, {3, 15}}, true);
}

}  // namespace

void DrawGlyph(QPainter& p, Glyph glyph, const QRectF& box, const QColor& colour, qreal stroke) {
    const qreal side = std::min(box.width(), box.height());
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    p.scale(side / 24.0, side / 24.0);
    QPen pen(colour, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    auto fill = [&](const QPainterPath& path) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPath(path);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
    };

    switch (glyph) {
    case Glyph::Home:
        p.drawPath(Polyline({{3, 11.5}, {12, 4}, {21, 11.5}}));
        p.drawPath(Polyline({{5.5, 10}, {5.5, 20}, {18.5, 20}, {18.5, 10}}));
        p.drawPath(Polyline({{10, 20}, {10, 14.5}, {14, 14.5}, {14, 20}}));
        break;
    case Glyph::Keyboard: {
        p.drawRoundedRect(QRectF(2.5, 6, 19, 12), 2, 2);
        const qreal keyW = 1.6;
        for (int i = 0; i < 5; ++i) p.drawPoint(QPointF(5.5 + i * 3.25, 9.5));
        for (int i = 0; i < 4; ++i) p.drawPoint(QPointF(7 + i * 3.25, 12.2));
        p.drawLine(QPointF(8, 15), QPointF(16, 15));
        (void)keyW;
        break;
    }
    case Glyph::Macro:
        // A record dot inside a loop arrow: recorded steps played back.
        p.drawArc(QRectF(3.5, 3.5, 17, 17), 60 * 16, 300 * 16);
        p.drawPath(Polyline({{16.5, 2.8}, {20.2, 4.8}, {18.2, 8.4}}));
        fill([] { QPainterPath c; c.addEllipse(QPointF(12, 12), 3.6, 3.6); return c; }());
        break;
    case Glyph::Light:
        p.drawEllipse(QPointF(12, 12), 4.2, 4.2);
        for (int i = 0; i < 8; ++i) {
            const qreal a = i * M_PI / 4;
            p.drawLine(QPointF(12 + 7 * std::cos(a), 12 + 7 * std::sin(a)),
                       QPointF(12 + 9.5 * std::cos(a), 12 + 9.5 * std::sin(a)));
        }
        break;
    case Glyph::Config: {
        QPainterPath gear;
        const int teeth = 8;
        for (int i = 0; i < teeth * 2; ++i) {
            const qreal a0 = (i - 0.5) * M_PI / teeth, a1 = (i + 0.5) * M_PI / teeth;
            const qreal r = (i % 2 == 0) ? 9.2 : 7.0;
            const QPointF p0(12 + r * std::cos(a0), 12 + r * std::sin(a0));
            const QPointF p1(12 + r * std::cos(a1), 12 + r * std::sin(a1));
            if (i == 0) gear.moveTo(p0);
            else gear.lineTo(p0);
            gear.lineTo(p1);
        }
        gear.closeSubpath();
        p.drawPath(gear);
        p.drawEllipse(QPointF(12, 12), 3, 3);
        break;
    }
    case Glyph::Pc:
        p.drawRoundedRect(QRectF(3, 4, 18, 12), 1.5, 1.5);
        p.drawLine(QPointF(12, 16), QPointF(12, 19.5));
        p.drawLine(QPointF(8, 20), QPointF(16, 20));
        break;
    case Glyph::Calculator:
        p.drawRoundedRect(QRectF(5, 2.5, 14, 19), 2, 2);
        p.drawRect(QRectF(8, 5.5, 8, 3.5));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) p.drawPoint(QPointF(8.5 + c * 3.5, 12.5 + r * 3));
        break;
    case Glyph::Email:
        p.drawRoundedRect(QRectF(3, 6, 18, 12.5), 1.5, 1.5);
        p.drawPath(Polyline({{3.5, 7}, {12, 13}, {20.5, 7}}));
        break;
    case Glyph::Music:
        p.drawPath(Polyline({{9, 17}, {9, 5}, {19, 3}, {19, 15}}));
        fill([] { QPainterPath c; c.addEllipse(QPointF(6.8, 17.3), 2.8, 2.3); c.addEllipse(QPointF(16.8, 15.3), 2.8, 2.3); return c; }());
        break;
    case Glyph::PlayPause:
        fill(Polyline({{3, 5}, {12, 12}, {3, 19}}, true));
        fill([] { QPainterPath c; c.addRect(QRectF(14, 5, 2.6, 14)); c.addRect(QRectF(18.6, 5, 2.6, 14)); return c; }());
        break;
    case Glyph::Stop:
        fill([] { QPainterPath c; c.addRoundedRect(QRectF(6, 6, 12, 12), 1.5, 1.5); return c; }());
        break;
    case Glyph::Prev:
        fill(Polyline({{20, 5}, {10, 12}, {20, 19}}, true));
        fill([] { QPainterPath c; c.addRect(QRectF(5, 5, 2.6, 14)); return c; }());
        break;
    case Glyph::Next:
        fill(Polyline({{4, 5}, {14, 12}, {4, 19}}, true));
        fill([] { QPainterPath c; c.addRect(QRectF(16.4, 5, 2.6, 14)); return c; }());
        break;
    case Glyph::VolDown:
        p.drawPath(Speaker());
        p.drawLine(QPointF(15.5, 12), QPointF(20.5, 12));
        break;
    case Glyph::VolUp:
        p.drawPath(Speaker());
        p.drawLine(QPointF(15.5, 12), QPointF(21, 12));
        p.drawLine(QPointF(18.25, 9.25), QPointF(18.25, 14.75));
        break;
    case Glyph::VolMute:
        p.drawPath(Speaker());
        p.drawLine(QPointF(15.5, 9.5), QPointF(20.5, 14.5));
        p.drawLine(QPointF(20.5, 9.5), QPointF(15.5, 14.5));
        break;
    case Glyph::Refresh:
        p.drawArc(QRectF(4.5, 4.5, 15, 15), 100 * 16, 290 * 16);
        p.drawPath(Polyline({{12.5, 1.8}, {10.3, 4.6}, {13.3, 6.8}}));
        break;
    case Glyph::WebStop:
        p.drawEllipse(QPointF(12, 12), 8.5, 8.5);
        p.drawLine(QPointF(8.8, 8.8), QPointF(15.2, 15.2));
        p.drawLine(QPointF(15.2, 8.8), QPointF(8.8, 15.2));
        break;
    case Glyph::Back:
        p.drawLine(QPointF(4.5, 12), QPointF(19.5, 12));
        p.drawPath(Polyline({{10.5, 6}, {4.5, 12}, {10.5, 18}}));
        break;
    case Glyph::Forward:
        p.drawLine(QPointF(4.5, 12), QPointF(19.5, 12));
        p.drawPath(Polyline({{13.5, 6}, {19.5, 12}, {13.5, 18}}));
        break;
    case Glyph::Star: {
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const qreal a = -M_PI / 2 + i * M_PI / 5;
            const qreal r = (i % 2 == 0) ? 9.5 : 4.2;
            const QPointF pt(12 + r * std::cos(a), 12.8 + r * std::sin(a));
            if (i == 0) star.moveTo(pt);
            else star.lineTo(pt);
        }
        star.closeSubpath();
        p.drawPath(star);
        break;
    }
    case Glyph::Search:
        p.drawEllipse(QPointF(10.5, 10.5), 6, 6);
        p.drawLine(QPointF(15, 15), QPointF(20, 20));
        break;
    case Glyph::Plus:
        p.drawLine(QPointF(12, 5), QPointF(12, 19));
        p.drawLine(QPointF(5, 12), QPointF(19, 12));
        break;
    case Glyph::Trash:
        p.drawLine(QPointF(4.5, 6.5), QPointF(19.5, 6.5));
        p.drawPath(Polyline({{9.5, 6.5}, {9.5, 4}, {14.5, 4}, {14.5, 6.5}}));
        p.drawPath(Polyline({{6.5, 6.5}, {7.5, 20}, {16.5, 20}, {17.5, 6.5}}));
        p.drawLine(QPointF(10.5, 10), QPointF(10.5, 16.5));
        p.drawLine(QPointF(13.5, 10), QPointF(13.5, 16.5));
        break;
    case Glyph::Pencil:
        p.drawPath(Polyline({{4.5, 19.5}, {5.5, 15}, {15.5, 5}, {19, 8.5}, {9, 18.5}}, true));
        p.drawLine(QPointF(13, 7.5), QPointF(16.5, 11));
        break;
    case Glyph::Import:
        p.drawPath(Polyline({{4, 14}, {4, 20}, {20, 20}, {20, 14}}));
        p.drawLine(QPointF(12, 3.5), QPointF(12, 15));
        p.drawPath(Polyline({{7.5, 10.5}, {12, 15}, {16.5, 10.5}}));
        break;
    case Glyph::Export:
        p.drawPath(Polyline({{4, 14}, {4, 20}, {20, 20}, {20, 14}}));
        p.drawLine(QPointF(12, 15), QPointF(12, 3.5));
        p.drawPath(Polyline({{7.5, 8}, {12, 3.5}, {16.5, 8}}));
        break;
    case Glyph::Clock:
        p.drawEllipse(QPointF(12, 12), 8.5, 8.5);
        p.drawPath(Polyline({{12, 7}, {12, 12}, {15.5, 14}}));
        break;
    case Glyph::ArrowUp:
        p.drawPath(Polyline({{6, 15}, {12, 9}, {18, 15}}));
        break;
    case Glyph::ArrowDown:
        p.drawPath(Polyline({{6, 9}, {12, 15}, {18, 9}}));
        break;
    case Glyph::ArrowLeft:
        p.drawPath(Polyline({{15, 6}, {9, 12}, {15, 18}}));
        break;
    case Glyph::ArrowRight:
        p.drawPath(Polyline({{9, 6}, {15, 12}, {9, 18}}));
        break;
    case Glyph::Close:
        p.drawLine(QPointF(6.5, 6.5), QPointF(17.5, 17.5));
        p.drawLine(QPointF(17.5, 6.5), QPointF(6.5, 17.5));
        break;
    case Glyph::Minimise:
        p.drawLine(QPointF(6, 12.5), QPointF(18, 12.5));
        break;
    case Glyph::Globe:
        p.drawEllipse(QPointF(12, 12), 8.5, 8.5);
        p.drawEllipse(QPointF(12, 12), 3.8, 8.5);
        p.drawLine(QPointF(3.5, 12), QPointF(20.5, 12));
        p.drawPath([] {
            QPainterPath a;
            a.moveTo(5, 7.5);
            a.quadTo(12, 9.5, 19, 7.5);
            a.moveTo(5, 16.5);
            a.quadTo(12, 14.5, 19, 16.5);
            return a;
        }());
        break;
    case Glyph::Usb:
        p.drawLine(QPointF(12, 3), QPointF(12, 19));
        p.drawPath(Polyline({{9.5, 5.5}, {12, 2.5}, {14.5, 5.5}}));
        p.drawPath(Polyline({{12, 14}, {7, 11}, {7, 8.5}}));
        p.drawPath(Polyline({{12, 12}, {17, 9}, {17, 7}}));
        p.drawRect(QRectF(15.8, 5, 2.4, 2.2));
        fill([] { QPainterPath c; c.addEllipse(QPointF(7, 7.5), 1.5, 1.5); c.addEllipse(QPointF(12, 19.5), 2.2, 2.2); return c; }());
        break;
    case Glyph::Wireless:
        fill([] { QPainterPath c; c.addEllipse(QPointF(12, 18.5), 1.9, 1.9); return c; }());
        p.drawArc(QRectF(7, 11, 10, 10), 45 * 16, 90 * 16);
        p.drawArc(QRectF(3.5, 7.5, 17, 17), 45 * 16, 90 * 16);
        p.drawArc(QRectF(0, 4, 24, 24), 45 * 16, 90 * 16);
        break;
    case Glyph::Bolt:
        fill(Polyline({{13.5, 2}, {5, 13.5}, {11, 13.5}, {9.5, 22}, {19, 9.5}, {13, 9.5}}, true));
        break;
    case Glyph::Check:
        p.drawPath(Polyline({{5, 12.5}, {10, 17.5}, {19, 7}}));
        break;
    case Glyph::Chevron:
        p.drawPath(Polyline({{7, 10}, {12, 15}, {17, 10}}));
        break;
    }
    p.restore();
}

}  // namespace skin
