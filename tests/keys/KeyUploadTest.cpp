#include "keys/KeyUpload.h"

#include "KeysTestSupport.h"
#include "base/Clock.h"
#include "devicesim/Simulator.h"
#include "keys/KeyEvents.h"
#include "keys/KeyFunction.h"
#include "keys/LongFunction.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using devicesim::KeyboardSetup;
using devicesim::ScopedVirtualKeyboard;

struct KeyUpload : test::StoreFixture {
    VirtualClock clock;
    ScopedClock scope{clock};

    // What the keyboard must hold after a full upload of the profile: one value
    // per short key, one block per long key, built from the store's rows.
    void ExpectKeyboardEqualsStore(devicesim::VirtualKeyboard& kb, std::size_t blockBytes) {
        const devicesim::KeyboardState st = kb.State();
        std::map<std::pair<int, int>, int> shortKeys;
        std::map<std::pair<int, int>, std::vector<std::uint8_t>> blocks;
        for (int layer : {0, 1}) {
            std::vector<KeyAssignment> rows;
            store.LoadKeyAssignments(profile, layer, rows);
            for (const auto& r : rows) {
                if (IsLongKind(r.macro_type)) {
                    std::vector<KeyStroke> strokes;
                    int repeat = 1;
                    if (r.macro_type == kKindShortcut) {
                        strokes = ShortcutStrokes(r.macro_value);
                    } else {
                        MacroRecord m;
                        repeat = store.GetMacro(r.macro_value, m) ? m.play_times : 0;
                        std::vector<MacroStep> steps;
                        store.LoadMacroSteps(r.macro_value, steps);
                        std::vector<StepView> v;
                        for (const auto& s : steps) v.push_back({s.type, s.value, s.delay_time});
                        strokes = MacroStrokes(v);
                    }
                    const LongBlock b = BuildLongBlock(layer, r.key_code, repeat, EncodeStrokes(strokes));
                    blocks[{layer + 1, r.key_code}] = std::vector<std::uint8_t>(b.begin(), b.begin() + blockBytes);
                } else if (r.macro_type != kKindDefault) {
                    shortKeys[{layer + 1, r.key_code}] = r.macro_value & 0xFF;
                }
            }
        }
        EXPECT_EQ(st.keyAssignments, shortKeys);
        ASSERT_EQ(st.keyFunctionBlocks.size(), blocks.size());
        for (const auto& [where, bytes] : blocks) {
            auto it = st.keyFunctionBlocks.find(where);
            ASSERT_NE(it, st.keyFunctionBlocks.end()) << where.first << "/" << where.second;
            EXPECT_EQ(it->second.bytes, bytes) << where.first << "/" << where.second;
        }
    }

    void FillProfile(int& shortKeys, int& longKeys) {
        const int small = Macro(L"Macro 1", 3, 2);
        const int big = Macro(L"Macro 2", 1, 50);  // 100 events
        Key(0, 4, kKindKey, 5, L"B");
        Key(0, 41, kKindDisabled, 1);
        Key(0, 30, kKindHighKey, 0x1F4 + 0x05);  // sent as its low byte
        Key(0, 58, kKindMacro, small, L"Macro 1");
        Key(0, 59, kKindShortcut, 13);
        Key(1, 4, kKindMedia, 3);
        Key(1, 5, kKindMacro, big, L"Macro 2");
        Key(1, 6, kKindShortcut, 1);
        shortKeys = 4;
        longKeys = 4;
    }
};

TEST_F(KeyUpload, FullUploadLeavesTheStoredProfileInTheKeyboardInBothFramings) {
    struct Row { const char* link; KeyboardSetup setup; int chunks; std::size_t blockBytes; };
    const Row rows[] = {
        {"cable", KeyboardSetup::Cable(), 3, 162},
        {"receiver", KeyboardSetup::Receiver(), 8, 128},
    };
    int n = 0, m = 0;
    FillProfile(n, m);
    for (const Row& row : rows) {
        ScopedVirtualKeyboard kb(row.setup);
        KeyState state;
        state.profile = profile;
        state.layer = 1;
        state.deviceType = 301;
        state.selector = kb.selector();
        ASSERT_EQ(state.selector, row.blockBytes == 162 ? 0 : 2);
        clock.ClearPauses();
        UploadAllKeyFunctions(kb.manager(), store, state);
        EXPECT_EQ(state.layer, 1) << row.link;  // restored after both layers
        EXPECT_EQ(kb->State().keyResets, 1) << row.link;
        ExpectKeyboardEqualsStore(kb.keyboard(), row.blockBytes);
        // 0.1 + n x 0.216 + m x (0.016 + chunks x 0.02 + 0.17) seconds
        EXPECT_EQ(clock.TotalPausedMs(), 100 + n * 216 + m * (16 + row.chunks * 20 + 170)) << row.link;
        EXPECT_EQ(clock.PauseLengths().front(), 100);
    }
}

TEST_F(KeyUpload, AHundredStepMacroSendsOnlyWhatTheLinkCarries) {
    const int big = Macro(L"Long", 2, 50);
    Key(0, 20, kKindMacro, big);
    for (auto [setup, events] : {std::pair{KeyboardSetup::Cable(), 79}, std::pair{KeyboardSetup::Receiver(), 62}}) {
        ScopedVirtualKeyboard kb(setup);
        KeyState state{profile, 0, 20, true, 301, kb.selector()};
        UploadKeyFunctions(kb.manager(), store, state);
        EXPECT_FALSE(state.singleKey);
        const auto blocks = kb->State().keyFunctionBlocks;
        ASSERT_EQ(blocks.count({1, 20}), 1u);
        const auto& b = blocks.at({1, 20});
        EXPECT_EQ(b.eventCount, 100);  // the buffer holds them all
        EXPECT_EQ(b.repeat, 2);
        ASSERT_EQ(b.bytes.size(), 4u + 2u * events);
        // the last event that fits: step 2*events-1 of alternating press/release
        const int last = events - 1;
        EXPECT_EQ(b.bytes[4 + 2 * last], 4 + (last / 2) % 26);
        EXPECT_EQ(b.bytes[5 + 2 * last], last % 2 ? 0x82 : 0x02);
    }
}

TEST_F(KeyUpload, SingleKeyUploadsAndTheirPauses) {
    ScopedVirtualKeyboard kb(KeyboardSetup::Cable());
    KeyState state{profile, 0, 41, true, 301, kb.selector()};
    struct Row {
        const char* what;
        int kind, value;
        int sent;  // -1: nothing sent for the key
        std::vector<std::int64_t> pauses;
    };
    const Row rows[] = {
        {"disabled", kKindDisabled, 1, 1, {100, 200}},
        {"default removes the row and sends 0", kKindDefault, 0, 0, {100, 200}},
        {"a key", kKindKey, 0x29, 0x29, {100, 200}},
        {"a key of 500 or more", kKindHighKey, 0x2A0, 0xA0, {100, 200}},
        {"a default row with a value is not sent", kKindDefault, 7, -1, {100}},
    };
    for (const Row& r : rows) {
        kb->ClearReports();
        Key(0, 41, r.kind, r.value);
        clock.ClearPauses();
        state.singleKey = true;
                UploadKeyFunctions(kb.manager(), store, state);
        EXPECT_EQ(clock.PauseLengths(), r.pauses) << r.what;
        const auto after = kb->State().keyAssignments;
        if (r.sent < 0) {
            EXPECT_TRUE(kb->Reports().empty()) << r.what;
        } else {
            ASSERT_EQ(after.count({1, 41}), 1u) << r.what;
            EXPECT_EQ(after.at({1, 41}), r.sent) << r.what;
        }
    }
}

TEST_F(KeyUpload, DeletedMacroIsClearedOnlyFromTheKeysThatPlayIt) {
    const int gone = Macro(L"Gone", 1, 1);
    const int kept = Macro(L"Kept", 1, 1);
    ProfileRecord other;
    other.name = L"Other";
    const int otherProfile = store.AddProfile(other);
    Key(0, 4, kKindMacro, gone);
    Key(1, 5, kKindMacro, gone);
    Key(0, 6, kKindMacro, kept);
    Key(0, 7, kKindShortcut, gone);  // same value, but a shortcut
    Key(0, 4, kKindMacro, gone, L"", otherProfile);
    Key(0, 8, kKindKey, 9, L"", otherProfile);
    ASSERT_TRUE(store.DeleteMacro(gone));

    ScopedVirtualKeyboard kb(KeyboardSetup::Receiver());
    KeyState state{profile, 0, 0, false, 301, kb.selector()};
    state.deletedMacroId = gone;
    clock.ClearPauses();
    ClearDeletedMacro(kb.manager(), store, state);
    const auto sent = kb->State().keyAssignments;
    const std::map<std::pair<int, int>, int> expected = {{{1, 4}, 0}, {{2, 5}, 0}};
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(clock.PauseLengths(), (std::vector<std::int64_t>{16, 16}));

    KeyAssignment a;
    EXPECT_FALSE(store.GetKeyAssignment(profile, 0, 4, a));
    EXPECT_FALSE(store.GetKeyAssignment(profile, 1, 5, a));
    EXPECT_FALSE(store.GetKeyAssignment(otherProfile, 0, 4, a));
    EXPECT_TRUE(store.GetKeyAssignment(profile, 0, 6, a));
    EXPECT_TRUE(store.GetKeyAssignment(profile, 0, 7, a));
    EXPECT_TRUE(store.GetKeyAssignment(otherProfile, 0, 8, a));
}

TEST_F(KeyUpload, MissingMacroSendsRepeatZeroAndNoEvents) {
    Key(0, 10, kKindMacro, 999);
    ScopedVirtualKeyboard kb(KeyboardSetup::Cable());
    KeyState state{profile, 0, 10, true, 301, kb.selector()};
    UploadKeyFunctions(kb.manager(), store, state);
    const auto blocks = kb->State().keyFunctionBlocks;
    ASSERT_EQ(blocks.count({1, 10}), 1u);
    EXPECT_EQ(blocks.at({1, 10}).repeat, 0);
    EXPECT_EQ(blocks.at({1, 10}).eventCount, 0);
}

TEST_F(KeyUpload, Family1WritesSlotsAndTheKeyTable) {
    const int macro = Macro(L"M", 0, 1, 300);  // play_times 0 is sent as 1
    Key(0, 4, kKindShortcut, 2);
    Key(0, 5, kKindKey, 0x1E);
    Key(0, 6, kKindMacro, macro);
    Key(0, 7, kKindDisabled, 1);
    Key(0, 8, kKindMedia, 2);      // no place in the table
    Key(0, 9, kKindKey, 0x20);     // position 200: left out
    Key(1, 10, kKindKey, 0x21);    // other layer: not written
    const std::map<int, int> positions = {{4, 3}, {5, 0}, {6, 100}, {7, 60}, {8, 61}, {9, 200}, {10, 12}};
    // (the fourth table report is 40 bytes long, so positions 110 to 119 never land)

    ScopedVirtualKeyboard kb(KeyboardSetup::Family1());
    KeyState state{profile, 0, 0, false, 101, kb.selector()};
    state.keyPositions = &positions;
    clock.ClearPauses();
    UploadKeyFunctions(kb.manager(), store, state);

    const auto f1 = kb->State().family1;
    // slot 0 the macro (rows of kind 3 first), slot 1 the shortcut
    const std::vector<std::uint8_t> macroSlot = {1, 2, 4, 0x2C, 0x81, 4, 0xAC, 0x01};
    ASSERT_EQ(f1.slots.size(), 2u);
    EXPECT_EQ(f1.slots.at(0), macroSlot);
    EXPECT_EQ(f1.slots.at(1), BuildFamily1SlotStream(1, ShortcutStrokes(2)));
    std::array<std::uint8_t, 360> table{};
    table[0] = 0x1E, table[1] = 0x20;    // key 5 at position 0
    table[6] = 1, table[7] = 0x40;       // key 4: shortcut in slot 1
    table[200] = 0, table[201] = 0x40;   // key 6: macro in slot 0, position 100
    table[120] = 0, table[121] = 0x20;   // key 7 disabled
    EXPECT_EQ(f1.keyTable, table);
    // 100 ms before the macro chunk, 10 before the shortcut, 20, then 4 x 10
    EXPECT_EQ(clock.PauseLengths(), (std::vector<std::int64_t>{100, 10, 20, 10, 10, 10, 10}));
}

TEST_F(KeyUpload, Family1StopsWritingSlotsAfterAFailedReport) {
    const int macro = Macro(L"Long", 1, 20);  // 40 events: 122 bytes, 3 chunks
    Key(0, 4, kKindMacro, macro);
    Key(0, 5, kKindShortcut, 1);
    ScopedVirtualKeyboard kb(KeyboardSetup::Family1());
    KeyState state{profile, 0, 0, false, 101, kb.selector()};
    kb->SetWriteFault({1, 2});  // the second chunk and its retry are refused
    UploadKeyFunctions(kb.manager(), store, state);
    const auto f1 = kb->State().family1;
    ASSERT_EQ(f1.slots.count(0), 1u);
    EXPECT_EQ(f1.slots.at(0).size(), 59u);  // only the first chunk
    EXPECT_EQ(f1.slots.count(1), 0u);       // the shortcut slot was not written
    EXPECT_EQ(f1.keyTable[1], 0x40);        // the key table still went out
}

TEST_F(KeyUpload, Family2FullAndSingleKeyUploads) {
    const int macro = Macro(L"M", 4, 2);
    Key(0, 4, kKindKey, 0x1E);
    Key(0, 5, kKindMacro, macro);
    Key(0, 6, kKindShortcut, 10);
    Key(0, 7, kKindKey, 0x1F);
    ScopedVirtualKeyboard kb(KeyboardSetup::Family2());
    KeyState state{profile, 0, 0, false, 201, kb.selector()};
    UploadKeyFunctions(kb.manager(), store, state);
    auto f2 = kb->State().family2;
    EXPECT_EQ(f2.fullUploadStarts, 1);
    EXPECT_EQ(f2.slotTable[1], 5);
    EXPECT_EQ(f2.slotTable[2], 6);
    EXPECT_EQ(f2.slotTable[14], 4);
    EXPECT_EQ(f2.slotTable[15], 7);
    std::vector<StepView> steps = {{2, 'A', 20}, {3, 'A', 20}, {2, 'B', 20}, {3, 'B', 20}};
    const Family2Slot expect1 = BuildFamily2Slot(1, 5, 4, EncodeStrokes(MacroStrokes(steps)));
    EXPECT_EQ(f2.longSlots.at(1), std::vector<std::uint8_t>(expect1.begin(), expect1.end()));
    const Family2Slot expect2 = BuildFamily2Slot(2, 6, 1, EncodeStrokes(ShortcutStrokes(10)));
    EXPECT_EQ(f2.longSlots.at(2), std::vector<std::uint8_t>(expect2.begin(), expect2.end()));

    // Changing key 7 reuses its simple slot; a new key takes the first free one;
    // resetting key 5 rewrites its long slot without events.
    Key(0, 7, kKindKey, 0x20);
    state.selectedKey = 7;
    state.singleKey = true;
    UploadKeyFunctions(kb.manager(), store, state);
    Key(0, 8, kKindKey, 0x21);
    state.selectedKey = 8;
    state.singleKey = true;
    UploadKeyFunctions(kb.manager(), store, state);
    Key(0, 5, kKindDefault, 0);
    state.selectedKey = 5;
    state.singleKey = true;
    UploadKeyFunctions(kb.manager(), store, state);
    f2 = kb->State().family2;
    EXPECT_EQ(f2.slotTable[15], 7);
    EXPECT_EQ(f2.slotTable[16], 8);
    EXPECT_EQ(f2.simpleSlots.at(2), (std::pair<int, int>{7, 0x20}));
    const Family2Slot emptied = BuildFamily2Slot(1, 5, 0, {});
    EXPECT_EQ(f2.longSlots.at(1), std::vector<std::uint8_t>(emptied.begin(), emptied.end()));
}

}  // namespace
}  // namespace keyloft
