#pragma once
#include <string>

// Fetches files from the download server (the profile's serverFolderUrl) over
// HTTP or HTTPS with WinINet. Locations are a sub-path and a file name joined
// onto serverFolderUrl. Failures are shown to the user here (through the
// network error messages); callers only learn true or false.
// The abort flag is process-wide: AbortDownload from the window's thread stops
// a DownloadFile running on a worker after its current block.
class Downloader {
  public:
    static bool IsConnected();
    // Streams the file into targetDir + fileName (targetDir ends in '\').
    // True on success and after an abort.
    static bool DownloadFile(std::wstring subPath, std::wstring targetDir, std::wstring fileName);
    // DownloadFile into the profile's installDir.
    static bool DownloadToInstallDir(std::wstring subPath, std::wstring fileName);
    // The whole body into text, one character per byte (for the small ASCII manifest).
    static bool DownloadText(std::wstring subPath, std::wstring fileName, std::wstring& text);
    // True when the server answers with a status from 200 to 399; silent.
    static bool UrlExists(std::wstring subPath, std::wstring fileName);
    static void AbortDownload();
};
