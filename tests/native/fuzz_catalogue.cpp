#include "FuzzText.h"
#include "i18n/TranslationCatalog.h"

#include <cstdlib>

// Any text parses without fault, and every lookup afterwards stays bounded:
// filling three short values can add at most their length per placeholder.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = WideFromBytes(data, size);
    TranslationCatalog catalog;
    catalog.ParseCatalogueText(text);
    for (const std::wstring& name : catalog.DisplayNames()) {
        const std::wstring code = catalog.CodeOfDisplayName(name);
        catalog.SetLanguage(code);
        for (const std::wstring& key : {std::wstring(L"IDS_OK"), std::wstring(L"}"), text.substr(0, 8)}) {
            const std::wstring plain = catalog.Translate(key);
            const std::wstring filled = catalog.Translate(key, {L"%1", L"ab", L"%3%2"});
            if (filled.size() > plain.size() * 4 + 8)
                std::abort();
        }
    }
    return 0;
}
