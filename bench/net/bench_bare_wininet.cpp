// The reference: the plainest WinINet loop reading blocks of a given size
// into a file, with the same session and request settings as the Downloader.
// Usage: bench_bare_wininet BASE_URL TARGET_DIR\ FILE BLOCK_BYTES
// (the figures line is named bare_wininet_<BLOCK_BYTES>).
#include "BenchReport.h"

#include <wininet.h>

#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc != 5 || _wtoi(argv[4]) <= 0) {
        std::fprintf(stderr, "usage: bench_bare_wininet BASE_URL TARGET_DIR\\ FILE BLOCK_BYTES\n");
        return 2;
    }
    const std::wstring url = std::wstring(argv[1]) + L"zqHelmview/bench/" + argv[3];
    const std::wstring target = std::wstring(argv[2]) + argv[3];
    const DWORD blockSize = static_cast<DWORD>(_wtoi(argv[4]));

    const SIZE_T startPeak = MemoryNow().PeakWorkingSetSize;
    const double startCpu = CpuSeconds();
    LARGE_INTEGER start;
    ::QueryPerformanceCounter(&start);
    // Inside the measured part, as the Downloader's block is.
    std::vector<char> block(blockSize);
    bool ok = false;
    HANDLE file = ::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HINTERNET internet = ::InternetOpenW(L"", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET request =
        internet ? ::InternetOpenUrlW(internet, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0) : nullptr;
    if (file != INVALID_HANDLE_VALUE && request) {
        DWORD read = 0;
        while (::InternetReadFile(request, block.data(), blockSize, &read) && read > 0) {
            DWORD written = 0;
            ::WriteFile(file, block.data(), read, &written, nullptr);
        }
        ok = true;
    }
    if (request)
        ::InternetCloseHandle(request);
    if (internet)
        ::InternetCloseHandle(internet);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    const double seconds = SecondsSince(start);
    const std::string name = "bare_wininet_" + std::to_string(blockSize);
    PrintFigures(name.c_str(), ok, FileSizeOf(target.c_str()), seconds, startPeak, startCpu);
    return ok ? 0 : 1;
}
