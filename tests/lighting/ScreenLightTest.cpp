#include "lighting/GridScaler.h"
#include "lighting/ScreenLight.h"

#include "FakeScreen.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace keyloft {
namespace {

using testing::AsColourRef;
using testing::BlockRgb;
using testing::BlockScreen;

TEST(AverageScale, BoxesAverageTheirPixelsAndKeepFlatColours) {
    // 4 x 2 to 2 x 1: each output pixel is the mean of a 2 x 2 box.
    const std::uint32_t source[] = {
        0xFF000000, 0xFF0000FF, 0xFF102030, 0xFF102030,
        0xFFFF0000, 0xFF00FF00, 0xFF102030, 0xFF102030,
    };
    std::uint32_t target[2] = {};
    AverageScale(source, 4, 2, target, 2, 1);
    EXPECT_EQ(target[0], 0xFF404040u);  // (255 / 4 rounded) in every channel
    EXPECT_EQ(target[1], 0xFF102030u);

    // 5 to 3 columns: boxes of 1, 2 and 2 pixels; flat boxes keep their colour
    // exactly, also white, which must not spill into the neighbouring channel.
    const std::uint32_t uneven[] = {0xFFFFFFFF, 0xFF00FF00, 0xFF00FF00, 0xFF0000FF, 0xFF0000FF};
    std::uint32_t three[3] = {};
    AverageScale(uneven, 5, 1, three, 3, 1);
    EXPECT_EQ(three[0], 0xFFFFFFFFu);
    EXPECT_EQ(three[1], 0xFF00FF00u);
    EXPECT_EQ(three[2], 0xFF0000FFu);
}

struct LayoutCase {
    const char* name;
    int columns, rows;
};

class ScreenLightLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ScreenLightLayout, CellsShowTheirPixelOrTheLastGoodOne) {
    const LayoutCase& layout = GetParam();
    ScreenLight light([] { return std::make_unique<BlockScreen>(); });
    light.Start(layout.columns, layout.rows);
    ASSERT_TRUE(light.Capture());
    const int columns = std::min(layout.columns, 32), rows = std::min(layout.rows, 8);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            int pc = c, pr = r;
            if (c >= 18) {  // beyond the picture: the last pixel read, in column order
                pc = 17;
                pr = std::min(rows, 6) - 1;
            } else if (r >= 6) {
                pr = 5;  // the pixel above, repeated
            }
            EXPECT_EQ(light.Cell(c, r), AsColourRef(BlockRgb(pc, pr))) << layout.name << " cell " << c << "," << r;
        }
    }
    // Cells outside the layout's size are not written.
    if (columns < 32) {
        EXPECT_EQ(light.Cell(columns, 0), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ScreenLightLayout,
                         ::testing::Values(LayoutCase{"18 x 6", 18, 6}, LayoutCase{"21 columns", 21, 6},
                                           LayoutCase{"7 rows", 18, 7}, LayoutCase{"21 x 8", 21, 8},
                                           LayoutCase{"40 x 9 is cut to 32 x 8", 40, 9}, LayoutCase{"5 x 2", 5, 2}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(ScreenLight, FailedCaptureKeepsThePreviousGrid) {
    std::atomic<bool> fail{false};
    ScreenLight light([&] { return std::make_unique<BlockScreen>(&fail); });
    light.Start(18, 6);
    ASSERT_TRUE(light.Capture());
    fail = true;
    EXPECT_FALSE(light.Capture());
    EXPECT_EQ(light.Cell(4, 2), AsColourRef(BlockRgb(4, 2)));

    ScreenLight noScreen([] { return nullptr; });
    noScreen.Start(18, 6);
    EXPECT_FALSE(noScreen.Capture());
    EXPECT_EQ(noScreen.Cell(0, 0), 0u);
}

TEST(ScreenLight, EmptyKeyMatrixStartsNoThread) {
    ScreenLight light([] { return std::make_unique<BlockScreen>(); });
    light.Start(0, 6);
    light.Start(18, 0);
    light.Start(-1, -1);
    EXPECT_FALSE(light.Running());
    EXPECT_EQ(light.Columns(), 0);
    light.Start(21, 7);
    EXPECT_TRUE(light.Running());
    light.Start(18, 6);  // a later call only updates the counts
    EXPECT_EQ(light.Columns(), 18);
    EXPECT_EQ(light.Rows(), 6);
}

TEST(ScreenLightThread, CapturesOnlyWhileTheFlagIsSetAndNoFasterThanEvery15Ms) {
    std::atomic<int> captures{0};
    ScreenLight light([&] { return std::make_unique<BlockScreen>(nullptr, &captures); });
    light.Start(18, 6);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(captures, 0);

    light.SetCapture(true);
    const auto start = std::chrono::steady_clock::now();
    while (captures < 3 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GE(captures, 3);
    EXPECT_EQ(light.Cell(17, 5), AsColourRef(BlockRgb(17, 5)));

    // A capture that takes no time would loop freely without the 15 ms spacing.
    // The bound follows the time that really passed, so a slow machine that
    // oversleeps cannot make it fail.
    const int before = captures;
    const auto watchStart = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int during = captures - before;
    const auto watched = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - watchStart);
    EXPECT_LE(during, watched.count() / ScreenLight::kMinCaptureIntervalMs + 2) << "in " << watched.count() << " ms";

    light.SetCapture(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    const int stopped = captures;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(captures, stopped);
}

}  // namespace
}  // namespace keyloft
