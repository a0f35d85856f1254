#include "keys/KeyCodes.h"

#include <array>
#include <utility>

namespace keyloft {
namespace {

// Virtual keys whose key code does not follow from a range rule. 666 stands for
// the key code 50 (the non-US hash key), which has no virtual key of its own on
// the keyboards this program serves; no hook event can carry it.
constexpr std::pair<int, int> kVirtualKeyPairs[] = {
    {13, 40},   {27, 41},   {8, 42},    {9, 43},    {32, 44},   {189, 45},  {187, 46},
    {219, 47},  {221, 48},  {220, 49},  {666, 50},  {186, 51},  {222, 52},  {192, 53},
    {188, 54},  {190, 55},  {191, 56},  {20, 57},   {44, 70},   {145, 71},  {19, 72},
    {45, 73},   {36, 74},   {33, 75},   {46, 76},   {35, 77},   {34, 78},   {39, 79},
    {37, 80},   {40, 81},   {38, 82},   {144, 83},  {111, 84},  {106, 85},  {109, 86},
    {107, 87},  {108, 88},  {96, 98},   {110, 99},  {226, 100}, {93, 101},  {162, 224},
    {160, 225}, {164, 226}, {91, 227},  {163, 228}, {161, 229}, {165, 230}, {92, 231},
    {254, 175}, {181, 232}, {174, 233}, {175, 234}, {173, 235}, {178, 236}, {177, 237},
    {179, 238}, {176, 239}, {180, 240}, {172, 241}, {183, 242}, {166, 243}, {167, 244},
    {169, 245}, {168, 246}, {170, 247}, {171, 248}, {182, 249},
};

constexpr std::pair<int, const wchar_t*> kNames[] = {
    {40, L"ENTER"},   {41, L"ESC"},     {42, L"backspace"}, {43, L"TAB"},   {44, L"SPACE"},
    {45, L"-_"},      {46, L"+="},      {47, L"[{"},        {48, L"]}"},    {49, L"\\"},
    {51, L";:"},      {52, L"'"},       {53, L"~`"},        {54, L"<,"},    {55, L">."},
    {56, L"/?"},      {57, L"CAPS"},    {70, L"PRTSC"},     {71, L"SCRLK"}, {72, L"PASE"},
    {73, L"INS"},     {74, L"HOME"},    {75, L"PG UP"},     {76, L"DEL"},   {77, L"END"},
    {78, L"PG DN"},   {79, L"RIGHT"},   {80, L"LEFT"},      {81, L"DOWN"},  {82, L"UP"},
    {83, L"NumLock"}, {84, L"/"},       {85, L"*"},         {86, L"-"},     {87, L"+"},
    {88, L"Enter"},   {99, L"."},       {100, L"K45"},      {101, L"MENU"}, {175, L"FN"},
    {224, L"CTRL"},   {225, L"SHIFT"},  {226, L"ALT"},      {227, L"WIN"},  {228, L"RCTRL"},
    {229, L"RSHIFT"}, {230, L"RALT"},   {242, L"Calculator"},
};

}  // namespace

int VirtualKeyToKeyCode(int vk) {
    if (vk >= 'A' && vk <= 'Z') return vk - 'A' + 4;
    if (vk >= '1' && vk <= '9') return vk - '1' + 30;
    if (vk == '0') return 39;
    if (vk >= 112 && vk <= 123) return vk - 112 + 58;   // F1..F12
    if (vk >= 124 && vk <= 135) return vk - 124 + 104;  // F13..F24
    if (vk >= 97 && vk <= 105) return vk - 97 + 89;     // keypad 1..9
    if (vk >= 136 && vk <= 139) return vk;
    for (const auto& [from, to] : kVirtualKeyPairs)
        if (from == vk) return to;
    return 0;
}

std::wstring KeyCodeName(int code) {
    if (code >= 4 && code <= 29) return std::wstring(1, static_cast<wchar_t>(L'A' + code - 4));
    if (code >= 30 && code <= 38) return std::wstring(1, static_cast<wchar_t>(L'1' + code - 30));
    if (code >= 89 && code <= 97) return std::wstring(1, static_cast<wchar_t>(L'1' + code - 89));
    if (code == 39 || code == 98) return L"0";
    if (code >= 58 && code <= 69) return L"F" + std::to_wstring(code - 57);
    for (const auto& [key, name] : kNames)
        if (key == code) return name;
    return {};
}

std::wstring VirtualKeyCaption(int vk) { return KeyCodeName(VirtualKeyToKeyCode(vk)); }

}  // namespace keyloft
