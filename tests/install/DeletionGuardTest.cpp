#include "install/DeletionGuard.h"

#include <gtest/gtest.h>

namespace {

ProtectedFolders Machine() {
    ProtectedFolders p;
    p.folders = {L"C:\\Windows",
                 L"C:\\Windows\\System32",
                 L"C:\\Program Files",
                 L"C:\\Program Files (x86)",
                 L"C:\\ProgramData",
                 L"C:\\Users",
                 L"C:\\Users\\Ann",
                 L"C:\\Users\\Ann\\Desktop\\",
                 L"D:\\Data\\Profiles\\Bob"};
    p.trees = {L"C:\\Windows"};
    p.profilesFolder = L"C:\\Users";
    return p;
}

bool Deletable(const std::wstring& path) {
    return IsDeletableFolder(path, Machine());
}

} // namespace

TEST(DeletionGuard, AcceptsOrdinaryInstallFolders) {
    EXPECT_TRUE(Deletable(L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\"));
    EXPECT_TRUE(Deletable(L"C:\\Program Files (x86)\\Norvale\\"));
    EXPECT_TRUE(Deletable(L"C:\\Program Files (x86)\\Tessaro\\SSD Helmview"));
    EXPECT_TRUE(Deletable(L"D:\\Tools\\SSD Helmview\\"));
    EXPECT_TRUE(Deletable(L"C:\\Users\\Ann\\AppData\\Local\\Helmview\\")) << "inside a profile is fine";
    EXPECT_TRUE(Deletable(L"C:\\Program Files (x86)\\Norv\u00e4le\\SSD Helmview\\"));
}

TEST(DeletionGuard, RefusesEmptyRelativeAndRootPaths) {
    for (const wchar_t* path :
         {L"", L"\\", L"SSD Helmview\\", L"Norvale\\SSD Helmview", L"C:", L"C:\\", L"c:\\\\",
          L"C:SSD Helmview\\", L"\\Program Files\\Norvale\\", L"\\\\server\\share\\", L"\\\\server\\share",
          L"\\\\server", L"\\\\?\\C:\\Tools\\SSD Helmview\\", L"\\\\.\\C:\\Tools\\", L"1:\\Tools\\"})
        EXPECT_FALSE(Deletable(path)) << ::testing::PrintToString(std::wstring(path));
}

TEST(DeletionGuard, RefusesEveryUncAndDevicePath) {
    // An administrative share reaches the system drive past every protected
    // name; no share is told apart from that.
    for (const wchar_t* path :
         {L"\\\\localhost\\C$\\Users\\", L"\\\\127.0.0.1\\c$\\Program Files (x86)\\Norvale\\SSD Helmview\\",
          L"\\\\server\\share\\Helmview\\", L"//server/share/Helmview/", L"\\/server\\share\\Helmview",
          L"\\\\?\\UNC\\server\\share\\Helmview\\", L"\\\\?\\C:\\Tools\\SSD Helmview\\",
          L"\\\\.\\C:\\Tools\\SSD Helmview\\", L"\\\\.\\pipe\\Helmview", L"\\??\\C:\\Tools\\SSD Helmview\\"})
        EXPECT_FALSE(Deletable(path)) << ::testing::PrintToString(std::wstring(path));
}

TEST(DeletionGuard, RefusesStepsWindowsWouldRewrite) {
    for (const wchar_t* path : {L"C:\\Program Files (x86)\\Norvale\\..\\",
                                L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\..\\..",
                                L"C:\\Tools\\.\\SSD Helmview\\", L"C:\\Windows.\\", L"C:\\Program Files \\",
                                L"C:\\Tools\\\\Helmview", L"C:\\Tools\\Helmview:stream", L"C:\\Tools\\*"})
        EXPECT_FALSE(Deletable(path)) << ::testing::PrintToString(std::wstring(path));
}

TEST(DeletionGuard, RefusesSystemFoldersInAnyCaseAndSeparator) {
    for (const wchar_t* path : {L"C:\\Windows", L"C:\\windows\\", L"c:\\WINDOWS\\\\", L"C:/Windows/",
                                L"C:\\Program Files", L"C:\\program files (x86)\\", L"C:\\ProgramData\\",
                                L"C:\\Users\\", L"C:\\Users\\Ann\\Desktop", L"D:\\Data\\Profiles\\Bob\\"})
        EXPECT_FALSE(Deletable(path)) << ::testing::PrintToString(std::wstring(path));
}

TEST(DeletionGuard, RefusesEveryFolderThatHoldsAProtectedOne) {
    EXPECT_FALSE(Deletable(L"D:\\Data\\"));
    EXPECT_FALSE(Deletable(L"D:\\Data\\Profiles"));
    EXPECT_FALSE(Deletable(L"C:\\Users\\Ann\\"));
    EXPECT_TRUE(Deletable(L"D:\\Data\\Profiles\\Bobby\\")) << "a name that only starts like a protected one";
    EXPECT_TRUE(Deletable(L"C:\\Program Files (x86)x\\"));
}

TEST(DeletionGuard, RefusesEverythingInsideTheWindowsFolder) {
    EXPECT_FALSE(Deletable(L"C:\\Windows\\Temp\\"));
    EXPECT_FALSE(Deletable(L"C:\\windows\\SSD Helmview\\"));
    EXPECT_FALSE(Deletable(L"C:\\Windows\\System32\\drivers\\etc"));
    EXPECT_TRUE(Deletable(L"C:\\Windows2\\SSD Helmview\\"));
}

TEST(DeletionGuard, RefusesEveryUsersProfileButNotFoldersInsideOne) {
    EXPECT_FALSE(Deletable(L"C:\\Users\\Bob\\")) << "not listed, but directly in the profiles folder";
    EXPECT_FALSE(Deletable(L"C:\\users\\Public"));
    EXPECT_TRUE(Deletable(L"C:\\Users\\Bob\\Tools\\SSD Helmview\\"));
}

TEST(DeletionGuard, WithNothingProtectedStillRefusesRoots) {
    const ProtectedFolders none;
    EXPECT_TRUE(IsDeletableFolder(L"C:\\Windows\\", none));
    EXPECT_FALSE(IsDeletableFolder(L"C:\\", none));
    EXPECT_FALSE(IsDeletableFolder(L"", none));
}
