#!/usr/bin/env python3
"""Writes the layout files of the shipped keyboard models (K1.xml, K0.xml, K2.xml).

The three models share one full-size board: 104 keys with Fn in the place of the
right Windows key, plus four media keys above the number pad. Every key gets its
key code, label, tip, key index (its light position), grid row and column, and its
rectangle on a 920 x 270 keyboard picture drawn from 40-pixel key units. The files
are committed; run this again after changing the board:

    python3 data/layouts/make_layouts.py
"""
import os
from xml.sax.saxutils import quoteattr

UNIT = 40          # pixels per key unit
MARGIN = 10        # picture border
INSET = 2          # gap around each key cap
PICTURE_W, PICTURE_H = 920, 270
NAV_X = 15.25      # x of the navigation block, in units
PAD_X = 18.5       # x of the number pad

# (code, label, tip, x, width) per row, x and width in key units; a fifth value
# of 2 makes the key two rows tall.
ROWS = [
    [(0x29, "Esc", "Escape", 0, 1)]
    + [(0x3A + i, "F%d" % (i + 1), "F%d" % (i + 1), x, 1)
       for i, x in enumerate([2, 3, 4, 5, 6.5, 7.5, 8.5, 9.5, 11, 12, 13, 14])]
    + [(0x46, "PrtSc", "Print Screen", NAV_X, 1), (0x47, "ScrLk", "Scroll Lock", NAV_X + 1, 1),
       (0x48, "Pause", "Pause / Break", NAV_X + 2, 1),
       (0xEB, "Mute", "Mute", PAD_X, 1), (0xE9, "Vol-", "Volume down", PAD_X + 1, 1),
       (0xEA, "Vol+", "Volume up", PAD_X + 2, 1), (0xF2, "Calc", "Calculator", PAD_X + 3, 1)],
    [(0x35, "`", "Grave accent / tilde", 0, 1)]
    + [(0x1E + i, str((i + 1) % 10), str((i + 1) % 10), 1 + i, 1) for i in range(10)]
    + [(0x2D, "-", "Minus / underscore", 11, 1), (0x2E, "=", "Equals / plus", 12, 1),
       (0x2A, "Backspace", "Backspace", 13, 2),
       (0x49, "Ins", "Insert", NAV_X, 1), (0x4A, "Home", "Home", NAV_X + 1, 1), (0x4B, "PgUp", "Page Up", NAV_X + 2, 1),
       (0x53, "Num", "Num Lock", PAD_X, 1), (0x54, "/", "Keypad divide", PAD_X + 1, 1),
       (0x55, "*", "Keypad multiply", PAD_X + 2, 1), (0x56, "-", "Keypad minus", PAD_X + 3, 1)],
    [(0x2B, "Tab", "Tab", 0, 1.5)]
    + [(code, ch, ch, 1.5 + i, 1) for i, (code, ch) in enumerate(
        [(0x14, "Q"), (0x1A, "W"), (0x08, "E"), (0x15, "R"), (0x17, "T"), (0x1C, "Y"), (0x18, "U"),
         (0x0C, "I"), (0x12, "O"), (0x13, "P")])]
    + [(0x2F, "[", "Left bracket", 11.5, 1), (0x30, "]", "Right bracket", 12.5, 1),
       (0x31, "\\", "Backslash", 13.5, 1.5),
       (0x4C, "Del", "Delete", NAV_X, 1), (0x4D, "End", "End", NAV_X + 1, 1), (0x4E, "PgDn", "Page Down", NAV_X + 2, 1),
       (0x5F, "7", "Keypad 7", PAD_X, 1), (0x60, "8", "Keypad 8", PAD_X + 1, 1), (0x61, "9", "Keypad 9", PAD_X + 2, 1),
       (0x57, "+", "Keypad plus", PAD_X + 3, 1, 2)],
    [(0x39, "Caps", "Caps Lock", 0, 1.75)]
    + [(code, ch, ch, 1.75 + i, 1) for i, (code, ch) in enumerate(
        [(0x04, "A"), (0x16, "S"), (0x07, "D"), (0x09, "F"), (0x0A, "G"), (0x0B, "H"), (0x0D, "J"),
         (0x0E, "K"), (0x0F, "L")])]
    + [(0x33, ";", "Semicolon", 10.75, 1), (0x34, "'", "Apostrophe", 11.75, 1),
       (0x28, "Enter", "Enter", 12.75, 2.25),
       (0x5C, "4", "Keypad 4", PAD_X, 1), (0x5D, "5", "Keypad 5", PAD_X + 1, 1), (0x5E, "6", "Keypad 6", PAD_X + 2, 1)],
    [(0xE1, "Shift", "Left Shift", 0, 2.25)]
    + [(code, ch, ch, 2.25 + i, 1) for i, (code, ch) in enumerate(
        [(0x1D, "Z"), (0x1B, "X"), (0x06, "C"), (0x19, "V"), (0x05, "B"), (0x11, "N"), (0x10, "M")])]
    + [(0x36, ",", "Comma", 9.25, 1), (0x37, ".", "Full stop", 10.25, 1), (0x38, "/", "Slash", 11.25, 1),
       (0xE5, "Shift", "Right Shift", 12.25, 2.75),
       (0x52, "Up", "Up arrow", NAV_X + 1, 1),
       (0x59, "1", "Keypad 1", PAD_X, 1), (0x5A, "2", "Keypad 2", PAD_X + 1, 1), (0x5B, "3", "Keypad 3", PAD_X + 2, 1),
       (0x58, "Enter", "Keypad Enter", PAD_X + 3, 1, 2)],
    [(0xE0, "Ctrl", "Left Ctrl", 0, 1.25), (0xE3, "Win", "Windows / Super", 1.25, 1.25),
     (0xE2, "Alt", "Left Alt", 2.5, 1.25), (0x2C, "Space", "Space", 3.75, 6.25),
     (0xE6, "Alt", "Right Alt", 10, 1.25), (0xAF, "Fn", "Fn", 11.25, 1.25),
     (0x65, "Menu", "Menu", 12.5, 1.25), (0xE4, "Ctrl", "Right Ctrl", 13.75, 1.25),
     (0x50, "Left", "Left arrow", NAV_X, 1), (0x51, "Down", "Down arrow", NAV_X + 1, 1),
     (0x4F, "Right", "Right arrow", NAV_X + 2, 1),
     (0x62, "0", "Keypad 0", PAD_X, 2), (0x63, ".", "Keypad full stop", PAD_X + 2, 1)],
]

# Keys whose Fn-layer function the firmware keeps for itself: Fn and the media keys.
FN_LAYER_FIXED = {0xAF, 0xEB, 0xE9, 0xEA, 0xF2}


def row_y(row):
    # The function row stands a quarter unit above the rest.
    return MARGIN + (0 if row == 0 else (row + 0.25) * UNIT)


def keys():
    index = 0
    for r, row in enumerate(ROWS):
        for key in row:
            code, label, tip, x, w = key[:5]
            h = key[5] if len(key) > 5 else 1
            # Grid column: the unit the key starts in (blocks shifted to 22 columns).
            col = int(x + 0.01) if x < NAV_X else (15 + int(x - NAV_X + 0.01) if x < PAD_X else 19 + int(x - PAD_X + 0.01))
            px = round(MARGIN + x * UNIT) + INSET
            py = round(row_y(r)) + INSET
            pw = round(w * UNIT) - 2 * INSET
            ph = round(h * UNIT) - 2 * INSET
            yield dict(code=code, name=label, desc=tip, key_index=index, row=r, col=col,
                       rect=(px, py, pw, ph), fn=code in FN_LAYER_FIXED)
            index += 1


def light_info(modes):
    return "".join('\t\t<info name="%d" mode="%d" attribute="%d"/>\n' % m for m in modes)


# (language text, mode number, attribute word). Attribute bits: 0x001 brightness,
# 0x002 speed, 0x004 left/right, 0x008 up/down, 0x010 RGB sliders, 0x020 custom
# colour + colourful box, 0x040 preset colours, 0x080 gradients, 0x100 per-key,
# 0x200 music, 0x400 screen sync.
K1_MODES = [
    (401, 1, 0x001 | 0x010 | 0x020 | 0x040),        # static
    (402, 2, 0x001 | 0x002 | 0x020 | 0x040),        # breathing
    (403, 3, 0x001 | 0x002),                        # spectrum cycle
    (404, 4, 0x001 | 0x002 | 0x004 | 0x080),        # wave
    (405, 5, 0x001 | 0x002 | 0x020 | 0x040),        # ripple
    (406, 6, 0x001 | 0x002 | 0x020 | 0x040),        # reactive
    (407, 7, 0x001 | 0x002 | 0x008 | 0x040),        # raindrops
    (408, 8, 0x001 | 0x002 | 0x040),                # starlight
    (409, 9, 0x001 | 0x002 | 0x004 | 0x040),        # snake
    (410, 10, 0x001 | 0x002 | 0x080),               # aurora
    (411, 11, 0x001 | 0x002 | 0x020 | 0x040),       # crosshair
    (412, 12, 0x001 | 0x002 | 0x004 | 0x080),       # neon stream
    (413, 24, 0x001 | 0x100),                       # per-key custom colours
    (414, 25, 0x200),                               # music visualizer
    (415, 26, 0x400),                               # screen colour sync
]
LIGHTBOX_MODES = [
    (401, 1, 0x001 | 0x010 | 0x020 | 0x040),
    (402, 2, 0x001 | 0x002 | 0x020 | 0x040),
    (403, 3, 0x001 | 0x002),
    (404, 4, 0x001 | 0x002 | 0x004 | 0x080),
]
K0_MODES = [
    (401, 1, 0x001 | 0x020 | 0x040),
    (402, 2, 0x001 | 0x002 | 0x020 | 0x040),
    (403, 3, 0x001 | 0x002),
    (404, 4, 0x001 | 0x002 | 0x004),
    (405, 5, 0x001 | 0x002 | 0x020 | 0x040),
    (414, 6, 0x200),
]
K2_MODES = [
    (401, 1, 0x001 | 0x040),
    (402, 2, 0x001 | 0x002 | 0x040),
    (403, 3, 0x001 | 0x002),
    (416, 4, 0x001 | 0x010 | 0x020),                # one colour of the user's choice
    (404, 5, 0x001 | 0x002 | 0x004),
    (405, 6, 0x001 | 0x002 | 0x040),
    (414, 7, 0x200),
]

MODELS = {
    "K1": dict(macro=1, light_mode=1, firmware=("1.0.3", "K1-Firmware", "https://download.keyloft.example/k1/firmware/",
                                                "https://download.keyloft.example/k1/receiver/"),
               light=dict(default_mode=4, default_brightness=4, default_speed=3, brightness_max=5, speed_max=5),
               modes=K1_MODES, lightbox=dict(brightness_max=4, speed_max=4), lightbox_modes=LIGHTBOX_MODES),
    "K0": dict(macro=0, light_mode=1, firmware=("", "", "https://download.keyloft.example/k0/firmware/", ""),
               light=dict(default_mode=2, default_brightness=4, default_speed=3, brightness_max=4, speed_max=4),
               modes=K0_MODES, lightbox=None, lightbox_modes=[]),
    "K2": dict(macro=1, light_mode=1, firmware=("2.0.0", "K2-Firmware", "https://download.keyloft.example/k2/firmware/", ""),
               light=dict(default_mode=5, default_brightness=4, default_speed=3, brightness_max=4, speed_max=4),
               modes=K2_MODES, lightbox=None, lightbox_modes=[]),
}


def layout(name, m):
    out = ['<?xml version="1.0" encoding="UTF-8"?>\n', "<device.info>\n"]
    out.append('\t<menu macro="%d" light_mode="%d"/>\n' % (m["macro"], m["light_mode"]))
    out.append('\t<function sleep_time="1"/>\n')
    v, f, url, dongle = m["firmware"]
    out.append('\t<firmware version=%s file=%s url=%s dongle_url=%s/>\n' % tuple(map(quoteattr, (v, f, url, dongle))))
    l = m["light"]
    out.append('\t<light rgb_keyboard="1" default_mode="%d" default_brightness="%d" default_speed="%d" '
               'brightness_max="%d" speed_max="%d">\n' % (l["default_mode"], l["default_brightness"],
                                                         l["default_speed"], l["brightness_max"], l["speed_max"]))
    out.append(light_info(m["modes"]))
    out.append("\t</light>\n")
    if m["lightbox"]:
        out.append('\t<lightbox brightness_max="%d" speed_max="%d">\n' % (m["lightbox"]["brightness_max"],
                                                                         m["lightbox"]["speed_max"]))
        out.append(light_info(m["lightbox_modes"]))
        out.append("\t</lightbox>\n")
    out.append('\t<Keyboard xpos="340" ypos="168" width="%d" height="%d" image="%s.png" row_count="6" col_count="23">\n'
               % (PICTURE_W, PICTURE_H, name))
    out.append("\t\t<KeyItems>\n")
    for k in keys():
        out.append('\t\t\t<key code="%02X" name=%s desc=%s key_index="%d" light_index="%d" icon="" '
                   'fnlayer_disable="%d" row_col="%d,%d" rect="%d,%d,%d,%d"/>\n'
                   % (k["code"], quoteattr(k["name"]), quoteattr(k["desc"]), k["key_index"], k["key_index"],
                      1 if k["fn"] else 0, k["row"], k["col"], *k["rect"]))
    out.append("\t\t</KeyItems>\n\t</Keyboard>\n</device.info>\n")
    return "".join(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    all_keys = list(keys())
    assert len(all_keys) == 108, len(all_keys)
    cells = {(k["row"], k["col"]) for k in all_keys}
    assert len(cells) == len(all_keys), "two keys share a grid cell"
    for name, m in MODELS.items():
        with open(os.path.join(here, name + ".xml"), "w", newline="\r\n") as f:
            f.write(layout(name, m))


if __name__ == "__main__":
    main()
