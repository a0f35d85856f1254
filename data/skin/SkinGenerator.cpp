// Draws every skin image of the program into a skin folder, under the names and
// with the state cells the controls expect, plus the toolkit's two built-in scroll
// bar images. Run by the build; see usage() for the arguments.
//
// Each image states its cell count; the manifest written beside lists them so the
// tests can check names, sizes and cells against the code that loads them.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QRadialGradient>
#include <QConicalGradient>
#include <QTextStream>

#include <cmath>
#include <cstring>
#include <cstdio>
#include <vector>

#include "Glyphs.h"
#include "IcoWriter.h"
#include "SkinStyle.h"
#include "platform/draw/GifWriter.h"
#include "platform/draw/Image.h"

using namespace skin;
using namespace skin::colour;

namespace {

struct Entry {
    QString name;
    int cells;
    int width;
    int height;
};

class Output {
public:
    explicit Output(QString dir) : dir_(std::move(dir)) {}

    bool Save(const QString& name, const QImage& img, int cells) {
        const QString path = dir_ + "/" + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!img.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok_ = false;
            return false;
        }
        entries_.push_back({name, cells, img.width(), img.height()});
        return true;
    }

    bool SaveGif(const QString& name, const std::vector<QImage>& frames, int delayMs) {
        const QString path = dir_ + "/" + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        std::vector<std::unique_ptr<platform::draw::Image>> images;
        std::vector<const platform::draw::Image*> ptrs;
        std::vector<int> delays;
        for (const QImage& f : frames) {
            const QImage argb = f.convertToFormat(QImage::Format_ARGB32);
            std::vector<platform::draw::Argb> px(static_cast<size_t>(argb.width()) * argb.height());
            for (int y = 0; y < argb.height(); ++y)
                std::memcpy(&px[static_cast<size_t>(y) * argb.width()], argb.constScanLine(y), argb.width() * 4);
            images.push_back(platform::draw::Image::FromArgb(argb.width(), argb.height(), px.data()));
            ptrs.push_back(images.back().get());
            delays.push_back(delayMs);
        }
        if (!platform::draw::SaveGif(ptrs, delays, path.toStdWString())) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok_ = false;
            return false;
        }
        entries_.push_back({name, 1, frames[0].width(), frames[0].height()});
        return true;
    }

    bool SaveIco(const QString& name, const std::vector<QImage>& sizes) {
        const QString path = dir_ + "/" + name;
        if (!WriteIco(sizes, path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok_ = false;
            return false;
        }
        entries_.push_back({name, 1, sizes.back().width(), sizes.back().height()});
        return true;
    }

    bool WriteManifest(const QString& path) const {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
        QTextStream out(&f);
        out << "# name cells width height\n";
        for (const Entry& e : entries_) out << e.name << ' ' << e.cells << ' ' << e.width << ' ' << e.height << '\n';
        return true;
    }

    bool ok() const { return ok_; }

private:
    QString dir_;
    std::vector<Entry> entries_;
    bool ok_ = true;
};

QColor Mix(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

QColor GlyphColour(int state) {
    switch (state) {
    case kHover: return kWhite;
    case kPressed: return kAccentHi;
    case kDisabled: return kGlyphDisabled;
    default: return kGlyph;
    }
}

// ---------------------------------------------------------------- window parts

QImage MainBackground() {
    QImage img = NewImage(1280, 720);
    QPainter p(&img);
    Smooth(p);
    QLinearGradient base(0, 0, 0, 720);
    base.setColorAt(0, QColor(0x0A, 0x11, 0x1F));
    base.setColorAt(1, QColor(0x05, 0x08, 0x10));
    p.fillRect(img.rect(), base);
    // A faint red glow behind the caption and a cool one in the far corner give
    // depth without competing with the controls.
    QRadialGradient glowRed(QPointF(640, 40), 520);
    glowRed.setColorAt(0, QColor(0xE8, 0x24, 0x3A, 34));
    glowRed.setColorAt(1, QColor(0xE8, 0x24, 0x3A, 0));
    p.fillRect(img.rect(), glowRed);
    QRadialGradient glowBlue(QPointF(1180, 700), 600);
    glowBlue.setColorAt(0, QColor(0x1E, 0x4A, 0x8C, 40));
    glowBlue.setColorAt(1, QColor(0x1E, 0x4A, 0x8C, 0));
    p.fillRect(img.rect(), glowBlue);
    // A sparse dot grid.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8A, 0xA0, 0xC8, 14));
    for (int y = 70; y < 720; y += 24)
        for (int x = 12; x < 1280; x += 24) p.drawEllipse(QPointF(x, y), 0.9, 0.9);
    return img;
}

QImage Caption() {
    QImage img = NewImage(1278, 49);
    QPainter p(&img);
    Smooth(p);
    QLinearGradient g(0, 0, 0, 49);
    g.setColorAt(0, QColor(0x13, 0x1D, 0x31));
    g.setColorAt(1, QColor(0x0D, 0x15, 0x25));
    p.fillRect(img.rect(), g);
    p.fillRect(QRect(0, 48, 1278, 1), QColor(0x22, 0x30, 0x4A));
    // Red accent line under the title, fading out to both sides.
    QLinearGradient accent(339, 0, 939, 0);
    accent.setColorAt(0, QColor(0xE8, 0x24, 0x3A, 0));
    accent.setColorAt(0.5, QColor(0xE8, 0x24, 0x3A, 230));
    accent.setColorAt(1, QColor(0xE8, 0x24, 0x3A, 0));
    p.fillRect(QRect(339, 47, 600, 2), accent);
    return img;
}

QImage SysButton(Glyph glyph, bool danger, int cell) {
    return Strip(cell, cell, 4, [&](QPainter& p, int s) {
        const QRectF r(2, 2, cell - 4, cell - 4);
        if (s == kHover || s == kPressed) {
            p.setPen(Qt::NoPen);
            QColor bg = danger ? (s == kHover ? kAccent : kAccentLo) : (s == kHover ? kFaceHover : kFacePressed);
            p.setBrush(bg);
            p.drawRoundedRect(r, kRadius, kRadius);
        }
        const QColor c = s == kDisabled ? kGlyphDisabled : (s == kNormal ? kGlyphDim : kWhite);
        DrawGlyph(p, glyph, QRectF(cell * 0.2, cell * 0.2, cell * 0.6, cell * 0.6), c, 2.0);
    });
}

// Square tool buttons with a pictogram (profile and record-step tools).
QImage ToolButton(Glyph glyph, int cell) {
    return Strip(cell, cell, 4, [&](QPainter& p, int s) {
        const QRectF r(0, 0, cell, cell);
        const QColor border = s == kHover ? kAccent : s == kPressed ? kAccent : s == kDisabled ? kBorderDisabled : kBorder;
        const QColor top = s == kHover ? kFaceHover : s == kPressed ? kAccentLo : s == kDisabled ? kFaceDisabled : kFaceTop;
        const QColor bottom = s == kHover ? kFaceTop : s == kPressed ? kAccentLo.darker(130) : s == kDisabled ? kFaceDisabled : kFace;
        Panel(p, r, cell >= 28 ? kRadius : kRadiusSmall, top, bottom, border);
        const QColor c = s == kDisabled ? kGlyphDisabled : (s == kNormal ? kGlyph : kWhite);
        const qreal inset = cell * 0.2;
        DrawGlyph(p, glyph, r.adjusted(inset, inset, -inset, -inset), c, cell >= 28 ? 2.0 : 2.3);
    });
}

// ---------------------------------------------------------------- push buttons

QImage PushButton(int w, int h, bool accent) {
    return Strip(w, h, 4, [&](QPainter& p, int s) { ButtonFace(p, QRectF(0, 0, w, h), kRadius, s, accent); });
}

QImage LayerButton(bool chosen) {
    // The chosen layer shows as a filled red tab, the other as a quiet outline.
    return Strip(150, 30, 4, [&](QPainter& p, int s) {
        const QRectF r(0, 0, 150, 30);
        if (chosen) ButtonFace(p, r, kRadius, s, true);
        else ButtonFace(p, r, kRadius, s, false);
    });
}

// ---------------------------------------------------------------- check buttons

// Eight cells: unchecked normal, hover, pressed, disabled, then the same checked.
QImage CheckBox(bool round) {
    const int size = 20;
    return Strip(size, size, 8, [&](QPainter& p, int cell) {
        const bool checked = cell >= 4;
        const int s = cell % 4;
        const QRectF r(1, 1, size - 2, size - 2);
        QColor top, bottom, border;
        if (!checked) {
            top = s == kDisabled ? kFaceDisabled : s == kPressed ? kFacePressed : s == kHover ? kFaceHover : kFace;
            bottom = s == kDisabled ? kFaceDisabled : kFacePressed;
            border = s == kDisabled ? kBorderDisabled : (s == kNormal ? kBorderHover : kAccent);
        } else {
            top = s == kDisabled ? QColor(0x3A, 0x22, 0x2A) : s == kHover ? kAccentHi : s == kPressed ? kAccentLo : kAccent;
            bottom = s == kDisabled ? QColor(0x30, 0x1E, 0x26) : s == kPressed ? kAccentLo.darker(120) : kAccentLo;
            border = s == kDisabled ? QColor(0x4A, 0x2C, 0x36) : kAccentHi;
        }
        if (round) {
            const QRectF inner = r.adjusted(0.5, 0.5, -0.5, -0.5);
            QLinearGradient g(inner.topLeft(), inner.bottomLeft());
            g.setColorAt(0, checked ? kFace : top);
            g.setColorAt(1, checked ? kFacePressed : bottom);
            p.setPen(QPen(checked ? border : border, 1.0));
            p.setBrush(g);
            p.drawEllipse(inner);
            if (checked) {
                QLinearGradient dot(0, 5, 0, 15);
                dot.setColorAt(0, top);
                dot.setColorAt(1, bottom);
                p.setPen(Qt::NoPen);
                p.setBrush(dot);
                p.drawEllipse(QPointF(size / 2.0, size / 2.0), 4.6, 4.6);
            }
        } else {
            Panel(p, r, kRadiusSmall, top, bottom, border);
            if (checked) DrawGlyph(p, Glyph::Check, r.adjusted(2, 2, -2, -2), s == kDisabled ? kGlyphDisabled : kWhite, 3.0);
        }
    });
}

// Direction choices: 30 x 30 square toggles with an arrow, red when checked.
QImage DirectionButton(Glyph arrow) {
    const int size = 30;
    return Strip(size, size, 8, [&](QPainter& p, int cell) {
        const bool checked = cell >= 4;
        const int s = cell % 4;
        const QRectF r(0, 0, size, size);
        ButtonFace(p, r, kRadius, s, checked);
        const QColor c = s == kDisabled ? kGlyphDisabled : checked || s != kNormal ? kWhite : kGlyph;
        DrawGlyph(p, arrow, r.adjusted(5, 5, -5, -5), c, 2.6);
    });
}

// ---------------------------------------------------------------- colour swatches

void Swatch(QPainter& p, const QRectF& r, const QBrush& brush, int s) {
    p.setPen(QPen(s == kDisabled ? kBorderDisabled : QColor(0, 0, 0, 120), 1.0));
    p.setBrush(brush);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), kRadiusSmall, kRadiusSmall);
    if (s == kDisabled) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x0B, 0x12, 0x21, 170));
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), kRadiusSmall, kRadiusSmall);
    }
}

QImage RainbowSwatch() {
    return Strip(30, 30, 4, [&](QPainter& p, int s) {
        QConicalGradient g(QPointF(15, 15), 90);
        const QColor stops[] = {QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 255, 0), QColor(0, 255, 255),
                                QColor(0, 0, 255), QColor(255, 0, 255), QColor(255, 0, 0)};
        for (int i = 0; i < 7; ++i) g.setColorAt(i / 6.0, stops[i]);
        Swatch(p, QRectF(0, 0, 30, 30), g, s);
    });
}

QImage GradientSwatch(const QColor& a, const QColor& b) {
    return Strip(30, 30, 4, [&](QPainter& p, int s) {
        QLinearGradient g(0, 30, 30, 0);
        g.setColorAt(0, a);
        g.setColorAt(1, b);
        Swatch(p, QRectF(0, 0, 30, 30), g, s);
    });
}

// ---------------------------------------------------------------- fields

// Combo box: nine-grid with sides 10 / 10 / 36 / 10; the drop arrow sits in the
// 36-pixel right side, which is only stretched vertically (the box is 38 high).
QImage ComboBox() {
    const int w = 80, h = 38;
    return Strip(w, h, 4, [&](QPainter& p, int s) {
        const QRectF r(0, 0, w, h);
        const QColor border = s == kHover ? kBorderHover : s == kPressed ? kAccent : s == kDisabled ? kBorderDisabled : kBorder;
        const QColor face = s == kDisabled ? kFaceDisabled : s == kHover ? kFaceTop : kFace;
        Panel(p, r, kRadius, face, s == kDisabled ? kFaceDisabled : kFacePressed, border);
        p.setPen(QPen(s == kDisabled ? kBorderDisabled : kBorder, 1.0));
        p.drawLine(QPointF(w - 32.5, 8), QPointF(w - 32.5, h - 8));
        const QColor c = s == kDisabled ? kGlyphDisabled : s == kPressed ? kAccentHi : s == kHover ? kWhite : kGlyphDim;
        DrawGlyph(p, s == kPressed ? Glyph::ArrowUp : Glyph::Chevron, QRectF(w - 28, h / 2.0 - 8, 16, 16), c, 2.4);
    });
}

// Edit field: normal, hover, editing (red focus ring), disabled; nine-grid corner 4.
QImage EditField() {
    const int w = 60, h = 30;
    return Strip(w, h, 4, [&](QPainter& p, int s) {
        const QRectF r(0, 0, w, h);
        const QColor border = s == kHover ? kBorderHover : s == kPressed ? kAccent : s == kDisabled ? kBorderDisabled : kBorder;
        const QColor face = s == kDisabled ? kFaceDisabled : QColor(0x06, 0x18, 0x35).darker(130);
        Panel(p, r, kRadiusSmall, face, face, border);
        if (s == kPressed) {
            p.setPen(QPen(QColor(0xE8, 0x24, 0x3A, 70), 1.0));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), kRadiusSmall - 1, kRadiusSmall - 1);
        }
    });
}

// Vertical scroll bar: four cells side by side (track, thumb under the mouse,
// thumb, unused); caps of 6 pixels at both ends stay unstretched.
QImage ScrollVertical(int cellW, int h) {
    return Strip(cellW, h, 4, [&](QPainter& p, int c) {
        const qreal inset = cellW >= 8 ? 1.5 : 1.0;
        const QRectF bar(inset, 1, cellW - 2 * inset, h - 2);
        const qreal rad = bar.width() / 2;
        p.setPen(Qt::NoPen);
        if (c == 0) p.setBrush(QColor(0x0B, 0x12, 0x21, 200));
        else if (c == 1) p.setBrush(kAccent);
        else if (c == 2) p.setBrush(QColor(0x4A, 0x5E, 0x82));
        else p.setBrush(kBorderDisabled);
        p.drawRoundedRect(bar, rad, rad);
    });
}

// Horizontal scroll bar: the four cells are stacked (cell height = height / 4).
QImage ScrollHorizontal(int w, int cellH) {
    QImage v = ScrollVertical(cellH, w);
    // Rotate every cell of the vertical strip into a row of the horizontal one.
    QImage out = NewImage(w, cellH * 4);
    QPainter p(&out);
    for (int c = 0; c < 4; ++c) {
        const QImage cell = v.copy(c * cellH, 0, cellH, w);
        QTransform t;
        t.rotate(-90);
        p.drawImage(0, c * cellH, cell.transformed(t));
    }
    return out;
}

QImage SliderTrack() {
    // Upper half: the filled part; lower half: the empty track.
    const int w = 228, half = 6;
    QImage img = NewImage(w, half * 2);
    QPainter p(&img);
    Smooth(p);
    QLinearGradient fill(0, 0, w, 0);
    fill.setColorAt(0, kAccentLo);
    fill.setColorAt(1, kAccentHi);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0, 0.5, w, half - 1), 2.5, 2.5);
    p.setBrush(QColor(0x05, 0x0A, 0x14));
    p.setPen(QPen(kBorder, 1.0));
    p.drawRoundedRect(QRectF(0.5, half + 0.5, w - 1, half - 1), 2.5, 2.5);
    return img;
}

// Slider thumb: 36 x 36 cells with the knob centred on the track line (y 18).
QImage SliderThumb() {
    return Strip(36, 36, 4, [&](QPainter& p, int s) {
        const QPointF c(18, 18);
        p.setPen(Qt::NoPen);
        if (s == kHover || s == kPressed) {
            p.setBrush(QColor(0xE8, 0x24, 0x3A, 60));
            p.drawEllipse(c, 13, 13);
        }
        QRadialGradient g(QPointF(16, 15), 11);
        g.setColorAt(0, s == kDisabled ? kGlyphDisabled : kWhite);
        g.setColorAt(1, s == kDisabled ? kBorderDisabled : QColor(0xC9, 0xD1, 0xDE));
        p.setBrush(g);
        p.setPen(QPen(s == kDisabled ? kBorderDisabled : (s == kNormal ? kAccentLo : kAccent), 2.0));
        p.drawEllipse(c, 8, 8);
        p.setPen(Qt::NoPen);
        p.setBrush(s == kDisabled ? kBorderDisabled : kAccent);
        p.drawEllipse(c, 2.6, 2.6);
    });
}

QImage SpinArrow(bool up) {
    return Strip(14, 11, 4, [&](QPainter& p, int s) {
        DrawGlyph(p, up ? Glyph::ArrowUp : Glyph::ArrowDown, QRectF(0, -1.5, 14, 14), GlyphColour(s), 3.0);
    });
}

QImage PaletteThumb() {
    return Strip(12, 10, 4, [&](QPainter& p, int s) {
        QPainterPath tri;
        tri.moveTo(1, 1);
        tri.lineTo(11, 5);
        tri.lineTo(1, 9);
        tri.closeSubpath();
        p.setPen(QPen(QColor(0, 0, 0, 160), 1.0));
        p.setBrush(s == kHover || s == kPressed ? kAccent : s == kDisabled ? kGlyphDisabled : kWhite);
        p.drawPath(tri);
    });
}

// ---------------------------------------------------------------- lists, tabs, tips

// List row marker: cell 0 normal, cell 1 selected.
QImage RowMarker() {
    return Strip(14, 14, 2, [&](QPainter& p, int c) {
        if (c == 0) {
            p.setPen(QPen(kGlyphDim, 1.6));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(7, 7), 4.2, 4.2);
        } else {
            p.setPen(QPen(kWhite, 1.6));
            p.setBrush(kAccent);
            p.drawEllipse(QPointF(7, 7), 5, 5);
        }
    });
}

// Device list rows: cell 0 a device that is listed but absent, cell 1 one found.
QImage DeviceState() {
    return Strip(60, 38, 2, [&](QPainter& p, int c) {
        const QRectF r(0, 0, 60, 38);
        if (c == 1) {
            Panel(p, r, 8, kFaceHover, kFaceTop, kAccent);
            p.setPen(Qt::NoPen);
            p.setBrush(kAccent);
            p.drawRoundedRect(QRectF(4, 9, 3, 20), 1.5, 1.5);
        } else {
            Panel(p, r, 8, kBgRaised, kBgRaised, kBorderDisabled);
        }
    });
}

// Key function buttons: normal, hover, checked or current, unused.
QImage KeyFunctionButton() {
    return Strip(40, 28, 4, [&](QPainter& p, int s) {
        const QRectF r(0, 0, 40, 28);
        switch (s) {
        case 0: Panel(p, r, kRadiusSmall, kFaceTop, kFace, kBorder); break;
        case 1: Panel(p, r, kRadiusSmall, kFaceHover, kFaceTop, kBorderHover); break;
        case 2: Panel(p, r, kRadiusSmall, kAccent, kAccentLo, kAccentHi); break;
        default: Panel(p, r, kRadiusSmall, kFaceDisabled, kFaceDisabled, kBorderDisabled); break;
        }
    });
}

// Page tab icons: 32 x 32 cells, normal (dim), hover (white), selected (red), unused.
QImage TabIcon(Glyph glyph) {
    return Strip(32, 32, 4, [&](QPainter& p, int s) {
        const QColor c = s == 0 ? kGlyphDim : s == 1 ? kWhite : s == 2 ? kAccent : kGlyphDisabled;
        if (s == 2) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xE8, 0x24, 0x3A, 40));
            p.drawRoundedRect(QRectF(0, 0, 32, 32), 8, 8);
        }
        DrawGlyph(p, glyph, QRectF(4, 4, 24, 24), c, 1.9);
    });
}

QImage SingleIcon(Glyph glyph, int size, const QColor& c, qreal stroke = 1.9) {
    QImage img = NewImage(size, size);
    QPainter p(&img);
    Smooth(p);
    DrawGlyph(p, glyph, QRectF(0, 0, size, size), c, stroke);
    return img;
}

QImage TipBackground() {
    QImage img = NewImage(40, 40);
    QPainter p(&img);
    Smooth(p);
    Panel(p, QRectF(0, 0, 40, 40), 6, QColor(0x1C, 0x2A, 0x43, 245), QColor(0x12, 0x1C, 0x2F, 245), kBorderHover);
    return img;
}

QImage TipArrow(int dir) {
    // 0 left, 1 right, 2 top: a small triangle pointing out of the tip.
    const bool vertical = dir == 2;
    QImage img = NewImage(vertical ? 16 : 8, vertical ? 8 : 16);
    QPainter p(&img);
    Smooth(p);
    QPainterPath tri;
    if (dir == 0) { tri.moveTo(8, 0); tri.lineTo(0, 8); tri.lineTo(8, 16); }
    else if (dir == 1) { tri.moveTo(0, 0); tri.lineTo(8, 8); tri.lineTo(0, 16); }
    else { tri.moveTo(0, 8); tri.lineTo(8, 0); tri.lineTo(16, 8); }
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1C, 0x2A, 0x43, 245));
    p.drawPath(tri);
    return img;
}

QImage PromptBackground() {
    // Message box frame, drawn as a nine-grid with corner 30: keep every feature
    // that must not stretch inside the corners.
    QImage img = NewImage(100, 100);
    QPainter p(&img);
    Smooth(p);
    Panel(p, QRectF(0, 0, 100, 100), kRadiusPanel, QColor(0x14, 0x1F, 0x34), QColor(0x0B, 0x12, 0x21), kBorderHover);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(1, 1, 98, 3), 1.5, 1.5);
    return img;
}

// ---------------------------------------------------------------- device widgets

// Battery outline: body 28 x 16 with a nub; the level image's segments land inside.
QImage BatteryOutline() {
    QImage img = NewImage(32, 16);
    QPainter p(&img);
    Smooth(p);
    p.setPen(QPen(kGlyph, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0.5, 0.5, 27, 15), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kGlyph);
    p.drawRoundedRect(QRectF(28, 5, 3, 6), 1, 1);
    return img;
}

QImage BatteryLevel() {
    // W = 26 gives four 5-pixel segments at x 3, 9, 15 and 21; the fill spans rows
    // 3 to 13 so the low-battery bar (4, 3, m x H - 5) matches it.
    QImage img = NewImage(26, 16);
    QPainter p(&img);
    p.fillRect(QRect(3, 3, 23, 11), QColor(0x3D, 0xD6, 0x8C));
    return img;
}

QImage LinkIcon(Glyph glyph) { return SingleIcon(glyph, 24, kGlyph, 1.9); }

// ---------------------------------------------------------------- colour wheel

// Hue by angle, saturation growing outwards (white in the middle), on a 131-pixel
// disc. The default colour (pure red) lies under the thumb's first place.
QImage ColourWheel() {
    const int size = 131;
    const qreal cx = 65.5, cy = 65.5, radius = 65.0;
    const qreal redAngle = std::atan2(35.0 - cy, 105.0 - cx);
    QImage img = NewImage(size, size);
    for (int y = 0; y < size; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const qreal dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const qreal d = std::sqrt(dx * dx + dy * dy);
            if (d > radius + 0.5) continue;
            qreal hue = std::atan2(dy, dx) - redAngle;
            // Counter-clockwise on screen: red, yellow, green, cyan, blue, magenta.
            hue = std::fmod(-hue * 180.0 / M_PI + 720.0, 360.0);
            const qreal sat = std::min<qreal>(1.0, d / (radius * 0.62));
            QColor c = QColor::fromHsvF(hue / 360.0, sat, 1.0);
            const qreal edge = std::clamp<qreal>(radius + 0.5 - d, 0.0, 1.0);
            c.setAlphaF(edge);
            row[x] = qPremultiply(c.rgba());
        }
    }
    return img;
}

// ---------------------------------------------------------------- brand

void DrawKeycap(QPainter& p, const QRectF& r) {
    // A key cap seen from the front, with a red top face and a "K".
    const qreal rad = r.width() * 0.18;
    p.setPen(Qt::NoPen);
    QLinearGradient side(r.topLeft(), r.bottomLeft());
    side.setColorAt(0, kAccentLo);
    side.setColorAt(1, kAccentLo.darker(160));
    p.setBrush(side);
    p.drawRoundedRect(r, rad, rad);
    const QRectF top = r.adjusted(r.width() * 0.1, r.height() * 0.06, -r.width() * 0.1, -r.height() * 0.2);
    QLinearGradient face(top.topLeft(), top.bottomLeft());
    face.setColorAt(0, kAccentHi);
    face.setColorAt(1, kAccent);
    p.setBrush(face);
    p.drawRoundedRect(top, rad * 0.8, rad * 0.8);
    QFont f = UiFont(static_cast<int>(top.height() * 0.78), true);
    p.setFont(f);
    p.setPen(kWhite);
    p.drawText(top, Qt::AlignCenter, QStringLiteral("K"));
}

QImage Logo(int w, int h) {
    QImage img = NewImage(w, h);
    QPainter p(&img);
    Smooth(p);
    const qreal cap = h - 4;
    DrawKeycap(p, QRectF(2, 2, cap, cap));
    QFont f = UiFont(static_cast<int>(h * 0.56), true);
    f.setLetterSpacing(QFont::PercentageSpacing, 108);
    p.setFont(f);
    p.setPen(kWhite);
    p.drawText(QRectF(cap + 10, 0, w - cap - 10, h), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("KEYLOFT"));
    return img;
}

QImage AppIcon(int size) {
    QImage img = NewImage(size, size);
    QPainter p(&img);
    Smooth(p);
    const qreal pad = size * 0.04;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0B, 0x12, 0x21));
    p.drawRoundedRect(QRectF(pad, pad, size - 2 * pad, size - 2 * pad), size * 0.2, size * 0.2);
    DrawKeycap(p, QRectF(size * 0.16, size * 0.16, size * 0.68, size * 0.68));
    return img;
}

// ---------------------------------------------------------------- animations

// Wait dialog animation: a dark rounded tile with a red arc chasing round. The
// tile is opaque so the one-bit transparency of GIF only shows at the corners.
std::vector<QImage> WaitFrames() {
    std::vector<QImage> frames;
    const int n = 20;
    for (int i = 0; i < n; ++i) {
        QImage img = NewImage(100, 100);
        QPainter p(&img);
        Smooth(p);
        Panel(p, QRectF(0, 0, 100, 100), 14, QColor(0x16, 0x22, 0x38), QColor(0x0D, 0x15, 0x25), kBorderHover);
        p.setPen(QPen(QColor(0x24, 0x33, 0x4F), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawEllipse(QPointF(50, 50), 26, 26);
        // The head moves clockwise 18 degrees a frame; the tail fades behind it.
        const qreal head = 90.0 - i * 360.0 / n;
        const int pieces = 24;
        for (int k = 0; k < pieces; ++k) {
            const qreal t = k / qreal(pieces - 1);  // 0 tail .. 1 head
            QColor c = Mix(QColor(0x24, 0x33, 0x4F), kAccentHi, t * t);
            p.setPen(QPen(c, 6, Qt::SolidLine, k == pieces - 1 ? Qt::RoundCap : Qt::FlatCap));
            const qreal angle = head + (pieces - 1 - k) * 10.0;
            p.drawArc(QRectF(24, 24, 52, 52), int(angle * 16), int(-11 * 16));
        }
        frames.push_back(img);
    }
    return frames;
}

// Waiting window animation, 232 x 58: five dots rising and brightening in a wave.
// The window paints it on a near-white fill, so edges are matted to white.
std::vector<QImage> LoadingFrames() {
    std::vector<QImage> frames;
    const int n = 18;
    for (int i = 0; i < n; ++i) {
        QImage img = NewImage(232, 58);
        img.fill(QColor(0xFF, 0xFF, 0xFF, 0));
        QPainter p(&img);
        Smooth(p);
        for (int d = 0; d < 5; ++d) {
            const qreal phase = (i / qreal(n)) * 2 * M_PI - d * 0.7;
            const qreal lift = std::max<qreal>(0.0, std::sin(phase));
            const qreal x = 116 + (d - 2) * 30, y = 34 - lift * 12;
            const QColor c = Mix(QColor(0xC4, 0xCA, 0xD6), kAccent, lift);
            // White halo first so the dot's edge blends into the window's fill.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xFF, 0xFF, 0xFF));
            p.drawEllipse(QPointF(x, y), 8.5 + lift * 2, 8.5 + lift * 2);
            p.setBrush(c);
            p.drawEllipse(QPointF(x, y), 7 + lift * 2, 7 + lift * 2);
        }
        frames.push_back(img);
    }
    return frames;
}

QImage LoadingCloseButton() {
    // Drawn over the waiting window's light fill: dark glyph, red when hovered.
    return Strip(24, 24, 4, [&](QPainter& p, int s) {
        if (s == kHover || s == kPressed) {
            p.setPen(Qt::NoPen);
            p.setBrush(s == kHover ? kAccent : kAccentLo);
            p.drawEllipse(QRectF(1, 1, 22, 22));
        }
        const QColor c = s == kNormal ? QColor(0x5A, 0x64, 0x78) : s == kDisabled ? QColor(0xB8, 0xBE, 0xC8) : kWhite;
        DrawGlyph(p, Glyph::Close, QRectF(5, 5, 14, 14), c, 2.6);
    });
}

// ---------------------------------------------------------------- built-in resources

// The toolkit's own scroll bar images: 22 x 20 horizontal (four 5-pixel rows) and
// 28 x 239 vertical (four 7-pixel columns).
QImage ResourceScrollH() { return ScrollHorizontal(22, 5); }
QImage ResourceScrollV() { return ScrollVertical(7, 239); }

void Generate(Output& out) {
    out.Save("main_bkg.png", MainBackground(), 1);
    out.Save("pic_caption.png", Caption(), 1);
    out.Save("main_sysbtn_close.png", SysButton(Glyph::Close, true, 30), 4);
    out.Save("main_sysbtn_min.png", SysButton(Glyph::Minimise, false, 30), 4);
    out.Save("main_sysbtn_website.png", SysButton(Glyph::Globe, false, 30), 4);
    out.Save("img_sys_close.png", LoadingCloseButton(), 4);

    out.Save("btn_apply.png", PushButton(60, 38, false), 4);
    out.Save("img_btn_layer_p.png", LayerButton(true), 4);
    out.Save("img_btn_layer_n.png", LayerButton(false), 4);

    out.Save("imgbtn_add.png", ToolButton(Glyph::Plus, 30), 4);
    out.Save("imgbtn_del.png", ToolButton(Glyph::Trash, 30), 4);
    out.Save("imgbtn_edit.png", ToolButton(Glyph::Pencil, 30), 4);
    out.Save("imgbtn_import.png", ToolButton(Glyph::Import, 30), 4);
    out.Save("imgbtn_export.png", ToolButton(Glyph::Export, 30), 4);
    out.Save("btn_record_time.png", ToolButton(Glyph::Clock, 20), 4);
    out.Save("btn_record_up.png", ToolButton(Glyph::ArrowUp, 20), 4);
    out.Save("btn_record_down.png", ToolButton(Glyph::ArrowDown, 20), 4);
    out.Save("btn_record_del.png", ToolButton(Glyph::Close, 20), 4);

    out.Save("btn_checkbox.png", CheckBox(false), 8);
    out.Save("btn_radiobox.png", CheckBox(true), 8);
    out.Save("btn_direction_left.png", DirectionButton(Glyph::ArrowLeft), 8);
    out.Save("btn_direction_right.png", DirectionButton(Glyph::ArrowRight), 8);
    out.Save("btn_direction_top.png", DirectionButton(Glyph::ArrowUp), 8);
    out.Save("btn_direction_bottom.png", DirectionButton(Glyph::ArrowDown), 8);

    out.Save("btn_colorful.png", RainbowSwatch(), 4);
    const QColor gradients[8][2] = {
        {QColor(255, 0, 0), QColor(255, 200, 0)},   {QColor(0, 255, 60), QColor(0, 200, 255)},
        {QColor(0, 60, 255), QColor(200, 0, 255)},  {QColor(255, 230, 0), QColor(0, 255, 120)},
        {QColor(255, 0, 200), QColor(255, 90, 0)},  {QColor(0, 255, 255), QColor(0, 40, 255)},
        {QColor(255, 255, 255), QColor(255, 0, 40)}, {QColor(255, 0, 0), QColor(0, 0, 255)},
    };
    for (int i = 0; i < 8; ++i)
        out.Save(QString("btn_colorful%1.png").arg(i + 1), GradientSwatch(gradients[i][0], gradients[i][1]), 4);

    out.Save("img_combobox.png", ComboBox(), 4);
    out.Save("img_edit.png", EditField(), 4);
    out.Save("img_scroll_v.png", ScrollVertical(8, 120), 4);
    out.Save("img_scroll_h.png", ScrollHorizontal(120, 8), 4);
    out.Save("img_slider_back.png", SliderTrack(), 1);
    out.Save("img_thumb.png", SliderThumb(), 4);
    out.Save("img_spin_up.png", SpinArrow(true), 4);
    out.Save("img_spin_down.png", SpinArrow(false), 4);
    out.Save("img_palette_thumb.png", PaletteThumb(), 4);
    out.Save("img_circlepalette.png", ColourWheel(), 1);

    out.Save("icon/icon_circle.png", RowMarker(), 2);
    out.Save("img_device_state.png", DeviceState(), 2);
    out.Save("img_customkey.png", KeyFunctionButton(), 4);

    out.Save("icon/tab_home.png", TabIcon(Glyph::Home), 4);
    out.Save("icon/tab_customkey.png", TabIcon(Glyph::Keyboard), 4);
    out.Save("icon/tab_macro.png", TabIcon(Glyph::Macro), 4);
    out.Save("icon/tab_light.png", TabIcon(Glyph::Light), 4);
    out.Save("icon/tab_config.png", TabIcon(Glyph::Config), 4);
    out.Save("icon/icon_keyboard.png", SingleIcon(Glyph::Keyboard, 32, kWhite), 1);
    out.Save("icon/icon_macro.png", SingleIcon(Glyph::Macro, 32, kWhite), 1);
    out.Save("icon/icon_lightmode.png", SingleIcon(Glyph::Light, 32, kWhite), 1);
    out.Save("icon/icon_config.png", SingleIcon(Glyph::Config, 32, kWhite), 1);

    struct { const char* name; Glyph glyph; } keyIcons[] = {
        {"icon_pc", Glyph::Pc}, {"icon_cal", Glyph::Calculator}, {"icon_email", Glyph::Email},
        {"icon_multimedia", Glyph::Music}, {"icon_playpause", Glyph::PlayPause}, {"icon_stop", Glyph::Stop},
        {"icon_pre", Glyph::Prev}, {"icon_next", Glyph::Next}, {"icon_vol_down", Glyph::VolDown},
        {"icon_vol_up", Glyph::VolUp}, {"icon_vol_mute", Glyph::VolMute}, {"icon_home", Glyph::Home},
        {"icon_web_refresh", Glyph::Refresh}, {"icon_web_stop", Glyph::WebStop},
        {"icon_web_backward", Glyph::Back}, {"icon_web_foreward", Glyph::Forward},
        {"icon_favorites", Glyph::Star}, {"icon_web_search", Glyph::Search},
    };
    for (const auto& k : keyIcons)
        out.Save(QString("icon/%1.png").arg(k.name), SingleIcon(k.glyph, 20, kGlyph, 2.0), 1);

    out.Save("icon/icon_battery_bkg.png", BatteryOutline(), 1);
    out.Save("icon/icon_batteryvalue.png", BatteryLevel(), 1);
    out.Save("icon/icon_charge.png", SingleIcon(Glyph::Bolt, 16, QColor(0xFF, 0xD2, 0x3C)), 1);
    out.Save("icon/mode_usb.png", LinkIcon(Glyph::Usb), 1);
    out.Save("icon/mode_24g.png", LinkIcon(Glyph::Wireless), 1);

    out.Save("img_tip_bk.png", TipBackground(), 1);
    out.Save("img_tip_arrow_left.png", TipArrow(0), 1);
    out.Save("img_tip_arrow_right.png", TipArrow(1), 1);
    out.Save("img_tip_arrow_top.png", TipArrow(2), 1);
    out.Save("bk_prompt.png", PromptBackground(), 1);

    out.Save("logo/logo.png", Logo(160, 36), 1);
    out.Save("logo/logo_loading.png", Logo(180, 40), 1);
    out.SaveGif("loading.gif", WaitFrames(), 50);
    out.SaveGif("loading/loading.gif", LoadingFrames(), 50);
    // The desktop entry's icon (installed as keyloft.png), the tray icon's picture.
    out.Save("logo_app_256.png", AppIcon(256), 1);
    out.SaveIco("Keyloft.ico", {AppIcon(16), AppIcon(24), AppIcon(32), AppIcon(48), AppIcon(64), AppIcon(128), AppIcon(256)});
}

void Usage() {
    std::fprintf(stderr,
                 "usage: keyloft-skingen SKIN_DIR [--manifest FILE] [--resources DIR]\n"
                 "  draws every skin image into SKIN_DIR; --manifest lists them with their\n"
                 "  cell counts; --resources writes the toolkit's built-in scroll bar images\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        Usage();
        return 2;
    }
    const QString skinDir = args.takeFirst();
    QString manifest, resources;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == "--manifest" && !args.isEmpty()) manifest = args.takeFirst();
        else if (a == "--resources" && !args.isEmpty()) resources = args.takeFirst();
        else {
            Usage();
            return 2;
        }
    }
    // The skin's texts (logo, key caps) use the library's own face.
    for (const char* file : {"/usr/share/fonts/truetype/open-sans/OpenSans-Semibold.ttf",
                             "/usr/share/fonts/truetype/open-sans/OpenSans-Bold.ttf"})
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));

    QDir().mkpath(skinDir);
    Output out(skinDir);
    Generate(out);
    if (!resources.isEmpty()) {
        QDir().mkpath(resources);
        Output res(resources);
        res.Save("scroll_h.png", ResourceScrollH(), 4);
        res.Save("scroll_v.png", ResourceScrollV(), 4);
        if (!res.ok()) return 1;
    }
    if (!manifest.isEmpty() && !out.WriteManifest(manifest)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(manifest));
        return 1;
    }
    return out.ok() ? 0 : 1;
}
