// Long data sent to a family 3 keyboard as consecutive packets whose command byte
// is a chunk number.
//
// Framing A carries 54 data bytes per packet at bytes 5..58, framing B 16 bytes at
// bytes 4..19; chunk i carries source bytes from 54*i (A) or 16*i (B). Sources
// shorter than a transfer are sent zero-padded; longer ones are cut.
//
//   transfer              A                  B                   pauses
//   key function block    0x00..0x02 (162)   0x20..0x27 (128)    20 ms after each, 170 after the last
//   live colour frame     0xF0..0xF5 (324)   0xC0..0xD4 (336)    B: 1 ms after each chunk
//   eight-colour frame    0xF0 (24 at 5..28) 0xC0, 0xC1          none
//   per-key colour table  0xF6..0xFB (324)   0xE0..0xF4 (336)    3 ms before each chunk
//
// Key function blocks go through SendCommand and carry on past a failed chunk (the
// next full upload repairs the keyboard); colour transfers go through WriteReport
// and stop at the first chunk that cannot be written. Any thread (the worker, in
// the program); packets are built on the stack.
#pragma once

#include <cstdint>
#include <span>

#include "device/CommandPacket.h"

namespace keyloft {

struct ChunkLayout {
    std::uint8_t firstCode;
    int count;
    std::size_t dataOffset;  // in the 64-byte packet
    std::size_t chunkBytes;
    std::size_t totalBytes() const { return static_cast<std::size_t>(count) * chunkBytes; }
};

ChunkLayout KeyFunctionBlockLayout(Framing framing);
ChunkLayout LiveColourFrameLayout(Framing framing);
ChunkLayout PerKeyColourTableLayout(Framing framing);

// Chunk `index` of `source` in `layout`, as a packet of `framing`.
CommandPacket BuildChunk(Framing framing, const ChunkLayout& layout, int index,
                         std::span<const std::uint8_t> source);

// One key's long function (the 512-byte block of the key upload; only the first
// 162 (A) or 128 (B) bytes reach the keyboard). Sends every chunk whatever the
// results; true if all were taken.
bool SendKeyFunctionBlock(HidDeviceManager& hid, Framing framing,
                          std::span<const std::uint8_t> block);

// One frame of software lighting (RGB triplets). False at the first failed chunk.
bool SendLiveColourFrame(HidDeviceManager& hid, Framing framing,
                         std::span<const std::uint8_t> rgb);
// Eight colours (24 bytes, RGB each). False at the first failed chunk.
bool SendEightColourFrame(HidDeviceManager& hid, Framing framing,
                          std::span<const std::uint8_t> rgb24);
// The per-key colour table (600 bytes, RGB per light position). False at the first
// failed chunk.
bool SendPerKeyColourTable(HidDeviceManager& hid, Framing framing,
                           std::span<const std::uint8_t> table);

// Command 0x09 with a reply (read, not examined), sent once before a per-key colour
// upload or a live colour stream after the caller armed it; clears `armed`.
// Does nothing when `armed` is false. Returns the send's result (true when idle).
bool SendArmIfNeeded(HidDeviceManager& hid, Framing framing, bool& armed);

}  // namespace keyloft
