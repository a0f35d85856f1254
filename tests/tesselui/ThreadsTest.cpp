// Other threads calling into windows as the program does: a worker ends a modal
// dialog with a posted message while it disables and enables the owner and asks
// for redraws, and a window is destroyed while its animation timer ticks.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Fixtures.h"

using namespace tesseltest;
using namespace platform;

TEST(Threads, WorkerEndsAModalDialogWithAPostedResult) {
    TestDialog owner;
    ASSERT_NE(owner.Open(CRect(0, 0, 300, 200)), nullptr);
    TestDialog wait;
    ASSERT_NE(wait.Create(owner.GetSafeHwnd(), L"TesselClient", WS_POPUP, 0, CRect(20, 20, 120, 80)), nullptr);
    wait.GetPaintManager().SetPaintPause(0);
    auto* box = wait.Add(1, CRect(0, 0, 50, 50), RGB(1, 2, 3));
    std::atomic<bool> go{false};
    std::thread worker([&] {
        while (!go) std::this_thread::yield();
        for (int i = 0; i < 20; ++i) {
            owner.EnableWindow(FALSE);
            box->UpdateControl(TRUE, FALSE);
            owner.EnableWindow(TRUE);
        }
        wait.DoOK();
    });
    go = true;
    EXPECT_EQ(wait.ShowModal(SW_SHOWNA), 1);
    worker.join();
    EXPECT_FALSE(IsWindow(wait.GetSafeHwnd()));
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST(Threads, WindowDestroyedWhileItsAnimationTimerTicks) {
    for (int round = 0; round < 5; ++round) {
        auto d = std::make_unique<TestDialog>();
        ASSERT_NE(d->Open(CRect(0, 0, 100, 100)), nullptr);
        std::vector<ColourBox*> boxes;
        for (UINT i = 0; i < 20; ++i) {
            auto* b = d->Add(i + 1, CRect(0, 0, 10, 10), 0);
            b->SetRunTimer(TRUE);
            b->AddMTimer();
            boxes.push_back(b);
        }
        ASSERT_NE(d->GetPaintManager().SetMTimer(1), 0u);
        ASSERT_TRUE(PumpUntil([&] { return boxes.back()->ticks >= 2; }));
        // Ticks keep arriving from the timer thread while the window goes.
        d->DestroyWindow();
        d.reset();
        PumpFor(10);
    }
}

TEST(Threads, RedrawRequestsAndPostsFromAnotherThreadAllArrive) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 100, 100)), nullptr);
    auto* box = d.Add(1, CRect(0, 0, 40, 40), RGB(0, 0, 255));
    ASSERT_TRUE(PumpUntil([&] { return box->draws > 0; }));
    std::atomic<int> delivered{0};
    struct Counter : ColourBox {
        using ColourBox::ColourBox;
        std::atomic<int>* count = nullptr;
        LRESULT OnWindowMessage(UINT msg, WPARAM, LPARAM) override {
            if (msg == WM_USER + 9) ++*count;
            return 0;
        }
    };
    auto* counter = new Counter(&d, 2, CRect(50, 50, 60, 60), 0);
    counter->count = &delivered;
    d.GetPaintManager().AddControl(counter, 1);
    const int drawsBefore = box->draws;
    std::thread asker([&] {
        for (int i = 0; i < 2000; ++i) {
            d.GetPaintManager().InvalidateRect(CRect(0, 0, 10, 10), FALSE);
            PostMessageW(d.GetSafeHwnd(), WM_USER + 9, 0, 0);
            if (i % 100 == 0) std::this_thread::yield();
        }
    });
    const bool all = PumpUntil([&] { return delivered.load() == 2000 && box->draws > drawsBefore; }, 10000);
    asker.join();
    EXPECT_TRUE(all);
    EXPECT_EQ(delivered.load(), 2000);
    EXPECT_GT(box->draws, drawsBefore);
}
