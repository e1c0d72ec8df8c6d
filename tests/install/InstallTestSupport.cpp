#include "InstallTestSupport.h"

#include "TestServerClient.h"
#include "common/UniqueHandle.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace helmtest {

namespace {

std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
    return std::wstring(buffer, n);
}

std::wstring FromUtf8(const std::string& bytes) {
    if (bytes.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
    return text;
}

void CollectFiles(const std::wstring& folder, const std::wstring& relative, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW data;
    unique_hfind find(::FindFirstFileW((folder + relative + L"*").c_str(), &data));
    if (!find)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectFiles(folder, relative + name + L"\\", out);
        else
            out.push_back(relative + name);
    } while (::FindNextFileW(find.get(), &data));
}

unique_hkey OpenMachineKey(const std::wstring& key, REGSAM access, bool create) {
    unique_hkey handle;
    if (create)
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, access | KEY_WOW64_32KEY, nullptr,
                          handle.put(), nullptr);
    else
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, access | KEY_WOW64_32KEY, handle.put());
    return handle;
}

} // namespace

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

std::vector<std::wstring> FilesBelow(const std::wstring& folder) {
    std::vector<std::wstring> files;
    CollectFiles(folder.back() == L'\\' ? folder : folder + L"\\", L"", files);
    std::sort(files.begin(), files.end());
    return files;
}

std::wstring FixtureProgram(const std::wstring& fileName) {
    return std::wstring(HELM_BINARY_DIR) + L"\\tools\\fixtures\\" + fileName;
}

std::wstring ArchiveToolFile() {
    return std::wstring(HELM_BINARY_DIR) + L"\\thirdparty\\7za.exe";
}

std::wstring ServedPackage(const std::wstring& version, const std::wstring& fileName) {
    return std::wstring(HELM_BINARY_DIR) + L"\\testservers\\" + kPackageServer +
           L"\\root\\zqHelmview\\application\\" + version + L"\\" + fileName;
}

std::wstring PackageServerBaseUrl() {
    const TestServerClient server(kPackageServer);
    return server.Ready() ? server.BaseUrl() : std::wstring();
}

FixtureLog::FixtureLog() : folder_(L"fixture log") {
    path_ = folder_.path() + L"log.txt";
    ::SetEnvironmentVariableW(L"HELMVIEW_FIXTURE_LOG", path_.c_str());
}

FixtureLog::~FixtureLog() {
    ::SetEnvironmentVariableW(L"HELMVIEW_FIXTURE_LOG", nullptr);
}

std::vector<std::wstring> FixtureLog::Lines() const {
    const std::wstring text = FromUtf8(ReadBytes(path_));
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::wstring ReadMachineString(const std::wstring& key, const std::wstring& name) {
    unique_hkey handle = OpenMachineKey(key, KEY_READ, false);
    if (!handle)
        return {};
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                           &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return std::wstring(buffer);
}

DWORD ReadMachineDword(const std::wstring& key, const std::wstring& name) {
    unique_hkey handle = OpenMachineKey(key, KEY_READ, false);
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (!handle ||
        ::RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                           &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0xFFFFFFFF;
    return value;
}

bool MachineKeyExists(const std::wstring& key) {
    return static_cast<bool>(OpenMachineKey(key, KEY_READ, false));
}

void WriteMachineString(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
    unique_hkey handle = OpenMachineKey(key, KEY_ALL_ACCESS, true);
    ::RegSetValueExW(handle.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void WriteMachineDword(const std::wstring& key, const std::wstring& name, DWORD value) {
    unique_hkey handle = OpenMachineKey(key, KEY_ALL_ACCESS, true);
    ::RegSetValueExW(handle.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                     sizeof value);
}

void DeleteMachineTree(const std::wstring& key) {
    const std::size_t slash = key.rfind(L'\\');
    unique_hkey parent = OpenMachineKey(key.substr(0, slash), KEY_ALL_ACCESS, false);
    if (parent)
        ::RegDeleteTreeW(parent.get(), key.substr(slash + 1).c_str());
}

ShortcutTarget ReadShortcut(const std::wstring& lnkPath) {
    ShortcutTarget result;
    const HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        ComPtr<IShellLinkW> link;
        ComPtr<IPersistFile> file;
        if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                         link.put_void())) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put_void())) &&
            SUCCEEDED(file->Load(lnkPath.c_str(), STGM_READ))) {
            wchar_t buffer[MAX_PATH] = {};
            WIN32_FIND_DATAW data;
            if (SUCCEEDED(link->GetPath(buffer, MAX_PATH, &data, SLGP_RAWPATH)))
                result.path = buffer;
            buffer[0] = L'\0';
            if (SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH)))
                result.workingDirectory = buffer;
            buffer[0] = L'\0';
            int index = -1;
            if (SUCCEEDED(link->GetIconLocation(buffer, MAX_PATH, &index))) {
                result.iconPath = buffer;
                result.iconIndex = index;
            }
            result.loaded = true;
        }
    }
    if (SUCCEEDED(init))
        ::CoUninitialize();
    return result;
}

HANDLE StartProgram(const std::wstring& path, const std::wstring& arguments) {
    std::wstring line = L"\"" + path + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        return nullptr;
    ::CloseHandle(info.hThread);
    return info.hProcess;
}

} // namespace helmtest
