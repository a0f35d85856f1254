#include "keys/KeyFunction.h"

namespace keyloft {

KeyFunction PickedKeyFunction(int itemValue, int itemValue2, int itemValue3,
                              const std::wstring& itemText) {
    KeyFunction f;
    f.macro_type = itemValue < 500 ? kKindKey : kKindHighKey;
    f.macro_value = itemValue;
    f.macro_value2 = itemValue2;
    f.macro_value3 = itemValue3;
    f.macro_desc = itemText;
    return f;
}

KeyFunction DisabledKeyFunction(const std::wstring& text202) {
    KeyFunction f;
    f.macro_type = kKindDisabled;
    f.macro_value = 1;
    f.macro_desc = text202;
    return f;
}

}  // namespace keyloft
