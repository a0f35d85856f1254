#include "config/DeviceModelRegistration.h"

#include "device/HidDeviceManager.h"

namespace keyloft {

void RegisterDeviceModel(HidDeviceManager& manager, const ModeEntry& mode) {
    manager.AddDeviceModel(mode.vendorId, mode.productId, mode.release, mode.name, mode.deviceType, mode.mode,
                           mode.interfacePattern);
}

void RegisterDeviceModel(const ModeEntry& mode) { RegisterDeviceModel(HidDeviceManager::Instance(), mode); }

}  // namespace keyloft
