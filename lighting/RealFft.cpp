#include "lighting/RealFft.h"

#include <cmath>
#include <cstring>

namespace keyloft {

namespace {

constexpr int kComplexSize = 256;  // 4^4
constexpr double kPi = 3.14159265358979323846;

// Four floats in one vector register (SSE on x86-64, NEON on ARM); GCC and
// Clang both lower these to plain vector instructions.
typedef float F4 __attribute__((vector_size(16)));

inline F4 Load(const float* p) {
    F4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void Store(float* p, F4 v) { std::memcpy(p, &v, sizeof v); }
inline F4 Reverse(F4 v) {
#if defined(__clang__)
    return __builtin_shufflevector(v, v, 3, 2, 1, 0);
#else
    typedef int I4 __attribute__((vector_size(16)));
    return __builtin_shuffle(v, I4{3, 2, 1, 0});
#endif
}

// Twiddles of one radix-4 stage whose butterflies span `span` entries.
struct Stage {
    int span = 0;
    alignas(16) float w1r[64], w1i[64], w2r[64], w2i[64], w3r[64], w3i[64];
};

struct Tables {
    unsigned char reverse[kComplexSize];  // base-4 digit reversal of 0..255
    Stage stages[3];                       // spans 64, 16, 4 (span 1 needs no twiddles)
    alignas(16) float splitCos[kComplexSize / 2 + 4];  // cos(2*pi*k/512), k = 0..128
    alignas(16) float splitSin[kComplexSize / 2 + 4];

    Tables() {
        for (int n = 0; n < kComplexSize; ++n) {
            int r = 0;
            for (int d = 0, v = n; d < 4; ++d, v >>= 2) r = (r << 2) | (v & 3);
            reverse[n] = static_cast<unsigned char>(r);
        }
        int span = 64;
        for (Stage& s : stages) {
            s.span = span;
            for (int j = 0; j < span; ++j) {
                const double a = -2.0 * kPi * j / (4.0 * span);
                s.w1r[j] = static_cast<float>(std::cos(a));
                s.w1i[j] = static_cast<float>(std::sin(a));
                s.w2r[j] = static_cast<float>(std::cos(2 * a));
                s.w2i[j] = static_cast<float>(std::sin(2 * a));
                s.w3r[j] = static_cast<float>(std::cos(3 * a));
                s.w3i[j] = static_cast<float>(std::sin(3 * a));
            }
            span /= 4;
        }
        for (int k = 0; k < kComplexSize / 2 + 4; ++k) {
            splitCos[k] = static_cast<float>(std::cos(2.0 * kPi * k / kRealFftSize));
            splitSin[k] = static_cast<float>(std::sin(2.0 * kPi * k / kRealFftSize));
        }
    }
};

const Tables& GetTables() {
    static const Tables tables;
    return tables;
}

}  // namespace

void RealFft512(float* x) {
    const Tables& t = GetTables();
    alignas(16) float re[kComplexSize];
    alignas(16) float im[kComplexSize];

    // Even samples are the real parts, odd ones the imaginary parts.
    for (int n = 0; n < kComplexSize; ++n) {
        re[n] = x[2 * n];
        im[n] = x[2 * n + 1];
    }

    // Decimation in frequency, radix 4, four butterflies at a time: spans 64,
    // 16 and 4 with twiddles after the butterfly.
    for (const Stage& s : t.stages) {
        const int L = s.span;
        for (int g = 0; g < kComplexSize; g += 4 * L) {
            for (int j = 0; j < L; j += 4) {
                float* r = re + g + j;
                float* i = im + g + j;
                const F4 a0r = Load(r), a0i = Load(i);
                const F4 a1r = Load(r + L), a1i = Load(i + L);
                const F4 a2r = Load(r + 2 * L), a2i = Load(i + 2 * L);
                const F4 a3r = Load(r + 3 * L), a3i = Load(i + 3 * L);
                const F4 b0r = a0r + a2r, b0i = a0i + a2i;
                const F4 b1r = a0r - a2r, b1i = a0i - a2i;
                const F4 b2r = a1r + a3r, b2i = a1i + a3i;
                const F4 b3r = a1i - a3i, b3i = a3r - a1r;  // (a1 - a3) * -i
                const F4 y1r = b1r + b3r, y1i = b1i + b3i;
                const F4 y2r = b0r - b2r, y2i = b0i - b2i;
                const F4 y3r = b1r - b3r, y3i = b1i - b3i;
                const F4 w1r = Load(s.w1r + j), w1i = Load(s.w1i + j);
                const F4 w2r = Load(s.w2r + j), w2i = Load(s.w2i + j);
                const F4 w3r = Load(s.w3r + j), w3i = Load(s.w3i + j);
                Store(r, b0r + b2r);
                Store(i, b0i + b2i);
                Store(r + L, y1r * w1r - y1i * w1i);
                Store(i + L, y1r * w1i + y1i * w1r);
                Store(r + 2 * L, y2r * w2r - y2i * w2i);
                Store(i + 2 * L, y2r * w2i + y2i * w2r);
                Store(r + 3 * L, y3r * w3r - y3i * w3i);
                Store(i + 3 * L, y3r * w3i + y3i * w3r);
            }
        }
    }

    // Last stage (span 1, no twiddles), written to the digit-reversed places:
    // Z then stands in natural order.
    alignas(16) float zr[kComplexSize];
    alignas(16) float zi[kComplexSize];
    for (int g = 0; g < kComplexSize; g += 4) {
        const float b0r = re[g] + re[g + 2], b0i = im[g] + im[g + 2];
        const float b1r = re[g] - re[g + 2], b1i = im[g] - im[g + 2];
        const float b2r = re[g + 1] + re[g + 3], b2i = im[g + 1] + im[g + 3];
        const float b3r = im[g + 1] - im[g + 3], b3i = re[g + 3] - re[g + 1];
        zr[t.reverse[g]] = b0r + b2r;
        zi[t.reverse[g]] = b0i + b2i;
        zr[t.reverse[g + 1]] = b1r + b3r;
        zi[t.reverse[g + 1]] = b1i + b3i;
        zr[t.reverse[g + 2]] = b0r - b2r;
        zi[t.reverse[g + 2]] = b0i - b2i;
        zr[t.reverse[g + 3]] = b1r - b3r;
        zi[t.reverse[g + 3]] = b1i - b3i;
    }

    // Split step: bins k and 256 - k of the real transform come from Z[k] and
    // Z[256 - k]. Four k at a time (k = 1..124), their partners read backwards.
    constexpr float scale = 1.0f / kRealFftSize;
    x[0] = (zr[0] + zi[0]) * scale;
    x[1] = (zr[0] - zi[0]) * scale;
    auto splitOne = [&](int k) {
        const int m = kComplexSize - k;
        const float er = 0.5f * (zr[k] + zr[m]), ei = 0.5f * (zi[k] - zi[m]);
        const float orr = 0.5f * (zi[k] + zi[m]), oi = -0.5f * (zr[k] - zr[m]);
        const float c = t.splitCos[k], s = t.splitSin[k];
        const float tr = orr * c + oi * s;
        const float ti = oi * c - orr * s;
        x[2 * k] = (er + tr) * scale;
        x[2 * k + 1] = (ei + ti) * scale;
        if (m != k) {
            x[2 * m] = (er - tr) * scale;
            x[2 * m + 1] = (ti - ei) * scale;
        }
    };
    const F4 half = {0.5f, 0.5f, 0.5f, 0.5f};
    const F4 sc = {scale, scale, scale, scale};
    int k = 1;
    for (; k + 3 < kComplexSize / 2; k += 4) {
        // Partners m = 256 - k .. 253 - k, loaded from 253 - k upwards and reversed.
        const F4 zkr = Load(zr + k), zki = Load(zi + k);
        const F4 zmr = Reverse(Load(zr + kComplexSize - k - 3)), zmi = Reverse(Load(zi + kComplexSize - k - 3));
        const F4 er = half * (zkr + zmr), ei = half * (zki - zmi);
        const F4 orr = half * (zki + zmi), oi = -half * (zkr - zmr);
        const F4 c = Load(t.splitCos + k), s = Load(t.splitSin + k);
        const F4 tr = orr * c + oi * s;
        const F4 ti = oi * c - orr * s;
        const F4 xkr = (er + tr) * sc, xki = (ei + ti) * sc;
        const F4 xmr = (er - tr) * sc, xmi = (ti - ei) * sc;
        for (int q = 0; q < 4; ++q) {
            x[2 * (k + q)] = xkr[q];
            x[2 * (k + q) + 1] = xki[q];
            x[2 * (kComplexSize - k - q)] = xmr[q];
            x[2 * (kComplexSize - k - q) + 1] = xmi[q];
        }
    }
    for (; k <= kComplexSize / 2; ++k) splitOne(k);
}

}  // namespace keyloft
