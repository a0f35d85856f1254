// Translation of the kernel's key codes (what X11 servers on evdev report, as
// X key code - 8) into the codes the recorder speaks: a Windows virtual-key
// code, the PC set-1 scan code and the extended flag.
//
// Keypad keys report their digit keys with Num Lock on and the navigation keys
// with Num Lock off, but keep their non-extended scan code either way, as the
// keyboard does. Pure; any thread.
#pragma once

namespace keyloft::platform {

struct TranslatedKey {
    int virtualKey = 0;  // 0: a key this table does not know
    int scanCode = 0;
    bool extended = false;
};

TranslatedKey TranslateKernelKey(int kernelCode, bool keypadDigits);

}  // namespace keyloft::platform
