#include "net/Downloader.h"

#include "common/UniqueHandle.h"
#include "net/ConnectionProbe.h"
#include "net/NetworkErrorText.h"
#include "net/NetworkErrors.h"
#include "net/WinInetApi.h"
#include "profile/ProductProfile.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <utility>

namespace {

using unique_hinternet = UniqueHandle<HINTERNET, InternetHandleTraits>;

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

// The error of the WinINet call that just failed; a function that could not
// be bound counts as a failed call of its own.
DWORD LastErrorOf(bool bound) {
    return bound ? ::GetLastError() : static_cast<DWORD>(ERROR_PROC_NOT_FOUND);
}

// A session with no proxy whatever the system settings say, and an empty
// user agent.
unique_hinternet OpenInternet(DWORD& error) {
    const auto open = WinInet().InternetOpenW;
    unique_hinternet internet(open ? open(L"", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0) : nullptr);
    error = internet ? 0 : LastErrorOf(open != nullptr);
    return internet;
}

// Always from the server, never from the local cache.
unique_hinternet OpenRequest(HINTERNET internet, const std::wstring& url, DWORD& error) {
    const auto open = WinInet().InternetOpenUrlW;
    unique_hinternet request(open ? open(internet, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0)
                                  : nullptr);
    error = request ? 0 : LastErrorOf(open != nullptr);
    return request;
}

// The body length the server announced, if it announced one. Read as text so
// that packages beyond 4 GB are measured correctly too.
std::optional<std::uint64_t> AnnouncedLength(HINTERNET request) {
    const auto query = WinInet().HttpQueryInfoW;
    if (!query)
        return std::nullopt;
    std::array<wchar_t, 32> buffer{};
    DWORD length = static_cast<DWORD>(sizeof(buffer) - sizeof(wchar_t));
    if (!query(request, HTTP_QUERY_CONTENT_LENGTH, buffer.data(), &length, nullptr))
        return std::nullopt;
    std::uint64_t value = 0;
    bool any = false;
    for (const wchar_t* p = buffer.data(); *p; ++p) {
        if (*p == L' ' && !any)
            continue;
        if (*p < L'0' || *p > L'9')
            break;
        if (value > (UINT64_MAX - 9) / 10)
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(*p - L'0');
        any = true;
    }
    return any ? std::optional<std::uint64_t>(value) : std::nullopt;
}

// The status number of an open request; 0 when it cannot be read.
int StatusOf(HINTERNET request) {
    const auto query = WinInet().HttpQueryInfoW;
    std::array<wchar_t, 512> buffer{};
    DWORD length = static_cast<DWORD>(sizeof(buffer) - sizeof(wchar_t));
    if (query && query(request, HTTP_QUERY_STATUS_CODE, buffer.data(), &length, nullptr))
        return LeadingStatusNumber(buffer.data());
    return 0;
}

// WinINet ends a body that the server cut off like a complete one; only the
// count of bytes against the announced length tells the two apart. An answer
// that has no body (a 304 announces the length of the file it did not send)
// is complete as it is.
bool ShortOfAnnounced(HINTERNET request, std::uint64_t received) {
    if (!StatusCarriesBody(StatusOf(request)))
        return false;
    const std::optional<std::uint64_t> announced = AnnouncedLength(request);
    return announced && received < *announced;
}

enum class ReadResult { Data, End, Failed };

// A read that fails without a code, or with E_ABORT, is not an error of its
// own: it ends the body like the end of the data, and the length check after
// the loop still tells a complete body from a cut one.
ReadResult ReadBlock(HINTERNET request, Block& block, DWORD& read, DWORD& error) {
    read = 0;
    error = 0;
    const auto readFile = WinInet().InternetReadFile;
    if (readFile && readFile(request, block.data(), kBlockSize, &read))
        return read == 0 ? ReadResult::End : ReadResult::Data;
    read = 0;
    error = LastErrorOf(readFile != nullptr);
    return error == 0 || error == static_cast<DWORD>(E_ABORT) ? ReadResult::End : ReadResult::Failed;
}

enum class BodyResult { Complete, Aborted, ReadFailed, SinkFailed };

// Reads the body to its end, handing each block to sink. A sink that fails
// leaves its reason in GetLastError, which is returned in error like that of
// a failed read. With an abort flag, a request to stop ends the loop before
// the block that arrived with it reaches the sink.
template <typename Sink>
BodyResult ReadBody(HINTERNET request, const std::atomic<bool>* abort, Sink&& sink, DWORD& error) {
    Block block;
    for (;;) {
        DWORD read = 0;
        const ReadResult result = ReadBlock(request, block, read, error);
        if (result == ReadResult::Failed)
            return BodyResult::ReadFailed;
        if (abort && abort->load())
            return BodyResult::Aborted;
        if (result == ReadResult::End)
            return BodyResult::Complete;
        if (!sink(block.data(), read)) {
            error = ::GetLastError();
            return BodyResult::SinkFailed;
        }
    }
}

bool WriteAll(HANDLE file, const char* data, DWORD size) {
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(file, data, size, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
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
                                 const std::atomic<bool>* abort) {
    // Stopped before it began: nothing is asked of the server and the target
    // stays as it was.
    if (abort && abort->load())
        return {};
    if (!IsConnected())
        return NoConnectionOutcome();

    const std::wstring url = UrlOf(subPath, fileName);
    const std::wstring targetPath = targetDir + fileName;
    // Created before anything is asked of the server, so a failed download
    // leaves an empty or partial file behind rather than an older copy.
    unique_hfile file(::CreateFileW(targetPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return NetworkErrorOutcome(::GetLastError(), targetPath);

    DWORD error = 0;
    unique_hinternet internet = OpenInternet(error);
    if (!internet)
        return NetworkErrorOutcome(error, L"");
    unique_hinternet request = OpenRequest(internet.get(), url, error);
    if (!request)
        return NetworkErrorOutcome(error, L"");
    Outcome status = CheckHttpStatus(request.get(), fileName);
    if (!status.Succeeded())
        return status;

    std::uint64_t received = 0;
    const BodyResult body = ReadBody(
        request.get(), abort,
        [&](const char* data, DWORD size) {
            if (!WriteAll(file.get(), data, size))
                return false;
            received += size;
            return true;
        },
        error);
    // The block that arrived with the request to stop is not kept.
    if (body == BodyResult::Aborted)
        return {};
    if (body == BodyResult::ReadFailed || body == BodyResult::SinkFailed)
        return NetworkErrorOutcome(error, body == BodyResult::ReadFailed ? fileName : targetPath);
    if (ShortOfAnnounced(request.get(), received))
        return NetworkErrorOutcome(ERROR_INTERNET_CONNECTION_RESET, fileName);
    return {};
}

Outcome Downloader::DownloadToInstallDir(std::wstring subPath, std::wstring fileName,
                                         const std::atomic<bool>* abort) {
    return DownloadFile(std::move(subPath), Profile().installDir(), std::move(fileName), abort);
}

Outcome Downloader::DownloadText(std::wstring subPath, std::wstring fileName, std::wstring& text) {
    const std::wstring url = UrlOf(subPath, fileName);
    if (!IsConnected())
        return NoConnectionOutcome();
    DWORD error = 0;
    unique_hinternet internet = OpenInternet(error);
    if (!internet)
        return NetworkErrorOutcome(error, L"");
    unique_hinternet request = OpenRequest(internet.get(), url, error);
    if (!request)
        return NetworkErrorOutcome(error, fileName);
    Outcome status = CheckHttpStatus(request.get(), fileName);
    if (!status.Succeeded())
        return status;

    text.clear();
    const BodyResult body = ReadBody(
        request.get(), nullptr,
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
    if (body != BodyResult::Complete)
        return NetworkErrorOutcome(error, fileName);
    if (ShortOfAnnounced(request.get(), text.size()))
        return NetworkErrorOutcome(ERROR_INTERNET_CONNECTION_RESET, fileName);
    return {};
}

bool Downloader::UrlExists(std::wstring subPath, std::wstring fileName) {
    if (!IsConnected())
        return false;
    DWORD error = 0;
    unique_hinternet internet = OpenInternet(error);
    if (!internet)
        return false;
    const unique_hinternet request = OpenRequest(internet.get(), UrlOf(subPath, fileName), error);
    return request && IsSuccessStatus(StatusOf(request.get()));
}
