#include "settings/SettingsStore.h"

#include "platform/RunLog.h"
#include "profile/ProductProfile.h"
#include "settings/InstallRecord.h"
#include "settings/LegacyCultureCode.h"
#include "settings/RegistryAccess.h"
#include "settings/RegistryKeyPaths.h"

#include <initializer_list>

using namespace registry_names;

namespace {

// The brand-specific fragments belong to the product profile.
std::wstring NorvaleFolder() {
    return Profile().brandName();
}
std::wstring TessaroFolder() {
    return Profile().otherBrand().brandName;
}

std::wstring NorvaleSettingsKey() {
    return SettingsStore::SettingsKeyPath(NorvaleFolder());
}
std::wstring ShortLegacyKey() {
    return SettingsStore::SettingsKeyPath(kShortLegacyFolder);
}
std::wstring LongLegacyKey() {
    return SettingsStore::SettingsKeyPath(kLegacyProductName);
}
std::wstring NorvaleUninstallKey() {
    return SettingsStore::UninstallKeyPath(Profile().displayName());
}

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

std::wstring SettingsStore::SettingsKeyPath(const std::wstring& folder) {
    return BuildSettingsKeyPath(folder, Profile().productFolderName());
}

std::wstring SettingsStore::UninstallKeyPath(const std::wstring& entry) {
    return BuildUninstallKeyPath(entry);
}

std::wstring SettingsStore::PermanentKeyPath(const std::wstring& folder) {
    return BuildPermanentKeyPath(folder);
}

std::uint32_t SettingsStore::GetIsInstalled(const std::wstring& folder) const {
    const std::uint32_t value = registry::ReadDword(SettingsKeyPath(folder), kIsInstalled);
    return value == registry::kNoDword ? InstallRecord::None : value;
}

void SettingsStore::SetIsInstalled(std::uint32_t value) const {
    registry::WriteDword(NorvaleSettingsKey(), kIsInstalled, value);
}

std::wstring SettingsStore::GetInstallPath() const {
    return ReadWithFallback(NorvaleSettingsKey(), ShortLegacyKey(), kInstallPath);
}

std::wstring SettingsStore::GetTessaroInstallPath() const {
    return registry::ReadString(SettingsKeyPath(TessaroFolder()), kInstallPath);
}

void SettingsStore::SetInstallPath(const std::wstring& path) const {
    registry::WriteString(NorvaleSettingsKey(), kInstallPath, path);
}

void SettingsStore::ForgetBegunInstall() const {
    if (const unique_hkey key = registry::OpenExistingKey(HKEY_LOCAL_MACHINE, NorvaleSettingsKey(),
                                                          registry::kMachineAllAccess)) {
        registry::DeleteValue(key.get(), kIsInstalled);
        registry::DeleteValue(key.get(), kInstallPath);
    }
}

std::wstring SettingsStore::GetCurrentCulture() const {
    return MapLegacyChineseCulture(ReadWithFallback(NorvaleSettingsKey(), ShortLegacyKey(), kCurrentCulture));
}

void SettingsStore::SetCurrentCulture(const std::wstring& code) const {
    registry::WriteString(NorvaleSettingsKey(), kCurrentCulture, code);
}

ProductVersion SettingsStore::GetCurrentVersion() const {
    return ReadVersionWithFallback({NorvaleSettingsKey(), LongLegacyKey()}, kCurrentVersion);
}

void SettingsStore::SetCurrentVersion(const ProductVersion& version) const {
    registry::WriteString(NorvaleSettingsKey(), kCurrentVersion, version.Get());
}

ProductVersion SettingsStore::GetInstalledVersion() const {
    return ReadVersionWithFallback({NorvaleUninstallKey(),
                                    UninstallKeyPath(Profile().otherBrand().displayName),
                                    UninstallKeyPath(kLegacyProductName)},
                                   kDisplayVersion);
}

void SettingsStore::SetDisplayVersion(const ProductVersion& version) const {
    registry::WriteString(NorvaleUninstallKey(), kDisplayVersion, version.Get());
}

void SettingsStore::SetDisplayName() const {
    registry::WriteString(NorvaleUninstallKey(), kDisplayName, Profile().productName());
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
    return registry::ReadDword(PermanentKeyPath(NorvaleFolder()), kQM7700Detected) == 1;
}

void SettingsStore::RemoveRegistration() const {
    // The language and the start-minimised choice are the user's, not the
    // installation's: they survive the removal.
    const std::wstring culture = GetCurrentCulture();
    const bool startMinimized = GetStartMinimized();

    const OtherBrand tessaro = Profile().otherBrand();
    const std::wstring productFolder = Profile().productFolderName();
    DeleteMachineSubtrees(BuildUninstallParentPath(), {Profile().displayName(), tessaro.displayName});
    DeleteMachineSubtrees(BuildMakerKeyPath(NorvaleFolder()), {productFolder});
    DeleteMachineSubtrees(BuildMakerKeyPath(tessaro.brandName), {productFolder});

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

SettingsStore& Settings() {
    static SettingsStore store;
    return store;
}
