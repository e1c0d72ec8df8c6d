#include "profile/ProductProfile.h"
#include "platform/SystemFolders.h"

#include <gtest/gtest.h>

#include "TestFiles.h"

#include <windows.h>

namespace {

TEST(ProductProfile, BuildsServerAndInstallLocations) {
    ProductProfile p;
    p.InitFrom(L"https://example.test/", L"D:\\Downloads\\setup.exe", L"C:\\Program Files (x86)");
    EXPECT_EQ(p.serverFolderUrl(), L"https://example.test/zqHelmview/");
    EXPECT_EQ(p.makerFolder(), L"C:\\Program Files (x86)\\Norvale\\");
    EXPECT_EQ(p.installDir(), L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\");
    EXPECT_EQ(p.installDir() + p.exeName(), L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\Helmview.exe");
    EXPECT_EQ(p.modulePath(), L"D:\\Downloads\\setup.exe");
    EXPECT_EQ(p.moduleFileName(), L"setup.exe");
}

TEST(ProductProfile, JoinsBaseAddressWithoutAddingASeparator) {
    ProductProfile p;
    p.InitFrom(L"http://127.0.0.1:8080/mirror", L"setup.exe", L"C:\\PF");
    EXPECT_EQ(p.serverFolderUrl(), L"http://127.0.0.1:8080/mirrorzqHelmview/");
    // No backslash at all: the whole path is the file name.
    EXPECT_EQ(p.moduleFileName(), L"setup.exe");
}

TEST(ProductProfile, TheInstalledCopyNeverTakesAnApplicationsName) {
    const struct {
        const wchar_t* running;
        const wchar_t* copy;
    } cases[] = {
        {L"HelmviewSetup.exe", L"HelmviewSetup.exe"},      {L"setup (2).exe", L"setup (2).exe"},
        {L"Helmview.exe", L"HelmviewSetup.exe"},           {L"HELMVIEW.EXE", L"HelmviewSetup.exe"},
        {L"NorvaleSSDHelmview.exe", L"HelmviewSetup.exe"}, {L"tessarossdhelmview.exe", L"HelmviewSetup.exe"},
        {L"ZQSSDHelmview.exe", L"HelmviewSetup.exe"},      {L"Helmview.exe.exe", L"Helmview.exe.exe"},
    };
    for (const auto& c : cases) {
        ProductProfile p;
        p.InitFrom(L"https://x/", std::wstring(L"D:\\Downloads\\") + c.running, L"C:\\PF");
        EXPECT_EQ(p.moduleFileName(), c.running);
        EXPECT_EQ(p.installedCopyName(), c.copy) << c.running;
    }
}

TEST(ProductProfile, RunningInstanceUsesTheRealFolders) {
    ProductProfile p;
    p.InitProductProfile(L"https://x/");
    // The test program itself is the running executable.
    EXPECT_EQ(p.modulePath(), helmtest::OwnProgramPath());
    EXPECT_EQ(p.moduleFileName(), L"profile_tests.exe");
    // A 32-bit program on 64-bit Windows sees "Program Files (x86)".
    EXPECT_NE(p.makerFolder().find(L"Program Files (x86)\\Norvale\\"), std::wstring::npos) << p.makerFolder();
    EXPECT_EQ(p.installDir().back(), L'\\');
    EXPECT_TRUE(helmtest::FolderExists(p.makerFolder().substr(0, p.makerFolder().size() - 9)));
}

TEST(SystemFolder, IsAnExistingFolderHoldingTheSystemLibraries) {
    const std::wstring system = SystemFolderPath();
    ASSERT_FALSE(system.empty());
    EXPECT_NE(system.back(), L'\\');
    EXPECT_TRUE(helmtest::FolderExists(system));
    const DWORD attributes = ::GetFileAttributesW((system + L"\\kernel32.dll").c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
}

TEST(SystemFolder, ProgramFilesX86IsARealFolder) {
    const std::wstring programFiles = ProgramFilesX86Path();
    ASSERT_FALSE(programFiles.empty());
    EXPECT_NE(programFiles.back(), L'\\');
    EXPECT_TRUE(helmtest::FolderExists(programFiles)) << programFiles;
}

} // namespace
