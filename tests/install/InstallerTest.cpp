#include "install/Installer.h"
#include "install/Uninstaller.h"

#include "InstallSequenceTest.h"
#include "MessageCapture.h"
#include "TestServerClient.h"
#include "profile/ProductProfile.h"
#include "ui/OutcomeReport.h"
#include "ui/UserMessage.h"

#include <thread>

using namespace helmtest;

namespace {

using Values = std::vector<std::int32_t>;

const Values kWindows10Steps = {10, 15, 20, 30, 40, 50, 60, 80, 100};

class Install : public InstallSequence {
  protected:
    // Runs a whole install on a worker thread, following its progress.
    Values Run(Installer& installer, const std::function<void(std::int32_t)>& onSeen = {}) {
        ProgressFollower follower;
        session_.SetProgressObserver(follower.Observer());
        return follower.Follow([&] { installer.Install(); }, [&] { return session_.GetProgress(); }, onSeen);
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
    Installer installer(ProductVersion(L"2.2.0.1"), session_);

    EXPECT_EQ(Run(installer), kWindows10Steps);

    // Prerequisites ran from the install folder, named in quotation marks;
    // without the marker key the older driver stays.
    EXPECT_EQ(log_->Lines(), (std::vector<std::wstring>{
                                 PrerequisiteLine(L"VC_redist.x86.exe", L"/quiet /norestart"),
                                 PrerequisiteLine(L"fenwick_hal_setup.exe", L"/install /quiet /norestart")}));
    EXPECT_EQ(FilesBelow(installDir_), PackageFilesWith(L"Helmview.exe")) << "no unzip.bat, no Helmview.zip";
    ExpectShortcutsTo(installDir_ + L"Helmview.exe");

    const std::wstring module = Profile().moduleFileName();
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
    EXPECT_TRUE(messages_.empty());
}

TEST_F(Install, TakesTheSecondPackageNameWhenOnlyItIsOffered) {
    Installer installer(ProductVersion(L"2.2.0.2"), session_);

    EXPECT_EQ(Run(installer), kWindows10Steps);

    EXPECT_EQ(FilesBelow(installDir_), PackageFilesWith(L"NorvaleSSDHelmview.exe"));
    ExpectShortcutsTo(installDir_ + L"NorvaleSSDHelmview.exe");
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 3u);
}

TEST_F(Install, PrefersAPackageLeftByAnEarlierRunAndKeepsWhatTheFolderHeld) {
    MakeFolders(installDir_);
    ASSERT_TRUE(::CopyFileW(ServedPackage(L"2.2.0.1", L"Helmview.zip").c_str(),
                            (installDir_ + L"Helmview.zip").c_str(), FALSE));
    WriteBytes(installDir_ + L"user.cfg", "kept");
    Installer installer(ProductVersion(L"2.2.0.2"), session_);

    EXPECT_EQ(Run(installer), kWindows10Steps);

    // The leftover held Helmview.exe; the download (NorvaleSSDHelmview.exe) stays packed.
    EXPECT_TRUE(FileExists(installDir_ + L"Helmview.exe"));
    EXPECT_FALSE(FileExists(installDir_ + L"NorvaleSSDHelmview.exe"));
    EXPECT_FALSE(FileExists(installDir_ + L"Helmview.zip"));
    EXPECT_TRUE(ReadBytes(installDir_ + L"NorvaleHelmview.zip") ==
                ReadBytes(ServedPackage(L"2.2.0.2", L"NorvaleHelmview.zip")));
    EXPECT_EQ(ReadBytes(installDir_ + L"user.cfg"), "kept");
    ExpectShortcutsTo(installDir_ + L"Helmview.exe");
}

TEST_F(Install, CancelDuringTheDownloadStopsBeforeUnpacking) {
    TestServerClient server(kPackageServer);
    ASSERT_TRUE(server.SetRules(
        R"({"/zqHelmview/application/2.2.0.4/Helmview.zip": {"slow": {"bytes_per_sec": 32768, "size": 4194304}}})"))
        << server.Error();
    Installer installer(ProductVersion(L"2.2.0.4"), session_);
    const std::wstring package = installDir_ + L"Helmview.zip";
    std::thread canceller;

    const Values values = Run(installer, [&](std::int32_t value) {
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
    EXPECT_EQ(session_.GetProgress(), 15);
    EXPECT_GT(FileSize(package), 0u);
    EXPECT_LT(FileSize(package), 4u * 1024 * 1024) << "the transfer went on to the end";
    EXPECT_EQ(FilesBelow(installDir_), (std::vector<std::wstring>{L"7za.exe", L"Helmview.zip"}));
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 1u);
    EXPECT_FALSE(MachineKeyExists(kNorvaleUninstallKey));
    EXPECT_FALSE(FileExists(KnownShortcutFiles()[0]));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(Install, CancelDuringUnpackingStillMakesTheShortcuts) {
    Installer installer(ProductVersion(L"2.2.0.1"), session_);

    const Values values = Run(installer, [&](std::int32_t value) {
        if (value == 20)
            session_.Cancel();
    });

    EXPECT_EQ(values, (Values{10, 15, 20, 30}));
    EXPECT_EQ(FilesBelow(installDir_), PackageFilesWith(L"Helmview.exe"));
    ExpectShortcutsTo(installDir_ + L"Helmview.exe");
    EXPECT_FALSE(MachineKeyExists(kNorvaleUninstallKey));
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 1u);
    EXPECT_TRUE(log_->Lines().empty()) << "no prerequisite runs after a cancellation";
}

TEST_F(Install, UninstallAfterACancelledInstallRemovesWhatItLeft) {
    Installer installer(ProductVersion(L"2.2.0.1"), session_);
    Run(installer, [&](std::int32_t value) {
        if (value == 20)
            session_.Cancel();
    });
    ASSERT_TRUE(FileExists(KnownShortcutFiles()[0]));

    // As the window does after a cancellation: in the same process, whose
    // current directory the install run left in the install folder.
    InstallSession cleanup;
    Uninstaller uninstaller(cleanup);
    uninstaller.RemoveInstallation();

    EXPECT_EQ(cleanup.GetProgress(), 100);
    EXPECT_EQ(FilesBelow(installDir_), std::vector<std::wstring>{});
    for (const std::wstring& file : KnownShortcutFiles())
        EXPECT_FALSE(FileExists(file)) << Narrow(file);
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 0xFFFFFFFFu);
}

// The follower holds the worker at each value until the test has seen it, so
// a Cancel lands exactly before or after the last step begins.
TEST_F(Install, CancelIsRefusedOnceTheLastStepHasBegun) {
    Installer installer(ProductVersion(L"2.2.0.1"), session_);
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

TEST_F(Install, CancelBeforeTheLastStepEndsTheRunUncompleted) {
    Installer installer(ProductVersion(L"2.2.0.1"), session_);
    bool accepted = false;

    const Values values = Run(installer, [&](std::int32_t value) {
        if (value == 80)
            accepted = session_.Cancel();
    });

    EXPECT_TRUE(accepted);
    EXPECT_EQ(values, (Values{10, 15, 20, 30, 40, 50, 60, 80}));
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 1u);
}

TEST_F(Install, RemovesTheOlderDriverWhenItsMarkerKeyExists) {
    CreateOlderDriverMarker();
    Installer installer(ProductVersion(L"2.2.0.1"), session_);

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
    Installer installer(ProductVersion(L"2.2.0.1"), session_);

    EXPECT_EQ(Run(installer), kWindows10Steps);

    EXPECT_EQ(log_->Lines(), (std::vector<std::wstring>{
                                 PrerequisiteLine(L"VC_redist.x86.exe", L"/quiet /norestart"),
                                 PrerequisiteLine(L"fenwick_hal_setup.exe", L"/install /quiet /norestart")}));
}

TEST_F(Install, FailedDownloadEndsTheProcessAfterTheDownloadersMessage) {
    Installer installer(ProductVersion(L"2.2.0.9"), session_); // nothing served for this version
    EXPECT_EXIT(
        {
            MessagesToStderr();
            EndUnlessSucceeded(installer.Install());
        },
        ::testing::ExitedWithCode(0), "Missing file: Helmview\\.zip");
    // What the ended run had recorded stays behind.
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 1u);
    EXPECT_TRUE(FileExists(installDir_ + L"7za.exe"));
}

TEST_F(Install, APackageWithoutTheApplicationFailsBeforeAnythingPointsAtIt) {
    Installer installer(ProductVersion(L"2.2.0.3"), session_);

    EXPECT_EQ(installer.Install(),
              (Outcome{Failure::PackageNotUnpacked, L"text_missing_file", {L"Helmview.zip"}, 0}));

    EXPECT_EQ(session_.GetProgress(), 20);
    EXPECT_FALSE(FileExists(KnownShortcutFiles()[0]));
    EXPECT_FALSE(MachineKeyExists(kNorvaleUninstallKey));
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 1u);
    EXPECT_TRUE(log_->Lines().empty()) << "no prerequisite ran";
}

TEST_F(Install, UncreatableInstallFolderEndsTheProcessAfterAMessage) {
    ScratchFolder scratch(L"blocked");
    const std::wstring blocker = scratch.path() + L"Program Files (x86)";
    WriteBytes(blocker, "a file where the folder should be");
    Profile().InitFrom(PackageServerBaseUrl(), L"C:\\setup\\HelmviewSetup.exe", blocker);
    Installer installer(ProductVersion(L"2.2.0.1"), session_);

    EXPECT_EXIT(
        {
            MessagesToStderr();
            EndUnlessSucceeded(installer.Install());
        },
        ::testing::ExitedWithCode(0),
        "MESSAGE \\[Error\\] Failed to create folder\\. .*Program Files \\(x86\\).Norvale.SSD Helmview.");
    EXPECT_FALSE(MachineKeyExists(kNorvaleSettingsKey)) << "nothing recorded";
}
