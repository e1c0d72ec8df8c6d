#include "install/Shortcuts.h"

#include "InstallTestSupport.h"
#include "profile/ProductProfile.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace helmtest;

namespace {

class Shortcuts : public ::testing::Test {
  protected:
    void SetUp() override {
        profile_.InitFrom(L"http://127.0.0.1:9/", L"C:\\setup\\HelmviewSetup.exe",
                          scratch_.path() + L"Program Files (x86)");
        installDir_ = profile_.installDir();
        MakeFolders(installDir_);
        desktop_ = DesktopFolder();
        programs_ = CommonProgramsFolder();
        ASSERT_FALSE(desktop_.empty());
        ASSERT_FALSE(programs_.empty());
        ASSERT_EQ(desktop_.back(), L'\\');
        ASSERT_EQ(programs_.back(), L'\\');
        RemoveAll();
    }
    void TearDown() override { RemoveAll(); }

    void RemoveAll() {
        for (const wchar_t* name :
             {L"Helmview.lnk", L"Norvale SSD Helmview.lnk", L"Tessaro SSD Helmview.lnk", L"Unrelated.lnk"}) {
            ::DeleteFileW((desktop_ + name).c_str());
            ::DeleteFileW((programs_ + name).c_str());
        }
    }

    void ExpectBothTarget(const std::wstring& target) {
        for (const std::wstring& lnk : {desktop_ + L"Helmview.lnk", programs_ + L"Helmview.lnk"}) {
            const ShortcutTarget read = ReadShortcut(lnk);
            ASSERT_TRUE(read.loaded) << Narrow(lnk);
            EXPECT_EQ(read.path, target) << Narrow(lnk);
            EXPECT_EQ(read.workingDirectory, installDir_) << Narrow(lnk);
            EXPECT_EQ(read.iconPath, target) << Narrow(lnk);
            EXPECT_EQ(read.iconIndex, 0) << Narrow(lnk);
        }
    }

    ScratchFolder scratch_{L"shortcuts"};
    ProductProfile profile_;
    std::wstring installDir_;
    std::wstring desktop_;
    std::wstring programs_;
};

} // namespace

TEST_F(Shortcuts, PointAtTheApplicationOnTheDesktopAndInTheCommonProgramsFolder) {
    ASSERT_TRUE(
        ::CopyFileW(FixtureProgram(L"Helmview.exe").c_str(), (installDir_ + L"Helmview.exe").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(FixtureProgram(L"Helmview.exe").c_str(),
                            (installDir_ + L"NorvaleSSDHelmview.exe").c_str(), FALSE));

    CreateShortcuts(profile_);

    ExpectBothTarget(installDir_ + L"Helmview.exe");
}

TEST_F(Shortcuts, FallBackToTheFullNameWhenOnlyItExists) {
    ASSERT_TRUE(::CopyFileW(FixtureProgram(L"Helmview.exe").c_str(),
                            (installDir_ + L"NorvaleSSDHelmview.exe").c_str(), FALSE));
    CreateShortcuts(profile_);
    ExpectBothTarget(installDir_ + L"NorvaleSSDHelmview.exe");
}

TEST_F(Shortcuts, NameTheFullNameWhenNeitherProgramExists) {
    CreateShortcuts(profile_);
    ExpectBothTarget(installDir_ + L"NorvaleSSDHelmview.exe");
}

TEST_F(Shortcuts, ReplaceExistingShortcuts) {
    WriteBytes(desktop_ + L"Helmview.lnk", "not a shortcut");
    WriteBytes(programs_ + L"Helmview.lnk", "not a shortcut");
    ASSERT_TRUE(
        ::CopyFileW(FixtureProgram(L"Helmview.exe").c_str(), (installDir_ + L"Helmview.exe").c_str(), FALSE));
    CreateShortcuts(profile_);
    ExpectBothTarget(installDir_ + L"Helmview.exe");
}

TEST_F(Shortcuts, RemovalDeletesTheFiveKnownShortcutsOnly) {
    for (const std::wstring& path : {desktop_ + L"Helmview.lnk", desktop_ + L"Norvale SSD Helmview.lnk",
                                     desktop_ + L"Tessaro SSD Helmview.lnk", programs_ + L"Helmview.lnk",
                                     desktop_ + L"Unrelated.lnk", programs_ + L"Unrelated.lnk"})
        WriteBytes(path, "lnk");
    EXPECT_EQ(
        ShortcutPathsToRemove(profile_),
        (std::vector<std::wstring>{desktop_ + L"Helmview.lnk", desktop_ + L"Norvale SSD Helmview.lnk",
                                   desktop_ + L"Tessaro SSD Helmview.lnk",
                                   desktop_ + L"Tessaro SSD Helmview.lnk", programs_ + L"Helmview.lnk"}));

    RemoveShortcuts(profile_);

    EXPECT_FALSE(FileExists(desktop_ + L"Helmview.lnk"));
    EXPECT_FALSE(FileExists(desktop_ + L"Norvale SSD Helmview.lnk"));
    EXPECT_FALSE(FileExists(desktop_ + L"Tessaro SSD Helmview.lnk"));
    EXPECT_FALSE(FileExists(programs_ + L"Helmview.lnk"));
    EXPECT_TRUE(FileExists(desktop_ + L"Unrelated.lnk"));
    EXPECT_TRUE(FileExists(programs_ + L"Unrelated.lnk"));
}

TEST_F(Shortcuts, RemovalWithNothingThereDoesNothing) {
    WriteBytes(desktop_ + L"Unrelated.lnk", "lnk");
    RemoveShortcuts(profile_);
    EXPECT_TRUE(FileExists(desktop_ + L"Unrelated.lnk"));
    EXPECT_FALSE(FileExists(desktop_ + L"Helmview.lnk"));
}
