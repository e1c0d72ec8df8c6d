#include "install/ProtectedSystemFolders.h"

#include "InstallTestSupport.h"
#include "install/Shortcuts.h"
#include "platform/SystemFolders.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace helmtest;

namespace {

std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return std::wstring(buffer, n < MAX_PATH ? n : 0);
}

std::wstring ShortForm(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = ::GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

} // namespace

TEST(MayDeleteFolder, RefusesTheSystemsOwnFolders) {
    const std::wstring windows = Environment(L"SystemRoot");
    ASSERT_FALSE(windows.empty());
    const std::wstring profile = Environment(L"USERPROFILE");
    ASSERT_FALSE(profile.empty());
    const std::wstring programFilesX86 = ProgramFilesX86Path();
    const std::wstring paths[] = {windows,
                                  windows + L"\\",
                                  SystemFolderPath(),
                                  windows + L"\\Temp\\",
                                  programFilesX86,
                                  programFilesX86 + L"\\",
                                  Environment(L"ProgramFiles"),
                                  Environment(L"ProgramW6432"),
                                  Environment(L"ProgramData"),
                                  profile,
                                  profile + L"\\..\\",
                                  DesktopFolder(),
                                  CommonProgramsFolder(),
                                  L"C:\\users\\",
                                  L"C:\\users\\SomebodyElse\\",
                                  L"C:\\",
                                  L"",
                                  L"Norvale\\SSD Helmview\\",
                                  programFilesX86 + L"\\Norvale\\..\\"};
    for (const std::wstring& path : paths)
        EXPECT_FALSE(MayDeleteFolder(path)) << Narrow(path);
}

TEST(MayDeleteFolder, SeesThroughShortNames) {
    const std::wstring programFilesX86 = ProgramFilesX86Path();
    const std::wstring shortForm = ShortForm(programFilesX86);
    if (shortForm.empty() || shortForm == programFilesX86)
        GTEST_SKIP() << "no short name for " << Narrow(programFilesX86);
    EXPECT_FALSE(MayDeleteFolder(shortForm)) << Narrow(shortForm);
}

TEST(MayDeleteFolder, AcceptsInstallFoldersAndScratchFolders) {
    ScratchFolder folder(L"may delete \u00e9");
    EXPECT_TRUE(MayDeleteFolder(folder.path()));
    EXPECT_TRUE(MayDeleteFolder(ProgramFilesX86Path() + L"\\Norvale\\SSD Helmview\\"));
    EXPECT_TRUE(MayDeleteFolder(ProgramFilesX86Path() + L"\\Norvale\\"));
}
