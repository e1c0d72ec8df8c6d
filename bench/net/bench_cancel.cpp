// Cancels a download whose server has stopped sending and prints how long the
// download call took to return after the cancel.
// Usage: bench_cancel BASE_URL TARGET_DIR\ FILE WAY BYTES_BEFORE_STALL LIMIT_SECONDS
// (fetches BASE_URL + "zqHelmview/bench/" + FILE into TARGET_DIR + FILE).
//
// WAY is the reader cancelled:
//   downloader  the installer's Downloader, cancelled through its DownloadAbort
//   flag        a bare WinINet loop of 1 MiB reads that tests a flag after each
//               read: how a cancel was obeyed before it could interrupt a read
//   close       the same loop, whose cancel also closes the request handle
//               from the cancelling thread
// The cancel comes once the file holds BYTES_BEFORE_STALL bytes and half a
// second has passed, so the reader is waiting inside a read. A reader that
// has not returned LIMIT_SECONDS after the cancel is reported as such and left
// behind when the program ends.
#include "net/DownloadAbort.h"
#include "net/Downloader.h"
#include "profile/ProductProfile.h"
#include "report/OutcomeReport.h"

#include "BenchReport.h"

#include <wininet.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// The bare loop: the Downloader's session and request settings, reads of
// 1 MiB written whole, and a flag tested after each read.
class BareLoop {
  public:
    bool Run(const std::wstring& url, const std::wstring& target) {
        HANDLE file = ::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        internet_ = ::InternetOpenW(L"", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        HINTERNET request =
            internet_ ? ::InternetOpenUrlW(internet_, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0)
                      : nullptr;
        request_.store(request);
        std::vector<char> block(1024 * 1024);
        DWORD read = 0;
        while (request &&
               ::InternetReadFile(request, block.data(), static_cast<DWORD>(block.size()), &read) &&
               read > 0 && !stop_.load()) {
            DWORD written = 0;
            ::WriteFile(file, block.data(), read, &written, nullptr);
        }
        if (HINTERNET open = request_.exchange(nullptr))
            ::InternetCloseHandle(open);
        ::CloseHandle(file);
        return request != nullptr;
    }

    void Cancel(bool closeRequest) {
        stop_.store(true);
        if (closeRequest)
            if (HINTERNET open = request_.exchange(nullptr))
                ::InternetCloseHandle(open);
    }

  private:
    HINTERNET internet_ = nullptr; // left open: a reader left behind may still use it
    std::atomic<HINTERNET> request_{nullptr};
    std::atomic<bool> stop_{false};
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring way = argc == 7 ? argv[4] : L"";
    if (way != L"downloader" && way != L"flag" && way != L"close") {
        std::fprintf(stderr, "usage: bench_cancel BASE_URL TARGET_DIR\\ FILE downloader|flag|close "
                             "BYTES_BEFORE_STALL LIMIT_SECONDS\n");
        return 2;
    }
    SetUserMessageSink([](const std::wstring& text, const std::wstring&) {
        std::fprintf(stderr, "message: %ls\n", text.c_str());
    });
    const std::wstring targetDir = argv[2];
    const std::wstring target = targetDir + argv[3];
    const unsigned long long before = _wtoi64(argv[5]);
    const double limit = _wtof(argv[6]);
    ProductProfile profile;
    profile.InitFrom(argv[1], targetDir + L"bench_cancel.exe", targetDir);
    const Downloader server(profile.serverFolderUrl());

    DownloadAbort abort;
    BareLoop loop;
    std::function<void()> cancel;
    std::function<bool()> download;
    if (way == L"downloader") {
        cancel = [&] { abort.Request(); };
        download = [&] { return server.DownloadFile(L"bench/", targetDir, argv[3], &abort).Succeeded(); };
    } else {
        const std::wstring url = std::wstring(argv[1]) + L"zqHelmview/bench/" + argv[3];
        cancel = [&loop, close = way == L"close"] { loop.Cancel(close); };
        download = [&loop, url, target] { return loop.Run(url, target); };
    }

    std::atomic<bool> returned{false};
    std::atomic<bool> ok{false};
    LARGE_INTEGER returnedAt{};
    std::thread worker([&] {
        ok = download();
        ::QueryPerformanceCounter(&returnedAt);
        returned = true;
    });
    worker.detach();

    for (int i = 0; i < 3000 && !returned && FileSizeOf(target.c_str()) < before; ++i)
        ::Sleep(10);
    const unsigned long long atCancel = FileSizeOf(target.c_str());
    ::Sleep(500);
    LARGE_INTEGER cancelledAt;
    ::QueryPerformanceCounter(&cancelledAt);
    const bool returnedEarly = returned.load();
    cancel();
    const double cancelSeconds = SecondsSince(cancelledAt);
    while (!returned && SecondsSince(cancelledAt) < limit)
        ::Sleep(1);

    const std::string name(way.begin(), way.end());
    if (returnedEarly || atCancel < before) {
        std::printf("%s invalid: the download %s before the cancel (%llu bytes on disk)\n", name.c_str(),
                    returnedEarly ? "returned" : "had not stalled", atCancel);
        return 1;
    }
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    const double seconds =
        returned ? double(returnedAt.QuadPart - cancelledAt.QuadPart) / double(frequency.QuadPart) : limit;
    std::printf("%s returned=%d ok=%d cancel_to_return_seconds=%.3f cancel_call_seconds=%.3f "
                "bytes_at_cancel=%llu bytes_at_end=%llu\n",
                name.c_str(), returned ? 1 : 0, ok ? 1 : 0, seconds, cancelSeconds, atCancel,
                FileSizeOf(target.c_str()));
    std::fflush(stdout);
    // A reader still waiting on the server goes with the process.
    ::ExitProcess(0);
}
