#include "update/WebSession.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <climits>
#include <cstdint>
#include <functional>
#include <mutex>

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include "base/WideString.h"

namespace keyloft {
namespace {

constexpr const char* kUserAgent = "Keyloft-Update/1.0";
constexpr long kMaxRedirects = 5;
constexpr long kConnectTimeoutSeconds = 30;
// A server that sends nothing for a minute is taken as gone; the worker thread
// that runs the transfer has other work waiting.
constexpr long kStallSeconds = 60;

bool HasWebScheme(const std::string& url) {
    auto startsWith = [&url](const char* prefix) {
        std::size_t i = 0;
        for (; prefix[i]; ++i)
            if (i >= url.size() || std::tolower(static_cast<unsigned char>(url[i])) != prefix[i])
                return false;
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// One GET in flight: the curl handle and what the callbacks need. Bytes from
// curl are gathered into chunks of kWebChunkBytes; `onStart` runs once when the
// final response (after redirects) begins, `onChunk` for every completed chunk.
// Either can refuse, which aborts the transfer.
class Transfer {
public:
    Transfer(std::atomic<bool>& running, const std::string& caFile)
        : running_(running), curl_(curl_easy_init()) {
        if (!curl_) return;
        headers_ = curl_slist_append(headers_, "Accept: */*");
        // We keep no cache; these make sure no proxy answers from its own.
        headers_ = curl_slist_append(headers_, "Pragma: no-cache");
        headers_ = curl_slist_append(headers_, "Cache-Control: no-cache");
        curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers_);
        curl_easy_setopt(curl_, CURLOPT_USERAGENT, kUserAgent);
        curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl_, CURLOPT_MAXREDIRS, kMaxRedirects);
        curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
        curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
        curl_easy_setopt(curl_, CURLOPT_BUFFERSIZE, static_cast<long>(kWebChunkBytes));
        if (!caFile.empty()) curl_easy_setopt(curl_, CURLOPT_CAINFO, caFile.c_str());
        curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &Transfer::OnWrite);
        curl_easy_setopt(curl_, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
        curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, this);
        curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
        pending_.reserve(kWebChunkBytes);
    }
    ~Transfer() {
        if (curl_) curl_easy_cleanup(curl_);
        curl_slist_free_all(headers_);
    }
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    bool Valid() const { return curl_ != nullptr; }

    // The announced body length of the final response; 0 when none was sent.
    std::int64_t ContentLength() const {
        curl_off_t length = -1;
        if (curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK)
            return 0;
        return length < 0 ? 0 : static_cast<std::int64_t>(length);
    }

    // Runs the GET; returns kWebOk, kWebFailed or kWebStopped.
    int Run(const std::string& url, std::function<bool()> onStart,
            std::function<bool(const char*, std::size_t)> onChunk) {
        onStart_ = std::move(onStart);
        onChunk_ = std::move(onChunk);
        // Without a scheme curl would guess one and look the text up as a host
        // name; an address from the data files must say what it is.
        if (!HasWebScheme(url)) return kWebFailed;
        curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
        CURLcode rc = curl_easy_perform(curl_);
        if (stopped_) return kWebStopped;
        if (rc != CURLE_OK || refused_) return kWebFailed;
        // An empty body never reaches the write callback.
        if (!Begin()) return stopped_ ? kWebStopped : kWebFailed;
        if (!pending_.empty() && !Deliver()) return stopped_ ? kWebStopped : kWebFailed;
        return kWebOk;
    }

private:
    static size_t OnWrite(char* data, size_t size, size_t count, void* self) {
        auto& t = *static_cast<Transfer*>(self);
        size_t length = size * count;
        if (!t.Begin()) return CURL_WRITEFUNC_ERROR;
        size_t used = 0;
        while (used < length) {
            size_t take = std::min(length - used, kWebChunkBytes - t.pending_.size());
            t.pending_.append(data + used, take);
            used += take;
            if (t.pending_.size() == kWebChunkBytes && !t.Deliver()) return CURL_WRITEFUNC_ERROR;
        }
        return length;
    }

    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        auto& t = *static_cast<Transfer*>(self);
        if (t.running_.load()) return 0;
        t.stopped_ = true;
        return 1;
    }

    bool CheckRunning() {
        if (running_.load()) return true;
        stopped_ = true;
        return false;
    }

    bool Begin() {
        if (started_) return true;
        started_ = true;
        if (!CheckRunning()) return false;
        // An error page is not the resource: a "Not Found" body must never be
        // read as a version text or saved as an archive.
        long status = 0;
        curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
        if (status < 200 || status > 299 || (onStart_ && !onStart_())) {
            refused_ = true;
            return false;
        }
        return true;
    }

    bool Deliver() {
        bool ok = onChunk_(pending_.data(), pending_.size());
        pending_.clear();
        if (!ok) {
            refused_ = true;
            return false;
        }
        return CheckRunning();
    }

    std::atomic<bool>& running_;
    CURL* curl_;
    curl_slist* headers_ = nullptr;
    std::function<bool()> onStart_;
    std::function<bool(const char*, std::size_t)> onChunk_;
    std::string pending_;
    bool started_ = false;
    bool stopped_ = false;
    bool refused_ = false;
};

// Posts each progress value once, and only when it changed.
class ProgressPoster {
public:
    explicit ProgressPoster(DownloadProgressSink* sink) : sink_(sink) {}
    void Post(std::int64_t value) {
        int percent = value > INT_MAX ? INT_MAX : static_cast<int>(value);
        if (!sink_ || percent == last_) return;
        last_ = percent;
        sink_->PostDownloadProgress(percent);
    }

private:
    DownloadProgressSink* sink_;
    int last_ = INT_MIN;
};

bool WriteAll(int fd, const char* data, std::size_t length) {
    while (length > 0) {
        ssize_t written = write(fd, data, length);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

int WebSession::WebGetText(const std::wstring& url, std::wstring& text) {
    text.clear();
    GlobalInit();
    running_.store(true);
    Transfer transfer(running_, caFile_);
    if (!transfer.Valid()) return kWebNoSession;
    std::string body;
    int result = transfer.Run(WideToUtf8(url), nullptr, [&body](const char* data, std::size_t length) {
        if (body.size() + length > kWebMaxTextBytes) return false;
        body.append(data, length);
        return true;
    });
    if (result == kWebFailed) return kWebFailed;
    text = Utf8ToWide(body);
    return result;
}

int WebSession::WebDownloadFile(const std::wstring& url, const std::wstring& path,
                                DownloadProgressSink* window) {
    ProgressPoster progress(window);
    progress.Post(0);
    GlobalInit();
    running_.store(true);
    const std::string file = WideToUtf8(path);
    unlink(file.c_str());

    Transfer transfer(running_, caFile_);
    if (!transfer.Valid()) return kWebNoSession;
    progress.Post(2);

    int fd = -1;
    std::int64_t perChunkDivisor = 0;
    std::int64_t chunks = 0;
    auto onStart = [&] {
        progress.Post(8);
        fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        progress.Post(10);
        std::int64_t length = transfer.ContentLength();
        if (length >= static_cast<std::int64_t>(kWebChunkBytes))
            perChunkDivisor = length / static_cast<std::int64_t>(kWebChunkBytes);
        return true;
    };
    auto onChunk = [&](const char* data, std::size_t length) {
        if (!WriteAll(fd, data, length)) return false;
        ++chunks;
        if (perChunkDivisor > 0) progress.Post(10 + (90 * chunks) / perChunkDivisor);
        return true;
    };
    int result = transfer.Run(WideToUtf8(url), onStart, onChunk);
    if (fd >= 0 && close(fd) != 0 && result == kWebOk) result = kWebFailed;
    if (result != kWebOk) {
        if (fd >= 0) unlink(file.c_str());
        return result;
    }
    progress.Post(100);
    return kWebOk;
}

}  // namespace keyloft
