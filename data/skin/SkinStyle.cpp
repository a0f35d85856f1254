#include "SkinStyle.h"

#include <QLinearGradient>

namespace skin {

QImage NewImage(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage Strip(int cellW, int cellH, int cells, const std::function<void(QPainter&, int)>& draw) {
    QImage img = NewImage(cellW * cells, cellH);
    QPainter p(&img);
    Smooth(p);
    for (int i = 0; i < cells; ++i) {
        p.save();
        p.setClipRect(i * cellW, 0, cellW, cellH);
        p.translate(i * cellW, 0);
        draw(p, i);
        p.restore();
    }
    return img;
}

void Smooth(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

void Panel(QPainter& p, const QRectF& r, qreal radius, const QColor& top, const QColor& bottom,
           const QColor& border) {
    // Half-pixel inset so the 1-pixel border covers whole pixels.
    const QRectF inner = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(inner.topLeft(), inner.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(border.alpha() ? QPen(border, 1.0) : QPen(Qt::NoPen));
    p.setBrush(g);
    p.drawRoundedRect(inner, radius, radius);
}

void ButtonFace(QPainter& p, const QRectF& r, qreal radius, int state, bool accent) {
    using namespace colour;
    if (accent) {
        switch (state) {
        case kNormal: Panel(p, r, radius, kAccent, kAccentLo, kAccentHi.darker(115)); break;
        case kHover: Panel(p, r, radius, kAccentHi, kAccent, kAccentHi); break;
        case kPressed: Panel(p, r, radius, kAccentLo, kAccentLo.darker(120), kAccent); break;
        default: Panel(p, r, radius, kFaceDisabled, kFaceDisabled, kBorderDisabled); break;
        }
        return;
    }
    switch (state) {
    case kNormal: Panel(p, r, radius, kFaceTop, kFace, kBorder); break;
    case kHover: Panel(p, r, radius, kFaceHover, kFaceTop, kAccent); break;
    case kPressed: Panel(p, r, radius, kAccentLo, kAccentLo.darker(130), kAccent); break;
    default: Panel(p, r, radius, kFaceDisabled, kFaceDisabled, kBorderDisabled); break;
    }
}

QFont UiFont(int px, bool bold) {
    QFont f(QStringLiteral("Open Sans"));
    f.setPixelSize(px);
    f.setWeight(bold ? QFont::Bold : QFont::DemiBold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

}  // namespace skin
