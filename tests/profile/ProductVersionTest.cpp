#include "profile/ProductVersion.h"

#include <gtest/gtest.h>

namespace {

struct CompareCase {
    const wchar_t* a;
    const wchar_t* b;
    int expected;
};

class VersionCompare : public ::testing::TestWithParam<CompareCase> {};

TEST_P(VersionCompare, FollowsTheComponentRule) {
    const CompareCase& c = GetParam();
    EXPECT_EQ(ProductVersion(c.a).Compare(ProductVersion(c.b)), c.expected)
        << "a=\"" << ::testing::PrintToString(std::wstring(c.a)) << "\" b=\""
        << ::testing::PrintToString(std::wstring(c.b)) << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, VersionCompare,
    ::testing::Values(
        // Numeric, not textual, per component.
        CompareCase{L"1.2.10", L"1.2.9", 1}, CompareCase{L"1.2.9", L"1.2.10", -1},
        CompareCase{L"2.2.0.1", L"2.1.0.5", 1}, CompareCase{L"2.2.9", L"2.3", -1},
        // A longer version wins over its prefix.
        CompareCase{L"2.0", L"2.0.0", -1}, CompareCase{L"2.0.0", L"2.0", 1},
        // Different spellings of equal numbers: +1 whichever way round.
        CompareCase{L"1.02", L"1.2", 1}, CompareCase{L"1.2", L"1.02", 1}, CompareCase{L"1.0", L"1.x", 1},
        CompareCase{L"1.x", L"1.0", 1},
        // Identity is the only way to get 0.
        CompareCase{L"3.8.2.5", L"3.8.2.5", 0}, CompareCase{L"", L"", 0},
        // Empty texts have no components.
        CompareCase{L"", L"1.0", -1}, CompareCase{L"1.0", L"", 1},
        // Stream-style splitting: doubled and leading dots make empty (0)
        // components, a final dot adds none.
        CompareCase{L"1..2", L"1.0.2", 1}, CompareCase{L"1.0.2", L"1..2", 1}, CompareCase{L".5", L"0.5", 1},
        CompareCase{L".5", L"0.6", -1}, CompareCase{L"1.2.", L"1.2", 1}, CompareCase{L"1.2.", L"1.2.0", -1},
        // strtol-like conversion: white space, signs, trailing junk,
        // no digits and out-of-range values.
        CompareCase{L"1. 7", L"1.6", 1}, CompareCase{L"1.7b", L"1.8", -1}, CompareCase{L"1.b7", L"1.1", -1},
        CompareCase{L"1.b7", L"1.-1", 1}, CompareCase{L"1.-1", L"1.0", -1}, CompareCase{L"1.+3", L"1.2", 1},
        CompareCase{L"1.99999999999", L"1.1", -1}, CompareCase{L"1.2147483647", L"1.2147483646", 1},
        CompareCase{L"1.2147483648", L"1.1", -1}, CompareCase{L"1.-2147483648", L"1.-2147483647", -1},
        CompareCase{L"1.-2147483649", L"1.-1", 1}, CompareCase{L"1.\t\n4", L"1.3", 1}));

TEST(ProductVersion, HoldsItsTextUnchanged) {
    ProductVersion v;
    EXPECT_TRUE(v.IsEmpty());
    EXPECT_EQ(v.Get(), L"");
    v.Set(L" 3.8 ");
    EXPECT_FALSE(v.IsEmpty());
    EXPECT_EQ(v.Get(), L" 3.8 ");
    v.Set(L"");
    EXPECT_TRUE(v.IsEmpty());
}

} // namespace
