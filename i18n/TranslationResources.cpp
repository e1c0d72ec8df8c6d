// Loading the translation texts the executable carries.
#include "i18n/TranslationCatalog.h"

#include "common/UniqueHandle.h"
#include "platform/ResourceApi.h"
#include "resource_ids.h"

#include <windows.h>

std::wstring TranslationCatalog::LoadResourceText(int id) {
    HMODULE self = ::GetModuleHandleW(nullptr);
    HRSRC found = ResourceApi::FindResourceW(self, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(RT_TRANSLATION));
    if (!found)
        return std::wstring();
    const unique_resource loaded(ResourceApi::LoadResource(self, found));
    const DWORD size = ResourceApi::SizeofResource(self, found);
    const char* bytes = static_cast<const char*>(ResourceApi::LockResource(loaded.get()));
    std::wstring text;
    if (bytes && size > 0) {
        // No byte-order-mark handling: a BOM becomes U+FEFF in the first line,
        // which the parser ignores with the rest of that line.
        const int length = ::MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), nullptr, 0);
        if (length > 0) {
            text.resize(static_cast<std::size_t>(length));
            ::MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), &text[0], length);
        }
    }
    return text;
}

void TranslationCatalog::LoadAll() {
    for (int id = ID_FIRST_TRANSLATION; id <= ID_LAST_TRANSLATION; ++id)
        ParseCatalogueText(LoadResourceText(id));
}
