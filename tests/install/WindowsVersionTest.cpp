#include "install/WindowsVersion.h"

#include <gtest/gtest.h>

#include <windows.h>

// The test programs carry the installer's manifest and the test prefix
// reports Windows 10, so the check must see version 10.0.
TEST(IsWindows10OrLater, IsTrueOnWindows10WithTheCompatibilityManifest) {
    EXPECT_TRUE(IsWindows10OrLater());
}

TEST(IsWindows10OrLater, AgreesWithTheVersionTheSystemReports) {
    // RtlGetVersion ignores the manifest and tells the real version.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtlGetVersion, nullptr);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_EQ(rtlGetVersion(&info), 0);
    EXPECT_EQ(IsWindows10OrLater(), info.dwMajorVersion >= 10);
}
