// Opening, filtering and choosing interfaces.
#include <gtest/gtest.h>

#include <cstdint>

#include "DeviceRig.h"
#include "device/HidInterfaceName.h"

namespace keyloft::testing {
namespace {

using devicesim::LinkSetup;

TEST(HidDeviceManager, OpenAllKeepsCommandInterfacesAndOneAuxiliary) {
    Rig rig(KeyboardSetup::CableAndReceiver());
    rig.Rescan();

    std::vector<DeviceEntry> entries;
    ASSERT_TRUE(rig.hid.GetEntries(entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].index, 0);
    EXPECT_EQ(entries[0].productId, devicesim::kK1CablePid);
    EXPECT_EQ(entries[0].mode, 0);
    EXPECT_EQ(entries[0].releaseNumber, 0x0105);
    EXPECT_NE(entries[0].interfaceName.find("VID_35C1&PID_4011&MI_02"), std::string::npos);
    EXPECT_EQ(entries[1].index, 1);
    EXPECT_EQ(entries[1].mode, 2);
    EXPECT_EQ(entries[1].deviceType, 301);
    EXPECT_EQ(entries[0].online + entries[1].online, 2);
    EXPECT_TRUE(entries[0].productString.empty());

    // Both links have an MI_03 interface: only the last stays open as the auxiliary
    // one; the boot-keyboard and consumer interfaces were opened and closed again.
    EXPECT_TRUE(rig.hid.HasAuxiliaryInterface());
    EXPECT_EQ(rig.kb.OpenHandleCount(), 3);

    // The status query went in framing A to each entry, 10 ms before each read.
    EXPECT_EQ(rig.SentSince(0), (std::vector<std::string>{"out 00 aa 55 cc 33 0e", "out 00 aa 55 cc 33 0e"}));
    EXPECT_EQ(rig.clock.PauseLengths(), (std::vector<std::int64_t>{10, 10}));
    const auto reports = rig.kb.Reports();
    EXPECT_EQ(reports[0].mode, 0);
    EXPECT_EQ(reports[1].mode, 2);

    rig.hid.CloseAll();
    EXPECT_EQ(rig.kb.OpenHandleCount(), 0);
    EXPECT_FALSE(rig.hid.GetEntries(entries));
    EXPECT_FALSE(rig.hid.HasAuxiliaryInterface());
}

// Every way of finding no usable keyboard: nothing is sent, every operation fails.
struct NoKeyboardCase {
    const char* name;
    KeyboardSetup setup;
    bool registerModels;
    std::wstring productName;   // registered in place of the configured models when set
    std::size_t entries;        // entries that OpenAll still makes
    bool openedFlag = true;     // opened := 1 after OpenAll
    bool closeAfter = false;    // CloseAll before the sends
    bool lookupsFindIt = false; // look-ups do not depend on the opened flag
};

KeyboardSetup WithoutLibrary() {
    KeyboardSetup s = KeyboardSetup::Cable();
    s.libraryAvailable = false;
    return s;
}
KeyboardSetup Unopenable() {
    KeyboardSetup s = KeyboardSetup::Cable();
    s.links[0].openable = false;
    return s;
}
KeyboardSetup Silent() {
    KeyboardSetup s = KeyboardSetup::Cable();
    s.answersStatus = false;
    return s;
}

class NoUsableKeyboard : public ::testing::TestWithParam<NoKeyboardCase> {};

TEST_P(NoUsableKeyboard, EveryOperationFailsAndNothingIsSent) {
    const NoKeyboardCase& c = GetParam();
    Rig rig(c.setup, c.registerModels);
    if (!c.productName.empty()) {
        rig.hid.AddDeviceModel(0x35C1, 0x4011, 0, c.productName, 301, 0, L"VID_35C1&PID_4011");
    }
    rig.hid.OpenAll();
    if (c.openedFlag) rig.hid.SetOpened(1);
    rig.hid.SetSelectedType(301);
    if (c.closeAfter) rig.hid.CloseAll();

    std::vector<DeviceEntry> entries;
    EXPECT_EQ(rig.hid.GetEntries(entries), c.entries > 0);
    EXPECT_EQ(entries.size(), c.entries);
    EXPECT_EQ(rig.hid.GetActiveInterface() != nullptr, c.lookupsFindIt);
    EXPECT_EQ(rig.hid.GetActiveMode(), c.lookupsFindIt ? 0 : -1);
    EXPECT_EQ(rig.hid.FindEntry(0x35C1, 0x4011, L"", 0), c.lookupsFindIt ? 0 : -1);

    const std::size_t mark = rig.Mark();
    CommandPacket packet = MakeCommand(Framing::A, cmd::kSleepTime, {2});
    const Report report = ToReport(packet);
    std::uint8_t block[kFeatureBlockSize] = {0x07, 0xFB, 0x01};
    EXPECT_FALSE(rig.hid.WriteReport(report));
    EXPECT_FALSE(rig.hid.WritePacket(packet.span()));
    EXPECT_FALSE(rig.hid.SendCommand(packet.span(), false));
    EXPECT_FALSE(rig.hid.SendCommand(packet.span(), true));
    EXPECT_FALSE(rig.hid.QueryCommand(packet.span()));
    EXPECT_FALSE(rig.hid.SendFeatureReport(report));
    EXPECT_FALSE(rig.hid.ExchangeFeatureBlock(block));
    EXPECT_TRUE(rig.SentSince(mark).empty());
    EXPECT_TRUE(rig.clock.PauseLengths().empty()) << "a refused send must not pause";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoUsableKeyboard,
    ::testing::Values(
        NoKeyboardCase{"NoLibrary", WithoutLibrary(), true, L"", 0},
        NoKeyboardCase{"NoModel", KeyboardSetup::Cable(), false, L"", 0},
        // Product strings are never read, so a named model matches nothing.
        NoKeyboardCase{"NamedModel", KeyboardSetup::Cable(), false, L"Keyloft K1", 0},
        NoKeyboardCase{"Unopenable", Unopenable(), true, L"", 0},
        NoKeyboardCase{"NothingPlugged", KeyboardSetup::Nothing(), true, L"", 0},
        // Opened but offline: the entry exists, commands have nowhere to go.
        NoKeyboardCase{"ReceiverWithoutKeyboard", KeyboardSetup::ReceiverUnlinked(), true, L"", 1},
        NoKeyboardCase{"SilentKeyboard", Silent(), true, L"", 1},
        NoKeyboardCase{"OpenedFlagNotSet", KeyboardSetup::Cable(), true, L"", 1, false, false, true},
        NoKeyboardCase{"ClosedManager", KeyboardSetup::Cable(), true, L"", 0, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HidDeviceManager, UnaskedStatusReportBringsAnOfflineKeyboardOnline) {
    Rig rig(KeyboardSetup::ReceiverUnlinked());
    rig.Rescan();
    ASSERT_EQ(rig.hid.GetActiveInterface(), nullptr);

    CommandPacket buffer;
    // A report with link byte 0 is delivered but keeps the entry offline.
    rig.kb.PushStatusReport(2);
    EXPECT_TRUE(rig.hid.ReadAnyReply(buffer.span()));
    EXPECT_EQ(rig.hid.GetActiveInterface(), nullptr);

    // The keyboard is switched on: the receiver reports link 1 unasked.
    rig.kb.SetLink(2, devicesim::kLinkReceiver);
    rig.kb.PushStatusReport(2);
    EXPECT_TRUE(rig.hid.ReadAnyReply(buffer.span()));
    EXPECT_EQ(buffer[6], devicesim::kLinkReceiver);
    EXPECT_NE(rig.hid.GetActiveInterface(), nullptr);
    EXPECT_EQ(rig.hid.GetActiveMode(), 2);
    CommandPacket p = MakeCommand(Framing::B, cmd::kFnSwitch, {1});
    EXPECT_TRUE(rig.hid.SendCommand(p.span(), false));
    EXPECT_EQ(rig.kb.State().fnSwitch, 1);
}

TEST(HidDeviceManager, ReadAnyReplyTriesEachOfflineEntryInTurn) {
    KeyboardSetup setup = KeyboardSetup::CableAndReceiver();
    for (auto& link : setup.links) link.link = devicesim::kLinkNone;
    Rig rig(setup);
    ASSERT_EQ(rig.Rescan(), -1);
    CommandPacket buffer;

    // Nothing pending: each entry is read once, then false.
    std::int64_t start = rig.clock.NowMs();
    EXPECT_FALSE(rig.hid.ReadAnyReply(buffer.span()));
    EXPECT_EQ(rig.clock.NowMs() - start, 20);

    // The keyboard comes up behind the receiver, the second entry: the cable's
    // read times out first, then the receiver's report is taken and marks only
    // that entry online.
    rig.kb.SetLink(2, devicesim::kLinkReceiver);
    rig.kb.PushStatusReport(2);
    start = rig.clock.NowMs();
    ASSERT_TRUE(rig.hid.ReadAnyReply(buffer.span()));
    EXPECT_EQ(rig.clock.NowMs() - start, 10);
    EXPECT_EQ(buffer[6], devicesim::kLinkReceiver);
    EXPECT_EQ(rig.hid.FindEntry(0x35C1, 0x4011, L"", 0), -1);
    EXPECT_EQ(rig.hid.FindEntry(0x35C1, 0x4012, L"", 2), 1);
    EXPECT_EQ(rig.hid.GetActiveMode(), 2);
}

// A HID library with a fixed list of interfaces that never answer: shows which of
// them the manager keeps as entries, which becomes the auxiliary one, and that the
// rest are closed again (or never opened).
class ListedInterfaces final : public HidBackend {
public:
    explicit ListedInterfaces(std::vector<HidInterfaceInfo> list) : list_(std::move(list)) {}
    bool Init() override { return true; }
    void Shutdown() override {}
    std::vector<HidInterfaceInfo> Enumerate() override { return list_; }
    HidHandle* Open(const std::string& path) override {
        for (std::size_t i = 0; i < list_.size(); ++i) {
            if (list_[i].path == path) {
                ++opens;
                return reinterpret_cast<HidHandle*>(static_cast<std::uintptr_t>(i + 1));
            }
        }
        return nullptr;
    }
    void Close(HidHandle*) override { ++closes; }
    int Write(HidHandle*, const std::uint8_t*, std::size_t length) override {
        ++writes;
        return static_cast<int>(length);
    }
    int ReadTimeout(HidHandle*, std::uint8_t*, std::size_t, int) override { return 0; }
    int SendFeatureReport(HidHandle*, const std::uint8_t*, std::size_t) override { return -1; }
    int GetFeatureReport(HidHandle*, std::uint8_t*, std::size_t) override { return -1; }

    int opens = 0, closes = 0, writes = 0;

private:
    std::vector<HidInterfaceInfo> list_;
};

TEST(HidDeviceManager, KeepsOnlyTheTwoCommandUsagesOfAConfiguredKeyboard) {
    enum Kept { Entry, Auxiliary, ClosedAgain, NotOpened };
    struct Row {
        std::uint16_t vendorId, productId, usagePage, usage;
        int interfaceNumber;
        Kept kept;
    };
    const Row rows[] = {
        {0x35C1, 0x4011, 0xFF02, 2, 2, Entry},
        {0x35C1, 0x4011, 0xFF01, 1, 2, Entry},
        {0x35C1, 0x4012, 0xFF02, 2, -1, Entry},  // no interface number: no "&MI_" at all
        {0x35C1, 0x4011, 0xFF00, 1, 2, ClosedAgain},
        {0x35C1, 0x4011, 0xFF02, 1, 2, ClosedAgain},
        {0x35C1, 0x4011, 0xFF01, 2, 2, ClosedAgain},
        {0x35C1, 0x4011, 0x0001, 6, 0, ClosedAgain},
        {0x35C1, 0x4011, 0xFF01, 1, 3, Auxiliary},
        // The usage is looked at before the interface number.
        {0x35C1, 0x4011, 0xFF00, 1, 3, ClosedAgain},
        {0x35C1, 0x4099, 0xFF02, 2, 2, NotOpened},  // a product of ours that is not configured
        {0x0F0F, 0x4011, 0xFF02, 2, 2, NotOpened},  // another vendor
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << std::hex << r.vendorId << ":" << r.productId << " page "
                                          << r.usagePage << " usage " << r.usage << " MI "
                                          << r.interfaceNumber);
        VirtualClock clock;
        ScopedClock scoped(clock);
        ListedInterfaces backend({{"/dev/hidraw7", r.vendorId, r.productId, 0x0100, r.usagePage,
                                   r.usage, r.interfaceNumber}});
        HidDeviceManager hid(backend);
        devicesim::RegisterConfiguredModels(hid);
        hid.OpenAll();
        hid.SetOpened(1);
        std::vector<DeviceEntry> entries;
        hid.GetEntries(entries);
        EXPECT_EQ(entries.size(), r.kept == Entry ? 1u : 0u);
        EXPECT_EQ(hid.HasAuxiliaryInterface(), r.kept == Auxiliary);
        EXPECT_EQ(backend.opens, r.kept == NotOpened ? 0 : 1);
        EXPECT_EQ(backend.closes, r.kept == ClosedAgain ? 1 : 0);
        EXPECT_EQ(backend.writes, r.kept == Entry ? 1 : 0) << "only entries get the status query";
        hid.CloseAll();
        EXPECT_EQ(backend.opens, backend.closes) << "every opened interface is closed by CloseAll";
    }
}

struct ActiveModeCase {
    const char* name;
    std::vector<LinkSetup> links;
    int selectedType;
    int mode;          // GetActiveMode
    int commandsOnMode;  // where a command lands, -1 for nowhere
};

class ActiveMode : public ::testing::TestWithParam<ActiveModeCase> {};

TEST_P(ActiveMode, PrefersCableThenReceiverAndNeverBluetooth) {
    const ActiveModeCase& c = GetParam();
    KeyboardSetup setup;
    setup.links = c.links;
    Rig rig(setup);
    rig.Rescan(c.selectedType);
    EXPECT_EQ(rig.hid.GetActiveMode(), c.mode);

    const std::size_t mark = rig.Mark();
    CommandPacket p = MakeCommand(Framing::A, cmd::kApplyLighting);
    EXPECT_EQ(rig.hid.WritePacket(p.span()), c.commandsOnMode >= 0);
    const auto sent = rig.kb.ReportsAfter(mark);
    if (c.commandsOnMode >= 0) {
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].mode, c.commandsOnMode);
    } else {
        EXPECT_TRUE(sent.empty());
    }
}

const LinkSetup kCable{0, devicesim::kK1CablePid, 0x0105, devicesim::kLinkCable, true};
const LinkSetup kReceiver{2, devicesim::kK1ReceiverPid, 0x0203, devicesim::kLinkReceiver, true};
const LinkSetup kReceiverUnlinked{2, devicesim::kK1ReceiverPid, 0x0203, devicesim::kLinkNone, true};
const LinkSetup kBluetooth{1, devicesim::kK1BluetoothPid, 0x0105, devicesim::kLinkCable, true};

INSTANTIATE_TEST_SUITE_P(
    Cases, ActiveMode,
    ::testing::Values(
        // Receiver listed first: the cable still wins.
        ActiveModeCase{"CableAndReceiver", {kReceiver, kCable}, 301, 0, 0},
        ActiveModeCase{"ReceiverOnly", {kReceiver}, 301, 2, 2},
        ActiveModeCase{"CableAndUnlinkedReceiver", {kCable, kReceiverUnlinked}, 301, 0, 0},
        ActiveModeCase{"BluetoothOnly", {kBluetooth}, 301, -1, -1},
        ActiveModeCase{"OtherTypeSelected", {kCable}, 101, -1, -1},
        // Selected type 0 is "all" only for GetEntries; look-ups compare exactly.
        ActiveModeCase{"TypeZeroSelected", {kCable}, 0, -1, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HidDeviceManager, FindEntryLooksAtTheFirstOnlineEntryOnly) {
    Rig rig(KeyboardSetup::CableAndReceiver());
    rig.Rescan();
    EXPECT_EQ(rig.hid.FindEntry(0x35C1, 0x4011, L"", 0), 0);
    EXPECT_EQ(rig.hid.FindEntry(0x35C1, 0x4012, L"", 2), 1);
    EXPECT_EQ(rig.hid.FindEntry(0x35C1, 0x4012, L"", 0), -1);  // wrong mode
    // Product strings are empty, so any name fails on the first qualifying entry.
    EXPECT_EQ(rig.hid.FindEntry(0x35C1, 0x4011, L"Keyloft K1", 0), -1);

    Rig offline(KeyboardSetup::ReceiverUnlinked());
    offline.Rescan();
    EXPECT_EQ(offline.hid.FindEntry(0x35C1, 0x4012, L"", 2), -1);
}

TEST(HidDeviceManager, GetEntriesFiltersBySelectedType) {
    KeyboardSetup setup = KeyboardSetup::Cable();
    setup.links.push_back({0, devicesim::kK0CablePid, 0x0101, devicesim::kLinkCable, true});
    Rig rig(setup);
    rig.Rescan(0);
    std::vector<DeviceEntry> all, k0, none;
    ASSERT_TRUE(rig.hid.GetEntries(all));
    EXPECT_EQ(all.size(), 2u);
    rig.hid.SetSelectedType(101);
    ASSERT_TRUE(rig.hid.GetEntries(k0));
    ASSERT_EQ(k0.size(), 1u);
    EXPECT_EQ(k0[0].productId, devicesim::kK0CablePid);
    rig.hid.SetSelectedType(999);
    EXPECT_TRUE(rig.hid.GetEntries(none)) << "true even when no entry has the type";
    EXPECT_TRUE(none.empty());
}

TEST(HidDeviceManager, RevisionsComeFromTheInterfacesReleaseNumbers) {
    Rig both(KeyboardSetup::CableAndReceiver());
    both.Rescan();
    int firmware = 0, receiver = 0;
    ASSERT_TRUE(both.hid.GetFirmwareRevision(firmware));
    ASSERT_TRUE(both.hid.GetReceiverRevision(receiver));
    EXPECT_EQ(firmware, 0x0105);
    EXPECT_EQ(receiver, 0x0203);

    // Without a cable entry the firmware revision falls back to the receiver's,
    // online or not.
    Rig unlinked(KeyboardSetup::ReceiverUnlinked());
    unlinked.Rescan();
    ASSERT_TRUE(unlinked.hid.GetFirmwareRevision(firmware));
    EXPECT_EQ(firmware, 0x0203);

    Rig cable(KeyboardSetup::Cable());
    cable.Rescan();
    EXPECT_FALSE(cable.hid.GetReceiverRevision(receiver));
    cable.hid.CloseAll();
    EXPECT_FALSE(cable.hid.GetFirmwareRevision(firmware));
}

TEST(HidDeviceManager, UnplugFailsSendsUntilTheRescanFindsNothing) {
    Rig rig(KeyboardSetup::Cable());
    ASSERT_EQ(rig.Rescan(), 0);
    rig.kb.Unplug(0);
    const std::size_t mark = rig.Mark();
    CommandPacket p = MakeCommand(Framing::A, cmd::kSleepTime, {1});
    EXPECT_FALSE(rig.hid.SendCommand(p.span(), false));
    EXPECT_EQ(rig.clock.PauseLengths(), (std::vector<std::int64_t>{10}));
    EXPECT_TRUE(rig.SentSince(mark).empty());
    EXPECT_EQ(rig.Rescan(), -1);
    std::vector<DeviceEntry> entries;
    EXPECT_FALSE(rig.hid.GetEntries(entries));

    rig.kb.Plug(KeyboardSetup::Cable().links[0]);
    EXPECT_EQ(rig.Rescan(), 0);
}

TEST(HidInterfaceName, BuildsUpperCaseWindowsStyleNames) {
    struct Row {
        std::uint16_t vid, pid;
        int interfaceNumber;
        const char* path;
        const char* name;
    };
    const Row rows[] = {
        {0x35C1, 0x4011, 2, "/dev/hidraw3",
         "\\\\?\\HID#VID_35C1&PID_4011&MI_02#HIDRAW3#{4D1E55B2-F16F-11CF-88CB-001111000030}"},
        {0x35c1, 0x4012, 3, "/dev/hidraw10",
         "\\\\?\\HID#VID_35C1&PID_4012&MI_03#HIDRAW10#{4D1E55B2-F16F-11CF-88CB-001111000030}"},
        // Bluetooth interfaces have no interface number.
        {0x35C1, 0x4013, -1, "/dev/hidraw0",
         "\\\\?\\HID#VID_35C1&PID_4013#HIDRAW0#{4D1E55B2-F16F-11CF-88CB-001111000030}"},
        // Separators in the instance part would confuse pattern matching.
        {0x0001, 0x00AB, 0, "weird#node\\x",
         "\\\\?\\HID#VID_0001&PID_00AB&MI_00#WEIRD_NODE_X#{4D1E55B2-F16F-11CF-88CB-001111000030}"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(HidInterfaceName(r.vid, r.pid, r.interfaceNumber, r.path), r.name) << r.path;
    }
}

}  // namespace
}  // namespace keyloft::testing
