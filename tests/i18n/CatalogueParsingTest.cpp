// Reading translation texts: the relaxed notation and its edge cases, with
// texts made up for the purpose.
#include "i18n/TranslationCatalog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kHeader[] = L"{\n\tlanguage: \"xx-XX\",\n\tdisplayName: \"Xish\",\n\ttranslations: {\n";
const wchar_t kFooter[] = L"\t}\n}\n";

// A catalogue holding one made-up language, current.
TranslationCatalog Parsed(const std::wstring& text) {
    TranslationCatalog catalog;
    catalog.ParseCatalogueText(text);
    catalog.SetLanguage(L"xx-XX");
    return catalog;
}

TranslationCatalog WithEntries(const std::wstring& entries) {
    return Parsed(kHeader + entries + kFooter);
}

TEST(CatalogueParsing, ReadsHeaderAndEntries) {
    const TranslationCatalog c = WithEntries(L"\t\tfirst: \"One\",\n\t\tsecond: \"Two: %1\",\n");
    EXPECT_EQ(c.DisplayNames(), std::vector<std::wstring>{L"Xish"});
    EXPECT_EQ(c.DisplayNameOf(L"xx-XX"), L"Xish");
    EXPECT_EQ(c.CodeOfDisplayName(L"Xish"), L"xx-XX");
    EXPECT_EQ(c.KeysOf(L"xx-XX"), (std::vector<std::wstring>{L"first", L"second", L"}"}));
    EXPECT_EQ(c.Translate(L"first"), L"One");
    // The key ends at the first colon; the text may hold more of them.
    EXPECT_EQ(c.Translate(L"second"), L"Two: %1");
}

// The header names the language; a language left unnamed has no entries.
TEST(CatalogueParsing, HeaderNotation) {
    const struct {
        const char* what;
        std::wstring text;
        const wchar_t* displayName; // "": unnamed
        const wchar_t* key;
        const wchar_t* translation;
    } cases[] = {
        {"byte order mark on the ignored first line",
         L"\xFEFF" + std::wstring(kHeader) + L"\t\tk: \"v\",\n" + kFooter, L"Xish", L"k", L"v"},
        // "language:" wins over "displayName" on the same line; the value is
        // between the first two quotes; other header lines are skipped.
        {"lines recognised by what they contain",
         L"{ \"ignored\"\n  x language: \"xx-XX\" \"yy\" displayName\n"
         L"displayName \"Xish\"\nthe translations: {\n\t\tk: \"v\"\n",
         L"Xish", L"k", L"v"},
        {"a long line in the header",
         L"{\n\tlanguage: \"xx-XX\",\n" + std::wstring(1000, L' ') + L"\n" +
             L"\tdisplayName: \"Xish\",\n\ttranslations: {\n\t\tk: \"v\"\n\t}\n}\n",
         L"", L"k", L""},
        {"no translations line", L"{\n\tlanguage: \"xx-XX\",\n\tdisplayName: \"Xish\",\n}\n", L"", L"}", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TranslationCatalog catalog = Parsed(c.text);
        const bool named = *c.displayName != L'\0';
        EXPECT_EQ(catalog.DisplayNames(),
                  named ? std::vector<std::wstring>{c.displayName} : std::vector<std::wstring>{});
        EXPECT_EQ(catalog.DisplayNameOf(L"xx-XX"), c.displayName);
        EXPECT_EQ(catalog.CodeOfDisplayName(L"Xish"), named ? L"xx-XX" : L"");
        EXPECT_EQ(catalog.Translate(c.key), c.translation);
    }
}

TEST(CatalogueParsing, IndentationWithSpacesReadsLikeTabs) {
    const TranslationCatalog tabs = WithEntries(L"\t\tk1: \"One\",\n\t\tk2: \"Two %1\",\n");
    const TranslationCatalog spaces =
        Parsed(L"{\n  language: \"xx-XX\",\n  displayName: \"Xish\",\n"
               L"  translations: {\n    k1: \"One\",\n    k2: \"Two %1\",\n  }\n}\n");
    EXPECT_EQ(spaces.DisplayNameOf(L"xx-XX"), L"Xish");
    EXPECT_EQ(spaces.KeysOf(L"xx-XX"), tabs.KeysOf(L"xx-XX"));
    EXPECT_EQ(spaces.Translate(L"k1"), L"One");
    EXPECT_EQ(spaces.Translate(L"k2"), L"Two %1");
}

TEST(CatalogueParsing, EntryNotation) {
    const struct {
        std::wstring entries;
        const wchar_t* key;
        const wchar_t* text;
    } cases[] = {
        // The comma after the text is optional.
        {L"\t\tk1: \"One\"\n\t\tk2: \"Two\",\n", L"k1", L"One"},
        {L"\t\tk1: \"One\"\n\t\tk2: \"Two\",\n", L"k2", L"Two"},
        // Tabs are removed, even inside the quotes.
        {L"\t\tk\tey: \"a\tb\t\",\n", L"key", L"ab"},
        // Only spaces are trimmed.
        {L"   k1   :   \"  One  \",\n", L"k1", L"One"},
        {L"\t\tk2: \"\xA0Two\",\n", L"k2", L"\xA0Two"},
        // Quotes missing or unpaired take the rest of the line.
        {L"\t\tbare: plain words\n", L"bare", L"bare: plain words"},
        {L"\t\topen: \"unfinished,\n", L"open", L"unfinished,"},
        {L"\t\tkeyonly\n", L"keyonly", L"keyonly"},
        // A later duplicate key wins.
        {L"\t\tk: \"first\",\n\t\tother: \"o\",\n\t\tk: \"second\",\n", L"k", L"second"},
        {L"\t\tk: \"first\",\n\t\tother: \"o\",\n\t\tk: \"second\",\n", L"other", L"o"},
        // The text stops at a zero character: neither the entry after it nor the closing braces are read.
        {std::wstring(L"\t\tk1: \"One\",\n") + L'\0' + L"\t\tk2: \"Two\",\n", L"k1", L"One"},
        {std::wstring(L"\t\tk1: \"One\",\n") + L'\0' + L"\t\tk2: \"Two\",\n", L"k2", L""},
        {std::wstring(L"\t\tk1: \"One\",\n") + L'\0' + L"\t\tk2: \"Two\",\n", L"}", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithEntries(c.entries).Translate(c.key), c.text) << ::testing::PrintToString(c.entries);
}

TEST(CatalogueParsing, LineOfAThousandCharactersEndsReading) {
    const std::wstring prefix = L"long: \"";
    const auto longLine = [&](std::size_t length) {
        return prefix + std::wstring(length - prefix.size() - 2, L'x') + L"\",";
    };
    ASSERT_EQ(longLine(999).size(), 999u);

    const TranslationCatalog fits = WithEntries(L"before: \"1\"\n" + longLine(999) + L"\nafter: \"2\"\n");
    EXPECT_EQ(fits.Translate(L"before"), L"1");
    EXPECT_EQ(fits.Translate(L"long").size(), 999u - prefix.size() - 2);
    EXPECT_EQ(fits.Translate(L"after"), L"2");

    const TranslationCatalog stops = WithEntries(L"before: \"1\"\n" + longLine(1000) + L"\nafter: \"2\"\n");
    EXPECT_EQ(stops.Translate(L"before"), L"1");
    EXPECT_EQ(stops.Translate(L"long"), L"");
    EXPECT_EQ(stops.Translate(L"after"), L"");
    EXPECT_EQ(stops.KeysOf(L"xx-XX"), std::vector<std::wstring>{L"before"});
    EXPECT_EQ(stops.DisplayNameOf(L"xx-XX"), L"Xish");

    // The same holds for the last line of a text without a final line feed.
    EXPECT_EQ(Parsed(kHeader + longLine(999)).Translate(L"long").size(), 999u - prefix.size() - 2);
    EXPECT_EQ(Parsed(kHeader + longLine(1000)).KeysOf(L"xx-XX"), std::vector<std::wstring>{});
}

TEST(CatalogueParsing, CarriageReturnsBeforeLineFeedsAreHarmless) {
    const TranslationCatalog c =
        Parsed(L"{\r\n\tlanguage: \"xx-XX\",\r\n\tdisplayName: \"Xish\",\r\n"
               L"\ttranslations: {\r\n\t\tk1: \"One\",\r\n\t\tk2: \"Two\"\r\n\r\n\t}\r\n}\r\n");
    EXPECT_EQ(c.DisplayNameOf(L"xx-XX"), L"Xish");
    EXPECT_EQ(c.Translate(L"k1"), L"One");
    EXPECT_EQ(c.Translate(L"k2"), L"Two");
    // The closing braces become an entry of their own, carriage return
    // included; the empty CR LF line becomes nothing.
    EXPECT_EQ(c.KeysOf(L"xx-XX"), (std::vector<std::wstring>{L"k1", L"k2", L"}\r"}));
    EXPECT_EQ(c.Translate(L"}\r"), L"}\r");
}

TEST(CatalogueParsing, BlankLinesAndEmptyTextsAreIgnored) {
    const TranslationCatalog c =
        WithEntries(L"\t\tk1: \"One\",\n\n   \n\t \t\n\t\tk1: \"\",\n\t\tk2: \"   \",\n\t\t: \"keyless\",\n");
    EXPECT_EQ(c.KeysOf(L"xx-XX"), (std::vector<std::wstring>{L"k1", L"}"}));
    EXPECT_EQ(c.Translate(L"k1"), L"One");
    EXPECT_EQ(c.Translate(L""), L"");
}

TEST(CatalogueParsing, EmptyTextAddsNoLanguage) {
    TranslationCatalog c;
    c.ParseCatalogueText(kHeader + std::wstring(L"\t\tk: \"v\"\n") + kFooter);
    c.ParseCatalogueText(L"");
    EXPECT_EQ(c.DisplayNames(), std::vector<std::wstring>{L"Xish"});
    EXPECT_EQ(c.KeysOf(L""), std::vector<std::wstring>{});
    c.SetLanguage(L"xx-XX");
    EXPECT_EQ(c.Translate(L"k"), L"v");
}

TEST(CatalogueParsing, ParsingALanguageAgainReplacesItsDictionary) {
    TranslationCatalog c;
    c.ParseCatalogueText(kHeader + std::wstring(L"\t\told: \"o\"\n") + kFooter);
    c.ParseCatalogueText(kHeader + std::wstring(L"\t\tnew: \"n\"\n") + kFooter);
    c.SetLanguage(L"xx-XX");
    EXPECT_EQ(c.Translate(L"old"), L"");
    EXPECT_EQ(c.Translate(L"new"), L"n");
    EXPECT_EQ(c.DisplayNames().size(), 1u);
}

} // namespace
