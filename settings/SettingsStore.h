#pragma once
#include "profile/ProductProfile.h"
#include "profile/ProductVersion.h"

#include <cstdint>
#include <string>

// The installer's records in the registry: the installation record, the
// remembered language, the uninstall entry, and their removal. Every
// HKEY_LOCAL_MACHINE access uses the 32-bit view. Nothing here fails towards
// the caller: reads turn failures into documented defaults, failed writes are
// dropped. The keys are named after the brands and the product of the profile
// the store is made with; it keeps copies of those names and nothing else, so
// two stores of one profile are interchangeable.
class SettingsStore {
  public:
    explicit SettingsStore(const ProductProfile& profile);

    // "IsInstalled" of the maker folder ("Norvale" or "Tessaro"), an
    // InstallRecord code; InstallRecord::None when absent or unreadable.
    std::uint32_t GetIsInstalled(const std::wstring& folder) const;
    void SetIsInstalled(std::uint32_t value) const;

    std::wstring GetInstallPath() const;
    std::wstring GetTessaroInstallPath() const;
    void SetInstallPath(const std::wstring& path) const;

    std::wstring GetCurrentCulture() const;
    void SetCurrentCulture(const std::wstring& code) const;

    ProductVersion GetCurrentVersion() const;
    void SetCurrentVersion(const ProductVersion& version) const;
    ProductVersion GetInstalledVersion() const;

    // The uninstall entry.
    void SetDisplayVersion(const ProductVersion& version) const;
    void SetDisplayName() const;
    void SetDisplayIcon(const std::wstring& text) const;
    void SetInstallSource(const std::wstring& text) const;
    void SetPublisher(const std::wstring& text) const;
    void SetUninstallString(const std::wstring& text) const;
    void SetIsCachePolicy(const std::wstring& text) const;
    // What the system's program list and package managers read besides: the
    // folder, its size in KiB, the command that uninstalls without a window,
    // and that there is no change or repair to offer (NoModify, NoRepair = 1).
    void SetInstallLocation(const std::wstring& folder) const;
    void SetEstimatedSize(std::uint32_t kibibytes) const;
    void SetQuietUninstallString(const std::wstring& text) const;
    void SetNoModifyNoRepair() const;

    bool GetStartMinimized() const;
    void SetStartMinimized(bool value) const;
    bool IsQM7700Detected() const;

    // Removes the uninstall entries, both settings keys and the run-once
    // values, keeping the language and the start-minimised flag.
    void RemoveRegistration() const;

  private:
    // Key paths below HKEY_LOCAL_MACHINE.
    std::wstring SettingsKeyPath(const std::wstring& folder) const;
    std::wstring NorvaleSettingsKey() const;
    std::wstring NorvaleUninstallKey() const;

    std::wstring brandName_;
    std::wstring displayName_;
    std::wstring productName_;
    std::wstring productFolderName_;
    OtherBrand otherBrand_;
};
