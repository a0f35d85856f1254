// Nine-grid and show-mode geometry, checked pixel by pixel on synthetic strips
// whose every region has its own colour.
#include "MRender.h"
#include "RenderFixture.h"
#include "platform/draw/Graphics.h"

using namespace TesselUI;
using namespace render_test;

namespace {

// A 9 x 9 cell split 3 / 3 / 3: corners, edges and centre each a colour. Two cells
// side by side; the second cell's colours are darker so a read from the wrong cell
// shows.
constexpr D::Argb kRegion[3][3] = {
    {0xFFFF0000, 0xFF00FF00, 0xFF0000FF},
    {0xFFFFFF00, 0xFFFFFFFF, 0xFF00FFFF},
    {0xFFFF00FF, 0xFF808000, 0xFF008080},
};

D::Argb Darker(D::Argb c) { return 0xFF000000 | ((c & 0xFEFEFE) >> 1); }

D::Image NineStrip(int third) {
    D::Image img(third * 3 * 2, third * 3);
    for (int cell = 0; cell < 2; ++cell)
        for (int y = 0; y < third * 3; ++y)
            for (int x = 0; x < third * 3; ++x) {
                const D::Argb c = kRegion[y / third][x / third];
                img.SetPixel(cell * third * 3 + x, y, cell ? Darker(c) : c);
            }
    return img;
}

class NineGridTest : public RenderTest {};

// Expected region of a destination pixel for sides L, T, R, B.
int Band(int v, int lo, int hi, int first, int last) { return v < lo + first ? 0 : v >= hi - last ? 2 : 1; }

}  // namespace

TEST_F(NineGridTest, CornersKeepTheirSizeEdgesAndCentreStretch) {
    D::Image strip = NineStrip(3);
    D::Image out(40, 30);
    {
        D::Graphics g(out);
        g.SetInterpolationMode(D::InterpolationMode::NearestNeighbor);
        MRender::DrawImageFrame(g, &strip, CRect(5, 4, 37, 26), 9, 0, 9, 9, 3);  // the second cell
    }
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const D::Argb got = out.GetPixel(x, y);
            if (x < 5 || x >= 37 || y < 4 || y >= 26) {
                ASSERT_EQ(got, 0u) << "outside at " << x << "," << y;
                continue;
            }
            const D::Argb want = Darker(kRegion[Band(y, 4, 26, 3, 3)][Band(x, 5, 37, 3, 3)]);
            ASSERT_EQ(got, want) << x << "," << y;
        }
}

TEST_F(NineGridTest, SmoothStretchStaysInsideTheSourceCell) {
    // The default (smooth) interpolation must not pull in the neighbouring cell
    // at the strip's inner edge.
    D::Image strip = NineStrip(4);
    D::Image out(60, 60);
    {
        D::Graphics g(out);
        MRender::DrawImageFrame(g, &strip, CRect(0, 0, 60, 60), 0, 0, 12, 12, 4);
    }
    const D::Argb rightEdge = kRegion[1][2];
    for (int y = 10; y < 50; ++y) EXPECT_EQ(out.GetPixel(58, y), rightEdge) << y;
}

TEST_F(NineGridTest, FourSidesEachKeepTheirOwnSize) {
    // Sides left 2, top 3, right 4, bottom 1 on a 9 x 9 cell with bands at those sizes.
    D::Image cell(9, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) cell.SetPixel(x, y, kRegion[Band(y, 0, 9, 3, 1)][Band(x, 0, 9, 2, 4)]);
    D::Image out(30, 20);
    {
        D::Graphics g(out);
        g.SetInterpolationMode(D::InterpolationMode::NearestNeighbor);
        MRender::DrawImageFrameMID(g, &cell, CRect(0, 0, 30, 20), 0, 0, 9, 9, 2, 3, 4, 1);
    }
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(out.GetPixel(x, y), kRegion[Band(y, 0, 20, 3, 1)][Band(x, 0, 30, 2, 4)]) << x << "," << y;
}

TEST_F(NineGridTest, ShowModesPlaceTheFirstCell) {
    // A 4 x 2 first cell (red left half, blue right half) in a 3-cell strip; the
    // other cells are green and must never show.
    D::Image strip(12, 2);
    strip.Fill(0xFF00FF00);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) strip.SetPixel(x, y, x < 2 ? 0xFFFF0000 : 0xFF0000FF);
    struct Case {
        const char* what;
        ShowModeParams params;
        std::vector<std::pair<D::Point, D::Argb>> expect;
    };
    ShowModeParams centred;
    centred.hAlign = 1;
    centred.vAlign = 4;
    ShowModeParams farEnd;
    farEnd.hAlign = 2;
    farEnd.vAlign = 8;
    ShowModeParams tile;
    tile.mode = SHOW_MODE_TILE;
    ShowModeParams stretch;
    stretch.mode = SHOW_MODE_STRETCH;
    ShowModeParams part;
    part.mode = SHOW_MODE_PART;
    part.source = CRect(2, 0, 4, 2);  // the blue half only
    const Case cases[] = {
        {"own size, top-left", ShowModeParams{}, {{{0, 0}, 0xFFFF0000}, {{3, 1}, 0xFF0000FF}, {{4, 0}, 0}, {{0, 2}, 0}}},
        {"centred", centred, {{{3, 2}, 0xFFFF0000}, {{6, 3}, 0xFF0000FF}, {{2, 2}, 0}, {{3, 4}, 0}}},
        {"right bottom", farEnd, {{{6, 4}, 0xFFFF0000}, {{9, 5}, 0xFF0000FF}, {{5, 5}, 0}}},
        {"tiled, last column clipped",
         tile, {{{4, 2}, 0xFFFF0000}, {{7, 3}, 0xFF0000FF}, {{8, 0}, 0xFFFF0000}, {{9, 5}, 0xFFFF0000}}},
        {"stretched", stretch, {{{0, 0}, 0xFFFF0000}, {{4, 5}, 0xFFFF0000}, {{5, 0}, 0xFF0000FF}, {{9, 5}, 0xFF0000FF}}},
        {"source part", part, {{{0, 0}, 0xFF0000FF}, {{9, 5}, 0xFF0000FF}}},
    };
    for (const Case& c : cases) {
        D::Image out(10, 6);
        {
            D::Graphics g(out);
            g.SetInterpolationMode(D::InterpolationMode::NearestNeighbor);
            MRender::DrawShowMode(g, &strip, 4, 2, CRect(0, 0, 10, 6), c.params);
        }
        for (const auto& [pt, colour] : c.expect)
            EXPECT_EQ(out.GetPixel(pt.x, pt.y), colour) << c.what << " at " << pt.x << "," << pt.y;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x) ASSERT_NE(out.GetPixel(x, y), 0xFF00FF00u) << c.what << ": another cell";
    }
}

TEST_F(NineGridTest, SkinCellsComeFromTheirOwnPlaceInTheStrip) {
    D::Image strip(40, 10);
    const D::Argb cells[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};
    for (int i = 0; i < 4; ++i)
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) strip.SetPixel(i * 10 + x, y, cells[i]);
    for (int i = 0; i < 4; ++i) {
        D::Image out(30, 20);
        {
            D::Graphics g(out);
            MRender::DrawSkinCell(g, &strip, 10, 10, i, CRect(0, 0, 30, 20), 3);
        }
        EXPECT_EQ(out.GetPixel(0, 0), cells[i]) << i;
        EXPECT_EQ(out.GetPixel(15, 10), cells[i]) << i;
        EXPECT_EQ(out.GetPixel(29, 19), cells[i]) << i;
    }
    // Own size at the top-left when no corner is given; a cell past the strip draws nothing.
    D::Image out(30, 20);
    {
        D::Graphics g(out);
        MRender::DrawSkinCell(g, &strip, 10, 10, 1, CRect(5, 5, 30, 20), -1);
        MRender::DrawSkinCell(g, &strip, 10, 10, 4, CRect(0, 0, 30, 20), 3);
    }
    EXPECT_EQ(out.GetPixel(5, 5), cells[1]);
    EXPECT_EQ(out.GetPixel(14, 14), cells[1]);
    EXPECT_EQ(out.GetPixel(15, 15), 0u);
    EXPECT_EQ(out.GetPixel(0, 0), 0u);
}
