#include "i18n/LanguageSelection.h"

#include "i18n/TranslationCatalog.h"
#include "i18n/UserLocale.h"
#include "settings/SettingsStore.h"

namespace {

const wchar_t kFallbackLanguage[] = L"en-US";

} // namespace

std::wstring StartupLanguageForLocale(const TranslationCatalog& catalog, const std::wstring& locale) {
    return catalog.DisplayNameOf(locale).empty() ? std::wstring(kFallbackLanguage) : locale;
}

bool ChooseStartupLanguage(const SettingsStore& settings) {
    TranslationCatalog& catalog = Catalog();
    const std::wstring locale = StartupLanguageForLocale(catalog, UserLocaleName());

    // Writing only when nothing is remembered keeps the user's earlier choice
    // (or the installed application's) and doubles as the probe that the
    // settings key is writable: a value that still reads back empty means the
    // write was refused.
    if (settings.GetCurrentCulture().empty())
        settings.SetCurrentCulture(locale);
    const std::wstring remembered = settings.GetCurrentCulture();
    if (remembered.empty()) {
        catalog.SetLanguage(locale);
        return false;
    }
    // Used as read, even when no translation carries it: the look-ups then
    // answer empty and the combo box shows its first item.
    catalog.SetLanguage(remembered);
    return true;
}

void PreviewStartupLanguage(const SettingsStore& settings) {
    TranslationCatalog& catalog = Catalog();
    const std::wstring remembered = settings.GetCurrentCulture();
    catalog.SetLanguage(catalog.DisplayNameOf(remembered).empty()
                            ? StartupLanguageForLocale(catalog, UserLocaleName())
                            : remembered);
}

LanguageList LanguageListItems() {
    const TranslationCatalog& catalog = Catalog();
    LanguageList list;
    list.items = catalog.DisplayNames();
    const std::wstring current = catalog.GetLanguage();
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        if (catalog.CodeOfDisplayName(list.items[i]) == current) {
            list.selected = i;
            break;
        }
    }
    return list;
}

void OnLanguagePicked(const std::wstring& displayName, const SettingsStore& settings) {
    const std::wstring code = Catalog().CodeOfDisplayName(displayName);
    // A name no translation carries (an unreadable combo item, say) would
    // blank every text and replace the remembered language with nothing.
    if (code.empty())
        return;
    Catalog().SetLanguage(code);
    settings.SetCurrentCulture(code);
}
