#include "net/Downloader.h"

#include "common/UniqueHandle.h"
#include "net/ConnectionProbe.h"
#include "net/NetworkErrorText.h"
#include "net/Transfer.h"

#include <mutex>
#include <utility>

namespace {

// A package transfer that ends early is taken up again this many times.
constexpr int kPackageRetries = 3;

std::mutex probeMutex;
ConnectionProbe& Probe() {
    static ConnectionProbe probe;
    return probe;
}

class FileSink final : public BodySink {
  public:
    FileSink(HANDLE file, std::wstring path) : file_(file), path_(std::move(path)) {}
    bool Write(const char* data, DWORD size, DWORD& error) override {
        while (size > 0) {
            DWORD written = 0;
            if (!::WriteFile(file_, data, size, &written, nullptr) || written == 0) {
                error = ::GetLastError();
                return false;
            }
            data += written;
            size -= written;
        }
        return true;
    }
    bool Clear(DWORD& error) override {
        LARGE_INTEGER start{};
        if (::SetFilePointerEx(file_, start, nullptr, FILE_BEGIN) && ::SetEndOfFile(file_))
            return true;
        error = ::GetLastError();
        return false;
    }
    std::wstring Name() const override { return path_; }

  private:
    HANDLE file_;
    std::wstring path_;
};

// One character per byte: bytes keep their value (the ISO 8859-1 reading),
// so nothing is lost and ASCII reads as itself.
class TextSink final : public BodySink {
  public:
    TextSink(std::wstring& text, std::wstring name) : text_(text), name_(std::move(name)) { text_.clear(); }
    bool Write(const char* data, DWORD size, DWORD& error) override {
        // A server that never stops sending would otherwise take all the
        // memory there is and end the process.
        if (size > Downloader::kMaxTextBytes - text_.size()) {
            error = ERROR_FILE_TOO_LARGE;
            return false;
        }
        for (DWORD i = 0; i < size; ++i)
            text_.push_back(static_cast<wchar_t>(static_cast<unsigned char>(data[i])));
        return true;
    }
    bool Clear(DWORD&) override {
        text_.clear();
        return true;
    }
    std::wstring Name() const override { return name_; }

  private:
    std::wstring& text_;
    std::wstring name_;
};

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
    const auto connected = WinInet() ? WinInet()->InternetGetConnectedState : nullptr;
    DWORD flags = 0;
    return connected && connected(&flags, 0) != FALSE;
}

Outcome Downloader::DownloadFile(std::wstring subPath, std::wstring targetDir, std::wstring fileName,
                                 DownloadAbort* abort) const {
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
    FileSink sink(file.get(), targetPath);
    // A package that cannot be asked for names nothing: its messages have
    // always read so.
    return Transfer({UrlOf(subPath, fileName), fileName, L"", &sink, kPackageRetries}, abort).outcome;
}

Outcome Downloader::DownloadText(std::wstring subPath, std::wstring fileName, std::wstring& text,
                                 DownloadAbort* abort) const {
    if (!IsConnected())
        return NoConnectionOutcome();
    TextSink sink(text, fileName);
    const TransferResult result = Transfer({UrlOf(subPath, fileName), fileName, fileName, &sink, 0}, abort);
    if (result.aborted)
        text.clear();
    return result.outcome;
}

bool Downloader::UrlExists(std::wstring subPath, std::wstring fileName, DownloadAbort* abort) const {
    if (!IsConnected())
        return false;
    const TransferResult result = Transfer({UrlOf(subPath, fileName), fileName, fileName, nullptr, 0}, abort);
    return !result.aborted && result.outcome.Succeeded();
}
