#include "RegistryTestSupport.h"

#include "profile/ProductProfile.h"

#include <algorithm>

namespace regtest {

namespace {

constexpr REGSAM kView64 = KEY_WOW64_64KEY;

struct Key {
    HKEY h = nullptr;
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (h)
            ::RegCloseKey(h);
    }
};

bool Open(HKEY root, const std::wstring& path, REGSAM access, Key& key) {
    return ::RegOpenKeyExW(root, path.c_str(), 0, access | kView64, &key.h) == ERROR_SUCCESS;
}

// The maker and product keys the installer may touch, relative to SOFTWARE in
// either view.
const wchar_t* const kInstallerTrees[] = {L"Norvale", L"Tessaro", L"ZQ", L"ZQ SSD Helmview"};
const wchar_t* const kInstallerEntries[] = {L"Norvale SSD Helmview", L"Tessaro SSD Helmview",
                                            L"ZQ SSD Helmview"};

} // namespace

void SetRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const void* data,
            DWORD bytes) {
    Key key;
    const LONG created = ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_ALL_ACCESS | kView64, nullptr, &key.h, nullptr);
    ASSERT_EQ(created, ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.h, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes),
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
    Key key;
    ASSERT_EQ(::RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS | kView64, nullptr, &key.h, nullptr),
              ERROR_SUCCESS);
}

std::optional<RawValue> GetRaw(HKEY root, const std::wstring& path, const std::wstring& name) {
    Key key;
    if (!Open(root, path, KEY_READ, key))
        return std::nullopt;
    RawValue value;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key.h, name.c_str(), nullptr, &value.type, nullptr, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(bytes);
    if (::RegQueryValueExW(key.h, name.c_str(), nullptr, &value.type, value.data.data(), &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(bytes);
    return value;
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
    Key key;
    return Open(root, path, KEY_READ, key);
}

std::vector<std::wstring> ValueNames(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    Key key;
    if (!Open(root, path, KEY_READ, key))
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD length = 16384;
        if (::RegEnumValueW(key.h, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

std::vector<std::wstring> SubkeyNames(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    Key key;
    if (!Open(root, path, KEY_READ, key))
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (::RegEnumKeyExW(key.h, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

void DeleteTree(HKEY root, const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    Key parent;
    if (slash == std::wstring::npos || !Open(root, path.substr(0, slash), KEY_ALL_ACCESS, parent))
        return;
    ::RegDeleteTreeW(parent.h, path.substr(slash + 1).c_str());
}

void DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    Key key;
    if (Open(root, path, KEY_ALL_ACCESS, key))
        ::RegDeleteValueW(key.h, name.c_str());
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
