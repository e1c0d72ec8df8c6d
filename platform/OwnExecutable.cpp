#include "platform/OwnExecutable.h"

#include "common/UniqueHandle.h"

#include <vector>

namespace {

// Process-wide; the window's thread is the only one that touches it.
unique_hfile& Held() {
    static unique_hfile file;
    return file;
}

bool& HeldIsImage() {
    static bool isImage = false;
    return isImage;
}

bool IdentityOf(HANDLE file, BY_HANDLE_FILE_INFORMATION& info) {
    return ::GetFileInformationByHandle(file, &info) != FALSE;
}

DWORD CopyAll(HANDLE source, HANDLE target) {
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(source, start, nullptr, FILE_BEGIN))
        return ::GetLastError();
    std::vector<char> block(64 * 1024);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(source, block.data(), static_cast<DWORD>(block.size()), &read, nullptr))
            return ::GetLastError();
        if (read == 0)
            return ERROR_SUCCESS;
        DWORD written = 0;
        if (!::WriteFile(target, block.data(), read, &written, nullptr))
            return ::GetLastError();
        if (written != read)
            return ERROR_WRITE_FAULT;
    }
}

} // namespace

bool HoldOwnExecutable(const std::wstring& path) {
    unique_hfile& held = Held();
    if (held)
        return true;
    // No FILE_SHARE_WRITE: nobody may change the bytes. No FILE_SHARE_DELETE:
    // nobody may rename or delete the file, so no other file can take its name.
    held.reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held)
        return false;
    // Another name of the held file could be handed to the image afterwards.
    BY_HANDLE_FILE_INFORMATION info{};
    HeldIsImage() =
        IdentityOf(held.get(), info) && info.nNumberOfLinks == 1 && IsFileAt(held.get(), RunningImagePath());
    return true;
}

void ReleaseOwnExecutable() {
    Held().reset();
    HeldIsImage() = false;
}

std::wstring RunningImagePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD length = static_cast<DWORD>(path.size());
        if (::QueryFullProcessImageNameW(::GetCurrentProcess(), 0, path.data(), &length)) {
            path.resize(length);
            return path;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        path.resize(path.size() * 4);
    }
    return std::wstring();
}

bool HeldFileIsRunningImage() {
    return Held() && HeldIsImage();
}

bool IsFileAt(HANDLE handle, const std::wstring& path) {
    if (path.empty())
        return false;
    // No right to the content is asked for, and every sharing is granted:
    // the running image and the held file must both open.
    const unique_hfile other(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION mine{};
    BY_HANDLE_FILE_INFORMATION theirs{};
    return other && IdentityOf(handle, mine) && IdentityOf(other.get(), theirs) &&
           mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
           mine.nFileIndexHigh == theirs.nFileIndexHigh && mine.nFileIndexLow == theirs.nFileIndexLow;
}

DWORD CopyOwnExecutableTo(const std::wstring& target) {
    const unique_hfile& held = Held();
    if (!held)
        return ERROR_INVALID_HANDLE;
    if (!HeldIsImage())
        return ERROR_FILE_INVALID;
    DWORD error = ERROR_SUCCESS;
    {
        unique_hfile copy(::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!copy)
            return ::GetLastError();
        error = CopyAll(held.get(), copy.get());
    }
    if (error != ERROR_SUCCESS)
        ::DeleteFileW(target.c_str());
    return error;
}
