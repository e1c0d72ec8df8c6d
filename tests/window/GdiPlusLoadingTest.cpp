// A gdiplus.dll planted beside a program must not be loaded by the window's
// code, while a program that imports GDI+ the ordinary way does pick it up
// (which shows the plant is effective on this system).
#include "profile/SystemFolderPath.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

namespace fs = std::filesystem;

const std::wstring kTests = std::wstring(HELM_BINARY_DIR) + L"\\tests\\";

std::wstring FreshFolder() {
    const fs::path folder = fs::path(HELM_BINARY_DIR) / L"testwork" / L"window" / L"gdiplus-plant";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    return folder.wstring() + L"\\";
}

// Runs program (from its own folder, as a user starting it from a downloads
// folder would) with the result file as its argument; returns the gdiplus.dll
// path it reported.
std::wstring RunProbe(const std::wstring& program, const std::wstring& resultFile) {
    std::wstring commandLine = L"\"" + program + L"\" \"" + resultFile + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const std::wstring folder = fs::path(program).parent_path().wstring();
    if (!::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &process)) {
        ADD_FAILURE() << "cannot start " << ::testing::PrintToString(program) << ": " << ::GetLastError();
        return std::wstring();
    }
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, 60000);
    ::CloseHandle(process.hProcess);
    std::ifstream in(fs::path(resultFile), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Wine prefers its own built-in GDI+ to a file found beside a program, where
// Windows takes the file. A per-program override (a Wine-only registry key,
// ignored by Windows) makes Wine search the way Windows does for the probes.
void SearchLikeWindows(const std::wstring& program) {
    const std::wstring key = L"Software\\Wine\\AppDefaults\\" + program + L"\\DllOverrides";
    const wchar_t value[] = L"native,builtin";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"gdiplus", REG_SZ, value, sizeof(value)),
              ERROR_SUCCESS);
}

TEST(GdiPlusLoading, APlantedCopyBesideTheProgramIsNeverLoaded) {
    SearchLikeWindows(L"window_import_probe.exe");
    SearchLikeWindows(L"window_probe.exe");
    const std::wstring folder = FreshFolder();
    const std::wstring planted = folder + L"gdiplus.dll";
    const std::wstring marker = planted + L".loaded";
    fs::copy_file(kTests + L"planted_gdiplus.dll", planted);
    fs::copy_file(kTests + L"gdiplus_probe.exe", folder + L"window_probe.exe");
    fs::copy_file(kTests + L"gdiplus_import_probe.exe", folder + L"window_import_probe.exe");

    // Control: the ordinary import finds the planted copy first.
    const std::wstring imported = RunProbe(folder + L"window_import_probe.exe", folder + L"import.txt");
    ASSERT_TRUE(fs::exists(marker)) << "the planted DLL is not picked up even by a plain import";
    EXPECT_TRUE(SamePath(imported, planted)) << ::testing::PrintToString(imported);
    fs::remove(marker);

    const std::wstring loaded = RunProbe(folder + L"window_probe.exe", folder + L"probe.txt");
    EXPECT_FALSE(fs::exists(marker)) << "the planted gdiplus.dll was loaded";
    EXPECT_TRUE(SamePath(loaded, SystemFolderPath() + L"\\gdiplus.dll")) << ::testing::PrintToString(loaded);
}

} // namespace
