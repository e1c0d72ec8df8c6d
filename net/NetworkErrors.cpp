#include "net/NetworkErrors.h"

#include "common/UniqueHandle.h"
#include "net/NetworkErrorText.h"

#include <windows.h>

std::wstring SystemErrorText(std::uint32_t code) {
    // The system message table only: WinINet's own codes mostly have no text
    // there, and those messages then read "unknown error".
    unique_hlocal buffer;
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    buffer.reset(text);
    if (length == 0 || !text)
        return std::wstring();
    const int wide = ::MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
    if (wide <= 0)
        return std::wstring();
    std::wstring result(static_cast<std::size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), &result[0], wide);
    return TrimTrailingSpace(result);
}
