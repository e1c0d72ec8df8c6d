#pragma once
// The registry primitives of the settings store. Every HKEY_LOCAL_MACHINE
// access names the 32-bit view (KEY_WOW64_32KEY), so a 32-bit installer and
// anything reading its records on 64-bit Windows agree on the WOW6432Node
// location whatever their own bitness. Nothing here reports failure beyond
// the documented defaults.
#include "common/UniqueHandle.h"

#include <cstdint>
#include <string>

namespace registry {

// KEY_ALL_ACCESS in the 32-bit view (0xF023F).
inline constexpr REGSAM kMachineAllAccess = KEY_ALL_ACCESS | KEY_WOW64_32KEY;
// KEY_READ in the 32-bit view.
inline constexpr REGSAM kMachineRead = KEY_READ | KEY_WOW64_32KEY;
// A 32-bit process lands in the 32-bit view even without the flag, so no test
// run by this 32-bit build could notice it missing; the masks are pinned here.
static_assert(kMachineAllAccess == 0xF023F, "full access in the 32-bit view");
static_assert(kMachineRead == (0x20019 | 0x0200), "read access in the 32-bit view");

// Largest REG_SZ data a read accepts: 512 UTF-16 units, terminator included.
inline constexpr std::size_t kMaxStringBytes = 1024;
// What ReadDword returns when it has no number to give.
inline constexpr std::uint32_t kNoDword = 0xFFFFFFFFu;

struct OpenedKey {
    LONG status = ERROR_INVALID_HANDLE; // of the last attempt; ERROR_SUCCESS (0) on success
    unique_hkey key;
};

// Opens the key below HKEY_LOCAL_MACHINE with full access, or, when that fails
// for any reason, creates it with its missing parents (non-volatile, default
// security).
OpenedKey OpenOrCreateKey(const std::wstring& path);

// Store a value below HKEY_LOCAL_MACHINE, creating the key as needed. A failed
// open, create or set changes nothing and is not reported, only logged.
void WriteString(const std::wstring& path, const std::wstring& name, const std::wstring& text);
void WriteDword(const std::wstring& path, const std::wstring& name, std::uint32_t value);

// The text of a REG_SZ or REG_EXPAND_SZ value (not expanded) up to its first
// null. Empty when the key or value is missing, the type is another, the data
// is longer than kMaxStringBytes, has an odd byte count or does not end in a
// null character.
std::wstring ReadString(const std::wstring& path, const std::wstring& name);

// A REG_DWORD value; kNoDword when the key or value is missing or the value is
// not a well-formed REG_DWORD.
std::uint32_t ReadDword(const std::wstring& path, const std::wstring& name);

// Opens an existing key (never creates one); an empty handle when it does not
// open.
unique_hkey OpenExistingKey(HKEY root, const std::wstring& path, REGSAM access);

// Deletes the named subkey of `parent` with everything below it. An empty name
// is refused: the system would take it as `parent` itself and empty it.
// Returns the system's answer (ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ...), for
// the log.
LONG DeleteSubtree(HKEY parent, const std::wstring& subkey);

LONG DeleteValue(HKEY key, const std::wstring& name);

} // namespace registry
