#include "install/Installer.h"

#include "common/UniqueHandle.h"
#include "install/ArchiveUnpacking.h"
#include "install/ChildProcess.h"
#include "install/CommandLines.h"
#include "install/PackageHash.h"
#include "install/ResourceExtraction.h"
#include "install/Shortcuts.h"
#include "install/WindowsVersion.h"
#include "net/Downloader.h"
#include "platform/FileSystem.h"
#include "platform/RunLog.h"
#include "platform/SystemFolders.h"
#include "profile/ManifestPackageHash.h"
#include "profile/ProductProfile.h"
#include "resource_ids.h"
#include "settings/InstallRecord.h"

#include <windows.h>

#include <cwchar>

namespace {

constexpr wchar_t kRuntimeSetup[] = L"VC_redist.x86.exe";
constexpr wchar_t kRuntimeArguments[] = L"/quiet /norestart";
constexpr wchar_t kDriverSetup[] = L"fenwick_hal_setup.exe";
constexpr wchar_t kDriverArguments[] = L"/install /quiet /norestart";
constexpr wchar_t kOlderDriverSetup[] = L"morrow_hal_setup.exe";
constexpr wchar_t kOlderDriverArguments[] = L"/uninstall /quiet /norestart";
// Below HKEY_CLASSES_ROOT; present while the older driver package is installed.
constexpr wchar_t kOlderDriverMarkerKey[] =
    L"CLSID\\{109DC3E4-B9FF-4AF3-9008-AB13705D4E5F}\\Instance\\{E9BBD754-6CF4-492E-BA89-782177A2771B}"
    L"\\Instance\\{D37DAC4A-CEDC-453D-8659-6AD9451C9AA8}";
constexpr wchar_t kPublisher[] = L"Norvale Corporation";
constexpr wchar_t kCachePolicy[] = L"0";

bool OlderDriverMarkerPresent() {
    unique_hkey key;
    return ::RegOpenKeyExW(HKEY_CLASSES_ROOT, kOlderDriverMarkerKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// A step's failure is never the end of the sequence, and nothing may escape a
// worker thread: that would end the process abnormally.
template <typename Step> void RunStep(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

// What a package that fails its check is reported as: a download error with
// the code of what went wrong, the wrong hash (CRYPT_E_HASH_VALUE) or the
// reason it could not be computed.
Outcome PackageNotVerified(const std::wstring& package, std::uint32_t code) {
    wchar_t hex[16];
    std::swprintf(hex, sizeof hex / sizeof hex[0], L"0x%08X", static_cast<unsigned>(code));
    return {Failure::PackageMismatch, L"error_generic", {hex, package}, code};
}

} // namespace

Installer::Installer(const ProductVersion& offered, InstallSession& session,
                     std::optional<std::wstring> packageSha256)
    : version(offered), packageSha256(std::move(packageSha256)), session(session) {}

void Installer::SetStepProgress(std::int32_t windows10, std::int32_t earlier) {
    session.SetProgress(IsWindows10OrLater() ? windows10 : earlier);
}

Outcome Installer::Install() {
    const ProductProfile& profile = Profile();
    const std::wstring installDir = profile.installDir();

    // The window makes sure of the folder too, but an uninstall that ran just
    // before (replacing an old installation) may have removed it again.
    bool folderReady = false;
    RunStep([&] {
        CreateFolderTree(installDir);
        folderReady = IsFolder(installDir);
    });
    if (!folderReady)
        return {Failure::FolderNotCreated, L"error_creating_folder", {installDir}, 0};

    SetStepProgress(10, 25);
    RunStep([&] {
        ::SetCurrentDirectoryW(installDir.c_str());
        settings.SetIsInstalled(InstallRecord::Begun);
        ExtractResourceToFile(ID_ARCHIVE_TOOL, RT_ARCHIVE_TOOL, kArchiveToolName);
    });
    if (session.CancelRequested())
        return {};

    SetStepProgress(15, 35);
    Outcome downloaded;
    RunStep([&] {
        settings.SetInstallPath(installDir);
        downloaded = DownloadPackage();
    });
    if (!downloaded.Succeeded())
        return downloaded;
    if (session.CancelRequested())
        return {};

    // A package left by an earlier, interrupted run under the preferred name
    // wins over the one just downloaded. Whichever it is, it is checked as a
    // whole, now that the download has returned, before any of it is
    // unpacked or run. No cancel check follows the unpacking: the shortcuts
    // are made even when it was cancelled.
    SetStepProgress(20, 40);
    std::wstring package = profile.packageZipName();
    Outcome checked = PackageNotVerified(package, CRYPT_E_HASH_VALUE);
    RunStep([&] {
        if (!IsFile(installDir + package))
            package = profile.packageZipFullName();
        checked = CheckPackage(package);
    });
    if (!checked.Succeeded()) {
        RunStep([&] { RemoveUnverifiedInstall(); });
        return checked;
    }
    bool unpacked = false;
    RunStep([&] {
        unpacked = UnpackArchive(package) &&
                   (IsFile(installDir + profile.exeName()) || IsFile(installDir + profile.exeFullName()));
    });
    // Shortcuts to a missing program and an uninstall entry would make a
    // broken package look installed.
    if (!unpacked)
        return {Failure::PackageNotUnpacked, L"text_missing_file", {package}, 0};

    SetStepProgress(30, 55);
    RunStep([] { CreateShortcuts(); });
    if (session.CancelRequested())
        return {};

    SetStepProgress(40, 70);
    RunStep([&] { WriteUninstallEntry(); });
    if (session.CancelRequested())
        return {};

    SetStepProgress(50, 85);
    RunStep([&] { RunAndWait(ProgramCommandLine(installDir + kRuntimeSetup, kRuntimeArguments)); });
    if (session.CancelRequested())
        return {};

    if (IsWindows10OrLater()) {
        session.SetProgress(60);
        RunStep([&] { RunAndWait(ProgramCommandLine(installDir + kDriverSetup, kDriverArguments)); });

        session.SetProgress(80);
        RunStep([&] { RemoveOlderDriver(); });
    }

    // From here the run completes: a Cancel made before ends it now, one made
    // after is refused, so the window never sees 100 and a cancelled run.
    if (!session.BeginLastStep())
        return {};
    // The record follows the value: the window may see 100 a moment early.
    session.SetProgress(100);
    RunStep([&] { settings.SetIsInstalled(InstallRecord::Complete); });
    return {};
}

Outcome Installer::DownloadPackage() {
    const ProductProfile& profile = Profile();
    const std::wstring folder = profile.packageFolder() + version.Get() + L"/";
    std::wstring name = profile.packageZipName();
    // A cancellation, also one made before the transfer or during the check
    // of the name, stops it with a success: at most a partial file is left.
    DownloadAbort* const cancel = &session.CancelSignal();
    if (!Downloader::UrlExists(folder, name, cancel) &&
        Downloader::UrlExists(folder, profile.packageZipFullName(), cancel))
        name = profile.packageZipFullName();
    return Downloader::DownloadToInstallDir(folder, name, cancel);
}

Outcome Installer::CheckPackage(const std::wstring& package) {
    if (!packageSha256) {
        session.SetPackageCheck(PackageCheck::NotVerified);
        LogEvent(L"package: " + package + L" not verified: the manifest states no SHA-256");
        return {};
    }
    const PackageDigest digest = HashPackage(Profile().installDir() + package);
    if (digest.computed && MatchesSha256(*packageSha256, digest.sha256)) {
        session.SetPackageCheck(PackageCheck::Verified);
        LogEvent(L"package: " + package + L" verified, SHA-256 " + Sha256Hex(digest.sha256));
        return {};
    }
    session.SetPackageCheck(PackageCheck::Mismatch);
    LogEvent(L"package: " + package + L" does not match the manifest's SHA-256 " +
             LoggedText(*packageSha256) +
             (digest.computed ? L": its SHA-256 is " + Sha256Hex(digest.sha256)
                              : L": it could not be hashed, error " + std::to_wstring(digest.error)));
    return PackageNotVerified(package, digest.computed ? CRYPT_E_HASH_VALUE : digest.error);
}

void Installer::RemoveUnverifiedInstall() {
    const ProductProfile& profile = Profile();
    const std::wstring installDir = profile.installDir();
    for (const std::wstring& name :
         {profile.packageZipName(), profile.packageZipFullName(), std::wstring(kArchiveToolName)})
        ::DeleteFileW((installDir + name).c_str());
    settings.ForgetBegunInstall();
    // Only when nothing else is in it; the current directory would hold it.
    ::SetCurrentDirectoryW(SystemFolderPath().c_str());
    ::RemoveDirectoryW(installDir.c_str());
}

void Installer::WriteUninstallEntry() {
    const ProductProfile& profile = Profile();
    const std::wstring installDir = profile.installDir();
    settings.SetDisplayVersion(version);
    settings.SetCurrentVersion(version);
    settings.SetDisplayName();
    settings.SetDisplayIcon(installDir + profile.exeName());
    settings.SetInstallSource(installDir + profile.installedCopyName());
    settings.SetPublisher(kPublisher);
    settings.SetUninstallString(UninstallCommandLine(installDir, profile.installedCopyName()));
    settings.SetIsCachePolicy(kCachePolicy);
    settings.SetInstallLocation(installDir);
    settings.SetQuietUninstallString(QuietUninstallCommandLine(installDir, profile.installedCopyName()));
    settings.SetNoModifyNoRepair();
    // The installer's own copy joins the folder once the install is over.
    const std::wstring copy = installDir + profile.installedCopyName();
    const std::uint64_t bytes = FolderSize(installDir) + (IsFile(copy) ? 0 : FileSize(profile.modulePath()));
    settings.SetEstimatedSize(static_cast<std::uint32_t>((bytes + 1023) / 1024));
}

void Installer::RemoveOlderDriver() {
    // A machine flagged by the drive detection keeps its older driver.
    if (settings.IsQM7700Detected() || !OlderDriverMarkerPresent())
        return;
    RunAndWait(ProgramCommandLine(Profile().installDir() + kOlderDriverSetup, kOlderDriverArguments));
}
