#include "IcoWriter.h"

#include <QByteArray>
#include <QFile>

namespace skin {
namespace {

void Put16(QByteArray& b, unsigned v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
void Put32(QByteArray& b, unsigned v) {
    Put16(b, v & 0xFFFF);
    Put16(b, (v >> 16) & 0xFFFF);
}

QByteArray Entry(const QImage& src) {
    const QImage img = src.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width(), h = img.height();
    QByteArray b;
    Put32(b, 40);
    Put32(b, unsigned(w));
    Put32(b, unsigned(h * 2));  // colour rows plus mask rows
    Put16(b, 1);
    Put16(b, 32);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            b.append(char(qBlue(row[x])));
            b.append(char(qGreen(row[x])));
            b.append(char(qRed(row[x])));
            b.append(char(qAlpha(row[x])));
        }
    }
    const int maskRow = ((w + 31) / 32) * 4;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        const auto* px = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (qAlpha(px[x]) == 0) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        b.append(row);
    }
    return b;
}

}  // namespace

bool WriteIco(const std::vector<QImage>& sizes, const QString& path) {
    if (sizes.empty()) return false;
    for (const QImage& s : sizes)
        if (s.width() > 256 || s.height() > 256 || s.isNull()) return false;
    QByteArray out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, unsigned(sizes.size()));
    std::vector<QByteArray> entries;
    for (const QImage& s : sizes) entries.push_back(Entry(s));
    unsigned offset = 6 + 16 * unsigned(sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        out.append(char(sizes[i].width() & 0xFF));  // 256 is stored as 0
        out.append(char(sizes[i].height() & 0xFF));
        out.append(char(0));
        out.append(char(0));
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, unsigned(entries[i].size()));
        Put32(out, offset);
        offset += unsigned(entries[i].size());
    }
    for (const QByteArray& e : entries) out.append(e);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return f.write(out) == out.size();
}

}  // namespace skin
