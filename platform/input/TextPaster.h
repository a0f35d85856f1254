// Typing a text into the focused program by pasting it: the text goes on the
// clipboard, then Ctrl+V is pressed through the X server's test extension.
//
// The clipboard belongs to this process on X11, so the target reads the text
// from us after the keys arrive. The call therefore keeps serving the event
// loop while the keys are held (100 ms) and clears the clipboard only after a
// further grace period (kept while it still holds our text), instead of at
// once, which would leave the paste empty. Needs the program's Qt application
// object; UI thread only. False when there is no application, no X display or
// the server lacks the test extension.
#pragma once

#include <string>

namespace keyloft::platform {

inline constexpr int kPasteHoldMs = 100;
inline constexpr int kPasteClearAfterMs = 2000;

bool PasteText(const std::wstring& text);

}  // namespace keyloft::platform
