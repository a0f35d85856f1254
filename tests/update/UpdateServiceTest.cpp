#include "update/UpdateService.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestHttpServer.h"
#include "TestZip.h"
#include "base/WideString.h"

namespace keyloft {
namespace {

namespace fs = std::filesystem;
using test::Exists;
using test::ReadFile;
using test::TempDir;
using test::TestHttpServer;
using test::WriteFile;
using test::WriteZip;

class FakeHost : public UpdateHost {
public:
    struct Box {
        int text, caption, style;
        bool operator==(const Box&) const = default;
    };
    void SetUpgradeStatus(UpgradeButton button, int status) override {
        statuses.emplace_back(button, status);
    }
    void QueueCommand(int command) override { queued.push_back(command); }
    void PostDownloadProgress(int percent) override { progress.push_back(percent); }
    int ShowMessageBox(int text, int caption, int style) override {
        boxes.push_back({text, caption, style});
        return answer;
    }
    bool OpenProgram(const std::wstring& path) override {
        opened.push_back(WideToUtf8(path));
        return openSucceeds;
    }
    void EndProcess(int exitCode) override { ended.push_back(exitCode); }

    std::vector<std::pair<UpgradeButton, int>> statuses;
    std::vector<int> queued;
    std::vector<int> progress;
    std::vector<Box> boxes;
    std::vector<std::string> opened;
    std::vector<int> ended;
    int answer = 6;  // yes
    bool openSucceeds = true;
};

class FakeReleases : public ReleaseNumberSource {
public:
    int FirmwareRevision() override { return firmware; }
    int ReceiverRevision() override { return receiver; }
    int firmware = -1;
    int receiver = -1;
};

// The server's folders: sw/ for the program, fw/ for the keyboard, rx/ for the
// receiver, each reached as http://127.0.0.1:<port>/files/<folder>/.
class UpdateServiceTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = new TempDir;
        server_ = new TestHttpServer;
        started_ = server_->Start(root_->path());
    }
    static void TearDownTestSuite() {
        delete server_;
        delete root_;
    }
    void SetUp() override {
        ASSERT_TRUE(started_) << "the python3 test server did not start";
        for (const char* folder : {"sw", "fw", "rx"}) {
            fs::remove_all(*root_ / folder);
            fs::create_directory(*root_ / folder);
        }
        settings_.dataDirectory = Utf8ToWide(data_.path() + "/");
        settings_.softwareVersion = L"1.0.1";
        settings_.softwareAddress = server_->Url("/files/sw/");
        settings_.firmwareAddress = server_->Url("/files/fw/");
        settings_.receiverAddress = server_->Url("/files/rx/");
        service_.SetSettings(settings_);
    }

    static void Serve(const std::string& path, const std::string& content) {
        WriteFile(*root_ / path, content);
    }
    static void ServeArchive(const std::string& path, const std::vector<test::ZipEntry>& entries) {
        ASSERT_TRUE(WriteZip(*root_ / path, entries));
    }
    std::string Work() const { return data_.path() + "/temp/"; }

    TempDir data_;
    FakeHost host_;
    FakeReleases releases_;
    UpdateService service_{host_, releases_};
    UpdateSettings settings_;
    static TempDir* root_;
    static TestHttpServer* server_;
    static bool started_;
};

TempDir* UpdateServiceTest::root_ = nullptr;
TestHttpServer* UpdateServiceTest::server_ = nullptr;
bool UpdateServiceTest::started_ = false;

TEST_F(UpdateServiceTest, SoftwareCheckOffersNewerVersionsOnly) {
    struct Case {
        const wchar_t* current;
        std::optional<std::string> reply;  // nullopt: the server has no such file
        bool offered;
        const wchar_t* latest;
    };
    const Case cases[] = {
        {L"1.0.1", "1.0.2", true, L"1.0.2"},
        {L"1.0.2", "1.0.1", false, L"1.0.1"},
        {L"1.0.2", "1.0.2", false, L"1.0.2"},
        {L"1.0", "1.0.0", true, L"1.0.0"},
        {L"1.0.9", "1.0.10", true, L"1.0.10"},
        {L"1.0.1", "1.0.2\n", true, L"1.0.2"},
        {L"1.0.1", "1.0.2.3.45", true, L"1.0.2.3.45"},  // 10 characters
        {L"1.0.1", "1.0.2.3.456", false, L""},          // 11
        {L"1.0.1", "", false, L""},
        {L"1.0.1", "../../x", false, L""},
        {L"1.0.1", std::nullopt, false, L""},           // a "Not Found" page
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.reply));
        fs::remove(*root_ / "sw/version");
        if (c.reply) Serve("sw/version", *c.reply);
        FakeHost host;
        UpdateService service(host, releases_);
        settings_.softwareVersion = c.current;
        service.SetSettings(settings_);

        EXPECT_TRUE(service.RunCommand(kCheckSoftwareVersion));
        using Status = std::pair<UpgradeButton, int>;
        const std::vector<Status> offer{{UpgradeButton::kSoftware, 1}};
        EXPECT_EQ(host.statuses, c.offered ? offer : std::vector<Status>());
        EXPECT_EQ(host.queued, c.offered ? std::vector<int>{kInstallSoftwareUpdate} : std::vector<int>{});
        EXPECT_EQ(service.LatestVersion(UpdateTarget::kSoftware), c.latest);
    }
}

TEST_F(UpdateServiceTest, DeviceChecksCompareTheReleaseNumberAsDecimal) {
    struct Case {
        UpdateTarget target;
        int release;
        const char* reply;
        bool offered;
    };
    const Case cases[] = {
        {UpdateTarget::kFirmware, 0x0106, "107", true},
        {UpdateTarget::kFirmware, 0x0110, "109", false},  // counts as 110, not 272
        {UpdateTarget::kFirmware, 0x0110, "110", false},
        {UpdateTarget::kFirmware, 0x0110, "111", true},
        {UpdateTarget::kFirmware, -1, "999", false},      // no keyboard
        {UpdateTarget::kReceiver, 0x0102, "103", true},
        {UpdateTarget::kReceiver, 0x0103, "103", false},
        {UpdateTarget::kReceiver, -1, "999", false},      // no receiver
    };
    for (const Case& c : cases) {
        bool receiver = c.target == UpdateTarget::kReceiver;
        SCOPED_TRACE(std::string(receiver ? "receiver " : "firmware ") + std::to_string(c.release) +
                     " against " + c.reply);
        // Each reply lies only under its own resource name: a receiver check
        // that asked for "version" would find nothing.
        fs::remove(*root_ / "fw/version");
        fs::remove(*root_ / "rx/dongle_version");
        Serve(receiver ? "rx/dongle_version" : "fw/version", c.reply);
        FakeHost host;
        FakeReleases releases;
        (receiver ? releases.receiver : releases.firmware) = c.release;
        UpdateService service(host, releases);
        service.SetSettings(settings_);

        service.RunCommand(receiver ? kCheckReceiverVersion : kCheckFirmwareVersion);
        using Status = std::pair<UpgradeButton, int>;
        const std::vector<Status> offer{{UpgradeButton::kFirmware, 1}};
        EXPECT_EQ(host.statuses, c.offered ? offer : std::vector<Status>());
        int install = receiver ? kInstallReceiverTool : kInstallFirmwareTool;
        EXPECT_EQ(host.queued, c.offered ? std::vector<int>{install} : std::vector<int>{});
        EXPECT_EQ(service.LatestVersion(c.target), Utf8ToWide(c.reply));
    }
}

TEST_F(UpdateServiceTest, DeviceCheckForgetsTheOldReplyWhenTheNewOneFails) {
    releases_.firmware = 0x0100;
    Serve("fw/version", "101");
    service_.CheckFirmwareVersion();
    ASSERT_EQ(service_.LatestVersion(UpdateTarget::kFirmware), L"101");
    fs::remove(*root_ / "fw/version");
    service_.CheckFirmwareVersion();
    EXPECT_EQ(service_.LatestVersion(UpdateTarget::kFirmware), L"");
}

TEST_F(UpdateServiceTest, EmptyAddressChecksNothing) {
    settings_.softwareAddress.clear();
    service_.SetSettings(settings_);
    std::size_t before = server_->RequestedPaths().size();
    service_.CheckSoftwareVersion();
    EXPECT_TRUE(host_.statuses.empty());
    EXPECT_EQ(server_->RequestedPaths().size(), before);
}

TEST_F(UpdateServiceTest, InstallDownloadsUnpacksAsksStartsAndEnds) {
    struct Case {
        UpdateTarget target;
        const char* folder;
        const char* resource;
        const char* stem;
        int text;
        int caption;
    };
    const Case cases[] = {
        {UpdateTarget::kSoftware, "sw", "version", "Keyboard-Software-", 193, 194},
        {UpdateTarget::kFirmware, "fw", "version", "FirmwareUpdateTool-", 191, 192},
        {UpdateTarget::kReceiver, "rx", "dongle_version", "DongleFirmwareUpdateTool-", 195, 196},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stem);
        TempDir data;
        settings_.dataDirectory = Utf8ToWide(data.path());  // no trailing slash
        settings_.softwareVersion = L"1.0";
        FakeHost host;
        UpdateService service(host, releases_);
        service.SetSettings(settings_);
        const std::string folder = c.folder;
        Serve(folder + "/" + c.resource, "2.0\n");
        const std::string program = std::string(c.stem) + "2.0.exe";
        ServeArchive(folder + "/" + c.stem + "2.0.zip",
                     {{program, "#!/bin/sh\n", S_IFREG | 0644}, {"lib/helper.so", "x"}});
        if (c.target == UpdateTarget::kSoftware) service.CheckSoftwareVersion();
        std::size_t requestsBefore = server_->RequestedPaths().size();

        service.RunCommand(c.target == UpdateTarget::kSoftware   ? kInstallSoftwareUpdate
                           : c.target == UpdateTarget::kFirmware ? kInstallFirmwareTool
                                                                 : kInstallReceiverTool);

        const std::string work = data.path() + "/temp/";
        // The archive is asked for at the address, two slashes, the name.
        std::vector<std::string> paths = server_->RequestedPaths();
        EXPECT_NE(std::find(paths.begin() + requestsBefore, paths.end(),
                            "/files/" + folder + "///" + c.stem + "2.0.zip"),
                  paths.end());
        EXPECT_EQ(host.boxes, (std::vector<FakeHost::Box>{{c.text, c.caption, 4}}));
        EXPECT_EQ(host.opened, std::vector<std::string>{work + program});
        EXPECT_EQ(host.ended, std::vector<int>{0});
        ASSERT_FALSE(host.progress.empty());
        EXPECT_EQ(host.progress.front(), 0);
        EXPECT_EQ(host.progress.back(), 100);
        EXPECT_FALSE(Exists(work + c.stem + "2.0.zip"));  // unpacked, so deleted
        EXPECT_EQ(ReadFile(work + "lib/helper.so"), "x");
        struct stat st {};
        ASSERT_EQ(stat((work + program).c_str(), &st), 0);
        EXPECT_TRUE(st.st_mode & S_IXUSR);
    }
}

TEST_F(UpdateServiceTest, InstallStopsShortOfEndingWhenItCannotGoOn) {
    const std::string program = "FirmwareUpdateTool-2.0.exe";
    struct Case {
        const char* what;
        bool serveArchive;
        bool archiveHasProgram;
        int answer;
        bool openSucceeds;
        bool asked;
        bool opened;
    };
    const Case cases[] = {
        {"declined", true, true, 2, true, true, false},
        {"program would not start", true, true, 6, false, true, true},
        {"no archive on the server", false, false, 6, true, false, false},
        {"archive without the program", true, false, 6, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir data;
        settings_.dataDirectory = Utf8ToWide(data.path() + "/");
        FakeHost host;
        host.answer = c.answer;
        host.openSucceeds = c.openSucceeds;
        UpdateService service(host, releases_);
        service.SetSettings(settings_);
        Serve("fw/version", "2.0");
        fs::remove(*root_ / "fw/FirmwareUpdateTool-2.0.zip");
        if (c.serveArchive) {
            if (c.archiveHasProgram)
                ServeArchive("fw/FirmwareUpdateTool-2.0.zip", {{program, "tool"}});
            else
                ServeArchive("fw/FirmwareUpdateTool-2.0.zip", {{"readme.txt", "no tool"}});
        }

        service.InstallFirmwareTool();

        EXPECT_EQ(host.boxes.size(), c.asked ? 1u : 0u);
        EXPECT_EQ(host.opened.size(), c.opened ? 1u : 0u);
        EXPECT_TRUE(host.ended.empty());
        EXPECT_FALSE(Exists(data.path() + "/temp/FirmwareUpdateTool-2.0.zip"));
        EXPECT_EQ(Exists(data.path() + "/temp/" + program), c.archiveHasProgram);
    }
}

TEST_F(UpdateServiceTest, ToolInstallFetchesTheVersionAgainFirst) {
    // The check saw 2.0; the server has since moved on to 2.1.
    releases_.firmware = 0x0100;
    Serve("fw/version", "2.0");
    service_.CheckFirmwareVersion();
    Serve("fw/version", "2.1");
    ServeArchive("fw/FirmwareUpdateTool-2.1.zip", {{"FirmwareUpdateTool-2.1.exe", "tool"}});
    service_.InstallFirmwareTool();
    EXPECT_EQ(host_.opened, std::vector<std::string>{Work() + "FirmwareUpdateTool-2.1.exe"});

    // And gives up when the reply is no longer usable.
    FakeHost host;
    UpdateService service(host, releases_);
    service.SetSettings(settings_);
    Serve("fw/version", "<html>busy</html>");
    std::size_t before = server_->RequestedPaths().size();
    service.InstallFirmwareTool();
    EXPECT_EQ(server_->RequestedPaths().size(), before + 1);  // only the version text
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(UpdateServiceTest, SoftwareInstallNeedsAVersionFromTheCheck) {
    std::size_t before = server_->RequestedPaths().size();
    service_.InstallSoftwareUpdate();
    EXPECT_EQ(server_->RequestedPaths().size(), before);
    EXPECT_TRUE(host_.progress.empty());
    EXPECT_FALSE(service_.RunCommand(5));
}

}  // namespace
}  // namespace keyloft
