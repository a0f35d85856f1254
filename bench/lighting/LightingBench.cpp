// Costs of the lighting threads: one analysis step of the music visualizer, our
// 512-point real FFT beside FFTW's, one screen capture with both scaling steps
// of a 1920 x 1080 screen under Xvfb, and the processor share of the screen
// thread while a screen-sync mode runs.
#include "FakeAudio.h"
#include "platform/screen/testing/XvfbScreen.h"
#include "lighting/RealFft.h"
#include "lighting/ScreenLight.h"
#include "lighting/Visualizer.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <cmath>
#include <ctime>
#include <random>
#include <thread>
#include <vector>

namespace keyloft {
namespace {

std::vector<float> Noise(std::size_t n) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> d(-0.5f, 0.5f);
    std::vector<float> v(n);
    for (float& x : v) x = d(rng);
    return v;
}

void BM_OurRealFft512(benchmark::State& state) {
    const std::vector<float> input = Noise(kRealFftSize);
    alignas(32) float x[kRealFftSize];
    for (auto _ : state) {
        std::copy(input.begin(), input.end(), x);
        RealFft512(x);
        benchmark::DoNotOptimize(x);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_OurRealFft512);

void BM_FftwRealFft512(benchmark::State& state) {
    const std::vector<float> input = Noise(kRealFftSize);
    float* in = fftwf_alloc_real(kRealFftSize);
    fftwf_complex* out = fftwf_alloc_complex(kRealFftSize / 2 + 1);
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(kRealFftSize, in, out, FFTW_MEASURE);
    for (auto _ : state) {
        std::copy(input.begin(), input.end(), in);  // the same copy as ours
        fftwf_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(plan);
    fftwf_free(in);
    fftwf_free(out);
}
BENCHMARK(BM_FftwRealFft512);

// One step with nothing new captured (the drain finds no packet).
void BM_VisualizerAnalyse(benchmark::State& state) {
    auto audio = std::make_shared<testing::FakeAudioState>();
    Visualizer visualizer(std::make_unique<testing::FakeEndpoints>(audio));
    visualizer.Initialize();
    audio->Queue(Noise(4096), 2);
    visualizer.Analyse();
    for (auto _ : state) visualizer.Analyse();
    benchmark::DoNotOptimize(visualizer.Level());
}
BENCHMARK(BM_VisualizerAnalyse);

// One step that drains 15 ms of 48 kHz stereo sound (the packet is queued
// outside the timed part).
void BM_VisualizerAnalyseWith15MsOfSound(benchmark::State& state) {
    auto audio = std::make_shared<testing::FakeAudioState>();
    Visualizer visualizer(std::make_unique<testing::FakeEndpoints>(audio));
    visualizer.Initialize();
    const std::vector<float> packet = Noise(720 * 2);
    for (auto _ : state) {
        state.PauseTiming();
        audio->Queue(packet, 2);
        state.ResumeTiming();
        visualizer.Analyse();
    }
    benchmark::DoNotOptimize(visualizer.Level());
}
BENCHMARK(BM_VisualizerAnalyseWith15MsOfSound);

// Xvfb at 1920 x 1080 with a picture of 18 x 6 blocks, shared by the two screen benchmarks.
testing::XvfbScreen& Screen() {
    static testing::XvfbScreen screen(1920, 1080);
    static bool drawn = screen.ShowBlocks(
        18, 6, [](int c) { return c * 1920 / 18; }, [](int r) { return r * 1080 / 6; },
        [](int c, int r) { return static_cast<std::uint32_t>(c * 14 << 16 | r * 40 << 8 | 0x80); });
    (void)drawn;
    return screen;
}

void BM_ScreenCaptureBothScalingSteps1080p(benchmark::State& state) {
    const std::string display = Screen().Display();
    if (display.empty()) {
        state.SkipWithError("Xvfb could not be started");
        return;
    }
    ScreenLight light([display] { return platform::OpenX11ScreenCapture(display.c_str()); });
    light.Start(18, 6);
    if (!light.Capture()) {
        state.SkipWithError("the screen could not be captured");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(light.Capture());
}
BENCHMARK(BM_ScreenCaptureBothScalingSteps1080p)->Unit(benchmark::kMicrosecond);

// Processor seconds (user + system) that process `pid` has used so far.
double ProcessSeconds(int pid) {
    std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (!f) return 0;
    char buffer[1024] = {};
    const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
    std::fclose(f);
    buffer[n] = 0;
    // Fields 14 and 15 (utime, stime) follow the command name in parentheses.
    const char* p = std::strrchr(buffer, ')');
    if (!p) return 0;
    unsigned long utime = 0, stime = 0;
    if (std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2) return 0;
    return static_cast<double>(utime + stime) / sysconf(_SC_CLK_TCK);
}

// The screen thread runs for 2 s with the capture flag set while this thread
// sleeps; the process's processor time over the wall time is the thread's share
// of one core. The X server's share (it does the first scaling step where it
// can) is reported beside it.
void BM_ScreenThreadProcessorShare1080p(benchmark::State& state) {
    const std::string display = Screen().Display();
    if (display.empty()) {
        state.SkipWithError("Xvfb could not be started");
        return;
    }
    double share = 0, serverShare = 0;
    std::uint64_t captures = 0;
    for (auto _ : state) {
        ScreenLight light([display] { return platform::OpenX11ScreenCapture(display.c_str()); });
        light.Start(18, 6);
        light.SetCapture(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // opened and running
        timespec c0, c1;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c0);
        const auto w0 = std::chrono::steady_clock::now();
        const std::uint64_t n0 = light.CaptureCount();
        const double server0 = ProcessSeconds(Screen().Pid());
        std::this_thread::sleep_for(std::chrono::seconds(2));
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c1);
        serverShare = (ProcessSeconds(Screen().Pid()) - server0) / 2.0;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
        const double cpu = (c1.tv_sec - c0.tv_sec) + (c1.tv_nsec - c0.tv_nsec) / 1e9;
        share = cpu / wall;
        captures = light.CaptureCount() - n0;
    }
    state.counters["core_share_percent"] = share * 100.0;
    state.counters["captures_per_s"] = captures / 2.0;
    state.counters["x_server_share_percent"] = serverShare * 100.0;
}
BENCHMARK(BM_ScreenThreadProcessorShare1080p)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace keyloft
