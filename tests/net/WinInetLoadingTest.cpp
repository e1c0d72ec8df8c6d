// A wininet.dll planted beside a program must not be loaded by the
// installer's code, while a program that imports WinINet the ordinary way
// does pick it up (which shows the plant is effective on this system).
#include "net/WinInetApi.h"
#include "platform/SystemFolders.h"

#include <gtest/gtest.h>

#include "NetTestFiles.h"
#include "PlantedDllTest.h"

#include <windows.h>

namespace {

TEST(WinInetLoading, APlantedCopyBesideTheProgramIsNeverLoaded) {
    ExpectPlantedCopyNeverLoaded(L"wininet", FreshWorkFolder(L"net"), L"helm_probe.exe",
                                 L"helm_import_probe.exe");
}

TEST(WinInetLoading, IsBoundFromTheSystemFolder) {
    const WinInetApi* api = WinInet();
    ASSERT_NE(api, nullptr);
    const HMODULE module = ::GetModuleHandleW(L"wininet.dll");
    ASSERT_NE(module, nullptr);
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(module, path, MAX_PATH), 0u);
    EXPECT_TRUE(SamePath(path, SystemFolderPath() + L"\\wininet.dll")) << ::testing::PrintToString(path);
    EXPECT_NE(api->InternetReadFile, nullptr);
    EXPECT_EQ(api, WinInet()); // bound once, kept
}

} // namespace
