// Key paths and the culture mapping, without the registry.
#include "settings/LegacyCultureCode.h"
#include "settings/RegistryKeyPaths.h"

#include <gtest/gtest.h>

namespace {

// The joins are kept literal; the doubled and trailing separators they leave
// are part of the stored layout's contract with the registry.
TEST(RegistryKeyPaths, JoinFragmentsLiterally) {
    EXPECT_EQ(BuildSettingsKeyPath(L"Norvale", L"SSD Helmview\\"), L"SOFTWARE\\Norvale\\SSD Helmview\\");
    EXPECT_EQ(BuildSettingsKeyPath(registry_names::kShortLegacyFolder, L"SSD Helmview\\"),
              L"SOFTWARE\\ZQ\\\\SSD Helmview\\");
    EXPECT_EQ(BuildSettingsKeyPath(registry_names::kLegacyProductName, L"SSD Helmview\\"),
              L"SOFTWARE\\ZQ SSD Helmview\\SSD Helmview\\");
    EXPECT_EQ(BuildUninstallKeyPath(L"Norvale SSD Helmview"),
              L"SOFTWARE\\\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Norvale SSD Helmview");
    EXPECT_EQ(BuildPermanentKeyPath(L"Norvale"), L"SOFTWARE\\Norvale\\Permanent");
    EXPECT_EQ(BuildMakerKeyPath(L"Tessaro"), L"SOFTWARE\\Tessaro");
    EXPECT_EQ(BuildUninstallParentPath(), L"SOFTWARE\\\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\");
    EXPECT_EQ(BuildRunOnceKeyPath(), L"SOFTWARE\\\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\");
}

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
