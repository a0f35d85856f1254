// Choosing the virtual keyboard in place of the HID library.
//
// The program and keyloft-probe call InstallSimulatorFromEnvironment() first thing
// in main, before the device manager is used: with KEYLOFT_SIMULATOR set to
// "cable", "receiver" or "receiver-unlinked" it builds a virtual keyboard (alive
// until exit) and makes it the manager's backend; KEYLOFT_SIMULATOR_LOG=<file>
// appends every report it receives to that file.
//
// ScopedVirtualKeyboard is the test-side counterpart: it puts a virtual keyboard
// under HidDeviceManager::Instance() for one scope, registers the configured
// models, runs a rescan (CloseAll, OpenAll, opened := 1) and selects the keyboard's
// device type, so a test can start sending at once. On destruction the manager is
// closed and returned to its previous backend. One at a time, on the test's thread.
#pragma once

#include <memory>
#include <string>

#include "device/HidDeviceManager.h"
#include "devicesim/VirtualKeyboard.h"

namespace keyloft::devicesim {

// Outcome of InstallSimulatorFromEnvironment.
enum class SimulatorChoice { None, Installed, UnknownName };

// Reads KEYLOFT_SIMULATOR / KEYLOFT_SIMULATOR_LOG. With an unknown name nothing is
// installed (the real library is used) and UnknownName is returned; `message` then
// says why, for the caller to print.
SimulatorChoice InstallSimulatorFromEnvironment(std::string* message = nullptr);
// The keyboard installed by the call above, or nullptr.
VirtualKeyboard* InstalledSimulator();

// Registers the configured models (own keyboard's three modes, family 1 and 2
// models) with their ids and interface patterns, as the device list does.
void RegisterConfiguredModels(HidDeviceManager& hid);

class ScopedVirtualKeyboard {
public:
    explicit ScopedVirtualKeyboard(KeyboardSetup setup);
    ~ScopedVirtualKeyboard();
    ScopedVirtualKeyboard(const ScopedVirtualKeyboard&) = delete;
    ScopedVirtualKeyboard& operator=(const ScopedVirtualKeyboard&) = delete;

    VirtualKeyboard& keyboard() { return *keyboard_; }
    VirtualKeyboard* operator->() { return keyboard_.get(); }
    HidDeviceManager& manager() { return HidDeviceManager::Instance(); }
    // GetActiveMode() after the rescan: the framing selector the controller would hold.
    int selector() const { return selector_; }
    // The device type of the keyboard's family (301, 101 or 201), selected after each rescan.
    int deviceType() const { return deviceType_; }
    // CloseAll, OpenAll, opened := 1, selected type 0 then the keyboard's type;
    // returns the new selector.
    int Rescan();

private:
    std::unique_ptr<VirtualKeyboard> keyboard_;
    HidBackend* previous_ = nullptr;
    int deviceType_;
    int selector_ = -1;
};

}  // namespace keyloft::devicesim
