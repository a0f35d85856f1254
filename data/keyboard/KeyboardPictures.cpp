// Draws the keyboard picture of every layout file from the layout's own key
// rectangles, so the keys of the picture and the clickable keys always agree.
//
// usage: keyloft-keyboard-pictures OUT_DIR [OUT_DIR...] -- LAYOUT.xml...
// Each picture is written as <OUT_DIR>/<image> for every OUT_DIR, with the size
// and file name the layout's Keyboard element gives.
#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QXmlStreamReader>

#include <cstdio>
#include <vector>

#include "../skin/Glyphs.h"

namespace {

struct Key {
    QString name;
    QRectF rect;
};

struct Layout {
    QString image;
    int width = 0;
    int height = 0;
    std::vector<Key> keys;
};

bool ReadLayout(const QString& path, Layout& out) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QXmlStreamReader xml(&f);
    bool inKeyboard = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"Keyboard") {
            const auto a = xml.attributes();
            out.image = a.value("image").toString();
            out.width = a.value("width").toInt();
            out.height = a.value("height").toInt();
            inKeyboard = true;
        } else if (xml.isEndElement() && xml.name() == u"Keyboard") {
            inKeyboard = false;
        } else if (inKeyboard && xml.isStartElement() && xml.name() == u"key") {
            const auto a = xml.attributes();
            const QStringList r = a.value("rect").toString().split(',');
            if (r.size() != 4) continue;
            out.keys.push_back({a.value("name").toString(),
                                QRectF(r[0].toDouble(), r[1].toDouble(), r[2].toDouble(), r[3].toDouble())});
        }
    }
    return !xml.hasError() && !out.image.isEmpty() && out.width > 0 && out.height > 0;
}

const QColor kBodyTop(0x15, 0x1C, 0x2A), kBodyBottom(0x0B, 0x10, 0x1A), kBodyEdge(0x2A, 0x36, 0x4D);
const QColor kCapTop(0x22, 0x2C, 0x3F), kCapBottom(0x16, 0x1E, 0x2D), kCapEdge(0x33, 0x41, 0x5C);
const QColor kLabel(0xD2, 0xDA, 0xE6), kGlow(0xE8, 0x24, 0x3A);

QFont LabelFont(int px) {
    QFont f(QStringLiteral("Open Sans"));
    f.setPixelSize(px);
    f.setWeight(QFont::DemiBold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// Arrow keys and the media keys show pictograms; every other key its label.
bool GlyphFor(const QString& name, skin::Glyph& g) {
    if (name == "Up") g = skin::Glyph::ArrowUp;
    else if (name == "Down") g = skin::Glyph::ArrowDown;
    else if (name == "Left") g = skin::Glyph::ArrowLeft;
    else if (name == "Right") g = skin::Glyph::ArrowRight;
    else if (name == "Mute") g = skin::Glyph::VolMute;
    else if (name == "Vol-") g = skin::Glyph::VolDown;
    else if (name == "Vol+") g = skin::Glyph::VolUp;
    else if (name == "Calc") g = skin::Glyph::Calculator;
    else return false;
    return true;
}

QImage Draw(const Layout& layout) {
    QImage img(layout.width, layout.height, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The case.
    const QRectF body(0.5, 0.5, layout.width - 1, layout.height - 1);
    QLinearGradient bodyFill(body.topLeft(), body.bottomLeft());
    bodyFill.setColorAt(0, kBodyTop);
    bodyFill.setColorAt(1, kBodyBottom);
    p.setPen(QPen(kBodyEdge, 1));
    p.setBrush(bodyFill);
    p.drawRoundedRect(body, 12, 12);

    // A soft red under-glow around every key, then the caps over it.
    for (const Key& k : layout.keys) {
        const QRectF r = k.rect.adjusted(-3, -3, 3, 3);
        QRadialGradient glow(r.center(), std::max(r.width(), r.height()) * 0.75);
        glow.setColorAt(0, QColor(kGlow.red(), kGlow.green(), kGlow.blue(), 70));
        glow.setColorAt(1, QColor(kGlow.red(), kGlow.green(), kGlow.blue(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRoundedRect(r, 6, 6);
    }
    for (const Key& k : layout.keys) {
        const QRectF cap = k.rect.adjusted(0.5, 0.5, -0.5, -0.5);
        QLinearGradient capFill(cap.topLeft(), cap.bottomLeft());
        capFill.setColorAt(0, kCapTop);
        capFill.setColorAt(1, kCapBottom);
        p.setPen(QPen(kCapEdge, 1));
        p.setBrush(capFill);
        p.drawRoundedRect(cap, 4, 4);
        // The dished top of the cap: a lighter inner face.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFF, 0xFF, 0xFF, 10));
        p.drawRoundedRect(cap.adjusted(3, 2, -3, -5), 3, 3);

        skin::Glyph glyph;
        if (GlyphFor(k.name, glyph)) {
            const qreal side = std::min<qreal>(18, std::min(cap.width(), cap.height()) - 10);
            skin::DrawGlyph(p, glyph, QRectF(cap.center().x() - side / 2, cap.center().y() - side / 2 - 1, side, side),
                            kLabel, 2.0);
            continue;
        }
        if (k.name == "Space") continue;
        const int px = k.name.size() <= 1 ? 13 : k.name.size() <= 3 ? 11 : 10;
        p.setFont(LabelFont(px));
        p.setPen(kLabel);
        // Single characters sit at the top-left like printed legends; words centred.
        if (k.name.size() <= 1) p.drawText(cap.adjusted(6, 3, -4, -4), Qt::AlignLeft | Qt::AlignTop, k.name);
        else p.drawText(cap.adjusted(2, 0, -2, -2), Qt::AlignCenter, k.name);
    }
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList outDirs, layouts;
    bool afterSeparator = false;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == "--") afterSeparator = true;
        else if (afterSeparator) layouts << a;
        else outDirs << a;
    }
    if (outDirs.isEmpty() || layouts.isEmpty()) {
        std::fprintf(stderr, "usage: keyloft-keyboard-pictures OUT_DIR [OUT_DIR...] -- LAYOUT.xml...\n");
        return 2;
    }
    QFontDatabase::addApplicationFont("/usr/share/fonts/truetype/open-sans/OpenSans-Semibold.ttf");
    int failures = 0;
    for (const QString& file : layouts) {
        Layout layout;
        if (!ReadLayout(file, layout)) {
            std::fprintf(stderr, "%s: no keyboard picture record\n", qPrintable(file));
            ++failures;
            continue;
        }
        const QImage picture = Draw(layout);
        for (const QString& dir : outDirs) {
            QDir().mkpath(dir);
            const QString path = dir + "/" + layout.image;
            if (!picture.save(path, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                ++failures;
            }
        }
    }
    return failures ? 1 : 0;
}
