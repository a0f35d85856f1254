// What the update commands need from the rest of the program: the window side
// (upgrade buttons, the command queue, the download progress, the confirmation,
// starting the unpacked program, ending the process) and the release numbers of
// the connected keyboard and receiver.
//
// The main controller implements both. Every call comes from the worker thread
// that runs the update commands; an implementation that touches the window posts
// to the user-interface thread (ShowMessageBox may block until the user answers).
#pragma once

#include <string>

#include "update/WebSession.h"

namespace keyloft {

enum class UpgradeButton { kSoftware, kFirmware };

// Style value of the two-button message box, and the answer that declines.
inline constexpr int kMessageBoxTwoButtons = 4;
inline constexpr int kMessageBoxDeclined = 2;

class UpdateHost : public DownloadProgressSink {
public:
    // Sets the upgrade state of a button (the update commands only ever set 1).
    virtual void SetUpgradeStatus(UpgradeButton button, int status) = 0;
    // Queues a worker command (an UpdateCommand value) behind the running one.
    virtual void QueueCommand(int command) = 0;
    // Shows the skinned message box made of two language texts ("KB.DIALOG")
    // and answers the user's choice (kMessageBoxDeclined when declined).
    virtual int ShowMessageBox(int textId, int captionId, int style) = 0;
    // Starts the unpacked installer or update tool (the platform's shell open);
    // false when it could not be started.
    virtual bool OpenProgram(const std::wstring& path) = 0;
    // Ends the process at once (tray icon removed first) with this exit code.
    virtual void EndProcess(int exitCode) = 0;
};

class ReleaseNumberSource {
public:
    virtual ~ReleaseNumberSource() = default;
    // The release (bcdDevice) number of the keyboard or the receiver, -1 when
    // there is none.
    virtual int FirmwareRevision() = 0;
    virtual int ReceiverRevision() = 0;
};

}  // namespace keyloft
