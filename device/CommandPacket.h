// The bytes of the keyboard's command protocol: families, framings and packets.
//
// Three keyboard families, told apart by their device type:
//   family 1 (type 200 and below): 65-byte output reports, byte 1 = command;
//   family 2 (201 to 299): feature reports with report id 7, byte 1 = sub-command,
//            and on the receiver link 64-byte packets beginning BB AA 99 88;
//   family 3 (300 to 399, the program's own keyboard): 64-byte command packets
//            beginning AA 55 CC, in framing A on the cable link (AA 55 CC 33 cmd
//            args...) or framing B on the receiver link (AA 55 CC cmd args...).
// Types of 400 and above belong to no family. The boundaries are one consistent
// choice (200 is family 1, 300 and 399 family 3) used by every check in the program.
//
// Everything here builds values on the stack and has no state; any thread.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "device/HidDeviceManager.h"

namespace keyloft {

enum class KeyboardFamily { None = 0, Family1 = 1, Family2 = 2, Family3 = 3 };

KeyboardFamily FamilyOfDeviceType(int deviceType);
// The types that the battery query and the status reply handling serve.
inline bool IsFamily3Type(int deviceType) { return FamilyOfDeviceType(deviceType) == KeyboardFamily::Family3; }

enum class Framing { A, B };

// The framing selector is GetActiveMode()'s result: 0 (cable) selects framing A,
// anything else (2 receiver, -1 none) framing B.
inline Framing FramingForSelector(int selector) { return selector == 0 ? Framing::A : Framing::B; }

// Where argument 0 sits: byte 5 in framing A, byte 4 in framing B.
inline constexpr std::size_t ArgumentOffset(Framing f) { return f == Framing::A ? 5 : 4; }
inline constexpr std::size_t CommandOffset(Framing f) { return f == Framing::A ? 4 : 3; }

// The 64-byte payload of one command; on the wire it follows report id 0.
struct CommandPacket {
    std::array<std::uint8_t, kPacketSize> bytes{};

    std::uint8_t& operator[](std::size_t i) { return bytes[i]; }
    std::uint8_t operator[](std::size_t i) const { return bytes[i]; }
    std::uint8_t* data() { return bytes.data(); }
    const std::uint8_t* data() const { return bytes.data(); }
    PacketSpan span() { return PacketSpan(bytes); }
    ConstPacketSpan span() const { return ConstPacketSpan(bytes); }
    bool operator==(const CommandPacket&) const = default;
};

// A whole 65-byte report, report id first.
using Report = std::array<std::uint8_t, kReportSize>;

// Family 3 header bytes.
inline constexpr std::uint8_t kHeader0 = 0xAA, kHeader1 = 0x55, kHeader2 = 0xCC, kHeaderA = 0x33;

// Family 3 command codes.
namespace cmd {
inline constexpr std::uint8_t kKeyAssignment = 0x04;
inline constexpr std::uint8_t kLighting = 0x07;
inline constexpr std::uint8_t kRestoreDefaults = 0x08;
inline constexpr std::uint8_t kArm = 0x09;
inline constexpr std::uint8_t kApplyLighting = 0x0A;
inline constexpr std::uint8_t kCustomLighting = 0x0B;
inline constexpr std::uint8_t kSleepTime = 0x0C;
inline constexpr std::uint8_t kKeyResponseTime = 0x0D;
inline constexpr std::uint8_t kStatus = 0x0E;
inline constexpr std::uint8_t kKeyReset = 0x0F;
inline constexpr std::uint8_t kFnSwitch = 0x10;
}  // namespace cmd

// A family 3 packet: header of the framing, command, arguments, zeros. At most
// 59 (A) or 60 (B) arguments fit; further ones are dropped.
CommandPacket MakeCommand(Framing framing, std::uint8_t command,
                          std::initializer_list<std::uint8_t> args = {});
CommandPacket MakeCommand(Framing framing, std::uint8_t command, std::span<const std::uint8_t> args);
// The same packet as a whole report (report id 0 first).
Report ToReport(const CommandPacket& packet);

// True when a reply (64 bytes without report id) begins AA 55 CC 33.
bool HasStatusHeader(std::span<const std::uint8_t> reply);

// Family 1: a 65-byte output report: 0, command, arguments..., zeros.
Report MakeFamily1Report(std::uint8_t command, std::initializer_list<std::uint8_t> args = {});

// Family 2: a 65-byte feature report: 7, sub-command, arguments..., zeros.
inline constexpr std::uint8_t kFamily2ReportId = 0x07;
Report MakeFamily2Feature(std::uint8_t subCommand, std::initializer_list<std::uint8_t> args = {});
// Family 2 on the receiver link: BB AA 99 88, then `body`, zeros.
CommandPacket MakeFamily2ReceiverPacket(std::initializer_list<std::uint8_t> body = {});

}  // namespace keyloft
