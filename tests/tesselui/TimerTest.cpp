// Control timers (window timers owned by controls) and the shared animation timer.
#include <gtest/gtest.h>

#include "Fixtures.h"

using namespace tesseltest;
using namespace platform;

TEST(ControlTimers, StoppedTimerRestartsWithItsIdAndARunningOneRefuses) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 100, 100)), nullptr);
    PaintManager& pm = d.GetPaintManager();
    auto* box = d.Add(1, CRect(0, 0, 10, 10), 0);
    auto* other = d.Add(2, CRect(0, 0, 10, 10), 0);
    ASSERT_TRUE(pm.SetTimer(box, 5, 5));
    const UINT id = pm.GetControlTimerId(box, 5);
    EXPECT_FALSE(pm.SetTimer(box, 5, 5));  // already running
    ASSERT_TRUE(PumpUntil([&] { return box->ticks >= 2; }));
    EXPECT_EQ(other->ticks, 0);
    EXPECT_TRUE(pm.KillTimer(box, 5));
    const int ticks = box->ticks;
    PumpFor(40);
    EXPECT_EQ(box->ticks, ticks);
    EXPECT_TRUE(pm.SetTimer(box, 5, 5));
    EXPECT_EQ(pm.GetControlTimerId(box, 5), id);
    ASSERT_TRUE(PumpUntil([&] { return box->ticks > ticks; }));
    EXPECT_FALSE(pm.KillTimer(box, 99));
    pm.KillTimer(box);
    EXPECT_EQ(pm.GetControlTimerId(box, 5), 0u);
}

TEST(ControlTimers, IdsStayClearOfThePaintManagersOwnTimers) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 100, 100)), nullptr);
    PaintManager& pm = d.GetPaintManager();
    auto* box = d.Add(1, CRect(0, 0, 10, 10), 0);
    std::set<UINT> ids;
    for (UINT key = 0; key < 300; ++key) {
        ASSERT_TRUE(pm.SetTimer(box, key, 100000));
        ids.insert(pm.GetControlTimerId(box, key));
    }
    EXPECT_EQ(ids.size(), 300u);  // no two running timers share an id
    for (UINT fixed : {66u, 88u, 99u, 6553u}) EXPECT_EQ(ids.count(fixed), 0u) << fixed;
    pm.ClearTimers();
}

TEST(AnimationTimer, TicksOnlyRunningVisibleControlsInShownParents) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 100, 100)), nullptr);
    PaintManager& pm = d.GetPaintManager();
    auto* ticking = d.Add(1, CRect(), 0);
    auto* notRunning = d.Add(2, CRect(), 0);
    auto* hidden = d.Add(3, CRect(), 0);
    auto* panel = d.Add(4, CRect(), 0);
    auto* inHiddenParent = new ColourBox(panel, 5, CRect(), 0);
    panel->AddChild(inHiddenParent, 1);
    inHiddenParent->SetManager(&pm);
    auto* twice = d.Add(6, CRect(), 0);
    for (ColourBox* c : {ticking, hidden, inHiddenParent, twice}) c->SetRunTimer(TRUE);
    hidden->SetVisible(FALSE, FALSE);
    panel->SetVisible(FALSE, FALSE);
    for (ColourBox* c : {ticking, notRunning, hidden, inHiddenParent, twice}) EXPECT_TRUE(c->AddMTimer());
    EXPECT_TRUE(pm.AddMTimer(twice));  // no check for doubles: ticked twice
    ASSERT_NE(pm.SetMTimer(5), 0u);
    ASSERT_TRUE(PumpUntil([&] { return ticking->ticks >= 3; }));
    pm.KillMTimer();
    PumpFor(20);
    EXPECT_EQ(notRunning->ticks, 0);
    EXPECT_EQ(hidden->ticks, 0);
    EXPECT_EQ(inHiddenParent->ticks, 0);
    EXPECT_EQ(twice->ticks, 2 * ticking->ticks);
    const int after = ticking->ticks;
    PumpFor(30);
    EXPECT_EQ(ticking->ticks, after);  // killed
    EXPECT_TRUE(pm.DeleteFSTimer(twice));
    EXPECT_FALSE(pm.DeleteFSTimer(twice));
}

TEST(AnimationTimer, ASecondSetMTimerReplacesTheFirst) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 100, 100)), nullptr);
    PaintManager& pm = d.GetPaintManager();
    const UINT first = pm.SetMTimer(10);
    const UINT second = pm.SetMTimer(10);
    EXPECT_NE(first, second);
    EXPECT_FALSE(pm.GetTimerIsRun(first));
    EXPECT_TRUE(pm.GetTimerIsRun(second));
    EXPECT_EQ(MTimerBase::GetFSTimer(second), &pm);
    EXPECT_EQ(MTimerBase::GetFSTimer(first), nullptr);
}

// The shared timer thread sleeps while no control is registered: the timer is
// parked (same id, still "running") and wakes when the first control registers.
TEST(AnimationTimer, ParkedWhileNothingIsRegistered) {
    TestDialog d;
    ASSERT_NE(d.Open(CRect(0, 0, 100, 100)), nullptr);
    PaintManager& pm = d.GetPaintManager();
    auto* box = d.Add(1, CRect(), 0);
    box->SetRunTimer(TRUE);
    const UINT id = pm.SetMTimer(5);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(pm.IsMTimerParked());
    EXPECT_TRUE(pm.GetTimerIsRun(id));

    ASSERT_TRUE(box->AddMTimer());
    EXPECT_FALSE(pm.IsMTimerParked());
    EXPECT_EQ(pm.GetMTimerId(), id);
    ASSERT_TRUE(PumpUntil([&] { return box->ticks >= 2; }));

    EXPECT_TRUE(pm.DeleteFSTimer(box));
    EXPECT_TRUE(pm.IsMTimerParked());
    PumpFor(20);  // a tick posted before parking may still arrive
    const int parkedAt = box->ticks;
    PumpFor(30);
    EXPECT_EQ(box->ticks, parkedAt);

    // Registered before the timer starts: it starts unparked.
    ASSERT_TRUE(pm.AddMTimer(box));
    const UINT again = pm.SetMTimer(5);
    EXPECT_FALSE(pm.IsMTimerParked());
    ASSERT_TRUE(PumpUntil([&] { return box->ticks > parkedAt; }));
    EXPECT_EQ(pm.GetMTimerId(), again);
    pm.KillMTimer();
    EXPECT_FALSE(pm.IsMTimerParked());
}
