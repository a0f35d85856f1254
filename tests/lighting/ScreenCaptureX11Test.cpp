// The X11 screen capture and the screen grid under a private Xvfb.
#include "platform/screen/testing/XvfbScreen.h"
#include "lighting/ScreenLight.h"
#include "platform/screen/ScreenCapture.h"

#include <gtest/gtest.h>

#include <vector>

namespace keyloft {
namespace {

constexpr int kWidth = 1920, kHeight = 1080;

std::uint32_t BlockRgb(int c, int r) { return static_cast<std::uint32_t>((255 - 14 * c) << 16 | (30 + 45 * r) << 8 | (7 * c + 11 * r)); }

// Block edges on the screen that fall between the pixels that the 480 x 270
// sampling keeps for neighbouring boxes of the 18 x 6 average.
int EdgeX(int c) { return (480 * c / 18) * kWidth / 480; }
int EdgeY(int r) { return (270 * r / 6) * kHeight / 270; }

class XvfbTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (screen_.Display().empty()) GTEST_SKIP() << "Xvfb could not be started (package xvfb)";
    }
    testing::XvfbScreen screen_{kWidth, kHeight};
};

TEST_F(XvfbTest, SampledCaptureReadsTheScreenPixelsItKeeps) {
    ASSERT_TRUE(screen_.ShowBlocks(18, 6, EdgeX, EdgeY, BlockRgb));
    for (bool serverScaling : {true, false}) {
    SCOPED_TRACE(serverScaling ? "scaled by the server" : "whole screen read");
    auto capture = platform::OpenX11ScreenCapture(screen_.Display().c_str(), serverScaling);
    ASSERT_NE(capture, nullptr);
    EXPECT_EQ(capture->ScreenWidth(), kWidth);
    EXPECT_EQ(capture->ScreenHeight(), kHeight);
    std::vector<std::uint32_t> pixels(480 * 270);
    ASSERT_TRUE(capture->Capture(480, 270, pixels.data()));
    // Pixel (x, y) is screen pixel (4x, 4y): check it against the block there.
    for (int y = 0; y < 270; ++y) {
        for (int x = 0; x < 480; ++x) {
            int c = 0, r = 0;
            while (EdgeX(c + 1) <= 4 * x) ++c;
            while (EdgeY(r + 1) <= 4 * y) ++r;
            ASSERT_EQ(pixels[y * 480 + x], 0xFF000000u | BlockRgb(c, r)) << x << "," << y;
        }
    }
    }
}

TEST_F(XvfbTest, GridShowsTheColoursOfTheBlocksOnScreen) {
    ASSERT_TRUE(screen_.ShowBlocks(18, 6, EdgeX, EdgeY, BlockRgb));
    const std::string display = screen_.Display();
    ScreenLight light([display] { return platform::OpenX11ScreenCapture(display.c_str()); });
    light.Start(18, 6);
    ASSERT_TRUE(light.Capture());
    for (int c = 0; c < 18; ++c) {
        for (int r = 0; r < 6; ++r) {
            const std::uint32_t rgb = BlockRgb(c, r);
            const std::uint32_t colourRef = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
            EXPECT_EQ(light.Cell(c, r), colourRef) << "cell " << c << "," << r;
        }
    }

    // The picture changes: the next capture follows it.
    ASSERT_TRUE(screen_.ShowBlocks(18, 6, EdgeX, EdgeY, [](int, int) { return 0x123456u; }));
    ASSERT_TRUE(light.Capture());
    EXPECT_EQ(light.Cell(9, 3), 0x563412u);
}

// Two monitors side by side, the right one primary: the keys follow the primary
// monitor alone, not a squeezed picture of both.
int MonitorEdgeX(int c) { return c < 18 ? (480 * c / 18) * 2 : 960 + (480 * (c - 18) / 18) * 2; }
std::uint32_t WideBlockRgb(int c, int r) {
    return static_cast<std::uint32_t>((250 - 7 * c) << 16 | (30 + 45 * r) << 8 | (5 * c + 11 * r));
}

TEST_F(XvfbTest, GridFollowsThePrimaryMonitorOnly) {
    if (!screen_.AddMonitor("KEYLOFT-LEFT", 0, 0, 960, kHeight, false) ||
        !screen_.AddMonitor("KEYLOFT-RIGHT", 960, 0, 960, kHeight, true))
        GTEST_SKIP() << "this server or build has no monitor list (libxrandr-dev)";
    ASSERT_TRUE(screen_.ShowBlocks(36, 6, MonitorEdgeX, EdgeY, WideBlockRgb));
    const std::string display = screen_.Display();
    for (bool serverScaling : {true, false}) {
        SCOPED_TRACE(serverScaling ? "scaled by the server" : "whole monitor read");
        auto capture = platform::OpenX11ScreenCapture(display.c_str(), serverScaling);
        ASSERT_NE(capture, nullptr);
        EXPECT_EQ(capture->ScreenWidth(), 960);
        EXPECT_EQ(capture->ScreenHeight(), kHeight);

        ScreenLight light([display, serverScaling] { return platform::OpenX11ScreenCapture(display.c_str(), serverScaling); });
        light.Start(18, 6);
        ASSERT_TRUE(light.Capture());
        for (int c = 0; c < 18; ++c) {
            for (int r = 0; r < 6; ++r) {
                const std::uint32_t rgb = WideBlockRgb(18 + c, r);
                const std::uint32_t colourRef = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
                EXPECT_EQ(light.Cell(c, r), colourRef) << "cell " << c << "," << r;
            }
        }
    }
}

TEST(X11ScreenCapture, NoDisplayMeansNoCapture) {
    EXPECT_EQ(platform::OpenX11ScreenCapture(":999999"), nullptr);
}

}  // namespace
}  // namespace keyloft
