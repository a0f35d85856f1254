#include "keys/MacroRecorder.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

KeyHookEvent Down(int vk, std::int64_t t, int scan = 0, int flags = 0) {
    return {kMsgKeyDown, vk, scan, flags, t};
}
KeyHookEvent Up(int vk, std::int64_t t, int scan = 0, int flags = 0) {
    return {kMsgKeyUp, vk, scan, flags, t};
}

std::vector<int> Delays(const std::vector<RecordedStep>& s) {
    std::vector<int> d;
    for (const auto& x : s) d.push_back(x.delay);
    return d;
}

TEST(MacroRecorder, HoldingAKeyGivesOnePressAndOneRelease) {
    MacroRecorder r;
    ASSERT_TRUE(r.Start({}, 0, 80, kDelayRealTime, 0));
    EXPECT_TRUE(r.Feed(Down('A', 1000, 30)).recorded);
    for (int t = 1500; t < 2000; t += 33) {
        const auto res = r.Feed(Down('A', t, 30));
        EXPECT_TRUE(res.swallowed);
        EXPECT_FALSE(res.recorded);
    }
    EXPECT_TRUE(r.Feed({kMsgSysKeyUp, 'A', 30, 0, 2000}).recorded);
    const auto steps = r.Stop();
    const std::vector<RecordedStep> expected = {{L"A", 2, 'A', 1000}, {L"A", 3, 'A', 0}};
    EXPECT_EQ(steps, expected);
    EXPECT_FALSE(r.Recording());
}

TEST(MacroRecorder, DelayModes) {
    // Ctrl down, C down, C up, Ctrl up at these times; the gap to 40000 is capped.
    const std::int64_t times[] = {100, 180, 40180, 40100};
    struct Row { int mode; int fixed; std::vector<int> delays; };
    const Row rows[] = {
        {kDelayRealTime, 0, {80, 31000, 31000, 0}},  // last gap runs backwards
        {kDelayNone, 0, {0, 0, 0, 0}},
        {kDelayFixed, 50, {50, 50, 50, 0}},
        {kDelayFixed, 0, {0, 0, 0, 0}},
    };
    for (const Row& row : rows) {
        MacroRecorder r;
        ASSERT_TRUE(r.Start({}, 0, 80, row.mode, row.fixed));
        r.Feed(Down(162, times[0]));
        r.Feed(Down('C', times[1]));
        r.Feed(Up('C', times[2]));
        r.Feed(Up(162, times[3]));
        EXPECT_EQ(Delays(r.Stop()), row.delays) << "mode " << row.mode;
    }
}

TEST(MacroRecorder, RecordingAppendsToTheExistingSteps) {
    const std::vector<RecordedStep> old = {{L"B", 2, 'B', 30}, {L"B", 3, 'B', 0}};
    MacroRecorder real;
    ASSERT_TRUE(real.Start(old, 2, 80, kDelayRealTime, 0));
    real.Feed(Down('C', 5000));
    real.Feed(Up('C', 5040));
    const auto a = real.Stop();
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(Delays(a), (std::vector<int>{30, 0, 40, 0}));  // no delay written onto the old last step
    EXPECT_EQ(a[2].caption, L"C");

    MacroRecorder fixed;
    ASSERT_TRUE(fixed.Start(old, 2, 80, kDelayFixed, 70));
    fixed.Feed(Down('C', 5000));
    EXPECT_EQ(Delays(fixed.Stop()), (std::vector<int>{30, 70, 0}));
}

TEST(MacroRecorder, KeypadExtendedAndGenericModifierCodes) {
    struct Row { const char* what; KeyHookEvent e; int stored; };
    const Row rows[] = {
        {"keypad 7 with Num Lock off", Down(36, 0, 71), 103},
        {"keypad 8 with Num Lock off", Down(38, 0, 72), 104},
        {"keypad 9", Down(33, 0, 73), 105},
        {"keypad 4", Down(37, 0, 75), 100},
        {"keypad 5 (clear)", Down(12, 0, 76), 101},
        {"keypad 6", Down(39, 0, 77), 102},
        {"keypad 1", Down(35, 0, 79), 97},
        {"keypad 2", Down(40, 0, 80), 98},
        {"keypad 3", Down(34, 0, 81), 99},
        {"keypad 0", Down(45, 0, 82), 96},
        {"keypad point", Down(46, 0, 83), 110},
        {"keypad 7 with Num Lock on", Down(103, 0, 71), 103},
        {"the Home key of the navigation block", Down(36, 0, 71, kHookFlagExtended), 36},
        {"the Delete key", Down(46, 0, 83, kHookFlagExtended), 46},
        {"keypad Enter", Down(13, 0, 28, kHookFlagExtended), 108},
        {"main Enter", Down(13, 0, 28), 13},
        {"keypad minus keeps its code", Down(109, 0, 74), 109},
        {"generic Shift", Down(16, 0, 42), 160},
        {"generic Ctrl", Down(17, 0, 29), 162},
        {"generic Alt", Down(18, 0, 56), 164},
        {"right Ctrl", Down(163, 0, 29, kHookFlagExtended), 163},
    };
    for (const Row& row : rows) {
        MacroRecorder r;
        ASSERT_TRUE(r.Start({}, 0, 80, kDelayRealTime, 0));
        ASSERT_TRUE(r.Feed(row.e).recorded) << row.what;
        EXPECT_EQ(r.Steps().back().value, row.stored) << row.what;
    }
    MacroRecorder r;
    ASSERT_TRUE(r.Start({}, 0, 80, kDelayRealTime, 0));
    r.Feed(Down(36, 0, 71));
    EXPECT_EQ(r.Steps().back().caption, L"7");
    // the same physical key seen with both codes is still one held key
    EXPECT_FALSE(r.Feed(Down(103, 10, 71)).recorded);
}

TEST(MacroRecorder, ActionLimit) {
    MacroRecorder full;
    EXPECT_FALSE(full.Start({}, 60, MaxMacroActions(301), kDelayRealTime, 0));
    EXPECT_FALSE(full.Recording());
    EXPECT_FALSE(full.Feed(Down('A', 0)).swallowed);

    MacroRecorder r;
    ASSERT_TRUE(r.Start({}, 59, MaxMacroActions(399), kDelayNone, 0));
    const auto last = r.Feed(Down('A', 0));
    EXPECT_TRUE(last.recorded);
    EXPECT_TRUE(last.reachedLimit);
    EXPECT_FALSE(r.Recording());
    EXPECT_FALSE(r.Feed(Up('A', 5)).recorded);
    EXPECT_EQ(r.Stop().size(), 1u);

    EXPECT_EQ(MaxMacroActions(300), 60);
    EXPECT_EQ(MaxMacroActions(299), 80);
    EXPECT_EQ(MaxMacroActions(400), 80);
    EXPECT_EQ(MaxMacroActions(101), 80);
}

TEST(MacroRecorder, OtherMessageKindsAreSwallowedButNotRecorded) {
    MacroRecorder r;
    ASSERT_TRUE(r.Start({}, 0, 80, kDelayRealTime, 0));
    const auto res = r.Feed({0x102, 'A', 30, 0, 0});  // a character message
    EXPECT_TRUE(res.swallowed);
    EXPECT_FALSE(res.recorded);
    EXPECT_TRUE(r.Steps().empty());
    EXPECT_EQ(r.Actions(), 0);
}

}  // namespace
}  // namespace keyloft
