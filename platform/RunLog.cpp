#include "platform/RunLog.h"

#include "common/UniqueHandle.h"
#include "platform/FileSystem.h"

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

// "\\?\", "\\.\" and "\??\" reach devices and skip the rewriting that
// makes "C:\x" a file.
bool IsDevicePath(const std::wstring& path) {
    return path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\\\.\\") == 0 ||
           path.compare(0, 4, L"\\??\\") == 0;
}

// The first step of path, from the top down to the file, that exists and is
// a link; empty when there is none. Asked before anything is made, so that no
// file appears in a folder a link leads to.
std::wstring LinkedStep(const std::wstring& path) {
    for (std::size_t end = path.find(L'\\', 3);; end = path.find(L'\\', end + 1)) {
        const std::wstring step = path.substr(0, end);
        const DWORD attributes = ::GetFileAttributesW(step.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return step;
        if (end == std::wstring::npos)
            return std::wstring();
    }
}

// Why the open file may not serve as the log, empty when it may. Asked of
// the handle, so a link put in place after the question above is still seen.
std::wstring RefusalOf(HANDLE file, const std::wstring& path) {
    if (::GetFileType(file) != FILE_TYPE_DISK)
        return L"it is not a file";
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info))
        return L"what it is cannot be told, error " + std::to_wstring(::GetLastError());
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return L"it is a link";
    if (info.nNumberOfLinks > 1)
        return L"the file has " + std::to_wstring(info.nNumberOfLinks) + L" names";
    // On a drive letter mapped to a network share the final path is always
    // "\\server\share\...", so it cannot tell a link from the mapping: there
    // only the steps asked one by one and the file's own answers count.
    if (path.size() > 2 && path[1] == L':' && ::GetDriveTypeW(path.substr(0, 3).c_str()) == DRIVE_REMOTE)
        return std::wstring();
    const std::wstring reached = FinalPath(file);
    if (!SamePath(reached, LongPath(path)))
        return L"it is reached through a link, as " + (reached.empty() ? std::wstring(L"?") : reached);
    return std::wstring();
}

unique_hfile OpenLogFile(const std::wstring& path, std::wstring& refusal) {
    if (IsDevicePath(path)) {
        refusal = L"it is a device path";
        return unique_hfile();
    }
    const std::wstring linked = LinkedStep(path);
    if (!linked.empty()) {
        refusal = linked + L" is a link";
        return unique_hfile();
    }
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end
    // of the file as one piece, whichever process makes it. Shared for
    // writing, because the first process holds it while its copy writes.
    // A link in the file's own place is opened itself, never followed.
    constexpr DWORD access = FILE_APPEND_DATA | SYNCHRONIZE;
    constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    constexpr DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
    unique_hfile file(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr));
    bool created = false;
    if (!file && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        // With the right to delete it: one made here and then refused goes.
        file.reset(::CreateFileW(path.c_str(), access | DELETE, share, nullptr, CREATE_NEW, flags, nullptr));
        created = static_cast<bool>(file);
    }
    if (!file)
        return file;
    refusal = RefusalOf(file.get(), path);
    if (refusal.empty())
        return file;
    if (created) {
        FILE_DISPOSITION_INFO gone{TRUE};
        ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &gone, sizeof gone);
    }
    return unique_hfile();
}

} // namespace

bool OpenRunLog(const std::wstring& path, std::wstring* refusal) {
    std::wstring refused;
    unique_hfile file = OpenLogFile(path, refused);
    if (refusal)
        *refusal = refused;
    if (!file)
        return false;
    std::lock_guard<std::mutex> lock(logMutex);
    LogFile() = std::move(file);
    return true;
}

void CloseRunLog() {
    std::lock_guard<std::mutex> lock(logMutex);
    LogFile().reset();
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

std::wstring LoggedText(const std::wstring& text, std::size_t maxLength) {
    static const wchar_t hex[] = L"0123456789ABCDEF";
    std::wstring logged;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == maxLength)
            return logged + L"...";
        const wchar_t c = text[i];
        const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x200E && c <= 0x200F) ||
                             (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
        if (c == L'\\') {
            logged += L"\\\\";
        } else if (!control) {
            logged.push_back(c);
        } else if (c <= 0xFF) {
            logged += {L'\\', L'x', hex[(c >> 4) & 0xF], hex[c & 0xF]};
        } else {
            logged +=
                {L'\\', L'u', hex[(c >> 12) & 0xF], hex[(c >> 8) & 0xF], hex[(c >> 4) & 0xF], hex[c & 0xF]};
        }
    }
    return logged;
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
