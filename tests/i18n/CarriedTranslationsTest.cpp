// The seventeen translations the executable carries, read back through the
// same resource functions and parser the installer uses.
#include "i18n/TranslationCatalog.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Carried {
    int id;
    const wchar_t* code;
    const wchar_t* displayName;
};

const Carried kCarried[] = {
    {1001, L"cs-CZ", L"\u010ce\u0161tina"},
    {1002, L"da-DK", L"Dansk"},
    {1003, L"de-DE", L"Deutsch"},
    {1004, L"en-US", L"English"},
    {1005, L"es-ES", L"Espa\u00f1ol"},
    {1006, L"fr-FR", L"Fran\u00e7ais"},
    {1007, L"it-IT", L"Italiano"},
    {1008, L"ja-JP", L"\u65e5\u672c\u8a9e"},
    {1009, L"ko-KR", L"\ud55c\uad6d\uc5b4"},
    {1010, L"nl-NL", L"Nederlands"},
    {1011, L"pl-PL", L"Polski"},
    {1012, L"pt-PT", L"Portugu\u00eas"},
    // A Latin capital P followed by Cyrillic letters, exactly as carried.
    {1013, L"ru-RU", L"P\u0443\u0441\u0441\u043a\u0438\u0439"},
    {1014, L"sv-SE", L"Svenskt"},
    {1015, L"tr-TR", L"T\u00fcrk\u00e7e"},
    {1016, L"zh-CN", L"\u7b80\u4f53\u4e2d\u6587"},
    {1017, L"zh-TW", L"\u7e41\u9ad4\u4e2d\u6587"},
};

// The keys a language carries, without the entry its closing-brace lines
// leave behind.
std::vector<std::wstring> RealKeys(const TranslationCatalog& catalog, const std::wstring& code) {
    std::vector<std::wstring> keys = catalog.KeysOf(code);
    keys.erase(std::remove(keys.begin(), keys.end(), L"}"), keys.end());
    return keys;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> items) {
    std::sort(items.begin(), items.end());
    return items;
}

// Every "%" followed by digits, sorted: the placeholders a text fills.
std::vector<std::wstring> Placeholders(const std::wstring& text) {
    std::vector<std::wstring> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%')
            continue;
        std::size_t end = i + 1;
        while (end < text.size() && text[end] >= L'0' && text[end] <= L'9')
            ++end;
        if (end > i + 1)
            found.push_back(text.substr(i, end - i));
    }
    return Sorted(found);
}

class CarriedTranslations : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { catalog.LoadAll(); }
    static TranslationCatalog catalog;
};
TranslationCatalog CarriedTranslations::catalog;

TEST_F(CarriedTranslations, EveryLanguageCarriesTheKeysAndPlaceholdersOfEnglish) {
    const std::vector<std::wstring> keys = RealKeys(catalog, L"en-US");
    ASSERT_FALSE(keys.empty());
    catalog.SetLanguage(L"en-US");
    // The closing-brace lines are read as entries too; nothing asks for them.
    EXPECT_EQ(catalog.Translate(L"}"), L"}");
    std::vector<std::vector<std::wstring>> english;
    for (const auto& key : keys) {
        ASSERT_FALSE(catalog.Translate(key).empty()) << key;
        english.push_back(Placeholders(catalog.Translate(key)));
    }
    for (const auto& language : kCarried) {
        SCOPED_TRACE(language.code);
        std::vector<std::wstring> expected = keys;
        const bool chinese = std::wstring(language.code) == L"zh-CN";
        if (chinese)
            expected.erase(std::find(expected.begin(), expected.end(), L"IDS_INCOMPLETE_INSTALL"));
        EXPECT_EQ(RealKeys(catalog, language.code), expected);

        catalog.SetLanguage(language.code);
        for (std::size_t k = 0; k < keys.size(); ++k) {
            const std::wstring text = catalog.Translate(keys[k]);
            if (chinese && keys[k] == L"IDS_INCOMPLETE_INSTALL") {
                EXPECT_EQ(text, L"");
                continue;
            }
            EXPECT_FALSE(text.empty()) << keys[k];
            EXPECT_EQ(Placeholders(text), english[k]) << keys[k] << ": " << text;
        }
    }
}

TEST_F(CarriedTranslations, EachResourceNamesItsOwnLanguage) {
    ASSERT_EQ(std::size(kCarried), static_cast<std::size_t>(ID_LAST_TRANSLATION - ID_FIRST_TRANSLATION + 1));
    for (const auto& language : kCarried) {
        SCOPED_TRACE(language.id);
        TranslationCatalog single;
        single.ParseCatalogueText(TranslationCatalog::LoadResourceText(language.id));
        EXPECT_EQ(single.DisplayNames(), std::vector<std::wstring>{language.displayName});
        EXPECT_EQ(single.DisplayNameOf(language.code), language.displayName);
        EXPECT_EQ(single.CodeOfDisplayName(language.displayName), language.code);
        EXPECT_EQ(single.KeysOf(language.code), catalog.KeysOf(language.code));
    }
}

TEST_F(CarriedTranslations, DisplayNamesFollowTheLanguageCodes) {
    std::vector<std::wstring> expected;
    for (const auto& language : kCarried)
        expected.push_back(language.displayName);
    EXPECT_EQ(catalog.DisplayNames(), expected);
    // The Russian name starts with a Latin P: the Cyrillic spelling is not it.
    EXPECT_EQ(catalog.CodeOfDisplayName(L"\u041f\u0443\u0441\u0441\u043a\u0438\u0439"), L"");
}

TEST_F(CarriedTranslations, QuirksOfIndividualResourcesChangeNothing) {
    // en-US starts with a byte-order mark, pt-PT is indented with two spaces,
    // es-ES has no comma after its last text.
    const std::wstring english = TranslationCatalog::LoadResourceText(1004);
    ASSERT_FALSE(english.empty());
    EXPECT_EQ(english[0], L'\xFEFF');
    EXPECT_EQ(catalog.DisplayNameOf(L"en-US"), L"English");

    const std::wstring portuguese = TranslationCatalog::LoadResourceText(1012);
    EXPECT_NE(portuguese.find(L"\n  language:"), std::wstring::npos);
    EXPECT_EQ(portuguese.find(L'\t'), std::wstring::npos);
    EXPECT_EQ(RealKeys(catalog, L"pt-PT"), RealKeys(catalog, L"en-US"));

    EXPECT_NE(TranslationCatalog::LoadResourceText(1005).find(
                  L"options_select_language: \"Seleccionar idioma:\"\n"),
              std::wstring::npos);
    catalog.SetLanguage(L"es-ES");
    EXPECT_EQ(catalog.Translate(L"options_select_language"), L"Seleccionar idioma:");
}

TEST_F(CarriedTranslations, LooksUpTextsInTheCurrentLanguage) {
    catalog.SetLanguage(L"de-DE");
    const std::wstring german = catalog.Translate(L"IDS_INSTALL");
    catalog.SetLanguage(L"en-US");
    EXPECT_EQ(catalog.Translate(L"IDS_INSTALL"), L"Install");
    EXPECT_NE(german, L"Install");
    EXPECT_FALSE(german.empty());

    catalog.SetLanguage(L"zh-CN");
    EXPECT_EQ(catalog.Translate(L"IDS_INCOMPLETE_INSTALL", {L"5.0.2", L"Helmview"}), L"");
    EXPECT_FALSE(catalog.Translate(L"IDS_OLD_VERSION_INSTALLED", {L"5.0.1", L"5.0.2", L"Helmview"}).empty());
}

TEST_F(CarriedTranslations, UnknownKeysAndCodesGiveEmptyTextAndAddNothing) {
    for (const auto& language : kCarried) {
        catalog.SetLanguage(language.code);
        EXPECT_EQ(catalog.Translate(L"IDS_NO_SUCH_TEXT"), L"") << language.code;
        EXPECT_EQ(catalog.Translate(L"IDS_NO_SUCH_TEXT", {L"x"}), L"") << language.code;
    }
    catalog.SetLanguage(L"fi-FI");
    EXPECT_EQ(catalog.Translate(L"IDS_INSTALL"), L"");
    EXPECT_EQ(catalog.Translate(L"admin_installer", {L"Helmview"}), L"");

    EXPECT_EQ(catalog.DisplayNameOf(L"en-GB"), L"");
    EXPECT_EQ(catalog.DisplayNameOf(L"de-de"), L"");
    EXPECT_EQ(catalog.CodeOfDisplayName(L"English (UK)"), L"");
    EXPECT_EQ(catalog.KeysOf(L"en-GB"), std::vector<std::wstring>{});
    EXPECT_EQ(catalog.DisplayNames().size(), 17u);
    EXPECT_EQ(catalog.DisplayNameOf(L"en-GB"), L"");
}

TEST_F(CarriedTranslations, MissingResourceGivesEmptyTextAndNoLanguage) {
    EXPECT_EQ(TranslationCatalog::LoadResourceText(ID_LAST_TRANSLATION + 1), L"");
    EXPECT_EQ(TranslationCatalog::LoadResourceText(ID_FIRST_TRANSLATION - 1), L"");

    TranslationCatalog loaded;
    loaded.LoadAll();
    loaded.ParseCatalogueText(TranslationCatalog::LoadResourceText(ID_LAST_TRANSLATION + 1));
    EXPECT_EQ(loaded.DisplayNames(), catalog.DisplayNames());
    EXPECT_EQ(loaded.DisplayNameOf(L""), L"");
    EXPECT_EQ(loaded.KeysOf(L""), std::vector<std::wstring>{});
}

} // namespace
