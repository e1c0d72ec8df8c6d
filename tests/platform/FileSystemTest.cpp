#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include "TestFiles.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace helmtest;

TEST(ForEachEntry, ListsTheEntriesWithoutDotsAndStopsWhenAsked) {
    ScratchFolder scratch(L"entries");
    WriteBytes(scratch.path() + L"a.txt", "a");
    MakeFolders(scratch.path() + L"sub");
    for (const std::wstring& folder : {scratch.path(), scratch.path().substr(0, scratch.path().size() - 1)}) {
        std::vector<std::wstring> seen;
        ForEachEntry(folder, [&seen](const std::wstring& name, DWORD attributes) {
            seen.push_back(name + ((attributes & FILE_ATTRIBUTE_DIRECTORY) ? L"\\" : L""));
            return true;
        });
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(seen, (std::vector<std::wstring>{L"a.txt", L"sub\\"}));
    }
    int calls = 0;
    ForEachEntry(scratch.path(), [&calls](const std::wstring&, DWORD) { return ++calls > 5; });
    EXPECT_EQ(calls, 1);
}
