// Registers the connection modes of config.xml with the process's HID device
// manager: the ModeRegistrar that the main controller gives DeviceDescription::Load.
// UI thread, before the worker thread starts its first rescan.
#pragma once

#include "config/DeviceRecords.h"

namespace keyloft {

class HidDeviceManager;

void RegisterDeviceModel(HidDeviceManager& manager, const ModeEntry& mode);
// The same with HidDeviceManager::Instance().
void RegisterDeviceModel(const ModeEntry& mode);

}  // namespace keyloft
