#include "i18n/TranslationCatalog.h"
#include "profile/ProductProfile.h"
#include "ui/InstallFolder.h"
#include "ui/UserMessage.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::wstring SelfPath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

void RemoveTree(const std::wstring& path) {
    std::wstring from = path;
    from.push_back(L'\0'); // double-terminated list
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    ::SHFileOperationW(&op);
}

void WriteFile(const std::wstring& path, const std::string& content) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool IsFolder(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// A private "Program Files" below the build tree for each test, so the
// install folder the profile names is one the test may create and delete.
class InstallFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = info->name();
        root = std::wstring(HELM_BINARY_DIR) + L"\\window-tests\\" + std::wstring(name.begin(), name.end());
        RemoveTree(root);
        programFiles = root + L"\\Program Files (x86)";
        Profile().InitFrom(L"https://x/", SelfPath(), programFiles);
        Catalog().LoadAll();
        Catalog().SetLanguage(L"en-US");
        SetUserMessageSink([this](const std::wstring& text, const std::wstring& caption) {
            messages.push_back(caption + L"|" + text);
            // Seen by the parent of a death test.
            std::fwprintf(stderr, L"message: %ls|%ls\n", caption.c_str(), text.c_str());
        });
    }
    void TearDown() override {
        SetUserMessageSink(nullptr);
        RemoveTree(root);
    }

    std::wstring root;
    std::wstring programFiles;
    std::vector<std::wstring> messages;
};

TEST_F(InstallFolder, CreatesTheInstallFolderWithItsParents) {
    ASSERT_FALSE(IsFolder(programFiles));
    EnsureInstallFolder();
    EXPECT_TRUE(IsFolder(Profile().installDir()));
    EXPECT_EQ(Profile().installDir(), programFiles + L"\\Norvale\\SSD Helmview\\");
    // Already there: nothing to do, nothing said.
    EnsureInstallFolder();
    EXPECT_TRUE(messages.empty());
}

TEST_F(InstallFolder, FolderThatCannotBeCreatedEndsTheProcessAfterTheMessage) {
    // A file where the maker folder should be blocks the whole path.
    ::CreateDirectoryW(root.c_str(), nullptr);
    ::CreateDirectoryW(programFiles.c_str(), nullptr);
    WriteFile(programFiles + L"\\Norvale", "in the way");
    EXPECT_EXIT(EnsureInstallFolder(), ::testing::ExitedWithCode(0),
                "message: Error\\|Failed to create folder\\.  .*Norvale.SSD Helmview.");
}

TEST_F(InstallFolder, CopiesTheRunningInstallerOverAnOlderCopy) {
    EnsureInstallFolder();
    const std::wstring target = Profile().installDir() + L"window_tests.exe";
    WriteFile(target, "an older installer");
    EXPECT_TRUE(CopySelfToInstallFolder());
    EXPECT_EQ(FileSize(target), FileSize(SelfPath()));
    EXPECT_TRUE(messages.empty());
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
    WriteFile(target, "the running copy");
    Profile().InitFrom(L"https://x/", target, programFiles);
    EXPECT_TRUE(CopySelfToInstallFolder());
    EXPECT_EQ(FileSize(target), 16);
    EXPECT_TRUE(messages.empty());
}

TEST_F(InstallFolder, LaunchPrefersTheShortApplicationName) {
    EnsureInstallFolder();
    const std::wstring dir = Profile().installDir();
    EXPECT_EQ(ApplicationToLaunch(), dir + L"NorvaleSSDHelmview.exe");
    WriteFile(dir + L"Helmview.exe", "app");
    EXPECT_EQ(ApplicationToLaunch(), dir + L"Helmview.exe");
}

} // namespace
