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

TEST(RemoveFolder, NeverEntersALinkSwappedInDuringThePause) {
    // Somebody who may write there replaces the folder, or the folder above
    // it (a Tessaro install path below a folder made under C:\), looked at
    // before the pause, by a link to a folder of their choice.
    const struct {
        const wchar_t* swapped; // below the scratch folder
        const wchar_t* install; // the folder removed, below the scratch folder
    } cases[] = {
        {L"Helmview", L"Helmview"},
        {L"Tessaro", L"Tessaro\\Helmview\\"},
    };
    for (const auto& c : cases) {
        ScratchFolder scratch(L"remove swapped");
        const std::wstring swapped = scratch.path() + c.swapped;
        const std::wstring install = scratch.path() + c.install;
        // Without the swap the same call removes the tree: a removal that
        // does nothing cannot pass what follows.
        FillTree(WithBackslash(install));
        RemoveFolder(install, [] {});
        ASSERT_FALSE(FolderExists(install)) << Narrow(c.install);
        FillTree(WithBackslash(install));
        // What the link leads to holds a tree of the same shape (link names
        // without blanks, for the host's ln).
        const std::wstring elsewhere = scratch.path() + L"elsewhere";
        MakeFolders(elsewhere + L"\\Helmview");
        WriteBytes(elsewhere + L"\\keep.txt", "not the installer's");
        WriteBytes(elsewhere + L"\\Helmview\\keep.txt", "not the installer's");

        RemoveFolder(install, [&] {
            ASSERT_TRUE(::MoveFileW(swapped.c_str(), (scratch.path() + L"moved").c_str()));
            ASSERT_TRUE(MakeFolderLink(swapped, elsewhere));
        });
        // Then the maker folder's loose files go, and the maker folder if empty.
        DeleteFilesIn(swapped);
        RemoveFolderIfEmpty(swapped);

        EXPECT_EQ(FilesBelow(elsewhere), (std::vector<std::wstring>{L"Helmview\\keep.txt", L"keep.txt"}))
            << Narrow(c.install) << ": the link was entered";
        EXPECT_FALSE(FilesBelow(scratch.path() + L"moved").empty())
            << "the folder moved away is not looked for";
        RemoveFolderLink(swapped);
    }
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
