// The virtual keyboard: a stand-in for the keyboard's firmware and for the HID
// library, used by tests and by the demo mode (KEYLOFT_SIMULATOR).
//
// A VirtualKeyboard is a HidBackend. It is built from a plain setup (which family,
// which links are plugged, ids, battery) so a test constructs it in a known state,
// changes one thing to make a fault, lets the program's code talk to it through
// HidDeviceManager, and reads back what the keyboard received: every report with
// its virtual time and link mode, and the decoded state (key table, key function
// blocks, lighting, per-key colours, colour frames, settings).
//
// Ids are the configuration's: vendor 0x35C1; the own keyboard (family 3, type
// 301) cable 0x4011, Bluetooth LE 0x4013, receiver 0x4012; the family 1 model
// 0x2101, the family 2 model 0x3201. Each plugged link shows four interfaces, as
// the real keyboard does: MI_00 boot keyboard (0x0001/0x06) and MI_01 consumer
// control (0x000C/0x01), which the manager must filter out by usage, MI_02 the
// command interface (0xFF02/0x02) and MI_03 the auxiliary one (0xFF01/0x01). An
// unrelated device (a mouse of another vendor) is always present as well.
//
// Threads: every method may be called from any thread (one internal lock). Time
// comes from keyloft::NowMs; a read that waits advances a VirtualClock without
// recording a pause, or really waits on the system clock.
#pragma once

#include <array>
#include <cstdio>
#include <deque>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/HidBackend.h"

namespace keyloft::devicesim {

inline constexpr std::uint16_t kVendorId = 0x35C1;
inline constexpr std::uint16_t kK1CablePid = 0x4011;
inline constexpr std::uint16_t kK1ReceiverPid = 0x4012;
inline constexpr std::uint16_t kK1BluetoothPid = 0x4013;
inline constexpr std::uint16_t kK0CablePid = 0x2101;
inline constexpr std::uint16_t kK2CablePid = 0x3201;
inline constexpr int kK1DeviceType = 301;
inline constexpr int kK0DeviceType = 101;
inline constexpr int kK2DeviceType = 201;

// Link bytes of the status reply.
inline constexpr int kLinkNone = 0;
inline constexpr int kLinkReceiver = 1;
inline constexpr int kLinkCable = 3;

// One plugged link of the keyboard (a cable or a receiver).
struct LinkSetup {
    int mode = 0;               // 0 cable, 1 Bluetooth LE, 2 receiver
    std::uint16_t productId = kK1CablePid;
    std::uint16_t release = 0x0105;
    int link = kLinkCable;      // link byte its status replies carry
    bool openable = true;       // false: exists but cannot be opened (permission)
};

struct KeyboardSetup {
    int family = 3;
    std::vector<LinkSetup> links;
    int battery = 80;           // byte 5 of status replies (may be above 100)
    bool libraryAvailable = true;  // false: Init fails, as when the HID library is unusable
    bool answersStatus = true;     // false: silent, no replies at all
    int replyDelayMs = 0;          // replies become readable this long after the request

    // The own keyboard by cable (link 3).
    static KeyboardSetup Cable();
    // The own keyboard through its receiver (link 1).
    static KeyboardSetup Receiver();
    // The receiver with no keyboard linked to it (link 0).
    static KeyboardSetup ReceiverUnlinked();
    // Cable and receiver both plugged and linked.
    static KeyboardSetup CableAndReceiver();
    // The family 1 model (0x2101) and the family 2 model (0x3201), by cable.
    static KeyboardSetup Family1();
    static KeyboardSetup Family2();
    // Nothing of ours plugged (only the unrelated device).
    static KeyboardSetup Nothing();
    // "cable", "receiver", "receiver-unlinked"; nullopt for anything else.
    static std::optional<KeyboardSetup> FromName(const std::string& name);
};

enum class ReportKind { Out, FeatureSet, FeatureGet };
const char* ReportKindName(ReportKind kind);  // "out", "fset", "fget"

// Bytes as lower-case hex separated by single spaces; with `trimZeros` the trailing
// zero bytes are left out (so a table row shows what the packet carries).
std::string HexBytes(std::span<const std::uint8_t> bytes, bool trimZeros = true);

struct ReceivedReport {
    std::int64_t timeMs = 0;   // keyloft::NowMs() when it arrived
    int mode = 0;              // link mode of the interface it came in on
    ReportKind kind = ReportKind::Out;
    std::vector<std::uint8_t> bytes;  // report id first
};

// Lighting settings as the keyboard stored them (command 0x07 arguments).
struct LightingState {
    int mode = 0;        // argument 0 (mode - 1 as the program sends it)
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorIndex = 0;
    int received = 0;    // how many 0x07 packets set this
};

// One key's long function as assembled from its chunks.
struct KeyFunctionBlock {
    int layer = 0;                      // block byte 0 (layer + 1 as sent)
    int keyCode = 0;                    // block byte 1
    int repeat = 0;                     // block byte 2
    int eventCount = 0;                 // block byte 3
    std::vector<std::uint8_t> bytes;    // the whole received block (162 or 128 bytes)
};

// The most recent run of colour chunks (live or eight-colour frame).
struct ColourFrame {
    int framing = 0;                    // 0 = A, 1 = B
    int chunks = 0;                     // consecutive chunks received from the first code
    bool complete = false;              // all 6 (A) or 21 (B) arrived
    std::vector<std::uint8_t> data;     // chunk data in order
};

struct Family1State {
    std::array<std::uint8_t, 360> keyTable{};
    std::map<int, std::vector<std::uint8_t>> slots;  // 0x8E slot streams
    std::vector<std::vector<std::uint8_t>> lighting; // 0x88 / 0x89 reports, in order
    int restores = 0;                                // FF FE AA FF reports
};

struct Family2State {
    std::array<std::uint8_t, 28> slotTable{};        // what 0xFB 0x01 reads back
    std::map<int, std::vector<std::uint8_t>> longSlots;  // slot -> 168-byte buffer
    std::map<int, std::pair<int, int>> simpleSlots;      // slot -> (key code, value)
    std::vector<std::vector<std::uint8_t>> lighting; // F7 features and receiver packets
    int fullUploadStarts = 0;                        // AA 55 CC 0F blocks
    int restores = 0;                                // cable F0 AA, or receiver pair
};

// Everything the keyboard keeps from what it was sent.
struct KeyboardState {
    // family 3
    std::map<std::pair<int, int>, int> keyAssignments;   // (layer + 1, key code) -> value
    std::map<std::pair<int, int>, KeyFunctionBlock> keyFunctionBlocks;
    LightingState lighting;
    LightingState lightBox;      // 0x07 with bit 0x80 set in every argument
    std::array<std::uint8_t, 600> perKeyColours{};
    int perKeyChunks = 0;        // chunks of the last per-key colour upload
    ColourFrame lastColourFrame;
    int completeLiveFrames = 0;
    int sleepTime = 0;
    int keyResponseTime = 0;
    int fnSwitch = -1;
    int keyResets = 0;           // 0x0F
    int restores = 0;            // 0x08
    int arms = 0;                // 0x09
    int applies = 0;             // 0x0A
    int customModes = 0;         // 0x0B
    int statusQueries = 0;       // 0x0E
    Family1State family1;
    Family2State family2;
};

// Which writes to refuse: the first `acceptFirst` writes from now are taken, then
// `refuseCount` are refused (-1: every one after that).
struct WriteFault {
    int acceptFirst = 0;
    int refuseCount = -1;
};

class VirtualKeyboard final : public HidBackend {
public:
    explicit VirtualKeyboard(KeyboardSetup setup);
    ~VirtualKeyboard() override;

    // HidBackend
    bool Init() override;
    void Shutdown() override;
    std::vector<HidInterfaceInfo> Enumerate() override;
    HidHandle* Open(const std::string& path) override;
    void Close(HidHandle* handle) override;
    int Write(HidHandle* handle, const std::uint8_t* data, std::size_t length) override;
    int ReadTimeout(HidHandle* handle, std::uint8_t* data, std::size_t length,
                    int timeoutMs) override;
    int SendFeatureReport(HidHandle* handle, const std::uint8_t* data, std::size_t length) override;
    int GetFeatureReport(HidHandle* handle, std::uint8_t* data, std::size_t length) override;

    // Faults and changes, effective at once.
    void Unplug(int mode);                 // the link's interfaces vanish; open handles fail
    void Plug(LinkSetup link);             // adds a link (replacing one of the same product id)
    void SetSilent(bool silent);           // no replies at all
    void SetReplyDelay(int ms);            // late replies
    void SetWriteFault(WriteFault fault);  // refused writes
    void ClearWriteFault();
    void SetLink(int mode, int linkByte);  // link change seen in later status replies
    void SetBattery(int level);            // may be above 100
    void SetOpenable(int mode, bool openable);
    // Puts a status report in the interface's input queue as if the keyboard sent it
    // unasked (what a link change looks like to ReadAnyReply).
    void PushStatusReport(int mode);

    // Whether received reports are kept for Reports() (on by default). Off, the
    // keyboard allocates nothing per report: for benchmarks of the sending side.
    void SetRecording(bool on);

    // Read back.
    std::vector<ReceivedReport> Reports();
    void ClearReports();
    KeyboardState State();
    // Handles opened and not yet closed (to see that filtered interfaces were closed).
    int OpenHandleCount();
    // Calls made with a handle that was already closed (or never opened). The real
    // library would touch freed memory there; the manager must never do it.
    int StaleHandleUses();
    // The reports from position `first` on: take Reports().size() before an
    // operation to see only what that operation sent.
    std::vector<ReceivedReport> ReportsAfter(std::size_t first);
    const KeyboardSetup& Setup() const { return setup_; }

    // Appends every received report to `path` (KEYLOFT_SIMULATOR_LOG format:
    // "<ms since start> <mode> <out|fset|fget> <hex bytes>"). False if it cannot be opened.
    bool OpenLog(const std::string& path);

private:
    struct Interface;
    struct Pending {
        std::int64_t readyAt;
        std::array<std::uint8_t, 64> bytes;
    };
    struct Handle;

    void BuildInterfaces();
    Interface* FindLinkInterfaceLocked(int mode);
    bool AcceptWriteLocked();
    void RecordLocked(int mode, ReportKind kind, const std::uint8_t* data, std::size_t length);
    void QueueReplyLocked(Interface& itf, const std::array<std::uint8_t, 64>& reply);
    std::array<std::uint8_t, 64> StatusReplyLocked(const Interface& itf) const;
    void HandleOutputLocked(Interface& itf, const std::uint8_t* report, std::size_t length);
    void HandleFamily3Locked(Interface& itf, const std::uint8_t* packet);
    void HandleFamily1Locked(Interface& itf, const std::uint8_t* report, std::size_t length);
    void HandleFamily2PacketLocked(Interface& itf, const std::uint8_t* packet);
    void HandleFeatureLocked(Interface& itf, const std::uint8_t* data, std::size_t length);
    static void WaitMs(std::int64_t ms);

    mutable std::mutex mutex_;
    KeyboardSetup setup_;
    std::int64_t startMs_ = 0;
    bool initialised_ = false;
    std::vector<std::unique_ptr<Interface>> interfaces_;
    std::vector<std::unique_ptr<Handle>> handles_;
    std::vector<ReceivedReport> reports_;
    KeyboardState state_;
    std::optional<WriteFault> writeFault_;
    int writesSinceFault_ = 0;
    bool recording_ = true;
    int staleHandleUses_ = 0;
    // chunk assembly
    std::vector<std::uint8_t> blockBuffer_;
    int blockFraming_ = -1;
    int blockNext_ = 0;
    std::vector<std::uint8_t> family2Buffer_;
    int family2Reports_ = -1;
    int family2TablePass_ = 0;
    bool family2RestorePending_ = false;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> log_{nullptr, &std::fclose};
};

}  // namespace keyloft::devicesim
