#include "PlantedDllTest.h"

#include "platform/SystemFolders.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

const std::wstring kTests = std::wstring(HELM_BINARY_DIR) + L"\\tests\\";

// Runs program with the result file as its argument; returns the DLL path it
// reported.
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
    ::CloseHandle(process.hProcess);
    std::ifstream in(fs::path(resultFile), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

// Wine prefers its own built-in DLLs to a file found beside a program, where
// Windows takes the file. A per-program override (a Wine-only registry key,
// ignored by Windows) makes Wine search the way Windows does for the probes.
void SearchLikeWindows(const std::wstring& program, const std::wstring& dll) {
    const std::wstring key = L"Software\\Wine\\AppDefaults\\" + program + L"\\DllOverrides";
    const wchar_t value[] = L"native,builtin";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), dll.c_str(), REG_SZ, value, sizeof(value)),
              ERROR_SUCCESS);
}

} // namespace

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

void ExpectPlantedCopyNeverLoaded(const std::wstring& dll, const std::wstring& folder,
                                  const std::wstring& probeName, const std::wstring& importProbeName) {
    SearchLikeWindows(importProbeName, dll);
    SearchLikeWindows(probeName, dll);
    const std::wstring planted = folder + dll + L".dll";
    const std::wstring marker = planted + L".loaded";
    fs::copy_file(kTests + L"planted_" + dll + L".dll", planted);
    fs::copy_file(kTests + dll + L"_probe.exe", folder + probeName);
    fs::copy_file(kTests + dll + L"_import_probe.exe", folder + importProbeName);

    // Control: the ordinary import finds the planted copy first.
    const std::wstring imported = RunProbe(folder + importProbeName, folder + L"import.txt");
    ASSERT_TRUE(fs::exists(marker)) << "the planted DLL is not picked up even by a plain import";
    EXPECT_TRUE(SamePath(imported, planted)) << ::testing::PrintToString(imported);
    fs::remove(marker);

    const std::wstring loaded = RunProbe(folder + probeName, folder + L"probe.txt");
    EXPECT_FALSE(fs::exists(marker)) << "the planted " << ::testing::PrintToString(dll) << ".dll was loaded";
    EXPECT_TRUE(SamePath(loaded, SystemFolderPath() + L"\\" + dll + L".dll"))
        << ::testing::PrintToString(loaded);
}
