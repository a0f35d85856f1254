#include "platform/draw/Image.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QString>

#include <cstdio>
#include <cstring>

#include "platform/draw/ImageImpl.h"
#include "platform/draw/QtAccess.h"

namespace platform::draw {
namespace {

QImage& NullImage() {
    static QImage null;
    return null;
}

QString ToQString(const std::wstring& s) { return QString::fromStdWString(s); }

std::unique_ptr<Image> Decode(QIODevice* device) {
    QImageReader reader(device);
    reader.setDecideFormatFromContent(true);
    auto out = std::make_unique<Image>();
    auto* d = out->impl();
    for (;;) {
        QImage frame = reader.read();
        if (frame.isNull()) break;
        d->frames.push_back(frame.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        d->delays.push_back(std::max(0, reader.nextImageDelay()));
        // Readers of still formats answer the same image again rather than failing.
        if (!reader.supportsAnimation() || !reader.canRead()) break;
    }
    if (d->frames.empty()) return nullptr;
    return out;
}

std::uint32_t Premultiply(Argb c) {
    const std::uint32_t a = c >> 24;
    if (a == 255) return c;
    if (a == 0) return 0;
    auto ch = [a](std::uint32_t v) { return (v * a + 127) / 255; };
    return (a << 24) | (ch((c >> 16) & 0xFF) << 16) | (ch((c >> 8) & 0xFF) << 8) | ch(c & 0xFF);
}

Argb Unpremultiply(std::uint32_t p) {
    const std::uint32_t a = p >> 24;
    if (a == 255 || a == 0) return a == 0 ? 0 : p;
    auto ch = [a](std::uint32_t v) { return std::min<std::uint32_t>(255, (v * 255 + a / 2) / a); };
    return (a << 24) | (ch((p >> 16) & 0xFF) << 16) | (ch((p >> 8) & 0xFF) << 8) | ch(p & 0xFF);
}

void PutLe16(std::FILE* f, unsigned v) {
    unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}
void PutLe32(std::FILE* f, std::uint32_t v) {
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    std::fwrite(b, 1, 4, f);
}

}  // namespace

QImage& CurrentFrame(Image& image) {
    auto* d = image.impl();
    return d->frames.empty() ? NullImage() : d->Current();
}
const QImage& CurrentFrame(const Image& image) {
    auto* d = image.impl();
    return d->frames.empty() ? NullImage() : d->Current();
}

QImage& QtImage(Image& image) { return CurrentFrame(image); }
const QImage& QtImage(const Image& image) { return CurrentFrame(image); }

std::unique_ptr<Image> ImageFromQImage(QImage image) {
    if (image.isNull()) return nullptr;
    auto out = std::make_unique<Image>();
    out->impl()->frames.push_back(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    out->impl()->delays.push_back(0);
    return out;
}

Image::Image() : d_(std::make_unique<Impl>()) {}

Image::Image(int width, int height) : d_(std::make_unique<Impl>()) {
    if (width <= 0 || height <= 0) return;
    QImage frame(width, height, QImage::Format_ARGB32_Premultiplied);
    if (frame.isNull()) return;  // out of memory for a huge size: stay null
    frame.fill(0);
    d_->frames.push_back(std::move(frame));
    d_->delays.push_back(0);
}

Image::Image(const Image& other) : d_(std::make_unique<Impl>()) { *this = other; }

Image& Image::operator=(const Image& other) {
    if (this != &other) {
        d_->frames = other.d_->frames;
        d_->delays = other.d_->delays;
        d_->active = other.d_->active;
        // QImage copies share pixels until written; detach now so that raw Bits()
        // writes into one image never show in the other. The painter is not copied.
        for (auto& f : d_->frames) f.detach();
    }
    return *this;
}

Image::Image(Image&&) noexcept = default;
Image& Image::operator=(Image&&) noexcept = default;
Image::~Image() = default;

std::unique_ptr<Image> Image::FromFile(const std::wstring& path) {
    QFile file(ToQString(path));
    if (!file.open(QIODevice::ReadOnly)) return nullptr;
    return Decode(&file);
}

std::unique_ptr<Image> Image::FromMemory(const void* data, std::size_t size) {
    if (!data || size == 0) return nullptr;
    QByteArray bytes = QByteArray::fromRawData(static_cast<const char*>(data),
                                               static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return nullptr;
    return Decode(&buffer);
}

std::unique_ptr<Image> Image::FromArgb(int width, int height, const Argb* pixels) {
    auto out = std::make_unique<Image>(width, height);
    if (out->IsNull() || !pixels) return nullptr;
    QImage& img = out->d_->Current();
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(img.scanLine(y));
        for (int x = 0; x < width; ++x) row[x] = Premultiply(pixels[y * width + x]);
    }
    return out;
}

bool Image::IsNull() const { return d_->frames.empty(); }
int Image::Width() const { return CurrentFrame(*this).width(); }
int Image::Height() const { return CurrentFrame(*this).height(); }

std::uint32_t* Image::Bits() {
    if (IsNull()) return nullptr;
    return reinterpret_cast<std::uint32_t*>(d_->Current().bits());
}
const std::uint32_t* Image::Bits() const {
    if (IsNull()) return nullptr;
    return reinterpret_cast<const std::uint32_t*>(d_->Current().constBits());
}
int Image::Stride() const { return static_cast<int>(CurrentFrame(*this).bytesPerLine()); }

Argb Image::GetPixel(int x, int y) const {
    const QImage& img = CurrentFrame(*this);
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return 0;
    return Unpremultiply(reinterpret_cast<const std::uint32_t*>(img.constScanLine(y))[x]);
}

void Image::SetPixel(int x, int y, Argb colour) {
    if (IsNull()) return;
    QImage& img = d_->Current();
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return;
    reinterpret_cast<std::uint32_t*>(img.scanLine(y))[x] = Premultiply(colour);
}

void Image::Fill(Argb colour) {
    if (!IsNull()) d_->Current().fill(Premultiply(colour));
}

int Image::FrameCount() const { return static_cast<int>(d_->frames.size()); }
int Image::ActiveFrame() const { return d_->active; }

bool Image::SelectActiveFrame(int index) {
    if (index < 0 || index >= FrameCount()) return false;
    d_->active = index;
    return true;
}

const std::vector<int>& Image::FrameDelays() const { return d_->delays; }

bool Image::SavePng(const std::wstring& path) const {
    if (IsNull()) return false;
    return CurrentFrame(*this).save(ToQString(path), "PNG");
}

bool Image::SaveBmp(const std::wstring& path, int bitsPerPixel) const {
    if (IsNull()) return false;
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24)
        return false;
    const QImage& img = CurrentFrame(*this);
    const int w = img.width(), h = img.height();
    const int paletteEntries = bitsPerPixel == 24 ? 0 : (1 << bitsPerPixel);
    const std::uint32_t rowBytes = ((static_cast<std::uint32_t>(w) * bitsPerPixel + 31) / 32) * 4;
    const std::uint32_t dataSize = rowBytes * static_cast<std::uint32_t>(h);
    const std::uint32_t offset = 14 + 40 + 4 * paletteEntries;

    std::FILE* f = std::fopen(QString::fromStdWString(path).toLocal8Bit().constData(), "wb");
    if (!f) return false;
    std::fwrite("BM", 1, 2, f);
    PutLe32(f, offset + dataSize);
    PutLe32(f, 0);
    PutLe32(f, offset);
    PutLe32(f, 40);
    PutLe32(f, static_cast<std::uint32_t>(w));
    PutLe32(f, static_cast<std::uint32_t>(h));  // positive: bottom-up
    PutLe16(f, 1);
    PutLe16(f, static_cast<unsigned>(bitsPerPixel));
    PutLe32(f, 0);  // BI_RGB
    PutLe32(f, dataSize);
    PutLe32(f, 3780);  // 96 dpi
    PutLe32(f, 3780);
    PutLe32(f, static_cast<std::uint32_t>(paletteEntries));
    PutLe32(f, 0);
    for (int i = 0; i < paletteEntries; ++i) {
        const unsigned v = static_cast<unsigned>(i * 255 / (paletteEntries - 1));
        PutLe32(f, v | (v << 8) | (v << 16));
    }
    std::vector<unsigned char> row(rowBytes);
    for (int y = h - 1; y >= 0; --y) {
        std::fill(row.begin(), row.end(), 0);
        const auto* src = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const Argb c = Unpremultiply(src[x]);
            const unsigned r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
            if (bitsPerPixel == 24) {
                row[static_cast<size_t>(x) * 3] = static_cast<unsigned char>(b);
                row[static_cast<size_t>(x) * 3 + 1] = static_cast<unsigned char>(g);
                row[static_cast<size_t>(x) * 3 + 2] = static_cast<unsigned char>(r);
            } else {
                const unsigned grey = (r * 299 + g * 587 + b * 114) / 1000;
                const unsigned index = grey * static_cast<unsigned>(paletteEntries - 1) / 255;
                const int perByte = 8 / bitsPerPixel;
                const int shift = (perByte - 1 - x % perByte) * bitsPerPixel;
                row[static_cast<size_t>(x / perByte)] |= static_cast<unsigned char>(index << shift);
            }
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    const bool ok = std::ferror(f) == 0;
    return std::fclose(f) == 0 && ok;
}

}  // namespace platform::draw
