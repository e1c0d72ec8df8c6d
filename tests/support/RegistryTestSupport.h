#pragma once
// The tests' one registry fixture: direct registry access, independent of the
// code under test, on one set of helpers in two views.
// - regtest: the 64-bit view with explicit WOW6432Node paths, so the store's
//   tests see where its data really lands; and their fixture, RegistryTest.
// - helmtest: the installer's own 32-bit view, with the paths as the installer
//   names them, for the engine's tests that plant and read back installation
//   records.
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

namespace helmtest {

// Registry keys of the installation records (HKEY_LOCAL_MACHINE, 32-bit view).
extern const wchar_t kNorvaleSettingsKey[];
extern const wchar_t kTessaroSettingsKey[];
extern const wchar_t kNorvaleUninstallKey[];
extern const wchar_t kTessaroUninstallKey[];
extern const wchar_t kPermanentKey[];
// Below HKEY_CLASSES_ROOT, as a 32-bit program sees it.
extern const wchar_t kOlderDriverMarkerKey[];

// Registry values in HKEY_LOCAL_MACHINE, 32-bit view (the installer's).
// nullopt when absent or not REG_SZ.
std::optional<std::wstring> FindMachineString(const std::wstring& key, const std::wstring& name);
// Empty when absent or not REG_SZ.
std::wstring ReadMachineString(const std::wstring& key, const std::wstring& name);
// 0xFFFFFFFF when absent.
DWORD ReadMachineDword(const std::wstring& key, const std::wstring& name);
bool MachineKeyExists(const std::wstring& key);
// The writes fail the test when they cannot be made.
void WriteMachineString(const std::wstring& key, const std::wstring& name, const std::wstring& value);
void WriteMachineDword(const std::wstring& key, const std::wstring& name, DWORD value);
void DeleteMachineValue(const std::wstring& key, const std::wstring& name);
void DeleteMachineTree(const std::wstring& key);

// Keys below HKEY_CLASSES_ROOT in this program's own view.
void CreateClassesKey(const std::wstring& key);
void DeleteClassesTree(const std::wstring& key);

} // namespace helmtest
