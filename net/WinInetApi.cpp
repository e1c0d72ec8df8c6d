#include "net/WinInetApi.h"

bool WinInetApi::BindFrom(const SystemLibrary& library) {
    return library.Bind("InternetGetConnectedState", InternetGetConnectedState, "InternetOpenW",
                        InternetOpenW, "InternetOpenUrlW", InternetOpenUrlW, "InternetReadFile",
                        InternetReadFile, "InternetCloseHandle", InternetCloseHandle, "HttpQueryInfoW",
                        HttpQueryInfoW);
}

const WinInetApi* WinInet() {
    return SystemFunctions<WinInetApi>();
}

void handle_traits::Internet::Close(void* handle) {
    if (const WinInetApi* api = WinInet())
        api->InternetCloseHandle(static_cast<HINTERNET>(handle));
}
