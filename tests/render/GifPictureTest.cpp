// The animated picture: frames advance on every fifth tick of the shared timer,
// controls on one file share the frame, hover mode, and what is drawn.
#include "CGifPicture.h"
#include "ControlFactory.h"
#include "PaintManager.h"
#include "RenderFixture.h"
#include "platform/draw/Dc.h"
#include "platform/draw/GifWriter.h"

using namespace TesselUI;
using namespace render_test;

namespace {

const D::Argb kFrames[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};

class GifPictureTest : public RenderTest {
protected:
    void SetUp() override {
        std::vector<D::Image> frames;
        for (D::Argb c : kFrames) {
            D::Image f(8, 4);
            f.Fill(c);
            frames.push_back(f);
        }
        ASSERT_TRUE(D::SaveGif({&frames[0], &frames[1], &frames[2]}, {100, 100, 100},
                               dir.Skin("loading.gif").wstring()));
        D::Image still(4, 4);
        still.Fill(0xFFFFFFFF);
        ASSERT_TRUE(D::SaveGif({&still}, {0}, dir.Skin("still.gif").wstring()));
    }

    CGifPicture* Make(CRect rect = CRect(0, 0, 8, 4)) {
        auto* gif = new CGifPicture(&parent, 30, rect);
        gif->SetManager(&pm);
        owned.emplace_back(gif);
        return gif;
    }

    // Ticks as the shared timer does (only running, visible controls are ticked).
    static void Tick(CGifPicture* gif, int n) {
        for (int i = 0; i < n; ++i) gif->OnTimer();
    }

    TempProgramDir dir{"gif"};
    LoosePaintManager pm;
    RebuildingParent parent;
    std::vector<std::unique_ptr<CGifPicture>> owned;
};

}  // namespace

TEST_F(GifPictureTest, EveryFifthTickAdvancesAndWrapsToTheFirstFrame) {
    CGifPicture* gif = Make();
    ASSERT_TRUE(gif->SetImage(L"loading.gif", 1));
    ASSERT_EQ(gif->GetFrameCount(), 3);
    EXPECT_TRUE(gif->IsAnimate());
    ASSERT_EQ(gif->SetRunState(TRUE, 0), 1);
    const int expected[] = {0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 0};
    for (int t = 0; t < 15; ++t) {
        Tick(gif, 1);
        EXPECT_EQ(gif->GetActiveFrame(), expected[t]) << "tick " << t + 1;
    }
    gif->SetRunState(FALSE, 1);
    Tick(gif, 10);
    EXPECT_EQ(gif->GetActiveFrame(), 1) << "stopped at the frame asked for";
}

TEST_F(GifPictureTest, HiddenControlsDoNotAdvance) {
    CGifPicture* gif = Make();
    ASSERT_TRUE(gif->SetImage(L"loading.gif", 4));
    gif->SetRunState(TRUE, 0);
    gif->SetVisible(FALSE);
    Tick(gif, 10);
    EXPECT_EQ(gif->GetActiveFrame(), 0);
}

TEST_F(GifPictureTest, TwoControlsOnOneFileShareTheFrame) {
    CGifPicture* a = Make();
    CGifPicture* b = Make(CRect(10, 0, 18, 4));
    ASSERT_TRUE(a->SetImage(L"loading.gif", 4));
    ASSERT_TRUE(b->SetImage(L"loading.gif", 4));
    EXPECT_EQ(a->GetImage(), b->GetImage()) << "one cached image";
    a->SetRunState(TRUE, 0);
    b->SetRunState(TRUE, 0);
    Tick(a, 5);
    EXPECT_EQ(b->GetActiveFrame(), 1) << "a's advance shows in b";
    Tick(b, 5);
    EXPECT_EQ(a->GetActiveFrame(), 2) << "b moves the same frame on";
}

TEST_F(GifPictureTest, StillImagesAndMissingFiles) {
    CGifPicture* gif = Make();
    ASSERT_TRUE(gif->SetImage(L"still.gif", 4));
    EXPECT_FALSE(gif->IsAnimate());
    EXPECT_EQ(gif->SetRunState(TRUE, 0), 0);
    EXPECT_FALSE(gif->IsRunTimer());
    Gdiplus::Image* kept = gif->GetImage();
    EXPECT_FALSE(gif->SetImage(L"none.gif", 4));
    EXPECT_EQ(gif->GetImage(), kept);
    EXPECT_EQ(gif->GetFrameCount(), 1);
}

TEST_F(GifPictureTest, HoverModeRestartsOnEveryMoveAndStopsOnLeaving) {
    CGifPicture* gif = Make();
    ASSERT_TRUE(gif->SetImage(L"loading.gif", 4));
    gif->SetMouseMoveActive(true);
    gif->OnControlMouseMove(0, CPoint(2, 2));
    EXPECT_TRUE(gif->IsRunTimer());
    Tick(gif, 5);
    EXPECT_EQ(gif->GetActiveFrame(), 1);
    gif->OnControlMouseMove(0, CPoint(3, 2));
    EXPECT_EQ(gif->GetActiveFrame(), 0) << "a move restarts at frame 0";
    Tick(gif, 5);
    gif->OnControlMouseMove(0, CPoint(50, 50));
    EXPECT_FALSE(gif->IsRunTimer());
    EXPECT_EQ(gif->GetActiveFrame(), 0);
    gif->SetEnabled(FALSE);
    gif->OnControlMouseMove(0, CPoint(2, 2));
    EXPECT_FALSE(gif->IsRunTimer()) << "disabled controls do not start";
}

TEST_F(GifPictureTest, DrawsTheCurrentFrameStretchedOverTheBackground) {
    CGifPicture* gif = Make(CRect(2, 2, 18, 10));
    ASSERT_TRUE(gif->SetImage(L"loading.gif", 4));
    gif->SetRunState(TRUE, 0);
    D::Image window(20, 12);
    window.Fill(0xFF101010);
    D::Dc dc(&window);
    HDC hdc = &dc;
    gif->Draw(hdc, CRect(0, 0, 20, 12));
    EXPECT_EQ(window.GetPixel(2, 2), kFrames[0]);
    EXPECT_EQ(window.GetPixel(17, 9), kFrames[0]);
    EXPECT_EQ(window.GetPixel(1, 1), 0xFF101010u);
    Tick(gif, 5);
    EXPECT_FALSE(gif->GetUpdate()) << "a new frame asks for a rebuild";
    window.Fill(0xFF101010);
    gif->Draw(hdc, CRect(0, 0, 20, 12));
    EXPECT_EQ(window.GetPixel(10, 6), kFrames[1]);
}

TEST_F(GifPictureTest, TheFactoryMakesIt) {
    std::unique_ptr<MControl> made(
        ControlFactory::Create(ControlFactory::Window, &parent, L"CGifPicture", 30, CRect(0, 0, 10, 10), L"", 1, 1));
    ASSERT_NE(made, nullptr);
    EXPECT_NE(dynamic_cast<CGifPicture*>(made.get()), nullptr);
}
