#include "install/UnzipBatch.h"

std::string UnzipBatchText(const std::wstring& archiveName) {
    const std::wstring text = L"7za x -y " + archiveName + L"\r\n" + L"set unpacked=%errorlevel%\r\n" +
                              L"del /f " + archiveName + L"\r\n" + L"exit /b %unpacked%";
    std::string bytes;
    bytes.reserve(text.size());
    for (const wchar_t unit : text)
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(unit & 0xFF)));
    return bytes;
}
