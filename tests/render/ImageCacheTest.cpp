// The window's image caches: one entry per name or id, decided by the first
// request, no entry for a failed load, the library's built-in images, and how
// controls take their image from the cache.
#include "ImgResInfo.h"
#include "MControlFont.h"
#include "MRender.h"
#include "PaintManager.h"
#include "RenderFixture.h"

using namespace TesselUI;
using namespace render_test;

namespace {

class ImageCacheTest : public RenderTest {
protected:
    TempProgramDir dir{"cache"};
    LoosePaintManager pm;
};

}  // namespace

TEST_F(ImageCacheTest, FirstRequestDecidesTheCellsAndLaterRequestsGetTheSameEntry) {
    dir.WriteStrip("btn_apply.png", 10, 6, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080});
    ImgResInfo* first = pm.AddImgResInfo(L"btn_apply.png", 4);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetCellWidth(), 10);
    EXPECT_EQ(first->GetHeight(), 6);
    EXPECT_EQ(first->GetCount(), 4);
    ImgResInfo* again = pm.AddImgResInfo(L"btn_apply.png", 2);
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->GetCellWidth(), 10);
    EXPECT_EQ(again->GetCount(), 4);
}

TEST_F(ImageCacheTest, IndivisibleWidthRoundsTheCellDown) {
    D::Image img(23, 4);  // 23 / 4 = 5, three columns never shown
    dir.Write("odd.png", img);
    ImgResInfo* info = pm.AddImgResInfo(L"odd.png", 4);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetCellWidth(), 5);
    // A count of 0 would divide by zero: it is read as one cell.
    dir.Write("zero.png", img);
    ImgResInfo* zero = pm.AddImgResInfo(L"zero.png", 0);
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->GetCellWidth(), 23);
    EXPECT_EQ(zero->GetCount(), 1);
}

TEST_F(ImageCacheTest, MissingFileLeavesNoEntrySoALaterFileIsFound) {
    EXPECT_EQ(pm.AddImgResInfo(L"late.png", 2), nullptr);
    EXPECT_TRUE(pm.FileImages().empty());
    dir.WriteStrip("late.png", 3, 3, {0xFFFFFFFF, 0xFF000000});
    ImgResInfo* info = pm.AddImgResInfo(L"late.png", 2);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetCellWidth(), 3);
    EXPECT_EQ(pm.AddImgResInfo(nullptr, 1), nullptr);
    EXPECT_EQ(pm.AddImgResInfo(L"", 1), nullptr);
}

TEST_F(ImageCacheTest, NamesAreExactKeysButSeparatorsNameTheSameFile) {
    dir.WriteStrip("icon/icon_pc.png", 4, 4, {0xFF112233});
    ImgResInfo* slash = pm.AddImgResInfo(L"icon/icon_pc.png", 1);
    ImgResInfo* doubled = pm.AddImgResInfo(L"icon//icon_pc.png", 1);
    ImgResInfo* back = pm.AddImgResInfo(L"icon\\icon_pc.png", 1);
    ASSERT_NE(slash, nullptr);
    ASSERT_NE(doubled, nullptr);
    ASSERT_NE(back, nullptr);
    // Three keys (the cache compares names exactly), one file behind them.
    EXPECT_NE(slash, doubled);
    EXPECT_EQ(pm.FileImages().size(), 3u);
    EXPECT_EQ(back->GetImage()->GetPixel(1, 1), 0xFF112233u);
    EXPECT_EQ(pm.AddImgResInfo(L"ICON/icon_pc.png", 1), nullptr);  // case-sensitive like the name
}

TEST_F(ImageCacheTest, SkinImagesAreHeldInTheFastBlitFormat) {
    dir.WriteStrip("fmt.png", 2, 2, {0x80FF0000});
    ImgResInfo* info = pm.AddImgResInfo(L"fmt.png", 1);
    ASSERT_NE(info, nullptr);
    // Premultiplied: red 255 at alpha 128 is stored as about 128.
    const std::uint32_t raw = info->GetImage()->Bits()[0];
    EXPECT_EQ(raw >> 24, 0x80u);
    EXPECT_NEAR(int((raw >> 16) & 0xFF), 128, 1);
}

TEST_F(ImageCacheTest, LibraryResourcesAreBuiltIn) {
    struct Case {
        UINT id;
        int width, height, cellWidth;
        const char* drawn;  // what the skin generator draws for it
    };
    const Case cases[] = {{101, 22, 20, 5, "scroll_h.png"}, {102, 28, 239, 7, "scroll_v.png"}};
    for (const Case& c : cases) {
        ImgResInfo* info = pm.AddImgResInfo(c.id, L"PNG", 4, FALSE);
        ASSERT_NE(info, nullptr) << c.id;
        EXPECT_EQ(info->GetImage()->Width(), c.width) << c.id;
        EXPECT_EQ(info->GetImage()->Height(), c.height) << c.id;
        EXPECT_EQ(info->GetCellWidth(), c.cellWidth) << c.id;
        const auto drawn = std::filesystem::path(KEYLOFT_RUNTIME_DIR).parent_path() / "toolkit-resources" / c.drawn;
        auto fresh = D::Image::FromFile(drawn.wstring());
        ASSERT_TRUE(fresh) << drawn;
        bool same = fresh->Width() == c.width && fresh->Height() == c.height;
        for (int y = 0; same && y < c.height; ++y)
            for (int x = 0; same && x < c.width; ++x) same = fresh->GetPixel(x, y) == info->GetImage()->GetPixel(x, y);
        EXPECT_TRUE(same) << c.drawn << " changed in the generator: copy it to tesselui/render/res/";
        EXPECT_EQ(pm.AddImgResInfo(c.id, L"png", 1, FALSE), info) << "type compares without case";
    }
    EXPECT_EQ(pm.AddImgResInfo(103, L"PNG", 4, FALSE), nullptr);
    // The application has registered nothing under these ids.
    EXPECT_EQ(pm.AddImgResInfo(101, L"PNG", 4, TRUE), nullptr);
    EXPECT_TRUE(pm.AppImages().empty());
}

TEST_F(ImageCacheTest, ApplicationResourcesComeFromTheRegistry) {
    D::Image img(8, 2);
    img.Fill(0xFF00FF00);
    const std::wstring path = dir.Skin("res.png").wstring();
    ASSERT_TRUE(img.SavePng(path));
    std::FILE* f = std::fopen(dir.Skin("res.png").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    static std::vector<unsigned char> bytes(4096);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    ASSERT_TRUE(MRender::RegisterResource(Manager::GetInstance(), 500, L"PNG", bytes.data(), bytes.size()));
    EXPECT_FALSE(MRender::RegisterResource(MRender::LibraryModule(), 500, L"PNG", bytes.data(), bytes.size()));
    ImgResInfo* info = pm.AddImgResInfo(500, L"PNG", 2, TRUE);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetCellWidth(), 4);
    EXPECT_EQ(pm.AddImgResInfo(500, L"PNG", 2, FALSE), nullptr) << "not a library resource";
}

TEST_F(ImageCacheTest, ClearFreesEveryEntry) {
    dir.WriteStrip("a.png", 2, 2, {0xFFFFFFFF});
    ASSERT_NE(pm.AddImgResInfo(L"a.png", 1), nullptr);
    ASSERT_NE(pm.AddImgResInfo(101, L"PNG", 4, FALSE), nullptr);
    pm.ClearImgResInfo();
    EXPECT_TRUE(pm.FileImages().empty());
    EXPECT_TRUE(pm.LibImages().empty());
    // A new request loads again.
    EXPECT_NE(pm.AddImgResInfo(L"a.png", 1), nullptr);
}

TEST_F(ImageCacheTest, ControlsTakeTheEntrysGeometryAndKeepTheirImageOnFailure) {
    dir.WriteStrip("btn.png", 7, 5, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080});
    RebuildingParent parent;
    MControlFont early(&parent, 5, CRect(0, 0, 7, 5), L"");
    EXPECT_FALSE(early.SetImage(L"btn.png", 4)) << "no manager yet";
    MControlFont control(&parent, 6, CRect(0, 0, 7, 5), L"");
    control.SetManager(&pm);
    ASSERT_NE(pm.AddImgResInfo(L"btn.png", 4), nullptr);
    ASSERT_TRUE(control.SetImage(L"btn.png", 2));
    EXPECT_EQ(control.GetImageSize().cx, 7);
    EXPECT_EQ(control.GetImageCount(), 4);
    EXPECT_GT(parent.requests, 0) << "a visible control redraws";
    Gdiplus::Image* kept = control.GetImage();
    EXPECT_FALSE(control.SetImage(L"missing.png", 4));
    EXPECT_EQ(control.GetImage(), kept);
}
