// The bytes of the lighting packets: the mode and settings packets of the three
// keyboard families and of the light box, the per-key colour table, the zone
// stream of the eight-colour frame and the per-key table of the live colour
// frame. Pure functions on plain values; any thread.
//
// Colours are COLORREF values 0x00BBGGRR (red in the low byte); packets carry
// red, green, blue in that order.
#pragma once

#include "device/CommandPacket.h"
#include "store/StoreRecords.h"

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace keyloft {

inline constexpr int kPerKeyTableSize = 600;  // 3 bytes for each of 200 light positions
inline constexpr int kLightPositions = 200;
inline constexpr int kCustomLightingMode = 24;  // the per-key mode of family 3
inline constexpr int kLightBoxProfile = 999;

using PerKeyTable = std::array<std::uint8_t, kPerKeyTableSize>;
// The light position of each key code (the layout's key index).
using LightPositions = std::map<int, int>;

// Family 3 keyboard: command 0x07 with mode - 1, brightness - 1, speed - 1,
// direction, colour index.
CommandPacket Family3ModePacket(Framing framing, const LightSetting& s);
// Family 3 light box: command 0x07 in framing A whatever the link, every
// argument with bit 0x80 set.
CommandPacket Family3LightBoxPacket(const LightSetting& s);
// Family 1 (and the light box of families 1 and 2): a whole output report.
// Without `modeSelected` only the mode (0x88); with it the settings (0x89).
Report Family1LightingReport(const LightSetting& s, bool lightBox, bool modeSelected);
// Family 2 keyboard by cable: feature report 7, sub-command 0xF7.
Report Family2CableLightingReport(const LightSetting& s);
// Family 2 keyboard through the receiver: BB AA 99 88 AA ...
CommandPacket Family2ReceiverLightingPacket(const LightSetting& s);

// Light position of `keyCode`: its index from the layout, 0 when it has none.
int LightPositionOf(const LightPositions& positions, int keyCode);
// Puts `colour` at the light position of `keyCode`; positions of 200 or more
// have no place and are left out.
void PutKeyColour(PerKeyTable& table, const LightPositions& positions, int keyCode, std::uint32_t colour);
// The table of stored key colours; a later row wins a shared position.
PerKeyTable PerKeyTableOf(const std::vector<KeyLight>& lights, const LightPositions& positions);

// The 24-byte zone stream: zone 7 first, down to zone 0, each red, green, blue.
std::array<std::uint8_t, 24> ZoneStream(const std::array<std::uint32_t, 8>& zones);

}  // namespace keyloft
