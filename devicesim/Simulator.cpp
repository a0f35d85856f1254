#include "devicesim/Simulator.h"

#include <cstdlib>

#include "device/HidBackend.h"

namespace keyloft::devicesim {

namespace {
// Lives until the process ends: the manager may use it from its own destructor.
VirtualKeyboard* g_installed = nullptr;
}  // namespace

SimulatorChoice InstallSimulatorFromEnvironment(std::string* message) {
    const char* name = std::getenv("KEYLOFT_SIMULATOR");
    if (!name || !*name) return SimulatorChoice::None;
    std::optional<KeyboardSetup> setup = KeyboardSetup::FromName(name);
    if (!setup) {
        if (message) {
            *message = std::string("KEYLOFT_SIMULATOR=") + name +
                       " is not one of cable, receiver, receiver-unlinked; using the real HID library";
        }
        return SimulatorChoice::UnknownName;
    }
    if (!g_installed) g_installed = new VirtualKeyboard(*setup);
    if (const char* log = std::getenv("KEYLOFT_SIMULATOR_LOG"); log && *log) {
        if (!g_installed->OpenLog(log) && message) {
            *message = std::string("cannot open KEYLOFT_SIMULATOR_LOG file ") + log;
        }
    }
    SetDefaultHidBackend(g_installed);
    return SimulatorChoice::Installed;
}

VirtualKeyboard* InstalledSimulator() { return g_installed; }

void RegisterConfiguredModels(HidDeviceManager& hid) {
    hid.AddDeviceModel(kVendorId, kK1CablePid, 0x0105, L"", kK1DeviceType, 0, L"VID_35C1&PID_4011");
    hid.AddDeviceModel(kVendorId, kK1BluetoothPid, 0x0105, L"", kK1DeviceType, 1, L"VID_35C1&PID_4013");
    hid.AddDeviceModel(kVendorId, kK1ReceiverPid, 0x0203, L"", kK1DeviceType, 2, L"VID_35C1&PID_4012");
    hid.AddDeviceModel(kVendorId, kK0CablePid, 0x0101, L"", kK0DeviceType, 0, L"VID_35C1&PID_2101");
    hid.AddDeviceModel(kVendorId, kK2CablePid, 0x0102, L"", kK2DeviceType, 0, L"VID_35C1&PID_3201");
}

ScopedVirtualKeyboard::ScopedVirtualKeyboard(KeyboardSetup setup)
    : keyboard_(std::make_unique<VirtualKeyboard>(std::move(setup))) {
    deviceType_ = keyboard_->Setup().family == 1   ? kK0DeviceType
                  : keyboard_->Setup().family == 2 ? kK2DeviceType
                                                   : kK1DeviceType;
    HidDeviceManager& hid = manager();
    previous_ = &hid.Backend();
    hid.UseBackend(keyboard_.get());
    hid.ClearDeviceModels();
    RegisterConfiguredModels(hid);
    Rescan();
}

ScopedVirtualKeyboard::~ScopedVirtualKeyboard() {
    HidDeviceManager& hid = manager();
    hid.SetSelectedType(0);
    hid.ClearDeviceModels();
    hid.UseBackend(previous_);
}

int ScopedVirtualKeyboard::Rescan() {
    HidDeviceManager& hid = manager();
    hid.CloseAll();
    hid.OpenAll();
    hid.SetOpened(1);
    hid.SetSelectedType(0);
    hid.SetSelectedType(deviceType_);
    selector_ = hid.GetActiveMode();
    return selector_;
}

}  // namespace keyloft::devicesim
