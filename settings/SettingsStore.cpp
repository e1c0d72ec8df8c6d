#include "settings/SettingsStore.h"

#include "platform/RunLog.h"
#include "settings/InstallRecord.h"
#include "settings/LegacyCultureCode.h"
#include "settings/RegistryAccess.h"
#include "settings/RegistryKeyPaths.h"

#include <initializer_list>

using namespace registry_names;

namespace {

// Reads the value from the first key; an empty result (absent, unreadable or
// stored empty) is replaced by whatever the fallback key holds.
std::wstring ReadWithFallback(const std::wstring& key, const std::wstring& fallbackKey, const wchar_t* name) {
    std::wstring text = registry::ReadString(key, name);
    if (text.empty())
        text = registry::ReadString(fallbackKey, name);
    return text;
}

// The first non-empty version among the keys, in order; empty when none has
// one.
ProductVersion ReadVersionWithFallback(std::initializer_list<std::wstring> keys, const wchar_t* name) {
    ProductVersion version;
    for (const std::wstring& key : keys) {
        version = ProductVersion(registry::ReadString(key, name));
        if (!version.IsEmpty())
            break;
    }
    return version;
}

// A key or value that was not there to delete is not worth a line.
void LogDeletion(const std::wstring& what, LONG status) {
    if (status == ERROR_SUCCESS)
        LogEvent(L"registry: " + what + L" deleted");
    else if (status != ERROR_FILE_NOT_FOUND)
        LogEvent(L"registry: " + what + L" not deleted, error " + std::to_wstring(status));
}

// Opens the key below HKEY_LOCAL_MACHINE (32-bit view, no creation) and
// deletes the named subtrees; each deletion is tried whatever the others do.
void DeleteMachineSubtrees(const std::wstring& parentPath, std::initializer_list<std::wstring> subkeys) {
    const unique_hkey parent =
        registry::OpenExistingKey(HKEY_LOCAL_MACHINE, parentPath, registry::kMachineAllAccess);
    if (!parent)
        return;
    for (const std::wstring& subkey : subkeys)
        LogDeletion(L"HKLM\\" + parentPath +
                        (!parentPath.empty() && parentPath.back() == L'\\' ? L"" : L"\\") + subkey,
                    registry::DeleteSubtree(parent.get(), subkey));
}

} // namespace

SettingsStore::SettingsStore(const ProductProfile& profile)
    : brandName_(profile.brandName()), displayName_(profile.displayName()),
      productName_(profile.productName()), productFolderName_(profile.productFolderName()),
      otherBrand_(profile.otherBrand()) {}

std::wstring SettingsStore::SettingsKeyPath(const std::wstring& folder) const {
    return BuildSettingsKeyPath(folder, productFolderName_);
}

std::wstring SettingsStore::NorvaleSettingsKey() const {
    return SettingsKeyPath(brandName_);
}

std::wstring SettingsStore::NorvaleUninstallKey() const {
    return BuildUninstallKeyPath(displayName_);
}

std::uint32_t SettingsStore::GetIsInstalled(const std::wstring& folder) const {
    const std::uint32_t value = registry::ReadDword(SettingsKeyPath(folder), kIsInstalled);
    return value == registry::kNoDword ? InstallRecord::None : value;
}

void SettingsStore::SetIsInstalled(std::uint32_t value) const {
    registry::WriteDword(NorvaleSettingsKey(), kIsInstalled, value);
}

std::wstring SettingsStore::GetInstallPath() const {
    return ReadWithFallback(NorvaleSettingsKey(), SettingsKeyPath(kShortLegacyFolder), kInstallPath);
}

std::wstring SettingsStore::GetTessaroInstallPath() const {
    return registry::ReadString(SettingsKeyPath(otherBrand_.brandName), kInstallPath);
}

void SettingsStore::SetInstallPath(const std::wstring& path) const {
    registry::WriteString(NorvaleSettingsKey(), kInstallPath, path);
}

std::wstring SettingsStore::GetCurrentCulture() const {
    return MapLegacyChineseCulture(
        ReadWithFallback(NorvaleSettingsKey(), SettingsKeyPath(kShortLegacyFolder), kCurrentCulture));
}

void SettingsStore::SetCurrentCulture(const std::wstring& code) const {
    registry::WriteString(NorvaleSettingsKey(), kCurrentCulture, code);
}

ProductVersion SettingsStore::GetCurrentVersion() const {
    return ReadVersionWithFallback({NorvaleSettingsKey(), SettingsKeyPath(kLegacyProductName)},
                                   kCurrentVersion);
}

void SettingsStore::SetCurrentVersion(const ProductVersion& version) const {
    registry::WriteString(NorvaleSettingsKey(), kCurrentVersion, version.Get());
}

ProductVersion SettingsStore::GetInstalledVersion() const {
    return ReadVersionWithFallback({NorvaleUninstallKey(), BuildUninstallKeyPath(otherBrand_.displayName),
                                    BuildUninstallKeyPath(kLegacyProductName)},
                                   kDisplayVersion);
}

void SettingsStore::SetDisplayVersion(const ProductVersion& version) const {
    registry::WriteString(NorvaleUninstallKey(), kDisplayVersion, version.Get());
}

void SettingsStore::SetDisplayName() const {
    registry::WriteString(NorvaleUninstallKey(), kDisplayName, productName_);
}

void SettingsStore::SetDisplayIcon(const std::wstring& text) const {
    registry::WriteString(NorvaleUninstallKey(), kDisplayIcon, text);
}

void SettingsStore::SetInstallSource(const std::wstring& text) const {
    registry::WriteString(NorvaleUninstallKey(), kInstallSource, text);
}

void SettingsStore::SetPublisher(const std::wstring& text) const {
    registry::WriteString(NorvaleUninstallKey(), kPublisher, text);
}

void SettingsStore::SetUninstallString(const std::wstring& text) const {
    registry::WriteString(NorvaleUninstallKey(), kUninstallString, text);
}

void SettingsStore::SetIsCachePolicy(const std::wstring& text) const {
    registry::WriteString(NorvaleSettingsKey(), kIsCachePolicy, text);
}

void SettingsStore::SetInstallLocation(const std::wstring& folder) const {
    registry::WriteString(NorvaleUninstallKey(), kInstallLocation, folder);
}

void SettingsStore::SetEstimatedSize(std::uint32_t kibibytes) const {
    registry::WriteDword(NorvaleUninstallKey(), kEstimatedSize, kibibytes);
}

void SettingsStore::SetQuietUninstallString(const std::wstring& text) const {
    registry::WriteString(NorvaleUninstallKey(), kQuietUninstallString, text);
}

void SettingsStore::SetNoModifyNoRepair() const {
    registry::WriteDword(NorvaleUninstallKey(), kNoModify, 1);
    registry::WriteDword(NorvaleUninstallKey(), kNoRepair, 1);
}

bool SettingsStore::GetStartMinimized() const {
    return registry::ReadString(NorvaleSettingsKey(), kStartMinimized) == L"1";
}

void SettingsStore::SetStartMinimized(bool value) const {
    registry::WriteString(NorvaleSettingsKey(), kStartMinimized, value ? L"1" : L"0");
}

bool SettingsStore::IsQM7700Detected() const {
    return registry::ReadDword(BuildPermanentKeyPath(brandName_), kQM7700Detected) == 1;
}

void SettingsStore::RemoveRegistration() const {
    // The language and the start-minimised choice are the user's, not the
    // installation's: they survive the removal.
    const std::wstring culture = GetCurrentCulture();
    const bool startMinimized = GetStartMinimized();

    DeleteMachineSubtrees(BuildUninstallParentPath(), {displayName_, otherBrand_.displayName});
    DeleteMachineSubtrees(BuildMakerKeyPath(brandName_), {productFolderName_});
    DeleteMachineSubtrees(BuildMakerKeyPath(otherBrand_.brandName), {productFolderName_});

    // The run-once key is the user's own and has no 32-bit view of its own.
    if (const unique_hkey runOnce =
            registry::OpenExistingKey(HKEY_CURRENT_USER, BuildRunOnceKeyPath(), KEY_ALL_ACCESS)) {
        for (const wchar_t* name : {kRunOnceTessaro, kRunOnceNorvale})
            LogDeletion(L"HKCU\\" + BuildRunOnceKeyPath() + L" \"" + name + L"\"",
                        registry::DeleteValue(runOnce.get(), name));
    }

    SetCurrentCulture(culture);
    SetStartMinimized(startMinimized);
}
