// The keyboard's device and state commands: the status query and what its replies
// change, the battery query, the three device settings and the restore sequences.
//
// The link state (connected flag, framing selector, time of the last periodic
// status query) belongs to the main controller; the functions here read and update
// the copy the caller hands in and tell it what to do next (rescan, show a battery
// level). They run on the caller's thread, block for the protocol's pauses and
// report send failures as false; a lost packet is never retried here.
#pragma once

#include <cstdint>
#include <functional>

#include "device/CommandPacket.h"

namespace keyloft {

inline constexpr std::int64_t kStatusQueryIntervalMs = 5000;

// The status query, command 0x0E without arguments.
CommandPacket MakeStatusQuery(Framing framing);

// What the main controller keeps about the link.
struct LinkState {
    bool connected = false;
    int selector = -1;               // GetActiveMode() after a rescan: 0, 2 or -1
    std::int64_t lastQueryMs = -1;   // -1: no poll yet (the first poll starts the 5 s count)
};

struct StatusOutcome {
    bool relink = false;  // connected or selector changed: rescan and detect the mode now
    int battery = -1;     // 0..100 to show on the battery control, -1 for nothing
};

// One status poll of the worker's idle pass. For family 3 types it first picks up
// any report that arrived unasked (ReadAnyReply); for every type, at most once every
// 5000 ms it sends the status query with a reply. Replies without the AA 55 CC 33
// header, and reads that time out, change nothing.
//
// `relink` is the controller's rescan and mode detection. It runs as soon as a step
// changed the link, before the next step: an unasked report that says the cable
// took over must have the interfaces rescanned before the periodic query goes out,
// or that query would go in the cable's framing to the receiver. It sets `link`'s
// connected flag and selector to what the rescan found and leaves lastQueryMs
// alone. The outcome's `relink` then tells whether it ran.
using RelinkFunction = std::function<void(LinkState&)>;
StatusOutcome RunStatusPoll(HidDeviceManager& hid, int deviceType, LinkState& link,
                            const RelinkFunction& relink);
// The same without a rescan in between: the caller rescans afterwards when the
// outcome's `relink` is set.
StatusOutcome RunStatusPoll(HidDeviceManager& hid, int deviceType, LinkState& link);

// How one status reply changes the link: link byte 0 clears `connected` (only
// `fromQuery` replies set it from byte 6); 1 selects the receiver (2), 3 the cable
// (0); for a non-zero link byte, byte 5 is the battery when at most 100.
StatusOutcome ApplyStatusReply(std::span<const std::uint8_t, kPacketSize> reply, bool fromQuery,
                               LinkState& link);

// The battery query of the refresh task (family 3 types only): QueryCommand with
// the status query; byte 5 of whatever was read, when at most 100. -1 otherwise.
int QueryBattery(HidDeviceManager& hid, int deviceType, Framing framing);

// Device settings, framed as family 3 whatever the keyboard's family, sent once
// with SendCommand without reply. Values: sleep time 1..4, key response time 1..3,
// Fn switch 0 or 1 (sent as given; the caller offers only these).
bool SendSleepTime(HidDeviceManager& hid, Framing framing, int value);
bool SendKeyResponseTime(HidDeviceManager& hid, Framing framing, int value);
bool SendFnSwitch(HidDeviceManager& hid, Framing framing, int on);

// Restore defaults on the device side. The controller reloads its pages afterwards.
// Family 3: command 0x08, then 100 ms.
bool RestoreDefaultsFamily3(HidDeviceManager& hid, Framing framing);
// Family 2: on the cable link (selector 0) feature report 07 F0 AA and 100 ms; on
// the receiver link BB AA 99 88 + six AA, 1600 ms, then BB AA 99 88 + zeros.
bool RestoreDefaultsFamily2(HidDeviceManager& hid, int selector);
// Family 1, after the caller uploaded the key table: 100 ms, then the report whose
// bytes 1..4 are FF FE AA FF.
bool FinishRestoreFamily1(HidDeviceManager& hid);

// Family 1 key table (command 0x8D): four reports with lengths 60, 60, 60, 40 at
// offsets 0, 60, 120, 180, 60 table bytes each, 10 ms before each. `table` is the
// 360-byte table (shorter is zero-padded). True if every report was written.
bool SendFamily1KeyTable(HidDeviceManager& hid, std::span<const std::uint8_t> table);

}  // namespace keyloft
