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

} // namespace helmtest
