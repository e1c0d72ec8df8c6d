#pragma once
// Direct registry access for the store's tests. Everything here goes through
// the 64-bit view with explicit WOW6432Node paths, independently of the code
// under test, so the tests see where the store's data really lands.
#include "settings/SettingsStore.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace regtest {

// The 32-bit view's HKLM\SOFTWARE as seen from the 64-bit view.
inline const std::wstring kWow = L"SOFTWARE\\WOW6432Node\\";
inline const std::wstring kNative = L"SOFTWARE\\";
inline const std::wstring kUninstall = L"Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline const std::wstring kRunOnce = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// Effective paths (below HKLM, 64-bit view) of the keys the store uses.
inline const std::wstring kSettings = kWow + L"Norvale\\SSD Helmview";
inline const std::wstring kTessaroSettings = kWow + L"Tessaro\\SSD Helmview";
inline const std::wstring kShortLegacy = kWow + L"ZQ\\SSD Helmview";
inline const std::wstring kLongLegacy = kWow + L"ZQ SSD Helmview\\SSD Helmview";
inline const std::wstring kUninstallEntry = kWow + kUninstall + L"Norvale SSD Helmview";
inline const std::wstring kTessaroUninstallEntry = kWow + kUninstall + L"Tessaro SSD Helmview";
inline const std::wstring kLegacyUninstallEntry = kWow + kUninstall + L"ZQ SSD Helmview";
inline const std::wstring kPermanent = kWow + L"Norvale\\Permanent";

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// Writes exactly these bytes with this type; fails the test when it cannot.
void SetRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const void* data,
            DWORD bytes);
// REG_SZ (or the given type) with its terminator counted.
void SetString(const std::wstring& path, const std::wstring& name, const std::wstring& text,
               DWORD type = REG_SZ);
void SetDword(const std::wstring& path, const std::wstring& name, std::uint32_t value);
void CreateKey(HKEY root, const std::wstring& path);

std::optional<RawValue> GetRaw(HKEY root, const std::wstring& path, const std::wstring& name);
// The text of a REG_SZ value whose data ends in exactly one terminator;
// nullopt (with a test failure) for anything else.
std::optional<std::wstring> GetString(const std::wstring& path, const std::wstring& name);
std::optional<std::uint32_t> GetDword(const std::wstring& path, const std::wstring& name);

bool KeyExists(HKEY root, const std::wstring& path);
std::vector<std::wstring> ValueNames(HKEY root, const std::wstring& path);
std::vector<std::wstring> SubkeyNames(HKEY root, const std::wstring& path);
void DeleteTree(HKEY root, const std::wstring& path);
void DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name);

// The profile of an installer started from the user's temporary folder; the
// keys above are named after it.
ProductProfile TestProfile();

// Every test starts and ends without the installer's keys (in both views) and
// run-once values, and checks on the way out that nothing landed in the 64-bit
// view. Container keys the test created are removed again.
class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The store of TestProfile.
    const SettingsStore store_{TestProfile()};

    static constexpr wchar_t kOtherRunOnceValue[] = L"HelmviewTestsOtherProgram";

  private:
    static void RemoveInstallerKeys();
    bool uninstallParentExisted_ = true;
    bool runOnceExisted_ = true;
};

} // namespace regtest
