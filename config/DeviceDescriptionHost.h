// What loading the device list and selecting a model does to the rest of the
// program: the device widget, the main tab control, the firmware button, the
// lighting sliders, the keyboard views, the profile store and the macro recorder.
// The main window implements it; tests use a fake that records the calls.
// Called on the UI thread, from DeviceDescription's operations only.
#pragma once

#include <string>

#include "config/DeviceRecords.h"

namespace keyloft {

class DeviceDescriptionHost {
public:
    virtual ~DeviceDescriptionHost() = default;

    // One keyboard of config.xml for the device widget (CDeviceCtrl::AddDevice with
    // the name, 0, 0, the device type and false).
    virtual void AddDevice(const std::wstring& name, int deviceType) = 0;
    // Close the profile store and open the database of this model (an empty name
    // when no model matched).
    virtual void OpenModelStore(const std::wstring& modelName) = 0;
    virtual void SetMacroEventLimit(int limit) = 0;

    // Main tab control positions 1 (keys), 2 (macros), 3 (lighting).
    virtual void SetTabVisible(int position, bool visible) = 0;
    // A control by id: the firmware update button 278.
    virtual void SetControlVisible(int controlId, bool visible) = 0;
    // Slider maxima: 80/82 (keyboard brightness/speed), 159/161 (light box).
    virtual void SetSliderMaximum(int sliderId, int maximum) = 0;

    // Keyboard views by id: 68 (keys), 77 and 156 (lighting), 279 (settings).
    virtual void ClearKeyboardView(int viewId) = 0;
    virtual void SetKeyboardPicture(int viewId, const KeyRect& place, const std::wstring& image, int width,
                                    int height) = 0;
    // KeyboardCtrl::AddKeyItem(name, description, code, rectangle, empty icon).
    virtual void AddKeyItem(int viewId, const LayoutKey& key) = 0;
};

}  // namespace keyloft
