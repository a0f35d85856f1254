#include "keys/MacroPage.h"

#include "KeysTestSupport.h"
#include "keys/KeyFunction.h"
#include "keys/KeyUpload.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

struct FakeMacroPage : MacroPageHost {
    std::vector<std::pair<int, int>> boxes;
    std::vector<int> tasks;
    int reloads = 0;
    int MessageBox(int t, int m) override {
        boxes.emplace_back(t, m);
        return 1;
    }
    void QueueDeviceTask(int task) override { tasks.push_back(task); }
    void ReloadProfile() override { ++reloads; }
};

struct MacroPage : test::StoreFixture {
    FakeMacroPage host;
    std::vector<std::wstring> Names() {
        std::vector<MacroRecord> list;
        store.LoadMacros(list);
        std::vector<std::wstring> names;
        for (const auto& m : list) names.push_back(m.name);
        return names;
    }
};

TEST_F(MacroPage, NewAndCopyTakeTheFirstFreeNumber) {
    EXPECT_EQ(FirstFreeName(L"Macro", {L"Macro 1", L"Macro 3", L"macro 2"}), L"Macro 2");
    const int a = NewMacro(store, L"Macro", Names());
    const int b = NewMacro(store, L"Macro", Names());
    MacroRecord m;
    ASSERT_TRUE(store.GetMacro(b, m));
    EXPECT_EQ(m.name, L"Macro 2");
    EXPECT_EQ(m.play_times, 1);
    EXPECT_EQ(m.delay_type, 1);

    const int source = Macro(L"Game", 7, 3, 45);
    MacroRecord settings;
    store.GetMacro(source, settings);
    settings.delay_type = 3;
    settings.delay_time = 120;
    store.UpdateMacroPlayback(settings);
    const int copy1 = CopyMacro(store, source, Names());
    const int copy2 = CopyMacro(store, source, Names());
    ASSERT_TRUE(store.GetMacro(copy2, m));
    EXPECT_EQ(m.name, L"Game - 2");
    EXPECT_EQ(m.play_times, 7);
    EXPECT_EQ(m.delay_type, 3);
    EXPECT_EQ(m.delay_time, 120);
    std::vector<MacroStep> original, copied;
    store.LoadMacroSteps(source, original);
    store.LoadMacroSteps(copy1, copied);
    ASSERT_EQ(copied.size(), 6u);
    for (std::size_t i = 0; i < copied.size(); ++i) {
        EXPECT_EQ(copied[i].value, original[i].value);
        EXPECT_EQ(copied[i].type, original[i].type);
        EXPECT_EQ(copied[i].delay_time, original[i].delay_time);
        EXPECT_EQ(copied[i].record_index, original[i].record_index);
    }
    EXPECT_EQ(CopyMacro(store, 9999, Names()), 0);
    EXPECT_GT(a, 0);
}

TEST_F(MacroPage, RenameReachesTheKeysAndRefusesAnEmptyName) {
    const int m = Macro(L"Old", 1, 1);
    Key(0, 4, kKindMacro, m, L"Old");
    Key(1, 5, kKindMacro, m, L"Old");
    EXPECT_FALSE(RenameMacroItem(store, host, m, L""));
    EXPECT_EQ(host.boxes, (std::vector<std::pair<int, int>>{{33, 330}}));
    ASSERT_TRUE(RenameMacroItem(store, host, m, L"New"));
    KeyAssignment a;
    ASSERT_TRUE(store.GetKeyAssignment(profile, 1, 5, a));
    EXPECT_EQ(a.macro_desc, L"New");
    MacroRecord r;
    store.GetMacro(m, r);
    EXPECT_EQ(r.name, L"New");
    EXPECT_EQ(host.reloads, 1);
}

TEST_F(MacroPage, DeleteRemembersTheIdAndQueuesTheKeyReset) {
    const int m = Macro(L"M", 1, 2);
    KeyState state;
    ASSERT_TRUE(DeleteMacroItem(store, state, host, m));
    EXPECT_EQ(state.deletedMacroId, m);
    EXPECT_EQ(host.tasks, (std::vector<int>{kTaskClearDeletedMacro}));
    MacroRecord r;
    EXPECT_FALSE(store.GetMacro(m, r));
    std::vector<MacroStep> steps;
    EXPECT_EQ(store.LoadMacroSteps(m, steps), 0);
    EXPECT_FALSE(DeleteMacroItem(store, state, host, 0));
}

TEST_F(MacroPage, PlaybackSettingsAreClamped) {
    const int m = Macro(L"M", 1, 1);
    struct Row { PlaybackFields in; std::wstring shown; int times, type, delay; };
    const Row rows[] = {
        {{L"0", kDelayRealTime, L"55"}, L"1", 1, 1, 10},
        {{L"150", kDelayNone, L""}, L"99", 99, 2, 10},
        {{L"abc", kDelayFixed, L"250"}, L"1", 1, 3, 250},
        {{L"-5", kDelayFixed, L"x"}, L"1", 1, 3, 0},
        {{L"12", kDelayFixed, L"99999"}, L"12", 12, 3, 9999},
        {{L"99999999999999", 9, L"5"}, L"99", 99, 1, 10},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(SaveMacroPlayback(store, m, r.in), r.shown) << r.in.repeat;
        MacroRecord got;
        ASSERT_TRUE(store.GetMacro(m, got));
        EXPECT_EQ(got.play_times, r.times) << r.in.repeat;
        EXPECT_EQ(got.delay_type, r.type) << r.in.repeat;
        EXPECT_EQ(got.delay_time, r.delay) << r.in.repeat;
    }
    EXPECT_EQ(RecordingFixedDelay(L""), 10);
    EXPECT_EQ(RecordingFixedDelay(L"x1"), 10);
    EXPECT_EQ(RecordingFixedDelay(L"50"), 50);
}

TEST_F(MacroPage, StepEditsAreSavedInListOrder) {
    const int m = Macro(L"M", 1, 0);
    std::vector<RecordedStep> steps = {
        {L"A", 2, 'A', 10}, {L"A", 3, 'A', 20}, {L"B", 2, 'B', 30}, {L"B", 3, 'B', 0},
    };
    EXPECT_EQ(MoveStepUp(steps, 0), -1);
    EXPECT_EQ(MoveStepUp(steps, 2), 1);    // B press before A release
    EXPECT_EQ(MoveStepDown(steps, 3), -1);
    EXPECT_EQ(MoveStepDown(steps, 0), 1);  // A press after B press
    EXPECT_EQ(DeleteStep(steps, 3), 2);    // the last one: selection moves up
    EXPECT_EQ(DeleteStep(steps, 7), -1);
    ASSERT_TRUE(SaveMacroSteps(store, m, steps));
    std::vector<MacroStep> stored;
    ASSERT_EQ(store.LoadMacroSteps(m, stored), 3);
    EXPECT_EQ(ToRecordedSteps(stored), (std::vector<RecordedStep>{
                                           {L"B", 2, 'B', 30}, {L"A", 2, 'A', 10}, {L"A", 3, 'A', 20}}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(stored[i].record_index, i);

    // saving again replaces, it does not add
    steps.resize(1);
    ASSERT_TRUE(SaveMacroSteps(store, m, steps));
    EXPECT_EQ(store.LoadMacroSteps(m, stored), 1);
    EXPECT_EQ(store.CountMacroActions(m), 1);
}

TEST_F(MacroPage, RecordingStopsAtTheModelsLimitAndSavesTheSteps) {
    // 29 press/release pairs and one press: 59 actions, plus a step of type 1
    // (not an action) from an imported file.
    const int m = Macro(L"Near full", 1, 29);
    MacroStep extra;
    extra.macro_id = m, extra.type = 2, extra.value = 'Z', extra.record_index = 58;
    store.AddMacroStep(extra);
    extra.type = 1, extra.record_index = 59;
    store.AddMacroStep(extra);
    std::vector<MacroStep> stored;
    store.LoadMacroSteps(m, stored);
    ASSERT_EQ(store.CountMacroActions(m), 59);

    MacroRecorder recorder;
    ASSERT_TRUE(StartMacroRecording(store, recorder, host, m, 301, kDelayFixed, L"", ToRecordedSteps(stored)));
    EXPECT_TRUE(HandleRecordedKey(store, recorder, host, m, {0x100, 'Q', 0x10, 0, 0}));
    EXPECT_FALSE(recorder.Recording());
    EXPECT_EQ(host.boxes, (std::vector<std::pair<int, int>>{{370, 369}}));
    ASSERT_EQ(store.LoadMacroSteps(m, stored), 61);
    EXPECT_EQ(stored.back().value, 'Q');
    EXPECT_EQ(stored[59].delay_time, 10);  // the fixed delay default, on the old last step
    EXPECT_FALSE(HandleRecordedKey(store, recorder, host, m, {0x101, 'Q', 0x10, 0, 5}));

    EXPECT_FALSE(StartMacroRecording(store, recorder, host, m, 301, kDelayRealTime, L"", ToRecordedSteps(stored)));
    EXPECT_EQ(host.boxes.size(), 2u);
    // the same macro still has room on a keyboard of another family
    EXPECT_TRUE(StartMacroRecording(store, recorder, host, m, 201, kDelayRealTime, L"", ToRecordedSteps(stored)));
    EXPECT_TRUE(HandleRecordedKey(store, recorder, host, m, {0x100, 'W', 0x11, 0, 0}));
    const auto saved = StopMacroRecording(store, recorder, m);
    EXPECT_EQ(saved.size(), 62u);
    EXPECT_EQ(store.LoadMacroSteps(m, stored), 62);
}

}  // namespace
}  // namespace keyloft
