// Choosing the virtual keyboard from the environment, and the test-side scope.
#include <gtest/gtest.h>

#include <cstdlib>

#include "base/Clock.h"
#include "device/DeviceCommands.h"
#include "devicesim/Simulator.h"

namespace keyloft::devicesim {
namespace {

TEST(Simulator, EnvironmentSelectsTheVirtualKeyboard) {
    unsetenv("KEYLOFT_SIMULATOR");
    EXPECT_EQ(InstallSimulatorFromEnvironment(), SimulatorChoice::None);
    EXPECT_EQ(InstalledSimulator(), nullptr);

    setenv("KEYLOFT_SIMULATOR", "usb", 1);
    std::string message;
    EXPECT_EQ(InstallSimulatorFromEnvironment(&message), SimulatorChoice::UnknownName);
    EXPECT_NE(message.find("usb"), std::string::npos);
    EXPECT_EQ(&DefaultHidBackend(), &HidapiBackendInstance());

    setenv("KEYLOFT_SIMULATOR", "receiver-unlinked", 1);
    EXPECT_EQ(InstallSimulatorFromEnvironment(), SimulatorChoice::Installed);
    ASSERT_NE(InstalledSimulator(), nullptr);
    EXPECT_EQ(&DefaultHidBackend(), InstalledSimulator());
    EXPECT_EQ(InstalledSimulator()->Setup().links.at(0).link, kLinkNone);

    SetDefaultHidBackend(nullptr);
    unsetenv("KEYLOFT_SIMULATOR");
}

TEST(Simulator, ScopedKeyboardServesTheProcessWideManagerAndGivesItBack) {
    VirtualClock clock;
    ScopedClock scoped(clock);
    HidBackend* before = &HidDeviceManager::Instance().Backend();
    {
        ScopedVirtualKeyboard kb(KeyboardSetup::Receiver());
        EXPECT_EQ(kb.selector(), 2);
        EXPECT_EQ(&kb.manager().Backend(), &kb.keyboard());
        EXPECT_TRUE(SendSleepTime(kb.manager(), FramingForSelector(kb.selector()), 4));
        EXPECT_EQ(kb->State().sleepTime, 4);

        kb->Unplug(2);
        EXPECT_EQ(kb.Rescan(), -1);
    }
    EXPECT_EQ(&HidDeviceManager::Instance().Backend(), before);
    EXPECT_TRUE(HidDeviceManager::Instance().Models().empty());
}

}  // namespace
}  // namespace keyloft::devicesim
