#include "settings/RegistryKeyPaths.h"

using namespace registry_names;

std::wstring BuildSettingsKeyPath(const std::wstring& makerFolder, const std::wstring& productFolder) {
    return kSoftware + makerFolder + L"\\" + productFolder;
}

std::wstring BuildUninstallKeyPath(const std::wstring& entry) {
    return kSoftware + std::wstring(kUninstallParent) + entry;
}

std::wstring BuildPermanentKeyPath(const std::wstring& makerFolder) {
    return kSoftware + makerFolder + L"\\" + kPermanent;
}

std::wstring BuildMakerKeyPath(const std::wstring& makerFolder) {
    return kSoftware + makerFolder;
}

std::wstring BuildUninstallParentPath() {
    return kSoftware + std::wstring(kUninstallParent);
}

std::wstring BuildRunOnceKeyPath() {
    return kSoftware + std::wstring(kRunOnce);
}
