#include "lighting/RealFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace keyloft {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The packed layout computed the slow way: DFT / 512.
std::vector<double> ReferenceTransform(const std::vector<float>& in) {
    const int n = kRealFftSize;
    std::vector<double> out(n);
    for (int k = 0; k <= n / 2; ++k) {
        double re = 0, im = 0;
        for (int j = 0; j < n; ++j) {
            re += in[j] * std::cos(2 * kPi * j * k / n);
            im -= in[j] * std::sin(2 * kPi * j * k / n);
        }
        re /= n;
        im /= n;
        if (k == 0) out[0] = re;
        else if (k == n / 2) out[1] = re;
        else { out[2 * k] = re; out[2 * k + 1] = im; }
    }
    return out;
}

struct Signal {
    const char* name;
    std::vector<float> values;
};

std::vector<Signal> Signals() {
    std::vector<Signal> s;
    std::vector<float> v(kRealFftSize);
    for (int j = 0; j < kRealFftSize; ++j) v[j] = 1.0f;
    s.push_back({"constant", v});
    for (int j = 0; j < kRealFftSize; ++j) v[j] = (j % 2) ? -1.0f : 1.0f;
    s.push_back({"nyquist", v});
    for (int j = 0; j < kRealFftSize; ++j) v[j] = static_cast<float>(std::cos(2 * kPi * 37 * j / kRealFftSize));
    s.push_back({"cosine at bin 37", v});
    for (int j = 0; j < kRealFftSize; ++j) v[j] = static_cast<float>(std::sin(2 * kPi * 200 * j / kRealFftSize));
    s.push_back({"sine at bin 200", v});
    std::fill(v.begin(), v.end(), 0.0f);
    v[3] = 1.0f;
    s.push_back({"impulse at 3", v});
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    for (float& x : v) x = dist(rng);
    s.push_back({"noise", v});
    return s;
}

TEST(RealFft, MatchesTheDirectTransformInThePackedLayout) {
    for (const Signal& signal : Signals()) {
        SCOPED_TRACE(signal.name);
        std::vector<float> x = signal.values;
        RealFft512(x.data());
        const std::vector<double> expected = ReferenceTransform(signal.values);
        for (int i = 0; i < kRealFftSize; ++i) ASSERT_NEAR(x[i], expected[i], 2e-6) << "at " << i;
    }
}

TEST(RealFft, PureToneLandsInItsBinWithHalfItsAmplitude) {
    std::vector<float> x(kRealFftSize);
    for (int j = 0; j < kRealFftSize; ++j) x[j] = static_cast<float>(std::cos(2 * kPi * 16 * j / kRealFftSize));
    RealFft512(x.data());
    EXPECT_NEAR(x[32], 0.5f, 1e-5);
    EXPECT_NEAR(x[33], 0.0f, 1e-5);
    EXPECT_NEAR(x[30], 0.0f, 1e-5);
    EXPECT_NEAR(x[0], 0.0f, 1e-5);
}

}  // namespace
}  // namespace keyloft
