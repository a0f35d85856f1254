// MImageList: appending and inserting, look-ups, and which cell is drawn.
#include "MImageList.h"
#include "RenderFixture.h"
#include "platform/draw/Graphics.h"

using namespace TesselUI;
using namespace render_test;

namespace {

class ImageListTest : public RenderTest {
protected:
    void SetUp() override {
        dir.WriteStrip("three.png", 4, 4, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF});
        dir.WriteStrip("one.png", 4, 4, {0xFFFFFFFF});
    }
    std::wstring Path(const char* name) const { return dir.Skin(name).wstring(); }

    TempProgramDir dir{"imagelist"};
    MImageList list;
};

}  // namespace

TEST_F(ImageListTest, AppendAndInsertAnswers) {
    EXPECT_EQ(list.AddImage(Path("three.png").c_str(), 10, 3), 0);
    EXPECT_EQ(list.AddImage(Path("one.png").c_str(), 11, 1), 1);
    EXPECT_EQ(list.InsertImage(-1, Path("one.png").c_str(), 12, 1), 2) << "-1 appends";
    EXPECT_EQ(list.InsertImage(3, Path("one.png").c_str(), 13, 1), 3) << "at the end appends";
    EXPECT_EQ(list.InsertImage(1, Path("three.png").c_str(), 14, 3), -1) << "middle: inserted, answer -1";
    EXPECT_EQ(list.GetImageCount(), 5);
    EXPECT_EQ(list.GetItemImageData(1)->id, 14);
    EXPECT_EQ(list.InsertImage(9, Path("one.png").c_str(), 15, 1), -1);
    EXPECT_EQ(list.InsertImage(0, nullptr, 16, 1), -1);
    EXPECT_EQ(list.AddImage(Path("missing.png").c_str(), 17, 1), -1);
    EXPECT_EQ(list.GetImageCount(), 5) << "refused and failed inserts add nothing";
}

TEST_F(ImageListTest, LookUps) {
    list.AddImage(Path("three.png").c_str(), 10, 3);
    ImageListItem* item = list.GetImageDataByID(10);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->cellWidth, 4);
    EXPECT_EQ(item->height, 4);
    EXPECT_EQ(item->count, 3);
    EXPECT_EQ(std::wstring(list.GetImagePathByID(10)), Path("three.png"));
    EXPECT_EQ(std::wstring(list.GetImagePath(0)), Path("three.png"));
    EXPECT_EQ(list.GetItemImageData(1), nullptr);
    EXPECT_EQ(list.GetItemImageData(-1), nullptr);
    EXPECT_EQ(list.GetImageDataByID(99), nullptr);
    EXPECT_TRUE(list.GetImagePath(5).IsEmpty());
    list.SetDrawImgSize(16, 12);
    EXPECT_EQ(list.GetIconSize().cx, 16);
    EXPECT_EQ(list.GetIconSize().cy, 12);
    list.DelAllImages();
    EXPECT_EQ(list.GetImageCount(), 0);
}

TEST_F(ImageListTest, DrawsTheStatesCellClampedToTheLastOne) {
    list.AddImage(Path("three.png").c_str(), 10, 3);
    struct Case {
        int state;
        D::Argb colour;
    };
    const Case cases[] = {{0, 0xFFFF0000}, {1, 0xFF00FF00}, {2, 0xFF0000FF}, {3, 0xFF0000FF}, {9, 0xFF0000FF}};
    for (const Case& c : cases) {
        D::Image out(8, 8);
        {
            D::Graphics g(out);
            list.DrawItemIcon(g, CRect(0, 0, 8, 8), 0, c.state);
        }
        EXPECT_EQ(out.GetPixel(4, 4), c.colour) << c.state;
        EXPECT_EQ(out.GetPixel(7, 7), c.colour) << "scaled into the rectangle, state " << c.state;
    }
    D::Image out(8, 8);
    {
        D::Graphics g(out);
        list.DrawItemIcon(g, CRect(0, 0, 8, 8), 0);
        list.DrawItemIcon(g, CRect(0, 0, 8, 8), 5);  // out of range: nothing
    }
    EXPECT_EQ(out.GetPixel(4, 4), 0xFFFF0000u);
}
