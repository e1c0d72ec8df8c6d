#pragma once
// WinINet, bound at run time. The installer never imports wininet.dll: an
// import would be resolved by the loader's normal search, which looks in the
// executable's own folder first (usually a downloads folder anybody can write
// to). Instead the library is bound by its full path in the System folder
// (the program's start binds it before any thread of ours exists) and stays
// loaded until the process ends.
#include "common/UniqueHandle.h"
#include "platform/SystemLibrary.h"

#include <windows.h>
#include <wininet.h>

struct WinInetApi {
    static constexpr const wchar_t* kLibrary = L"wininet.dll";

    decltype(&::InternetGetConnectedState) InternetGetConnectedState = nullptr;
    decltype(&::InternetOpenW) InternetOpenW = nullptr;
    decltype(&::InternetOpenUrlW) InternetOpenUrlW = nullptr;
    decltype(&::InternetReadFile) InternetReadFile = nullptr;
    decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;
    decltype(&::HttpQueryInfoW) HttpQueryInfoW = nullptr;

    bool BindFrom(const SystemLibrary& library);
};

// The process-wide table; null when WinINet could not be bound, which every
// caller treats as a failed call.
const WinInetApi* WinInet();
