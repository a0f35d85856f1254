// Dialog life: creation hooks, modal results, the owner around a modal loop,
// Alt+F4 in the application loop, size limits, the banner's progress rule and dropped files.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "Fixtures.h"
#include "Manager.h"
#include "platform/draw/Image.h"

using namespace tesseltest;
using namespace platform;

TEST(Dialog, CreateRunsInitUIOnceAndASecondCreateReturnsTheSameWindow) {
    int inits = 0;
    TestDialog d;
    d.onInit = [&](TestDialog&) { ++inits; };
    HWND first = d.Open(CRect(30, 40, 230, 190));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(d.Create(nullptr), first);
    EXPECT_EQ(inits, 1);
    EXPECT_EQ(d.initClient, CRect(0, 0, 200, 150));
    // The dialog draws its own frame: no caption or sizing frame in the style.
    EXPECT_EQ(d.GetStyle() & (WS_CAPTION | WS_THICKFRAME), 0u);
    EXPECT_TRUE(d.GetPaintManager().IsInitialized());
    EXPECT_TRUE(d.IsClass(L"MDialog"));
}

namespace {

// Runs a call from inside a modal loop: a helper window's timer message, which
// the loop dispatches like any other, makes the call once.
std::function<void()> g_pending;

LRESULT EnderProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_TIMER && g_pending) {
        KillTimer(hwnd, 1);
        auto call = std::move(g_pending);
        g_pending = nullptr;
        call();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, w, l);
}

HWND RunInsideModalLoop(std::function<void()> call) {
    WNDCLASSEXW cls;
    cls.lpfnWndProc = &EnderProc;
    cls.lpszClassName = L"ModalEnder";
    RegisterClassExW(&cls);
    HWND ender = CreateWindowExW(0, L"ModalEnder", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    g_pending = std::move(call);
    SetTimer(ender, 1, 1, nullptr);
    return ender;
}

}  // namespace

TEST(Dialog, ShowModalAnswersTheResultOfTheButtonThatEndedIt) {
    struct Case {
        const char* name;
        void (*end)(MDialog&);
        int expected;
    } cases[] = {
        {"DoOK", [](MDialog& d) { d.DoOK(); }, 1},
        {"DoCancel", [](MDialog& d) { d.DoCancel(); }, 2},
        {"DoClose", [](MDialog& d) { d.DoClose(); }, 2},
        {"DoYes", [](MDialog& d) { d.DoYes(); }, 6},
        {"DoNo", [](MDialog& d) { d.DoNo(); }, 7},
        {"DestroyWindow", [](MDialog& d) { d.DestroyWindow(); }, 0},
    };
    for (const Case& c : cases) {
        TestDialog owner;
        ASSERT_NE(owner.Open(CRect(0, 0, 300, 200)), nullptr);
        TestDialog d;
        ASSERT_NE(d.Create(owner.GetSafeHwnd(), L"TesselClient", WS_POPUP, 0, CRect(10, 10, 110, 60)), nullptr);
        d.GetPaintManager().SetPaintPause(0);
        HWND h = d.GetSafeHwnd();
        bool ownerDisabledInside = false;
        HWND ender = RunInsideModalLoop([&] {
            ownerDisabledInside = !owner.IsWindowEnabled();
            c.end(d);
        });
        const int result = d.ShowModal(SW_SHOWNA);
        EXPECT_EQ(result, c.expected) << c.name;
        EXPECT_FALSE(IsWindow(h)) << c.name;
        EXPECT_TRUE(ownerDisabledInside) << c.name;
        // The owner is usable again however the dialog ended.
        EXPECT_TRUE(owner.IsWindowEnabled()) << c.name;
        DestroyWindow(ender);
    }
}

TEST(Dialog, QuitInsideAModalLoopEndsItAndIsPostedAgain) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 100, 100)), nullptr);
    HWND ender = RunInsideModalLoop([] { PostQuitMessage(9); });
    EXPECT_EQ(d.ShowModal(SW_SHOWNA), 0);
    EXPECT_TRUE(IsWindow(d.GetSafeHwnd()));
    MSG m;
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.wParam, 9u);
    DestroyWindow(ender);
}

TEST(Dialog, ShowModalWithoutAWindowAnswersMinusOne) {
    TestDialog d;
    EXPECT_EQ(d.ShowModal(), -1);
}

TEST(Dialog, AltF4IsDroppedByTheApplicationLoop) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 100, 100)), nullptr);
    HWND h = d.GetSafeHwnd();
    PostMessageW(h, WM_SYSKEYDOWN, VK_MENU, 1 << 29);
    PostMessageW(h, WM_SYSKEYDOWN, VK_F4, 1 << 29);
    PostMessageW(h, WM_SYSKEYUP, VK_F4, 0);
    PostMessageW(h, WM_SYSKEYUP, VK_MENU, 0);
    PostMessageW(h, WM_KEYDOWN, 'A', 1);
    PostQuitMessage(0);
    Manager::MessageLoop();
    // Alt alone passes; F4 while Alt is down never reaches the window.
    EXPECT_EQ(d.keyMessages, (std::vector<UINT>{VK_MENU, 'A'}));
    EXPECT_TRUE(IsWindow(h));
    SetKeyStateForTesting('A', false);
}

TEST(Dialog, SizeLimitsApplyOnlyWhenSet) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 100, 100)), nullptr);
    MINMAXINFO info;
    info.ptMinTrackSize = POINT{1, 2};
    info.ptMaxTrackSize = POINT{3000, 4000};
    info.ptMaxSize = POINT{3000, 4000};
    SendMessageW(d.GetSafeHwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 1);
    EXPECT_EQ(info.ptMaxTrackSize.y, 4000);
    d.GetPaintManager().SetWindowMixSize(640, 0);
    d.GetPaintManager().SetWindowMaxSize(0, 900);
    SendMessageW(d.GetSafeHwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 640);
    EXPECT_EQ(info.ptMinTrackSize.y, 2);
    EXPECT_EQ(info.ptMaxTrackSize.x, 3000);
    EXPECT_EQ(info.ptMaxTrackSize.y, 900);
    EXPECT_EQ(info.ptMaxSize.y, 900);
}

TEST(Dialog, CenterWindowStaysInsideTheWorkArea) {
    TestDialog owner, d;
    ASSERT_NE(owner.Open(CRect(0, 0, 100, 80)), nullptr);
    ASSERT_NE(d.Create(owner.GetSafeHwnd(), L"TesselClient", WS_POPUP, 0, CRect(0, 0, 60, 40)), nullptr);
    d.CenterWindow(&owner);
    RECT r;
    d.GetWindowRect(&r);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 20);
    // Over an owner at the very corner the result is clamped into the work area.
    const RECT work = GetWorkAreaNear(POINT{0, 0});
    owner.MoveWindow(work.left - 50, work.top - 50, 60, 60);
    d.CenterWindow(&owner);
    d.GetWindowRect(&r);
    EXPECT_EQ(r.left, work.left);
    EXPECT_EQ(r.top, work.top);
}

TEST(Dialog, ProgressBannerIgnoresTheSameTargetAndStepsTowardsANewOne) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 300, 200)), nullptr);
    PaintManager& pm = d.GetPaintManager();
    pm.SetProgress(3, L"Reading", CRect());
    EXPECT_EQ(pm.GetShownProgress(), 3);  // less than 6 ahead: jumps
    EXPECT_EQ(pm.GetMessageRect(), CRect(0, 140, 300, 198));
    pm.SetProgress(40, L"Reading", CRect());
    EXPECT_EQ(pm.GetShownProgress(), 3);  // far ahead: steps by 2 on a timer
    ASSERT_TRUE(PumpUntil([&] { return pm.GetShownProgress() == 40; }));
    pm.SetProgress(40, L"Other text", CRect(1, 1, 50, 50));
    EXPECT_EQ(pm.GetMessageText(), L"Reading");  // same target: nothing happens
    EXPECT_EQ(pm.GetMessageRect(), CRect(0, 140, 300, 198));
}

namespace {

// Keeps the picture a drop hands it and answers the one it held before.
class PictureDialog : public TestDialog {
public:
    LRESULT OnWindowMessage(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_LBUTTONUP) releases.push_back(CPoint(l));
        if (msg == STM_SETIMAGE) {
            ++pictures;
            if (w != IMAGE_BITMAP) return 0;
            HBITMAP previous = picture.release();
            picture.reset(reinterpret_cast<HBITMAP>(l));
            return reinterpret_cast<LRESULT>(previous);
        }
        return TestDialog::OnWindowMessage(msg, w, l);
    }
    std::vector<CPoint> releases;
    int pictures = 0;
    std::unique_ptr<platform::draw::Image> picture;
};

std::wstring WritePicture(const std::string& name, int w, int h) {
    const std::string path = ::testing::TempDir() + name;
    platform::draw::Image image(w, h);
    if (!image.SavePng(std::wstring(path.begin(), path.end()))) return L"";
    return std::wstring(path.begin(), path.end());
}

}  // namespace

TEST(Dialog, DroppedFileEndsTheDragAndArrivesAsAPicture) {
    PictureDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 120, 90)), nullptr);
    EXPECT_TRUE(IsDropTarget(d.GetSafeHwnd()));
    const std::wstring first = WritePicture("tessel-drop-1.png", 7, 5);
    const std::wstring second = WritePicture("tessel-drop-2.png", 3, 2);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());

    // Only the first file counts.
    ASSERT_TRUE(DropFilesOnWindow(d.GetSafeHwnd(), {first, second}, POINT{12, 34}));
    ASSERT_EQ(d.releases.size(), 1u);
    EXPECT_EQ(d.releases[0], CPoint(12, 34));
    ASSERT_NE(d.picture, nullptr);
    EXPECT_EQ(d.picture->Width(), 7);
    EXPECT_EQ(d.picture->Height(), 5);

    // A second drop replaces the picture; the toolkit frees the one answered back.
    ASSERT_TRUE(DropFilesOnWindow(d.GetSafeHwnd(), {second}, POINT{1, 2}));
    ASSERT_NE(d.picture, nullptr);
    EXPECT_EQ(d.picture->Width(), 3);
    EXPECT_EQ(d.pictures, 2);

    // A file that is no picture still ends the drag but sends no picture.
    const std::string text = ::testing::TempDir() + "tessel-drop.txt";
    std::ofstream(text) << "not a picture";
    ASSERT_TRUE(DropFilesOnWindow(d.GetSafeHwnd(), {std::wstring(text.begin(), text.end())}, POINT{5, 6}));
    EXPECT_EQ(d.releases.size(), 3u);
    EXPECT_EQ(d.pictures, 2);
    EXPECT_EQ(d.picture->Width(), 3);
}
