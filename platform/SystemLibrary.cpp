#include "platform/SystemLibrary.h"

#include "platform/SystemFolders.h"

SystemLibrary BindSystemLibrary(const wchar_t* fileName) {
    return BindLibraryAt(SystemFolderPath() + L"\\" + fileName);
}

SystemLibrary BindLibraryAt(const std::wstring& fullPath) {
    return SystemLibrary(::LoadLibraryExW(fullPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}
