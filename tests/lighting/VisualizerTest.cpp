#include "lighting/Visualizer.h"

#include "FakeAudio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>

namespace keyloft {
namespace {

using testing::FakeAudioState;
using testing::FakeEndpoints;

constexpr double kPi = 3.14159265358979323846;

// 256 analysis samples of a tone with a period of `period` samples.
std::vector<float> Tone(int period, float amplitude, int count = 256) {
    std::vector<float> s(count);
    for (int i = 0; i < count; ++i) s[i] = amplitude * static_cast<float>(std::sin(2 * kPi * i / period));
    return s;
}

class VisualizerTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeAudioState> audio = std::make_shared<FakeAudioState>();
    Visualizer visualizer{std::make_unique<FakeEndpoints>(audio)};

    void SetUp() override { visualizer.Initialize(); }
};

TEST_F(VisualizerTest, InitialiseFindsTheDefaultOutputAndStartsItsCapture) {
    EXPECT_EQ(visualizer.DeviceNames(), std::vector<std::wstring>{L"Default Loopback Device"});
    EXPECT_EQ(audio->opened, std::vector<std::string>{"speakers"});
    EXPECT_TRUE(visualizer.Capturing());
    EXPECT_EQ(visualizer.Gain(), 270);
    EXPECT_EQ(visualizer.Level(), 0.0f);
}

TEST_F(VisualizerTest, SamplesAverageFourValuesAndNeverReadPastThePacket) {
    visualizer.SetGain(100);
    // 6 stereo frames: ceil(6 / 4) = 2 groups of four floats, floats 0 to 7.
    audio->Queue({0.1f, 0.3f, 0.2f, 0.2f, 1.0f, 1.0f, 0.0f, 0.0f, 9.0f, 9.0f, 9.0f, 9.0f}, 2);
    // 1 stereo frame: one group, only 2 floats exist; the missing two count 0.
    audio->Queue({0.5f, 0.5f}, 2);
    visualizer.Analyse();
    const auto ring = visualizer.Ring();
    // Newest last, each sample twice.
    EXPECT_FLOAT_EQ(ring[511], 50.0f);
    EXPECT_FLOAT_EQ(ring[510], 50.0f);
    EXPECT_FLOAT_EQ(ring[509], 100.0f);
    EXPECT_FLOAT_EQ(ring[507], 40.0f);
    EXPECT_FLOAT_EQ(ring[505], 0.0f);
}

TEST_F(VisualizerTest, SteadyToneGivesASteadyLevelWithItsBandOnTop) {
    // A period of 16 samples is bin 16 of the 512-point transform, since every
    // sample is stored twice: band 16, entries 64 to 67 before smoothing.
    std::vector<float> levels;
    for (int step = 0; step < 12; ++step) {
        audio->QueueSteps(Tone(16, 0.3f, 64));
        visualizer.Analyse();
        levels.push_back(visualizer.Level());
    }
    EXPECT_GT(levels.back(), 5.0f);
    EXPECT_NEAR(levels[11], levels[10], levels[11] * 0.05f);
    const auto bands = visualizer.Bands();
    const auto top = std::max_element(bands.begin(), bands.end()) - bands.begin();
    EXPECT_GE(top, 56);
    EXPECT_LE(top, 75);
    EXPECT_GT(bands[top], 3 * bands[200]);
}

// One analysis step written the plain way, in double precision: decay, the
// windowed ring through a direct transform, weights, bands with peak hold,
// smoothing with a fresh sum for every entry, and the level. The fast step must
// agree with it entry by entry.
struct ReferenceAnalysis {
    std::array<double, 256> band{};

    double Step(const std::array<float, 512>& ring, double gain) {
        for (double& b : band) b *= 0.8;
        std::array<double, 512> x;
        for (int j = 0; j < 512; ++j) x[j] = ring[j];
        for (int j = 0; j < 256; ++j) x[j] *= 0.5 * (1.0 - std::cos(2 * kPi * j / 256));
        std::array<double, 512> f{};
        for (int k = 0; k <= 256; ++k) {
            double re = 0, im = 0;
            for (int n = 0; n < 512; ++n) {
                re += x[n] * std::cos(2 * kPi * n * k / 512);
                im -= x[n] * std::sin(2 * kPi * n * k / 512);
            }
            if (k == 0) f[0] = re / 512;
            else if (k == 256) f[1] = re / 512;
            else { f[2 * k] = re / 512; f[2 * k + 1] = im / 512; }
        }
        f[0] = f[2];
        for (int j = 0; j < 256; ++j) f[j] *= 0.04 + 0.5 * j / 256;
        for (int k = 0; k < 64; ++k) {
            const double a = std::sqrt(f[2 * k] * f[2 * k] + f[2 * k + 1] * f[2 * k + 1]);
            const double v = std::min(1.0, 0.5 * std::log10(1.1 * a) + 0.9 * a);
            if (v > band[4 * k]) band[4 * k] = v;
            if (band[4 * k] < 0) band[4 * k] = 0;
            band[4 * k + 1] = band[4 * k + 2] = band[4 * k + 3] = band[4 * k];
        }
        for (int i = 0; i < 8; ++i) {
            double sum = 0;
            for (int j = 0; j <= i + 8; ++j) sum += band[j];
            band[i] = sum / (i + 9);
            sum = 0;
            for (int j = 247 - i; j <= 255; ++j) sum += band[j];
            band[255 - i] = sum / (i + 9);
        }
        for (int i = 8; i <= 247; ++i) {
            double sum = band[i];
            for (int j = 1; j <= 8; ++j) sum += band[i - j] + band[i + j];
            band[i] = sum / 17;
        }
        double squares = 0;
        for (double b : band) squares += b * b;
        return std::sqrt(squares / 256) * gain;
    }
};

TEST_F(VisualizerTest, StepAgreesWithThePlainAnalysisEntryByEntry) {
    // Tones of several strengths over noise reach every part of the band
    // formula (below zero, the logarithm, the cap at 1); silence then decays.
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> noise(-0.004f, 0.004f);
    ReferenceAnalysis reference;
    for (int step = 0; step < 10; ++step) {
        std::vector<float> samples(64);
        for (int i = 0; i < 64; ++i) {
            const int t = step * 64 + i;
            samples[i] = step < 7 ? 0.03f * static_cast<float>(std::sin(2 * kPi * t / 16)) +
                                        0.006f * static_cast<float>(std::sin(2 * kPi * t / 5)) +
                                        0.3f * static_cast<float>(std::sin(2 * kPi * t / 40)) + noise(rng)
                                  : 0.0f;
        }
        audio->QueueSteps(samples);
        visualizer.Analyse();
        const double level = reference.Step(visualizer.Ring(), visualizer.Gain());
        const auto bands = visualizer.Bands();
        for (int i = 0; i < 256; ++i) ASSERT_NEAR(bands[i], reference.band[i], 2e-5) << "step " << step << " entry " << i;
        ASSERT_NEAR(visualizer.Level(), level, 2e-5 * 270) << "step " << step;
    }
    EXPECT_GT(*std::max_element(reference.band.begin(), reference.band.end()), 0.0);
}

TEST_F(VisualizerTest, SilenceAfterMusicBringsTheLevelDownToFive) {
    for (int step = 0; step < 8; ++step) {
        audio->QueueSteps(Tone(16, 1.0f, 64));
        visualizer.Analyse();
    }
    ASSERT_GT(visualizer.Level(), 50.0f);
    int steps = 0;
    while (visualizer.Level() > 5.0f && steps < 40) {
        audio->QueueSteps(std::vector<float>(64, 0.0f));
        visualizer.Analyse();
        ++steps;
    }
    EXPECT_LE(visualizer.Level(), 5.0f);
    EXPECT_LT(steps, 25);  // 80 % decay per step: well within half a second
}

TEST_F(VisualizerTest, GainZeroSilencesEverySampleAndTheLevel) {
    visualizer.SetGain(0);
    for (int step = 0; step < 3; ++step) {
        audio->QueueSteps(Tone(16, 0.5f, 64));
        visualizer.Analyse();
    }
    const auto ring = visualizer.Ring();
    EXPECT_TRUE(std::all_of(ring.begin(), ring.end(), [](float v) { return v == 0.0f; }));
    EXPECT_EQ(visualizer.Level(), 0.0f);
}

TEST_F(VisualizerTest, ValuesThatAreNotNumbersCountAsSilence) {
    const float nan = std::nanf("");
    audio->Queue({nan, nan, INFINITY, -INFINITY, 0.25f, 0.25f, 0.25f, 0.25f}, 1);
    visualizer.Analyse();
    const auto ring = visualizer.Ring();
    EXPECT_FLOAT_EQ(ring[509], 0.0f);
    EXPECT_FLOAT_EQ(ring[511], 0.5f * 270.0f);
    EXPECT_TRUE(std::isfinite(visualizer.Level()));
}

TEST_F(VisualizerTest, PacketWithoutDataClosesTheCaptureUntilItIsStartedAgain) {
    {
        std::lock_guard<std::mutex> lock(audio->mutex);
        audio->packets.push_back({{}, 480, 2, true});
    }
    audio->QueueSteps({0.5f});
    visualizer.Analyse();
    EXPECT_FALSE(visualizer.Capturing());
    EXPECT_EQ(visualizer.Ring()[511], 0.0f);  // nothing after the broken packet was read
    visualizer.StartCapture();
    EXPECT_TRUE(visualizer.Capturing());
    visualizer.Analyse();
    EXPECT_FLOAT_EQ(visualizer.Ring()[511], 270.0f);
}

TEST_F(VisualizerTest, FailingCaptureOnlyEndsTheDrain) {
    audio->QueueSteps({0.5f});
    audio->failGetBuffer = true;
    visualizer.Analyse();
    EXPECT_TRUE(visualizer.Capturing());
    EXPECT_EQ(visualizer.Ring()[511], 0.0f);
    audio->failGetBuffer = false;
    visualizer.Analyse();
    EXPECT_FLOAT_EQ(visualizer.Ring()[511], 270.0f);
}

TEST(Visualizer, WithoutAnOutputNothingIsCapturedAndTheLevelFalls) {
    auto audio = std::make_shared<FakeAudioState>();
    audio->defaultOutput.clear();
    Visualizer visualizer(std::make_unique<FakeEndpoints>(audio));
    visualizer.Initialize();
    EXPECT_TRUE(visualizer.DeviceNames().empty());
    EXPECT_FALSE(visualizer.Capturing());
    EXPECT_TRUE(audio->opened.empty());
    for (int i = 0; i < 5; ++i) visualizer.Analyse();
    EXPECT_EQ(visualizer.Level(), 0.0f);

    Visualizer none(nullptr);
    none.Initialize();
    none.Analyse();
    EXPECT_EQ(none.Level(), 0.0f);
}

TEST_F(VisualizerTest, DefaultDeviceChangeMovesTheCaptureToTheNewOutput) {
    std::function<void()> handler;
    {
        std::lock_guard<std::mutex> lock(audio->mutex);
        audio->defaultOutput = "headphones";
        handler = audio->handler;
    }
    ASSERT_TRUE(handler);
    handler();
    EXPECT_EQ(audio->opened, (std::vector<std::string>{"speakers", "headphones"}));
    EXPECT_TRUE(visualizer.Capturing());

    // No default any more: the list empties, the running capture is left alone.
    audio->defaultOutput.clear();
    handler();
    EXPECT_TRUE(visualizer.DeviceNames().empty());
    EXPECT_EQ(audio->opened.size(), 2u);
    EXPECT_TRUE(visualizer.Capturing());
}

TEST(VisualizerThread, AnalysesOnlyWhileActive) {
    auto audio = std::make_shared<FakeAudioState>();
    Visualizer visualizer(std::make_unique<FakeEndpoints>(audio));
    visualizer.Initialize();
    visualizer.StartThread();
    // Inactive: packets wait in the capture and the level stays 0.
    audio->QueueSteps(Tone(16, 1.0f, 256));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(visualizer.Level(), 0.0f);

    visualizer.SetActive(true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (visualizer.Level() <= 5.0f && std::chrono::steady_clock::now() < deadline) {
        audio->QueueSteps(Tone(16, 1.0f, 64));
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    EXPECT_GT(visualizer.Level(), 5.0f);
}

}  // namespace
}  // namespace keyloft
