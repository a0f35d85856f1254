#include "keys/KeyEvents.h"
#include "keys/LongFunction.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

std::vector<int> PressOrder(const std::vector<KeyStroke>& s, bool release) {
    std::vector<int> out;
    for (const auto& k : s)
        if (k.release == release) out.push_back(k.keyCode);
    return out;
}

TEST(ShortcutStrokes, EveryValueGivesItsKeysPressedThenReleasedInReverse) {
    struct Row { int value; std::vector<int> keys; };
    const Row rows[] = {
        {1, {224, 4}},  {2, {224, 6}},  {3, {224, 27}},      {4, {224, 25}},      {5, {224, 29}},
        {6, {224, 22}}, {7, {227, 8}},  {8, {227, 15}},      {9, {227, 7}},       {10, {226, 43}},
        {11, {227, 16}}, {12, {224, 26}}, {13, {226, 44, 27}}, {14, {226, 44, 17}}, {15, {226, 61}},
    };
    for (const Row& r : rows) {
        const auto s = ShortcutStrokes(r.value);
        ASSERT_EQ(s.size(), 2 * r.keys.size()) << r.value;
        // all presses come first
        for (std::size_t i = 0; i < r.keys.size(); ++i) EXPECT_FALSE(s[i].release) << r.value;
        EXPECT_EQ(PressOrder(s, false), r.keys) << r.value;
        std::vector<int> reversed(r.keys.rbegin(), r.keys.rend());
        EXPECT_EQ(PressOrder(s, true), reversed) << r.value;
        const auto events = EncodeStrokes(s);
        for (const auto& e : events) EXPECT_TRUE(e.timing == 0x01 || e.timing == 0x81);
        EXPECT_EQ(events.front().timing, 0x01);
        EXPECT_EQ(events.back().timing, 0x81);
    }
    EXPECT_TRUE(ShortcutStrokes(0).empty());
    EXPECT_TRUE(ShortcutStrokes(16).empty());
}

TEST(MacroStrokes, OnlyPressAndReleaseStepsBecomeEvents) {
    const std::vector<StepView> steps = {
        {2, 'A', 50}, {1, 'B', 70}, {3, 'A', 400}, {4, 'C', 10}, {2, 17, 0},
    };
    const auto events = EncodeStrokes(MacroStrokes(steps));
    const std::vector<KeyEvent> expected = {{4, 0x05}, {4, 0x80 | 0x28}, {0, 0x01}};
    EXPECT_EQ(events, expected);
}

TEST(LongBlock, AHundredStepMacroIsStoredWhole) {
    std::vector<KeyEvent> events;
    for (int i = 0; i < 100; ++i) events.push_back({static_cast<std::uint8_t>(4 + i % 26), static_cast<std::uint8_t>(i % 2 ? 0x81 : 0x01)});
    const LongBlock b = BuildLongBlock(1, 30, 5, events);
    EXPECT_EQ(b[0], 2);
    EXPECT_EQ(b[1], 30);
    EXPECT_EQ(b[2], 5);
    EXPECT_EQ(b[3], 100);
    EXPECT_EQ(b[4 + 2 * 99], events[99].keyCode);
    EXPECT_EQ(b[5 + 2 * 99], 0x81);
    EXPECT_EQ(b[4 + 2 * 100], 0);
}

TEST(LongBlock, EventsBeyondTheBufferAreLeftOutAndNotCounted) {
    const std::vector<KeyEvent> events(300, KeyEvent{4, 0x01});
    const LongBlock b = BuildLongBlock(0, 4, 1, events);
    EXPECT_EQ(b[3], kLongBlockMaxEvents);
    EXPECT_EQ(b[511], 0x01);  // the last pair ends exactly at the end

    const Family2Slot c = BuildFamily2Slot(3, 9, 2, events);
    EXPECT_EQ(std::vector<int>(c.begin(), c.begin() + 4), (std::vector<int>{1, 3, 9, 2}));
    EXPECT_EQ(c[167], 0x01);  // 82 pairs fill it
}

TEST(Family1SlotStream, ThreeBytesPerEventWithTheDirectionInTheFlagBits) {
    const std::vector<KeyStroke> strokes = {
        {4, false, 300}, {4, true, 300}, {5, false, -5}, {5, true, 40000},
    };
    const auto s = BuildFamily1SlotStream(3, strokes);
    const std::vector<std::uint8_t> expected = {
        3, 4,
        4, 0x2C, 0x81,         // 300 = 0x012C, press: bit 7 of the high byte
        4, 0x2C | 0x80, 0x01,  // release: bit 7 of the low byte
        5, 0x00, 0x80,         // negative delays are 0
        5, 0x18 | 0x80, 0x79,  // clamped to 31000 = 0x7918
    };
    EXPECT_EQ(s, expected);
    const std::vector<KeyStroke> many(400, KeyStroke{4, false, 10});
    const auto full = BuildFamily1SlotStream(1, many);
    EXPECT_EQ(full[1], 255);
    EXPECT_EQ(full.size(), 2u + 3u * 255u);
}

}  // namespace
}  // namespace keyloft
