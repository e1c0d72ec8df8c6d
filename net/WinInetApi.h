#pragma once
// WinINet, bound at run time. The installer never imports wininet.dll: an
// import would be resolved by the loader's normal search, which looks in the
// executable's own folder first (usually a downloads folder anybody can write
// to). Instead the library is loaded by its full path in the System folder
// when the process starts, before the entry point runs, and stays loaded
// until the process ends.
#include "common/UniqueHandle.h"

#include <windows.h>
#include <wininet.h>

struct WinInetApi {
    decltype(&::InternetGetConnectedState) InternetGetConnectedState = nullptr;
    decltype(&::InternetOpenW) InternetOpenW = nullptr;
    decltype(&::InternetOpenUrlW) InternetOpenUrlW = nullptr;
    decltype(&::InternetReadFile) InternetReadFile = nullptr;
    decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;
    decltype(&::HttpQueryInfoW) HttpQueryInfoW = nullptr;

    // The library itself; null when it could not be loaded, in which case
    // every function pointer is null too.
    HMODULE module = nullptr;
};

// The process-wide table. A pointer that could not be resolved stays null and
// the caller treats it as a failed call; nothing here is ever unloaded.
const WinInetApi& WinInet();

// Owns a WinINet handle (session, connection or request).
struct InternetHandleTraits {
    static HINTERNET Invalid() { return nullptr; }
    static void Close(HINTERNET handle) {
        if (WinInet().InternetCloseHandle)
            WinInet().InternetCloseHandle(handle);
    }
};
using unique_hinternet = UniqueHandle<HINTERNET, InternetHandleTraits>;
