// The device list of config.xml and the layout of the selected model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/AppPaths.h"
#include "config/DeviceDescription.h"
#include "FakeDeviceHost.h"
#include "TestFiles.h"

namespace keyloft {
namespace {

using testing::FakeDeviceHost;
using testing::TempDir;
using testing::WriteBytes;

const char* const kConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<config>
  <device.info>
    <keyboard name="Model Three" device_type="301" device_info="L3">
      <mode value="0" desc="cable" vid="1A2B" pid="0x4011" rev="0102" product_name="Cable KB" hid_interface="VID_1A2B&amp;PID_4011"/>
      <mode value="2" desc="receiver" vid="1a2b" pid="4012" rev="" product_name="" hid_interface="VID_1A2B&amp;PID_4012"/>
    </keyboard>
    <keyboard name="Model One" device_type=" 101" device_info="L1"/>
    <keyboard name="Model Escape" device_type="150" device_info="../L3"/>
  </device.info>
  <software name="Kb" version="1.0.1">
    <website url="https://w.example/"/>
  </software>
</config>
)";

// A layout with every element; `extra` goes into KeyItems before its end.
std::string Layout(const std::string& menu, const std::string& lightbox, const std::string& keys) {
    return "<?xml version=\"1.0\"?>\r\n<device.info>\r\n" + menu +
           "<function sleep_time=\"1\"/>\r\n"
           "<firmware version=\"1.2\" file=\"fw\" url=\"https://fw.example/\" dongle_url=\"https://dg.example/\"/>\r\n"
           "<light rgb_keyboard=\"1\" default_mode=\"4\" default_brightness=\"3\" default_speed=\"2\" "
           "brightness_max=\"0\" speed_max=\"5\">\r\n"
           "<info name=\"401\" mode=\"1\" attribute=\"113\"/><info name=\"413\" mode=\"24\" attribute=\"257\"/>\r\n"
           "</light>\r\n" +
           lightbox +
           "<Keyboard xpos=\"340\" ypos=\"168\" width=\"920\" height=\"270\" image=\"L3.png\" row_count=\"6\" "
           "col_count=\"23\">\r\n<KeyItems>\r\n" +
           keys + "</KeyItems>\r\n</Keyboard>\r\n</device.info>\r\n";
}

const char* const kFullMenu = "<menu macro=\"1\" light_mode=\"1\"/>\r\n";
const char* const kLightbox =
    "<lightbox brightness_max=\"0\" speed_max=\"3\"><info name=\"402\" mode=\"2\" attribute=\"3\"/></lightbox>\r\n";
const char* const kTwoKeys =
    "<key code=\"29\" name=\"Esc\" desc=\"Escape\" key_index=\"0\" light_index=\"0\" icon=\"\" fnlayer_disable=\"0\" "
    "row_col=\"0,0\" rect=\"12,12,36,36\"/>\r\n"
    "<key code=\"AF\" name=\"Fn\" desc=\"Fn\" key_index=\"99\" light_index=\"99\" icon=\"\" fnlayer_disable=\"1\" "
    "row_col=\"5,11\" rect=\"10,20,30,40\"/>\r\n";

class DeviceDescriptionTest : public ::testing::Test {
protected:
    void SetUp() override { SetProgramDirectory(dir_.path()); }
    void TearDown() override { SetProgramDirectory(""); }

    void WriteConfig(const std::string& text) { WriteBytes(dir_ / "config.xml", text); }
    void WriteLayout(const std::string& name, const std::string& text) {
        WriteBytes(dir_ / ("layouts/" + name + ".xml"), text);
    }
    bool Load() {
        return description_.Load(host_, [this](const ModeEntry& m) { registered_.push_back(m); });
    }

    TempDir dir_;
    FakeDeviceHost host_;
    DeviceDescription description_;
    std::vector<ModeEntry> registered_;
};

TEST_F(DeviceDescriptionTest, KeyboardsAndModesAreReadRegisteredAndShown) {
    WriteConfig(kConfig);
    WriteLayout("L3", Layout(kFullMenu, kLightbox, kTwoKeys));
    ASSERT_TRUE(Load());

    ASSERT_EQ(description_.Keyboards().size(), 3u);
    EXPECT_EQ(description_.Keyboards()[0].name, L"Model Three");
    EXPECT_EQ(description_.Keyboards()[0].deviceType, 301);
    EXPECT_EQ(description_.Keyboards()[1].deviceType, 101);  // leading space accepted
    EXPECT_EQ(host_.devices, (std::vector<std::pair<std::wstring, int>>{
                                 {L"Model Three", 301}, {L"Model One", 101}, {L"Model Escape", 150}}));

    // Two modes of one keyboard: two entries with the modes' product names.
    ASSERT_EQ(description_.Modes().size(), 2u);
    const ModeEntry& cable = description_.Modes()[0];
    EXPECT_EQ(cable.name, L"Cable KB");
    EXPECT_EQ(cable.deviceType, 301);
    EXPECT_EQ(cable.layoutName, L"L3");
    EXPECT_EQ(cable.mode, 0);
    EXPECT_EQ(cable.vendorId, 0x1A2B);
    EXPECT_EQ(cable.productId, 0x4011);
    EXPECT_EQ(cable.release, 0x0102);
    EXPECT_EQ(cable.description, L"cable");
    EXPECT_EQ(cable.interfacePattern, L"VID_1A2B&PID_4011");
    const ModeEntry& receiver = description_.Modes()[1];
    EXPECT_EQ(receiver.name, L"");
    EXPECT_EQ(receiver.mode, 2);
    EXPECT_EQ(receiver.vendorId, 0x1A2B);
    EXPECT_EQ(receiver.release, 0);  // missing reads as 0
    ASSERT_EQ(registered_.size(), 2u);
    EXPECT_EQ(registered_[1].productId, 0x4012);

    EXPECT_EQ(description_.Software().name, L"Kb");
    EXPECT_EQ(description_.Software().website, L"https://w.example/");

    // The model of type 301 is selected at the end.
    EXPECT_EQ(description_.SelectedDeviceType(), 301);
    EXPECT_EQ(description_.ModelName(), L"Model Three");
    EXPECT_EQ(host_.openedStores, std::vector<std::wstring>{L"Model Three"});
    EXPECT_EQ(host_.macroEventLimit, 60);
    EXPECT_EQ(description_.Keys().size(), 2u);
}

TEST_F(DeviceDescriptionTest, MissingOrBrokenConfigLeavesEmptyListsAndOpensTheUnnamedStore) {
    for (const char* config : {"", "<config><device.info><keyboard name='x' device_type='301' device_info='L3'>"}) {
        SCOPED_TRACE(config);
        if (*config) WriteConfig(config);
        WriteLayout("L3", Layout(kFullMenu, kLightbox, kTwoKeys));
        DeviceDescription description;
        FakeDeviceHost host;
        EXPECT_FALSE(description.Load(host, nullptr));
        EXPECT_TRUE(description.Keyboards().empty());
        EXPECT_TRUE(description.Modes().empty());
        EXPECT_TRUE(host.devices.empty());
        EXPECT_EQ(host.openedStores, std::vector<std::wstring>{L""});
        EXPECT_TRUE(description.Keys().empty());
        EXPECT_EQ(description.PageFlags(), 0);
        EXPECT_EQ(description.Software().name, L"");
    }
}

TEST_F(DeviceDescriptionTest, KeysFillTheMapsTheFnSetTheMatrixAndTheEnabledViews) {
    WriteConfig(kConfig);
    const std::string keys =
        "<key code=\"E0\" name=\"Ctrl\" key_index=\"5\" fnlayer_disable=\"1\" row_col=\"2,15\" rect=\"10,20,30,40\"/>"
        "<key code=\"0x1E\" name=\"1\" key_index=\"6\" fnlayer_disable=\"01\" row_col=\"2,5\" rect=\"1,2\"/>"
        "<key code=\"1F\" name=\"2\" key_index=\"7\" row_col=\"8,3\" rect=\"0,0,1,1\"/>"   // row 8: no matrix place
        "<key code=\"120\" name=\"wide\" key_index=\"8\" row_col=\"3,45\"/>";            // column 45: none either
    WriteLayout("L3", Layout(kFullMenu, kLightbox, keys));
    ASSERT_TRUE(Load());

    const auto& k = description_.Keys();
    ASSERT_EQ(k.size(), 4u);
    EXPECT_EQ(k[0].code, 0xE0);
    EXPECT_EQ(k[0].row, 2);
    EXPECT_EQ(k[0].column, 15);
    EXPECT_EQ(k[0].rect, (KeyRect{10, 20, 40, 60}));
    EXPECT_TRUE(k[0].fnLayerDisabled);
    EXPECT_EQ(k[1].code, 0x1E);
    EXPECT_EQ(k[1].column, 5);
    EXPECT_EQ(k[1].rect, (KeyRect{1, 2, 1, 2}));
    EXPECT_FALSE(k[1].fnLayerDisabled);  // "01" is not "1"

    EXPECT_EQ(description_.FnLayerDisabled(), std::set<int>{0xE0});
    const std::map<int, int> indexes{{0xE0, 5}, {0x1E, 6}, {0x1F, 7}, {0x120, 8}};
    EXPECT_EQ(description_.KeyIndexByCode(), indexes);
    EXPECT_EQ(description_.LightIndexByCode(), indexes);

    DeviceDescription::KeyMatrix expected;
    for (auto& row : expected) row.fill(0xFF);
    expected[2][15] = 0xE0;
    expected[2][5] = 0x1E;
    EXPECT_EQ(description_.Matrix(), expected);  // the two keys outside it wrote nothing

    // Page flags 0x47: every view gets the picture and all four keys.
    EXPECT_EQ(description_.PageFlags(), 0x47);
    for (int view : {68, 77, 156, 279}) {
        SCOPED_TRACE(view);
        EXPECT_EQ(host_.viewKeys[view], (std::vector<int>{0xE0, 0x1E, 0x1F, 0x120}));
        EXPECT_EQ(host_.pictures[view].place, (KeyRect{340, 168, 1260, 438}));
        EXPECT_EQ(host_.pictures[view].image, L"keyboard/L3.png");
    }
    EXPECT_EQ(description_.Picture().rowCount, 6);
    EXPECT_EQ(description_.Picture().columnCount, 23);
}

TEST_F(DeviceDescriptionTest, PagesLightingAndFirmwareRecords) {
    WriteConfig(kConfig);
    WriteLayout("L3", Layout(kFullMenu, kLightbox, kTwoKeys));
    ASSERT_TRUE(Load());

    EXPECT_TRUE(description_.SleepTimeFlag());
    EXPECT_EQ(description_.Firmware().version, L"1.2");
    EXPECT_EQ(description_.Firmware().dongleUrl, L"https://dg.example/");
    EXPECT_TRUE(host_.controlVisible[278]);
    EXPECT_EQ((std::map<int, bool>{{1, true}, {2, true}, {3, true}}), host_.tabVisible);

    EXPECT_EQ(description_.Light().defaultMode, 4);
    EXPECT_EQ(description_.Light().defaultBrightness, 3);
    EXPECT_EQ(description_.Light().defaultSpeed, 2);
    ASSERT_EQ(description_.LightModes().size(), 2u);
    EXPECT_EQ(description_.LightModes()[1].name, L"413");
    EXPECT_EQ(description_.LightModes()[1].mode, 24);
    EXPECT_EQ(description_.LightModes()[1].attribute, 0x101);
    ASSERT_EQ(description_.LightBoxModes().size(), 1u);
    EXPECT_EQ(description_.LightBoxModes()[0].mode, 2);

    // 0 on light sets the slider to 0; 0 on lightbox keeps the slider as it was.
    EXPECT_EQ(host_.sliderMaximum.at(80), 0);
    EXPECT_EQ(host_.sliderMaximum.at(82), 5);
    EXPECT_EQ(host_.sliderMaximum.count(159), 0u);
    EXPECT_EQ(host_.sliderMaximum.at(161), 3);
}

TEST_F(DeviceDescriptionTest, MenuWithoutMacrosOrLightingHidesThoseTabsAndTheirViews) {
    WriteConfig(kConfig);
    WriteLayout("L3", Layout("<menu macro=\"0\" light_mode=\"0\"/>", "", kTwoKeys));
    ASSERT_TRUE(Load());
    EXPECT_EQ(description_.PageFlags(), 0x41);
    EXPECT_EQ((std::map<int, bool>{{1, true}, {2, false}, {3, false}}), host_.tabVisible);
    EXPECT_EQ(host_.viewKeys[68], (std::vector<int>{0x29, 0xAF}));
    EXPECT_EQ(host_.viewKeys[279], (std::vector<int>{0x29, 0xAF}));
    EXPECT_EQ(host_.viewKeys.count(77), 0u);
    EXPECT_EQ(host_.viewKeys.count(156), 0u);
}

TEST_F(DeviceDescriptionTest, ChildrenOutOfOrderAreNotSeen) {
    WriteConfig(kConfig);
    // function before menu: the search for function starts after menu.
    std::string layout = Layout(kFullMenu, kLightbox, kTwoKeys);
    std::string function = "<function sleep_time=\"1\"/>\r\n";
    layout.erase(layout.find(function), function.size());
    layout.insert(layout.find("<menu"), function);
    WriteLayout("L3", layout);
    ASSERT_TRUE(Load());
    EXPECT_FALSE(description_.SleepTimeFlag());
    EXPECT_EQ(description_.PageFlags(), 0x47);  // menu itself is still read
    EXPECT_EQ(description_.Keys().size(), 2u);
}

TEST_F(DeviceDescriptionTest, ABrokenOrMissingLayoutKeepsThePreviousModel) {
    WriteConfig(kConfig);
    WriteLayout("L3", Layout(kFullMenu, kLightbox, kTwoKeys));
    WriteLayout("L1", "<device.info><menu macro='0'></device.info>");  // menu never closed
    ASSERT_TRUE(Load());
    ASSERT_EQ(description_.Keys().size(), 2u);

    EXPECT_FALSE(description_.SelectModel(101, host_));
    EXPECT_EQ(description_.SelectedDeviceType(), 101);
    EXPECT_EQ(description_.ModelName(), L"Model One");
    EXPECT_EQ(host_.openedStores.back(), L"Model One");
    EXPECT_EQ(description_.Keys().size(), 2u);
    EXPECT_EQ(description_.PageFlags(), 0x47);
    EXPECT_EQ(description_.Firmware().version, L"1.2");
    EXPECT_EQ(description_.Firmware().url, L"");  // addresses are always cleared first

    // A layout name that would leave layouts/ is refused, and an unknown type
    // opens the unnamed store.
    EXPECT_FALSE(description_.SelectModel(150, host_));
    EXPECT_FALSE(description_.SelectModel(999, host_));
    EXPECT_EQ(host_.openedStores.back(), L"");
    EXPECT_EQ(description_.Keys().size(), 2u);
}

TEST_F(DeviceDescriptionTest, FirmwareButtonNeedsBothVersionAndFile) {
    WriteConfig(kConfig);
    std::string layout = Layout(kFullMenu, kLightbox, kTwoKeys);
    layout.replace(layout.find("file=\"fw\""), 9, "file=\"\"");
    WriteLayout("L3", layout);
    ASSERT_TRUE(Load());
    EXPECT_FALSE(host_.controlVisible.at(278));
}

}  // namespace
}  // namespace keyloft
