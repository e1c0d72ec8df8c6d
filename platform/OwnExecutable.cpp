#include "platform/OwnExecutable.h"

#include "common/UniqueHandle.h"

#include <vector>

namespace {

// Process-wide; the window's thread is the only one that touches it.
unique_hfile& Held() {
    static unique_hfile file;
    return file;
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
    return static_cast<bool>(held);
}

DWORD CopyOwnExecutableTo(const std::wstring& target) {
    const unique_hfile& held = Held();
    if (!held)
        return ERROR_INVALID_HANDLE;
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
