#include "platform/input/KeyboardGrab.h"
#include "platform/input/InputTestSupport.h"
#include "platform/input/KeyTranslation.h"
#include "platform/input/TextPaster.h"

#include "XvfbServer.h"
#include "keys/MacroRecorder.h"

#include <chrono>
#include <condition_variable>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using platform::GrabbedKey;
using platform::KeyboardGrab;

TEST(TranslateKernelKey, KeysOfEveryBlock) {
    struct Row { int kernel; bool digits; int vk, scan; bool ext; };
    const Row rows[] = {
        {30, true, 'A', 0x1E, false},  {2, true, '1', 0x02, false},   {28, true, 13, 0x1C, false},
        {96, true, 13, 0x1C, true},    {29, true, 162, 0x1D, false},  {97, true, 163, 0x1D, true},
        {56, true, 164, 0x38, false},  {100, true, 165, 0x38, true},  {125, true, 91, 0x5B, true},
        {71, true, 103, 0x47, false},  {71, false, 36, 0x47, false},  {102, false, 36, 0x47, true},
        {83, false, 46, 0x53, false},  {111, true, 46, 0x53, true},   {74, false, 109, 0x4A, false},
        {98, true, 111, 0x35, true},   {69, true, 144, 0x45, true},   {119, true, 19, 0x45, false},
        {86, true, 226, 0x56, false},  {88, true, 123, 0x58, false},  {183, true, 124, 0x64, false},
        {115, true, 175, 0x30, true},  {140, true, 183, 0x21, true},  {0, true, 0, 0, false},
        {999, true, 0, 0, false},
    };
    for (const Row& r : rows) {
        const auto t = platform::TranslateKernelKey(r.kernel, r.digits);
        EXPECT_EQ(t.virtualKey, r.vk) << r.kernel;
        EXPECT_EQ(t.scanCode, r.scan) << r.kernel;
        EXPECT_EQ(t.extended, r.ext) << r.kernel;
    }
}

struct Collector {
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<GrabbedKey> keys;
    void operator()(const GrabbedKey& k) {
        std::lock_guard lock(mutex);
        keys.push_back(k);
        cv.notify_all();
    }
    std::vector<GrabbedKey> WaitUntilLast(int message, int vk) {
        std::unique_lock lock(mutex);
        cv.wait_for(lock, std::chrono::seconds(5), [&] {
            return !keys.empty() && keys.back().message == message && keys.back().virtualKey == vk;
        });
        return keys;
    }
};

class KeyboardGrabX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (server_.display().empty()) GTEST_SKIP() << "Xvfb could not be started";
        input_ = std::make_unique<platform::testing::SyntheticKeyboard>(server_.display());
        if (!input_->ok()) GTEST_SKIP() << "cannot connect to " << server_.display();
    }
    void Key(const char* sym, bool press) { input_->Key(sym, press); }

    test::XvfbServer server_;
    std::unique_ptr<platform::testing::SyntheticKeyboard> input_;
};

TEST_F(KeyboardGrabX11, RealKeysArriveTranslatedAndFeedTheRecorder) {
    Collector got;
    KeyboardGrab grab;
    ASSERT_TRUE(grab.Start([&](const GrabbedKey& k) { got(k); }, 0, server_.display()));
    // another client cannot take the keyboard while we hold it
    KeyboardGrab second;
    EXPECT_FALSE(second.Start([](const GrabbedKey&) {}, 0, server_.display()));

    Key("a", true);
    usleep(900 * 1000);  // held past the repeat delay: the server repeats the press
    Key("a", false);
    Key("KP_Home", true);  // keypad 7 with Num Lock off
    Key("KP_Home", false);
    Key("Control_R", true);
    Key("Control_R", false);
    Key("Alt_L", true);
    Key("Tab", true);
    Key("Tab", false);
    Key("Alt_L", false);
    const auto keys = got.WaitUntilLast(0x105, 164);
    // The held A repeats as presses only; what follows arrives once each.
    std::size_t repeats = 0;
    while (repeats < keys.size() && keys[repeats].message == 0x100 && keys[repeats].virtualKey == 'A') ++repeats;
    EXPECT_GE(repeats, 2u);
    ASSERT_EQ(keys.size(), repeats + 9);
    struct Expect { int message, vk, scan, flags; };
    const Expect expected[] = {
        {0x100, 'A', 0x1E, 0}, {0x101, 'A', 0x1E, 0}, {0x100, 36, 0x47, 0},
        {0x101, 36, 0x47, 0},  {0x100, 163, 0x1D, 1}, {0x101, 163, 0x1D, 1},
        {0x104, 164, 0x38, 0}, {0x104, 9, 0x0F, 0},   {0x105, 9, 0x0F, 0},
        {0x105, 164, 0x38, 0},
    };
    for (std::size_t i = 0; i < 10; ++i) {
        const GrabbedKey& k = keys[i == 0 ? 0 : repeats + i - 1];
        EXPECT_EQ(k.message, expected[i].message) << i;
        EXPECT_EQ(k.virtualKey, expected[i].vk) << i;
        EXPECT_EQ(k.scanCode, expected[i].scan) << i;
        EXPECT_EQ(k.flags, expected[i].flags) << i;
    }
    EXPECT_GE(keys.back().timeMs, keys.front().timeMs);
    // synthetic events take the same road
    grab.Feed({0x100, 'Q', 0x10, 0, 1});
    EXPECT_EQ(got.WaitUntilLast(0x100, 'Q').size(), keys.size() + 1);
    grab.Stop();
    EXPECT_FALSE(grab.Running());

    // The same events recorded: the repeat is dropped, keypad 7 stays keypad 7.
    MacroRecorder recorder;
    ASSERT_TRUE(recorder.Start({}, 0, 80, kDelayNone, 0));
    for (const auto& k : keys) recorder.Feed({k.message, k.virtualKey, k.scanCode, k.flags, k.timeMs});
    std::vector<int> values;
    for (const auto& s : recorder.Stop()) values.push_back(s.value);
    EXPECT_EQ(values, (std::vector<int>{'A', 'A', 103, 103, 163, 163, 164, 9, 9, 164}));
    EXPECT_EQ(recorder.Actions(), 10);

    // once released, the keyboard can be grabbed again
    EXPECT_TRUE(second.Start([](const GrabbedKey&) {}, 0, server_.display()));
}

TEST_F(KeyboardGrabX11, ALostServerEndsTheGrabNotTheProgram) {
    Collector got;
    KeyboardGrab grab;
    {
#if defined(__SANITIZE_ADDRESS__)
        // A connection that broke is never closed (Xlib would block), so what
        // Xlib allocated for it stays behind on purpose.
        __lsan::ScopedDisabler keep;
#endif
        ASSERT_TRUE(grab.Start([&](const GrabbedKey& k) { got(k); }, 0, server_.display()));
    }
    input_.reset();
    server_.Stop();
    usleep(300 * 1000);
    grab.Stop();
    EXPECT_FALSE(grab.Running());
    EXPECT_TRUE(got.keys.empty());
}

TEST(KeyboardGrab, WithoutADisplayStartFails) {
    KeyboardGrab grab;
    EXPECT_FALSE(grab.Start([](const GrabbedKey&) {}, 0, ":65000"));
    EXPECT_FALSE(grab.Running());
}

// The text function: while Ctrl+V is held another program can read the text
// from our clipboard; it is cleared only after the grace period. The Qt
// application runs in a child process that ends before its X server does (Qt
// ends any process whose display goes away).
int PasteInChild(const std::string& display) {
    auto fail = [](const char* what) {
        std::fprintf(stderr, "paste check failed: %s\n", what);
        return 1;
    };
    if (!platform::testing::EnsureQtOnDisplay(display)) return fail("no Qt application");
    Collector got;
    KeyboardGrab grab;
    if (!grab.Start([&](const GrabbedKey& k) { got(k); }, 0, display)) return fail("grab");
    if (!platform::PasteText(L"Grüße, 世界")) return fail("PasteText");
    const auto keys = got.WaitUntilLast(0x101, 162);
    std::vector<std::pair<int, int>> seen;
    for (const auto& k : keys) seen.emplace_back(k.message, k.virtualKey);
    if (seen != std::vector<std::pair<int, int>>{{0x100, 162}, {0x100, 'V'}, {0x101, 'V'}, {0x101, 162}})
        return fail("Ctrl+V keys");
    grab.Stop();
    // a paste request that comes after the keys still gets the text
    if (platform::testing::ReadClipboardAsPeer(display, 2000) != L"Grüße, 世界") return fail("served text");
    platform::testing::RunQtEvents(platform::kPasteClearAfterMs + 300);
    if (!platform::testing::ReadClipboardAsPeer(display, 500).empty()) return fail("clipboard not cleared");
    if (platform::PasteText(L"")) return fail("empty text pasted");
    return 0;
}

TEST_F(KeyboardGrabX11, PastedTextIsServedToThePeerThenCleared) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(PasteInChild(server_.display()));
    int status = 0;
    for (int waited = 0; waited < 300 && waitpid(child, &status, WNOHANG) == 0; ++waited) usleep(50 * 1000);
    if (waitpid(child, &status, WNOHANG) == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        FAIL() << "the paste check did not finish";
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace keyloft
