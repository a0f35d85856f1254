#include "device/CommandPacket.h"

#include <algorithm>
#include <cstring>

namespace keyloft {

KeyboardFamily FamilyOfDeviceType(int deviceType) {
    if (deviceType <= 200) return KeyboardFamily::Family1;
    if (deviceType <= 299) return KeyboardFamily::Family2;
    if (deviceType <= 399) return KeyboardFamily::Family3;
    return KeyboardFamily::None;
}

CommandPacket MakeCommand(Framing framing, std::uint8_t command, std::span<const std::uint8_t> args) {
    CommandPacket p;
    p[0] = kHeader0;
    p[1] = kHeader1;
    p[2] = kHeader2;
    if (framing == Framing::A) p[3] = kHeaderA;
    p[CommandOffset(framing)] = command;
    const std::size_t offset = ArgumentOffset(framing);
    const std::size_t n = std::min(args.size(), kPacketSize - offset);
    std::copy_n(args.begin(), n, p.bytes.begin() + offset);
    return p;
}

CommandPacket MakeCommand(Framing framing, std::uint8_t command,
                          std::initializer_list<std::uint8_t> args) {
    return MakeCommand(framing, command, std::span<const std::uint8_t>(args.begin(), args.size()));
}

Report ToReport(const CommandPacket& packet) {
    Report r{};
    std::memcpy(r.data() + 1, packet.data(), kPacketSize);
    return r;
}

bool HasStatusHeader(std::span<const std::uint8_t> reply) {
    return reply.size() >= 4 && reply[0] == kHeader0 && reply[1] == kHeader1 &&
           reply[2] == kHeader2 && reply[3] == kHeaderA;
}

namespace {
Report MakeReport(std::uint8_t id, std::uint8_t code, std::initializer_list<std::uint8_t> args) {
    Report r{};
    r[0] = id;
    r[1] = code;
    const std::size_t n = std::min(args.size(), kReportSize - 2);
    std::copy_n(args.begin(), n, r.begin() + 2);
    return r;
}
}  // namespace

Report MakeFamily1Report(std::uint8_t command, std::initializer_list<std::uint8_t> args) {
    return MakeReport(0, command, args);
}

Report MakeFamily2Feature(std::uint8_t subCommand, std::initializer_list<std::uint8_t> args) {
    return MakeReport(kFamily2ReportId, subCommand, args);
}

CommandPacket MakeFamily2ReceiverPacket(std::initializer_list<std::uint8_t> body) {
    CommandPacket p;
    p[0] = 0xBB;
    p[1] = 0xAA;
    p[2] = 0x99;
    p[3] = 0x88;
    const std::size_t n = std::min(body.size(), kPacketSize - 4);
    std::copy_n(body.begin(), n, p.bytes.begin() + 4);
    return p;
}

}  // namespace keyloft
