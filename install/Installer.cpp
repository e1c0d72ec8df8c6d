#include "install/Installer.h"

#include "common/UniqueHandle.h"
#include "install/ArchiveUnpacking.h"
#include "install/ChildProcess.h"
#include "install/CommandLines.h"
#include "install/FolderRemoval.h"
#include "install/MakerFolder.h"
#include "install/PackageHash.h"
#include "install/ResourceExtraction.h"
#include "install/Shortcuts.h"
#include "install/WindowsVersion.h"
#include "net/Downloader.h"
#include "platform/FileSystem.h"
#include "platform/RunLog.h"
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

// Prerequisite exit codes that ask for a restart to finish.
constexpr std::uint32_t kRestartRequired = 3010;
constexpr std::uint32_t kRestartStarted = 1641;
// How long the files of a just stopped application may take to be let go.
constexpr int kReleaseChecks = 10;
constexpr DWORD kReleasePauseMilliseconds = 200;

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
    return {Failure::PackageMismatch, {hex, package}, code};
}

} // namespace

Installer::Installer(const ProductProfile& profile, const ProductVersion& offered, InstallSession& session,
                     std::optional<std::wstring> packageSha256)
    : profile(profile), version(offered), packageSha256(std::move(packageSha256)), session(session),
      settings(profile) {}

void Installer::SetStepProgress(std::int32_t windows10, std::int32_t earlier) {
    session.SetProgress(IsWindows10OrLater() ? windows10 : earlier);
}

RunResult Installer::Install() {
    folders = SwitchFolders{};
    folders.installDir = profile.installDir();
    folders.staging = StagingFolderFor(folders.installDir);
    replacing = settings.GetIsInstalled(profile.brandName()) != InstallRecord::None ||
                settings.GetIsInstalled(profile.otherBrand().brandName) != InstallRecord::None;
    try {
        // A staging folder left by an interrupted run holds nothing to trust.
        RemoveFolder(folders.staging, 0);
        CreateFolderTree(folders.staging);
        if (!IsFolder(folders.staging))
            return Abandon(RunResult::FailedWith({Failure::FolderNotCreated, {folders.installDir}, 0}));

        SetStepProgress(10, 25);
        ExtractResourceToFolder(ID_ARCHIVE_TOOL, RT_ARCHIVE_TOOL, folders.staging, kArchiveToolName);
        if (session.CancelRequested())
            return Abandon(RunResult::Stopped());

        SetStepProgress(15, 35);
        const Outcome downloaded = DownloadPackage();
        if (!downloaded.Succeeded())
            return Abandon(RunResult::FailedWith(downloaded));
        if (session.CancelRequested())
            return Abandon(RunResult::Stopped());

        // Checked as a whole, now that the download has returned, before any
        // of it is unpacked or run.
        SetStepProgress(20, 40);
        std::wstring package = profile.packageZipName();
        if (!IsFile(folders.staging + package))
            package = profile.packageZipFullName();
        const Outcome checked = CheckPackage(package);
        if (!checked.Succeeded())
            return Abandon(RunResult::FailedWith(checked));
        const Unpacked unpacked = UnpackArchiveIn(folders.staging, package, &session.CancelSignal());
        if (unpacked == Unpacked::Cancelled || session.CancelRequested())
            return Abandon(RunResult::Stopped());
        // Shortcuts to a missing program and an uninstall entry would make a
        // broken package look installed.
        if (unpacked != Unpacked::Done ||
            !(IsFile(folders.staging + profile.exeName()) || IsFile(folders.staging + profile.exeFullName())))
            return Abandon(RunResult::FailedWith({Failure::PackageNotUnpacked, {package}, 0}));

        // From here the run completes or puts everything back: a Cancel made
        // before ends it now, one made after is refused.
        if (!session.BeginLastStep())
            return Abandon(RunResult::Stopped());
        return Switch();
    } catch (...) {
        switch_journal::Undo(profile);
        return Abandon(RunResult::FailedWith(
            {Failure::FolderNotCreated, {folders.installDir}, ERROR_NOT_ENOUGH_MEMORY}));
    }
}

RunResult Installer::Abandon(RunResult result) {
    RunStep([&] {
        RemoveFolder(folders.staging, 0);
        // No folder of the product is left that was not there before: the
        // window made the install folder for the run (an installed version
        // keeps its own, which is not empty).
        RemoveFolderIfEmpty(folders.installDir);
        RemoveFolderIfEmpty(MakerFolderOf(folders.installDir, profile.productFolderName()));
    });
    return result;
}

RunResult Installer::Switch() {
    SetStepProgress(30, 55);
    if (replacing) {
        for (const std::wstring& exe : profile.applicationExeNames())
            RunStep([&] { KillProcess(exe); });
    }
    const std::wstring recordedPath = settings.GetInstallPath();
    const std::wstring tessaroPath = settings.GetTessaroInstallPath();
    if (!tessaroPath.empty() && IsFolder(tessaroPath))
        folders.tessaroDir = tessaroPath.back() == L'\\' ? tessaroPath : tessaroPath + L"\\";

    // Every file of what is installed must be deletable before anything
    // moves; a stopped application lets go of its files a moment later.
    BlockedFile blocked;
    for (int check = 0; check < kReleaseChecks; ++check) {
        blocked = FirstUndeletableFile(folders.installDir);
        if (blocked.path.empty())
            blocked = FirstUndeletableFile(folders.tessaroDir);
        if (blocked.path.empty())
            break;
        ::Sleep(kReleasePauseMilliseconds);
    }
    if (!blocked.path.empty())
        return Abandon(RunResult::FailedWith({Failure::FilesInUse, {blocked.path}, blocked.error}));

    folders.aside = AsideFolderFor(folders.installDir);
    if (!folders.tessaroDir.empty())
        folders.tessaroAside = AsideFolderFor(folders.tessaroDir);
    if (!switch_journal::Begin(profile, folders))
        return Abandon(RunResult::FailedWith({Failure::FilesInUse, {folders.installDir}, ERROR_CANTWRITE}));

    bool moved = true;
    if (IsFolder(folders.installDir) && !::RemoveDirectoryW(folders.installDir.c_str()))
        moved = MoveFolder(folders.installDir, folders.aside);
    if (moved && !folders.tessaroDir.empty())
        moved = MoveFolder(folders.tessaroDir, folders.tessaroAside);
    if (moved)
        moved = MoveFolder(folders.staging, folders.installDir);
    if (!moved) {
        const DWORD error = ::GetLastError();
        switch_journal::Undo(profile);
        return Abandon(RunResult::FailedWith({Failure::FilesInUse, {folders.installDir}, error}));
    }

    RunStep([&] {
        RemoveShortcuts(profile);
        if (replacing)
            settings.RemoveRegistration();
        settings.SetIsInstalled(InstallRecord::Begun);
        settings.SetInstallPath(folders.installDir);
    });
    RunStep([this] { CreateShortcuts(profile); });
    SetStepProgress(40, 70);
    RunStep([&] { WriteUninstallEntry(); });
    SetStepProgress(50, 85);
    bool restartNeeded = false;
    RunStep([&] { restartNeeded = RunPrerequisites(); });

    // The record follows the value: the window may see 100 a moment early.
    session.SetProgress(100);
    RunStep([&] { settings.SetIsInstalled(InstallRecord::Complete); });
    switch_journal::Finish(profile);

    RunStep([&] {
        if (RemovePrevious())
            restartNeeded = true;
        // A recorded folder elsewhere, and the maker folders' loose files,
        // go as with any removal of the old version.
        if (!recordedPath.empty() && !SamePath(recordedPath, folders.installDir))
            RemoveFolder(recordedPath, 0);
        if (!replacing)
            return;
        for (const std::wstring& path : {recordedPath, tessaroPath}) {
            const std::wstring maker = MakerFolderOf(path, profile.productFolderName());
            DeleteFilesIn(maker);
            RemoveFolderIfEmpty(maker);
        }
    });
    return RunResult::Done(restartNeeded);
}

bool Installer::RemovePrevious() {
    bool left = false;
    for (const std::wstring& aside : {folders.aside, folders.tessaroAside}) {
        if (aside.empty() || !IsFolder(aside))
            continue;
        // What is in use goes when Windows next starts.
        if (!FirstUndeletableFile(aside).path.empty())
            left = true;
        RemoveFolder(aside, 0);
        if (IsFolder(aside))
            left = true;
    }
    return left;
}

bool Installer::RunPrerequisites() {
    const std::wstring installDir = folders.installDir;
    bool restartNeeded = false;
    const auto run = [&](const wchar_t* program, const wchar_t* arguments) {
        const std::wstring path = installDir + program;
        const ChildEnd end = RunChild(path, ProgramCommandLine(path, arguments), installDir);
        // Any other code is logged and no failure: the runtime's setup answers
        // 1638 when a newer one is there already.
        if (end.ended && (end.exitCode == kRestartRequired || end.exitCode == kRestartStarted))
            restartNeeded = true;
    };
    run(kRuntimeSetup, kRuntimeArguments);
    if (IsWindows10OrLater()) {
        session.SetProgress(60);
        run(kDriverSetup, kDriverArguments);
        session.SetProgress(80);
        // A machine flagged by the drive detection keeps its older driver.
        if (!settings.IsQM7700Detected() && OlderDriverMarkerPresent())
            run(kOlderDriverSetup, kOlderDriverArguments);
    }
    return restartNeeded;
}

Outcome Installer::DownloadPackage() {
    const std::wstring folder = profile.packageFolder() + version.Get() + L"/";
    std::wstring name = profile.packageZipName();
    DownloadAbort* const cancel = &session.CancelSignal();
    const Downloader server(profile.serverFolderUrl());
    if (!server.UrlExists(folder, name, cancel) &&
        server.UrlExists(folder, profile.packageZipFullName(), cancel))
        name = profile.packageZipFullName();
    // A cancellation, also one made before the transfer or during the check
    // of the name, stops it with a success: at most a partial file is left,
    // in the staging folder.
    return server.DownloadFile(folder, folders.staging, name, cancel);
}

Outcome Installer::CheckPackage(const std::wstring& package) {
    if (!packageSha256) {
        LogEvent(L"package: " + package + L" not verified: the manifest states no SHA-256");
        return {};
    }
    const PackageDigest digest = HashPackage(folders.staging + package);
    if (digest.computed && MatchesSha256(*packageSha256, digest.sha256)) {
        LogEvent(L"package: " + package + L" verified, SHA-256 " + Sha256Hex(digest.sha256));
        return {};
    }
    LogEvent(L"package: " + package + L" does not match the manifest's SHA-256 " +
             LoggedText(*packageSha256) +
             (digest.computed ? L": its SHA-256 is " + Sha256Hex(digest.sha256)
                              : L": it could not be hashed, error " + std::to_wstring(digest.error)));
    return PackageNotVerified(package, digest.computed ? CRYPT_E_HASH_VALUE : digest.error);
}

void Installer::WriteUninstallEntry() {
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
