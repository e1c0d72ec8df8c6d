#include "i18n/TranslationCatalog.h"

#include <gtest/gtest.h>

namespace {

TranslationCatalog Loaded() {
    TranslationCatalog c;
    c.LoadAll();
    return c;
}

TEST(TranslationCatalog, LoadsSeventeenLanguagesInCodeOrder) {
    const TranslationCatalog c = Loaded();
    EXPECT_EQ(c.DisplayNames(),
              (std::vector<std::wstring>{L"Čeština", L"Dansk", L"Deutsch", L"English", L"Español",
                                         L"Français", L"Italiano", L"日本語", L"한국어", L"Nederlands",
                                         L"Polski", L"Português", L"P\u0443\u0441\u0441\u043a\u0438\u0439",
                                         L"Svenskt", L"Türkçe", L"简体中文", L"繁體中文"}));
    EXPECT_EQ(c.CodeOfDisplayName(L"English"), L"en-US");
    EXPECT_EQ(c.DisplayNameOf(L"pt-PT"), L"Português");
}

TEST(TranslationCatalog, FillsPlaceholdersInTheCurrentLanguage) {
    TranslationCatalog c = Loaded();
    c.SetLanguage(L"en-US");
    EXPECT_EQ(c.Translate(L"IDS_TITLE_UNINSTALL", {L"Helmview"}),
              L"Welcome to the Helmview Installer. The Installer will remove Helmview software from your "
              L"computer.");
    EXPECT_EQ(
        c.Translate(L"IDS_NEWER_VERSION_INSTALLED", {L"2.3", L"2.2.9", L"Helmview"}),
        L"Helmview version 2.3 is already installed. You must uninstall it before you can install version "
        L"2.2.9.");
    EXPECT_EQ(c.Translate(L"admin_installer"),
              L"Administrative privilege is required to run the %1 installer");
}

} // namespace

namespace {

// One made-up language with the texts the placeholder rules are about.
TranslationCatalog Texts(const std::wstring& entries) {
    TranslationCatalog c;
    c.ParseCatalogueText(L"{\n\tlanguage: \"xx-XX\",\n\tdisplayName: \"Xish\",\n\ttranslations: {\n" +
                         entries + L"\t}\n}\n");
    c.SetLanguage(L"xx-XX");
    return c;
}

TEST(Translate, FillsEveryPlaceholderInOnePassWithoutExpandingValues) {
    const TranslationCatalog c = Texts(L"\t\tt: \"%2 and %1, again %1 and %2\",\n");
    EXPECT_EQ(c.Translate(L"t", {L"A", L"B"}), L"B and A, again A and B");
    // Inserted text is never searched again, neither by the same nor by a
    // later placeholder.
    EXPECT_EQ(c.Translate(L"t", {L"%2", L"%1"}), L"%1 and %2, again %2 and %1");
    EXPECT_EQ(c.Translate(L"t", {L"%1%1", L"x"}), L"x and %1%1, again %1%1 and x");
}

TEST(Translate, PlaceholdersWithoutValueStayAndSurplusValuesAreDropped) {
    const TranslationCatalog c = Texts(L"\t\tt: \"%3 version %1 replaces %2\",\n");
    EXPECT_EQ(c.Translate(L"t", {L"1.0", L"2.0"}), L"%3 version 1.0 replaces 2.0");
    EXPECT_EQ(c.Translate(L"t", {L"1.0"}), L"%3 version 1.0 replaces %2");
    EXPECT_EQ(c.Translate(L"t", {L"1.0", L"2.0", L"P", L"surplus"}), L"P version 1.0 replaces 2.0");
    EXPECT_EQ(c.Translate(L"t", {L"", L"", L""}), L" version  replaces ");
}

TEST(Translate, BackslashNBecomesALineBreakOnlyWhenValuesArePassed) {
    const TranslationCatalog c = Texts(L"\t\tt: \"first\\nsecond %1\",\n\t\tplain: \"a\\nb\\\\nc\",\n");
    EXPECT_EQ(c.Translate(L"t"), L"first\\nsecond %1");
    EXPECT_EQ(c.Translate(L"t", {L"x"}), L"first\nsecond x");
    // Values without any placeholder still switch the conversion on; the
    // pairs are taken left to right.
    EXPECT_EQ(c.Translate(L"plain", {L"unused"}), L"a\nb\\\nc");
    EXPECT_EQ(c.Translate(L"plain"), L"a\\nb\\\\nc");
    // A value's own backslash-n is inserted as it is.
    EXPECT_EQ(c.Translate(L"t", {L"\\n"}), L"first\nsecond \\n");
}

TEST(Translate, MissingKeyOrLanguageGivesEmptyText) {
    TranslationCatalog c = Texts(L"\t\tt: \"text %1\",\n");
    EXPECT_EQ(c.Translate(L"missing"), L"");
    EXPECT_EQ(c.Translate(L"missing", {L"v"}), L"");
    EXPECT_EQ(c.Translate(L"T"), L"");
    c.SetLanguage(L"yy-YY");
    EXPECT_EQ(c.GetLanguage(), L"yy-YY");
    EXPECT_EQ(c.Translate(L"t", {L"v"}), L"");
    // A language named explicitly answers whatever is current, and stays so.
    EXPECT_EQ(c.TranslateIn(L"xx-XX", L"t", {L"v"}), L"text v");
    EXPECT_EQ(c.TranslateIn(L"zz-ZZ", L"t"), L"");
    EXPECT_EQ(c.GetLanguage(), L"yy-YY");
    c.SetLanguage(L"");
    EXPECT_EQ(c.Translate(L"t"), L"");
    c.SetLanguage(L"xx-XX");
    EXPECT_EQ(c.Translate(L"t", {L"v"}), L"text v");
}

TEST(TranslationCatalog, CarriedPlaceholdersInEnglish) {
    TranslationCatalog c = Loaded();
    c.SetLanguage(L"en-US");
    EXPECT_EQ(
        c.Translate(L"IDS_INCOMPLETE_INSTALL", {L"5.0.2", L"Helmview"}),
        L"The previous Helmview installation was incomplete. The Helmview installer will uninstall it and "
        L"install version 5.0.2.");
    EXPECT_EQ(c.Translate(L"IDS_LAUNCH_HELMVIEW", {L"%1"}), L"Launch %1");
    EXPECT_EQ(c.Translate(L"ssl_error", {L""}), L"SSL handshake failed (0x2F0D): ");
    EXPECT_EQ(
        c.Translate(L"IDS_OLD_VERSION_INSTALLED", {L"5.0.1"}),
        L"%3 5.0.1 has been detected on this system. The %3 installer will uninstall the current version "
        L"and install version %2.");
}

} // namespace
