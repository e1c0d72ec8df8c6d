// What the registry looks like after an uninstall removed the installer's
// registration.
#include "RegistryTestSupport.h"

#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace regtest;

class RemoveRegistration : public RegistryTest {
  protected:
    // A full installation of both brands, legacy records, the driver flag and
    // run-once values of both brands and of somebody else.
    void RecordEverything() {
        SetDword(kSettings, L"IsInstalled", 3);
        SetString(kSettings, L"InstallPath", L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\");
        SetString(kSettings, L"CurrentVersion", L"2.2.0.1");
        SetString(kSettings, L"IsCachePolicy", L"0");
        SetString(kSettings + L"\\Sub\\Deeper", L"Anything", L"x");
        SetDword(kTessaroSettings, L"IsInstalled", 3);
        SetString(kTessaroSettings, L"InstallPath", L"C:\\Tessaro\\");
        SetString(kUninstallEntry, L"DisplayVersion", L"2.2.0.1");
        SetString(kUninstallEntry, L"DisplayName", L"Helmview");
        SetString(kTessaroUninstallEntry, L"DisplayVersion", L"2.1.0.5");
        SetString(kLegacyUninstallEntry, L"DisplayVersion", L"1.0");
        SetString(kShortLegacy, L"InstallPath", L"C:\\ZQ\\");
        SetString(kShortLegacy, L"CurrentCulture", L"it-IT");
        SetString(kLongLegacy, L"CurrentVersion", L"1.0");
        SetDword(kPermanent, L"QM7700Detected", 1);
        SetRunOnce(L"NorvaleSSDHelmview", L"C:\\n.exe");
        SetRunOnce(L"TessaroSSDHelmview", L"C:\\t.exe");
        SetRunOnce(kOtherRunOnceValue, L"C:\\other.exe");
    }

    static void SetRunOnce(const std::wstring& name, const std::wstring& text) {
        SetRaw(HKEY_CURRENT_USER, kRunOnce, name, REG_SZ, text.c_str(),
               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    static std::vector<std::wstring> SortedValueNames(const std::wstring& path) {
        std::vector<std::wstring> names = ValueNames(HKEY_LOCAL_MACHINE, path);
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(RemoveRegistration, LeavesOnlyTheLanguageAndTheStartChoice) {
    RecordEverything();
    SetString(kSettings, L"CurrentCulture", L"zh-CHS");
    SetString(kSettings, L"StartMinimized", L"1");

    store_.RemoveRegistration();

    EXPECT_EQ(SortedValueNames(kSettings), (std::vector<std::wstring>{L"CurrentCulture", L"StartMinimized"}));
    EXPECT_TRUE(SubkeyNames(HKEY_LOCAL_MACHINE, kSettings).empty());
    EXPECT_EQ(GetString(kSettings, L"CurrentCulture"), L"zh-CN");
    EXPECT_EQ(GetString(kSettings, L"StartMinimized"), L"1");
    EXPECT_EQ(store_.GetIsInstalled(L"Norvale"), 5u);
    EXPECT_EQ(store_.GetIsInstalled(L"Tessaro"), 5u);

    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kTessaroUninstallEntry));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kTessaroSettings));

    // What is not the installer's to remove stays as it was.
    EXPECT_EQ(GetString(kLegacyUninstallEntry, L"DisplayVersion"), L"1.0");
    EXPECT_EQ(GetString(kShortLegacy, L"InstallPath"), L"C:\\ZQ\\");
    EXPECT_EQ(GetString(kShortLegacy, L"CurrentCulture"), L"it-IT");
    EXPECT_EQ(GetString(kLongLegacy, L"CurrentVersion"), L"1.0");
    EXPECT_EQ(GetDword(kPermanent, L"QM7700Detected"), 1u);
    EXPECT_TRUE(store_.IsQM7700Detected());

    EXPECT_FALSE(GetRaw(HKEY_CURRENT_USER, kRunOnce, L"NorvaleSSDHelmview").has_value());
    EXPECT_FALSE(GetRaw(HKEY_CURRENT_USER, kRunOnce, L"TessaroSSDHelmview").has_value());
    const auto other = GetRaw(HKEY_CURRENT_USER, kRunOnce, kOtherRunOnceValue);
    ASSERT_TRUE(other.has_value());
    EXPECT_EQ(other->data.size(), sizeof(L"C:\\other.exe"));
}

TEST_F(RemoveRegistration, StartMinimizedBecomesZeroUnlessExactlyOne) {
    for (const wchar_t* stored : {L"yes", L"", L"true", L"0"}) {
        RecordEverything();
        SetString(kSettings, L"StartMinimized", stored);
        store_.RemoveRegistration();
        EXPECT_EQ(GetString(kSettings, L"StartMinimized"), L"0")
            << ::testing::PrintToString(std::wstring(stored));
    }
}

TEST_F(RemoveRegistration, TakesTheLanguageFromTheLegacyKeyWhenTheSettingsKeyHasNone) {
    RecordEverything();
    store_.RemoveRegistration();
    EXPECT_EQ(GetString(kSettings, L"CurrentCulture"), L"it-IT");
    EXPECT_EQ(GetString(kSettings, L"StartMinimized"), L"0");
}

TEST_F(RemoveRegistration, AnAbsentLanguageComesBackEmpty) {
    SetDword(kSettings, L"IsInstalled", 1);
    SetString(kUninstallEntry, L"DisplayVersion", L"2.2.0.1");
    store_.RemoveRegistration();
    EXPECT_EQ(SortedValueNames(kSettings), (std::vector<std::wstring>{L"CurrentCulture", L"StartMinimized"}));
    EXPECT_EQ(GetString(kSettings, L"CurrentCulture"), L"");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
}

TEST_F(RemoveRegistration, WorksOnAnEmptyRegistry) {
    const bool runOnceExisted = KeyExists(HKEY_CURRENT_USER, kRunOnce);
    store_.RemoveRegistration();
    EXPECT_EQ(SortedValueNames(kSettings), (std::vector<std::wstring>{L"CurrentCulture", L"StartMinimized"}));
    // Nothing else was created on the way.
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kWow + L"Tessaro"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kPermanent));
    EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, kRunOnce), runOnceExisted);
    // A second removal finds the same state and keeps it.
    store_.RemoveRegistration();
    EXPECT_EQ(SortedValueNames(kSettings), (std::vector<std::wstring>{L"CurrentCulture", L"StartMinimized"}));
}

} // namespace
