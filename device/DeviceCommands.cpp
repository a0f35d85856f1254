#include "device/DeviceCommands.h"

#include <algorithm>
#include <cstring>

#include "base/Clock.h"

namespace keyloft {

namespace {
constexpr int kRestorePauseMs = 100;
constexpr int kFamily2ReceiverRestorePauseMs = 1600;
constexpr int kFamily1ReportPauseMs = 10;

int BatteryOf(std::span<const std::uint8_t> reply) { return reply[5] <= 100 ? reply[5] : -1; }

bool SendSetting(HidDeviceManager& hid, Framing framing, std::uint8_t command, int value) {
    CommandPacket p = MakeCommand(framing, command, {static_cast<std::uint8_t>(value)});
    return hid.SendCommand(p.span(), false);
}
}  // namespace

CommandPacket MakeStatusQuery(Framing framing) { return MakeCommand(framing, cmd::kStatus); }

StatusOutcome ApplyStatusReply(std::span<const std::uint8_t, kPacketSize> reply, bool fromQuery,
                               LinkState& link) {
    StatusOutcome out;
    if (!HasStatusHeader(reply)) return out;
    const bool wasConnected = link.connected;
    const int wasSelector = link.selector;
    const int linkByte = reply[6];
    if (fromQuery) {
        link.connected = linkByte == 1 || linkByte == 3;
    } else if (linkByte == 0) {
        link.connected = false;
    }
    if (linkByte == 1) link.selector = 2;
    if (linkByte == 3) link.selector = 0;
    if (linkByte != 0) out.battery = BatteryOf(reply);
    out.relink = link.connected != wasConnected || link.selector != wasSelector;
    return out;
}

StatusOutcome RunStatusPoll(HidDeviceManager& hid, int deviceType, LinkState& link,
                            const RelinkFunction& relink) {
    StatusOutcome result;
    // Each step's change is acted on before the next step runs.
    auto take = [&](const StatusOutcome& o) {
        if (o.battery >= 0) result.battery = o.battery;
        if (!o.relink) return;
        result.relink = true;
        if (relink) relink(link);
    };
    if (IsFamily3Type(deviceType)) {
        CommandPacket unasked;
        if (hid.ReadAnyReply(unasked.span())) take(ApplyStatusReply(unasked.span(), false, link));
    }
    const std::int64_t now = NowMs();
    if (link.lastQueryMs < 0) link.lastQueryMs = now;  // the count starts at the first pass
    if (now - link.lastQueryMs >= kStatusQueryIntervalMs) {
        link.lastQueryMs = now;
        CommandPacket p = MakeStatusQuery(FramingForSelector(link.selector));
        if (hid.SendCommand(p.span(), true)) take(ApplyStatusReply(p.span(), true, link));
    }
    return result;
}

StatusOutcome RunStatusPoll(HidDeviceManager& hid, int deviceType, LinkState& link) {
    return RunStatusPoll(hid, deviceType, link, RelinkFunction());
}

int QueryBattery(HidDeviceManager& hid, int deviceType, Framing framing) {
    if (!IsFamily3Type(deviceType)) return -1;
    CommandPacket p = MakeStatusQuery(framing);
    if (!hid.QueryCommand(p.span())) return -1;
    return BatteryOf(p.bytes);
}

bool SendSleepTime(HidDeviceManager& hid, Framing framing, int value) {
    return SendSetting(hid, framing, cmd::kSleepTime, value);
}

bool SendKeyResponseTime(HidDeviceManager& hid, Framing framing, int value) {
    return SendSetting(hid, framing, cmd::kKeyResponseTime, value);
}

bool SendFnSwitch(HidDeviceManager& hid, Framing framing, int on) {
    return SendSetting(hid, framing, cmd::kFnSwitch, on);
}

bool RestoreDefaultsFamily3(HidDeviceManager& hid, Framing framing) {
    CommandPacket p = MakeCommand(framing, cmd::kRestoreDefaults);
    const bool sent = hid.SendCommand(p.span(), false);
    SleepMs(kRestorePauseMs);
    return sent;
}

bool RestoreDefaultsFamily2(HidDeviceManager& hid, int selector) {
    if (selector == 0) {
        // The feature transport never reports an outcome; what can be told is
        // whether there was an interface to send to.
        const bool reachable = hid.Opened() == 1 && hid.GetActiveInterface() != nullptr;
        hid.SendFeatureReport(MakeFamily2Feature(0xF0, {0xAA}));
        SleepMs(kRestorePauseMs);
        return reachable;
    }
    const CommandPacket start = MakeFamily2ReceiverPacket({0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA});
    const bool first = hid.WritePacket(start.span());
    SleepMs(kFamily2ReceiverRestorePauseMs);
    const CommandPacket end = MakeFamily2ReceiverPacket();
    const bool second = hid.WritePacket(end.span());
    return first && second;
}

bool FinishRestoreFamily1(HidDeviceManager& hid) {
    SleepMs(kRestorePauseMs);
    return hid.WriteReport(MakeFamily1Report(0xFF, {0xFE, 0xAA, 0xFF}));
}

bool SendFamily1KeyTable(HidDeviceManager& hid, std::span<const std::uint8_t> table) {
    bool all = true;
    for (int j = 0; j < 4; ++j) {
        const std::size_t offset = 60 * static_cast<std::size_t>(j);
        Report r{};
        r[1] = 0x8D;
        r[2] = j == 3 ? 40 : 60;
        r[3] = static_cast<std::uint8_t>(offset & 0xFF);
        r[4] = static_cast<std::uint8_t>(offset >> 8);
        if (offset < table.size()) {
            std::copy_n(table.begin() + offset, std::min<std::size_t>(60, table.size() - offset),
                        r.begin() + 5);
        }
        SleepMs(kFamily1ReportPauseMs);
        all = hid.WriteReport(r) && all;
    }
    return all;
}

}  // namespace keyloft
