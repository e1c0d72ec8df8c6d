#include "install/CommandLines.h"

#include "install/UnzipBatch.h"

std::wstring ProgramCommandLine(const std::wstring& programPath, const std::wstring& arguments) {
    std::wstring line = L"\"" + programPath + L"\"";
    if (!arguments.empty())
        line += L" " + arguments;
    return line;
}

std::wstring UnzipCommandLine(const std::wstring& systemFolder) {
    return ProgramCommandLine(systemFolder + L"\\cmd.exe",
                              std::wstring(L"/D /E:ON /V:OFF /C .\\") + kUnzipBatchName);
}

std::wstring KillCommandLine(const std::wstring& systemFolder, const std::wstring& exeName) {
    return ProgramCommandLine(systemFolder + L"\\taskkill.exe", L"/f /im " + exeName);
}

std::wstring UninstallCommandLine(const std::wstring& installDir, const std::wstring& copyName) {
    return ProgramCommandLine(installDir + copyName, L"-uninstall ");
}

std::wstring QuietUninstallCommandLine(const std::wstring& installDir, const std::wstring& copyName) {
    return ProgramCommandLine(installDir + copyName, L"-uninstall -silent");
}
