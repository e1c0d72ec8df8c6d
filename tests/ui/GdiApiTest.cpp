#include "platform/SystemFolders.h"
#include "ui/GdiApi.h"

#include <gtest/gtest.h>

namespace {

// Two process-wide tables from the same library: one it can fill, one that
// names a function the library lacks.
struct Complete {
    static constexpr const wchar_t* kLibrary = L"gdi32.dll";
    decltype(&::GetStockObject) getStockObject = nullptr;
    bool BindFrom(const SystemLibrary& library) { return library.Bind("GetStockObject", getStockObject); }
};
struct HalfThere {
    static constexpr const wchar_t* kLibrary = L"gdi32.dll";
    decltype(&::GetStockObject) getStockObject = nullptr;
    void(WINAPI* absent)() = nullptr;
    bool BindFrom(const SystemLibrary& library) {
        return library.Bind("GetStockObject", getStockObject, "NoSuchExportHere", absent);
    }
};

TEST(SystemFunctions, AreHandedOutWholeOrNotAtAllAndBoundOnce) {
    EXPECT_EQ(SystemFunctions<HalfThere>(), nullptr) << "a partly bound table is never handed out";
    const Complete* complete = SystemFunctions<Complete>();
    ASSERT_NE(complete, nullptr);
    EXPECT_EQ(SystemFunctions<Complete>(), complete) << "bound once and kept";
    const HMODULE gdi32 = ::GetModuleHandleW(L"gdi32.dll");
    ASSERT_NE(gdi32, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(complete->getStockObject),
              reinterpret_cast<void*>(::GetProcAddress(gdi32, "GetStockObject")));
}

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
