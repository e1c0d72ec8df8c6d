#include "app/TempRelaunchName.h"

#include <gtest/gtest.h>

namespace {

TEST(TemporaryName, UsesTheRuntimeFormInsideTheGivenFolder) {
    // 33 = 1 * 32 + 1; 45 = 1 * 32 + 13 ("d").
    EXPECT_EQ(TemporaryNameToken(33, 45), L"11.1d");
    EXPECT_EQ(TemporaryNameToken(0, 0), L"0.0");
    EXPECT_EQ(TemporaryNameToken(31, 32), L"v.10");
    EXPECT_EQ(TemporaryNameToken(0xFFFFFFFFul, 1), L"3vvvvvv.1");
    EXPECT_EQ(TemporaryName(L"C:\\Users\\me\\AppData\\Local\\Temp\\", L"11.0"),
              L"C:\\Users\\me\\AppData\\Local\\Temp\\s11.0");
    // The folder's missing separator is supplied, never doubled.
    EXPECT_EQ(TemporaryName(L"D:\\tmp", L"2.3"), L"D:\\tmp\\s2.3");
}

TEST(TemporaryName, DistinctTokensGiveDistinctNames) {
    EXPECT_NE(TemporaryName(L"C:\\T\\", TemporaryNameToken(1, 11)),
              TemporaryName(L"C:\\T\\", TemporaryNameToken(11, 1)));
    EXPECT_NE(TemporaryNameToken(32, 0), TemporaryNameToken(1, 0));
}

TEST(TemporaryName, FolderPartIsEverythingBeforeTheLastBackslash) {
    EXPECT_EQ(FolderPart(TemporaryName(L"C:\\Users\\me\\Temp\\", L"a.0")), L"C:\\Users\\me\\Temp");
    EXPECT_EQ(FolderPart(L"\\s10."), L"");
    EXPECT_EQ(FolderPart(L"noslash"), L"noslash");
}

TEST(TemporaryName, OnlyFullyQualifiedFoldersAreAccepted) {
    EXPECT_TRUE(IsFullyQualifiedFolder(L"C:\\Users\\me\\Temp\\"));
    EXPECT_TRUE(IsFullyQualifiedFolder(L"z:\\"));
    EXPECT_TRUE(IsFullyQualifiedFolder(L"\\\\server\\share\\temp\\"));
    // What some C runtimes hand out as a temporary name: root-relative.
    EXPECT_FALSE(IsFullyQualifiedFolder(L"\\"));
    EXPECT_FALSE(IsFullyQualifiedFolder(L"\\s10."));
    EXPECT_FALSE(IsFullyQualifiedFolder(L""));
    EXPECT_FALSE(IsFullyQualifiedFolder(L"C:temp\\"));
    EXPECT_FALSE(IsFullyQualifiedFolder(L"temp\\"));
    EXPECT_FALSE(IsFullyQualifiedFolder(L"1:\\temp\\"));
    EXPECT_FALSE(IsFullyQualifiedFolder(L"\\\\\\x"));
}

TEST(RunsFromFolder, PathsInsideTheFolderIgnoringAsciiCase) {
    const std::wstring temp = L"C:\\Users\\Me\\AppData\\Local\\Temp";
    EXPECT_TRUE(RunsFromFolder(L"C:\\Users\\Me\\AppData\\Local\\Temp\\s1.0\\setup.exe", temp));
    EXPECT_TRUE(RunsFromFolder(L"c:\\USERS\\me\\appdata\\LOCAL\\temp\\setup.exe", temp));
    EXPECT_TRUE(RunsFromFolder(L"C:\\Users\\Me\\AppData\\Local\\Temp", temp));
    EXPECT_FALSE(RunsFromFolder(L"C:\\Users\\Me\\Downloads\\setup.exe", temp));
    EXPECT_FALSE(RunsFromFolder(L"D:\\Users\\Me\\AppData\\Local\\Temp\\setup.exe", temp));
    // Shorter than the folder.
    EXPECT_FALSE(RunsFromFolder(L"C:\\Users", temp));
}

TEST(RunsFromFolder, IsAPlainPrefixTest) {
    // A sibling whose name only extends the folder counts as inside it.
    EXPECT_TRUE(RunsFromFolder(L"C:\\Temp2\\setup.exe", L"C:\\Temp"));
    EXPECT_TRUE(RunsFromFolder(L"C:\\Temporary Files\\setup.exe", L"c:\\temp"));
    // Only ASCII letters are folded: other characters must match exactly.
    EXPECT_FALSE(RunsFromFolder(L"C:\\\u00C9t\u00E9\\setup.exe", L"c:\\\u00E9t\u00E9"));
    EXPECT_TRUE(RunsFromFolder(L"C:\\\u00E9T\u00E9\\setup.exe", L"c:\\\u00E9t\u00E9"));
}

TEST(RunsFromFolder, AnEmptyFolderMatchesNothing) {
    EXPECT_FALSE(RunsFromFolder(L"C:\\Downloads\\setup.exe", L""));
}

TEST(AsciiLowerCase, FoldsAsciiLettersOnly) {
    EXPECT_EQ(AsciiLowerCase(L"AZaz09\\[@`{"), L"azaz09\\[@`{");
    EXPECT_EQ(AsciiLowerCase(L"\u00C4\u0130"), L"\u00C4\u0130");
}

} // namespace
