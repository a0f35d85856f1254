#include "StoreTestSupport.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using testing::SqliteShell;
using MacroData = testing::StoreTest;

MacroStep Step(int macroId, int index, int type, int value, int delay) {
    MacroStep s;
    s.macro_id = macroId;
    s.record_index = index;
    s.type = type;
    s.value = value;
    s.delay_time = delay;
    s.desc = L"step " + std::to_wstring(index);
    return s;
}

TEST_F(MacroData, MacrosStoreTheirPlaybackSettings) {
    EXPECT_EQ(store.AddMacro(L"Plain"), 1);
    MacroRecord tuned;
    tuned.name = L"Tuned";
    tuned.play_times = 5;
    tuned.delay_type = 3;
    tuned.delay_time = 40;
    tuned.link_count = 2;
    EXPECT_EQ(store.AddMacroWithSettings(tuned), 2);

    MacroRecord got;
    ASSERT_TRUE(store.GetMacro(1, got));
    EXPECT_EQ(got.macro_id, 1);
    EXPECT_EQ(got.name, L"Plain");
    EXPECT_EQ(got.play_times, 1);
    EXPECT_EQ(got.delay_type, 1);
    EXPECT_EQ(got.delay_time, 0);
    EXPECT_EQ(got.link_count, 0);

    MacroRecord playback;
    playback.macro_id = 2;
    playback.play_times = 9;
    playback.delay_type = 2;
    playback.delay_time = 15;
    playback.link_count = 99;  // not part of the playback settings
    playback.name = L"ignored";
    EXPECT_TRUE(store.UpdateMacroPlayback(playback));
    EXPECT_TRUE(store.RenameMacro(1, L"Renamed"));
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT * FROM t_macro_data"), "1|1|1|0|0|Renamed\n2|9|2|15|2|Tuned\n");

    int times = 0;
    ASSERT_TRUE(store.GetMacroPlayTimes(2, times));
    EXPECT_EQ(times, 9);
    times = -5;
    EXPECT_FALSE(store.GetMacroPlayTimes(3, times));
    EXPECT_EQ(times, -5);
    EXPECT_FALSE(store.GetMacro(3, got));

    std::vector<MacroRecord> list;
    ASSERT_EQ(store.LoadMacros(list), 2);
    EXPECT_EQ(list[1].name, L"Tuned");
    EXPECT_EQ(list[1].link_count, 2);
}

TEST_F(MacroData, StepsComeBackInRecordIndexOrder) {
    const int id = store.AddMacro(L"m");
    // Inserted out of order, as an edit that moved steps around would.
    for (int index : {2, 0, 3, 1}) EXPECT_GT(store.AddMacroStep(Step(id, index, 2 + index % 2, 4 + index, 10 * index)), 0);
    store.AddMacroStep(Step(id + 1, 0, 2, 99, 0));  // another macro's step

    std::vector<MacroStep> steps;
    ASSERT_EQ(store.LoadMacroSteps(id, steps), 4);
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(steps[index].record_index, index);
        EXPECT_EQ(steps[index].macro_id, id);
        EXPECT_EQ(steps[index].type, 2 + index % 2);
        EXPECT_EQ(steps[index].value, 4 + index);
        EXPECT_EQ(steps[index].delay_time, 10 * index);
        EXPECT_EQ(steps[index].desc, L"step " + std::to_wstring(index));
        EXPECT_GT(steps[index].record_id, 0);
    }
}

TEST_F(MacroData, SavingStepsReplacesThemInOneGo) {
    const int id = store.AddMacro(L"m");
    store.AddMacroSteps({Step(id, 0, 2, 4, 0), Step(id, 1, 3, 4, 0)});
    EXPECT_TRUE(store.DeleteMacroSteps(id));
    EXPECT_EQ(store.AddMacroSteps({Step(id, 0, 2, 5, 0), Step(id, 1, 1, 0, 100), Step(id, 2, 3, 5, 0)}), 3);
    std::vector<MacroStep> steps;
    ASSERT_EQ(store.LoadMacroSteps(id, steps), 3);
    EXPECT_EQ(steps[0].value, 5);
    // Steps of type 1 are not counted as actions.
    EXPECT_EQ(store.CountMacroActions(id), 2);
    EXPECT_EQ(store.CountMacroActions(id + 1), 0);
}

// The database header's file change counter goes up once per committed write
// transaction: replacing a macro's steps must be exactly one.
TEST_F(MacroData, ReplacingStepsIsOneTransactionAndTouchesNoOtherMacro) {
    const auto counter = [this] {
        const std::string bytes = testing::ReadBytes(DbFile());
        std::uint32_t value = 0;
        for (int i = 24; i < 28 && i < static_cast<int>(bytes.size()); ++i)
            value = (value << 8) | static_cast<unsigned char>(bytes[i]);
        return value;
    };
    const int id = store.AddMacro(L"m");
    const int other = store.AddMacro(L"other");
    store.AddMacroSteps({Step(id, 0, 2, 4, 0), Step(id, 1, 3, 4, 0), Step(other, 0, 2, 9, 0)});
    const std::uint32_t before = counter();
    EXPECT_EQ(store.ReplaceMacroSteps(id, {Step(id, 0, 2, 5, 0), Step(id, 1, 1, 0, 100), Step(id, 2, 3, 5, 0)}), 3);
    EXPECT_EQ(counter(), before + 1);
    std::vector<MacroStep> steps;
    ASSERT_EQ(store.LoadMacroSteps(id, steps), 3);
    EXPECT_EQ(steps[0].value, 5);
    EXPECT_EQ(steps[1].delay_time, 100);
    ASSERT_EQ(store.LoadMacroSteps(other, steps), 1);
    EXPECT_EQ(steps[0].value, 9);
    EXPECT_EQ(store.ReplaceMacroSteps(id, {}), 0);
    EXPECT_EQ(store.LoadMacroSteps(id, steps), 0);
}

TEST_F(MacroData, DeletingAMacroTakesOnlyItsSteps) {
    const int a = store.AddMacro(L"a");
    const int b = store.AddMacro(L"b");
    store.AddMacroSteps({Step(a, 0, 2, 4, 0), Step(b, 0, 2, 5, 0)});
    EXPECT_TRUE(store.DeleteMacro(a));
    EXPECT_EQ(SqliteShell(DbFile(), "SELECT macro_id FROM t_macro_data; SELECT macro_id FROM t_macrorecord"),
              "2\n2\n");
    // Nothing to delete is not a failure.
    EXPECT_TRUE(store.DeleteMacro(a));
    EXPECT_TRUE(store.DeleteMacro(77));
}

}  // namespace
}  // namespace keyloft
