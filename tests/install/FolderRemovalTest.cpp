#include "install/FolderRemoval.h"

#include "InstallTestSupport.h"
#include "common/UniqueHandle.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace helmtest;

namespace {

// A small installation: loose files, a nested folder, a read-only file and a
// name that is not ASCII.
void FillTree(const std::wstring& root) {
    MakeFolders(root + L"data\\sub");
    WriteBytes(root + L"Helmview.exe", "exe");
    WriteBytes(root + L"data\\sub\\settings.ini", "[fixture]\n");
    WriteBytes(root + L"donn\u00e9es-\u00e9.txt", "text");
    WriteBytes(root + L"data\\readonly.txt", "ro");
    ::SetFileAttributesW((root + L"data\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
}

} // namespace

TEST(RemoveFolder, DeletesTheWholeTreeAndTheFolder) {
    ScratchFolder scratch(L"remove");
    const std::wstring install = scratch.path() + L"SSD Helmview\\";
    FillTree(install);
    WriteBytes(scratch.path() + L"beside.txt", "stays");

    RemoveFolder(install, 0);

    EXPECT_FALSE(FolderExists(install));
    EXPECT_TRUE(FileExists(scratch.path() + L"beside.txt"));
}

TEST(RemoveFolder, AcceptsAPathWithoutTrailingBackslash) {
    ScratchFolder scratch(L"remove plain");
    const std::wstring install = scratch.path() + L"SSD Helmview";
    FillTree(install + L"\\");

    RemoveFolder(install, 0);

    EXPECT_FALSE(FolderExists(install));
}

TEST(RemoveFolder, StopsAtAFileInUseAndKeepsIt) {
    ScratchFolder scratch(L"remove busy");
    const std::wstring install = scratch.path() + L"SSD Helmview\\";
    FillTree(install);
    const std::wstring busy = install + L"data\\sub\\settings.ini";
    // Open without delete sharing, as a running program holds its files.
    unique_hfile held(::CreateFileW(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);

    RemoveFolder(install, 0);

    EXPECT_TRUE(FileExists(busy));
    EXPECT_TRUE(FolderExists(install));
    held.reset();
    RemoveFolder(install, 0);
    EXPECT_FALSE(FolderExists(install)) << "a second run finishes the job once the file is free";
}

TEST(RemoveFolder, UnlinksAFolderSwappedForALinkDuringThePause) {
    ScratchFolder scratch(L"remove swapped");
    const std::wstring install = scratch.path() + L"Helmview";
    const std::wstring elsewhere = scratch.path() + L"elsewhere";
    MakeFolders(elsewhere);
    WriteBytes(elsewhere + L"\\keep.txt", "not the installer's");
    // Without the swap the same call removes the tree: a removal that does
    // nothing cannot pass what follows.
    FillTree(install + L"\\");
    RemoveFolder(install, [] {});
    ASSERT_FALSE(FolderExists(install));

    FillTree(install + L"\\");
    RemoveFolder(install, [&] {
        // Somebody who may write there replaces the folder, looked at before
        // the pause, by a link to a folder of their choice.
        ASSERT_TRUE(::MoveFileW(install.c_str(), (scratch.path() + L"moved").c_str()));
        ASSERT_TRUE(MakeFolderLink(install, elsewhere));
    });

    EXPECT_TRUE(FileExists(elsewhere + L"\\keep.txt")) << "the link was entered";
    // Wine cannot remove the host's folder links through RemoveDirectoryW;
    // where the system can, the link itself must be gone.
    const std::wstring spare = scratch.path() + L"spare";
    ASSERT_TRUE(MakeFolderLink(spare, elsewhere));
    if (::RemoveDirectoryW(spare.c_str()))
        EXPECT_EQ(::GetFileAttributesW(install.c_str()), INVALID_FILE_ATTRIBUTES) << "the link itself stays";
    else
        RemoveFolderLink(spare);
    RemoveFolderLink(install);
}

TEST(RemoveFolder, LeavesProtectedAndMissingPathsAlone) {
    ScratchFolder scratch(L"remove missing");
    RemoveFolder(scratch.path() + L"never made\\", 0);
    EXPECT_FALSE(FolderExists(scratch.path() + L"never made\\"));
    // A relative path would otherwise resolve against the current folder.
    WriteBytes(scratch.path() + L"keep.txt", "keep");
    ASSERT_TRUE(::SetCurrentDirectoryW(scratch.path().c_str()));
    RemoveFolder(L"keep.txt", 0);
    RemoveFolder(L".\\", 0);
    EXPECT_TRUE(FileExists(scratch.path() + L"keep.txt"));
    ::SetCurrentDirectoryW(L"C:\\");
}

TEST(DeleteFilesIn, DeletesOnlyTheLooseFiles) {
    ScratchFolder scratch(L"loose");
    const std::wstring maker = scratch.path() + L"Norvale\\";
    FillTree(maker + L"SSD Helmview\\");
    WriteBytes(maker + L"readme.txt", "loose");
    WriteBytes(maker + L"\u00e9t\u00e9.log", "loose");

    DeleteFilesIn(maker);

    EXPECT_TRUE(FolderExists(maker));
    EXPECT_EQ(FilesBelow(maker),
              (std::vector<std::wstring>{L"SSD Helmview\\Helmview.exe", L"SSD Helmview\\data\\readonly.txt",
                                         L"SSD Helmview\\data\\sub\\settings.ini",
                                         L"SSD Helmview\\donn\u00e9es-\u00e9.txt"}));
}

TEST(DeleteFilesIn, TreatsAFolderWithoutBackslashAsTheFolder) {
    ScratchFolder scratch(L"loose plain");
    const std::wstring maker = scratch.path() + L"Norvale";
    MakeFolders(maker);
    WriteBytes(maker + L"\\inside.txt", "loose");
    WriteBytes(scratch.path() + L"NorvaleSibling.txt", "beside");

    DeleteFilesIn(maker);

    EXPECT_FALSE(FileExists(maker + L"\\inside.txt"));
    EXPECT_TRUE(FileExists(scratch.path() + L"NorvaleSibling.txt"));
}

TEST(DeleteFilesIn, LeavesTheDriveRootAlone) {
    const std::wstring canary =
        L"C:\\helm-loose-canary-" + std::to_wstring(::GetCurrentProcessId()) + L".txt";
    WriteBytes(canary, "canary");
    DeleteFilesIn(L"C:\\");
    DeleteFilesIn(L"");
    EXPECT_TRUE(FileExists(canary));
    ::DeleteFileW(canary.c_str());
}
