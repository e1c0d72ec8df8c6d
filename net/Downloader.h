#pragma once
#include "common/Outcome.h"
#include "net/DownloadAbort.h"

#include <cstddef>
#include <string>
#include <utility>

// Fetches files from one download server folder (the profile's
// serverFolderUrl, given by the caller) over HTTP or HTTPS with WinINet,
// through the proxy the system's settings name, if any. Locations are a
// sub-path and a file name joined onto that folder's address. Failures come
// back as outcomes (see NetworkErrorText.h for what each carries); nothing is
// shown here. Every call takes an abort: when given, its request interrupts
// any wait on the server at once, and it is never cleared here: the caller's
// run owns it.
class Downloader {
  public:
    explicit Downloader(std::wstring serverFolderUrl) : serverFolderUrl_(std::move(serverFolderUrl)) {}

    static bool IsConnected();
    // Streams the file into targetDir + fileName (targetDir ends in '\'),
    // resuming a transfer that ends early (Transfer). The abort is tested
    // before anything starts and after every read: once it holds, the
    // transfer stops, keeping what was written before that read, and the
    // outcome is a success.
    Outcome DownloadFile(std::wstring subPath, std::wstring targetDir, std::wstring fileName,
                         DownloadAbort* abort = nullptr) const;
    // The whole body into text, one character per byte (for the small ASCII
    // manifest). Reading stops at kMaxTextBytes: a longer body fails like a
    // broken transfer of that file, with ERROR_FILE_TOO_LARGE. Aborted: a
    // success with an empty text.
    Outcome DownloadText(std::wstring subPath, std::wstring fileName, std::wstring& text,
                         DownloadAbort* abort = nullptr) const;
    // Far beyond any real manifest, far below what a 32-bit process can hold.
    static constexpr std::size_t kMaxTextBytes = 1024 * 1024;
    // True when the server answers with a status from 200 to 399; silent.
    // Aborted: false.
    bool UrlExists(std::wstring subPath, std::wstring fileName, DownloadAbort* abort = nullptr) const;

  private:
    std::wstring UrlOf(const std::wstring& subPath, const std::wstring& fileName) const {
        return serverFolderUrl_ + subPath + fileName;
    }

    std::wstring serverFolderUrl_;
};
