#include "platform/RunLog.h"

#include "common/UniqueHandle.h"

#include <windows.h>

#include <mutex>
#include <string>

namespace {

std::mutex logMutex;
unique_hfile& LogFile() {
    static unique_hfile file;
    return file;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
    return bytes;
}

std::wstring Now() {
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    TIME_ZONE_INFORMATION zone{};
    long bias = 0;
    switch (::GetTimeZoneInformation(&zone)) {
    case TIME_ZONE_ID_STANDARD:
        bias = zone.Bias + zone.StandardBias;
        break;
    case TIME_ZONE_ID_DAYLIGHT:
        bias = zone.Bias + zone.DaylightBias;
        break;
    case TIME_ZONE_ID_UNKNOWN:
        bias = zone.Bias;
        break;
    default:
        break;
    }
    return IsoLocalTimestamp(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond,
                             local.wMilliseconds, bias);
}

} // namespace

bool OpenRunLog(const std::wstring& path) {
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end
    // of the file as one piece, whichever process makes it. Shared for
    // writing, because the first process holds it while its copy writes.
    unique_hfile file(::CreateFileW(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    std::lock_guard<std::mutex> lock(logMutex);
    LogFile() = std::move(file);
    return true;
}

bool RunLogOpen() {
    std::lock_guard<std::mutex> lock(logMutex);
    return static_cast<bool>(LogFile());
}

void LogEvent(const std::wstring& text) {
    {
        std::lock_guard<std::mutex> lock(logMutex);
        if (!LogFile())
            return;
    }
    std::wstring line = Now() + L" [" + std::to_wstring(::GetCurrentProcessId()) + L"] ";
    for (const wchar_t c : text)
        line.push_back(c == L'\r' || c == L'\n' ? L' ' : c);
    line += L"\r\n";
    const std::string bytes = Utf8(line);
    std::lock_guard<std::mutex> lock(logMutex);
    DWORD written = 0;
    ::WriteFile(LogFile().get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring IsoLocalTimestamp(int year, int month, int day, int hour, int minute, int second,
                               int milliseconds, long biasMinutes) {
    const auto digits = [](long value, std::size_t width) {
        std::wstring text = std::to_wstring(value < 0 ? -value : value);
        return std::wstring(text.size() < width ? width - text.size() : 0, L'0') + text;
    };
    // The bias counts minutes west of UTC; ISO 8601 writes the offset east.
    const long east = -biasMinutes;
    return digits(year, 4) + L"-" + digits(month, 2) + L"-" + digits(day, 2) + L"T" + digits(hour, 2) + L":" +
           digits(minute, 2) + L":" + digits(second, 2) + L"." + digits(milliseconds, 3) +
           (east < 0 ? L"-" : L"+") + digits(east / 60, 2) + L":" + digits(east % 60, 2);
}
