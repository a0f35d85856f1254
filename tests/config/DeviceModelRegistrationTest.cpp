// The configured modes reach the HID device manager as its supported models.
#include <gtest/gtest.h>

#include "config/AppPaths.h"
#include "config/DeviceDescription.h"
#include "config/DeviceModelRegistration.h"
#include "device/HidBackend.h"
#include "device/HidDeviceManager.h"
#include "FakeDeviceHost.h"

namespace keyloft {
namespace {

// A HID library with nothing plugged in: registration needs no interface.
class NoDevices : public HidBackend {
public:
    bool Init() override { return true; }
    void Shutdown() override {}
    std::vector<HidInterfaceInfo> Enumerate() override { return {}; }
    HidHandle* Open(const std::string&) override { return nullptr; }
    void Close(HidHandle*) override {}
    int Write(HidHandle*, const std::uint8_t*, std::size_t) override { return -1; }
    int ReadTimeout(HidHandle*, std::uint8_t*, std::size_t, int) override { return -1; }
    int SendFeatureReport(HidHandle*, const std::uint8_t*, std::size_t) override { return -1; }
    int GetFeatureReport(HidHandle*, std::uint8_t*, std::size_t) override { return -1; }
};

TEST(DeviceModelRegistration, EveryShippedModeBecomesAModel) {
    NoDevices backend;
    HidDeviceManager manager(backend);
    SetProgramDirectory(KEYLOFT_RUNTIME_DIR);
    testing::FakeDeviceHost host;
    DeviceDescription description;
    ASSERT_TRUE(description.Load(host, [&](const ModeEntry& mode) { RegisterDeviceModel(manager, mode); }));
    SetProgramDirectory("");

    std::vector<DeviceModel> models = manager.Models();
    ASSERT_EQ(models.size(), description.Modes().size());
    for (std::size_t i = 0; i < models.size(); ++i) {
        const ModeEntry& mode = description.Modes()[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(models[i].vendorId, mode.vendorId);
        EXPECT_EQ(models[i].productId, mode.productId);
        EXPECT_EQ(models[i].release, mode.release);
        EXPECT_EQ(models[i].productName, mode.name);
        EXPECT_EQ(models[i].deviceType, mode.deviceType);
        EXPECT_EQ(models[i].mode, mode.mode);
        EXPECT_EQ(models[i].interfacePattern, mode.interfacePattern);
    }
    EXPECT_EQ(models[2].productId, 0x4012);
    EXPECT_EQ(models[2].mode, 2);
}

}  // namespace
}  // namespace keyloft
