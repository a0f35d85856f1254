// The control tree without a window: the factory table, parent visibility,
// visibility changes, searches and the redraw-overlap rule.
#include <gtest/gtest.h>

#include "ControlFactory.h"
#include "Fixtures.h"

using namespace tesseltest;

namespace {

// Records redraw requests the way a window would receive them.
class Owner : public MObject {
public:
    LRESULT OnControlUpdate(CRect rect, BOOL update, MControl* control) override {
        requests.push_back({rect, update, control});
        return 0;
    }
    struct Request {
        CRect rect;
        BOOL update;
        MControl* control;
    };
    std::vector<Request> requests;
};

class Dlg : public MObject {
public:
    const wchar_t* GetClassNameW() const override { return L"MDialog"; }
};

// A panel-only class of the table, made as a plain box for these tests (the second
// constructor int becomes its colour, so the arguments can be checked).
bool RegisterPanelOnlyClass() {
    return ControlFactory::Register(L"KeyFuncControl", [](const ControlFactory::Args& a) {
        return new ColourBox(a.parent, a.id, a.rect, static_cast<COLORREF>(a.b));
    });
}

}  // namespace

TEST(ControlFactory, NamesTheTableDoesNotOfferMakeNothing) {
    // Registered, the panel-only class is still refused by the window factory.
    ASSERT_TRUE(RegisterPanelOnlyClass());
    EXPECT_FALSE(ControlFactory::Register(L"NoSuchControl", [](const ControlFactory::Args&) { return nullptr; }));
    Owner owner;
    struct Case {
        ControlFactory::Which which;
        const wchar_t* name;
        bool made;
    } cases[] = {
        {ControlFactory::Window, L"", false},
        {ControlFactory::Window, nullptr, false},
        {ControlFactory::Window, L"NoSuchControl", false},
        {ControlFactory::Window, L"keyfunccontrol", false},  // names are case-sensitive
        {ControlFactory::Window, L"KeyFuncControl", false},  // panel only
        {ControlFactory::Panel, L"KeyFuncControl", true},
    };
    for (const Case& c : cases) {
        std::unique_ptr<MControl> made(
            ControlFactory::Create(c.which, &owner, c.name, 5, CRect(0, 0, 10, 10), L"t", 1, 0));
        EXPECT_EQ(made != nullptr, c.made) << (c.name ? std::string(c.name, c.name + std::wcslen(c.name)) : "null");
    }
    // Single-int classes get the table's constant 1 as the second int.
    std::unique_ptr<MControl> made(
        ControlFactory::Create(ControlFactory::Panel, &owner, L"KeyFuncControl", 5, CRect(0, 0, 10, 10), L"", 1, 0));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(static_cast<ColourBox*>(made.get())->colour, 1u);
}

TEST(ControlFactory, PanelFactoryAppendsToTheRightList) {
    ASSERT_TRUE(RegisterPanelOnlyClass());
    Owner owner;
    MPanel panel(&owner, 9, CRect(0, 0, 100, 100));
    EXPECT_EQ(panel.CreateControl(L"BatteryCtrl", 3, CRect(), L"", 1, 1), nullptr);  // window only
    MControl* made = panel.CreateControl(L"KeyFuncControl", 3, CRect(), L"", 1, 1);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(panel.GetControl(3), made);
    EXPECT_EQ(panel.GetControls().back(), made);
    MControl* area = panel.CreateArea(L"KeyFuncControl", 4, CRect(), L"", 1, 1);
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(panel.GetAreas().back(), area);
    EXPECT_EQ(panel.GetControl(4), area);
    EXPECT_EQ(area->GetParantObject(), &panel);
}

TEST(ControlTree, ParentVisibilityStopsAtTheDialog) {
    Dlg dialog;
    auto* outer = new ColourBox(&dialog, 1, CRect(0, 0, 50, 50), 0);
    auto* inner = new ColourBox(outer, 2, CRect(0, 0, 10, 10), 0);
    outer->AddChild(inner, 1);
    EXPECT_TRUE(inner->IsParentVisible());
    outer->SetVisible(FALSE, FALSE);
    EXPECT_FALSE(inner->IsParentVisible());
    EXPECT_TRUE(outer->IsParentVisible());  // its parent is the dialog
    ColourBox orphan(nullptr, 3, CRect(), 0);
    EXPECT_FALSE(orphan.IsParentVisible());
    delete outer;
}

TEST(ControlTree, VisibilityChangesAskForRedrawOnlyWhenTheyChange) {
    Owner owner;
    ColourBox box(&owner, 1, CRect(5, 5, 25, 25), 0);
    box.SetVisible(TRUE);
    EXPECT_TRUE(owner.requests.empty());
    box.SetVisible(FALSE);  // hiding still asks: what lay under it must show
    ASSERT_EQ(owner.requests.size(), 1u);
    EXPECT_EQ(owner.requests[0].rect, CRect(5, 5, 25, 25));
    EXPECT_FALSE(box.PtInRect(CPoint(10, 10)));
    box.SetVisible(TRUE, FALSE);
    EXPECT_EQ(owner.requests.size(), 1u);
    box.SetRect(CRect(40, 40, 50, 50));
    ASSERT_EQ(owner.requests.size(), 2u);
    EXPECT_EQ(owner.requests[1].rect, CRect(5, 5, 50, 50));  // old and new together
}

TEST(ControlTree, GetControlSearchesControlsDepthFirstThenAreas) {
    Owner owner;
    ColourBox root(&owner, 1, CRect(), 0);
    auto* a = new ColourBox(&root, 10, CRect(), 0);
    auto* deep = new ColourBox(a, 20, CRect(), 0);
    a->AddChild(deep, 1);
    auto* b = new ColourBox(&root, 20, CRect(), 0);  // same id as deep, later sibling
    auto* area = new ColourBox(&root, 30, CRect(), 0);
    root.AddChild(a, 1);
    root.AddChild(b, 1);
    root.AddChild(area, 0);
    EXPECT_EQ(root.GetControl(20), deep);
    EXPECT_EQ(root.GetControl(30), area);
    EXPECT_EQ(root.GetControl(99), nullptr);
    EXPECT_TRUE(root.RemoveControl(a));
    EXPECT_EQ(root.GetControl(20), b);
    EXPECT_FALSE(root.RemoveControl(area));  // areas are not in the control list
}

TEST(ControlTree, PositionItemsResolveInsideTheSpan) {
    struct Case {
        FS_POSITION_ITEM item;
        int expected;
    } cases[] = {
        {{0, FALSE, 10}, 110}, {{0, TRUE, 10}, 190},  {{1, FALSE, 5}, 155}, {{1, TRUE, 5}, 145},
        {{2, FALSE, 25}, 125}, {{2, FALSE, 150}, 200}, {{7, FALSE, 5}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MControl::PositionItem2Value(c.item, 100, 200), c.expected) << "kind " << c.item.kind;
}

TEST(ControlTree, TimerTicksReachOnlyRunningVisibleChildren) {
    Owner owner;
    ColourBox root(&owner, 1, CRect(), 0);
    auto* running = new ColourBox(&root, 2, CRect(), 0);
    auto* stopped = new ColourBox(&root, 3, CRect(), 0);
    auto* hidden = new ColourBox(&root, 4, CRect(), 0, 0);
    running->SetRunTimer(TRUE);
    hidden->SetRunTimer(TRUE);
    root.AddChild(running, 1);
    root.AddChild(stopped, 1);
    root.AddChild(hidden, 1);
    EXPECT_TRUE(root.OnTimer());
    EXPECT_EQ(root.ticks, 1);
    EXPECT_EQ(running->ticks, 1);
    EXPECT_EQ(stopped->ticks, 0);
    EXPECT_EQ(hidden->ticks, 0);
}

TEST(ControlTree, AcceleratorAnswersOnlyForItsExactModifiers) {
    Owner owner;
    ColourBox box(&owner, 1, CRect(0, 0, 10, 10), 0);
    box.SetAccelerator('S', 17);
    EXPECT_TRUE(box.OnControlKeyDown('S', 1, 17));
    EXPECT_FALSE(box.OnControlKeyDown('S', 1, 0));
    EXPECT_FALSE(box.OnControlKeyDown('A', 1, 17));
}
