#include "platform/FileSystem.h"

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
