#include "platform/RunLog.h"

#include <gtest/gtest.h>

#include "TestFiles.h"

#include <windows.h>

#include <string>

using namespace helmtest;

TEST(LoggedText, EscapesControlCharactersAndCapsTheLength) {
    const struct {
        std::wstring server;
        std::wstring logged;
    } cases[] = {
        {L"2.2.0.1", L"2.2.0.1"},
        {L"2.2\r\n2026-01-01T00:00:00.000+00:00 [1] end: exit code 0",
         L"2.2\\x0D\\x0A2026-01-01T00:00:00.000+00:00 [1] end: exit code 0"},
        {L"\x1b[2J\x7f\x85", L"\\x1B[2J\\x7F\\x85"},
        {L"1.0\x202e"
         L"5.0",
         L"1.0\\u202E5.0"},
        {L"a\\x0D", L"a\\\\x0D"},
        {L"\u00e9t\u00e9 2.0", L"\u00e9t\u00e9 2.0"},
        {std::wstring(64, L'9'), std::wstring(64, L'9')},
        {std::wstring(5000, L'9'), std::wstring(64, L'9') + L"..."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoggedText(c.server), c.logged) << Narrow(c.server);
}

TEST(OpenRunLog, OpensOnlyAPlainFileReachedByItsOwnName) {
    ScratchFolder scratch(L"runlog");
    const std::wstring target = scratch.path() + L"target";
    MakeFolders(target);
    ASSERT_TRUE(MakeFolderLink(scratch.path() + L"linked", target));
    WriteBytes(scratch.path() + L"named twice.log", "");
    ASSERT_TRUE(::CreateHardLinkW((scratch.path() + L"second name.log").c_str(),
                                  (scratch.path() + L"named twice.log").c_str(), nullptr));

    const struct {
        std::wstring path;
        const wchar_t* refusal; // a part of the reason given
    } refused[] = {
        {scratch.path() + L"linked\\run.log", L"linked is a link"},
        {scratch.path() + L"named twice.log", L"2 names"},
        {L"\\\\.\\NUL", L"device path"},
        {L"\\\\?\\" + scratch.path() + L"device.log", L"device path"},
    };
    for (const auto& r : refused) {
        std::wstring refusal;
        EXPECT_FALSE(OpenRunLog(r.path, &refusal)) << Narrow(r.path);
        EXPECT_NE(refusal.find(r.refusal), std::wstring::npos) << Narrow(r.path) << ": " << Narrow(refusal);
        EXPECT_FALSE(RunLogOpen());
    }
    EXPECT_EQ(FilesBelow(target), std::vector<std::wstring>{}) << "nothing made where the link leads";
    EXPECT_FALSE(FileExists(scratch.path() + L"device.log"));

    // Missing is not refused, only not opened; a plain file is opened.
    std::wstring refusal = L"unset";
    EXPECT_FALSE(OpenRunLog(scratch.path() + L"no such folder\\run.log", &refusal));
    EXPECT_EQ(refusal, L"");
    EXPECT_TRUE(OpenRunLog(scratch.path() + L"run.log", &refusal)) << Narrow(refusal);
    LogEvent(L"decision: offered " + LoggedText(L"2.2\n0.1"));
    CloseRunLog();
    const std::string written = ReadBytes(scratch.path() + L"run.log");
    EXPECT_NE(written.find("] decision: offered 2.2\\x0A0.1\r\n"), std::string::npos) << written;
    RemoveFolderLink(scratch.path() + L"linked");
}
