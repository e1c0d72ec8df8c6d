// Choosing and remembering the language, on the real registry (32-bit view of
// HKEY_LOCAL_MACHINE) and the real user locale. Each suite runs under the Unix
// locale that its CTest registration sets (tests/i18n/CMakeLists.txt); Wine
// derives the process's user locale from it.
#include "RegistryTestSupport.h"
#include "common/UniqueHandle.h"
#include "i18n/LanguageSelection.h"
#include "i18n/TranslationCatalog.h"
#include "i18n/UserLocale.h"
#include "profile/ProductProfile.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <optional>
#include <string>
#include <vector>

namespace {

const wchar_t kSettingsKey[] = L"SOFTWARE\\Norvale\\SSD Helmview";
const wchar_t kLegacyKey[] = L"SOFTWARE\\ZQ\\SSD Helmview";
const wchar_t kCulture[] = L"CurrentCulture";
const REGSAM kView = KEY_WOW64_32KEY;

std::optional<std::wstring> ReadCulture(const wchar_t* path) {
    return helmtest::FindMachineString(path, kCulture);
}

void WriteCulture(const wchar_t* path, const std::wstring& code) {
    helmtest::WriteMachineString(path, kCulture, code);
}

void DeleteCulture(const wchar_t* path) {
    helmtest::DeleteMachineValue(path, kCulture);
}

// Takes the right to set values and create subkeys on the settings key away
// from everybody, as on a machine where the installer cannot write there, and
// gives the key its own access back afterwards.
class WriteDeniedSettingsKey {
  public:
    WriteDeniedSettingsKey() {
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0,
                              READ_CONTROL | WRITE_DAC | kView, nullptr, key_.put(),
                              nullptr) != ERROR_SUCCESS)
            return;
        DWORD size = 0;
        ::RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, nullptr, &size);
        original_.resize(size);
        if (::RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, original_.data(), &size) !=
            ERROR_SUCCESS)
            return;
        // Deny KEY_SET_VALUE | KEY_CREATE_SUB_KEY to Everyone, allow the rest.
        unique_hlocal denying;
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
                L"D:(D;;0x6;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                reinterpret_cast<PSECURITY_DESCRIPTOR*>(denying.put()), nullptr))
            return;
        applied_ = ::RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, denying.get()) == ERROR_SUCCESS;
    }
    ~WriteDeniedSettingsKey() {
        if (applied_)
            ::RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, original_.data());
    }
    WriteDeniedSettingsKey(const WriteDeniedSettingsKey&) = delete;
    WriteDeniedSettingsKey& operator=(const WriteDeniedSettingsKey&) = delete;

    bool Applied() const { return applied_; }

  private:
    unique_hkey key_;
    std::vector<BYTE> original_;
    bool applied_ = false;
};

// The text a language gives for a key, from a catalogue of its own.
std::wstring TextIn(const wchar_t* code, const wchar_t* key) {
    TranslationCatalog catalog;
    catalog.LoadAll();
    catalog.SetLanguage(code);
    return catalog.Translate(key);
}

// A store whose keys are named after the installer's profile, as start-up's.
const SettingsStore& Store() {
    static const SettingsStore store(regtest::TestProfile());
    return store;
}

// Starts every case from a machine without a remembered language and leaves
// the registry as it found it: the culture values are deleted, and so are the
// keys the case brought into being.
class LanguageChoice : public ::testing::Test {
  protected:
    void SetUp() override {
        if (Catalog().DisplayNames().empty())
            Catalog().LoadAll();
        Catalog().SetLanguage(L"");
        for (const wchar_t* path : kKeys)
            existed_.push_back(helmtest::MachineKeyExists(path));
        DeleteCulture(kSettingsKey);
        DeleteCulture(kLegacyKey);
    }

    void TearDown() override {
        DeleteCulture(kSettingsKey);
        DeleteCulture(kLegacyKey);
        for (std::size_t i = 0; i < existed_.size(); ++i) {
            if (!existed_[i])
                ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKeys[i], kView, 0);
        }
        Catalog().SetLanguage(L"");
    }

  private:
    // Deepest first, so a parent is only deleted after its child.
    static constexpr const wchar_t* kKeys[] = {kSettingsKey, L"SOFTWARE\\Norvale", kLegacyKey,
                                               L"SOFTWARE\\ZQ"};
    std::vector<bool> existed_;
};

void ExpectFirstRunFallsBackToAmericanEnglish() {
    EXPECT_TRUE(ChooseStartupLanguage(Store()));
    EXPECT_EQ(Catalog().GetLanguage(), L"en-US");
    EXPECT_EQ(ReadCulture(kSettingsKey), L"en-US");
    EXPECT_EQ(Catalog().Translate(L"IDS_INSTALL"), L"Install");
    const LanguageList list = LanguageListItems();
    EXPECT_EQ(list.items, Catalog().DisplayNames());
    EXPECT_EQ(list.items.size(), 17u);
    ASSERT_LT(list.selected, list.items.size());
    EXPECT_EQ(list.items[list.selected], L"English");
}

// A user of the Windows locale named; each suite's CTest registration sets
// the Unix locale (LC_ALL) that Wine derives it from.
class UserOfLocale : public LanguageChoice {
  protected:
    explicit UserOfLocale(const wchar_t* locale) : locale_(locale) {}
    void SetUp() override {
        LanguageChoice::SetUp();
        ASSERT_EQ(UserLocaleName(), locale_) << "the CTest registration sets the Unix locale (LC_ALL)";
    }

  private:
    const wchar_t* locale_;
};

struct FrenchUser : UserOfLocale {
    FrenchUser() : UserOfLocale(L"fr-FR") {}
};
struct GermanUser : UserOfLocale {
    GermanUser() : UserOfLocale(L"de-DE") {}
};
struct AustrianUser : UserOfLocale {
    AustrianUser() : UserOfLocale(L"de-AT") {}
};
struct BritishUser : UserOfLocale {
    BritishUser() : UserOfLocale(L"en-GB") {}
};
struct BrazilianUser : UserOfLocale {
    BrazilianUser() : UserOfLocale(L"pt-BR") {}
};

TEST_F(FrenchUser, FirstRunSpeaksTheUsersLanguageAndRemembersIt) {
    EXPECT_TRUE(ChooseStartupLanguage(Store()));
    EXPECT_EQ(Catalog().GetLanguage(), L"fr-FR");
    EXPECT_EQ(ReadCulture(kSettingsKey), L"fr-FR");
    EXPECT_EQ(ReadCulture(kLegacyKey), std::nullopt);
    EXPECT_EQ(Catalog().Translate(L"IDS_INSTALL"), TextIn(L"fr-FR", L"IDS_INSTALL"));
    const LanguageList list = LanguageListItems();
    EXPECT_EQ(list.items.size(), 17u);
    EXPECT_EQ(list.selected, 5u);
    EXPECT_EQ(list.items[5], L"Fran\u00e7ais");
}

TEST_F(FrenchUser, UnwritableSettingsKeyFailsTheProbe) {
    WriteDeniedSettingsKey denied;
    ASSERT_TRUE(denied.Applied());
    {
        unique_hkey probe;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_SET_VALUE | kView, probe.put()),
                  ERROR_ACCESS_DENIED);
    }
    EXPECT_FALSE(ChooseStartupLanguage(Store()));
    // The run goes on in the user's language only long enough to say why.
    EXPECT_EQ(Catalog().GetLanguage(), L"fr-FR");
    EXPECT_EQ(ReadCulture(kSettingsKey), std::nullopt);
}

TEST_F(FrenchUser, PickedLanguageTakesEffectAndWinsTheNextRun) {
    ASSERT_TRUE(ChooseStartupLanguage(Store()));
    OnLanguagePicked(L"Deutsch", Store());
    EXPECT_EQ(Catalog().GetLanguage(), L"de-DE");
    EXPECT_EQ(ReadCulture(kSettingsKey), L"de-DE");
    EXPECT_EQ(Catalog().Translate(L"IDS_INSTALL"), TextIn(L"de-DE", L"IDS_INSTALL"));
    EXPECT_EQ(LanguageListItems().selected, 2u);

    // The next start on the same French system.
    Catalog().SetLanguage(L"");
    EXPECT_TRUE(ChooseStartupLanguage(Store()));
    EXPECT_EQ(Catalog().GetLanguage(), L"de-DE");
    EXPECT_EQ(ReadCulture(kSettingsKey), L"de-DE");
}

TEST_F(FrenchUser, PickingANameNoLanguageCarriesChangesNothing) {
    ASSERT_TRUE(ChooseStartupLanguage(Store()));
    OnLanguagePicked(L"", Store());
    OnLanguagePicked(L"Klingon", Store());
    // Russian's display name starts with a Latin P; the Cyrillic one is not it.
    OnLanguagePicked(L"\u041f\u0443\u0441\u0441\u043a\u0438\u0439", Store());
    EXPECT_EQ(Catalog().GetLanguage(), L"fr-FR");
    EXPECT_EQ(ReadCulture(kSettingsKey), L"fr-FR");

    OnLanguagePicked(L"P\u0443\u0441\u0441\u043a\u0438\u0439", Store());
    EXPECT_EQ(Catalog().GetLanguage(), L"ru-RU");
    EXPECT_EQ(ReadCulture(kSettingsKey), L"ru-RU");
}

TEST_F(GermanUser, FirstRunSpeaksGerman) {
    EXPECT_TRUE(ChooseStartupLanguage(Store()));
    EXPECT_EQ(Catalog().GetLanguage(), L"de-DE");
    EXPECT_EQ(ReadCulture(kSettingsKey), L"de-DE");
}

// A remembered language wins over the user's locale, and start-up writes
// nothing: the value stays where and as it was found.
TEST_F(GermanUser, RememberedLanguageWinsAndNothingIsWritten) {
    const std::nullopt_t none = std::nullopt;
    const struct {
        const char* what;
        const wchar_t* key; // where the language is remembered
        const wchar_t* remembered;
        const wchar_t* language;
        std::size_t selected; // in the list
        std::optional<std::wstring> settingsAfter, legacyAfter;
    } cases[] = {
        {"settings key", kSettingsKey, L"ja-JP", L"ja-JP", 7, L"ja-JP", none},
        {"legacy key only", kLegacyKey, L"ja-JP", L"ja-JP", 7, none, L"ja-JP"},
        // The application's Chinese codes are read as the installer's own.
        {"zh-CHS", kSettingsKey, L"zh-CHS", L"zh-CN", 15, L"zh-CHS", none},
        {"zh-CHT", kSettingsKey, L"zh-CHT", L"zh-TW", 16, L"zh-CHT", none},
        // A language that is not carried is used as read: no texts, the
        // list's first entry selected.
        {"not carried", kSettingsKey, L"fi-FI", L"fi-FI", 0, L"fi-FI", none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteCulture(kSettingsKey);
        DeleteCulture(kLegacyKey);
        Catalog().SetLanguage(L"");
        WriteCulture(c.key, c.remembered);
        EXPECT_TRUE(ChooseStartupLanguage(Store()));
        EXPECT_EQ(Catalog().GetLanguage(), c.language);
        EXPECT_EQ(ReadCulture(kSettingsKey), c.settingsAfter);
        EXPECT_EQ(ReadCulture(kLegacyKey), c.legacyAfter);
        const LanguageList list = LanguageListItems();
        EXPECT_EQ(list.items.size(), 17u);
        EXPECT_EQ(list.selected, c.selected);
        if (Catalog().DisplayNameOf(c.language).empty()) {
            EXPECT_EQ(Catalog().Translate(L"IDS_INSTALL"), L"");
            EXPECT_EQ(Catalog().Translate(L"admin_installer", {L"Helmview"}), L"");
        } else {
            EXPECT_EQ(Catalog().Translate(L"IDS_INSTALL"), TextIn(c.language, L"IDS_INSTALL"));
        }
    }
}

TEST_F(AustrianUser, FirstRunFallsBackToAmericanEnglish) {
    ExpectFirstRunFallsBackToAmericanEnglish();
}

TEST_F(BritishUser, FirstRunFallsBackToAmericanEnglish) {
    ExpectFirstRunFallsBackToAmericanEnglish();
}

TEST_F(BrazilianUser, FirstRunFallsBackToAmericanEnglish) {
    ExpectFirstRunFallsBackToAmericanEnglish();
}

// Without registry or locale: the rules that turn a locale into a language and
// a current language into the combo box's selection.
class LanguageRules : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { Catalog().LoadAll(); }
    void TearDown() override { Catalog().SetLanguage(L""); }
};

TEST_F(LanguageRules, OnlyExactlyCarriedLocalesAreTaken) {
    const TranslationCatalog& c = Catalog();
    EXPECT_EQ(StartupLanguageForLocale(c, L"fr-FR"), L"fr-FR");
    EXPECT_EQ(StartupLanguageForLocale(c, L"zh-TW"), L"zh-TW");
    for (const wchar_t* other : {L"de-AT", L"de-de", L"DE-DE", L"de", L"en-GB", L"pt-BR", L"zh-CHS", L""})
        EXPECT_EQ(StartupLanguageForLocale(c, other), L"en-US") << other;
    EXPECT_EQ(c.DisplayNames().size(), 17u);
}

TEST_F(LanguageRules, ListSelectsTheCurrentLanguage) {
    for (const std::wstring& name : Catalog().DisplayNames()) {
        Catalog().SetLanguage(Catalog().CodeOfDisplayName(name));
        const LanguageList list = LanguageListItems();
        ASSERT_EQ(list.items.size(), 17u);
        EXPECT_EQ(list.items[list.selected], name);
    }
    Catalog().SetLanguage(L"");
    EXPECT_EQ(LanguageListItems().selected, 0u);
    Catalog().SetLanguage(L"en-us");
    EXPECT_EQ(LanguageListItems().selected, 0u);
}

} // namespace
