// The update commands of the worker thread: the version checks of the program,
// the keyboard firmware and the receiver firmware, and the downloads that fetch,
// unpack and start an installer or firmware update tool.
//
// The server addresses, the program's version and the data directory are
// settings given by the controller (from config.xml and the model's layout).
// Version resources are the address followed directly by "version" or
// "dongle_version"; archives are fetched from address + "//" + archive name and
// kept under <data directory>/temp/.
//
// Owned by the main controller. The commands run on its worker thread, one after
// another; SetSettings, the Latest* readers and StopTransfer may be called from
// any thread. Failures are silent: a check that cannot reach the server or gets
// an unusable reply changes nothing, and a failed download leaves no archive.
#pragma once

#include <mutex>
#include <string>

#include "update/UpdateHost.h"
#include "update/WebSession.h"

namespace keyloft {

enum UpdateCommand : int {
    kCheckSoftwareVersion = 15,
    kCheckFirmwareVersion = 16,
    kCheckReceiverVersion = 17,
    kInstallSoftwareUpdate = 18,
    kInstallFirmwareTool = 19,
    kInstallReceiverTool = 20,
};

// What can be updated: the program itself, the keyboard's firmware, the
// receiver's firmware.
enum class UpdateTarget { kSoftware, kFirmware, kReceiver };

struct UpdateSettings {
    std::wstring dataDirectory;    // the program's per-user data folder
    std::wstring softwareVersion;  // this program's version text
    std::wstring softwareAddress;  // config.xml software/upgrade url
    std::wstring firmwareAddress;  // layout firmware url
    std::wstring receiverAddress;  // layout firmware dongle_url
};

class UpdateService {
public:
    UpdateService(UpdateHost& host, ReleaseNumberSource& releases);

    void SetSettings(const UpdateSettings& settings);
    UpdateSettings Settings() const;

    // Runs one of the UpdateCommand values; false for any other number.
    bool RunCommand(int command);

    void CheckSoftwareVersion();
    void CheckFirmwareVersion();
    void CheckReceiverVersion();
    void InstallSoftwareUpdate();
    void InstallFirmwareTool();
    void InstallReceiverTool();

    // The last usable version text from the server (empty when none).
    std::wstring LatestVersion(UpdateTarget target) const;

    // <data directory>/temp/: where archives are downloaded and unpacked.
    std::wstring WorkDirectory() const;

    // Ends a running check or download after its current chunk.
    void StopTransfer() { session_.Stop(); }
    WebSession& Session() { return session_; }

private:
    std::wstring FetchVersion(UpdateTarget target);
    void CheckDeviceVersion(UpdateTarget target);
    void Install(UpdateTarget target);
    std::wstring& Latest(UpdateTarget target);

    UpdateHost& host_;
    ReleaseNumberSource& releases_;
    WebSession session_;
    mutable std::mutex mutex_;  // settings_ and the latest versions
    UpdateSettings settings_;
    std::wstring latestSoftware_;
    std::wstring latestFirmware_;
    std::wstring latestReceiver_;
};

}  // namespace keyloft
