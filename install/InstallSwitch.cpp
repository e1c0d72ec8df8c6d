#include "install/InstallSwitch.h"

#include "common/UniqueHandle.h"
#include "install/FolderRemoval.h"
#include "install/Shortcuts.h"
#include "platform/FileSystem.h"
#include "platform/RunLog.h"
#include "profile/ProductProfile.h"
#include "settings/RegistryAccess.h"
#include "settings/RegistryKeyPaths.h"

#include <windows.h>

#include <vector>

namespace {

using namespace registry_names;

constexpr wchar_t kJournalName[] = L"SSD Helmview switch";
constexpr wchar_t kInstallDir[] = L"InstallDir";
constexpr wchar_t kStaging[] = L"Staging";
constexpr wchar_t kAside[] = L"Aside";
constexpr wchar_t kHadOld[] = L"HadOld";
constexpr wchar_t kTessaroDir[] = L"TessaroDir";
constexpr wchar_t kTessaroAside[] = L"TessaroAside";
constexpr wchar_t kProcess[] = L"Process";
constexpr wchar_t kProcessStarted[] = L"ProcessStarted";

// When the process with this id was started; 0 when it is not running.
ULONGLONG ProcessStartTime(DWORD id) {
    unique_handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, id));
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process || ::WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT ||
        !::GetProcessTimes(process.get(), &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

std::wstring WithoutBackslash(std::wstring path) {
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

// Below the maker's key, beside the settings key: the removal of the
// records during the switch does not reach it, and only an administrator
// can write there.
std::wstring JournalPath(const ProductProfile& profile) {
    return BuildMakerKeyPath(profile.brandName()) + L"\\" + kJournalName;
}

// A key the switch rewrites, as its parent and its own name.
struct RecordKey {
    std::wstring parent;
    std::wstring name;
};

std::vector<RecordKey> RecordKeys(const ProductProfile& profile) {
    const OtherBrand other = profile.otherBrand();
    const std::wstring product = WithoutBackslash(profile.productFolderName());
    return {{BuildMakerKeyPath(profile.brandName()), product},
            {BuildMakerKeyPath(other.brandName), product},
            {BuildUninstallParentPath(), profile.displayName()},
            {BuildUninstallParentPath(), other.displayName}};
}

// One value copied with its type, from one open key to another.
bool CopyValue(HKEY from, const std::wstring& fromName, HKEY to, const std::wstring& toName) {
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(from, fromName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    std::vector<BYTE> data(size + 2);
    if (::RegQueryValueExW(from, fromName.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return false;
    return ::RegSetValueExW(to, toName.c_str(), 0, type, data.data(), size) == ERROR_SUCCESS;
}

std::wstring RunOnceCopyName(const wchar_t* name) {
    return std::wstring(L"RunOnce ") + name;
}

std::wstring LinkName(std::size_t index) {
    return L"Link " + std::to_wstring(index);
}

// A shortcut is a few KiB; anything far larger is not one of ours.
constexpr std::size_t kLargestShortcut = 1024 * 1024;

void SaveRecords(const ProductProfile& profile, HKEY journal) {
    const std::vector<RecordKey> keys = RecordKeys(profile);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const unique_hkey source = registry::OpenExistingKey(
            HKEY_LOCAL_MACHINE, keys[i].parent + L"\\" + keys[i].name, registry::kMachineRead);
        if (!source)
            continue;
        unique_hkey copy;
        if (::RegCreateKeyExW(journal, (L"Saved" + std::to_wstring(i)).c_str(), 0, nullptr,
                              REG_OPTION_NON_VOLATILE, registry::kMachineAllAccess, nullptr, copy.put(),
                              nullptr) == ERROR_SUCCESS)
            ::RegCopyTreeW(source.get(), nullptr, copy.get());
    }
    if (const unique_hkey runOnce =
            registry::OpenExistingKey(HKEY_CURRENT_USER, BuildRunOnceKeyPath(), KEY_READ)) {
        for (const wchar_t* name : {kRunOnceTessaro, kRunOnceNorvale})
            CopyValue(runOnce.get(), name, journal, RunOnceCopyName(name));
    }
    const std::vector<std::wstring> links = ShortcutPathsToRemove(profile);
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (!IsFile(links[i]))
            continue;
        const std::string bytes = ReadWholeFile(links[i], kLargestShortcut);
        const std::wstring name = LinkName(i);
        ::RegSetValueExW(journal, name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                         static_cast<DWORD>(bytes.size()));
    }
}

void RestoreRecords(const ProductProfile& profile, HKEY journal) {
    const std::vector<RecordKey> keys = RecordKeys(profile);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (const unique_hkey parent =
                registry::OpenExistingKey(HKEY_LOCAL_MACHINE, keys[i].parent, registry::kMachineAllAccess))
            registry::DeleteSubtree(parent.get(), keys[i].name);
        unique_hkey saved;
        if (::RegOpenKeyExW(journal, (L"Saved" + std::to_wstring(i)).c_str(), 0, registry::kMachineRead,
                            saved.put()) != ERROR_SUCCESS)
            continue;
        const unique_hkey restored = registry::OpenOrCreateKey(keys[i].parent + L"\\" + keys[i].name).key;
        if (restored)
            ::RegCopyTreeW(saved.get(), nullptr, restored.get());
    }
    if (const unique_hkey runOnce =
            registry::OpenExistingKey(HKEY_CURRENT_USER, BuildRunOnceKeyPath(), KEY_ALL_ACCESS)) {
        for (const wchar_t* name : {kRunOnceTessaro, kRunOnceNorvale}) {
            if (!CopyValue(journal, RunOnceCopyName(name), runOnce.get(), name))
                registry::DeleteValue(runOnce.get(), name);
        }
    }
    const std::vector<std::wstring> links = ShortcutPathsToRemove(profile);
    for (std::size_t i = 0; i < links.size(); ++i) {
        ::DeleteFileW(links[i].c_str());
        DWORD size = 0;
        const std::wstring name = LinkName(i);
        if (::RegQueryValueExW(journal, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
            continue;
        std::string bytes(size, '\0');
        if (::RegQueryValueExW(journal, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(bytes.data()),
                               &size) == ERROR_SUCCESS)
            WriteWholeFile(links[i], bytes.substr(0, size));
    }
}

// The new version, or what of it was moved in, goes. Should a file of it be
// held (the new application already started), the folder is moved out of
// the way first, so that the old one can return.
void Discard(const std::wstring& folder) {
    RemoveFolder(folder, 0);
    if (!IsFolder(folder))
        return;
    const std::wstring away = AsideFolderFor(folder);
    if (MoveFolder(folder, away))
        RemoveFolder(away, 0);
}

// One install folder back as it was: what the journal says the switch did
// to it is undone, as far as it got.
void RestoreFolder(const std::wstring& installDir, const std::wstring& aside, bool hadOld) {
    if (installDir.empty())
        return;
    if (!hadOld) {
        Discard(installDir);
        return;
    }
    // The old folder never moved: it is still in place, untouched.
    if (aside.empty() || !IsFolder(aside))
        return;
    if (IsFolder(installDir))
        Discard(installDir);
    MoveFolder(aside, installDir);
}

bool HasEntries(const std::wstring& folder) {
    bool any = false;
    ForEachEntry(folder, [&any](const std::wstring&, DWORD) {
        any = true;
        return false;
    });
    return any;
}

void FindUndeletable(const std::wstring& folder, BlockedFile& blocked) {
    ForEachEntry(folder, [&](const std::wstring& name, DWORD attributes) {
        const std::wstring path = folder + name;
        // A linked folder is unlinked, never entered, by the removal.
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            FindUndeletable(path + L"\\", blocked);
        } else {
            unique_hfile file(::CreateFileW(
                path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
            if (!file)
                blocked = {path, ::GetLastError()};
        }
        return blocked.path.empty();
    });
}

} // namespace

std::wstring StagingFolderFor(const std::wstring& installDir) {
    return WithoutBackslash(installDir) + L".staging\\";
}

std::wstring AsideFolderFor(const std::wstring& folder) {
    const std::wstring base = WithoutBackslash(folder) + L".previous";
    std::wstring candidate = base;
    for (int n = 2; n < 100 && ::GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES; ++n) {
        // A leftover of an earlier run goes first, if it can.
        RemoveFolder(candidate + L"\\", 0);
        if (::GetFileAttributesW(candidate.c_str()) == INVALID_FILE_ATTRIBUTES)
            break;
        candidate = base + std::to_wstring(n);
    }
    return candidate + L"\\";
}

BlockedFile FirstUndeletableFile(const std::wstring& folder) {
    BlockedFile blocked;
    if (!folder.empty() && IsFolder(folder))
        FindUndeletable(WithoutBackslash(folder) + L"\\", blocked);
    if (!blocked.path.empty())
        LogEvent(L"folder: " + blocked.path + L" cannot be deleted now, error " +
                 std::to_wstring(blocked.error));
    return blocked;
}

bool MoveFolder(const std::wstring& from, const std::wstring& to) {
    const bool moved =
        ::MoveFileExW(WithoutBackslash(from).c_str(), WithoutBackslash(to).c_str(), 0) != FALSE;
    LogEvent(L"folder: " + from +
             (moved ? L" moved to " + to
                    : L" not moved to " + to + L", error " + std::to_wstring(::GetLastError())));
    return moved;
}

namespace switch_journal {

bool Begin(const ProductProfile& profile, const SwitchFolders& folders) {
    // A journal that was already there belongs to a switch not undone: it
    // goes first, or the two would be mixed.
    Undo(profile);
    const unique_hkey journal = registry::OpenOrCreateKey(JournalPath(profile)).key;
    if (!journal)
        return false;
    const bool hadOld = IsFolder(folders.installDir) && HasEntries(folders.installDir);
    const DWORD hadOldValue = hadOld ? 1 : 0;
    bool written =
        ::RegSetValueExW(journal.get(), kHadOld, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&hadOldValue),
                         sizeof hadOldValue) == ERROR_SUCCESS;
    const auto put = [&](const wchar_t* name, const std::wstring& text) {
        written = written && ::RegSetValueExW(
                                 journal.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    };
    put(kInstallDir, folders.installDir);
    put(kStaging, folders.staging);
    put(kAside, folders.aside);
    put(kTessaroDir, folders.tessaroDir);
    put(kTessaroAside, folders.tessaroAside);
    // Who switches: another copy of the installer that starts meanwhile must
    // not take a switch under way for an interrupted one.
    const DWORD self = ::GetCurrentProcessId();
    const ULONGLONG started = ProcessStartTime(self);
    written = written &&
              ::RegSetValueExW(journal.get(), kProcess, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&self),
                               sizeof self) == ERROR_SUCCESS &&
              ::RegSetValueExW(journal.get(), kProcessStarted, 0, REG_QWORD,
                               reinterpret_cast<const BYTE*>(&started), sizeof started) == ERROR_SUCCESS;
    SaveRecords(profile, journal.get());
    if (!written) {
        Finish(profile);
        return false;
    }
    LogEvent(L"registry: HKLM\\" + JournalPath(profile) + L" records the switch");
    return true;
}

bool Pending(const ProductProfile& profile) {
    return static_cast<bool>(
        registry::OpenExistingKey(HKEY_LOCAL_MACHINE, JournalPath(profile), registry::kMachineRead));
}

void Undo(const ProductProfile& profile) {
    const std::wstring path = JournalPath(profile);
    const unique_hkey journal =
        registry::OpenExistingKey(HKEY_LOCAL_MACHINE, path, registry::kMachineAllAccess);
    if (!journal)
        return;
    LogEvent(L"registry: HKLM\\" + path + L" found: the switch is undone");
    const bool hadOld = registry::ReadDword(path, kHadOld) == 1;
    RestoreFolder(registry::ReadString(path, kInstallDir), registry::ReadString(path, kAside), hadOld);
    const std::wstring tessaro = registry::ReadString(path, kTessaroDir);
    RestoreFolder(tessaro, registry::ReadString(path, kTessaroAside), !tessaro.empty());
    RestoreRecords(profile, journal.get());
    RemoveFolder(registry::ReadString(path, kStaging), 0);
    Finish(profile);
}

void Finish(const ProductProfile& profile) {
    if (const unique_hkey maker = registry::OpenExistingKey(
            HKEY_LOCAL_MACHINE, BuildMakerKeyPath(profile.brandName()), registry::kMachineAllAccess))
        registry::DeleteSubtree(maker.get(), kJournalName);
}

} // namespace switch_journal

bool RecoverInterruptedSwitch(const ProductProfile& profile) {
    const unique_hkey journal =
        registry::OpenExistingKey(HKEY_LOCAL_MACHINE, JournalPath(profile), registry::kMachineRead);
    if (!journal)
        return false;
    // A switch whose process still runs is not interrupted, only under way.
    ULONGLONG started = 0;
    DWORD size = sizeof started;
    const DWORD process = registry::ReadDword(JournalPath(profile), kProcess);
    DWORD type = 0;
    if (::RegQueryValueExW(journal.get(), kProcessStarted, nullptr, &type, reinterpret_cast<BYTE*>(&started),
                           &size) == ERROR_SUCCESS &&
        type == REG_QWORD && started != 0 && process != registry::kNoDword &&
        ProcessStartTime(process) == started) {
        LogEvent(L"registry: HKLM\\" + JournalPath(profile) + L" belongs to a switch under way in process " +
                 std::to_wstring(process));
        return false;
    }
    switch_journal::Undo(profile);
    return true;
}
