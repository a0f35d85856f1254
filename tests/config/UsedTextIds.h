// Every language text number that the program's parts use, in section KB.DIALOG.
// The shipped language files must give each of them a text; the lighting modes'
// names come from the layout files and are checked from there.
#pragma once

namespace keyloft::testing {

inline constexpr int kUsedTextIds[] = {
    // Window frame, tray menu, message box buttons, profile buttons.
    1, 2, 5, 10, 11, 20, 22, 23, 25, 26, 27, 28, 29, 30, 31, 32, 33,
    // Tabs and page titles, home page status, profile base name.
    50, 51, 52, 53, 56, 60, 61, 65,
    // Lighting page labels, music controls and the background selector's items.
    82, 83, 85, 86, 87, 89, 90, 91, 100, 101, 102, 103, 104, 105,
    106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 117, 118, 120, 121, 122, 123, 124, 125,
    // Settings page, confirmations, close prompt, update messages.
    150, 151, 152, 153, 156, 157, 165, 166, 167, 168, 170, 171, 172, 175, 176, 177,
    178, 179, 180, 181, 182, 183, 184, 185, 186, 187, 188, 189, 190,
    191, 192, 193, 194, 195, 196, 197,
    // Key menu, kinds of key functions, mouse buttons, media descriptions.
    201, 202, 204, 205, 206, 207, 208, 209, 210, 211, 212, 220, 222, 223, 227, 228,
    230, 231, 232, 233, 234, 235, 236, 252, 260, 270, 271, 272, 273, 274, 275, 276, 277, 278, 279,
    // Profile messages and layer buttons.
    290, 291, 293, 295, 296, 297, 298, 299,
    // Macro page.
    300, 301, 302, 303, 304, 305, 306, 307, 308, 309, 310, 311, 312, 316, 317, 318, 319, 320,
    321, 322, 323, 325, 326, 327, 329, 330, 331, 335, 336, 337,
    // Refusals of key assignment and macro limits.
    363, 364, 365, 366, 367, 368, 369, 370,
    // Exchange files and macro names.
    540, 541, 621,
    // The fifteen shortcut functions.
    701, 702, 703, 704, 705, 706, 707, 708, 709, 710, 711, 712, 713, 714, 715,
};

}  // namespace keyloft::testing
