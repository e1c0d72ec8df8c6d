#include "InstallSequenceTest.h"

#include "MessageCapture.h"
#include "i18n/TranslationCatalog.h"
#include "profile/ProductProfile.h"
#include "report/OutcomeReport.h"

#include <algorithm>

namespace helmtest {

void InstallSequence::SetUp() {
    const std::wstring base = PackageServerBaseUrl();
    ASSERT_FALSE(base.empty()) << "the package server is not running";
    ForgetInstallations();
    profile_.InitProductProfile(base);
    installDir_ = profile_.installDir();
    log_ = std::make_unique<FixtureLog>();
}

void InstallSequence::TearDown() {
    log_.reset();
    ForgetInstallations();
}

std::wstring InstallSequence::PrerequisiteLine(const std::wstring& exe, const std::wstring& arguments) const {
    return exe + L" \"" + installDir_ + exe + L"\" " + arguments;
}

std::vector<std::wstring> InstallSequence::PackageFilesWith(const std::wstring& appName) const {
    std::vector<std::wstring> files = {appName,
                                       L"7za.exe",
                                       L"VC_redist.x86.exe",
                                       L"data\\sub\\settings.ini",
                                       L"donn\u00e9es-\u00e9.txt",
                                       L"fenwick_hal_setup.exe",
                                       L"morrow_hal_setup.exe"};
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace helmtest
