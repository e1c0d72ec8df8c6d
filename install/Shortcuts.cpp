#include "install/Shortcuts.h"

#include "common/UniqueHandle.h"
#include "platform/FileSystem.h"
#include "profile/ProductProfile.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace {

std::wstring WithBackslash(const wchar_t* folder) {
    std::wstring path(folder);
    if (path.empty())
        return path;
    if (path.back() != L'\\')
        path += L'\\';
    return path;
}

// COM for the calling worker thread, undone when the shortcut step is over.
class ComApartment {
  public:
    ComApartment() : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (initialised_)
            ::CoUninitialize();
    }

  private:
    bool initialised_;
};

void SaveShortcut(const ComPtr<IPersistFile>& file, const std::wstring& folder, const std::wstring& name) {
    // An unknown folder must not turn into a path relative to the current
    // drive's root.
    if (folder.empty())
        return;
    const std::wstring path = folder + name + L".lnk";
    file->Save(path.c_str(), TRUE);
}

} // namespace

std::wstring DesktopFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_DESKTOP, FALSE))
        return {};
    return WithBackslash(buffer);
}

std::wstring CommonProgramsFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return {};
    return WithBackslash(buffer);
}

void CreateShortcuts(const ProductProfile& profile) {
    const ComApartment apartment;
    {
        ComPtr<IShellLinkW> link;
        if (FAILED(
                ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkW, link.put_void())))
            return;
        const std::wstring installDir = profile.installDir();
        std::wstring target = installDir + profile.exeName();
        if (!IsFile(target))
            target = installDir + profile.exeFullName();
        link->SetPath(target.c_str());
        link->SetWorkingDirectory(installDir.c_str());
        link->SetIconLocation(target.c_str(), 0);

        ComPtr<IPersistFile> file;
        if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())))
            return;
        SaveShortcut(file, DesktopFolder(), profile.productName());
        SaveShortcut(file, CommonProgramsFolder(), profile.productName());
    } // the interfaces are released before COM is uninitialised
}

std::vector<std::wstring> ShortcutPathsToRemove(const ProductProfile& profile) {
    const OtherBrand other = profile.otherBrand();
    std::vector<std::wstring> paths;
    const std::wstring desktop = DesktopFolder();
    if (!desktop.empty()) {
        paths.push_back(desktop + profile.productName() + L".lnk");
        paths.push_back(desktop + profile.displayName() + L".lnk");
        paths.push_back(desktop + other.shortcutName + L".lnk");
        paths.push_back(desktop + other.displayName + L".lnk");
    }
    const std::wstring programs = CommonProgramsFolder();
    if (!programs.empty())
        paths.push_back(programs + profile.productName() + L".lnk");
    return paths;
}

void RemoveShortcuts(const ProductProfile& profile) {
    for (const std::wstring& path : ShortcutPathsToRemove(profile)) {
        if (IsFile(path))
            ::DeleteFileW(path.c_str());
    }
}
