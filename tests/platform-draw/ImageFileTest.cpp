// Images to and from files: decoding, the GIF writer's frames and palettes, the BMP
// writer's layout, and that copies never share pixels.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/draw/GifWriter.h"
#include "platform/draw/Image.h"

using namespace platform::draw;

namespace {

std::wstring TempPath(const std::string& name) {
    const std::string p = testing::TempDir() + "draw-" + std::to_string(::getpid()) + "-" + name;
    return std::wstring(p.begin(), p.end());
}

std::vector<unsigned char> ReadAll(const std::wstring& path) {
    std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

unsigned Le32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (unsigned(b[at + 3]) << 24);
}

}  // namespace

TEST(ImageFile, PngKeepsStraightAlphaColours) {
    Image img(3, 2);
    img.SetPixel(0, 0, 0xFFFF0000);
    img.SetPixel(1, 0, 0x80408020);
    img.SetPixel(2, 1, 0x00000000);
    const std::wstring path = TempPath("roundtrip.png");
    ASSERT_TRUE(img.SavePng(path));
    auto back = Image::FromFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Width(), 3);
    EXPECT_EQ(back->Height(), 2);
    EXPECT_EQ(back->FrameCount(), 1);
    EXPECT_EQ(back->GetPixel(0, 0), 0xFFFF0000u);
    const Argb half = back->GetPixel(1, 0);
    EXPECT_EQ(AlphaOfArgb(half), 0x80);
    EXPECT_NEAR(RedOfArgb(half), 0x40, 2);
    EXPECT_NEAR(GreenOfArgb(half), 0x80, 2);
    EXPECT_EQ(back->GetPixel(2, 1), 0u);
}

TEST(ImageFile, MissingOrGarbageFilesGiveNull) {
    EXPECT_EQ(Image::FromFile(TempPath("does-not-exist.png")), nullptr);
    const std::wstring path = TempPath("garbage.png");
    {
        std::ofstream out(std::string(path.begin(), path.end()), std::ios::binary);
        out << "\x89PNG not really a png";
    }
    EXPECT_EQ(Image::FromFile(path), nullptr);
    EXPECT_EQ(Image::FromMemory(nullptr, 10), nullptr);
    const char junk[] = "junk";
    EXPECT_EQ(Image::FromMemory(junk, sizeof junk), nullptr);
}

TEST(ImageFile, GifKeepsEveryFrameAndItsDelay) {
    const Argb colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    std::vector<Image> frames;
    for (Argb c : colours) {
        Image f(6, 4);
        f.Fill(c);
        f.SetPixel(0, 0, 0);  // one transparent pixel in each frame
        frames.push_back(f);
    }
    const std::wstring path = TempPath("three.gif");
    ASSERT_TRUE(SaveGif({&frames[0], &frames[1], &frames[2]}, {50, 100, 200}, path));
    auto gif = Image::FromFile(path);
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->FrameCount(), 3);
    EXPECT_EQ(gif->FrameDelays(), (std::vector<int>{50, 100, 200}));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(gif->SelectActiveFrame(i));
        EXPECT_EQ(gif->GetPixel(3, 2), colours[i]) << i;
        EXPECT_EQ(AlphaOfArgb(gif->GetPixel(0, 0)), 0) << i;
    }
    EXPECT_FALSE(gif->SelectActiveFrame(3));
    EXPECT_EQ(gif->ActiveFrame(), 2);
}

TEST(ImageFile, GifWithManyColoursStaysCloseAndLongRunsSurviveTableResets) {
    // Thousands of distinct colours force the reduced palette; the noise-like blue
    // channel fills the code table several times, so table resets are exercised too.
    const int n = 128;
    Image img(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) img.SetPixel(x, y, MakeArgb(255, x * 2, y * 2, (x * y * 7) & 0xFF));
    const std::wstring path = TempPath("many.gif");
    ASSERT_TRUE(SaveGif({&img}, {0}, path));
    auto gif = Image::FromFile(path);
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->Width(), n);
    long long total = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const Argb a = img.GetPixel(x, y), b = gif->GetPixel(x, y);
            ASSERT_EQ(AlphaOfArgb(b), 255) << x << "," << y;
            total += std::abs(RedOfArgb(a) - RedOfArgb(b)) + std::abs(GreenOfArgb(a) - GreenOfArgb(b)) +
                     std::abs(BlueOfArgb(a) - BlueOfArgb(b));
        }
    const double meanPerChannel = double(total) / (3.0 * n * n);
    EXPECT_LT(meanPerChannel, 12.0);
}

TEST(ImageFile, GifRefusesFramesOfDifferentSizes) {
    Image a(4, 4), b(5, 4);
    a.Fill(0xFFFFFFFF);
    b.Fill(0xFFFFFFFF);
    EXPECT_FALSE(SaveGif({&a, &b}, {}, TempPath("mixed.gif")));
    EXPECT_FALSE(SaveGif({}, {}, TempPath("none.gif")));
}

TEST(ImageFile, BmpIsBottomUpWithWindowsHeaders) {
    Image img(3, 2);
    img.Fill(0xFF000000);
    img.SetPixel(0, 0, 0xFFFF0000);  // top-left red
    img.SetPixel(2, 1, 0xFF0000FF);  // bottom-right blue
    const std::wstring path = TempPath("pic.bmp");
    ASSERT_TRUE(img.SaveBmp(path, 24));
    const auto b = ReadAll(path);
    ASSERT_GE(b.size(), 54u + 16u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(b, 2), b.size());
    EXPECT_EQ(Le32(b, 10), 54u);  // pixel data right after the two headers
    EXPECT_EQ(Le32(b, 14), 40u);
    EXPECT_EQ(Le32(b, 18), 3u);
    EXPECT_EQ(Le32(b, 22), 2u);  // positive height: bottom-up
    EXPECT_EQ(b[28], 24);
    // Rows are padded to 4 bytes: 3 pixels * 3 bytes = 9 -> 12.
    ASSERT_EQ(b.size(), 54u + 24u);
    // First stored row is the bottom one; its last pixel is blue (B, G, R order).
    EXPECT_EQ(b[54 + 6], 0xFF);
    EXPECT_EQ(b[54 + 8], 0x00);
    // Second stored row is the top one; its first pixel is red.
    EXPECT_EQ(b[54 + 12 + 2], 0xFF);
    EXPECT_EQ(b[54 + 12 + 0], 0x00);
    EXPECT_FALSE(img.SaveBmp(path, 16));
    EXPECT_FALSE(img.SaveBmp(L"/nonexistent-dir/x.bmp", 24));
}

TEST(ImageFile, CopiesDoNotSharePixels) {
    Image a(2, 2);
    a.Fill(0xFF112233);
    Image b = a;
    b.Bits()[0] = 0xFFFFFFFF;
    EXPECT_EQ(a.GetPixel(0, 0), 0xFF112233u);
    EXPECT_EQ(b.GetPixel(0, 0), 0xFFFFFFFFu);
}

TEST(ImageFile, OutOfRangePixelsReadZeroAndIgnoreWrites) {
    Image img(2, 2);
    img.SetPixel(-1, 0, 0xFFFFFFFF);
    img.SetPixel(2, 0, 0xFFFFFFFF);
    EXPECT_EQ(img.GetPixel(5, 5), 0u);
    EXPECT_EQ(img.GetPixel(0, 0), 0u);
    EXPECT_TRUE(Image(0, 5).IsNull());
}
