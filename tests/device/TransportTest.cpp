// The send and read operations: retries, pauses and time-outs on virtual time.
#include <gtest/gtest.h>

#include <functional>

#include "DeviceRig.h"
#include "device/DeviceCommands.h"

namespace keyloft::testing {
namespace {

using devicesim::WriteFault;

struct TransportCase {
    const char* name;
    std::function<bool(HidDeviceManager&)> send;
    std::optional<WriteFault> fault;
    bool silent;
    bool result;
    std::vector<std::int64_t> pauses;
    std::int64_t elapsedMs;   // pauses plus time spent waiting in reads
    std::size_t received;     // reports the keyboard took
};

bool SleepCommand(HidDeviceManager& hid, bool reply) {
    CommandPacket p = MakeCommand(Framing::A, cmd::kSleepTime, {3});
    return hid.SendCommand(p.span(), reply);
}
bool StatusCommand(HidDeviceManager& hid) {
    CommandPacket p = MakeStatusQuery(Framing::A);
    return hid.SendCommand(p.span(), true);
}
bool Query(HidDeviceManager& hid) {
    CommandPacket p = MakeStatusQuery(Framing::A);
    return hid.QueryCommand(p.span());
}
bool Report65(HidDeviceManager& hid) { return hid.WriteReport(ToReport(MakeCommand(Framing::A, 0xF0))); }
bool Packet(HidDeviceManager& hid) {
    CommandPacket p = MakeCommand(Framing::A, cmd::kApplyLighting);
    return hid.WritePacket(p.span());
}
bool Feature(HidDeviceManager& hid) { return hid.SendFeatureReport(MakeFamily2Feature(0xF7, {1})); }

const WriteFault kRefuseOne{0, 1};
const WriteFault kRefuseAll{0, -1};

class Transport : public ::testing::TestWithParam<TransportCase> {};

TEST_P(Transport, RetriesPausesAndTimeouts) {
    const TransportCase& c = GetParam();
    Rig rig(KeyboardSetup::Cable());
    ASSERT_EQ(rig.Rescan(), 0);
    if (c.fault) rig.kb.SetWriteFault(*c.fault);
    rig.kb.SetSilent(c.silent);
    const std::size_t mark = rig.Mark();
    const std::int64_t start = rig.clock.NowMs();

    EXPECT_EQ(c.send(rig.hid), c.result);
    EXPECT_EQ(rig.clock.PauseLengths(), c.pauses);
    EXPECT_EQ(rig.clock.NowMs() - start, c.elapsedMs);
    EXPECT_EQ(rig.kb.ReportsAfter(mark).size(), c.received);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Transport,
    ::testing::Values(
        TransportCase{"WriteReport", Report65, {}, false, true, {}, 0, 1},
        TransportCase{"WriteReportRetried", Report65, kRefuseOne, false, true, {10}, 10, 1},
        TransportCase{"WriteReportRefused", Report65, kRefuseAll, false, false, {10}, 10, 0},
        TransportCase{"WritePacketRetried", Packet, kRefuseOne, false, true, {32}, 32, 1},
        TransportCase{"WritePacketRefused", Packet, kRefuseAll, false, false, {32}, 32, 0},
        TransportCase{"SendCommand", [](auto& h) { return SleepCommand(h, false); }, {}, false, true, {}, 0, 1},
        TransportCase{"SendCommandRetried", [](auto& h) { return SleepCommand(h, false); }, kRefuseOne, false, true, {10}, 10, 1},
        TransportCase{"SendCommandRefused", [](auto& h) { return SleepCommand(h, true); }, kRefuseAll, false, false, {10}, 10, 0},
        TransportCase{"SendCommandReply", StatusCommand, {}, false, true, {100}, 100, 1},
        // No reply: 100 ms pause, then the whole 500 ms read time-out.
        TransportCase{"SendCommandNoReply", StatusCommand, {}, true, false, {100}, 600, 1},
        TransportCase{"QueryCommand", Query, {}, false, true, {}, 0, 1},
        // The failed retry is not the end: the read still runs (and finds nothing).
        TransportCase{"QueryCommandRefused", Query, kRefuseAll, false, false, {10}, 20, 0},
        TransportCase{"QueryCommandSilent", Query, {}, true, false, {}, 10, 1},
        // Sent after 16 ms and reported as false all the same.
        TransportCase{"SendFeatureReport", Feature, {}, false, false, {16}, 16, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Transport, RepliesComeBackWithoutTheReportId) {
    Rig rig(KeyboardSetup::Cable());
    rig.Rescan();
    CommandPacket p = MakeStatusQuery(Framing::A);
    ASSERT_TRUE(rig.hid.SendCommand(p.span(), true));
    EXPECT_EQ(devicesim::HexBytes(p.bytes), "aa 55 cc 33 0e 50 03");
}

TEST(Transport, LateReplyIsDeliveredByTheNextRead) {
    Rig rig(KeyboardSetup::Cable());
    rig.Rescan();
    rig.kb.SetReplyDelay(30);
    CommandPacket p = MakeStatusQuery(Framing::A);
    EXPECT_FALSE(rig.hid.QueryCommand(p.span())) << "10 ms is too short for a 30 ms reply";
    EXPECT_EQ(p[6], 0);

    rig.clock.Advance(25);
    CommandPacket next;
    ASSERT_TRUE(rig.hid.ReadAnyReply(next.span()));
    EXPECT_EQ(devicesim::HexBytes(next.bytes), "aa 55 cc 33 0e 50 03");
}

TEST(Transport, ExchangeFeatureBlockReadsTheSlotTableInFourPasses) {
    Rig rig(KeyboardSetup::Family2());
    rig.Rescan(devicesim::kK2DeviceType);
    // Simple slot 3 holds key 0x04 and long slot 13 key 0x2C (table bytes 16 and 13).
    rig.hid.SendFeatureReport(MakeFamily2Feature(0xFA, {0x01, 3, 0x04, 0x01, 0x05, 0x01}));
    rig.hid.SendFeatureReport(MakeFamily2Feature(0xF1, {1, 13, 0x2C, 1, 0, 0}));
    for (int n = 1; n < 28; ++n) rig.hid.SendFeatureReport(MakeFamily2Feature(0x00));

    const std::size_t mark = rig.Mark();
    std::uint8_t buffer[kFeatureBlockSize] = {0xAA, 0x55, 0xCC, 0x0F};
    ASSERT_TRUE(rig.hid.ExchangeFeatureBlock(buffer));
    EXPECT_EQ(rig.clock.PauseLengths(), (std::vector<std::int64_t>{16, 16, 16, 16}));
    std::uint8_t expected[kFeatureBlockSize] = {};
    expected[13] = 0x2C;
    expected[16] = 0x04;
    EXPECT_EQ(devicesim::HexBytes(buffer, false), devicesim::HexBytes(expected, false));

    const auto sent = rig.SentSince(mark);
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[0], "fset aa 55 cc 0f");
    EXPECT_EQ(sent[1], "fget 07 fb 01");
    EXPECT_EQ(rig.kb.State().family2.fullUploadStarts, 1);
}

}  // namespace
}  // namespace keyloft::testing
