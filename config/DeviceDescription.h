// DeviceDescription: the device list of config.xml and the layout of the selected
// keyboard model.
//
// config.xml names every keyboard model with its layout file and the USB identities
// of its connection modes; the model's layout file (layouts/<device_info>.xml) says
// which pages exist, which lighting modes the keyboard and the light box have, where
// the firmware is, and where every key sits on the keyboard picture. Both files are
// read-only to the program. What the loading does to the window goes through a
// DeviceDescriptionHost; registering the modes with the HID device manager goes
// through the ModeRegistrar the caller passes (see DeviceModelRegistration.h).
//
// Owned by the main controller and used on the UI thread; the lighting and key code
// read its tables afterwards. Bad files never fail loudly: a missing or broken
// config.xml leaves both lists empty, a missing or broken layout keeps the previous
// model's layout data (none at start-up).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "config/DeviceDescriptionHost.h"
#include "config/DeviceRecords.h"
#include "config/SoftwareInfo.h"

namespace keyloft {

class DeviceDescription {
public:
    using ModeRegistrar = std::function<void(const ModeEntry&)>;
    using KeyMatrix = std::array<std::array<std::uint8_t, 32>, 8>;

    static constexpr int kOwnDeviceType = 301;
    static constexpr int kMatrixRows = 8;
    static constexpr int kMatrixColumns = 32;

    // Page flags: bit 0 key assignment, bit 1 macros, bit 2 lighting, bit 6 the
    // settings page's keyboard view.
    static constexpr int kPageKeys = 0x01, kPageMacros = 0x02, kPageLighting = 0x04, kPageSettingsView = 0x40;

    DeviceDescription();

    // Reads <program directory>config.xml (or `configPath`): every keyboard goes to
    // the device widget, every mode to `registrar`, then the software information;
    // finally selects the model of device type 301. False when config.xml was
    // missing or not well-formed (the lists are then empty).
    bool Load(DeviceDescriptionHost& host, const ModeRegistrar& registrar);
    bool Load(const std::string& configPath, DeviceDescriptionHost& host, const ModeRegistrar& registrar);

    // Selects the first model of this device type and loads its layout. False when
    // the layout could not be loaded (the previous layout data stay).
    bool SelectModel(int deviceType, DeviceDescriptionHost& host);

    const std::vector<KeyboardEntry>& Keyboards() const { return keyboards_; }
    const std::vector<ModeEntry>& Modes() const { return modes_; }
    const SoftwareInfo& Software() const { return software_; }

    int SelectedDeviceType() const { return selectedType_; }
    const std::wstring& ModelName() const { return modelName_; }
    int PageFlags() const { return pageFlags_; }
    bool SleepTimeFlag() const { return sleepTime_; }
    const FirmwareRecord& Firmware() const { return firmware_; }
    const LightRecord& Light() const { return light_; }
    const LightRecord& LightBox() const { return lightBox_; }
    const std::vector<LightModeEntry>& LightModes() const { return lightModes_; }
    const std::vector<LightModeEntry>& LightBoxModes() const { return lightBoxModes_; }
    const KeyboardPicture& Picture() const { return picture_; }
    const std::vector<LayoutKey>& Keys() const { return keys_; }

    // Key index by key code; the key-assignment and the lighting code each have a
    // map of their own, with the same contents.
    const std::map<int, int>& KeyIndexByCode() const { return keyIndexForKeys_; }
    const std::map<int, int>& LightIndexByCode() const { return keyIndexForLighting_; }
    // Codes that cannot be reassigned on the Fn layer.
    const std::set<int>& FnLayerDisabled() const { return fnLayerDisabled_; }
    // 8 rows of 32 bytes: the low byte of the code of the key at (row, column),
    // 0xFF where there is none.
    const KeyMatrix& Matrix() const { return matrix_; }

    // The ids of the keyboard views that the page flags enable.
    static std::vector<int> EnabledViews(int pageFlags);

private:
    void LoadLayoutKeys(class XmlDocument& doc, DeviceDescriptionHost& host, const std::vector<int>& views);

    std::vector<KeyboardEntry> keyboards_;
    std::vector<ModeEntry> modes_;
    SoftwareInfo software_;

    int selectedType_ = 0;
    std::wstring modelName_;
    int pageFlags_ = 0;
    bool sleepTime_ = false;
    FirmwareRecord firmware_;
    LightRecord light_;
    LightRecord lightBox_;
    std::vector<LightModeEntry> lightModes_;
    std::vector<LightModeEntry> lightBoxModes_;
    KeyboardPicture picture_;
    std::vector<LayoutKey> keys_;
    std::map<int, int> keyIndexForKeys_;
    std::map<int, int> keyIndexForLighting_;
    std::set<int> fnLayerDisabled_;
    KeyMatrix matrix_;
};

}  // namespace keyloft
