// What the lighting tasks and frames put on the wire, read back from the virtual
// keyboard, with their pauses on virtual time.
#include "FakeScreen.h"
#include "LightingRig.h"
#include "lighting/LightingSender.h"
#include "lighting/ScreenLight.h"
#include "store/FirstRunContent.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace keyloft {
namespace {

using testing::KeyboardSetup;
using testing::LightingRig;
using Lines = std::vector<std::string>;
using Pauses = std::vector<std::int64_t>;

LightSetting Setting(int profile, int mode, int brightness, int speed, int direction, int colorindex,
                     int colour = 0x0000FF, int colorful = 0) {
    LightSetting s;
    s.profile = profile;
    s.name = L"40";
    s.mode = mode;
    s.brightness = brightness;
    s.speed = speed;
    s.direction = direction;
    s.colorindex = colorindex;
    s.color_value = colour;
    s.colorful = colorful;
    return s;
}

struct ModeCase {
    const char* name;
    KeyboardSetup (*setup)();
    int deviceType;
    int selector;
    LightSetting setting;
    bool modeSelected;
    Lines sent;
    Pauses pauses;
};

class SendLightMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(SendLightMode, SendsTheStoredSettingsOfTheSelectedMode) {
    const ModeCase& c = GetParam();
    LightingRig rig(c.setup(), c.deviceType);
    ASSERT_GT(rig.store.AddLightSetting(c.setting), 0);
    LightingSender sender(rig.hid, rig.store);
    if (c.modeSelected) sender.SendAllLightModes({c.deviceType, c.selector, 7, 99, 99});  // sets the flag
    else sender.ClearModeSelected();
    const std::size_t mark = rig.Mark();

    sender.SendLightMode({c.deviceType, c.selector, c.setting.profile, c.setting.mode, 0});
    EXPECT_EQ(rig.SentSince(mark), c.sent);
    EXPECT_EQ(rig.clock.PauseLengths(), c.pauses);
}

KeyboardSetup Cable() { return KeyboardSetup::Cable(); }
KeyboardSetup Receiver() { return KeyboardSetup::Receiver(); }
KeyboardSetup Family1() { return KeyboardSetup::Family1(); }
KeyboardSetup Family2() { return KeyboardSetup::Family2(); }

INSTANTIATE_TEST_SUITE_P(
    Families, SendLightMode,
    ::testing::Values(
        ModeCase{"family 3 cable, lowest values go out as 0", Cable, 301, 0, Setting(1, 3, 1, 1, 1, 7), false,
                 {"out 00 aa 55 cc 33 07 02 00 00 01 07"}, {}},
        ModeCase{"family 3 receiver, maxima go out less one", Receiver, 301, 2, Setting(1, 5, 5, 4, 0, 2), false,
                 {"out 00 aa 55 cc 07 04 04 03 00 02"}, {}},
        ModeCase{"family 1, mode selected: the mode only", Family1, 101, 0, Setting(1, 3, 4, 5, 2, 0, 0x336699, 1),
                 false, {"out 00 88 00 03"}, {}},
        ModeCase{"family 1, after a send: the settings", Family1, 101, 0, Setting(1, 3, 4, 5, 2, 0, 0x336699, 1),
                 true, {"out 00 89 00 a5 99 66 33 04"}, {}},
        ModeCase{"family 2 cable", Family2, 201, 0, Setting(1, 3, 4, 3, 2, 1), false,
                 {"fset 07 f7 02 01 02 02 03"}, {16}},
        ModeCase{"family 2 cable, speed and brightness 0 stay 0", Family2, 201, 0, Setting(1, 3, 0, 0, 2, 1), false,
                 {"fset 07 f7 02 01 02"}, {16}},
        ModeCase{"family 2 cable, mode 4 carries its colour", Family2, 201, 0, Setting(1, 4, 4, 3, 2, 1, 0x336699),
                 false, {"fset 07 f7 03 01 99 66 03 33"}, {16}},
        ModeCase{"family 2 receiver", Family2, 201, 2, Setting(1, 3, 4, 3, 2, 1), false,
                 {"out 00 bb aa 99 88 aa 02 01 02 02 03"}, {}},
        ModeCase{"family 2 receiver, mode 4 carries its colour", Family2, 201, 2,
                 Setting(1, 4, 4, 3, 2, 1, 0x336699), false, {"out 00 bb aa 99 88 aa 03 01 99 66 03 33"}, {}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(SendLightMode, ModeWithoutAStoredRowSendsNothing) {
    LightingRig rig(KeyboardSetup::Cable());
    LightingSender sender(rig.hid, rig.store);
    const std::size_t mark = rig.Mark();
    sender.SendLightMode({301, 0, 1, 3, 0});
    sender.SendAllLightModes({301, 0, 1, 3, 2});
    EXPECT_TRUE(rig.SentSince(mark).empty());
    EXPECT_EQ(rig.clock.PauseLengths(), Pauses{50});
}

struct AllModesCase {
    const char* name;
    KeyboardSetup (*setup)();
    int deviceType;
    int selector;
    Lines sent;
};

class SendAllLightModes : public ::testing::TestWithParam<AllModesCase> {};

TEST_P(SendAllLightModes, KeyboardThenLightBoxAfter50Ms) {
    const AllModesCase& c = GetParam();
    LightingRig rig(c.setup(), c.deviceType);
    rig.store.AddLightSetting(Setting(1, 3, 4, 5, 2, 6, 0x336699, 1));
    rig.store.AddLightSetting(Setting(kLightBoxProfile, 2, 3, 4, 1, 5, 0x0000FF, 0));
    LightingSender sender(rig.hid, rig.store);
    sender.ClearModeSelected();  // as after a mode selection
    const std::size_t mark = rig.Mark();
    sender.SendAllLightModes({c.deviceType, c.selector, 1, 3, 2});
    EXPECT_EQ(rig.SentSince(mark), c.sent);
    EXPECT_EQ(rig.clock.PauseLengths(), (c.deviceType == 201 && c.selector == 0 ? Pauses{16, 50} : Pauses{50}));
}

INSTANTIATE_TEST_SUITE_P(
    Families, SendAllLightModes,
    ::testing::Values(
        AllModesCase{"family 3 cable", Cable, 301, 0,
                     {"out 00 aa 55 cc 33 07 02 03 04 02 06", "out 00 aa 55 cc 33 07 81 82 83 81 85"}},
        // The light box's command stays in framing A on the receiver link.
        AllModesCase{"family 3 receiver", Receiver, 301, 2,
                     {"out 00 aa 55 cc 07 02 03 04 02 06", "out 00 aa 55 cc 33 07 81 82 83 81 85"}},
        // A profile switch sends settings, not only the mode, to both targets.
        AllModesCase{"family 1", Family1, 101, 0, {"out 00 89 00 a5 99 66 33 04", "out 00 89 01 14 ff 00 00 03"}},
        AllModesCase{"family 2 cable", Family2, 201, 0,
                     {"fset 07 f7 02 06 02 04 03", "out 00 89 01 14 ff 00 00 03"}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// Key colours of set 128 and the layout's light positions used below.
const LightPositions kPositions = {{4, 1}, {26, 107}, {22, 108}, {7, 111}, {80, 200}};

void StoreKeyLights(ProfileStore& store, const std::vector<std::pair<int, int>>& colours) {
    std::vector<KeyLight> lights;
    for (const auto& [code, colour] : colours) {
        KeyLight k;
        k.profile = 1;
        k.light_id = kKeyboardLightSet;
        k.key_code = code;
        k.key_rgb = colour;
        lights.push_back(k);
    }
    store.DeleteKeyLights(kKeyboardLightSet);
    store.AddKeyLights(lights);
}

std::string Rgb(const std::array<std::uint8_t, 600>& table, int position) {
    return devicesim::HexBytes(std::span(table).subspan(3 * position, 3), false);
}

TEST(CustomLighting, Mode24SendsTheModeThenCommand0BThenTheTable) {
    LightingRig rig(KeyboardSetup::Cable());
    rig.store.AddLightSetting(Setting(1, 24, 3, 2, 0, 0));
    StoreKeyLights(rig.store, {{4, 0x0000FF}, {26, 0xFF0000}, {22, 0x00FF00}});
    LightingSender sender(rig.hid, rig.store);
    sender.SetLightPositions(kPositions);
    const std::size_t mark = rig.Mark();

    sender.SendLightMode({301, 0, 1, 24, 0});
    const Lines sent = rig.SentSince(mark);
    ASSERT_EQ(sent.size(), 9u);
    EXPECT_EQ(sent[0], "out 00 aa 55 cc 33 07 17 02 01");
    EXPECT_EQ(sent[1], "out 00 aa 55 cc 33 0b");
    EXPECT_EQ(sent[2], "out 00 aa 55 cc 33 09");  // armed since the start
    EXPECT_EQ(sent[3], "out 00 aa 55 cc 33 f6 00 00 00 ff");
    const char* codes[] = {"f6", "f7", "f8", "f9", "fa", "fb"};
    for (int n = 0; n < 6; ++n) EXPECT_EQ(sent[3 + n].substr(0, 21), std::string("out 00 aa 55 cc 33 ") + codes[n]);
    // 10 ms after 0x0B, the arm command's reply pause, 3 ms before each chunk.
    EXPECT_EQ(rig.clock.PauseLengths(), (Pauses{10, 100, 3, 3, 3, 3, 3, 3}));
    const auto table = rig.kb.State().perKeyColours;
    EXPECT_EQ(Rgb(table, 1), "ff 00 00");
    EXPECT_EQ(Rgb(table, 107), "00 00 ff");
    EXPECT_EQ(Rgb(table, 108), "00 00 00");  // beyond what framing A carries
}

TEST(CustomLighting, FramingBCarriesPositionsUpTo111AndArmsOnlyOnce) {
    LightingRig rig(KeyboardSetup::Receiver());
    // Position 1 twice: the later row wins. Key 80 sits at 200 and has no place.
    StoreKeyLights(rig.store, {{4, 0x0000FF}, {22, 0x00FF00}, {7, 0x123456}, {4, 0x654321}, {80, 0xFFFFFF}});
    LightingSender sender(rig.hid, rig.store);
    sender.SetLightPositions(kPositions);
    std::size_t mark = rig.Mark();
    sender.UploadCustomLighting(Framing::B);
    Lines sent = rig.SentSince(mark);
    ASSERT_EQ(sent.size(), 22u);
    EXPECT_EQ(sent[0], "out 00 aa 55 cc 09");
    EXPECT_EQ(sent[1], "out 00 aa 55 cc e0 00 00 00 21 43 65");
    EXPECT_EQ(sent[21].substr(0, 19), "out 00 aa 55 cc f4 ");
    const auto table = rig.kb.State().perKeyColours;
    EXPECT_EQ(Rgb(table, 108), "00 ff 00");
    EXPECT_EQ(Rgb(table, 111), "56 34 12");

    // The next upload is not armed again.
    mark = rig.Mark();
    sender.UploadCustomLighting(Framing::B);
    sent = rig.SentSince(mark);
    ASSERT_EQ(sent.size(), 21u);
    EXPECT_EQ(sent[0].substr(0, 18), "out 00 aa 55 cc e0");
    EXPECT_EQ(rig.clock.PauseLengths(), Pauses(21, 3));
}

TEST(CustomLighting, UploadStopsAtTheFirstReportThatCannotBeWritten) {
    LightingRig rig(KeyboardSetup::Receiver());
    StoreKeyLights(rig.store, {{4, 0x0000FF}});
    LightingSender sender(rig.hid, rig.store);
    sender.SetLightPositions(kPositions);
    sender.UploadCustomLighting(Framing::B);  // disarms
    rig.kb.SetWriteFault({4, -1});
    const std::size_t mark = rig.Mark();
    sender.UploadCustomLighting(Framing::B);
    EXPECT_EQ(rig.SentSince(mark).size(), 4u);
    EXPECT_EQ(rig.kb.State().perKeyChunks, 4);
}

TEST(ApplyLighting, SendsCommand0AAsAPacket) {
    LightingRig rig(KeyboardSetup::Receiver());
    LightingSender sender(rig.hid, rig.store);
    const std::size_t mark = rig.Mark();
    sender.ApplyLighting(Framing::B);
    sender.ApplyLighting(Framing::A);
    EXPECT_EQ(rig.SentSince(mark), (Lines{"out 00 aa 55 cc 0a", "out 00 aa 55 cc 33 0a"}));
}

// A keyboard view holding key colours in item order.
class FakeView final : public LightingView {
public:
    std::vector<KeyItem> items;
    int updates = 0;
    void SetKeyColor(int keyCode, std::uint32_t colour) override {
        for (KeyItem& i : items)
            if (i.keyValue == keyCode) i.colour = colour;
    }
    std::vector<KeyItem> GetKeyItems() override { return items; }
    void UpdateControl() override { ++updates; }
};

TEST(EffectFrame, OnlyMusicAndScreenModesOfFamilies1And3OnTheLightingPage) {
    struct Case {
        int deviceType;
        bool pageCurrent;
        int attribute;
        bool frame;
    };
    const Case cases[] = {
        {301, true, 0x200, true},  {301, true, 0x400, true},  {101, true, 0x2A3, true},
        {201, true, 0x200, false}, {301, false, 0x400, false}, {301, true, 0x100, false},
        {450, true, 0x200, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NeedsEffectFrame(c.deviceType, c.pageCurrent, c.attribute), c.frame)
            << c.deviceType << " " << c.pageCurrent << " " << c.attribute;
}

TEST(EffectFrame, EightColoursOfEffect102InBothFramings) {
    // Level 140 lights zones 0 to 3 with hues 0, 45, 90 and 135; the stream
    // runs from zone 7 down to zone 0, whose red is its last non-zero byte
    // (report byte 27; the trailing zeros are not shown).
    const std::string stream = "00 00 00 00 00 00 00 00 00 00 00 00 00 ff 3f 7f ff 00 ff bf 00 ff";
    for (bool receiver : {false, true}) {
        LightingRig rig(receiver ? KeyboardSetup::Receiver() : KeyboardSetup::Cable());
        LightingSender sender(rig.hid, rig.store);
        ScreenLight screen([] { return nullptr; });
        FakeView view;
        KeyGrid grid;
        grid.rows = 6;
        grid.columns = 18;
        const std::size_t mark = rig.Mark();
        const LightingLink link{301, receiver ? 2 : 0, 1, 5, 0};
        sender.SendEffectFrame(link, grid, false, kEffectRainbowMeter, 140.0f, screen, view);
        sender.SendEffectFrame(link, grid, false, kEffectRainbowMeter, 140.0f, screen, view);
        const Lines sent = rig.SentSince(mark);
        if (!receiver) {
            EXPECT_EQ(sent, (Lines{"out 00 aa 55 cc 33 09", "out 00 aa 55 cc 33 f0 " + stream,
                                   "out 00 aa 55 cc 33 f0 " + stream}));
        } else {
            EXPECT_EQ(sent, (Lines{"out 00 aa 55 cc 09", "out 00 aa 55 cc c0 " + stream.substr(0, 47),
                                   "out 00 aa 55 cc c1 " + stream.substr(48), "out 00 aa 55 cc c0 " + stream.substr(0, 47),
                                   "out 00 aa 55 cc c1 " + stream.substr(48)}));
        }
        EXPECT_EQ(rig.clock.PauseLengths(), Pauses{100});  // only the arm command's reply pause
        EXPECT_EQ(view.updates, 2);
    }
}

TEST(EffectFrame, ColourCyclingFramesArePausedAndAnEmptyGridSendsNothing) {
    LightingRig rig(KeyboardSetup::Cable());
    LightingSender sender(rig.hid, rig.store);
    ScreenLight screen([] { return nullptr; });
    FakeView view;
    KeyGrid grid;
    grid.rows = 6;
    grid.columns = 18;
    const LightingLink link{301, 0, 1, 5, 0};
    std::size_t mark = rig.Mark();
    sender.SendEffectFrame(link, grid, false, kEffectColourCyclingMeter, 280.0f, screen, view);
    sender.SendEffectFrame(link, grid, false, kEffectColourCyclingMeter, 280.0f, screen, view);
    EXPECT_EQ(rig.clock.PauseLengths(), (Pauses{100, 30, 30}));
    const Lines sent = rig.SentSince(mark);
    ASSERT_EQ(sent.size(), 3u);
    // Fading from black towards red, one step per frame, in every zone.
    EXPECT_EQ(sent[2], "out 00 aa 55 cc 33 f0 02 00 00 02 00 00 02 00 00 02 00 00 02 00 00 02 00 00 02 00 00 02");
    EXPECT_EQ(rig.kb.Reports().back().bytes[27], 2);  // zone 0's red

    KeyGrid none;
    mark = rig.Mark();
    sender.SendEffectFrame(link, none, false, kEffectColourCyclingMeter, 280.0f, screen, view);
    sender.SendEffectFrame(link, none, true, 0, 0.0f, screen, view);
    EXPECT_TRUE(rig.SentSince(mark).empty());
    EXPECT_TRUE(rig.clock.PauseLengths().empty());
}

struct ScreenFrameCase {
    const char* name;
    KeyboardSetup (*setup)();
    int selector;
    int reports;
    int firstCode;
    Pauses pauses;
};

class ScreenFrame : public ::testing::TestWithParam<ScreenFrameCase> {};

TEST_P(ScreenFrame, KeysTakeTheirGridCellAndGoOutAsALiveFrame) {
    const ScreenFrameCase& c = GetParam();
    LightingRig rig(c.setup());
    LightingSender sender(rig.hid, rig.store);
    sender.SetLightPositions(kPositions);
    ScreenLight screen([] { return std::make_unique<testing::BlockScreen>(); });
    screen.Start(18, 6);
    screen.SetCapture(false);
    ASSERT_TRUE(screen.Capture());

    KeyGrid grid;
    for (auto& row : grid.matrix) row.fill(0xFF);
    grid.rows = 6;
    grid.columns = 18;
    grid.matrix[0][0] = 4;    // position 1
    grid.matrix[5][17] = 26;  // position 107
    grid.matrix[1][2] = 22;   // position 108
    FakeView view;
    view.items = {{4, 0}, {26, 0}, {22, 0}, {7, 0x010203}};  // key 7 is not in the matrix
    const LightingLink link{301, c.selector, 1, 6, 0};
    sender.SendEffectFrame(link, grid, true, 0, 0.0f, screen, view);  // armed: 0x09 first
    const std::size_t mark = rig.Mark();
    sender.SendEffectFrame(link, grid, true, 0, 0.0f, screen, view);

    using testing::AsColourRef;
    using testing::BlockRgb;
    EXPECT_EQ(view.items[0].colour, AsColourRef(BlockRgb(0, 0)));
    EXPECT_EQ(view.items[1].colour, AsColourRef(BlockRgb(17, 5)));
    EXPECT_EQ(view.items[2].colour, AsColourRef(BlockRgb(2, 1)));
    EXPECT_EQ(view.items[3].colour, 0x010203u);
    EXPECT_EQ(view.updates, 2);

    const auto reports = rig.kb.ReportsAfter(mark);
    ASSERT_EQ(reports.size(), static_cast<std::size_t>(c.reports));
    const std::size_t codeAt = c.selector == 0 ? 5 : 4;
    for (int n = 0; n < c.reports; ++n) EXPECT_EQ(reports[n].bytes[codeAt], c.firstCode + n);
    EXPECT_EQ(rig.clock.PauseLengths(), c.pauses);

    const auto frame = rig.kb.State().lastColourFrame;
    ASSERT_TRUE(frame.complete);
    auto rgbAt = [&](int p) { return devicesim::HexBytes(std::span(frame.data).subspan(3 * p, 3), false); };
    auto hex = [](std::uint32_t rgb) {
        return devicesim::HexBytes(std::vector<std::uint8_t>{static_cast<std::uint8_t>(rgb >> 16),
                                                             static_cast<std::uint8_t>(rgb >> 8),
                                                             static_cast<std::uint8_t>(rgb)}, false);
    };
    EXPECT_EQ(rgbAt(1), hex(BlockRgb(0, 0)));
    EXPECT_EQ(rgbAt(107), hex(BlockRgb(17, 5)));
    if (c.selector != 0) {
        EXPECT_EQ(rgbAt(108), hex(BlockRgb(2, 1)));
        EXPECT_EQ(rgbAt(111), "03 02 01");  // red is the low byte of the view's colour
    }
}

INSTANTIATE_TEST_SUITE_P(Framings, ScreenFrame,
                         ::testing::Values(ScreenFrameCase{"cable", Cable, 0, 6, 0xF0, {}},
                                           ScreenFrameCase{"receiver", Receiver, 2, 21, 0xC0, Pauses(21, 1)}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keyloft
