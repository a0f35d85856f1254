// Text measuring and the window's font family: private fonts first, installed
// families next, null for neither; the library's font resource.
#include <cmath>
#include <filesystem>

#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "RenderFixture.h"
#include "platform/draw/GraphicsPath.h"

using namespace TesselUI;
using namespace render_test;

namespace {

class TextTest : public RenderTest {
protected:
    void TearDown() override { Manager::SetFontName(L"Arial"); }
};

const char* kLiberationSans = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

CString Utf8Path(const char* path) {
    const std::string s(path);
    return CString(std::wstring(s.begin(), s.end()));
}

}  // namespace

TEST_F(TextTest, BoundsAreThePathWidthRoundedUpAndTheLineHeightPlusPadding) {
    const Gdiplus::Font font(D::FontFamily::Installed(L"Liberation Sans"), 14);
    ASSERT_TRUE(font.Family().IsValid());
    for (const wchar_t* text : {L"Apply", L"Key assignment", L"W"}) {
        D::GraphicsPath path;
        path.AddString(text, font.Family(), 0, 14, D::RectF(), D::StringFormat(0x1800));
        const CSize size = MRender::GetTextBounds(font, text);
        EXPECT_EQ(size.cx, static_cast<int>(std::ceil(path.GetBounds().width))) << std::wstring(text).size();
        const double line = font.GetHeight();
        const int expected = static_cast<int>(line + (line != std::floor(line) ? 4 : 1));
        EXPECT_EQ(size.cy, expected);
    }
    EXPECT_GT(MRender::GetTextBounds(font, L"Key assignment").cx, MRender::GetTextBounds(font, L"Key").cx * 3);
    EXPECT_EQ(MRender::GetTextBounds(font, L"").cx, 0);
}

TEST_F(TextTest, WrappedBoundsGrowWithTheLinesTheTextNeeds) {
    const Gdiplus::Font font(D::FontFamily::Installed(L"Liberation Sans"), 14);
    const Gdiplus::StringFormat wrap = MRender::MakeStringFormat(0, 0, true);
    const CSize one = MRender::GetTextBounds(font, wrap, 400, L"Record a macro");
    const CSize three = MRender::GetTextBounds(font, wrap, 60, L"Record a macro now");
    EXPECT_LE(three.cx, 60);
    EXPECT_GT(three.cy, one.cy + static_cast<int>(font.GetHeight()));
    // One line: t = line + 2 (or + 1) wins over the path, and the answer is t + 1.
    const double line = font.GetHeight();
    const int t = static_cast<int>(line + (line != std::floor(line) ? 2 : 1));
    EXPECT_EQ(one.cy, t + 1);
}

TEST_F(TextTest, StringFormatsOfControlText) {
    const auto single = MRender::MakeStringFormat(1, 4, false);
    EXPECT_EQ(single.flags, 0x1800u);
    EXPECT_EQ(single.alignment, D::StringAlignment::Center);
    EXPECT_EQ(single.lineAlignment, D::StringAlignment::Center);
    const auto multi = MRender::MakeStringFormat(2, 8, true);
    EXPECT_EQ(multi.flags, 0x4800u);
    EXPECT_EQ(multi.alignment, D::StringAlignment::Far);
    EXPECT_EQ(multi.lineAlignment, D::StringAlignment::Far);
    EXPECT_EQ(MRender::MakeStringFormat(0, 0, false).alignment, D::StringAlignment::Near);
}

TEST_F(TextTest, ControlTextIsPlacedByItsAlignmentAndKeptInsideSingleLine) {
    LoosePaintManager pm;
    Manager::SetFontName(L"DejaVu Sans");
    struct Case {
        UINT h, v;
        bool left, top;
    };
    const Case cases[] = {{0, 0, true, true}, {2, 8, false, false}, {1, 4, false, false}};
    for (const Case& c : cases) {
        D::Image img(200, 60);
        {
            D::Graphics g(img);
            MRender::DrawControlText(g, &pm, L"Save", CRect(0, 0, 200, 60), 14, 0, 5, c.h, c.v, false,
                                     Gdiplus::Color(0xFF00FF00));
        }
        D::Rect ink;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x)
                if (D::AlphaOfArgb(img.GetPixel(x, y)) > 0) ink = ink.United(D::Rect(x, y, x + 1, y + 1));
        ASSERT_FALSE(ink.IsEmpty()) << c.h << "," << c.v;
        EXPECT_EQ(ink.left < 20, c.left) << c.h << "," << c.v;
        EXPECT_EQ(ink.top < 10, c.top) << c.h << "," << c.v;
        if (c.h == 1) {
            EXPECT_NEAR((ink.left + ink.right) / 2.0, 100, 4) << "centred";
        }
        bool onlyGreen = true;
        for (int y = ink.top; y < ink.bottom; ++y)
            for (int x = ink.left; x < ink.right; ++x) {
                const D::Argb px = img.GetPixel(x, y);
                if (D::RedOfArgb(px) != 0 || D::BlueOfArgb(px) != 0) onlyGreen = false;
            }
        EXPECT_TRUE(onlyGreen) << "drawn in the given colour";
    }
    // Single line: a long text does not wrap onto a second line.
    D::Image img(60, 60);
    {
        D::Graphics g(img);
        MRender::DrawControlText(g, &pm, L"Restore defaults", CRect(0, 0, 60, 60), 14, 0, 5, 0, 0, false,
                                 Gdiplus::Color(0xFFFFFFFF));
    }
    int lowest = -1;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            if (D::AlphaOfArgb(img.GetPixel(x, y)) > 0) lowest = y;
    EXPECT_LT(lowest, 20);
}

TEST_F(TextTest, PrivateFontWinsOverTheInstalledFamilyOfThatName) {
    LoosePaintManager pm;
    // "Arial" is not installed here; the program's font folder brings it.
    ASSERT_TRUE(pm.AddTempFont(L"Arial", Utf8Path(kLiberationSans)));
    Gdiplus::FontFamily* family = pm.FindTempFont();
    ASSERT_NE(family, nullptr);
    EXPECT_EQ(family->Name(), L"Liberation Sans");
    EXPECT_EQ(pm.FindTempFont(), family) << "kept in the map";
    pm.ClearTempFont();
    EXPECT_TRUE(pm.TempFonts().empty());
    EXPECT_TRUE(pm.GdiTempFonts().empty());
}

TEST_F(TextTest, InstalledFamiliesAreFoundAndUnknownOnesAnswerNull) {
    LoosePaintManager pm;
    Manager::SetFontName(L"DejaVu Sans");
    Gdiplus::FontFamily* family = pm.FindTempFont();
    ASSERT_NE(family, nullptr);
    EXPECT_EQ(family->Name(), L"DejaVu Sans");
    Manager::SetFontName(L"No Such Family 12345");
    EXPECT_EQ(pm.FindTempFont(), nullptr);
    // Text still draws: MakeFont falls back to the default family.
    EXPECT_TRUE(MRender::MakeFont(&pm, 12, 0).Family().IsValid());
    EXPECT_FALSE(pm.AddTempFont(L"Broken", CString(L"/nonexistent/font.ttf")));
}

TEST_F(TextTest, TheLibraryFontResourceLoads) {
    LoosePaintManager pm;
    ASSERT_TRUE(pm.AddTempFont(L"Tip", 106u));
    auto it = pm.TempFonts().find(L"Tip");
    ASSERT_NE(it, pm.TempFonts().end());
    EXPECT_EQ(it->second->Name().rfind(L"Open Sans", 0), 0u) << std::string(it->second->Name().begin(), it->second->Name().end());
    EXPECT_TRUE(pm.AddGDITempFont(106));
    EXPECT_FALSE(pm.AddGDITempFont(107));
    EXPECT_FALSE(pm.AddTempFont(L"None", 105u));
    pm.ClearTempFont();
}

TEST_F(TextTest, TheShippedArialStandInIsAMetricMatch) {
    // The build lays font/Arial.ttf out beside the program; windows load it as "Arial".
    const std::string file = std::string(KEYLOFT_RUNTIME_DIR) + "/font/Arial.ttf";
    ASSERT_TRUE(std::filesystem::exists(file)) << file;
    LoosePaintManager pm;
    ASSERT_TRUE(pm.AddTempFont(L"Arial", Utf8Path(file.c_str())));
    Gdiplus::FontFamily* family = pm.FindTempFont();
    ASSERT_NE(family, nullptr);
    EXPECT_EQ(family->Name(), L"Liberation Sans");
    pm.ClearTempFont();
}
