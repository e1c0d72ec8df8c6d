// The culture mapping, without the registry.
#include "settings/LegacyCultureCode.h"

#include <gtest/gtest.h>

namespace {

TEST(LegacyCultureCode, MapsOnlyTheTwoExactLegacyNames) {
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    };
    for (const Case& c : {Case{L"zh-CHT", L"zh-TW"}, Case{L"zh-CHS", L"zh-CN"}, Case{L"zh-cht", L"zh-cht"},
                          Case{L"ZH-CHS", L"ZH-CHS"}, Case{L"zh-CHT ", L"zh-CHT "}, Case{L"zh-TW", L"zh-TW"},
                          Case{L"zh-CN", L"zh-CN"}, Case{L"zh-Hans", L"zh-Hans"}, Case{L"", L""}})
        EXPECT_EQ(MapLegacyChineseCulture(c.in), c.out) << ::testing::PrintToString(std::wstring(c.in));
}

} // namespace
