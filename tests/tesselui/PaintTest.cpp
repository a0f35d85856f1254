// The paint pass: background colours, drawing order of areas and controls, hidden
// controls, the redraw-overlap rule, the layered alpha fix-up and the banner.
// A manager without a window frees its fonts; the drop shadow's skin image.
// The first test writes its window to tesselui-paint-pass.png for review.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "Fixtures.h"
#include "MRender.h"
#include "MShadow.h"
#include "Manager.h"
#include "platform/draw/Font.h"
#include "platform/draw/Image.h"

using namespace tesseltest;
using namespace platform;

namespace {

// Writes raw pixels, as text drawn by a GDI-style call can leave them: colour
// with alpha 0 at (x, y) and exactly transparent black at (x + 1, y).
class RawPixels : public MControl {
public:
    RawPixels(MObject* parent, CRect rect) : MControl(parent, 77, rect) {}
    void DrawControl(HDC& hdc, CRect) override {
        auto* image = hdc->GetImage();
        auto* row = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(image->Bits()) +
                                                     static_cast<size_t>(rect_.top) * image->Stride());
        row[rect_.left] = 0x00123456;
        row[rect_.left + 1] = 0x00000000;
    }
};

std::uint32_t ShownPixel(HWND hwnd, int x, int y) {
    int w = 0, h = 0;
    const auto pixels = GetWindowPixels(hwnd, &w, &h);
    if (x < 0 || y < 0 || x >= w || y >= h) return 0xDEADBEEF;
    return pixels[static_cast<size_t>(y) * w + x];
}

bool PaintNow(TestDialog& d) {
    d.GetPaintManager().Invalidate();
    return UpdateWindow(d.GetSafeHwnd()) && d.GetPaintManager().GetLastFrame() != nullptr;
}

}  // namespace

TEST(PaintPass, BackgroundAreasAndControlsInOrder) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 120, 80)), nullptr);
    d.Add(1, CRect(10, 10, 50, 50), RGB(0, 0, 255), 0);     // area, drawn first
    d.Add(2, CRect(30, 30, 90, 70), RGB(0, 200, 0));         // control over it
    d.Add(3, CRect(95, 10, 115, 30), RGB(255, 255, 255))->SetVisible(FALSE);
    ASSERT_TRUE(PaintNow(d));
    const auto* frame = d.GetPaintManager().GetLastFrame();
    struct Case {
        int x, y;
        std::uint32_t argb;
    } cases[] = {
        {0, 0, 0xFEFF0000},     // one-pixel border in the border colour
        {119, 79, 0xFEFF0000},
        {5, 5, 0xFE090D13},     // background colour inside it
        {100, 20, 0xFE090D13},  // the hidden control leaves the background
        {15, 15, 0xFF0000FF},   // the area
        {40, 40, 0xFF00C800},   // the control wins where they overlap
        {89, 69, 0xFF00C800},
        {90, 70, 0xFE090D13},   // right and bottom edges are exclusive
    };
    for (const Case& c : cases) EXPECT_EQ(frame->GetPixel(c.x, c.y), c.argb) << c.x << "," << c.y;
    // An ordinary window shows the frame as it is (alpha aside).
    EXPECT_EQ(ShownPixel(d.GetSafeHwnd(), 40, 40) & 0xFFFFFF, 0x00C800u);
    EXPECT_EQ(ShownPixel(d.GetSafeHwnd(), 15, 15) & 0xFFFFFF, 0x0000FFu);
    EXPECT_TRUE(SaveWindowImage(d.GetSafeHwnd(), "tesselui-paint-pass.png"));
}

TEST(PaintPass, RedrawRequestRebuildsLaterOverlappingControlsOnly) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 200, 100)), nullptr);
    auto* a = d.Add(1, CRect(0, 0, 50, 50), 0);
    auto* b = d.Add(2, CRect(40, 40, 90, 90), 0);
    auto* c = d.Add(3, CRect(150, 0, 190, 40), 0);
    auto* hiddenOver = d.Add(4, CRect(10, 10, 20, 20), 0);
    hiddenOver->SetVisible(FALSE, FALSE);
    ASSERT_TRUE(PaintNow(d));
    for (MControl* m : {static_cast<MControl*>(a), static_cast<MControl*>(b), static_cast<MControl*>(c)})
        m->SetUpdate(TRUE);
    hiddenOver->SetUpdate(TRUE);
    ValidateRect(d.GetSafeHwnd(), nullptr);

    a->UpdateControl(TRUE, FALSE);
    EXPECT_FALSE(a->GetUpdate());
    EXPECT_FALSE(b->GetUpdate());  // drawn after a, over it
    EXPECT_TRUE(c->GetUpdate());   // elsewhere
    EXPECT_TRUE(hiddenOver->GetUpdate());
    RECT r;
    ASSERT_TRUE(GetUpdateRect(d.GetSafeHwnd(), &r, FALSE));
    EXPECT_EQ(CRect(r), CRect(0, 0, 90, 90));

    a->SetUpdate(TRUE);
    b->SetUpdate(TRUE);
    ValidateRect(d.GetSafeHwnd(), nullptr);
    b->UpdateControl(FALSE, FALSE);  // copy only: no rebuild for b, a lies under it
    EXPECT_TRUE(a->GetUpdate());
    EXPECT_TRUE(b->GetUpdate());
    ASSERT_TRUE(GetUpdateRect(d.GetSafeHwnd(), &r, FALSE));
    EXPECT_EQ(CRect(r), CRect(40, 40, 90, 90));
}

TEST(PaintPass, LayeredWindowMakesColourWithoutAlphaOpaqueButKeepsTransparentBlack) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 60, 40)), nullptr);
    d.SetLayeredWindow(TRUE);
    d.GetPaintManager().AddControl(new RawPixels(&d, CRect(20, 20, 30, 30)), 1);
    ASSERT_TRUE(PaintNow(d));
    EXPECT_TRUE(GetWindowLongPtrW(d.GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(ShownPixel(d.GetSafeHwnd(), 20, 20), 0xFF123456u);
    EXPECT_EQ(ShownPixel(d.GetSafeHwnd(), 21, 20), 0x00000000u);
    // The background keeps its alpha of 254.
    EXPECT_EQ(ShownPixel(d.GetSafeHwnd(), 5, 5) >> 24, 254u);
}

TEST(PaintPass, BannerIsDrawnOverTheControls) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 300, 200)), nullptr);
    d.Add(1, CRect(0, 0, 300, 200), RGB(0, 0, 255));
    d.SetMessage(L"Saved", CRect(), MSG_LEVEL_INFO);
    EXPECT_EQ(d.GetPaintManager().GetMessageRect(), CRect(50, 140, 250, 198));
    ASSERT_TRUE(PaintNow(d));
    const auto* frame = d.GetPaintManager().GetLastFrame();
    EXPECT_EQ(frame->GetPixel(51, 141), 0xFFE6E6E6u);  // outer box
    EXPECT_EQ(frame->GetPixel(200, 190), 0xFFFEFEFEu);  // inner box
    EXPECT_EQ(frame->GetPixel(40, 150), 0xFF0000FFu);  // beside it the control
}

// A manager that never got a window still frees its private fonts when it goes:
// their handles are already released, so a second release is refused.
TEST(PaintManagerLife, ManagerWithoutWindowReleasesItsPrivateFonts) {
    std::vector<int> handles;
    {
        TesselUI::PaintManager pm;
        ASSERT_TRUE(pm.AddTempFont(L"Loose",
                                   CString(L"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf")));
        handles = pm.GdiTempFonts();
        ASSERT_FALSE(handles.empty());
    }
    for (int handle : handles) EXPECT_FALSE(platform::draw::RemovePrivateFont(handle)) << handle;
}

namespace {

// A 6 x 6 image whose 2-pixel border regions each have their own colour, handed
// to the toolkit as a PNG resource of the application.
constexpr UINT kShadowResource = 4242;
const std::uint32_t kRegionColour[3][3] = {{0xFFFF0000, 0xFF00FF00, 0xFF0000FF},
                                           {0xFFFFFF00, 0xFF808080, 0xFF00FFFF},
                                           {0xFFFF00FF, 0xFF400000, 0xFF004000}};

bool RegisterShadowResource() {
    static std::vector<char> bytes;
    if (bytes.empty()) {
        std::vector<platform::draw::Argb> argb(36);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) argb[y * 6 + x] = kRegionColour[y / 2][x / 2];
        const auto image = platform::draw::Image::FromArgb(6, 6, argb.data());
        const std::string path = ::testing::TempDir() + "tessel-shadow.png";
        if (!image->SavePng(std::wstring(path.begin(), path.end()))) return false;
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return MRender::RegisterResource(Manager::GetInstance(), kShadowResource, L"PNG", bytes.data(), bytes.size());
}

}  // namespace

TEST(DropShadow, SkinImageIsANineGridReachingTheCornerWidthsBeyondTheDialog) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(100, 100, 200, 180)), nullptr);
    PaintManager& pm = d.GetPaintManager();
    EXPECT_FALSE(pm.SetShadowImage(kShadowResource, CRect(2, 2, 2, 2)));  // no shadow yet
    ASSERT_TRUE(RegisterShadowResource());
    ASSERT_TRUE(pm.CreateShadow(TRUE, false));
    ASSERT_TRUE(pm.SetShadowImage(kShadowResource, CRect(2, 2, 2, 2)));
    const HWND shadow = pm.GetShadow()->GetSafeHwnd();
    RECT r{};
    GetWindowRect(shadow, &r);
    EXPECT_EQ(CRect(r), CRect(98, 98, 202, 182));

    int w = 0, h = 0;
    const auto pixels = GetWindowPixels(shadow, &w, &h);
    ASSERT_EQ(w, 104);
    ASSERT_EQ(h, 84);
    const int xs[3] = {0, w / 2, w - 1}, ys[3] = {0, h / 2, h - 1};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            EXPECT_EQ(pixels[static_cast<size_t>(ys[row]) * w + xs[col]], kRegionColour[row][col]) << row << "," << col;
    // The fixed borders keep their width: one pixel further in is the edge's colour.
    EXPECT_EQ(pixels[static_cast<size_t>(h / 2) * w + 2], kRegionColour[1][1]);

    // Refused, and the shown image stays: missing resource or file, borders wider than the image.
    const Gdiplus::Image* shown = pm.GetShadow()->GetShadowImage();
    EXPECT_FALSE(pm.SetShadowImage(kShadowResource + 1, CRect(2, 2, 2, 2)));
    EXPECT_FALSE(pm.SetShadowImage(L"no-such-shadow.png", CRect(2, 2, 2, 2)));
    EXPECT_FALSE(pm.SetShadowImage(kShadowResource, CRect(4, 2, 4, 2)));
    EXPECT_FALSE(pm.SetShadowImage(kShadowResource, CRect(-1, 2, 2, 2)));
    EXPECT_EQ(pm.GetShadow()->GetShadowImage(), shown);
}
