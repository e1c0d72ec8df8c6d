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
