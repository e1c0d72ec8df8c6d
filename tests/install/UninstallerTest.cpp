#include "install/Uninstaller.h"

#include "EngineTestSupport.h"
#include "InstallTestSupport.h"
#include "common/UniqueHandle.h"
#include "install/ProtectedSystemFolders.h"
#include "install/Shortcuts.h"
#include "platform/SystemFolders.h"
#include "profile/ProductProfile.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

using namespace helmtest;

namespace {

using Values = std::vector<std::int32_t>;
const Values kSteps = {20, 40, 60, 100};

class Uninstall : public ::testing::Test {
  protected:
    void SetUp() override {
        ForgetInstallations();
        profile_.InitProductProfile(L"http://127.0.0.1:9/");
        norvaleMaker_ = ProgramFilesX86Path() + L"\\Norvale\\";
        tessaroMaker_ = ProgramFilesX86Path() + L"\\Tessaro\\";
    }
    void TearDown() override { ForgetInstallations(); }

    // An installation of one brand as the installer leaves it, with a loose
    // file and another product's folder beside it in the maker folder.
    std::wstring FakeInstallation(const std::wstring& maker, const std::wstring& settingsKey) {
        const std::wstring folder = maker + L"SSD Helmview\\";
        MakeFolders(folder + L"data\\sub");
        EXPECT_TRUE(
            ::CopyFileW(FixtureProgram(L"Helmview.exe").c_str(), (folder + L"Helmview.exe").c_str(), FALSE));
        WriteBytes(folder + L"data\\sub\\settings.ini", "[fixture]\n");
        WriteBytes(folder + L"donn\u00e9es-\u00e9.txt", "text");
        WriteBytes(maker + L"maker.log", "loose");
        MakeFolders(maker + L"Other Product");
        WriteBytes(maker + L"Other Product\\keep.txt", "keep");
        WriteMachineDword(settingsKey, L"IsInstalled", 3);
        WriteMachineString(settingsKey, L"InstallPath", folder);
        return folder;
    }

    void FakeShortcuts() {
        for (const std::wstring& file : KnownShortcutFiles())
            WriteBytes(file, "lnk");
    }

    Values Run() {
        InstallSession session;
        Uninstaller uninstaller(profile_, session);
        ProgressFollower follower;
        session.SetProgressObserver(follower.Observer());
        const Values values =
            follower.Follow([&] { uninstaller.RemoveInstallation(); }, [&] { return session.GetProgress(); });
        EXPECT_EQ(session.GetProgress(), 100);
        return values;
    }

    void ExpectMakerFolderKeptWithoutLooseFiles(const std::wstring& maker) {
        EXPECT_EQ(FilesBelow(maker), std::vector<std::wstring>{L"Other Product\\keep.txt"}) << Narrow(maker);
    }

    void ExpectNoShortcuts() {
        for (const std::wstring& file : KnownShortcutFiles())
            EXPECT_FALSE(FileExists(file)) << Narrow(file);
    }

    ProductProfile profile_;
    std::wstring norvaleMaker_;
    std::wstring tessaroMaker_;
};

} // namespace

TEST_F(Uninstall, RemovesANorvaleInstallation) {
    const std::wstring folder = FakeInstallation(norvaleMaker_, kNorvaleSettingsKey);
    WriteMachineString(kNorvaleSettingsKey, L"CurrentCulture", L"de-DE");
    WriteMachineString(kNorvaleUninstallKey, L"DisplayVersion", L"2.2.0.1");
    FakeShortcuts();

    EXPECT_EQ(Run(), kSteps);

    EXPECT_FALSE(FolderExists(folder));
    ExpectMakerFolderKeptWithoutLooseFiles(norvaleMaker_);
    ExpectNoShortcuts();
    EXPECT_FALSE(MachineKeyExists(kNorvaleUninstallKey));
    EXPECT_EQ(ReadMachineString(kNorvaleSettingsKey, L"InstallPath"), L"");
    EXPECT_EQ(ReadMachineString(kNorvaleSettingsKey, L"CurrentCulture"), L"de-DE")
        << "the language outlives it";
    EXPECT_EQ(SettingsStore(profile_).GetIsInstalled(L"Norvale"), 5u);
    EXPECT_EQ(SettingsStore(profile_).GetIsInstalled(L"Tessaro"), 5u);
}

TEST_F(Uninstall, ARecordedFolderThatWasNeverMadeLeavesTheOtherStepsToRun) {
    MakeFolders(norvaleMaker_);
    WriteBytes(norvaleMaker_ + L"maker.log", "loose");
    WriteMachineDword(kNorvaleSettingsKey, L"IsInstalled", 1);
    WriteMachineString(kNorvaleSettingsKey, L"InstallPath", norvaleMaker_ + L"SSD Helmview\\");
    FakeShortcuts();

    EXPECT_EQ(Run(), kSteps);

    EXPECT_FALSE(FolderExists(norvaleMaker_)) << "the maker folder, left empty, goes too";
    ExpectNoShortcuts();
    EXPECT_EQ(SettingsStore(profile_).GetIsInstalled(L"Norvale"), 5u);
}

TEST_F(Uninstall, RemovesATessaroInstallationWhenOnlyItIsRecorded) {
    const std::wstring folder = FakeInstallation(tessaroMaker_, kTessaroSettingsKey);
    WriteMachineString(kTessaroUninstallKey, L"DisplayVersion", L"1.9.0.0");

    EXPECT_EQ(Run(), kSteps);

    EXPECT_FALSE(FolderExists(folder));
    ExpectMakerFolderKeptWithoutLooseFiles(tessaroMaker_);
    EXPECT_FALSE(MachineKeyExists(kTessaroSettingsKey));
    EXPECT_FALSE(MachineKeyExists(kTessaroUninstallKey));
}

TEST_F(Uninstall, RemovesBothBrands) {
    const std::wstring norvale = FakeInstallation(norvaleMaker_, kNorvaleSettingsKey);
    const std::wstring tessaro = FakeInstallation(tessaroMaker_, kTessaroSettingsKey);
    FakeShortcuts();

    EXPECT_EQ(Run(), kSteps);

    EXPECT_FALSE(FolderExists(norvale));
    EXPECT_FALSE(FolderExists(tessaro));
    ExpectMakerFolderKeptWithoutLooseFiles(norvaleMaker_);
    ExpectMakerFolderKeptWithoutLooseFiles(tessaroMaker_);
    ExpectNoShortcuts();
    EXPECT_EQ(SettingsStore(profile_).GetIsInstalled(L"Norvale"), 5u);
    EXPECT_EQ(SettingsStore(profile_).GetIsInstalled(L"Tessaro"), 5u);
}

TEST_F(Uninstall, StopsTheRunningApplicationFirst) {
    const std::wstring folder = FakeInstallation(norvaleMaker_, kNorvaleSettingsKey);
    FixtureLog log;
    unique_handle app(StartProgram(folder + L"Helmview.exe", L""));
    ASSERT_TRUE(app);
    for (int i = 0; i < 200 && log.Lines().empty(); ++i)
        ::Sleep(50);
    ASSERT_EQ(log.Lines().size(), 1u) << "the stand-in application did not start";

    EXPECT_EQ(Run(), kSteps);

    EXPECT_EQ(::WaitForSingleObject(app.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "still running";
    EXPECT_FALSE(FolderExists(folder));
}

TEST_F(Uninstall, AFileInUseStopsOnlyTheFolderDeletion) {
    const std::wstring folder = FakeInstallation(norvaleMaker_, kNorvaleSettingsKey);
    FakeShortcuts();
    const std::wstring busy = folder + L"data\\sub\\settings.ini";
    unique_hfile held(::CreateFileW(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);

    EXPECT_EQ(Run(), kSteps);

    EXPECT_TRUE(FileExists(busy));
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_FALSE(FileExists(norvaleMaker_ + L"maker.log")) << "the maker folder's step still ran";
    ExpectNoShortcuts();
    EXPECT_EQ(SettingsStore(profile_).GetIsInstalled(L"Norvale"), 5u);
}

TEST_F(Uninstall, RunsEveryStepAgainWhenRunTwice) {
    const std::wstring folder = FakeInstallation(norvaleMaker_, kNorvaleSettingsKey);

    EXPECT_EQ(Run(), kSteps);
    EXPECT_EQ(Run(), kSteps);

    EXPECT_FALSE(FolderExists(folder));
    EXPECT_EQ(SettingsStore(profile_).GetIsInstalled(L"Norvale"), 5u);
}

TEST_F(Uninstall, ARecordOfZeroTouchesNothingButStillEndsAt100) {
    const std::wstring folder = FakeInstallation(norvaleMaker_, kNorvaleSettingsKey);
    WriteMachineDword(kNorvaleSettingsKey, L"IsInstalled", 0);
    WriteMachineDword(kTessaroSettingsKey, L"IsInstalled", 0xFFFFFFFE); // -2 as a signed number
    FakeShortcuts();

    EXPECT_EQ(Run(), Values{100});

    EXPECT_TRUE(FileExists(folder + L"Helmview.exe"));
    EXPECT_TRUE(FileExists(norvaleMaker_ + L"maker.log"));
    EXPECT_TRUE(FileExists(KnownShortcutFiles()[0]));
    EXPECT_EQ(ReadMachineString(kNorvaleSettingsKey, L"InstallPath"), folder);
}

// Install paths that name the drive root or a folder of the system, as a
// damaged or hostile registry might: the uninstall must not delete there, nor
// empty the folder it takes for the maker folder, and must still finish.
class PoisonedInstallPath : public Uninstall, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(PoisonedInstallPath, DeletesNothingOutsideAnInstallFolder) {
    const std::wstring poisoned = GetParam();
    // Refused before anything is attempted: a broken guard must not get to
    // run against these.
    ASSERT_FALSE(MayDeleteFolder(poisoned.substr(0, poisoned.find(L"SSD Helmview\\")))) << Narrow(poisoned);
    const std::wstring tag = L"helm-canary-" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring windows = SystemFolderPath().substr(0, SystemFolderPath().rfind(L'\\') + 1);
    const std::vector<std::wstring> canaries = {L"C:\\" + tag + L".txt",
                                                L"C:\\" + tag + L"\\inside.txt",
                                                windows + tag + L".txt",
                                                ProgramFilesX86Path() + L"\\" + tag + L".txt",
                                                L"C:\\users\\" + tag + L".txt",
                                                DesktopFolder() + tag + L".txt",
                                                windows + L"SSD Helmview\\" + tag + L".txt",
                                                L"C:\\users\\SSD Helmview\\" + tag + L".txt"};
    MakeFolders(L"C:\\" + tag);
    MakeFolders(windows + L"SSD Helmview");
    MakeFolders(L"C:\\users\\SSD Helmview");
    for (const std::wstring& canary : canaries)
        WriteBytes(canary, "canary");
    WriteMachineDword(kNorvaleSettingsKey, L"IsInstalled", 3);
    WriteMachineString(kNorvaleSettingsKey, L"InstallPath", poisoned);
    WriteMachineDword(kTessaroSettingsKey, L"IsInstalled", 3);
    WriteMachineString(kTessaroSettingsKey, L"InstallPath", poisoned);

    EXPECT_EQ(Run(), kSteps);

    for (const std::wstring& canary : canaries) {
        EXPECT_TRUE(FileExists(canary)) << Narrow(canary);
        ::DeleteFileW(canary.c_str());
    }
    ::RemoveDirectoryW((L"C:\\" + tag).c_str());
    ::RemoveDirectoryW((windows + L"SSD Helmview").c_str());
    ::RemoveDirectoryW(L"C:\\users\\SSD Helmview");
    EXPECT_EQ(SettingsStore(profile_).GetIsInstalled(L"Norvale"), 5u) << "the other steps ran";
}

INSTANTIATE_TEST_SUITE_P(Paths, PoisonedInstallPath,
                         ::testing::Values(L"C:\\", L"C:\\windows\\", L"", L"C:\\users\\",
                                           L"C:\\SSD Helmview\\", L"C:\\windows\\SSD Helmview\\",
                                           L"C:\\users\\SSD Helmview\\"));
