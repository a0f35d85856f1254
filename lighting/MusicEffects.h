// Zone colours of the music effects: turns the music level into the colours of
// the keyboard's 8 lighting zones, one frame at a time.
//
// The effect state (the flows' phases and smoothed length, the colour-cycling
// meter's target and current colour) is one set for the whole program, owned by
// the worker thread that computes the frames; one thread at a time may call
// Compute. Unknown effect numbers give a black frame.
#pragma once

#include <array>
#include <cstdint>

namespace keyloft {

// Music effect numbers, as stored in a music layer's foremode.
enum MusicEffect : int {
    kEffectRainbowMeter = 102,
    kEffectFlowFromMiddle = 106,
    kEffectFlowFromEnds = 107,
    kEffectFlowFromZone0 = 108,
    kEffectFlowFromLastZone = 109,
    kEffectColourCyclingMeter = 110,
};

// COLORREF (0x00BBGGRR) of hue `hue` degrees at full saturation and value.
std::uint32_t HueColour(int hue);

class MusicEffects {
public:
    static constexpr int kZones = 8;
    using Zones = std::array<std::uint32_t, kZones>;  // COLORREF per zone

    // One frame of `effect` at music level `level`; `nowMs` is the clock used by
    // the colour-cycling meter to move on to the next target every 5 s.
    Zones Compute(int effect, float level, std::int64_t nowMs);

    double PhaseA() const { return phaseA_; }
    double PhaseB() const { return phaseB_; }
    float SmoothedLength() const { return length_; }
    // The colour-cycling meter's current colour (COLORREF) and target index.
    std::uint32_t CyclingColour() const;
    int CyclingIndex() const { return cycleIndex_; }

    // Distance step of zone `zone` for a flow effect (0 for the other effects).
    static int DistanceStep(int effect, int zone);

private:
    Zones Meter(int effect, float level, std::int64_t nowMs);
    Zones Flow(int effect, float level);

    double phaseA_ = 0.0;
    double phaseB_ = 0.0;
    float length_ = 2.0f;
    int cycleIndex_ = 0;
    std::int64_t cycleChangedMs_ = 0;
    bool cycleStarted_ = false;
    int red_ = 0, green_ = 0, blue_ = 0;
};

}  // namespace keyloft
