#include "device/ChunkedTransfer.h"

#include <algorithm>

#include "base/Clock.h"

namespace keyloft {

namespace {
constexpr int kBlockChunkPauseMs = 20;
constexpr int kBlockEndPauseMs = 170;
constexpr int kLiveChunkPauseMsB = 1;
constexpr int kPerKeyChunkPauseMs = 3;

ChunkLayout Layout(Framing framing, std::uint8_t codeA, int countA, std::uint8_t codeB, int countB) {
    if (framing == Framing::A) return {codeA, countA, 5, 54};
    return {codeB, countB, 4, 16};
}
}  // namespace

ChunkLayout KeyFunctionBlockLayout(Framing framing) { return Layout(framing, 0x00, 3, 0x20, 8); }
ChunkLayout LiveColourFrameLayout(Framing framing) { return Layout(framing, 0xF0, 6, 0xC0, 21); }
ChunkLayout PerKeyColourTableLayout(Framing framing) { return Layout(framing, 0xF6, 6, 0xE0, 21); }

CommandPacket BuildChunk(Framing framing, const ChunkLayout& layout, int index,
                         std::span<const std::uint8_t> source) {
    CommandPacket p = MakeCommand(framing, static_cast<std::uint8_t>(layout.firstCode + index));
    const std::size_t from = layout.chunkBytes * static_cast<std::size_t>(index);
    if (from < source.size()) {
        const std::size_t n = std::min(layout.chunkBytes, source.size() - from);
        std::copy_n(source.begin() + from, n, p.bytes.begin() + layout.dataOffset);
    }
    return p;
}

bool SendKeyFunctionBlock(HidDeviceManager& hid, Framing framing,
                          std::span<const std::uint8_t> block) {
    const ChunkLayout layout = KeyFunctionBlockLayout(framing);
    bool all = true;
    for (int i = 0; i < layout.count; ++i) {
        CommandPacket p = BuildChunk(framing, layout, i, block);
        all = hid.SendCommand(p.span(), false) && all;
        SleepMs(kBlockChunkPauseMs);
    }
    SleepMs(kBlockEndPauseMs);
    return all;
}

bool SendLiveColourFrame(HidDeviceManager& hid, Framing framing, std::span<const std::uint8_t> rgb) {
    const ChunkLayout layout = LiveColourFrameLayout(framing);
    for (int i = 0; i < layout.count; ++i) {
        const Report r = ToReport(BuildChunk(framing, layout, i, rgb));
        if (!hid.WriteReport(r)) return false;
        if (framing == Framing::B) SleepMs(kLiveChunkPauseMsB);
    }
    return true;
}

bool SendEightColourFrame(HidDeviceManager& hid, Framing framing, std::span<const std::uint8_t> rgb24) {
    const std::span<const std::uint8_t> colours = rgb24.first(std::min<std::size_t>(rgb24.size(), 24));
    const ChunkLayout live = LiveColourFrameLayout(framing);
    const int chunks = framing == Framing::A ? 1 : 2;
    for (int i = 0; i < chunks; ++i) {
        const Report r = ToReport(BuildChunk(framing, live, i, colours));
        if (!hid.WriteReport(r)) return false;
    }
    return true;
}

bool SendPerKeyColourTable(HidDeviceManager& hid, Framing framing,
                           std::span<const std::uint8_t> table) {
    const ChunkLayout layout = PerKeyColourTableLayout(framing);
    for (int i = 0; i < layout.count; ++i) {
        SleepMs(kPerKeyChunkPauseMs);
        const Report r = ToReport(BuildChunk(framing, layout, i, table));
        if (!hid.WriteReport(r)) return false;
    }
    return true;
}

bool SendArmIfNeeded(HidDeviceManager& hid, Framing framing, bool& armed) {
    if (!armed) return true;
    armed = false;
    CommandPacket p = MakeCommand(framing, cmd::kArm);
    return hid.SendCommand(p.span(), true);
}

}  // namespace keyloft
