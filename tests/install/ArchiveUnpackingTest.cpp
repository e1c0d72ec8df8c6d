#include "install/ArchiveUnpacking.h"
#include "install/ResourceExtraction.h"
#include "install/UnzipBatch.h"

#include "InstallTestSupport.h"
#include "profile/ProductProfile.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

using namespace helmtest;

namespace {

// An install folder whose path has blanks and letters outside ASCII, as the
// profile builds it below a Program Files folder of the test's own.
class ArchiveTool : public ::testing::Test {
  protected:
    void SetUp() override {
        ProductProfile profile;
        profile.InitFrom(L"http://127.0.0.1:9/", L"C:\\setup\\HelmviewSetup.exe",
                         scratch_.path() + L"Pr\u00f6gram Files (x86)");
        installDir_ = profile.installDir();
        MakeFolders(installDir_);
        ASSERT_TRUE(FolderExists(installDir_));
    }

    void PlacePackage(const std::wstring& name) {
        ASSERT_TRUE(::CopyFileW(ServedPackage(L"2.2.0.1", L"Helmview.zip").c_str(),
                                (installDir_ + name).c_str(), FALSE));
    }

    ScratchFolder scratch_{L"archive \u00e9"};
    std::wstring installDir_;
};

// Sets an environment variable of this process (and so of what it starts)
// until destroyed; empty value: removes it.
class EnvironmentVariable {
  public:
    EnvironmentVariable(const wchar_t* name, const std::wstring& value) : name_(name) {
        wchar_t old[4096];
        const DWORD length = ::GetEnvironmentVariableW(name, old, 4096);
        had_ = length > 0 && length < 4096;
        if (had_)
            old_.assign(old, length);
        ::SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
    }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;
    ~EnvironmentVariable() { ::SetEnvironmentVariableW(name_, had_ ? old_.c_str() : nullptr); }

  private:
    const wchar_t* name_;
    bool had_ = false;
    std::wstring old_;
};

} // namespace

TEST_F(ArchiveTool, IsWrittenByteForByteFromTheResources) {
    ExtractResourceToFolder(ID_ARCHIVE_TOOL, RT_ARCHIVE_TOOL, installDir_, L"7za.exe");
    const std::string written = ReadBytes(installDir_ + L"7za.exe");
    EXPECT_GT(written.size(), 100000u);
    EXPECT_TRUE(written == ReadBytes(ArchiveToolFile())) << "differs from the tool the build embedded";
}

TEST_F(ArchiveTool, ReplacesAnExistingLongerFile) {
    WriteBytes(installDir_ + L"7za.exe", std::string(2 * 1024 * 1024, 'x'));
    ExtractResourceToFolder(ID_ARCHIVE_TOOL, RT_ARCHIVE_TOOL, installDir_, L"7za.exe");
    ExtractResourceToFolder(ID_ARCHIVE_TOOL, RT_ARCHIVE_TOOL, installDir_, L"7za.exe");
    EXPECT_TRUE(ReadBytes(installDir_ + L"7za.exe") == ReadBytes(ArchiveToolFile()));
}

TEST_F(ArchiveTool, MissingResourceWritesNothing) {
    ExtractResourceToFolder(ID_ARCHIVE_TOOL + 7, RT_ARCHIVE_TOOL, installDir_, L"none.exe");
    ExtractResourceToFolder(ID_ARCHIVE_TOOL, RT_ARCHIVE_TOOL + 7, installDir_, L"none.exe");
    EXPECT_FALSE(FileExists(installDir_ + L"none.exe"));
}

TEST_F(ArchiveTool, UnpacksThePackageAndLeavesNeitherPackageNorBatch) {
    ExtractResourceToFolder(ID_ARCHIVE_TOOL, RT_ARCHIVE_TOOL, installDir_, L"7za.exe");
    PlacePackage(L"Helmview.zip");

    EXPECT_TRUE((UnpackArchiveIn(installDir_, L"Helmview.zip", nullptr) == Unpacked::Done));

    EXPECT_EQ(FilesBelow(installDir_), PackageFilesWith(L"Helmview.exe"));
    EXPECT_EQ(ReadBytes(installDir_ + L"data\\sub\\settings.ini"), "[fixture]\nnested=1\n");
    EXPECT_TRUE(ReadBytes(installDir_ + L"Helmview.exe") == ReadBytes(FixtureProgram(L"Helmview.exe")));
}

TEST_F(ArchiveTool, OverwritesExistingFilesWithoutAsking) {
    ExtractResourceToFolder(ID_ARCHIVE_TOOL, RT_ARCHIVE_TOOL, installDir_, L"7za.exe");
    MakeFolders(installDir_ + L"data\\sub");
    WriteBytes(installDir_ + L"data\\sub\\settings.ini", "old settings that are longer than the new ones");
    WriteBytes(installDir_ + L"Helmview.exe", "old");
    WriteBytes(installDir_ + L"kept.txt", "not in the package");
    PlacePackage(L"Helmview.zip");

    EXPECT_EQ(UnpackArchiveIn(installDir_, L"Helmview.zip", nullptr), Unpacked::Done);

    EXPECT_EQ(ReadBytes(installDir_ + L"data\\sub\\settings.ini"), "[fixture]\nnested=1\n");
    EXPECT_TRUE(ReadBytes(installDir_ + L"Helmview.exe") == ReadBytes(FixtureProgram(L"Helmview.exe")));
    EXPECT_EQ(ReadBytes(installDir_ + L"kept.txt"), "not in the package");
    EXPECT_FALSE(FileExists(installDir_ + L"Helmview.zip"));
}

TEST_F(ArchiveTool, RunsTheToolByItsFullPathNeverAnotherProgramAnsweringToItsName) {
    // A bare "7za" in the batch would find this 7za.bat through PATHEXT when
    // 7za.exe is missing; it would keep a copy of the running batch and never
    // return to it (a batch started from a batch without "call" replaces it).
    WriteBytes(installDir_ + L"7za.bat", "@copy /b unzip.bat captured.txt >nul\r\n");
    PlacePackage(L"NorvaleHelmview.zip");

    EXPECT_NE(UnpackArchiveIn(installDir_, L"NorvaleHelmview.zip", nullptr), Unpacked::Done)
        << "no archive tool to run";

    EXPECT_FALSE(FileExists(installDir_ + L"captured.txt")) << "the planted batch ran";
    EXPECT_EQ(FilesBelow(installDir_), std::vector<std::wstring>{L"7za.bat"})
        << "the batch went on to its second line and was deleted itself";
}

TEST_F(ArchiveTool, WithoutTheToolThePackageIsStillDeleted) {
    PlacePackage(L"Helmview.zip");

    EXPECT_FALSE((UnpackArchiveIn(installDir_, L"Helmview.zip", nullptr) == Unpacked::Done));

    EXPECT_EQ(FilesBelow(installDir_), std::vector<std::wstring>{});
}

TEST_F(ArchiveTool, ACutPackageFailsEvenWhenFilesCameOut) {
    ExtractResourceToFolder(ID_ARCHIVE_TOOL, RT_ARCHIVE_TOOL, installDir_, L"7za.exe");
    // Without the archive's directory at its end, but with every file's data.
    const std::string whole = ReadBytes(ServedPackage(L"2.2.0.1", L"Helmview.zip"));
    WriteBytes(installDir_ + L"Helmview.zip", whole.substr(0, whole.size() - 200));

    EXPECT_FALSE((UnpackArchiveIn(installDir_, L"Helmview.zip", nullptr) == Unpacked::Done));

    EXPECT_TRUE(FileExists(installDir_ + L"Helmview.exe")) << "the tool let the application out";
    EXPECT_FALSE(FileExists(installDir_ + L"Helmview.zip"));
}

TEST_F(ArchiveTool, RunsItsOwnBatchAndReadsTheToolsExitCodeWhateverTheUsersEnvironmentSays) {
    // What a user may put into their own environment: a folder of theirs
    // first on PATH holding an unzip.bat, the variable that keeps the
    // interpreter from looking in the current directory for a bare name, and
    // an ERRORLEVEL that would stand in for the tool's exit code.
    const std::wstring planted = scratch_.path() + L"user bin\\";
    MakeFolders(planted);
    // It would run in the install folder and leave its mark there.
    WriteBytes(planted + L"unzip.bat", "@echo ran> planted-ran.txt\r\n@exit /b 0\r\n");
    wchar_t path[8192];
    const DWORD length = ::GetEnvironmentVariableW(L"PATH", path, 8192);
    const EnvironmentVariable userPath(L"PATH",
                                       planted + L";" + std::wstring(path, length < 8192 ? length : 0));
    const EnvironmentVariable noCurrentDirectory(L"NoDefaultCurrentDirectoryInExePath", L"1");
    const EnvironmentVariable errorLevel(L"ERRORLEVEL", L"0");
    ExtractResourceToFolder(ID_ARCHIVE_TOOL, RT_ARCHIVE_TOOL, installDir_, L"7za.exe");

    PlacePackage(L"Helmview.zip");
    EXPECT_TRUE((UnpackArchiveIn(installDir_, L"Helmview.zip", nullptr) == Unpacked::Done));
    EXPECT_EQ(FilesBelow(installDir_), PackageFilesWith(L"Helmview.exe")) << "the installer's own batch ran";

    const std::string whole = ReadBytes(ServedPackage(L"2.2.0.1", L"Helmview.zip"));
    WriteBytes(installDir_ + L"Helmview.zip", whole.substr(0, whole.size() - 200));
    EXPECT_FALSE((UnpackArchiveIn(installDir_, L"Helmview.zip", nullptr) == Unpacked::Done))
        << "the tool's failure, not the user's ERRORLEVEL";
    EXPECT_FALSE(FileExists(installDir_ + L"planted-ran.txt"));
}
