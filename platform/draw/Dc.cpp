#include "platform/draw/Dc.h"

#include <QPainter>

#include <cstring>

#include "platform/draw/Font.h"
#include "platform/draw/Image.h"
#include "platform/draw/ImageImpl.h"
#include "platform/draw/QtAccess.h"
#include "platform/draw/SharedPainter.h"

namespace platform::draw {

int Dc::Width() const { return image_ ? image_->Width() : 0; }
int Dc::Height() const { return image_ ? image_->Height() : 0; }

Rect Dc::Bounds() const {
    if (!image_ || image_->IsNull()) return Rect();
    Rect all(0, 0, image_->Width(), image_->Height());
    return clip_ ? all.Intersected(*clip_) : all;
}

namespace {

bool Usable(const Dc& dc) { return dc.GetImage() && !dc.GetImage()->IsNull(); }

// Clips a copy of w x h from (sx, sy) in src to (x, y) in dst against the
// destination bounds and the source image; answers false when nothing is left.
bool ClipCopy(const Dc& dst, const Dc& src, int& x, int& y, int& w, int& h, int& sx, int& sy) {
    const Rect db = dst.Bounds();
    const Rect sb(0, 0, src.Width(), src.Height());
    auto clipAxis = [](int& d, int& s, int& len, int dmin, int dmax, int smin, int smax) {
        int shift = std::max({0, dmin - d, smin - s});
        d += shift;
        s += shift;
        len -= shift;
        len = std::min({len, dmax - d, smax - s});
        return len > 0;
    };
    return clipAxis(x, sx, w, db.left, db.right, sb.left, sb.right) &&
           clipAxis(y, sy, h, db.top, db.bottom, sb.top, sb.bottom);
}

std::uint32_t* Row(Image& img, int y) {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<unsigned char*>(img.Bits()) +
                                            static_cast<std::ptrdiff_t>(y) * img.Stride());
}
const std::uint32_t* Row(const Image& img, int y) {
    return reinterpret_cast<const std::uint32_t*>(
        reinterpret_cast<const unsigned char*>(img.Bits()) + static_cast<std::ptrdiff_t>(y) * img.Stride());
}

}  // namespace

bool BitBlt(Dc& dst, int x, int y, int w, int h, const Dc& src, int sx, int sy, std::uint32_t rop) {
    if (!Usable(dst)) return false;
    const bool needsSource = rop == kSrcCopy || rop == kSrcPaint || rop == kSrcAnd || rop == kSrcInvert;
    if (!needsSource && rop != kDstInvert && rop != kBlackness && rop != kWhiteness) return false;
    Image& di = *dst.GetImage();
    if (!needsSource) {
        const Rect r = Rect::FromXYWH(x, y, w, h).Intersected(dst.Bounds());
        for (int row = r.top; row < r.bottom; ++row) {
            std::uint32_t* p = Row(di, row);
            for (int col = r.left; col < r.right; ++col) {
                if (rop == kBlackness) p[col] = 0xFF000000;
                else if (rop == kWhiteness) p[col] = 0xFFFFFFFF;
                else p[col] = 0xFF000000 | ~p[col];
            }
        }
        return true;
    }
    if (!Usable(src)) return false;
    if (!ClipCopy(dst, src, x, y, w, h, sx, sy)) return true;
    const Image& si = *src.GetImage();
    // The same image as source and destination: copy rows in the order that does
    // not overwrite pixels still to be read.
    const bool same = &si == &di;
    const bool backwards = same && (y > sy || (y == sy && x > sx));
    for (int i = 0; i < h; ++i) {
        const int r = backwards ? h - 1 - i : i;
        std::uint32_t* d = Row(di, y + r) + x;
        const std::uint32_t* s = Row(si, sy + r) + sx;
        switch (rop) {
        case kSrcCopy:
            std::memmove(d, s, static_cast<size_t>(w) * 4);
            break;
        case kSrcPaint:
            for (int c = 0; c < w; ++c) d[c] |= s[c];
            break;
        case kSrcAnd:
            for (int c = 0; c < w; ++c) d[c] = (d[c] & s[c]) | (d[c] & 0xFF000000);
            break;
        case kSrcInvert:
            for (int c = 0; c < w; ++c) d[c] = ((d[c] ^ s[c]) & 0x00FFFFFF) | (d[c] & 0xFF000000);
            break;
        }
    }
    return true;
}

namespace {

// Draws the source rectangle scaled into the destination rectangle through
// QPainter; `opaqueSource` drops the source's alpha first.
bool ScaledDraw(Dc& dst, int x, int y, int w, int h, const Dc& src, int sx, int sy, int sw, int sh,
                QPainter::CompositionMode mode, qreal opacity, bool opaqueSource, bool smooth) {
    if (!Usable(dst) || !Usable(src)) return false;
    if (w == 0 || h == 0 || sw == 0 || sh == 0) return true;
    const QImage& full = QtImage(*src.GetImage());
    // Mirroring: negative sizes flip the axis as GDI does.
    // GDI counts a negative extent from the starting pixel backwards, that pixel
    // included: (x = 9, w = -10) covers 0 .. 9.
    auto span = [](int start, int len) { return len < 0 ? std::pair<int, int>(start + len + 1, -len) : std::pair<int, int>(start, len); };
    const auto [srcX, srcW] = span(sx, sw);
    const auto [srcY, srcH] = span(sy, sh);
    const auto [dstX, dstW] = span(x, w);
    const auto [dstY, dstH] = span(y, h);
    QImage part = full.copy(QRect(srcX, srcY, srcW, srcH));
    const bool flipX = (w < 0) != (sw < 0), flipY = (h < 0) != (sh < 0);
    if (flipX || flipY) part = part.mirrored(flipX, flipY);
    if (opaqueSource && part.hasAlphaChannel()) {
        auto* bits = reinterpret_cast<std::uint32_t*>(part.bits());
        const qsizetype n = part.sizeInBytes() / 4;
        for (qsizetype i = 0; i < n; ++i) bits[i] |= 0xFF000000;
    }
    const QRect dstRect(dstX, dstY, dstW, dstH);
    SharedPainter painter(*dst.GetImage());
    QPainter& p = painter.get();
    p.resetTransform();
    const Rect b = dst.Bounds();
    p.setClipRect(QRect(b.left, b.top, b.Width(), b.Height()));
    p.setCompositionMode(mode);
    p.setOpacity(opacity);
    p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    p.drawImage(dstRect, part);
    p.setOpacity(1.0);
    return true;
}

}  // namespace

bool StretchBlt(Dc& dst, int x, int y, int w, int h, const Dc& src, int sx, int sy, int sw, int sh) {
    if (w == sw && h == sh && w > 0 && h > 0) return BitBlt(dst, x, y, w, h, src, sx, sy, kSrcCopy);
    return ScaledDraw(dst, x, y, w, h, src, sx, sy, sw, sh, QPainter::CompositionMode_Source, 1.0,
                      false, dst.SmoothStretch());
}

bool AlphaBlend(Dc& dst, int x, int y, int w, int h, const Dc& src, int sx, int sy, int sw, int sh,
                BlendFunction blend) {
    if (!Usable(dst) || !Usable(src)) return false;
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return false;  // GDI refuses mirroring here
    if (w != sw || h != sh) {
        return ScaledDraw(dst, x, y, w, h, src, sx, sy, sw, sh, QPainter::CompositionMode_SourceOver,
                          blend.sourceConstantAlpha / 255.0, !blend.perPixelAlpha, true);
    }
    if (!ClipCopy(dst, src, x, y, w, h, sx, sy)) return true;
    Image& di = *dst.GetImage();
    const Image& si = *src.GetImage();
    const std::uint32_t ca = blend.sourceConstantAlpha;
    for (int r = 0; r < h; ++r) {
        std::uint32_t* d = Row(di, y + r) + x;
        const std::uint32_t* s = Row(si, sy + r) + sx;
        for (int c = 0; c < w; ++c) {
            std::uint32_t sp = s[c];
            if (!blend.perPixelAlpha) sp |= 0xFF000000;
            // Scale every premultiplied channel by the constant alpha, then "over".
            std::uint32_t out = 0;
            const std::uint32_t sa = ((sp >> 24) * ca + 127) / 255;
            for (int shift = 0; shift < 32; shift += 8) {
                const std::uint32_t sv = (((sp >> shift) & 0xFF) * ca + 127) / 255;
                const std::uint32_t dv = (d[c] >> shift) & 0xFF;
                const std::uint32_t v = std::min<std::uint32_t>(255, sv + (dv * (255 - sa) + 127) / 255);
                out |= v << shift;
            }
            d[c] = out;
        }
    }
    return true;
}

bool FillSolidRect(Dc& dc, const Rect& rect, ColorRef colour) {
    if (!Usable(dc)) return false;
    const Rect r = rect.Intersected(dc.Bounds());
    const std::uint32_t px = 0xFF000000 | (static_cast<std::uint32_t>(RedOf(colour)) << 16) |
                             (static_cast<std::uint32_t>(GreenOf(colour)) << 8) |
                             static_cast<std::uint32_t>(BlueOf(colour));
    Image& img = *dc.GetImage();
    for (int y = r.top; y < r.bottom; ++y) std::fill_n(Row(img, y) + r.left, r.Width(), px);
    return true;
}

bool GradientFillRect(Dc& dc, const Rect& rect, Argb from, Argb to, bool vertical) {
    if (!Usable(dc)) return false;
    const Rect r = rect.Intersected(dc.Bounds());
    if (r.IsEmpty()) return true;
    const int span = vertical ? rect.Height() : rect.Width();
    Image& img = *dc.GetImage();
    auto mix = [](int a, int b, int i, int n) { return n <= 1 ? a : a + (b - a) * i / (n - 1); };
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = Row(img, y);
        for (int x = r.left; x < r.right; ++x) {
            const int i = vertical ? y - rect.top : x - rect.left;
            const int a = mix(AlphaOfArgb(from), AlphaOfArgb(to), i, span);
            const int rr = mix(RedOfArgb(from), RedOfArgb(to), i, span);
            const int g = mix(GreenOfArgb(from), GreenOfArgb(to), i, span);
            const int b = mix(BlueOfArgb(from), BlueOfArgb(to), i, span);
            auto pm = [a](int v) { return static_cast<std::uint32_t>((v * a + 127) / 255); };
            row[x] = (static_cast<std::uint32_t>(a) << 24) | (pm(rr) << 16) | (pm(g) << 8) | pm(b);
        }
    }
    return true;
}

int DrawText(Dc& dc, const std::wstring& text, Rect& rect, ColorRef colour, const Font* font,
             unsigned format) {
    const Font fallback(FontFamily::Default(), 12.0f);
    const QFont qf = QtFont(font ? *font : fallback);
    int flags = 0;
    flags |= (format & kDtRight) ? Qt::AlignRight : (format & kDtCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
    if (format & kDtSingleLine) {
        flags |= Qt::TextSingleLine;
        flags |= (format & kDtBottom) ? Qt::AlignBottom : (format & kDtVCenter) ? Qt::AlignVCenter : Qt::AlignTop;
    } else {
        flags |= Qt::AlignTop;
        if (format & kDtWordBreak) flags |= Qt::TextWordWrap;
    }
    const QString qs = QString::fromStdWString(text);
    const QRect box(rect.left, rect.top, rect.Width(), rect.Height());
    if (format & kDtCalcRect) {
        QFontMetrics fm(qf);
        const QRect need = fm.boundingRect(QRect(rect.left, rect.top,
                                                 (format & kDtWordBreak) ? std::max(1, rect.Width()) : 1 << 20, 1 << 20),
                                           flags & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom),
                                           qs);
        rect.right = rect.left + need.width();
        rect.bottom = rect.top + need.height();
        return need.height();
    }
    if (!Usable(dc) || text.empty()) return 0;
    SharedPainter painter(*dc.GetImage());
    QPainter& p = painter.get();
    p.resetTransform();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const Rect b = dc.Bounds();
    QRect clip(b.left, b.top, b.Width(), b.Height());
    if (!(format & kDtNoClip)) clip = clip.intersected(box);
    p.setClipRect(clip);
    p.setFont(qf);
    p.setPen(QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)));
    p.setRenderHint(QPainter::TextAntialiasing, true);
    QString shown = qs;
    if ((format & kDtEndEllipsis) && (format & kDtSingleLine))
        shown = QFontMetrics(qf).elidedText(qs, Qt::ElideRight, box.width());
    QRect used;
    p.drawText(box, flags, shown, &used);
    return used.height();
}

}  // namespace platform::draw
