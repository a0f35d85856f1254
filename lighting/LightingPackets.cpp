#include "lighting/LightingPackets.h"

namespace keyloft {

namespace {

// A stored value of 0 where the keyboard counts from 0 (a mode, brightness or
// speed that was never set) goes out as 0, not as 0xFF.
std::uint8_t LessOne(int value) { return static_cast<std::uint8_t>(value > 0 ? value - 1 : 0); }
std::uint8_t Byte(int value) { return static_cast<std::uint8_t>(value); }
std::uint8_t Red(std::uint32_t c) { return static_cast<std::uint8_t>(c); }
std::uint8_t Green(std::uint32_t c) { return static_cast<std::uint8_t>(c >> 8); }
std::uint8_t Blue(std::uint32_t c) { return static_cast<std::uint8_t>(c >> 16); }

constexpr std::uint8_t kFamily1ModeOnly = 0x88;
constexpr std::uint8_t kFamily1Settings = 0x89;
constexpr std::uint8_t kFamily2Lighting = 0xF7;
constexpr std::uint8_t kFamily2ReceiverLighting = 0xAA;
constexpr int kFamily2ColourMode = 4;  // its colour takes three of the setting bytes

// Family 2 sends 0 for 0 and value - 1 otherwise.
std::uint8_t Family2Level(int value) { return Byte(value != 0 ? value - 1 : 0); }

// The setting bytes of family 2 after the mode: colour index, direction, speed,
// brightness, custom set index (0); mode 4 puts red, green and blue in the
// places of direction, speed and the custom set index.
std::array<std::uint8_t, 5> Family2Settings(const LightSetting& s) {
    std::array<std::uint8_t, 5> b = {Byte(s.colorindex), Byte(s.direction), Family2Level(s.speed),
                                     Family2Level(s.brightness), 0};
    if (s.mode == kFamily2ColourMode) {
        const auto colour = static_cast<std::uint32_t>(s.color_value);
        b[1] = Red(colour);
        b[2] = Green(colour);
        b[4] = Blue(colour);
    }
    return b;
}

}  // namespace

CommandPacket Family3ModePacket(Framing framing, const LightSetting& s) {
    return MakeCommand(framing, cmd::kLighting,
                       {LessOne(s.mode), LessOne(s.brightness), LessOne(s.speed), Byte(s.direction), Byte(s.colorindex)});
}

CommandPacket Family3LightBoxPacket(const LightSetting& s) {
    return MakeCommand(Framing::A, cmd::kLighting,
                       {static_cast<std::uint8_t>(LessOne(s.mode) | 0x80),
                        static_cast<std::uint8_t>(LessOne(s.brightness) | 0x80),
                        static_cast<std::uint8_t>(LessOne(s.speed) | 0x80),
                        static_cast<std::uint8_t>(Byte(s.direction) | 0x80),
                        static_cast<std::uint8_t>(Byte(s.colorindex) | 0x80)});
}

Report Family1LightingReport(const LightSetting& s, bool lightBox, bool modeSelected) {
    const std::uint8_t target = lightBox ? 1 : 0;
    if (!modeSelected) return MakeFamily1Report(kFamily1ModeOnly, {target, Byte(s.mode)});
    const auto colour = static_cast<std::uint32_t>(s.color_value);
    const std::uint8_t packed = static_cast<std::uint8_t>((s.colorful & 1) << 7 | (s.direction & 3) << 4 | (s.speed & 0x0F));
    return MakeFamily1Report(kFamily1Settings,
                             {target, packed, Red(colour), Green(colour), Blue(colour), Byte(s.brightness)});
}

Report Family2CableLightingReport(const LightSetting& s) {
    const auto b = Family2Settings(s);
    return MakeFamily2Feature(kFamily2Lighting, {LessOne(s.mode), b[0], b[1], b[2], b[3], b[4]});
}

CommandPacket Family2ReceiverLightingPacket(const LightSetting& s) {
    const auto b = Family2Settings(s);
    return MakeFamily2ReceiverPacket({kFamily2ReceiverLighting, LessOne(s.mode), b[0], b[1], b[2], b[3], b[4]});
}

int LightPositionOf(const LightPositions& positions, int keyCode) {
    const auto it = positions.find(keyCode);
    return it == positions.end() ? 0 : it->second;
}

void PutKeyColour(PerKeyTable& table, const LightPositions& positions, int keyCode, std::uint32_t colour) {
    const int p = LightPositionOf(positions, keyCode);
    if (p < 0 || p >= kLightPositions) return;
    table[3 * p] = Red(colour);
    table[3 * p + 1] = Green(colour);
    table[3 * p + 2] = Blue(colour);
}

PerKeyTable PerKeyTableOf(const std::vector<KeyLight>& lights, const LightPositions& positions) {
    PerKeyTable table{};
    for (const KeyLight& light : lights)
        PutKeyColour(table, positions, light.key_code, static_cast<std::uint32_t>(light.key_rgb));
    return table;
}

std::array<std::uint8_t, 24> ZoneStream(const std::array<std::uint32_t, 8>& zones) {
    std::array<std::uint8_t, 24> stream{};
    for (int i = 0; i < 8; ++i) {
        const std::uint32_t c = zones[7 - i];
        stream[3 * i] = Red(c);
        stream[3 * i + 1] = Green(c);
        stream[3 * i + 2] = Blue(c);
    }
    return stream;
}

}  // namespace keyloft
