#pragma once
#include <string>

// Command lines of the programs the install engine starts. The installer runs
// elevated, so every program is named by its full path in quotation marks:
// left unquoted, a path such as C:\Program Files (x86)\... would let Windows
// try C:\Program.exe first, and a bare name would be looked up along the
// search path, where anybody may have planted a program of that name.

// "<programPath>" <arguments>
std::wstring ProgramCommandLine(const std::wstring& programPath, const std::wstring& arguments);

// The command interpreter of the System folder running the unpack batch of
// the current directory: "<systemFolder>\cmd.exe" /D /E:ON /V:OFF /C .\unzip.bat
// /D keeps the interpreter from running the AutoRun commands of the user's
// and the machine's "Command Processor" keys first: the user's own would
// otherwise run with the installer's rights. The batch needs command
// extensions (%errorlevel%, exit /b), which the user's own key may switch
// off, and no delayed expansion, which would read its "!" differently. The
// ".\" keeps the batch from being looked up along PATH: with the variable
// NoDefaultCurrentDirectoryInExePath set, which any user may set, a bare name
// would find the user's own unzip.bat there and never this one.
std::wstring UnzipCommandLine(const std::wstring& systemFolder);

// The System folder's taskkill forcing every process of one image name to end:
// "<systemFolder>\taskkill.exe" /f /im <exeName>
std::wstring KillCommandLine(const std::wstring& systemFolder, const std::wstring& exeName);

// The uninstall entry's command: the installer copy in the install folder, in
// quotation marks, then the uninstall switch with a blank before and after.
std::wstring UninstallCommandLine(const std::wstring& installDir, const std::wstring& copyName);

// The uninstall entry's command without a window: the installer copy in
// quotation marks, then "-uninstall -silent".
std::wstring QuietUninstallCommandLine(const std::wstring& installDir, const std::wstring& copyName);
