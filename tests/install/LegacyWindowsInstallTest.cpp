// Runs in a program that the test prefix reports Windows 7 to (a per-program
// Wine setting made by the CTest fixture), so the sequence takes the scale and
// the steps of earlier Windows.
#include "install/Installer.h"
#include "install/WindowsVersion.h"

#include "InstallSequenceTest.h"

using namespace helmtest;

namespace {
using Values = std::vector<std::int32_t>;
using InstallOnEarlierWindows = InstallSequence;
} // namespace

TEST(EarlierWindows, IsNotWindows10OrLater) {
    EXPECT_FALSE(IsWindows10OrLater());
}

TEST_F(InstallOnEarlierWindows, UsesItsOwnScaleAndRunsNoDriverPrograms) {
    // Even with the marker of the older driver present: neither driver step runs.
    CreateOlderDriverMarker();
    Installer installer(profile_, ProductVersion(L"2.2.0.1"), session_);
    ProgressFollower follower;
    session_.SetProgressObserver(follower.Observer());

    const Values values =
        follower.Follow([&] { installer.Install(); }, [&] { return session_.GetProgress(); });

    EXPECT_EQ(values, (Values{25, 35, 40, 55, 70, 85, 100}));
    EXPECT_EQ(log_->Lines(),
              std::vector<std::wstring>{PrerequisiteLine(L"VC_redist.x86.exe", L"/quiet /norestart")});
    EXPECT_EQ(FilesBelow(installDir_), PackageFilesWith(L"Helmview.exe"));
    EXPECT_EQ(ReadMachineString(kNorvaleUninstallKey, L"DisplayVersion"), L"2.2.0.1");
    EXPECT_EQ(ReadMachineDword(kNorvaleSettingsKey, L"IsInstalled"), 3u);
}
