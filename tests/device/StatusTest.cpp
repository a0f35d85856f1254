// What status replies do to the link state, the periodic poll and the battery query.
#include <gtest/gtest.h>

#include "DeviceRig.h"
#include "device/DeviceCommands.h"

namespace keyloft::testing {
namespace {

struct ReplyCase {
    const char* name;
    bool fromQuery;     // the periodic query's reply, or a report picked up unasked
    bool header;        // begins AA 55 CC 33
    int linkByte;
    int battery;
    LinkState before;
    bool connected;     // after
    int selector;       // after
    bool relink;
    int shownBattery;   // -1: none
};

class StatusReply : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(StatusReply, ChangesLinkStateAndBattery) {
    const ReplyCase& c = GetParam();
    CommandPacket reply;
    if (c.header) reply = MakeStatusQuery(Framing::A);
    reply[5] = static_cast<std::uint8_t>(c.battery);
    reply[6] = static_cast<std::uint8_t>(c.linkByte);
    LinkState link = c.before;
    const StatusOutcome out = ApplyStatusReply(reply.span(), c.fromQuery, link);
    EXPECT_EQ(link.connected, c.connected);
    EXPECT_EQ(link.selector, c.selector);
    EXPECT_EQ(out.relink, c.relink);
    EXPECT_EQ(out.battery, c.shownBattery);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusReply,
    ::testing::Values(
        ReplyCase{"CableWhileOnReceiver", true, true, 3, 80, {true, 2}, true, 0, true, 80},
        ReplyCase{"ReceiverUnchanged", true, true, 1, 55, {true, 2}, true, 2, false, 55},
        ReplyCase{"ReceiverBecomesLinked", true, true, 1, 55, {false, 2}, true, 2, true, 55},
        ReplyCase{"KeyboardGone", true, true, 0, 80, {true, 2}, false, 2, true, -1},
        ReplyCase{"BatteryAt100", true, true, 3, 100, {true, 0}, true, 0, false, 100},
        ReplyCase{"Battery101", true, true, 3, 101, {true, 0}, true, 0, false, -1},
        ReplyCase{"Battery255", true, true, 3, 255, {true, 0}, true, 0, false, -1},
        // Another non-zero link byte: not counted as connected, selector kept, battery shown.
        ReplyCase{"OtherLinkByte", true, true, 2, 40, {true, 0}, false, 0, true, 40},
        ReplyCase{"NoHeader", true, false, 0, 80, {true, 0}, true, 0, false, -1},
        // Unasked reports clear the connected flag but never set it.
        ReplyCase{"UnaskedGone", false, true, 0, 80, {true, 2}, false, 2, true, -1},
        ReplyCase{"UnaskedCable", false, true, 3, 70, {true, 2}, true, 0, true, 70},
        ReplyCase{"UnaskedReceiverWhileDisconnected", false, true, 1, 70, {false, 2}, false, 2, false, 70}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StatusPoll, QueriesEveryFiveSecondsFromTheFirstPass) {
    Rig rig(KeyboardSetup::Receiver());
    LinkState link{true, rig.Rescan()};
    ASSERT_EQ(link.selector, 2);
    const std::size_t mark = rig.Mark();

    // Each poll first reads for unasked reports (10 ms), then looks at the time.
    EXPECT_FALSE(RunStatusPoll(rig.hid, 301, link).relink);
    const std::int64_t start = link.lastQueryMs;
    rig.clock.Advance(4980);
    RunStatusPoll(rig.hid, 301, link);  // 4990 ms after the first pass
    EXPECT_TRUE(rig.SentSince(mark).empty()) << "no query before 5000 ms";
    EXPECT_EQ(link.lastQueryMs, start);

    const StatusOutcome out = RunStatusPoll(rig.hid, 301, link);  // 5000 ms
    EXPECT_EQ(link.lastQueryMs, start + 5000);
    EXPECT_EQ(rig.SentSince(mark), (std::vector<std::string>{"out 00 aa 55 cc 0e"}));
    EXPECT_FALSE(out.relink);
    EXPECT_EQ(out.battery, 80);

    // The keyboard is switched off behind its receiver: the next query says so.
    rig.kb.SetLink(2, devicesim::kLinkNone);
    rig.clock.Advance(kStatusQueryIntervalMs);
    const StatusOutcome gone = RunStatusPoll(rig.hid, 301, link);
    EXPECT_TRUE(gone.relink);
    EXPECT_FALSE(link.connected);
    EXPECT_EQ(gone.battery, -1);
}

TEST(StatusPoll, UnaskedCableReportSwitchesTheSelector) {
    Rig rig(KeyboardSetup::Receiver());
    LinkState link{true, rig.Rescan()};
    rig.kb.SetLink(2, devicesim::kLinkCable);
    rig.kb.PushStatusReport(2);
    const StatusOutcome out = RunStatusPoll(rig.hid, 301, link);
    EXPECT_TRUE(out.relink);
    EXPECT_EQ(link.selector, 0);
}

// The cable is plugged while the receiver link is in use and the receiver reports
// it unasked in the same pass in which the periodic query is due: the rescan must
// come first, so that the query goes to the cable entry rather than in framing A
// to the receiver.
TEST(StatusPoll, RescansBeforeThePeriodicQueryWhenTheUnaskedReportChangedTheLink) {
    Rig rig(KeyboardSetup::Receiver());
    LinkState link{true, rig.Rescan()};
    ASSERT_EQ(link.selector, 2);
    int rescans = 0;
    std::size_t afterRescan = 0;
    const RelinkFunction relink = [&](LinkState& l) {
        ++rescans;
        l.selector = rig.Rescan();
        l.connected = l.selector >= 0;
        afterRescan = rig.kb.Reports().size();
    };
    RunStatusPoll(rig.hid, 301, link, relink);  // the first pass starts the 5 s count
    ASSERT_EQ(rescans, 0);

    rig.kb.Plug(KeyboardSetup::Cable().links[0]);
    rig.kb.SetLink(2, devicesim::kLinkCable);
    rig.kb.PushStatusReport(2);
    rig.clock.Advance(kStatusQueryIntervalMs);
    const StatusOutcome out = RunStatusPoll(rig.hid, 301, link, relink);

    EXPECT_TRUE(out.relink);
    EXPECT_EQ(rescans, 1) << "the cable's reply to the query changes nothing more";
    EXPECT_EQ(link.selector, 0);
    const auto query = rig.kb.ReportsAfter(afterRescan);
    ASSERT_EQ(query.size(), 1u) << "the periodic query must follow the rescan";
    EXPECT_EQ(query[0].mode, 0) << "the periodic query went to the receiver";
    EXPECT_EQ(devicesim::HexBytes(query[0].bytes), "00 aa 55 cc 33 0e");
}

TEST(StatusPoll, OlderFamiliesAreQueriedButTheirRepliesIgnored) {
    Rig rig(KeyboardSetup::Family1());
    LinkState link{true, rig.Rescan(devicesim::kK0DeviceType)};
    ASSERT_EQ(link.selector, 0);
    rig.kb.SetLink(0, devicesim::kLinkNone);
    RunStatusPoll(rig.hid, devicesim::kK0DeviceType, link);
    rig.clock.Advance(kStatusQueryIntervalMs);
    const std::size_t mark = rig.Mark();
    const StatusOutcome out = RunStatusPoll(rig.hid, devicesim::kK0DeviceType, link);
    EXPECT_EQ(rig.SentSince(mark), (std::vector<std::string>{"out 00 aa 55 cc 33 0e"}));
    EXPECT_FALSE(out.relink);
    EXPECT_TRUE(link.connected);
    EXPECT_EQ(out.battery, -1);
}

TEST(BatteryQuery, ReportsOnlyLevelsUpTo100ForTheOwnFamily) {
    Rig rig(KeyboardSetup::Cable());
    rig.Rescan();
    EXPECT_EQ(QueryBattery(rig.hid, 301, Framing::A), 80);
    rig.kb.SetBattery(101);
    EXPECT_EQ(QueryBattery(rig.hid, 301, Framing::A), -1);
    rig.kb.SetBattery(0);
    EXPECT_EQ(QueryBattery(rig.hid, 399, Framing::A), 0);

    const std::size_t mark = rig.Mark();
    EXPECT_EQ(QueryBattery(rig.hid, 201, Framing::A), -1);
    EXPECT_EQ(QueryBattery(rig.hid, 400, Framing::A), -1);
    EXPECT_TRUE(rig.SentSince(mark).empty());
}

TEST(Families, DeviceTypesMapToOneFamilyEach) {
    const std::pair<int, KeyboardFamily> rows[] = {
        {0, KeyboardFamily::Family1},   {101, KeyboardFamily::Family1}, {200, KeyboardFamily::Family1},
        {201, KeyboardFamily::Family2}, {299, KeyboardFamily::Family2}, {300, KeyboardFamily::Family3},
        {301, KeyboardFamily::Family3}, {399, KeyboardFamily::Family3}, {400, KeyboardFamily::None},
    };
    for (const auto& [type, family] : rows) EXPECT_EQ(FamilyOfDeviceType(type), family) << type;
    EXPECT_EQ(FramingForSelector(0), Framing::A);
    EXPECT_EQ(FramingForSelector(2), Framing::B);
    EXPECT_EQ(FramingForSelector(-1), Framing::B);
}

}  // namespace
}  // namespace keyloft::testing
