#pragma once
#include <map>
#include <string>
#include <vector>

// Every text the installer shows, in seventeen languages, read from the
// translation resources. One language is current; lookups answer in it.
class TranslationCatalog {
  public:
    // Loads resources 1001 to 1017 (type 1000) of the running executable.
    void LoadAll();
    // One resource's UTF-8 text decoded; empty when the resource is missing.
    static std::wstring LoadResourceText(int id);
    // Reads one resource text into the maps.
    void ParseCatalogueText(const std::wstring& text);

    void SetLanguage(const std::wstring& code);
    std::wstring GetLanguage() const;

    // The current language's text for key; empty when missing. With values,
    // backslash-n becomes a line feed and %1..%n are filled left to right.
    std::wstring Translate(const std::wstring& key) const;
    std::wstring Translate(const std::wstring& key, const std::vector<std::wstring>& values) const;
    // The same in the language `code`, whatever is current: the log keeps in
    // English a message the user reads in theirs. Only reads.
    std::wstring TranslateIn(const std::wstring& code, const std::wstring& key,
                             const std::vector<std::wstring>& values = {}) const;

    std::wstring DisplayNameOf(const std::wstring& code) const;
    std::wstring CodeOfDisplayName(const std::wstring& displayName) const;
    // Display names of all carried languages, in the order of their codes.
    std::vector<std::wstring> DisplayNames() const;
    // The keys one language's resource provided, in key order; empty for a
    // language that is not loaded. Only reads, like the look-ups above.
    std::vector<std::wstring> KeysOf(const std::wstring& code) const;

  private:
    std::wstring currentLanguage;
    std::map<std::wstring, std::map<std::wstring, std::wstring>> dictionaries;
    std::map<std::wstring, std::wstring> displayNames;
    std::map<std::wstring, std::wstring> codesByDisplayName;
};

// The process-wide catalogue.
TranslationCatalog& Catalog();
