// Small enumerations shared by the window classes and the controls.
#pragma once

namespace TesselUI {

// Background drawing of a window: the image at its own size at the top-left, or
// stretched as a nine-grid over the client area with the corner size.
enum enumBackMode : int {
    BACK_MODE_IMAGE = 0,
    BACK_MODE_FRAME = 1,
};

// Importance of a banner message; all levels are drawn alike.
enum MsgLevel : int {
    MSG_LEVEL_INFO = 0,
    MSG_LEVEL_WARNING = 1,
    MSG_LEVEL_ERROR = 2,
};

// Placement and look of a balloon tip; the balloon window class gives the values.
using AIRBLADDER_TYPE = int;
using AIRBLADDER_MODE = int;

// The result message of dialogs (WM_USER + 66): w carries the result.
inline constexpr unsigned WM_TESSEL_RESULT = 1090;
// Dialog results carried by WM_TESSEL_RESULT and answered by ShowModal.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

}  // namespace TesselUI
