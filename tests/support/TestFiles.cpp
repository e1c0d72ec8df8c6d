#include "TestFiles.h"

#include "common/UniqueHandle.h"
#include "platform/FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

namespace helmtest {

namespace {

std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
    return std::wstring(buffer, n);
}

// Calls each(name, attributes) for the entries of folder (which ends in a
// backslash), "." and ".." left out.
template <typename Each> void ListFolder(const std::wstring& folder, Each&& each) {
    ForEachEntry(folder, [&each](const std::wstring& name, DWORD attributes) {
        each(name, attributes);
        return true;
    });
}

void CollectFiles(const std::wstring& folder, const std::wstring& relative, std::vector<std::wstring>& out) {
    ListFolder(folder + relative, [&](const std::wstring& name, DWORD attributes) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectFiles(folder, relative + name + L"\\", out);
        else
            out.push_back(relative + name);
    });
}

} // namespace

std::wstring OwnProgramPath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring WithBackslash(const std::wstring& folder) {
    return !folder.empty() && folder.back() == L'\\' ? folder : folder + L"\\";
}

std::string Narrow(const std::wstring& text) {
    if (text.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], n, nullptr,
                          nullptr);
    return bytes;
}

ScratchFolder::ScratchFolder(const std::wstring& tag) {
    static std::atomic<int> counter{0};
    path_ = TempFolder() + L"helm " + tag + L" " + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(counter++) + L"\\";
    DeleteTree(path_);
    MakeFolders(path_);
}

ScratchFolder::~ScratchFolder() {
    DeleteTree(path_);
}

bool FileExists(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void MakeFolders(const std::wstring& path) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path), error);
}

void DeleteTree(const std::wstring& path) {
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(path), error);
}

namespace {

// Runs a program of the host (Wine starts those too) in folder; true once
// done reports true. Wine gives no handle to wait on for a host program.
bool RunHostCommand(const wchar_t* program, std::wstring command, const std::wstring& folder,
                    const std::function<bool()>& done) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info))
        return false;
    unique_process_information process{unique_handle(info.hProcess), unique_handle(info.hThread)};
    if (process.process)
        ::WaitForSingleObject(process.process.get(), 10000);
    for (int tries = 0; tries < 100 && !done(); ++tries)
        ::Sleep(100);
    return done();
}

bool IsFolderLink(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace

bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
    if (::CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        IsFolderLink(link))
        return true;
    const std::size_t slash = link.find_last_of(L'\\');
    return RunHostCommand(L"Z:\\bin\\ln",
                          L"/bin/ln -s " + target.substr(target.find_last_of(L'\\') + 1) + L" " +
                              link.substr(slash + 1),
                          link.substr(0, slash + 1), [&link] { return IsFolderLink(link); });
}

void RemoveFolderLink(const std::wstring& link) {
    if (::RemoveDirectoryW(link.c_str()) && !IsFolderLink(link))
        return;
    const std::size_t slash = link.find_last_of(L'\\');
    RunHostCommand(L"Z:\\bin\\rm", L"/bin/rm -f " + link.substr(slash + 1), link.substr(0, slash + 1),
                   [&link] { return ::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

std::vector<std::wstring> FilesBelow(const std::wstring& folder) {
    std::vector<std::wstring> files;
    CollectFiles(WithBackslash(folder), L"", files);
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    ListFolder(WithBackslash(folder), [&](const std::wstring& name, DWORD) { names.push_back(name); });
    return names;
}

} // namespace helmtest
