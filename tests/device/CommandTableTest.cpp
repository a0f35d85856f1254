// Every single-packet command of the protocol, byte for byte as the keyboard
// received it, with its pause schedule: one row per command and framing.
#include <gtest/gtest.h>

#include <functional>

#include "DeviceRig.h"
#include "device/ChunkedTransfer.h"
#include "device/DeviceCommands.h"

namespace keyloft::testing {
namespace {

enum class Link { Cable, Receiver, Family1, Family2 };

struct CommandCase {
    const char* name;
    Link link;
    std::function<void(HidDeviceManager&, Framing)> send;
    std::vector<std::string> received;  // "<kind> <hex>", trailing zeros left out
    std::vector<std::int64_t> pauses;
};

KeyboardSetup SetupFor(Link link) {
    switch (link) {
        case Link::Cable: return KeyboardSetup::Cable();
        case Link::Receiver: return KeyboardSetup::Receiver();
        case Link::Family1: return KeyboardSetup::Family1();
        case Link::Family2: return KeyboardSetup::Family2();
    }
    return {};
}
int TypeFor(Link link) {
    return link == Link::Family1 ? devicesim::kK0DeviceType
           : link == Link::Family2 ? devicesim::kK2DeviceType
                                   : devicesim::kK1DeviceType;
}

// A packet of `code` with `args`, sent as the named operation.
auto Command(std::uint8_t code, std::vector<std::uint8_t> args, bool reply = false) {
    return [=](HidDeviceManager& hid, Framing f) {
        CommandPacket p = MakeCommand(f, code, args);
        hid.SendCommand(p.span(), reply);
    };
}

std::string Zeros(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += " 00";
    return s;
}

class CommandTable : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandTable, KeyboardReceivesExactBytesAndPauses) {
    const CommandCase& c = GetParam();
    Rig rig(SetupFor(c.link));
    const int selector = rig.Rescan(TypeFor(c.link));
    const std::size_t mark = rig.Mark();
    c.send(rig.hid, FramingForSelector(selector));
    EXPECT_EQ(rig.SentSince(mark), c.received);
    EXPECT_EQ(rig.clock.PauseLengths(), c.pauses);
}

using V = std::vector<std::string>;
using P = std::vector<std::int64_t>;

INSTANTIATE_TEST_SUITE_P(
    Family3, CommandTable,
    ::testing::Values(
        CommandCase{"KeyAssignmentA", Link::Cable, Command(0x04, {1, 0x04, 0xE9}), V{"out 00 aa 55 cc 33 04 01 04 e9"}, P{}},
        CommandCase{"KeyAssignmentB", Link::Receiver, Command(0x04, {2, 0x04, 0xE9}), V{"out 00 aa 55 cc 04 02 04 e9"}, P{}},
        CommandCase{"LightingA", Link::Cable, Command(0x07, {3, 4, 2, 1, 0}), V{"out 00 aa 55 cc 33 07 03 04 02 01"}, P{}},
        CommandCase{"LightingB", Link::Receiver, Command(0x07, {3, 4, 2, 1, 5}), V{"out 00 aa 55 cc 07 03 04 02 01 05"}, P{}},
        // The light box's settings go in framing A on either link.
        CommandCase{"LightBoxOnReceiver", Link::Receiver,
                    [](HidDeviceManager& h, Framing) { Command(0x07, {0x81, 0x82, 0x80, 0x80, 0x83})(h, Framing::A); },
                    V{"out 00 aa 55 cc 33 07 81 82 80 80 83"}, P{}},
        CommandCase{"RestoreA", Link::Cable, [](auto& h, Framing f) { RestoreDefaultsFamily3(h, f); },
                    V{"out 00 aa 55 cc 33 08"}, P{100}},
        CommandCase{"RestoreB", Link::Receiver, [](auto& h, Framing f) { RestoreDefaultsFamily3(h, f); },
                    V{"out 00 aa 55 cc 08"}, P{100}},
        CommandCase{"ArmA", Link::Cable, [](auto& h, Framing f) { bool armed = true; SendArmIfNeeded(h, f, armed); },
                    V{"out 00 aa 55 cc 33 09"}, P{100}},
        CommandCase{"ArmB", Link::Receiver, [](auto& h, Framing f) { bool armed = true; SendArmIfNeeded(h, f, armed); },
                    V{"out 00 aa 55 cc 09"}, P{100}},
        CommandCase{"ApplyLightingB", Link::Receiver,
                    [](auto& h, Framing f) { CommandPacket p = MakeCommand(f, 0x0A); h.WritePacket(p.span()); },
                    V{"out 00 aa 55 cc 0a"}, P{}},
        CommandCase{"ApplyLightingA", Link::Cable,
                    [](auto& h, Framing f) { CommandPacket p = MakeCommand(f, 0x0A); h.WritePacket(p.span()); },
                    V{"out 00 aa 55 cc 33 0a"}, P{}},
        CommandCase{"CustomLightingA", Link::Cable, Command(0x0B, {}), V{"out 00 aa 55 cc 33 0b"}, P{}},
        CommandCase{"CustomLightingB", Link::Receiver, Command(0x0B, {}), V{"out 00 aa 55 cc 0b"}, P{}},
        CommandCase{"SleepTimeA", Link::Cable, [](auto& h, Framing f) { SendSleepTime(h, f, 2); },
                    V{"out 00 aa 55 cc 33 0c 02"}, P{}},
        CommandCase{"SleepTimeB", Link::Receiver, [](auto& h, Framing f) { SendSleepTime(h, f, 2); },
                    V{"out 00 aa 55 cc 0c 02"}, P{}},
        CommandCase{"KeyResponseTimeA", Link::Cable, [](auto& h, Framing f) { SendKeyResponseTime(h, f, 3); },
                    V{"out 00 aa 55 cc 33 0d 03"}, P{}},
        CommandCase{"KeyResponseTimeB", Link::Receiver, [](auto& h, Framing f) { SendKeyResponseTime(h, f, 3); },
                    V{"out 00 aa 55 cc 0d 03"}, P{}},
        CommandCase{"StatusA", Link::Cable, [](auto& h, Framing f) { CommandPacket p = MakeStatusQuery(f); h.SendCommand(p.span(), true); },
                    V{"out 00 aa 55 cc 33 0e"}, P{100}},
        CommandCase{"StatusB", Link::Receiver, [](auto& h, Framing f) { CommandPacket p = MakeStatusQuery(f); h.SendCommand(p.span(), true); },
                    V{"out 00 aa 55 cc 0e"}, P{100}},
        CommandCase{"BatteryQueryB", Link::Receiver, [](auto& h, Framing f) { QueryBattery(h, 301, f); },
                    V{"out 00 aa 55 cc 0e"}, P{}},
        CommandCase{"KeyResetA", Link::Cable, Command(0x0F, {}), V{"out 00 aa 55 cc 33 0f"}, P{}},
        CommandCase{"KeyResetB", Link::Receiver, Command(0x0F, {}), V{"out 00 aa 55 cc 0f"}, P{}},
        CommandCase{"FnSwitchOnA", Link::Cable, [](auto& h, Framing f) { SendFnSwitch(h, f, 1); },
                    V{"out 00 aa 55 cc 33 10 01"}, P{}},
        CommandCase{"FnSwitchOffB", Link::Receiver, [](auto& h, Framing f) { SendFnSwitch(h, f, 0); },
                    V{"out 00 aa 55 cc 10"}, P{}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Family2, CommandTable,
    ::testing::Values(
        CommandCase{"RestoreCable", Link::Family2, [](auto& h, Framing) { RestoreDefaultsFamily2(h, 0); },
                    V{"fset 07 f0 aa"}, P{16, 100}},
        CommandCase{"RestoreReceiver", Link::Family2, [](auto& h, Framing) { RestoreDefaultsFamily2(h, 2); },
                    V{"out 00 bb aa 99 88 aa aa aa aa aa aa", "out 00 bb aa 99 88"}, P{1600}},
        CommandCase{"KeyFunctionDataFirstReport", Link::Family2,
                    [](auto& h, Framing) { h.SendFeatureReport(MakeFamily2Feature(0xF1, {1, 2, 0x2C, 1, 0x04, 0x01})); },
                    V{"fset 07 f1 01 02 2c 01 04 01"}, P{16}},
        CommandCase{"RemapSlot", Link::Family2,
                    [](auto& h, Framing) { h.SendFeatureReport(MakeFamily2Feature(0xFA, {0x01, 3, 0x04, 0x01, 0x05, 0x01})); },
                    V{"fset 07 fa 01 03 04 01 05 01"}, P{16}},
        CommandCase{"ReceiverLighting", Link::Family2,
                    [](auto& h, Framing) {
                        CommandPacket p = MakeFamily2ReceiverPacket({0xAA, 2, 1, 0, 3, 4, 0});
                        h.WritePacket(p.span());
                    },
                    V{"out 00 bb aa 99 88 aa 02 01 00 03 04"}, P{}},
        CommandCase{"LightingFeature", Link::Family2,
                    [](auto& h, Framing) { h.SendFeatureReport(MakeFamily2Feature(0xF7, {2, 1, 0, 3, 4})); },
                    V{"fset 07 f7 02 01 00 03 04"}, P{16}},
        // The device settings have no family 2 form: they go framed as family 3.
        CommandCase{"SleepTime", Link::Family2, [](auto& h, Framing f) { SendSleepTime(h, f, 4); },
                    V{"out 00 aa 55 cc 33 0c 04"}, P{}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Family1, CommandTable,
    ::testing::Values(
        CommandCase{"RestoreTail", Link::Family1, [](auto& h, Framing) { FinishRestoreFamily1(h); },
                    V{"out 00 ff fe aa ff"}, P{100}},
        CommandCase{"LightingMode", Link::Family1,
                    [](auto& h, Framing) { h.WriteReport(MakeFamily1Report(0x88, {0, 5})); },
                    V{"out 00 88 00 05"}, P{}},
        CommandCase{"LightingSettings", Link::Family1,
                    [](auto& h, Framing) { h.WriteReport(MakeFamily1Report(0x89, {1, 0x93, 0xFF, 0x80, 0x00, 4})); },
                    V{"out 00 89 01 93 ff 80 00 04"}, P{}},
        CommandCase{"LongFunctionSlot", Link::Family1,
                    [](auto& h, Framing) { h.WriteReport(MakeFamily1Report(0x8E, {5, 0, 0, 2, 1, 1, 0x04})); },
                    V{"out 00 8e 05 00 00 02 01 01 04"}, P{}},
        CommandCase{"KeyTable", Link::Family1,
                    [](auto& h, Framing) {
                        std::vector<std::uint8_t> table(360, 0);
                        table[0] = 0x05;    // position 0
                        table[61] = 0x20;   // position 30, second byte
                        table[239] = 0x40;  // last byte that is sent
                        table[240] = 0x77;  // beyond what the four reports carry
                        SendFamily1KeyTable(h, table);
                    },
                    V{"out 00 8d 3c 00 00 05", "out 00 8d 3c 3c 00 00 20", "out 00 8d 3c 78",
                      "out 00 8d 28 b4 00" + Zeros(59) + " 40"},
                    P{10, 10, 10, 10}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keyloft::testing
