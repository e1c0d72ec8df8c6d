// The catalogue's text handling: parsing a translation text and filling
// placeholders. Loading from the executable's resources is in
// TranslationResources.cpp.
#include "i18n/TranslationCatalog.h"

#include <algorithm>
#include <new>
#include <utility>

namespace {

// A longer line ends parsing: that line and everything after it are dropped,
// what came before stays.
constexpr std::size_t kMaxLineLength = 999;

std::wstring TrimSpaces(const std::wstring& text) {
    const std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return std::wstring();
    const std::size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

// The characters between the first and the second double quote; the whole
// line without a quote, the rest of it after a lone quote.
std::wstring QuotedValue(const std::wstring& line) {
    const std::size_t open = line.find(L'"');
    if (open == std::wstring::npos)
        return line;
    const std::size_t close = line.find(L'"', open + 1);
    return close == std::wstring::npos ? line.substr(open + 1) : line.substr(open + 1, close - open - 1);
}

bool Contains(const std::wstring& line, const wchar_t* what) {
    return line.find(what) != std::wstring::npos;
}

// Empty, or nothing but indentation and the carriage return of a CR LF line.
bool IsBlank(const std::wstring& line) {
    return line.find_first_not_of(L" \t\r") == std::wstring::npos;
}

} // namespace

void TranslationCatalog::ParseCatalogueText(const std::wstring& text) {
    std::map<std::wstring, std::wstring> dictionary;
    std::wstring code;
    std::wstring displayName;
    bool inHeader = true;

    // A NUL ends the text: the carried resources are followed by a zero byte.
    const std::size_t end = std::min(text.find(L'\0'), text.size());
    std::size_t start = 0;
    while (start < end) {
        std::size_t lineEnd = text.find(L'\n', start);
        if (lineEnd == std::wstring::npos || lineEnd > end)
            lineEnd = end;
        if (lineEnd - start > kMaxLineLength)
            break;
        std::wstring line = text.substr(start, lineEnd - start);
        start = lineEnd + 1;

        if (inHeader) {
            if (Contains(line, L"language:")) {
                code = QuotedValue(line);
            } else if (Contains(line, L"displayName")) {
                displayName = QuotedValue(line);
            } else if (Contains(line, L"translations:")) {
                displayNames[code] = displayName;
                codesByDisplayName[displayName] = code;
                inHeader = false;
            }
            continue;
        }

        // Blank lines and empty texts carry nothing; storing them would only
        // create an empty (or carriage-return) key.
        if (IsBlank(line))
            continue;
        line.erase(std::remove(line.begin(), line.end(), L'\t'), line.end());
        const std::size_t colon = line.find(L':');
        const std::wstring key = TrimSpaces(colon == std::wstring::npos ? line : line.substr(0, colon));
        const std::wstring value = TrimSpaces(QuotedValue(line));
        if (key.empty() || value.empty())
            continue;
        dictionary[key] = value;
    }
    dictionaries[code] = std::move(dictionary);
}

void TranslationCatalog::SetLanguage(const std::wstring& code) {
    currentLanguage = code;
}

std::wstring TranslationCatalog::GetLanguage() const {
    return currentLanguage;
}

std::wstring TranslationCatalog::Translate(const std::wstring& key) const {
    return Translate(key, {});
}

std::wstring TranslationCatalog::Translate(const std::wstring& key,
                                           const std::vector<std::wstring>& values) const {
    return TranslateIn(currentLanguage, key, values);
}

std::wstring TranslationCatalog::TranslateIn(const std::wstring& code, const std::wstring& key,
                                             const std::vector<std::wstring>& values) const {
    try {
        const auto language = dictionaries.find(code);
        if (language == dictionaries.end())
            return std::wstring();
        const auto entry = language->second.find(key);
        if (entry == language->second.end())
            return std::wstring();
        const std::wstring& stored = entry->second;
        if (values.empty())
            return stored;

        std::wstring text;
        text.reserve(stored.size());
        for (std::size_t i = 0; i < stored.size(); ++i) {
            if (stored[i] == L'\\' && i + 1 < stored.size() && stored[i + 1] == L'n') {
                text += L'\n';
                ++i;
            } else {
                text += stored[i];
            }
        }

        // One pass over the text: inserted values are never searched again, so
        // a value holding "%1" stays as it is. At each "%", the lowest-numbered
        // placeholder that matches wins, as filling %1, %2, ... in turn would.
        std::wstring filled;
        filled.reserve(text.size());
        for (std::size_t i = 0; i < text.size();) {
            bool replaced = false;
            if (text[i] == L'%') {
                for (std::size_t n = 1; n <= values.size(); ++n) {
                    const std::wstring placeholder = L"%" + std::to_wstring(n);
                    if (text.compare(i, placeholder.size(), placeholder) == 0) {
                        filled += values[n - 1];
                        i += placeholder.size();
                        replaced = true;
                        break;
                    }
                }
            }
            if (!replaced)
                filled += text[i++];
        }
        return filled;
    } catch (const std::bad_alloc&) {
        return key;
    }
}

std::wstring TranslationCatalog::DisplayNameOf(const std::wstring& code) const {
    const auto found = displayNames.find(code);
    return found == displayNames.end() ? std::wstring() : found->second;
}

std::wstring TranslationCatalog::CodeOfDisplayName(const std::wstring& displayName) const {
    const auto found = codesByDisplayName.find(displayName);
    return found == codesByDisplayName.end() ? std::wstring() : found->second;
}

std::vector<std::wstring> TranslationCatalog::DisplayNames() const {
    std::vector<std::wstring> names;
    for (const auto& entry : displayNames)
        names.push_back(entry.second);
    return names;
}

std::vector<std::wstring> TranslationCatalog::KeysOf(const std::wstring& code) const {
    std::vector<std::wstring> keys;
    const auto language = dictionaries.find(code);
    if (language != dictionaries.end()) {
        for (const auto& entry : language->second)
            keys.push_back(entry.first);
    }
    return keys;
}

TranslationCatalog& Catalog() {
    static TranslationCatalog catalog;
    return catalog;
}
