// The store's named operations against Wine's real registry: what each one
// writes where, and what each read makes of absent, legacy and odd records.
#include "tests/install/InstallDecisionPrinter.h"
#include "RegistryTestSupport.h"

#include "settings/SettingsStore.h"
#include "install/InstallState.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace regtest;

class SettingsStoreTest : public RegistryTest {};

TEST_F(SettingsStoreTest, InstallSequenceWritesLandWhereTheyBelong) {
    const SettingsStore& store = store_;
    store.SetIsInstalled(1);
    store.SetInstallPath(L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\");
    store.SetDisplayVersion(ProductVersion(L"2.2.0.1"));
    store.SetCurrentVersion(ProductVersion(L"2.2.0.1"));
    store.SetDisplayName();
    store.SetDisplayIcon(L"C:\\P\\Helmview.exe");
    store.SetInstallSource(L"C:\\P\\HelmviewSetup.exe");
    store.SetPublisher(L"Norvale Corporation");
    store.SetUninstallString(L"C:\\P\\HelmviewSetup.exe -uninstall ");
    store.SetIsCachePolicy(L"0");
    store.SetIsInstalled(3);

    EXPECT_EQ(GetDword(kSettings, L"IsInstalled"), 3u);
    EXPECT_EQ(GetString(kSettings, L"InstallPath"), L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\");
    EXPECT_EQ(GetString(kSettings, L"CurrentVersion"), L"2.2.0.1");
    EXPECT_EQ(GetString(kSettings, L"IsCachePolicy"), L"0");
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kSettings).size(), 4u);

    EXPECT_EQ(GetString(kUninstallEntry, L"DisplayVersion"), L"2.2.0.1");
    EXPECT_EQ(GetString(kUninstallEntry, L"DisplayName"), L"Helmview");
    EXPECT_EQ(GetString(kUninstallEntry, L"DisplayIcon"), L"C:\\P\\Helmview.exe");
    EXPECT_EQ(GetString(kUninstallEntry, L"InstallSource"), L"C:\\P\\HelmviewSetup.exe");
    EXPECT_EQ(GetString(kUninstallEntry, L"Publisher"), L"Norvale Corporation");
    // The trailing blank survives.
    EXPECT_EQ(GetString(kUninstallEntry, L"UninstallString"), L"C:\\P\\HelmviewSetup.exe -uninstall ");
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kUninstallEntry).size(), 6u);

    // And the store reads its own records back.
    EXPECT_EQ(store.GetIsInstalled(L"Norvale"), 3u);
    EXPECT_EQ(store.GetInstallPath(), L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\");
    EXPECT_EQ(store.GetCurrentVersion().Get(), L"2.2.0.1");
    EXPECT_EQ(store.GetInstalledVersion().Get(), L"2.2.0.1");
}

TEST_F(SettingsStoreTest, IsInstalledKeepsOnlyWellFormedNumbers) {
    const SettingsStore& store = store_;
    EXPECT_EQ(store.GetIsInstalled(L"Norvale"), 5u);
    EXPECT_EQ(store.GetIsInstalled(L"Tessaro"), 5u);

    SetString(kSettings, L"IsInstalled", L"3");
    EXPECT_EQ(store.GetIsInstalled(L"Norvale"), 5u);
    SetDword(kSettings, L"IsInstalled", 0xFFFFFFFFu);
    EXPECT_EQ(store.GetIsInstalled(L"Norvale"), 5u);
    SetDword(kSettings, L"IsInstalled", 0);
    EXPECT_EQ(store.GetIsInstalled(L"Norvale"), 0u);
    SetDword(kSettings, L"IsInstalled", 1);
    EXPECT_EQ(store.GetIsInstalled(L"Norvale"), 1u);
    // Numbers the installer never writes come back as stored.
    SetDword(kSettings, L"IsInstalled", 7);
    EXPECT_EQ(store.GetIsInstalled(L"Norvale"), 7u);

    // Each maker has its own record.
    SetDword(kTessaroSettings, L"IsInstalled", 3);
    EXPECT_EQ(store.GetIsInstalled(L"Tessaro"), 3u);
    EXPECT_EQ(store.GetIsInstalled(L"Norvale"), 7u);
}

TEST_F(SettingsStoreTest, InstallPathFallsBackToTheShortLegacyKeyOnly) {
    const SettingsStore& store = store_;
    SetString(kShortLegacy, L"InstallPath", L"C:\\Legacy\\");
    SetString(kLongLegacy, L"InstallPath", L"C:\\LongLegacy\\");
    EXPECT_EQ(store.GetInstallPath(), L"C:\\Legacy\\");
    // An empty value counts as absent.
    SetString(kSettings, L"InstallPath", L"");
    EXPECT_EQ(store.GetInstallPath(), L"C:\\Legacy\\");
    SetString(kSettings, L"InstallPath", L"C:\\Current\\");
    EXPECT_EQ(store.GetInstallPath(), L"C:\\Current\\");

    DeleteTree(HKEY_LOCAL_MACHINE, kShortLegacy);
    DeleteValue(HKEY_LOCAL_MACHINE, kSettings, L"InstallPath");
    EXPECT_EQ(store.GetInstallPath(), L"");
}

TEST_F(SettingsStoreTest, TooLongValuesCountAsAbsent) {
    const SettingsStore& store = store_;
    SetString(kShortLegacy, L"InstallPath", L"C:\\Legacy\\");
    const std::wstring longest = L"C:\\" + std::wstring(508, L'p');
    ASSERT_EQ(longest.size(), 511u);
    SetString(kSettings, L"InstallPath", longest);
    EXPECT_EQ(store.GetInstallPath(), longest);
    SetString(kSettings, L"InstallPath", longest + L"q");
    EXPECT_EQ(store.GetInstallPath(), L"C:\\Legacy\\");
}

TEST_F(SettingsStoreTest, TessaroInstallPathHasNoFallback) {
    const SettingsStore& store = store_;
    SetString(kShortLegacy, L"InstallPath", L"C:\\Legacy\\");
    SetString(kSettings, L"InstallPath", L"C:\\Norvale\\");
    EXPECT_EQ(store.GetTessaroInstallPath(), L"");
    SetString(kTessaroSettings, L"InstallPath", L"C:\\Tessaro\\");
    EXPECT_EQ(store.GetTessaroInstallPath(), L"C:\\Tessaro\\");
}

TEST_F(SettingsStoreTest, CultureFallsBackAndMapsTheLegacyChineseCodes) {
    const SettingsStore& store = store_;
    EXPECT_EQ(store.GetCurrentCulture(), L"");
    SetString(kLongLegacy, L"CurrentCulture", L"de-DE"); // never consulted
    EXPECT_EQ(store.GetCurrentCulture(), L"");
    SetString(kShortLegacy, L"CurrentCulture", L"fr-FR");
    SetString(kSettings, L"CurrentCulture", L"");
    EXPECT_EQ(store.GetCurrentCulture(), L"fr-FR");

    struct Case {
        const wchar_t* stored;
        const wchar_t* read;
    };
    for (const Case& c : {Case{L"zh-CHT", L"zh-TW"}, Case{L"zh-CHS", L"zh-CN"}, Case{L"zh-cht", L"zh-cht"},
                          Case{L"zh-TW", L"zh-TW"}, Case{L"zh-CN", L"zh-CN"}, Case{L"zh-CHS ", L"zh-CHS "}}) {
        store.SetCurrentCulture(c.stored);
        EXPECT_EQ(store.GetCurrentCulture(), c.read) << ::testing::PrintToString(std::wstring(c.stored));
        // Writing keeps the text as given.
        EXPECT_EQ(GetString(kSettings, L"CurrentCulture"), c.stored);
    }
    // The mapping applies to the legacy key's text as well.
    DeleteValue(HKEY_LOCAL_MACHINE, kSettings, L"CurrentCulture");
    SetString(kShortLegacy, L"CurrentCulture", L"zh-CHT");
    EXPECT_EQ(store.GetCurrentCulture(), L"zh-TW");
}

TEST_F(SettingsStoreTest, CurrentVersionFallsBackToTheLongLegacyKeyOnly) {
    const SettingsStore& store = store_;
    SetString(kShortLegacy, L"CurrentVersion", L"1.1");
    EXPECT_TRUE(store.GetCurrentVersion().IsEmpty());
    SetString(kLongLegacy, L"CurrentVersion", L"1.5.2");
    EXPECT_EQ(store.GetCurrentVersion().Get(), L"1.5.2");
    SetString(kSettings, L"CurrentVersion", L"");
    EXPECT_EQ(store.GetCurrentVersion().Get(), L"1.5.2");
    store.SetCurrentVersion(ProductVersion(L"2.0"));
    EXPECT_EQ(store.GetCurrentVersion().Get(), L"2.0");
}

TEST_F(SettingsStoreTest, InstalledVersionTriesTheThreeUninstallEntriesInOrder) {
    const SettingsStore& store = store_;
    EXPECT_TRUE(store.GetInstalledVersion().IsEmpty());

    SetString(kLegacyUninstallEntry, L"DisplayVersion", L"1.0");
    EXPECT_EQ(store.GetInstalledVersion().Get(), L"1.0");
    SetString(kTessaroUninstallEntry, L"DisplayVersion", L"2.1.0.5");
    EXPECT_EQ(store.GetInstalledVersion().Get(), L"2.1.0.5");
    // A Norvale entry without a version passes on to the next one.
    SetString(kUninstallEntry, L"DisplayName", L"Helmview");
    SetString(kUninstallEntry, L"DisplayVersion", L"");
    EXPECT_EQ(store.GetInstalledVersion().Get(), L"2.1.0.5");
    store.SetDisplayVersion(ProductVersion(L"2.2.0.1"));
    EXPECT_EQ(store.GetInstalledVersion().Get(), L"2.2.0.1");

    // The settings key's version is not the uninstall entry's.
    DeleteTree(HKEY_LOCAL_MACHINE, kUninstallEntry);
    DeleteTree(HKEY_LOCAL_MACHINE, kTessaroUninstallEntry);
    DeleteTree(HKEY_LOCAL_MACHINE, kLegacyUninstallEntry);
    store.SetCurrentVersion(ProductVersion(L"3.0"));
    EXPECT_TRUE(store.GetInstalledVersion().IsEmpty());
}

TEST_F(SettingsStoreTest, StartMinimizedIsTrueOnlyForTheTextOne) {
    const SettingsStore& store = store_;
    EXPECT_FALSE(store.GetStartMinimized());
    store.SetStartMinimized(true);
    EXPECT_EQ(GetString(kSettings, L"StartMinimized"), L"1");
    EXPECT_TRUE(store.GetStartMinimized());
    store.SetStartMinimized(false);
    EXPECT_EQ(GetString(kSettings, L"StartMinimized"), L"0");
    EXPECT_FALSE(store.GetStartMinimized());
    for (const wchar_t* text : {L"true", L"1 ", L"01", L"yes"}) {
        SetString(kSettings, L"StartMinimized", text);
        EXPECT_FALSE(store.GetStartMinimized()) << ::testing::PrintToString(std::wstring(text));
    }
    SetDword(kSettings, L"StartMinimized", 1);
    EXPECT_FALSE(store.GetStartMinimized());
    // No fallback to the legacy key.
    DeleteValue(HKEY_LOCAL_MACHINE, kSettings, L"StartMinimized");
    SetString(kShortLegacy, L"StartMinimized", L"1");
    EXPECT_FALSE(store.GetStartMinimized());
}

TEST_F(SettingsStoreTest, QM7700DetectedOnlyForTheNumberOne) {
    const SettingsStore& store = store_;
    EXPECT_FALSE(store.IsQM7700Detected());
    SetDword(kPermanent, L"QM7700Detected", 1);
    EXPECT_TRUE(store.IsQM7700Detected());
    SetDword(kPermanent, L"QM7700Detected", 2);
    EXPECT_FALSE(store.IsQM7700Detected());
    SetString(kPermanent, L"QM7700Detected", L"1");
    EXPECT_FALSE(store.IsQM7700Detected());
    // Beside the settings key, not in it.
    DeleteValue(HKEY_LOCAL_MACHINE, kPermanent, L"QM7700Detected");
    SetDword(kSettings, L"QM7700Detected", 1);
    EXPECT_FALSE(store.IsQM7700Detected());
}

// Every store operation opens its own key, so the user-interface thread and a
// worker may both use it, before, after and even during each other's reads.
TEST_F(SettingsStoreTest, ReadsFromTwoThreadsOneAfterAnother) {
    const SettingsStore& store = store_;
    store.SetIsInstalled(3);
    store.SetInstallPath(L"C:\\A\\");
    SetString(kTessaroSettings, L"InstallPath", L"C:\\T\\");
    store.SetCurrentCulture(L"zh-CHS");

    auto readAll = [&store] {
        return store.GetInstallPath() + L"|" + store.GetTessaroInstallPath() + L"|" +
               store.GetCurrentCulture() + L"|" + std::to_wstring(store.GetIsInstalled(L"Norvale")) + L"|" +
               std::to_wstring(store.GetIsInstalled(L"Tessaro"));
    };
    const std::wstring expected = L"C:\\A\\|C:\\T\\|zh-CN|3|5";
    EXPECT_EQ(readAll(), expected);
    std::wstring onWorker;
    std::thread worker([&] {
        onWorker = readAll();
        store.SetInstallPath(L"C:\\B\\"); // a worker's write, seen afterwards by the other thread
    });
    worker.join();
    EXPECT_EQ(onWorker, expected);
    EXPECT_EQ(store.GetInstallPath(), L"C:\\B\\");
    EXPECT_EQ(store.GetTessaroInstallPath(), L"C:\\T\\");
}

TEST_F(SettingsStoreTest, ReadsOnTwoThreadsAtOnceDoNotMixUp) {
    const SettingsStore& store = store_;
    store.SetInstallPath(L"C:\\Norvale\\");
    SetString(kTessaroSettings, L"InstallPath", L"C:\\Tessaro\\");
    int wrongNorvale = 0;
    int wrongTessaro = 0;
    std::thread first([&] {
        for (int i = 0; i < 300; ++i)
            wrongNorvale += store.GetInstallPath() != L"C:\\Norvale\\";
    });
    std::thread second([&] {
        for (int i = 0; i < 300; ++i)
            wrongTessaro += store.GetTessaroInstallPath() != L"C:\\Tessaro\\";
    });
    first.join();
    second.join();
    EXPECT_EQ(wrongNorvale, 0);
    EXPECT_EQ(wrongTessaro, 0);
}

// The decision reads the store afresh on each evaluation.
TEST_F(SettingsStoreTest, DecisionFollowsTheRecordedStatuses) {
    auto decide = [this] {
        return DecideInstallState([this](const std::wstring& maker) { return store_.GetIsInstalled(maker); },
                                  L"Norvale", L"Tessaro", false, ProductVersion(L"2.1.0.5"),
                                  ProductVersion(L"2.2.0.1"));
    };
    EXPECT_EQ(decide(), (InstallDecision{InstallState::Fresh, InstallerScreen::Welcome}));
    SetDword(kTessaroSettings, L"IsInstalled", 3);
    EXPECT_EQ(decide(), (InstallDecision{InstallState::Replace, InstallerScreen::OldVersionInstalled}));
    store_.SetIsInstalled(1);
    EXPECT_EQ(decide(), (InstallDecision{InstallState::Replace, InstallerScreen::IncompleteInstall}));
    store_.RemoveRegistration();
    EXPECT_EQ(decide(), (InstallDecision{InstallState::Fresh, InstallerScreen::Welcome}));
}

} // namespace
