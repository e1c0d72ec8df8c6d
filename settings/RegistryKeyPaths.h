#pragma once
// Where the installer's records live in the registry: the constant key
// fragments and value names, and the builders that join them into key paths.
// Free of <windows.h> so the paths can be checked anywhere.
#include <string>

namespace registry_names {

// Key fragments. The joins below keep them exactly as they are, so some paths
// carry a doubled or a trailing backslash; the registry treats a run of
// separators as one and ignores a trailing one.
inline constexpr wchar_t kShortLegacyFolder[] = L"ZQ\\";
inline constexpr wchar_t kSoftware[] = L"SOFTWARE\\";
inline constexpr wchar_t kUninstallParent[] = L"\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr wchar_t kRunOnce[] = L"\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\";
// The earlier product name: the legacy uninstall entry and the maker folder of
// the long legacy key.
inline constexpr wchar_t kLegacyProductName[] = L"ZQ SSD Helmview";
inline constexpr wchar_t kPermanent[] = L"Permanent";

// Value names.
inline constexpr wchar_t kCurrentVersion[] = L"CurrentVersion";
inline constexpr wchar_t kCurrentCulture[] = L"CurrentCulture";
inline constexpr wchar_t kIsInstalled[] = L"IsInstalled";
inline constexpr wchar_t kInstallPath[] = L"InstallPath";
inline constexpr wchar_t kDisplayIcon[] = L"DisplayIcon";
inline constexpr wchar_t kInstallSource[] = L"InstallSource";
inline constexpr wchar_t kPublisher[] = L"Publisher";
inline constexpr wchar_t kUninstallString[] = L"UninstallString";
inline constexpr wchar_t kDisplayVersion[] = L"DisplayVersion";
inline constexpr wchar_t kIsCachePolicy[] = L"IsCachePolicy";
inline constexpr wchar_t kDisplayName[] = L"DisplayName";
inline constexpr wchar_t kEstimatedSize[] = L"EstimatedSize";
inline constexpr wchar_t kInstallLocation[] = L"InstallLocation";
inline constexpr wchar_t kQuietUninstallString[] = L"QuietUninstallString";
inline constexpr wchar_t kNoModify[] = L"NoModify";
inline constexpr wchar_t kNoRepair[] = L"NoRepair";
inline constexpr wchar_t kStartMinimized[] = L"StartMinimized";
inline constexpr wchar_t kStartWithWindows[] = L"StartWithWindows";
inline constexpr wchar_t kTempPath[] = L"TempPath";
// Set by the application's drive detection, never by the installer.
inline constexpr wchar_t kQM7700Detected[] = L"QM7700Detected";

// Values the application leaves in the user's run-once key; uninstall removes
// them so nothing of either brand starts at the next logon.
inline constexpr wchar_t kRunOnceNorvale[] = L"NorvaleSSDHelmview";
inline constexpr wchar_t kRunOnceTessaro[] = L"TessaroSSDHelmview";

} // namespace registry_names

// "SOFTWARE\" + maker folder + "\" + product folder (which ends in a backslash).
std::wstring BuildSettingsKeyPath(const std::wstring& makerFolder, const std::wstring& productFolder);
// "SOFTWARE\" + "\Microsoft\Windows\CurrentVersion\Uninstall\" + entry.
std::wstring BuildUninstallKeyPath(const std::wstring& entry);
// "SOFTWARE\" + maker folder + "\Permanent".
std::wstring BuildPermanentKeyPath(const std::wstring& makerFolder);
// "SOFTWARE\" + maker folder: the parent of a settings key.
std::wstring BuildMakerKeyPath(const std::wstring& makerFolder);
// The parent of all uninstall entries.
std::wstring BuildUninstallParentPath();
// The run-once key (below HKEY_CURRENT_USER).
std::wstring BuildRunOnceKeyPath();
