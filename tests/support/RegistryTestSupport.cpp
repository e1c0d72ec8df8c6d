#include "RegistryTestSupport.h"

#include "common/UniqueHandle.h"
#include "profile/ProductProfile.h"

#include <algorithm>

namespace {

// Every helper below works in one of these views, with nothing else between
// the test and the registry.
constexpr REGSAM kView64 = KEY_WOW64_64KEY;
constexpr REGSAM kInstallerView = KEY_WOW64_32KEY;
constexpr REGSAM kOwnView = 0;

unique_hkey OpenKey(HKEY root, const std::wstring& path, REGSAM access, REGSAM view) {
    unique_hkey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, access | view, key.put()) != ERROR_SUCCESS)
        key.reset();
    return key;
}

LONG CreateKeyIn(HKEY root, const std::wstring& path, REGSAM view, unique_hkey& key) {
    return ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | view,
                             nullptr, key.put(), nullptr);
}

std::optional<regtest::RawValue> ReadRaw(HKEY root, const std::wstring& path, const std::wstring& name,
                                         REGSAM view) {
    const unique_hkey key = OpenKey(root, path, KEY_READ, view);
    if (!key)
        return std::nullopt;
    regtest::RawValue value;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, nullptr, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(bytes);
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, value.data.data(), &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(bytes);
    return value;
}

void DeleteTreeIn(HKEY root, const std::wstring& path, REGSAM view) {
    const std::size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos)
        return;
    const unique_hkey parent = OpenKey(root, path.substr(0, slash), KEY_ALL_ACCESS, view);
    if (parent)
        ::RegDeleteTreeW(parent.get(), path.substr(slash + 1).c_str());
}

} // namespace

namespace regtest {

namespace {

// The maker and product keys the installer may touch, relative to SOFTWARE in
// either view.
const wchar_t* const kInstallerTrees[] = {L"Norvale", L"Tessaro", L"ZQ", L"ZQ SSD Helmview"};
const wchar_t* const kInstallerEntries[] = {L"Norvale SSD Helmview", L"Tessaro SSD Helmview",
                                            L"ZQ SSD Helmview"};

} // namespace

void SetRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const void* data,
            DWORD bytes) {
    unique_hkey key;
    ASSERT_EQ(CreateKeyIn(root, path, kView64, key), ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes),
              ERROR_SUCCESS);
}

void SetString(const std::wstring& path, const std::wstring& name, const std::wstring& text, DWORD type) {
    SetRaw(HKEY_LOCAL_MACHINE, path, name, type, text.c_str(),
           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void SetDword(const std::wstring& path, const std::wstring& name, std::uint32_t value) {
    const DWORD data = value;
    SetRaw(HKEY_LOCAL_MACHINE, path, name, REG_DWORD, &data, sizeof(data));
}

void CreateKey(HKEY root, const std::wstring& path) {
    unique_hkey key;
    ASSERT_EQ(CreateKeyIn(root, path, kView64, key), ERROR_SUCCESS);
}

std::optional<RawValue> GetRaw(HKEY root, const std::wstring& path, const std::wstring& name) {
    return ReadRaw(root, path, name, kView64);
}

std::optional<std::wstring> GetString(const std::wstring& path, const std::wstring& name) {
    const std::optional<RawValue> raw = GetRaw(HKEY_LOCAL_MACHINE, path, name);
    if (!raw) {
        ADD_FAILURE() << "no value " << ::testing::PrintToString(name);
        return std::nullopt;
    }
    EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ)) << ::testing::PrintToString(name);
    const std::size_t bytes = raw->data.size();
    if (raw->type != REG_SZ || bytes < sizeof(wchar_t) || bytes % sizeof(wchar_t) != 0) {
        ADD_FAILURE() << "malformed REG_SZ " << ::testing::PrintToString(name) << ", " << bytes << " bytes";
        return std::nullopt;
    }
    std::wstring units(bytes / sizeof(wchar_t), L'?');
    std::copy(raw->data.begin(), raw->data.end(), reinterpret_cast<BYTE*>(&units[0]));
    // The stored size counts the terminator, and there is exactly one.
    if (units.back() != L'\0' || units.find(L'\0') != units.size() - 1) {
        ADD_FAILURE() << "REG_SZ " << ::testing::PrintToString(name) << " not terminated exactly once";
        return std::nullopt;
    }
    units.pop_back();
    return units;
}

std::optional<std::uint32_t> GetDword(const std::wstring& path, const std::wstring& name) {
    const std::optional<RawValue> raw = GetRaw(HKEY_LOCAL_MACHINE, path, name);
    if (!raw || raw->type != REG_DWORD || raw->data.size() != sizeof(DWORD)) {
        ADD_FAILURE() << "no 4-byte REG_DWORD " << ::testing::PrintToString(name);
        return std::nullopt;
    }
    DWORD value = 0;
    std::copy(raw->data.begin(), raw->data.end(), reinterpret_cast<BYTE*>(&value));
    return value;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    return static_cast<bool>(OpenKey(root, path, KEY_READ, kView64));
}

std::vector<std::wstring> ValueNames(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    const unique_hkey key = OpenKey(root, path, KEY_READ, kView64);
    if (!key)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD length = 16384;
        if (::RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

std::vector<std::wstring> SubkeyNames(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    const unique_hkey key = OpenKey(root, path, KEY_READ, kView64);
    if (!key)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (::RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

void DeleteTree(HKEY root, const std::wstring& path) {
    DeleteTreeIn(root, path, kView64);
}

void DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    const unique_hkey key = OpenKey(root, path, KEY_ALL_ACCESS, kView64);
    if (key)
        ::RegDeleteValueW(key.get(), name.c_str());
}

void RegistryTest::RemoveInstallerKeys() {
    for (const std::wstring& base : {kWow, kNative}) {
        for (const wchar_t* tree : kInstallerTrees)
            DeleteTree(HKEY_LOCAL_MACHINE, base + tree);
        for (const wchar_t* entry : kInstallerEntries)
            DeleteTree(HKEY_LOCAL_MACHINE, base + kUninstall + entry);
    }
    for (const wchar_t* name : {L"NorvaleSSDHelmview", L"TessaroSSDHelmview", kOtherRunOnceValue})
        DeleteValue(HKEY_CURRENT_USER, kRunOnce, name);
}

ProductProfile TestProfile() {
    ProductProfile profile;
    profile.InitFrom(L"http://127.0.0.1:9/", L"C:\\users\\test\\Temp\\HelmviewSetup.exe",
                     L"C:\\Program Files (x86)");
    return profile;
}

void RegistryTest::SetUp() {
    uninstallParentExisted_ = KeyExists(HKEY_LOCAL_MACHINE, kWow + kUninstall);
    runOnceExisted_ = KeyExists(HKEY_CURRENT_USER, kRunOnce);
    RemoveInstallerKeys();
}

void RegistryTest::TearDown() {
    // The store works in the 32-bit view only.
    for (const wchar_t* tree : kInstallerTrees)
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kNative + tree)) << "64-bit view holds " << tree;
    for (const wchar_t* entry : kInstallerEntries)
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kNative + kUninstall + entry))
            << "64-bit view holds uninstall entry " << entry;
    RemoveInstallerKeys();
    if (!uninstallParentExisted_)
        DeleteTree(HKEY_LOCAL_MACHINE, kWow + L"Microsoft\\Windows\\CurrentVersion\\Uninstall");
    if (!runOnceExisted_)
        DeleteTree(HKEY_CURRENT_USER, kRunOnce);
}

} // namespace regtest

namespace helmtest {

const wchar_t kNorvaleSettingsKey[] = L"SOFTWARE\\Norvale\\SSD Helmview";
const wchar_t kTessaroSettingsKey[] = L"SOFTWARE\\Tessaro\\SSD Helmview";
const wchar_t kNorvaleUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Norvale SSD Helmview";
const wchar_t kTessaroUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaro SSD Helmview";
const wchar_t kPermanentKey[] = L"SOFTWARE\\Norvale\\Permanent";
const wchar_t kOlderDriverMarkerKey[] =
    L"CLSID\\{109DC3E4-B9FF-4AF3-9008-AB13705D4E5F}\\Instance\\{E9BBD754-6CF4-492E-BA89-782177A2771B}"
    L"\\Instance\\{D37DAC4A-CEDC-453D-8659-6AD9451C9AA8}";

std::optional<std::wstring> FindMachineString(const std::wstring& key, const std::wstring& name) {
    const std::optional<regtest::RawValue> raw = ReadRaw(HKEY_LOCAL_MACHINE, key, name, kInstallerView);
    if (!raw || raw->type != REG_SZ)
        return std::nullopt;
    std::wstring text(raw->data.size() / sizeof(wchar_t), L'\0');
    std::copy(raw->data.begin(), raw->data.begin() + text.size() * sizeof(wchar_t),
              reinterpret_cast<BYTE*>(&text[0]));
    return text.substr(0, text.find(L'\0'));
}

std::wstring ReadMachineString(const std::wstring& key, const std::wstring& name) {
    return FindMachineString(key, name).value_or(std::wstring());
}

DWORD ReadMachineDword(const std::wstring& key, const std::wstring& name) {
    const std::optional<regtest::RawValue> raw = ReadRaw(HKEY_LOCAL_MACHINE, key, name, kInstallerView);
    if (!raw || raw->type != REG_DWORD || raw->data.size() != sizeof(DWORD))
        return 0xFFFFFFFF;
    DWORD value = 0;
    std::copy(raw->data.begin(), raw->data.end(), reinterpret_cast<BYTE*>(&value));
    return value;
}

bool MachineKeyExists(const std::wstring& key) {
    return static_cast<bool>(OpenKey(HKEY_LOCAL_MACHINE, key, KEY_READ, kInstallerView));
}

void WriteMachineString(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
    unique_hkey handle;
    ASSERT_EQ(CreateKeyIn(HKEY_LOCAL_MACHINE, key, kInstallerView, handle), ERROR_SUCCESS)
        << "cannot create key";
    EXPECT_EQ(::RegSetValueExW(handle.get(), name.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

void WriteMachineDword(const std::wstring& key, const std::wstring& name, DWORD value) {
    unique_hkey handle;
    ASSERT_EQ(CreateKeyIn(HKEY_LOCAL_MACHINE, key, kInstallerView, handle), ERROR_SUCCESS)
        << "cannot create key";
    EXPECT_EQ(::RegSetValueExW(handle.get(), name.c_str(), 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
}

void DeleteMachineValue(const std::wstring& key, const std::wstring& name) {
    const unique_hkey handle = OpenKey(HKEY_LOCAL_MACHINE, key, KEY_SET_VALUE, kInstallerView);
    if (handle)
        ::RegDeleteValueW(handle.get(), name.c_str());
}

void DeleteMachineTree(const std::wstring& key) {
    DeleteTreeIn(HKEY_LOCAL_MACHINE, key, kInstallerView);
}

void CreateClassesKey(const std::wstring& key) {
    unique_hkey handle;
    CreateKeyIn(HKEY_CLASSES_ROOT, key, kOwnView, handle);
}

void DeleteClassesTree(const std::wstring& key) {
    DeleteTreeIn(HKEY_CLASSES_ROOT, key, kOwnView);
}

} // namespace helmtest
