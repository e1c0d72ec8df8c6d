#include "i18n/TranslationCatalog.h"
#include "platform/OwnExecutable.h"
#include "profile/ProductProfile.h"
#include "ui/InstallFolder.h"
#include "ui/UserMessage.h"

#include <gtest/gtest.h>

#include "MessageCapture.h"
#include "TestFiles.h"

#include <windows.h>

#include <string>
#include <vector>

using namespace helmtest;

namespace {

std::wstring SelfPath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// A private "Program Files" below the build tree for each test, so the
// install folder the profile names is one the test may create and delete.
class InstallFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = info->name();
        root = std::wstring(HELM_BINARY_DIR) + L"\\window-tests\\" + std::wstring(name.begin(), name.end());
        DeleteTree(root);
        programFiles = root + L"\\Program Files (x86)";
        Profile().InitFrom(L"https://x/", SelfPath(), programFiles);
        // As the start-up does.
        ASSERT_TRUE(HoldOwnExecutable(SelfPath()));
        helmtest::UseEnglishTexts();
        SetUserMessageSink([this](const std::wstring& text, const std::wstring& caption) {
            messages.push_back(caption + L"|" + text);
            // Seen by the parent of a death test.
            PrintMessageToStderr(text, caption);
        });
    }
    void TearDown() override {
        SetUserMessageSink(nullptr);
        DeleteTree(root);
    }

    std::wstring root;
    std::wstring programFiles;
    std::vector<std::wstring> messages;
};

TEST_F(InstallFolder, CreatesTheInstallFolderWithItsParents) {
    ASSERT_FALSE(FolderExists(programFiles));
    EnsureInstallFolder();
    EXPECT_TRUE(FolderExists(Profile().installDir()));
    EXPECT_EQ(Profile().installDir(), programFiles + L"\\Norvale\\SSD Helmview\\");
    // Already there: nothing to do, nothing said.
    EnsureInstallFolder();
    EXPECT_TRUE(messages.empty());
}

TEST_F(InstallFolder, FolderThatCannotBeCreatedEndsTheProcessAfterTheMessage) {
    // A file where the maker folder should be blocks the whole path.
    ::CreateDirectoryW(root.c_str(), nullptr);
    ::CreateDirectoryW(programFiles.c_str(), nullptr);
    WriteBytes(programFiles + L"\\Norvale", "in the way");
    EXPECT_EXIT(EnsureInstallFolder(), ::testing::ExitedWithCode(0),
                "MESSAGE \\[Error\\] Failed to create folder\\.  .*Norvale.SSD Helmview.");
}

TEST_F(InstallFolder, CopiesTheRunningInstallerOverAnOlderCopy) {
    EnsureInstallFolder();
    const std::wstring target = Profile().installDir() + L"window_tests.exe";
    WriteBytes(target, "an older installer");
    EXPECT_TRUE(CopySelfToInstallFolder());
    EXPECT_TRUE(ReadBytes(target) == ReadBytes(SelfPath()));
    EXPECT_TRUE(messages.empty());
    // Held since the start: no other file can take the running file's name
    // before the next copy.
    const std::wstring moved = root + L"\\moved.exe";
    EXPECT_FALSE(::MoveFileW(SelfPath().c_str(), moved.c_str()));
    EXPECT_FALSE(FileExists(moved));
}

TEST_F(InstallFolder, FailedCopyIsReportedAndReturnsFalse) {
    EnsureInstallFolder();
    // A folder of the installer's name can neither be deleted as a file nor overwritten.
    const std::wstring target = Profile().installDir() + L"window_tests.exe";
    ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
    EXPECT_FALSE(CopySelfToInstallFolder());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"Error|Failed to copy program  " + target);
}

TEST_F(InstallFolder, InstallerRunningFromTheInstallFolderLeavesItsFileAlone) {
    EnsureInstallFolder();
    const std::wstring target = Profile().installDir() + L"setup.exe";
    WriteBytes(target, "the running copy");
    Profile().InitFrom(L"https://x/", target, programFiles);
    EXPECT_TRUE(CopySelfToInstallFolder());
    EXPECT_EQ(FileSize(target), 16u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(InstallFolder, LaunchPrefersTheShortApplicationName) {
    EnsureInstallFolder();
    const std::wstring dir = Profile().installDir();
    EXPECT_EQ(ApplicationToLaunch(), dir + L"NorvaleSSDHelmview.exe");
    WriteBytes(dir + L"Helmview.exe", "app");
    EXPECT_EQ(ApplicationToLaunch(), dir + L"Helmview.exe");
}

} // namespace
