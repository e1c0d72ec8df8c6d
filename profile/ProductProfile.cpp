#include "profile/ProductProfile.h"

#include "installer_version.h"
#include "platform/SystemFolders.h"

#include <windows.h>

namespace {

// The application of the earliest product name, stopped with the others.
constexpr wchar_t kLegacyExeName[] = L"ZQSSDHelmview.exe";
// The copy's name when the running file's own would clash.
constexpr wchar_t kInstallerCopyName[] = L"HelmviewSetup.exe";

std::wstring RunningExecutablePath() {
    // A longer path is cut to the buffer, as GetModuleFileNameW does.
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::wstring(buffer, n < MAX_PATH ? n : MAX_PATH);
}

} // namespace

void ProductProfile::InitProductProfile(const std::wstring& baseUrl) {
    const std::wstring programFiles = ProgramFilesX86Path();
    InitFrom(baseUrl, RunningExecutablePath(), programFiles);
}

void ProductProfile::InitFrom(const std::wstring& baseUrl, const std::wstring& modulePath,
                              const std::wstring& programFilesX86) {
    modulePath_ = modulePath;
    const std::size_t slash = modulePath_.rfind(L'\\');
    moduleFileName_ = slash == std::wstring::npos ? modulePath_ : modulePath_.substr(slash + 1);

    serverFolderUrl_ = baseUrl + L"zqHelmview/";

    productFolderName_ = L"SSD Helmview\\";
    productName_ = L"Helmview";
    installerTitle_ = L"Helmview Installer";

    makerFolder_ = programFilesX86 + L"\\Norvale\\";
    installDir_ = makerFolder_ + productFolderName_;

    releaseNotesFile_ = L"NorvaleHelmviewReleaseNotes.pdf";
    brandName_ = L"Norvale";
    displayName_ = L"Norvale SSD Helmview";
    exeName_ = L"Helmview.exe";
    exeFullName_ = L"NorvaleSSDHelmview.exe";
    packageZipName_ = L"Helmview.zip";
    packageZipFullName_ = L"NorvaleHelmview.zip";
    manifestFileName_ = L"lista_updater.xml";
    packageFolder_ = L"application/";

    logoResourceId_ = 3001;
    logoWidth_ = 146;
    logoHeight_ = 22;
    logoX_ = 15;
    logoY_ = 270;

    otherBrand_.brandName = L"Tessaro";
    otherBrand_.displayName = L"Tessaro SSD Helmview";
    otherBrand_.shortcutName = L"Tessaro SSD Helmview";
    otherBrand_.exeFullName = L"TessaroSSDHelmview.exe";

    // File names compare as the file system does: without regard to case.
    installedCopyName_ = moduleFileName_;
    for (const std::wstring& application : applicationExeNames()) {
        if (::CompareStringOrdinal(moduleFileName_.c_str(), -1, application.c_str(), -1, TRUE) == CSTR_EQUAL)
            installedCopyName_ = kInstallerCopyName;
    }
}

std::vector<std::wstring> ProductProfile::applicationExeNames() const {
    return {exeName_, exeFullName_, otherBrand_.exeFullName, kLegacyExeName};
}

std::wstring InstallerOwnVersion() {
    return L"" INSTALLER_VERSION_TEXT;
}

ProductProfile& Profile() {
    static ProductProfile profile;
    return profile;
}
