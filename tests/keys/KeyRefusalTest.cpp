#include "keys/KeyRefusal.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

TEST(CheckAssignment, RefusalTable) {
    const std::set<int> fnDisabled = {41, 58};
    struct Row {
        const char* what;
        AssignSource source;
        int layer, key, remaps, longs;
        bool refused;
        KeyRefusal expected;
    };
    const Row rows[] = {
        {"fn-disabled key on the Fn layer", AssignSource::Picker, 1, 41, 0, 0, true, {205, 260, true}},
        {"fn-disabled key from the menu", AssignSource::MenuDisable, 1, 58, 0, 0, true, {205, 260, true}},
        {"fn-disabled key on the normal layer", AssignSource::Picker, 0, 41, 0, 0, false, {}},
        {"Fn key from the picker", AssignSource::Picker, 0, 175, 0, 0, true, {366, 365, false}},
        {"calculator from the picker", AssignSource::Picker, 1, 242, 0, 0, true, {366, 365, false}},
        {"199 remaps leave room", AssignSource::Picker, 0, 4, 199, 0, false, {}},
        {"200 remaps refuse", AssignSource::Picker, 0, 4, 200, 0, true, {368, 367, false}},
        {"remap limit does not bind macros", AssignSource::MenuMacro, 0, 4, 250, 0, false, {}},
        {"200 long keys refuse a macro", AssignSource::MenuMacro, 0, 4, 0, 200, true, {364, 363, false}},
        {"200 long keys refuse a shortcut", AssignSource::MenuShortcut, 1, 4, 0, 200, true, {364, 363, false}},
        {"long limit does not bind the picker", AssignSource::Picker, 0, 4, 0, 250, false, {}},
        {"default is never refused by the limits", AssignSource::MenuDefault, 0, 4, 300, 300, false, {}},
    };
    for (const Row& r : rows) {
        KeyRefusal got;
        const AssignContext c{r.layer, r.key, &fnDisabled, r.remaps, r.longs};
        EXPECT_EQ(CheckAssignment(r.source, c, got), r.refused) << r.what;
        if (r.refused) {
            EXPECT_EQ(got, r.expected) << r.what;
        }
    }
}

TEST(CheckKeyMenu, RefusesOnlyFnAndCalculator) {
    KeyRefusal got;
    EXPECT_TRUE(CheckKeyMenu(175, got));
    EXPECT_EQ(got, (KeyRefusal{366, 365, false}));
    EXPECT_TRUE(CheckKeyMenu(242, got));
    EXPECT_FALSE(CheckKeyMenu(241, got));
    EXPECT_FALSE(CheckKeyMenu(4, got));
}

}  // namespace
}  // namespace keyloft
