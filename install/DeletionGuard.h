#pragma once
#include <string>
#include <vector>

// The folders of the system that the uninstall must never delete or empty,
// whatever the registry names as an install folder.
struct ProtectedFolders {
    // Never deleted or emptied, and neither is any folder that holds one of
    // them: Program Files, ProgramData, the desktop, the Users folder, ...
    std::vector<std::wstring> folders;
    // Nothing at or below these is touched either: the Windows folder.
    std::vector<std::wstring> trees;
    // The folder that holds the user profiles: every folder directly inside it
    // is some user's profile, whatever its name.
    std::wstring profilesFolder;
};

// Whether an uninstall may delete the folder at path, or the loose files in it.
// False for an empty or relative path, a drive root, every UNC or device path
// (\\server\share\..., \\?\..., \\.\...), a path with "." or ".." steps or
// other names Windows would rewrite, and any protected folder.
// Comparisons ignore ASCII case and trailing backslashes; callers pass paths
// already in one letter case when they may hold other letters.
bool IsDeletableFolder(const std::wstring& path, const ProtectedFolders& protectedFolders);
