#include "settings/RegistryAccess.h"

#include "platform/RunLog.h"

namespace registry {

namespace {

// Each read opens a key of its own and closes it before returning. The store
// is used from the user-interface thread and from install and uninstall worker
// threads; with no handle shared between reads there is nothing for two
// threads to trample, and no key is left open across a RemoveRegistration
// that deletes it.
unique_hkey OpenForReading(const std::wstring& path) {
    unique_hkey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, kMachineRead, key.put()) != ERROR_SUCCESS)
        key.release(); // the slot is not documented to be cleared on failure: never close it
    return key;
}

// "registry: HKLM\<path> "<name>" = <data>", and the error when it failed.
void LogWrite(const std::wstring& path, const std::wstring& name, const std::wstring& data, LONG status) {
    std::wstring line = L"registry: HKLM\\" + path + L" \"" + name + L"\" = " + data;
    if (status != ERROR_SUCCESS)
        line += L" not written, error " + std::to_wstring(status);
    LogEvent(line);
}

} // namespace

OpenedKey OpenOrCreateKey(const std::wstring& path) {
    OpenedKey result;
    result.status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, kMachineAllAccess, result.key.put());
    if (result.status == ERROR_SUCCESS)
        return result;
    result.key.release();
    result.status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      kMachineAllAccess, nullptr, result.key.put(), nullptr);
    if (result.status != ERROR_SUCCESS)
        result.key.release();
    return result;
}

void WriteString(const std::wstring& path, const std::wstring& name, const std::wstring& text) {
    const OpenedKey opened = OpenOrCreateKey(path);
    if (opened.status != ERROR_SUCCESS || !opened.key) {
        LogWrite(path, name, L"\"" + text + L"\"", opened.status);
        return;
    }
    // REG_SZ data carries its terminator, and the size counts it.
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    LogWrite(path, name, L"\"" + text + L"\"",
             ::RegSetValueExW(opened.key.get(), name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()), bytes));
}

void WriteDword(const std::wstring& path, const std::wstring& name, std::uint32_t value) {
    const OpenedKey opened = OpenOrCreateKey(path);
    if (opened.status != ERROR_SUCCESS || !opened.key) {
        LogWrite(path, name, std::to_wstring(value), opened.status);
        return;
    }
    const DWORD data = value;
    LogWrite(path, name, std::to_wstring(value),
             ::RegSetValueExW(opened.key.get(), name.c_str(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&data), sizeof(data)));
}

std::wstring ReadString(const std::wstring& path, const std::wstring& name) {
    const unique_hkey key = OpenForReading(path);
    if (!key)
        return {};
    wchar_t buffer[kMaxStringBytes / sizeof(wchar_t)] = {};
    DWORD type = REG_NONE;
    DWORD bytes = sizeof(buffer);
    // Too long data fails with ERROR_MORE_DATA and reads as empty.
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                           &bytes) != ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return {};
    if (bytes == 0)
        return {};
    if (bytes % sizeof(wchar_t) != 0 || bytes > sizeof(buffer))
        return {};
    const std::size_t units = bytes / sizeof(wchar_t);
    // Data without its terminator was not written by a well-behaved writer.
    if (buffer[units - 1] != L'\0')
        return {};
    return std::wstring(buffer); // up to the first null
}

std::uint32_t ReadDword(const std::wstring& path, const std::wstring& name) {
    const unique_hkey key = OpenForReading(path);
    if (!key)
        return kNoDword;
    DWORD data = 0;
    DWORD type = REG_NONE;
    DWORD bytes = sizeof(data);
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &bytes) !=
        ERROR_SUCCESS)
        return kNoDword;
    // A REG_DWORD with fewer than four bytes would leave part of the number
    // unset; it is as unreadable as one of another type.
    if (type != REG_DWORD || bytes != sizeof(data))
        return kNoDword;
    return data;
}

unique_hkey OpenExistingKey(HKEY root, const std::wstring& path, REGSAM access) {
    unique_hkey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS)
        key.release();
    return key;
}

LONG DeleteSubtree(HKEY parent, const std::wstring& subkey) {
    if (subkey.empty())
        return ERROR_INVALID_PARAMETER;
    return ::RegDeleteTreeW(parent, subkey.c_str());
}

LONG DeleteValue(HKEY key, const std::wstring& name) {
    return ::RegDeleteValueW(key, name.c_str());
}

} // namespace registry
