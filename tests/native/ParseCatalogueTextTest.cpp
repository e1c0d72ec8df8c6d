// The carried translation files parsed straight from the source tree, as
// Linux sees them: every language has the English keys (zh-CN all but one)
// with the same placeholders.
#include "i18n/TranslationCatalog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <locale>
#include <codecvt>

namespace {

std::wstring ReadUtf8(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::wstring_convert<std::codecvt_utf8<wchar_t>> convert;
    return convert.from_bytes(bytes);
}

std::vector<std::wstring> Placeholders(const std::wstring& text) {
    std::vector<std::wstring> found;
    for (std::size_t i = text.find(L'%'); i != std::wstring::npos; i = text.find(L'%', i + 1))
        if (i + 1 < text.size() && text[i + 1] >= L'1' && text[i + 1] <= L'3')
            found.push_back(text.substr(i, 2));
    std::sort(found.begin(), found.end());
    return found;
}

TEST(CarriedTranslations, EveryLanguageKeepsTheEnglishPlaceholders) {
    const char* const codes[] = {"cs-CZ", "da-DK", "de-DE", "en-US", "es-ES", "fr-FR", "it-IT", "ja-JP", "ko-KR",
                                 "nl-NL", "pl-PL", "pt-PT", "ru-RU", "sv-SE", "tr-TR", "zh-CN", "zh-TW"};
    TranslationCatalog catalog;
    for (const char* code : codes)
        catalog.ParseCatalogueText(ReadUtf8(std::string(HELM_SOURCE_DIR) + "/resources/lang/" + code + ".txt"));
    ASSERT_EQ(catalog.DisplayNames().size(), 17u);

    const char* const keys[] = {"admin_installer", "error_generic", "ssl_error", "IDS_INSTALL_END_TEXT1",
                                "IDS_NEWER_VERSION_INSTALLED", "IDS_OLD_VERSION_INSTALLED", "IDS_INCOMPLETE_INSTALL",
                                "IDS_TITLE_UNINSTALL", "IDS_UNINSTALLING_TEXT", "options_select_language"};
    catalog.SetLanguage(L"en-US");
    for (const char* code : codes) {
        for (const char* k : keys) {
            const std::wstring key(k, k + std::char_traits<char>::length(k));
            catalog.SetLanguage(L"en-US");
            const std::wstring english = catalog.Translate(key);
            catalog.SetLanguage(std::wstring(code, code + 5));
            const std::wstring text = catalog.Translate(key);
            if (std::string(code) == "zh-CN" && key == L"IDS_INCOMPLETE_INSTALL") {
                EXPECT_TRUE(text.empty());
                continue;
            }
            EXPECT_FALSE(text.empty()) << code << " " << k;
            EXPECT_EQ(Placeholders(text), Placeholders(english)) << code << " " << k;
        }
    }
}

} // namespace
