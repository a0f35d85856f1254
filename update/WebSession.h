// HTTP and HTTPS GET for the update check and the update download.
//
// One WebSession belongs to the worker thread that runs the update commands;
// only Stop() may be called from another thread. Every request sends
// "Accept: */*" and asks every cache on the way for a fresh copy, follows up to
// five redirects (http and https only) and reads the body in chunks of
// kWebChunkBytes. A chunk is complete when it is full or the body ends, so a
// download of N bytes always takes ceil(N / kWebChunkBytes) reads, whatever the
// network delivers at a time.
//
// Results: kWebOk, kWebNoSession (no transfer handle could be made),
// kWebFailed (unreachable, refused, not http(s), an HTTP status other than 2xx,
// a broken transfer, the file could not be written), kWebStopped (Stop() was
// called). Nothing throws.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

namespace keyloft {

inline constexpr int kWebOk = 1;
inline constexpr int kWebNoSession = 0;
inline constexpr int kWebFailed = -1;
inline constexpr int kWebStopped = -2;

inline constexpr std::size_t kWebChunkBytes = 10240;
// A text reply longer than this is refused: version texts are a few characters,
// and a server that streams without end must not exhaust our memory.
inline constexpr std::size_t kWebMaxTextBytes = 1 << 20;

// The main window's number for the download progress (wParam 0, lParam the
// percentage). It shares the number with the tray icon's callback.
inline constexpr unsigned kDownloadProgressMessage = 0x069A;

// Receives the download progress. Called on the downloading thread; the
// receiver posts the value on (kDownloadProgressMessage) and must not block.
class DownloadProgressSink {
public:
    virtual ~DownloadProgressSink() = default;
    virtual void PostDownloadProgress(int percent) = 0;
};

class WebSession {
public:
    WebSession() = default;
    WebSession(const WebSession&) = delete;
    WebSession& operator=(const WebSession&) = delete;

    // Fetches `url` and stores its body, read as UTF-8, in `text` (empty on
    // failure; what had arrived when stopped).
    int WebGetText(const std::wstring& url, std::wstring& text);

    // Fetches `url` into the file `path`. An existing file at `path` is deleted
    // first; on any result but kWebOk no file is left there, so a broken or
    // stopped download can never be mistaken for an archive. Progress (when
    // `window` is given), each value only when it differs from the last: 0 at
    // the start, 2 with the transfer handle, 8 once the server answered with
    // success, 10 once the file exists, then after every chunk
    // 10 + 90 * chunks / (content length / kWebChunkBytes) when the announced
    // length is at least one chunk, and 100 when the file is complete.
    int WebDownloadFile(const std::wstring& url, const std::wstring& path,
                        DownloadProgressSink* window);

    // Ends the running transfer after the current chunk (or at once while it
    // waits for the network). Any thread. A transfer that starts later runs.
    void Stop() { running_.store(false); }

    // Verifies https servers against the authorities in this PEM file instead
    // of the system's bundle (a site with its own authority). Set before the
    // first transfer; empty means the system's bundle.
    void SetCertificateAuthorityFile(std::string pemPath) { caFile_ = std::move(pemPath); }

private:
    std::atomic<bool> running_{false};
    std::string caFile_;
};

}  // namespace keyloft
