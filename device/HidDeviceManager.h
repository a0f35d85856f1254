// The one way the program reaches the keyboard.
//
// HidDeviceManager knows the supported keyboard models (registered from the
// configuration's device list), opens their vendor-defined HID interfaces, keeps
// per interface its connection mode and whether the keyboard answers on it, picks
// the interface commands go to and moves 64-byte command packets as 65-byte
// reports (report id 0 + packet) with the keyboard's fixed pauses, one retry and
// short read time-outs. It knows nothing about what the packets mean (see
// device/CommandPacket.h and friends).
//
// Ownership: the manager owns its entries and their open handles (OpenAll creates
// them, CloseAll closes them). GetEntries hands out copies; their `device` handle
// stays valid only until the next rescan.
//
// Threads: any thread may call any operation. A rescan (OpenAll, CloseAll,
// UseBackend) takes the manager exclusively and waits for operations in flight;
// sends, reads and look-ups share it, so a UI-thread write may run while the worker
// waits for a reply, but never while interfaces are being closed or opened.
// All pauses and time-outs go through keyloft::SleepMs / the backend's read.
//
// Failure: booleans, -1 or nullptr; nothing throws. While the opened flag is 0, or
// with no online interface, every send and read returns false and sends nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <span>
#include <string>
#include <vector>

#include "device/HidBackend.h"

namespace keyloft {

inline constexpr std::size_t kPacketSize = 64;  // one command packet
inline constexpr std::size_t kReportSize = 65;  // report id 0 + packet
inline constexpr std::size_t kFeatureBlockSize = 28;

using PacketSpan = std::span<std::uint8_t, kPacketSize>;
using ConstPacketSpan = std::span<const std::uint8_t, kPacketSize>;
using ReportSpan = std::span<const std::uint8_t, kReportSize>;

// Connection modes of a model (the configuration's `mode` value).
inline constexpr int kModeCable = 0;
inline constexpr int kModeBluetooth = 1;  // opened, never used for commands
inline constexpr int kModeReceiver = 2;

// One supported (keyboard, connection mode) pair.
struct DeviceModel {
    int vendorId = 0;
    int productId = 0;
    int release = 0;            // stored, not used for matching
    std::wstring productName;   // empty means any
    int deviceType = 0;
    int mode = 0;
    std::wstring interfacePattern;  // for hot-plug matching, not used here
};

// One opened interface of a supported keyboard.
struct DeviceEntry {
    int index = 0;  // number of entries that existed when it was made
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string path;             // as enumerated, letter case kept (up to 1023 bytes)
    std::wstring productString;   // never read from the device: always empty
    HidHandle* device = nullptr;  // owned by the manager
    int releaseNumber = 0;        // bcdDevice: reported as firmware / receiver version
    int deviceType = 0;           // of the first model with this vendor and product id
    int mode = 0;                 // of that same model
    int online = 0;               // 1 when the keyboard answered with a non-zero link byte
    std::string interfaceName;    // Windows-style name (device/HidInterfaceName.h)
};

class HidDeviceManager {
public:
    // The process-wide manager, created on first call with DefaultHidBackend().
    static HidDeviceManager& Instance();

    // A manager of its own over `backend` (which must outlive it). The program uses
    // Instance(); this is for tools and tests that want an isolated one.
    explicit HidDeviceManager(HidBackend& backend);
    ~HidDeviceManager();
    HidDeviceManager(const HidDeviceManager&) = delete;
    HidDeviceManager& operator=(const HidDeviceManager&) = delete;

    // Closes everything, shuts the old backend down and starts over on `backend`
    // (nullptr: hidapi). Models are kept. For tests and the demo mode.
    void UseBackend(HidBackend* backend);
    HidBackend& Backend();
    // True when the backend's Init succeeded.
    bool LibraryReady();

    void AddDeviceModel(int vendorId, int productId, int release, const std::wstring& productName,
                        int deviceType, int mode, const std::wstring& interfacePattern);
    std::vector<DeviceModel> Models();
    // Forgets every model (tests, and a reload of the device list).
    void ClearDeviceModels();

    // Opens every candidate interface and appends its entry (see the .cpp for the
    // steps). Does not close earlier entries: call CloseAll first.
    void OpenAll();
    // Only when the opened flag is 1: clears it, closes every entry and the
    // auxiliary interface and forgets the active interface.
    void CloseAll();
    void SetOpened(int opened);
    int Opened();

    void SetSelectedType(int deviceType);
    int SelectedType();
    // False if there is no entry; else appends copies of every entry (selected type
    // 0) or of those of the selected type, and returns true.
    bool GetEntries(std::vector<DeviceEntry>& out);
    // 0 if an online mode-0 entry of the selected type exists, else 2 for mode 2,
    // else -1.
    int GetActiveMode();
    // Position of the first online entry with these ids and mode, or -1; with a
    // product name, that entry's product string must equal it.
    int FindEntry(int vendorId, int productId, const std::wstring& productName, int mode);
    // The cached interface, else the first online mode-0 then mode-2 entry of the
    // selected type (which is then cached); nullptr if none.
    HidHandle* GetActiveInterface();
    // True when an auxiliary ("&MI_03") interface is open.
    bool HasAuxiliaryInterface();

    // Sends. `report` is a whole 65-byte report, report id first; `packet` is the
    // 64-byte payload that goes after report id 0.
    bool WriteReport(ReportSpan report);           // retry after 10 ms
    bool WritePacket(ConstPacketSpan packet);      // retry after 32 ms
    // Retry after 10 ms; with a reply: 100 ms pause, then one 500 ms read into `packet`.
    bool SendCommand(PacketSpan packet, bool expectReply);
    // Write (one retry after 10 ms, result ignored), then one 10 ms read into `packet`.
    bool QueryCommand(PacketSpan packet);
    // One 10 ms read on the active interface; without one, on each entry in turn,
    // updating the online flag of the one that delivered a status report.
    bool ReadAnyReply(PacketSpan buffer);
    // 16 ms pause, then the 65 bytes as a feature report. Always false: the
    // keyboard's callers never look at the outcome.
    bool SendFeatureReport(ReportSpan report);
    // Sends buffer[0..7] as a feature report, then four times: 16 ms pause, request
    // feature report 7 (8 bytes) and copy its bytes 1..7 to buffer[7 * pass].
    bool ExchangeFeatureBlock(std::span<std::uint8_t, kFeatureBlockSize> buffer);

    bool GetFirmwareRevision(int& revision);
    bool GetReceiverRevision(int& revision);

private:
    DeviceEntry* ActiveEntryLocked();
    int WriteOnce(HidHandle* handle, const std::uint8_t* report);
    int ReadOnce(HidHandle* handle, std::uint8_t* packet, int timeoutMs);
    void CloseAllLocked();
    bool RevisionOfMode(int mode, int& revision);

    HidBackend* backend_;
    bool libraryReady_ = false;

    // Exclusive for rescans and backend changes, shared for everything else.
    std::shared_mutex rescanMutex_;
    // Guards the small mutable state that shared holders touch: models, flags,
    // the active-interface cache and the entries' online flags. Never held across I/O.
    std::mutex stateMutex_;

    int opened_ = 0;
    int selectedType_ = 0;
    std::vector<std::unique_ptr<DeviceEntry>> entries_;
    std::vector<DeviceModel> models_;
    DeviceEntry* active_ = nullptr;
    HidHandle* auxiliary_ = nullptr;
};

}  // namespace keyloft
