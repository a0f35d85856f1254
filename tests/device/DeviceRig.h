// A device manager of its own over a virtual keyboard, on virtual time.
#pragma once

#include <string>
#include <vector>

#include "base/Clock.h"
#include "device/CommandPacket.h"
#include "device/HidDeviceManager.h"
#include "devicesim/Simulator.h"
#include "devicesim/VirtualKeyboard.h"

namespace keyloft::testing {

using devicesim::KeyboardSetup;

struct Rig {
    VirtualClock clock;
    ScopedClock scoped{clock};
    devicesim::VirtualKeyboard kb;
    HidDeviceManager hid{kb};

    explicit Rig(KeyboardSetup setup, bool registerModels = true) : kb(std::move(setup)) {
        if (registerModels) devicesim::RegisterConfiguredModels(hid);
    }

    // The controller's rescan; returns the framing selector.
    int Rescan(int deviceType = devicesim::kK1DeviceType) {
        hid.CloseAll();
        hid.OpenAll();
        hid.SetOpened(1);
        hid.SetSelectedType(0);
        hid.SetSelectedType(deviceType);
        return hid.GetActiveMode();
    }

    // Forget the pauses so far and remember how many reports there were.
    std::size_t Mark() {
        clock.ClearPauses();
        return kb.Reports().size();
    }

    // "<kind> <hex without trailing zeros>" for every report since `mark`.
    std::vector<std::string> SentSince(std::size_t mark) {
        std::vector<std::string> out;
        for (const auto& r : kb.ReportsAfter(mark)) {
            std::string line = devicesim::ReportKindName(r.kind);
            line += ' ';
            line += devicesim::HexBytes(r.bytes);
            out.push_back(line);
        }
        return out;
    }
};

}  // namespace keyloft::testing
