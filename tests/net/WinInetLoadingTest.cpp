// A wininet.dll planted beside a program must not be loaded by the
// installer's code, while a program that imports WinINet the ordinary way
// does pick it up (which shows the plant is effective on this system).
#include "net/WinInetApi.h"
#include "profile/SystemFolderPath.h"

#include <gtest/gtest.h>

#include "NetTestFiles.h"

#include <windows.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

const std::wstring kTests = std::wstring(HELM_BINARY_DIR) + L"\\tests\\";

// Runs program with the result file as its argument; returns the wininet.dll
// path it reported.
std::wstring RunProbe(const std::wstring& program, const std::wstring& resultFile) {
    std::wstring commandLine = L"\"" + program + L"\" \"" + resultFile + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    // The folder of the program is also made the current one, the way a
    // user starting it from a downloads folder would have it.
    const std::wstring folder = fs::path(program).parent_path().wstring();
    if (!::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &process)) {
        ADD_FAILURE() << "cannot start " << ::testing::PrintToString(program) << ": " << ::GetLastError();
        return std::wstring();
    }
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    const std::string bytes = FileBytes(resultFile);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Wine prefers its own built-in WinINet to a file found beside a program,
// where Windows takes the file. A per-program override (a Wine-only registry
// key, ignored by Windows) makes Wine search the way Windows does for the two
// probe programs.
void SearchLikeWindows(const std::wstring& program) {
    const std::wstring key = L"Software\\Wine\\AppDefaults\\" + program + L"\\DllOverrides";
    const wchar_t value[] = L"native,builtin";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"wininet", REG_SZ, value, sizeof(value)),
              ERROR_SUCCESS);
}

TEST(WinInetLoading, APlantedCopyBesideTheProgramIsNeverLoaded) {
    SearchLikeWindows(L"helm_import_probe.exe");
    SearchLikeWindows(L"helm_probe.exe");
    const std::wstring folder = FreshWorkFolder(L"net");
    const std::wstring planted = folder + L"wininet.dll";
    const std::wstring marker = planted + L".loaded";
    fs::copy_file(kTests + L"planted_wininet.dll", planted);
    fs::copy_file(kTests + L"wininet_probe.exe", folder + L"helm_probe.exe");
    fs::copy_file(kTests + L"wininet_import_probe.exe", folder + L"helm_import_probe.exe");

    // Control: the ordinary import finds the planted copy first.
    const std::wstring imported = RunProbe(folder + L"helm_import_probe.exe", folder + L"import.txt");
    ASSERT_TRUE(fs::exists(marker)) << "the planted DLL is not picked up even by a plain import";
    EXPECT_TRUE(SamePath(imported, planted)) << ::testing::PrintToString(imported);
    fs::remove(marker);

    const std::wstring loaded = RunProbe(folder + L"helm_probe.exe", folder + L"probe.txt");
    EXPECT_FALSE(fs::exists(marker)) << "the planted wininet.dll was loaded";
    EXPECT_TRUE(SamePath(loaded, SystemFolderPath() + L"\\wininet.dll")) << ::testing::PrintToString(loaded);
}

TEST(WinInetLoading, IsLoadedBeforeTheProgramRuns) {
    // The downloader's code is linked into this program, so the library is
    // in place before main, from the System folder.
    const HMODULE module = ::GetModuleHandleW(L"wininet.dll");
    ASSERT_NE(module, nullptr);
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(module, path, MAX_PATH), 0u);
    EXPECT_TRUE(SamePath(path, SystemFolderPath() + L"\\wininet.dll")) << ::testing::PrintToString(path);
    EXPECT_EQ(WinInet().module, module);
    EXPECT_NE(WinInet().InternetReadFile, nullptr);
}

} // namespace
