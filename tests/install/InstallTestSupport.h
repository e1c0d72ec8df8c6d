#pragma once
// Helpers shared by the install engine's tests: scratch folders inside the
// Wine prefix's drive C, files, the registry in the installer's 32-bit view,
// the stand-in programs' log, shortcuts read back, and the package server.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace helmtest {

// A new, empty folder below the temporary-files folder, ending in a backslash;
// tag may hold blanks and non-ASCII letters. Deleted with the object.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::wstring& tag);
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();
    const std::wstring& path() const { return path_; }

  private:
    std::wstring path_;
};

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::uint64_t FileSize(const std::wstring& path);
// Creates the folder and the folders above it.
void MakeFolders(const std::wstring& path);
// Deletes a folder tree (test set-up and tidying only).
void DeleteTree(const std::wstring& path);
// Sorted relative paths ("a\b.txt") of every file below folder.
std::vector<std::wstring> FilesBelow(const std::wstring& folder);

// A build output of the stand-in programs (build/tools/fixtures).
std::wstring FixtureProgram(const std::wstring& fileName);
// The 7-Zip console tool the installer carries (build/thirdparty/7za.exe).
std::wstring ArchiveToolFile();
// The fixture name of the package server (helm_test_server).
inline constexpr wchar_t kPackageServer[] = L"install_server";
// A package the test fixture built and the package server serves.
std::wstring ServedPackage(const std::wstring& version, const std::wstring& fileName);
// http://127.0.0.1:PORT/ of the running package server.
std::wstring PackageServerBaseUrl();

// Points HELMVIEW_FIXTURE_LOG of this process (and so of every program it
// starts) at a fresh file; the previous value is restored on destruction.
class FixtureLog {
  public:
    FixtureLog();
    FixtureLog(const FixtureLog&) = delete;
    FixtureLog& operator=(const FixtureLog&) = delete;
    ~FixtureLog();
    std::vector<std::wstring> Lines() const;

  private:
    ScratchFolder folder_;
    std::wstring path_;
};

// Registry values in HKEY_LOCAL_MACHINE, 32-bit view (the installer's).
std::wstring ReadMachineString(const std::wstring& key, const std::wstring& name);
// 0xFFFFFFFF when absent.
DWORD ReadMachineDword(const std::wstring& key, const std::wstring& name);
bool MachineKeyExists(const std::wstring& key);
void WriteMachineString(const std::wstring& key, const std::wstring& name, const std::wstring& value);
void WriteMachineDword(const std::wstring& key, const std::wstring& name, DWORD value);
void DeleteMachineTree(const std::wstring& key);

// A shortcut file read back through IShellLinkW.
struct ShortcutTarget {
    bool loaded = false;
    std::wstring path;
    std::wstring workingDirectory;
    std::wstring iconPath;
    int iconIndex = -1;
};
ShortcutTarget ReadShortcut(const std::wstring& lnkPath);

// Starts a program, returning its process handle (null when it did not start).
HANDLE StartProgram(const std::wstring& path, const std::wstring& arguments);

std::string Narrow(const std::wstring& text);

} // namespace helmtest
