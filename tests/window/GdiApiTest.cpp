#include "platform/SystemFolders.h"
#include "ui/GdiApi.h"

#include <gtest/gtest.h>

namespace {

// One binding rule for every table: all of its functions or none.
TEST(GdiApi, BindsAllFunctionsOrNone) {
    const struct {
        const wchar_t* library;
        bool bound;
    } cases[] = {
        {L"gdi32.dll", true},
        {L"kernel32.dll", false}, // exists, but exports none of the drawing functions
        {L"no-such-library-here.dll", false},
    };
    for (const auto& c : cases) {
        const auto functions =
            BindFunctions<GdiFunctions>(BindLibraryAt(SystemFolderPath() + L"\\" + c.library));
        EXPECT_EQ(functions.has_value(), c.bound) << ::testing::PrintToString(c.library);
        if (functions) {
            EXPECT_NE(functions->setTextColor, nullptr);
            EXPECT_NE(functions->createFontIndirectW, nullptr);
        }
    }
    // The process-wide table is bound at first use and drawn through.
    ASSERT_NE(SystemFunctions<GdiFunctions>(), nullptr);
    EXPECT_NE(GdiApi::GetStockObject(BLACK_PEN), nullptr);
    RequireGdiOrEnd(SystemFunctions<GdiFunctions>());
}

TEST(GdiApiDeathTest, MissingFunctionsEndTheProcessWithCodeZero) {
    EXPECT_EXIT(RequireGdiOrEnd(nullptr), ::testing::ExitedWithCode(0), "");
}

} // namespace
