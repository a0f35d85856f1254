// Runs the PulseAudio loopback capture against a private server: one started by
// the test with its own runtime folder and socket, a null sink as the default
// output, and pacat playing a known tone into it. Skips, saying why, only where
// no server can be started.
#include "lighting/Visualizer.h"
#include "platform/audio/LoopbackAudio.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace keyloft {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

pid_t Spawn(const std::vector<std::string>& args, const std::string& log = "/dev/null") {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int RunCommand(const std::vector<std::string>& args) {
    const pid_t pid = Spawn(args);
    if (pid < 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

template <typename Pred>
bool WaitFor(Pred pred, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

class PulseServer : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("keyloft-pulse-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        socket_ = (dir_ / "native").string();
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
        setenv("PULSE_RUNTIME_PATH", dir_.c_str(), 1);
        setenv("HOME", dir_.c_str(), 1);
        setenv("PULSE_SERVER", ("unix:" + socket_).c_str(), 1);
        server_ = Spawn({"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
                         "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket_,
                         "--load=module-null-sink sink_name=keyloft_test rate=48000 channels=2"},
                        (dir_ / "server.log").string());
        if (server_ < 0 || !WaitFor([&] { return RunCommand({"pactl", "info"}) == 0; }, 10s)) {
            Stop();
            GTEST_SKIP() << "no PulseAudio server could be started (pulseaudio and pactl from "
                            "pulseaudio and pulseaudio-utils are needed)";
        }
    }

    void TearDown() override {
        for (pid_t p : players_) {
            kill(p, SIGTERM);
            waitpid(p, nullptr, 0);
        }
        Stop();
        unsetenv("PULSE_SERVER");
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    void Stop() {
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
            server_ = -1;
        }
    }

    // Plays `seconds` of a sine of `amplitude` on both channels into `sink`.
    void PlayTone(const std::string& sink, float amplitude, double seconds) {
        const std::string file = (dir_ / ("tone-" + sink + ".raw")).string();
        std::ofstream out(file, std::ios::binary);
        const int frames = static_cast<int>(48000 * seconds);
        for (int i = 0; i < frames; ++i) {
            const float v = amplitude * static_cast<float>(std::sin(2 * M_PI * 750.0 * i / 48000.0));
            out.write(reinterpret_cast<const char*>(&v), sizeof v);
            out.write(reinterpret_cast<const char*>(&v), sizeof v);
        }
        out.close();
        players_.push_back(Spawn({"pacat", "--playback", "--raw", "--format=float32le", "--rate=48000",
                                  "--channels=2", "--device=" + sink, file}));
    }

    fs::path dir_;
    std::string socket_;
    pid_t server_ = -1;
    std::vector<pid_t> players_;
};

// Root mean square of what the stream delivers within `limit`, over at least `want` frames.
double CaptureRms(platform::AudioCaptureStream& stream, std::uint32_t want, std::chrono::milliseconds limit,
                  std::uint32_t* channels = nullptr) {
    double squares = 0;
    std::uint64_t count = 0, frames = 0;
    WaitFor([&] {
        platform::AudioPacket p;
        while (stream.GetBuffer(p) && p.frames > 0) {
            if (channels) *channels = p.channels;
            for (std::uint64_t i = 0; i < std::uint64_t{p.frames} * p.channels; ++i) {
                squares += p.data[i] * p.data[i];
                ++count;
            }
            frames += p.frames;
            stream.ReleaseBuffer();
        }
        return frames >= want;
    }, limit);
    return count ? std::sqrt(squares / count) : -1.0;
}

TEST_F(PulseServer, CapturesWhatTheDefaultSinkPlaysAsFloatFrames) {
    auto endpoints = platform::CreatePulseAudioEndpoints();
    ASSERT_EQ(endpoints->DefaultOutput(), "keyloft_test");
    auto stream = endpoints->OpenLoopback(endpoints->DefaultOutput());
    ASSERT_NE(stream, nullptr);

    // Nothing plays: the monitor delivers silence.
    std::uint32_t channels = 0;
    const double quiet = CaptureRms(*stream, 4800, 3s, &channels);
    EXPECT_EQ(channels, 2u);
    EXPECT_GE(quiet, 0.0);
    EXPECT_LT(quiet, 1e-4);

    // A sine of amplitude 0.5 has a root mean square of 0.354.
    PlayTone("keyloft_test", 0.5f, 3.0);
    const bool heard = WaitFor([&] { return CaptureRms(*stream, 2400, 1s) > 0.3; }, 5s);
    EXPECT_TRUE(heard);
    const double loud = CaptureRms(*stream, 9600, 2s);
    EXPECT_NEAR(loud, 0.354, 0.03);
}

TEST_F(PulseServer, VisualizerFollowsTheDefaultSinkWhenItChanges) {
    Visualizer visualizer(platform::CreatePulseAudioEndpoints());
    visualizer.Initialize();
    ASSERT_TRUE(visualizer.Capturing());
    visualizer.SetActive(true);
    visualizer.StartThread();

    ASSERT_EQ(RunCommand({"pactl", "load-module", "module-null-sink", "sink_name=second", "rate=48000", "channels=2"}), 0);
    ASSERT_EQ(RunCommand({"pactl", "set-default-sink", "second"}), 0);
    // The tone plays only into the new default: the level can rise only once the
    // capture has moved there without anyone asking.
    PlayTone("second", 0.8f, 6.0);
    EXPECT_TRUE(WaitFor([&] { return visualizer.Level() > 20.0f; }, 5s)) << "level " << visualizer.Level();
}

TEST(PulseWithoutServer, ReportsNoOutputAndLetsTheLevelFall) {
    const std::string dir = fs::temp_directory_path() / ("keyloft-nopulse-" + std::to_string(getpid()));
    setenv("PULSE_SERVER", ("unix:" + dir + "/none").c_str(), 1);
    const auto start = std::chrono::steady_clock::now();
    auto endpoints = platform::CreatePulseAudioEndpoints();
    EXPECT_EQ(endpoints->DefaultOutput(), "");
    EXPECT_EQ(endpoints->OpenLoopback("anything"), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);  // a missing server fails fast

    Visualizer visualizer(std::move(endpoints));
    visualizer.Initialize();
    EXPECT_FALSE(visualizer.Capturing());
    for (int i = 0; i < 3; ++i) visualizer.Analyse();
    EXPECT_EQ(visualizer.Level(), 0.0f);
    unsetenv("PULSE_SERVER");
}

}  // namespace
}  // namespace keyloft
