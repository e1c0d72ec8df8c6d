#include "app/SingleInstance.h"
#include "app/StartupChecks.h"
#include "i18n/TranslationCatalog.h"
#include "profile/ProductProfile.h"
#include "tests/app/AppTestSupport.h"

#include <gtest/gtest.h>

#include "MessageCapture.h"

#include <windows.h>

#include <string>

using namespace helmtest;

namespace {

std::wstring UniqueName(const wchar_t* stem) {
    return std::wstring(stem) + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(::GetTickCount()) + L".exe";
}

TEST(SingleInstance, SecondHolderOfTheSameNameIsRefused) {
    const std::wstring name = UniqueName(L"HelmSetupProbe");
    EXPECT_TRUE(AcquireSingleInstance(name));
    EXPECT_FALSE(AcquireSingleInstance(name));
    // The refusal does not give up the first holder's mutex.
    unique_handle held(::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
    EXPECT_TRUE(held);
    EXPECT_FALSE(AcquireSingleInstance(name));
}

TEST(SingleInstance, AnotherFileNameIsNotStopped) {
    EXPECT_TRUE(AcquireSingleInstance(UniqueName(L"HelmSetupOne")));
    EXPECT_TRUE(AcquireSingleInstance(UniqueName(L"HelmSetupTwo")));
}

using StartupChecks = StartupTest;

TEST_F(StartupChecks, AdministratorWithAWritableRegistryGoesOnSilently) {
    MessageCapture capture;
    CheckStartupRights(true);
    EXPECT_TRUE(capture.Messages().empty());
}

TEST_F(StartupChecks, AdministratorIsToldTheRegistryCannotBeWritten) {
    EXPECT_EXIT(CheckStartupRights(false), ::testing::ExitedWithCode(0),
                "^MESSAGE \\[Error\\] Failed to write to the Windows registry\n$");
}

TEST_F(StartupChecks, WithoutRightsOnlyTheRightsMessageIsShown) {
    const std::string rightsOnly =
        "^MESSAGE \\[Admin Required\\] Administrative privilege is required to run the Helmview installer\n$";
    EXPECT_EXIT(
        {
            WithoutAdministrators restricted;
            CheckStartupRights(false);
        },
        ::testing::ExitedWithCode(0), rightsOnly);
    EXPECT_EXIT(
        {
            WithoutAdministrators restricted;
            CheckStartupRights(true);
        },
        ::testing::ExitedWithCode(0), rightsOnly);
}

} // namespace
