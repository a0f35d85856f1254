// The data files laid out beside the built program: config.xml, the layouts and
// the language files. They are read by a second, independent parser as well, and
// the program's own reading of them is checked for what the other parts rely on.
#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/WideString.h"
#include "config/AppPaths.h"
#include "config/DeviceDescription.h"
#include "config/LanguageText.h"
#include "config/XmlDocument.h"
#include "FakeDeviceHost.h"
#include "UsedTextIds.h"

namespace keyloft {
namespace {

const std::filesystem::path kRuntime = KEYLOFT_RUNTIME_DIR;
const int kShippedLanguages[] = {1033, 2052, 1046, 1034};

std::vector<std::filesystem::path> ShippedXmlFiles() {
    std::vector<std::filesystem::path> files{kRuntime / "config.xml"};
    for (const auto& entry : std::filesystem::directory_iterator(kRuntime / "layouts")) {
        if (entry.path().extension() == ".xml") files.push_back(entry.path());
    }
    return files;
}

TEST(ShippedData, EveryXmlFileIsWellFormedForBothParsers) {
    auto files = ShippedXmlFiles();
    ASSERT_GE(files.size(), 4u);  // config.xml and the three models' layouts
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        XmlDocument doc;
        EXPECT_TRUE(doc.LoadFile(file));
        xmlDocPtr other = xmlReadFile(file.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        EXPECT_NE(other, nullptr);
        if (other) xmlFreeDoc(other);
    }
}

TEST(ShippedData, EveryUsedTextExistsInEveryLanguage) {
    // The light mode names of every layout are text numbers too.
    std::set<int> ids(std::begin(testing::kUsedTextIds), std::end(testing::kUsedTextIds));
    for (const auto& file : ShippedXmlFiles()) {
        XmlDocument doc;
        if (!doc.LoadFile(file) || !doc.FindElement(L"device.info") || !doc.EnterElement()) continue;
        for (const wchar_t* list : {L"light", L"lightbox"}) {
            if (!doc.FindElement(list) || !doc.EnterElement()) continue;
            while (doc.FindElement(L"info")) ids.insert(std::stoi(doc.GetAttribute(L"name")));
            doc.LeaveElement();
        }
    }
    for (int language : kShippedLanguages) {
        const std::string path = (kRuntime / "language" / (std::to_string(language) + ".lan")).string();
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        for (int id : ids) EXPECT_NE(ReadLanguageFileText(path, kDialogSection, id), L"") << language << ": text " << id;
    }
}

class ShippedModels : public ::testing::Test {
protected:
    void SetUp() override {
        SetProgramDirectory(kRuntime);
        ASSERT_TRUE(description_.Load(host_, [this](const ModeEntry& m) { modes_.push_back(m); }));
    }
    void TearDown() override { SetProgramDirectory(""); }

    testing::FakeDeviceHost host_;
    DeviceDescription description_;
    std::vector<ModeEntry> modes_;
};

TEST_F(ShippedModels, TheDeviceListHasTheFixedIdentities) {
    struct Expected {
        const wchar_t* name;
        int type, mode, pid;
        const wchar_t* pattern;
    } expected[] = {
        {L"Orvane KX-200", 301, 0, 0x4011, L"VID_35C1&PID_4011"}, {L"Orvane KX-200", 301, 1, 0x4013, L"VID_35C1&PID_4013"},
        {L"Orvane KX-200", 301, 2, 0x4012, L"VID_35C1&PID_4012"}, {L"Keyloft K0", 101, 0, 0x2101, L"VID_35C1&PID_2101"},
        {L"Keyloft K2", 201, 0, 0x3201, L"VID_35C1&PID_3201"},
    };
    ASSERT_EQ(modes_.size(), std::size(expected));
    for (std::size_t i = 0; i < modes_.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(description_.Keyboards()[i < 3 ? 0 : i - 2].name, expected[i].name);
        EXPECT_EQ(modes_[i].deviceType, expected[i].type);
        EXPECT_EQ(modes_[i].mode, expected[i].mode);
        EXPECT_EQ(modes_[i].vendorId, 0x35C1);
        EXPECT_EQ(modes_[i].productId, expected[i].pid);
        EXPECT_EQ(modes_[i].interfacePattern, expected[i].pattern);
    }
    EXPECT_EQ(description_.Software().name, L"Keyloft");
    EXPECT_EQ(description_.Software().version, L"1.0.1");
    EXPECT_FALSE(description_.Software().upgrade.empty());
    EXPECT_FALSE(description_.Software().notice.empty());
}

TEST_F(ShippedModels, EveryLayoutPlacesEveryKeyOnceInsideThePictureAndTheMatrix) {
    for (int type : {301, 101, 201}) {
        SCOPED_TRACE(type);
        ASSERT_TRUE(description_.SelectModel(type, host_));
        const auto& keys = description_.Keys();
        EXPECT_EQ(keys.size(), 108u);
        const KeyboardPicture& picture = description_.Picture();
        std::set<int> codes, indexes;
        std::set<std::pair<int, int>> cells;
        for (const LayoutKey& key : keys) {
            SCOPED_TRACE(WideToUtf8(key.description));
            EXPECT_TRUE(codes.insert(key.code).second);
            EXPECT_TRUE(indexes.insert(key.keyIndex).second);
            EXPECT_LT(key.keyIndex, 200);  // the per-key colour table has 200 places
            EXPECT_TRUE(cells.insert({key.row, key.column}).second);
            EXPECT_LT(key.row, picture.rowCount);
            EXPECT_LT(key.column, picture.columnCount);
            EXPECT_EQ(description_.Matrix()[key.row][key.column], key.code & 0xFF);
            EXPECT_GE(key.rect.left, 0);
            EXPECT_GE(key.rect.top, 0);
            EXPECT_LE(key.rect.right, picture.width);
            EXPECT_LE(key.rect.bottom, picture.height);
            EXPECT_LT(key.rect.left, key.rect.right);
            EXPECT_LT(key.rect.top, key.rect.bottom);
        }
        EXPECT_TRUE(description_.FnLayerDisabled().count(0xAF));  // Fn stays Fn on its own layer
        // The picture fits the window's page area, above the settings panels.
        EXPECT_GE(picture.xpos, 330);
        EXPECT_LE(picture.xpos + picture.width, 1270);
        EXPECT_LE(picture.ypos + picture.height, 440);
    }
}

TEST_F(ShippedModels, TheOwnKeyboardExercisesEveryLightingAttribute) {
    ASSERT_TRUE(description_.SelectModel(301, host_));
    EXPECT_EQ(description_.PageFlags(), 0x47);
    int all = 0;
    bool perKey24 = false;
    for (const LightModeEntry& m : description_.LightModes()) {
        all |= m.attribute;
        if (m.attribute & 0x100) perKey24 = m.mode == 24;
    }
    EXPECT_EQ(all, 0x7FF);
    EXPECT_TRUE(perKey24);
    EXPECT_FALSE(description_.LightBoxModes().empty());
    const LightRecord& light = description_.Light();
    EXPECT_GE(light.defaultBrightness, 1);
    EXPECT_LE(light.defaultBrightness, light.brightnessMax);
    EXPECT_GE(light.defaultSpeed, 1);
    EXPECT_LE(light.defaultSpeed, light.speedMax);
    bool defaultListed = false;
    for (const LightModeEntry& m : description_.LightModes()) defaultListed = defaultListed || m.mode == light.defaultMode;
    EXPECT_TRUE(defaultListed);
    EXPECT_FALSE(description_.Firmware().url.empty());
    EXPECT_FALSE(description_.Firmware().dongleUrl.empty());
}

}  // namespace
}  // namespace keyloft
