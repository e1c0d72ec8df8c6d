#pragma once
// The figures both benchmark programs print, in the same form.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

inline double SecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

// User and kernel time of this process so far: less sensitive than the
// wall clock to other load on the machine.
inline double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    auto value = [](const FILETIME& t) {
        return double((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return value(kernel) + value(user);
}

inline PROCESS_MEMORY_COUNTERS MemoryNow() {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
    return memory;
}

// startPeak: the peak working set before the download began (program image,
// runtime and libraries), so the download's own share can be told apart.
// startCpu: CpuSeconds() when the download began.
inline void PrintFigures(const char* name, bool ok, unsigned long long bytes, double seconds,
                         SIZE_T startPeak, double startCpu) {
    const PROCESS_MEMORY_COUNTERS memory = MemoryNow();
    std::printf("%s ok=%d bytes=%llu seconds=%.3f cpu_seconds=%.3f mib_per_s=%.1f peak_working_set_kib=%lu "
                "start_peak_working_set_kib=%lu\n",
                name, ok ? 1 : 0, bytes, seconds, CpuSeconds() - startCpu,
                seconds > 0 ? double(bytes) / (1024.0 * 1024.0) / seconds : 0.0,
                static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024),
                static_cast<unsigned long>(startPeak / 1024));
    std::fflush(stdout);
}

inline unsigned long long FileSizeOf(const wchar_t* path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
