#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The maker's second brand: only detected and removed, never installed.
struct OtherBrand {
    std::wstring brandName;
    std::wstring displayName;
    std::wstring shortcutName;
    std::wstring exeFullName;
};

// Every brand-specific name, path and server location of the installer, in one
// place. Filled once at start-up, read-only afterwards (so worker threads may
// read it without locks). Folders end in a backslash so that file names can be
// appended directly.
class ProductProfile {
  public:
    // Fills every field for the running executable and the given server base
    // address (used unchanged: no separator is added).
    void InitProductProfile(const std::wstring& baseUrl);

    // Same, with the environment spelled out; lets tests fill a profile for any
    // executable path and Program Files folder.
    void InitFrom(const std::wstring& baseUrl, const std::wstring& modulePath,
                  const std::wstring& programFilesX86);

    std::int32_t logoResourceId() const { return logoResourceId_; }
    std::int32_t logoWidth() const { return logoWidth_; }
    std::int32_t logoHeight() const { return logoHeight_; }
    std::int32_t logoX() const { return logoX_; }
    std::int32_t logoY() const { return logoY_; }
    std::wstring productName() const { return productName_; }
    std::wstring installerTitle() const { return installerTitle_; }
    std::wstring serverFolderUrl() const { return serverFolderUrl_; }
    std::wstring makerFolder() const { return makerFolder_; }
    std::wstring installDir() const { return installDir_; }
    std::wstring modulePath() const { return modulePath_; }
    std::wstring moduleFileName() const { return moduleFileName_; }
    // The file name of the installer's copy in the install folder, which the
    // uninstall entry names: the running file's name, unless that is the name
    // of an application file (an installer saved as "Helmview.exe" would
    // overwrite the application, and the uninstall would stop itself with
    // the application's processes); then "HelmviewSetup.exe".
    std::wstring installedCopyName() const { return installedCopyName_; }
    std::wstring releaseNotesFile() const { return releaseNotesFile_; }
    std::wstring brandName() const { return brandName_; }
    std::wstring displayName() const { return displayName_; }
    std::wstring exeName() const { return exeName_; }
    std::wstring exeFullName() const { return exeFullName_; }
    std::wstring packageZipName() const { return packageZipName_; }
    std::wstring packageZipFullName() const { return packageZipFullName_; }
    std::wstring manifestFileName() const { return manifestFileName_; }
    std::wstring packageFolder() const { return packageFolder_; }
    std::wstring productFolderName() const { return productFolderName_; }
    OtherBrand otherBrand() const { return otherBrand_; }
    // The application's executables of either brand and of the earliest
    // product name, in the order the uninstall stops them.
    std::vector<std::wstring> applicationExeNames() const;

  private:
    std::int32_t logoResourceId_ = 0;
    std::int32_t logoWidth_ = 0;
    std::int32_t logoHeight_ = 0;
    std::int32_t logoX_ = 0;
    std::int32_t logoY_ = 0;
    std::wstring productName_;
    std::wstring installerTitle_;
    std::wstring serverFolderUrl_;
    std::wstring makerFolder_;
    std::wstring installDir_;
    std::wstring modulePath_;
    std::wstring moduleFileName_;
    std::wstring installedCopyName_;
    std::wstring releaseNotesFile_;
    std::wstring brandName_;
    std::wstring displayName_;
    std::wstring exeName_;
    std::wstring exeFullName_;
    std::wstring packageZipName_;
    std::wstring packageZipFullName_;
    std::wstring manifestFileName_;
    std::wstring packageFolder_;
    std::wstring productFolderName_;
    OtherBrand otherBrand_;
};

// The process-wide profile.
ProductProfile& Profile();

// The installer's own version ("5.0.2.1"), shown on the window.
std::wstring InstallerOwnVersion();
