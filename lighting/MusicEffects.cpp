#include "lighting/MusicEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace keyloft {

namespace {

constexpr float kQuietLevel = 5.0f;   // at or below this the keyboard stays dark
constexpr float kFullLevel = 280.0f;  // the level that lights every zone
constexpr std::int64_t kCyclePeriodMs = 5000;

struct Rgb {
    int r, g, b;
};
constexpr Rgb kCycleTargets[8] = {
    {255, 255, 255}, {255, 0, 0},   {255, 64, 0},  {255, 255, 0},
    {0, 0, 255},     {0, 255, 0},   {0, 255, 255}, {64, 0, 255},
};

std::uint32_t ColourRef(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(b) << 16;
}

int StepTowards(int value, int target) {
    if (value < target) return value + 1;
    if (value > target) return value - 1;
    return value;
}

}  // namespace

std::uint32_t HueColour(int hue) {
    const double h = hue;
    const double x = 1.0 - std::fabs(std::fmod(h / 60.0, 2.0) - 1.0);
    double r, g, b;
    if (h >= 0 && h < 60) { r = 1; g = x; b = 0; }
    else if (h >= 60 && h < 120) { r = x; g = 1; b = 0; }
    else if (h >= 120 && h < 180) { r = 0; g = 1; b = x; }
    else if (h >= 180 && h < 240) { r = 0; g = x; b = 1; }
    else if (h >= 240 && h < 300) { r = x; g = 0; b = 1; }
    else { r = 1; g = 0; b = x; }
    auto byte = [](double v) { return std::clamp(static_cast<int>(v * 255.0), 0, 255); };
    return ColourRef(byte(r), byte(g), byte(b));
}

std::uint32_t MusicEffects::CyclingColour() const { return ColourRef(red_, green_, blue_); }

MusicEffects::Zones MusicEffects::Compute(int effect, float level, std::int64_t nowMs) {
    switch (effect) {
    case kEffectRainbowMeter:
    case kEffectColourCyclingMeter:
        return Meter(effect, level, nowMs);
    case kEffectFlowFromMiddle:
    case kEffectFlowFromEnds:
    case kEffectFlowFromZone0:
    case kEffectFlowFromLastZone:
        return Flow(effect, level);
    default:
        return Zones{};
    }
}

MusicEffects::Zones MusicEffects::Meter(int effect, float level, std::int64_t nowMs) {
    // Written so that a level that is not a number also counts as quiet.
    const float m = !(level > kQuietLevel) ? 0.0f : std::clamp(level / kFullLevel, 0.0f, 1.0f);
    const int lit = static_cast<int>(kZones * m);

    std::uint32_t cycling = 0;
    if (effect == kEffectColourCyclingMeter) {
        // The colour fades one step per frame whatever the level, so it keeps
        // moving towards its target while the music is quiet.
        // The first frame moves on at once, whatever the clock reads.
        if (!cycleStarted_ || nowMs - cycleChangedMs_ > kCyclePeriodMs) {
            cycleIndex_ = (cycleIndex_ + 1) % 8;
            cycleChangedMs_ = nowMs;
            cycleStarted_ = true;
        }
        const Rgb& target = kCycleTargets[cycleIndex_];
        red_ = StepTowards(red_, target.r);
        green_ = StepTowards(green_, target.g);
        blue_ = StepTowards(blue_, target.b);
        cycling = CyclingColour();
    }

    Zones zones{};
    for (int i = 0; i < kZones && i < lit; ++i)
        zones[i] = effect == kEffectRainbowMeter ? HueColour(45 * i) : cycling;
    return zones;
}

int MusicEffects::DistanceStep(int effect, int zone) {
    int d = 0, divisor = 1;
    switch (effect) {
    case kEffectFlowFromMiddle: {
        const int j = zone - 4;
        d = std::min(std::abs(j), std::abs(j + 1));
        divisor = 4;
        break;
    }
    case kEffectFlowFromEnds: d = std::min(zone, 7 - zone); divisor = 4; break;
    case kEffectFlowFromZone0: d = zone; divisor = 7; break;
    case kEffectFlowFromLastZone: d = 7 - zone; divisor = 7; break;
    default: return 0;
    }
    return static_cast<int>(static_cast<float>(d) / static_cast<float>(divisor) *
                            (static_cast<float>(kZones) - 0.01f));
}

MusicEffects::Zones MusicEffects::Flow(int effect, float level) {
    Zones zones{};
    if (!(level > kQuietLevel)) return zones;  // quiet: the phases stand still

    const float m = std::clamp(level / kFullLevel, 0.1f, 1.0f);
    phaseA_ += 0.03;
    if (phaseA_ >= 1.0) phaseA_ = 0.0;
    phaseB_ += 0.005;
    if (phaseB_ >= 1.0) phaseB_ = 0.0;

    const float target = kZones * m;
    const float k = target > length_ ? 0.5f : 0.2f;
    length_ = (1.0f - k) * length_ + k * target;
    const int lit = std::clamp(static_cast<int>(length_ + 0.5f), 2, kZones);

    for (int i = 0; i < kZones; ++i) {
        const int t = DistanceStep(effect, i);
        if (t >= lit) continue;
        const double shifted = phaseA_ - static_cast<double>(t) / kZones;
        const double frac = shifted - std::floor(shifted);
        const int hue = static_cast<int>((frac + phaseB_) * 360.0) % 360;
        zones[i] = HueColour(hue);
    }
    if (effect == kEffectFlowFromMiddle) {
        const std::uint32_t middle = HueColour(static_cast<int>(phaseB_ * 360.0) % 360);
        zones[3] = middle;
        zones[4] = middle;
    }
    return zones;
}

}  // namespace keyloft
