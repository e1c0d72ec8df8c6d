// The registry primitives against Wine's real registry: where data lands, how
// it is encoded, and which stored data reads as unusable.
#include "RegistryTestSupport.h"

#include "settings/RegistryAccess.h"

#include <gtest/gtest.h>

namespace {

using namespace regtest;

// Store-side paths (below HKLM, 32-bit view), with the doubled and trailing
// backslashes the store's own paths carry.
const std::wstring kStoreSettings = L"SOFTWARE\\Norvale\\SSD Helmview\\";
const std::wstring kStoreUninstall =
    L"SOFTWARE\\\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Norvale SSD Helmview";

class RegistryAccess : public RegistryTest {};

TEST_F(RegistryAccess, WritesLandInThe32BitViewOnly) {
    registry::WriteString(kStoreSettings, L"InstallPath",
                          L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\");
    registry::WriteDword(kStoreSettings, L"IsInstalled", 3);
    registry::WriteString(kStoreUninstall, L"Publisher", L"Norvale Corporation");

    EXPECT_EQ(GetString(kSettings, L"InstallPath"), L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\");
    EXPECT_EQ(GetDword(kSettings, L"IsInstalled"), 3u);
    EXPECT_EQ(GetString(kUninstallEntry, L"Publisher"), L"Norvale Corporation");
    // The doubled separator made no empty-named key on the way.
    EXPECT_EQ(SubkeyNames(HKEY_LOCAL_MACHINE, kWow + L"Norvale"), std::vector<std::wstring>{L"SSD Helmview"});
    // RegistryTest's tear-down checks the 64-bit view stayed empty.
}

TEST_F(RegistryAccess, StringDataCountsItsTerminator) {
    for (const std::wstring& text : {std::wstring(), std::wstring(L"x"), std::wstring(L"en-US")}) {
        registry::WriteString(kStoreSettings, L"CurrentCulture", text);
        const auto raw = GetRaw(HKEY_LOCAL_MACHINE, kSettings, L"CurrentCulture");
        ASSERT_TRUE(raw.has_value());
        EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
        ASSERT_EQ(raw->data.size(), (text.size() + 1) * sizeof(wchar_t)) << ::testing::PrintToString(text);
        EXPECT_EQ(raw->data[raw->data.size() - 1], 0);
        EXPECT_EQ(raw->data[raw->data.size() - 2], 0);
        EXPECT_EQ(registry::ReadString(kStoreSettings, L"CurrentCulture"), text);
    }
}

TEST_F(RegistryAccess, OpenOrCreateKeyCreatesMissingParents) {
    {
        const registry::OpenedKey opened =
            registry::OpenOrCreateKey(L"SOFTWARE\\Tessaro\\SSD Helmview\\Deep\\Er");
        EXPECT_EQ(opened.status, ERROR_SUCCESS);
        EXPECT_TRUE(opened.key);
    }
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kTessaroSettings + L"\\Deep\\Er"));
    // An existing key opens as well.
    const registry::OpenedKey again = registry::OpenOrCreateKey(L"SOFTWARE\\Tessaro\\SSD Helmview\\Deep\\Er");
    EXPECT_EQ(again.status, ERROR_SUCCESS);
    EXPECT_TRUE(again.key);
}

TEST_F(RegistryAccess, StringsUpTo511CharactersReadWhole) {
    const std::wstring longest(511, L'a');
    SetString(kSettings, L"A", longest);
    EXPECT_EQ(registry::ReadString(kStoreSettings, L"A"), longest);

    SetString(kSettings, L"B", std::wstring(512, L'b'));
    EXPECT_EQ(registry::ReadString(kStoreSettings, L"B"), L"");
    SetString(kSettings, L"C", std::wstring(5000, L'c'));
    EXPECT_EQ(registry::ReadString(kStoreSettings, L"C"), L"");
}

TEST_F(RegistryAccess, MalformedStringDataReadsEmpty) {
    // RegSetValueExW counts a terminator the caller forgot when one follows
    // the data in memory (Windows does the same), so the unterminated values
    // are cut from longer texts.
    const wchar_t text[] = L"C:\\Path\\X";
    const DWORD withoutX = sizeof(text) - 2 * sizeof(wchar_t);
    SetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Odd", REG_SZ, text, withoutX + 1);
    SetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Unterminated", REG_SZ, text, withoutX);
    SetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Empty", REG_SZ, text, 0);
    SetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Binary", REG_BINARY, text, sizeof(text));
    SetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Multi", REG_MULTI_SZ, L"a\0b\0", 5 * sizeof(wchar_t));
    SetDword(kSettings, L"Number", 7);
    // A full 512-unit buffer of characters with no room for a terminator.
    const std::wstring full(513, L'f');
    SetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Full", REG_SZ, full.c_str(), 1024);

    // The data is stored as written.
    EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Unterminated")->data.size(), withoutX);
    EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Odd")->data.size() % 2, 1u);
    EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Full")->data.size(), 1024u);

    for (const wchar_t* name :
         {L"Odd", L"Unterminated", L"Empty", L"Binary", L"Multi", L"Number", L"Full", L"Missing"})
        EXPECT_EQ(registry::ReadString(kStoreSettings, name), L"")
            << ::testing::PrintToString(std::wstring(name));
    EXPECT_EQ(registry::ReadString(L"SOFTWARE\\Norvale\\No Such Key\\", L"Odd"), L"");
}

TEST_F(RegistryAccess, StringsStopAtTheFirstNullAndAreNotExpanded) {
    const wchar_t embedded[] = L"ab\0cd"; // six units with the final terminator
    SetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Embedded", REG_SZ, embedded, sizeof(embedded));
    SetString(kSettings, L"Expand", L"%SystemRoot%\\Helm", REG_EXPAND_SZ);

    EXPECT_EQ(registry::ReadString(kStoreSettings, L"Embedded"), L"ab");
    EXPECT_EQ(registry::ReadString(kStoreSettings, L"Expand"), L"%SystemRoot%\\Helm");
}

TEST_F(RegistryAccess, DwordsOfAnyOtherFormReadAsNone) {
    SetDword(kSettings, L"Zero", 0);
    SetDword(kSettings, L"Max", 0xFFFFFFFFu);
    SetString(kSettings, L"Text", L"3");
    const BYTE two[2] = {3, 0};
    SetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Short", REG_DWORD, two, sizeof(two));
    const BYTE eight[8] = {3, 0, 0, 0, 0, 0, 0, 0};
    SetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Long", REG_DWORD, eight, sizeof(eight));
    SetRaw(HKEY_LOCAL_MACHINE, kSettings, L"Qword", REG_QWORD, eight, sizeof(eight));
    const BYTE bigEndian[4] = {0, 0, 0, 3};
    SetRaw(HKEY_LOCAL_MACHINE, kSettings, L"BigEndian", REG_DWORD_BIG_ENDIAN, bigEndian, sizeof(bigEndian));

    EXPECT_EQ(registry::ReadDword(kStoreSettings, L"Zero"), 0u);
    EXPECT_EQ(registry::ReadDword(kStoreSettings, L"Max"), registry::kNoDword);
    for (const wchar_t* name : {L"Text", L"Short", L"Long", L"Qword", L"BigEndian", L"Missing"})
        EXPECT_EQ(registry::ReadDword(kStoreSettings, name), registry::kNoDword)
            << ::testing::PrintToString(std::wstring(name));
    EXPECT_EQ(registry::ReadDword(L"SOFTWARE\\Norvale\\No Such Key\\", L"Zero"), registry::kNoDword);
}

TEST_F(RegistryAccess, DeletingAnEmptySubkeyNameLeavesTheParentAlone) {
    SetString(kWow + L"Norvale", L"Kept", L"yes");
    SetDword(kPermanent, L"QM7700Detected", 1);
    {
        const unique_hkey parent =
            registry::OpenExistingKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Norvale", registry::kMachineAllAccess);
        ASSERT_TRUE(parent);
        registry::DeleteSubtree(parent.get(), L"");
    }
    EXPECT_EQ(GetString(kWow + L"Norvale", L"Kept"), L"yes");
    EXPECT_EQ(GetDword(kPermanent, L"QM7700Detected"), 1u);
}

} // namespace
