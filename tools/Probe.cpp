// keyloft-probe: lists the HID interfaces the device manager would consider and
// says plainly why a keyboard is not found (not plugged, no permission, not
// answering). With KEYLOFT_SIMULATOR set it looks at the virtual keyboard instead.
//
// It registers the configured keyboard models, lists every interface of theirs
// with its usage and Windows-style name, tries to open it, then runs the manager's
// own rescan and asks each kept interface for its status (link and battery).
// Always exits 0 unless its arguments are wrong: finding nothing is an answer.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "device/CommandPacket.h"
#include "device/DeviceCommands.h"
#include "device/HidDeviceManager.h"
#include "device/HidInterfaceName.h"
#include "devicesim/Simulator.h"

#ifdef KEYLOFT_PROBE_USES_CONFIG
#include "config/AppPaths.h"
#include "config/DeviceDescription.h"
#include "config/DeviceModelRegistration.h"
#endif

using namespace keyloft;

namespace {

const char* ModeName(int mode) {
    switch (mode) {
        case 0: return "cable";
        case 1: return "Bluetooth LE";
        case 2: return "receiver";
    }
    return "unknown";
}

const char* LinkName(int link) {
    switch (link) {
        case 0: return "no keyboard linked";
        case 1: return "linked through the receiver";
        case 3: return "connected by cable";
    }
    return "linked";
}

bool IsCommandUsage(const HidInterfaceInfo& i) {
    return (i.usagePage == 0xFF02 && i.usage == 2) || (i.usagePage == 0xFF01 && i.usage == 1);
}

// Why an interface could not be opened, as far as the file system tells.
std::string OpenFailureReason(const std::string& path) {
    if (path.rfind("/dev/", 0) != 0) return "it could not be opened";
    if (access(path.c_str(), R_OK | W_OK) == 0) return "it could not be opened (busy or gone)";
    if (errno == EACCES || errno == EPERM) {
        return "permission denied: install the udev rule udev/70-keyloft.rules (see README) and plug the keyboard in again";
    }
    return std::string("it could not be opened: ") + std::strerror(errno);
}

// The status query on one kept interface, with the reply wait the program uses.
void QueryStatus(HidDeviceManager& hid, const DeviceEntry& entry) {
    HidBackend& backend = hid.Backend();
    Report report = ToReport(MakeStatusQuery(Framing::A));
    if (backend.Write(entry.device, report.data(), report.size()) < 1) {
        std::printf("      status: the interface refused the status query\n");
        return;
    }
    SleepMs(100);
    std::uint8_t reply[kPacketSize] = {};
    if (backend.ReadTimeout(entry.device, reply, sizeof reply, 500) <= 0) {
        std::printf("      status: no answer within 600 ms\n");
        return;
    }
    if (!HasStatusHeader(reply)) {
        std::printf("      status: answered (an older keyboard family), link byte %d\n", reply[6]);
        return;
    }
    std::printf("      status: link %d (%s)", reply[6], LinkName(reply[6]));
    if (reply[6] != 0) {
        if (reply[5] <= 100) {
            std::printf(", battery %d%%", reply[5]);
        } else {
            std::printf(", battery not reported (%d)", reply[5]);
        }
    }
    std::printf("\n");
}

#ifdef KEYLOFT_PROBE_USES_CONFIG
// Loading the device list touches window state the probe has none of.
class NoWindow final : public DeviceDescriptionHost {
public:
    void AddDevice(const std::wstring&, int) override {}
    void OpenModelStore(const std::wstring&) override {}
    void SetMacroEventLimit(int) override {}
    void SetTabVisible(int, bool) override {}
    void SetControlVisible(int, bool) override {}
    void SetSliderMaximum(int, int) override {}
    void ClearKeyboardView(int) override {}
    void SetKeyboardPicture(int, const KeyRect&, const std::wstring&, int, int) override {}
    void AddKeyItem(int, const LayoutKey&) override {}
};
#endif

// The models of config.xml beside the program, as the program registers them;
// without a readable config.xml, the models the program ships with.
void RegisterModels(HidDeviceManager& hid) {
#ifdef KEYLOFT_PROBE_USES_CONFIG
    NoWindow host;
    DeviceDescription description;
    const std::string path = ProgramDirectory() + "config.xml";
    if (description.Load(path, host, [&hid](const ModeEntry& mode) { RegisterDeviceModel(hid, mode); }) &&
        !hid.Models().empty()) {
        std::printf("Device list: %s\n", path.c_str());
        return;
    }
    std::printf("Device list: %s could not be read; using the built-in list\n", path.c_str());
#else
    std::printf("Device list: built-in\n");
#endif
    devicesim::RegisterConfiguredModels(hid);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        std::fprintf(stderr,
                     "usage: %s\n"
                     "Lists the keyboard's HID interfaces and whether they can be used.\n"
                     "KEYLOFT_SIMULATOR=cable|receiver|receiver-unlinked probes the virtual keyboard.\n",
                     argv[0]);
        return std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
    }
    std::string message;
    const devicesim::SimulatorChoice choice = devicesim::InstallSimulatorFromEnvironment(&message);
    if (!message.empty()) std::printf("note: %s\n", message.c_str());

    HidDeviceManager& hid = HidDeviceManager::Instance();
    RegisterModels(hid);
    if (choice == devicesim::SimulatorChoice::Installed) {
        std::printf("Backend: virtual keyboard (KEYLOFT_SIMULATOR=%s)\n", std::getenv("KEYLOFT_SIMULATOR"));
    } else {
        std::printf("Backend: HID library (hidapi, hidraw)\n");
    }
    if (!hid.LibraryReady()) {
        std::printf("The HID library could not be initialised: no HID device can be reached.\n");
        return 0;
    }

    const std::vector<DeviceModel> models = hid.Models();
    std::printf("Configured keyboard models: %zu\n", models.size());

    // Every interface of a configured keyboard, as the manager's rescan would see it.
    int candidates = 0, denied = 0;
    const std::vector<HidInterfaceInfo> all = hid.Backend().Enumerate();
    std::printf("HID interfaces present: %zu\n", all.size());
    for (const HidInterfaceInfo& info : all) {
        const DeviceModel* model = nullptr;
        for (const DeviceModel& m : models) {
            if (m.vendorId == info.vendorId && m.productId == info.productId) {
                model = &m;
                break;
            }
        }
        if (!model) continue;
        ++candidates;
        const std::string name =
            HidInterfaceName(info.vendorId, info.productId, info.interfaceNumber, info.path);
        std::printf("  VID %04X PID %04X  usage page %04X usage %04X  mode %d (%s)\n", info.vendorId,
                    info.productId, info.usagePage, info.usage, model->mode, ModeName(model->mode));
        std::printf("      name %s\n      path %s\n", name.c_str(), info.path.c_str());
        HidHandle* handle = hid.Backend().Open(info.path);
        if (!handle) {
            const std::string reason = OpenFailureReason(info.path);
            if (reason.find("permission") != std::string::npos) ++denied;
            std::printf("      cannot be used: %s\n", reason.c_str());
            continue;
        }
        hid.Backend().Close(handle);
        if (!IsCommandUsage(info)) {
            std::printf("      opens; not a command interface (left out)\n");
        } else if (name.find("&MI_03") != std::string::npos) {
            std::printf("      opens; auxiliary interface (held open, never used)\n");
        } else {
            std::printf("      opens; command interface\n");
        }
    }

    hid.CloseAll();
    hid.OpenAll();
    hid.SetOpened(1);
    hid.SetSelectedType(0);
    std::vector<DeviceEntry> entries;
    hid.GetEntries(entries);
    if (all.empty()) {
        std::printf("No HID device is present on this machine.\n");
        return 0;
    }
    if (candidates == 0) {
        std::printf("No HID interface of a configured keyboard was found: plug the keyboard or its "
                    "receiver in.\n");
        return 0;
    }
    std::printf("Kept for commands: %zu\n", entries.size());
    for (const DeviceEntry& entry : entries) {
        std::printf("  #%d VID %04X PID %04X mode %d (%s), release %04X, %s\n", entry.index,
                    entry.vendorId, entry.productId, entry.mode, ModeName(entry.mode),
                    entry.releaseNumber, entry.online ? "online" : "offline");
        QueryStatus(hid, entry);
    }
    if (denied > 0) {
        std::printf("%d interface(s) exist but cannot be opened for lack of permission.\n", denied);
    }
    hid.CloseAll();
    return 0;
}
