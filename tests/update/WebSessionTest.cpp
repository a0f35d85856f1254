#include "update/WebSession.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "TestHttpServer.h"
#include "base/WideString.h"

namespace keyloft {
namespace {

using test::Exists;
using test::ReadFile;
using test::TempDir;
using test::TestHttpServer;
using test::WriteFile;

class RecordingSink : public DownloadProgressSink {
public:
    void PostDownloadProgress(int percent) override {
        std::function<void(int)> hook;
        {
            std::lock_guard lock(mutex_);
            values_.push_back(percent);
            hook = onPost;
        }
        if (hook) hook(percent);
    }
    std::vector<int> Values() {
        std::lock_guard lock(mutex_);
        return values_;
    }
    std::function<void(int)> onPost;

private:
    std::mutex mutex_;
    std::vector<int> values_;
};

// Bytes that differ from chunk to chunk, so a lost or repeated chunk shows.
std::string Pattern(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 7 + i / 10240) & 0xff);
    return data;
}

class WebSessionTest : public testing::Test {
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
    void SetUp() override { ASSERT_TRUE(started_) << "the python3 test server did not start"; }

    static std::wstring Url(const std::string& path) { return server_->Url(path); }
    static void Serve(const std::string& name, const std::string& content) {
        WriteFile(*root_ / name, content);
    }

    TempDir out_;
    WebSession session_;
    static TempDir* root_;
    static TestHttpServer* server_;
    static bool started_;
};

TempDir* WebSessionTest::root_ = nullptr;
TestHttpServer* WebSessionTest::server_ = nullptr;
bool WebSessionTest::started_ = false;

TEST_F(WebSessionTest, GetTextReturnsTheWholeBody) {
    struct Case {
        const char* name;
        std::string content;
    };
    const Case cases[] = {
        {"text-0", ""},
        {"text-1", "1"},
        {"text-10", "1.0.2.3456"},
        {"text-11", "1.0.2.34567"},
        {"text-utf8", "Version \xc3\xbc \xe4\xb8\xad"},
        {"text-chunks", std::string(25000, 'v')},  // more than two chunks
        {"text-largest", std::string(kWebMaxTextBytes, 'v')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Serve(c.name, c.content);
        std::wstring text = L"old";
        EXPECT_EQ(session_.WebGetText(Url(std::string("/files/") + c.name), text), kWebOk);
        EXPECT_EQ(text, Utf8ToWide(c.content));
    }
}

TEST_F(WebSessionTest, GetTextFailsWithEmptyTextWhenThereIsNoResource) {
    const std::wstring closed = L"http://127.0.0.1:" + std::to_wstring(test::ClosedPort()) + L"/version";
    struct Case {
        const char* what;
        std::wstring url;
    };
    const Case cases[] = {
        {"missing file (404 page)", Url("/files/no-such-version")},
        {"server error", Url("/status/500/1.0")},
        {"short error page", Url("/status/404/1.9")},
        {"closed port", closed},
        {"endless redirects", Url("/loop")},
        {"not a web address", L"file:///etc/hostname"},
        {"no scheme", Url("/files/x").substr(7)},
        {"empty address", L""},
        {"longer than any text reply", Url("/files/text-too-long")},
    };
    Serve("text-too-long", std::string(kWebMaxTextBytes + 1, 'v'));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring text = L"old";
        EXPECT_EQ(session_.WebGetText(c.url, text), kWebFailed);
        EXPECT_EQ(text, L"");
    }
}

TEST_F(WebSessionTest, GetTextFollowsRedirectsToTheFinalBody) {
    Serve("moved", "2.0.1");
    std::wstring text;
    EXPECT_EQ(session_.WebGetText(Url("/redirect/files/moved"), text), kWebOk);
    EXPECT_EQ(text, L"2.0.1");
}

TEST_F(WebSessionTest, RequestsAskForAFreshCopy) {
    Serve("fresh", "1");
    std::wstring text;
    ASSERT_EQ(session_.WebGetText(Url("/files/fresh"), text), kWebOk);
    EXPECT_EQ(server_->HeaderOfLast("/files/fresh", "Accept"), "*/*");
    EXPECT_EQ(server_->HeaderOfLast("/files/fresh", "Pragma"), "no-cache");
    EXPECT_EQ(server_->HeaderOfLast("/files/fresh", "Cache-Control"), "no-cache");
    EXPECT_FALSE(server_->HeaderOfLast("/files/fresh", "User-Agent").empty());
}

TEST_F(WebSessionTest, DownloadPostsTheProgressSequence) {
    struct Case {
        const char* route;
        std::size_t size;
        std::vector<int> progress;
    };
    const Case cases[] = {
        {"/files/", 0, {0, 2, 8, 10, 100}},
        {"/files/", 5000, {0, 2, 8, 10, 100}},
        {"/files/", 10240, {0, 2, 8, 10, 100}},                 // one chunk reaches 100 itself
        {"/files/", 20480, {0, 2, 8, 10, 55, 100}},
        {"/files/", 25000, {0, 2, 8, 10, 55, 100, 145, 100}},   // the last short chunk passes 100
        {"/files/", 102400, {0, 2, 8, 10, 19, 28, 37, 46, 55, 64, 73, 82, 91, 100}},
        {"/nolength/", 30000, {0, 2, 8, 10, 100}},              // no length announced
        {"/redirect/files/", 25000, {0, 2, 8, 10, 55, 100, 145, 100}},
    };
    for (const Case& c : cases) {
        std::string name = "dl-" + std::to_string(c.size);
        SCOPED_TRACE(std::string(c.route) + name);
        Serve(name, Pattern(c.size));
        RecordingSink sink;
        std::string target = out_ / "download.bin";
        ASSERT_EQ(session_.WebDownloadFile(Url(c.route + name), Utf8ToWide(target), &sink), kWebOk);
        EXPECT_EQ(sink.Values(), c.progress);
        EXPECT_TRUE(ReadFile(target) == Pattern(c.size));
    }
}

TEST_F(WebSessionTest, FailedDownloadLeavesNoFile) {
    const std::wstring closed = L"http://127.0.0.1:" + std::to_wstring(test::ClosedPort()) + L"/a.zip";
    struct Case {
        const char* what;
        std::wstring url;
        std::string target;
        std::vector<int> progress;
    };
    Serve("present", "data");
    const Case cases[] = {
        {"404", Url("/files/absent.zip"), out_ / "a.zip", {0, 2}},
        {"closed port", closed, out_ / "a.zip", {0, 2}},
        {"folder missing", Url("/files/present"), out_ / "no-folder/a.zip", {0, 2, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(c.target, "an old archive");
        RecordingSink sink;
        EXPECT_EQ(session_.WebDownloadFile(c.url, Utf8ToWide(c.target), &sink), kWebFailed);
        EXPECT_EQ(sink.Values(), c.progress);
        EXPECT_FALSE(Exists(c.target));
    }
}

TEST_F(WebSessionTest, DownloadWithoutWindowStillWritesTheFile) {
    Serve("quiet", Pattern(30000));
    std::string target = out_ / "quiet.bin";
    ASSERT_EQ(session_.WebDownloadFile(Url("/files/quiet"), Utf8ToWide(target), nullptr), kWebOk);
    EXPECT_TRUE(ReadFile(target) == Pattern(30000));
}

TEST_F(WebSessionTest, StopEndsTheDownloadAfterTheCurrentChunk) {
    Serve("stopped", Pattern(102400));
    RecordingSink sink;
    sink.onPost = [this](int percent) {
        if (percent > 10) session_.Stop();
    };
    std::string target = out_ / "stopped.bin";
    EXPECT_EQ(session_.WebDownloadFile(Url("/files/stopped"), Utf8ToWide(target), &sink), kWebStopped);
    EXPECT_EQ(sink.Values(), (std::vector<int>{0, 2, 8, 10, 19}));
    EXPECT_FALSE(Exists(target));

    // The flag belongs to one transfer: the next one runs again.
    sink.onPost = nullptr;
    EXPECT_EQ(session_.WebDownloadFile(Url("/files/stopped"), Utf8ToWide(target), nullptr), kWebOk);
}

TEST_F(WebSessionTest, StopFromAnotherThreadEndsAStalledDownload) {
    Serve("stall-dl", Pattern(100000));
    RecordingSink sink;
    std::atomic<int> chunks{0};
    sink.onPost = [&chunks](int percent) {
        if (percent > 10) ++chunks;
    };
    std::thread stopper([&] {
        // The server sends two chunks and then nothing until released.
        while (chunks.load() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        session_.Stop();
    });
    std::string target = out_ / "stall.bin";
    int result = session_.WebDownloadFile(Url("/stall/stall-dl"), Utf8ToWide(target), &sink);
    stopper.join();
    Serve("stall-dl.release", "");
    EXPECT_EQ(result, kWebStopped);
    EXPECT_EQ(chunks.load(), 2);
    EXPECT_FALSE(Exists(target));
}

TEST_F(WebSessionTest, StopFromAnotherThreadEndsAStalledText) {
    Serve("stall-text", std::string(50000, 'v'));
    std::thread stopper([&] {
        while (server_->HeaderOfLast("/stall/stall-text", "Host").empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        session_.Stop();
    });
    std::wstring text;
    int result = session_.WebGetText(Url("/stall/stall-text"), text);
    stopper.join();
    Serve("stall-text.release", "");
    EXPECT_EQ(result, kWebStopped);
    // Whatever had arrived: whole chunks of the body, never more than was sent.
    EXPECT_LE(text.size(), 20480u);
    EXPECT_EQ(text.size() % kWebChunkBytes, 0u);
    EXPECT_EQ(text, std::wstring(text.size(), L'v'));
}

// https against a throw-away certificate: accepted when its authority is given,
// refused otherwise (verification is on).
TEST(WebSessionHttpsTest, VerifiesTheServerCertificate) {
    if (std::system("command -v openssl > /dev/null 2>&1") != 0) GTEST_SKIP() << "no openssl";
    TempDir root;
    std::string cert = root / "cert.pem";
    std::string key = root / "key.pem";
    std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1"
                          " -addext subjectAltName=IP:127.0.0.1 -keyout '" + key + "' -out '" + cert +
                          "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    WriteFile(root / "version", "3.1");
    TestHttpServer server;
    ASSERT_TRUE(server.Start(root.path(), cert, key));

    WebSession trusting;
    trusting.SetCertificateAuthorityFile(cert);
    std::wstring text;
    EXPECT_EQ(trusting.WebGetText(server.Url("/files/version"), text), kWebOk);
    EXPECT_EQ(text, L"3.1");

    WebSession plain;
    EXPECT_EQ(plain.WebGetText(server.Url("/files/version"), text), kWebFailed);
    EXPECT_EQ(text, L"");
}

}  // namespace
}  // namespace keyloft
