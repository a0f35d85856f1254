#include "lighting/MusicEffects.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace keyloft {
namespace {

using Zones = MusicEffects::Zones;
constexpr std::int64_t kLongAfterStart = 100000;

TEST(HueColour, SectorsAtFullSaturation) {
    struct Case {
        int hue;
        std::uint32_t colour;  // 0x00BBGGRR
    };
    const Case cases[] = {
        {0, 0x0000FF},   {45, 0x00BFFF},  {60, 0x00FFFF},  {90, 0x00FF7F},
        {120, 0x00FF00}, {135, 0x3FFF00}, {180, 0xFFFF00}, {240, 0xFF0000},
        {300, 0xFF00FF}, {359, 0x0400FF},
    };
    for (const Case& c : cases) EXPECT_EQ(HueColour(c.hue), c.colour) << "hue " << c.hue;
}

TEST(RainbowMeter, LevelSetsHowManyZonesLight) {
    struct Case {
        float level;
        int lit;
    };
    const Case cases[] = {{0.0f, 0}, {5.0f, 0}, {34.0f, 0}, {36.0f, 1}, {140.0f, 4}, {279.0f, 7}, {280.0f, 8}, {900.0f, 8}};
    for (const Case& c : cases) {
        MusicEffects effects;
        const Zones zones = effects.Compute(kEffectRainbowMeter, c.level, kLongAfterStart);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(zones[i], i < c.lit ? HueColour(45 * i) : 0u) << "level " << c.level << " zone " << i;
    }
}

TEST(RainbowMeter, HalfLevelLightsTheFirstFourHues) {
    MusicEffects effects;
    const Zones zones = effects.Compute(kEffectRainbowMeter, 140.0f, kLongAfterStart);
    EXPECT_EQ(zones, (Zones{HueColour(0), HueColour(45), HueColour(90), HueColour(135), 0, 0, 0, 0}));
}

TEST(FlowEffects, DistanceStepsOfEachZone) {
    struct Case {
        int effect;
        std::vector<int> steps;
    };
    const Case cases[] = {
        {kEffectFlowFromMiddle, {5, 3, 1, 0, 0, 1, 3, 5}},
        {kEffectFlowFromEnds, {0, 1, 3, 5, 5, 3, 1, 0}},
        {kEffectFlowFromZone0, {0, 1, 2, 3, 4, 5, 6, 7}},
        {kEffectFlowFromLastZone, {7, 6, 5, 4, 3, 2, 1, 0}},
    };
    for (const Case& c : cases) {
        std::vector<int> steps;
        for (int i = 0; i < 8; ++i) steps.push_back(MusicEffects::DistanceStep(c.effect, i));
        EXPECT_EQ(steps, c.steps) << "effect " << c.effect;
    }
}

TEST(FlowEffects, ShortLengthLightsOnlyTheFirstTwoSteps) {
    // Level 10: m = 0.1, target 0.8, length 2 * 0.8 + 0.8 * 0.2 = 1.76, lit 2.
    struct Case {
        int effect;
        std::vector<bool> lit;
    };
    const Case cases[] = {
        {kEffectFlowFromMiddle, {false, false, true, true, true, true, false, false}},
        {kEffectFlowFromEnds, {true, true, false, false, false, false, true, true}},
        {kEffectFlowFromZone0, {true, true, false, false, false, false, false, false}},
        {kEffectFlowFromLastZone, {false, false, false, false, false, false, true, true}},
    };
    for (const Case& c : cases) {
        MusicEffects effects;
        const Zones zones = effects.Compute(c.effect, 10.0f, kLongAfterStart);
        EXPECT_FLOAT_EQ(effects.SmoothedLength(), 1.76f);
        for (int i = 0; i < 8; ++i) EXPECT_EQ(zones[i] != 0, c.lit[i]) << "effect " << c.effect << " zone " << i;
    }
}

TEST(FlowEffects, HueFollowsPhaseAndDistanceAndTheMiddleFollowsPhaseB) {
    MusicEffects effects;
    Zones zones{};
    for (int frame = 0; frame < 10; ++frame) zones = effects.Compute(kEffectFlowFromMiddle, 280.0f, kLongAfterStart);
    // After 10 loud frames: A = 0.3, B = 0.05, length close to 8, every zone lit.
    EXPECT_NEAR(effects.PhaseA(), 0.3, 1e-9);
    EXPECT_NEAR(effects.PhaseB(), 0.05, 1e-9);
    // Zone 0, step 5: frac(0.3 - 5/8) + 0.05 = 0.725 -> 261 degrees.
    EXPECT_EQ(zones[0], HueColour(261));
    // Zone 1, step 3: frac(0.3 - 0.375) + 0.05 = 0.975 -> 351 degrees.
    EXPECT_EQ(zones[1], HueColour(351));
    // Zone 2, step 1: 0.3 - 0.125 + 0.05 = 0.225 -> 81 degrees.
    EXPECT_EQ(zones[2], HueColour(81));
    EXPECT_EQ(zones[3], HueColour(18));
    EXPECT_EQ(zones[4], HueColour(18));

    // Flowing in from the ends: zone 3 has step 5 and no override.
    MusicEffects ends;
    for (int frame = 0; frame < 10; ++frame) zones = ends.Compute(kEffectFlowFromEnds, 280.0f, kLongAfterStart);
    EXPECT_EQ(zones[3], HueColour(261));
    EXPECT_EQ(zones[0], HueColour(126));  // step 0: 0.3 + 0.05 -> 126 degrees
}

TEST(FlowEffects, PhaseWrapsToZeroWhenItReachesOne) {
    MusicEffects effects;
    for (int frame = 0; frame < 34; ++frame) effects.Compute(kEffectFlowFromZone0, 200.0f, kLongAfterStart);
    // 0.03 * 34 = 1.02: the 34th step reached 1 and restarted at 0.
    EXPECT_NEAR(effects.PhaseA(), 0.0, 1e-9);
    EXPECT_NEAR(effects.PhaseB(), 0.17, 1e-9);
}

TEST(FlowEffects, SilenceIsBlackAndStopsThePhases) {
    MusicEffects effects;
    effects.Compute(kEffectFlowFromMiddle, 200.0f, kLongAfterStart);
    const double a = effects.PhaseA(), b = effects.PhaseB();
    const float length = effects.SmoothedLength();
    for (int frame = 0; frame < 5; ++frame) {
        EXPECT_EQ(effects.Compute(kEffectFlowFromMiddle, 5.0f, kLongAfterStart), Zones{});
    }
    EXPECT_EQ(effects.PhaseA(), a);
    EXPECT_EQ(effects.PhaseB(), b);
    EXPECT_EQ(effects.SmoothedLength(), length);
}

TEST(ColourCyclingMeter, FadesFromBlackToRedThenMovesOnEveryFiveSeconds) {
    MusicEffects effects;
    std::int64_t now = 10000;
    Zones zones = effects.Compute(kEffectColourCyclingMeter, 280.0f, now);
    EXPECT_EQ(effects.CyclingIndex(), 1);  // the first frame moves on at once
    EXPECT_EQ(zones, (Zones{1, 1, 1, 1, 1, 1, 1, 1}));
    for (int frame = 1; frame < 255; ++frame) zones = effects.Compute(kEffectColourCyclingMeter, 280.0f, now += 16);
    EXPECT_EQ(zones[0], 0x0000FFu);  // 255 steps: full red
    EXPECT_EQ(effects.CyclingIndex(), 1);

    // 5 s after the change the target becomes orange (255, 64, 0): green rises.
    effects.Compute(kEffectColourCyclingMeter, 280.0f, now = 10000 + 5001);
    EXPECT_EQ(effects.CyclingIndex(), 2);
    EXPECT_EQ(effects.CyclingColour(), 0x0001FFu);

    // Quiet music: all zones black, but the colour keeps fading.
    zones = effects.Compute(kEffectColourCyclingMeter, 3.0f, now += 16);
    EXPECT_EQ(zones, Zones{});
    EXPECT_EQ(effects.CyclingColour(), 0x0002FFu);
}

TEST(MusicEffects, UnknownEffectIsBlack) {
    MusicEffects effects;
    EXPECT_EQ(effects.Compute(0, 280.0f, kLongAfterStart), Zones{});
    EXPECT_EQ(effects.Compute(105, 280.0f, kLongAfterStart), Zones{});
}

}  // namespace
}  // namespace keyloft
