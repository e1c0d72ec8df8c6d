#include "install/UnzipBatch.h"

std::wstring UnzipBatchText(const std::wstring& toolPath, const std::wstring& archiveName) {
    std::wstring tool;
    tool.reserve(toolPath.size() + 2);
    for (const wchar_t c : toolPath) {
        tool.push_back(c);
        if (c == L'%')
            tool.push_back(L'%');
    }
    return L"\"" + tool + L"\" x -y " + archiveName + L"\r\n" + L"set unpacked=%errorlevel%\r\n" +
           L"del /f " + archiveName + L"\r\n" + L"exit /b %unpacked%";
}
