#include "install/InstallFolder.h"
#include "platform/OwnExecutable.h"
#include "profile/ProductProfile.h"

#include <gtest/gtest.h>

#include "TestFiles.h"

#include <windows.h>

#include <string>
#include <vector>

using namespace helmtest;

namespace {

std::wstring SelfName() {
    const std::wstring path = OwnProgramPath();
    return path.substr(path.find_last_of(L'\\') + 1);
}

// A private "Program Files" below the build tree for each test, so the
// install folder the profile names is one the test may create and delete.
class InstallFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = info->name();
        root = std::wstring(HELM_BINARY_DIR) + L"\\install-folder-tests\\" +
               std::wstring(name.begin(), name.end());
        DeleteTree(root);
        programFiles = root + L"\\Program Files (x86)";
        profile.InitFrom(L"https://x/", OwnProgramPath(), programFiles);
        // As the start-up does.
        ASSERT_TRUE(HoldOwnExecutable(OwnProgramPath()));
    }
    void TearDown() override { DeleteTree(root); }

    ProductProfile profile;
    std::wstring root;
    std::wstring programFiles;
};

TEST_F(InstallFolder, CreatesTheInstallFolderWithItsParents) {
    ASSERT_FALSE(FolderExists(programFiles));
    EXPECT_EQ(EnsureInstallFolder(profile), Outcome{});
    EXPECT_TRUE(FolderExists(profile.installDir()));
    EXPECT_EQ(profile.installDir(), programFiles + L"\\Norvale\\SSD Helmview\\");
    // Already there: nothing to do.
    EXPECT_EQ(EnsureInstallFolder(profile), Outcome{});
}

TEST_F(InstallFolder, FolderThatCannotBeCreatedIsNamed) {
    // A file where the maker folder should be blocks the whole path.
    ::CreateDirectoryW(root.c_str(), nullptr);
    ::CreateDirectoryW(programFiles.c_str(), nullptr);
    WriteBytes(programFiles + L"\\Norvale", "in the way");
    EXPECT_EQ(EnsureInstallFolder(profile),
              (Outcome{Failure::InstallFolderNotCreated, {programFiles + L"\\Norvale\\SSD Helmview\\"}, 0}));
}

TEST_F(InstallFolder, CopiesTheRunningInstallerOverAnOlderCopy) {
    ASSERT_TRUE(EnsureInstallFolder(profile).Succeeded());
    const std::wstring target = profile.installDir() + SelfName();
    WriteBytes(target, "an older installer");
    EXPECT_EQ(CopySelfToInstallFolder(profile), Outcome{});
    EXPECT_TRUE(ReadBytes(target) == ReadBytes(OwnProgramPath()));
    // Held since the start: no other file can take the running file's name
    // before the next copy.
    const std::wstring moved = root + L"\\moved.exe";
    EXPECT_FALSE(::MoveFileW(OwnProgramPath().c_str(), moved.c_str()));
    EXPECT_FALSE(FileExists(moved));
}

TEST_F(InstallFolder, FailedCopyNamesItsTargetAndTheSystemsAnswer) {
    ASSERT_TRUE(EnsureInstallFolder(profile).Succeeded());
    // A folder of the installer's name can neither be deleted as a file nor overwritten.
    const std::wstring target = profile.installDir() + SelfName();
    ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
    const Outcome copied = CopySelfToInstallFolder(profile);
    EXPECT_EQ(copied.failure, Failure::CopyNotMade);
    EXPECT_EQ(copied.values, std::vector<std::wstring>{target});
    EXPECT_NE(copied.code, 0u);
}

TEST_F(InstallFolder, InstallerRunningFromTheInstallFolderLeavesItsFileAlone) {
    ASSERT_TRUE(EnsureInstallFolder(profile).Succeeded());
    const std::wstring target = profile.installDir() + L"setup.exe";
    WriteBytes(target, "the running copy");
    profile.InitFrom(L"https://x/", target, programFiles);
    EXPECT_EQ(CopySelfToInstallFolder(profile), Outcome{});
    EXPECT_EQ(FileSize(target), 16u);
}

TEST_F(InstallFolder, LaunchPrefersTheShortApplicationName) {
    ASSERT_TRUE(EnsureInstallFolder(profile).Succeeded());
    const std::wstring dir = profile.installDir();
    EXPECT_EQ(ApplicationToLaunch(profile), dir + L"NorvaleSSDHelmview.exe");
    WriteBytes(dir + L"Helmview.exe", "app");
    EXPECT_EQ(ApplicationToLaunch(profile), dir + L"Helmview.exe");
}

} // namespace
