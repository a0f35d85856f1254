// Window messages reaching controls: hover and presses, overlaps, hidden and
// disabled controls, capture children, the wheel, keyboard focus and Tab order,
// and notifications arriving at the dialog.
#include <gtest/gtest.h>

#include "Fixtures.h"

using namespace tesseltest;
using namespace platform;

namespace {

class Routing : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(dialog.Open(CRect(0, 0, 200, 150)), nullptr); }
    TestDialog dialog;
};

}  // namespace

TEST_F(Routing, LaterOverlappingControlTakesThePressAndNotifies) {
    auto* under = dialog.Add(5, CRect(10, 10, 100, 100), RGB(255, 0, 0));
    auto* over = dialog.Add(6, CRect(50, 50, 150, 120), RGB(0, 255, 0));
    Mouse(dialog, WM_MOUSEMOVE, 60, 60);
    EXPECT_EQ(dialog.GetPaintManager().GetHoverControl(), over);
    Mouse(dialog, WM_LBUTTONDOWN, 60, 60, MK_LBUTTON);
    Mouse(dialog, WM_LBUTTONUP, 60, 60);
    EXPECT_TRUE(under->presses.empty());
    ASSERT_EQ(over->presses.size(), 1u);
    EXPECT_EQ(over->presses[0], CPoint(60, 60));
    EXPECT_EQ(over->releases, 1);
    EXPECT_EQ(dialog.notes, (std::vector<Note>{{6, kNotifyPress, 11, 22}, {6, kNotifyClick, 0, 0}}));
    EXPECT_EQ(dialog.GetPaintManager().GetFocusControl(), over);
    EXPECT_FALSE(dialog.GetPaintManager().IsCaptured());
}

TEST_F(Routing, HiddenAndUnresponsiveControlsGetNoMouse) {
    auto* hidden = dialog.Add(5, CRect(10, 10, 100, 100), RGB(255, 0, 0));
    auto* deaf = dialog.Add(6, CRect(110, 10, 190, 100), RGB(0, 0, 255));
    hidden->SetVisible(FALSE);
    deaf->SetRresponse(FALSE);
    for (CPoint p : {CPoint(20, 20), CPoint(120, 20)}) {
        Mouse(dialog, WM_MOUSEMOVE, p.x, p.y);
        EXPECT_EQ(dialog.GetPaintManager().GetHoverControl(), nullptr);
        Mouse(dialog, WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
        Mouse(dialog, WM_LBUTTONUP, p.x, p.y);
    }
    EXPECT_TRUE(hidden->presses.empty());
    EXPECT_TRUE(deaf->presses.empty());
    EXPECT_TRUE(dialog.notes.empty());
}

TEST_F(Routing, PressOnEmptyAreaMovesTheWindowOnlyWithDragToMove) {
    dialog.Add(5, CRect(10, 10, 50, 50), RGB(255, 0, 0));
    Mouse(dialog, WM_MOUSEMOVE, 100, 100);
    Mouse(dialog, WM_LBUTTONDOWN, 100, 100, MK_LBUTTON);
    EXPECT_EQ(dialog.captionPresses, (std::vector<WPARAM>{HTCAPTION}));
    Mouse(dialog, WM_LBUTTONUP, 100, 100);
    dialog.EnableWndDrag(FALSE);
    Mouse(dialog, WM_LBUTTONDOWN, 100, 100, MK_LBUTTON);
    EXPECT_EQ(dialog.captionPresses.size(), 1u);
    // A press on a control never moves the window.
    dialog.EnableWndDrag(TRUE);
    Mouse(dialog, WM_MOUSEMOVE, 20, 20);
    Mouse(dialog, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(dialog.captionPresses.size(), 1u);
}

TEST_F(Routing, NestedPressGoesToTheLastEnabledChildUnderThePoint) {
    // A panel passes its children's notifications on with the child's id.
    auto* parent = new MPanel(&dialog, 5, CRect(0, 0, 200, 150));
    dialog.GetPaintManager().AddControl(parent, 1);
    auto* first = new ColourBox(parent, 7, CRect(10, 10, 100, 100), 0);
    auto* second = new ColourBox(parent, 8, CRect(50, 50, 150, 140), 0);
    auto* disabled = new ColourBox(parent, 9, CRect(40, 40, 160, 145), 0, 1, 0);
    parent->AddChild(first, 1);
    parent->AddChild(second, 1);
    parent->AddChild(disabled, 1);
    Mouse(dialog, WM_MOUSEMOVE, 60, 60);
    Mouse(dialog, WM_LBUTTONDOWN, 60, 60, MK_LBUTTON);
    EXPECT_EQ(parent->GetCaptureChild(), second);
    EXPECT_EQ(second->presses.size(), 1u);
    EXPECT_TRUE(first->presses.empty());
    EXPECT_TRUE(disabled->presses.empty());
    // While the button is down, moves go to the capture child even outside it.
    const size_t before = second->moves.size();
    Mouse(dialog, WM_MOUSEMOVE, 5, 5, MK_LBUTTON);
    EXPECT_EQ(second->moves.size(), before + 1);
    Mouse(dialog, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(second->releases, 1);
    EXPECT_EQ(dialog.notes, (std::vector<Note>{{8, kNotifyPress, 11, 22}, {8, kNotifyClick, 0, 0}}));
}

TEST_F(Routing, DoubleClickWithoutTheFlagActsAsASecondPress) {
    auto* plain = dialog.Add(5, CRect(10, 10, 90, 90), 0);
    auto* wants = dialog.Add(6, CRect(110, 10, 190, 90), 0);
    wants->SetDblClk(TRUE);
    wants->SetNotifyDblClk(TRUE);
    Mouse(dialog, WM_MOUSEMOVE, 20, 20);
    Mouse(dialog, WM_LBUTTONDBLCLK, 20, 20, MK_LBUTTON);
    EXPECT_EQ(plain->presses.size(), 1u);
    EXPECT_EQ(plain->doubleClicks, 0);
    Mouse(dialog, WM_LBUTTONUP, 20, 20);
    Mouse(dialog, WM_MOUSEMOVE, 120, 20);
    Mouse(dialog, WM_LBUTTONDBLCLK, 120, 20, MK_LBUTTON);
    EXPECT_TRUE(wants->presses.empty());
    EXPECT_EQ(wants->doubleClicks, 1);
    ASSERT_FALSE(dialog.notes.empty());
    EXPECT_EQ(dialog.notes.back().id, 6u);
    EXPECT_EQ(dialog.notes.back().code, kNotifyDoubleClick);
    EXPECT_EQ(dialog.notes.back().w, MK_LBUTTON);
}

TEST_F(Routing, WheelTriesTheHoverControlThenTheOthersOncePerStep) {
    auto* hover = dialog.Add(5, CRect(10, 10, 90, 90), 0);
    auto* other = dialog.Add(6, CRect(10, 10, 90, 90), 0);
    other->takesWheel = true;
    Mouse(dialog, WM_MOUSEMOVE, 20, 20);
    EXPECT_EQ(dialog.GetPaintManager().GetHoverControl(), other);
    other->takesWheel = false;
    hover->takesWheel = true;
    POINT screen{20, 20};
    ClientToScreen(dialog.GetSafeHwnd(), &screen);
    // Three steps down (negative delta), screen coordinates as the system gives them.
    const WPARAM w = static_cast<WPARAM>(static_cast<WORD>(static_cast<short>(-360))) << 16;
    SendMessageW(dialog.GetSafeHwnd(), WM_MOUSEWHEEL, w, MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(hover->wheel, (std::vector<UINT>{1, 1, 1}));
    EXPECT_TRUE(other->wheel.empty());
}

TEST_F(Routing, LeaveDropsTheHoverControl) {
    auto* box = dialog.Add(5, CRect(10, 10, 90, 90), 0);
    Mouse(dialog, WM_MOUSEMOVE, 20, 20);
    ASSERT_EQ(dialog.GetPaintManager().GetHoverControl(), box);
    SendMessageW(dialog.GetSafeHwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(dialog.GetPaintManager().GetHoverControl(), nullptr);
    EXPECT_EQ(box->moves.back(), CPoint(-1, -1));
    EXPECT_FALSE(dialog.GetPaintManager().IsMouseTracking());
}

TEST_F(Routing, TabMovesFocusOnlyWithoutCtrlOrAlt) {
    auto* a = dialog.Add(1, CRect(0, 0, 10, 10), 0);
    auto* skip = dialog.Add(2, CRect(0, 0, 10, 10), 0);
    auto* b = dialog.Add(3, CRect(0, 0, 10, 10), 0);
    auto* hidden = dialog.Add(4, CRect(0, 0, 10, 10), 0);
    a->SetTabStop(TRUE);
    b->SetTabStop(TRUE);
    hidden->SetTabStop(TRUE);
    hidden->SetVisible(FALSE);
    (void)skip;
    PaintManager& pm = dialog.GetPaintManager();
    struct Case {
        std::vector<int> held;
        MControl* from;
        BOOL moved;
        MControl* to;
    } cases[] = {
        {{}, nullptr, TRUE, a},
        {{}, a, TRUE, b},
        {{}, b, TRUE, a},  // wraps
        {{VK_SHIFT}, a, TRUE, b},
        {{VK_SHIFT}, b, TRUE, a},
        {{VK_CONTROL}, a, FALSE, a},
        {{VK_MENU}, a, FALSE, a},
    };
    for (const Case& c : cases) {
        pm.SetFocusControl(c.from);
        for (int vk : c.held) SetKeyStateForTesting(vk, true);
        MSG m{dialog.GetSafeHwnd(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_EQ(pm.PreTranslateMessage(&m), c.moved);
        EXPECT_EQ(pm.GetFocusControl(), c.to);
        for (int vk : c.held) SetKeyStateForTesting(vk, false);
    }
    EXPECT_EQ(a->focusChanges.back(), TRUE);
    EXPECT_EQ(b->focusChanges.back(), FALSE);
}

TEST_F(Routing, TabWithoutTabStopsKeepsTheFocus) {
    auto* a = dialog.Add(1, CRect(0, 0, 10, 10), 0);
    dialog.GetPaintManager().SetFocusControl(a);
    MSG m{dialog.GetSafeHwnd(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_FALSE(dialog.GetPaintManager().PreTranslateMessage(&m));
    EXPECT_EQ(dialog.GetPaintManager().GetFocusControl(), a);
}

TEST_F(Routing, KeysGoToTheFocusedChildWithModifiersAndAreNotified) {
    auto* parent = new MPanel(&dialog, 5, CRect(0, 0, 100, 100));
    dialog.GetPaintManager().AddControl(parent, 1);
    auto* a = new ColourBox(parent, 7, CRect(0, 0, 10, 10), 0);
    auto* b = new ColourBox(parent, 8, CRect(0, 0, 10, 10), 0);
    parent->AddChild(a, 1);
    parent->AddChild(b, 1);
    b->SetControlFocus(TRUE);
    b->SetNotifyKeys(TRUE);
    SetKeyStateForTesting(VK_SHIFT, true);
    SendMessageW(dialog.GetSafeHwnd(), WM_KEYDOWN, 'K', 1);
    SetKeyStateForTesting(VK_SHIFT, false);
    EXPECT_TRUE(a->keys.empty());
    EXPECT_EQ(b->keys, (std::vector<UINT>{'K'}));
    EXPECT_EQ(dialog.notes, (std::vector<Note>{{8, kNotifyKey, 'K', 16}}));
}
