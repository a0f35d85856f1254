#include "platform/draw/GifWriter.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <unordered_map>

#include "platform/draw/Image.h"

namespace platform::draw {
namespace {

constexpr int kTransparent = 0;  // palette index of transparent pixels

class ByteOut {
public:
    void Put(unsigned v) { bytes.push_back(static_cast<unsigned char>(v)); }
    void Put16(unsigned v) {
        Put(v & 0xFF);
        Put((v >> 8) & 0xFF);
    }
    void PutText(const char* s) {
        while (*s) Put(static_cast<unsigned char>(*s++));
    }
    std::vector<unsigned char> bytes;
};

// GIF's variable-width LZW, codes packed least significant bit first into
// sub-blocks of at most 255 bytes.
void WriteLzw(ByteOut& out, const std::vector<std::uint8_t>& indices, int minCodeSize) {
    out.Put(static_cast<unsigned>(minCodeSize));
    std::vector<unsigned char> packed;
    std::uint32_t bitBuffer = 0;
    int bitCount = 0;
    int codeSize = minCodeSize + 1;
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    int nextCode = endCode + 1;
    auto EmitCode = [&](int code) {
        bitBuffer |= static_cast<std::uint32_t>(code) << bitCount;
        bitCount += codeSize;
        while (bitCount >= 8) {
            packed.push_back(static_cast<unsigned char>(bitBuffer & 0xFF));
            bitBuffer >>= 8;
            bitCount -= 8;
        }
    };
    std::unordered_map<std::uint32_t, int> table;  // (prefix code << 8 | byte) -> code
    EmitCode(clearCode);
    int prefix = -1;
    for (std::uint8_t index : indices) {
        if (prefix < 0) {
            prefix = index;
            continue;
        }
        const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | index;
        auto it = table.find(key);
        if (it != table.end()) {
            prefix = it->second;
            continue;
        }
        EmitCode(prefix);
        if (nextCode < 4096) {
            table.emplace(key, nextCode);
            // The decoder widens its codes one step after the encoder adds the entry
            // that needs the wider size.
            if (nextCode == (1 << codeSize) && codeSize < 12) ++codeSize;
            ++nextCode;
        } else {
            EmitCode(clearCode);
            table.clear();
            codeSize = minCodeSize + 1;
            nextCode = endCode + 1;
        }
        prefix = index;
    }
    if (prefix >= 0) EmitCode(prefix);
    EmitCode(endCode);
    if (bitCount > 0) packed.push_back(static_cast<unsigned char>(bitBuffer & 0xFF));
    for (size_t i = 0; i < packed.size(); i += 255) {
        const size_t n = std::min<size_t>(255, packed.size() - i);
        out.Put(static_cast<unsigned>(n));
        for (size_t j = 0; j < n; ++j) out.Put(packed[i + j]);
    }
    out.Put(0);
}

struct Palette {
    std::vector<std::uint32_t> colours;                // RGB; index 0 is the transparent slot
    std::unordered_map<std::uint32_t, int> lookup;     // RGB of the image -> palette index
};

struct Box {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> colours;  // (rgb, count)
    int Channel(std::uint32_t rgb, int axis) const { return static_cast<int>((rgb >> (16 - 8 * axis)) & 0xFF); }
    // Longest axis and its extent, weighted by how many pixels the box covers.
    std::pair<int, std::uint64_t> Spread() const {
        int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
        std::uint64_t pixels = 0;
        for (const auto& [rgb, n] : colours) {
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], Channel(rgb, a));
                hi[a] = std::max(hi[a], Channel(rgb, a));
            }
            pixels += n;
        }
        int axis = 0;
        for (int a = 1; a < 3; ++a)
            if (hi[a] - lo[a] > hi[axis] - lo[axis]) axis = a;
        return {axis, static_cast<std::uint64_t>(hi[axis] - lo[axis]) * pixels};
    }
    std::uint32_t Mean() const {
        std::uint64_t sum[3] = {0, 0, 0}, total = 0;
        for (const auto& [rgb, n] : colours) {
            for (int a = 0; a < 3; ++a) sum[a] += static_cast<std::uint64_t>(Channel(rgb, a)) * n;
            total += n;
        }
        std::uint32_t out = 0;
        for (int a = 0; a < 3; ++a) out |= static_cast<std::uint32_t>((sum[a] + total / 2) / total) << (16 - 8 * a);
        return out;
    }
};

// Exact colours when they fit, else a median-cut palette of 255 colours: boxes of
// colours are split at the weighted median of their longest axis, largest first.
Palette BuildPalette(const Image& img) {
    std::unordered_map<std::uint32_t, std::uint32_t> histogram;
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            const std::uint32_t c = img.GetPixel(x, y);
            if ((c >> 24) >= 128) ++histogram[c & 0xFFFFFF];
        }
    Palette p;
    p.colours.push_back(0);
    if (histogram.size() <= 255) {
        for (const auto& [rgb, n] : histogram) {
            p.lookup.emplace(rgb, static_cast<int>(p.colours.size()));
            p.colours.push_back(rgb);
        }
    } else {
        std::vector<Box> boxes(1);
        boxes[0].colours.assign(histogram.begin(), histogram.end());
        while (boxes.size() < 255) {
            size_t best = 0;
            std::uint64_t bestSpread = 0;
            int bestAxis = 0;
            for (size_t i = 0; i < boxes.size(); ++i) {
                if (boxes[i].colours.size() < 2) continue;
                const auto [axis, spread] = boxes[i].Spread();
                if (spread > bestSpread) {
                    best = i;
                    bestSpread = spread;
                    bestAxis = axis;
                }
            }
            if (bestSpread == 0) break;
            Box& box = boxes[best];
            std::sort(box.colours.begin(), box.colours.end(), [&](const auto& l, const auto& r) {
                return box.Channel(l.first, bestAxis) < box.Channel(r.first, bestAxis);
            });
            std::uint64_t total = 0, half = 0;
            for (const auto& c : box.colours) total += c.second;
            size_t cut = 0;
            while (cut + 1 < box.colours.size() && (half += box.colours[cut].second) < total / 2) ++cut;
            cut = std::max<size_t>(1, std::min(cut + 1, box.colours.size() - 1));
            Box upper;
            upper.colours.assign(box.colours.begin() + static_cast<std::ptrdiff_t>(cut), box.colours.end());
            box.colours.resize(cut);
            boxes.push_back(std::move(upper));
        }
        for (const Box& box : boxes) {
            const int index = static_cast<int>(p.colours.size());
            p.colours.push_back(box.Mean());
            for (const auto& c : box.colours) p.lookup.emplace(c.first, index);
        }
    }
    while (p.colours.size() < 256) p.colours.push_back(0);
    return p;
}

std::vector<std::uint8_t> Indices(const Image& img, const Palette& p) {
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<size_t>(img.Width()) * img.Height());
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            const std::uint32_t c = img.GetPixel(x, y);
            out.push_back((c >> 24) < 128 ? kTransparent : static_cast<std::uint8_t>(p.lookup.at(c & 0xFFFFFF)));
        }
    return out;
}

}  // namespace

bool SaveGif(const std::vector<const Image*>& frames, const std::vector<int>& delaysMs,
             const std::wstring& path) {
    if (frames.empty() || !frames[0] || frames[0]->IsNull()) return false;
    const int w = frames[0]->Width(), h = frames[0]->Height();
    if (w > 0xFFFF || h > 0xFFFF) return false;
    for (const Image* f : frames)
        if (!f || f->Width() != w || f->Height() != h) return false;

    ByteOut out;
    out.PutText("GIF89a");
    out.Put16(static_cast<unsigned>(w));
    out.Put16(static_cast<unsigned>(h));
    out.Put(0x70);  // no global colour table, 8 bits of colour resolution
    out.Put(0);
    out.Put(0);
    // Loop forever.
    out.Put(0x21);
    out.Put(0xFF);
    out.Put(11);
    out.PutText("NETSCAPE2.0");
    out.Put(3);
    out.Put(1);
    out.Put16(0);
    out.Put(0);
    for (size_t i = 0; i < frames.size(); ++i) {
        const Image& img = *frames[i];
        const Palette palette = BuildPalette(img);
        const int delay = i < delaysMs.size() ? delaysMs[i] : 100;
        out.Put(0x21);
        out.Put(0xF9);
        out.Put(4);
        out.Put((2 << 2) | 1);  // restore to background, transparent index present
        out.Put16(static_cast<unsigned>(std::max(0, delay) / 10));
        out.Put(kTransparent);
        out.Put(0);
        out.Put(0x2C);
        out.Put16(0);
        out.Put16(0);
        out.Put16(static_cast<unsigned>(w));
        out.Put16(static_cast<unsigned>(h));
        out.Put(0x80 | 7);  // local colour table of 256 entries
        for (std::uint32_t c : palette.colours) {
            out.Put((c >> 16) & 0xFF);
            out.Put((c >> 8) & 0xFF);
            out.Put(c & 0xFF);
        }
        WriteLzw(out, Indices(img, palette), 8);
    }
    out.Put(0x3B);

    std::FILE* f = std::fopen(QString::fromStdWString(path).toLocal8Bit().constData(), "wb");
    if (!f) return false;
    const bool wrote = std::fwrite(out.bytes.data(), 1, out.bytes.size(), f) == out.bytes.size();
    return std::fclose(f) == 0 && wrote;
}

}  // namespace platform::draw
