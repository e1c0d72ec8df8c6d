#include "i18n/TranslationCatalog.h"
#include "profile/ProductProfile.h"
#include "ui/ScreenTexts.h"

#include <gtest/gtest.h>

#include "MessageCapture.h"

namespace {

class ScreenTexts : public ::testing::Test {
  protected:
    void SetUp() override {
        profile_.InitFrom(L"https://x/", L"C:\\dl\\setup.exe", L"C:\\PF");
        helmtest::UseEnglishTexts();
    }
    void Versions(const wchar_t* installed, const wchar_t* offered, bool uninstallMode = false) {
        inputs_.installedVersion.Set(installed);
        inputs_.offeredVersion.Set(offered);
        inputs_.uninstallMode = uninstallMode;
    }
    // The texts of a window that start-up handed this profile and these versions.
    std::wstring ShownVersion() const { return ::ShownVersion(inputs_); }
    std::wstring VersionLineText(const std::wstring& version) const {
        return ::VersionLineText(profile_.productName(), version);
    }
    std::wstring OpeningScreenBody(InstallerScreen screen) const {
        return ::OpeningScreenBody(screen, profile_.productName(), inputs_);
    }
    std::wstring InstallFinishedMessage() const {
        return ::InstallFinishedMessage(profile_.productName(), inputs_.offeredVersion);
    }
    std::wstring UninstallFinishedMessage() const {
        return ::UninstallFinishedMessage(profile_.productName());
    }

    ProductProfile profile_;
    WindowInputs inputs_;
};

TEST_F(ScreenTexts, VersionLineNamesTheOfferedVersionUnlessUninstalling) {
    Versions(L"2.1.0.5", L"2.2.0.1");
    EXPECT_EQ(VersionLineText(ShownVersion()), L"Helmview version: 2.2.0.1");
    Versions(L"2.1.0.5", L"2.2.0.1", true);
    EXPECT_EQ(VersionLineText(ShownVersion()), L"Helmview version: 2.1.0.5");
}

TEST_F(ScreenTexts, EmptyVersionLeavesTheLineEndingInColonAndBlank) {
    Versions(L"2.1", L"");
    EXPECT_EQ(VersionLineText(ShownVersion()), L"Helmview version: ");
}

TEST_F(ScreenTexts, InstallerVersionLineNamesTheInstallersOwnVersion) {
    EXPECT_EQ(InstallerVersionLineText(), L"Install Version: " + InstallerOwnVersion());
    Catalog().SetLanguage(L"de-DE");
    EXPECT_EQ(InstallerVersionLineText(), L"Installieren Version: " + InstallerOwnVersion());
}

TEST_F(ScreenTexts, OpeningScreenBodiesPlaceVersionsAndProduct) {
    Versions(L"2.3", L"2.2.9");
    EXPECT_EQ(
        OpeningScreenBody(InstallerScreen::Welcome),
        L"Thank you for downloading Helmview. This software includes tools that can help you to get the most "
        L"out of your Norvale and Tessaro drives.");
    EXPECT_EQ(OpeningScreenBody(InstallerScreen::UninstallWelcome),
              L"Welcome to the Helmview Installer. The Installer will remove Helmview software from your "
              L"computer.");
    EXPECT_EQ(
        OpeningScreenBody(InstallerScreen::IncompleteInstall),
        L"The previous Helmview installation was incomplete. The Helmview installer will uninstall it and "
        L"install version 2.2.9.");
    EXPECT_EQ(
        OpeningScreenBody(InstallerScreen::OldVersionInstalled),
        L"Helmview 2.3 has been detected on this system. The Helmview installer will uninstall the current "
        L"version and install version 2.2.9.");
    EXPECT_EQ(
        OpeningScreenBody(InstallerScreen::NewerVersionInstalled),
        L"Helmview version 2.3 is already installed. You must uninstall it before you can install version "
        L"2.2.9.");
}

TEST_F(ScreenTexts, IncompleteInstallIsEmptyInSimplifiedChinese) {
    Versions(L"", L"2.2.0.1");
    Catalog().SetLanguage(L"zh-CN");
    EXPECT_EQ(OpeningScreenBody(InstallerScreen::IncompleteInstall), L"");
    EXPECT_NE(OpeningScreenBody(InstallerScreen::Welcome), L"");
}

TEST_F(ScreenTexts, FinishMessages) {
    Versions(L"", L"2.2.0.1");
    EXPECT_EQ(InstallFinishedMessage(), L"Helmview version 2.2.0.1 was successfully installed.");
    EXPECT_EQ(UninstallFinishedMessage(), L"Helmview was successfully uninstalled.");
    EXPECT_EQ(CancelledFinishedMessage(), L"The installation was cancelled.");
}

TEST_F(ScreenTexts, LanguageWithoutTranslationsLeavesOnlyTheJoiningCharacters) {
    Versions(L"", L"2.2.0.1");
    Catalog().SetLanguage(L"fi-FI");
    EXPECT_EQ(VersionLineText(ShownVersion()), L": 2.2.0.1");
    EXPECT_EQ(InstallerVersionLineText(), L" : " + InstallerOwnVersion());
}

} // namespace
