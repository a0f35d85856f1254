// What the virtual keyboard keeps of what it was sent, and its report log: other
// modules' tests read these back, so they must mean what they say.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

#include "../device/DeviceRig.h"
#include "device/ChunkedTransfer.h"
#include "device/DeviceCommands.h"

namespace keyloft::testing {
namespace {

class Family3State : public ::testing::TestWithParam<bool> {};  // receiver link?

TEST_P(Family3State, DecodesWhatEachFramingCarries) {
    Rig rig(GetParam() ? KeyboardSetup::Receiver() : KeyboardSetup::Cable());
    const Framing f = FramingForSelector(rig.Rescan());
    auto send = [&](std::uint8_t code, std::initializer_list<std::uint8_t> args) {
        CommandPacket p = MakeCommand(f, code, args);
        return rig.hid.SendCommand(p.span(), false);
    };
    send(cmd::kKeyAssignment, {1, 0x04, 0xE9});
    send(cmd::kKeyAssignment, {2, 0x05, 0x00});
    send(cmd::kLighting, {3, 4, 2, 1, 6});
    CommandPacket box = MakeCommand(Framing::A, cmd::kLighting, {0x85, 0x80, 0x81, 0x80, 0x82});
    rig.hid.SendCommand(box.span(), false);
    SendSleepTime(rig.hid, f, 3);
    SendKeyResponseTime(rig.hid, f, 2);
    SendFnSwitch(rig.hid, f, 1);

    std::vector<std::uint8_t> block(512, 0);
    block[0] = 1;      // layer + 1
    block[1] = 0x2C;   // key
    block[2] = 1;      // repeat
    block[3] = 2;      // events
    block[4] = 0x04, block[5] = 0x01, block[6] = 0x04, block[7] = 0x81;
    block[127] = 0x7E;  // the last byte framing B carries
    SendKeyFunctionBlock(rig.hid, f, block);

    std::vector<std::uint8_t> colours(600);
    for (std::size_t i = 0; i < colours.size(); ++i) colours[i] = static_cast<std::uint8_t>(i % 200 + 1);
    SendPerKeyColourTable(rig.hid, f, colours);
    SendLiveColourFrame(rig.hid, f, colours);

    const devicesim::KeyboardState s = rig.kb.State();
    EXPECT_EQ(s.keyAssignments.at({1, 0x04}), 0xE9);
    EXPECT_EQ(s.keyAssignments.at({2, 0x05}), 0x00);
    EXPECT_EQ(s.lighting.mode, 3);
    EXPECT_EQ(s.lighting.brightness, 4);
    EXPECT_EQ(s.lighting.colorIndex, 6);
    EXPECT_EQ(s.lighting.received, 1);
    EXPECT_EQ(s.lightBox.mode, 5);
    EXPECT_EQ(s.lightBox.speed, 1);
    EXPECT_EQ(s.lightBox.colorIndex, 2);
    EXPECT_EQ(s.sleepTime, 3);
    EXPECT_EQ(s.keyResponseTime, 2);
    EXPECT_EQ(s.fnSwitch, 1);

    ASSERT_EQ(s.keyFunctionBlocks.count({1, 0x2C}), 1u);
    const devicesim::KeyFunctionBlock& b = s.keyFunctionBlocks.at({1, 0x2C});
    EXPECT_EQ(b.repeat, 1);
    EXPECT_EQ(b.eventCount, 2);
    const std::size_t carried = GetParam() ? 128 : 162;
    ASSERT_EQ(b.bytes.size(), carried);
    EXPECT_TRUE(std::equal(b.bytes.begin(), b.bytes.end(), block.begin()));

    const std::size_t tableBytes = GetParam() ? 336 : 324;
    EXPECT_TRUE(std::equal(colours.begin(), colours.begin() + tableBytes, s.perKeyColours.begin()));
    EXPECT_EQ(s.perKeyColours[tableBytes], 0) << "the table ends where the chunks end";
    EXPECT_TRUE(s.lastColourFrame.complete);
    EXPECT_EQ(s.lastColourFrame.data.size(), tableBytes);
    EXPECT_TRUE(std::equal(s.lastColourFrame.data.begin(), s.lastColourFrame.data.end(), colours.begin()));
    EXPECT_EQ(s.completeLiveFrames, 1);

    // A key reset forgets the keys; a restore forgets everything it was told.
    send(cmd::kKeyReset, {});
    EXPECT_TRUE(rig.kb.State().keyAssignments.empty());
    EXPECT_TRUE(rig.kb.State().keyFunctionBlocks.empty());
    EXPECT_EQ(rig.kb.State().lighting.mode, 3);
    RestoreDefaultsFamily3(rig.hid, f);
    const devicesim::KeyboardState after = rig.kb.State();
    EXPECT_EQ(after.restores, 1);
    EXPECT_EQ(after.lighting.mode, 0);
    EXPECT_EQ(after.fnSwitch, -1);
    EXPECT_EQ(after.perKeyColours[0], 0);
}

INSTANTIATE_TEST_SUITE_P(Links, Family3State, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Receiver" : "Cable"; });

TEST(VirtualKeyboard, OutOfOrderChunksAreNotAssembled) {
    Rig rig(KeyboardSetup::Cable());
    rig.Rescan();
    std::vector<std::uint8_t> block(162, 0x11);
    const ChunkLayout layout = KeyFunctionBlockLayout(Framing::A);
    for (int i : {0, 2, 1}) {
        CommandPacket p = BuildChunk(Framing::A, layout, i, block);
        rig.hid.SendCommand(p.span(), false);
    }
    EXPECT_TRUE(rig.kb.State().keyFunctionBlocks.empty());
}

TEST(VirtualKeyboard, Family1KeepsKeyTableSlotsAndRestore) {
    Rig rig(KeyboardSetup::Family1());
    rig.Rescan(devicesim::kK0DeviceType);
    std::vector<std::uint8_t> table(360, 0);
    table[2] = 0x05, table[3] = 0x20;    // position 1: key 0x05
    table[218] = 0x01, table[219] = 0x40;  // position 109: slot 1
    // The last report carries 60 bytes but says 40: the keyboard takes what the
    // length says, so position 119 never arrives.
    table[238] = 0x02, table[239] = 0x40;
    SendFamily1KeyTable(rig.hid, table);
    // Slot 1: a two-report stream (59 bytes, then 3).
    Report first = MakeFamily1Report(0x8E, {59, 0, 0, 1});
    for (int i = 0; i < 59; ++i) first[6 + i] = static_cast<std::uint8_t>(i + 1);
    rig.hid.WriteReport(first);
    rig.hid.WriteReport(MakeFamily1Report(0x8E, {3, 59, 0, 1, 0xA0, 0xA1, 0xA2}));

    devicesim::Family1State f = rig.kb.State().family1;
    EXPECT_EQ(f.keyTable[2], 0x05);
    EXPECT_EQ(f.keyTable[219], 0x40);
    EXPECT_EQ(f.keyTable[239], 0);
    ASSERT_EQ(f.slots.count(1), 1u);
    ASSERT_EQ(f.slots[1].size(), 62u);
    EXPECT_EQ(f.slots[1][0], 1);
    EXPECT_EQ(f.slots[1][61], 0xA2);

    FinishRestoreFamily1(rig.hid);
    f = rig.kb.State().family1;
    EXPECT_EQ(f.restores, 1);
    EXPECT_EQ(f.keyTable[2], 0);
    EXPECT_TRUE(f.slots.empty());
}

TEST(VirtualKeyboard, Family2AssemblesLongSlotsAndRestoresOverTheReceiver) {
    Rig rig(KeyboardSetup::Family2());
    rig.Rescan(devicesim::kK2DeviceType);
    std::vector<std::uint8_t> c(168, 0);
    c[0] = 1, c[1] = 2, c[2] = 0x2C, c[3] = 1, c[4] = 0x04, c[5] = 0x01, c[167] = 0x99;
    for (int n = 0; n < 28; ++n) {
        Report r{};
        r[0] = 0x07;
        r[1] = n == 0 ? 0xF1 : 0x00;
        std::copy_n(c.begin() + 6 * n, 6, r.begin() + 2);
        rig.hid.SendFeatureReport(r);
    }
    rig.hid.SendFeatureReport(MakeFamily2Feature(0xFA, {0x01, 1, 0x05, 0x01, 0x1E, 0x01}));
    devicesim::Family2State f = rig.kb.State().family2;
    ASSERT_EQ(f.longSlots.count(2), 1u);
    EXPECT_EQ(f.longSlots[2], c);
    EXPECT_EQ(f.slotTable[2], 0x2C);
    EXPECT_EQ(f.slotTable[14], 0x05);
    EXPECT_EQ(f.simpleSlots[1], std::make_pair(0x05, 0x1E));

    RestoreDefaultsFamily2(rig.hid, 2);
    f = rig.kb.State().family2;
    EXPECT_EQ(f.restores, 1);
    EXPECT_TRUE(f.longSlots.empty());
    EXPECT_EQ(f.slotTable[2], 0);
}

TEST(VirtualKeyboard, WriteFaultRefusesACountedRunOfWrites) {
    Rig rig(KeyboardSetup::Cable());
    rig.Rescan();
    rig.kb.SetWriteFault({1, 2});
    const Report r = ToReport(MakeCommand(Framing::A, 0x0B));
    std::vector<bool> results;
    for (int i = 0; i < 4; ++i) {
        // The HID library's view: accepted, refused, refused, accepted.
        results.push_back(rig.kb.Write(rig.hid.GetActiveInterface(), r.data(), r.size()) > 0);
    }
    EXPECT_EQ(results, (std::vector<bool>{true, false, false, true}));
}

TEST(VirtualKeyboard, LogHasOneLinePerReportWithTimeModeKindAndBytes) {
    char path[] = "/tmp/keyloft-sim-log-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        Rig rig(KeyboardSetup::Family2());
        ASSERT_TRUE(rig.kb.OpenLog(path));
        rig.Rescan(devicesim::kK2DeviceType);
        std::uint8_t block[kFeatureBlockSize] = {0xAA, 0x55, 0xCC, 0x0F};
        rig.hid.ExchangeFeatureBlock(block);
    }
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::remove(path);

    std::string status = "0 0 out 00 aa 55 cc 33 0e";
    for (int i = 0; i < 59; ++i) status += " 00";
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], status);
    EXPECT_EQ(lines[1], "10 0 fset aa 55 cc 0f 00 00 00 00");
    EXPECT_EQ(lines[2], "26 0 fget 07 fb 01 00 00 00 00 00");
    EXPECT_EQ(lines[5], "74 0 fget 07 fb 01 00 00 00 00 00");
}

}  // namespace
}  // namespace keyloft::testing
