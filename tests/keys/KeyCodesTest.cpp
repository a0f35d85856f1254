#include "keys/KeyCodes.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

TEST(VirtualKeyToKeyCode, MapsEveryRangeEdgeAndTheIrregularKeys) {
    struct Row { int vk, code; };
    const Row rows[] = {
        {'A', 4}, {'Z', 29}, {'1', 30}, {'9', 38}, {'0', 39}, {13, 40}, {27, 41}, {8, 42},
        {9, 43}, {32, 44}, {189, 45}, {220, 49}, {666, 50}, {192, 53}, {191, 56}, {20, 57},
        {112, 58}, {123, 69}, {124, 104}, {135, 115}, {44, 70}, {19, 72}, {34, 78}, {38, 82},
        {144, 83}, {111, 84}, {108, 88}, {97, 89}, {105, 97}, {96, 98}, {110, 99}, {226, 100},
        {93, 101}, {162, 224}, {160, 225}, {164, 226}, {91, 227}, {163, 228}, {161, 229},
        {165, 230}, {92, 231}, {254, 175}, {136, 136}, {139, 139}, {181, 232}, {174, 233},
        {175, 234}, {183, 242}, {182, 249},
        // no key code: generic modifiers, mouse buttons, out of range, negative
        {16, 0}, {17, 0}, {18, 0}, {1, 0}, {140, 0}, {255, 0}, {-1, 0}, {1000, 0},
    };
    for (const Row& r : rows) EXPECT_EQ(VirtualKeyToKeyCode(r.vk), r.code) << "vk " << r.vk;
}

TEST(KeyCodeName, NamesKeysAndLeavesTheRestEmpty) {
    struct Row { int code; const wchar_t* name; };
    const Row rows[] = {
        {4, L"A"}, {29, L"Z"}, {30, L"1"}, {38, L"9"}, {39, L"0"}, {89, L"1"}, {97, L"9"},
        {98, L"0"}, {42, L"backspace"}, {49, L"\\"}, {58, L"F1"}, {69, L"F12"}, {72, L"PASE"},
        {75, L"PG UP"}, {88, L"Enter"}, {40, L"ENTER"}, {100, L"K45"}, {175, L"FN"},
        {224, L"CTRL"}, {231, L""}, {242, L"Calculator"}, {50, L""}, {104, L""}, {0, L""},
        {233, L""}, {-4, L""},
    };
    for (const Row& r : rows) EXPECT_EQ(KeyCodeName(r.code), r.name) << "code " << r.code;
}

TEST(KeyCodeName, RecordedStepCaptionsGoThroughTheVirtualKey) {
    EXPECT_EQ(VirtualKeyCaption(103), L"7");  // keypad 7
    EXPECT_EQ(VirtualKeyCaption(163), L"RCTRL");
    EXPECT_EQ(VirtualKeyCaption(17), L"");  // generic Ctrl has no key code
}

}  // namespace
}  // namespace keyloft
