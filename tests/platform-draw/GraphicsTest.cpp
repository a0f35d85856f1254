// GDI+-style drawing: clip inheritance, image scaling, blending modes, several
// Graphics on one image, text placement and measuring, private fonts.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/draw/Dc.h"
#include "platform/draw/Font.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/GraphicsPath.h"
#include "platform/draw/Image.h"
#include "platform/draw/QtApplication.h"

using namespace platform::draw;

namespace {

class GraphicsTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);  // never needs a display
        ASSERT_TRUE(EnsureQtApplication());
    }
};

// Bounding box of pixels whose alpha is above zero; empty when there are none.
Rect InkBox(const Image& img) {
    Rect box;
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            if (AlphaOfArgb(img.GetPixel(x, y)) > 0) box = box.United(Rect(x, y, x + 1, y + 1));
    return box;
}

const std::wstring kSansFile = L"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

}  // namespace

TEST_F(GraphicsTest, StartsWithTheClipOfItsDc) {
    Image img(10, 10);
    Dc dc(&img);
    dc.SetClip(Rect(2, 2, 5, 5));
    Graphics g(dc);
    g.FillRectangle(Brush::Solid(0xFFFF0000), RectF(0, 0, 10, 10));
    EXPECT_EQ(InkBox(img), Rect(2, 2, 5, 5));
}

TEST_F(GraphicsTest, DrawsASourceRectangleScaledIntoTheDestination) {
    // A strip of four 2-pixel cells; cell 2 scaled to 4 x 4 must show only its colour.
    const Argb cells[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};
    Image strip(8, 2);
    for (int i = 0; i < 4; ++i)
        for (int x = 0; x < 2; ++x)
            for (int y = 0; y < 2; ++y) strip.SetPixel(i * 2 + x, y, cells[i]);
    Image out(6, 6);
    Graphics g(out);
    g.SetInterpolationMode(InterpolationMode::NearestNeighbor);
    g.DrawImage(strip, Rect(1, 1, 5, 5), Rect(4, 0, 6, 2));
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 5; ++x) ASSERT_EQ(out.GetPixel(x, y), 0xFF0000FFu) << x << "," << y;
    EXPECT_EQ(InkBox(out), Rect(1, 1, 5, 5));
}

TEST_F(GraphicsTest, SourceOverBlendsAndSourceCopyReplaces) {
    Image img(2, 1);
    img.Fill(0xFF0000FF);
    Graphics g(img);
    g.FillRectangle(Brush::Solid(0x80FF0000), RectF(0, 0, 1, 1));
    g.SetCompositingMode(CompositingMode::SourceCopy);
    g.FillRectangle(Brush::Solid(0x80FF0000), RectF(1, 0, 1, 1));
    const Argb over = img.GetPixel(0, 0), copy = img.GetPixel(1, 0);
    EXPECT_EQ(AlphaOfArgb(over), 255);
    EXPECT_NEAR(RedOfArgb(over), 128, 2);
    EXPECT_NEAR(BlueOfArgb(over), 127, 2);
    EXPECT_EQ(AlphaOfArgb(copy), 0x80);
    EXPECT_NEAR(RedOfArgb(copy), 255, 2);
    EXPECT_EQ(BlueOfArgb(copy), 0);
}

TEST_F(GraphicsTest, ImageOpacityScalesAlpha) {
    Image src(1, 1);
    src.Fill(0xFFFFFFFF);
    Image dst(1, 1);
    Graphics g(dst);
    g.DrawImage(src, RectF(0, 0, 1, 1), RectF(0, 0, 1, 1), 0.5f);
    EXPECT_NEAR(AlphaOfArgb(dst.GetPixel(0, 0)), 128, 2);
}

TEST_F(GraphicsTest, SeveralGraphicsAndGdiCallsShareOneImage) {
    // A control draws with its own Graphics inside the window's paint pass, which
    // holds one too; a GDI-style fill happens in between. All three must land.
    Image img(3, 1);
    Dc dc(&img);
    Graphics outer(dc);
    outer.FillRectangle(Brush::Solid(0xFFFF0000), RectF(0, 0, 1, 1));
    {
        Graphics inner(img);
        inner.SetClip(Rect(1, 0, 2, 1));
        inner.FillRectangle(Brush::Solid(0xFF00FF00), RectF(0, 0, 3, 1));
    }
    FillSolidRect(dc, Rect(2, 0, 3, 1), MakeColorRef(0, 0, 255));
    outer.FillRectangle(Brush::Solid(0x00000000), RectF(0, 0, 3, 1));  // the outer clip is unchanged
    EXPECT_EQ(img.GetPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(img.GetPixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(img.GetPixel(2, 0), 0xFF0000FFu);
}

TEST_F(GraphicsTest, StringAlignmentPlacesTheInk) {
    const Font font(L"Liberation Sans", 14);
    ASSERT_TRUE(font.Family().IsValid()) << "fonts-liberation2 is needed";
    struct Case {
        StringAlignment h, v;
        bool inkLeft, inkTop;
    };
    const Case cases[] = {
        {StringAlignment::Near, StringAlignment::Near, true, true},
        {StringAlignment::Far, StringAlignment::Far, false, false},
    };
    for (const Case& c : cases) {
        Image img(200, 60);
        Graphics g(img);
        StringFormat f(kStringFormatNoWrap);
        f.alignment = c.h;
        f.lineAlignment = c.v;
        g.DrawString(L"Apply", font, RectF(0, 0, 200, 60), f, Brush::Solid(0xFFFFFFFF));
        const Rect ink = InkBox(img);
        ASSERT_FALSE(ink.IsEmpty());
        EXPECT_EQ(ink.right < 100, c.inkLeft);
        EXPECT_EQ(ink.bottom < 30, c.inkTop);
    }
}

TEST_F(GraphicsTest, StringIsClippedToItsLayoutUnlessNoClip) {
    const Font font(L"Liberation Sans", 20);
    Image clipped(100, 40), free(100, 40);
    {
        Graphics g(clipped);
        g.DrawString(L"WWWW", font, RectF(0, 0, 20, 40), StringFormat(kStringFormatNoWrap), Brush::Solid(0xFFFFFFFF));
    }
    {
        Graphics g(free);
        g.DrawString(L"WWWW", font, RectF(0, 0, 20, 40),
                     StringFormat(kStringFormatNoWrap | kStringFormatNoClip), Brush::Solid(0xFFFFFFFF));
    }
    EXPECT_LE(InkBox(clipped).right, 20);
    EXPECT_GT(InkBox(free).right, 40);
}

TEST_F(GraphicsTest, MeasuringGrowsWithTextAndWrapsInANarrowBox) {
    const Font font(L"Liberation Sans", 12);
    Image img(1, 1);
    Graphics g(img);
    const StringFormat oneLine(kStringFormatNoWrap | kStringFormatMeasureTrailingSpaces);
    const RectF shortText = g.MeasureString(L"Key", font, RectF(), oneLine);
    const RectF longText = g.MeasureString(L"Key assignment", font, RectF(), oneLine);
    EXPECT_GT(shortText.width, 10);
    EXPECT_GT(longText.width, shortText.width * 2);
    EXPECT_NEAR(shortText.height, font.GetHeight(), 1.0f);
    const RectF wrapped = g.MeasureString(L"Key assignment of every layer", font, RectF(0, 0, 80, 0), StringFormat());
    EXPECT_LE(wrapped.width, 80.5f);
    EXPECT_GE(wrapped.height, font.GetHeight() * 2 - 1);
}

TEST_F(GraphicsTest, PathBoundsOfTextScaleWithTheFontSize) {
    const FontFamily family = FontFamily::Installed(L"Liberation Sans");
    ASSERT_TRUE(family.IsValid());
    GraphicsPath small, big;
    small.AddString(L"Profile", family, kFontRegular, 10, RectF(), StringFormat(kStringFormatNoWrap));
    big.AddString(L"Profile", family, kFontRegular, 20, RectF(), StringFormat(kStringFormatNoWrap));
    const RectF a = small.GetBounds(), b = big.GetBounds();
    EXPECT_GT(a.width, 20);
    EXPECT_NEAR(b.width / a.width, 2.0, 0.15);
    EXPECT_GE(a.y, 0);  // laid out from the layout's top, not around the baseline
    EXPECT_TRUE(GraphicsPath().IsEmpty());
}

TEST_F(GraphicsTest, PrivateFontsLoadFromFilesAndMemory) {
    std::vector<std::wstring> families;
    const int handle = AddPrivateFontFile(kSansFile, &families);
    ASSERT_GE(handle, 0);
    ASSERT_FALSE(families.empty());
    EXPECT_EQ(families[0], L"Liberation Sans");
    EXPECT_TRUE(RemovePrivateFont(handle));
    EXPECT_FALSE(RemovePrivateFont(handle));
    EXPECT_EQ(AddPrivateFontFile(L"/nonexistent/font.ttf", &families), -1);
    const char notAFont[] = "this is no font";
    EXPECT_EQ(AddPrivateFontData(notAFont, sizeof notAFont, &families), -1);
    EXPECT_FALSE(FontFamily::Installed(L"No Such Family Anywhere").IsValid());
}

TEST_F(GraphicsTest, GdiTextIsOpaqueInItsColourAndCalcRectMeasures) {
    const Font font(L"Liberation Sans", 16);
    Image img(120, 30);
    Dc dc(&img);
    Rect r(0, 0, 120, 30);
    EXPECT_GT(DrawText(dc, L"Lighting", r, MakeColorRef(0, 255, 0), &font, kDtSingleLine | kDtVCenter), 0);
    bool sawOpaqueGreen = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) {
            const Argb c = img.GetPixel(x, y);
            EXPECT_EQ(RedOfArgb(c), 0);
            if (c == 0xFF00FF00) sawOpaqueGreen = true;
        }
    EXPECT_TRUE(sawOpaqueGreen);
    Rect calc(5, 5, 6, 6);
    DrawText(dc, L"Lighting", calc, 0, &font, kDtSingleLine | kDtCalcRect);
    EXPECT_EQ(calc.left, 5);
    EXPECT_GT(calc.Width(), 40);
    EXPECT_GT(calc.Height(), 12);
}
