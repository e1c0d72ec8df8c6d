#include "platform/SystemFolders.h"
#include "ui/GdiApi.h"

#include <gtest/gtest.h>

namespace {

int stockObjectCalls = 0;
HGDIOBJ WINAPI CountingGetStockObject(int) {
    ++stockObjectCalls;
    return nullptr;
}

TEST(GdiApi, ResolvesAllNineFunctionsFromTheSystemGdi32) {
    const auto functions = ResolveGdiFunctions(SystemFolderPath() + L"\\gdi32.dll");
    ASSERT_TRUE(functions.has_value());
    EXPECT_NE(functions->setTextColor, nullptr);
    EXPECT_NE(functions->createFontIndirectW, nullptr);
    // The table the window uses was installed before the test started.
    EXPECT_NE(GdiApi::GetStockObject(BLACK_PEN), nullptr);
}

TEST(GdiApi, LibraryWithoutTheFunctionsResolvesNothing) {
    // kernel32 exists but exports none of the drawing functions.
    EXPECT_FALSE(ResolveGdiFunctions(SystemFolderPath() + L"\\kernel32.dll").has_value());
    EXPECT_FALSE(ResolveGdiFunctions(SystemFolderPath() + L"\\no-such-library-here.dll").has_value());
}

TEST(GdiApiDeathTest, MissingFunctionsEndTheProcessWithCodeZero) {
    EXPECT_EXIT(InstallGdiFunctionsOrEnd(ResolveGdiFunctions(SystemFolderPath() + L"\\kernel32.dll")),
                ::testing::ExitedWithCode(0), "");
}

TEST(GdiApi, CompleteFunctionsAreInstalledAndUsed) {
    auto functions = ResolveGdiFunctions(SystemFolderPath() + L"\\gdi32.dll");
    ASSERT_TRUE(functions.has_value());
    functions->getStockObject = CountingGetStockObject;
    InstallGdiFunctionsOrEnd(functions);
    EXPECT_EQ(GdiApi::GetStockObject(BLACK_PEN), nullptr);
    EXPECT_EQ(stockObjectCalls, 1);
    InstallGdiFunctionsOrEnd(ResolveGdiFunctions(SystemFolderPath() + L"\\gdi32.dll"));
    EXPECT_NE(GdiApi::GetStockObject(BLACK_PEN), nullptr);
}

} // namespace
