#pragma once
#include <cstddef>
#include <string>
#include <vector>

class SettingsStore;
class TranslationCatalog;

// The language combo box's content: every carried language's display name, in
// the order of the language codes, and the item to select.
struct LanguageList {
    std::vector<std::wstring> items;
    std::size_t selected = 0;
};

// Sets the catalogue's current language at start-up: the remembered language,
// or on a first run the user's locale when it is carried (American English
// otherwise), which is then remembered. Returns false when the remembered
// language reads back empty, that is when the settings key cannot be written.
bool ChooseStartupLanguage(const SettingsStore& settings);

// Sets the catalogue's current language by reading alone, for what must be
// said before ChooseStartupLanguage runs: the remembered language when a
// translation carries it, otherwise the one a first run would take. Writes
// nothing, so it neither remembers a language nor probes the settings key.
void PreviewStartupLanguage(const SettingsStore& settings);

// Items for the language combo box; the current language is selected, the
// first item when the current language is not carried.
LanguageList LanguageListItems();

// The user picked another language in the combo box: it becomes current at
// once and is remembered for later runs. A name that no carried language has
// changes nothing.
void OnLanguagePicked(const std::wstring& displayName, const SettingsStore& settings);

// The language a first run takes for the user's locale: the locale itself when
// a translation has exactly that code (case and region count), "en-US" else.
std::wstring StartupLanguageForLocale(const TranslationCatalog& catalog, const std::wstring& locale);
