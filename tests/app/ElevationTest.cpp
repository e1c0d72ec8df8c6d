#include "app/Elevation.h"
#include "app/TempRelaunchName.h"
#include "i18n/TranslationCatalog.h"
#include "platform/SystemFolders.h"
#include "profile/ProductProfile.h"
#include "tests/app/AppTestSupport.h"
#include "report/OutcomeReport.h"

#include <gtest/gtest.h>

#include "MessageCapture.h"
#include "TestFiles.h"

#include <windows.h>

#include <string>
#include <vector>

using namespace helmtest;

namespace {

constexpr wchar_t kProbeVariable[] = L"HELM_RELAUNCH_PROBE_FILE";
constexpr wchar_t kRootVariable[] = L"HELM_ELEVATION_TEST_ROOT";

// A scratch folder in drive C's temporary-files folder, removed afterwards.
class Elevation : public StartupTest {
  protected:
    void SetUp() override {
        StartupTest::SetUp();
        // A death test's child runs the test again from the start: it must
        // work in the scratch folder of the parent, whose name it inherits.
        wchar_t inherited[MAX_PATH] = {};
        if (std::wstring(::GetCommandLineW()).find(L"gtest_internal_run_death_test") != std::wstring::npos &&
            ::GetEnvironmentVariableW(kRootVariable, inherited, MAX_PATH) > 0) {
            root = inherited;
        } else {
            root = UserTempFolder() + L"helm-elevation-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                   std::to_wstring(::GetTickCount());
            ASSERT_TRUE(::CreateDirectoryW(root.c_str(), nullptr));
            ASSERT_TRUE(::SetEnvironmentVariableW(kRootVariable, root.c_str()));
        }
        temp = root + L"\\temp\\";
    }
    void TearDown() override {
        StartupTest::TearDown();
        DeleteTree(root);
    }

    std::wstring root;
    std::wstring temp; // stands in for the temporary-files folder; not created yet
};

TEST_F(Elevation, UserTempFolderIsFullyQualifiedAndExists) {
    const std::wstring folder = UserTempFolder();
    EXPECT_TRUE(IsFullyQualifiedFolder(folder)) << Narrow(folder);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_TRUE(FolderExists(folder));
}

TEST_F(Elevation, FreshFolderIsCreatedWithItsParents) {
    const std::wstring deep = root + L"\\a\\b\\c\\";
    const FreshFolder folder = CreateFreshTempFolder(deep, 77, 0);
    ASSERT_EQ(folder.status, FreshFolder::Status::Created);
    EXPECT_EQ(folder.path, deep + L"s2d.0");
    EXPECT_TRUE(FolderExists(folder.path));
    EXPECT_TRUE(FolderEntries(folder.path).empty());
}

TEST_F(Elevation, PlantedNamesAreNeverReused) {
    ASSERT_EQ(CreateFreshTempFolder(temp, 5, 99).status, FreshFolder::Status::Created); // makes temp
    const std::wstring planted = TemporaryName(temp, TemporaryNameToken(5, 0));
    ASSERT_TRUE(::CreateDirectoryW(planted.c_str(), nullptr));
    WriteBytes(planted + L"\\evil.dll", "planted");
    WriteBytes(TemporaryName(temp, TemporaryNameToken(5, 1)), "a file, not a folder");

    const FreshFolder folder = CreateFreshTempFolder(temp, 5, 0);
    ASSERT_EQ(folder.status, FreshFolder::Status::Created);
    EXPECT_EQ(folder.path, TemporaryName(temp, TemporaryNameToken(5, 2)));
    EXPECT_TRUE(FolderEntries(folder.path).empty());
    EXPECT_EQ(ReadBytes(planted + L"\\evil.dll"), "planted");
}

TEST_F(Elevation, NoRelaunchFromInsideTheTemporaryFolder) {
    ASSERT_TRUE(::CreateDirectoryW(temp.c_str(), nullptr));
    const std::wstring upper = root + L"\\TEMP\\s1.0\\setup.exe";
    RelaunchFromTempFolder(L"-uninstall", upper, L"setup.exe", temp); // returns: goes on
    // A sibling folder whose name only extends the temporary folder's.
    RelaunchFromTempFolder(L"", root + L"\\temporary\\setup.exe", L"setup.exe", temp);
    EXPECT_TRUE(FolderEntries(temp).empty());
}

TEST_F(Elevation, RootRelativeTemporaryFolderShowsTheTempNameError) {
    EXPECT_EXIT(RelaunchFromTempFolder(L"", root + L"\\x\\setup.exe", L"setup.exe", L"\\"),
                ::testing::ExitedWithCode(0), "MESSAGE \\[Error\\] Failed to establish temp name\n");
}

TEST_F(Elevation, FolderBelowAFileFailsAndItsMessageShowsTheErrorNumber) {
    WriteBytes(root + L"\\file", "x");
    const std::wstring badTemp = root + L"\\file\\temp\\";
    const FreshFolder folder = CreateFreshTempFolder(badTemp, 1, 0);
    EXPECT_EQ(folder.status, FreshFolder::Status::Failed);
    EXPECT_TRUE(folder.path.empty());
    ASSERT_NE(folder.error, 0u);
    EXPECT_EXIT(
        RelaunchFromTempFolder(L"", OwnProgramPath(), L"setup.exe", badTemp), ::testing::ExitedWithCode(0),
        "MESSAGE \\[Error\\] Failed to create folder\\.\\(error code: " + std::to_string(folder.error) +
            "\\)\n");
}

TEST_F(Elevation, CopyFailureShowsTheErrorNumber) {
    EXPECT_EXIT(RelaunchFromTempFolder(L"", root + L"\\missing.exe", L"missing.exe", temp),
                ::testing::ExitedWithCode(0),
                "MESSAGE \\[Error\\] Failed to copy program\\(error code 2\\)\n");
    // The folder was made before the copy failed; it holds nothing.
    const std::vector<std::wstring> made = FolderEntries(temp);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_TRUE(FolderEntries(temp + made[0]).empty());
}

// Run by RelaunchesACopyWithTheSameArguments in the relaunched copy only.
TEST(RelaunchProbe, DISABLED_RecordCommandLine) {
    wchar_t file[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableW(kProbeVariable, file, MAX_PATH), 0u);
    std::wstring record = OwnProgramPath() + L"\n" + ::GetCommandLineW();
    std::string bytes(reinterpret_cast<const char*>(record.data()), record.size() * sizeof(wchar_t));
    WriteBytes(std::wstring(file) + L".part", bytes);
    ASSERT_TRUE(::MoveFileW((std::wstring(file) + L".part").c_str(), file));
}

TEST_F(Elevation, RelaunchesACopyWithTheSameArguments) {
    const std::wstring probe = root + L"\\probe.txt";
    ASSERT_TRUE(::SetEnvironmentVariableW(kProbeVariable, probe.c_str()));
    const std::wstring arguments = L"--gtest_filter=RelaunchProbe.DISABLED_RecordCommandLine "
                                   L"--gtest_also_run_disabled_tests -test \"http://a b/\" -uninstall";
    EXPECT_EXIT(RelaunchFromTempFolder(arguments, OwnProgramPath(), L"Probe Setup.exe", temp),
                ::testing::ExitedWithCode(0), "^$");
    ::SetEnvironmentVariableW(kProbeVariable, nullptr);

    const std::vector<std::wstring> made = FolderEntries(temp);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].compare(0, 1, L"s"), 0);
    const std::wstring copy = temp + made[0] + L"\\Probe Setup.exe";
    EXPECT_TRUE(FileExists(copy));

    std::string bytes;
    for (int i = 0; i < 300 && bytes.empty(); ++i) {
        ::Sleep(100);
        bytes = ReadBytes(probe);
    }
    ASSERT_FALSE(bytes.empty()) << "the relaunched copy did not run";
    const std::wstring record(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    const std::size_t newline = record.find(L'\n');
    ASSERT_NE(newline, std::wstring::npos);
    EXPECT_EQ(AsciiLowerCase(record.substr(0, newline)), AsciiLowerCase(copy));
    const std::wstring commandLine = record.substr(newline + 1);
    ASSERT_GE(commandLine.size(), arguments.size());
    EXPECT_EQ(commandLine.substr(commandLine.size() - arguments.size()), arguments) << Narrow(commandLine);
    // The copy may still be ending; let go of its file before the clean-up.
    for (int i = 0; i < 100 && !::DeleteFileW(copy.c_str()); ++i)
        ::Sleep(50);
}

TEST_F(Elevation, AdministratorPassesSilently) {
    // The test prefix runs as an administrator.
    MessageCapture capture;
    EXPECT_TRUE(IsRunningAsAdmin());
    EXPECT_TRUE(capture.Messages().empty());
}

TEST_F(Elevation, TokenWithoutAdministratorsFailsAndNamesTheProduct) {
    MessageCapture capture;
    bool admin = true;
    {
        WithoutAdministrators restricted;
        ASSERT_TRUE(restricted.active());
        admin = IsRunningAsAdmin();
    }
    EXPECT_FALSE(admin);
    EXPECT_EQ(capture.Messages(), (std::vector<ShownMessage>{
                                      {L"Administrative privilege is required to run the Helmview installer",
                                       L"Admin Required"}}));
    // Back under the process's own token the test passes again.
    capture.Clear();
    EXPECT_TRUE(IsRunningAsAdmin());
    EXPECT_TRUE(capture.Messages().empty());
}

} // namespace
