#include "InstallTestSupport.h"

#include "TestServerClient.h"
#include "common/UniqueHandle.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>

namespace helmtest {

namespace {

std::wstring FromUtf8(const std::string& bytes) {
    if (bytes.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
    return text;
}

} // namespace

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

std::vector<std::wstring> PackageFilesWith(const std::wstring& appName) {
    std::vector<std::wstring> files = {appName,
                                       L"7za.exe",
                                       L"VC_redist.x86.exe",
                                       L"data\\sub\\settings.ini",
                                       L"donn\u00e9es-\u00e9.txt",
                                       L"fenwick_hal_setup.exe",
                                       L"morrow_hal_setup.exe"};
    std::sort(files.begin(), files.end());
    return files;
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
