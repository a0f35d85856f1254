// GDI-style operations on device contexts: colour order, clipping, raster
// operations and the two alpha-blend forms.
#include <gtest/gtest.h>

#include "platform/draw/Dc.h"
#include "platform/draw/Image.h"

using namespace platform::draw;

namespace {

Image Filled(int w, int h, Argb c) {
    Image img(w, h);
    img.Fill(c);
    return img;
}

}  // namespace

TEST(FillSolidRect, ColorRefKeepsRedInTheLowByteAndIsOpaque) {
    Image img(4, 4);
    Dc dc(&img);
    ASSERT_TRUE(FillSolidRect(dc, Rect(1, 1, 3, 3), MakeColorRef(0x11, 0x22, 0x33)));
    EXPECT_EQ(img.GetPixel(1, 1), 0xFF112233u);
    EXPECT_EQ(img.GetPixel(2, 2), 0xFF112233u);
    EXPECT_EQ(img.GetPixel(0, 0), 0u);  // outside: untouched
    EXPECT_EQ(img.GetPixel(3, 3), 0u);  // right/bottom edges are exclusive
}

TEST(FillSolidRect, KeepsToTheClipAndToTheImage) {
    Image img(4, 4);
    Dc dc(&img);
    dc.SetClip(Rect(0, 0, 2, 4));
    FillSolidRect(dc, Rect(-5, -5, 50, 50), 0x0000FF);
    EXPECT_EQ(img.GetPixel(1, 3), 0xFFFF0000u);
    EXPECT_EQ(img.GetPixel(2, 0), 0u);
}

TEST(BitBlt, CopiesClippedToBothImages) {
    Image src(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) src.SetPixel(x, y, MakeArgb(255, x * 10, y * 10, 0));
    Image dst(4, 4);
    Dc s(&src), d(&dst);
    // Destination starts off the image on the left and the source runs out at the right.
    ASSERT_TRUE(BitBlt(d, -1, 2, 5, 5, s, 0, 0));
    EXPECT_EQ(dst.GetPixel(0, 2), MakeArgb(255, 10, 0, 0));   // source (1, 0)
    EXPECT_EQ(dst.GetPixel(1, 3), MakeArgb(255, 20, 10, 0));  // source (2, 1)
    EXPECT_EQ(dst.GetPixel(2, 2), 0u);                        // beyond the source's right edge
    EXPECT_EQ(dst.GetPixel(0, 1), 0u);
}

TEST(BitBlt, OverlappingCopyWithinOneImage) {
    Image img(5, 1);
    for (int x = 0; x < 5; ++x) img.SetPixel(x, 0, MakeArgb(255, x, 0, 0));
    Dc dc(&img);
    ASSERT_TRUE(BitBlt(dc, 1, 0, 4, 1, dc, 0, 0));
    for (int x = 1; x < 5; ++x) EXPECT_EQ(img.GetPixel(x, 0), MakeArgb(255, x - 1, 0, 0)) << x;
}

TEST(BitBlt, RasterOperations) {
    struct Case {
        std::uint32_t rop;
        Argb dst, src, expected;
    };
    const Case cases[] = {
        {kSrcCopy, 0xFF102030, 0xFF0F0F0F, 0xFF0F0F0F},
        {kSrcPaint, 0xFF102030, 0xFF0F0F0F, 0xFF1F2F3F},
        {kSrcAnd, 0xFF1F2F3F, 0xFF0F0F0F, 0xFF0F0F0F},
        {kSrcInvert, 0xFF1F2F3F, 0xFF0F0F0F, 0xFF102030},
        {kDstInvert, 0xFF00FF00, 0xFF123456, 0xFFFF00FF},
        {kBlackness, 0xFF123456, 0xFF123456, 0xFF000000},
        {kWhiteness, 0xFF123456, 0xFF123456, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        Image dst = Filled(2, 2, c.dst), src = Filled(2, 2, c.src);
        Dc d(&dst), s(&src);
        ASSERT_TRUE(BitBlt(d, 0, 0, 2, 2, s, 0, 0, c.rop)) << std::hex << c.rop;
        EXPECT_EQ(dst.GetPixel(1, 1), c.expected) << std::hex << c.rop;
    }
}

TEST(BitBlt, RefusesUnknownOperationsAndMissingImages) {
    Image img(2, 2);
    Dc d(&img), empty;
    EXPECT_FALSE(BitBlt(d, 0, 0, 2, 2, d, 0, 0, 0x12345678));
    EXPECT_FALSE(BitBlt(empty, 0, 0, 2, 2, d, 0, 0));
    EXPECT_FALSE(BitBlt(d, 0, 0, 2, 2, empty, 0, 0));
}

TEST(AlphaBlend, WithoutPerPixelAlphaOnlyTheConstantAlphaCounts) {
    // The transitions blend whole lines at one alpha: even a fully transparent
    // source pixel must cover the target by the constant alpha.
    struct Case {
        Argb src;
        int expectRed, expectBlue;
    };
    const Case cases[] = {
        {0xFFFF0000, 127, 128},
        {0x00000000, 0, 128},
    };
    for (const Case& c : cases) {
        Image dst = Filled(1, 1, 0xFF0000FF);
        Image src = Filled(1, 1, c.src);
        Dc d(&dst), s(&src);
        ASSERT_TRUE(AlphaBlend(d, 0, 0, 1, 1, s, 0, 0, 1, 1, {127, false}));
        const Argb out = dst.GetPixel(0, 0);
        EXPECT_EQ(AlphaOfArgb(out), 255);
        EXPECT_NEAR(RedOfArgb(out), c.expectRed, 1) << std::hex << c.src;
        EXPECT_NEAR(BlueOfArgb(out), c.expectBlue, 1) << std::hex << c.src;
    }
}

TEST(AlphaBlend, PerPixelAlphaAndConstantAlphaMultiply) {
    struct Case {
        Argb src;
        std::uint8_t constant;
        int expectRed, expectBlue;
    };
    const Case cases[] = {
        {0xFFFF0000, 255, 255, 0},  // opaque source replaces
        {0x00000000, 255, 0, 255},  // transparent source leaves the target
        {0x80FF0000, 255, 128, 127},
        {0x80FF0000, 128, 64, 191},
    };
    for (const Case& c : cases) {
        Image dst = Filled(1, 1, 0xFF0000FF);
        Image src = Filled(1, 1, c.src);
        Dc d(&dst), s(&src);
        ASSERT_TRUE(AlphaBlend(d, 0, 0, 1, 1, s, 0, 0, 1, 1, {c.constant, true}));
        const Argb out = dst.GetPixel(0, 0);
        EXPECT_NEAR(RedOfArgb(out), c.expectRed, 2) << std::hex << c.src;
        EXPECT_NEAR(BlueOfArgb(out), c.expectBlue, 2) << std::hex << c.src;
        EXPECT_EQ(AlphaOfArgb(out), 255);
    }
}

TEST(StretchBlt, ScalesAndMirrors) {
    Image src(2, 1);
    src.SetPixel(0, 0, 0xFFFF0000);
    src.SetPixel(1, 0, 0xFF00FF00);
    Image dst(4, 2);
    Dc s(&src), d(&dst);
    ASSERT_TRUE(StretchBlt(d, 0, 0, 4, 2, s, 0, 0, 2, 1));
    EXPECT_EQ(dst.GetPixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(dst.GetPixel(2, 0), 0xFF00FF00u);
    Image mirrored(2, 1);
    Dc m(&mirrored);
    ASSERT_TRUE(StretchBlt(m, 1, 0, -2, 1, s, 0, 0, 2, 1));
    EXPECT_EQ(mirrored.GetPixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(mirrored.GetPixel(1, 0), 0xFFFF0000u);
}

TEST(GradientFillRect, RunsFromFirstToLastColourAlongTheAxis) {
    Image img(5, 3);
    Dc dc(&img);
    ASSERT_TRUE(GradientFillRect(dc, Rect(0, 0, 5, 3), 0xFF000000, 0xFFFF0000, false));
    EXPECT_EQ(img.GetPixel(0, 1), 0xFF000000u);
    EXPECT_EQ(img.GetPixel(4, 1), 0xFFFF0000u);
    EXPECT_NEAR(RedOfArgb(img.GetPixel(2, 1)), 127, 1);
    ASSERT_TRUE(GradientFillRect(dc, Rect(0, 0, 5, 3), 0xFF0000FF, 0xFF00FF00, true));
    EXPECT_EQ(img.GetPixel(3, 0), 0xFF0000FFu);
    EXPECT_EQ(img.GetPixel(3, 2), 0xFF00FF00u);
}
