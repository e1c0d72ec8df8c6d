#pragma once
// Helpers shared by the install engine's tests: the stand-in programs' log,
// shortcuts read back, and the package server; files and scratch folders come
// from TestFiles.h, the registry in the installer's view from
// RegistryTestSupport.h.
#include "RegistryTestSupport.h"
#include "TestFiles.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace helmtest {

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
// Sorted relative paths of what unpacking a served package leaves in its
// folder: its files, its application named appName, and the archive tool.
std::vector<std::wstring> PackageFilesWith(const std::wstring& appName);

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

} // namespace helmtest
