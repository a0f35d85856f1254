// Lays every skin image of the manifest out on one sheet, each state cell apart
// and labelled, over the window background, so the whole skin can be judged at a
// glance. usage: keyloft-skingallery MANIFEST SKIN_DIR OUT.png [SCALE]
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextStream>

#include <cstdio>
#include <vector>

namespace {

struct Item {
    QString name;
    int cells;
    std::vector<QImage> frames;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: keyloft-skingallery MANIFEST SKIN_DIR OUT.png [SCALE]\n");
        return 2;
    }
    const qreal scale = argc > 4 ? QString(argv[4]).toDouble() : 1.0;
    QFile manifest(argv[1]);
    if (!manifest.open(QIODevice::ReadOnly)) return 1;
    std::vector<Item> items;
    QTextStream in(&manifest);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith('#') || line.trimmed().isEmpty()) continue;
        const QStringList parts = line.split(' ');
        // KEYLOFT_GALLERY_ONLY=text keeps the images whose names contain it.
        const QString only = qEnvironmentVariable("KEYLOFT_GALLERY_ONLY");
        if (!only.isEmpty() && !parts[0].contains(only)) continue;
        Item item{parts[0], parts[1].toInt(), {}};
        QImageReader reader(QString(argv[2]) + "/" + item.name);
        for (QImage f = reader.read(); !f.isNull(); f = reader.read()) {
            item.frames.push_back(f.convertToFormat(QImage::Format_ARGB32_Premultiplied));
            if (!reader.supportsAnimation() || item.frames.size() >= 6) break;
        }
        if (item.frames.empty()) {
            std::fprintf(stderr, "missing %s\n", qPrintable(item.name));
            return 1;
        }
        items.push_back(std::move(item));
    }

    // Flow layout: rows of labelled tiles up to 1600 pixels wide.
    const int sheetW = 1600, gap = 10, label = 16;
    QImage background(QString(argv[2]) + "/main_bkg.png");
    struct Placed { const Item* item; int x, y, w, h; };
    std::vector<Placed> placed;
    int x = gap, y = gap, rowH = 0;
    for (const Item& it : items) {
        const QImage& f = it.frames[0];
        const bool big = f.width() > 600 || f.height() > 300;
        const qreal s = big ? 0.4 : scale;
        const int cells = std::max(1, it.cells);
        const int cellW = f.width() / cells;
        const int parts = it.frames.size() > 1 ? int(it.frames.size()) : cells;
        const int unitW = it.frames.size() > 1 ? f.width() : cellW;
        const int w = std::max(140, int(parts * (unitW * s + 6)));
        const int h = int(f.height() * s) + label + 8;
        if (x + w > sheetW - gap) {
            x = gap;
            y += rowH + gap;
            rowH = 0;
        }
        placed.push_back({&it, x, y, w, h});
        x += w + gap;
        rowH = std::max(rowH, h);
    }
    const int sheetH = y + rowH + gap;
    QImage sheet(sheetW, sheetH, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!background.isNull()) p.drawImage(sheet.rect(), background);
    else sheet.fill(QColor(0x0B, 0x12, 0x21));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    p.setFont(font);
    for (const Placed& pl : placed) {
        const Item& it = *pl.item;
        const QImage& f = it.frames[0];
        const bool big = f.width() > 600 || f.height() > 300;
        const qreal s = big ? 0.4 : scale;
        p.setPen(QColor(0x8A, 0x95, 0xAB));
        p.drawText(QRect(pl.x, pl.y, pl.w, label), Qt::AlignLeft | Qt::AlignVCenter,
                   QString("%1 (%2)").arg(it.name).arg(it.cells));
        p.setPen(QColor(0x2C, 0x3D, 0x5B));
        int cx = pl.x;
        if (it.frames.size() > 1) {
            for (const QImage& fr : it.frames) {
                const QRectF dst(cx, pl.y + label + 2, fr.width() * s, fr.height() * s);
                p.drawRect(dst.adjusted(-1, -1, 0, 0));
                p.drawImage(dst, fr);
                cx += int(fr.width() * s) + 6;
            }
            continue;
        }
        const int cells = std::max(1, it.cells);
        const int cellW = f.width() / cells;
        for (int c = 0; c < cells; ++c) {
            const QRectF dst(cx, pl.y + label + 2, cellW * s, f.height() * s);
            p.drawRect(dst.adjusted(-1, -1, 0, 0));
            p.drawImage(dst, f, QRectF(c * cellW, 0, cellW, f.height()));
            cx += int(cellW * s) + 6;
        }
    }
    p.end();
    return sheet.save(argv[3]) ? 0 : 1;
}
