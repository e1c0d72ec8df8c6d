#include "install/Installer.h"
#include "install/InstallSwitch.h"
#include "common/UniqueHandle.h"

#include "InstallSequenceTest.h"
#include "MessageCapture.h"
#include "TestServerClient.h"
#include "profile/ProductProfile.h"
#include "report/OutcomeReport.h"

#include <thread>

using namespace helmtest;

namespace {

using Values = std::vector<std::int32_t>;

const Values kWindows10Steps = {10, 15, 20, 30, 40, 50, 60, 80, 100};

class Install : public InstallSequence {
  protected:
    // Runs a whole install on a worker thread, following its progress; the
    // run's result goes to `result`.
    Values Run(Installer& installer, RunResult& result,
               const std::function<void(std::int32_t)>& onSeen = {}) {
        ProgressFollower follower;
        session_.SetProgressObserver(follower.Observer());
        return follower.Follow([&] { result = installer.Install(); }, [&] { return session_.GetProgress(); },
                               onSeen);
    }
    Values Run(Installer& installer, const std::function<void(std::int32_t)>& onSeen = {}) {
        RunResult ignored;
        return Run(installer, ignored, onSeen);
    }

    // An older installation as our installer leaves it: folder, records,
    // uninstall entry and shortcuts (the switch saves and restores them as
    // they are, whatever they hold).
    void RecordOlderInstallation() {
        MakeFolders(installDir_ + L"data");
        WriteBytes(installDir_ + L"Helmview.exe", "old application");
        WriteBytes(installDir_ + L"data\\old.cfg", "old settings");
        WriteMachineDword(kNorvaleSettingsKey, L"IsInstalled", 3);
        WriteMachineString(kNorvaleSettingsKey, L"InstallPath", installDir_);
        WriteMachineString(kNorvaleSettingsKey, L"CurrentVersion", L"2.1.0.0");
        WriteMachineString(kNorvaleUninstallKey, L"DisplayVersion", L"2.1.0.0");
        for (const std::wstring& lnk : {KnownShortcutFiles()[0], KnownShortcutFiles()[3]})
            WriteBytes(lnk, "old shortcut");
    }

    // What RecordOlderInstallation left, byte for byte, and nothing beside it.
    void ExpectOlderInstallationAsItWas() {
        EXPECT_EQ(FilesBelow(installDir_), (std::vector<std::wstring>{L"Helmview.exe", L"data\\old.cfg"}));
        EXPECT_EQ(ReadBytes(installDir_ + L"Helmview.exe"), "old application");
        EXPECT_EQ(FolderEntries(profile_.makerFolder()), std::vector<std::wstring>{L"SSD Helmview"})
            << "no staging or moved-aside folder is left";
        EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 3u);
        EXPECT_EQ(ReadMachineString(kNorvaleSettingsKey, L"CurrentVersion"), L"2.1.0.0");
        EXPECT_EQ(ReadMachineString(kNorvaleUninstallKey, L"DisplayVersion"), L"2.1.0.0");
        for (const std::wstring& lnk : {KnownShortcutFiles()[0], KnownShortcutFiles()[3]})
            EXPECT_EQ(ReadBytes(lnk), "old shortcut") << Narrow(lnk);
    }

    void ExpectShortcutsTo(const std::wstring& target) {
        for (const std::wstring& lnk : {KnownShortcutFiles()[0], KnownShortcutFiles()[3]}) {
            const ShortcutTarget read = ReadShortcut(lnk);
            ASSERT_TRUE(read.loaded) << Narrow(lnk);
            EXPECT_EQ(read.path, target);
            EXPECT_EQ(read.workingDirectory, installDir_);
            EXPECT_EQ(read.iconPath, target);
            EXPECT_EQ(read.iconIndex, 0);
        }
    }
};

} // namespace

TEST_F(Install, CompletesOnWindows10WithEveryStepInOrder) {
    Installer installer(profile_, ProductVersion(L"2.2.0.1"), session_);

    EXPECT_EQ(Run(installer), kWindows10Steps);

    // Prerequisites ran from the install folder, named in quotation marks;
    // without the marker key the older driver stays.
    EXPECT_EQ(log_->Lines(), (std::vector<std::wstring>{
                                 PrerequisiteLine(L"VC_redist.x86.exe", L"/quiet /norestart"),
                                 PrerequisiteLine(L"fenwick_hal_setup.exe", L"/install /quiet /norestart")}));
    EXPECT_EQ(FilesBelow(installDir_), PackageFilesWith(L"Helmview.exe")) << "no unzip.bat, no Helmview.zip";
    ExpectShortcutsTo(installDir_ + L"Helmview.exe");

    const std::wstring module = profile_.moduleFileName();
    EXPECT_EQ(module, L"install_sequence_tests.exe");
    EXPECT_EQ(ReadMachineString(kNorvaleUninstallKey, L"DisplayVersion"), L"2.2.0.1");
    EXPECT_EQ(ReadMachineString(kNorvaleSettingsKey, L"CurrentVersion"), L"2.2.0.1");
    EXPECT_EQ(ReadMachineString(kNorvaleUninstallKey, L"DisplayName"), L"Helmview");
    EXPECT_EQ(ReadMachineString(kNorvaleUninstallKey, L"DisplayIcon"), installDir_ + L"Helmview.exe");
    EXPECT_EQ(ReadMachineString(kNorvaleUninstallKey, L"InstallSource"), installDir_ + module);
    EXPECT_EQ(ReadMachineString(kNorvaleUninstallKey, L"Publisher"), L"Norvale Corporation");
    EXPECT_EQ(ReadMachineString(kNorvaleUninstallKey, L"UninstallString"),
              L"\"" + installDir_ + module + L"\" -uninstall ");
    EXPECT_EQ(ReadMachineString(kNorvaleSettingsKey, L"IsCachePolicy"), L"0");
    EXPECT_EQ(ReadMachineString(kNorvaleSettingsKey, L"InstallPath"), installDir_);
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 3u);
    EXPECT_TRUE(capture_.Messages().empty());
}

TEST_F(Install, TakesTheSecondPackageNameWhenOnlyItIsOffered) {
    Installer installer(profile_, ProductVersion(L"2.2.0.2"), session_);

    EXPECT_EQ(Run(installer), kWindows10Steps);

    EXPECT_EQ(FilesBelow(installDir_), PackageFilesWith(L"NorvaleSSDHelmview.exe"));
    ExpectShortcutsTo(installDir_ + L"NorvaleSSDHelmview.exe");
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 3u);
}

TEST_F(Install, AnUpgradeReplacesTheOldFolderWhole) {
    RecordOlderInstallation();
    Installer installer(profile_, ProductVersion(L"2.2.0.2"), session_);

    EXPECT_EQ(Run(installer), kWindows10Steps);

    // As an uninstall followed by an install would: nothing of the old folder.
    EXPECT_EQ(FilesBelow(installDir_), PackageFilesWith(L"NorvaleSSDHelmview.exe"));
    EXPECT_EQ(FolderEntries(profile_.makerFolder()), std::vector<std::wstring>{L"SSD Helmview"});
    EXPECT_EQ(ReadMachineString(kNorvaleUninstallKey, L"DisplayVersion"), L"2.2.0.2");
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 3u);
    ExpectShortcutsTo(installDir_ + L"NorvaleSSDHelmview.exe");
    EXPECT_EQ(session_.GetResult().status, RunStatus::Completed);
}

// A recorded folder may lack its closing backslash (another brand's installer,
// a hand edit): it is still the folder just switched in, not one to remove.
TEST_F(Install, ARecordedFolderWithoutItsClosingBackslashIsTheInstallFolder) {
    RecordOlderInstallation();
    WriteMachineString(kNorvaleSettingsKey, L"InstallPath", installDir_.substr(0, installDir_.size() - 1));
    Installer installer(profile_, ProductVersion(L"2.2.0.2"), session_);

    EXPECT_EQ(Run(installer), kWindows10Steps);

    EXPECT_EQ(FilesBelow(installDir_), PackageFilesWith(L"NorvaleSSDHelmview.exe"));
}

TEST_F(Install, CancelDuringTheDownloadLeavesTheInstalledVersionAsItWas) {
    TestServerClient server(kPackageServer);
    ASSERT_TRUE(server.SetRules(
        R"({"/zqHelmview/application/2.2.0.4/Helmview.zip": {"slow": {"bytes_per_sec": 32768, "size": 4194304}}})"))
        << server.Error();
    RecordOlderInstallation();
    Installer installer(profile_, ProductVersion(L"2.2.0.4"), session_);
    const std::wstring package = StagingFolderFor(installDir_) + L"Helmview.zip";
    std::thread canceller;
    RunResult result;

    const Values values = Run(installer, result, [&](std::int32_t value) {
        if (value != 15)
            return;
        // Cancel once the transfer has written its first blocks.
        canceller = std::thread([&] {
            for (int i = 0; i < 1200 && FileSize(package) == 0; ++i)
                ::Sleep(50);
            session_.Cancel();
        });
    });
    canceller.join();

    EXPECT_EQ(values, (Values{10, 15}));
    EXPECT_EQ(result.status, RunStatus::Cancelled);
    ExpectOlderInstallationAsItWas();
    EXPECT_TRUE(capture_.Messages().empty());
}

TEST_F(Install, ACancelAfterThePackageCheckLeavesNothingOfAFreshInstall) {
    MakeFolders(installDir_); // as the window makes it before the run
    Installer installer(profile_, ProductVersion(L"2.2.0.1"), session_);
    RunResult result;
    const Values values = Run(installer, result, [&](std::int32_t value) {
        if (value == 20)
            session_.Cancel();
    });

    EXPECT_EQ(values, (Values{10, 15, 20}));
    EXPECT_EQ(result.status, RunStatus::Cancelled);
    EXPECT_FALSE(FolderExists(profile_.makerFolder())) << "neither install, staging nor maker folder";
    for (const std::wstring& file : KnownShortcutFiles())
        EXPECT_FALSE(FileExists(file)) << Narrow(file);
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 0xFFFFFFFFu);
    EXPECT_TRUE(log_->Lines().empty()) << "no prerequisite runs after a cancellation";
}

TEST_F(Install, AFileOfTheOldVersionInUseFailsTheRunBeforeAnythingMoves) {
    RecordOlderInstallation();
    // Held as a program using it would: without delete sharing.
    unique_hfile held(::CreateFileW((installDir_ + L"data\\old.cfg").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    Installer installer(profile_, ProductVersion(L"2.2.0.1"), session_);

    const RunResult result = installer.Install();

    EXPECT_EQ(result.status, RunStatus::Failed);
    EXPECT_EQ(result.outcome,
              (Outcome{Failure::FilesInUse, {installDir_ + L"data\\old.cfg"}, ERROR_SHARING_VIOLATION}));
    held.reset();
    ExpectOlderInstallationAsItWas();
    EXPECT_TRUE(log_->Lines().empty()) << "no prerequisite ran";
}

// The follower holds the worker at 30, as the switch begins: taking the
// staged folder away then makes the switch fail after the old folder moved.
TEST_F(Install, AFailureDuringTheSwitchPutsTheOldFolderBack) {
    RecordOlderInstallation();
    ScratchFolder scratch(L"taken");
    Installer installer(profile_, ProductVersion(L"2.2.0.1"), session_);
    RunResult result;
    const Values values = Run(installer, result, [&](std::int32_t value) {
        if (value == 30) {
            ASSERT_TRUE(
                ::MoveFileW(StagingFolderFor(installDir_).c_str(), (scratch.path() + L"staged").c_str()));
        }
    });

    EXPECT_EQ(values, (Values{10, 15, 20, 30}));
    EXPECT_EQ(result.status, RunStatus::Failed);
    EXPECT_EQ(result.outcome.failure, Failure::FilesInUse);
    ExpectOlderInstallationAsItWas();
    EXPECT_FALSE(switch_journal::Pending(profile_)) << "the journal went with the undo";
}

// The follower holds the worker at each value until the test has seen it, so
// a Cancel lands exactly before or after the last step begins.
TEST_F(Install, CancelIsRefusedOnceTheLastStepHasBegun) {
    Installer installer(profile_, ProductVersion(L"2.2.0.1"), session_);
    bool accepted = true;

    const Values values = Run(installer, [&](std::int32_t value) {
        if (value == 100)
            accepted = session_.Cancel();
    });

    EXPECT_FALSE(accepted);
    EXPECT_FALSE(session_.CancelRequested());
    EXPECT_EQ(values, kWindows10Steps);
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 3u);
}

TEST_F(Install, CancelIsRefusedOnceTheSwitchHasBegun) {
    Installer installer(profile_, ProductVersion(L"2.2.0.1"), session_);
    bool accepted = true;

    const Values values = Run(installer, [&](std::int32_t value) {
        if (value == 30)
            accepted = session_.Cancel();
    });

    EXPECT_FALSE(accepted);
    EXPECT_EQ(values, kWindows10Steps);
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 3u);
}

TEST_F(Install, RemovesTheOlderDriverWhenItsMarkerKeyExists) {
    CreateOlderDriverMarker();
    Installer installer(profile_, ProductVersion(L"2.2.0.1"), session_);

    EXPECT_EQ(Run(installer), kWindows10Steps);

    EXPECT_EQ(log_->Lines(),
              (std::vector<std::wstring>{
                  PrerequisiteLine(L"VC_redist.x86.exe", L"/quiet /norestart"),
                  PrerequisiteLine(L"fenwick_hal_setup.exe", L"/install /quiet /norestart"),
                  PrerequisiteLine(L"morrow_hal_setup.exe", L"/uninstall /quiet /norestart")}));
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 3u);
}

TEST_F(Install, KeepsTheOlderDriverOnAMachineFlaggedByTheDriveDetection) {
    CreateOlderDriverMarker();
    WriteMachineDword(kPermanentKey, L"QM7700Detected", 1);
    Installer installer(profile_, ProductVersion(L"2.2.0.1"), session_);

    EXPECT_EQ(Run(installer), kWindows10Steps);

    EXPECT_EQ(log_->Lines(), (std::vector<std::wstring>{
                                 PrerequisiteLine(L"VC_redist.x86.exe", L"/quiet /norestart"),
                                 PrerequisiteLine(L"fenwick_hal_setup.exe", L"/install /quiet /norestart")}));
}

TEST_F(Install, FailedDownloadEndsTheProcessAfterTheDownloadersMessage) {
    Installer installer(profile_, ProductVersion(L"2.2.0.9"), session_); // nothing served for this version
    EXPECT_EXIT(
        {
            MessagesToStderr();
            EndUnlessSucceeded(installer.Install().outcome);
        },
        ::testing::ExitedWithCode(0), "Missing file: Helmview\\.zip");
    // The run had recorded nothing, and took its staging folder away.
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 0xFFFFFFFFu);
    EXPECT_FALSE(FolderExists(profile_.makerFolder()));
}

TEST_F(Install, PackageWithAnotherHashIsNeitherUnpackedNorRunAndWhatTheRunPlacedGoes) {
    Installer installer(profile_, ProductVersion(L"2.2.0.1"), session_, std::wstring(64, L'0'));

    EXPECT_EQ(installer.Install().outcome,
              (Outcome{Failure::PackageMismatch, {L"0x80091007", L"Helmview.zip"}, 0x80091007u}));

    EXPECT_TRUE(log_->Lines().empty()) << "no prerequisite ran";
    EXPECT_FALSE(FolderExists(installDir_)) << "neither package nor archive tool is left, nor the folder";
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadMachineString(kNorvaleSettingsKey, L"InstallPath"), L"");
    EXPECT_FALSE(MachineKeyExists(kNorvaleUninstallKey));
}

TEST_F(Install, APackageWithoutTheApplicationFailsBeforeAnythingPointsAtIt) {
    Installer installer(profile_, ProductVersion(L"2.2.0.3"), session_);

    EXPECT_EQ(installer.Install().outcome, (Outcome{Failure::PackageNotUnpacked, {L"Helmview.zip"}, 0}));

    EXPECT_EQ(session_.GetProgress(), 20);
    EXPECT_FALSE(FileExists(KnownShortcutFiles()[0]));
    EXPECT_FALSE(MachineKeyExists(kNorvaleUninstallKey));
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 0xFFFFFFFFu);
    EXPECT_FALSE(FolderExists(profile_.makerFolder())) << "nothing staged is left";
    EXPECT_TRUE(log_->Lines().empty()) << "no prerequisite ran";
}

TEST_F(Install, UncreatableInstallFolderEndsTheProcessAfterAMessage) {
    ScratchFolder scratch(L"blocked");
    const std::wstring blocker = scratch.path() + L"Program Files (x86)";
    WriteBytes(blocker, "a file where the folder should be");
    profile_.InitFrom(PackageServerBaseUrl(), L"C:\\setup\\HelmviewSetup.exe", blocker);
    Installer installer(profile_, ProductVersion(L"2.2.0.1"), session_);

    EXPECT_EXIT(
        {
            MessagesToStderr();
            EndUnlessSucceeded(installer.Install().outcome);
        },
        ::testing::ExitedWithCode(0),
        "MESSAGE \\[Error\\] Failed to create folder\\. .*Program Files \\(x86\\).Norvale.SSD Helmview.");
    EXPECT_FALSE(MachineKeyExists(kNorvaleSettingsKey)) << "nothing recorded";
}
