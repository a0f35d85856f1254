#include "update/UpdateService.h"

#include <filesystem>
#include <system_error>

#include "base/WideString.h"
#include "platform/system/Shell.h"
#include "update/ArchiveUnpacker.h"
#include "update/VersionText.h"

namespace keyloft {
namespace {

namespace fs = std::filesystem;

// Language texts of the confirmations, the resource on the server and the name
// stem of archive and program ("<stem><version>.zip" holds "<stem><version>.exe").
struct TargetInfo {
    const wchar_t* resource;
    const wchar_t* stem;
    int textId;
    int captionId;
    int installCommand;
};

const TargetInfo& Info(UpdateTarget target) {
    static const TargetInfo kSoftware{L"version", L"Keyboard-Software-", 193, 194,
                                      kInstallSoftwareUpdate};
    static const TargetInfo kFirmware{L"version", L"FirmwareUpdateTool-", 191, 192,
                                      kInstallFirmwareTool};
    static const TargetInfo kReceiver{L"dongle_version", L"DongleFirmwareUpdateTool-", 195, 196,
                                      kInstallReceiverTool};
    switch (target) {
        case UpdateTarget::kSoftware: return kSoftware;
        case UpdateTarget::kFirmware: return kFirmware;
        case UpdateTarget::kReceiver: break;
    }
    return kReceiver;
}

const std::wstring& AddressOf(const UpdateSettings& settings, UpdateTarget target) {
    switch (target) {
        case UpdateTarget::kSoftware: return settings.softwareAddress;
        case UpdateTarget::kFirmware: return settings.firmwareAddress;
        case UpdateTarget::kReceiver: break;
    }
    return settings.receiverAddress;
}

fs::path FsPath(const std::wstring& path) { return fs::path(WideToUtf8(path)); }

}  // namespace

UpdateService::UpdateService(UpdateHost& host, ReleaseNumberSource& releases)
    : host_(host), releases_(releases) {}

void UpdateService::SetSettings(const UpdateSettings& settings) {
    std::lock_guard lock(mutex_);
    settings_ = settings;
}

UpdateSettings UpdateService::Settings() const {
    std::lock_guard lock(mutex_);
    return settings_;
}

std::wstring UpdateService::LatestVersion(UpdateTarget target) const {
    std::lock_guard lock(mutex_);
    return const_cast<UpdateService*>(this)->Latest(target);
}

std::wstring& UpdateService::Latest(UpdateTarget target) {
    switch (target) {
        case UpdateTarget::kSoftware: return latestSoftware_;
        case UpdateTarget::kFirmware: return latestFirmware_;
        case UpdateTarget::kReceiver: break;
    }
    return latestReceiver_;
}

std::wstring UpdateService::WorkDirectory() const {
    std::wstring data = Settings().dataDirectory;
    if (data.empty()) return {};
    if (data.back() != L'/') data += L'/';
    return data + L"temp/";
}

bool UpdateService::RunCommand(int command) {
    switch (command) {
        case kCheckSoftwareVersion: CheckSoftwareVersion(); return true;
        case kCheckFirmwareVersion: CheckFirmwareVersion(); return true;
        case kCheckReceiverVersion: CheckReceiverVersion(); return true;
        case kInstallSoftwareUpdate: InstallSoftwareUpdate(); return true;
        case kInstallFirmwareTool: InstallFirmwareTool(); return true;
        case kInstallReceiverTool: InstallReceiverTool(); return true;
        default: return false;
    }
}

std::wstring UpdateService::FetchVersion(UpdateTarget target) {
    std::wstring address;
    {
        std::lock_guard lock(mutex_);
        // The device versions belong to the model that is connected now; an
        // old reply must not linger when the new one fails.
        if (target != UpdateTarget::kSoftware) Latest(target).clear();
        address = AddressOf(settings_, target);
    }
    if (address.empty()) return {};
    std::wstring reply;
    // A stopped transfer may hold half a reply: only a complete one counts.
    if (session_.WebGetText(address + Info(target).resource, reply) != kWebOk) return {};
    std::wstring version = UsableVersionText(reply);
    if (!version.empty()) {
        std::lock_guard lock(mutex_);
        Latest(target) = version;
    }
    return version;
}

void UpdateService::CheckSoftwareVersion() {
    std::wstring latest = FetchVersion(UpdateTarget::kSoftware);
    if (latest.empty()) return;
    if (CompareVersions(Settings().softwareVersion, latest) >= 1) {
        host_.SetUpgradeStatus(UpgradeButton::kSoftware, 1);
        host_.QueueCommand(kInstallSoftwareUpdate);
    }
}

void UpdateService::CheckFirmwareVersion() { CheckDeviceVersion(UpdateTarget::kFirmware); }
void UpdateService::CheckReceiverVersion() { CheckDeviceVersion(UpdateTarget::kReceiver); }

void UpdateService::CheckDeviceVersion(UpdateTarget target) {
    std::wstring latest = FetchVersion(target);
    if (latest.empty()) return;
    int release = target == UpdateTarget::kFirmware ? releases_.FirmwareRevision()
                                                     : releases_.ReceiverRevision();
    if (release < 0) return;
    if (ReleaseAsDecimal(release) < LeadingDecimal(latest)) {
        host_.SetUpgradeStatus(UpgradeButton::kFirmware, 1);
        host_.QueueCommand(Info(target).installCommand);
    }
}

void UpdateService::InstallSoftwareUpdate() { Install(UpdateTarget::kSoftware); }
void UpdateService::InstallFirmwareTool() { Install(UpdateTarget::kFirmware); }
void UpdateService::InstallReceiverTool() { Install(UpdateTarget::kReceiver); }

void UpdateService::Install(UpdateTarget target) {
    // The tools are fetched for the version the server names now; the program
    // update uses what its check found.
    if (target != UpdateTarget::kSoftware && FetchVersion(target).empty()) return;
    const std::wstring version = LatestVersion(target);
    const std::wstring work = WorkDirectory();
    if (version.empty() || work.empty()) return;

    const TargetInfo& info = Info(target);
    const std::wstring archiveName = info.stem + version + L".zip";
    const std::wstring programName = info.stem + version + L".exe";
    const std::wstring url = AddressOf(Settings(), target) + L"//" + archiveName;
    const std::wstring archive = work + archiveName;
    const std::wstring program = work + programName;

    std::error_code ec;
    fs::create_directories(FsPath(work), ec);
    fs::remove(FsPath(archive), ec);
    session_.WebDownloadFile(url, archive, &host_);
    if (!fs::exists(FsPath(archive), ec)) return;
    if (UnpackArchive(archive, work)) fs::remove(FsPath(archive), ec);

    // Asking to start a program that the archive did not hold, and then ending,
    // would leave the user with neither.
    if (!fs::is_regular_file(fs::symlink_status(FsPath(program), ec))) return;
    platform::MarkExecutable(program);
    if (host_.ShowMessageBox(info.textId, info.captionId, kMessageBoxTwoButtons) ==
        kMessageBoxDeclined)
        return;
    if (!host_.OpenProgram(program)) return;
    host_.EndProcess(0);
}

}  // namespace keyloft
