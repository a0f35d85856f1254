// What one key does on one layer of one profile.
//
// A KeyFunction is the tail of a stored key assignment row: the row adds the
// profile, the layer and the key code. A key whose function is its own has no
// row; a function with macro_value and macro_value2 both 0 is stored as no row.
// Plain value type.
#pragma once

#include <string>

namespace keyloft {

enum KeyKind : int {
    kKindDefault = 0,
    kKindDisabled = 1,
    kKindKey = 2,            // key code below 500
    kKindMacro = 3,          // macro_value = macro id
    kKindMouseButton = 5,
    kKindMedia = 6,
    kKindShortcut = 7,       // macro_value = shortcut 1..15
    kKindProgram = 8,        // macro_value = id of extra data (param = path)
    kKindWebPage = 9,        // extra data desc = address
    kKindText = 10,          // extra data desc = the text
    kKindProfileSwitch = 11, // extra data param = profile id
    kKindHighKey = 12,       // key code of 500 or more
};

inline constexpr int kFnLayerNormal = 0;
inline constexpr int kFnLayerFn = 1;

struct KeyFunction {
    int layout_value = 0;
    std::wstring layout_desc;
    int macro_type = kKindDefault;
    int macro_value = 0;
    int macro_value2 = 0;
    int macro_value3 = 0;
    std::wstring macro_desc;

    bool IsDefault() const { return macro_value == 0 && macro_value2 == 0; }
    bool operator==(const KeyFunction&) const = default;
};

// Kinds 2 and 12: remaps to another key, counted against one limit.
inline bool IsRemapKind(int kind) { return kind == kKindKey || kind == kKindHighKey; }
// Kinds 3 and 7: the long functions, uploaded as event lists.
inline bool IsLongKind(int kind) { return kind == kKindMacro || kind == kKindShortcut; }

// Per profile and layer at most this many keys of each group.
inline constexpr int kMaxRemapKeysPerLayer = 200;
inline constexpr int kMaxLongKeysPerLayer = 200;

// The function picker's choice: kind 2 below item value 500, else 12.
KeyFunction PickedKeyFunction(int itemValue, int itemValue2, int itemValue3,
                              const std::wstring& itemText);
// Key menu command 607: disabled, value 1, labelled with language text 202.
KeyFunction DisabledKeyFunction(const std::wstring& text202);

}  // namespace keyloft
