#include "ui/ScreenTexts.h"

#include "i18n/TranslationCatalog.h"
#include "profile/ProductProfile.h"

namespace {

std::wstring T(const std::wstring& key, const std::vector<std::wstring>& values = {}) {
    return Catalog().Translate(key, values);
}

} // namespace

std::wstring ShownVersion(const WindowInputs& inputs) {
    return inputs.uninstallMode ? inputs.installedVersion.Get() : inputs.offeredVersion.Get();
}

std::wstring VersionLineText(const std::wstring& product, const std::wstring& version) {
    return T(L"IDS_INSTALL_END_TEXT1", {product}) + L": " + version;
}

std::wstring InstallerVersionLineText() {
    return T(L"IDS_INSTALL") + L" " + T(L"IDS_VERSION") + L": " + InstallerOwnVersion();
}

std::wstring OpeningScreenBody(InstallerScreen screen, const std::wstring& product,
                               const WindowInputs& inputs) {
    const std::wstring installed = inputs.installedVersion.Get();
    const std::wstring offered = inputs.offeredVersion.Get();
    switch (screen) {
    case InstallerScreen::Welcome:
        return T(L"IDS_TITLE_INSTALLATION", {product});
    case InstallerScreen::UninstallWelcome:
        return T(L"IDS_TITLE_UNINSTALL", {product});
    case InstallerScreen::IncompleteInstall:
        return T(L"IDS_INCOMPLETE_INSTALL", {offered, product});
    case InstallerScreen::OldVersionInstalled:
        return T(L"IDS_OLD_VERSION_INSTALLED", {installed, offered, product});
    case InstallerScreen::NewerVersionInstalled:
        return T(L"IDS_NEWER_VERSION_INSTALLED", {installed, offered, product});
    }
    return {};
}

std::wstring InstallFinishedMessage(const std::wstring& product, const ProductVersion& offered) {
    return T(L"IDS_INSTALL_END_TEXT1", {product}) + L" " + offered.Get() + L" " + T(L"IDS_INSTALL_END_TEXT2");
}

std::wstring UninstallFinishedMessage(const std::wstring& product) {
    return T(L"IDS_UNINSTALL_END_TEXT", {product});
}

std::wstring CancelledFinishedMessage() {
    return T(L"IDS_SUMMARY_CANCELLED");
}
