// Downloads one file with the installer's Downloader and prints throughput
// and peak working set. Usage: bench_downloader BASE_URL TARGET_DIR\ FILE
// (fetches BASE_URL + "zqHelmview/bench/" + FILE into TARGET_DIR + FILE).
#include "net/Downloader.h"
#include "profile/ProductProfile.h"
#include "report/OutcomeReport.h"

#include "BenchReport.h"

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_downloader BASE_URL TARGET_DIR\\ FILE\n");
        return 2;
    }
    SetUserMessageSink([](const std::wstring& text, const std::wstring&) {
        std::fprintf(stderr, "message: %ls\n", text.c_str());
    });
    const std::wstring targetDir = argv[2];
    ProductProfile profile;
    profile.InitFrom(argv[1], targetDir + L"bench_downloader.exe", targetDir);
    const Downloader server(profile.serverFolderUrl());

    const SIZE_T startPeak = MemoryNow().PeakWorkingSetSize;
    const double startCpu = CpuSeconds();
    LARGE_INTEGER start;
    ::QueryPerformanceCounter(&start);
    const Outcome outcome = server.DownloadFile(L"bench/", targetDir, argv[3]);
    const double seconds = SecondsSince(start);
    const bool ok = outcome.Succeeded();
    Tell(outcome);
    PrintFigures("downloader", ok, FileSizeOf((targetDir + argv[3]).c_str()), seconds, startPeak, startCpu);
    return ok ? 0 : 1;
}
