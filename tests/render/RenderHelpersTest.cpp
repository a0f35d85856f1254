// The colour, gradient, transition and placement helpers of MRender.
#include <fstream>

#include "MRender.h"
#include "RenderFixture.h"
#include "platform/draw/Dc.h"
#include "platform/draw/Graphics.h"

using namespace TesselUI;
using namespace render_test;

namespace {

class RenderHelpersTest : public RenderTest {};

D::Image Filled(int w, int h, D::Argb c) {
    D::Image img(w, h);
    img.Fill(c);
    return img;
}

}  // namespace

TEST_F(RenderHelpersTest, CheckAlphaColorMovesOnlyPureBlack) {
    const std::pair<DWORD, DWORD> cases[] = {
        {0x00000000, 0x00000001}, {0xFF000000, 0xFF000001}, {0x80000000, 0x80000001},
        {0x00000001, 0x00000001}, {0xFF010203, 0xFF010203}, {0x00FFFFFF, 0x00FFFFFF},
    };
    for (auto [in, out] : cases) {
        DWORD c = in;
        MRender::CheckAlphaColor(c);
        EXPECT_EQ(c, out) << std::hex << in;
    }
}

TEST_F(RenderHelpersTest, DrawColorNeedsAnAlphaPartAndBlends) {
    D::Image img = Filled(4, 1, 0xFF0000FF);
    D::Dc dc(&img);
    MRender::DrawColor(&dc, RECT{0, 0, 1, 1}, 0x00FF0000);  // no alpha: nothing
    MRender::DrawColor(&dc, RECT{1, 0, 2, 1}, 0x00FFFFFF);
    MRender::DrawColor(&dc, RECT{2, 0, 3, 1}, 0xFFFF0000);
    MRender::DrawColor(&dc, RECT{3, 0, 4, 1}, 0x80FF0000);
    EXPECT_EQ(img.GetPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(img.GetPixel(1, 0), 0xFF0000FFu);
    EXPECT_EQ(img.GetPixel(2, 0), 0xFFFF0000u);
    const D::Argb half = img.GetPixel(3, 0);
    EXPECT_NEAR(D::RedOfArgb(half), 128, 2);
    EXPECT_NEAR(D::BlueOfArgb(half), 127, 2);
    MRender::DrawColor(nullptr, RECT{0, 0, 1, 1}, 0xFFFFFFFF);  // no surface: no crash
}

TEST_F(RenderHelpersTest, GradientAlphaIsTheMeanOfBothEnds) {
    struct Case {
        DWORD from, to;
        int expectRedAtStart, expectBlueAtStart;  // over an opaque blue target
    };
    const Case cases[] = {
        {0xFFFF0000, 0xFFFF0000, 255, 0},   // opaque: replaces
        {0xFFFF0000, 0x00FF0000, 128, 128}, // mean 127: blended
        {0x00FF0000, 0x00FF0000, 0, 255},   // mean 0: nothing
    };
    for (const Case& c : cases) {
        D::Image img = Filled(8, 2, 0xFF0000FF);
        D::Dc dc(&img);
        MRender::DrawGradient(&dc, RECT{0, 0, 8, 2}, c.from, c.to, false, 16);
        const D::Argb got = img.GetPixel(0, 0);
        EXPECT_NEAR(D::RedOfArgb(got), c.expectRedAtStart, 2) << std::hex << c.from << " " << c.to;
        EXPECT_NEAR(D::BlueOfArgb(got), c.expectBlueAtStart, 2) << std::hex << c.from << " " << c.to;
    }
    // Colour runs from the first to the second end along the axis.
    D::Image img = Filled(1, 9, 0xFF000000);
    D::Dc dc(&img);
    MRender::DrawGradient(&dc, RECT{0, 0, 1, 9}, 0xFF000000, 0xFF00FF00, true, 16);
    EXPECT_EQ(D::GreenOfArgb(img.GetPixel(0, 0)), 0);
    EXPECT_EQ(D::GreenOfArgb(img.GetPixel(0, 8)), 255);
    EXPECT_NEAR(D::GreenOfArgb(img.GetPixel(0, 4)), 127, 2);
}

TEST_F(RenderHelpersTest, BandedGradientUsesPowersOfTwoBands) {
    const std::pair<int, int> bands[] = {{0, 2}, {3, 2}, {4, 4}, {15, 8}, {16, 16}, {63, 32}, {64, 64}, {500, 64}};
    for (auto [steps, count] : bands) EXPECT_EQ(MRender::GradientBandCount(steps), count) << steps;
    // Two bands over 8 pixels: two flat halves.
    D::Image img(8, 1);
    D::Dc dc(&img);
    MRender::DrawGradientBands(&dc, RECT{0, 0, 8, 1}, 0xFF000000, 0xFFFF0000, false, 2);
    EXPECT_EQ(img.GetPixel(0, 0), img.GetPixel(3, 0));
    EXPECT_EQ(img.GetPixel(4, 0), img.GetPixel(7, 0));
    EXPECT_EQ(img.GetPixel(0, 0), 0xFF000000u);
    EXPECT_EQ(img.GetPixel(7, 0), 0xFFFF0000u);
}

TEST_F(RenderHelpersTest, TransitionAlphaPerLine) {
    struct Case {
        int from, to, lines;
        std::vector<int> alphas;
    };
    const Case cases[] = {
        {50, 50, 3, {127, 127, 127}},
        {0, 100, 4, {255, 192, 128, 64}},   // S 255, E 0: 255 + i * -255 / 4
        {100, 0, 5, {0, 51, 102, 153, 204}},
        {30, 70, 2, {178, 127}},            // S 178, E 76 (both truncated): 178 + 1 * -102 / 2
    };
    for (const Case& c : cases)
        for (int i = 0; i < c.lines; ++i)
            EXPECT_EQ(MRender::TransitionAlpha(i, c.lines, c.from, c.to), c.alphas[size_t(i)])
                << c.from << "->" << c.to << " line " << i;
}

TEST_F(RenderHelpersTest, VerticalAndHorizontalTransitionsBlendLineByLine) {
    // White over black, rows from opaque to transparent: each row is as grey as its alpha.
    D::Image dst = Filled(3, 4, 0xFF000000), src = Filled(3, 4, 0xFFFFFFFF);
    D::Dc d(&dst), s(&src);
    HDC hd = &d, hs = &s;
    EXPECT_EQ(MRender::DrawVerticalTransition(hd, hs, CRect(0, 0, 3, 4), CRect(0, 0, 3, 4), 0, 100), 64);
    const int rows[] = {255, 192, 128, 64};
    for (int y = 0; y < 4; ++y) EXPECT_NEAR(D::RedOfArgb(dst.GetPixel(1, y)), rows[y], 1) << y;

    // Columns from the left; a transparent source still covers by the line alpha,
    // because the lines are blended without per-pixel alpha.
    D::Image dst2 = Filled(4, 2, 0xFFFFFFFF), src2 = Filled(4, 2, 0x00000000);
    D::Dc d2(&dst2), s2(&src2);
    HDC hd2 = &d2, hs2 = &s2;
    EXPECT_EQ(MRender::DrawHorizontalTransition(hd2, hs2, CRect(0, 0, 4, 2), CRect(0, 0, 4, 2), 0, 100), 64);
    EXPECT_EQ(D::RedOfArgb(dst2.GetPixel(0, 1)), 0);
    EXPECT_NEAR(D::RedOfArgb(dst2.GetPixel(3, 1)), 191, 1);
    EXPECT_EQ(MRender::DrawHorizontalTransition(hd2, hs2, CRect(0, 0, 0, 2), CRect(), 0, 0), 255) << "no lines";
}

TEST_F(RenderHelpersTest, RightBottomTransitionFadesWithDistanceFromTheInnerCorner) {
    D::Image dst = Filled(10, 10, 0xFF000000), src = Filled(10, 10, 0xFFFFFFFF);
    D::Dc d(&dst), s(&src);
    HDC hd = &d, hs = &s;
    MRender::DrawRightBottomTransition(hd, hs, CRect(0, 0, 10, 10), 4, 0);
    EXPECT_EQ(D::RedOfArgb(dst.GetPixel(6, 6)), 255);                   // i = j = 0: full source
    EXPECT_NEAR(D::RedOfArgb(dst.GetPixel(8, 6)), 255 - 255 / 4.0 * 2, 1);
    EXPECT_EQ(D::RedOfArgb(dst.GetPixel(9, 9)), 0);                      // distance past the size
    EXPECT_EQ(D::RedOfArgb(dst.GetPixel(5, 5)), 0);                      // outside the square
}

TEST_F(RenderHelpersTest, OriginPointTable) {
    struct Case {
        UINT h, v;
        int x, y;
    };
    const Case cases[] = {{0, 0, 0, 0}, {1, 4, 30, 15}, {2, 8, 60, 30}, {1, 0, 30, 0}, {3, 5, 0, 0}};
    for (const Case& c : cases) {
        const CPoint p = MRender::GetOriginPoint(100, 50, 40, 20, c.h, c.v);
        EXPECT_EQ(p.x, c.x) << c.h << "," << c.v;
        EXPECT_EQ(p.y, c.y) << c.h << "," << c.v;
    }
    const CPoint inRect = MRender::GetOriginPoint(CRect(10, 20, 110, 70), 40, 20, 1, 4);
    EXPECT_EQ(inRect.x, 40);
    EXPECT_EQ(inRect.y, 37);  // 20 + 15, plus 2
}

TEST_F(RenderHelpersTest, RoundedRectanglesLeaveTheCornersOut) {
    D::Image img(40, 20);
    {
        D::Graphics g(img);
        MRender::DrawRoundRectange(g, 0, 0, 40, 20, 6, Gdiplus::Color(0xFFFF0000));
    }
    EXPECT_EQ(img.GetPixel(0, 0), 0u);
    EXPECT_EQ(img.GetPixel(20, 10), 0xFFFF0000u);
    EXPECT_EQ(img.GetPixel(20, 0), 0xFFFF0000u);
    D::Image outline(40, 20);
    {
        D::Graphics g(outline);
        MRender::DrawRoundRectange(g, 1, 1, 38, 18, 2, Gdiplus::Color(0xFF00FF00), 1.0f, true,
                                   Gdiplus::Color(0xFF0000FF));
    }
    EXPECT_EQ(outline.GetPixel(20, 10), 0xFF0000FFu);
    EXPECT_EQ(D::GreenOfArgb(outline.GetPixel(20, 1)), 255);
}

TEST_F(RenderHelpersTest, SurfacesAndBitmapFiles) {
    HDC screen = nullptr;
    BYTE* bits = nullptr;
    HBITMAP bmp = MRender::CreateARGB32Bitmap(screen, 3, 2, &bits);
    ASSERT_NE(bmp, nullptr);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bmp->GetPixel(2, 1), 0u) << "starts transparent";
    reinterpret_cast<std::uint32_t*>(bits)[0] = 0xFFFF0000;  // row 0 is the top row
    EXPECT_EQ(bmp->GetPixel(0, 0), 0xFFFF0000u);
    HDC mem = MRender::CreateCompatibleDC(screen);
    mem->SelectImage(bmp);
    HBITMAP other = MRender::CreateCompatibleBitmap(mem, 3, 2);
    HDC mem2 = MRender::CreateCompatibleDC(screen);
    mem2->SelectImage(other);
    EXPECT_TRUE(MRender::BitBlt(mem2, 0, 0, 3, 2, mem, 0, 0));
    EXPECT_EQ(other->GetPixel(0, 0), 0xFFFF0000u);
    EXPECT_FALSE(MRender::BitBlt(nullptr, 0, 0, 3, 2, mem, 0, 0));

    const std::string path = testing::TempDir() + "render-save.bmp";
    EXPECT_TRUE(MRender::SaveBitmapToFile(bmp, std::wstring(path.begin(), path.end())));
    std::ifstream in(path, std::ios::binary);
    char magic[2] = {};
    in.read(magic, 2);
    EXPECT_EQ(magic[0], 'B');
    EXPECT_EQ(magic[1], 'M');
    EXPECT_FALSE(MRender::SaveBitmapToFile(bmp, L"/nonexistent-dir/x.bmp"));
    EXPECT_FALSE(MRender::SaveBitmapToFile(nullptr, std::wstring(path.begin(), path.end())));
    MRender::DeleteDC(mem);
    MRender::DeleteDC(mem2);
    MRender::DeleteObject(bmp);
    MRender::DeleteObject(other);
}

TEST_F(RenderHelpersTest, SkinNamesReadBackslashesAndDoubleSlashesAsOneSlash) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"btn_apply.png", L"btn_apply.png"},
        {L"icon\\tab_home.png", L"icon/tab_home.png"},
        {L"icon\\\\tab_home.png", L"icon/tab_home.png"},
        {L"icon//icon_pc.png", L"icon/icon_pc.png"},
        {L"loading\\\\loading.gif", L"loading/loading.gif"},
    };
    for (auto [in, out] : cases) EXPECT_EQ(std::wstring(MRender::NormalizeSkinName(in)), out);
}
