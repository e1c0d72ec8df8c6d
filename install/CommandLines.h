#pragma once
#include <string>

// Command lines of the programs the install engine starts. The installer runs
// elevated, so every program is named by its full path in quotation marks:
// left unquoted, a path such as C:\Program Files (x86)\... would let Windows
// try C:\Program.exe first, and a bare name would be looked up along the
// search path, where anybody may have planted a program of that name.

// "<programPath>" <arguments>
std::wstring ProgramCommandLine(const std::wstring& programPath, const std::wstring& arguments);

// The command interpreter of the System folder running the unpack batch:
// "<systemFolder>\cmd.exe" /C unzip.bat
std::wstring UnzipCommandLine(const std::wstring& systemFolder);

// The System folder's taskkill forcing every process of one image name to end:
// "<systemFolder>\taskkill.exe" /f /im <exeName>
std::wstring KillCommandLine(const std::wstring& systemFolder, const std::wstring& exeName);

// The uninstall entry's command: the installer copy in the install folder, in
// quotation marks, then the uninstall switch with a blank before and after.
std::wstring UninstallCommandLine(const std::wstring& installDir, const std::wstring& copyName);
