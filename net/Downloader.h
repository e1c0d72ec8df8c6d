#pragma once
#include "common/Outcome.h"
#include "net/DownloadAbort.h"

#include <cstddef>
#include <string>

// Fetches files from the download server (the profile's serverFolderUrl) over
// HTTP or HTTPS with WinINet, through the proxy the system's settings name,
// if any. Locations are a sub-path and a file name joined onto
// serverFolderUrl. Failures come back as outcomes (see NetworkErrorText.h for
// what each carries); nothing is shown here. Every call takes an abort: when
// given, its request interrupts any wait on the server at once, and it is
// never cleared here: the caller's run owns it.
class Downloader {
  public:
    static bool IsConnected();
    // Streams the file into targetDir + fileName (targetDir ends in '\'),
    // resuming a transfer that ends early (Transfer). The abort is tested
    // before anything starts and after every read: once it holds, the
    // transfer stops, keeping what was written before that read, and the
    // outcome is a success.
    static Outcome DownloadFile(std::wstring subPath, std::wstring targetDir, std::wstring fileName,
                                DownloadAbort* abort = nullptr);
    // The whole body into text, one character per byte (for the small ASCII
    // manifest). Reading stops at kMaxTextBytes: a longer body fails like a
    // broken transfer of that file, with ERROR_FILE_TOO_LARGE. Aborted: a
    // success with an empty text.
    static Outcome DownloadText(std::wstring subPath, std::wstring fileName, std::wstring& text,
                                DownloadAbort* abort = nullptr);
    // Far beyond any real manifest, far below what a 32-bit process can hold.
    static constexpr std::size_t kMaxTextBytes = 1024 * 1024;
    // True when the server answers with a status from 200 to 399; silent.
    // Aborted: false.
    static bool UrlExists(std::wstring subPath, std::wstring fileName, DownloadAbort* abort = nullptr);
};
