#include "config/DeviceDescription.h"

#include "base/WideString.h"
#include "config/AppPaths.h"
#include "config/XmlDocument.h"

namespace keyloft {

namespace {

// Control ids of the main window that a layout drives.
constexpr int kKeysView = 68;
constexpr int kLightingView = 77;
constexpr int kLightBoxView = 156;
constexpr int kSettingsView = 279;
constexpr int kFirmwareButton = 278;
constexpr int kBrightnessSlider = 80;
constexpr int kSpeedSlider = 82;
constexpr int kLightBoxBrightnessSlider = 159;
constexpr int kLightBoxSpeedSlider = 161;

void ReadLightModes(XmlDocument& doc, std::vector<LightModeEntry>& out) {
    out.clear();
    if (!doc.EnterElement()) return;
    while (doc.FindElement(L"info")) {
        LightModeEntry entry;
        entry.name = doc.GetAttribute(L"name");
        entry.mode = ParseDecimal(doc.GetAttribute(L"mode"));
        entry.attribute = ParseDecimal(doc.GetAttribute(L"attribute"));
        out.push_back(std::move(entry));
    }
    doc.LeaveElement();
}

// A layout name names a file inside layouts/; one that could leave that folder is
// refused rather than followed.
bool IsPlainLayoutName(const std::wstring& name) {
    return !name.empty() && name.find(L'/') == std::wstring::npos && name != L"." && name != L"..";
}

}  // namespace

DeviceDescription::DeviceDescription() {
    for (auto& row : matrix_) row.fill(0xFF);
}

std::vector<int> DeviceDescription::EnabledViews(int pageFlags) {
    std::vector<int> views;
    if (pageFlags & kPageKeys) views.push_back(kKeysView);
    if (pageFlags & kPageLighting) {
        views.push_back(kLightingView);
        views.push_back(kLightBoxView);
    }
    if (pageFlags & kPageSettingsView) views.push_back(kSettingsView);
    return views;
}

bool DeviceDescription::Load(DeviceDescriptionHost& host, const ModeRegistrar& registrar) {
    return Load(ProgramDirectory() + "config.xml", host, registrar);
}

bool DeviceDescription::Load(const std::string& configPath, DeviceDescriptionHost& host,
                             const ModeRegistrar& registrar) {
    keyboards_.clear();
    modes_.clear();
    software_ = SoftwareInfo{};

    XmlDocument doc;
    bool loaded = doc.LoadFile(configPath) && doc.FindElement(L"config");
    if (loaded) {
        doc.EnterElement();
        if (doc.FindElement(L"device.info") && doc.EnterElement()) {
            while (doc.FindElement(L"keyboard")) {
                KeyboardEntry keyboard;
                keyboard.name = doc.GetAttribute(L"name");
                keyboard.deviceType = ParseDecimal(doc.GetAttribute(L"device_type"));
                keyboard.layoutName = doc.GetAttribute(L"device_info");
                keyboards_.push_back(keyboard);
                host.AddDevice(keyboard.name, keyboard.deviceType);

                doc.EnterElement();
                while (doc.FindElement(L"mode")) {
                    ModeEntry mode;
                    static_cast<KeyboardEntry&>(mode) = keyboard;
                    mode.name = doc.GetAttribute(L"product_name");
                    mode.mode = ParseDecimal(doc.GetAttribute(L"value"));
                    mode.description = doc.GetAttribute(L"desc");
                    mode.vendorId = ParseHex(doc.GetAttribute(L"vid"));
                    mode.productId = ParseHex(doc.GetAttribute(L"pid"));
                    mode.release = ParseHex(doc.GetAttribute(L"rev"));
                    mode.interfacePattern = doc.GetAttribute(L"hid_interface");
                    modes_.push_back(mode);
                    if (registrar) registrar(mode);
                }
                doc.LeaveElement();
            }
            doc.LeaveElement();
        }
        ReadSoftwareInfo(doc, software_);
    }
    SelectModel(kOwnDeviceType, host);
    return loaded;
}

bool DeviceDescription::SelectModel(int deviceType, DeviceDescriptionHost& host) {
    firmware_.url.clear();
    firmware_.dongleUrl.clear();

    std::wstring layoutName, modelName;
    for (const KeyboardEntry& keyboard : keyboards_) {
        if (keyboard.deviceType == deviceType) {
            layoutName = keyboard.layoutName;
            modelName = keyboard.name;
            break;
        }
    }
    selectedType_ = deviceType;
    host.OpenModelStore(modelName);
    modelName_ = modelName;
    if (deviceType >= 300 && deviceType <= 399) host.SetMacroEventLimit(60);

    if (!IsPlainLayoutName(layoutName)) return false;
    XmlDocument doc;
    if (!doc.LoadFile(ProgramDirectory() + "layouts/" + WideToUtf8(layoutName) + ".xml")) return false;
    if (!doc.FindElement(L"device.info") || !doc.EnterElement()) return false;

    // Each child is searched after the one found before it, so the file must list
    // them in this order; one out of order is not seen.
    if (doc.FindElement(L"menu")) {
        pageFlags_ = 0x41;
        if (IsOne(doc.GetAttribute(L"macro"))) pageFlags_ |= kPageMacros;
        if (IsOne(doc.GetAttribute(L"light_mode"))) pageFlags_ |= kPageLighting;
        host.SetTabVisible(1, pageFlags_ & kPageKeys);
        host.SetTabVisible(2, pageFlags_ & kPageMacros);
        host.SetTabVisible(3, pageFlags_ & kPageLighting);
    }
    if (doc.FindElement(L"function")) sleepTime_ = IsOne(doc.GetAttribute(L"sleep_time"));
    if (doc.FindElement(L"firmware")) {
        firmware_.version = doc.GetAttribute(L"version");
        firmware_.file = doc.GetAttribute(L"file");
        firmware_.url = doc.GetAttribute(L"url");
        firmware_.dongleUrl = doc.GetAttribute(L"dongle_url");
        host.SetControlVisible(kFirmwareButton, !firmware_.version.empty() && !firmware_.file.empty());
    }
    if (doc.FindElement(L"light")) {
        light_.rgbKeyboard = IsOne(doc.GetAttribute(L"rgb_keyboard"));
        light_.defaultMode = ParseDecimal(doc.GetAttribute(L"default_mode"));
        light_.defaultBrightness = ParseDecimal(doc.GetAttribute(L"default_brightness"));
        light_.defaultSpeed = ParseDecimal(doc.GetAttribute(L"default_speed"));
        light_.brightnessMax = ParseDecimal(doc.GetAttribute(L"brightness_max"));
        light_.speedMax = ParseDecimal(doc.GetAttribute(L"speed_max"));
        host.SetSliderMaximum(kBrightnessSlider, light_.brightnessMax);
        host.SetSliderMaximum(kSpeedSlider, light_.speedMax);
        ReadLightModes(doc, lightModes_);
    }
    if (doc.FindElement(L"lightbox")) {
        lightBox_.brightnessMax = ParseDecimal(doc.GetAttribute(L"brightness_max"));
        lightBox_.speedMax = ParseDecimal(doc.GetAttribute(L"speed_max"));
        if (lightBox_.brightnessMax > 0) host.SetSliderMaximum(kLightBoxBrightnessSlider, lightBox_.brightnessMax);
        if (lightBox_.speedMax > 0) host.SetSliderMaximum(kLightBoxSpeedSlider, lightBox_.speedMax);
        ReadLightModes(doc, lightBoxModes_);
    }

    keyIndexForKeys_.clear();
    keyIndexForLighting_.clear();
    fnLayerDisabled_.clear();
    keys_.clear();
    picture_.rowCount = picture_.columnCount = 0;
    for (auto& row : matrix_) row.fill(0xFF);
    const std::vector<int> views = EnabledViews(pageFlags_);
    for (int view : views) host.ClearKeyboardView(view);

    if (doc.FindElement(L"Keyboard")) {
        picture_.xpos = ParseDecimal(doc.GetAttribute(L"xpos"));
        picture_.ypos = ParseDecimal(doc.GetAttribute(L"ypos"));
        picture_.width = ParseDecimal(doc.GetAttribute(L"width"));
        picture_.height = ParseDecimal(doc.GetAttribute(L"height"));
        picture_.image = L"keyboard/" + doc.GetAttribute(L"image");
        picture_.rowCount = ParseDecimal(doc.GetAttribute(L"row_count"));
        picture_.columnCount = ParseDecimal(doc.GetAttribute(L"col_count"));
        KeyRect place{picture_.xpos, picture_.ypos, picture_.xpos + picture_.width, picture_.ypos + picture_.height};
        for (int view : views) host.SetKeyboardPicture(view, place, picture_.image, picture_.width, picture_.height);
        LoadLayoutKeys(doc, host, views);
    }
    return true;
}

void DeviceDescription::LoadLayoutKeys(XmlDocument& doc, DeviceDescriptionHost& host, const std::vector<int>& views) {
    if (!doc.EnterElement()) return;
    if (doc.FindElement(L"KeyItems") && doc.EnterElement()) {
        while (doc.FindElement(L"key")) {
            LayoutKey key;
            key.code = ParseHex(doc.GetAttribute(L"code"));
            key.name = doc.GetAttribute(L"name");
            key.description = doc.GetAttribute(L"desc");
            key.keyIndex = ParseDecimal(doc.GetAttribute(L"key_index"));
            key.fnLayerDisabled = doc.GetAttribute(L"fnlayer_disable") == L"1";
            ParseRowCol(doc.GetAttribute(L"row_col"), key.row, key.column);
            key.rect = ParseRect(doc.GetAttribute(L"rect"));
            // light_index and icon are in every key element but mean nothing here.

            keyIndexForKeys_[key.code] = key.keyIndex;
            keyIndexForLighting_[key.code] = key.keyIndex;
            if (key.fnLayerDisabled) fnLayerDisabled_.insert(key.code);
            // The matrix has room for rows 0 to 7 and columns 0 to 31; a key outside
            // it stays in the maps and the views but gets no matrix place.
            if (key.row >= 0 && key.row < kMatrixRows && key.column >= 0 && key.column < kMatrixColumns)
                matrix_[key.row][key.column] = static_cast<std::uint8_t>(key.code & 0xFF);
            for (int view : views) host.AddKeyItem(view, key);
            keys_.push_back(std::move(key));
        }
        doc.LeaveElement();
    }
    doc.LeaveElement();
}

}  // namespace keyloft
