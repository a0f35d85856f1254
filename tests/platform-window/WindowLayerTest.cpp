// The window layer on one thread: creation and destruction order, the queue's
// priorities (posted before paint before timers), paint regions, timers, classes
// and properties, pixels and key state.
#include <gtest/gtest.h>

#include <chrono>

#include "TestWindow.h"

using namespace platform;
using wintest::MakeWindow;
using wintest::PumpUntil;
using wintest::Recorder;

TEST(WindowLayer, CreationAndDestructionSendTheirMessagesInOrder) {
    Recorder rec, ownedRec;
    HWND hwnd = MakeWindow(&rec, L"owner");
    ASSERT_NE(hwnd, nullptr);
    HWND owned = MakeWindow(&ownedRec, L"owned", hwnd);
    ASSERT_NE(owned, nullptr);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), hwnd);
    EXPECT_EQ(rec.Order({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    const auto size = rec.Messages(WM_SIZE);
    ASSERT_EQ(size.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(size[0].l), 160);
    EXPECT_EQ(GET_Y_LPARAM(size[0].l), 120);

    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindow(owned));  // owned windows go first
    EXPECT_EQ(rec.Order({WM_DESTROY, WM_NCDESTROY}), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    EXPECT_EQ(ownedRec.Order({WM_DESTROY, WM_NCDESTROY}), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(PostMessageW(hwnd, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 0);
    EXPECT_FALSE(DestroyWindow(hwnd));
}

TEST(WindowLayer, PostedMessagesComeBeforePaintAndPaintBeforeTimers) {
    Recorder rec;
    HWND hwnd = MakeWindow(&rec);
    ShowWindow(hwnd, SW_SHOWNA);
    PumpUntil([&] { return !rec.Messages(WM_PAINT).empty(); });
    SetTimer(hwnd, 7, 1, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    RECT a{10, 10, 20, 20}, b{30, 5, 40, 15};
    InvalidateRect(hwnd, &a, FALSE);
    InvalidateRect(hwnd, &b, FALSE);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(update.left, 10);
    EXPECT_EQ(update.top, 5);
    EXPECT_EQ(update.right, 40);
    EXPECT_EQ(update.bottom, 20);
    PostMessageW(hwnd, WM_USER + 1, 0, 0);
    PostMessageW(hwnd, WM_USER + 2, 0, 0);

    std::vector<UINT> order;
    MSG m;
    while (order.size() < 4 && GetMessageW(&m, nullptr, 0, 0)) {
        if (m.hwnd == hwnd && m.message != WM_NULL) order.push_back(m.message);
        DispatchMessageW(&m);  // the default procedure validates on WM_PAINT
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_PAINT, WM_TIMER}));
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));
    KillTimer(hwnd, 7);
    DestroyWindow(hwnd);
}

TEST(WindowLayer, HiddenWindowsGetNoPaint) {
    Recorder rec;
    HWND hwnd = MakeWindow(&rec);
    InvalidateRect(hwnd, nullptr, FALSE);
    MSG m;
    EXPECT_FALSE(PeekMessageW(&m, hwnd, WM_PAINT, WM_PAINT, PM_REMOVE));
    ShowWindow(hwnd, SW_SHOWNA);
    EXPECT_TRUE(PeekMessageW(&m, hwnd, WM_PAINT, WM_PAINT, PM_REMOVE));
    DestroyWindow(hwnd);
}

TEST(WindowLayer, TimerRepeatsUntilKilled) {
    Recorder rec;
    HWND hwnd = MakeWindow(&rec);
    ASSERT_EQ(SetTimer(hwnd, 42, 5, nullptr), 42u);
    ASSERT_TRUE(PumpUntil([&] { return rec.Messages(WM_TIMER).size() >= 3; }));
    for (const auto& s : rec.Messages(WM_TIMER)) EXPECT_EQ(s.w, 42u);
    EXPECT_TRUE(KillTimer(hwnd, 42));
    EXPECT_FALSE(KillTimer(hwnd, 42));
    const size_t count = rec.Messages(WM_TIMER).size();
    PumpUntil([] { return false; }, 60);
    EXPECT_EQ(rec.Messages(WM_TIMER).size(), count);
    DestroyWindow(hwnd);
}

TEST(WindowLayer, FindWindowPropertiesAndStyles) {
    Recorder r1, r2;
    HWND a = MakeWindow(&r1, L"Menu Window");
    HWND b = MakeWindow(&r2, L"ComboWnd");
    EXPECT_EQ(FindWindowW(L"LayerTestClass", L"ComboWnd"), b);
    EXPECT_EQ(FindWindowW(nullptr, L"Menu Window"), a);
    EXPECT_EQ(FindWindowW(L"NoSuchClass", nullptr), nullptr);
    int value = 5;
    EXPECT_TRUE(SetPropW(a, L"Control", &value));
    EXPECT_EQ(GetPropW(a, L"Control"), &value);
    EXPECT_EQ(GetPropW(b, L"Control"), nullptr);
    EXPECT_EQ(RemovePropW(a, L"Control"), &value);
    EXPECT_EQ(GetPropW(a, L"Control"), nullptr);

    EXPECT_FALSE(GetWindowLongPtrW(a, GWL_STYLE) & WS_VISIBLE);
    ShowWindow(a, SW_SHOWNA);
    EXPECT_TRUE(GetWindowLongPtrW(a, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(EnableWindow(a, FALSE));  // was enabled
    EXPECT_TRUE(GetWindowLongPtrW(a, GWL_STYLE) & WS_DISABLED);
    EXPECT_TRUE(EnableWindow(a, TRUE));  // was disabled
    DestroyWindow(a);
    DestroyWindow(b);
    EXPECT_EQ(FindWindowW(nullptr, L"Menu Window"), nullptr);
}

TEST(WindowLayer, PresentedPixelsLandWhereTheyBelong) {
    Recorder rec;
    HWND hwnd = MakeWindow(&rec);
    // A 160 x 120 bottom-up image: row 0 in memory is the bottom row.
    std::vector<std::uint32_t> img(160 * 120, 0xFF000000);
    img[0] = 0xFF00FF00;                    // bottom-left
    img[static_cast<size_t>(119) * 160] = 0xFFFF0000;  // top-left
    RECT all{0, 0, 160, 120};
    ASSERT_TRUE(PresentPixels(hwnd, img.data(), 160, 120, 160 * 4, true, all));
    int w = 0, h = 0;
    auto shown = GetWindowPixels(hwnd, &w, &h);
    ASSERT_EQ(w, 160);
    ASSERT_EQ(h, 120);
    EXPECT_EQ(shown[0], 0xFFFF0000u);
    EXPECT_EQ(shown[static_cast<size_t>(119) * 160], 0xFF00FF00u);
    // Only the given area is copied.
    std::vector<std::uint32_t> blue(160 * 120, 0xFF0000FF);
    RECT part{150, 110, 160, 120};
    PresentPixels(hwnd, blue.data(), 160, 120, 160 * 4, false, part);
    shown = GetWindowPixels(hwnd, &w, &h);
    EXPECT_EQ(shown[static_cast<size_t>(119) * 160 + 159], 0xFF0000FFu);
    EXPECT_EQ(shown[0], 0xFFFF0000u);
    // Per-pixel alpha only for layered windows.
    EXPECT_FALSE(UpdateLayeredWindowPixels(hwnd, blue.data(), 160, 120, 160 * 4, false, 255));
    DestroyWindow(hwnd);
}

TEST(WindowLayer, KeyStateFollowsKeyMessagesAsTheyAreTaken) {
    Recorder rec;
    HWND hwnd = MakeWindow(&rec);
    PostMessageW(hwnd, WM_SYSKEYDOWN, VK_MENU, 1 << 29);
    EXPECT_GE(GetKeyState(VK_MENU), 0);  // still in the queue
    PumpUntil([&] { return !rec.Messages(WM_SYSKEYDOWN).empty(); });
    EXPECT_LT(GetKeyState(VK_MENU), 0);
    PostMessageW(hwnd, WM_SYSKEYUP, VK_MENU, 0);
    PumpUntil([&] { return !rec.Messages(WM_SYSKEYUP).empty(); });
    EXPECT_GE(GetKeyState(VK_MENU), 0);
    DestroyWindow(hwnd);
}

TEST(WindowLayer, QuitEndsGetMessageWithTheCode) {
    PostQuitMessage(3);
    MSG m;
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
}

TEST(WindowLayer, DroppedFilesReachOnlyWindowsThatAcceptThem) {
    Recorder rec;
    HWND hwnd = MakeWindow(&rec);
    const std::vector<std::wstring> files{L"/tmp/a.png", L"/tmp/b.txt"};
    EXPECT_FALSE(IsDropTarget(hwnd));
    EXPECT_FALSE(DropFilesOnWindow(hwnd, files, POINT{3, 4}));
    EXPECT_TRUE(rec.Messages(WM_DROPFILES).empty());

    ASSERT_TRUE(DragAcceptFiles(hwnd, TRUE));
    EXPECT_TRUE(IsDropTarget(hwnd));
    EXPECT_FALSE(DropFilesOnWindow(hwnd, {}, POINT{3, 4}));  // nothing to drop
    EXPECT_TRUE(DropFilesOnWindow(hwnd, files, POINT{3, 4}));
    const auto drops = rec.Messages(WM_DROPFILES);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_NE(drops[0].w, 0u);
    EXPECT_EQ(drops[0].thread, std::this_thread::get_id());

    ASSERT_TRUE(DragAcceptFiles(hwnd, FALSE));
    EXPECT_FALSE(DropFilesOnWindow(hwnd, files, POINT{3, 4}));
    DestroyWindow(hwnd);
    EXPECT_FALSE(DragAcceptFiles(hwnd, TRUE));
    EXPECT_FALSE(DropFilesOnWindow(hwnd, files, POINT{3, 4}));
    // The queries refuse a missing drop.
    std::wstring name;
    EXPECT_EQ(DragQueryFileW(nullptr, 0, &name), 0u);
    POINT at{};
    EXPECT_FALSE(DragQueryPoint(nullptr, &at));
}
