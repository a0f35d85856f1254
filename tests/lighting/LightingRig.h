// A lighting test bench: a virtual keyboard under a device manager of its own,
// on virtual time, and a profile store in a fresh temporary folder.
#pragma once

#include "base/Clock.h"
#include "device/HidDeviceManager.h"
#include "devicesim/Simulator.h"
#include "devicesim/VirtualKeyboard.h"
#include "store/ProfileStore.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

namespace keyloft::testing {

using devicesim::KeyboardSetup;

struct LightingRig {
    VirtualClock clock;
    ScopedClock scoped{clock};
    devicesim::VirtualKeyboard kb;
    HidDeviceManager hid{kb};
    std::filesystem::path dir;
    ProfileStore store;

    explicit LightingRig(KeyboardSetup setup, int deviceType = devicesim::kK1DeviceType) : kb(std::move(setup)) {
        static std::atomic<int> serial{0};
        dir = std::filesystem::temp_directory_path() /
              ("keyloft-lighting-" + std::to_string(getpid()) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(dir);
        EXPECT_TRUE(store.Open(dir.wstring() + L"/", L"test"));
        devicesim::RegisterConfiguredModels(hid);
        hid.CloseAll();
        hid.OpenAll();
        hid.SetOpened(1);
        hid.SetSelectedType(0);
        hid.SetSelectedType(deviceType);
    }
    ~LightingRig() {
        store.Close();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    std::size_t Mark() {
        clock.ClearPauses();
        return kb.Reports().size();
    }

    // "<kind> <hex without trailing zeros>" for every report since `mark`.
    std::vector<std::string> SentSince(std::size_t mark) {
        std::vector<std::string> out;
        for (const auto& r : kb.ReportsAfter(mark))
            out.push_back(std::string(devicesim::ReportKindName(r.kind)) + " " + devicesim::HexBytes(r.bytes));
        return out;
    }
};

}  // namespace keyloft::testing
