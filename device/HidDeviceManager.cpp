#include "device/HidDeviceManager.h"

#include <algorithm>
#include <cstring>

#include "base/Clock.h"
#include "device/HidInterfaceName.h"

namespace keyloft {

namespace {

constexpr int kRetryPauseMs = 10;
constexpr int kPacketRetryPauseMs = 32;
constexpr int kReplyPauseMs = 100;
constexpr int kReplyTimeoutMs = 500;
constexpr int kShortReadTimeoutMs = 10;
constexpr int kFeaturePauseMs = 16;
constexpr std::size_t kMaxPathBytes = 1023;  // the entry's path field holds 1024 with terminator

// The vendor-defined collections that carry commands; every other collection of
// the keyboard (boot keyboard, consumer control) is opened, found unsuitable and closed.
bool IsCommandUsage(std::uint16_t page, std::uint16_t usage) {
    return (page == 0xFF02 && usage == 2) || (page == 0xFF01 && usage == 1);
}

}  // namespace

HidDeviceManager& HidDeviceManager::Instance() {
    // Thread-safe one-time initialisation; destroyed at exit (closing every handle
    // and releasing the library).
    static HidDeviceManager manager(DefaultHidBackend());
    return manager;
}

HidDeviceManager::HidDeviceManager(HidBackend& backend) : backend_(&backend) {
    libraryReady_ = backend_->Init();
}

HidDeviceManager::~HidDeviceManager() {
    std::unique_lock rescan(rescanMutex_);
    CloseAllLocked();
    if (libraryReady_) backend_->Shutdown();
}

void HidDeviceManager::UseBackend(HidBackend* backend) {
    std::unique_lock rescan(rescanMutex_);
    CloseAllLocked();
    if (libraryReady_) backend_->Shutdown();
    backend_ = backend ? backend : &HidapiBackendInstance();
    libraryReady_ = backend_->Init();
}

HidBackend& HidDeviceManager::Backend() {
    std::shared_lock rescan(rescanMutex_);
    return *backend_;
}

bool HidDeviceManager::LibraryReady() {
    std::shared_lock rescan(rescanMutex_);
    return libraryReady_;
}

void HidDeviceManager::AddDeviceModel(int vendorId, int productId, int release,
                                      const std::wstring& productName, int deviceType, int mode,
                                      const std::wstring& interfacePattern) {
    std::lock_guard state(stateMutex_);
    models_.push_back({vendorId, productId, release, productName, deviceType, mode, interfacePattern});
}

std::vector<DeviceModel> HidDeviceManager::Models() {
    std::lock_guard state(stateMutex_);
    return models_;
}

void HidDeviceManager::ClearDeviceModels() {
    std::lock_guard state(stateMutex_);
    models_.clear();
}

void HidDeviceManager::OpenAll() {
    std::unique_lock rescan(rescanMutex_);
    if (!libraryReady_) return;
    std::vector<DeviceModel> models = Models();
    const std::vector<HidInterfaceInfo> found = backend_->Enumerate();
    for (const HidInterfaceInfo& info : found) {
        // Product strings are never read, so only models without a product name match.
        const DeviceModel* model = nullptr;
        bool candidate = false;
        for (const DeviceModel& m : models) {
            if (m.vendorId != info.vendorId || m.productId != info.productId) continue;
            if (!model) model = &m;
            if (m.productName.empty()) candidate = true;
        }
        if (!candidate) continue;

        HidHandle* handle = backend_->Open(info.path);
        if (!handle) continue;
        if (!IsCommandUsage(info.usagePage, info.usage)) {
            backend_->Close(handle);
            continue;
        }
        const std::string name =
            HidInterfaceName(info.vendorId, info.productId, info.interfaceNumber, info.path);
        if (name.find("&MI_03") != std::string::npos) {
            // The auxiliary interface is held open but never used; a second one
            // replaces the first, which is closed rather than leaked.
            if (auxiliary_) backend_->Close(auxiliary_);
            auxiliary_ = handle;
            continue;
        }

        auto entry = std::make_unique<DeviceEntry>();
        entry->index = static_cast<int>(entries_.size());
        entry->vendorId = info.vendorId;
        entry->productId = info.productId;
        entry->path = info.path.substr(0, std::min(info.path.size(), kMaxPathBytes));
        entry->device = handle;
        entry->releaseNumber = info.release;
        entry->deviceType = model->deviceType;
        entry->mode = model->mode;
        entry->interfaceName = name;

        // Status query in framing A: does the keyboard answer on this interface?
        std::uint8_t report[kReportSize] = {0, 0xAA, 0x55, 0xCC, 0x33, 0x0E};
        if (backend_->Write(handle, report, kReportSize) > 1) {
            SleepMs(kShortReadTimeoutMs);
            // The reply lands at the start of the buffer without its report id, so
            // byte 6 is the link byte; a read that timed out leaves byte 6 at 0.
            backend_->ReadTimeout(handle, report, kPacketSize, kShortReadTimeoutMs);
            entry->online = report[6] != 0 ? 1 : 0;
        }
        std::lock_guard state(stateMutex_);
        entries_.push_back(std::move(entry));
    }
}

void HidDeviceManager::CloseAll() {
    std::unique_lock rescan(rescanMutex_);
    if (Opened() != 1) return;
    CloseAllLocked();
}

void HidDeviceManager::CloseAllLocked() {
    std::lock_guard state(stateMutex_);
    opened_ = 0;
    for (auto& entry : entries_) backend_->Close(entry->device);
    entries_.clear();
    if (auxiliary_) backend_->Close(auxiliary_);
    auxiliary_ = nullptr;
    active_ = nullptr;
}

void HidDeviceManager::SetOpened(int opened) {
    std::lock_guard state(stateMutex_);
    opened_ = opened;
}

int HidDeviceManager::Opened() {
    std::lock_guard state(stateMutex_);
    return opened_;
}

void HidDeviceManager::SetSelectedType(int deviceType) {
    std::shared_lock rescan(rescanMutex_);
    std::lock_guard state(stateMutex_);
    selectedType_ = deviceType;
    active_ = nullptr;
}

int HidDeviceManager::SelectedType() {
    std::lock_guard state(stateMutex_);
    return selectedType_;
}

bool HidDeviceManager::GetEntries(std::vector<DeviceEntry>& out) {
    std::shared_lock rescan(rescanMutex_);
    std::lock_guard state(stateMutex_);
    if (entries_.empty()) return false;
    for (const auto& entry : entries_) {
        if (selectedType_ == 0 || entry->deviceType == selectedType_) out.push_back(*entry);
    }
    return true;
}

int HidDeviceManager::GetActiveMode() {
    std::shared_lock rescan(rescanMutex_);
    std::lock_guard state(stateMutex_);
    for (int mode : {kModeCable, kModeReceiver}) {
        for (const auto& entry : entries_) {
            if (entry->deviceType == selectedType_ && entry->mode == mode && entry->online) return mode;
        }
    }
    return -1;
}

int HidDeviceManager::FindEntry(int vendorId, int productId, const std::wstring& productName,
                                int mode) {
    std::shared_lock rescan(rescanMutex_);
    std::lock_guard state(stateMutex_);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const DeviceEntry& entry = *entries_[i];
        if (entry.vendorId != vendorId || entry.productId != productId || entry.mode != mode ||
            !entry.online) {
            continue;
        }
        if (productName.empty() || entry.productString == productName) return static_cast<int>(i);
        return -1;  // only the first qualifying entry is looked at
    }
    return -1;
}

DeviceEntry* HidDeviceManager::ActiveEntryLocked() {
    if (active_) return active_;
    for (int mode : {kModeCable, kModeReceiver}) {
        for (const auto& entry : entries_) {
            if (entry->deviceType == selectedType_ && entry->mode == mode && entry->online) {
                active_ = entry.get();
                return active_;
            }
        }
    }
    return nullptr;
}

HidHandle* HidDeviceManager::GetActiveInterface() {
    std::shared_lock rescan(rescanMutex_);
    std::lock_guard state(stateMutex_);
    DeviceEntry* entry = ActiveEntryLocked();
    return entry ? entry->device : nullptr;
}

bool HidDeviceManager::HasAuxiliaryInterface() {
    std::shared_lock rescan(rescanMutex_);
    std::lock_guard state(stateMutex_);
    return auxiliary_ != nullptr;
}

int HidDeviceManager::WriteOnce(HidHandle* handle, const std::uint8_t* report) {
    return backend_->Write(handle, report, kReportSize);
}

int HidDeviceManager::ReadOnce(HidHandle* handle, std::uint8_t* packet, int timeoutMs) {
    return backend_->ReadTimeout(handle, packet, kPacketSize, timeoutMs);
}

// Every send below holds the rescan lock shared for its whole length, pauses
// included, so a rescan on the worker cannot close the handle under it.

#define KEYLOFT_ACTIVE_OR_FAIL(handle)                         \
    std::shared_lock rescan(rescanMutex_);                     \
    HidHandle* handle = nullptr;                               \
    {                                                          \
        std::lock_guard state(stateMutex_);                    \
        if (opened_ != 1) return false;                        \
        DeviceEntry* entry = ActiveEntryLocked();              \
        if (!entry) return false;                              \
        handle = entry->device;                                \
    }

bool HidDeviceManager::WriteReport(ReportSpan report) {
    KEYLOFT_ACTIVE_OR_FAIL(handle);
    int written = WriteOnce(handle, report.data());
    if (written < 1) {
        SleepMs(kRetryPauseMs);
        written = WriteOnce(handle, report.data());
    }
    return written >= 1;
}

bool HidDeviceManager::WritePacket(ConstPacketSpan packet) {
    KEYLOFT_ACTIVE_OR_FAIL(handle);
    std::uint8_t report[kReportSize];
    report[0] = 0;
    std::memcpy(report + 1, packet.data(), kPacketSize);
    if (WriteOnce(handle, report) >= 1) return true;
    SleepMs(kPacketRetryPauseMs);
    return WriteOnce(handle, report) >= 1;
}

bool HidDeviceManager::SendCommand(PacketSpan packet, bool expectReply) {
    KEYLOFT_ACTIVE_OR_FAIL(handle);
    std::uint8_t report[kReportSize];
    report[0] = 0;
    std::memcpy(report + 1, packet.data(), kPacketSize);
    if (WriteOnce(handle, report) < 1) {
        SleepMs(kRetryPauseMs);
        if (WriteOnce(handle, report) < 1) return false;
    }
    if (!expectReply) return true;
    SleepMs(kReplyPauseMs);
    return ReadOnce(handle, packet.data(), kReplyTimeoutMs) > 0;
}

bool HidDeviceManager::QueryCommand(PacketSpan packet) {
    KEYLOFT_ACTIVE_OR_FAIL(handle);
    std::uint8_t report[kReportSize];
    report[0] = 0;
    std::memcpy(report + 1, packet.data(), kPacketSize);
    if (WriteOnce(handle, report) < 1) {
        SleepMs(kRetryPauseMs);
        WriteOnce(handle, report);  // the read below tells whether anything came of it
    }
    return ReadOnce(handle, packet.data(), kShortReadTimeoutMs) > 0;
}

bool HidDeviceManager::ReadAnyReply(PacketSpan buffer) {
    std::shared_lock rescan(rescanMutex_);
    HidHandle* active = nullptr;
    std::vector<DeviceEntry*> entries;
    {
        std::lock_guard state(stateMutex_);
        if (opened_ != 1) return false;
        if (DeviceEntry* entry = ActiveEntryLocked()) {
            active = entry->device;
        } else {
            for (auto& e : entries_) entries.push_back(e.get());
        }
    }
    if (active) return ReadOnce(active, buffer.data(), kShortReadTimeoutMs) > 0;
    for (DeviceEntry* entry : entries) {
        if (ReadOnce(entry->device, buffer.data(), kShortReadTimeoutMs) <= 0) continue;
        if (buffer[0] == 0xAA && buffer[1] == 0x55 && buffer[2] == 0xCC && buffer[3] == 0x33) {
            std::lock_guard state(stateMutex_);
            entry->online = buffer[6] != 0 ? 1 : 0;
        }
        return true;
    }
    return false;
}

bool HidDeviceManager::SendFeatureReport(ReportSpan report) {
    KEYLOFT_ACTIVE_OR_FAIL(handle);
    SleepMs(kFeaturePauseMs);
    backend_->SendFeatureReport(handle, report.data(), kReportSize);
    return false;
}

bool HidDeviceManager::ExchangeFeatureBlock(std::span<std::uint8_t, kFeatureBlockSize> buffer) {
    KEYLOFT_ACTIVE_OR_FAIL(handle);
    backend_->SendFeatureReport(handle, buffer.data(), 8);
    std::uint8_t work[8] = {};
    for (int pass = 0; pass < 4; ++pass) {
        work[0] = 0x07;
        work[1] = 0xFB;
        work[2] = 0x01;
        SleepMs(kFeaturePauseMs);
        if (backend_->GetFeatureReport(handle, work, sizeof work) > 0) {
            std::memcpy(buffer.data() + 7 * pass, work + 1, 7);
        }
    }
    return true;
}

#undef KEYLOFT_ACTIVE_OR_FAIL

bool HidDeviceManager::RevisionOfMode(int mode, int& revision) {
    for (const auto& entry : entries_) {
        if (entry->deviceType == selectedType_ && entry->mode == mode) {
            revision = entry->releaseNumber;
            return true;
        }
    }
    return false;
}

bool HidDeviceManager::GetFirmwareRevision(int& revision) {
    std::shared_lock rescan(rescanMutex_);
    std::lock_guard state(stateMutex_);
    if (opened_ != 1) return false;
    return RevisionOfMode(kModeCable, revision) || RevisionOfMode(kModeBluetooth, revision) ||
           RevisionOfMode(kModeReceiver, revision);
}

bool HidDeviceManager::GetReceiverRevision(int& revision) {
    std::shared_lock rescan(rescanMutex_);
    std::lock_guard state(stateMutex_);
    if (opened_ != 1) return false;
    return RevisionOfMode(kModeReceiver, revision);
}

}  // namespace keyloft
