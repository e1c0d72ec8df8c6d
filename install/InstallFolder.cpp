#include "install/InstallFolder.h"

#include "platform/FileSystem.h"
#include "platform/OwnExecutable.h"

#include <windows.h>

Outcome EnsureInstallFolder(const ProductProfile& profile) {
    const std::wstring installDir = profile.installDir();
    if (IsFolder(installDir))
        return {};
    CreateFolderTree(installDir);
    if (IsFolder(installDir))
        return {};
    return {Failure::InstallFolderNotCreated, {installDir}, 0};
}

Outcome CopySelfToInstallFolder(const ProductProfile& profile) {
    const std::wstring target = profile.installDir() + profile.installedCopyName();
    const std::wstring source = profile.modulePath();
    // Started from the install folder itself: the copy is already in place,
    // and deleting it would only fail on the running file.
    if (SamePath(FullPath(source), FullPath(target)))
        return {};
    if (IsFile(target))
        ::DeleteFileW(target.c_str());
    // From the file held since start-up, never by its name: the name lies in
    // a folder the user can write to and may by now belong to another file.
    const DWORD error = CopyOwnExecutableTo(target);
    if (error == ERROR_SUCCESS)
        return {};
    return {Failure::CopyNotMade, {target}, error};
}

std::wstring ApplicationToLaunch(const ProductProfile& profile) {
    const std::wstring shortName = profile.installDir() + profile.exeName();
    return IsFile(shortName) ? shortName : profile.installDir() + profile.exeFullName();
}
