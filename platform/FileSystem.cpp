#include "platform/FileSystem.h"

#include "common/UniqueHandle.h"

namespace {

// Runs a path query that first tells the size it needs (with the terminator)
// and then fills it in; path itself when either step fails.
template <typename Query> std::wstring QueriedPath(const std::wstring& path, Query query) {
    const DWORD needed = query(path.c_str(), 0, nullptr);
    if (needed == 0)
        return path;
    std::wstring result(needed, L'\0');
    const DWORD length = query(path.c_str(), needed, result.data());
    if (length == 0 || length >= needed)
        return path;
    result.resize(length);
    return result;
}

} // namespace

std::wstring FullPath(const std::wstring& path) {
    return QueriedPath(path, [](const wchar_t* in, DWORD size, wchar_t* out) {
        return ::GetFullPathNameW(in, size, out, nullptr);
    });
}

std::wstring LongPath(const std::wstring& path) {
    return QueriedPath(
        path, [](const wchar_t* in, DWORD size, wchar_t* out) { return ::GetLongPathNameW(in, out, size); });
}

std::wstring FinalPath(HANDLE handle) {
    const DWORD needed =
        ::GetFinalPathNameByHandleW(handle, nullptr, 0, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (needed == 0)
        return std::wstring();
    std::wstring path(needed, L'\0');
    const DWORD length =
        ::GetFinalPathNameByHandleW(handle, path.data(), needed, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= needed)
        return std::wstring();
    path.resize(length);
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        return L"\\" + path.substr(7);
    if (path.compare(0, 4, L"\\\\?\\") == 0)
        return path.substr(4);
    return path;
}

std::string ReadWholeFile(const std::wstring& path, std::size_t maxBytes) {
    const unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > maxBytes)
        return std::string();
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size())
        return std::string();
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    const unique_hfile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    const auto trimmed = [](const std::wstring& path) {
        std::size_t length = path.size();
        while (length > 0 && path[length - 1] == L'\\')
            --length;
        return static_cast<int>(length);
    };
    return ::CompareStringOrdinal(a.c_str(), trimmed(a), b.c_str(), trimmed(b), TRUE) == CSTR_EQUAL;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

DWORD CreateFolderTree(std::wstring folder) {
    while (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();
    if (IsFolder(folder))
        return ERROR_SUCCESS;
    // Skip the root: "C:\" or "\\server\share\".
    std::size_t pos = 3;
    if (folder.compare(0, 2, L"\\\\") == 0) {
        pos = folder.find(L'\\', 2);
        pos = pos == std::wstring::npos ? folder.size() : folder.find(L'\\', pos + 1);
        pos = pos == std::wstring::npos ? folder.size() : pos + 1;
    }
    while (pos <= folder.size()) {
        std::size_t next = folder.find(L'\\', pos);
        if (next == std::wstring::npos)
            next = folder.size();
        const std::wstring part = folder.substr(0, next);
        if (!IsFolder(part) && !::CreateDirectoryW(part.c_str(), nullptr)) {
            // Another process may have created it meanwhile; a file of that
            // name keeps its ERROR_ALREADY_EXISTS.
            const DWORD error = ::GetLastError();
            if (error != ERROR_ALREADY_EXISTS || !IsFolder(part))
                return error;
        }
        pos = next + 1;
    }
    return ERROR_SUCCESS;
}

std::uint64_t FolderSize(const std::wstring& folder) {
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\')
        base += L'\\';
    WIN32_FIND_DATAW entry{};
    const unique_hfind find(::FindFirstFileW((base + L"*").c_str(), &entry));
    if (!find)
        return 0;
    std::uint64_t total = 0;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                total += FolderSize(base + name);
            continue;
        }
        total += (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    } while (::FindNextFileW(find.get(), &entry));
    return total;
}

std::uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void ForEachEntry(const std::wstring& folder, const std::function<bool(const std::wstring&, DWORD)>& each) {
    const std::wstring pattern = folder + (!folder.empty() && folder.back() == L'\\' ? L"*" : L"\\*");
    WIN32_FIND_DATAW data{};
    const unique_hfind find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L".." && !each(name, data.dwFileAttributes))
            return;
    } while (::FindNextFileW(find.get(), &data));
}
