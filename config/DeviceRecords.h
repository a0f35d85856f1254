// The records of the device list (config.xml) and of a model's layout file.
// Plain values; DeviceDescription owns them.
#pragma once

#include <string>

#include "config/ValueParsing.h"

namespace keyloft {

// One `keyboard` element of config.xml.
struct KeyboardEntry {
    std::wstring name;        // model name: device widget, database file name
    int deviceType = 0;       // selects the model and its protocol family
    std::wstring layoutName;  // `device_info`: layouts/<layoutName>.xml
};

// One `mode` element: a connection mode of a keyboard, registered with the HID
// device manager. `name` is the mode's product name (the HID product string).
struct ModeEntry : KeyboardEntry {
    int mode = 0;  // 0 cable, 1 Bluetooth LE, 2 receiver
    int vendorId = 0;
    int productId = 0;
    int release = 0;
    std::wstring description;
    std::wstring interfacePattern;  // e.g. "VID_35C1&PID_4011", matched by hot-plug
};

// One `info` element under `light` or `lightbox`. `name` is a language text number.
struct LightModeEntry {
    std::wstring name;
    int mode = 0;       // 1-based mode number
    int attribute = 0;  // which controls the mode shows; 0x100 per-key, 0x200 music, 0x400 screen
};

// One `key` element of the keyboard picture.
struct LayoutKey {
    int code = 0;  // key code (hexadecimal in the file)
    std::wstring name;
    std::wstring description;
    int keyIndex = 0;  // index in the keyboard's command tables = light position
    KeyRect rect;      // on the keyboard picture
    int row = 0, column = 0;
    bool fnLayerDisabled = false;
};

struct FirmwareRecord {
    std::wstring version, file, url, dongleUrl;
};

struct LightRecord {
    bool rgbKeyboard = false;
    int defaultMode = 0, defaultBrightness = 0, defaultSpeed = 0;
    int brightnessMax = 0, speedMax = 0;
};

struct KeyboardPicture {
    int xpos = 0, ypos = 0, width = 0, height = 0;
    std::wstring image;  // as the views get it: "keyboard/" + the attribute
    int rowCount = 0, columnCount = 0;
};

}  // namespace keyloft
