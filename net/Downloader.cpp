#include "net/Downloader.h"

#include "common/UniqueHandle.h"
#include "net/ConnectionProbe.h"
#include "net/HttpRequest.h"
#include "net/NetworkErrorText.h"
#include "net/NetworkErrors.h"
#include "net/PackageTransfer.h"
#include "net/RequestLogLine.h"
#include "profile/ProductProfile.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <utility>

namespace {

constexpr DWORD kBlockSize = 4096;
using Block = std::array<char, kBlockSize>;

std::mutex probeMutex;
ConnectionProbe& Probe() {
    static ConnectionProbe probe;
    return probe;
}

std::wstring UrlOf(const std::wstring& subPath, const std::wstring& fileName) {
    return Profile().serverFolderUrl() + subPath + fileName;
}

// WinINet ends a body that the server cut off like a complete one; only the
// count of bytes against the announced length tells the two apart. An answer
// that has no body (a 304 announces the length of the file it did not send)
// is complete as it is.
bool ShortOfAnnounced(HINTERNET request, std::uint64_t received) {
    if (!StatusCarriesBody(AnswerStatus(request)))
        return false;
    const std::optional<std::uint64_t> announced = AnnouncedLength(request);
    return announced && received < *announced;
}

enum class BodyResult { Complete, ReadFailed, SinkFailed };

// Reads the body to its end, handing each block to sink. A sink that fails
// leaves its reason in GetLastError, which is returned in error like that of
// a failed read.
template <typename Sink> BodyResult ReadBody(HINTERNET request, Sink&& sink, DWORD& error) {
    Block block;
    for (;;) {
        DWORD read = 0;
        const ReadResult result = ReadInto(request, block.data(), kBlockSize, read, error);
        if (result == ReadResult::Failed)
            return BodyResult::ReadFailed;
        if (result == ReadResult::End)
            return BodyResult::Complete;
        if (!sink(block.data(), read)) {
            error = ::GetLastError();
            return BodyResult::SinkFailed;
        }
    }
}

} // namespace

ConnectionProbe SetConnectionProbe(ConnectionProbe probe) {
    std::lock_guard<std::mutex> lock(probeMutex);
    return std::exchange(Probe(), std::move(probe));
}

bool Downloader::IsConnected() {
    ConnectionProbe probe;
    {
        std::lock_guard<std::mutex> lock(probeMutex);
        probe = Probe();
    }
    if (probe)
        return probe();
    const auto connected = WinInet().InternetGetConnectedState;
    DWORD flags = 0;
    return connected && connected(&flags, 0) != FALSE;
}

Outcome Downloader::DownloadFile(std::wstring subPath, std::wstring targetDir, std::wstring fileName,
                                 DownloadAbort* abort) {
    // Stopped before it began: nothing is asked of the server and the target
    // stays as it was.
    if (abort && abort->Requested())
        return {};
    if (!IsConnected())
        return NoConnectionOutcome();

    const std::wstring targetPath = targetDir + fileName;
    // Created before anything is asked of the server, so a failed download
    // leaves an empty or partial file behind rather than an older copy.
    unique_hfile file(::CreateFileW(targetPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return NetworkErrorOutcome(::GetLastError(), targetPath);
    return TransferToFile(file.get(), UrlOf(subPath, fileName), fileName, targetPath, abort);
}

Outcome Downloader::DownloadToInstallDir(std::wstring subPath, std::wstring fileName, DownloadAbort* abort) {
    return DownloadFile(std::move(subPath), Profile().installDir(), std::move(fileName), abort);
}

Outcome Downloader::DownloadText(std::wstring subPath, std::wstring fileName, std::wstring& text) {
    const std::wstring url = UrlOf(subPath, fileName);
    if (!IsConnected())
        return NoConnectionOutcome();
    RequestLogLine logLine(url);
    DWORD error = 0;
    unique_hinternet internet = OpenInternet(error);
    if (!internet)
        return NetworkErrorOutcome(error, L"");
    unique_hinternet request = OpenRequest(internet.get(), url, error);
    if (!request)
        return NetworkErrorOutcome(error, fileName);
    logLine.status = AnswerStatus(request.get());
    Outcome status = CheckHttpStatus(request.get(), fileName);
    if (!status.Succeeded())
        return status;

    text.clear();
    const BodyResult body = ReadBody(
        request.get(),
        [&](const char* data, DWORD size) {
            // A server that never stops sending would otherwise take all the
            // memory there is and end the process.
            if (size > kMaxTextBytes - text.size()) {
                ::SetLastError(ERROR_FILE_TOO_LARGE);
                return false;
            }
            // One character per byte: bytes keep their value (the ISO 8859-1
            // reading), so nothing is lost and ASCII reads as itself.
            for (DWORD i = 0; i < size; ++i)
                text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(data[i])));
            return true;
        },
        error);
    logLine.bytes = text.size();
    if (body != BodyResult::Complete)
        return NetworkErrorOutcome(error, fileName);
    if (ShortOfAnnounced(request.get(), text.size()))
        return NetworkErrorOutcome(ERROR_INTERNET_CONNECTION_RESET, fileName);
    return {};
}

bool Downloader::UrlExists(std::wstring subPath, std::wstring fileName) {
    if (!IsConnected())
        return false;
    const std::wstring url = UrlOf(subPath, fileName);
    RequestLogLine logLine(url);
    DWORD error = 0;
    unique_hinternet internet = OpenInternet(error);
    if (!internet)
        return false;
    const unique_hinternet request = OpenRequest(internet.get(), url, error);
    if (!request)
        return false;
    logLine.status = AnswerStatus(request.get());
    return IsSuccessStatus(logLine.status);
}
