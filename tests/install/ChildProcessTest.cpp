#include "install/ChildProcess.h"
#include "install/CommandLines.h"

#include "InstallTestSupport.h"
#include "common/UniqueHandle.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace helmtest;

namespace {

void CopyProgram(const std::wstring& from, const std::wstring& to) {
    ASSERT_TRUE(::CopyFileW(from.c_str(), to.c_str(), FALSE)) << Narrow(to);
}

} // namespace

TEST(RunChild, RunsAQuotedProgramPathWithBlanksAndWaitsForItsEnd) {
    ScratchFolder folder(L"run \u00e9t\u00e9");
    const std::wstring program = folder.path() + L"VC_redist.x86.exe";
    CopyProgram(FixtureProgram(L"fixture_prereq.exe"), program);
    FixtureLog log;

    const std::wstring commandLine = ProgramCommandLine(program, L"/quiet /norestart");
    EXPECT_TRUE(RunChild(program, commandLine, L"").Succeeded());

    // The line is there as soon as the call returns: it waited for the end.
    EXPECT_EQ(log.Lines(), std::vector<std::wstring>{L"VC_redist.x86.exe " + commandLine});
}

TEST(RunChild, QuotedPathDoesNotRunAProgramPlantedAtTheFirstBlank) {
    // Unquoted, "<folder>\app dir\setup.exe" would be tried as "<folder>\app.exe" first.
    ScratchFolder folder(L"planted");
    MakeFolders(folder.path() + L"app dir");
    CopyProgram(FixtureProgram(L"fixture_prereq.exe"), folder.path() + L"app dir\\setup.exe");
    CopyProgram(FixtureProgram(L"fixture_prereq.exe"), folder.path() + L"app.exe");
    FixtureLog log;

    const std::wstring program = folder.path() + L"app dir\\setup.exe";
    RunChild(program, ProgramCommandLine(program, L"/quiet"), L"");

    const std::vector<std::wstring> lines = log.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 10), L"setup.exe ");
}

TEST(RunChild, MissingProgramIsSkippedAndTheNextOneRuns) {
    ScratchFolder folder(L"missing");
    CopyProgram(FixtureProgram(L"fixture_prereq.exe"), folder.path() + L"present.exe");
    FixtureLog log;

    const std::wstring absent = folder.path() + L"absent.exe";
    const std::wstring present = folder.path() + L"present.exe";
    EXPECT_FALSE(RunChild(absent, ProgramCommandLine(absent, L"/quiet"), L"").started);
    EXPECT_TRUE(RunChild(present, ProgramCommandLine(present, L"/second"), L"").Succeeded());

    const std::vector<std::wstring> lines = log.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(L"/second"), std::wstring::npos);
}

TEST(KillProcess, EndsEveryRunningProcessOfTheImageName) {
    ScratchFolder folder(L"kill");
    const std::wstring program = folder.path() + L"HelmviewKillProbe.exe";
    CopyProgram(FixtureProgram(L"Helmview.exe"), program);
    FixtureLog log;
    unique_handle first(StartProgram(program, L""));
    unique_handle second(StartProgram(program, L""));
    ASSERT_TRUE(first && second);
    // Both have started once they have logged.
    for (int i = 0; i < 200 && log.Lines().size() < 2; ++i)
        ::Sleep(50);
    ASSERT_EQ(log.Lines().size(), 2u);
    ASSERT_EQ(::WaitForSingleObject(first.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    KillProcess(L"HelmviewKillProbe.exe");

    EXPECT_EQ(::WaitForSingleObject(first.get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(::WaitForSingleObject(second.get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST(KillProcess, LeavesProcessesOfOtherNamesAlone) {
    ScratchFolder folder(L"kill other");
    const std::wstring program = folder.path() + L"HelmviewKeepProbe.exe";
    CopyProgram(FixtureProgram(L"Helmview.exe"), program);
    FixtureLog log;
    unique_handle process(StartProgram(program, L""));
    ASSERT_TRUE(process);
    for (int i = 0; i < 200 && log.Lines().empty(); ++i)
        ::Sleep(50);

    KillProcess(L"HelmviewNoSuchProbe.exe"); // nothing runs under this name

    EXPECT_EQ(::WaitForSingleObject(process.get(), 500), static_cast<DWORD>(WAIT_TIMEOUT));
    ::TerminateProcess(process.get(), 0);
    ::WaitForSingleObject(process.get(), 10000);
}
