// Chunked transfers: which codes, where the data sits, the pauses, and where a
// failed write stops them.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "DeviceRig.h"
#include "device/ChunkedTransfer.h"

namespace keyloft::testing {
namespace {

using Sender = std::function<bool(HidDeviceManager&, Framing, std::span<const std::uint8_t>)>;

struct ChunkCase {
    const char* name;
    bool receiver;          // framing B
    Sender send;
    int firstCode;
    int chunks;
    std::size_t dataOffset;  // in the report (report id first)
    std::size_t chunkBytes;
    std::vector<std::int64_t> pauses;
};

std::vector<std::int64_t> Repeat(std::int64_t ms, int n, std::vector<std::int64_t> tail = {}) {
    std::vector<std::int64_t> v(static_cast<std::size_t>(n), ms);
    v.insert(v.end(), tail.begin(), tail.end());
    return v;
}

// Distinct non-zero bytes, so any byte in the wrong place shows.
std::vector<std::uint8_t> Source(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(1 + i % 251);
    return v;
}

class ChunkedTransfer : public ::testing::TestWithParam<ChunkCase> {};

TEST_P(ChunkedTransfer, CodesDataAndPauses) {
    const ChunkCase& c = GetParam();
    Rig rig(c.receiver ? KeyboardSetup::Receiver() : KeyboardSetup::Cable());
    const Framing framing = FramingForSelector(rig.Rescan());
    ASSERT_EQ(framing, c.receiver ? Framing::B : Framing::A);
    const std::vector<std::uint8_t> source = Source(600);
    const std::size_t mark = rig.Mark();

    ASSERT_TRUE(c.send(rig.hid, framing, source));
    const auto sent = rig.kb.ReportsAfter(mark);
    ASSERT_EQ(sent.size(), static_cast<std::size_t>(c.chunks));
    for (int i = 0; i < c.chunks; ++i) {
        const std::vector<std::uint8_t>& r = sent[i].bytes;
        ASSERT_EQ(r.size(), kReportSize);
        std::vector<std::uint8_t> expected(kReportSize, 0);
        expected[1] = 0xAA;
        expected[2] = 0x55;
        expected[3] = 0xCC;
        if (!c.receiver) expected[4] = 0x33;
        expected[c.receiver ? 4 : 5] = static_cast<std::uint8_t>(c.firstCode + i);
        const std::size_t from = c.chunkBytes * i;
        const std::size_t n = std::min(c.chunkBytes, source.size() - std::min(from, source.size()));
        std::copy_n(source.begin() + from, n, expected.begin() + c.dataOffset);
        EXPECT_EQ(devicesim::HexBytes(r, false), devicesim::HexBytes(expected, false)) << "chunk " << i;
    }
    EXPECT_EQ(rig.clock.PauseLengths(), c.pauses);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChunkedTransfer,
    ::testing::Values(
        ChunkCase{"KeyFunctionBlockA", false, SendKeyFunctionBlock, 0x00, 3, 6, 54, Repeat(20, 3, {170})},
        ChunkCase{"KeyFunctionBlockB", true, SendKeyFunctionBlock, 0x20, 8, 5, 16, Repeat(20, 8, {170})},
        ChunkCase{"LiveColourFrameA", false, SendLiveColourFrame, 0xF0, 6, 6, 54, {}},
        ChunkCase{"LiveColourFrameB", true, SendLiveColourFrame, 0xC0, 21, 5, 16, Repeat(1, 21)},
        ChunkCase{"PerKeyColourTableA", false, SendPerKeyColourTable, 0xF6, 6, 6, 54, Repeat(3, 6)},
        ChunkCase{"PerKeyColourTableB", true, SendPerKeyColourTable, 0xE0, 21, 5, 16, Repeat(3, 21)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChunkedTransfer, EightColourFrameCarriesOnlyTheColours) {
    std::vector<std::uint8_t> colours = Source(24);
    {
        Rig rig(KeyboardSetup::Cable());
        rig.Rescan();
        const std::size_t mark = rig.Mark();
        ASSERT_TRUE(SendEightColourFrame(rig.hid, Framing::A, colours));
        const auto sent = rig.SentSince(mark);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0], "out 00 aa 55 cc 33 f0 " + devicesim::HexBytes(colours));
        EXPECT_TRUE(rig.clock.PauseLengths().empty());
    }
    {
        Rig rig(KeyboardSetup::Receiver());
        rig.Rescan();
        const std::size_t mark = rig.Mark();
        ASSERT_TRUE(SendEightColourFrame(rig.hid, Framing::B, colours));
        const auto sent = rig.SentSince(mark);
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[0], "out 00 aa 55 cc c0 " + devicesim::HexBytes(std::span(colours).first(16)));
        EXPECT_EQ(sent[1], "out 00 aa 55 cc c1 " + devicesim::HexBytes(std::span(colours).subspan(16)));
        const auto frame = rig.kb.State().lastColourFrame;
        EXPECT_EQ(frame.chunks, 2);
        EXPECT_FALSE(frame.complete);
    }
}

TEST(ChunkedTransfer, ReceiverColourFrameStopsAtTheFifthFailedWrite) {
    Rig rig(KeyboardSetup::Receiver());
    rig.Rescan();
    rig.kb.SetWriteFault({4, -1});
    const std::size_t mark = rig.Mark();
    EXPECT_FALSE(SendLiveColourFrame(rig.hid, Framing::B, Source(336)));
    const auto sent = rig.kb.ReportsAfter(mark);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent.back().bytes[4], 0xC3);
    // Four chunks with their 1 ms pauses, then the 10 ms before the one retry.
    EXPECT_EQ(rig.clock.PauseLengths(), (std::vector<std::int64_t>{1, 1, 1, 1, 10}));
    EXPECT_EQ(rig.kb.State().completeLiveFrames, 0);
}

TEST(ChunkedTransfer, PerKeyTableStopsAtTheFirstFailedChunk) {
    Rig rig(KeyboardSetup::Cable());
    rig.Rescan();
    rig.kb.SetWriteFault({2, -1});
    const std::size_t mark = rig.Mark();
    EXPECT_FALSE(SendPerKeyColourTable(rig.hid, Framing::A, Source(600)));
    EXPECT_EQ(rig.kb.ReportsAfter(mark).size(), 2u);
    EXPECT_EQ(rig.clock.PauseLengths(), (std::vector<std::int64_t>{3, 3, 3, 10}));
}

TEST(ChunkedTransfer, KeyFunctionBlockGoesOnPastAFailedChunk) {
    Rig rig(KeyboardSetup::Cable());
    rig.Rescan();
    rig.kb.SetWriteFault({1, 2});  // the second chunk and its retry are refused
    const std::size_t mark = rig.Mark();
    EXPECT_FALSE(SendKeyFunctionBlock(rig.hid, Framing::A, Source(512)));
    const auto sent = rig.kb.ReportsAfter(mark);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].bytes[5], 0x00);
    EXPECT_EQ(sent[1].bytes[5], 0x02);
    EXPECT_EQ(rig.clock.PauseLengths(), (std::vector<std::int64_t>{20, 10, 20, 20, 170}));
}

TEST(ChunkedTransfer, ArmIsSentOnceUntilArmedAgain) {
    Rig rig(KeyboardSetup::Cable());
    rig.Rescan();
    bool armed = true;
    EXPECT_TRUE(SendArmIfNeeded(rig.hid, Framing::A, armed));
    EXPECT_FALSE(armed);
    EXPECT_TRUE(SendArmIfNeeded(rig.hid, Framing::A, armed));
    EXPECT_EQ(rig.kb.State().arms, 1);
}

TEST(ChunkedTransfer, ShortSourcesAreZeroPadded) {
    const std::uint8_t three[] = {9, 8, 7};
    const CommandPacket last = BuildChunk(Framing::B, LiveColourFrameLayout(Framing::B), 20, three);
    EXPECT_EQ(devicesim::HexBytes(last.bytes), "aa 55 cc d4");
    const CommandPacket first = BuildChunk(Framing::B, LiveColourFrameLayout(Framing::B), 0, three);
    EXPECT_EQ(devicesim::HexBytes(first.bytes), "aa 55 cc c0 09 08 07");
}

}  // namespace
}  // namespace keyloft::testing
